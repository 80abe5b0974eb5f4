#!/usr/bin/env bash
# Builds everything and runs every test suite: the native module plainly,
# under AddressSanitizer with UndefinedBehaviorSanitizer, and under
# ThreadSanitizer; the fuzz targets for a bounded time; then the 32-bit
# Windows DLL with its tests under Wine, and the Windows package, built twice
# to check that it rebuilds byte for byte.
#
# Every stage runs, whatever the ones before it did, and the run closes with
# one line per stage: passed, FAILED with its exit status, or NOT RUN with
# the reason. It exits with the status of the first stage that failed.
set -uo pipefail
cd "$(dirname "$0")/.."

results=()
status=0
# Runs a stage and notes how it ended. A stage that could only be built says
# so in $not_run, with the reason.
not_run=
stage() {
  local name=$1 start=$SECONDS code
  shift
  not_run=
  "$@"
  code=$?
  local took="$((SECONDS - start)) s"
  if [ "$code" -ne 0 ]; then
    results+=("$name: FAILED (exit $code) after $took${not_run:+; it could not have run here either: $not_run}")
    [ "$status" -ne 0 ] || status=$code
  elif [ -n "$not_run" ]; then
    results+=("$name: NOT RUN: $not_run; built, not run, in $took")
  else
    results+=("$name: passed in $took")
  fi
  echo "== ${results[-1]}"
}
finish() {
  printf "== %s\n" "${results[@]}"
  rm -f "$WINDOWS_NOT_RUN"
  exit "$status"
}
# Why the Windows suites cannot run here, as the install step found it.
export WINDOWS_NOT_RUN
WINDOWS_NOT_RUN=$(mktemp)
trap finish EXIT

stage installs scripts/install-deps.sh windows

for preset in linux linux-asan linux-tsan; do
  stage "$preset" cmake --workflow --preset "$preset"
done

fuzz() {
  cmake --preset linux-fuzz && cmake --build --preset linux-fuzz && scripts/fuzz.sh "${FUZZ_SECONDS:-40}"
}
stage linux-fuzz fuzz

# Wine runs 32-bit Windows programs as 32-bit Linux processes, natively or
# under qemu (install-deps.sh sets that up). A machine that runs neither can
# still build the DLL, not test it: a run that did not run its suites has
# not tested the product, and says so.
windows() {
  if scripts/can-run-32-bit.sh && command -v wine >/dev/null; then
    cmake --workflow --preset windows-x86
    return
  fi
  not_run=$(cat "$WINDOWS_NOT_RUN")
  if [ -z "$not_run" ]; then
    command -v wine >/dev/null && not_run="this machine runs no 32-bit programs" || not_run="Wine is not installed"
  fi
  echo "== The Windows suites cannot run here: $not_run"
  cmake --preset windows-x86 && cmake --build --preset windows-x86
}
stage windows-x86 windows
stage package scripts/package.sh --check
