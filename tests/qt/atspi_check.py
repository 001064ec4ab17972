"""The demo form's buttons as an assistive tool sees them, through AT-SPI.

Starts tavo-run (the demo form, in a real window) with Qt's accessibility
bridge on, finds the application on the AT-SPI desktop, and checks that the
date control's drop button and the tree controller's four buttons are push
buttons with names, that the tree controller's frame is an image, and that
pressing buttons through AT-SPI does what a click does: the drop button opens
the popup, "Alle Elemente aufklappen" opens the tree. The runner prints what
happens; that is where the presses are seen.

Run by tests/qt/atspi_check.sh inside a D-Bus session on an X server:
    atspi_check.py TAVO_RUN
Exits 0 when all is seen, 1 with the reasons when not.
"""
import os
import pty
import queue
import subprocess
import sys
import threading
import time

import pyatspi

DEADLINE = 15.0  # seconds for the application and for each effect of a press

BUTTONS = [
    "Kalender öffnen",
    "Aktuelles Element aufklappen",
    "Alle Elemente aufklappen",
    "Alle Elemente zuklappen",
    "Aktuelles Element zuklappen",
]


def find_application(name):
    end = time.monotonic() + DEADLINE
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == name:
                return app
        time.sleep(0.1)
    return None


def walk(node, depth=0):
    if node is None or depth > 40:
        return
    yield node
    for child in node:
        yield from walk(child, depth + 1)


def press(accessible):
    action = accessible.queryAction()
    for i in range(action.nActions):
        if action.getName(i).lower() == "press":
            action.doAction(i)
            return True
    return False


def main():
    runner = sys.argv[1]
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    # On a terminal the runner writes each line as it happens.
    terminal, runner_side = pty.openpty()
    app_process = subprocess.Popen([runner], stdout=runner_side, stderr=subprocess.DEVNULL, env=env)
    os.close(runner_side)
    printed = queue.Queue()

    def read_lines():
        with open(terminal, "r", encoding="utf-8", errors="replace") as lines:
            try:
                for line in lines:
                    printed.put(line.strip())
            except OSError:  # the terminal closes with the runner
                pass

    threading.Thread(target=read_lines, daemon=True).start()

    def wait_for_line(prefix):
        end = time.monotonic() + DEADLINE
        while time.monotonic() < end:
            try:
                line = printed.get(timeout=0.1)
            except queue.Empty:
                continue
            if line.startswith(prefix):
                return True
        return False

    problems = []
    try:
        app = find_application("tavo-run")
        if app is None:
            print("tavo-run did not appear on the AT-SPI desktop")
            return 1
        seen = {}
        for node in walk(app):
            seen.setdefault(node.name, []).append(node)
        for name in BUTTONS:
            roles = [n.getRoleName() for n in seen.get(name, [])]
            if "push button" not in roles:
                problems.append(f'no push button named "{name}" (seen as {roles or "nothing"})')
        expand_all = [n for n in seen.get("Alle Elemente aufklappen", []) if n.getRoleName() == "push button"]
        if expand_all and "image" not in [n.getRoleName() for n in expand_all[0].parent]:
            problems.append("the tree controller's frame, beside its buttons, is not an image")
        if expand_all:
            if not press(expand_all[0]):
                problems.append('"Alle Elemente aufklappen" has no press action')
            elif not wait_for_line("ensurevisible SSTree1."):
                problems.append('pressing "Alle Elemente aufklappen" did not open the tree')
        drop = [n for n in seen.get("Kalender öffnen", []) if n.getRoleName() == "push button"]
        if drop:
            if not press(drop[0]):
                problems.append('"Kalender öffnen" has no press action')
            elif not wait_for_line("show frmCalendar"):
                problems.append('pressing "Kalender öffnen" did not open the popup')
    finally:
        app_process.kill()
        app_process.wait()

    for p in problems:
        print(p)
    if not problems:
        print("the buttons are push buttons with names, and pressing them works")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
