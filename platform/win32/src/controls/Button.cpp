// The button control: push buttons (default and push-like too), check boxes, radio buttons,
// group boxes and owner-drawn buttons. Releasing the mouse over the button, or Space, clicks it:
// an automatic check box flips and an automatic radio button checks itself and clears the rest
// of its group before BN_CLICKED goes to the parent.
#include "Controls.h"

#include <algorithm>
#include <string>

namespace
{
struct ButtonState
{
    UINT m_nCheck = BST_UNCHECKED;
    bool m_bPushed = false;
    bool m_bFocus = false;
    bool m_bTracking = false;   // the left button went down on the button and the capture is held
    bool m_bSpace = false;      // Space went down on the button
    HFONT m_hFont = nullptr;
};
ControlStore<ButtonState> g_Buttons;

const int CHECK_SIZE = 13;    // the box of a check box, the circle of a radio button
const int TEXT_GAP = 4;       // between the box and the text

UINT TypeOf(HWND hWnd)
{
    return static_cast<UINT>(GetWindowLongPtrA(hWnd, GWL_STYLE) & BS_TYPEMASK);
}
DWORD StyleOf(HWND hWnd)
{
    return static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
}
bool IsCheckType(UINT nType)
{
    return nType == BS_CHECKBOX || nType == BS_AUTOCHECKBOX || nType == BS_3STATE || nType == BS_AUTO3STATE;
}
bool IsRadioType(UINT nType)
{
    return nType == BS_RADIOBUTTON || nType == BS_AUTORADIOBUTTON;
}
bool IsPushType(UINT nType)
{
    return nType == BS_PUSHBUTTON || nType == BS_DEFPUSHBUTTON || nType == BS_PUSHBOX;
}

// Clears the other automatic radio buttons of the group.
void UncheckGroup(HWND hWnd)
{
    HWND hParent = GetParent(hWnd);
    for (HWND h = GetNextDlgGroupItem(hParent, hWnd, FALSE); h && h != hWnd; h = GetNextDlgGroupItem(hParent, h, FALSE))
        if (TypeOf(h) == BS_AUTORADIOBUTTON)
            SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
}

// A click: the automatic kinds change their check, then the parent hears BN_CLICKED.
void Click(HWND hWnd, ButtonState& state)
{
    UINT nType = TypeOf(hWnd);
    if (nType == BS_AUTOCHECKBOX)
        SendMessageA(hWnd, BM_SETCHECK, state.m_nCheck ? BST_UNCHECKED : BST_CHECKED, 0);
    else if (nType == BS_AUTO3STATE)
        SendMessageA(hWnd, BM_SETCHECK, (state.m_nCheck + 1) % 3, 0);
    else if (nType == BS_AUTORADIOBUTTON)
    {
        SendMessageA(hWnd, BM_SETCHECK, BST_CHECKED, 0);
        UncheckGroup(hWnd);
    }
    NotifyParent(hWnd, BN_CLICKED);
}

void SetPushed(HWND hWnd, ButtonState& state, bool bPushed)
{
    if (state.m_bPushed == bPushed)
        return;
    state.m_bPushed = bPushed;
    RedrawNow(hWnd);
}

// ---- Drawing
void DrawCaption(HDC hdc, HWND hWnd, RECT rc, UINT nFormat)
{
    char text[256];
    GetWindowTextA(hWnd, text, sizeof(text));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(IsWindowEnabled(hWnd) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextA(hdc, text, -1, &rc, nFormat);
}

UINT HorizontalFormat(DWORD nStyle, UINT nDefault)
{
    switch (nStyle & BS_CENTER)
    {
    case BS_LEFT: return DT_LEFT;
    case BS_RIGHT: return DT_RIGHT;
    case BS_CENTER: return DT_CENTER;
    default: return nDefault;
    }
}

UINT VerticalFormat(DWORD nStyle)
{
    switch (nStyle & BS_VCENTER)
    {
    case BS_TOP: return DT_TOP;
    case BS_BOTTOM: return DT_BOTTOM;
    default: return DT_VCENTER;
    }
}

void DrawPush(HDC hdc, HWND hWnd, const ButtonState& state, bool bDefault, bool bDown)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
    if (bDefault)
    {
        FrameRect(hdc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
        InflateRect(&rc, -1, -1);
    }
    RECT rcEdge = rc;
    if (bDown && bDefault)
        FrameRect(hdc, &rcEdge, GetSysColorBrush(COLOR_3DSHADOW));
    else
        DrawEdge(hdc, &rcEdge, bDown ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    RECT rcText = rc;
    InflateRect(&rcText, -2, -2);
    if (bDown)
        OffsetRect(&rcText, 1, 1);
    DWORD nStyle = StyleOf(hWnd);
    DrawCaption(hdc, hWnd, rcText,
                HorizontalFormat(nStyle, DT_CENTER) | VerticalFormat(nStyle) |
                    ((nStyle & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE));
    if (state.m_bFocus)
    {
        RECT rcFocus = rc;
        InflateRect(&rcFocus, -3, -3);
        DrawFocusRect(hdc, &rcFocus);
    }
}

// A radio button's circle, drawn from a 12x12 map of the classic look: outer shadow and
// highlight arcs, inner dark shadow and light arcs, the window colour inside, the dot.
void DrawRadioCircle(HDC hdc, int x, int y, bool bChecked, bool bEnabled)
{
    static const char* const MAP[12] = {
        "    SSSS    ", "  SSDDDDSS  ", " SDDWWWWDDL ", " SDWWWWWWLH ", "SDWWWWWWWWLH", "SDWWWWWWWWLH",
        "SDWWWWWWWWLH", "SDWWWWWWWWLH", " SDWWWWWWLH ", " SLLWWWWLLH ", "  HHLLLLHH  ", "    HHHH    ",
    };
    static const char* const DOT[4] = {" XX ", "XXXX", "XXXX", " XX "};
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 12; ++col)
        {
            int nColor = -1;
            switch (MAP[row][col])
            {
            case 'S': nColor = COLOR_3DSHADOW; break;
            case 'D': nColor = COLOR_3DDKSHADOW; break;
            case 'L': nColor = COLOR_3DLIGHT; break;
            case 'H': nColor = COLOR_3DHIGHLIGHT; break;
            case 'W': nColor = bEnabled ? COLOR_WINDOW : COLOR_3DFACE; break;
            default: break;
            }
            if (nColor >= 0)
                SetPixel(hdc, x + col, y + row, GetSysColor(nColor));
        }
    if (bChecked)
        for (int row = 0; row < 4; ++row)
            for (int col = 0; col < 4; ++col)
                if (DOT[row][col] == 'X')
                    SetPixel(hdc, x + 4 + col, y + 4 + row, GetSysColor(bEnabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
}

// A check box's sunken box with the 7x7 check mark of the classic look.
void DrawCheckBox(HDC hdc, int x, int y, UINT nCheck, bool bEnabled)
{
    RECT rc{x, y, x + CHECK_SIZE, y + CHECK_SIZE};
    DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    FillRect(hdc, &rc, GetSysColorBrush(bEnabled && nCheck != BST_INDETERMINATE ? COLOR_WINDOW : COLOR_3DFACE));
    if (!nCheck)
        return;
    COLORREF color = GetSysColor(bEnabled && nCheck == BST_CHECKED ? COLOR_WINDOWTEXT : COLOR_3DSHADOW);
    // Column offsets 0..6, each a 3-pixel vertical run starting at these rows.
    static const int TOPS[7] = {2, 3, 4, 3, 2, 1, 0};
    for (int i = 0; i < 7; ++i)
        for (int j = 0; j < 3; ++j)
            SetPixel(hdc, rc.left + 1 + i, rc.top + 1 + TOPS[i] + j, color);
}

void DrawCheckOrRadio(HDC hdc, HWND hWnd, const ButtonState& state, HBRUSH hBrush, bool bRadio)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    FillRect(hdc, &rc, hBrush);
    DWORD nStyle = StyleOf(hWnd);
    bool bLeftText = (nStyle & BS_LEFTTEXT) != 0;
    int nBox = bRadio ? 12 : CHECK_SIZE;
    int xBox = bLeftText ? rc.right - nBox : rc.left;
    int yBox = rc.top + (rc.bottom - rc.top - nBox) / 2;
    bool bEnabled = IsWindowEnabled(hWnd);
    if (bRadio)
        DrawRadioCircle(hdc, xBox, yBox, state.m_nCheck != 0, bEnabled && !state.m_bPushed);
    else
        DrawCheckBox(hdc, xBox, yBox, state.m_nCheck, bEnabled && !state.m_bPushed);
    RECT rcText = rc;
    if (bLeftText)
        rcText.right = xBox - TEXT_GAP;
    else
        rcText.left = xBox + CHECK_SIZE + TEXT_GAP;
    DrawCaption(hdc, hWnd, rcText, HorizontalFormat(nStyle, DT_LEFT) | VerticalFormat(nStyle) | DT_SINGLELINE);
    if (state.m_bFocus)
    {
        char text[256];
        int n = GetWindowTextA(hWnd, text, sizeof(text));
        RECT rcMeasure = rcText;
        DrawTextA(hdc, text, n, &rcMeasure, DT_SINGLELINE | DT_CALCRECT);
        int nHeight = rcMeasure.bottom - rcMeasure.top;
        RECT rcFocus{rcText.left - 1, rc.top + (rc.bottom - rc.top - nHeight) / 2 - 1,
                     rcText.left + (rcMeasure.right - rcMeasure.left) + 1,
                     rc.top + (rc.bottom - rc.top - nHeight) / 2 + nHeight + 1};
        IntersectRect(&rcFocus, &rcFocus, &rc);
        if (n > 0)
            DrawFocusRect(hdc, &rcFocus);
    }
}

void DrawGroupBox(HDC hdc, HWND hWnd, HBRUSH hBrush)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    char text[256];
    int n = GetWindowTextA(hWnd, text, sizeof(text));
    RECT rcMeasure{0, 0, 0, 0};
    DrawTextA(hdc, text, n, &rcMeasure, DT_SINGLELINE | DT_CALCRECT);
    int nTextHeight = rcMeasure.bottom - rcMeasure.top;
    // The etched frame runs through the middle of the caption.
    RECT rcFrame{rc.left, rc.top + nTextHeight / 2, rc.right, rc.bottom};
    DrawEdge(hdc, &rcFrame, EDGE_ETCHED, BF_RECT);
    if (n > 0)
    {
        RECT rcText{rc.left + 9, rc.top, rc.left + 9 + (rcMeasure.right - rcMeasure.left) + 2, rc.top + nTextHeight};
        FillRect(hdc, &rcText, hBrush);
        rcText.left += 1;
        DrawCaption(hdc, hWnd, rcText, DT_LEFT | DT_TOP | DT_SINGLELINE);
    }
}

void DrawOwner(HDC hdc, HWND hWnd, const ButtonState& state, UINT nAction)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID(hWnd));
    dis.itemAction = nAction;
    dis.itemState = (state.m_bPushed ? ODS_SELECTED : 0) | (state.m_bFocus ? ODS_FOCUS : 0) |
                    (IsWindowEnabled(hWnd) ? 0 : ODS_DISABLED);
    dis.hwndItem = hWnd;
    dis.hDC = hdc;
    GetClientRect(hWnd, &dis.rcItem);
    SendMessageA(GetParent(hWnd), WM_DRAWITEM, dis.CtlID, reinterpret_cast<LPARAM>(&dis));
}

void Paint(HWND hWnd, HDC hdc, ButtonState& state)
{
    HGDIOBJ hOldFont = SelectObject(hdc, ControlFont(state.m_hFont));
    UINT nType = TypeOf(hWnd);
    bool bPushLike = (StyleOf(hWnd) & BS_PUSHLIKE) != 0;
    if (nType == BS_OWNERDRAW)
        DrawOwner(hdc, hWnd, state, ODA_DRAWENTIRE);
    else if (IsPushType(nType) || ((IsCheckType(nType) || IsRadioType(nType)) && bPushLike))
        DrawPush(hdc, hWnd, state, nType == BS_DEFPUSHBUTTON, state.m_bPushed || (bPushLike && state.m_nCheck));
    else
    {
        HBRUSH hBrush = ControlBrush(hWnd, hdc, WM_CTLCOLORBTN, COLOR_3DFACE);
        if (nType == BS_GROUPBOX)
            DrawGroupBox(hdc, hWnd, hBrush);
        else
            DrawCheckOrRadio(hdc, hWnd, state, hBrush, IsRadioType(nType));
    }
    SelectObject(hdc, hOldFont);
}

LRESULT DialogCode(HWND hWnd)
{
    UINT nType = TypeOf(hWnd);
    switch (nType)
    {
    case BS_DEFPUSHBUTTON: return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
    case BS_PUSHBUTTON:
    case BS_PUSHBOX:
    case BS_OWNERDRAW: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return DLGC_BUTTON | DLGC_RADIOBUTTON;
    case BS_GROUPBOX: return DLGC_STATIC;
    default: return DLGC_BUTTON;
    }
}
}

LRESULT CALLBACK ButtonWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        g_Buttons.Make(hWnd);
    ButtonState* pState = g_Buttons.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    ButtonState& state = *pState;
    UINT nType = TypeOf(hWnd);
    switch (nMessage)
    {
    case WM_NCDESTROY:
        g_Buttons.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_NCHITTEST:
        return nType == BS_GROUPBOX ? HTTRANSPARENT : DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_GETDLGCODE:
        return DialogCode(hWnd);
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
    case WM_ENABLE:
    {
        LRESULT r = DefWindowProcA(hWnd, nMessage, wParam, lParam);
        InvalidateRect(hWnd, nullptr, TRUE);
        return r;
    }
    case WM_LBUTTONDBLCLK:
        // Radio and owner-drawn buttons report the double click; every kind takes it as a press.
        if (IsRadioType(nType) || nType == BS_OWNERDRAW || (StyleOf(hWnd) & BS_NOTIFY))
            NotifyParent(hWnd, BN_DOUBLECLICKED);
        [[fallthrough]];
    case WM_LBUTTONDOWN:
        if (nType == BS_GROUPBOX)
            return 0;
        if (GetFocus() != hWnd)
            SetFocus(hWnd);
        SetCapture(hWnd);
        state.m_bTracking = true;
        SetPushed(hWnd, state, true);
        return 0;
    case WM_MOUSEMOVE:
        if (state.m_bTracking)
        {
            RECT rc;
            GetClientRect(hWnd, &rc);
            SetPushed(hWnd, state, PtInRect(&rc, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != 0);
        }
        return 0;
    case WM_LBUTTONUP:
        if (state.m_bTracking)
        {
            bool bClick = state.m_bPushed;
            state.m_bTracking = false;
            ReleaseCapture();
            SetPushed(hWnd, state, false);
            if (bClick)
                Click(hWnd, state);
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (state.m_bTracking && reinterpret_cast<HWND>(lParam) != hWnd)
        {
            state.m_bTracking = false;
            SetPushed(hWnd, state, false);
        }
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE && nType != BS_GROUPBOX)
        {
            state.m_bSpace = true;
            SetPushed(hWnd, state, true);
            return 0;
        }
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_SPACE && state.m_bSpace)
        {
            state.m_bSpace = false;
            bool bClick = state.m_bPushed;
            SetPushed(hWnd, state, false);
            if (bClick)
                Click(hWnd, state);
            return 0;
        }
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_SETFOCUS:
        state.m_bFocus = true;
        if (StyleOf(hWnd) & BS_NOTIFY)
            NotifyParent(hWnd, BN_SETFOCUS);
        RedrawNow(hWnd);
        return 0;
    case WM_KILLFOCUS:
        state.m_bFocus = false;
        state.m_bSpace = false;
        if (state.m_bTracking)
        {
            state.m_bTracking = false;
            ReleaseCapture();
        }
        state.m_bPushed = false;
        if (StyleOf(hWnd) & BS_NOTIFY)
            NotifyParent(hWnd, BN_KILLFOCUS);
        RedrawNow(hWnd);
        return 0;
    case BM_GETCHECK:
        return (IsCheckType(nType) || IsRadioType(nType)) ? state.m_nCheck : BST_UNCHECKED;
    case BM_SETCHECK:
    {
        if (!IsCheckType(nType) && !IsRadioType(nType))
            return 0;
        UINT nCheck = static_cast<UINT>(wParam);
        if (nCheck == BST_INDETERMINATE && nType != BS_3STATE && nType != BS_AUTO3STATE)
            nCheck = BST_CHECKED;
        if (nCheck > BST_INDETERMINATE)
            nCheck = BST_CHECKED;
        if (state.m_nCheck != nCheck)
        {
            state.m_nCheck = nCheck;
            RedrawNow(hWnd);
        }
        // An automatic radio button that is checked is the group's tab stop.
        if (nType == BS_AUTORADIOBUTTON)
        {
            LONG_PTR nStyle = GetWindowLongPtrA(hWnd, GWL_STYLE);
            SetWindowLongPtrA(hWnd, GWL_STYLE, nCheck ? (nStyle | WS_TABSTOP) : (nStyle & ~WS_TABSTOP));
        }
        return 0;
    }
    case BM_GETSTATE:
        return static_cast<LRESULT>(state.m_nCheck | (state.m_bPushed ? BST_PUSHED : 0) | (state.m_bFocus ? BST_FOCUS : 0));
    case BM_SETSTATE:
        SetPushed(hWnd, state, wParam != 0);
        return 0;
    case BM_SETSTYLE:
    {
        LONG_PTR nStyle = GetWindowLongPtrA(hWnd, GWL_STYLE);
        SetWindowLongPtrA(hWnd, GWL_STYLE, (nStyle & ~0xFFFF) | static_cast<LONG_PTR>(wParam & 0xFFFF));
        if (lParam)
            RedrawNow(hWnd);
        return 0;
    }
    case BM_CLICK:
        if (IsWindowEnabled(hWnd) && nType != BS_GROUPBOX)
            Click(hWnd, state);
        return 0;
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}
