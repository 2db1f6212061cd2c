#!/usr/bin/env bash
# Sets up the machine, then configures, builds and runs every test of each
# preset: native (link/, server/, ui_core, their tests and the integration
# tests), windows (everything, under Wine),
# native-asan (the native tests under AddressSanitizer and UBSan),
# native-tsan (the same under ThreadSanitizer; its tests take about half a
# minute) and fuzz (a short fixed campaign of each libFuzzer target over its
# corpus). First, scripts/check-docs.sh: every code name in the docs is in
# the tree.
# Every preset runs even when an earlier one failed; the script then ends
# with a summary and fails if any preset did.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || { echo "test.sh: setup failed" >&2; exit 1; }
# The fuzz preset needs clang with libFuzzer; say so rather than skip it.
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o /dev/null; then
  echo "test.sh: clang++ with libFuzzer (packages clang, libclang-rt-dev) is not usable;" \
       "the fuzz tests cannot run" >&2
  exit 1
fi
# The Windows tests run in the locale of the client's users, the one Wine
# needs here too, so a test that reads a tool's translated words fails here.
run_tests() {
  if [ "$1" = windows ]; then
    LANG=ja_JP.UTF-8 ctest --preset "$1"
  else
    ctest --preset "$1"
  fi
}
failed=()
echo "=== docs"
bash scripts/check-docs.sh || failed+=("docs (names that are not in the tree: scripts/check-docs.sh)")
presets=(native windows native-asan native-tsan fuzz)
for preset in "${presets[@]}"; do
  echo "=== preset $preset"
  if ! cmake --preset "$preset"; then
    failed+=("$preset (configure)")
  elif ! cmake --build --preset "$preset"; then
    failed+=("$preset (build)")
  elif ! run_tests "$preset"; then
    failed+=("$preset (tests)")
  fi
done
echo "=== summary"
if [ ${#failed[@]} -gt 0 ]; then
  printf 'FAILED: %s\n' "${failed[@]}" >&2
  exit 1
fi
echo "all presets passed: ${presets[*]}"
