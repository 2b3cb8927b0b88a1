#!/usr/bin/env bash
# Runs the program on the sample room under the X server in $DISPLAY: its window must appear, an
# X screenshot must show the rendered room (the red and the green wall where the render surface
# lies), and a close from the window manager (WM_DELETE_WINDOW) must end it with status 0.
# Exit 77 (skipped) without a display, xdotool or xwd.
set -u
app="$1"
scene="$2"
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null || ! command -v xwd >/dev/null; then
  echo "program: no X display or no xdotool/xwd; skipped"
  exit 77
fi
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" "$app" "$scene" &
pid=$!
wid=""
SECONDS=0
while [ "$SECONDS" -lt 30 ]; do
  wid=$(xdotool search --name '^Quenlaris$' 2>/dev/null | head -n 1)
  [ -n "$wid" ] && break
  sleep 0.1
done
if [ -z "$wid" ]; then
  echo "program: the window never appeared"
  kill "$pid" 2>/dev/null
  exit 1
fi
# The render surface lies at the main window's client origin below the bars: the red wall at its
# left edge, the green one near its right edge, both at mid-height.
found=0
while [ "$SECONDS" -lt 60 ]; do
  if xwd -root -silent | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
h = struct.unpack(">25I", data[:100])
header_size, width, height, byte_order, bpp, bpl, ncolors = h[0], h[4], h[5], h[7], h[11], h[12], h[19]
offset = header_size + ncolors * 12
def rgb(x, y):
    p = offset + y * bpl + x * (bpp // 8)
    v = int.from_bytes(data[p:p + bpp // 8], "little" if byte_order == 0 else "big")
    return (v >> 16) & 255, (v >> 8) & 255, v & 255
r, g, b = rgb(30, 300)
red = r > 2 * g and r > 2 * b
r, g, b = rgb(640, 300)
green = g > 2 * r and g > 2 * b
sys.exit(0 if red and green else 1)
'; then
    found=1
    break
  fi
  sleep 0.2
done
if [ "$found" != 1 ]; then
  echo "program: the room is not on the screen"
  kill "$pid" 2>/dev/null
  exit 1
fi
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
SECONDS=0
while [ "$SECONDS" -lt 20 ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
    echo "program: exit status $status"
    exit "$status"
  fi
  sleep 0.1
done
echo "program: the program did not end after the close"
kill "$pid" 2>/dev/null
exit 1
