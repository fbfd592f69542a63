"""Walks Quorva's main window and each of its dialogs the way a screen reader does and fails on
a control it could not name. Run by run.sh: python3 walk.py SAMPLE_DATABASE

Besides names it checks what a keyboard or screen reader user meets on the way: the tab order of
the main window, message boxes saying their kind, a toggle that returns, the provider of the data
link dialog set through the accessibility interface, and captions whose mnemonics work."""
import os
import shutil
import subprocess
import sys
import time

import pyatspi

import atspi

# Roles a user operates or reads; each needs a name.
CONTROLS = {
    "push button", "toggle button", "check box", "radio button", "combo box", "text",
    "password text", "entry", "list", "list box", "table", "tree", "tree table", "page tab",
    "spin button", "slider", "progress bar", "menu item", "link", "label", "alert", "dialog",
    "frame",
}
# A screen reader takes these as one control: their children are items or internals.
LEAVES = {"combo box", "text", "password text", "entry", "list", "list box", "table", "tree",
          "tree table", "spin button", "scroll bar", "label"}
# Scroll bars are named by their orientation, which the bridge carries as a state.
UNNAMED_BY_NATURE = {"scroll bar"}

failures = []
checked = {"windows": 0, "controls": 0}


def fail(message):
    failures.append(message)
    print("FAIL", message)


def state(node, s):
    return atspi._safe(lambda: node.getState().contains(s)) or False


def walk_window(window, title):
    """Every named control of the window and what is wrong with the others."""
    checked["windows"] += 1
    print(f"-- {title}")

    def visit(node, path):
        role = atspi._safe(node.getRoleName) or "?"
        name = (atspi._safe(lambda: node.name) or "").strip()
        count = atspi._safe(lambda: node.childCount) or 0
        here = f"{path}/{role}" + (f"[{name}]" if name else "")
        # The bridge calls windows and the frames drawn inside them alike "frame"; a frame
        # inside a window only groups, and needs no name unless it is empty.
        if role == "frame" and path:
            role = "panel"
        if role in CONTROLS and role not in UNNAMED_BY_NATURE:
            checked["controls"] += 1
            if not name:
                # An empty label shown is an empty filler: nothing to say, yet in the way.
                fail(f"{title}: unnamed {role} at {here}")
        elif role in ("filler", "panel") and count == 0 and not name and \
                state(node, pyatspi.STATE_SHOWING):
            fail(f"{title}: empty {role} at {here}")
        if role in LEAVES:
            return
        for i in range(count):
            child = atspi._safe(lambda: node.getChildAtIndex(i))
            if child is not None:
                visit(child, here)

    visit(window, "")


def wait_window(app, title=None, role=None, contains=None, timeout=8.0):
    w = atspi.window(app, role=role, name=title, contains=contains, timeout=timeout)
    if w is None:
        fail(f"no window {title or contains or role}")
        raise SystemExit(report())
    time.sleep(0.3)
    return w


def press(window, caption, role="push button"):
    node = atspi.find(window, role, caption)
    if node is None:
        fail(f"no {role} {caption!r} in {window.name!r}")
        raise SystemExit(report())
    atspi.click(node)
    return node


def gone(window, timeout=5.0):
    return atspi.wait_for(lambda: not state(window, pyatspi.STATE_SHOWING), timeout)


def message_box(app, kind, answer="OK"):
    """The message box showing now: named by its kind, walked, then answered."""
    box = wait_window(app, role="alert")
    label = f"message box {box.name!r}"
    walk_window(box, label)
    if kind not in (box.name or "") and kind not in (box.description or ""):
        fail(f"{label} does not say it is {kind!r}")
    press(box, answer)
    gone(box)


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", *keys], check=False)
    time.sleep(0.25)


def focused(window):
    """The control holding the keyboard focus. A list or grid may leave its current item marked
    focused after the focus went on, so it counts only when no other control has the focus."""
    controls, lists = [], []

    def visit(node):
        role = atspi._safe(node.getRoleName)
        if role in ("list", "table"):
            if state(node, pyatspi.STATE_FOCUSED) or any(
                    state(node.getChildAtIndex(i), pyatspi.STATE_FOCUSED)
                    for i in range(min(node.childCount, 50))):
                lists.append(node)
            return
        if state(node, pyatspi.STATE_FOCUSED):
            controls.append(node)
        if role in LEAVES:
            return
        for i in range(atspi._safe(lambda: node.childCount) or 0):
            visit(node.getChildAtIndex(i))

    visit(window)
    return controls[0] if controls else LIST if lists else None


# Which list or grid holds the focus the bridge does not tell reliably (items keep their mark);
# the Qt-side test checks that part of the order.
LIST = "(list or grid)"


def tab_order(window, title, expected):
    """Tab from the first control on: the names met, in order, must be `expected`; Tab must
    also leave the lists and the grid."""
    # A click on a caption gives the window the keys; the first control takes the focus.
    atspi.real_click(atspi.find(window, "label"))
    atspi.find(window, name=expected[0]).queryComponent().grabFocus()
    time.sleep(0.3)
    met = []
    lists = {"Table/View/Query names", "Fields in selected table/query", "Result grid"}
    expected = [LIST if name in lists else name for name in expected]
    for _ in expected:
        node = focused(window)
        met.append(node if node in (LIST, None) else (node.name or "").strip())
        key("Tab")
    if met != expected:
        fail(f"{title}: tab order {met}, expected {expected}")
    else:
        print(f"   tab order of {title}: {len(met)} stops")


def main():
    sample = sys.argv[1]
    work = os.environ.get("QUORVA_A11Y_WORK", "/tmp")
    database = os.path.join(work, "sample.sqlite")
    shutil.copyfile(sample, database)

    app = atspi.app("Quorva", timeout=20)
    if app is None:
        fail("Quorva did not appear on the accessibility bus")
        return report()
    main_window = wait_window(app, role="frame")
    walk_window(main_window, "main window")
    texts = [n for n in atspi._walk(main_window) if atspi._safe(n.getRoleName) == "text"]
    hidden = [n for n in texts if not state(n, pyatspi.STATE_SHOWING)]
    if hidden:
        fail(f"main window: {len(hidden)} text buffers that are never shown are in the tree")
    for name in ("Connection", "Records", "Time"):
        if atspi.find(main_window, "label", name, timeout=0) is None:
            fail(f"main window: no status panel named {name!r}")
    if atspi.find(main_window, "label", "", timeout=0) is not None:
        fail("main window: an empty label is in the tree")

    # The connection chooser; an empty file name is refused with a message.
    press(main_window, "Open ADO")
    chooser = wait_window(app, "Choose a connection")
    walk_window(chooser, "connection chooser")
    press(chooser, "Access JET 4.0 database", "radio button")
    press(chooser, "&Open")
    message_box(app, "Information")

    # The connection string editor, its help and the data link dialog.
    press(chooser, "Specify another(ODBC) database yourself", "radio button")
    press(chooser, "&Open")
    editor = wait_window(app, contains="ConnectionString")
    walk_window(editor, "connection string editor")
    names = [atspi._safe(lambda: n.name) for n in atspi._walk(editor)
             if atspi._safe(n.getRoleName) in ("text", "combo box")]
    if len(set(names)) != len(names):
        fail(f"connection string editor: fields share a name: {names}")
    press(editor, "&Help")
    help_window = wait_window(app, "Quorva Help")
    walk_window(help_window, "help window")
    key("Escape")
    press(editor, "Use &Connection String", "radio button")
    press(editor, "B&uild...")
    link = wait_window(app, "Data Link Properties")
    walk_window(link, "data link dialog")
    provider = atspi.find(link, "combo box")
    items = provider.getChildAtIndex(0)
    postgres = next(i for i in range(items.childCount)
                    if "PostgreSQL" in (items.getChildAtIndex(i).name or ""))
    atspi.select_item(items, postgres)
    if not atspi.wait_for(lambda: "PostgreSQL" in (provider.name or "") and
                          state(atspi.find(link, "text", contains="Host", timeout=0),
                                pyatspi.STATE_SHOWING), 3):
        fail(f"data link dialog: the provider was not set through the accessibility "
             f"interface (it shows {provider.name!r})")
    walk_window(link, "data link dialog, PostgreSQL")
    key("alt+o")
    port = focused(link)
    if not port or (port.name or "").replace("&", "") != "Port:":
        fail(f"data link dialog: Alt+O focuses {port.name if port else None!r}, not the port")
    press(link, "Cancel")
    gone(link)
    press(editor, "Cancel")
    gone(editor)

    # Connected to a copy of the sample database.
    press(main_window, "Open ADO")
    chooser = wait_window(app, "Choose a connection")
    press(chooser, "Access JET 4.0 database", "radio button")
    atspi.set_text(atspi.find(chooser, "text", "Database file:"), database)
    press(chooser, "&Open")
    login = wait_window(app, "Database Login")
    walk_window(login, "login prompt")
    press(login, "OK")
    if not atspi.wait_for(lambda: atspi.find(main_window, "label", "Connection", timeout=0)
                          .description == "ADO Connection open", 8):
        fail("main window: the status panel does not read the open connection")
    press(main_window, "Load tablenames")
    tables = atspi.find(main_window, "list", contains="Table/View/Query names")
    atspi.wait_for(lambda: tables.childCount > 0, 5)
    atspi.select_item(tables, 0)
    press(main_window, "Select * from ...")
    atspi.wait_for(lambda: "Records: " in (atspi.find(main_window, "label", "Records",
                                                      timeout=0).description or ""), 8)
    walk_window(main_window, "main window, connected")

    # The file and print dialogs, with the print dialog's tab of our own.
    press(main_window, "Save grid")
    save = wait_window(app, "Save Grid Data")
    walk_window(save, "save dialog")
    press(save, "Cancel")
    gone(save)
    press(main_window, "Print grid")
    printing = wait_window(app, role="dialog", contains="Print")
    walk_window(printing, "print dialog")
    press(printing, "Cancel")
    gone(printing)

    # Unlocking the grid through its accessibility action returns before the warning shows.
    readonly = atspi.find(main_window, "check box", "Grid is ReadOnly")
    started = time.monotonic()
    atspi.click(readonly, settle=0)
    took = time.monotonic() - started
    if took > 2:
        fail(f"toggling 'Grid is ReadOnly' returned only after {took:.1f} s")
    message_box(app, "Information")
    atspi.click(readonly)

    # A question, an error.
    memo = atspi.find(main_window, "text", contains="SQL statement")
    atspi.set_text(memo, "DELETE FROM customer WHERE 1 = 0")
    press(main_window, "Execute SQL")
    message_box(app, "Question", "No")
    atspi.set_text(memo, "SELECT * FROM no_such_table")
    press(main_window, "Execute SQL")
    message_box(app, "Error")

    # Keyboard: every control of the main window in a sensible order.
    tab_order(main_window, "main window", [
        "Open ADO", "Open BDE", "Close Connection", "Load tablenames",
        "Table/View/Query names", "Select * from ...", "Count Records",
        "Fields in selected table/query", "(Print Fields)", "Load fields when selecting table",
        "SQL statement to be executed", "Clear SQL", "Execute SQL", "Load File",
        "Confirm changes in SQL (Insert/Delete)", "Result grid", "Grid is ReadOnly",
        "Truncate large columns", "Save grid", "Print grid", "Exit", "Open ADO"])

    # The alias chooser.
    press(main_window, "Open BDE")
    aliases = wait_window(app, "Open BDE database")
    walk_window(aliases, "alias chooser")
    press(aliases, "&Cancel")
    gone(aliases)

    return report()


def report():
    print(f"{checked['windows']} windows, {checked['controls']} controls walked; "
          f"{len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
