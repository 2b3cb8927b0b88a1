#pragma once
// The menu bar of a top-level window with a menu: its items laid out left to right in the band
// between the caption and the client area, drawn with their texts, hit tested and opened.
#include <win32/windows.h>

#include <vector>

// The band in window coordinates; false for a window without a menu bar.
bool MenuBarBand(HWND hWnd, RECT& rcBand);
// One rectangle per item of the window's menu, in window coordinates.
std::vector<RECT> MenuBarItemRects(HWND hWnd);
void DrawMenuBarBand(HWND hWnd, HDC hdcWindow);
// A press on the band: the item under the point opens its popup below itself (its choice posted
// as WM_COMMAND), or an item without one posts its command.
void TrackMenuBar(HWND hWnd, POINT ptScreen);
