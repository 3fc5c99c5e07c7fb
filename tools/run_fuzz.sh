#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset: clang, AddressSanitizer,
# UndefinedBehaviorSanitizer), runs every saved input of fuzz/corpus/ as a
# regression test, then fuzzes each target for a while.
#   FUZZ_SECONDS   seconds of fuzzing per target (default 30; 0 runs the corpus only)
#   FUZZ_TARGETS   targets to run (default: all five)
# New inputs go to a scratch directory; a crash leaves its input in
# build/fuzz/artifacts/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${FUZZ_SECONDS:-30}
targets=(${FUZZ_TARGETS:-dbf_reader document_lists export import result_document})

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)" >/dev/null

# The targets write their inputs to files: a memory file system keeps that fast.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then export TMPDIR=/dev/shm; fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=build/fuzz/artifacts
mkdir -p "$artifacts"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

dictionary() {
  case $1 in
    dbf_reader | import) echo fuzz/dbf.dict ;;
    *) echo fuzz/xml.dict ;;
  esac
}

passed=0
summary=()
for target in "${targets[@]}"; do
  program=build/fuzz/fuzz/${target}_fuzz
  corpus=fuzz/corpus/$target
  log=$work/$target.log
  inputs=("$corpus"/*)
  echo "== $target: ${#inputs[@]} entradas guardadas"
  if ! "$program" -artifact_prefix="$artifacts/$target-" "${inputs[@]}" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$target: una entrada guardada falla" >&2
    exit 1
  fi
  runs=0
  if ((seconds > 0)); then
    mkdir -p "$work/$target"
    if ! "$program" -max_total_time="$seconds" -timeout=25 -print_final_stats=1 \
        -dict="$(dictionary "$target")" -artifact_prefix="$artifacts/$target-" \
        "$work/$target" "$corpus" >"$log" 2>&1; then
      tail -n 60 "$log"
      echo "$target: fallo encontrado; la entrada está en $artifacts/" >&2
      exit 1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  fi
  summary+=("$(printf '%-16s %6d entradas guardadas %10d ejecuciones en %ss' \
    "$target" "${#inputs[@]}" "$runs" "$seconds")")
  passed=$((passed + 1))
done
printf '%s\n' "${summary[@]}"
echo "fuzz: $passed passed, 0 failed"
