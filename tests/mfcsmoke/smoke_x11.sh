#!/usr/bin/env bash
# Runs the MFC smoke program under the X server in $DISPLAY: its frame and view must appear on
# the server, Escape must close it, and it must exit with status 0 within 10 seconds of the key.
# Exit 77 (skipped) without a display or xdotool.
set -u
name=smoke
source "$(dirname "$0")/../x11_kit.sh"
x11_require_tools
"$1" &
pid=$!
SECONDS=0
x11_wait_window 30 "the presenter's window never appeared"
# The view's colour must reach the server in the middle of the 640x480 frame.
x11_wait_screen 40 "rgb(320, 240) == (0x28, 0x5A, 0xA0)" "the view is not on the screen"
# The program may be gone before the key is released, which xdotool reports; only the exit counts.
xdotool key --window "$wid" Escape 2>/dev/null
x11_wait_exit 10 "the program did not exit after Escape"
