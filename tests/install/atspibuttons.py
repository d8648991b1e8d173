#!/usr/bin/python3
# Finds the dialog's buttons by their accessible names through AT-SPI, the
# way a screen reader does, and presses the one named last.
#
#     atspibuttons.py SECONDS NAME... PRESS
#
# Waits up to SECONDS for an application showing a dialog with a push button
# of every NAME, prints each button's role and description, then performs the
# default action of the button named PRESS. Exits 1 when a name is missing.
import sys
import time

import pyatspi

BUTTON_ROLES = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX)


def dialogs():
    for application in filter(None, pyatspi.Registry.getDesktop(0)):
        yield from (child for child in filter(None, application) if child.getRole() == pyatspi.ROLE_DIALOG)


def buttons(node, found):
    for child in filter(None, node):
        if child.getRole() in BUTTON_ROLES:
            found.setdefault(child.name, child)
        buttons(child, found)
    return found


def main():
    names = sys.argv[2:]
    deadline = time.monotonic() + float(sys.argv[1])
    found = {}
    while time.monotonic() < deadline and not all(name in found for name in names):
        time.sleep(0.2)
        for dialog in dialogs():
            found = buttons(dialog, {})
            if all(name in found for name in names):
                break
    missing = [name for name in names if name not in found]
    if missing:
        print("not found by name: %s (found: %s)" % (missing, sorted(found)), file=sys.stderr)
        return 1
    for name in names:
        print("%s: %s, %s" % (name, found[name].getRoleName(), found[name].description))
    found[names[-1]].queryAction().doAction(0)
    return 0


if __name__ == "__main__":
    sys.exit(main())
