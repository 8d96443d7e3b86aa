"""Walks the running program through AT-SPI as a screen reader does.

Every window the program shows at start (the bar and the quadratic window)
must have no interactive control without a name; a bar entry's Press action
opens its family; the picture of a family window is a node named "函数图像"
whose description names the curve after a redraw. The quadratic window's tree
is printed as a screen reader reads it.
"""
import sys
import time

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_LINK, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_FRAME,
    pyatspi.ROLE_DIALOG, pyatspi.ROLE_WINDOW,
}
failures = []


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def wait_for(what, find, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found is not None:
            return found
        time.sleep(0.2)
    print("FAIL: timed out waiting for " + what)
    sys.exit(1)


def the_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name and "vesmar" in app.name.lower():
            return app
    return None


def children(node):
    out = []
    for i in range(node.childCount):
        c = node.getChildAtIndex(i)
        if c is not None:
            out.append(c)
    return out


def walk(node, depth=0, lines=None, unnamed=None, limit=2000):
    """The tree beneath node as text, and the interactive nodes without a name."""
    if lines is None:
        lines, unnamed = [], []
    if len(lines) > limit:
        return lines, unnamed
    role = node.getRoleName()
    name = node.name or ""
    desc = node.description or ""
    text = "  " * depth + role + (' "' + name + '"' if name else "") + (" — " + desc if desc else "")
    try:
        action = node.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            text += " [" + ", ".join(names) + "]"
    except NotImplementedError:
        pass
    lines.append(text)
    states = node.getState()
    focusable = states.contains(pyatspi.STATE_FOCUSABLE)
    if (node.getRole() in INTERACTIVE or focusable) and not name.strip():
        unnamed.append(text.strip())
    for c in children(node):
        walk(c, depth + 1, lines, unnamed, limit)
    return lines, unnamed


def window_named(app, title):
    for w in children(app):
        if w.name == title:
            return w
    return None


def find(node, test):
    if test(node):
        return node
    for c in children(node):
        f = find(c, test)
        if f is not None:
            return f
    return None


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            return action.doAction(i)
    fail('"%s" has no Press action' % node.name)
    return False


app = wait_for("the program on the accessibility bus", the_app)
bar = wait_for("the navigation bar", lambda: window_named(app, "Vesmar函数分析作图器（V3.01）"))
quadratic = wait_for("the quadratic window", lambda: window_named(app, "二次函数的取值及图像"))

for window in (bar, quadratic):
    if window.getRole() != pyatspi.ROLE_FRAME:
        fail('window "%s" has the role %s' % (window.name, window.getRoleName()))
lines, unnamed = walk(quadratic)
print("\n".join(lines))
for window in (bar, quadratic):
    for u in walk(window)[1]:
        fail('in "%s": unnamed %s' % (window.name, u))

entries = [find(bar, lambda n, c=c: n.name == c and n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
           for c in ("一次函数", "圆")]
if None in entries:
    fail("the bar's entries are not buttons")
else:
    press(entries[0])
    linear = wait_for("the linear window", lambda: window_named(app, "一次函数的取值与图像"))
    picture = find(linear, lambda n: n.name == "函数图像")
    if picture is None:
        fail('the linear window has no node "函数图像"')
    else:
        print("picture before a redraw: " + picture.description)
        redraw = find(linear, lambda n: n.name == "刷新作图")
        press(redraw)
        described = wait_for("the description after a redraw",
                             lambda: picture.description if "一次函数" in picture.description else None)
        print("picture after a redraw: " + described)
        if "与 y 轴交于" not in described:
            fail("the description names no feature: " + described)

print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
