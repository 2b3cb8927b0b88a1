#pragma once
// Drives a report list of log lines: one row per line with the type's icon, the message and the
// date it was added; formats rows as text, appends them to a log file as a dated block, and dumps
// them to the debugger output.
#include <core/Log.h>
#include <mfc/afxcmn.h>

class COutputListCtrl
{
public:
    // Takes the list: its icons, and its three columns when asked. FALSE, and not attached, when
    // the icons or the columns cannot be made.
    BOOL Attach(CListCtrl* pList, BOOL bCreateColumns);
    // The five types' system icons, 16 x 16, in the order of their image indexes.
    BOOL CreateImageList();
    // "Type" 40, "Message" 500 and "Date" 115 pixels wide.
    BOOL CreateColumns();

    // A row at the end, dated now by the layer clock, scrolled into view. FALSE for a type outside
    // LOG_INFORMATION..LOG_NOTHING and while no list is attached (the line is dropped).
    BOOL AddLine(const char* szText, int nType);
    // Deletes every row; FALSE while not attached.
    BOOL Reset();
    // "<TYPE>: <message>  Date: <date>"; FALSE while not attached, without an out string or for a
    // row whose type is unknown.
    BOOL FormatLine(int nRow, CString* pOut) const;
    // Appends a block to the log file: the date, then each row after a tab. A null path asks for
    // one with the save dialog. The file is rewritten under a temporary name and renamed, so a
    // failed save keeps what it held. FALSE on cancel or when it cannot be written.
    BOOL SaveLog(const char* szPath);
    // Each formatted row, with a line end, to the debugger output.
    void DumpToDebugger() const;

    CImageList m_ImageList;
    CListCtrl* m_pList = nullptr;
    BOOL m_bAttached = FALSE;
};
