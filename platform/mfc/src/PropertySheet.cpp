// CPropertySheet and CPropertyPage: a modal dialog holding a tab control, the pages as child
// dialogs over its display area, and OK, Cancel and Apply below it.
#include <mfc/afxdlgs.h>

#include <algorithm>

namespace
{
// Margins and buttons in dialog units, as the common sheets lay them out.
const int MARGIN = 7;
const int BUTTON_CX = 50;
const int BUTTON_CY = 14;
const int BUTTON_GAP = 4;
}

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CDialog)
IMPLEMENT_DYNAMIC(CPropertyPageEx, CPropertyPage)
IMPLEMENT_DYNAMIC(CPropertySheetEx, CPropertySheet)

// ---- CPropertyPage

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
{
    Construct(nIDTemplate, nIDCaption);
}

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
    m_nIDTemplate = nIDTemplate;
    m_nIDCaption = nIDCaption;
}

BOOL CPropertyPage::OnSetActive()
{
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return TRUE;
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

void CPropertyPage::OnOK()
{
}

void CPropertyPage::OnCancel()
{
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bModified = bChanged;
    if (auto* pSheet = dynamic_cast<CPropertySheet*>(GetParent()))
    {
        bool bAny = std::any_of(pSheet->m_Pages.begin(), pSheet->m_Pages.end(),
                                [](const CPropertyPage* p) { return p->m_bModified; });
        pSheet->EnableApply(bAny);
    }
}

CString CPropertyPage::GetTabText() const
{
    CString str;
    if (m_nIDCaption && str.LoadString(m_nIDCaption))
        return str;
    const win32::DialogTemplate* pTemplate = FindTemplate();
    return CString(pTemplate ? pTemplate->m_szCaption : nullptr);
}

BOOL CPropertyPage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if ((LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) && GetParent())
    {
        GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(LOWORD(wParam), BN_CLICKED), 0);
        return TRUE;
    }
    return CDialog::OnCommand(wParam, lParam);
}

BOOL CPropertyPage::CreatePage(CPropertySheet* pSheet)
{
    const win32::DialogTemplate* pTemplate = FindTemplate();
    if (!pTemplate)
        return FALSE;
    // A page's template is a disabled captioned child; in the sheet it is a plain control child.
    m_ChildTemplate = *pTemplate;
    m_ChildTemplate.m_nStyle = (pTemplate->m_nStyle & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DISABLED | WS_VISIBLE |
                                                        WS_THICKFRAME | DS_MODALFRAME)) |
                               WS_CHILD | DS_CONTROL;
    m_ChildTemplate.x = 0;
    m_ChildTemplate.y = 0;
    return CreateIndirect(&m_ChildTemplate, pSheet);
}

// ---- CPropertySheet

BEGIN_MESSAGE_MAP(CPropertySheet, CDialog)
    ON_COMMAND(ID_APPLY_NOW, &CPropertySheet::OnApplyNow)
    ON_WM_CLOSE()
    ON_NOTIFY(TCN_SELCHANGING, AFX_IDC_TAB_CONTROL, &CPropertySheet::OnTabChanging)
    ON_NOTIFY(TCN_SELCHANGE, AFX_IDC_TAB_CONTROL, &CPropertySheet::OnTabChange)
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet(const char* pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption), m_nActive(static_cast<int>(iSelectPage))
{
    m_pParentWnd = pParentWnd;
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_nActive(static_cast<int>(iSelectPage))
{
    m_strCaption.LoadString(nIDCaption);
    m_pParentWnd = pParentWnd;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (!pPage)
        return;
    m_Pages.push_back(pPage);
    if (m_hWnd)
    {
        CString strText = pPage->GetTabText();
        TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(static_cast<const char*>(strText)), 0, -1, 0};
        GetDlgItem(AFX_IDC_TAB_CONTROL)->SendMessage(TCM_INSERTITEMA, m_Pages.size() - 1, reinterpret_cast<LPARAM>(&item));
    }
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return nPage >= 0 && nPage < GetPageCount() ? m_Pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    auto it = std::find(m_Pages.begin(), m_Pages.end(), pPage);
    return it == m_Pages.end() ? -1 : static_cast<int>(it - m_Pages.begin());
}

INT_PTR CPropertySheet::DoModal()
{
    if (m_Pages.empty())
        return -1;
    m_nActive = std::clamp(m_nActive, 0, GetPageCount() - 1);
    // The template holds the sheet's own controls; OnInitDialog sizes everything in pixels.
    m_Items = {
        {WC_TABCONTROLA, "", AFX_IDC_TAB_CONTROL, WS_TABSTOP | WS_CLIPSIBLINGS | WS_VISIBLE, 0, MARGIN, MARGIN, 100, 100},
        {"Button", "OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 0, 0, BUTTON_CX, BUTTON_CY},
        {"Button", "Cancel", IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 0, 0, 0, BUTTON_CX, BUTTON_CY},
        {"Button", "&Apply", ID_APPLY_NOW, BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE | WS_DISABLED, 0, 0, 0, BUTTON_CX,
         BUTTON_CY}};
    m_Template = win32::DialogTemplate{WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_CLIPCHILDREN,
                                       0, 0, 0, 200, 150, m_strCaption, "MS Sans Serif", 8, m_Items.data(),
                                       m_Items.size()};
    if (!InitModalIndirect(&m_Template, m_pParentWnd))
        return -1;
    for (CPropertyPage* pPage : m_Pages)
        pPage->m_bModified = FALSE;
    INT_PTR nResult = CDialog::DoModal();
    // The pages' windows went with the sheet's.
    return nResult;
}

RECT CPropertySheet::PageRect() const
{
    CWnd* pTab = GetDlgItem(AFX_IDC_TAB_CONTROL);
    CRect rc;
    pTab->GetWindowRect(&rc);
    ScreenToClient(&rc);
    pTab->SendMessage(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(static_cast<RECT*>(&rc)));
    return rc;
}

void CPropertySheet::PlaceControls()
{
    // The display area holds the largest page.
    SIZE sizePage{0, 0};
    for (CPropertyPage* pPage : m_Pages)
        if (const win32::DialogTemplate* pTemplate = pPage->FindTemplate())
        {
            RECT rc{0, 0, pTemplate->cx, pTemplate->cy};
            ::MapDialogRect(m_hWnd, &rc);
            sizePage.cx = std::max(sizePage.cx, rc.right);
            sizePage.cy = std::max(sizePage.cy, rc.bottom);
        }
    RECT rcUnits{MARGIN, MARGIN, MARGIN + BUTTON_CX, MARGIN + BUTTON_CY};
    ::MapDialogRect(m_hWnd, &rcUnits);
    RECT rcGap{0, 0, BUTTON_GAP, 0};
    ::MapDialogRect(m_hWnd, &rcGap);
    const int nMarginX = rcUnits.left, nMarginY = rcUnits.top;
    const int cxButton = rcUnits.right - rcUnits.left, cyButton = rcUnits.bottom - rcUnits.top;

    CWnd* pTab = GetDlgItem(AFX_IDC_TAB_CONTROL);
    RECT rcTab{0, 0, sizePage.cx, sizePage.cy};
    pTab->SendMessage(TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&rcTab));
    OffsetRect(&rcTab, nMarginX - rcTab.left, nMarginY - rcTab.top);
    pTab->MoveWindow(&rcTab, FALSE);

    // OK, Cancel and Apply from the right, under the tabs.
    const int y = rcTab.bottom + nMarginY;
    int x = rcTab.right;
    for (int nID : {ID_APPLY_NOW, IDCANCEL, IDOK})
    {
        x -= cxButton;
        GetDlgItem(nID)->MoveWindow(x, y, cxButton, cyButton, FALSE);
        x -= rcGap.right;
    }
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    SetWindowPos(nullptr, 0, 0, rcTab.right + nMarginX + rcWindow.Width() - rcClient.Width(),
                 y + cyButton + nMarginY + rcWindow.Height() - rcClient.Height(), SWP_NOMOVE | SWP_NOZORDER);
}

BOOL CPropertySheet::OnInitDialog()
{
    SetWindowText(m_strCaption);
    CWnd* pTab = GetDlgItem(AFX_IDC_TAB_CONTROL);
    for (size_t i = 0; i < m_Pages.size(); ++i)
    {
        CString strText = m_Pages[i]->GetTabText();
        TCITEMA item{TCIF_TEXT, 0, 0, const_cast<char*>(static_cast<const char*>(strText)), 0, -1, 0};
        pTab->SendMessage(TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    PlaceControls();
    CenterWindow();
    int nFirst = m_nActive;
    m_nActive = -1;
    SetActivePage(nFirst);
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    CPropertyPage* pNew = GetPage(nPage);
    if (!pNew)
        return FALSE;
    if (!m_hWnd)
    {
        m_nActive = nPage;
        return TRUE;
    }
    if (nPage == m_nActive)
        return TRUE;
    CPropertyPage* pOld = GetActivePage();
    if (pOld && pOld->m_hWnd && !pOld->OnKillActive())
        return FALSE;
    if (!pNew->m_hWnd)
    {
        // Made on first showing; its OnInitDialog fills its controls from its members.
        if (!pNew->CreatePage(this))
            return FALSE;
    }
    RECT rc = PageRect();
    pNew->SetWindowPos(&wndTop, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_SHOWWINDOW);
    if (pOld && pOld->m_hWnd)
        pOld->ShowWindow(SW_HIDE);
    m_nActive = nPage;
    GetDlgItem(AFX_IDC_TAB_CONTROL)->SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(nPage));
    pNew->OnSetActive();
    return TRUE;
}

void CPropertySheet::OnTabChanging(NMHDR*, LRESULT* pResult)
{
    // The current page may refuse to be left.
    CPropertyPage* pPage = GetActivePage();
    *pResult = pPage && pPage->m_hWnd && !pPage->OnKillActive();
}

void CPropertySheet::OnTabChange(NMHDR*, LRESULT* pResult)
{
    int nPage = static_cast<int>(GetDlgItem(AFX_IDC_TAB_CONTROL)->SendMessage(TCM_GETCURSEL));
    // The page was asked already; show the new one without asking again.
    CPropertyPage* pOld = GetActivePage();
    CPropertyPage* pNew = GetPage(nPage);
    if (pNew && !pNew->m_hWnd && !pNew->CreatePage(this))
        return;
    if (pNew)
    {
        RECT rc = PageRect();
        pNew->SetWindowPos(&wndTop, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, SWP_SHOWWINDOW);
        if (pOld && pOld != pNew && pOld->m_hWnd)
            pOld->ShowWindow(SW_HIDE);
        m_nActive = nPage;
        pNew->OnSetActive();
    }
    *pResult = 0;
}

BOOL CPropertySheet::ApplyPages()
{
    for (int i = 0; i < GetPageCount(); ++i)
    {
        CPropertyPage* pPage = m_Pages[static_cast<size_t>(i)];
        if (pPage->m_hWnd && !pPage->UpdateData(TRUE))
        {
            SetActivePage(i);
            return FALSE;
        }
    }
    for (CPropertyPage* pPage : m_Pages)
        if (pPage->m_hWnd)
        {
            pPage->OnApply();
            pPage->m_bModified = FALSE;
        }
    EnableApply(FALSE);
    return TRUE;
}

void CPropertySheet::OnOK()
{
    CPropertyPage* pPage = GetActivePage();
    if (pPage && pPage->m_hWnd && !pPage->OnKillActive())
        return;
    if (ApplyPages())
        EndDialog(IDOK);
}

void CPropertySheet::OnCancel()
{
    for (CPropertyPage* pPage : m_Pages)
        if (pPage->m_hWnd)
            pPage->OnReset();
    EndDialog(IDCANCEL);
}

void CPropertySheet::OnApplyNow()
{
    CPropertyPage* pPage = GetActivePage();
    if (pPage && pPage->m_hWnd && !pPage->OnKillActive())
        return;
    ApplyPages();
}

void CPropertySheet::OnClose()
{
    // The close box works as Cancel.
    Default();
}

void CPropertySheet::EnableApply(BOOL bEnable)
{
    if (CWnd* pApply = m_hWnd ? GetDlgItem(ID_APPLY_NOW) : nullptr)
        pApply->EnableWindow(bEnable);
}
