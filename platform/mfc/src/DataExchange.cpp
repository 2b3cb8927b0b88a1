// Data exchange between a window's members and its controls: UpdateData and the DDX_ functions.
#include <mfc/afxwin.h>

#include "NotifyLockout.h"

#include "core/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

HWND g_hLockoutNotifyWindow = nullptr;

namespace
{
bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The whole text is one number, blanks around it allowed.
bool ParseWhole(const CString& strText, bool bInteger, double& value)
{
    const char* p = strText.GetString();
    while (IsBlank(*p))
        ++p;
    if (!*p)
        return false;
    char* pEnd = nullptr;
    errno = 0;
    if (bInteger)
    {
        long n = std::strtol(p, &pEnd, 10);
        if (errno == ERANGE || n < INT32_MIN || n > INT32_MAX)
            return false;
        value = static_cast<double>(n);
    }
    else
        value = std::strtod(p, &pEnd);
    if (pEnd == p)
        return false;
    while (IsBlank(*pEnd))
        ++pEnd;
    return *pEnd == '\0';
}

CString ControlText(HWND hWndCtrl)
{
    CString str;
    CWnd::FromHandle(hWndCtrl)->GetWindowText(str);
    return str;
}

// Exchanges one number with an edit: written with szFormat, read back whole or refused with
// szPrompt.
bool ExchangeNumber(CDataExchange* pDX, int nIDC, bool bInteger, double& value, const char* szFormat,
                    const char* szPrompt)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (!hWndCtrl)
        return false;
    if (!pDX->m_bSaveAndValidate)
    {
        CString str;
        if (bInteger)
            str.Format(szFormat, static_cast<int>(value));
        else
            str.Format(szFormat, value);
        ::SetWindowTextA(hWndCtrl, str);
        return false;
    }
    double parsed = 0.0;
    if (!ParseWhole(ControlText(hWndCtrl), bInteger, parsed))
    {
        AfxMessageBox(szPrompt, MB_ICONEXCLAMATION);
        pDX->Fail();
        return false;
    }
    value = parsed;
    return true;
}
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    if (m_bFailed)
        return nullptr;
    HWND hWndCtrl = m_pDlgWnd ? ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC) : nullptr;
    if (!hWndCtrl)
    {
        LogError("CDataExchange::PrepareCtrl() - the dialog has no control %d.", nIDC);
        m_bFailed = TRUE;
        return nullptr;
    }
    m_idLastControl = hWndCtrl;
    m_bEditLastControl = FALSE;
    return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWndCtrl = PrepareCtrl(nIDC);
    m_bEditLastControl = hWndCtrl != nullptr;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    m_bFailed = TRUE;
    if (!m_bSaveAndValidate || !::IsWindow(m_idLastControl))
        return;
    ::SetFocus(m_idLastControl);
    if (m_bEditLastControl)
        ::SendMessageA(m_idLastControl, EM_SETSEL, 0, -1);
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    if (!m_hWnd)
        return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    // The controls' notifications while their values change here are not this window's business.
    HWND hOldLockout = g_hLockoutNotifyWindow;
    g_hLockoutNotifyWindow = m_hWnd;
    DoDataExchange(&dx);
    g_hLockoutNotifyWindow = hOldLockout;
    return !dx.m_bFailed;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (hWndCtrl && !rControl.SubclassWindow(hWndCtrl))
    {
        LogError("DDX_Control() - the control %d belongs to another object already.", nIDC);
        pDX->Fail();
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWndCtrl);
    else
        ::SetWindowTextA(hWndCtrl, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    double d = value;
    if (ExchangeNumber(pDX, nIDC, true, d, "%d", "Please enter an integer."))
        value = static_cast<int>(d);
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value)
{
    double d = value;
    if (ExchangeNumber(pDX, nIDC, false, d, "%.6g", "Please enter a number."))
        value = static_cast<float>(d);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(hWndCtrl, BM_SETCHECK, value >= 0 && value <= 2 ? static_cast<WPARAM>(value) : 0, 0);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!hWndCtrl)
        return;
    if (pDX->m_bSaveAndValidate)
        value = -1;
    // The group runs from nIDC to the next control that starts a group; only radio buttons count.
    int nIndex = 0;
    for (HWND h = hWndCtrl; h; h = ::GetWindow(h, GW_HWNDNEXT))
    {
        if (h != hWndCtrl && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate)
        {
            if (::SendMessageA(h, BM_GETCHECK, 0, 0) != BST_UNCHECKED && value == -1)
                value = nIndex;
        }
        else
            ::SendMessageA(h, BM_SETCHECK, nIndex == value ? BST_CHECKED : BST_UNCHECKED, 0);
        ++nIndex;
    }
}
