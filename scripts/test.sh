#!/usr/bin/env bash
# Builds everything and runs every test.
#   TAVO_BUILD_DIR   build folder (default build)
#   TAVO_CMAKE_ARGS  extra CMake arguments (e.g. -DTAVO_SANITIZE=ON)
#   TAVO_EXTRA_BUILDS=0  skips the Windows (Wine) and clang builds after the tests
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=${TAVO_BUILD_DIR:-build}
jobs=$(nproc)
# shellcheck disable=SC2086
cmake -S . -B "$build" -DTAVO_WERROR=ON ${TAVO_CMAKE_ARGS:-}
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs"
if [[ ${TAVO_EXTRA_BUILDS:-1} != 0 ]]; then
  bash scripts/test_portability.sh
fi
