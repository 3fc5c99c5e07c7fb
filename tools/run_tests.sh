#!/usr/bin/env bash
# Builds everything under AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test, then the fuzz targets: their saved inputs and a short run each.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset asan
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"
bash tools/run_fuzz.sh
