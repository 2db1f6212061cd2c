#!/usr/bin/env bash
# Sets up the machine, then configures, builds and runs every test of each
# preset: native (link/, server/), windows (everything, under Wine),
# native-asan (the native tests under AddressSanitizer and UBSan) and fuzz
# (a short fixed campaign of each libFuzzer target over its corpus).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The fuzz preset needs clang with libFuzzer; say so rather than skip it.
if ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' |
    clang++ -x c++ -fsanitize=fuzzer,address,undefined - -o /dev/null; then
  echo "test.sh: clang++ with libFuzzer (packages clang, libclang-rt-dev) is not usable;" \
       "the fuzz tests cannot run" >&2
  exit 1
fi
for preset in native windows native-asan fuzz; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
