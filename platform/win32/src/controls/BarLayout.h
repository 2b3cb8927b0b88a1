#pragma once
// How the status bar and the rebar place themselves in their parent, by their CCS_ styles.
#include <win32/windows.h>

// Without CCS_NORESIZE the bar takes nHeight; without CCS_NOPARENTALIGN it also spans its
// parent's client width along the top (CCS_TOP) or the bottom (CCS_BOTTOM); CCS_NOMOVEY keeps
// its vertical position. bTopByDefault: where a bar with no alignment bits goes.
void AlignBarToParent(HWND hWnd, int nHeight, bool bTopByDefault);
