"""Drives the running program with keys while Orca listens, and checks what
Orca said (the "SPEECH OUTPUT" lines of its debug log).

The pupil opens the quadratic window from the bar, types a = 1 and c = -4,
redraws, walks along the curve to its vertex with the arrow keys, looks up y
at x = 3, and asks to leave the program. Orca must speak the description
after the redraw, each step with its coordinates and the vertex reached, the
look-up result, and the exit question with its buttons by name.
"""
import os
import re
import subprocess
import sys
import time

import pyatspi

orca_log, program_err = sys.argv[1], sys.argv[2]
failures = []
BAR_TITLE = "Vesmar函数分析作图器（V3.01）"
QUADRATIC = "二次函数的取值及图像"


def fail(message):
    failures.append(message)
    print("FAIL: " + message)


def give_up(message):
    print("FAIL: " + message)
    sys.exit(1)


def wait_for(what, find, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = find()
        if found:
            return found
        time.sleep(0.1)
    give_up("timed out waiting for " + what)


def spoken():
    """Orca's speech so far, one entry a line."""
    with open(orca_log, encoding="utf-8", errors="replace") as f:
        lines = f.read().splitlines()
    out = []
    for line in lines:
        m = re.search(r"SPEECH OUTPUT: '(.*)'\s*(\{.*\})?\s*$", line)
        if m:
            out.append(m.group(1))
    return out


def the_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name and "vesmar" in app.name.lower():
            return app
    return None


def find(node, test, limit=3000):
    todo = [node]
    while todo and limit > 0:
        limit -= 1
        n = todo.pop(0)
        try:
            if test(n):
                return n
            todo.extend(n.getChildAtIndex(i) for i in range(n.childCount))
        except Exception:
            continue
    return None


def window_named(app, title):
    for i in range(app.childCount):
        w = app.getChildAtIndex(i)
        if w is not None and w.name == title and w.getState().contains(pyatspi.STATE_SHOWING):
            return w
    return None


def named(window, name, roles=None):
    return wait_for('"%s"' % name, lambda: find(window, lambda n: n.name == name and (
        roles is None or n.getRole() in roles)))


def quiet(seconds=5):
    """Waits until Orca's log has not grown for a moment: Orca has dealt with
    the last key. The program waits a tenth of a second for Orca's answer to
    each key and complains when it does not come."""
    end = time.time() + seconds
    size, since = -1, time.time()
    while time.time() < end:
        now = os.path.getsize(orca_log)
        if now != size:
            size, since = now, time.time()
        elif time.time() - since >= 0.6:
            return
        time.sleep(0.05)


def key(*keys):
    for k in keys:
        quiet()
        subprocess.run(["xdotool", "key", k], check=True)


def typed(text):
    for c in text:
        quiet()
        subprocess.run(["xdotool", "type", "--", c], check=True)


def focus(node):
    """Moves the focus to node as a screen reader's own command does."""
    node.queryComponent().grabFocus()
    wait_for('the focus on "%s"' % node.name, lambda: node.getState().contains(pyatspi.STATE_FOCUSED), 5)


def heard_after(mark, test, what, seconds=10):
    """The first line spoken after the mark (a count of lines) that passes test."""
    def look():
        for line in spoken()[mark:]:
            if test(line):
                return line
        return None
    end = time.time() + seconds
    while time.time() < end:
        line = look()
        if line is not None:
            print("heard %s: %s" % (what, line))
            return line
        time.sleep(0.1)
    fail("Orca did not speak %s; it said: %s" % (what, " | ".join(spoken()[mark:])))
    return None


def set_box(window, name, text):
    focus(named(window, name, (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY)))
    key("ctrl+a")
    typed(text)


app = wait_for("the program on the accessibility bus", the_app)
bar = wait_for("the navigation bar", lambda: window_named(app, BAR_TITLE))
# Orca needs a moment after the program appears before it follows keys.
wait_for("Orca to notice the program", lambda: "vesmar" in open(orca_log, errors="replace").read().lower())
time.sleep(2)

# The quadratic window from the bar: its title, then the box with the focus.
mark = len(spoken())
subprocess.run(["xdotool", "search", "--name", BAR_TITLE, "windowfocus"], check=False)
focus(named(bar, "二次函数", (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_LINK)))
key("Return")
quadratic = wait_for("the quadratic window", lambda: window_named(app, QUADRATIC))
heard_after(mark, lambda l: QUADRATIC in l, "the quadratic window's title")
heard_after(mark, lambda l: "参数 a" in l, "the box with the focus")

# y = x² - 4, redrawn: the new description, heard while the focus stays on the button.
set_box(quadratic, "参数 a", "1")
set_box(quadratic, "参数 c", "-4")
focus(named(quadratic, "刷新作图", (pyatspi.ROLE_PUSH_BUTTON,)))
mark = len(spoken())
key("space")
heard_after(mark, lambda l: "当前函数的解析式为" in l and "顶点 (0,-4)" in l and "最低点 (0,-4)" in l,
            "the description after the redraw")

# Three steps along the curve: the first point, the next, and back onto the vertex.
focus(named(quadratic, "函数图像"))
for k, test, what in (("Right", lambda l: l.startswith("x = 0，y = -4"), "the first step"),
                      ("Right", lambda l: "x = 0.1，y = -3.99" in l, "the second step"),
                      ("Left", lambda l: "x = 0，y = -4" in l and "经过最低点 (0,-4)" in l,
                       "the step onto the vertex")):
    mark = len(spoken())
    key(k)
    heard_after(mark, lambda l, test=test: test(re.sub(r"^(notification|通知) ", "", l)), what)

# y at x = 3, looked up.
set_box(quadratic, "速查：X 的值", "3")
focus(named(quadratic, "速查 y：计算得", (pyatspi.ROLE_PUSH_BUTTON,)))
mark = len(spoken())
key("space")
heard_after(mark, lambda l: "速查结果：y = 5" in l, "the look-up result")

# The exit question from the bar: its text and both buttons by name.
subprocess.run(["xdotool", "search", "--name", BAR_TITLE, "windowfocus"], check=False)
focus(named(bar, "退出"))
mark = len(spoken())
key("Return")
heard_after(mark, lambda l: "您现在确实要退出" in l, "the exit question")
heard_after(mark, lambda l: re.match(r"是\s", l), "the button 是")
mark = len(spoken())
key("Tab")
heard_after(mark, lambda l: re.match(r"否\s", l), "the button 否")
key("Escape")
time.sleep(0.5)

# Each piece of news was said once.
for news in ("x = 0.1，y = -3.99", "速查结果：y = 5"):
    times = sum(1 for line in spoken() if news in line)
    if times != 1:
        fail('"%s" was spoken %d times' % (news, times))

# Nothing the toolkit's accessibility bridge complained about. (The bridge
# waits a tenth of a second for the screen reader's answer to each key and
# says so when a busy machine's screen reader answers later; the key still
# arrives, and the slow answer is Orca's, not the program's: noted, not failed.)
late = re.compile(r"QSpiApplication::(keyEventError .*NoReply|notifyKeyboardListenerCallback with no queued key)")
with open(program_err, encoding="utf-8", errors="replace") as f:
    for line in f:
        if late.search(line):
            print("note: Orca answered a key late: " + line.strip())
        elif re.search(r"ValueInterface|accessib|atspi|QSpi", line, re.I):
            fail("the program printed: " + line.strip())
print("%d failures" % len(failures))
sys.exit(1 if failures else 0)
