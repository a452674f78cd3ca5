#!/usr/bin/python3
"""What the program's open file dialog shows, read through the desktop's accessibility interface.

Usage: open_dialog_view.py PID state   prints "FILE_TYPE|EVERY,FILE_TYPE|ticked" (or "unticked")
       open_dialog_view.py PID box     prints the screen point on the read-only box's square: "X Y"
Waits up to 20 seconds for the dialog of process PID to show them; exits 1 if it never does.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402


def find(accessible, role, depth=0):
    """Every descendant of the given role, depth first."""
    found = []
    for i in range(accessible.get_child_count() if depth < 12 else 0):
        child = accessible.get_child_at_index(i)
        if child is None:
            continue
        if child.get_role() == role:
            found.append(child)
        found += find(child, role, depth + 1)
    return found


def dialog_of(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        application = desktop.get_child_at_index(i)
        if application is not None and application.get_process_id() == pid:
            dialogs = find(application, Atspi.Role.DIALOG)
            return dialogs[0] if dialogs else None
    return None


def view(pid, what):
    dialog = dialog_of(pid)
    if dialog is None:
        return None
    boxes = [b for b in find(dialog, Atspi.Role.CHECK_BOX) if b.get_name() == "Open as read-only"]
    # The dialog's second list of choices is the file type; the first is the folder.
    types = find(dialog, Atspi.Role.COMBO_BOX)[1:]
    if not boxes or not types:
        return None
    if what == "box":
        extents = boxes[0].get_extents(Atspi.CoordType.SCREEN)
        return f"{extents.x + 6} {extents.y + extents.height // 2}"
    items = [item.get_name() for item in find(types[0], Atspi.Role.LIST_ITEM)]
    ticked = boxes[0].get_state_set().contains(Atspi.StateType.CHECKED)
    return f"{types[0].get_name()}|{','.join(items)}|{'ticked' if ticked else 'unticked'}"


def main():
    pid, what = int(sys.argv[1]), sys.argv[2]
    deadline = time.monotonic() + 20
    while time.monotonic() < deadline:
        try:
            answer = view(pid, what)
        except GLib.Error:
            answer = None  # the tree changed while it was read
        if answer:
            print(answer)
            return 0
        time.sleep(0.1)
    return 1


if __name__ == "__main__":
    sys.exit(main())
