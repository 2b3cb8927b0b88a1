#pragma once
// The common Open and Save As dialogs as CFileDialog: filters in the '|' form, a default
// extension and an initial name; DoModal runs the window layer's dialog.
#include <mfc/afxwin.h>

#include <win32/commdlg.h>

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
