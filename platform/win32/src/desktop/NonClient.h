#pragma once
// The layer's default drawing of what lies outside the client area, and of the background.
#include <win32/gdi.h>
#include <win32/user.h>

// Borders, caption with its close button, the menu bar's band, client edges and scroll bar
// bands, in the Windows 2000 classic look (WM_NCPAINT, WM_NCACTIVATE, WM_SETTEXT).
// nActive: 1 or 0 draws the caption active or inactive, -1 asks GetActiveWindow. hClip, a region
// in screen coordinates, limits the drawing (WM_NCPAINT's wParam when it is not 1).
void DrawNonClient(HWND hWnd, int nActive = -1, HRGN hClip = nullptr);
// WM_ERASEBKGND: the class brush over the client area; nonzero when it erased.
LRESULT DefaultEraseBackground(HWND hWnd, HDC hdc);
// The close button inside a caption bar (both in the same coordinates).
RECT CloseButtonRect(const RECT& rcCaption);
