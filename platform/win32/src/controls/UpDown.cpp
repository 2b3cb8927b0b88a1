// The up-down control: two arrow buttons that step a position within a range, optionally
// writing it into a buddy window as text (UDS_SETBUDDYINT) and taking the buddy's Up and Down
// keys (UDS_ARROWKEYS). Every step asks the parent through UDN_DELTAPOS, then reports with
// WM_VSCROLL (WM_HSCROLL under UDS_HORZ) and SB_THUMBPOSITION; releasing sends SB_ENDSCROLL.
#include "Controls.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <unordered_map>

namespace
{
struct UpDownState
{
    int m_nLower = 100;   // the range as created: from 100 down to 0
    int m_nUpper = 0;
    int m_nPos = 0;
    int m_nBase = 10;
    HWND m_hBuddy = nullptr;
    int m_nPressed = 0;   // +1: the up (right) arrow is held; -1: the down (left) arrow
};
ControlStore<UpDownState> g_UpDowns;

const UINT_PTR REPEAT_TIMER = 1;
const UINT FIRST_REPEAT_MS = 400;
const UINT REPEAT_MS = 100;

// Buddies whose keys an up-down control takes: the buddy, its up-down and its own procedure.
struct BuddyHook
{
    HWND m_hUpDown;
    WNDPROC m_pfnOld;
};
std::unordered_map<HWND, BuddyHook>& BuddyHooks()
{
    static std::unordered_map<HWND, BuddyHook> s_Hooks;
    return s_Hooks;
}

DWORD StyleOf(HWND hWnd)
{
    return static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
}

int Clamp(const UpDownState& s, int nPos)
{
    return std::clamp(nPos, std::min(s.m_nLower, s.m_nUpper), std::max(s.m_nLower, s.m_nUpper));
}

std::string Format(HWND hWnd, const UpDownState& s, int nPos)
{
    if (s.m_nBase == 16)
    {
        char text[16];
        std::snprintf(text, sizeof(text), "0x%04X", static_cast<unsigned>(nPos));
        return text;
    }
    std::string digits = std::to_string(nPos < 0 ? -static_cast<long long>(nPos) : nPos);
    bool bGroups = !(StyleOf(hWnd) & UDS_NOTHOUSANDS);
    std::string out = nPos < 0 ? "-" : "";
    for (size_t i = 0; i < digits.size(); ++i)
    {
        if (bGroups && i > 0 && (digits.size() - i) % 3 == 0)
            out.push_back(',');
        out.push_back(digits[i]);
    }
    return out;
}

// The buddy's number; false when its text is not one.
bool ReadBuddy(const UpDownState& s, int& nValue)
{
    char text[64] = {};
    GetWindowTextA(s.m_hBuddy, text, sizeof(text));
    std::string digits;
    for (const char* p = text; *p; ++p)
        if (*p != ',' && *p != ' ')
            digits += *p;
    if (digits.empty())
        return false;
    char* pEnd = nullptr;
    long nRead = std::strtol(digits.c_str(), &pEnd, s.m_nBase == 16 ? 16 : 10);
    if (*pEnd)
        return false;
    nValue = static_cast<int>(nRead);
    return true;
}

void SetPos(HWND hWnd, UpDownState& s, int nPos)
{
    s.m_nPos = Clamp(s, nPos);
    if ((StyleOf(hWnd) & UDS_SETBUDDYINT) && IsWindow(s.m_hBuddy))
        SetWindowTextA(s.m_hBuddy, Format(hWnd, s, s.m_nPos).c_str());
}

void SendScroll(HWND hWnd, const UpDownState& s, WORD nCode)
{
    SendMessageA(GetParent(hWnd), (StyleOf(hWnd) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL,
                 MAKEWPARAM(nCode, static_cast<WORD>(s.m_nPos)), reinterpret_cast<LPARAM>(hWnd));
}

// One step towards the upper bound (nDirection +1) or the lower one (-1).
void Step(HWND hWnd, UpDownState& s, int nDirection)
{
    if (!IsWindowEnabled(hWnd))
        return;
    if ((StyleOf(hWnd) & UDS_SETBUDDYINT) && IsWindow(s.m_hBuddy))
    {
        int nValue = 0;
        if (ReadBuddy(s, nValue))
            s.m_nPos = Clamp(s, nValue);
    }
    int nDelta = s.m_nUpper >= s.m_nLower ? nDirection : -nDirection;
    NMUPDOWN nm{{}, s.m_nPos, nDelta};
    if (NotifyParentNm(hWnd, UDN_DELTAPOS, &nm.hdr))
        return;
    int nLow = std::min(s.m_nLower, s.m_nUpper), nHigh = std::max(s.m_nLower, s.m_nUpper);
    int nNew = s.m_nPos + nm.iDelta;
    if (StyleOf(hWnd) & UDS_WRAP)
        nNew = nNew > nHigh ? nLow : nNew < nLow ? nHigh : nNew;
    int nOld = s.m_nPos;
    SetPos(hWnd, s, nNew);
    if (s.m_nPos != nOld || (StyleOf(hWnd) & UDS_WRAP))
        SendScroll(hWnd, s, SB_THUMBPOSITION);
}

LRESULT CALLBACK BuddyProc(HWND hBuddy, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    auto it = BuddyHooks().find(hBuddy);
    if (it == BuddyHooks().end())
        return DefWindowProcA(hBuddy, nMessage, wParam, lParam);
    BuddyHook hook = it->second;
    if (nMessage == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN))
        if (UpDownState* s = g_UpDowns.Find(hook.m_hUpDown))
        {
            Step(hook.m_hUpDown, *s, wParam == VK_UP ? 1 : -1);
            return 0;
        }
    if (nMessage == WM_NCDESTROY)
        BuddyHooks().erase(hBuddy);
    return CallWindowProcA(hook.m_pfnOld, hBuddy, nMessage, wParam, lParam);
}

void Unhook(HWND hBuddy)
{
    auto it = BuddyHooks().find(hBuddy);
    if (it == BuddyHooks().end())
        return;
    if (IsWindow(hBuddy) && GetWindowLongPtrA(hBuddy, GWL_WNDPROC) == reinterpret_cast<LONG_PTR>(BuddyProc))
        SetWindowLongPtrA(hBuddy, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(it->second.m_pfnOld));
    BuddyHooks().erase(it);
}

// Takes a buddy: places itself at its edge (UDS_ALIGNRIGHT/LEFT), takes its keys and shows the
// position in it.
HWND SetBuddy(HWND hWnd, UpDownState& s, HWND hBuddy)
{
    HWND hOld = s.m_hBuddy;
    if (hOld)
        Unhook(hOld);
    s.m_hBuddy = IsWindow(hBuddy) ? hBuddy : nullptr;
    if (!s.m_hBuddy)
        return hOld;
    DWORD nStyle = StyleOf(hWnd);
    if (nStyle & (UDS_ALIGNRIGHT | UDS_ALIGNLEFT))
    {
        RECT rcBuddy, rcSelf;
        GetWindowRect(s.m_hBuddy, &rcBuddy);
        GetWindowRect(hWnd, &rcSelf);
        MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rcBuddy), 2);
        int cx = rcSelf.right - rcSelf.left;
        int cyBuddy = rcBuddy.bottom - rcBuddy.top;
        int cxBuddy = std::max(0, rcBuddy.right - rcBuddy.left - cx);
        if (nStyle & UDS_ALIGNRIGHT)
        {
            MoveWindow(s.m_hBuddy, rcBuddy.left, rcBuddy.top, cxBuddy, cyBuddy, TRUE);
            MoveWindow(hWnd, rcBuddy.left + cxBuddy, rcBuddy.top, cx, cyBuddy, TRUE);
        }
        else
        {
            MoveWindow(hWnd, rcBuddy.left, rcBuddy.top, cx, cyBuddy, TRUE);
            MoveWindow(s.m_hBuddy, rcBuddy.left + cx, rcBuddy.top, cxBuddy, cyBuddy, TRUE);
        }
    }
    if (nStyle & UDS_ARROWKEYS)
    {
        auto pfnOld = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(s.m_hBuddy, GWL_WNDPROC));
        BuddyHooks()[s.m_hBuddy] = BuddyHook{hWnd, pfnOld};
        SetWindowLongPtrA(s.m_hBuddy, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(BuddyProc));
    }
    if (nStyle & UDS_SETBUDDYINT)
        SetPos(hWnd, s, s.m_nPos);
    return hOld;
}

void DrawArrowButton(HDC hdc, RECT rc, bool bUp, bool bHorizontal, bool bPressed, bool bEnabled)
{
    FillRect(hdc, &rc, GetSysColorBrush(COLOR_3DFACE));
    DrawEdge(hdc, &rc, bPressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    int cx = (rc.left + rc.right) / 2 + (bPressed ? 1 : 0), cy = (rc.top + rc.bottom) / 2 + (bPressed ? 1 : 0);
    HBRUSH hBrush = GetSysColorBrush(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    // A triangle of three rows (5, 3 and 1 pixels).
    for (int i = 0; i < 3; ++i)
    {
        RECT r{};
        if (!bHorizontal)
            r = bUp ? RECT{cx - i, cy - 1 + i, cx + i + 1, cy + i} : RECT{cx - 2 + i, cy - 1 + i, cx + 3 - i, cy + i};
        else
            r = bUp ? RECT{cx - 1 + i, cy - 2 + i, cx + i, cy + 3 - i} : RECT{cx - 1 + i, cy - i, cx + i, cy + i + 1};
        FillRect(hdc, &r, hBrush);
    }
}

// The two halves: the up (or right) button first.
void Halves(HWND hWnd, RECT& rcUp, RECT& rcDown)
{
    RECT rc;
    GetClientRect(hWnd, &rc);
    rcUp = rcDown = rc;
    if (StyleOf(hWnd) & UDS_HORZ)
    {
        rcDown.right = rcUp.left = (rc.left + rc.right) / 2;
    }
    else
        rcUp.bottom = rcDown.top = (rc.top + rc.bottom) / 2;
}

void Paint(HWND hWnd, HDC hdc, const UpDownState& s)
{
    RECT rcUp, rcDown;
    Halves(hWnd, rcUp, rcDown);
    bool bHorizontal = (StyleOf(hWnd) & UDS_HORZ) != 0;
    bool bEnabled = IsWindowEnabled(hWnd);
    DrawArrowButton(hdc, rcUp, true, bHorizontal, s.m_nPressed > 0, bEnabled);
    DrawArrowButton(hdc, rcDown, false, bHorizontal, s.m_nPressed < 0, bEnabled);
}
}

LRESULT CALLBACK UpDownWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        g_UpDowns.Make(hWnd);
    UpDownState* pState = g_UpDowns.Find(hWnd);
    if (!pState)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    UpDownState& s = *pState;
    switch (nMessage)
    {
    case WM_CREATE:
        if (StyleOf(hWnd) & UDS_AUTOBUDDY)
            SetBuddy(hWnd, s, PreviouslyCreatedSibling(hWnd));
        return 0;
    case WM_DESTROY:
        if (s.m_hBuddy)
            Unhook(s.m_hBuddy);
        return 0;
    case WM_NCDESTROY:
        g_UpDowns.Drop(hWnd);
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: return PaintControl(hWnd, [&](HDC hdc) { Paint(hWnd, hdc, s); });
    case WM_ENABLE:
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    {
        RECT rcUp, rcDown;
        Halves(hWnd, rcUp, rcDown);
        s.m_nPressed = PtInRect(&rcUp, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) ? 1 : -1;
        SetCapture(hWnd);
        RedrawNow(hWnd);
        Step(hWnd, s, s.m_nPressed);
        SetTimer(hWnd, REPEAT_TIMER, FIRST_REPEAT_MS, nullptr);
        return 0;
    }
    case WM_TIMER:
        if (wParam == REPEAT_TIMER && s.m_nPressed)
        {
            SetTimer(hWnd, REPEAT_TIMER, REPEAT_MS, nullptr);
            Step(hWnd, s, s.m_nPressed);
        }
        return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        if (s.m_nPressed)
        {
            s.m_nPressed = 0;
            KillTimer(hWnd, REPEAT_TIMER);
            if (GetCapture() == hWnd)
                ReleaseCapture();
            RedrawNow(hWnd);
            SendScroll(hWnd, s, SB_ENDSCROLL);
        }
        return 0;
    case UDM_SETRANGE:
        s.m_nUpper = static_cast<SHORT>(LOWORD(lParam));
        s.m_nLower = static_cast<SHORT>(HIWORD(lParam));
        s.m_nPos = Clamp(s, s.m_nPos);
        return 0;
    case UDM_GETRANGE:
        return MAKELONG(static_cast<WORD>(s.m_nUpper), static_cast<WORD>(s.m_nLower));
    case UDM_SETRANGE32:
        s.m_nLower = static_cast<int>(wParam);
        s.m_nUpper = static_cast<int>(lParam);
        s.m_nPos = Clamp(s, s.m_nPos);
        return 0;
    case UDM_GETRANGE32:
        if (wParam)
            *reinterpret_cast<int*>(wParam) = s.m_nLower;
        if (lParam)
            *reinterpret_cast<int*>(lParam) = s.m_nUpper;
        return 0;
    case UDM_SETPOS:
    case UDM_SETPOS32:
    {
        int nOld = s.m_nPos;
        SetPos(hWnd, s, nMessage == UDM_SETPOS ? static_cast<SHORT>(LOWORD(lParam)) : static_cast<int>(lParam));
        return nOld;
    }
    case UDM_GETPOS:
    case UDM_GETPOS32:
    {
        // With a number buddy, the buddy's text is the position.
        bool bError = false;
        if ((StyleOf(hWnd) & UDS_SETBUDDYINT) && IsWindow(s.m_hBuddy))
        {
            int nValue = 0;
            bError = !ReadBuddy(s, nValue);
            if (!bError)
                s.m_nPos = Clamp(s, nValue);
        }
        if (nMessage == UDM_GETPOS32)
        {
            if (lParam)
                *reinterpret_cast<BOOL*>(lParam) = bError;
            return s.m_nPos;
        }
        return MAKELONG(static_cast<WORD>(s.m_nPos), bError ? 1 : 0);
    }
    case UDM_SETBUDDY:
        return reinterpret_cast<LRESULT>(SetBuddy(hWnd, s, reinterpret_cast<HWND>(wParam)));
    case UDM_GETBUDDY:
        return reinterpret_cast<LRESULT>(s.m_hBuddy);
    case UDM_SETBASE:
    {
        int nOld = s.m_nBase;
        if (wParam != 10 && wParam != 16)
            return 0;
        s.m_nBase = static_cast<int>(wParam);
        return nOld;
    }
    case UDM_GETBASE:
        return s.m_nBase;
    default:
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    }
}
