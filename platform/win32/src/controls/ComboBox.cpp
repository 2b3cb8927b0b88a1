// The combo box: a selection field with a drop button over a list that drops below it. A
// drop-down list (CBS_DROPDOWNLIST) shows the chosen item; a drop-down (CBS_DROPDOWN) has an edit
// field of its own. The items live in the dropped list window, a list box that reports to the
// combo box. CBS_SORT keeps the items sorted without regard to case.
#include "Controls.h"

#include <algorithm>
#include <string>

namespace
{
struct ComboState
{
    HWND m_hList = nullptr;
    HWND m_hEdit = nullptr;
    WNDPROC m_pfnEditProc = nullptr;
    HFONT m_hFont = nullptr;
    int m_nDroppedHeight = 0;   // the whole height, dropped list included, as created
    int m_nSelBeforeDrop = -1;
    bool m_bDropped = false;
    bool m_bFocus = false;
    bool m_bQuietEdit = false;  // the combo box itself is writing to its edit
};
ControlStore<ComboState> g_Combos;

const int EDIT_ID = 1001;
const int MAX_DROPPED_ROWS = 30;

DWORD KindOf(HWND hWnd)
{
    return static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE) & 3);
}

int ButtonWidth()
{
    return GetSystemMetrics(SM_CXVSCROLL);
}

// The field inside the sunken edge, and the drop button at its right.
RECT FieldRect(HWND hWnd)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    InflateRect(&rc, -2, -2);
    return rc;
}
RECT ButtonRect(HWND hWnd)
{
    RECT rc = FieldRect(hWnd);
    rc.left = std::max(rc.left, rc.right - ButtonWidth());
    return rc;
}
RECT TextRect(HWND hWnd)
{
    RECT rc = FieldRect(hWnd);
    rc.right = ButtonRect(hWnd).left;
    InflateRect(&rc, -1, -1);
    return rc;
}

int Selection(const ComboState& s)
{
    return static_cast<int>(SendMessageA(s.m_hList, LB_GETCURSEL, 0, 0));
}

std::string ItemText(const ComboState& s, int nIndex)
{
    LRESULT n = SendMessageA(s.m_hList, LB_GETTEXTLEN, static_cast<WPARAM>(nIndex), 0);
    if (n < 0)
        return "";
    std::string text(static_cast<size_t>(n) + 1, '\0');
    SendMessageA(s.m_hList, LB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(n));
    return text;
}

// The field shows the selection: the drop-down's edit takes its text.
void UpdateField(HWND hWnd, ComboState& s)
{
    if (s.m_hEdit)
    {
        int nSel = Selection(s);
        s.m_bQuietEdit = true;
        SetWindowTextA(s.m_hEdit, nSel >= 0 ? ItemText(s, nSel).c_str() : "");
        SendMessageA(s.m_hEdit, EM_SETSEL, 0, -1);
        s.m_bQuietEdit = false;
    }
    InvalidateRect(hWnd, nullptr, TRUE);
}

void FitHeight(HWND hWnd, ComboState& s)
{
    RECT rc;
    GetWindowRect(hWnd, &rc);
    int cy = FontLineHeight(s.m_hFont) + 8;
    if (rc.bottom - rc.top != cy)
        SetWindowPos(hWnd, nullptr, 0, 0, rc.right - rc.left, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (s.m_hEdit)
    {
        RECT rcText = TextRect(hWnd);
        MoveWindow(s.m_hEdit, rcText.left, rcText.top, rcText.right - rcText.left, rcText.bottom - rcText.top, TRUE);
    }
}

void Drop(HWND hWnd, ComboState& s)
{
    if (s.m_bDropped || !IsWindowEnabled(hWnd))
        return;
    NotifyParent(hWnd, CBN_DROPDOWN);
    RECT rc;
    GetWindowRect(hWnd, &rc);
    int nItem = static_cast<int>(SendMessageA(s.m_hList, LB_GETITEMHEIGHT, 0, 0));
    int nCount = static_cast<int>(SendMessageA(s.m_hList, LB_GETCOUNT, 0, 0));
    int nRows = std::clamp(nCount, 1, MAX_DROPPED_ROWS);
    int cyList = std::min(nRows * nItem, std::max(nItem, s.m_nDroppedHeight - (rc.bottom - rc.top))) + 2;
    int y = rc.bottom;
    if (y + cyList > GetSystemMetrics(SM_CYSCREEN))
        y = rc.top - cyList;
    s.m_nSelBeforeDrop = Selection(s);
    s.m_bDropped = true;
    SetWindowPos(s.m_hList, HWND_TOPMOST, rc.left, y, rc.right - rc.left, cyList, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    if (s.m_nSelBeforeDrop >= 0)
        SendMessageA(s.m_hList, LB_SETCARETINDEX, static_cast<WPARAM>(s.m_nSelBeforeDrop), 0);
    SetCapture(s.m_hList);
    InvalidateRect(hWnd, nullptr, TRUE);
}

void KeyToList(HWND hWnd, ComboState& s, WPARAM nKey)
{
    if (s.m_bDropped)
    {
        SendMessageA(s.m_hList, WM_KEYDOWN, nKey, 0);
        return;
    }
    int nBefore = Selection(s);
    SendMessageA(s.m_hList, WM_KEYDOWN, nKey, 0);
    if (Selection(s) != nBefore)
    {
        UpdateField(hWnd, s);
        NotifyParent(hWnd, CBN_SELCHANGE);
    }
}

// Keys for the combo box, from itself or from its edit; true when taken.
bool ComboKey(HWND hWnd, ComboState& s, UINT nMessage, WPARAM nKey)
{
    bool bAltDown = nMessage == WM_SYSKEYDOWN && (nKey == VK_DOWN || nKey == VK_UP);
    if (nKey == VK_F4 || bAltDown)
    {
        if (s.m_bDropped)
            ComboListClosed(hWnd, Selection(s), true);
        else
            Drop(hWnd, s);
        return true;
    }
    if (nMessage != WM_KEYDOWN)
        return false;
    switch (nKey)
    {
    case VK_UP:
    case VK_DOWN:
        KeyToList(hWnd, s, nKey);
        return true;
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
        if (s.m_hEdit && !s.m_bDropped)
            return false;
        KeyToList(hWnd, s, nKey);
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        if (!s.m_bDropped)
            return false;
        SendMessageA(s.m_hList, WM_KEYDOWN, nKey, 0);
        return true;
    default: return false;
    }
}

LRESULT CALLBACK ComboEditProc(HWND hEdit, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    HWND hCombo = GetParent(hEdit);
    ComboState* s = g_Combos.Find(hCombo);
    if (!s)
        return EditWndProc(hEdit, nMessage, wParam, lParam);
    switch (nMessage)
    {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (ComboKey(hCombo, *s, nMessage, wParam))
            return 0;
        break;
    case WM_GETDLGCODE:
        return EditWndProc(hEdit, nMessage, wParam, lParam) | (s->m_bDropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    {
        LRESULT r = EditWndProc(hEdit, nMessage, wParam, lParam);
        if (nMessage == WM_KILLFOCUS && s->m_bDropped && reinterpret_cast<HWND>(wParam) != hCombo)
            ComboListClosed(hCombo, -1, false);
        NotifyParent(hCombo, nMessage == WM_SETFOCUS ? CBN_SETFOCUS : CBN_KILLFOCUS);
        return r;
    }
    default: break;
    }
    return CallWindowProcA(s->m_pfnEditProc, hEdit, nMessage, wParam, lParam);
}

void DrawDropButton(HDC hdc, RECT rc, bool bPushed, bool bEnabled)
{
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
    if (bPushed)
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_3DSHADOW));
    else
        DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT);
    // A 7x4 triangle pointing down, centred.
    int x = (rc.left + rc.right - 7) / 2 + (bPushed ? 1 : 0);
    int y = (rc.top + rc.bottom - 4) / 2 + (bPushed ? 1 : 0);
    for (int row = 0; row < 4; ++row)
    {
        RECT rcRow{x + row, y + row, x + 7 - row, y + row + 1};
        FillRect(hdc, &rcRow, GetSysColorBrush(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    }
}

void Paint(HWND hWnd, HDC hdc, ComboState& s)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    bool bEnabled = IsWindowEnabled(hWnd);
    HBRUSH hBrush = ControlBrush(hWnd, hdc, WM_CTLCOLORLISTBOX, bEnabled ? COLOR_WINDOW : COLOR_3DFACE);
    COLORREF clrText = GetTextColor(hdc);
    DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT);
    RECT rcField = FieldRect(hWnd);
    FillRect(hdc, &rcField, hBrush);
    DrawDropButton(hdc, ButtonRect(hWnd), s.m_bDropped, bEnabled);
    if (s.m_hEdit)
        return;
    RECT rcText = TextRect(hWnd);
    bool bHighlight = s.m_bFocus && !s.m_bDropped;
    if (bHighlight)
        FillRect(hdc, &rcText, GetSysColorBrush(COLOR_HIGHLIGHT));
    int nSel = Selection(s);
    if (nSel >= 0)
    {
        std::string text = ItemText(s, nSel);
        HGDIOBJ hOld = SelectObject(hdc, ControlFont(s.m_hFont));
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, !bEnabled ? GetSysColor(COLOR_GRAYTEXT) : bHighlight ? GetSysColor(COLOR_HIGHLIGHTTEXT) : clrText);
        RECT rcDraw = rcText;
        rcDraw.left += 2;
        DrawTextA(hdc, text.c_str(), -1, &rcDraw, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(hdc, hOld);
    }
    if (bHighlight)
        DrawFocusRect(hdc, &rcText);
}

void Create(HWND hWnd, ComboState& s, const CREATESTRUCTA& cs)
{
    s.m_nDroppedHeight = cs.cy;
    DWORD nStyle = static_cast<DWORD>(cs.style);
    s.m_hList = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "",
                                WS_POPUP | WS_BORDER | (nStyle & WS_VSCROLL) | ((nStyle & CBS_SORT) ? LBS_SORT : 0), 0, 0,
                                cs.cx, 0, hWnd,
                                nullptr, cs.hInstance, nullptr);
    SetListOwnerCombo(s.m_hList, hWnd);
    if (KindOf(hWnd) != CBS_DROPDOWNLIST)
    {
        s.m_hEdit = CreateWindowExA(0, WC_EDITA, "", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 0, 0, hWnd,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(EDIT_ID)), cs.hInstance, nullptr);
        s.m_pfnEditProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(s.m_hEdit, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(ComboEditProc)));
    }
    FitHeight(hWnd, s);
}

// The CB_ messages that are the list's LB_ messages.
UINT ListMessageFor(UINT nMessage)
{
    switch (nMessage)
    {
    case CB_ADDSTRING: return LB_ADDSTRING;
    case CB_DELETESTRING: return LB_DELETESTRING;
    case CB_GETCOUNT: return LB_GETCOUNT;
    case CB_GETCURSEL: return LB_GETCURSEL;
    case CB_GETLBTEXT: return LB_GETTEXT;
    case CB_GETLBTEXTLEN: return LB_GETTEXTLEN;
    case CB_INSERTSTRING: return LB_INSERTSTRING;
    case CB_RESETCONTENT: return LB_RESETCONTENT;
    case CB_FINDSTRING: return LB_FINDSTRING;
    case CB_FINDSTRINGEXACT: return LB_FINDSTRINGEXACT;
    case CB_SELECTSTRING: return LB_SELECTSTRING;
    case CB_SETCURSEL: return LB_SETCURSEL;
    case CB_GETITEMDATA: return LB_GETITEMDATA;
    case CB_SETITEMDATA: return LB_SETITEMDATA;
    case CB_GETITEMHEIGHT: return LB_GETITEMHEIGHT;
    case CB_SETITEMHEIGHT: return LB_SETITEMHEIGHT;
    default: return 0;
    }
}
}

void ComboListClosed(HWND hCombo, int nIndex, bool bChosen)
{
    ComboState* pState = g_Combos.Find(hCombo);
    if (!pState || !pState->m_bDropped)
        return;
    ComboState& s = *pState;
    s.m_bDropped = false;
    if (GetCapture() == s.m_hList)
        ReleaseCapture();
    ShowWindow(s.m_hList, SW_HIDE);
    if (bChosen && nIndex >= 0)
        SendMessageA(s.m_hList, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
    else
        SendMessageA(s.m_hList, LB_SETCURSEL, static_cast<WPARAM>(s.m_nSelBeforeDrop), 0);
    UpdateField(hCombo, s);
    if (bChosen && Selection(s) != s.m_nSelBeforeDrop)
        NotifyParent(hCombo, CBN_SELCHANGE);
    if (!IsWindow(hCombo))
        return;
    NotifyParent(hCombo, bChosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
    NotifyParent(hCombo, CBN_CLOSEUP);
}

LRESULT CALLBACK ComboBoxWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
    {
        g_Combos.Make(hWnd);
        // The scroll bar styles belong to the dropped list, not to the field.
        LONG_PTR nStyle = GetWindowLongPtrA(hWnd, GWL_STYLE);
        if (nStyle & (WS_VSCROLL | WS_HSCROLL))
            SetWindowLongPtrA(hWnd, GWL_STYLE, nStyle & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL));
    }
    ComboState* pState = g_Combos.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    ComboState& s = *pState;
    if (UINT nList = ListMessageFor(nMessage))
    {
        LRESULT r = SendMessageA(s.m_hList, nList, wParam, lParam);
        if (nMessage == CB_SETCURSEL || nMessage == CB_SELECTSTRING || nMessage == CB_RESETCONTENT ||
            nMessage == CB_DELETESTRING)
            UpdateField(hWnd, s);
        return r;
    }
    switch (nMessage)
    {
    case WM_CREATE:
        Create(hWnd, s, *reinterpret_cast<const CREATESTRUCTA*>(lParam));
        return 0;
    case WM_DESTROY:
        DestroyWindow(s.m_hList);
        return 0;
    case WM_NCDESTROY:
        g_Combos.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (s.m_bDropped ? DLGC_WANTALLKEYS : 0);
    case WM_SETFONT:
        s.m_hFont = reinterpret_cast<HFONT>(wParam);
        SendMessageA(s.m_hList, WM_SETFONT, wParam, FALSE);
        if (s.m_hEdit)
            SendMessageA(s.m_hEdit, WM_SETFONT, wParam, FALSE);
        FitHeight(hWnd, s);
        if (lParam)
            RedrawNow(hWnd);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(s.m_hFont);
    case WM_SIZE:
        if (s.m_hEdit)
        {
            RECT rcText = TextRect(hWnd);
            MoveWindow(s.m_hEdit, rcText.left, rcText.top, rcText.right - rcText.left, rcText.bottom - rcText.top, TRUE);
        }
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: return PaintControl(hWnd, [&](HDC hdc) { Paint(hWnd, hdc, s); });
    case WM_ENABLE:
        if (s.m_hEdit)
            EnableWindow(s.m_hEdit, static_cast<BOOL>(wParam));
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_SETFOCUS:
        if (s.m_hEdit)
        {
            SetFocus(s.m_hEdit);
            return 0;
        }
        s.m_bFocus = true;
        InvalidateRect(hWnd, nullptr, TRUE);
        NotifyParent(hWnd, CBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (s.m_hEdit)
            return 0;
        s.m_bFocus = false;
        if (s.m_bDropped)
            ComboListClosed(hWnd, -1, false);
        InvalidateRect(hWnd, nullptr, TRUE);
        NotifyParent(hWnd, CBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    {
        SetFocus(s.m_hEdit ? s.m_hEdit : hWnd);
        RECT rcButton = ButtonRect(hWnd);
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (!s.m_hEdit || PtInRect(&rcButton, pt))
        {
            if (s.m_bDropped)
                ComboListClosed(hWnd, Selection(s), true);
            else
                Drop(hWnd, s);
        }
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (ComboKey(hWnd, s, nMessage, wParam))
            return 0;
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_CHAR:
        if (!s.m_hEdit && !s.m_bDropped)
        {
            int nBefore = Selection(s);
            SendMessageA(s.m_hList, WM_CHAR, wParam, lParam);
            if (Selection(s) != nBefore)
            {
                UpdateField(hWnd, s);
                NotifyParent(hWnd, CBN_SELCHANGE);
            }
        }
        return 0;
    case WM_COMMAND:
        // The edit's changes reach the parent as the combo box's own.
        if (reinterpret_cast<HWND>(lParam) == s.m_hEdit && !s.m_bQuietEdit)
        {
            if (HIWORD(wParam) == EN_CHANGE)
                NotifyParent(hWnd, CBN_EDITCHANGE);
            else if (HIWORD(wParam) == EN_UPDATE)
                NotifyParent(hWnd, CBN_EDITUPDATE);
        }
        return 0;
    case WM_SETTEXT:
        if (s.m_hEdit)
            return SetWindowTextA(s.m_hEdit, reinterpret_cast<const char*>(lParam));
        else
        {
            LRESULT nIndex = SendMessageA(s.m_hList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lParam);
            if (nIndex == LB_ERR)
                return CB_ERR;
            SendMessageA(s.m_hList, LB_SETCURSEL, static_cast<WPARAM>(nIndex), 0);
            UpdateField(hWnd, s);
            return TRUE;
        }
    case WM_GETTEXT:
    case WM_GETTEXTLENGTH:
    {
        if (s.m_hEdit)
            return SendMessageA(s.m_hEdit, nMessage, wParam, lParam);
        int nSel = Selection(s);
        std::string text = nSel >= 0 ? ItemText(s, nSel) : "";
        if (nMessage == WM_GETTEXTLENGTH)
            return static_cast<LRESULT>(text.size());
        if (!wParam || !lParam)
            return 0;
        size_t n = std::min<size_t>(text.size(), wParam - 1);
        text.copy(reinterpret_cast<char*>(lParam), n);
        reinterpret_cast<char*>(lParam)[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case CB_SHOWDROPDOWN:
        if (wParam)
            Drop(hWnd, s);
        else
            ComboListClosed(hWnd, Selection(s), true);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return s.m_bDropped;
    case CB_GETDROPPEDCONTROLRECT:
        if (lParam)
        {
            RECT* pRect = reinterpret_cast<RECT*>(lParam);
            GetWindowRect(hWnd, pRect);
            pRect->bottom = pRect->top + s.m_nDroppedHeight;
        }
        return TRUE;
    case CB_LIMITTEXT:
        return s.m_hEdit ? SendMessageA(s.m_hEdit, EM_LIMITTEXT, wParam, 0) : CB_ERR;
    case CB_GETEDITSEL:
        return s.m_hEdit ? SendMessageA(s.m_hEdit, EM_GETSEL, wParam, lParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!s.m_hEdit)
            return CB_ERR;
        SendMessageA(s.m_hEdit, EM_SETSEL, static_cast<WPARAM>(static_cast<SHORT>(LOWORD(lParam))),
                     static_cast<SHORT>(HIWORD(lParam)));
        return TRUE;
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}
