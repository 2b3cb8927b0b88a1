#include "mfc_gui/GeneralToolDlg.h"

#include "mfc_gui/ToolSkin.h"

int CGeneralToolDlg::SetSettings(ViewSettings* pSettings)
{
    if (!pSettings)
        return 0;
    m_pSettings = pSettings;
    return 1;
}

int CGeneralToolDlg::SetOwnerPointer(void* pOwner)
{
    if (!pOwner)
        return 0;
    m_pOwner = pOwner;
    return 1;
}

void CGeneralToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDockDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_WEB_PAGE, m_btnWebPage);
    DDX_Control(pDX, IDC_MOVE_MODE, m_btnMoveMode);
    DDX_Control(pDX, IDC_FULLSCREEN, m_btnFullscreen);
}

int CGeneralToolDlg::LoadSkinBitmaps()
{
    if (!m_hWnd || !m_pSettings)
        return 0;
    LoadToolSkinBackground(*this, m_pSettings->m_szSkinDir, "General");
    const ToolSkinButton buttons[] = {
        {&m_btnFullscreen, "Fullscreen"}, {&m_btnMoveMode, "Move Mode"}, {&m_btnWebPage, "Web Page"}};
    ApplyToolSkinButtons(m_pSettings->m_szSkinDir, buttons);
    m_btnWebPage.SetTooltipText("Visit our web site!", TRUE);
    m_btnWebPage.SetURL(WEB_ADDRESS);
    return 1;
}
