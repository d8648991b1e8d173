#!/usr/bin/python3
"""Finds the dialog's buttons by their accessible names through AT-SPI, the
way a screen reader does, and presses the one named last.

    atspibuttons.py SECONDS NAME... PRESS

Waits up to SECONDS for an application showing a dialog with a push button
of every NAME, prints each button's role and description, then performs the
default action of the button named PRESS. Exits 1 when a name is missing."""
import sys
import time

import pyatspi


def dialogs():
    desktop = pyatspi.Registry.getDesktop(0)
    for application in desktop:
        if application is None:
            continue
        for child in application:
            if child is not None and child.getRole() == pyatspi.ROLE_DIALOG:
                yield child


def buttons(node):
    found = {}
    for child in node:
        if child is None:
            continue
        if child.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX):
            found.setdefault(child.name, child)
        for name, button in buttons(child).items():
            found.setdefault(name, button)
    return found


def main():
    seconds = float(sys.argv[1])
    names = sys.argv[2:]
    press = names[-1]
    deadline = time.monotonic() + seconds
    found = {}
    while time.monotonic() < deadline:
        for dialog in dialogs():
            found = buttons(dialog)
            if all(name in found for name in names):
                break
        if all(name in found for name in names):
            break
        time.sleep(0.2)
    missing = [name for name in names if name not in found]
    if missing:
        print("not found by name: %s (found: %s)" % (missing, sorted(found)), file=sys.stderr)
        return 1
    for name in names:
        button = found[name]
        print("%s: %s, %s" % (name, button.getRoleName(), button.description))
    action = found[press].queryAction()
    action.doAction(0)
    return 0


if __name__ == "__main__":
    sys.exit(main())
