"""Drives the running player through AT-SPI, as a screen reader does, and through the keyboard.

usage: accessibility.py PID WINDOW WORK
Writes WORK/tree.txt (the window's tree: roles, names, actions, values, focus) and the screenshots
WORK/focus-button.png and WORK/focus-link.png. Every wait polls with a deadline.
"""
import re
import subprocess
import sys
import time

import pyatspi

pid, window, work = int(sys.argv[1]), sys.argv[2], sys.argv[3]


def fail(message):
    print("accessibility: " + message, file=sys.stderr)
    sys.exit(1)


def poll(what, test, timeout=10.0):
    """The first true value of test() within the timeout."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = test()
        except Exception:  # the tree may be in the middle of being built
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
        time.sleep(0.05)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.get_process_id() == pid and app.childCount > 0:
            return app
    return None


def actions(node):
    try:
        action = node.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def value(node):
    try:
        v = node.queryValue()
    except NotImplementedError:
        return None
    return (v.currentValue, v.minimumValue, v.maximumValue)


def walk(node, depth=0, lines=None, found=None):
    """The tree as lines of text, and every node by (role, name)."""
    lines = [] if lines is None else lines
    found = {} if found is None else found
    role, name = node.getRoleName(), node.name
    found.setdefault((role, name), node)
    line = "  " * depth + '%s "%s"' % (role, name)
    if actions(node):
        line += " actions=" + ",".join(actions(node))
    if value(node) is not None:
        line += " value=%g range=%g..%g" % value(node)
    states = node.getState()
    line += "".join(" " + s for s, flag in (("focusable", pyatspi.STATE_FOCUSABLE),
                                             ("focused", pyatspi.STATE_FOCUSED))
                    if states.contains(flag))
    lines.append(line)
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1, lines, found)
    return lines, found


def find(role, name):
    return walk(app)[1].get((role, name))


def press(node):
    names = actions(node)
    if "Press" not in names:
        fail('"%s" offers no press action: %s' % (node.name, names))
    node.queryAction().doAction(names.index("Press"))


def picture():
    """The picture's name, split into the frame shown and the count."""
    for (role, name), node in walk(app)[1].items():
        if role == "image":
            m = re.fullmatch(r"Bild (\d+) von (\d+)", name)
            if not m:
                fail("picture named %r" % name)
            return int(m.group(1)), int(m.group(2))
    fail("no picture in the tree")


def focused(role, name):
    node = find(role, name)
    return node is not None and node.getState().contains(pyatspi.STATE_FOCUSED)


def keys(*names):
    subprocess.run(["xdotool", "key", "--window", window] + list(names), check=True)


def screenshot(node, path):
    """The control and 4 pixels around it, from the screen."""
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
        box.width + 8, box.height + 8, box.x - 4, box.y - 4), "+repage", path], check=True)


app = poll("the program on the accessibility bus", application, 60)
lines, found = poll("the window's controls", lambda: walk(app) if find("slider", "Bildposition")
                    else None)
with open(work + "/tree.txt", "w") as out:
    out.write("\n".join(lines) + "\n")
print("\n".join(lines))

# Every control by role and name; buttons and links can be pressed and take the focus.
expected = [("frame", "Tavrin Reelstand"), ("push button", "Bild zurück"),
            ("push button", "Bild vor"), ("push button", "Pause"), ("link", "öffnen"),
            ("link", "schließen"), ("slider", "Bildposition")]
for role, name in expected:
    node = found.get((role, name))
    if node is None:
        fail('no %s named "%s"' % (role, name))
    if role in ("push button", "link") and ("Press" not in actions(node) or
                                            not node.getState().contains(pyatspi.STATE_FOCUSABLE)):
        fail('%s "%s" cannot be pressed or focused' % (role, name))
slider = found[("slider", "Bildposition")]
current, low, high = value(slider)
if not low <= current <= high or high <= low:
    fail("slider value %g outside %g..%g" % (current, low, high))

# It plays: the picture's name follows the frames.
first = picture()
poll("the picture to change while playing", lambda: picture() != first)

# "Pause" pauses: the button offers play now, and a second passes without a change of frame or
# slider (while playing they change every 80 ms; the tick after the press still shows the frame
# the playing had reached).
press(find("push button", "Pause"))
poll('the button to be named "Wiedergabe"', lambda: find("push button", "Wiedergabe"))


def still_for_a_second():
    shown = (picture(), value(slider)[0])
    deadline = time.monotonic() + 1.0
    while time.monotonic() < deadline:
        if (picture(), value(slider)[0]) != shown:
            return None
        time.sleep(0.05)
    return shown


(paused, count), _ = poll("the playing to stop", still_for_a_second)

# "Bild vor" shows the next frame (after the last comes the first), and stays there.
press(find("push button", "Bild vor"))
following = paused % count + 1
poll("frame %d after Bild vor" % following, lambda: picture() == (following, count))

# The keyboard: the window's activation gives the slider the focus, Tab walks to the play button,
# Space presses it.
subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
poll("the slider to take the focus", lambda: focused("slider", "Bildposition"))
keys("Tab", "Tab", "Tab")
poll("the play button to take the focus", lambda: focused("push button", "Wiedergabe"))
screenshot(find("push button", "Wiedergabe"), work + "/focus-button.png")
keys("space")
poll('Space to resume playing ("Pause" offered)', lambda: focused("push button", "Pause"))
poll("the picture to move again", lambda: picture()[0] != following)
keys("Tab")
poll('"öffnen" to take the focus', lambda: focused("link", "öffnen"))
screenshot(find("link", "öffnen"), work + "/focus-link.png")

# "schließen" through its action ends the program; the shell checks how.
press(find("link", "schließen"))
