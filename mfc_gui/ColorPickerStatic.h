#pragma once
// A small colour well: it paints itself in its colour and, when enabled, opens the colour picker
// on a left click and takes the colour chosen there. Create it with SS_NOTIFY so that it hears
// clicks. The colour painted is recomputed from the channels at each click.
#include <mfc/afxwin.h>

class CColorPickerStatic : public CStatic
{
public:
    CColorPickerStatic() = default;

    // Each value must lie in 0 to 255; otherwise nothing changes.
    void SetColor(int nRed, int nGreen, int nBlue, int nAlpha);
    void SetRed(int nRed);
    void SetGreen(int nGreen);
    void SetBlue(int nBlue);
    void SetAlpha(int nAlpha);
    void EnablePicker(BOOL bEnable) { m_bPickerEnabled = bEnable; }
    COLORREF GetColor() const { return m_crColor; }
    int GetRed() const { return m_nRed; }
    int GetGreen() const { return m_nGreen; }
    int GetBlue() const { return m_nBlue; }
    int GetAlpha() const { return m_nAlpha; }

protected:
    // Runs the picker; the dialog's own DoModal, so that tests can answer it.
    virtual INT_PTR RunPicker(class CColorPickerDlg& dlg);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    BOOL m_bPickerEnabled = FALSE;
    COLORREF m_crColor = 0;
    int m_nRed = 0;
    int m_nGreen = 0;
    int m_nBlue = 0;
    int m_nAlpha = 255;
};
