#pragma once
// The cursor. The layer keeps the current cursor; it is set by the window under the mouse as it
// answers WM_SETCURSOR, which every mouse message that is not captured brings first
// (DefWindowProc asks a child's parent, then sets the class cursor over the client area and the
// arrow elsewhere). SetCursor returns the previous cursor.
#include <win32/icons.h>

HCURSOR SetCursor(HCURSOR hCursor);
HCURSOR GetCursor();
