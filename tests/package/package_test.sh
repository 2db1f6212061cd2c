#!/usr/bin/env bash
# The download as a Windows user gets it:
#   package_test.sh BUILD_DIR PACKAGE_DRIVER.exe
# makes the package with CPack from the built tree, checks the zip's name,
# its SHA-256 file, what it holds and what its velmo.dll exports (the built
# one's too: nothing of the tests), unzips it into an empty folder outside
# the build tree and, on a Wine prefix made fresh for this run with nothing
# added, starts orla-server.exe --demo and palaver.exe from that folder.
# package_driver.exe, copied alone into a folder of its own, then connects,
# joins and chats through the client while a peer on the wire answers.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
driver=$2
# A channel the demo users never enter: every line in it is ours or the peer's.
channel=package-check

work=$(mktemp -d "${TMPDIR:-/tmp}/velmo-package.XXXXXX")
server=""
host=""
cleanup() {
  [ -n "$host" ] && kill "$host" 2>/dev/null
  [ -n "$server" ] && kill "$server" 2>/dev/null
  "$root/scripts/wine-session.sh" stop "$work/wine" >/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "package_test: $*" >&2
  exit 1
}
show() {
  local file
  for file in "$@"; do
    [ -s "$file" ] && { echo "--- $(basename "$file")"; cat "$file"; }
  done
  return 0
}

# The package and its checksum, as `--target package` makes them.
(cd "$build" && cpack -B "$work/out" >"$work/cpack.log" 2>&1) || { show "$work/cpack.log"; fail "cpack failed"; }
zips=("$work"/out/velmo-*-win32.zip)
[ ${#zips[@]} -eq 1 ] && [ -f "${zips[0]}" ] || fail "no single velmo-<version>-win32.zip: $(ls "$work/out")"
zip=${zips[0]}
name=$(basename "$zip" .zip)
echo "package_test: made $name.zip ($(stat -c %s "$zip") bytes)"
(cd "$work/out" && sha256sum --quiet -c "$name.zip.sha256") || fail "$name.zip.sha256 does not match"

expected=$(printf '%s\n' LICENSE README.txt framework.dll orla-server.exe palaver.exe plugins/velmo.dll |
  sed "s|^|$name/|" | sort)
held=$(cmake -E tar tf "$zip" | grep -v '/$' | sort)
[ "$held" = "$expected" ] || fail "the zip holds"$'\n'"$held"$'\n'"instead of"$'\n'"$expected"

mkdir "$work/app" "$work/driver"
(cd "$work/app" && cmake -E tar xf "$zip")
app=$work/app/$name
# objdump's headings are translated in the user's locale: read them in C.
exports() {
  LC_ALL=C i686-w64-mingw32-objdump -p "$1" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^\s*\[ *[0-9]*\] //p'
}
wanted=$(printf "%s\n" ManagerLog ManagerLogWhite _Z13GetServerLinkv | LC_ALL=C sort)
for dll in "$app/plugins/velmo.dll" "$build/plugin/velmo.dll"; do
  got=$(exports "$dll" | LC_ALL=C sort)
  [ "$got" = "$wanted" ] || fail "$dll exports"$'\n'"$got"$'\n'"instead of"$'\n'"$wanted"
done
cp "$driver" "$work/driver/"

"$root/scripts/wine-session.sh" start-clean "$work/wine" >"$work/session.out"
source "$root/scripts/wine-env.sh" "$work/wine"

cd "$app"
: >"$work/server.out"
wine orla-server.exe --demo --port 0 --channel "$channel" </dev/null \
  >"$work/server.out" 2>"$work/server.log" &
server=$!
port=""
# Bounds for a hang, not a speed: a busy machine may take many seconds.
for _ in $(seq 1200); do
  port=$(sed -n 's/^orla-server: listening on 127\.0\.0\.1:\([0-9]*\) (demo).*/\1/p' "$work/server.out")
  [ -n "$port" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
[ -n "$port" ] || { show "$work/server.out" "$work/server.log"; fail "orla-server.exe --demo did not start"; }
echo "package_test: orla-server.exe --demo listens on 127.0.0.1:$port"

wine palaver.exe </dev/null >"$work/host.log" 2>&1 &
host=$!
rc=0
wine "$work/driver/$(basename "$driver")" "$port" "$channel" </dev/null \
  >"$work/driver.out" 2>"$work/driver.err" || rc=$?
show "$work/driver.out" "$work/driver.err"
if [ $rc -ne 0 ]; then
  show "$work/host.log" "$work/server.log"
  fail "the user could not connect and chat through the package (driver exit code $rc)"
fi
# The driver closed the host's window; the program ends after it.
for _ in $(seq 1200); do
  kill -0 "$host" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$host" 2>/dev/null && { show "$work/host.log"; fail "palaver.exe still ran 120 s after its window closed"; }
wait "$host" || { show "$work/host.log"; fail "palaver.exe ended with an error"; }
host=""
# An exception inside a window procedure does not end the program (see wine-run.sh).
grep -q 'err:seh:' "$work/host.log" && { show "$work/host.log"; fail "palaver.exe raised an exception Wine ignored"; }
echo "package_test: a user connected, joined $channel and chatted with a peer through $name.zip"
