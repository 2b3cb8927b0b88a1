// The default handling of every message a window procedure passes on.
#include "Metrics.h"
#include "SizeMoveLoop.h"
#include "UserState.h"

#include "../controls/WindowScrollBars.h"
#include "../desktop/MenuBarBand.h"
#include "../desktop/NonClient.h"

#include <win32/gdi.h>
#include <win32/menus.h>

#include <algorithm>
#include <cstring>

namespace
{
// MF_SYSMENU in WM_MENUCHAR: the letter was looked up in the window menu.
const WORD MENUCHAR_SYSMENU = 0x2000;

void ApplyInsets(const Window* pWnd, RECT& rc)
{
    RECT insets = NonClientInsets(pWnd->m_nStyle, pWnd->m_nExStyle, pWnd->m_hMenu != nullptr && IsTopLevel(pWnd));
    rc.left += insets.left;
    rc.top += insets.top;
    rc.right = std::max(rc.left, rc.right - insets.right);
    rc.bottom = std::max(rc.top, rc.bottom - insets.bottom);
}

LRESULT HitTest(HWND hWnd, POINT pt)
{
    RECT rcWindow, rcClient;
    GetWindowRect(hWnd, &rcWindow);
    GetClientRect(hWnd, &rcClient);
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rcClient), 2);
    if (!PtInRect(&rcWindow, pt))
        return HTNOWHERE;
    if (PtInRect(&rcClient, pt))
        return HTCLIENT;
    if (LRESULT nBar = WindowScrollBarHitTest(hWnd, pt); nBar != HTNOWHERE)
        return nBar;
    RECT rcBand{};
    if (MenuBarBand(hWnd, rcBand))
    {
        OffsetRect(&rcBand, rcWindow.left, rcWindow.top);
        if (PtInRect(&rcBand, pt))
            return HTMENU;
    }
    Window* pWnd = FindWindowObject(hWnd);
    if (pWnd->m_nStyle & WS_THICKFRAME)
    {
        int nFrame = GetSystemMetrics(SM_CXFRAME);
        bool bLeft = pt.x < rcWindow.left + nFrame, bRight = pt.x >= rcWindow.right - nFrame;
        bool bTop = pt.y < rcWindow.top + nFrame, bBottom = pt.y >= rcWindow.bottom - nFrame;
        // Rows: top, middle, bottom; columns: left, middle, right.
        static const LRESULT CODES[3][3] = {{HTTOPLEFT, HTTOP, HTTOPRIGHT},
                                            {HTLEFT, HTNOWHERE, HTRIGHT},
                                            {HTBOTTOMLEFT, HTBOTTOM, HTBOTTOMRIGHT}};
        LRESULT code = CODES[bTop ? 0 : bBottom ? 2 : 1][bLeft ? 0 : bRight ? 2 : 1];
        if (code != HTNOWHERE)
            return code;
    }
    if ((pWnd->m_nStyle & WS_CAPTION) == WS_CAPTION && pt.y < rcClient.top)
    {
        // The caption bar lies inside the frame; its last row is a face-coloured line.
        RECT insets = NonClientInsets(pWnd->m_nStyle & ~(WS_VSCROLL | WS_HSCROLL),
                                      pWnd->m_nExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), false);
        int nCaption = GetSystemMetrics((pWnd->m_nExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        int nTop = rcWindow.top + insets.top - nCaption;
        RECT rcCaption{rcWindow.left + insets.left, nTop, rcWindow.right - insets.right, nTop + nCaption - 1};
        RECT rcClose = CloseButtonRect(rcCaption);
        if ((pWnd->m_nStyle & WS_SYSMENU) && PtInRect(&rcClose, pt))
            return HTCLOSE;
        return HTCAPTION;
    }
    return HTBORDER;
}
}

LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return 0;
    switch (Msg)
    {
    case WM_NCCREATE:
    {
        auto* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (pcs && pcs->lpszName && !IS_INTRESOURCE(pcs->lpszName))
            pWnd->m_strText = pcs->lpszName;
        return TRUE;
    }
    case WM_NCCALCSIZE:
        if (wParam)
            ApplyInsets(pWnd, reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0]);
        else if (lParam)
            ApplyInsets(pWnd, *reinterpret_cast<RECT*>(lParam));
        return 0;
    case WM_WINDOWPOSCHANGED:
    {
        const auto* pwp = reinterpret_cast<const WINDOWPOS*>(lParam);
        const RECT& rc = pWnd->m_rcClient;
        if (!(pwp->flags & SWP_NOMOVE))
            SendMessageA(hWnd, WM_MOVE, 0, MAKELPARAM(rc.left, rc.top));
        if (!(pwp->flags & SWP_NOSIZE) && (pWnd = FindWindowObject(hWnd)))
        {
            WPARAM kind = pWnd->m_bZoomed ? SIZE_MAXIMIZED : pWnd->m_bIconic ? SIZE_MINIMIZED : SIZE_RESTORED;
            SendMessageA(hWnd, WM_SIZE, kind, MAKELPARAM(rc.right - rc.left, rc.bottom - rc.top));
        }
        return 0;
    }
    case WM_CLOSE:
        DestroyWindow(hWnd);
        return 0;
    case WM_SETTEXT:
        pWnd->m_strText = lParam ? reinterpret_cast<const char*>(lParam) : "";
        DrawNonClient(hWnd);   // the caption shows the new text
        return TRUE;
    case WM_GETTEXT:
    {
        if (!wParam || !lParam)
            return 0;
        size_t n = std::min<size_t>(pWnd->m_strText.size(), wParam - 1);
        char* pOut = reinterpret_cast<char*>(lParam);
        std::memcpy(pOut, pWnd->m_strText.data(), n);
        pOut[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(pWnd->m_strText.size());
    case WM_PAINT:
    {
        PAINTSTRUCT ps;
        BeginPaint(hWnd, &ps);
        EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return DefaultEraseBackground(hWnd, reinterpret_cast<HDC>(wParam));
    case WM_NCPAINT:
        DrawNonClient(hWnd, -1, wParam > 1 ? reinterpret_cast<HRGN>(wParam) : nullptr);
        return 0;
    case WM_NCACTIVATE:
        DrawNonClient(hWnd, wParam != 0);   // the caption changes colour
        return TRUE;
    case WM_NCHITTEST:
        return HitTest(hWnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    case WM_NCLBUTTONDOWN:
        // A press on the caption moves the window; one on a sizing border sizes it from that edge;
        // the close button closes it; one on a scroll bar scrolls it; one on the menu bar opens
        // the item's popup.
        if (wParam == HTMENU)
            TrackMenuBar(hWnd, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        else if (wParam == HTVSCROLL || wParam == HTHSCROLL)
            TrackWindowScrollBar(hWnd, static_cast<int>(wParam), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        else if (wParam == HTCLOSE)
            SendMessageA(hWnd, WM_SYSCOMMAND, SC_CLOSE, lParam);
        else if (wParam == HTCAPTION)
            SendMessageA(hWnd, WM_SYSCOMMAND, SC_MOVE | HTCAPTION, lParam);
        else if (wParam >= HTLEFT && wParam <= HTBOTTOMRIGHT)
            SendMessageA(hWnd, WM_SYSCOMMAND, SC_SIZE | (wParam - HTLEFT + WMSZ_LEFT), lParam);
        return 0;
    case WM_SETCURSOR:
        return DefaultSetCursor(hWnd, wParam, lParam);
    case WM_MOUSEACTIVATE:
        // A child asks its parent first.
        if (pWnd->m_nStyle & WS_CHILD)
            if (LRESULT r = SendMessageA(pWnd->m_hParent, WM_MOUSEACTIVATE, wParam, lParam))
                return r;
        return MA_ACTIVATE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE && !pWnd->m_bIconic)
            SetFocus(hWnd);
        return 0;
    case WM_CANCELMODE:
        EndMenu();
        if (GetCapture() == hWnd)
            ReleaseCapture();
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F4 && (HIWORD(lParam) & KF_ALTDOWN))
            PostMessageA(GetAncestor(hWnd, GA_ROOT), WM_SYSCOMMAND, SC_CLOSE, 0);
        return 0;
    case WM_SYSKEYUP:
        // Alt released alone, or F10: enter the menu.
        if (wParam == VK_MENU || wParam == VK_F10)
            SendMessageA(GetAncestor(hWnd, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, 0);
        return 0;
    case WM_SYSCHAR:
        if (wParam != VK_RETURN && wParam != VK_ESCAPE && (HIWORD(lParam) & KF_ALTDOWN))
            SendMessageA(GetAncestor(hWnd, GA_ROOT), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
        return 0;
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0)
        {
        case SC_CLOSE: SendMessageA(hWnd, WM_CLOSE, 0, 0); break;
        case SC_MINIMIZE: ShowWindow(hWnd, SW_MINIMIZE); break;
        case SC_MAXIMIZE: ShowWindow(hWnd, SW_MAXIMIZE); break;
        case SC_RESTORE: ShowWindow(hWnd, SW_RESTORE); break;
        case SC_MOVE:
        case SC_SIZE: RunSizeMoveLoop(hWnd, wParam, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}); break;
        case SC_KEYMENU:
            // A letter with no menu to pick from goes to the window as WM_MENUCHAR.
            if (lParam != 0 && lParam != ' ' && !pWnd->m_hMenu)
                SendMessageA(hWnd, WM_MENUCHAR, MAKEWPARAM(static_cast<WORD>(lParam), MENUCHAR_SYSMENU), 0);
            break;
        default: break;
        }
        return 0;
    default:
        return 0;
    }
}
