#pragma once
// What the dialog manager keeps for each dialog window, shared by its files.
#include <win32/windows.h>

#include <functional>

struct DialogState
{
    HFONT m_hFont = nullptr;
    bool m_bOwnFont = false;
    int m_nDefId = 0;              // the default button's id; 0: none set
    HWND m_hLastFocus = nullptr;   // the control that gets the focus back when the dialog does
    bool m_bEnded = false;
    INT_PTR m_nResult = 0;
    HWND m_hDisabledOwner = nullptr;   // a modal dialog's owner, enabled again by EndDialog
};

// The state of a dialog made by the dialog manager; null for any other window.
DialogState* FindDialogState(HWND hDlg);
// Focuses a control as the keyboard interface does: an edit's text is selected as it arrives.
void SetDialogFocus(HWND hDlg, HWND hCtl);

// A modal dialog on a nested loop: the owner (hWndParent's top-level window) is disabled until the
// dialog ends; fnIdle runs each time the loop goes idle. Returns EndDialog's result, or -1 when the
// dialog could not be made or WM_QUIT ended the loop.
struct ModalDialogLoop
{
    const char* m_szName;
    int m_nFilterCode;
    std::function<void(HWND hDlg)> m_fnIdle;
};
INT_PTR RunModalDialog(HINSTANCE hInstance, const win32::DialogTemplate* pTemplate, HWND hWndParent, DLGPROC pfnProc,
                       LPARAM lParam, const ModalDialogLoop& how);
