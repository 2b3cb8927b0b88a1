// The progress bar: a range, a position clamped to it and a step; drawn as blocks of the
// highlight colour in a sunken frame (PBS_SMOOTH: one solid bar).
#include "Controls.h"

#include <algorithm>

namespace
{
struct ProgressState
{
    int m_nLow = 0;
    int m_nHigh = 100;
    int m_nPos = 0;
    int m_nStep = 10;
    COLORREF m_clrBar = CLR_DEFAULT;   // CLR_DEFAULT: the system colour
    COLORREF m_clrBack = CLR_DEFAULT;
};
ControlStore<ProgressState> g_Progress;

const int BLOCK_GAP = 2;

int SetPos(HWND hWnd, ProgressState& s, int nPos)
{
    int nOld = s.m_nPos;
    s.m_nPos = std::clamp(nPos, std::min(s.m_nLow, s.m_nHigh), std::max(s.m_nLow, s.m_nHigh));
    if (s.m_nPos != nOld)
        InvalidateRect(hWnd, nullptr, TRUE);
    return nOld;
}

LRESULT SetRange(HWND hWnd, ProgressState& s, int nLow, int nHigh)
{
    LRESULT nOld = MAKELONG(static_cast<WORD>(s.m_nLow), static_cast<WORD>(s.m_nHigh));
    s.m_nLow = nLow;
    s.m_nHigh = nHigh;
    SetPos(hWnd, s, s.m_nPos);
    InvalidateRect(hWnd, nullptr, TRUE);
    return nOld;
}

COLORREF ColorOr(COLORREF color, int nSystem)
{
    return color == CLR_DEFAULT ? GetSysColor(nSystem) : color;
}

void Paint(HWND hWnd, HDC hdc, const ProgressState& s)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    win32::FillSolidRect(hdc, rc, ColorOr(s.m_clrBack, COLOR_3DFACE));
    bool bVertical = (GetWindowLongPtrA(hWnd, GWL_STYLE) & PBS_VERTICAL) != 0;
    int nLength = bVertical ? rc.bottom - rc.top : rc.right - rc.left;
    int nThick = bVertical ? rc.right - rc.left : rc.bottom - rc.top;
    int nSpan = s.m_nHigh - s.m_nLow;
    int nFilled = nSpan ? MulDiv(nLength, s.m_nPos - s.m_nLow, nSpan) : 0;
    bool bSmooth = (GetWindowLongPtrA(hWnd, GWL_STYLE) & PBS_SMOOTH) != 0;
    int nBlock = bSmooth ? nLength : std::max(1, nThick * 2 / 3);
    COLORREF clrBar = ColorOr(s.m_clrBar, COLOR_HIGHLIGHT);
    for (int a = 0; a < nFilled; a += nBlock + (bSmooth ? 0 : BLOCK_GAP))
    {
        int b = std::min(bSmooth ? nFilled : a + nBlock, nLength);
        // A vertical bar fills from the bottom.
        RECT r = bVertical ? RECT{rc.left, rc.bottom - b, rc.right, rc.bottom - a} : RECT{rc.left + a, rc.top, rc.left + b, rc.bottom};
        win32::FillSolidRect(hdc, r, clrBar);
    }
}
}

LRESULT CALLBACK ProgressWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        g_Progress.Make(hWnd);
    ProgressState* pState = g_Progress.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    ProgressState& s = *pState;
    switch (nMessage)
    {
    case WM_NCDESTROY:
        g_Progress.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: return PaintControl(hWnd, [&](HDC hdc) { Paint(hWnd, hdc, s); });
    case PBM_SETRANGE:
        return SetRange(hWnd, s, static_cast<WORD>(LOWORD(lParam)), static_cast<WORD>(HIWORD(lParam)));
    case PBM_SETRANGE32:
        return SetRange(hWnd, s, static_cast<int>(wParam), static_cast<int>(lParam));
    case PBM_GETRANGE:
        if (lParam)
            *reinterpret_cast<PBRANGE*>(lParam) = PBRANGE{s.m_nLow, s.m_nHigh};
        return wParam ? s.m_nLow : s.m_nHigh;
    case PBM_SETPOS:
        return SetPos(hWnd, s, static_cast<int>(wParam));
    case PBM_DELTAPOS:
        return SetPos(hWnd, s, s.m_nPos + static_cast<int>(wParam));
    case PBM_GETPOS:
        return s.m_nPos;
    case PBM_SETSTEP:
    {
        int nOld = s.m_nStep;
        s.m_nStep = static_cast<int>(wParam);
        return nOld;
    }
    case PBM_STEPIT:
    {
        // Past the end the bar starts over from the beginning.
        int nNext = s.m_nPos + s.m_nStep;
        if (nNext > std::max(s.m_nLow, s.m_nHigh))
            nNext = std::min(s.m_nLow, s.m_nHigh) + (nNext - std::max(s.m_nLow, s.m_nHigh));
        int nOld = s.m_nPos;
        SetPos(hWnd, s, nNext);
        return nOld;
    }
    case PBM_SETBARCOLOR:
    case PBM_SETBKCOLOR:
    {
        COLORREF& color = nMessage == PBM_SETBARCOLOR ? s.m_clrBar : s.m_clrBack;
        COLORREF old = color;
        color = static_cast<COLORREF>(lParam);
        InvalidateRect(hWnd, nullptr, TRUE);
        return static_cast<LRESULT>(old);
    }
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}
