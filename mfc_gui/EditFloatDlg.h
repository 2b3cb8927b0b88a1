#pragma once
// The modal "Edit the value" dialog (dialog 7001): shows a float's current value read-only
// beside an edit for the new one, and writes the new value through the bound pointer on OK.
#include <mfc/afxwin.h>

class CEditFloatDlg : public CDialog
{
public:
    enum
    {
        IDD = 7001
    };
    static constexpr int IDC_PREVIOUS = 7000;
    static constexpr int IDC_NEW = 7001;

    explicit CEditFloatDlg(CWnd* pParentWnd = nullptr) : CDialog(IDD, pParentWnd) {}

    // Binds the value to edit; both fields start at its current value. 0 for null, which leaves
    // the dialog unbound (OK then stores nothing).
    int SetValue(float* pValue);

    float m_fNewValue = 0.0f;
    float m_fPrevValue = 0.0f;
    float* m_pValue = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Reads the new value once: a number is stored and ends the dialog; anything else shows
    // "Please enter a number." and keeps the dialog open with the bound value untouched.
    void OnOK() override;
};
