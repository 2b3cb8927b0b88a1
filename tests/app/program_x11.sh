#!/usr/bin/env bash
# Runs the program on the sample room under the X server in $DISPLAY: its window must appear, an
# X screenshot must show the rendered room (the red and the green wall where the render surface
# lies), and a close from the window manager (WM_DELETE_WINDOW) must end it with status 0.
# Exit 77 (skipped) without a display, xdotool or xwd.
set -u
name=program
source "$(dirname "$0")/../x11_kit.sh"
x11_require_tools
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$1" "$2" &
pid=$!
SECONDS=0
x11_wait_window 30 "the window never appeared"
# The render surface lies at the main window's client origin below the bars: the red wall at its
# left edge, the green one near its right edge, both at mid-height.
x11_wait_screen 60 "mostly(rgb(30, 300), 0) and mostly(rgb(640, 300), 1)" "the room is not on the screen"
# What a window manager sends when the user closes the window.
python3 - "$wid" <<'PY'
import ctypes, sys
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
display = x11.XOpenDisplay(None)
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x11.XFlush(display)
x11.XCloseDisplay(display)
PY
x11_wait_exit 20 "the program did not end after the close"
