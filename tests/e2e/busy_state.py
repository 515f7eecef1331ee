"""Checks over AT-SPI that the window tells a screen reader it is busy while
a folder it was asked to open is still being read, and no longer once Esc
gives the read up. The folder list has the keyboard, at the folder that
holds FOLDER_NAME, whose read does not end by itself.
Usage: busy_state.py FOLDER_NAME"""

import sys

import pyatspi

from atspi_tools import keys, tool, typed, wait_for


def busy(app):
    return any(window.getState().contains(pyatspi.STATE_BUSY) for window in app)


app = wait_for("the tool on the accessibility bus", tool)
if busy(app):
    sys.exit("screen reader: the window is busy before anything was asked of it")
typed(sys.argv[1])
keys("Return")
wait_for("the window to say it is busy", lambda: busy(app))
keys("Escape")
wait_for("the window to say it is no longer busy", lambda: not busy(app))
print("screen reader: the window is busy while the read is out, and not once it is given up")
