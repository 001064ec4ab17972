#!/bin/sh
# Runs atspi_check.py (the demo's buttons as an assistive tool sees them) in a
# D-Bus session of its own on an X server of its own. Where AT-SPI, pyatspi,
# D-Bus or Xvfb is missing it says so and exits with 77, which ctest counts
# as skipped.
#
#   tests/qt/atspi_check.sh TAVO_RUN
set -u
python=/usr/bin/python3
for tool in dbus-run-session xvfb-run "$python"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "skipped: $tool is not installed (scripts/setup.sh installs what is needed)"
        exit 77
    fi
done
if [ ! -e /usr/share/dbus-1/services/org.a11y.Bus.service ]; then
    echo "skipped: the AT-SPI bus is not installed (at-spi2-core)"
    exit 77
fi
if ! "$python" -c 'import pyatspi' 2>/dev/null; then
    echo "skipped: pyatspi is not installed (python3-pyatspi)"
    exit 77
fi
exec dbus-run-session -- xvfb-run -a -s "-screen 0 1280x1024x24" "$python" "$(dirname "$0")/atspi_check.py" "$@"
