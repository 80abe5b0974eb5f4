#!/usr/bin/env bash
# Builds everything and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset linux
cmake --build --preset linux
ctest --preset linux
