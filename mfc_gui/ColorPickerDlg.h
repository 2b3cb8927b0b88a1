#pragma once
// The modal colour chooser (dialog 153, "Color Picker"): the same colour in an RGB cube with a
// handle on each axis and in a hue and saturation wheel with a brightness bar, seven edit fields
// (red, green, blue, hue, saturation, brightness, alpha), and the old and new colour swatches.
// Alpha is only carried. After DoModal the caller reads the values and decides by the result.
#include "mfc_gui/ColorPickerPanel.h"

#include <mfc/afxdialog.h>

class CColorPickerDlg : public CDialog
{
public:
    enum
    {
        IDD = 153
    };
    explicit CColorPickerDlg(COLORREF color, CWnd* pParent = nullptr);
    CColorPickerDlg(COLORREF color, int nAlpha, CWnd* pParent);

    int GetRed() const { return m_Panel.GetRgb().r; }
    int GetGreen() const { return m_Panel.GetRgb().g; }
    int GetBlue() const { return m_Panel.GetRgb().b; }
    int GetAlpha() const { return m_Panel.GetAlpha(); }
    COLORREF GetColor() const { return RgbToColorref(m_Panel.GetRgb()); }
    void SetAlpha(int nAlpha) { m_Panel.SetAlpha(nAlpha); }
    CColorPickerPanel& GetPanel() { return m_Panel; }

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg void OnPaint();
    afx_msg void OnEditChange(UINT nId);
    DECLARE_MESSAGE_MAP()

    CColorPickerPanel m_Panel;
};
