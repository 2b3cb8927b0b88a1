#pragma once
// CDialog over the window layer's dialog manager, modal and modeless, and the data exchange
// (DDX_) between a dialog's members and its controls.
//
// The object owns its dialog window from the window's first message: WM_CREATE and the other
// creation messages reach the message map, WM_INITDIALOG calls OnInitDialog. A failed exchange
// does not throw: the CDataExchange remembers the failure, the exchanges after it do nothing,
// and UpdateData returns FALSE.
#include <mfc/afxwnd.h>

#include <win32/dialogs.h>

class CDialog;

class CDataExchange
{
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    BOOL m_bSaveAndValidate;   // TRUE: controls to members; FALSE: members to controls
    CWnd* m_pDlgWnd;
    HWND m_idLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
    BOOL m_bFailed = FALSE;

    // The control nIDC, remembered as the one a failure gives the focus to; null (and the
    // exchange failed) when the dialog has no such control.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Ends the exchange: the last prepared control gets the focus, an edit with its text selected.
    void Fail();
};

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// Numbers: "%d" and "%.6g" into the control; back, surrounding blanks are accepted and empty
// text or anything after the number shows a message and fails the exchange.
void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void DDX_Text(CDataExchange* pDX, int nIDC, float& value);
// A check box's state: 0, 1, or 2 (indeterminate).
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The radio group starting at nIDC (up to the next WS_GROUP control): the index of the checked
// button, -1 when none is.
void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);

class CDialog : public CWnd
{
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // Modeless, from the "DIALOG" resource nIDTemplate or a template in memory. A null parent
    // means the main window.
    virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    virtual BOOL CreateIndirect(const win32::DialogTemplate* lpDialogTemplate, CWnd* pParentWnd = nullptr);
    // Modal: a template in memory instead of the constructor's resource.
    BOOL InitModalIndirect(const win32::DialogTemplate* lpDialogTemplate, CWnd* pParentWnd = nullptr);
    // Runs the dialog on a nested loop with its owner disabled; EndDialog's result, or -1 when
    // the dialog could not be made or WM_QUIT ended the loop.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* pMsg) override;

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* pWndCtrl);
    void SetDefID(UINT nID);
    DWORD GetDefID() const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT GetDlgItemInt(int nID, BOOL* lpTrans = nullptr, BOOL bSigned = TRUE) const;
    void SetDlgItemInt(int nID, UINT nValue, BOOL bSigned = TRUE);
    void SetDlgItemText(int nID, const char* lpszString);
    int GetDlgItemText(int nID, CString& rString) const;

protected:
    const win32::DialogTemplate* FindTemplate() const;
    BOOL CreateDlgIndirect(const win32::DialogTemplate* lpDialogTemplate, CWnd* pParentWnd);

    UINT m_nIDTemplate = 0;
    const win32::DialogTemplate* m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;

    DECLARE_MESSAGE_MAP()

private:
    // The modal state: the owner DoModal disabled, and how the dialog ended.
    HWND m_hWndOwnerDisabled = nullptr;
    BOOL m_bModalEnded = FALSE;
    INT_PTR m_nModalResult = -1;
};
