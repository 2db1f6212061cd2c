# Sourced by the Wine scripts: the environment of the project's own Wine
# session whose state lives in the directory $1 (under the build tree).
wine_dir=$(mkdir -p "$1" && cd "$1" && pwd)
export WINEPREFIX="$wine_dir/prefix"
export WINEARCH=win32
# Quiet, but for exception reports: Wine swallows an exception that leaves a
# window procedure ("ignoring exception"), and wine-run.sh fails a test on it.
export WINEDEBUG=-all,err+seh
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Without this locale the ANSI code page is 1252 and every "A" call garbles
# text. Asked for while it is missing, every shell started below would warn
# "setlocale: LC_ALL: cannot change locale": say once what is wrong instead.
if [ "$(LC_ALL=ja_JP.UTF-8 locale charmap 2>/dev/null)" != UTF-8 ]; then
  echo "wine-env: the ja_JP.UTF-8 locale is missing; scripts/setup.sh makes it" >&2
  exit 1
fi
export LANG=ja_JP.UTF-8
export LC_ALL=ja_JP.UTF-8
# The display a session of this folder started, if that X server still
# answers: after an interrupted run or a reboot the recorded one is gone, and
# every Windows program would fail on it. A dead one is forgotten, so the next
# session start makes a new one.
if [ -z "${DISPLAY:-}" ] && [ -f "$wine_dir/display" ]; then
  if xdpyinfo -display "$(cat "$wine_dir/display")" >/dev/null 2>&1; then
    DISPLAY=$(cat "$wine_dir/display")
    export DISPLAY
  else
    rm -f "$wine_dir/display" "$wine_dir/xvfb.pid"
  fi
fi
