#pragma once
// The main window's menu bar: a toolbar control with one text button per top-level item of a
// menu resource, each opening its popup below the button. While a popup is open a message filter
// lets the user slide the mouse from button to button or walk the bar with Left and Right, as in
// a system menu bar; Alt, F10 and the mnemonics reach it through the main window. The popup items
// are drawn here, with 16 x 16 icons taken from a toolbar resource.
#include "mfc_gui/AlphaImageList.h"

#include <mfc/afxcmn.h>
#include <mfc/afxwin.h>

// Posted by the bar to itself to open the popup of m_nTrackIndex.
#define WM_MENUBAR_TRACKPOPUP (WM_USER + 0x709)

class CMenuBar : public CToolBarCtrl
{
public:
    CMenuBar() = default;
    ~CMenuBar() override;

    BOOL Create(CWnd* pParentWnd, UINT nID);
    // One button per top-level item of menu nMenuId; nMode is the icon list's mode (1: alpha).
    BOOL LoadMenu(UINT nMenuId, int nMode);
    // The icons of toolbar resource nToolBarId (and its bitmap) for the items of those commands.
    BOOL LoadMenuIcons(UINT nToolBarId);
    BOOL LoadAltMenu(UINT nMenuId);
    void UpdateFont();
    // Opens the popup whose title has "&c" (case ignored); FALSE when none has.
    BOOL OpenMenuByMnemonic(UINT nChar);
    // SC_KEYMENU: 0 (Alt or F10 alone) makes the first button hot or ends the hot state; 32
    // (Alt+Space) leaves the system menu to the caller (returns FALSE).
    BOOL OnSysKeyMenu(UINT nKey);
    void SetKeyboardMode(BOOL bOn);
    void SetActive(BOOL bActive);
    CMenu* GetMenu() const { return m_pMenu; }
    BOOL TrackSubMenu(int nIndex, int x, int y);
    BOOL TrackSubMenuByName(const char* szTitle, int x, int y);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // Whether a popup of the bar is open, and which button is being tracked (tests, frame).
    static CMenuBar* GetActiveMenuBar();
    int GetTrackIndex() const { return m_nTrackIndex; }

protected:
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu);
    afx_msg void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMIS);
    afx_msg void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS);
    afx_msg void OnEnterIdle(UINT nWhy, CWnd* pWho);
    afx_msg void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    afx_msg LRESULT OnTrackPopup(WPARAM wParam, LPARAM lParam);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    CMenu* m_pMenu = nullptr;
    CMenu* m_pAltMenu = nullptr;
    CFont m_font;
    int m_nButtons = 0;
    int m_nTrackIndex = -1;
    CPoint m_ptLastMouse{-1, -1};
    BOOL m_bOpenedByKeyboard = FALSE;
    CWnd* m_pPrevFocus = nullptr;
    BOOL m_bKeyboardMode = TRUE;
    BOOL m_bKeepMode = FALSE;
    BOOL m_bSwitching = FALSE;
    BOOL m_bSelIsPopup = FALSE;
    HMENU m_hSelMenu = nullptr;
    CAlphaImageList m_images;
    CUIntArray m_ids;
    BOOL m_bAltLook = FALSE;
    BOOL m_bAlwaysCues = TRUE;
    BOOL m_bActive = TRUE;

private:
    void TrackPopup();
    // TRUE when the message is eaten.
    BOOL OnMenuInput(MSG& msg);
    BOOL IsNestedMenu() const;
    void SetHotButton(int nIndex);
    void SwitchTo(int nIndex, BOOL bByKeyboard);
    CWnd* Frame() const;
    int IconIndex(UINT nCommand) const;
    void DrawMenuItem(CDC* pDC, LPDRAWITEMSTRUCT lpDIS);
    static LRESULT CALLBACK MenuFilterHook(int nCode, WPARAM wParam, LPARAM lParam);
};
