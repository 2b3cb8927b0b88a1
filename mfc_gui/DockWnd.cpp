#include "mfc_gui/DockWnd.h"

BEGIN_MESSAGE_MAP(CDockWnd, CWnd)
    ON_WM_MOVING()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_CREATE()
    ON_WM_NCHITTEST()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

void CDockWnd::UpdateReferenceRect()
{
    ReadReferenceRect();
}

CWnd* CDockWnd::SetParent(CWnd* pWndNewParent)
{
    if (pWndNewParent)
    {
        m_hWndReference = pWndNewParent->m_hWnd;
        ReadReferenceRect();
    }
    return CWnd::SetParent(pWndNewParent);
}

CBackgroundBitmap& CDockWnd::Background()
{
    if (!m_pBackground)
        m_pBackground = new CBackgroundBitmap;
    return *m_pBackground;
}

int CDockWnd::SetBackgroundFromFile(const char* szPath)
{
    return Background().LoadFromFile(szPath);
}

int CDockWnd::SetBackgroundFromResource(const char* szResource)
{
    return Background().LoadFromResource(szResource);
}

LRESULT CDockWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DISPLAYCHANGE)
        UpdateReferenceRect();
    return CWnd::WindowProc(message, wParam, lParam);
}

void CDockWnd::OnMoving(UINT fwSide, LPRECT pRect)
{
    CWnd::OnMoving(fwSide, pRect);
    Snap(pRect);
}

void CDockWnd::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    Grab(point);
    CWnd::OnNcLButtonDown(nHitTest, point);
}

int CDockWnd::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    TakeReference(lpCreateStruct->hwndParent);
    return 0;
}

LRESULT CDockWnd::OnNcHitTest(CPoint point)
{
    LRESULT nHit = CWnd::OnNcHitTest(point);
    return nHit == HTCLIENT && m_bDragByClient ? HTCAPTION : nHit;
}

BOOL CDockWnd::OnEraseBkgnd(CDC* pDC)
{
    return PaintBackground(pDC) || CWnd::OnEraseBkgnd(pDC);
}

void CDockWnd::OnDestroy()
{
    CWnd::OnDestroy();
    DeleteBackground();
}
