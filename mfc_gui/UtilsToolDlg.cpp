#include "mfc_gui/UtilsToolDlg.h"

#include "mfc_gui/ToolSkin.h"

int CUtilsToolDlg::SetSettings(ViewSettings* pSettings)
{
    if (!pSettings)
        return 0;
    m_pSettings = pSettings;
    return 1;
}

void CUtilsToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDockDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_DEVICE, m_btnDevice);
    DDX_Control(pDX, IDC_CAMERA, m_btnCamera);
    DDX_Control(pDX, IDC_RENDER, m_btnRender);
    DDX_Control(pDX, IDC_HOLOSCOPY, m_btnHoloscopy);
    DDX_Control(pDX, IDC_LIGHTS, m_btnLights);
    DDX_Control(pDX, IDC_MATERIAL, m_btnMaterial);
}

int CUtilsToolDlg::LoadSkinBitmaps()
{
    if (!m_hWnd || !m_pSettings)
        return 0;
    LoadToolSkinBackground(*this, m_pSettings->m_szSkinDir, "Utils");
    const ToolSkinButton buttons[] = {{&m_btnCamera, "Camera"}, {&m_btnDevice, "Device"},
                                      {&m_btnHoloscopy, "Holo"},  {&m_btnLights, "Lights"},
                                      {&m_btnMaterial, "Material"}, {&m_btnRender, "Render"}};
    ApplyToolSkinButtons(m_pSettings->m_szSkinDir, buttons);
    return 1;
}
