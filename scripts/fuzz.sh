#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and fuzzes each for SECONDS (60 by default),
# one after the other, starting from its committed seeds.
#
#   bash scripts/fuzz.sh [SECONDS] [TARGET...]
#
# FUZZ_RUNS stops each target after that many executions instead, whichever
# comes first. New inputs, crash files and the logs stay in build-fuzz/fuzz/;
# the committed corpus is only read. Fails on any crash, leak or sanitizer
# report.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
root=$(zarvex_root)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(server client chatline colourtext lzrw1 lzhuf settings tallytable)

zarvex_install "${ZARVEX_PACKAGES[@]}" clang libclang-rt-14-dev
build=$root/build-fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZARVEX_FUZZ=ON -DZARVEX_TESTS=OFF >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]/#/fuzz-}"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for name in "${targets[@]}"; do
  work=$build/fuzz/$name
  mkdir -p "$work/corpus" "$work/artifacts"
  options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/artifacts/")
  [ -n "${FUZZ_RUNS:-}" ] && options+=(-runs="$FUZZ_RUNS")
  [ -f "$root/fuzz/$name.dict" ] && options+=(-dict="$root/fuzz/$name.dict")
  echo "== $name: up to ${seconds}s${FUZZ_RUNS:+ or $FUZZ_RUNS runs}"
  status=0
  "$build/fuzz/fuzz-$name" "${options[@]}" "$work/corpus" "$root/fuzz/corpus/$name" \
    >"$work/log" 2>&1 || status=$?
  done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/log" | tail -n 1 || true)
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/log" | tail -n 1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/log" | tail -n 1)
  cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' <<<"$done_line" || true)
  echo "   executions ${runs:-?}, ${speed:-?}/s, ${cov:-no coverage line}"
  if [ "$status" -ne 0 ] || ls "$work/artifacts" | grep -qE '^(crash|leak|timeout|oom)-' \
      || grep -qE 'ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error:' "$work/log"; then
    echo "   FAILED (exit $status): see $work/log and $work/artifacts" >&2
    failed+=("$name")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "Fuzzing found problems in: ${failed[*]}" >&2
  exit 1
fi
echo "Every target ran clean."
