// CMenu and its temporary map.
#include <mfc/afxwin.h>

#include "HandleMaps.h"

namespace
{
HandleMap<CMenu, HMENU>& MenuMap()
{
    static HandleMap<CMenu, HMENU> s_Map;
    return s_Map;
}

void CleanMenuTemporaries()
{
    MenuMap().DeleteTemporaries([](CMenu* p) { p->m_hMenu = nullptr; });
}

struct CleanerRegistration
{
    CleanerRegistration() { RegisterTempMapCleaner(CleanMenuTemporaries); }
} g_CleanerRegistration;
}

IMPLEMENT_DYNCREATE(CMenu, CObject)

CMenu::~CMenu()
{
    Detach();
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    return MenuMap().FromHandle(hMenu, [](HMENU h) {
        auto p = std::make_unique<CMenu>();
        p->m_hMenu = h;
        return p;
    });
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (!hMenu || m_hMenu)
        return FALSE;
    m_hMenu = hMenu;
    MenuMap().SetPermanent(hMenu, this);
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (h && MenuMap().Permanent(h) == this)
        MenuMap().RemovePermanent(h);
    m_hMenu = nullptr;
    return h;
}
