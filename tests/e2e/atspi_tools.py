"""What the checks over AT-SPI share: waiting for a condition while the
accessibility events are pumped, keys sent with xdotool, and the tool found
on the bus."""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

DEADLINE_S = 20


def fail(message):
    sys.exit("screen reader: " + message)


def wait_for(what, condition):
    """Polls, pumping the accessibility events, until condition() is truthy."""
    context = GLib.MainContext.default()
    end = time.monotonic() + DEADLINE_S
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    fail("timed out waiting for " + what)


def keys(*names):
    subprocess.run(["xdotool", "key", *names], check=True)


def typed(text):
    subprocess.run(["xdotool", "type", "--delay", "60", text], check=True)


def tool():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tobrel":
            return app
    return None
