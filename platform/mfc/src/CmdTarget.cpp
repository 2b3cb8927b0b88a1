// Command targets: the search of the message maps, and command-UI updates.
#include <mfc/afxwin.h>

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage) const
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->pfn; ++p)
            if (p->nMessage == nMessage)
                return p;
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // CN_UPDATE_COMMAND_UI is all ones; other codes carry their message in the high word.
    UINT nMsg = 0;
    WORD wCode = static_cast<WORD>(CN_UPDATE_COMMAND_UI);
    if (static_cast<UINT>(nCode) != CN_UPDATE_COMMAND_UI)
    {
        nMsg = HIWORD(static_cast<UINT>(nCode));
        wCode = LOWORD(static_cast<UINT>(nCode));
    }
    if (nMsg == 0)
        nMsg = WM_COMMAND;
    bool bUpdate = nMsg == WM_COMMAND && wCode == static_cast<WORD>(CN_UPDATE_COMMAND_UI);
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
        for (const AFX_MSGMAP_ENTRY* p = pMap->lpEntries; p->pfn; ++p)
        {
            if (p->nMessage != nMsg || static_cast<WORD>(p->nCode) != wCode || nID < p->nID || nID > p->nLastID)
                continue;
            if (pHandlerInfo)
            {
                pHandlerInfo->pTarget = this;
                return TRUE;
            }
            CCmdUI* pCmdUI = bUpdate ? static_cast<CCmdUI*>(pExtra) : nullptr;
            if (pCmdUI)
                pCmdUI->m_bContinueRouting = FALSE;
            AFX_MSGCALL call{nMsg, 0, 0, nID, pExtra, 0};
            if (!p->pfn(this, call))
                continue;   // an _EX handler declined: later entries and the routing go on
            return pCmdUI ? !pCmdUI->m_bContinueRouting : TRUE;
        }
    return FALSE;
}

// ---- Command UI

// A menu item is addressed by its position; any other element is a window.
void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu)
        m_pMenu->EnableMenuItem(m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : MF_GRAYED));
    else if (m_pOther)
        m_pOther->EnableWindow(bOn);
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu)
        m_pMenu->CheckMenuItem(m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_pMenu)
    {
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        if (m_pMenu->GetMenuItemInfo(m_nIndex, &info, TRUE))
        {
            info.fType |= MFT_RADIOCHECK;
            m_pMenu->SetMenuItemInfo(m_nIndex, &info, TRUE);
        }
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(const char* lpszText)
{
    if (m_pMenu)
        m_pMenu->ModifyMenu(m_nIndex, MF_BYPOSITION | MF_STRING |
                                (m_pMenu->GetMenuState(m_nIndex, MF_BYPOSITION) & (MF_CHECKED | MF_GRAYED | MF_DISABLED)),
                            m_nID, lpszText);
    else if (m_pOther)
        m_pOther->SetWindowText(lpszText);
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || !pTarget)
        return TRUE;
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (!bResult && bDisableIfNoHndler && !m_bEnableChanged)
    {
        AFX_CMDHANDLERINFO info{nullptr};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return bResult;
}

void CTestCmdUI::Enable(BOOL bOn)
{
    m_bEnabled = bOn;
    m_bEnableChanged = TRUE;
}

void CTestCmdUI::SetCheck(int)
{
}

void CTestCmdUI::SetRadio(BOOL)
{
}

void CTestCmdUI::SetText(const char*)
{
}
