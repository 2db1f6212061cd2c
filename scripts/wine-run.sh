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
shown=0
show_new_output() {
  local size
  size=$(stat -c %s "$out.out" 2>/dev/null || echo 0)
  if [ "$size" -gt "$shown" ]; then
    tail -c +"$((shown + 1))" "$out.out" | head -c "$((size - shown))"
    shown=$size
  fi
}
while kill -0 "$program" 2>/dev/null; do
  show_new_output
  sleep 0.2
done
wait "$program"
rc=$?
show_new_output
cat "$out.err" >&2
# A test program killed from outside (wineserver -k) can end with 0: a
# GoogleTest run that never printed its closing line did not pass.
if [ $rc -eq 0 ] && grep -q '^\[==========\] Running' "$out.out" &&
  ! grep -q '^\[==========\] .* ran\.' "$out.out"; then
  echo "wine-run: $(basename "$1") ended before its tests finished (killed?)" >&2
  rc=1
fi
# An access violation inside a window procedure does not end the program: the
# rest of that message's handling is skipped and the test may still pass.
if [ $rc -eq 0 ] && grep -q 'err:seh:' "$out.err"; then
  echo "wine-run: $(basename "$1") raised an exception Wine ignored (see err:seh above)" >&2
  rc=1
fi
rm -f "$out" "$out.out" "$out.err"
exit $rc
