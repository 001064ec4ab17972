#!/usr/bin/env bash
# Takes the month grid's pictures in docs/screenshots/ under Xvfb: a new
# control's popup in its default colours at pixel densities 1 and 2, in a
# dark desktop palette, and in Arabic (right to left, Arabic digits).
# Usage: scripts/month_grid_pictures.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
runner="$PWD/${1:-build}/bin/tavo-run"
shots="$PWD/docs/screenshots"
form="$shots/month-grid.frm"
script="$shots/month-grid.tavo"

# One picture: a file name, a pixel density, the screen's width, then the
# environment to run in. The screen is 450 pixels high: room for three months
# under the control.
take() {
  local png=$1 scale=$2 width=$3
  shift 3
  local w h
  w=$(awk -v s="$scale" -v w="$width" 'BEGIN { print int(w * s) }')
  h=$(awk -v s="$scale" 'BEGIN { print int(450 * s) }')
  env QT_SCALE_FACTOR="$scale" "$@" xvfb-run -a -s "-screen 0 ${w}x${h}x24" \
    "$runner" --script "$script" --screenshot "$shots/$png" "$form" >/dev/null
  echo "wrote docs/screenshots/$png"
}

take month-grid-defaults.png 1 300 LC_ALL=C.UTF-8
take month-grid-defaults-scale2.png 2 300 LC_ALL=C.UTF-8

# A dark desktop scheme as Qt's KDE theme reads it from kdeglobals.
dark=$(mktemp -d)
trap 'rm -rf "$dark"' EXIT
cat >"$dark/kdeglobals" <<'COLOURS'
[Colors:Button]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:Selection]
BackgroundNormal=61,174,233
ForegroundNormal=239,240,241
[Colors:Tooltip]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
[Colors:View]
BackgroundNormal=35,38,41
ForegroundNormal=239,240,241
[Colors:Window]
BackgroundNormal=49,54,59
ForegroundNormal=239,240,241
COLOURS
take month-grid-dark.png 1 300 LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$dark" QT_QPA_PLATFORMTHEME=kde KDE_SESSION_VERSION=5

# Arabic weekday names are long: the grid is wider.
take month-grid-arabic.png 1 420 LC_ALL=ar_EG.UTF-8 LANG=ar_EG.UTF-8
