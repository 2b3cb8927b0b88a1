#pragma once
#include <win32/user.h>

// The non-client frame a window of these styles gets: the width of each edge (caption and menu
// included in the top).
RECT NonClientInsets(DWORD nStyle, DWORD nExStyle, bool bMenu);
