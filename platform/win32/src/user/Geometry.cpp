// Window positions, sizes, z-order and visibility, and the coordinate conversions.
#include "UserState.h"

#include <algorithm>
#include <vector>

namespace
{
RECT OnScreen(const Window* pWnd, const RECT& rc)
{
    POINT origin = ClientOriginOnScreen(FindWindowObject(pWnd->m_hParent));
    return {rc.left + origin.x, rc.top + origin.y, rc.right + origin.x, rc.bottom + origin.y};
}

bool IsTopmost(HWND h)
{
    Window* p = FindWindowObject(h);
    return p && (p->m_nExStyle & WS_EX_TOPMOST);
}
}

// Moves the window within its parent's list: topmost windows always stay above the others.
void RestackWindow(Window* pWnd, HWND hInsertAfter)
{
    Window* pParent = FindWindowObject(pWnd->m_hParent);
    if (!pParent)
        return;
    bool bDesktop = pParent == DesktopObject();
    if (bDesktop && hInsertAfter == HWND_TOPMOST)
        pWnd->m_nExStyle |= WS_EX_TOPMOST;
    else if (bDesktop && hInsertAfter == HWND_NOTOPMOST)
        pWnd->m_nExStyle &= ~WS_EX_TOPMOST;
    auto& list = pParent->m_Children;
    list.erase(std::remove(list.begin(), list.end(), pWnd->m_hWnd), list.end());
    auto it = list.begin();
    if (hInsertAfter == HWND_BOTTOM)
        it = list.end();
    else if (hInsertAfter != HWND_TOP && hInsertAfter != HWND_TOPMOST && hInsertAfter != HWND_NOTOPMOST)
    {
        it = std::find(list.begin(), list.end(), hInsertAfter);
        it = it == list.end() ? list.begin() : it + 1;
    }
    if (bDesktop)
    {
        bool bTopmost = (pWnd->m_nExStyle & WS_EX_TOPMOST) != 0;
        auto firstPlain = std::find_if(list.begin(), list.end(), [](HWND h) { return !IsTopmost(h); });
        if (bTopmost && it > firstPlain)
            it = firstPlain;
        if (!bTopmost && it < firstPlain)
            it = firstPlain;
    }
    it = list.insert(it, pWnd->m_hWnd);
    if (!bDesktop)
        return;
    // Windows this one owns stay just above it, in their order, when it comes up past them.
    std::vector<HWND> owned;
    for (auto below = it + 1; below != list.end();)
    {
        Window* p = FindWindowObject(*below);
        if (p && p->m_hOwner == pWnd->m_hWnd && IsTopmost(*below) == IsTopmost(pWnd->m_hWnd))
        {
            owned.push_back(*below);
            below = list.erase(below);
        }
        else
            ++below;
    }
    it = std::find(list.begin(), list.end(), pWnd->m_hWnd);
    list.insert(it, owned.begin(), owned.end());
}

namespace
{
bool ContainsOnScreen(const Window* pWnd, POINT pt)
{
    RECT rc = OnScreen(pWnd, pWnd->m_rcWindow);
    return PtInRect(&rc, pt);
}

// The deepest visible, enabled window under pt, starting with the children of pParent.
HWND ChildUnder(const Window* pParent, POINT pt)
{
    for (HWND h : pParent->m_Children)
    {
        const Window* p = FindWindowObject(h);
        if (!p || !(p->m_nStyle & WS_VISIBLE) || (p->m_nStyle & WS_DISABLED) || !ContainsOnScreen(p, pt))
            continue;
        HWND hDeeper = ChildUnder(p, pt);
        return hDeeper ? hDeeper : h;
    }
    return nullptr;
}

bool ShownOnScreen(const Window* pWnd)
{
    for (; pWnd; pWnd = FindWindowObject(pWnd->m_hParent))
        if (!(pWnd->m_nStyle & WS_VISIBLE))
            return false;
    return true;
}

bool FindPaintBelow(const Window* pWnd, HWND hFilter, bool bInFilter, MSG& msg)
{
    for (HWND h : pWnd->m_Children)
    {
        const Window* p = FindWindowObject(h);
        if (!p || !(p->m_nStyle & WS_VISIBLE))
            continue;
        bool bIn = bInFilter || !hFilter || h == hFilter;
        if (bIn && p->m_bNeedsPaint)
        {
            msg = MSG{h, WM_PAINT, 0, 0, 0, {}};
            return true;
        }
        if (FindPaintBelow(p, hFilter, bIn, msg))
            return true;
    }
    return false;
}

void MarkForPaint(Window* pWnd, bool bErase)
{
    pWnd->m_bNeedsPaint = true;
    pWnd->m_bErase = pWnd->m_bErase || bErase;
    if (pWnd->m_nStyle & WS_CLIPCHILDREN)
        return;
    for (HWND h : pWnd->m_Children)
        if (Window* p = FindWindowObject(h))
            MarkForPaint(p, bErase);
}
}

bool SetWindowPosInternal(HWND hWnd, HWND hInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || pWnd == DesktopObject())
        return false;
    RECT old = pWnd->m_rcWindow;
    RECT oldClient = pWnd->m_rcClient;
    if (nFlags & SWP_NOMOVE)
    {
        x = old.left;
        y = old.top;
    }
    if (nFlags & SWP_NOSIZE)
    {
        cx = old.right - old.left;
        cy = old.bottom - old.top;
    }
    cx = std::max(cx, 0);
    cy = std::max(cy, 0);
    // A position or size that does not change is reported as not moved or not sized.
    if (x == old.left && y == old.top)
        nFlags |= SWP_NOMOVE;
    if (cx == old.right - old.left && cy == old.bottom - old.top)
        nFlags |= SWP_NOSIZE;
    WINDOWPOS wp{hWnd, hInsertAfter, x, y, cx, cy, nFlags};
    if (!(nFlags & SWP_NOSENDCHANGING))
    {
        CallWindowObject(hWnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&wp));
        if (!(pWnd = FindWindowObject(hWnd)))
            return false;
    }
    RECT rc{wp.x, wp.y, wp.x + std::max(wp.cx, 0), wp.y + std::max(wp.cy, 0)};
    if (!(wp.flags & SWP_NOSIZE) || (wp.flags & SWP_FRAMECHANGED))
    {
        NCCALCSIZE_PARAMS params{{rc, old, oldClient}, &wp};
        CallWindowObject(hWnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        if (!(pWnd = FindWindowObject(hWnd)))
            return false;
        pWnd->m_rcClient = params.rgrc[0];
    }
    else
    {
        // A move carries the client area along.
        pWnd->m_rcClient = oldClient;
        OffsetRect(&pWnd->m_rcClient, rc.left - old.left, rc.top - old.top);
    }
    pWnd->m_rcWindow = rc;
    if (!pWnd->m_bZoomed && !pWnd->m_bIconic)
        pWnd->m_rcNormal = rc;
    bool bWasVisible = (pWnd->m_nStyle & WS_VISIBLE) != 0;
    if (wp.flags & SWP_SHOWWINDOW)
        pWnd->m_nStyle |= WS_VISIBLE;
    if (wp.flags & SWP_HIDEWINDOW)
        pWnd->m_nStyle &= ~WS_VISIBLE;
    if (!(wp.flags & SWP_NOZORDER))
        RestackWindow(pWnd, wp.hwndInsertAfter);
    bool bVisible = (pWnd->m_nStyle & WS_VISIBLE) != 0;
    if (!(wp.flags & SWP_NOREDRAW) && bVisible && (!bWasVisible || !(wp.flags & SWP_NOSIZE) || (wp.flags & SWP_FRAMECHANGED)))
        MarkForPaint(pWnd, true);
    CallWindowObject(hWnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&wp));
    if (!(pWnd = FindWindowObject(hWnd)))
        return true;
    if (!(nFlags & SWP_NOACTIVATE) && IsTopLevel(pWnd) && bVisible && !(pWnd->m_nStyle & WS_DISABLED))
        ActivateWindow(hWnd, false);
    else if (!bVisible && bWasVisible && IsTopLevel(pWnd) && User().m_hActive == hWnd && !pWnd->m_bDestroying)
        ActivateNextWindow(hWnd);
    return true;
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags)
{
    return SetWindowPosInternal(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint)
{
    return SetWindowPosInternal(hWnd, nullptr, X, Y, nWidth, nHeight,
                                SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL ShowWindow(HWND hWnd, int nCmdShow)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || pWnd == DesktopObject())
        return FALSE;
    bool bWasVisible = (pWnd->m_nStyle & WS_VISIBLE) != 0;
    UINT nFlags = SWP_NOMOVE | SWP_NOSIZE;
    if (nCmdShow == SW_HIDE)
    {
        if (!bWasVisible)
            return FALSE;
        CallWindowObject(hWnd, WM_SHOWWINDOW, FALSE, 0);
        SetWindowPosInternal(hWnd, nullptr, 0, 0, 0, 0, nFlags | SWP_HIDEWINDOW | SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    RECT rc = pWnd->m_rcWindow;
    switch (nCmdShow)
    {
    case SW_SHOWMAXIMIZED:
        if (!pWnd->m_bZoomed)
        {
            if (!pWnd->m_bIconic)
                pWnd->m_rcNormal = pWnd->m_rcWindow;
            Window* pParent = FindWindowObject(pWnd->m_hParent);
            rc = {0, 0, pParent->m_rcClient.right - pParent->m_rcClient.left,
                  pParent->m_rcClient.bottom - pParent->m_rcClient.top};
            pWnd->m_bZoomed = true;
            pWnd->m_bIconic = false;
            nFlags = SWP_FRAMECHANGED;
        }
        break;
    case SW_MINIMIZE:
    case SW_SHOWMINIMIZED:
    case SW_SHOWMINNOACTIVE:
        if (!pWnd->m_bIconic)
        {
            if (!pWnd->m_bZoomed)
                pWnd->m_rcNormal = pWnd->m_rcWindow;
            // Where Windows parks minimised windows, off every screen.
            rc = {-32000, -32000, -32000 + 160, -32000 + 31};
            pWnd->m_bIconic = true;
            pWnd->m_bZoomed = false;
            nFlags = SWP_FRAMECHANGED;
        }
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        if (pWnd->m_bZoomed || pWnd->m_bIconic)
        {
            rc = pWnd->m_rcNormal;
            pWnd->m_bZoomed = pWnd->m_bIconic = false;
            nFlags = SWP_FRAMECHANGED;
        }
        break;
    default:
        break;
    }
    bool bNoActivate = nCmdShow == SW_SHOWNA || nCmdShow == SW_SHOWNOACTIVATE || nCmdShow == SW_SHOWMINNOACTIVE ||
                       nCmdShow == SW_MINIMIZE || !IsTopLevel(pWnd);
    if (bNoActivate)
        nFlags |= SWP_NOACTIVATE | SWP_NOZORDER;
    if (bWasVisible && (nFlags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE))
    {
        // Already shown as asked: at most the activation changes.
        if (!bNoActivate)
            ActivateWindow(hWnd, false);
        return TRUE;
    }
    if (!bWasVisible)
        CallWindowObject(hWnd, WM_SHOWWINDOW, TRUE, 0);
    SetWindowPosInternal(hWnd, HWND_TOP, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, nFlags | SWP_SHOWWINDOW);
    return bWasVisible;
}

BOOL IsWindowVisible(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    return pWnd && ShownOnScreen(pWnd);
}

BOOL IsZoomed(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    return pWnd && pWnd->m_bZoomed;
}

BOOL IsIconic(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    return pWnd && pWnd->m_bIconic;
}

BOOL GetWindowPlacement(HWND hWnd, WINDOWPLACEMENT* lpwndpl)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !lpwndpl)
        return FALSE;
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    lpwndpl->flags = 0;
    lpwndpl->showCmd = pWnd->m_bZoomed ? SW_SHOWMAXIMIZED : pWnd->m_bIconic ? SW_SHOWMINIMIZED
                       : (pWnd->m_nStyle & WS_VISIBLE) ? SW_SHOWNORMAL : SW_HIDE;
    lpwndpl->ptMinPosition = {-1, -1};
    lpwndpl->ptMaxPosition = {-1, -1};
    lpwndpl->rcNormalPosition = (pWnd->m_bZoomed || pWnd->m_bIconic) ? pWnd->m_rcNormal : pWnd->m_rcWindow;
    return TRUE;
}

BOOL SetWindowPlacement(HWND hWnd, const WINDOWPLACEMENT* lpwndpl)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !lpwndpl)
        return FALSE;
    const RECT& rc = lpwndpl->rcNormalPosition;
    pWnd->m_bZoomed = pWnd->m_bIconic = false;
    SetWindowPosInternal(hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(hWnd, static_cast<int>(lpwndpl->showCmd));
    return TRUE;
}

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !lpRect)
        return FALSE;
    *lpRect = pWnd == DesktopObject() ? pWnd->m_rcWindow : OnScreen(pWnd, pWnd->m_rcWindow);
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !lpRect)
        return FALSE;
    *lpRect = {0, 0, pWnd->m_rcClient.right - pWnd->m_rcClient.left, pWnd->m_rcClient.bottom - pWnd->m_rcClient.top};
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !lpPoint)
        return FALSE;
    POINT origin = ClientOriginOnScreen(pWnd);
    lpPoint->x += origin.x;
    lpPoint->y += origin.y;
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !lpPoint)
        return FALSE;
    POINT origin = ClientOriginOnScreen(pWnd);
    lpPoint->x -= origin.x;
    lpPoint->y -= origin.y;
    return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints)
{
    POINT from{0, 0}, to{0, 0};
    if (hWndFrom && !ClientToScreen(hWndFrom, &from))
        return 0;
    if (hWndTo && !ClientToScreen(hWndTo, &to))
        return 0;
    int dx = from.x - to.x, dy = from.y - to.y;
    for (UINT i = 0; lpPoints && i < cPoints; ++i)
    {
        lpPoints[i].x += dx;
        lpPoints[i].y += dy;
    }
    return MAKELONG(static_cast<WORD>(dx), static_cast<WORD>(dy));
}

HWND WindowFromPoint(POINT Point)
{
    return ChildUnder(DesktopObject(), Point);
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point)
{
    Window* pParent = FindWindowObject(hWndParent);
    if (!pParent)
        return nullptr;
    ClientToScreen(hWndParent, &Point);
    RECT rc = pParent == DesktopObject() ? pParent->m_rcWindow : OnScreen(pParent, pParent->m_rcWindow);
    if (!PtInRect(&rc, Point))
        return nullptr;
    for (HWND h : pParent->m_Children)
        if (const Window* p = FindWindowObject(h); p && ContainsOnScreen(p, Point))
            return h;
    return hWndParent;
}

BOOL InvalidateRect(HWND hWnd, const RECT*, BOOL bErase)
{
    if (!hWnd)
    {
        for (HWND h : DesktopObject()->m_Children)
            if (Window* p = FindWindowObject(h))
                MarkForPaint(p, bErase);
        return TRUE;
    }
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return FALSE;
    MarkForPaint(pWnd, bErase);
    return TRUE;
}

BOOL ValidateRect(HWND hWnd, const RECT*)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return FALSE;
    pWnd->m_bNeedsPaint = false;
    pWnd->m_bErase = false;
    return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return FALSE;
    if (lpRect)
    {
        if (pWnd->m_bNeedsPaint)
            GetClientRect(hWnd, lpRect);
        else
            SetRectEmpty(lpRect);
    }
    return pWnd->m_bNeedsPaint;
}

BOOL UpdateWindow(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return FALSE;
    if (pWnd->m_bNeedsPaint && ShownOnScreen(pWnd))
        SendMessageA(hWnd, WM_PAINT, 0, 0);
    return TRUE;
}

BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN, UINT flags)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return FALSE;
    if (flags & RDW_INVALIDATE)
    {
        InvalidateRect(hWnd, lprcUpdate, (flags & RDW_ERASE) != 0);
        if (flags & RDW_ALLCHILDREN)
        {
            // Children under WS_CLIPCHILDREN as well.
            const std::vector<HWND> children = pWnd->m_Children;
            for (HWND hChild : children)
                RedrawWindow(hChild, nullptr, nullptr, flags & ~(RDW_FRAME | RDW_UPDATENOW | RDW_ERASENOW));
        }
        // The layer draws a frame at once rather than with the next paint.
        if ((flags & RDW_FRAME) && ShownOnScreen(pWnd))
            SendMessageA(hWnd, WM_NCPAINT, 1, 0);
    }
    else if (flags & RDW_VALIDATE)
        ValidateRect(hWnd, lprcUpdate);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        UpdateWindow(hWnd);
    return TRUE;
}

bool FindPaintMessage(HWND hFilter, MSG& msg)
{
    return FindPaintBelow(DesktopObject(), hFilter, false, msg);
}
