#!/usr/bin/env bash
# Builds everything and runs every test suite: the native module plainly,
# under AddressSanitizer with UndefinedBehaviorSanitizer, and under
# ThreadSanitizer; the fuzz targets for a bounded time; then the 32-bit
# Windows DLL with its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh windows

for preset in linux linux-asan linux-tsan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

cmake --preset linux-fuzz
cmake --build --preset linux-fuzz
scripts/fuzz.sh "${FUZZ_SECONDS:-40}"

cmake --preset windows-x86
cmake --build --preset windows-x86
source scripts/wine-env.sh
ctest --preset windows-x86
