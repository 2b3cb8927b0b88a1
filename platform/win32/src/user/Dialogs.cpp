// The dialog manager: dialogs made from templates, their default window procedure, and modal
// dialogs on a nested modal loop.
#include "DialogState.h"
#include "Metrics.h"
#include "UserState.h"

#include "core/Log.h"

#include <strings.h>
#include <unordered_map>

namespace
{
std::unordered_map<HWND, std::unique_ptr<DialogState>>& DialogStates()
{
    static std::unordered_map<HWND, std::unique_ptr<DialogState>> s_States;
    return s_States;
}

// The messages whose answer a dialog procedure returns itself rather than through
// DWLP_MSGRESULT.
bool AnswersDirectly(UINT nMessage)
{
    return nMessage == WM_INITDIALOG || (nMessage >= WM_CTLCOLORMSGBOX && nMessage <= WM_CTLCOLORSTATIC);
}

void DialogUnitsToPixels(RECT& rc)
{
    MapDialogRect(nullptr, &rc);
}

// Where a popup dialog's template position counts from: its owner's client area, else the screen.
POINT TemplateOrigin(HWND hParent, DWORD nStyle)
{
    POINT pt{0, 0};
    if (nStyle & WS_CHILD)
        return pt;
    if (HWND hOwner = GetAncestor(hParent, GA_ROOT))
        ClientToScreen(hOwner, &pt);
    return pt;
}

bool IsClass(const char* szClass, const char* szName)
{
    return szClass && !IS_INTRESOURCE(szClass) && strcasecmp(szClass, szName) == 0;
}

bool MakeControls(HWND hDlg, HINSTANCE hInstance, const win32::DialogTemplate& tmpl, DialogState& state)
{
    for (size_t i = 0; i < tmpl.m_nItems; ++i)
    {
        const win32::DialogItemTemplate& item = tmpl.m_pItems[i];
        RECT rc{item.x, item.y, item.x + item.cx, item.y + item.cy};
        DialogUnitsToPixels(rc);
        HWND hCtl = CreateWindowExA(item.m_nExStyle | WS_EX_NOPARENTNOTIFY, item.m_szClass, item.m_szText,
                                    item.m_nStyle | WS_CHILD, rc.left, rc.top, rc.right - rc.left,
                                    rc.bottom - rc.top, hDlg,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.m_nId)), hInstance, nullptr);
        if (!IsWindow(hDlg))
            return false;
        if (!hCtl)
        {
            LogWarning("CreateDialogIndirectParamA() - the control %d of class \"%s\" could not be made.", item.m_nId,
                       item.m_szClass && !IS_INTRESOURCE(item.m_szClass) ? item.m_szClass : "?");
            if (tmpl.m_nStyle & DS_NOFAILCREATE)
                continue;
            return false;
        }
        // Template order is z-order from the top, which is also the tab order.
        SetWindowPos(hCtl, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        SendMessageA(hCtl, WM_SETFONT, reinterpret_cast<WPARAM>(state.m_hFont), FALSE);
        if (!state.m_nDefId && (SendMessageA(hCtl, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            state.m_nDefId = item.m_nId;
        UINT nAdd = IsClass(item.m_szClass, WC_COMBOBOXA) ? CB_ADDSTRING
                    : IsClass(item.m_szClass, WC_LISTBOXA) ? LB_ADDSTRING
                                                           : 0;
        for (const char* const* pp = item.m_ppInitStrings; nAdd && pp && *pp; ++pp)
            SendMessageA(hCtl, nAdd, 0, reinterpret_cast<LPARAM>(*pp));
    }
    return true;
}

// Makes the dialog and its controls and sends WM_INITDIALOG; the dialog is shown only when its
// template says so and bMayShow allows it.
HWND MakeDialog(HINSTANCE hInstance, const win32::DialogTemplate* pTemplate, HWND hParent, DLGPROC pfnProc,
                LPARAM lParam, bool bMayShow)
{
    if (!pTemplate)
        return nullptr;
    const win32::DialogTemplate& tmpl = *pTemplate;
    DWORD nStyle = tmpl.m_nStyle & ~WS_VISIBLE;
    DWORD nExStyle = tmpl.m_nExStyle | ((tmpl.m_nStyle & DS_MODALFRAME) ? WS_EX_DLGMODALFRAME : 0);
    RECT rc{tmpl.x, tmpl.y, tmpl.x + tmpl.cx, tmpl.y + tmpl.cy};
    DialogUnitsToPixels(rc);
    RECT insets = NonClientInsets(nStyle, nExStyle, false);
    int cx = rc.right - rc.left + insets.left + insets.right;
    int cy = rc.bottom - rc.top + insets.top + insets.bottom;
    POINT origin = TemplateOrigin(hParent, nStyle);
    int x = origin.x + rc.left, y = origin.y + rc.top;
    if ((tmpl.m_nStyle & DS_CENTER) && !(nStyle & WS_CHILD))
    {
        RECT rcOver{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        if (HWND hOwner = GetAncestor(hParent, GA_ROOT))
            GetWindowRect(hOwner, &rcOver);
        x = (rcOver.left + rcOver.right - cx) / 2;
        y = (rcOver.top + rcOver.bottom - cy) / 2;
    }
    HWND hDlg = CreateWindowExA(nExStyle, "#32770", tmpl.m_szCaption ? tmpl.m_szCaption : "", nStyle, x, y, cx, cy,
                                hParent, nullptr, hInstance, nullptr);
    if (!hDlg)
        return nullptr;
    DialogState& state = *(DialogStates()[hDlg] = std::make_unique<DialogState>());
    SetWindowLongPtrA(hDlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(pfnProc));
    if ((tmpl.m_nStyle & DS_SETFONT) && tmpl.m_szFace)
    {
        // Points at 96 dots per inch: 8 pt is 11 pixels.
        state.m_hFont = CreateFontA(-MulDiv(tmpl.m_nPointSize, 96, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                    DEFAULT_CHARSET, 0, 0, 0, 0, tmpl.m_szFace);
        state.m_bOwnFont = state.m_hFont != nullptr;
        SendMessageA(hDlg, WM_SETFONT, reinterpret_cast<WPARAM>(state.m_hFont), FALSE);
    }
    if (!state.m_hFont)
        state.m_hFont = reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (!MakeControls(hDlg, hInstance, tmpl, state))
    {
        DestroyWindow(hDlg);
        return nullptr;
    }

    HWND hFirst = GetNextDlgTabItem(hDlg, nullptr, FALSE);
    LRESULT nFocus = SendMessageA(hDlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(hFirst), lParam);
    DialogState* pState = FindDialogState(hDlg);
    if (!pState)
        return nullptr;
    bool bShow = bMayShow && (tmpl.m_nStyle & WS_VISIBLE) && !pState->m_bEnded;
    if (nFocus && hFirst && IsChild(hDlg, hFirst))
    {
        // A hidden dialog takes its focus when it is shown and activated.
        if (bShow || IsWindowVisible(hDlg))
            SetDialogFocus(hDlg, hFirst);
        else
            pState->m_hLastFocus = hFirst;
    }
    if (bShow)
    {
        ShowWindow(hDlg, SW_SHOWNORMAL);
        UpdateWindow(hDlg);
    }
    return IsWindow(hDlg) ? hDlg : nullptr;
}

const win32::DialogTemplate* FindTemplate(LPCSTR lpTemplateName)
{
    if (!IS_INTRESOURCE(lpTemplateName))
    {
        LogWarning("CreateDialogParamA() - dialog templates are found by number, not by the name \"%s\".",
                   lpTemplateName ? lpTemplateName : "");
        return nullptr;
    }
    int nId = static_cast<int>(reinterpret_cast<ULONG_PTR>(lpTemplateName));
    const ResourceEntry* pEntry = FindResourceEntry("DIALOG", nId);
    if (!pEntry || !pEntry->m_pData)
    {
        LogWarning("CreateDialogParamA() - there is no dialog template %d.", nId);
        return nullptr;
    }
    return static_cast<const win32::DialogTemplate*>(pEntry->m_pData);
}

// Puts the owner back and removes the dialog however a modal dialog ends.
struct ModalCleanup
{
    HWND m_hDlg;
    HWND m_hOwner;
    ~ModalCleanup()
    {
        if (m_hOwner && !IsWindowEnabled(m_hOwner))
            EnableWindow(m_hOwner, TRUE);
        DestroyWindow(m_hDlg);
    }
};

bool IsUsableControl(HWND hCtl)
{
    return (static_cast<DWORD>(GetWindowLongPtrA(hCtl, GWL_STYLE)) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE;
}

LRESULT DefaultDialogMessage(HWND hDlg, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    DialogState* pState = FindDialogState(hDlg);
    if (!pState)
        return DefWindowProcA(hDlg, nMessage, wParam, lParam);
    switch (nMessage)
    {
    case WM_ERASEBKGND:
    {
        HDC hdc = reinterpret_cast<HDC>(wParam);
        auto hBrush = reinterpret_cast<HBRUSH>(SendMessageA(hDlg, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(hDlg)));
        RECT rc;
        GetClientRect(hDlg, &rc);
        FillRect(hdc, &rc, hBrush ? hBrush : GetSysColorBrush(COLOR_3DFACE));
        return 1;
    }
    case WM_CTLCOLORDLG:
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_3DFACE));
    case DM_GETDEFID:
        return pState->m_nDefId ? MAKELONG(pState->m_nDefId, DC_HASDEFID) : 0;
    case DM_SETDEFID:
    {
        // The old default button turns plain, the new one default.
        HWND hOld = pState->m_nDefId ? GetDlgItem(hDlg, pState->m_nDefId) : nullptr;
        HWND hNew = GetDlgItem(hDlg, static_cast<int>(wParam));
        pState->m_nDefId = static_cast<int>(wParam);
        if (hOld && hOld != hNew && (SendMessageA(hOld, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
            SendMessageA(hOld, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
        if (hNew && (SendMessageA(hNew, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
            SendMessageA(hNew, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        return TRUE;
    }
    case WM_NEXTDLGCTL:
    {
        HWND hTarget = lParam ? reinterpret_cast<HWND>(wParam)
                              : GetNextDlgTabItem(hDlg, GetFocus(), wParam != 0);
        if (hTarget && IsChild(hDlg, hTarget))
            SetDialogFocus(hDlg, hTarget);
        return 0;
    }
    case WM_SETFOCUS:
    {
        HWND hTarget = pState->m_hLastFocus;
        if (!IsChild(hDlg, hTarget) || !IsUsableControl(hTarget))
            hTarget = GetNextDlgTabItem(hDlg, nullptr, FALSE);
        if (hTarget && hTarget != hDlg)
            SetDialogFocus(hDlg, hTarget);
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
        {
            HWND hFocus = GetFocus();
            if (IsChild(hDlg, hFocus))
                pState->m_hLastFocus = hFocus;
        }
        return DefWindowProcA(hDlg, nMessage, wParam, lParam);
    case WM_CLOSE:
    {
        HWND hCancel = GetDlgItem(hDlg, IDCANCEL);
        if (!hCancel || IsWindowEnabled(hCancel))
            PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(hCancel));
        return 0;
    }
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(pState->m_hFont);
    default:
        return DefWindowProcA(hDlg, nMessage, wParam, lParam);
    }
}
}

DialogState* FindDialogState(HWND hDlg)
{
    auto it = DialogStates().find(hDlg);
    return it != DialogStates().end() && IsWindow(hDlg) ? it->second.get() : nullptr;
}

void SetDialogFocus(HWND hDlg, HWND hCtl)
{
    if (SendMessageA(hCtl, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(hCtl, EM_SETSEL, 0, -1);
    SetFocus(hCtl);
    if (DialogState* pState = FindDialogState(hDlg))
        pState->m_hLastFocus = hCtl;
}

LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    LRESULT nResult = 0;
    bool bHandled = false;
    if (auto pfnProc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(hDlg, DWLP_DLGPROC)))
    {
        SetWindowLongPtrA(hDlg, DWLP_MSGRESULT, 0);
        if (INT_PTR r = pfnProc(hDlg, Msg, wParam, lParam))
        {
            bHandled = true;
            nResult = AnswersDirectly(Msg) ? r : GetWindowLongPtrA(hDlg, DWLP_MSGRESULT);
        }
    }
    if (Msg == WM_NCDESTROY)
    {
        auto it = DialogStates().find(hDlg);
        if (it != DialogStates().end())
        {
            if (it->second->m_bOwnFont)
                DeleteObject(it->second->m_hFont);
            DialogStates().erase(it);
        }
    }
    if (bHandled || !IsWindow(hDlg))
        return nResult;
    return DefaultDialogMessage(hDlg, Msg, wParam, lParam);
}

HWND CreateDialogIndirectParamA(HINSTANCE hInstance, const win32::DialogTemplate* lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return MakeDialog(hInstance, lpTemplate, hWndParent, lpDialogFunc, dwInitParam, true);
}

HWND CreateDialogParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam)
{
    return MakeDialog(hInstance, FindTemplate(lpTemplateName), hWndParent, lpDialogFunc, dwInitParam, true);
}

INT_PTR RunModalDialog(HINSTANCE hInstance, const win32::DialogTemplate* lpTemplate, HWND hWndParent,
                       DLGPROC lpDialogFunc, LPARAM dwInitParam, const ModalDialogLoop& how)
{
    HWND hOwner = GetAncestor(hWndParent, GA_ROOT);
    bool bDisable = hOwner && IsWindowEnabled(hOwner);
    if (bDisable)
        EnableWindow(hOwner, FALSE);
    HWND hDlg = MakeDialog(hInstance, lpTemplate, hWndParent, lpDialogFunc, dwInitParam, false);
    ModalCleanup cleanup{hDlg, bDisable ? hOwner : nullptr};
    DialogState* pState = FindDialogState(hDlg);
    if (!pState)
        return -1;
    pState->m_hDisabledOwner = cleanup.m_hOwner;
    if (!pState->m_bEnded)
    {
        ShowWindow(hDlg, SW_SHOWNORMAL);
        UpdateWindow(hDlg);
    }

    win32::ModalLoop loop;
    loop.m_szName = how.m_szName;
    loop.m_hWnd = hDlg;
    loop.m_hOwner = hOwner;
    loop.m_nFilterCode = how.m_nFilterCode;
    if (how.m_fnIdle)
        loop.m_fnIdle = [hDlg, &how] {
            if (FindDialogState(hDlg))
                how.m_fnIdle(hDlg);
        };
    loop.m_fnPreTranslate = [hDlg](MSG& msg) { return IsDialogMessageA(hDlg, &msg) != FALSE; };
    bool bEnded = win32::RunModalLoop(loop, [hDlg] {
        DialogState* p = FindDialogState(hDlg);
        return !p || p->m_bEnded;
    });
    pState = FindDialogState(hDlg);
    return bEnded && pState ? pState->m_nResult : -1;
}

INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, const win32::DialogTemplate* lpTemplate, HWND hWndParent,
                                DLGPROC lpDialogFunc, LPARAM dwInitParam)
{
    return RunModalDialog(hInstance, lpTemplate, hWndParent, lpDialogFunc, dwInitParam,
                          ModalDialogLoop{"DialogBox", MSGF_DIALOGBOX, nullptr});
}

INT_PTR DialogBoxParamA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogFunc,
                        LPARAM dwInitParam)
{
    const win32::DialogTemplate* pTemplate = FindTemplate(lpTemplateName);
    return pTemplate ? DialogBoxIndirectParamA(hInstance, pTemplate, hWndParent, lpDialogFunc, dwInitParam) : -1;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult)
{
    DialogState* pState = FindDialogState(hDlg);
    if (!pState)
        return FALSE;
    pState->m_bEnded = true;
    pState->m_nResult = nResult;
    // The owner is enabled before the dialog hides, so activation returns to it.
    if (HWND hOwner = pState->m_hDisabledOwner)
    {
        pState->m_hDisabledOwner = nullptr;
        EnableWindow(hOwner, TRUE);
    }
    ShowWindow(hDlg, SW_HIDE);
    return TRUE;
}
