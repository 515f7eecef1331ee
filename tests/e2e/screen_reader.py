"""Checks over AT-SPI what a screen reader user meets in the running tool,
driving it with xdotool. Usage: screen_reader.py FOLDER_NAME_UNDER_TMP ADDRESS"""

import subprocess
import sys

import pyatspi
from gi.repository import GLib

from atspi_tools import fail, keys, tool, typed, wait_for


def controls(app):
    """The window's controls; for the text box, the text inside its frame."""
    found = []
    for window in app:
        for control in window:
            if control.getRole() == pyatspi.ROLE_FILLER:
                found.extend(child for child in control)
            else:
                found.append(control)
    return found


# Qt 6.4 gives a tree's rows the bus's table cell role, as a tree view's.
ROWS = (pyatspi.ROLE_TREE_ITEM, pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LIST_ITEM)


def owner(item):
    """The control an item is in: a tree's rows hang from one another."""
    while item is not None and item.getRole() in ROWS:
        item = item.parent
    return item


def focused(app):
    for control in controls(app):
        if control.getState().contains(pyatspi.STATE_FOCUSED):
            return control
    return None


app = wait_for("the tool on the accessibility bus", tool)

# The keyboard order, each control spoken by its own name and role. Roles
# are compared as the bus's numbers: their spoken names differ between
# versions of the bus ("push button", later "button").
expected_order = [
    (pyatspi.ROLE_TREE, "Folders"),
    (pyatspi.ROLE_TEXT, "File names"),
    (pyatspi.ROLE_LIST, "Files"),
    (pyatspi.ROLE_COMBO_BOX, "Drives"),
    (pyatspi.ROLE_PUSH_BUTTON, "Scan"),
    (pyatspi.ROLE_PUSH_BUTTON, "Copy to clipboard"),
    (pyatspi.ROLE_PUSH_BUTTON, "Exit"),
    (pyatspi.ROLE_LINK, sys.argv[2]),
]
heard_order = []
undescribed = []
for step in range(len(expected_order)):
    now = wait_for("a control with the focus", lambda: focused(app))
    heard_order.append((now.getRole(), now.name))
    # Each says what it is for, in more than a word.
    if len(now.description.split()) < 3:
        undescribed.append((now.name, now.description))
    if step + 1 < len(expected_order):
        before = (now.getRole(), now.name)
        keys("Tab")
        wait_for("the focus to move on",
                 lambda: (f := focused(app)) is not None and (f.getRole(), f.name) != before)
if heard_order != expected_order:
    fail("the keyboard order was %s, not %s" % (heard_order, expected_order))
if undescribed:
    fail("controls without a description: %s" % undescribed)
# The drive list's volume is read as its text and as the popup's selected
# row, while the popup is closed.
# A system root made for a test (a chroot) may list no volume at all: then
# nothing is shown, and nothing selected.
drives = next(c for c in controls(app) if c.name == "Drives")
shown = drives.queryText().getText(0, -1)
rows = [row.name for row in drives[0]]
selected = [row.name for row in drives[0] if row.getState().contains(pyatspi.STATE_SELECTED)]
if (rows and (not shown or selected != [shown])) or (not rows and (shown or selected)):
    fail("the drive list reads %r, its selected rows %s of %s" % (shown, selected, rows))
keys("Tab")  # Back round to the folder list.
wait_for("the folder list to have the focus",
         lambda: (f := focused(app)) is not None and f.name == "Folders")

# What a scan puts in the box is announced, and read as text.
inserted = []


def on_insert(event):
    if event.source.name == "File names":
        inserted.append(event.any_data)


pyatspi.Registry.registerEventListener(on_insert, "object:text-changed:insert")
# Only where the keyboard is may a screen reader be told of the focus: a
# scan from the folder list walks the file list's rows, not the keyboard.
focus_told = []


def on_focus(event):
    if event.detail1 == 1:
        try:
            role = event.source.getRole()
            focus_told.append(("row" if role in ROWS else role, owner(event.source).name,
                               event.source.name))
        except GLib.GError:
            pass  # A row of a folder the list has left since.


pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
# What happened where the keyboard is not is said as a notification.
announced = []


def on_showing(event):
    if event.detail1 == 1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        announced.append(event.source.name)


pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
typed("tmp")
keys("Return")
typed(sys.argv[1])
keys("Return", "alt+s")

names = "\na \u00e9.txt\nb.txt\nc \U0001F600.png"
box = next(c for c in controls(app) if c.getRole() == pyatspi.ROLE_TEXT and c.name == "File names")
text = box.queryText()
wait_for("the names in the text box", lambda: text.getText(0, -1) == names)
line, start, end = text.getTextAtOffset(3, pyatspi.TEXT_BOUNDARY_LINE_START)
if line != "a \u00e9.txt\n":
    fail("the line at offset 3 reads %r" % line)
wait_for("the scan to be announced", lambda: names in inserted)
wait_for("the folder opened and its count to be said", lambda: sys.argv[1] + ": 3 files" in announced)
wait_for("the count of names to be said", lambda: "3 names" in announced)
elsewhere = [told for told in focus_told if told[1] != "Folders"]
if elsewhere:
    fail("the focus was told to be at %s while the keyboard was in Folders" % elsewhere)

# The folder list is a tree: each folder above holds the next, the open one
# its subfolders, so their levels differ, and so do their states.
tree = next(c for c in controls(app) if c.name == "Folders")
path, at = [], tree
while at.childCount == 1 and at[0].getState().contains(pyatspi.STATE_EXPANDED):
    at = at[0]
    path.append(at.name)
if path != ["/", "tmp", sys.argv[1]]:
    fail("the tree's expanded folders are %s" % path)
below = [(child.name, child.getRole() in ROWS[:2], child.getState().contains(pyatspi.STATE_COLLAPSED))
         for child in at]
if below != [("sub", True, True)]:
    fail("the open folder holds %s" % below)
# Where Qt carries levels to the bus (6.8 on), the subfolder says it is 4 deep.
if tuple(int(part) for part in app.get_toolkit_version().split(".")[:2]) >= (6, 8) and \
        "level:4" not in at[0].getAttributes():
    fail("the subfolder does not say its level: %s" % at[0].getAttributes())
# Moving in the tree tells the row with the keyboard, where it hangs.
keys("Down")
wait_for("the subfolder to be told as focused",
         lambda: ("row", "Folders", "sub") in focus_told)
keys("Up")
wait_for("the open folder to be told as focused again",
         lambda: focus_told[-1] == ("row", "Folders", sys.argv[1]))
pyatspi.Registry.deregisterEventListener(on_focus, "object:state-changed:focused")

# Editing is told as the change itself, on the one text object there is.
changes = []


def on_change(event):
    if event.source.name == "File names":
        changes.append((event.type.minor, event.detail1, event.any_data))


pyatspi.Registry.registerEventListener(on_change, "object:text-changed")
keys("Tab")
wait_for("the text box to have the focus",
         lambda: (f := focused(app)) is not None and f.name == "File names")
# Offsets as the bus counts them, which for the emoji need not be Python's.
count = text.characterCount
line_start = text.getTextAtOffset(count - 1, pyatspi.TEXT_BOUNDARY_LINE_START)[1]
keys("ctrl+End")
typed("x")
wait_for("the letter typed to be told", lambda: ("insert", count, "x") in changes)
if text.getText(0, -1) != names + "x":
    fail("after typing, the box reads %r" % text.getText(0, -1))
keys("shift+Home")
wait_for("the line to be selected",
         lambda: text.getNSelections() == 1 and text.getSelection(0) == (line_start, count + 1))
keys("ctrl+z")
wait_for("the undo to be told", lambda: ("delete", count, "x") in changes)
boxes = [c for c in controls(app) if c.name == "File names"]
if len(boxes) != 1:
    fail("%d objects are named File names" % len(boxes))
# A paste that opens nothing says why, once.
keys("shift+Tab")
wait_for("the folder list to have the focus again",
         lambda: (f := focused(app)) is not None and f.name == "Folders")
subprocess.run(["xclip", "-selection", "clipboard"], input=b"/tmp\n/usr", check=True)
keys("ctrl+v")
refused = "Not opened: the clipboard holds more than one line."
wait_for("the refused paste to be said", lambda: refused in announced)
keys("alt+s")
wait_for("the next scan's count", lambda: announced.count("3 names") == 2)
if announced.count(refused) != 1:
    fail("the refused paste was said %d times" % announced.count(refused))

# The "Copy names as" menu, opened from the keyboard: a popup, which a
# reader meets through the focus of its entries; each read by its name, and
# what was copied said once it is on the clipboard.
menu_focus = []


def on_menu_focus(event):
    if event.detail1 == 1:
        try:
            menu_focus.append(event.source)
        except GLib.GError:
            pass


pyatspi.Registry.registerEventListener(on_menu_focus, "object:state-changed:focused")
keys("ctrl+shift+c", "Down")
first = wait_for("the menu's first entry to have the focus",
                 lambda: next((s for s in menu_focus if s.name == "Lines"), None))
menu = first.parent
entries = [entry.name for entry in menu]
if menu.name != "Copy names as" or entries != [
        "Lines", "Lines for Windows", "Tab-separated", "CSV", "Without extensions", "Full paths",
        "Table"]:
    fail("the menu %r reads %s" % (menu.name, entries))
keys("Return")
wait_for("the copy to be said", lambda: "3 names copied as lines" in announced)
print("screen reader: the order, the names, the text and its edits all read as expected")
