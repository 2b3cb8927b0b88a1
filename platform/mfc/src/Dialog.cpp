// CDialog: modeless and modal dialogs made by the window layer's dialog manager and owned by the
// object from their first message.
#include <mfc/afxwin.h>

#include <win32/layer.h>

#include "core/Log.h"

namespace
{
// The dialog whose window CreateDlgIndirect is making, and the creation hook that attaches it.
CDialog* g_pDialogInit = nullptr;
HHOOK g_hCreationHook = nullptr;

// The dialog window is the first window made while the hook is in place (its controls follow);
// the object subclasses it before its WM_NCCREATE.
LRESULT CALLBACK DialogCreationHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && g_pDialogInit)
    {
        CDialog* pDialog = g_pDialogInit;
        g_pDialogInit = nullptr;
        pDialog->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(g_hCreationHook, nCode, wParam, lParam);
}

// The dialog procedure: the manager's WM_INITDIALOG becomes OnInitDialog; every other message
// has already been through the object's map.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT nMessage, WPARAM, LPARAM)
{
    if (nMessage != WM_INITDIALOG)
        return FALSE;
    auto* pDialog = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    return pDialog ? pDialog->OnInitDialog() : TRUE;
}

HWND ParentOrMainWindow(CWnd* pParentWnd)
{
    if (pParentWnd)
        return pParentWnd->GetSafeHwnd();
    CWnd* pMain = AfxGetMainWnd();
    return pMain ? pMain->GetSafeHwnd() : nullptr;
}
}

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

const win32::DialogTemplate* CDialog::FindTemplate() const
{
    if (m_lpDialogTemplate)
        return m_lpDialogTemplate;
    const ResourceEntry* pEntry = FindResourceEntry("DIALOG", static_cast<int>(m_nIDTemplate));
    if (!pEntry || !pEntry->m_pData)
    {
        LogError("CDialog::FindTemplate() - there is no dialog template %u.", m_nIDTemplate);
        return nullptr;
    }
    return static_cast<const win32::DialogTemplate*>(pEntry->m_pData);
}

BOOL CDialog::CreateDlgIndirect(const win32::DialogTemplate* lpDialogTemplate, CWnd* pParentWnd)
{
    if (m_hWnd || !lpDialogTemplate)
        return FALSE;
    m_bModalEnded = FALSE;
    // A dialog made while another is being made (a page from its sheet's OnInitDialog) shares
    // the outer creation's hook: a second hook would pass calls on to itself.
    CDialog* pOuter = g_pDialogInit;
    bool bInstall = g_hCreationHook == nullptr;
    g_pDialogInit = this;
    if (bInstall)
        g_hCreationHook = ::SetWindowsHookExA(WH_CBT, DialogCreationHook, nullptr, 0);
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetInstanceHandle(), lpDialogTemplate, ParentOrMainWindow(pParentWnd),
                                             AfxDlgProc, 0);
    if (bInstall)
    {
        ::UnhookWindowsHookEx(g_hCreationHook);
        g_hCreationHook = nullptr;
    }
    g_pDialogInit = pOuter;
    // A dialog the manager gave up on is gone already; the object let go of it at WM_NCDESTROY.
    return hWnd != nullptr && m_hWnd == hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_lpDialogTemplate = nullptr;
    m_pParentWnd = pParentWnd;
    const win32::DialogTemplate* pTemplate = FindTemplate();
    return pTemplate && CreateDlgIndirect(pTemplate, pParentWnd);
}

BOOL CDialog::CreateIndirect(const win32::DialogTemplate* lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return CreateDlgIndirect(lpDialogTemplate, pParentWnd);
}

BOOL CDialog::InitModalIndirect(const win32::DialogTemplate* lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

INT_PTR CDialog::DoModal()
{
    const win32::DialogTemplate* pTemplate = FindTemplate();
    if (!pTemplate || m_hWnd)
        return -1;
    HWND hParent = ParentOrMainWindow(m_pParentWnd);
    HWND hOwner = hParent ? ::GetAncestor(hParent, GA_ROOT) : nullptr;
    if (hOwner && ::IsWindowEnabled(hOwner))
    {
        ::EnableWindow(hOwner, FALSE);
        m_hWndOwnerDisabled = hOwner;
    }
    // Made hidden, shown once OnInitDialog has run, as a modal dialog is.
    win32::DialogTemplate hidden = *pTemplate;
    hidden.m_nStyle &= ~WS_VISIBLE;
    BOOL bCreated = CreateDlgIndirect(&hidden, FromHandle(hParent));
    m_nModalResult = -1;
    bool bEnded = false;
    if (bCreated && !m_bModalEnded)
    {
        ShowWindow(SW_SHOWNORMAL);
        UpdateWindow();
    }
    if (bCreated)
    {
        HWND hDlg = m_hWnd;
        win32::ModalLoop loop;
        loop.m_szName = "DoModal";
        loop.m_hWnd = hDlg;
        loop.m_hOwner = hOwner;
        loop.m_nFilterCode = MSGF_DIALOGBOX;
        // The dialog and its controls pre-translate their own messages (the dialog keys among them).
        loop.m_fnPreTranslate = [hDlg](MSG& msg) {
            return (msg.hwnd == hDlg || ::IsChild(hDlg, msg.hwnd)) && WalkPreTranslateTree(hDlg, &msg);
        };
        bEnded = win32::RunModalLoop(loop, [this, hDlg] { return m_bModalEnded || m_hWnd != hDlg; });
    }
    if (m_hWndOwnerDisabled)
    {
        ::EnableWindow(m_hWndOwnerDisabled, TRUE);
        m_hWndOwnerDisabled = nullptr;
    }
    if (m_hWnd)
        DestroyWindow();
    return bEnded && m_bModalEnded ? m_nModalResult : -1;
}

void CDialog::EndDialog(int nResult)
{
    m_bModalEnded = TRUE;
    m_nModalResult = nResult;
    // The owner comes back before the dialog hides, so the activation returns to it.
    if (m_hWndOwnerDisabled)
    {
        ::EnableWindow(m_hWndOwnerDisabled, TRUE);
        m_hWndOwnerDisabled = nullptr;
    }
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    // The controls show the members' values; a failed exchange leaves the dialog as it is.
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

void CDialog::NextDlgCtrl() const
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const
{
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl)
        ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->m_hWnd), 1);
}

void CDialog::SetDefID(UINT nID)
{
    ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0);
}

DWORD CDialog::GetDefID() const
{
    return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0));
}

void CDialog::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}

UINT CDialog::IsDlgButtonChecked(int nIDButton) const
{
    return ::IsDlgButtonChecked(m_hWnd, nIDButton);
}

void CDialog::CheckDlgButton(int nIDButton, UINT nCheck)
{
    ::CheckDlgButton(m_hWnd, nIDButton, nCheck);
}

UINT CDialog::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const
{
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}

void CDialog::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned)
{
    ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned);
}

void CDialog::SetDlgItemText(int nID, const char* lpszString)
{
    ::SetDlgItemTextA(m_hWnd, nID, lpszString);
}

int CDialog::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (!hItem)
        return 0;
    CWnd::FromHandle(hItem)->GetWindowText(rString);
    return rString.GetLength();
}
