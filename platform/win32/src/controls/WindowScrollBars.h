#pragma once
// A window's own scroll bars (WS_VSCROLL, WS_HSCROLL) as the non-client code draws and works them.
#include <win32/windows.h>

// Draws the window's bars, and the corner between them, into its window DC.
void DrawWindowScrollBars(HWND hWnd, HDC hdcWindow);
// HTVSCROLL or HTHSCROLL for a screen point on one of the window's bars, else HTNOWHERE.
LRESULT WindowScrollBarHitTest(HWND hWnd, POINT ptScreen);
// A press on a bar (nHitTest from the hit test): WM_VSCROLL or WM_HSCROLL to the window itself, a
// line or a page at once, the thumb's positions while it is dragged, until the button is released.
void TrackWindowScrollBar(HWND hWnd, int nHitTest, POINT ptScreen);
