#pragma once
// What the dialog manager keeps for each dialog window, shared by its files.
#include <win32/windows.h>

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
