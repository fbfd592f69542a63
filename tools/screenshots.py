"""Takes the user guide's pictures from the running program; started by tools/screenshots.sh.

Works the window as a user does: controls are found through the accessibility tree (pyatspi),
clicked and typed into with xdotool, and the screen is read back with XGetImage. Usage:
    screenshots.py PROGRAM WORKDIR OUTDIR
"""
import ctypes
import ctypes.util
import os
import struct
import subprocess
import sys
import time
import zlib

import pyatspi

# The accessibility helpers the suite's walk uses.
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "a11y"))
import atspi  # noqa: E402

PROGRAM, WORK, OUT = sys.argv[1:4]
SAMPLE = os.path.join(WORK, "data", "quorva-sample.sqlite")


# --- reading the screen -------------------------------------------------------------------

class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


_x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11"))
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XGetImage.restype = ctypes.POINTER(_XImage)
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                           ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_display = _x11.XOpenDisplay(None)


def save_png(path, x, y, w, h):
    """Writes the screen rectangle as an RGB PNG (the 24-bit Xvfb screen is BGRX in memory)."""
    image = _x11.XGetImage(_display, _x11.XDefaultRootWindow(_display), x, y, w, h,
                           0xFFFFFFFF, 2).contents
    stride = image.bytes_per_line
    raw = ctypes.string_at(image.data, stride * h)
    rows = bytearray()
    for r in range(h):
        line = raw[r * stride:r * stride + w * 4]
        rgb = bytearray(w * 3)
        rgb[0::3], rgb[1::3], rgb[2::3] = line[2::4], line[1::4], line[0::4]
        rows += b"\x00" + rgb

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                + chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))
    print("picture", os.path.basename(path), f"{w}x{h}")


# --- finding and working controls -----------------------------------------------------------

def walk(node):
    yield node
    try:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None and child.getRoleName() != "table cell":
                yield from walk(child)
    except Exception:
        return


def plain(text):
    return (text or "").replace("&", "")


def showing(node):
    try:
        return node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def wait(what, predicate, timeout=15.0):
    value = atspi.wait_for(predicate, timeout)
    if not value:
        raise SystemExit(f"screenshots: gave up waiting for {what}")
    return value


def application():
    found = atspi.app("Quorva", timeout=15.0)
    if found is None:
        raise SystemExit("screenshots: gave up waiting for the program")
    return found


def window(title, contains=False):
    """A showing top-level window of the program by its caption."""
    app = application()
    found = atspi.window(app, timeout=15.0,
                         **({"contains": title} if contains else {"name": title}))
    if found is None:
        shown = [plain(app.getChildAtIndex(i).name) for i in range(app.childCount)
                 if showing(app.getChildAtIndex(i))]
        raise SystemExit(f"screenshots: no window {title!r}; showing: {shown}")
    return found


def control(win, role, name=None):
    def find():
        for n in walk(win):
            if n.getRoleName() == role and showing(n) and (name is None or plain(n.name) == name):
                return n
    return wait(f"{role} {name!r}", find)


def texts(win):
    """The showing text fields of a window, in the order of the tree."""
    return [n for n in walk(win) if n.getRoleName() == "text" and showing(n)]


def extents(node):
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return e.x, e.y, e.width, e.height


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def click(node, settle=0.6, double=False, at=None):
    x, y, w, h = extents(node)
    px, py = (x + w // 2, y + h // 2) if at is None else (x + at[0], y + at[1])
    xdo("mousemove", px, py)
    xdo("click", *(["--repeat", 2] if double else []), 1)
    time.sleep(settle)


def press(name, role="push button", win=None, settle=0.8):
    click(control(win or main, role, name), settle)


def type_text(text, settle=0.4):
    for i, line in enumerate(text.split("\n")):
        if i:
            xdo("key", "Return")
        xdo("type", "--delay", 15, line)
    time.sleep(settle)


def key(*keys, settle=0.4):
    xdo("key", *keys)
    time.sleep(settle)


def replace_text(node, text):
    click(node)
    key("ctrl+a")
    type_text(text)


def list_item(lst, name):
    return wait(f"item {name!r}",
                lambda: next(n for n in walk(lst) if plain(n.name) == name and n is not lst))


def status(index):
    bar = control(main, "status bar")
    # The panels are named for what they show ("Records"); their description is what they say.
    return [n.description for n in walk(bar) if n.getRoleName() == "label"][index]


def shoot(name, node, pad=0):
    x, y, w, h = extents(node)
    time.sleep(0.5)  # let the last repaint land
    save_png(os.path.join(OUT, name + ".png"), x - pad, y - pad, w + 2 * pad, h + 2 * pad)


def shoot_part(name, top_node, bottom_node, win):
    """The window's width from the top of one control to the bottom of another."""
    wx, _, ww, _ = extents(win)
    _, top, _, _ = extents(top_node)
    _, by, _, bh = extents(bottom_node)
    time.sleep(0.5)
    save_png(os.path.join(OUT, name + ".png"), wx, top - 4, ww, by + bh - top + 8)


# --- the scenes ---------------------------------------------------------------------------

HOME = os.environ["HOME"]
program = subprocess.Popen([PROGRAM], cwd=HOME, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    main = window("Quorva (v", contains=True)
    time.sleep(1)
    shoot("first-start", main)

    # The sample database through its alias.
    press("Open BDE")
    bde = window("Open BDE database")
    click(list_item(control(bde, "list"), "QuorvaSample"))
    shoot("open-bde", bde)
    press("Open", win=bde)
    wait("the alias to open", lambda: status(0) == "BDE Connection open")
    press("Load tablenames")
    tables = [n for n in walk(main) if n.getRoleName() == "list"][0]
    click(list_item(tables, "customer"))
    press("Select * from ...")
    wait("the rows", lambda: status(1).startswith("Records: ") and status(1) != "Records: none")
    shoot("sample-open", main)

    # SQL typed into the editor.
    editor = control(main, "text")
    replace_text(editor, "SELECT c.company, c.city, o.order_id, o.order_date\n"
                         "FROM customer c JOIN orders o ON o.customer_id = c.customer_id\n"
                         "WHERE c.country = 'Germany'\nORDER BY o.order_date")
    press("Execute SQL")
    wait("the query", lambda: status(2) != "")
    shoot("sql", main)

    # Editing the grid: unlock it, change a city.
    replace_text(editor, "SELECT customer_id, company, contact, city, country FROM customer")
    press("Execute SQL")
    time.sleep(1)
    press("Grid is ReadOnly", role="check box")
    warning = window("Information: Quorva")  # unlocking warns first; boxes are named with their kind
    press("OK", win=warning)
    grid = control(main, "table")
    # Second row, fourth column ("city"): double-click starts the editor in the cell.
    click(grid, double=True, at=(480, 44))
    key("ctrl+a")
    type_text("Copenhagen")
    shoot_part("grid-edit", control(main, "check box", "Load fields when selecting table"),
               control(main, "check box", "Grid is ReadOnly"), main)
    key("Return")

    # A statement that changes data asks first.
    replace_text(editor, "UPDATE product SET in_stock = in_stock + 10\n"
                         "WHERE category = 'Tea'")
    press("Execute SQL", settle=1.5)
    confirm = window("Question: Confirm")
    shoot("confirm", confirm)
    press("Yes", win=confirm, settle=1.0)

    # Printing a grid: the print dialog, its text output tab, then a PDF.
    replace_text(editor, "SELECT * FROM product")
    press("Execute SQL")
    time.sleep(1)
    press("Print grid", settle=2.0)
    dialog = window("Print", contains=True)
    # A short name for the PDF, in the program's working folder.
    replace_text(texts(dialog)[0], "Quorva Table Print.pdf")
    press("Options >>", win=dialog, settle=1.0)
    click(control(dialog, "page tab", "Text output"))
    shoot("print-dialog", dialog)
    press("Print", win=dialog, settle=3.0)
    wait("the PDF", lambda: os.path.exists(os.path.join(HOME, "Quorva Table Print.pdf")))
    time.sleep(2)

    # Opening through the ADO chooser, the connection string editor and its Build dialog.
    press("Open ADO")
    chooser = window("Choose a connection")
    press("Access JET 4.0 database", role="radio button", win=chooser)
    replace_text(texts(chooser)[0], "/home/ann/data/nwind.mdb")
    shoot("open-ado", chooser)
    press("Specify another(ODBC) database yourself", role="radio button", win=chooser)
    press("Open", win=chooser)
    editor_dialog = window("ConnectionString", contains=True)
    press("Use Connection String", role="radio button", win=editor_dialog)
    replace_text(texts(editor_dialog)[-1], "Provider=PostgreSQL;Host=localhost;Port=5432;Database=shop;User ID=ann")
    key("Home")
    shoot("connection-editor", editor_dialog)
    press("Build...", win=editor_dialog, settle=1.0)
    link = window("Data Link Properties")
    shoot("data-link", link)
    press("Cancel", win=link)
    press("Cancel", win=editor_dialog)
finally:
    program.terminate()
    program.wait(10)
