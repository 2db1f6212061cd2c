#!/usr/bin/env bash
# CMAKE_CROSSCOMPILING_EMULATOR for the Windows preset:
#   wine-run.sh STATE_DIR PROGRAM.exe [ARGS...]
# Runs one Windows program in the project's Wine session and returns its exit
# code. The program writes to files, which are copied to our output as they
# grow: never a pipe (the services Wine leaves running would hold it open).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-env.sh" "$1"
shift
if [ ! -f "$WINEPREFIX/.velmo-ready" ] || [ -z "${DISPLAY:-}" ]; then
  "$here/wine-session.sh" start "$wine_dir" >/dev/null
  source "$here/wine-env.sh" "$wine_dir"
fi
out=$(mktemp "$wine_dir/run.XXXXXX")
wine "$@" </dev/null >"$out.out" 2>"$out.err" &
program=$!
# The output is copied while the program runs, so a program that hangs and is
# killed by its time-out has shown how far it came (which test case waits).
tail -n +1 -f --pid="$program" "$out.out" &
copier=$!
wait "$program"
rc=$?
wait "$copier"
cat "$out.err" >&2
rm -f "$out" "$out.out" "$out.err"
exit $rc
