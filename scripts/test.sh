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
# The tests and benchmarks are switched on here, not left to the folder's
# cache: scripts/run.sh builds in the same folder without them, and a test
# run that finds no tests is a failure, not a pass.
# shellcheck disable=SC2086
cmake -S . -B "$build" -DTAVO_WERROR=ON -DTAVO_TESTS=ON -DTAVO_BENCH=ON ${TAVO_CMAKE_ARGS:-}
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs"
if [[ ${TAVO_EXTRA_BUILDS:-1} != 0 ]]; then
  bash scripts/test_portability.sh
fi
