"""Asks an X window to close, as a window manager's close button does: a
WM_DELETE_WINDOW message. Xvfb has no window manager to send it.

Usage: close_window.py WINDOW_ID"""

import ctypes
import ctypes.util
import sys


class ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class Event(ctypes.Union):
    _fields_ = [("message", ClientMessage), ("pad", ctypes.c_long * 24)]


CLIENT_MESSAGE = 33
CURRENT_TIME = 0

x = ctypes.CDLL(ctypes.util.find_library("X11"))
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.POINTER(Event)]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]

display = x.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
window = int(sys.argv[1])
event = Event()
event.message.type = CLIENT_MESSAGE
event.message.window = window
event.message.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", False)
event.message.format = 32
event.message.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", False)
event.message.data[1] = CURRENT_TIME
if not x.XSendEvent(display, window, False, 0, ctypes.byref(event)):
    sys.exit("the X server refused the message")
x.XFlush(display)
x.XCloseDisplay(display)
