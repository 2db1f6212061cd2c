#!/usr/bin/env bash
# The long fuzz campaign, by hand (CI runs only the short ones of the fuzz
# preset):
#   scripts/fuzz-campaign.sh [BUILD_DIR] [SECONDS] [RUNS] [TARGET...]
# Builds the fuzz targets in BUILD_DIR (default build/fuzz), then runs each
# target (default: all) until RUNS executions (default 10 million) or SECONDS
# (default 1800) have passed, whichever comes first, over its committed corpus
# plus a scratch corpus kept in BUILD_DIR/campaign-long/<target>/ between
# runs. Prints one line per target: executions, executions a second, coverage
# (edges), corpus size and crashes; a crash leaves its input beside the
# scratch corpus, the script goes on with the next target and fails at the
# end.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/fuzz}
seconds=${2:-1800}
runs=${3:-10000000}
shift $(($# < 3 ? $# : 3))
targets=("$@")
[ ${#targets[@]} -eq 0 ] &&
  targets=(messages input_line server_address link_receive server_client console_line rtf_guard)
cmake --preset fuzz -B "$build" >/dev/null || exit 1
cmake --build "$build" --target fuzz_targets -j2 >/dev/null || exit 1
# The longest input each target takes, as the short campaigns have it.
declare -A max_len=([messages]=1100 [input_line]=2200 [server_address]=256 [link_receive]=8192
  [server_client]=8192 [console_line]=2400 [rtf_guard]=2048)
failed=0
printf '%-15s %12s %9s %6s %8s %s\n' target executions exec/s edges corpus crashes
for target in "${targets[@]}"; do
  work="$build/campaign-long/$target"
  mkdir -p "$work/corpus"
  options=(-max_len="${max_len[$target]:-8192}" -timeout=30 -rss_limit_mb=4096)
  [ -f "fuzz/dict/$target.dict" ] && options+=("-dict=fuzz/dict/$target.dict")
  "$build/fuzz/fuzz_$target" "${options[@]}" -runs="$runs" -max_total_time="$seconds" \
    -print_final_stats=1 -artifact_prefix="$work/" "$work/corpus" "fuzz/corpus/$target" \
    >"$work/log" 2>&1
  rc=$?
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/log" | grep -o '[0-9]*$')
  speed=$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$work/log" | grep -o '[0-9]*$')
  edges=$(grep -oE '(DONE|INITED) +cov: [0-9]+' "$work/log" | tail -1 | grep -oE '[0-9]+$')
  corpus=$(find "$work/corpus" -type f | wc -l)
  crashes=$(find "$work" -maxdepth 1 -name 'crash-*' -o -maxdepth 1 -name 'timeout-*' \
    -o -maxdepth 1 -name 'leak-*' -o -maxdepth 1 -name 'oom-*' | wc -l)
  printf '%-15s %12s %9s %6s %8s %s\n' "$target" "${executions:-?}" "${speed:-?}" \
    "${edges:-?}" "$corpus" "$crashes"
  if [ $rc -ne 0 ] || [ "$crashes" -ne 0 ]; then
    echo "  $target failed (exit $rc); log and inputs in $work" >&2
    failed=1
  fi
done
exit $failed
