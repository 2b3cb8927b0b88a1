#include "mfc_gui/ToolSkin.h"

#include <cstdio>

void ApplyToolSkinButtons(const char* szSkinDir, const ToolSkinButton* pButtons, size_t nButtons)
{
    for (size_t i = 0; i < nButtons; ++i)
    {
        char szOn[MAX_PATH * 2];
        char szOff[MAX_PATH * 2];
        std::snprintf(szOn, sizeof(szOn), "%s%s on.bmp", szSkinDir, pButtons[i].m_szName);
        std::snprintf(szOff, sizeof(szOff), "%s%s off.bmp", szSkinDir, pButtons[i].m_szName);
        CBtnST& button = *pButtons[i].m_pButton;
        button.SetWindowText("");
        button.SetDrawTransparent(TRUE);
        button.SetBitmapsFromFiles(szOn, TOOL_SKIN_KEY, szOff, TOOL_SKIN_KEY);
        button.SetDrawBorder(FALSE);
    }
}

void LoadToolSkinBackground(CDockDialog& dlg, const char* szSkinDir, const char* szName)
{
    if (dlg.m_pBackground)
        return;
    dlg.m_pBackground = new CBackgroundBitmap;
    char szPath[MAX_PATH * 2];
    std::snprintf(szPath, sizeof(szPath), "%s%s Bkgnd.bmp", szSkinDir, szName);
    if (dlg.m_pBackground->LoadFromFile(szPath) && dlg.m_pBackground->GetWidth() > 0)
        dlg.MoveWindow(0, 0, dlg.m_pBackground->GetWidth(), dlg.m_pBackground->GetHeight(), TRUE);
}
