// The tab control: tabs from the left along the top, each as wide as its text, above a raised
// display area. The selected tab stands a little taller and joins the display area.
#include "Controls.h"

#include <win32/gdi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
const int TAB_PAD = 6;      // either side of a tab's text
const int FIRST_TAB_X = 2;
const int RAISE = 2;        // how far the selected tab stands out
const int BORDER = 4;       // between the display area and the control's edge

struct TabItem
{
    std::string m_strText;
    LPARAM m_lParam = 0;
};

class TabControl
{
public:
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    LRESULT Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);

private:
    int Count() const { return static_cast<int>(m_Items.size()); }
    int TabHeight() const { return FontLineHeight(m_hFont) + 6; }
    RECT ItemRect(int i) const;
    void Select(int i, bool bNotify);
    void Paint(HDC hdc);

    HWND m_hWnd = nullptr;
    HFONT m_hFont = nullptr;
    std::vector<TabItem> m_Items;
    int m_nSelected = -1;
};

ControlStore<TabControl>& TabControls()
{
    static ControlStore<TabControl> s_Store;
    return s_Store;
}

RECT TabControl::ItemRect(int i) const
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(m_hFont));
    int x = FIRST_TAB_X;
    RECT rcItem{};
    for (int k = 0; k <= i && k < Count(); ++k)
    {
        RECT rcText{0, 0, 0, 0};
        DrawTextA(hdc, m_Items[static_cast<size_t>(k)].m_strText.c_str(), -1, &rcText, DT_SINGLELINE | DT_CALCRECT);
        rcItem = RECT{x, RAISE, x + rcText.right + 2 * TAB_PAD, RAISE + TabHeight()};
        x = rcItem.right;
    }
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return rcItem;
}

void TabControl::Select(int i, bool bNotify)
{
    if (i == m_nSelected || i < 0 || i >= Count())
        return;
    if (bNotify && NotifyParentNm(m_hWnd, TCN_SELCHANGING))
        return;   // the parent keeps the current tab
    m_nSelected = i;
    InvalidateRect(m_hWnd, nullptr, TRUE);
    if (bNotify)
        NotifyParentNm(m_hWnd, TCN_SELCHANGE);
}

void TabControl::Paint(HDC hdc)
{
    RECT rcClient;
    GetClientRect(m_hWnd, &rcClient);
    FillRect(hdc, &rcClient, GetSysColorBrush(COLOR_3DFACE));
    RECT rcPanel{0, RAISE + TabHeight(), rcClient.right, rcClient.bottom};
    DrawEdge(hdc, &rcPanel, EDGE_RAISED, BF_RECT);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(m_hFont));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    for (int i = 0; i < Count(); ++i)
    {
        RECT rc = ItemRect(i);
        if (i == m_nSelected)
        {
            // Taller and wider, over the panel's top edge so it joins the display area.
            rc = RECT{rc.left - RAISE, rc.top - RAISE, rc.right + RAISE, rc.bottom + 1};
            FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
        }
        DrawEdge(hdc, &rc, EDGE_RAISED, BF_LEFT | BF_TOP | BF_RIGHT);
        RECT rcText = rc;
        DrawTextA(hdc, m_Items[static_cast<size_t>(i)].m_strText.c_str(), -1, &rcText,
                  DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        if (i == m_nSelected && GetFocus() == m_hWnd)
        {
            InflateRect(&rcText, -3, -3);
            DrawFocusRect(hdc, &rcText);
        }
    }
    SelectObject(hdc, hOld);
}

LRESULT TabControl::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case TCM_GETITEMCOUNT: return Count();
    case TCM_INSERTITEMA:
    {
        const auto* pItem = reinterpret_cast<const TCITEMA*>(lParam);
        if (!pItem)
            return -1;
        TabItem item;
        if ((pItem->mask & TCIF_TEXT) && pItem->pszText)
            item.m_strText = pItem->pszText;
        if (pItem->mask & TCIF_PARAM)
            item.m_lParam = pItem->lParam;
        int i = std::clamp(static_cast<int>(wParam), 0, Count());
        m_Items.insert(m_Items.begin() + i, item);
        // The first tab is selected; a tab inserted before the selection moves it along.
        if (m_nSelected < 0)
            m_nSelected = 0;
        else if (i <= m_nSelected && Count() > 1)
            ++m_nSelected;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        return i;
    }
    case TCM_GETITEMA:
    {
        auto* pItem = reinterpret_cast<TCITEMA*>(lParam);
        int i = static_cast<int>(wParam);
        if (!pItem || i < 0 || i >= Count())
            return FALSE;
        const TabItem& item = m_Items[static_cast<size_t>(i)];
        if ((pItem->mask & TCIF_TEXT) && pItem->pszText && pItem->cchTextMax > 0)
        {
            size_t n = std::min(item.m_strText.size(), static_cast<size_t>(pItem->cchTextMax - 1));
            item.m_strText.copy(pItem->pszText, n);
            pItem->pszText[n] = '\0';
        }
        if (pItem->mask & TCIF_PARAM)
            pItem->lParam = item.m_lParam;
        return TRUE;
    }
    case TCM_DELETEITEM:
    {
        int i = static_cast<int>(wParam);
        if (i < 0 || i >= Count())
            return FALSE;
        m_Items.erase(m_Items.begin() + i);
        if (m_nSelected >= Count() || i < m_nSelected)
            --m_nSelected;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        return TRUE;
    }
    case TCM_DELETEALLITEMS:
        m_Items.clear();
        m_nSelected = -1;
        InvalidateRect(m_hWnd, nullptr, TRUE);
        return TRUE;
    case TCM_GETITEMRECT:
        if (!lParam || static_cast<int>(wParam) < 0 || static_cast<int>(wParam) >= Count())
            return FALSE;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(static_cast<int>(wParam));
        return TRUE;
    case TCM_GETCURSEL: return m_nSelected;
    case TCM_SETCURSEL:
    {
        int nOld = m_nSelected;
        Select(static_cast<int>(wParam), false);
        return nOld;
    }
    case TCM_ADJUSTRECT:
    {
        auto* prc = reinterpret_cast<RECT*>(lParam);
        if (!prc)
            return 0;
        int nTop = RAISE + TabHeight() + BORDER;
        if (wParam)
            *prc = RECT{prc->left - BORDER, prc->top - nTop, prc->right + BORDER, prc->bottom + BORDER};
        else
            *prc = RECT{prc->left + BORDER, prc->top + nTop, prc->right - BORDER, prc->bottom - BORDER};
        return 0;
    }
    case WM_LBUTTONDOWN:
    {
        POINT pt{static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam))};
        for (int i = 0; i < Count(); ++i)
        {
            RECT rc = ItemRect(i);
            if (PtInRect(&rc, pt))
            {
                Select(i, true);
                break;
            }
        }
        return 0;
    }
    case WM_KEYDOWN:
        // The arrows walk the tabs as clicks would.
        if ((wParam == VK_LEFT || wParam == VK_RIGHT) && Count() > 0)
            Select(std::clamp(m_nSelected + (wParam == VK_RIGHT ? 1 : -1), 0, Count() - 1), true);
        return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    case WM_SETFONT: m_hFont = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(m_hWnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return TRUE;
    case WM_PAINT: return PaintControl(m_hWnd, [&](HDC hdc) { Paint(hdc); });
    default: return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    }
}
}

LRESULT CALLBACK TabControlWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    return TabControls().Dispatch(hWnd, nMessage, wParam, lParam);
}
