#include "BarLayout.h"

void AlignBarToParent(HWND hWnd, int nHeight, bool bTopByDefault)
{
    LONG_PTR nStyle = GetWindowLongPtrA(hWnd, GWL_STYLE);
    HWND hParent = GetParent(hWnd);
    if ((nStyle & CCS_NORESIZE) || !(nStyle & WS_CHILD) || !hParent)
        return;
    RECT rcNow{};
    GetWindowRect(hWnd, &rcNow);
    MapWindowPoints(nullptr, hParent, reinterpret_cast<POINT*>(&rcNow), 2);
    RECT rc{rcNow.left, rcNow.top, rcNow.right, rcNow.top + nHeight};
    if (!(nStyle & CCS_NOPARENTALIGN))
    {
        RECT rcParent{};
        GetClientRect(hParent, &rcParent);
        LONG_PTR nAlign = nStyle & CCS_BOTTOM;
        bool bTop = nAlign == CCS_TOP || nAlign == CCS_NOMOVEY || (nAlign == 0 && bTopByDefault);
        int y = nAlign == CCS_NOMOVEY ? rcNow.top : bTop ? 0 : rcParent.bottom - nHeight;
        rc = RECT{0, y, rcParent.right, y + nHeight};
    }
    if (!EqualRect(&rc, &rcNow))
        SetWindowPos(hWnd, nullptr, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
}
