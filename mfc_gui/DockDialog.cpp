#include "mfc_gui/DockDialog.h"

BEGIN_MESSAGE_MAP(CDockDialog, CDialog)
    ON_WM_MOVING()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_CREATE()
    ON_WM_NCHITTEST()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CDockDialog::CDockDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

void CDockDialog::UpdateReferenceRect()
{
    ReadReferenceRect();
}

CWnd* CDockDialog::SetParent(CWnd* pWndNewParent)
{
    if (pWndNewParent)
    {
        m_hWndReference = pWndNewParent->m_hWnd;
        ReadReferenceRect();
    }
    return CWnd::SetParent(pWndNewParent);
}

void CDockDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

LRESULT CDockDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DISPLAYCHANGE)
        UpdateReferenceRect();
    return CDialog::WindowProc(message, wParam, lParam);
}

void CDockDialog::OnMoving(UINT fwSide, LPRECT pRect)
{
    CDialog::OnMoving(fwSide, pRect);
    Snap(pRect);
}

void CDockDialog::OnNcLButtonDown(UINT nHitTest, CPoint point)
{
    Grab(point);
    CDialog::OnNcLButtonDown(nHitTest, point);
}

int CDockDialog::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CDialog::OnCreate(lpCreateStruct) == -1)
        return -1;
    TakeReference(lpCreateStruct->hwndParent);
    return 0;
}

// The tool dialogs have no caption: a press anywhere in the client area moves them.
LRESULT CDockDialog::OnNcHitTest(CPoint point)
{
    LRESULT nHit = CDialog::OnNcHitTest(point);
    return nHit == HTCLIENT ? HTCAPTION : nHit;
}

BOOL CDockDialog::OnEraseBkgnd(CDC* pDC)
{
    return PaintBackground(pDC) || CDialog::OnEraseBkgnd(pDC);
}

void CDockDialog::OnDestroy()
{
    CDialog::OnDestroy();
    DeleteBackground();
}
