#!/bin/sh
# Runs a command on a fresh X server (Xvfb) managed by a real window manager
# (openbox), for tests that need real windows, real stacking and real X input.
# Where any of these is missing it says so and exits with 77, which ctest
# counts as skipped.
#
#   tests/qt/under_window_manager.sh COMMAND [ARGUMENTS...]
set -u
for tool in Xvfb openbox xdotool xprop xwininfo; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (scripts/setup.sh installs it)"
        exit 77
    fi
done

work=$(mktemp -d)
xvfb=''
wm=''
cleanup() {
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Waits, about 20 seconds at the most, until the command given after the
# process id succeeds; fails at once when that process has ended.
wait_for() {
    pid=$1
    shift
    waited=0
    until "$@"; do
        if [ "$waited" -ge 200 ] || ! kill -0 "$pid" 2>/dev/null; then
            return 1
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
}
display_ready() {
    [ -s "$work/display" ] && DISPLAY=":$(cat "$work/display")" xprop -root >/dev/null 2>&1
}
window_manager_ready() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Xvfb picks a free display and writes its number when it starts to listen.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
if ! wait_for "$xvfb" display_ready; then
    echo "skipped: Xvfb did not start: $(cat "$work/xvfb.log")"
    exit 77
fi
DISPLAY=":$(cat "$work/display")"
export DISPLAY

openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm=$!
if ! wait_for "$wm" window_manager_ready; then
    echo "skipped: openbox did not start: $(cat "$work/openbox.log")"
    exit 77
fi

export QT_QPA_PLATFORM=xcb TAVO_WINDOW_MANAGER=openbox
"$@"
