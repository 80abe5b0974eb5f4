#!/usr/bin/env bash
# Builds everything and runs every test suite: the native module, then the
# 32-bit Windows DLL with its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh windows

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

cmake --preset windows-x86
cmake --build --preset windows-x86
source scripts/wine-env.sh
ctest --preset windows-x86
