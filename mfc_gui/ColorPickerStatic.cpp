#include "mfc_gui/ColorPickerStatic.h"

#include "mfc_gui/ColorPickerDlg.h"

namespace
{
bool InRange(int n)
{
    return n >= 0 && n <= 255;
}
}

BEGIN_MESSAGE_MAP(CColorPickerStatic, CStatic)
    ON_WM_LBUTTONDOWN()
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CColorPickerStatic::SetColor(int nRed, int nGreen, int nBlue, int nAlpha)
{
    if (!InRange(nRed) || !InRange(nGreen) || !InRange(nBlue) || !InRange(nAlpha))
        return;
    m_nRed = nRed;
    m_nGreen = nGreen;
    m_nBlue = nBlue;
    m_nAlpha = nAlpha;
}

void CColorPickerStatic::SetRed(int nRed)
{
    if (InRange(nRed))
        m_nRed = nRed;
}

void CColorPickerStatic::SetGreen(int nGreen)
{
    if (InRange(nGreen))
        m_nGreen = nGreen;
}

void CColorPickerStatic::SetBlue(int nBlue)
{
    if (InRange(nBlue))
        m_nBlue = nBlue;
}

void CColorPickerStatic::SetAlpha(int nAlpha)
{
    if (InRange(nAlpha))
        m_nAlpha = nAlpha;
}

INT_PTR CColorPickerStatic::RunPicker(CColorPickerDlg& dlg)
{
    return dlg.DoModal();
}

void CColorPickerStatic::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_crColor = RGB(m_nRed, m_nGreen, m_nBlue);
    if (m_bPickerEnabled)
    {
        CColorPickerDlg dlg(m_crColor, m_nAlpha, nullptr);
        if (RunPicker(dlg) == IDOK)
        {
            m_crColor = dlg.GetColor();
            m_nRed = dlg.GetRed();
            m_nBlue = dlg.GetBlue();
            m_nGreen = dlg.GetGreen();
            m_nAlpha = dlg.GetAlpha();
            Invalidate();
            UpdateWindow();
        }
    }
    CStatic::OnLButtonDown(nFlags, point);
}

void CColorPickerStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    // The 4 pixels along the right and bottom edges are left as they are.
    CBrush brush(m_crColor);
    CRect rcFill(0, 0, rc.Width() - 4, rc.Height() - 4);
    dc.FillRect(&rcFill, &brush);
}
