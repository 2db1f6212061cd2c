#!/usr/bin/env bash
# Runs the Windows test suite again and again while other processes keep the
# cores busy, so that a test which passes only on a fast or idle machine
# fails here, not later on a slower one:
#   stress-tests.sh [RUNS [BUSY [CTEST_REGEX]]]
# RUNS runs of `ctest --preset windows` (default 5) in a row, with BUSY busy
# processes (default: one per core) running all the while; CTEST_REGEX
# limits the runs to the matching tests (say ui_test). Builds the preset
# first. Prints each run's outcome and time, then how many runs passed and
# the slowest; fails unless every run passed.
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-5}
busy=${2:-$(nproc)}
filter=${3:-}

cmake --preset windows >/dev/null || exit 1
cmake --build --preset windows >/dev/null || { echo "stress-tests: the build failed" >&2; exit 1; }

# Every busy process is ended by its own id when the script ends, however
# it ends.
busy_pids=()
end_busy() {
  local pid
  for pid in "${busy_pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${busy_pids[@]}"; do wait "$pid" 2>/dev/null; done
  busy_pids=()
}
trap end_busy EXIT
trap 'exit 130' INT TERM
for _ in $(seq "$busy"); do
  yes >/dev/null &
  busy_pids+=($!)
done
echo "stress-tests: $runs run(s) of the Windows tests${filter:+ matching $filter}" \
     "with $busy busy process(es) on $(nproc) core(s)"

log_dir=build/windows/stress
mkdir -p "$log_dir"
passed=0
slowest=0
for run in $(seq "$runs"); do
  start=$(date +%s)
  log="$log_dir/run-$run.log"
  if ctest --preset windows ${filter:+-R "$filter"} >"$log" 2>&1; then
    outcome=passed
    passed=$((passed + 1))
  else
    outcome="FAILED (log: $log)"
    grep -E '^\s*[0-9]+ - |\*\*\*Failed|Timeout' "$log" | tail -n 20
  fi
  seconds=$(($(date +%s) - start))
  [ "$seconds" -gt "$slowest" ] && slowest=$seconds
  echo "stress-tests: run $run of $runs $outcome in $seconds s"
done
end_busy
echo "stress-tests: $passed of $runs run(s) passed; the slowest took $slowest s"
[ "$passed" -eq "$runs" ]
