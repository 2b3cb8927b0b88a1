#include "mfc_gui/ColorPickerDlg.h"

BEGIN_MESSAGE_MAP(CColorPickerDlg, CDialog)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_PAINT()
    ON_CONTROL_RANGE(EN_CHANGE, IDC_PICKER_RED, IDC_PICKER_ALPHA, &CColorPickerDlg::OnEditChange)
END_MESSAGE_MAP()

CColorPickerDlg::CColorPickerDlg(COLORREF color, CWnd* pParent) : CColorPickerDlg(color, 255, pParent) {}

CColorPickerDlg::CColorPickerDlg(COLORREF color, int nAlpha, CWnd* pParent)
    : CDialog(IDD, pParent), m_Panel(color, nAlpha)
{
}

BOOL CColorPickerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_Panel.Init(this, true);
    return TRUE;
}

void CColorPickerDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_Panel.OnLButtonDown(point);
    CDialog::OnLButtonDown(nFlags, point);
}

void CColorPickerDlg::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_Panel.OnLButtonUp();
    CDialog::OnLButtonUp(nFlags, point);
}

void CColorPickerDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    m_Panel.OnMouseMove(point);
    CDialog::OnMouseMove(nFlags, point);
}

void CColorPickerDlg::OnSysColorChange()
{
    m_Panel.PreparePictures();
}

void CColorPickerDlg::OnPaint()
{
    CPaintDC dc(this);
    m_Panel.Paint(&dc);
}

void CColorPickerDlg::OnEditChange(UINT nId)
{
    m_Panel.OnEditChange(static_cast<int>(nId));
}
