#pragma once
// The common Open and Save As dialogs as CFileDialog: filters in the '|' form, a default
// extension and an initial name; DoModal runs the window layer's dialog. Property sheets: a
// modal dialog of tabbed pages with OK, Cancel and Apply.
#include <mfc/afxwin.h>

#include <win32/commctrl.h>
#include <win32/commdlg.h>

#include <vector>

class CFileDialog : public CCmdTarget
{
    DECLARE_DYNAMIC(CFileDialog)
public:
    explicit CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt = nullptr, const char* lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    // IDOK with the chosen path, or IDCANCEL.
    virtual INT_PTR DoModal();
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;

    OPENFILENAME m_ofn{};

protected:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;      // the '|' form with every '|' made a NUL
    CString m_strDefExt;
    char m_szFileName[MAX_PATH] = "";
    char m_szFileTitle[MAX_PATH] = "";
};

// The sheet's own controls.
#define AFX_IDC_TAB_CONTROL 0x3020
#define ID_APPLY_NOW 0x3021

class CPropertySheet;

// A page of a property sheet: a child dialog made from its template when the sheet first shows
// it. Its controls keep what the user typed until the sheet ends: OK and Apply exchange every
// page that was shown (UpdateData(TRUE)) and then call OnApply; Cancel exchanges nothing.
class CPropertyPage : public CDialog
{
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage() = default;
    // nIDCaption: a string resource for the tab; 0 takes the template's caption.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);
    void Construct(UINT nIDTemplate, UINT nIDCaption = 0);

    // Called as the page is shown and before it is left; FALSE from OnKillActive keeps it shown.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    // After OK or Apply has exchanged the page: calls OnOK.
    virtual BOOL OnApply();
    // After Cancel: calls OnCancel.
    virtual void OnReset();
    // Nothing by default: the sheet, not the page, ends the dialog.
    void OnOK() override;
    void OnCancel() override;
    // Marks the page changed, which enables the sheet's Apply button.
    void SetModified(BOOL bChanged = TRUE);
    CString GetTabText() const;

protected:
    // Enter and Esc in a page are the sheet's OK and Cancel.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    friend class CPropertySheet;
    BOOL CreatePage(CPropertySheet* pSheet);
    UINT m_nIDCaption = 0;
    BOOL m_bModified = FALSE;
    win32::DialogTemplate m_ChildTemplate{};
};

class CPropertySheet : public CDialog
{
    DECLARE_DYNAMIC(CPropertySheet)
public:
    explicit CPropertySheet(const char* pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);

    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_Pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const { return GetPage(m_nActive); }
    int GetActiveIndex() const { return m_nActive; }
    // Before DoModal: the page shown first. While shown: leaves the current page (which may
    // refuse) and shows the other.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
    void SetTitle(const char* lpszText) { m_strCaption = lpszText; }
    // Builds the sheet around the largest page and runs it; IDOK or IDCANCEL.
    INT_PTR DoModal() override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    afx_msg void OnApplyNow();
    afx_msg void OnClose();
    afx_msg void OnTabChanging(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnTabChange(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    friend class CPropertyPage;
    // Exchanges every page made so far; on a refusal shows that page and returns FALSE.
    BOOL ApplyPages();
    void PlaceControls();
    RECT PageRect() const;
    void EnableApply(BOOL bEnable);

    CString m_strCaption;
    std::vector<CPropertyPage*> m_Pages;
    int m_nActive = 0;
    win32::DialogTemplate m_Template{};
    std::vector<win32::DialogItemTemplate> m_Items;
};

// The wizard-capable variants; the watermark and header pictures are accepted and not shown.
class CPropertyPageEx : public CPropertyPage
{
    DECLARE_DYNAMIC(CPropertyPageEx)
public:
    CPropertyPageEx() = default;
    explicit CPropertyPageEx(UINT nIDTemplate, UINT nIDCaption = 0, UINT nIDHeaderTitle = 0, UINT nIDHeaderSubTitle = 0)
        : CPropertyPage(nIDTemplate, nIDCaption)
    {
        (void)nIDHeaderTitle;
        (void)nIDHeaderSubTitle;
    }
};

class CPropertySheetEx : public CPropertySheet
{
    DECLARE_DYNAMIC(CPropertySheetEx)
public:
    explicit CPropertySheetEx(const char* pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0,
                              HBITMAP hbmWatermark = nullptr, HPALETTE hpalWatermark = nullptr,
                              HBITMAP hbmHeader = nullptr)
        : CPropertySheet(pszCaption, pParentWnd, iSelectPage)
    {
        (void)hbmWatermark;
        (void)hpalWatermark;
        (void)hbmHeader;
    }
    explicit CPropertySheetEx(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0,
                              HBITMAP hbmWatermark = nullptr, HPALETTE hpalWatermark = nullptr,
                              HBITMAP hbmHeader = nullptr)
        : CPropertySheet(nIDCaption, pParentWnd, iSelectPage)
    {
        (void)hbmWatermark;
        (void)hpalWatermark;
        (void)hbmHeader;
    }
};
