#!/usr/bin/python3
"""The window in German, as a screen reader reads it.

Starts the real window with LANG=de_DE.UTF-8 on an empty data folder and
reads, over AT-SPI: the menu bar's titles and the items of its first menu,
the toolbar buttons' names, and the Display Settings dialog (its title, tab
names and buttons, among them a standard button whose text comes from Qt's
own translation); then the categories the new database starts with. Every
text read must be one the German translation gives;
none may still be the English source text.

Usage: german_window_check.py WINDOW_PROGRAM TS_FILE
"""

import os
import sqlite3
import sys
import tempfile
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "view"))
import accessibility_check as a11y  # noqa: E402  (skips with 77 without pyatspi)

pyatspi = a11y.pyatspi


def strip_accelerator(text):
    return text.replace("&&", "\0").replace("&", "").replace("\0", "&")


def read_translations(path):
    """English source → German, accelerators taken out as AT-SPI reads them."""
    german = {}
    for message in ET.parse(path).getroot().iter("message"):
        source = strip_accelerator(message.findtext("source") or "")
        translation = message.find("translation")
        if translation is None or message.get("numerus") == "yes":
            continue
        german.setdefault(source, set()).add(strip_accelerator(translation.text or ""))
    return german


def check_texts(what, names, german):
    """Each name must be a German text; an English source with another
    German text means the translation was not applied."""
    failures = []
    known = set().union(*german.values())
    for name in names:
        if name in german and name not in german[name]:
            failures.append(f"{what} '{name}' is still English (German: {sorted(german[name])})")
        elif name not in known:
            failures.append(f"{what} '{name}' is not a text of the German translation")
    if not names:
        failures.append(f"no {what} found")
    return failures


def run(window, german):
    failures = []
    app = a11y.wait_for("the window on the accessibility bus",
                        lambda: a11y.application_of(window.pid))
    frame = a11y.wait_for(
        "the main window",
        lambda: next((w for w in a11y.children(app)
                      if w.getRole() == pyatspi.ROLE_FRAME and a11y.showing(w)), None))
    a11y.wait_for("the task grid", lambda: a11y.find(frame, pyatspi.ROLE_TABLE))

    bar = a11y.wait_for("the menu bar", lambda: a11y.find(frame, pyatspi.ROLE_MENU_BAR))
    titles = [m.name for m in a11y.children(bar) if m.name]
    print("menu titles:", titles)
    failures += check_texts("menu title", titles, german)

    first = a11y.children(bar)[0]
    items = [n.name for n in a11y.descendants(first)
             if n.getRole() == pyatspi.ROLE_MENU_ITEM and n.name]
    print("first menu:", items)
    failures += check_texts("menu item", items, german)

    buttons = [n.name for n in a11y.descendants(frame)
               if n.getRole() == pyatspi.ROLE_PUSH_BUTTON and a11y.showing(n)
               and n.name and not n.name.startswith(("Angezeigter Tag", "Day shown"))]
    print("buttons:", buttons)
    failures += check_texts("button", [b for b in buttons if b in german or
                                       b in set().union(*german.values())], german)
    english_buttons = [b for b in buttons if b in german and b not in german[b]]
    if english_buttons:
        failures.append(f"buttons still in English: {english_buttons}")

    settings_source = "Display Settings"
    settings_button = next(iter(german.get(settings_source, [])), None)
    button = a11y.find(frame, pyatspi.ROLE_PUSH_BUTTON, settings_button)
    if button is None:
        return failures + [f"no button named '{settings_button}'"]
    a11y.press(button)
    dialog = a11y.wait_for("the settings dialog", lambda: a11y.showing_dialog(app))
    print("dialog:", dialog.name)
    failures += check_texts("dialog title", [dialog.name], german)
    tabs = [n.name for n in a11y.descendants(dialog)
            if n.getRole() == pyatspi.ROLE_PAGE_TAB and n.name]
    print("tabs:", tabs)
    failures += check_texts("tab", tabs, german)
    # Qt's own standard buttons come from Qt's German translation.
    cancel = a11y.find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Abbrechen")
    if cancel is None:
        names = [n.name for n in a11y.descendants(dialog)
                 if n.getRole() == pyatspi.ROLE_PUSH_BUTTON]
        return failures + [f"no 'Abbrechen' button (Qt's translation), buttons: {names}"]
    a11y.press(cancel)
    a11y.wait_for("the dialog to close", lambda: not a11y.showing_dialog(app))
    return failures


def main():
    window_program, ts_file = sys.argv[1], sys.argv[2]
    german = read_translations(ts_file)
    with tempfile.TemporaryDirectory(prefix="cdk-de-") as data:
        # LANG decides; a language chosen by other variables would hide it.
        for name in ("LC_ALL", "LC_MESSAGES", "LANGUAGE"):
            os.environ.pop(name, None)
        failures = a11y.with_window(window_program, data, {"LANG": "de_DE.UTF-8"},
                                    lambda window: run(window, german))
        # The database the German window made starts with German categories.
        with sqlite3.connect(os.path.join(data, "CDKDatabase.cdkd")) as db:
            categories = [name for (name,) in db.execute("SELECT Name FROM CategoryList")]
        print("categories:", categories)
        failures += check_texts("category", categories, german)
    for failure in failures:
        print("FAIL:", failure)
    if not failures:
        print("menus, toolbar and the settings dialog read in German")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
