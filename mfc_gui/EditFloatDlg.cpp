#include "mfc_gui/EditFloatDlg.h"

int CEditFloatDlg::SetValue(float* pValue)
{
    if (!pValue)
        return 0;
    m_pValue = pValue;
    m_fPrevValue = *pValue;
    m_fNewValue = *pValue;
    return 1;
}

void CEditFloatDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_NEW, m_fNewValue);
    DDX_Text(pDX, IDC_PREVIOUS, m_fPrevValue);
}

void CEditFloatDlg::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    if (m_pValue)
        *m_pValue = m_fNewValue;
    EndDialog(IDOK);
}
