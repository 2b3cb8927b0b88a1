// Window DCs and the paint cycle: GetDC, GetWindowDC, BeginPaint and EndPaint, and the default
// WM_ERASEBKGND, which fills the client area with the class brush.
#include "Compositor.h"
#include "NonClient.h"
#include "WindowSurfaces.h"

#include "../gdi/DeviceContext.h"
#include "../user/UserState.h"

#include <win32/gdi.h>

namespace
{
HDC WindowDc(HWND hWnd, bool bWholeWindow)
{
    if (!hWnd)
    {
        // The screen: the composed desktop image.
        std::shared_ptr<Surface> pDesktop = ComposedDesktop();
        return win32::CreateSurfaceDC(pDesktop, POINT{0, 0}, {RECT{0, 0, pDesktop->m_nWidth, pDesktop->m_nHeight}}, nullptr);
    }
    VisibleArea area;
    POINT ptTop{};
    std::shared_ptr<Surface> pSurface = TopLevelSurface(hWnd, ptTop);
    if (!pSurface || !ComputeVisibleArea(hWnd, bWholeWindow, false, area))
        return nullptr;
    return win32::CreateSurfaceDC(pSurface, area.m_ptOrigin, area.m_Rects, hWnd);
}
}

HDC GetDC(HWND hWnd) { return WindowDc(hWnd, false); }
HDC GetWindowDC(HWND hWnd) { return WindowDc(hWnd, true); }

int ReleaseDC(HWND, HDC hDC)
{
    if (!FindDc(hDC))
        return 0;
    MarkDesktopDirty();
    return DeleteDC(hDC) ? 1 : 0;
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !lpPaint)
        return nullptr;
    bool bErase = pWnd->m_bErase;
    // The whole client area is the update region; validating it ends the WM_PAINT.
    ValidateRect(hWnd, nullptr);
    // Without WS_CLIPCHILDREN the parent draws over its children, which must then draw again
    // after it (a child that painted first would otherwise be lost under the parent).
    if (!(pWnd->m_nStyle & WS_CLIPCHILDREN))
        for (HWND hChild : pWnd->m_Children)
            if (IsWindowVisible(hChild))
                InvalidateRect(hChild, nullptr, TRUE);
    SendMessageA(hWnd, WM_NCPAINT, 1, 0);
    *lpPaint = PAINTSTRUCT{};
    lpPaint->hdc = GetDC(hWnd);
    GetClientRect(hWnd, &lpPaint->rcPaint);
    if (bErase)
        lpPaint->fErase = SendMessageA(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(lpPaint->hdc), 0) ? FALSE : TRUE;
    return lpPaint->hdc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint)
{
    if (!lpPaint)
        return FALSE;
    ReleaseDC(hWnd, lpPaint->hdc);
    return TRUE;
}

LRESULT DefaultEraseBackground(HWND hWnd, HDC hdc)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd || !pWnd->m_pClass || !pWnd->m_pClass->m_hbrBackground)
        return 0;
    RECT rc{};
    GetClientRect(hWnd, &rc);
    return FillRect(hdc, &rc, pWnd->m_pClass->m_hbrBackground) ? 1 : 0;
}
