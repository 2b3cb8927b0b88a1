#pragma once
// The modal about box of the Help menu (dialog 100): the program's name and version, and OK.
#include <mfc/afxwin.h>

class CAboutDlg : public CDialog
{
public:
    enum
    {
        IDD = 100
    };
    explicit CAboutDlg(CWnd* pParentWnd = nullptr) : CDialog(IDD, pParentWnd) {}

protected:
    void DoDataExchange(CDataExchange* pDX) override { CDialog::DoDataExchange(pDX); }
};
