"""Small helpers over pyatspi for driving a Qt program as assistive technology would."""
import time
import pyatspi

def _walk(node):
    yield node
    try:
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is not None:
                yield from _walk(child)
    except Exception:
        return

def find(root, role=None, name=None, contains=None, timeout=5.0):
    """First node under root with the role and (exact or partial) name; waits up to timeout."""
    end = time.time() + timeout
    while True:
        for n in _walk(root):
            try:
                if role and n.getRoleName() != role:
                    continue
                nm = n.name or ""
                if name is not None and nm.replace("&", "") != name.replace("&", ""):
                    continue
                if contains is not None and contains not in nm:
                    continue
                return n
            except Exception:
                continue
        if time.time() > end:
            return None
        time.sleep(0.2)

def find_all(root, role):
    return [n for n in _walk(root) if _safe(lambda: n.getRoleName()) == role]

def _safe(f):
    try:
        return f()
    except Exception:
        return None

def app(name, timeout=10.0):
    desk = pyatspi.Registry.getDesktop(0)
    end = time.time() + timeout
    while time.time() < end:
        for i in range(desk.childCount):
            a = desk.getChildAtIndex(i)
            if a is not None and a.name == name:
                return a
        time.sleep(0.25)
    return None

def click(node, settle=0.4):
    node.queryAction().doAction(0)
    time.sleep(settle)

def set_text(node, text, settle=0.2):
    node.queryEditableText().setTextContents(text)
    time.sleep(settle)

def text_of(node):
    try:
        t = node.queryText()
        return t.getText(0, t.characterCount)
    except Exception:
        return node.name

def enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)

def select_item(lst, index, settle=0.5):
    """Selects item index of a list: through the Selection interface where the toolkit offers
    one, else by an action of the item, else by a real mouse click on its extents (xdotool)."""
    item = lst.getChildAtIndex(index)
    try:
        lst.querySelection().selectChild(index)
        time.sleep(settle)
        return
    except Exception:
        pass
    try:
        act = item.queryAction()
        names = [act.getName(i).lower() for i in range(act.nActions)]
        for want in ("select", "toggle", "press", "click"):
            if want in names:
                act.doAction(names.index(want))
                time.sleep(settle)
                return
    except Exception:
        pass
    import subprocess
    ext = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = ext.x + max(2, ext.width // 4), ext.y + ext.height // 2
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=False)
    time.sleep(settle)

def real_click(node, settle=0.4):
    """A real mouse click in the middle-left of the node (xdotool), as a user's hand makes it."""
    import subprocess
    ext = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x, y = ext.x + min(8, max(2, ext.width // 4)), ext.y + ext.height // 2
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=False)
    time.sleep(settle)

def window(app_node, role=None, name=None, contains=None, timeout=5.0):
    """A showing top-level window of the application (frame, dialog, alert) by role and exact or
    partial name. Only the application's own children are searched, so a big grid is not walked."""
    end = time.time() + timeout
    while True:
        for i in range(_safe(lambda: app_node.childCount) or 0):
            w = _safe(lambda: app_node.getChildAtIndex(i))
            try:
                if w is None or not w.getState().contains(pyatspi.STATE_SHOWING):
                    continue
                nm = (w.name or "").replace("&", "")
                if role and w.getRoleName() != role:
                    continue
                if name is not None and nm != name.replace("&", ""):
                    continue
                if contains is not None and contains not in nm:
                    continue
                return w
            except Exception:
                continue
        if time.time() > end:
            return None
        time.sleep(0.2)

def wait_for(pred, timeout=10.0, step=0.2):
    """Polls pred() until it returns a true value (returned) or timeout passes (None)."""
    end = time.time() + timeout
    while True:
        v = _safe(pred)
        if v or time.time() > end:
            return v or None
        time.sleep(step)
