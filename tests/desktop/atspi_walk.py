"""Walks the running program through AT-SPI as a screen reader does.

Every window a pupil can reach (the bar, the fourteen family windows opened
through the bar's Press action, the help window and the full-screen viewer)
must have no interactive control without a name; every bar entry opens its
window; the picture of each family window is a node named "函数图像" whose
description names the curve's expression after a redraw. The quadratic
window's tree is printed as a screen reader reads it.
"""
import re
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


def spoken_form(written):
    """An expression as a screen reader is given it: powers in words, one blank between words."""
    def power(m):
        exponent = m.group(1) if m.group(1) is not None else m.group(2)
        return " 的平方" if exponent == "2" else " 的 %s 次方" % exponent
    text = re.sub(r"\s*\^\s*(?:\(\s*([^()]*?)\s*\)|(-?[0-9.]+|[A-Za-z]+))", power, written)
    return " ".join(text.split())


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == "Press":
            return action.doAction(i)
    fail('"%s" has no Press action' % node.name)
    return False


FAMILIES = ("一次函数", "二次函数", "反比例函数", "幂函数", "指数函数", "对数函数", "正弦函数",
            "余弦函数", "正切函数", "余切函数", "圆", "椭圆", "双曲线", "抛物线")
BAR_TITLE = "Vesmar函数分析作图器（V3.01）"


def check_window(window):
    if window.getRole() != pyatspi.ROLE_FRAME:
        fail('window "%s" has the role %s' % (window.name, window.getRoleName()))
    lines, unnamed = walk(window)
    for u in unnamed:
        fail('in "%s": unnamed %s' % (window.name, u))
    return lines


def other_window(app, known):
    """A showing window whose title is none of `known`."""
    for w in children(app):
        if w.name and w.name not in known and w.getState().contains(pyatspi.STATE_SHOWING):
            return w
    return None


def bar_entry(bar, caption):
    entry = find(bar, lambda n: n.name == caption and n.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LINK))
    if entry is None:
        fail('the bar has no entry "%s" that can be pressed' % caption)
    return entry


def check_picture(window):
    """Redraws the family and reads the picture's description."""
    picture = find(window, lambda n: n.name == "函数图像")
    if picture is None:
        fail('"%s" has no node "函数图像"' % window.name)
        return
    redraw = find(window, lambda n: n.name == "刷新作图" and n.getRole() == pyatspi.ROLE_PUSH_BUTTON)
    if redraw is None:
        fail('"%s" has no button "刷新作图"' % window.name)
        return
    before = picture.description
    press(redraw)

    def expression():
        # The window's label of the current curve ("当前...") is in the
        # description, as it is read aloud ("X^2" as "X 的平方").
        label = find(window, lambda n: n.getRole() == pyatspi.ROLE_LABEL and (n.name or "").startswith("当前")
                     and spoken_form(n.name or "") in picture.description)
        return spoken_form(label.name) if label is not None and picture.description != before else None

    end = time.time() + 10
    said = None
    while said is None and time.time() < end:
        said = expression()
        if said is None:
            time.sleep(0.1)
    if said is None:
        fail('"%s": the description does not name the expression: %s' % (window.name, picture.description))
    else:
        print("%s: %s" % (window.name, picture.description))


app = wait_for("the program on the accessibility bus", the_app)
bar = wait_for("the navigation bar", lambda: window_named(app, BAR_TITLE))
quadratic = wait_for("the quadratic window", lambda: window_named(app, "二次函数的取值及图像"))

check_window(bar)
print("The quadratic window as a screen reader reads it:")
print("\n".join(check_window(quadratic)))

# Every family through its bar entry: one family window is open at a time.
seen = 0
previous = None
for caption in FAMILIES:
    entry = bar_entry(bar, caption)
    if entry is None:
        continue
    press(entry)
    if caption == "二次函数":
        window = wait_for("the quadratic window", lambda: window_named(app, "二次函数的取值及图像"))
    else:
        # The window just left may linger on the bus for a moment.
        window = wait_for('the window of "%s"' % caption,
                          lambda: other_window(app, (BAR_TITLE, "二次函数的取值及图像", previous)))
    if caption != "二次函数":
        check_window(window)
    check_picture(window)
    previous = window.name
    seen += 1
print("%d family windows opened through the bar" % seen)

# The full-screen viewer of the last family, then the help window.
last = window_named(app, previous) if previous else None
full = find(last, lambda n: n.name == "全屏展示" and n.getRole() == pyatspi.ROLE_PUSH_BUTTON) if last else None
if full is None:
    fail("no button 全屏展示")
else:
    press(full)
    viewer = wait_for("the viewer", lambda: window_named(app, "图像全屏展示"))
    check_window(viewer)
    print("viewer walked")
help_entry = bar_entry(bar, "帮助")
if help_entry is not None:
    press(help_entry)
    help_window = wait_for("the help window", lambda: window_named(app, "帮助窗口"))
    check_window(help_window)
    print("help window walked")
exit_entry = bar_entry(bar, "退出")

print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
