# What the X11 test scripts share: the tool check, waiting for a window of the program, for the
# screen to show something, and for the program to end. Source it after setting `name` (the
# script's name in its messages) and `pid` (the program's process) as the functions need them.

# Exit 77 (skipped) without a display, xdotool or xwd.
x11_require_tools() {
  if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null || ! command -v xwd >/dev/null; then
    echo "$name: no X display or no xdotool/xwd; skipped"
    exit 77
  fi
  # A server that was just started may not take connections yet: give it a few seconds before the
  # program tries it once.
  local tries=0
  until xdotool getdisplaygeometry >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -ge 100 ]; then
      echo "$name: the X display $DISPLAY takes no connections"
      exit 1
    fi
    sleep 0.1
  done
}

# Ends the script with status 1 after killing the program.
x11_fail() {
  echo "$name: $1"
  kill "$pid" 2>/dev/null
  exit 1
}

# Sets wid to the first window titled "Quenlaris" before SECONDS reaches $1; a loaded machine may
# take a while to start the program.
x11_wait_window() {
  wid=""
  while [ "$SECONDS" -lt "$1" ]; do
    wid=$(xdotool search --name '^Quenlaris$' 2>/dev/null | head -n 1)
    [ -n "$wid" ] && return 0
    sleep 0.1
  done
  x11_fail "$2"
}

# Waits until SECONDS reaches $1 for the Python condition $2 to hold on a screenshot of the root
# window; the condition may call rgb(x, y), which gives a pixel's (red, green, blue), and
# mostly(pixel, channel), whether that channel is more than twice each other one.
x11_wait_screen() {
  while [ "$SECONDS" -lt "$1" ]; do
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
def mostly(pixel, channel):
    return all(pixel[channel] > 2 * v for i, v in enumerate(pixel) if i != channel)
sys.exit(0 if ('"$2"') else 1)
'; then
      return 0
    fi
    sleep 0.1
  done
  x11_fail "$3"
}

# Waits up to $1 seconds for the program to end and exits with its status.
x11_wait_exit() {
  SECONDS=0
  while [ "$SECONDS" -lt "$1" ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
      wait "$pid"
      status=$?
      echo "$name: exit status $status"
      exit "$status"
    fi
    sleep 0.1
  done
  x11_fail "$2"
}
