#pragma once
// CMenu: an object owning (or, from FromHandle, only naming) a menu handle of the window layer.
#include <mfc/afxobj.h>

#include <win32/user.h>

// Item flags WM_MENUSELECT reports (the values of the public documentation).
#ifndef MF_POPUP
#define MF_POPUP 0x00000010L
#endif
#ifndef MF_SEPARATOR
#define MF_SEPARATOR 0x00000800L
#endif

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
};
