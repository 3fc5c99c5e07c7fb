#!/usr/bin/env bash
# The benchmark: builds the default preset and measures export and import of
# synthetic schools at k = 1, 10 and 100 against the floor of the machine. The
# table (Markdown) goes to standard output; arguments are passed on to
# transvb_bench (for example --repeticiones 3 or --escalas 1,10).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target transvb transvb_bench -j"$(nproc)" >/dev/null
echo "Orden: bash tools/run_bench.sh $*"
echo "Núcleos (nproc): $(nproc)"
build/default/bench/transvb_bench "$@"
