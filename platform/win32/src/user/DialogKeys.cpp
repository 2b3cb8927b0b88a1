// The keyboard interface of dialogs: Tab between tab stops, the arrows within a group, Enter for
// the default button and Esc for Cancel. Controls keep the keys they claim through WM_GETDLGCODE.
#include "DialogState.h"

#include <vector>

namespace
{
// The dialog's controls in tab order (z-order from the top, which is template order).
std::vector<HWND> Controls(HWND hDlg)
{
    std::vector<HWND> out;
    for (HWND h = GetWindow(hDlg, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        out.push_back(h);
    return out;
}

bool HasStyle(HWND hWnd, DWORD nStyle)
{
    return (static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE)) & nStyle) != 0;
}

// By the control's own style, so a dialog that is still hidden has its tab order too.
bool IsUsable(HWND hWnd)
{
    return (static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

int IndexOf(const std::vector<HWND>& list, HWND hWnd)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == hWnd)
            return static_cast<int>(i);
    return -1;
}

// The control of hCtl's group that is checked, when Tab lands on an unchecked radio button.
HWND CheckedInGroup(HWND hDlg, HWND hCtl)
{
    if (!(SendMessageA(hCtl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) || SendMessageA(hCtl, BM_GETCHECK, 0, 0))
        return hCtl;
    HWND h = hCtl;
    do
    {
        h = GetNextDlgGroupItem(hDlg, h, FALSE);
        if ((SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) && SendMessageA(h, BM_GETCHECK, 0, 0))
            return h;
    } while (h && h != hCtl);
    return hCtl;
}

// Enter: the focused push button, else the default button, else IDOK.
void PressDefault(HWND hDlg, HWND hFocus)
{
    HWND hButton = nullptr;
    int nId = IDOK;
    if (IsChild(hDlg, hFocus) &&
        (SendMessageA(hFocus, WM_GETDLGCODE, 0, 0) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    {
        hButton = hFocus;
        nId = GetDlgCtrlID(hFocus);
    }
    else
    {
        LRESULT nDef = SendMessageA(hDlg, DM_GETDEFID, 0, 0);
        if (HIWORD(nDef) == DC_HASDEFID)
            nId = LOWORD(nDef);
        hButton = GetDlgItem(hDlg, nId);
    }
    if (hButton && !IsWindowEnabled(hButton))
        return;
    SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(nId), BN_CLICKED), reinterpret_cast<LPARAM>(hButton));
}

// Handles one dialog key; false when the control keeps it.
bool HandleKey(HWND hDlg, HWND hTarget, WPARAM nKey, LRESULT nCode)
{
    if (nCode & DLGC_WANTALLKEYS)
        return false;
    switch (nKey)
    {
    case VK_TAB:
    {
        if (nCode & DLGC_WANTTAB)
            return false;
        bool bBack = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        if (HWND hNext = GetNextDlgTabItem(hDlg, hTarget, bBack))
            SetDialogFocus(hDlg, CheckedInGroup(hDlg, hNext));
        return true;
    }
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    {
        if (nCode & DLGC_WANTARROWS)
            return false;
        HWND hNext = GetNextDlgGroupItem(hDlg, hTarget, nKey == VK_LEFT || nKey == VK_UP);
        if (hNext && hNext != hTarget)
        {
            SetDialogFocus(hDlg, hNext);
            // Moving onto an automatic radio button checks it.
            if ((SendMessageA(hNext, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
                (GetWindowLongPtrA(hNext, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                SendMessageA(hNext, BM_CLICK, 0, 0);
        }
        return true;
    }
    case VK_RETURN:
        PressDefault(hDlg, hTarget);
        return true;
    case VK_ESCAPE:
    {
        HWND hCancel = GetDlgItem(hDlg, IDCANCEL);
        if (!hCancel || IsWindowEnabled(hCancel))
            SendMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(hCancel));
        return true;
    }
    default:
        return false;
    }
}
}

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    std::vector<HWND> list = Controls(hDlg);
    int n = static_cast<int>(list.size());
    if (!n)
        return nullptr;
    int nStart = IndexOf(list, hCtl);
    int nStep = bPrevious ? n - 1 : 1;
    if (nStart < 0)
        nStart = bPrevious ? 0 : n - 1;
    for (int i = 1; i <= n; ++i)
    {
        HWND h = list[static_cast<size_t>((nStart + nStep * i) % n)];
        if (HasStyle(h, WS_TABSTOP) && IsUsable(h))
            return h;
    }
    return hCtl;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    std::vector<HWND> list = Controls(hDlg);
    int nAt = IndexOf(list, hCtl);
    if (nAt < 0)
        return list.empty() ? nullptr : list.front();
    // The group runs from a WS_GROUP control up to the next one.
    int nFirst = nAt;
    while (nFirst > 0 && !HasStyle(list[static_cast<size_t>(nFirst)], WS_GROUP))
        --nFirst;
    int nEnd = nAt + 1;
    while (nEnd < static_cast<int>(list.size()) && !HasStyle(list[static_cast<size_t>(nEnd)], WS_GROUP))
        ++nEnd;
    int n = nEnd - nFirst;
    for (int i = 1; i < n; ++i)
    {
        int nOffset = ((nAt - nFirst) + (bPrevious ? n - i : i)) % n;
        HWND h = list[static_cast<size_t>(nFirst + nOffset)];
        if (IsUsable(h))
            return h;
    }
    return hCtl;
}

BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg)
{
    if (!lpMsg || !IsWindow(hDlg) || (lpMsg->hwnd != hDlg && !IsChild(hDlg, lpMsg->hwnd)))
        return FALSE;
    UINT nMessage = lpMsg->message;
    if (nMessage == WM_KEYDOWN || nMessage == WM_CHAR)
    {
        LRESULT nCode = SendMessageA(lpMsg->hwnd, WM_GETDLGCODE, lpMsg->wParam, reinterpret_cast<LPARAM>(lpMsg));
        if (nMessage == WM_KEYDOWN && HandleKey(hDlg, lpMsg->hwnd, lpMsg->wParam, nCode))
            return TRUE;
        // The characters of the dialog keys are eaten unless the control wants them.
        if (nMessage == WM_CHAR && !(nCode & DLGC_WANTALLKEYS) &&
            ((lpMsg->wParam == '\t' && !(nCode & DLGC_WANTTAB)) || lpMsg->wParam == '\r' || lpMsg->wParam == 27))
            return TRUE;
    }
    TranslateMessage(lpMsg);
    DispatchMessageA(lpMsg);
    return TRUE;
}
