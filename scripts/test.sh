#!/usr/bin/env bash
# Sets up the machine, then configures, builds and runs every test of both
# presets: native (link/, server/) and windows (everything, under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
for preset in native windows; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
