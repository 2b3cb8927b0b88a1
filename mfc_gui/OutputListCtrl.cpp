#include "mfc_gui/OutputListCtrl.h"

#include <core/FileIO.h>
#include <win32/clock.h>

#include <mfc/afxdlgs.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace
{
enum Column
{
    COLUMN_TYPE = 0,
    COLUMN_MESSAGE = 1,
    COLUMN_DATE = 2,
};

// Each type's image in the list (the icons are added in another order than the types).
const int TYPE_IMAGES[] = {0, 2, 3, 1, 4};
const LPCSTR ICONS[] = {IDI_ASTERISK, IDI_QUESTION, IDI_EXCLAMATION, IDI_HAND, IDI_APPLICATION};

std::string FormatDate(const char* szFormat)
{
    const std::time_t tNow = win32::ClockDate();
    std::tm local{};
    localtime_r(&tNow, &local);
    char szDate[64];
    std::strftime(szDate, sizeof(szDate), szFormat, &local);
    return szDate;
}

bool IsKnownType(int nType)
{
    return nType >= LOG_INFORMATION && nType <= LOG_NOTHING;
}
}

BOOL COutputListCtrl::Attach(CListCtrl* pList, BOOL bCreateColumns)
{
    if (!pList)
        return FALSE;
    m_pList = pList;
    if (!CreateImageList())
        return FALSE;
    m_pList->SetImageList(&m_ImageList, LVSIL_SMALL);
    if (bCreateColumns && !CreateColumns())
        return FALSE;
    m_bAttached = TRUE;
    return TRUE;
}

BOOL COutputListCtrl::CreateImageList()
{
    if (!m_ImageList.m_hImageList && !m_ImageList.Create(16, 16, ILC_COLOR32 | ILC_MASK, 5, 0))
        return FALSE;
    for (LPCSTR szIcon : ICONS)
    {
        HICON hIcon = ::LoadIconA(nullptr, szIcon);
        if (!hIcon || m_ImageList.Add(hIcon) < 0)
            return FALSE;
    }
    return TRUE;
}

BOOL COutputListCtrl::CreateColumns()
{
    return m_pList->InsertColumn(COLUMN_TYPE, "Type", LVCFMT_LEFT, 40, -1) == COLUMN_TYPE &&
           m_pList->InsertColumn(COLUMN_MESSAGE, "Message", LVCFMT_LEFT, 500, COLUMN_MESSAGE) == COLUMN_MESSAGE &&
           m_pList->InsertColumn(COLUMN_DATE, "Date", LVCFMT_LEFT, 115, COLUMN_DATE) == COLUMN_DATE;
}

BOOL COutputListCtrl::AddLine(const char* szText, int nType)
{
    if (!IsKnownType(nType) || !m_bAttached)
        return FALSE;
    const int nRow = m_pList->GetItemCount();
    if (m_pList->InsertItem(nRow, "", TYPE_IMAGES[nType]) < 0)
        return FALSE;
    m_pList->SetItemData(nRow, static_cast<DWORD_PTR>(nType));
    m_pList->SetItemText(nRow, COLUMN_MESSAGE, szText ? szText : "");
    m_pList->SetItemText(nRow, COLUMN_DATE, FormatDate("%Y-%m-%d %H:%M:%S").c_str());
    m_pList->EnsureVisible(nRow, FALSE);
    return TRUE;
}

BOOL COutputListCtrl::Reset()
{
    if (!m_bAttached)
        return FALSE;
    return m_pList->DeleteAllItems();
}

BOOL COutputListCtrl::FormatLine(int nRow, CString* pOut) const
{
    if (!m_bAttached || !pOut)
        return FALSE;
    const int nType = static_cast<int>(m_pList->GetItemData(nRow));
    if (!IsKnownType(nType))
        return FALSE;
    pOut->Format("%s: %s  Date: %s", LogTypeName(nType),
                 static_cast<const char*>(m_pList->GetItemText(nRow, COLUMN_MESSAGE)),
                 static_cast<const char*>(m_pList->GetItemText(nRow, COLUMN_DATE)));
    return TRUE;
}

BOOL COutputListCtrl::SaveLog(const char* szPath)
{
    std::string strPath;
    if (szPath)
        strPath = szPath;
    else
    {
        CFileDialog dlg(FALSE, "log", "*.log", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER,
                        "Console Log (*.log)|*.log|Text Files (*.txt)|*.txt|||All Files (*.*)|*.*||");
        if (dlg.DoModal() != IDOK)
            return FALSE;
        strPath = static_cast<const char*>(dlg.GetPathName());
    }
    // Appending: what the file holds, then the new block, written whole. A file that is there but
    // cannot be read is left alone rather than replaced by the block.
    std::vector<uint8_t> data;
    if (!ReadWholeFile(strPath.c_str(), data))
    {
        FILE* pFile = OpenFile(strPath.c_str(), "rb");
        const bool bMissing = !pFile && errno == ENOENT;
        if (pFile)
            std::fclose(pFile);
        if (!bMissing)
            return FALSE;
    }
    std::string strBlock = FormatDate("%Y-%m-%d %H:%M.%S") + "\n";
    const int nRows = m_bAttached ? m_pList->GetItemCount() : 0;
    for (int nRow = 0; nRow < nRows; ++nRow)
    {
        CString strLine;
        if (FormatLine(nRow, &strLine))
            strBlock += "\t" + std::string(static_cast<const char*>(strLine)) + "\n";
    }
    data.insert(data.end(), strBlock.begin(), strBlock.end());
    return WriteFileAtomic(strPath.c_str(), data) ? TRUE : FALSE;
}

void COutputListCtrl::DumpToDebugger() const
{
    const int nRows = m_bAttached ? m_pList->GetItemCount() : 0;
    for (int nRow = 0; nRow < nRows; ++nRow)
    {
        CString strLine;
        if (FormatLine(nRow, &strLine))
            ::OutputDebugStringA((std::string(static_cast<const char*>(strLine)) + "\n").c_str());
    }
}
