// The menu bar band. Each item is its text (without the mnemonic's "&") with 8 pixels each side;
// the items follow each other from the band's left edge and take its full height.
#include "MenuBarBand.h"

#include "../controls/Controls.h"
#include "../user/Metrics.h"
#include "../user/UserState.h"

#include <string>

namespace
{
const int ITEM_MARGIN = 8;

std::string ItemText(HMENU hMenu, int i)
{
    char sz[256] = {};
    GetMenuStringA(hMenu, static_cast<UINT>(i), sz, sizeof(sz), MF_BYPOSITION);
    return sz;
}

int LabelWidth(HDC hdc, const std::string& strText)
{
    RECT rc{};
    DrawTextA(hdc, strText.c_str(), -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    return rc.right - rc.left;
}
}

bool MenuBarBand(HWND hWnd, RECT& rcBand)
{
    const Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !pWnd->m_hMenu || !IsTopLevel(pWnd))
        return false;
    // The insets of the frame, caption and menu alone: the band ends where they end.
    RECT insets = NonClientInsets(pWnd->m_nStyle & ~(WS_VSCROLL | WS_HSCROLL),
                                  pWnd->m_nExStyle & ~(WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), true);
    int cx = pWnd->m_rcWindow.right - pWnd->m_rcWindow.left;
    rcBand = RECT{insets.left, insets.top - GetSystemMetrics(SM_CYMENU), cx - insets.right, insets.top};
    return true;
}

std::vector<RECT> MenuBarItemRects(HWND hWnd)
{
    std::vector<RECT> rects;
    RECT rcBand;
    if (!MenuBarBand(hWnd, rcBand))
        return rects;
    HMENU hMenu = GetMenu(hWnd);
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(nullptr));
    int x = rcBand.left;
    for (int i = 0; i < GetMenuItemCount(hMenu); ++i)
    {
        int cx = LabelWidth(hdc, ItemText(hMenu, i)) + 2 * ITEM_MARGIN;
        rects.push_back(RECT{x, rcBand.top, x + cx, rcBand.bottom});
        x += cx;
    }
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return rects;
}

void DrawMenuBarBand(HWND hWnd, HDC hdcWindow)
{
    RECT rcBand;
    if (!MenuBarBand(hWnd, rcBand))
        return;
    FillRect(hdcWindow, &rcBand, GetSysColorBrush(COLOR_MENU));
    HMENU hMenu = GetMenu(hWnd);
    std::vector<RECT> rects = MenuBarItemRects(hWnd);
    HGDIOBJ hOld = SelectObject(hdcWindow, ControlFont(nullptr));
    int nOldMode = SetBkMode(hdcWindow, TRANSPARENT);
    for (size_t i = 0; i < rects.size(); ++i)
    {
        bool bGrayed = (GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0;
        SetTextColor(hdcWindow, GetSysColor(bGrayed ? COLOR_GRAYTEXT : COLOR_MENUTEXT));
        DrawTextA(hdcWindow, ItemText(hMenu, static_cast<int>(i)).c_str(), -1, &rects[i],
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    SetBkMode(hdcWindow, nOldMode);
    SelectObject(hdcWindow, hOld);
}

void TrackMenuBar(HWND hWnd, POINT ptScreen)
{
    RECT rcWindow;
    GetWindowRect(hWnd, &rcWindow);
    POINT pt{ptScreen.x - rcWindow.left, ptScreen.y - rcWindow.top};
    std::vector<RECT> rects = MenuBarItemRects(hWnd);
    HMENU hMenu = GetMenu(hWnd);
    for (size_t i = 0; i < rects.size(); ++i)
    {
        if (!PtInRect(&rects[i], pt))
            continue;
        UINT nState = GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION);
        if (nState & (MF_GRAYED | MF_DISABLED))
            return;
        SendMessageA(hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(hMenu), 0);
        if (HMENU hPopup = GetSubMenu(hMenu, static_cast<int>(i)))
            TrackPopupMenu(hPopup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, rcWindow.left + rects[i].left,
                           rcWindow.top + rects[i].bottom, 0, hWnd, nullptr);
        else
            PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetMenuItemID(hMenu, static_cast<int>(i))), 0), 0);
        return;
    }
}
