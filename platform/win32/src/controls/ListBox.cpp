// The list box control with single selection: sorted or ordered strings with item data, the
// keyboard (arrows, Home, End, pages, first letters) and the mouse; LBN_SELCHANGE when the user
// changes the selection and LBN_DBLCLK on a double click (LBS_NOTIFY). The same window procedure
// serves a combo box's dropped list, which reports to its combo box instead.
#include "Controls.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace
{
struct ListItem
{
    std::string m_strText;
    ULONG_PTR m_nData = 0;
};

struct ListState
{
    std::vector<ListItem> m_Items;
    int m_nSel = -1;
    int m_nCaret = 0;
    int m_nTop = 0;
    int m_nItemHeight = 0;   // 0: from the font
    bool m_bFocus = false;
    bool m_bTracking = false;
    int m_nSelAtPress = -1;
    HFONT m_hFont = nullptr;
    HWND m_hCombo = nullptr;   // a combo box's dropped list
    bool m_bScrollBar = false; // made with WS_VSCROLL: the bar shows while the items overflow
};
ControlStore<ListState> g_Lists;

DWORD StyleOf(HWND hWnd)
{
    return static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
}

int Count(const ListState& s)
{
    return static_cast<int>(s.m_Items.size());
}

int ItemHeight(const ListState& s)
{
    return s.m_nItemHeight > 0 ? s.m_nItemHeight : FontLineHeight(s.m_hFont);
}

int VisibleRows(HWND hWnd, const ListState& s)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    return std::max(1, (rc.bottom - rc.top) / std::max(1, ItemHeight(s)));
}

void UpdateScrollBar(HWND hWnd, const ListState& s)
{
    if (!s.m_bScrollBar)
        return;
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, std::max(0, Count(s) - 1),
                  static_cast<UINT>(VisibleRows(hWnd, s)), s.m_nTop, 0};
    SetScrollInfo(hWnd, SB_VERT, &si, TRUE);
}

void SetTop(HWND hWnd, ListState& s, int nTop)
{
    nTop = std::clamp(nTop, 0, std::max(0, Count(s) - VisibleRows(hWnd, s)));
    if (nTop != s.m_nTop)
    {
        s.m_nTop = nTop;
        InvalidateRect(hWnd, nullptr, TRUE);
    }
    UpdateScrollBar(hWnd, s);
}

void EnsureVisible(HWND hWnd, ListState& s, int nIndex)
{
    if (nIndex < s.m_nTop)
        SetTop(hWnd, s, nIndex);
    else if (nIndex >= s.m_nTop + VisibleRows(hWnd, s))
        SetTop(hWnd, s, nIndex - VisibleRows(hWnd, s) + 1);
}

void Notify(HWND hWnd, const ListState& s, WORD nCode)
{
    if (!s.m_hCombo && (StyleOf(hWnd) & LBS_NOTIFY))
        NotifyParent(hWnd, nCode);
}

// Selects an item (-1: none); true when the selection changed.
bool Select(HWND hWnd, ListState& s, int nIndex)
{
    if (nIndex < -1 || nIndex >= Count(s))
        return false;
    if (nIndex >= 0)
    {
        s.m_nCaret = nIndex;
        EnsureVisible(hWnd, s, nIndex);
    }
    if (nIndex == s.m_nSel)
        return false;
    s.m_nSel = nIndex;
    InvalidateRect(hWnd, nullptr, TRUE);
    return true;
}

int Find(const ListState& s, int nStart, const char* szText, bool bExact)
{
    if (!szText)
        return LB_ERR;
    size_t nLength = std::strlen(szText);
    int n = Count(s);
    for (int i = 1; i <= n; ++i)
    {
        int nIndex = ((nStart < 0 ? -1 : nStart) + i) % n;
        const std::string& text = s.m_Items[static_cast<size_t>(nIndex)].m_strText;
        if (bExact ? strcasecmp(text.c_str(), szText) == 0 : strncasecmp(text.c_str(), szText, nLength) == 0)
            return nIndex;
    }
    return LB_ERR;
}

int Insert(HWND hWnd, ListState& s, int nIndex, const char* szText, bool bSorted)
{
    ListItem item{szText ? szText : "", 0};
    if (bSorted)
    {
        // Case is ignored; an equal string goes after the ones already there.
        auto it = std::upper_bound(s.m_Items.begin(), s.m_Items.end(), item, [](const ListItem& a, const ListItem& b) {
            return strcasecmp(a.m_strText.c_str(), b.m_strText.c_str()) < 0;
        });
        nIndex = static_cast<int>(it - s.m_Items.begin());
    }
    else if (nIndex < 0 || nIndex > Count(s))
        nIndex = nIndex < 0 ? Count(s) : LB_ERR;
    if (nIndex == LB_ERR)
        return LB_ERR;
    s.m_Items.insert(s.m_Items.begin() + nIndex, item);
    if (s.m_nSel >= nIndex)
        ++s.m_nSel;
    InvalidateRect(hWnd, nullptr, TRUE);
    UpdateScrollBar(hWnd, s);
    return nIndex;
}

int IndexAt(const ListState& s, int y)
{
    int nIndex = s.m_nTop + (y >= 0 ? y / std::max(1, ItemHeight(s)) : -1);
    return std::clamp(nIndex, 0, Count(s) - 1);
}

RECT ItemRect(HWND hWnd, const ListState& s, int nIndex)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    int h = ItemHeight(s);
    return RECT{rc.left, rc.top + (nIndex - s.m_nTop) * h, rc.right, rc.top + (nIndex - s.m_nTop + 1) * h};
}

void Paint(HWND hWnd, HDC hdc, const ListState& s)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    HBRUSH hBrush = ControlBrush(hWnd, hdc, WM_CTLCOLORLISTBOX, COLOR_WINDOW);
    FillRect(hdc, &rc, hBrush);
    COLORREF clrText = GetTextColor(hdc);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(s.m_hFont));
    bool bOwnerDraw = (StyleOf(hWnd) & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) != 0;
    bool bEnabled = IsWindowEnabled(hWnd);
    for (int i = s.m_nTop; i < Count(s); ++i)
    {
        RECT rcItem = ItemRect(hWnd, s, i);
        if (rcItem.top >= rc.bottom)
            break;
        bool bSelected = i == s.m_nSel;
        bool bFocus = s.m_bFocus && i == s.m_nCaret;
        const ListItem& item = s.m_Items[static_cast<size_t>(i)];
        if (bOwnerDraw)
        {
            DRAWITEMSTRUCT dis{ODT_LISTBOX, static_cast<UINT>(GetDlgCtrlID(hWnd)), static_cast<UINT>(i), ODA_DRAWENTIRE,
                               static_cast<UINT>((bSelected ? ODS_SELECTED : 0) | (bFocus ? ODS_FOCUS : 0) |
                                                 (bEnabled ? 0 : ODS_DISABLED)),
                               hWnd, hdc, rcItem, item.m_nData};
            SendMessageA(GetParent(hWnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
            continue;
        }
        if (bSelected)
            FillRect(hdc, &rcItem, GetSysColorBrush(COLOR_HIGHLIGHT));
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, !bEnabled ? GetSysColor(COLOR_GRAYTEXT) : bSelected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : clrText);
        RECT rcText = rcItem;
        rcText.left += 2;
        DrawTextA(hdc, item.m_strText.c_str(), -1, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (bFocus)
            DrawFocusRect(hdc, &rcItem);
    }
    SelectObject(hdc, hOld);
}

void KeyDown(HWND hWnd, ListState& s, WPARAM nKey)
{
    if (!Count(s))
        return;
    int nFrom = s.m_nSel >= 0 ? s.m_nSel : s.m_nCaret;
    int nPage = VisibleRows(hWnd, s);
    int nTo = nFrom;
    switch (nKey)
    {
    case VK_UP: nTo = nFrom - 1; break;
    case VK_DOWN: nTo = s.m_nSel < 0 ? nFrom : nFrom + 1; break;
    case VK_PRIOR: nTo = nFrom - (nPage - 1); break;
    case VK_NEXT: nTo = nFrom + (nPage - 1); break;
    case VK_HOME: nTo = 0; break;
    case VK_END: nTo = Count(s) - 1; break;
    case VK_RETURN:
        if (s.m_hCombo)
            ComboListClosed(s.m_hCombo, s.m_nSel, true);
        return;
    case VK_ESCAPE:
        if (s.m_hCombo)
            ComboListClosed(s.m_hCombo, -1, false);
        return;
    default: return;
    }
    if (Select(hWnd, s, std::clamp(nTo, 0, Count(s) - 1)))
        Notify(hWnd, s, LBN_SELCHANGE);
}

LRESULT CopyItemText(const ListState& s, WPARAM nIndex, LPARAM lParam)
{
    if (static_cast<int>(nIndex) < 0 || static_cast<int>(nIndex) >= Count(s) || !lParam)
        return LB_ERR;
    const std::string& text = s.m_Items[nIndex].m_strText;
    std::memcpy(reinterpret_cast<char*>(lParam), text.c_str(), text.size() + 1);
    return static_cast<LRESULT>(text.size());
}

bool InList(const ListState& s, WPARAM nIndex)
{
    return static_cast<int>(nIndex) >= 0 && static_cast<int>(nIndex) < Count(s);
}

LRESULT ListMessage(HWND hWnd, ListState& s, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    bool bSorted = (StyleOf(hWnd) & LBS_SORT) != 0;
    switch (nMessage)
    {
    case LB_ADDSTRING: return Insert(hWnd, s, -1, reinterpret_cast<const char*>(lParam), bSorted);
    case LB_INSERTSTRING: return Insert(hWnd, s, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam), false);
    case LB_DELETESTRING:
        if (!InList(s, wParam))
            return LB_ERR;
        s.m_Items.erase(s.m_Items.begin() + static_cast<long>(wParam));
        if (s.m_nSel == static_cast<int>(wParam))
            s.m_nSel = -1;
        else if (s.m_nSel > static_cast<int>(wParam))
            --s.m_nSel;
        s.m_nCaret = std::clamp(s.m_nCaret, 0, std::max(0, Count(s) - 1));
        SetTop(hWnd, s, s.m_nTop);
        InvalidateRect(hWnd, nullptr, TRUE);
        return Count(s);
    case LB_RESETCONTENT:
        s.m_Items.clear();
        s.m_nSel = -1;
        s.m_nCaret = s.m_nTop = 0;
        InvalidateRect(hWnd, nullptr, TRUE);
        UpdateScrollBar(hWnd, s);
        return 0;
    case LB_SETCURSEL:
        if (static_cast<int>(wParam) != -1 && !InList(s, wParam))
            return LB_ERR;
        Select(hWnd, s, static_cast<int>(wParam));
        return static_cast<int>(wParam) == -1 ? LB_ERR : static_cast<LRESULT>(static_cast<int>(wParam));
    case LB_GETCURSEL: return s.m_nSel;
    case LB_GETSEL: return InList(s, wParam) ? (static_cast<int>(wParam) == s.m_nSel ? 1 : 0) : LB_ERR;
    case LB_SETSEL: return LB_ERR;   // multiple selection is not offered
    case LB_GETSELCOUNT: return LB_ERR;
    case LB_GETTEXT: return CopyItemText(s, wParam, lParam);
    case LB_GETTEXTLEN: return InList(s, wParam) ? static_cast<LRESULT>(s.m_Items[wParam].m_strText.size()) : LB_ERR;
    case LB_GETCOUNT: return Count(s);
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return Find(s, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam), nMessage == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING:
    {
        int nIndex = Find(s, static_cast<int>(wParam), reinterpret_cast<const char*>(lParam), false);
        if (nIndex != LB_ERR)
            Select(hWnd, s, nIndex);
        return nIndex;
    }
    case LB_GETTOPINDEX: return s.m_nTop;
    case LB_SETTOPINDEX:
        if (!InList(s, wParam) && !(wParam == 0 && Count(s) == 0))
            return LB_ERR;
        SetTop(hWnd, s, static_cast<int>(wParam));
        return LB_OKAY;
    case LB_GETITEMRECT:
        if (!InList(s, wParam) || !lParam)
            return LB_ERR;
        *reinterpret_cast<RECT*>(lParam) = ItemRect(hWnd, s, static_cast<int>(wParam));
        return 1;
    case LB_GETITEMDATA: return InList(s, wParam) ? static_cast<LRESULT>(s.m_Items[wParam].m_nData) : LB_ERR;
    case LB_SETITEMDATA:
        if (!InList(s, wParam))
            return LB_ERR;
        s.m_Items[wParam].m_nData = static_cast<ULONG_PTR>(lParam);
        return TRUE;
    case LB_SETCARETINDEX:
        if (!InList(s, wParam))
            return LB_ERR;
        s.m_nCaret = static_cast<int>(wParam);
        EnsureVisible(hWnd, s, s.m_nCaret);
        InvalidateRect(hWnd, nullptr, TRUE);
        return LB_OKAY;
    case LB_GETCARETINDEX: return s.m_nCaret;
    case LB_SETITEMHEIGHT:
        s.m_nItemHeight = LOWORD(lParam);
        InvalidateRect(hWnd, nullptr, TRUE);
        return LB_OKAY;
    case LB_GETITEMHEIGHT: return ItemHeight(s);
    case LB_ITEMFROMPOINT:
    {
        RECT rc;
        GetClientRect(hWnd, &rc);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        int nIndex = Count(s) ? IndexAt(s, pt.y) : 0;
        bool bOutside = !PtInRect(&rc, pt) || pt.y >= (Count(s) - s.m_nTop) * ItemHeight(s);
        return MAKELONG(nIndex, bOutside ? 1 : 0);
    }
    default: return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}

void MouseDown(HWND hWnd, ListState& s, LPARAM lParam, bool bDouble)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (s.m_hCombo && !PtInRect(&rc, pt))
    {
        // A press outside a dropped list closes it.
        ComboListClosed(s.m_hCombo, -1, false);
        return;
    }
    if (!s.m_hCombo && GetFocus() != hWnd)
        SetFocus(hWnd);
    s.m_nSelAtPress = s.m_nSel;
    if (Count(s) && pt.y < (Count(s) - s.m_nTop) * ItemHeight(s))
        Select(hWnd, s, IndexAt(s, pt.y));
    if (bDouble)
    {
        Notify(hWnd, s, LBN_DBLCLK);
        return;
    }
    s.m_bTracking = true;
    if (!s.m_hCombo)
        SetCapture(hWnd);
}
}

void SetListOwnerCombo(HWND hList, HWND hCombo)
{
    if (ListState* s = g_Lists.Find(hList))
        s->m_hCombo = hCombo;
}

LRESULT CALLBACK ListBoxWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        g_Lists.Make(hWnd).m_bScrollBar = (reinterpret_cast<const CREATESTRUCTA*>(lParam)->style & WS_VSCROLL) != 0;
    ListState* pState = g_Lists.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    ListState& s = *pState;
    switch (nMessage)
    {
    case WM_NCDESTROY:
        g_Lists.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFONT:
        s.m_hFont = reinterpret_cast<HFONT>(wParam);
        UpdateScrollBar(hWnd, s);
        if (lParam)
            RedrawNow(hWnd);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s.m_hFont);
    case WM_SIZE:
        SetTop(hWnd, s, s.m_nTop);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: return PaintControl(hWnd, [&](HDC hdc) { Paint(hWnd, hdc, s); });
    case WM_ENABLE:
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        s.m_bFocus = nMessage == WM_SETFOCUS;
        InvalidateRect(hWnd, nullptr, TRUE);
        Notify(hWnd, s, s.m_bFocus ? LBN_SETFOCUS : LBN_KILLFOCUS);
        return 0;
    case WM_KEYDOWN:
        KeyDown(hWnd, s, wParam);
        return 0;
    case WM_CHAR:
    {
        char prefix[2] = {static_cast<char>(wParam), 0};
        if (std::isprint(static_cast<unsigned char>(prefix[0])))
        {
            int nIndex = Find(s, s.m_nSel >= 0 ? s.m_nSel : -1, prefix, false);
            if (nIndex != LB_ERR && Select(hWnd, s, nIndex))
                Notify(hWnd, s, LBN_SELCHANGE);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(hWnd, s, lParam, nMessage == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE:
    {
        RECT rc;
        GetClientRect(hWnd, &rc);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // A dropped list follows the mouse; a list box follows a drag.
        if ((s.m_bTracking || s.m_hCombo) && Count(s) && PtInRect(&rc, pt))
            Select(hWnd, s, IndexAt(s, pt.y));
        return 0;
    }
    case WM_LBUTTONUP:
    {
        bool bTracking = s.m_bTracking;
        s.m_bTracking = false;
        if (s.m_hCombo)
        {
            RECT rc;
            GetClientRect(hWnd, &rc);
            if (bTracking && PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
                ComboListClosed(s.m_hCombo, s.m_nSel, true);
            return 0;
        }
        if (bTracking)
        {
            ReleaseCapture();
            if (s.m_nSel != s.m_nSelAtPress)
                Notify(hWnd, s, LBN_SELCHANGE);
        }
        return 0;
    }
    case WM_CAPTURECHANGED:
        if (!s.m_hCombo)
            s.m_bTracking = false;
        return 0;
    case WM_MOUSEWHEEL:
        SetTop(hWnd, s, s.m_nTop - 3 * static_cast<SHORT>(HIWORD(wParam)) / 120);
        return 0;
    case WM_VSCROLL:
        switch (LOWORD(wParam))
        {
        case SB_LINEUP: SetTop(hWnd, s, s.m_nTop - 1); break;
        case SB_LINEDOWN: SetTop(hWnd, s, s.m_nTop + 1); break;
        case SB_PAGEUP: SetTop(hWnd, s, s.m_nTop - VisibleRows(hWnd, s)); break;
        case SB_PAGEDOWN: SetTop(hWnd, s, s.m_nTop + VisibleRows(hWnd, s)); break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: SetTop(hWnd, s, static_cast<SHORT>(HIWORD(wParam))); break;
        default: break;
        }
        return 0;
    default:
        return ListMessage(hWnd, s, nMessage, wParam, lParam);
    }
}

LRESULT CALLBACK ComboListWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // Never activated: the focus stays in the combo box, which passes the keys on.
    if (nMessage == WM_MOUSEACTIVATE)
        return MA_NOACTIVATE;
    return ListBoxWndProc(hWnd, nMessage, wParam, lParam);
}
