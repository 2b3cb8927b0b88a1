#pragma once
// The move/size loop that SC_MOVE and SC_SIZE start (a press on a caption or a sizing border).
#include <win32/user.h>

// Runs while the left button is held (it is down, or its release is still queued), until it is
// released, Enter or Esc is pressed, or the capture is taken away.
// nCommand is the WM_SYSCOMMAND code: SC_MOVE (any low bits), or SC_SIZE plus the WMSZ_ edge;
// ptStart is the cursor where the drag began, in screen coordinates.
void RunSizeMoveLoop(HWND hWnd, WPARAM nCommand, POINT ptStart);
