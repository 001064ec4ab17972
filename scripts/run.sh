#!/usr/bin/env bash
# Builds the form runner and runs the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=${TAVO_BUILD_DIR:-build}
cmake -S . -B "$build" -DTAVO_TESTS=OFF -DTAVO_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target tavo-run
for script in examples/tree_demo.tavo examples/date_popup.tavo examples/tree_controller.tavo; do
  [ -f "$script" ] || continue
  echo "== tavo-run --headless --script $script"
  "$build/bin/tavo-run" --headless --script "$script"
done
