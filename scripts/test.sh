#!/usr/bin/env bash
# Builds everything and runs every test suite: the native module plainly,
# under AddressSanitizer with UndefinedBehaviorSanitizer, and under
# ThreadSanitizer; the fuzz targets for a bounded time; then the 32-bit
# Windows DLL with its tests under Wine, and the Windows package, built twice
# to check that it rebuilds byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."

# Each stage's time, said as it ends and again at the end, for README's table.
timings=()
stage() {
  local name=$1 start=$SECONDS
  shift
  "$@"
  timings+=("$name $((SECONDS - start)) s")
  echo "== $name took $((SECONDS - start)) s"
}
# A run that could not run the DLL's suites has not tested the product: its
# last line says so, and why, where nobody can miss it.
export WINDOWS_NOT_RUN
WINDOWS_NOT_RUN=$(mktemp)
windows_not_run=
finish() {
  printf "== %s\n" "${timings[@]}"
  [ -z "$windows_not_run" ] || echo "== NOT RUN: the Windows suites (windows-x86): $windows_not_run"
  rm -f "$WINDOWS_NOT_RUN"
}
trap finish EXIT

stage installs scripts/install-deps.sh windows

for preset in linux linux-asan linux-tsan; do
  stage "$preset" cmake --workflow --preset "$preset"
done

fuzz() {
  cmake --preset linux-fuzz
  cmake --build --preset linux-fuzz
  scripts/fuzz.sh "${FUZZ_SECONDS:-40}"
}
stage linux-fuzz fuzz

# Wine runs 32-bit Windows programs as 32-bit Linux processes, natively or
# under qemu (install-deps.sh sets that up). A machine that runs neither can
# still build the DLL, not test it.
windows() {
  if scripts/can-run-32-bit.sh && command -v wine >/dev/null; then
    cmake --workflow --preset windows-x86
  else
    windows_not_run=$(cat "$WINDOWS_NOT_RUN")
    if [ -z "$windows_not_run" ]; then
      command -v wine >/dev/null && windows_not_run="this machine runs no 32-bit programs" ||
        windows_not_run="Wine is not installed"
    fi
    windows_not_run+="; the DLL and its suites were built, not run"
    echo "== NOT RUN: $windows_not_run"
    cmake --preset windows-x86
    cmake --build --preset windows-x86
  fi
}
stage windows-x86 windows
stage package scripts/package.sh --check
