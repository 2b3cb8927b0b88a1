#pragma once
// The roll-up colour picker tool window (dialog 220): the hue and saturation wheel with its
// brightness bar, the seven edit fields and the two swatches of the modal picker, without the
// cube, editing one RGBA colour that its owner keeps as four floats from 0 to 1.
//
// The owner binds a colour with SetColor and m_pBoundColor; "Apply" sends WM_COLORPICKER_APPLY
// (wParam the bound colour, lParam this dialog) to m_pOwnerWnd, else to the parent, which reads
// the colour back with GetColor. With "Auto Change" checked (the default) every step of a drag in
// the wheel or the bar applies; typed values wait for "Apply".
#include "mfc_gui/BaseToolDlg.h"
#include "mfc_gui/ColorPickerPanel.h"
#include "mfc_gui/TreeMessages.h"

class CBaseTreeCtrlItem;

class CColorPickerToolDlg : public CBaseToolDlg
{
public:
    enum
    {
        IDD = 220,
        IDC_APPLY = 2010,
        IDC_AUTO_CHANGE = 2030,
    };
    CColorPickerToolDlg(COLORREF color, int nAlpha, CWnd* pParent);
    CColorPickerToolDlg(COLORREF color, CWnd* pParent);
    explicit CColorPickerToolDlg(CWnd* pParent);

    // Channels from 0 to 1 (clamped), shown as the old colour too.
    BOOL SetColor(float fRed, float fGreen, float fBlue, float fAlpha);
    BOOL GetColor(float* pRed, float* pGreen, float* pBlue, float* pAlpha) const;
    // Sends the colour to the owner; FALSE without a bound colour or anyone to send it to.
    BOOL Apply();
    void SetAlpha(int nAlpha) { m_Panel.SetAlpha(nAlpha); }
    int GetAlpha() const { return m_Panel.GetAlpha(); }
    int GetRed() const { return m_Panel.GetRgb().r; }
    int GetGreen() const { return m_Panel.GetRgb().g; }
    int GetBlue() const { return m_Panel.GetRgb().b; }
    CColorPickerPanel& GetPanel() { return m_Panel; }

    float* m_pBoundColor = nullptr;
    CWnd* m_pOwnerWnd = nullptr;
    CBaseTreeCtrlItem* m_pBoundItem = nullptr;
    int m_bAutoChange = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnSysColorChange();
    afx_msg void OnPaint();
    afx_msg void OnEditChange(UINT nId);
    afx_msg void OnAutoChange();
    afx_msg void OnApply();
    DECLARE_MESSAGE_MAP()

    CColorPickerPanel m_Panel;
};
