#!/usr/bin/env bash
# Builds the form runner and runs the demo: in a window where there is a
# display, else its tour under Xvfb, which writes pictures of the screen into
# out/screenshots/. Then the headless examples, which need no display at all.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

build=${TAVO_BUILD_DIR:-build}
cmake -S . -B "$build" -DTAVO_TESTS=OFF -DTAVO_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target tavo-run
runner="$(cd "$build" && pwd)/bin/tavo-run"  # the build folder may be given relative or absolute

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "== tavo-run (the demo form; close its window to go on)"
  "$runner"
else
  shots="$PWD/out/screenshots"
  mkdir -p "$shots"
  echo "== no display: the demo's tour under Xvfb"
  # The pictures land in the current folder of the run.
  (cd "$shots" && xvfb-run -a -s "-screen 0 1024x768x24" "$runner" --script "$OLDPWD/examples/demo_tour.tavo")
  echo "== pictures of the tour (popup open, tree expanded) are in $shots/"
  ls "$shots"
fi

for script in examples/tree_demo.tavo examples/date_popup.tavo examples/tree_controller.tavo; do
  [ -f "$script" ] || continue
  echo "== tavo-run --headless --script $script"
  "$runner" --headless --script "$script"
done
