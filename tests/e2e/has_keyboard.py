"""Exits 0 when the tool's window is the active one, which has the keyboard,
and 1 otherwise: a check for a test to poll before it types, where the
window cannot be seen from outside (a Wayland client under weston)."""

import sys

import pyatspi

from atspi_tools import tool

app = tool()
active = app is not None and any(
    window.getState().contains(pyatspi.STATE_ACTIVE) for window in app
)
sys.exit(0 if active else 1)
