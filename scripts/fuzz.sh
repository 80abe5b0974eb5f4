#!/usr/bin/env bash
# Runs every libFuzzer target for a bounded time (seconds per target, default
# 40), starting from its seed corpus and saved regressions. Fails on the first
# crash or mismatch; the input is kept under build/linux-fuzz/fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-40}"
build=build/linux-fuzz
mkdir -p "$build/fuzz-artifacts"
# Every target the build made, as fuzz/CMakeLists.txt lists them.
for binary in "$build"/fuzz/*_fuzzer; do
  target=$(basename "$binary" _fuzzer)
  work="$build/fuzz-corpus/$target"  # what the fuzzer learns stays out of the repository
  mkdir -p "$work"
  echo "== fuzzing $target for $seconds s"
  if ! "$build/fuzz/${target}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$build/fuzz-artifacts/$target-" "$work" "fuzz/corpus/$target" "fuzz/regressions/$target" \
       2>"$build/fuzz-$target.log"; then
    tail -n 40 "$build/fuzz-$target.log"
    echo "fuzz target $target failed; its input is in $build/fuzz-artifacts/ (keep it in fuzz/regressions/$target/)"
    exit 1
  fi
  grep -E '^stat::number_of_executed_units|^Done' "$build/fuzz-$target.log" || true
done
