#pragma once
// Wrappers of the common controls: the rich edit control the console panes use.
#include <mfc/afxwin.h>

#include <win32/richedit.h>

class CRichEditCtrl : public CWnd
{
    DECLARE_DYNAMIC(CRichEditCtrl)
public:
    CRichEditCtrl() = default;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    DWORD SetEventMask(DWORD dwEventMask);
    DWORD GetEventMask() const;
    BOOL SetDefaultCharFormat(CHARFORMAT& cf);
    void GetDefaultCharFormat(CHARFORMAT& cf) const;
    BOOL SetSelectionCharFormat(CHARFORMAT& cf);
    int GetLineCount() const;
    int GetFirstVisibleLine() const;
    BOOL LineScroll(int nLines, int nChars = 0);
    int LineIndex(int nLine = -1) const;
    int LineLength(int nLine = -1) const;
    void SetSel(long nStartChar, long nEndChar);
    void GetSel(long& nStartChar, long& nEndChar) const;
    void ReplaceSel(const char* lpszNewText, BOOL bCanUndo = FALSE);
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);
    void LimitText(long nChars = 0);
    COLORREF SetBackgroundColor(BOOL bSysColor, COLORREF cr);
};
