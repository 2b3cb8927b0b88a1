#pragma once
// Where windows draw: every top-level window owns a BGRX surface the size of its window
// rectangle, and its children draw into it. A window DC's visible area is its rectangle cut to
// each ancestor's client area, less the siblings above it under WS_CLIPSIBLINGS and its own
// children under WS_CLIPCHILDREN.
#include "../gdi/Surface.h"

#include <win32/user.h>

#include <memory>
#include <vector>

// The surface of hWnd's top-level window, resized to the window when that changed; null for a
// stale handle. ptOffset receives the top-level window's screen position.
std::shared_ptr<Surface> TopLevelSurface(HWND hWnd, POINT& ptOffset);

// The visible part of a window in its top-level surface's coordinates, and where its client
// (or window) corner lies there. bClipSiblings forces sibling clipping whatever the style.
struct VisibleArea
{
    POINT m_ptOrigin{};
    RECT m_rcArea{};   // the whole client (or window) rectangle
    std::vector<RECT> m_Rects;
};
bool ComputeVisibleArea(HWND hWnd, bool bWholeWindow, bool bClipSiblings, VisibleArea& area);

// Forgets the surfaces of windows that no longer exist; the compositor calls it.
void DropDeadSurfaces();
// Top-level windows, bottom of the z-order first, with their surfaces.
struct PlacedSurface
{
    HWND m_hWnd;
    RECT m_rcScreen;
    std::shared_ptr<Surface> m_pSurface;
};
std::vector<PlacedSurface> VisibleTopLevelSurfaces();

// Something was drawn: the composed desktop must be made again.
void MarkDesktopDirty();
bool TakeDesktopDirty();
