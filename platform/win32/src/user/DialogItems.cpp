// Reading and writing a dialog's controls by id, and dialog units.
#include "DialogState.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <string>

namespace
{
// Dialog base units, the same for every dialog font.
const int BASE_X = 6;
const int BASE_Y = 13;

std::string ItemText(HWND hDlg, int nId)
{
    HWND hCtl = GetDlgItem(hDlg, nId);
    int n = GetWindowTextLengthA(hCtl);
    std::string text(static_cast<size_t>(n > 0 ? n : 0) + 1, '\0');
    GetWindowTextA(hCtl, text.data(), static_cast<int>(text.size()));
    text.resize(std::char_traits<char>::length(text.c_str()));
    return text;
}
}

BOOL MapDialogRect(HWND, LPRECT lpRect)
{
    if (!lpRect)
        return FALSE;
    lpRect->left = MulDiv(lpRect->left, BASE_X, 4);
    lpRect->right = MulDiv(lpRect->right, BASE_X, 4);
    lpRect->top = MulDiv(lpRect->top, BASE_Y, 8);
    lpRect->bottom = MulDiv(lpRect->bottom, BASE_Y, 8);
    return TRUE;
}

LONG GetDialogBaseUnits()
{
    return MAKELONG(BASE_X, BASE_Y);
}

LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND hCtl = GetDlgItem(hDlg, nIDDlgItem);
    return hCtl ? SendMessageA(hCtl, Msg, wParam, lParam) : 0;
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned)
{
    if (lpTranslated)
        *lpTranslated = FALSE;
    if (!GetDlgItem(hDlg, nIDDlgItem))
        return 0;
    std::string text = ItemText(hDlg, nIDDlgItem);
    const char* p = text.c_str();
    while (*p == ' ' || *p == '\t')
        ++p;
    bool bNegative = bSigned && *p == '-';
    if (bNegative)
        ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p)))
        return 0;
    long long nValue = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
    {
        nValue = nValue * 10 + (*p - '0');
        if (nValue > (bSigned ? static_cast<long long>(INT_MAX) + 1 : static_cast<long long>(UINT_MAX)))
            return 0;
    }
    if (bNegative)
        nValue = -nValue;
    else if (bSigned && nValue > INT_MAX)
        return 0;
    if (lpTranslated)
        *lpTranslated = TRUE;
    return static_cast<UINT>(nValue);
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned)
{
    char text[16];
    if (bSigned)
        std::snprintf(text, sizeof(text), "%d", static_cast<int>(uValue));
    else
        std::snprintf(text, sizeof(text), "%u", uValue);
    return SetDlgItemTextA(hDlg, nIDDlgItem, text);
}

UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    if (!lpString || cchMax <= 0)
        return 0;
    lpString[0] = 0;
    HWND hCtl = GetDlgItem(hDlg, nIDDlgItem);
    return hCtl ? static_cast<UINT>(GetWindowTextA(hCtl, lpString, cchMax)) : 0;
}

BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    HWND hCtl = GetDlgItem(hDlg, nIDDlgItem);
    return hCtl && SetWindowTextA(hCtl, lpString);
}

BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck)
{
    HWND hCtl = GetDlgItem(hDlg, nIDButton);
    if (!hCtl)
        return FALSE;
    SendMessageA(hCtl, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT IsDlgButtonChecked(HWND hDlg, int nIDButton)
{
    return static_cast<UINT>(SendDlgItemMessageA(hDlg, nIDButton, BM_GETCHECK, 0, 0));
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    for (int nId = nIDFirstButton; nId <= nIDLastButton; ++nId)
        if (HWND hCtl = GetDlgItem(hDlg, nId))
            SendMessageA(hCtl, BM_SETCHECK, nId == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED, 0);
    return TRUE;
}
