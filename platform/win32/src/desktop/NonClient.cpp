#include "NonClient.h"

#include "MenuBarBand.h"

#include "../controls/WindowScrollBars.h"
#include "../user/UserState.h"

#include <win32/gdi.h>

#include <algorithm>

namespace
{
// The caption font: bold 8 point, as the classic scheme's.
HFONT CaptionFont()
{
    static HFONT hFont = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif");
    return hFont;
}
HFONT SymbolFont()
{
    static HFONT hFont = CreateFontA(-9, 0, 0, 0, FW_NORMAL, 0, 0, 0, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett");
    return hFont;
}

void FillColor(HDC hdc, const RECT& rc, int nSysColor)
{
    FillRect(hdc, &rc, GetSysColorBrush(nSysColor));
}

// The caption bar: a left-to-right gradient between the caption colour and its gradient pair.
void DrawCaptionBar(HDC hdc, const RECT& rc, bool bActive)
{
    COLORREF a = GetSysColor(bActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    COLORREF b = GetSysColor(bActive ? COLOR_GRADIENTACTIVECAPTION : COLOR_GRADIENTINACTIVECAPTION);
    int cx = std::max<LONG>(1, rc.right - rc.left);
    for (int x = 0; x < cx; ++x)
    {
        auto mix = [&](int p, int q) { return static_cast<BYTE>(p + (q - p) * x / cx); };
        COLORREF c = RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
        win32::FillSolidRect(hdc, RECT{rc.left + x, rc.top, rc.left + x + 1, rc.bottom}, c);
    }
}

void DrawCloseButton(HDC hdc, const RECT& rcCaption)
{
    RECT rc = CloseButtonRect(rcCaption);
    DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    HGDIOBJ hOld = SelectObject(hdc, SymbolFont());
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    DrawTextA(hdc, "r", 1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(hdc, hOld);
}
}

RECT CloseButtonRect(const RECT& rcCaption)
{
    // Caption buttons are 16 x 14 inside a 19-pixel caption, 2 pixels from the right.
    return RECT{rcCaption.right - 18, rcCaption.top + 2, rcCaption.right - 2, rcCaption.top + 16};
}

void DrawNonClient(HWND hWnd, int nActive, HRGN hClip)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !IsWindowVisible(hWnd))
        return;
    DWORD nStyle = pWnd->m_nStyle;
    DWORD nExStyle = pWnd->m_nExStyle;
    RECT rcWindow{};
    GetWindowRect(hWnd, &rcWindow);
    RECT rc{0, 0, rcWindow.right - rcWindow.left, rcWindow.bottom - rcWindow.top};
    HDC hdc = GetWindowDC(hWnd);
    if (!hdc)
        return;
    int nSaved = SaveDC(hdc);
    // A region (screen coordinates) limits the drawing to the part it covers.
    RECT rcClip{};
    if (hClip && GetRgnBox(hClip, &rcClip) != ERROR)
        IntersectClipRect(hdc, rcClip.left - rcWindow.left, rcClip.top - rcWindow.top, rcClip.right - rcWindow.left,
                          rcClip.bottom - rcWindow.top);

    int nFrame = 0;
    if (nStyle & WS_THICKFRAME)
        nFrame = GetSystemMetrics(SM_CXFRAME);
    else if ((nStyle & WS_DLGFRAME) || (nExStyle & WS_EX_DLGMODALFRAME))
        nFrame = GetSystemMetrics(SM_CXDLGFRAME);
    if (nFrame > 0)
    {
        DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT | BF_ADJUST);
        for (int i = 2; i < nFrame; ++i)
        {
            FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
            InflateRect(&rc, -1, -1);
        }
    }
    else if (nStyle & WS_BORDER)
    {
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&rc, -1, -1);
    }

    if ((nStyle & WS_CAPTION) == WS_CAPTION)
    {
        int nCaption = GetSystemMetrics((nExStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
        RECT rcCaption{rc.left, rc.top, rc.right, rc.top + nCaption - 1};
        bool bActive = nActive < 0 ? GetActiveWindow() == hWnd : nActive != 0;
        DrawCaptionBar(hdc, rcCaption, bActive);
        FillColor(hdc, RECT{rc.left, rcCaption.bottom, rc.right, rc.top + nCaption}, COLOR_3DFACE);
        SelectObject(hdc, CaptionFont());
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, GetSysColor(bActive ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
        RECT rcText{rcCaption.left + 3, rcCaption.top, rcCaption.right - 20, rcCaption.bottom};
        DrawTextA(hdc, pWnd->m_strText.c_str(), -1, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (nStyle & WS_SYSMENU)
            DrawCloseButton(hdc, rcCaption);
        rc.top += nCaption;
    }
    if (pWnd->m_hMenu && IsTopLevel(pWnd))
    {
        DrawMenuBarBand(hWnd, hdc);
        rc.top += GetSystemMetrics(SM_CYMENU);
    }
    if (nExStyle & WS_EX_CLIENTEDGE)
        DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (nExStyle & WS_EX_STATICEDGE)
        DrawEdge(hdc, &rc, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    DrawWindowScrollBars(hWnd, hdc);
    RestoreDC(hdc, nSaved);
    ReleaseDC(hWnd, hdc);
}
