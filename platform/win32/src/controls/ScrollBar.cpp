// Scroll bars: the scroll bar control (arrows, page areas and a thumb that sends WM_HSCROLL or
// WM_VSCROLL to the parent; the parent moves the position) and the size box; and a window's own
// bars: their values behind SetScrollInfo and its relatives, shown while their range can scroll,
// drawn in the non-client area and dragged in a loop of their own.
#include "Controls.h"
#include "WindowScrollBars.h"

#include "../user/UserState.h"

#include <win32/layer.h>

#include <algorithm>
#include <map>

namespace
{
struct ScrollValues
{
    int m_nMin = 0;
    int m_nMax = 100;
    UINT m_nPage = 0;
    int m_nPos = 0;
    int m_nTrackPos = 0;
};

enum class Part
{
    None,
    LineUp,
    PageUp,
    Thumb,
    PageDown,
    LineDown,
};

struct ScrollBarState
{
    ScrollValues m_Values;
    Part m_Pressed = Part::None;
    int m_nGrabOffset = 0;   // pixels between the press and the thumb's start
};
ControlStore<ScrollBarState> g_Bars;

// A window's own horizontal and vertical bars.
std::map<std::pair<HWND, int>, ScrollValues>& WindowBars()
{
    static std::map<std::pair<HWND, int>, ScrollValues> s_Bars;
    return s_Bars;
}

DWORD StyleOf(HWND hWnd)
{
    return static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
}

bool IsVertical(HWND hWnd)
{
    return (StyleOf(hWnd) & SBS_VERT) != 0;
}

bool IsSizeBox(HWND hWnd)
{
    return (StyleOf(hWnd) & (SBS_SIZEBOX | SBS_SIZEGRIP)) != 0;
}

int MaxPos(const ScrollValues& v)
{
    return std::max(v.m_nMin, v.m_nMax - std::max(0, static_cast<int>(v.m_nPage) - 1));
}

void Apply(ScrollValues& v, const SCROLLINFO& si)
{
    if (si.fMask & SIF_RANGE)
    {
        v.m_nMin = si.nMin;
        v.m_nMax = std::max(si.nMin, si.nMax);
    }
    if (si.fMask & SIF_PAGE)
        v.m_nPage = std::min<UINT>(si.nPage, static_cast<UINT>(v.m_nMax - v.m_nMin + 1));
    if (si.fMask & SIF_POS)
        v.m_nPos = si.nPos;
    v.m_nPos = std::clamp(v.m_nPos, v.m_nMin, MaxPos(v));
}

void Fill(const ScrollValues& v, SCROLLINFO& si)
{
    if (si.fMask & SIF_RANGE)
    {
        si.nMin = v.m_nMin;
        si.nMax = v.m_nMax;
    }
    if (si.fMask & SIF_PAGE)
        si.nPage = v.m_nPage;
    if (si.fMask & SIF_POS)
        si.nPos = v.m_nPos;
    if (si.fMask & SIF_TRACKPOS)
        si.nTrackPos = v.m_nTrackPos;
}

// ---- Layout along a bar: two arrow buttons as long as the bar is thick, the track between.
// The same for a control (its client area) and a window's own bars (a band of its window).
struct Layout
{
    int m_nLength;   // along the bar
    int m_nArrow;
    int m_nThumbStart;
    int m_nThumbLength;
};

Layout Measure(const RECT& rc, bool bVert, const ScrollValues& v)
{
    int nLength = bVert ? rc.bottom - rc.top : rc.right - rc.left;
    int nThick = bVert ? rc.right - rc.left : rc.bottom - rc.top;
    int nArrow = std::min(nThick, nLength / 2);
    int nTrack = nLength - 2 * nArrow;
    int nRange = v.m_nMax - v.m_nMin + 1;
    int nThumb = v.m_nPage ? std::max(8, MulDiv(nTrack, static_cast<int>(v.m_nPage), nRange)) : nArrow;
    if (nThumb > nTrack)
        nThumb = 0;   // no room: no thumb
    int nSpan = MaxPos(v) - v.m_nMin;
    int nStart = nArrow + (nSpan > 0 ? MulDiv(nTrack - nThumb, v.m_nPos - v.m_nMin, nSpan) : 0);
    return Layout{nLength, nArrow, nStart, nThumb};
}

// The offset of a point along the bar from its start.
int Along(const RECT& rc, bool bVert, POINT pt)
{
    return bVert ? pt.y - rc.top : pt.x - rc.left;
}

Part PartAt(const RECT& rc, bool bVert, const ScrollValues& v, POINT pt)
{
    Layout l = Measure(rc, bVert, v);
    int p = Along(rc, bVert, pt);
    if (p < l.m_nArrow)
        return Part::LineUp;
    if (p >= l.m_nLength - l.m_nArrow)
        return Part::LineDown;
    if (l.m_nThumbLength && p < l.m_nThumbStart)
        return Part::PageUp;
    if (l.m_nThumbLength && p < l.m_nThumbStart + l.m_nThumbLength)
        return Part::Thumb;
    return l.m_nThumbLength ? Part::PageDown : Part::None;
}

// The position the thumb stands for when dragged to pt, grabbed nGrabOffset pixels into it.
int TrackPosAt(const RECT& rc, bool bVert, const ScrollValues& v, int nGrabOffset, POINT pt)
{
    Layout l = Measure(rc, bVert, v);
    int nTrack = l.m_nLength - 2 * l.m_nArrow - l.m_nThumbLength;
    int nAt = Along(rc, bVert, pt) - nGrabOffset - l.m_nArrow;
    return v.m_nMin + (nTrack > 0 ? MulDiv(std::clamp(nAt, 0, nTrack), MaxPos(v) - v.m_nMin, nTrack) : 0);
}

// The scroll code a press on a part sends at once (the thumb sends only while dragged).
WORD CodeOf(Part part)
{
    static const WORD CODES[] = {0, SB_LINEUP, SB_PAGEUP, 0, SB_PAGEDOWN, SB_LINEDOWN};
    return CODES[static_cast<int>(part)];
}

void DrawArrow(HDC hdc, RECT rc, int nDirection, bool bPushed)
{
    // nDirection: 0 up, 1 down, 2 left, 3 right; a 7x4 (or 4x7) triangle.
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
    if (bPushed)
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DSHADOW));
    else
        DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT);
    int cx = (rc.left + rc.right) / 2 + (bPushed ? 1 : 0), cy = (rc.top + rc.bottom) / 2 + (bPushed ? 1 : 0);
    HBRUSH hBrush = GetSysColorBrush(COLOR_BTNTEXT);
    for (int i = 0; i < 4; ++i)
    {
        RECT r{};
        switch (nDirection)
        {
        case 0: r = {cx - i, cy - 2 + i, cx + i + 1, cy - 1 + i}; break;
        case 1: r = {cx - 3 + i, cy - 2 + i, cx + 4 - i, cy - 1 + i}; break;
        case 2: r = {cx - 2 + i, cy - i, cx - 1 + i, cy + i + 1}; break;
        default: r = {cx - 2 + i, cy - 3 + i, cx - 1 + i, cy + 4 - i}; break;
        }
        FillRect(hdc, &r, hBrush);
    }
}

void DrawSizeGrip(HDC hdc, RECT rc)
{
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
    if (!(rc.right - rc.left > 12 && rc.bottom - rc.top > 12))
        return;
    // Three diagonal ridges in the bottom-right corner: highlight, then two shadow lines.
    for (int nRidge = 0; nRidge < 3; ++nRidge)
        for (int i = 0; i < 3; ++i)
        {
            int nColor = i == 0 ? COLOR_3DHIGHLIGHT : COLOR_3DSHADOW;
            int d = 4 + nRidge * 4 + i - 1;
            for (int k = 0; k < d; ++k)
                SetPixel(hdc, rc.right - d + k, rc.bottom - 1 - k, GetSysColor(nColor));
        }
}

// Arrows at both ends, the track, and the thumb while the bar is enabled and has room for one.
void DrawBar(HDC hdc, const RECT& rc, bool bVert, const ScrollValues& v, Part pressed, bool bEnabled)
{
    Layout l = Measure(rc, bVert, v);
    auto span = [&](int a, int b) {
        return bVert ? RECT{rc.left, rc.top + a, rc.right, rc.top + b} : RECT{rc.left + a, rc.top, rc.left + b, rc.bottom};
    };
    RECT rcTrack = span(l.m_nArrow, l.m_nLength - l.m_nArrow);
    FillRect(hdc, &rcTrack, GetSysColorBrush(COLOR_SCROLLBAR));
    DrawArrow(hdc, span(0, l.m_nArrow), bVert ? 0 : 2, pressed == Part::LineUp);
    DrawArrow(hdc, span(l.m_nLength - l.m_nArrow, l.m_nLength), bVert ? 1 : 3, pressed == Part::LineDown);
    if (l.m_nThumbLength && bEnabled)
    {
        RECT rcThumb = span(l.m_nThumbStart, l.m_nThumbStart + l.m_nThumbLength);
        FillRect(hdc, &rcThumb, GetSysColorBrush(COLOR_3DFACE));
        DrawEdge(hdc, &rcThumb, EDGE_RAISED, BF_RECT);
    }
}

// ---- The scroll bar control

RECT ClientOf(HWND hWnd)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    return rc;
}

void SendScroll(HWND hWnd, WORD nCode, int nPos)
{
    HWND hParent = GetParent(hWnd);
    if (hParent)
        SendMessageA(hParent, IsVertical(hWnd) ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(nCode, static_cast<WORD>(nPos)),
                     reinterpret_cast<LPARAM>(hWnd));
}

void Paint(HWND hWnd, HDC hdc, const ScrollBarState& s)
{
    if (IsSizeBox(hWnd))
        DrawSizeGrip(hdc, ClientOf(hWnd));
    else
        DrawBar(hdc, ClientOf(hWnd), IsVertical(hWnd), s.m_Values, s.m_Pressed, IsWindowEnabled(hWnd));
}

void Press(HWND hWnd, ScrollBarState& s, POINT pt)
{
    if (IsSizeBox(hWnd))
    {
        // The size box sizes its parent from the bottom-right corner.
        ClientToScreen(hWnd, &pt);
        SendMessageA(GetParent(hWnd), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, MAKELPARAM(pt.x, pt.y));
        return;
    }
    RECT rc = ClientOf(hWnd);
    bool bVert = IsVertical(hWnd);
    s.m_Pressed = PartAt(rc, bVert, s.m_Values, pt);
    if (s.m_Pressed == Part::None)
        return;
    SetCapture(hWnd);
    s.m_nGrabOffset = Along(rc, bVert, pt) - Measure(rc, bVert, s.m_Values).m_nThumbStart;
    s.m_Values.m_nTrackPos = s.m_Values.m_nPos;
    if (s.m_Pressed != Part::Thumb)
        SendScroll(hWnd, CodeOf(s.m_Pressed), 0);
    InvalidateRect(hWnd, nullptr, TRUE);
}

void Track(HWND hWnd, ScrollBarState& s, POINT pt)
{
    if (s.m_Pressed != Part::Thumb)
        return;
    int nPos = TrackPosAt(ClientOf(hWnd), IsVertical(hWnd), s.m_Values, s.m_nGrabOffset, pt);
    if (nPos != s.m_Values.m_nTrackPos)
    {
        s.m_Values.m_nTrackPos = nPos;
        SendScroll(hWnd, SB_THUMBTRACK, nPos);
    }
}

void Release(HWND hWnd, ScrollBarState& s)
{
    if (s.m_Pressed == Part::None)
        return;
    Part was = s.m_Pressed;
    s.m_Pressed = Part::None;
    if (GetCapture() == hWnd)
        ReleaseCapture();
    if (was == Part::Thumb)
        SendScroll(hWnd, SB_THUMBPOSITION, s.m_Values.m_nTrackPos);
    SendScroll(hWnd, SB_ENDSCROLL, 0);
    InvalidateRect(hWnd, nullptr, TRUE);
}

bool IsScrollBarControl(HWND hWnd)
{
    return g_Bars.Find(hWnd) != nullptr;
}

// ---- A window's own bars, drawn in its non-client area just outside the client rectangle.

DWORD BarStyle(int nBar)
{
    return nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
}

// The bar's band in window coordinates; false when the window does not show it.
bool WindowBarRect(HWND hWnd, int nBar, RECT& rc)
{
    if (!(StyleOf(hWnd) & BarStyle(nBar)))
        return false;
    RECT rcWindow, rcClient;
    GetWindowRect(hWnd, &rcWindow);
    GetClientRect(hWnd, &rcClient);
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rcClient), 2);
    OffsetRect(&rcClient, -rcWindow.left, -rcWindow.top);
    rc = nBar == SB_VERT ? RECT{rcClient.right, rcClient.top, rcClient.right + GetSystemMetrics(SM_CXVSCROLL), rcClient.bottom}
                         : RECT{rcClient.left, rcClient.bottom, rcClient.right, rcClient.bottom + GetSystemMetrics(SM_CYHSCROLL)};
    return true;
}

ScrollValues& WindowBarValues(HWND hWnd, int nBar)
{
    auto [it, bNew] = WindowBars().try_emplace({hWnd, nBar});
    // A bar the window was not made with starts with the empty range 0..0, one it was made with
    // with 0..100.
    if (bNew && !(StyleOf(hWnd) & BarStyle(nBar)))
        it->second.m_nMax = 0;
    return it->second;
}

// A bar shows while its range can scroll: more positions than one page.
bool CanScroll(const ScrollValues& v)
{
    return v.m_nMax > v.m_nMin && (v.m_nPage == 0 || static_cast<int>(v.m_nPage) <= v.m_nMax - v.m_nMin);
}

// Which part of a window bar is pressed during a drag, for its drawing.
struct WindowBarPress
{
    HWND m_hWnd = nullptr;
    int m_nBar = SB_VERT;
    Part m_Part = Part::None;
};
WindowBarPress& CurrentPress()
{
    static WindowBarPress s_Press;
    return s_Press;
}

void RedrawWindowBars(HWND hWnd)
{
    HDC hdc = GetWindowDC(hWnd);
    if (!hdc)
        return;
    DrawWindowScrollBars(hWnd, hdc);
    ReleaseDC(hWnd, hdc);
}
}

LRESULT CALLBACK ScrollBarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        g_Bars.Make(hWnd);
    ScrollBarState* pState = g_Bars.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    ScrollBarState& s = *pState;
    switch (nMessage)
    {
    case WM_CREATE:
    {
        // A size box fills its corner of the rectangle it was given.
        auto* pcs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        DWORD nStyle = static_cast<DWORD>(pcs->style);
        if ((nStyle & SBS_SIZEBOX) && (nStyle & (SBS_SIZEBOXBOTTOMRIGHTALIGN | SBS_SIZEBOXTOPLEFTALIGN)))
        {
            int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
            int x = (nStyle & SBS_SIZEBOXBOTTOMRIGHTALIGN) ? pcs->x + pcs->cx - cx : pcs->x;
            int y = (nStyle & SBS_SIZEBOXBOTTOMRIGHTALIGN) ? pcs->y + pcs->cy - cy : pcs->y;
            MoveWindow(hWnd, x, y, cx, cy, FALSE);
        }
        return 0;
    }
    case WM_NCDESTROY:
        g_Bars.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: return PaintControl(hWnd, [&](HDC hdc) { Paint(hWnd, hdc, s); });
    case WM_ENABLE:
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        Press(hWnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        Track(hWnd, s, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        Release(hWnd, s);
        return 0;
    case WM_NCLBUTTONDOWN:
        // A size box whose hit test answers its corner sizes its parent, as a press inside does.
        if (wParam == HTBOTTOMRIGHT && IsSizeBox(hWnd))
            return SendMessageA(GetParent(hWnd), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, lParam);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lParam) != hWnd)
            s.m_Pressed = Part::None;
        return 0;
    case SBM_SETSCROLLINFO:
    case SBM_GETSCROLLINFO:
    {
        auto* psi = reinterpret_cast<SCROLLINFO*>(lParam);
        if (!psi)
            return 0;
        if (nMessage == SBM_GETSCROLLINFO)
        {
            Fill(s.m_Values, *psi);
            return TRUE;
        }
        Apply(s.m_Values, *psi);
        if (wParam)
            InvalidateRect(hWnd, nullptr, TRUE);
        return s.m_Values.m_nPos;
    }
    case SBM_SETPOS:
    {
        int nOld = s.m_Values.m_nPos;
        SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, static_cast<int>(wParam), 0};
        Apply(s.m_Values, si);
        if (lParam)
            InvalidateRect(hWnd, nullptr, TRUE);
        return nOld;
    }
    case SBM_GETPOS:
        return s.m_Values.m_nPos;
    case SBM_SETRANGE:
    case SBM_SETRANGEREDRAW:
    {
        SCROLLINFO si{sizeof(si), SIF_RANGE, static_cast<int>(wParam), static_cast<int>(lParam), 0, 0, 0};
        Apply(s.m_Values, si);
        if (nMessage == SBM_SETRANGEREDRAW)
            InvalidateRect(hWnd, nullptr, TRUE);
        return s.m_Values.m_nPos;
    }
    case SBM_GETRANGE:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = s.m_Values.m_nMin;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = s.m_Values.m_nMax;
        return 0;
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}

int SetScrollInfo(HWND hWnd, int nBar, LPCSCROLLINFO lpsi, BOOL bRedraw)
{
    if (!lpsi || !IsWindow(hWnd))
        return 0;
    if (nBar == SB_CTL)
        return IsScrollBarControl(hWnd)
                   ? static_cast<int>(SendMessageA(hWnd, SBM_SETSCROLLINFO, static_cast<WPARAM>(bRedraw),
                                                   reinterpret_cast<LPARAM>(lpsi)))
                   : 0;
    if (nBar != SB_HORZ && nBar != SB_VERT)
        return 0;
    ScrollValues& v = WindowBarValues(hWnd, nBar);
    Apply(v, *lpsi);
    int nPos = v.m_nPos;
    // The bar comes and goes with a new range or page (SIF_DISABLENOSCROLL keeps it, without a
    // thumb); a new position alone leaves it as it is.
    bool bShown = (StyleOf(hWnd) & BarStyle(nBar)) != 0;
    bool bShow = (lpsi->fMask & (SIF_RANGE | SIF_PAGE))
                     ? CanScroll(v) || ((lpsi->fMask & SIF_DISABLENOSCROLL) && bShown)
                     : bShown;
    if (bShow != bShown)
        ShowScrollBar(hWnd, nBar, bShow);
    else if (bRedraw && bShow)
        RedrawWindowBars(hWnd);
    return nPos;
}

BOOL GetScrollInfo(HWND hWnd, int nBar, LPSCROLLINFO lpsi)
{
    if (!lpsi || !IsWindow(hWnd))
        return FALSE;
    if (nBar == SB_CTL)
        return IsScrollBarControl(hWnd) &&
               SendMessageA(hWnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi));
    if (nBar != SB_HORZ && nBar != SB_VERT)
        return FALSE;
    Fill(WindowBarValues(hWnd, nBar), *lpsi);
    return TRUE;
}

int SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw)
{
    SCROLLINFO old{sizeof(old), SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(hWnd, nBar, &old);
    SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, nPos, 0};
    SetScrollInfo(hWnd, nBar, &si, bRedraw);
    return old.nPos;
}

int GetScrollPos(HWND hWnd, int nBar)
{
    SCROLLINFO si{sizeof(si), SIF_POS, 0, 0, 0, 0, 0};
    return GetScrollInfo(hWnd, nBar, &si) ? si.nPos : 0;
}

BOOL SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw)
{
    SCROLLINFO si{sizeof(si), SIF_RANGE, nMinPos, nMaxPos, 0, 0, 0};
    return SetScrollInfo(hWnd, nBar, &si, bRedraw) >= 0 && IsWindow(hWnd);
}

BOOL GetScrollRange(HWND hWnd, int nBar, int* lpMinPos, int* lpMaxPos)
{
    SCROLLINFO si{sizeof(si), SIF_RANGE, 0, 0, 0, 0, 0};
    if (!GetScrollInfo(hWnd, nBar, &si))
        return FALSE;
    if (lpMinPos)
        *lpMinPos = si.nMin;
    if (lpMaxPos)
        *lpMaxPos = si.nMax;
    return TRUE;
}

BOOL ShowScrollBar(HWND hWnd, int wBar, BOOL bShow)
{
    if (!IsWindow(hWnd))
        return FALSE;
    if (wBar == SB_CTL)
    {
        ShowWindow(hWnd, bShow ? SW_SHOW : SW_HIDE);
        return TRUE;
    }
    DWORD nBars = wBar == SB_BOTH ? WS_VSCROLL | WS_HSCROLL : wBar == SB_VERT ? WS_VSCROLL : wBar == SB_HORZ ? WS_HSCROLL : 0;
    if (!nBars)
        return FALSE;
    DWORD nOld = StyleOf(hWnd);
    DWORD nNew = bShow ? nOld | nBars : nOld & ~nBars;
    if (nNew != nOld)
    {
        // The style changes quietly (no WM_STYLECHANGED), then the frame is measured again.
        FindWindowObject(hWnd)->m_nStyle = nNew;
        SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    return TRUE;
}

void DrawWindowScrollBars(HWND hWnd, HDC hdcWindow)
{
    RECT rcV{}, rcH{};
    bool bV = WindowBarRect(hWnd, SB_VERT, rcV), bH = WindowBarRect(hWnd, SB_HORZ, rcH);
    const WindowBarPress& press = CurrentPress();
    bool bEnabled = IsWindowEnabled(hWnd);
    for (int nBar : {SB_VERT, SB_HORZ})
        if (nBar == SB_VERT ? bV : bH)
        {
            const ScrollValues& v = WindowBarValues(hWnd, nBar);
            Part pressed = press.m_hWnd == hWnd && press.m_nBar == nBar ? press.m_Part : Part::None;
            DrawBar(hdcWindow, nBar == SB_VERT ? rcV : rcH, nBar == SB_VERT, v, pressed, bEnabled && CanScroll(v));
        }
    if (bV && bH)
    {
        // The corner between the bars is a face-coloured square.
        RECT rcCorner{rcV.left, rcH.top, rcV.right, rcH.bottom};
        FillRect(hdcWindow, &rcCorner, GetSysColorBrush(COLOR_3DFACE));
    }
}

LRESULT WindowScrollBarHitTest(HWND hWnd, POINT ptScreen)
{
    RECT rcWindow;
    GetWindowRect(hWnd, &rcWindow);
    POINT pt{ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top};
    RECT rc{};
    if (WindowBarRect(hWnd, SB_VERT, rc) && PtInRect(&rc, pt))
        return HTVSCROLL;
    if (WindowBarRect(hWnd, SB_HORZ, rc) && PtInRect(&rc, pt))
        return HTHSCROLL;
    return HTNOWHERE;
}

void TrackWindowScrollBar(HWND hWnd, int nHitTest, POINT ptScreen)
{
    int nBar = nHitTest == HTVSCROLL ? SB_VERT : SB_HORZ;
    bool bVert = nBar == SB_VERT;
    RECT rcWindow, rcBar{};
    GetWindowRect(hWnd, &rcWindow);
    if (!WindowBarRect(hWnd, nBar, rcBar) || !IsWindowEnabled(hWnd))
        return;
    UINT nMessage = bVert ? WM_VSCROLL : WM_HSCROLL;
    auto toBar = [&](POINT p) { return POINT{p.x - rcWindow.left, p.y - rcWindow.top}; };
    ScrollValues& v = WindowBarValues(hWnd, nBar);
    if (!CanScroll(v))
        return;
    Part part = PartAt(rcBar, bVert, v, toBar(ptScreen));
    if (part == Part::None)
        return;
    int nGrabOffset = Along(rcBar, bVert, toBar(ptScreen)) - Measure(rcBar, bVert, v).m_nThumbStart;
    v.m_nTrackPos = v.m_nPos;
    CurrentPress() = WindowBarPress{hWnd, nBar, part};
    RedrawWindowBars(hWnd);
    if (part != Part::Thumb)
        SendMessageA(hWnd, nMessage, MAKEWPARAM(CodeOf(part), 0), 0);

    // The drag runs in a loop of its own until the button is released; the thumb reports each
    // new position as it moves.
    SetCapture(hWnd);
    bool bReleased = false;
    win32::ModalLoop loop;
    loop.m_szName = "ScrollBar";
    loop.m_hWnd = hWnd;
    loop.m_nFilterCode = MSGF_SCROLLBAR;
    loop.m_fnPreTranslate = [&](const MSG& msg) {
        if (msg.hwnd != hWnd || msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST)
            return false;
        if (msg.message == WM_LBUTTONUP)
            bReleased = true;
        else if (msg.message == WM_MOUSEMOVE && part == Part::Thumb)
        {
            POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
            ClientToScreen(hWnd, &pt);
            ScrollValues& now = WindowBarValues(hWnd, nBar);
            int nPos = TrackPosAt(rcBar, bVert, now, nGrabOffset, toBar(pt));
            if (nPos != now.m_nTrackPos)
            {
                now.m_nTrackPos = nPos;
                SendMessageA(hWnd, nMessage, MAKEWPARAM(SB_THUMBTRACK, static_cast<WORD>(nPos)), 0);
            }
        }
        return true;
    };
    win32::RunModalLoop(loop, [&] { return bReleased || !IsWindow(hWnd) || GetCapture() != hWnd; });
    if (GetCapture() == hWnd)
        ReleaseCapture();
    CurrentPress() = WindowBarPress{};
    if (!IsWindow(hWnd))
        return;
    if (part == Part::Thumb)
        SendMessageA(hWnd, nMessage, MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(WindowBarValues(hWnd, nBar).m_nTrackPos)), 0);
    SendMessageA(hWnd, nMessage, MAKEWPARAM(SB_ENDSCROLL, 0), 0);
    RedrawWindowBars(hWnd);
}
