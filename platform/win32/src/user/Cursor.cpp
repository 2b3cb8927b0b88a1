// The current cursor and WM_SETCURSOR: the window under the mouse chooses the cursor before
// each mouse message it gets, unless the mouse is captured.
#include "UserState.h"

#include <win32/cursor.h>

HCURSOR SetCursor(HCURSOR hCursor)
{
    HCURSOR hPrevious = User().m_hCursor;
    User().m_hCursor = hCursor;
    return hPrevious;
}

HCURSOR GetCursor()
{
    return User().m_hCursor;
}

void SendSetCursor(HWND hWnd, LRESULT nHit, UINT nMouseMessage)
{
    SendMessageA(hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hWnd),
                 MAKELPARAM(static_cast<WORD>(nHit), static_cast<WORD>(nMouseMessage)));
}

LRESULT DefaultSetCursor(HWND hWnd, WPARAM wParam, LPARAM lParam)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return FALSE;
    // A child's parent may choose first (a dialog for its controls, say).
    if ((pWnd->m_nStyle & WS_CHILD) && SendMessageA(pWnd->m_hParent, WM_SETCURSOR, wParam, lParam))
        return TRUE;
    const short nHit = static_cast<short>(LOWORD(lParam));
    if (nHit == HTERROR)
        return FALSE;
    if (nHit == HTCLIENT)
    {
        if (pWnd->m_pClass && pWnd->m_pClass->m_hCursor)
            SetCursor(pWnd->m_pClass->m_hCursor);
        return FALSE;
    }
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    return FALSE;
}
