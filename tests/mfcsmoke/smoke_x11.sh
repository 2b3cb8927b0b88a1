#!/usr/bin/env bash
# Runs the MFC smoke program under the X server in $DISPLAY: its frame and view must appear on
# the server, Escape must close it, and it must exit with status 0 within 10 seconds of the key.
# Exit 77 (skipped) without a display or xdotool.
set -u
app="$1"
if [ -z "${DISPLAY:-}" ] || ! command -v xdotool >/dev/null || ! command -v xwd >/dev/null; then
  echo "smoke: no X display or no xdotool/xwd; skipped"
  exit 77
fi
"$app" &
pid=$!
# A loaded machine may take a while to start; the exit after the key must be prompt.
wid=""
SECONDS=0
while [ "$SECONDS" -lt 30 ]; do
  wid=$(xdotool search --name '^Quenlaris$' 2>/dev/null | head -n 1)
  [ -n "$wid" ] && break
  sleep 0.1
done
if [ -z "$wid" ]; then
  echo "smoke: the presenter's window never appeared"
  kill "$pid" 2>/dev/null
  exit 1
fi
# The view's colour must reach the server in the middle of the 640x480 frame.
found=0
while [ "$SECONDS" -lt 40 ]; do
  if xwd -root -silent | python3 -c '
import struct, sys
data = sys.stdin.buffer.read()
h = struct.unpack(">25I", data[:100])
header_size, width, height, byte_order, bpp, bpl, ncolors = h[0], h[4], h[5], h[7], h[11], h[12], h[19]
offset = header_size + ncolors * 12
x, y = 320, 240
p = offset + y * bpl + x * (bpp // 8)
pixel = int.from_bytes(data[p:p + bpp // 8], "little" if byte_order == 0 else "big")
sys.exit(0 if (pixel & 0xFFFFFF) == 0x285AA0 else 1)
'; then
    found=1
    break
  fi
  sleep 0.1
done
if [ "$found" != 1 ]; then
  echo "smoke: the view is not on the screen"
  kill "$pid" 2>/dev/null
  exit 1
fi
# The program may be gone before the key is released, which xdotool reports; only the exit counts.
xdotool key --window "$wid" Escape 2>/dev/null
SECONDS=0
while [ "$SECONDS" -lt 10 ]; do
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid"
    status=$?
    echo "smoke: exit status $status"
    exit "$status"
  fi
  sleep 0.1
done
echo "smoke: the program did not exit after Escape"
kill "$pid" 2>/dev/null
exit 1
