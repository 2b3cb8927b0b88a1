#pragma once
// What the dock dialog and the dock window share: the reference window whose edges a dragged
// window snaps to, the grab offset of the drag, the docked flag, the optional caption hiding, the
// tiled background and the eight operations that put the window against an edge at once.
#include "mfc_gui/BackgroundBitmap.h"

class CDockState
{
public:
    virtual ~CDockState();

    BOOL IsDocked() const { return m_bDocked; }
    // Place the window against the reference's edges (from both windows' normal placements),
    // keeping its size; each returns 1.
    BOOL DockBottom();
    BOOL DockTop();
    BOOL DockLeft();
    BOOL DockRight();
    BOOL DockBottomLeft();
    BOOL DockBottomRight();
    BOOL DockTopLeft();
    BOOL DockTopRight();

    // Owned; deleted when the window is destroyed.
    CBackgroundBitmap* m_pBackground = nullptr;

protected:
    CDockState();
    virtual HWND GetDockWindow() const = 0;

    void ReadReferenceRect();
    // WM_CREATE: the parent is the reference, the desktop when there is none.
    void TakeReference(HWND hWndParent);
    // WM_NCLBUTTONDOWN: the cursor's offset from the window's top-left corner.
    void Grab(POINT ptScreen);
    // WM_MOVING: the rectangle follows the cursor less the grab offset, then each edge closer than
    // m_nSnapDistance to the reference's same edge snaps to it (top, left, right, bottom in that
    // order, so right wins over left and bottom over top).
    void Snap(LPRECT pRect);
    // WM_ERASEBKGND: TRUE when the background bitmap painted the client area.
    BOOL PaintBackground(CDC* pDC);
    void DeleteBackground();
    void HideCaption();
    void ShowCaption();

    int m_nSnapDistance = 10;
    RECT m_rcReference{};        // screen coordinates
    POINT m_ptGrabOffset{0, 0};
    BOOL m_bHideCaption = FALSE;
    BOOL m_bDocked = FALSE;
    HWND m_hWndReference = nullptr;

private:
    void MoveTo(int x, int y, const RECT& own);
    bool Placements(RECT& rcOwn, RECT& rcReference) const;
};
