#!/usr/bin/python3
# atspibuttons.py SECONDS NAME... PRESS: finds a dialog's buttons by their
# accessible names through AT-SPI, as a screen reader does, within SECONDS;
# prints each one's role and description and presses the one named last.
import sys
import time

import pyatspi

BUTTON_ROLES = (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX)


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
        dialogs = [c for a in filter(None, pyatspi.Registry.getDesktop(0)) for c in filter(None, a)
                   if c.getRole() == pyatspi.ROLE_DIALOG]
        found = max((buttons(d, {}) for d in dialogs), key=lambda f: sum(n in f for n in names), default=found)
    missing = [name for name in names if name not in found]
    if missing:
        sys.exit("not found by name: %s (found: %s)" % (missing, sorted(found)))
    for name in names:
        print("%s: %s, %s" % (name, found[name].getRoleName(), found[name].description))
    found[names[-1]].queryAction().doAction(0)


if __name__ == "__main__":
    main()
