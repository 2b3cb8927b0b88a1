#pragma once
// The main window's menu bar until the window toolkit's owner-drawn bar takes its place: a plain
// child window whose creation and menu loading succeed, so the main window's set-up runs as it
// will with the real bar.
#include <mfc/afxwin.h>

class CMenuBar : public CWnd
{
public:
    // A child of the frame with that id.
    bool Create(CWnd* pParentWnd, UINT nID);
    // Remembers the menu; its items are not shown yet.
    bool LoadMenu(UINT nMenuId, int nMode);
    bool LoadMenuIcons(UINT nToolBarId);
    void UpdateFont() {}
    void SetKeyboardMode(bool bOn);
    // The stand-in shows no buttons, so no mnemonic or menu key opens one: both are left to the
    // frame's default handling.
    bool OpenMenuByMnemonic(UINT /*nChar*/) { return false; }
    bool OnSysKeyMenu(UINT /*nID*/, LPARAM /*lParam*/) { return false; }

    UINT m_nMenuId = 0;
    bool m_bKeyboardMode = false;
};

// The frame's toolbar object, which is never created as a window.
class CAlphaToolBar
{
};
