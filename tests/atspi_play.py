#!/usr/bin/python3
"""A screen reader's side of the game: over the accessibility bus, find the game's window, read
the yard's lines and slots by name, play the quiz with the Front and Back buttons' actions and
the number box's text, and hear the completion.

    atspi_play.py NAMES_FILE STEP...

NAMES_FILE holds, a line each: the yard's name, Front's, Back's, the number box's, the word the
completion is said with, then the names of the 60 slots as the quiz starts. A step is "B" (Back
with the number box empty), "nF" (n into the number box, then Front) or "nB" (n, then Back).
"""
import os
import sys
import time

import pyatspi


def fail(message):
    print("FAIL:", message, flush=True)
    sys.exit(1)


def wait_for(what, check, timeout=30.0):
    end = time.time() + timeout
    while time.time() < end:
        value = check()
        if value:
            return value
        time.sleep(0.05)
    fail("timed out waiting for " + what)


def our_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is not None and app.get_process_id() == os.getppid():
                return app
        except Exception:
            pass
    return None


def find(root, name, roles=None, depth=12):
    """The first object under root (breadth first) of that name and, when given, one of the roles."""
    level = [root]
    for _ in range(depth):
        below = []
        for node in level:
            try:
                count = node.childCount
            except Exception:
                continue
            for i in range(count):
                child = node.getChildAtIndex(i)
                if child is None:
                    continue
                if child.name == name and (roles is None or child.getRole() in roles):
                    return child
                below.append(child)
        level = below
    return None


def press(button):
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    index = names.index("Press") if "Press" in names else 0
    action.doAction(index)


def set_number(box, text):
    entry = box if box.getRole() == pyatspi.ROLE_TEXT else find(box, "", None, 2) or box
    for candidate in [box] + [box.getChildAtIndex(i) for i in range(box.childCount)]:
        try:
            candidate.queryEditableText().setTextContents(text)
            return
        except NotImplementedError:
            continue
    fail("the number box takes no text")


def slot_names(yard):
    names = []
    for line in range(3):
        lane = yard.getChildAtIndex(line)
        if lane.getRole() != pyatspi.ROLE_LIST or lane.childCount != 20:
            fail("line %d is not a list of 20 slots" % line)
        names += [lane.getChildAtIndex(k).name for k in range(20)]
    return names


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        lines = f.read().split("\n")
    yard_name, front_name, back_name, box_name, complete_word = lines[:5]
    expected = lines[5:65]
    steps = sys.argv[2:]

    app = wait_for("the game on the bus", our_app)
    print("found", app.name, flush=True)
    yard = wait_for("the yard", lambda: find(app, yard_name))
    front = find(app, front_name, [pyatspi.ROLE_PUSH_BUTTON])
    back = find(app, back_name, [pyatspi.ROLE_PUSH_BUTTON])
    box = find(app, box_name)
    if front is None or back is None or box is None:
        fail("Front, Back or the number box is missing")
    names = slot_names(yard)
    if names != expected:
        fail("the slots read %r, not %r" % (names, expected))
    print("slots:", "; ".join(n for n in names if n != expected[0] or True)[:300], flush=True)
    signs = [yard.getChildAtIndex(i).name for i in range(3, yard.childCount)]
    print("route and signs:", signs, flush=True)
    if len(signs) != 4 or not all(signs):
        fail("the route and the three signs are not named")

    said = yard.description
    for step in steps:
        if step != "B":
            set_number(box, step[:-1])
        before = slot_names(yard)
        press(front if step.endswith("F") else back)
        said = wait_for("the yard to say step " + step, lambda: yard.description != said and yard.description)
        print(step, "->", said, flush=True)
        if slot_names(yard) == before:
            fail("the slots did not change with step " + step)
    wait_for("the completion", lambda: complete_word in yard.description, 60)
    print("said:", yard.description, flush=True)
    print("OK", flush=True)


if __name__ == "__main__":
    main()
