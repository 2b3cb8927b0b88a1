// CFileDialog over GetOpenFileName and GetSaveFileName.
#include <mfc/afxdlgs.h>

#include <cstdio>

IMPLEMENT_DYNAMIC(CFileDialog, CCmdTarget)

CFileDialog::CFileDialog(BOOL bOpenFileDialog, const char* lpszDefExt, const char* lpszFileName, DWORD dwFlags,
                         const char* lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog)
{
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = pParentWnd ? pParentWnd->m_hWnd : nullptr;
    m_ofn.hInstance = AfxGetInstanceHandle();
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof(m_szFileName);
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    if (lpszDefExt)
    {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName)
        std::snprintf(m_szFileName, sizeof(m_szFileName), "%s", lpszFileName);
    if (lpszFilter)
    {
        // "Desc|*.a|Desc|*.b||" becomes the NUL-separated list: an empty description (from
        // "||") ends it there, as the '|' form has always meant.
        m_strFilter = lpszFilter;
        m_strFilter += '|';
        char* p = m_strFilter.GetBuffer();
        for (int i = 0; i < m_strFilter.GetLength(); ++i)
            if (p[i] == '|')
                p[i] = '\0';
        m_ofn.lpstrFilter = m_strFilter.GetString();
    }
}

INT_PTR CFileDialog::DoModal()
{
    // A null owner means the main window, as for every modal dialog.
    if (!m_ofn.hwndOwner)
        if (CWnd* pMainWnd = AfxGetMainWnd())
            m_ofn.hwndOwner = pMainWnd->m_hWnd;
    BOOL bResult = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    CString strPath(m_ofn.lpstrFile);
    int nSlash = strPath.ReverseFind('/');
    return strPath.Mid(nSlash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot < 0 ? CString() : strName.Mid(nDot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString strName = GetFileName();
    int nDot = strName.ReverseFind('.');
    return nDot < 0 ? strName : strName.Left(nDot);
}
