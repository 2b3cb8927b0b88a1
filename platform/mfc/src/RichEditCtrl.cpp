// CRichEditCtrl over the window layer's rich edit control.
#include <mfc/afxcmn.h>

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(0, RICHEDIT_CLASS, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

DWORD CRichEditCtrl::SetEventMask(DWORD dwEventMask)
{
    return static_cast<DWORD>(::SendMessageA(m_hWnd, EM_SETEVENTMASK, 0, static_cast<LPARAM>(dwEventMask)));
}

DWORD CRichEditCtrl::GetEventMask() const
{
    return static_cast<DWORD>(::SendMessageA(m_hWnd, EM_GETEVENTMASK, 0, 0));
}

BOOL CRichEditCtrl::SetDefaultCharFormat(CHARFORMAT& cf)
{
    cf.cbSize = sizeof(cf);
    return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf)));
}

void CRichEditCtrl::GetDefaultCharFormat(CHARFORMAT& cf) const
{
    cf.cbSize = sizeof(cf);
    ::SendMessageA(m_hWnd, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&cf));
}

BOOL CRichEditCtrl::SetSelectionCharFormat(CHARFORMAT& cf)
{
    cf.cbSize = sizeof(cf);
    return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
}

int CRichEditCtrl::GetLineCount() const
{
    return static_cast<int>(::SendMessageA(m_hWnd, EM_GETLINECOUNT, 0, 0));
}

int CRichEditCtrl::GetFirstVisibleLine() const
{
    return static_cast<int>(::SendMessageA(m_hWnd, EM_GETFIRSTVISIBLELINE, 0, 0));
}

BOOL CRichEditCtrl::LineScroll(int nLines, int nChars)
{
    return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_LINESCROLL, static_cast<WPARAM>(nChars), nLines));
}

int CRichEditCtrl::LineIndex(int nLine) const
{
    return static_cast<int>(::SendMessageA(m_hWnd, EM_LINEINDEX, static_cast<WPARAM>(nLine), 0));
}

int CRichEditCtrl::LineLength(int nLine) const
{
    return static_cast<int>(::SendMessageA(m_hWnd, EM_LINELENGTH, static_cast<WPARAM>(nLine), 0));
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    CHARRANGE range{static_cast<LONG>(nStartChar), static_cast<LONG>(nEndChar)};
    ::SendMessageA(m_hWnd, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
    CHARRANGE range{0, 0};
    ::SendMessageA(m_hWnd, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    nStartChar = range.cpMin;
    nEndChar = range.cpMax;
}

void CRichEditCtrl::ReplaceSel(const char* lpszNewText, BOOL bCanUndo)
{
    ::SendMessageA(m_hWnd, EM_REPLACESEL, static_cast<WPARAM>(bCanUndo),
                   reinterpret_cast<LPARAM>(lpszNewText ? lpszNewText : ""));
}

BOOL CRichEditCtrl::SetReadOnly(BOOL bReadOnly)
{
    return static_cast<BOOL>(::SendMessageA(m_hWnd, EM_SETREADONLY, static_cast<WPARAM>(bReadOnly), 0));
}

void CRichEditCtrl::LimitText(long nChars)
{
    ::SendMessageA(m_hWnd, EM_EXLIMITTEXT, 0, nChars);
}

COLORREF CRichEditCtrl::SetBackgroundColor(BOOL bSysColor, COLORREF cr)
{
    return static_cast<COLORREF>(::SendMessageA(m_hWnd, EM_SETBKGNDCOLOR, static_cast<WPARAM>(bSysColor), cr));
}
