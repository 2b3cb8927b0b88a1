// ScrollWindow: the children move with the content, and the client area is painted again.
#include "UserState.h"

#include <win32/scrollwindow.h>
#include <win32/user.h>

BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, const RECT* lpRect, const RECT*)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return FALSE;
    if (!lpRect)
    {
        // A copy: moving a child may change the list.
        const std::vector<HWND> children = pWnd->m_Children;
        for (HWND hChild : children)
        {
            RECT rc{};
            GetWindowRect(hChild, &rc);
            POINT pt{rc.left, rc.top};
            ScreenToClient(hWnd, &pt);
            SetWindowPos(hChild, nullptr, pt.x + XAmount, pt.y + YAmount, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
    InvalidateRect(hWnd, nullptr, TRUE);
    return TRUE;
}
