#include "app/MenuBar.h"

namespace
{
const int MENU_BAR_HEIGHT = 22;
}

bool CMenuBar::Create(CWnd* pParentWnd, UINT nID)
{
    if (!pParentWnd || !pParentWnd->m_hWnd)
        return false;
    const char* szClass = AfxRegisterWndClass(0, nullptr,
                                              reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
    CRect rc(0, 0, 200, MENU_BAR_HEIGHT);
    return CreateEx(0, szClass, "", WS_CHILD | WS_VISIBLE, rc, pParentWnd, nID) != FALSE;
}

bool CMenuBar::LoadMenu(UINT nMenuId, int /*nMode*/)
{
    m_nMenuId = nMenuId;
    return m_hWnd != nullptr;
}

bool CMenuBar::LoadMenuIcons(UINT /*nToolBarId*/)
{
    return m_hWnd != nullptr;
}

void CMenuBar::SetKeyboardMode(bool bOn)
{
    m_bKeyboardMode = bOn;
    if (m_hWnd)
        Invalidate();
}
