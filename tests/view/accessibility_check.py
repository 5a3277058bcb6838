#!/usr/bin/python3
"""The main window as a screen reader meets it, over AT-SPI.

Starts the real window on an empty data folder, walks its accessible tree and
lists every control a user can reach (focusable or offering an action) that
has no name or only a generic role. Then adds a task through AT-SPI alone (the
toolbar button's action, the dialog's editable text, OK's action), reads it
back through the command line and checks that the grid reads it out, that
the dialogs of the toolbar and the menus (each settings page too) have every
control named, that moving to the previous day is announced with the day
shown, and that a used-up budget is announced by the tracker panel and an
alert.

Needs a session bus (the AT-SPI bus is started on demand) and an X server.
Usage: accessibility_check.py WINDOW_PROGRAM CLI_PROGRAM
"""

import json
import os
import sqlite3
import subprocess
import sys
import tempfile
import time

try:
    import gi
    gi.require_version("Atspi", "2.0")
    import pyatspi
    from gi.repository import Atspi, GLib
except (ImportError, ValueError):
    print("pyatspi not available: skipped")
    sys.exit(77)

TIMEOUT = 60.0

# Roles that tell a screen reader nothing about what a control is.
GENERIC_ROLES = {
    pyatspi.ROLE_INVALID,
    pyatspi.ROLE_UNKNOWN,
    pyatspi.ROLE_FILLER,
    pyatspi.ROLE_PANEL,
    pyatspi.ROLE_REDUNDANT_OBJECT,
    pyatspi.ROLE_EXTENDED,
}


# Roles of controls a user works, enabled or not (a disabled control offers
# no action, yet a screen reader reads it as unavailable).
CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_TOGGLE_BUTTON,
    pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_TEXT,
    pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_TABLE,
    pyatspi.ROLE_LIST,
    pyatspi.ROLE_TREE,
    pyatspi.ROLE_PAGE_TAB,
}


class Failure(Exception):
    pass


def pump():
    """Lets queued AT-SPI events reach their listeners."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe, timeout=TIMEOUT):
    """Polls probe until it gives something true; the tree changes under us
    while the window works, so a failing look-up only means "not yet"."""
    deadline = time.monotonic() + timeout
    while True:
        pump()
        try:
            found = probe()
        except GLib.GError:
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            raise Failure(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(0.05)


def children(node):
    try:
        return [c for c in node if c is not None]
    except GLib.GError:
        return []


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def descendants(node):
    for child in children(node):
        yield child
        yield from descendants(child)


def find(root, role, name=None, predicate=None):
    for node in descendants(root):
        try:
            if node.getRole() != role or not showing(node):
                continue
            if name is not None and node.name != name:
                continue
            if predicate and not predicate(node):
                continue
            return node
        except GLib.GError:
            continue
    return None


def action_count(node):
    try:
        return node.queryAction().nActions
    except NotImplementedError:
        return 0


def describe(node, path):
    return f"{path}: role '{node.getRoleName()}', name '{node.name}'"


def unnamed_controls(root):
    """Every showing control a user can reach that has no name or a generic role."""
    problems = []

    def walk(node, path):
        for index, child in enumerate(children(node)):
            try:
                if not showing(child):
                    continue
                states = child.getState()
                reachable = (states.contains(pyatspi.STATE_FOCUSABLE)
                             or action_count(child) > 0
                             or child.getRole() in CONTROL_ROLES)
                here = f"{path}/{index}:{child.getRoleName()}"
                if reachable and (not child.name.strip() or child.getRole() in GENERIC_ROLES):
                    problems.append(describe(child, here))
                walk(child, here)
            except GLib.GError:
                continue

    walk(root, root.getRoleName())
    return problems


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for wanted in ("Press", "press", "click"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    raise Failure(f"{describe(node, 'control')} offers no press action, only {names}")


def act(node, wanted):
    """Runs one of a control's actions without waiting for its reply: a menu
    command that opens a modal dialog answers only once the dialog closes."""
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if wanted not in names:
        raise Failure(f"{describe(node, 'control')} offers no '{wanted}' action, only {names}")
    Atspi.set_timeout(1000, 15000)
    try:
        action.doAction(names.index(wanted))
    except GLib.GError:
        pass
    finally:
        Atspi.set_timeout(-1, -1)


def menu_command(frame, menu, item):
    """Chooses a command from the menu bar, the way a screen reader user's
    review cursor does: opens the menu, then activates its item."""
    bar = wait_for("the menu bar", lambda: find(frame, pyatspi.ROLE_MENU_BAR))
    title = next((m for m in children(bar) if m.name == menu), None)
    if title is None:
        raise Failure(f"no menu '{menu}' in {[m.name for m in children(bar)]}")
    act(title, "ShowMenu")
    entry = wait_for(f"'{item}' in the menu '{menu}'",
                     lambda: find(title, pyatspi.ROLE_MENU_ITEM, item))
    action = entry.queryAction()
    act(entry, action.getName(0))


def with_window(window_program, data, environment, check):
    """Runs the window on `data` with its accessibility bridge on, calls
    check(window) for a list of failures and ends the window whatever came."""
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", **environment)
    window = subprocess.Popen([window_program, "--data-dir", data], env=env)
    try:
        return check(window)
    except Failure as failure:
        return [str(failure)]
    finally:
        window.terminate()
        try:
            window.wait(timeout=30)
        except subprocess.TimeoutExpired:
            window.kill()
            window.wait()


def main():
    window_program, cli_program = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="cdk-a11y-") as data:
        failures = with_window(window_program, data, {},
                               lambda window: run(window, cli_program, data))
    failures += finish_announced(window_program, cli_program)
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("accessible tree named, task added over AT-SPI, the finish announced")
    return 1 if failures else 0


def application_of(pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        try:
            if app.get_process_id() == pid:
                return app
        except GLib.GError:
            continue
    return None


def run(window, cli_program, data):
    failures = []
    app = wait_for("the window on the accessibility bus", lambda: application_of(window.pid))
    frame = wait_for(
        "the main window",
        lambda: next((w for w in children(app)
                      if w.getRole() == pyatspi.ROLE_FRAME and showing(w)), None))
    wait_for("the task grid", lambda: find(frame, pyatspi.ROLE_TABLE))

    problems = unnamed_controls(frame)
    if problems:
        failures.append("controls without a name or with a generic role:\n  "
                        + "\n  ".join(problems))

    # Nothing is selected yet: the commands on a task read as unavailable.
    edit = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Edit Selected Task")
    if edit is None or edit.getState().contains(pyatspi.STATE_ENABLED):
        failures.append("'Edit Selected Task' is missing or does not read as unavailable")

    add = find(frame, pyatspi.ROLE_PUSH_BUTTON, "Add New Task")
    if add is None:
        failures.append("no push button named 'Add New Task'")
        return failures
    press(add)
    dialog = wait_for("the task dialog", lambda: showing_dialog(app))
    subject = wait_for("the subject field",
                       lambda: find(dialog, pyatspi.ROLE_TEXT, "Subject:")
                       or find(dialog, pyatspi.ROLE_ENTRY, "Subject:"))
    problems = unnamed_controls(dialog)
    if problems:
        failures.append("task dialog controls without a name or with a generic role:\n  "
                        + "\n  ".join(problems))
    subject_text = "Call the printer repair shop"
    subject.queryEditableText().setTextContents(subject_text)
    wait_for("the typed subject", lambda: subject.queryText().getText(0, -1) == subject_text)
    press(wait_for("the OK button", lambda: find(dialog, pyatspi.ROLE_PUSH_BUTTON, "OK")))
    wait_for("the dialog to close", lambda: not showing(dialog))

    listed = subprocess.run([cli_program, "--data-dir", data, "list", "--json"],
                            capture_output=True, text=True, timeout=60)
    if listed.returncode != 0:
        failures.append(f"list --json failed ({listed.returncode}): {listed.stderr.strip()}")
    elif subject_text not in json.dumps(json.loads(listed.stdout), ensure_ascii=False):
        failures.append(f"the task is not in the database: {listed.stdout.strip()}")

    # The new row, read as a screen reader reads it: check state, subject,
    # budget, time done and percent, each under its column's header.
    grid = find(frame, pyatspi.ROLE_TABLE)
    cell = wait_for("the new row in the grid",
                    lambda: find(grid, pyatspi.ROLE_TABLE_CELL, subject_text))
    table = grid.queryTable()
    row = table.getRowAtIndex(cell.getIndexInParent())
    read = {}
    for column in range(table.nColumns):
        header = table.getColumnHeader(column)
        read[header.name if header else str(column)] = table.getAccessibleAt(row, column).name
    print("row read out:", read)
    expected = {"Check box": "not checked", "Task": subject_text, "Done": "0:00", "%": "0%"}
    for header, text in expected.items():
        if read.get(header) != text:
            failures.append(f"column '{header}' reads '{read.get(header)}', not '{text}'")
    if not read.get("Duration"):
        failures.append(f"the budget reads nothing: {read}")

    for button, close in (("Display Settings", "Cancel"), ("Manage Categories", "Close")):
        failures += dialog_named(app, frame, button, close)
    failures += settings_pages_named(app, frame)
    for menu, item, close in (("Task", "Edit Task...", "Cancel"),
                              ("Task", "Manage Recurrent Tasks...", "Close"),
                              ("Task", "Review the Day...", "Cancel"),
                              ("Task", "Move Task(s) To Any Day..", "Cancel"),
                              ("File", "Sync...", "Close"),
                              ("Help", "About...", "OK")):
        failures += menu_dialog_named(app, frame, menu, item, close)
    failures += day_change_announced(frame)
    for menu, item, title in (("Time Tracking", "Reports...", "Reports - Chronodeck"),
                              ("Help", "Quick Tutorial...", "Quick Tutorial")):
        failures += menu_window_named(app, frame, menu, item, title)
    return failures


def showing_dialog(app):
    return next((w for w in children(app)
                 if w.getRole() == pyatspi.ROLE_DIALOG and showing(w)), None)


def dialog_named(app, frame, button, close):
    """The dialog a toolbar button opens has every control named."""
    press(find(frame, pyatspi.ROLE_PUSH_BUTTON, button))
    return named_then_closed(app, f"the dialog of '{button}'", close)


def menu_dialog_named(app, frame, menu, item, close):
    """The dialog a menu command opens has every control named."""
    try:
        menu_command(frame, menu, item)
    except Failure as failure:
        return [str(failure)]
    return named_then_closed(app, f"the dialog of '{item}'", close)


def menu_window_named(app, frame, menu, item, title):
    """A window of its own that a menu command opens is met as a window and
    has every control named."""
    try:
        menu_command(frame, menu, item)
        window = wait_for(f"the window '{title}'", lambda: next(
            (w for w in children(app) if w.name == title and showing(w)), None))
    except Failure as failure:
        return [str(failure)]
    failures = []
    if window.getRole() != pyatspi.ROLE_FRAME:
        failures.append(f"'{title}' is met as a {window.getRoleName()}, not as a window")
    problems = unnamed_controls(window)
    if problems:
        failures.append(f"'{title}' controls without a name or with a generic role:\n  "
                        + "\n  ".join(problems))
    return failures


def named_then_closed(app, what, close):
    """Checks the dialog now opening, then closes it with its button `close`."""
    try:
        dialog = wait_for(what, lambda: showing_dialog(app))
    except Failure as failure:
        return [str(failure)]
    failures = []
    problems = unnamed_controls(dialog)
    if problems:
        failures.append(f"'{dialog.name}' controls without a name or with a generic role:\n  "
                        + "\n  ".join(problems))
    press(wait_for(f"its {close} button",
                   lambda: find(dialog, pyatspi.ROLE_PUSH_BUTTON, close)))
    wait_for(f"'{dialog.name}' to close", lambda: not showing_dialog(app))
    return failures


def settings_pages_named(app, frame):
    """Every page of the settings dialog, not only the first one shown."""
    press(find(frame, pyatspi.ROLE_PUSH_BUTTON, "Display Settings"))
    dialog = wait_for("the settings dialog", lambda: showing_dialog(app))
    failures = []
    tabs = [n for n in descendants(dialog) if n.getRole() == pyatspi.ROLE_PAGE_TAB]
    if len(tabs) < 2:
        failures.append(f"the settings dialog shows {len(tabs)} pages")
    for tab in tabs:
        act(tab, tab.queryAction().getName(0))
        # Qt marks the current tab as the focused one.
        wait_for(f"the page '{tab.name}'",
                 lambda: tab.getState().contains(pyatspi.STATE_FOCUSED))
        problems = unnamed_controls(dialog)
        if problems:
            failures.append(f"settings page '{tab.name}' controls without a name:\n  "
                            + "\n  ".join(problems))
    press(wait_for("its Cancel button", lambda: find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Cancel")))
    wait_for("the settings dialog to close", lambda: not showing_dialog(app))
    return failures


def day_change_announced(frame):
    """The day shown after a move (Ctrl+Z, Ctrl+X, the arrows) is announced."""
    picker = next((n for n in descendants(frame)
                   if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(n)
                   and n.name.startswith("Day shown")), None)
    if picker is None:
        return ["no date picker whose name tells the day shown"]
    heard = []

    def listen(event):
        heard.append((event.type, event.source.name if event.source else "", event.any_data))

    types = ["object:property-change:accessible-name", "object:announcement"]
    for kind in types:
        pyatspi.Registry.registerEventListener(listen, kind)
    before = picker.name
    press(find(frame, pyatspi.ROLE_PUSH_BUTTON, "Move to the previous day"))
    try:
        wait_for("an announcement of the day shown",
                 lambda: any(name.startswith("Day shown") and name != before
                             for _, name, _ in heard))
    except Failure as failure:
        return [f"{failure}; heard {heard}"]
    finally:
        for kind in types:
            pyatspi.Registry.deregisterEventListener(listen, kind)
    return []


def finish_announced(window_program, cli_program):
    """A used-up budget reaches a screen reader twice: the tracker panel's
    name turns to "Tracking finished: ..." and an alert (the role a screen
    reader reads out as it appears) shows the message."""
    with tempfile.TemporaryDirectory(prefix="cdk-a11y-") as data:
        subprocess.run([cli_program, "--data-dir", data, "add", "Short call", "--budget", "0:01"],
                       check=True, capture_output=True, timeout=60)
        # Four seconds of the minute are left, so the test need not wait for it.
        with sqlite3.connect(os.path.join(data, "CDKDatabase.cdkd")) as db:
            db.execute("UPDATE Chronodeck SET FinishedSeconds = 56 WHERE Subject = 'Short call'")
        return with_window(window_program, data, {},
                           lambda window: hear_the_finish(window, cli_program, data))


def hear_the_finish(window, cli_program, data):
    heard = []

    def listen(event):
        try:
            heard.append((event.type, event.source.getRole(), event.source.name))
        except GLib.GError:
            pass

    app = wait_for("the window on the accessibility bus", lambda: application_of(window.pid))
    wait_for("the main window", lambda: any(w.getRole() == pyatspi.ROLE_FRAME and showing(w)
                                            for w in children(app)))
    types = ["object:property-change:accessible-name", "object:state-changed:showing"]
    for kind in types:
        pyatspi.Registry.registerEventListener(listen, kind)
    try:
        subprocess.run([cli_program, "--data-dir", data, "start", "1"],
                       check=True, capture_output=True, timeout=60)
        wait_for("the panel's turn to finished",
                 lambda: any(name.startswith("Tracking finished: ") and "Short call" in name
                             for _, _, name in heard))
        wait_for("the alert", lambda: any(
            kind == "object:state-changed:showing" and role == pyatspi.ROLE_ALERT
            and "Short call" in name for kind, role, name in heard))
        return []
    except Failure as failure:
        return [f"{failure}; heard {heard}"]
    finally:
        for kind in types:
            pyatspi.Registry.deregisterEventListener(listen, kind)


if __name__ == "__main__":
    sys.exit(main())
