#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks to build and test Velmo:
# the i686 mingw-w64 cross compilers, Wine with its 32-bit half, Xvfb,
# the ja_JP.UTF-8 locale, a Japanese font, Wine's symbol font, GoogleTest, Google Benchmark,
# CMake, clang with its sanitizer and libFuzzer runtimes, and Python for the
# docs check. Safe to run
# again: it only installs what is missing.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

packages=(
  cmake g++ make
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686
  wine wine32:i386
  xvfb x11-utils imagemagick
  locales fonts-ipafont-gothic fonts-wine
  libgtest-dev libbenchmark-dev
  clang libclang-rt-dev
  python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  # A mirror half way through a sync serves an index of the wrong size and
  # the update fails; a later try usually finds it whole. Failing that, the
  # install goes on with the indexes it has, and only its own failure stops.
  for try in $(seq 1 "${VELMO_APT_TRIES:-4}"); do
    $SUDO apt-get update -qq && break
    echo "setup: the package index update failed (try $try); trying again" >&2
    sleep "${VELMO_APT_PAUSE:-15}"
  done
  if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends \
      "${missing[@]}" >/dev/null; then
    echo "setup: installing ${missing[*]} failed; the package archive may be" \
         "mid-sync: try again later" >&2
    exit 1
  fi
fi

if ! locale -a 2>/dev/null | grep -qiE '^ja_JP\.utf-?8$'; then
  $SUDO sed -i 's/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
if [ "$(LC_ALL=ja_JP.UTF-8 locale charmap 2>/dev/null)" != UTF-8 ]; then
  echo "setup: the ja_JP.UTF-8 locale could not be made (see /etc/locale.gen, locale-gen)" >&2
  exit 1
fi
