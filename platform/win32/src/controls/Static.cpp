// The static control: text, icons, rectangles, frames and etched lines. Without SS_NOTIFY it is
// transparent to the mouse; with it, clicks reach the parent as STN_CLICKED and STN_DBLCLK.
#include "Controls.h"

#include <win32/drawicon.h>

namespace
{
struct StaticState
{
    HFONT m_hFont = nullptr;
    HICON m_hIcon = nullptr;
};
ControlStore<StaticState> g_Statics;

void Paint(HWND hWnd, HDC hdc, const StaticState& state)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    DWORD nStyle = static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
    UINT nType = nStyle & SS_TYPEMASK;
    switch (nType)
    {
    case SS_BLACKRECT: FillRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); return;
    case SS_GRAYRECT: FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); return;
    case SS_WHITERECT: FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DHIGHLIGHT)); return;
    case SS_BLACKFRAME: FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME)); return;
    case SS_GRAYFRAME: FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DSHADOW)); return;
    case SS_WHITEFRAME: FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DHIGHLIGHT)); return;
    case SS_ETCHEDHORZ: DrawEdge(hdc, &rc, EDGE_ETCHED, BF_TOP); return;
    case SS_ETCHEDVERT: DrawEdge(hdc, &rc, EDGE_ETCHED, BF_LEFT); return;
    case SS_ETCHEDFRAME: DrawEdge(hdc, &rc, EDGE_ETCHED, BF_RECT); return;
    default: break;
    }
    HBRUSH hBrush = ControlBrush(hWnd, hdc, WM_CTLCOLORSTATIC, COLOR_3DFACE);
    FillRect(hdc, &rc, hBrush);
    if (nType == SS_ICON)
    {
        if (state.m_hIcon)
            DrawIcon(hdc, rc.left, rc.top, state.m_hIcon);
        return;
    }
    if (nType == SS_OWNERDRAW)
    {
        DRAWITEMSTRUCT dis{ODT_STATIC, static_cast<UINT>(GetDlgCtrlID(hWnd)), 0, ODA_DRAWENTIRE,
                           IsWindowEnabled(hWnd) ? 0u : static_cast<UINT>(ODS_DISABLED), hWnd, hdc, rc, 0};
        SendMessageA(GetParent(hWnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
        return;
    }
    char text[1024];
    int n = GetWindowTextA(hWnd, text, sizeof(text));
    UINT nFormat = nType == SS_CENTER ? DT_CENTER | DT_WORDBREAK
                   : nType == SS_RIGHT ? DT_RIGHT | DT_WORDBREAK
                   : nType == SS_LEFT ? DT_LEFT | DT_WORDBREAK
                                      : DT_LEFT | DT_SINGLELINE;
    if (nStyle & SS_CENTERIMAGE)
        nFormat = (nFormat & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
    if (nStyle & SS_NOPREFIX)
        nFormat |= DT_NOPREFIX;
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(state.m_hFont));
    SetBkMode(hdc, TRANSPARENT);
    if (!IsWindowEnabled(hWnd))
        SetTextColor(hdc, GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(hdc, text, n, &rc, nFormat);
    SelectObject(hdc, hOld);
}

void SetIcon(HWND hWnd, StaticState& state, HICON hIcon)
{
    state.m_hIcon = hIcon;
    ICONINFO info{};
    if (hIcon && GetIconInfo(hIcon, &info))
    {
        // The control takes the icon's size.
        BITMAP bm{};
        GetObjectA(info.hbmMask, sizeof(bm), &bm);
        int cy = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
        if (!(GetWindowLongPtrA(hWnd, GWL_STYLE) & SS_CENTERIMAGE))
            SetWindowPos(hWnd, nullptr, 0, 0, bm.bmWidth, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
    }
    InvalidateRect(hWnd, nullptr, TRUE);
}
}

LRESULT CALLBACK StaticWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        g_Statics.Make(hWnd);
    StaticState* pState = g_Statics.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    StaticState& state = *pState;
    switch (nMessage)
    {
    case WM_CREATE:
    {
        // An icon static's text names its icon ("#129" or MAKEINTRESOURCE as text).
        const auto* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if ((pcs->style & SS_TYPEMASK) == SS_ICON && pcs->lpszName && pcs->lpszName[0])
            if (HICON hIcon = LoadIconA(pcs->hInstance, pcs->lpszName))
                SetIcon(hWnd, state, hIcon);
        return 0;
    }
    case WM_NCDESTROY:
        g_Statics.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_NCHITTEST:
        return (GetWindowLongPtrA(hWnd, GWL_STYLE) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE:
        return DLGC_STATIC;
    case WM_SETFONT:
        state.m_hFont = reinterpret_cast<HFONT>(wParam);
        if (lParam)
            RedrawNow(hWnd);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state.m_hFont);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: return PaintControl(hWnd, [&](HDC hdc) { Paint(hWnd, hdc, state); });
    case WM_SETTEXT:
    {
        LRESULT r = DefWindowProcA(hWnd, nMessage, wParam, lParam);
        InvalidateRect(hWnd, nullptr, TRUE);
        return r;
    }
    case WM_ENABLE:
        InvalidateRect(hWnd, nullptr, TRUE);
        if (GetWindowLongPtrA(hWnd, GWL_STYLE) & SS_NOTIFY)
            NotifyParent(hWnd, wParam ? STN_ENABLE : STN_DISABLE);
        return 0;
    case WM_LBUTTONDOWN:
        if (GetWindowLongPtrA(hWnd, GWL_STYLE) & SS_NOTIFY)
            NotifyParent(hWnd, STN_CLICKED);
        return 0;
    case WM_LBUTTONDBLCLK:
        if (GetWindowLongPtrA(hWnd, GWL_STYLE) & SS_NOTIFY)
            NotifyParent(hWnd, STN_DBLCLK);
        return 0;
    case STM_SETICON:
    case STM_SETIMAGE:
    {
        if (nMessage == STM_SETIMAGE && wParam != IMAGE_ICON)
            return 0;
        HICON hOld = state.m_hIcon;
        SetIcon(hWnd, state, reinterpret_cast<HICON>(nMessage == STM_SETICON ? wParam : static_cast<WPARAM>(lParam)));
        return reinterpret_cast<LRESULT>(hOld);
    }
    case STM_GETICON:
        return reinterpret_cast<LRESULT>(state.m_hIcon);
    case STM_GETIMAGE:
        return wParam == IMAGE_ICON ? reinterpret_cast<LRESULT>(state.m_hIcon) : 0;
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}
