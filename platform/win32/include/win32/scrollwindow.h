#pragma once
// ScrollWindow scrolls the client area's content by (XAmount, YAmount): without lpRect the child
// windows move by that much; the client area is then repainted (the layer redraws rather than
// moving pixels).
#include <win32/types.h>

BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT* lpClipRect);
