#include "mfc_gui/PropSheetOption.h"

IMPLEMENT_DYNAMIC(CPropSheetOption, CPropertySheetEx)

int CPropSheetOption::SetSettings(ViewSettings* pSettings)
{
    if (!pSettings)
        return 0;
    m_pSettings = pSettings;
    m_Settings = *pSettings;
    return 1;
}

int CPropSheetOption::Initialize()
{
    AddPage(&m_Page3D);
    AddPage(&m_PageSkin);
    if (!m_pSettings)
        return 0;
    m_PageSkin.SetSettings(&m_Settings);
    return 1;
}

void CPropSheetOption::ApplySettings()
{
    if (m_pSettings)
        *m_pSettings = m_Settings;
}
