#!/usr/bin/env bash
# Keeps the docs honest about the code: every code name where the doc says it
# lives, every source file in its folder's table, every thread the product
# starts in ARCHITECTURE's threads table (scripts/check_docs.py says how).
# Prints each miss and fails when there is one. Run by scripts/test.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
LC_ALL=C exec python3 scripts/check_docs.py
