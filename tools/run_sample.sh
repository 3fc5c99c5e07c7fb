#!/usr/bin/env bash
# The main job on the bundled sample school: exports samples/colegio.xml into a
# scratch table directory, then imports the sample solved timetable
# samples/SOLUC.DBF and shows the result document.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target transvb -j"$(nproc)" >/dev/null

work=$(mktemp -d)
tables="$work/VTEMP"
mkdir -p "$tables"
cp samples/colegio.xml "$work/"
transvb=build/default/cli/transvb

echo "== Exportación de $work/colegio.xml"
"$transvb" exportar "$work/colegio.xml" --tablas "$tables"

echo
echo "== Importación del horario resuelto de ejemplo (SOLUC.DBF)"
cp samples/SOLUC.DBF "$tables/"
"$transvb" importar "$work/colegio.xml" --tablas "$tables"

echo
echo "== Comienzo de $work/ResultadoToviracolegio.xml"
head -n 40 "$work/ResultadoToviracolegio.xml"
