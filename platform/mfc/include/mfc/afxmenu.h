#pragma once
// CMenu: an object owning (or, from FromHandle, only naming) a menu handle of the window layer;
// an owned menu is destroyed with its object.
#include <mfc/afxobj.h>
#include <mfc/afxstr.h>

#include <win32/menus.h>

#include <win32/user.h>

class CMenu : public CObject
{
    DECLARE_DYNCREATE(CMenu)
public:
    CMenu() = default;
    ~CMenu() override;
    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }
    static CMenu* FromHandle(HMENU hMenu);
    BOOL Attach(HMENU hMenu);
    HMENU Detach();

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    BOOL LoadMenu(UINT nIDResource);
    BOOL LoadMenu(const char* lpszResourceName);
    BOOL DestroyMenu();

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, const char* lpszNewItem = nullptr);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags);

    // The previous check state (MF_CHECKED or MF_UNCHECKED), or -1 for no such item.
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    BOOL CheckMenuRadioItem(UINT nIDFirst, UINT nIDLast, UINT nIDItem, UINT nFlags);
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuItemCount() const;
    UINT GetMenuItemID(int nPos) const;
    CMenu* GetSubMenu(int nPos) const;
    int GetMenuString(UINT nIDItem, char* lpString, int nMaxCount, UINT nFlags) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    BOOL GetMenuItemInfo(UINT uItem, LPMENUITEMINFOA lpMenuItemInfo, BOOL fByPos = FALSE);
    BOOL SetMenuItemInfo(UINT uItem, LPCMENUITEMINFOA lpMenuItemInfo, BOOL fByPos = FALSE);

    // Tracks the menu as a popup owned by pWnd; the results are those of the window layer's calls.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, class CWnd* pWnd, const RECT* lpRect = nullptr);
    BOOL TrackPopupMenuEx(UINT nFlags, int x, int y, class CWnd* pWnd, LPTPMPARAMS lptpm);
};

class CCmdTarget;
// Brings a popup's items up to date through the command route of pTarget: update handlers
// set their state, and with bDisableIfNoHndler an item nobody handles is greyed.
void AfxUpdateMenuCmdUI(CCmdTarget* pTarget, CMenu* pPopupMenu, BOOL bDisableIfNoHndler);
