#include "app/RenderWnd.h"

BEGIN_MESSAGE_MAP(CRenderWnd, CDockWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CRenderWnd::GoFullscreen()
{
    if (!m_hWnd)
        return;
    // On the desktop the window is a top-level one.
    ModifyStyle(WS_CHILD | WS_THICKFRAME, WS_POPUP);
    CWnd* pOldParent = CDockWnd::SetParent(CWnd::GetDesktopWindow());
    // Only a parent that outlives the wrapper the call returned is remembered (the view is one).
    m_pOldParent = pOldParent ? CWnd::FromHandlePermanent(pOldParent->m_hWnd) : nullptr;
    SetWindowPos(&CWnd::wndTopMost, 0, 0, FULL_SCREEN_WIDTH, FULL_SCREEN_HEIGHT, SWP_SHOWWINDOW);
}

void CRenderWnd::GoWindowed()
{
    if (!m_hWnd)
        return;
    // A parent that has gone meanwhile cannot take the window back.
    if (!m_pOldParent || !::IsWindow(m_pOldParent->m_hWnd))
        return;
    ModifyStyle(WS_POPUP, WS_CHILD | WS_THICKFRAME);
    CDockWnd::SetParent(m_pOldParent);
    m_pOldParent = nullptr;
    SetWindowPos(nullptr, 0, 0, WINDOWED_WIDTH, WINDOWED_HEIGHT, SWP_NOZORDER | SWP_SHOWWINDOW);
}

// The device's frames are the window's contents: painting only validates, and the background is
// never erased over a presented frame.
void CRenderWnd::OnPaint()
{
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
}

BOOL CRenderWnd::OnEraseBkgnd(CDC*)
{
    return TRUE;
}
