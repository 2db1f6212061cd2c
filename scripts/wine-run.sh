#!/usr/bin/env bash
# CMAKE_CROSSCOMPILING_EMULATOR for the Windows preset:
#   wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]
# Runs one Windows program in the project's Wine session and returns its exit
# code. The program writes to files, which are copied to our output after it
# ends: never a pipe (the services Wine leaves running would hold it open).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" "$1"
shift
if [ ! -f "$WINEPREFIX/.velmo-ready" ] || [ -z "${DISPLAY:-}" ]; then
  "$here/wine-session.sh" start "$wine_dir" >/dev/null
  source "$here/wine-env.sh" "$wine_dir"
fi
out=$(mktemp "$wine_dir/run.XXXXXX")
wine "$@" </dev/null >"$out.out" 2>"$out.err"
rc=$?
cat "$out.out"
cat "$out.err" >&2
rm -f "$out" "$out.out" "$out.err"
exit $rc
