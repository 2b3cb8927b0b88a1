// Mouse input: the cursor, button state, hit-testing to client or non-client messages, double
// clicks, mouse activation and the capture.
#include "UserState.h"

#include <win32/clock.h>

#include <cstdlib>

namespace
{
// WM_xBUTTONDOWN / WM_xBUTTONUP by button (left, right, middle), and the button's virtual key.
struct ButtonInfo
{
    UINT m_nDown;
    UINT m_nUp;
    BYTE m_nVirtualKey;
};
const ButtonInfo BUTTONS[] = {
    {WM_LBUTTONDOWN, WM_LBUTTONUP, VK_LBUTTON},
    {WM_RBUTTONDOWN, WM_RBUTTONUP, VK_RBUTTON},
    {WM_MBUTTONDOWN, WM_MBUTTONUP, VK_MBUTTON},
};
// A client mouse message minus this is its non-client twin (WM_MOUSEMOVE -> WM_NCMOUSEMOVE).
const UINT CLIENT_TO_NONCLIENT = WM_MOUSEMOVE - WM_NCMOUSEMOVE;
// A button-down message plus this is its double click.
const UINT DOWN_TO_DBLCLK = WM_LBUTTONDBLCLK - WM_LBUTTONDOWN;

bool IsButtonDown(UINT nMessage)
{
    return nMessage == WM_LBUTTONDOWN || nMessage == WM_RBUTTONDOWN || nMessage == WM_MBUTTONDOWN;
}

WPARAM MouseKeyFlags()
{
    const BYTE* keys = User().m_AsyncKeyState;
    return ((keys[VK_LBUTTON] & 0x80) ? MK_LBUTTON : 0) | ((keys[VK_RBUTTON] & 0x80) ? MK_RBUTTON : 0) |
           ((keys[VK_MBUTTON] & 0x80) ? MK_MBUTTON : 0) | ((keys[VK_SHIFT] & 0x80) ? MK_SHIFT : 0) |
           ((keys[VK_CONTROL] & 0x80) ? MK_CONTROL : 0);
}

void QueueMouse(UINT nMessage, POINT pt)
{
    InputEvent event;
    event.m_nMessage = nMessage;
    event.m_wParam = MouseKeyFlags();
    event.m_pt = pt;
    event.m_nTime = timeGetTime();
    User().m_Input.push_back(event);
}

// A second press of the same button on the same window within the double-click time and
// distance, on a class that asks for double clicks.
bool IsDoubleClick(HWND hWnd, UINT nMessage, const InputEvent& event)
{
    const UserState& state = User();
    Window* pWnd = FindWindowObject(hWnd);
    return pWnd && pWnd->m_pClass && (pWnd->m_pClass->m_nStyle & CS_DBLCLKS) && state.m_hLastClick == hWnd &&
           state.m_nLastClickMessage == nMessage && event.m_nTime - state.m_nLastClickTime <= GetDoubleClickTime() &&
           std::abs(event.m_pt.x - state.m_ptLastClick.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
           std::abs(event.m_pt.y - state.m_ptLastClick.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
}
}

namespace win32
{
void InjectMouseMove(POINT ptScreen)
{
    User().m_ptCursor = ptScreen;
    QueueMouse(WM_MOUSEMOVE, ptScreen);
}

void InjectMouseButton(int nButton, bool bDown, POINT ptScreen)
{
    if (nButton < 0 || nButton > 2)
        return;
    UserState& state = User();
    state.m_ptCursor = ptScreen;
    const ButtonInfo& b = BUTTONS[nButton];
    BYTE& key = state.m_AsyncKeyState[b.m_nVirtualKey];
    key = static_cast<BYTE>(bDown ? (key | 0x80) : (key & ~0x80));
    QueueMouse(bDown ? b.m_nDown : b.m_nUp, ptScreen);
}
}

bool ConvertMouseInput(const InputEvent& event, MSG& msg)
{
    UserState& state = User();
    LPARAM screen = MAKELPARAM(event.m_pt.x, event.m_pt.y);
    HWND hTarget = IsWindow(state.m_hCapture) ? state.m_hCapture : WindowFromPoint(event.m_pt);
    if (!hTarget)
        return false;
    LRESULT nHit = HTCLIENT;
    if (hTarget != state.m_hCapture)
    {
        // A transparent window lets the point through to its parent.
        while ((nHit = SendMessageA(hTarget, WM_NCHITTEST, 0, screen)) == HTTRANSPARENT && GetParent(hTarget) &&
               (GetWindowLongPtrA(hTarget, GWL_STYLE) & WS_CHILD))
            hTarget = GetParent(hTarget);
    }
    UINT nMessage = event.m_nMessage;
    if (nHit == HTCLIENT)
    {
        if (IsButtonDown(nMessage) && IsDoubleClick(hTarget, nMessage, event))
            nMessage += DOWN_TO_DBLCLK;
        POINT pt = event.m_pt;
        ScreenToClient(hTarget, &pt);
        msg = MSG{hTarget, nMessage, event.m_wParam, MAKELPARAM(pt.x, pt.y), event.m_nTime, event.m_pt};
    }
    else
        msg = MSG{hTarget, nMessage - CLIENT_TO_NONCLIENT, static_cast<WPARAM>(nHit), screen, event.m_nTime, event.m_pt};
    return true;
}

void ApplyTakenMouse(const MSG& msg)
{
    UserState& state = User();
    UINT nClient = msg.message < WM_MOUSEFIRST ? msg.message + CLIENT_TO_NONCLIENT : msg.message;
    LRESULT nHit = msg.message < WM_MOUSEFIRST ? static_cast<LRESULT>(msg.wParam) : HTCLIENT;
    // The window under an uncaptured mouse chooses the cursor before it gets the message.
    if (msg.hwnd != state.m_hCapture)
        SendSetCursor(msg.hwnd, nHit, nClient);
    bool bDouble = nClient == WM_LBUTTONDBLCLK || nClient == WM_RBUTTONDBLCLK || nClient == WM_MBUTTONDBLCLK;
    if (!IsButtonDown(nClient) && !bDouble)
        return;
    // A double click starts counting afresh, so a third press is a single click again.
    state.m_hLastClick = bDouble ? nullptr : msg.hwnd;
    state.m_nLastClickMessage = nClient;
    state.m_nLastClickTime = msg.time;
    state.m_ptLastClick = msg.pt;
    HWND hTop = GetAncestor(msg.hwnd, GA_ROOT);
    if (hTop && hTop != state.m_hActive)
    {
        LRESULT r = SendMessageA(msg.hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(hTop), MAKELPARAM(nHit, nClient));
        if (r == MA_ACTIVATE || r == MA_ACTIVATEANDEAT)
            ActivateWindow(hTop, true);
    }
}

BOOL SetCursorPos(int X, int Y)
{
    // Moving the cursor produces one WM_MOUSEMOVE, as a real pointer would.
    win32::InjectMouseMove(POINT{X, Y});
    return TRUE;
}

BOOL GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint)
        return FALSE;
    *lpPoint = User().m_ptCursor;
    return TRUE;
}

HWND SetCapture(HWND hWnd)
{
    UserState& state = User();
    HWND hOld = state.m_hCapture;
    if (!IsWindow(hWnd) || hOld == hWnd)
        return hOld;
    state.m_hCapture = hWnd;
    if (IsWindow(hOld))
        SendMessageA(hOld, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hWnd));
    return hOld;
}

BOOL ReleaseCapture()
{
    UserState& state = User();
    HWND hOld = state.m_hCapture;
    state.m_hCapture = nullptr;
    if (IsWindow(hOld))
        SendMessageA(hOld, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

HWND GetCapture()
{
    HWND h = User().m_hCapture;
    return IsWindow(h) ? h : nullptr;
}
