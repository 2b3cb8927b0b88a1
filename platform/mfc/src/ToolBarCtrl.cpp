// CToolBarCtrl over the window layer's toolbar control.
#include <mfc/afxcmn.h>

#include <string>

IMPLEMENT_DYNAMIC(CToolBarCtrl, CWnd)

BOOL CToolBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CWnd::Create(TOOLBARCLASSNAMEA, nullptr, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBarCtrl::AddButtons(int nNumButtons, LPTBBUTTON lpButtons)
{
    return static_cast<BOOL>(SendMessage(TB_ADDBUTTONSA, static_cast<WPARAM>(nNumButtons), reinterpret_cast<LPARAM>(lpButtons)));
}

BOOL CToolBarCtrl::InsertButton(int nIndex, LPTBBUTTON lpButton)
{
    return static_cast<BOOL>(SendMessage(TB_INSERTBUTTONA, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpButton)));
}

BOOL CToolBarCtrl::GetButton(int nIndex, LPTBBUTTON lpButton) const
{
    return static_cast<BOOL>(SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpButton)));
}

int CToolBarCtrl::AddStrings(const char* lpszStrings)
{
    return static_cast<int>(SendMessage(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(lpszStrings)));
}

int CToolBarCtrl::AddString(UINT nStringID)
{
    char szText[256] = {};
    int nLength = ::LoadStringA(AfxGetInstanceHandle(), nStringID, szText, sizeof(szText) - 1);
    if (nLength <= 0)
        return -1;
    std::string strList(szText, static_cast<size_t>(nLength));
    strList.push_back('\0');   // with the terminator c_str() adds, the list ends in two zeros
    return AddStrings(strList.c_str());
}

CString CToolBarCtrl::GetButtonText(int nID) const
{
    LRESULT nLength = SendMessage(TB_GETBUTTONTEXTA, static_cast<WPARAM>(nID));
    if (nLength <= 0)
        return CString();
    std::string strText(static_cast<size_t>(nLength) + 1, '\0');
    SendMessage(TB_GETBUTTONTEXTA, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(strText.data()));
    return CString(strText.c_str());
}

CSize CToolBarCtrl::GetButtonSize() const
{
    LRESULT n = SendMessage(TB_GETBUTTONSIZE);
    return CSize(LOWORD(n), HIWORD(n));
}

BOOL CToolBarCtrl::GetItemRect(int nIndex, LPRECT lpRect) const
{
    return static_cast<BOOL>(SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)));
}

BOOL CToolBarCtrl::GetRect(int nID, LPRECT lpRect) const
{
    return static_cast<BOOL>(SendMessage(TB_GETRECT, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(lpRect)));
}

CWnd* CToolBarCtrl::SetOwner(CWnd* pOwner)
{
    return CWnd::FromHandle(reinterpret_cast<HWND>(
        SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(pOwner ? pOwner->GetSafeHwnd() : nullptr))));
}
