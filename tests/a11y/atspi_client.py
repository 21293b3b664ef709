#!/usr/bin/python3
"""Drives the running calculator through AT-SPI, as a screen reader would.

Finds the window by its title and every control by its accessible name and
role, types a pressure, presses 計算 through its accessible action, and checks
what assistive technology reads from the result boxes and the events that
announce them; then the error box, a change of bore, and 終了.

Prints what a screen reader has to say at each step. Exit status 0 on success.
"""
import sys
import time

import pyatspi
from gi.repository import GLib

TITLE = "消火栓放水量計算"
TIMEOUT = 10.0


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def pump(seconds):
    """Lets AT-SPI deliver events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.01)


def wait_for(what, probe, seconds=TIMEOUT):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = probe()
        if found:
            return found
        pump(0.05)
    fail("timed out waiting for " + what)


def children(accessible):
    return [accessible.getChildAtIndex(i) for i in range(accessible.childCount)]


def descendants(accessible):
    for child in children(accessible):
        if child is None:
            continue
        yield child
        yield from descendants(child)


def text_of(accessible):
    text = accessible.queryText()
    return text.getText(0, text.characterCount)


def is_showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def find(root, role, name, description_part=None):
    """The one showing control with this role and name (and description part)."""
    matches = [
        a for a in descendants(root)
        if a.getRole() == role and a.name == name and is_showing(a)
        and (description_part is None or description_part in a.description)
    ]
    if len(matches) != 1:
        fail("%d controls with role %s and name %r (description with %r)"
             % (len(matches), pyatspi.Accessible.getRoleName(matches[0]) if matches else role,
                name, description_part))
    return matches[0]


def do_action(accessible, *names):
    """Runs the first of the named actions that the control offers."""
    action = accessible.queryAction()
    offered = {action.getName(i).lower(): i for i in range(action.nActions)}
    for name in names:
        if name in offered:
            action.doAction(offered[name])
            return
    fail("%r offers none of %s, only %s" % (accessible.name, names, sorted(offered)))


def spoken(accessible, text=None):
    """What a screen reader says for a control: name, role, content, description."""
    parts = [accessible.name, accessible.getLocalizedRoleName()]
    if text:
        parts.append(text)
    if accessible.description:
        parts.append(accessible.description)
    return " ".join(p for p in parts if p)


class Announcements:
    """Collects the change events of the objects a screen reader watches."""

    EVENTS = ("object:text-changed:insert", "object:property-change:accessible-value",
              "object:property-change:accessible-name")

    def __init__(self):
        self.events = []
        pyatspi.Registry.registerEventListener(self.on_event, *self.EVENTS)

    def on_event(self, event):
        self.events.append((event.type, event.source, event.any_data))

    def of(self, source, kind):
        return [e for e in self.events if e[0].startswith(kind) and e[1] == source]

    def clear(self):
        self.events.clear()


def find_window():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app is None:
            continue
        for window in children(app):
            if window is not None and window.name == TITLE and window.getRole() == pyatspi.ROLE_FRAME:
                return app, window
    return None


def main():
    app, window = wait_for("the window %r" % TITLE, find_window)
    print("window: " + spoken(window))

    group = find(window, pyatspi.ROLE_PANEL, "ノズルの口径")
    bores = {}
    for name in ("8mm ２号消火栓、補助散水栓", "13mm １号消火栓 (40A)", "19mm 屋外消火栓 (65A)"):
        bores[name] = find(group, pyatspi.ROLE_RADIO_BUTTON, name)
    pressure = find(window, pyatspi.ROLE_TEXT, "放水圧力", "Kgf/cm・cm")
    discharge = find(window, pyatspi.ROLE_LABEL, "放水量", "リットル/min")
    mpa = find(window, pyatspi.ROLE_LABEL, "放水圧力", "MPa")
    calculate = find(window, pyatspi.ROLE_PUSH_BUTTON, "計算")
    exit_button = find(window, pyatspi.ROLE_PUSH_BUTTON, "終了")
    for control in [group, *bores.values(), pressure, discharge, mpa, calculate, exit_button]:
        print("control: " + spoken(control))

    checked = [n for n, b in bores.items() if b.getState().contains(pyatspi.STATE_CHECKED)]
    if checked != ["13mm １号消火栓 (40A)"]:
        fail("checked bores at start: %r" % checked)
    if text_of(discharge) != "" or text_of(mpa) != "":
        fail("result boxes are not empty at start")

    announcements = Announcements()
    pump(0.5)  # the program learns of the new listener before anything happens

    # An empty pressure box: the error box, read and dismissed through AT-SPI.
    do_action(calculate, "press", "click")

    def error_box():
        for window_ in children(app):
            try:
                if window_ is not None and window_.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG):
                    return window_
            except GLib.GError:
                pass  # a window that has just gone
        return None

    box = wait_for("the error box", error_box)
    if box.name != TITLE:
        fail("error box caption %r" % box.name)
    message = "'' は浮動小数点数ではありません."
    texts = [a for a in descendants(box) if a.getRole() == pyatspi.ROLE_LABEL and a.name == message]
    if len(texts) != 1:
        fail("error box texts: %r" % [a.name for a in descendants(box) if a.getRole() == pyatspi.ROLE_LABEL])
    ok = find(box, pyatspi.ROLE_PUSH_BUTTON, "OK")
    print("error box: %s / %s / %s" % (spoken(box), texts[0].name, spoken(ok)))
    do_action(ok, "press", "click")
    wait_for("the error box to close", lambda: error_box() is None)
    if text_of(discharge) != "" or text_of(mpa) != "":
        fail("result boxes changed by a failed calculation")

    # 3.5 with the 13 mm bore: 206 litres per minute, 0.34 MPa.
    pressure.queryEditableText().setTextContents("3.5")
    wait_for("the pressure text", lambda: text_of(pressure) == "3.5")
    announcements.clear()
    do_action(calculate, "press", "click")
    wait_for("the results", lambda: text_of(discharge) == "206" and text_of(mpa) == "0.34")
    for box_, shown, value in ((discharge, "206", 206.0), (mpa, "0.34", 0.34)):
        if abs(box_.queryValue().currentValue - value) > 1e-9:
            fail("%r value %r" % (box_.name, box_.queryValue().currentValue))
        wait_for("the announcement of %r" % box_.description,
                 lambda: box_ in [e[1] for e in announcements.events])
        inserted = [e[2] for e in announcements.of(box_, "object:text-changed:insert")]
        if inserted != [shown]:
            fail("%r announced text %r" % (box_.description, inserted))
        if not announcements.of(box_, "object:property-change:accessible-value"):
            fail("%r announced no value change" % box_.description)
        print("announced: " + spoken(box_, shown))

    # A result box is read-only, whatever its value interface offers.
    discharge.queryValue().currentValue = 1.0
    pump(0.2)
    if text_of(discharge) != "206":
        fail("the discharge box took a value from outside")

    # Another bore through its accessible action, then the same pressure again.
    do_action(bores["19mm 屋外消火栓 (65A)"], "toggle", "press", "click")
    wait_for("the 19 mm bore", lambda: bores["19mm 屋外消火栓 (65A)"].getState().contains(pyatspi.STATE_CHECKED))
    announcements.clear()
    do_action(calculate, "press", "click")
    wait_for("the 19 mm results", lambda: text_of(discharge) == "441" and text_of(mpa) == "0.34")
    # The same figure again is announced again.
    wait_for("the repeated MPa announcement",
             lambda: [e[2] for e in announcements.of(mpa, "object:text-changed:insert")] == ["0.34"])
    print("announced: " + spoken(discharge, "441") + " / " + spoken(mpa, "0.34"))

    do_action(exit_button, "press", "click")
    print("ok: AT-SPI")


if __name__ == "__main__":
    main()
