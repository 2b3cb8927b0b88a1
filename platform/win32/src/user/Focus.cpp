// Keyboard focus, the active window and enabling.
#include "UserState.h"

#include <algorithm>

void ActivateWindow(HWND hWnd, bool bByMouse)
{
    UserState& state = User();
    HWND hOld = IsWindow(state.m_hActive) ? state.m_hActive : nullptr;
    if (hOld == hWnd)
        return;
    if (hOld)
    {
        SendMessageA(hOld, WM_NCACTIVATE, FALSE, 0);
        SendMessageA(hOld, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hWnd));
    }
    state.m_hActive = IsWindow(hWnd) ? hWnd : nullptr;
    if (!state.m_hActive)
    {
        SetFocus(nullptr);
        return;
    }
    // The active window comes to the top of its group.
    RestackWindow(FindWindowObject(hWnd), HWND_TOP);
    SendMessageA(hWnd, WM_NCACTIVATE, TRUE, 0);
    SendMessageA(hWnd, WM_ACTIVATE, MAKEWPARAM(bByMouse ? WA_CLICKACTIVE : WA_ACTIVE, 0), reinterpret_cast<LPARAM>(hOld));
}

void ActivateNextWindow(HWND hWnd)
{
    // The owner when it can take it, else the topmost visible, enabled top-level window.
    Window* pWnd = FindWindowObject(hWnd);
    auto usable = [&](HWND h) {
        Window* p = FindWindowObject(h);
        return h != hWnd && p && (p->m_nStyle & WS_VISIBLE) && !(p->m_nStyle & WS_DISABLED);
    };
    HWND hNext = pWnd && usable(pWnd->m_hOwner) ? pWnd->m_hOwner : nullptr;
    for (HWND h : DesktopObject()->m_Children)
        if (!hNext && usable(h))
            hNext = h;
    ActivateWindow(hNext, false);
}

HWND SetFocus(HWND hWnd)
{
    UserState& state = User();
    HWND hOld = IsWindow(state.m_hFocus) ? state.m_hFocus : nullptr;
    if (hWnd)
    {
        Window* pWnd = FindWindowObject(hWnd);
        if (!pWnd || pWnd == DesktopObject() || (pWnd->m_nStyle & WS_DISABLED))
            return nullptr;
        // Focusing a window of an inactive top-level window activates that window first.
        HWND hTop = GetAncestor(hWnd, GA_ROOT);
        if (hTop != state.m_hActive)
            ActivateWindow(hTop, false);
        hOld = IsWindow(state.m_hFocus) ? state.m_hFocus : nullptr;
    }
    if (hOld == hWnd)
        return hOld;
    state.m_hFocus = hWnd;
    if (hOld)
        SendMessageA(hOld, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hWnd), 0);
    if (hWnd && state.m_hFocus == hWnd)
        SendMessageA(hWnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(hOld), 0);
    return hOld;
}

HWND GetFocus()
{
    HWND h = User().m_hFocus;
    return IsWindow(h) ? h : nullptr;
}

HWND SetActiveWindow(HWND hWnd)
{
    HWND hOld = GetActiveWindow();
    Window* pWnd = FindWindowObject(hWnd);
    if (hWnd && (!pWnd || !IsTopLevel(pWnd)))
        return nullptr;
    ActivateWindow(hWnd, false);
    return hOld;
}

HWND GetActiveWindow()
{
    HWND h = User().m_hActive;
    return IsWindow(h) ? h : nullptr;
}

BOOL SetForegroundWindow(HWND hWnd)
{
    HWND hTop = GetAncestor(hWnd, GA_ROOT);
    if (!hTop)
        return FALSE;
    ActivateWindow(hTop, false);
    return TRUE;
}

HWND GetForegroundWindow()
{
    return GetActiveWindow();
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || pWnd == DesktopObject())
        return FALSE;
    BOOL bWasDisabled = (pWnd->m_nStyle & WS_DISABLED) != 0;
    if (bWasDisabled == !bEnable)
        return bWasDisabled;
    if (bEnable)
        pWnd->m_nStyle &= ~WS_DISABLED;
    else
    {
        pWnd->m_nStyle |= WS_DISABLED;
        // A disabled window gives up the focus and the capture.
        if (GetFocus() == hWnd || IsChild(hWnd, GetFocus()))
            SetFocus(nullptr);
        if (GetCapture() == hWnd)
            ReleaseCapture();
    }
    SendMessageA(hWnd, WM_ENABLE, bEnable ? TRUE : FALSE, 0);
    return bWasDisabled;
}

BOOL IsWindowEnabled(HWND hWnd)
{
    Window* pWnd = FindWindowObject(hWnd);
    return pWnd && !(pWnd->m_nStyle & WS_DISABLED);
}
