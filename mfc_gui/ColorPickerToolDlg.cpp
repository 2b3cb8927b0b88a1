#include "mfc_gui/ColorPickerToolDlg.h"

#include <algorithm>

namespace
{
// A channel from 0 to 1 as 0 to 255, truncated.
int ToByte(float f)
{
    return static_cast<int>(std::clamp(f, 0.0f, 1.0f) * 255.0f);
}
}

BEGIN_MESSAGE_MAP(CColorPickerToolDlg, CBaseToolDlg)
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SYSCOLORCHANGE()
    ON_WM_PAINT()
    ON_CONTROL_RANGE(EN_CHANGE, IDC_PICKER_RED, IDC_PICKER_ALPHA, &CColorPickerToolDlg::OnEditChange)
    ON_BN_CLICKED(CColorPickerToolDlg::IDC_AUTO_CHANGE, &CColorPickerToolDlg::OnAutoChange)
    ON_BN_CLICKED(CColorPickerToolDlg::IDC_APPLY, &CColorPickerToolDlg::OnApply)
END_MESSAGE_MAP()

CColorPickerToolDlg::CColorPickerToolDlg(COLORREF color, int nAlpha, CWnd* pParent)
    : CBaseToolDlg(IDD, pParent), m_Panel(color, nAlpha)
{
}

CColorPickerToolDlg::CColorPickerToolDlg(COLORREF color, CWnd* pParent) : CColorPickerToolDlg(color, 255, pParent) {}

CColorPickerToolDlg::CColorPickerToolDlg(CWnd* pParent) : CColorPickerToolDlg(RGB(0, 0, 0), 255, pParent) {}

BOOL CColorPickerToolDlg::OnInitDialog()
{
    CBaseToolDlg::OnInitDialog();
    m_Panel.Init(this, false);
    m_bAutoChange = 1;
    UpdateData(FALSE);
    return TRUE;
}

void CColorPickerToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CBaseToolDlg::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_AUTO_CHANGE, m_bAutoChange);
}

BOOL CColorPickerToolDlg::SetColor(float fRed, float fGreen, float fBlue, float fAlpha)
{
    m_Panel.SetColor(RgbColor{ToByte(fRed), ToByte(fGreen), ToByte(fBlue)}, ToByte(fAlpha));
    if (m_hWnd)
    {
        Invalidate();
        UpdateWindow();
    }
    return TRUE;
}

BOOL CColorPickerToolDlg::GetColor(float* pRed, float* pGreen, float* pBlue, float* pAlpha) const
{
    const RgbColor& rgb = m_Panel.GetRgb();
    *pRed = static_cast<float>(rgb.r / 255.0);
    *pGreen = static_cast<float>(rgb.g / 255.0);
    *pBlue = static_cast<float>(rgb.b / 255.0);
    *pAlpha = static_cast<float>(m_Panel.GetAlpha() / 255.0);
    return TRUE;
}

BOOL CColorPickerToolDlg::Apply()
{
    if (!m_pBoundColor)
        return FALSE;
    CWnd* pTarget = m_pOwnerWnd ? m_pOwnerWnd : GetParent();
    if (!pTarget)
        return FALSE;
    pTarget->SendMessage(WM_COLORPICKER_APPLY, reinterpret_cast<WPARAM>(m_pBoundColor), reinterpret_cast<LPARAM>(this));
    return TRUE;
}

void CColorPickerToolDlg::OnApply()
{
    Apply();
}

void CColorPickerToolDlg::OnAutoChange()
{
    UpdateData(TRUE);
}

void CColorPickerToolDlg::OnLButtonDown(UINT nFlags, CPoint point)
{
    // A step taken by the press itself applies like every later one.
    if (m_Panel.OnLButtonDown(point) && m_bAutoChange)
        Apply();
    CBaseToolDlg::OnLButtonDown(nFlags, point);
}

void CColorPickerToolDlg::OnLButtonUp(UINT nFlags, CPoint point)
{
    m_Panel.OnLButtonUp();
    CBaseToolDlg::OnLButtonUp(nFlags, point);
}

void CColorPickerToolDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_Panel.OnMouseMove(point) == CColorPickerPanel::HSB_STEP && m_bAutoChange)
        Apply();
    // The plain window's handling: this dialog does not open on a client mouse move.
    CWnd::OnMouseMove(nFlags, point);
}

void CColorPickerToolDlg::OnSysColorChange()
{
    m_Panel.PreparePictures();
}

void CColorPickerToolDlg::OnPaint()
{
    CPaintDC dc(this);
    m_Panel.Paint(&dc);
}

void CColorPickerToolDlg::OnEditChange(UINT nId)
{
    m_Panel.OnEditChange(static_cast<int>(nId));
}
