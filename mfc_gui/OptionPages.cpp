#include "mfc_gui/OptionPages.h"

#include "mfc_gui/BaseFileDlg.h"

#include <core/Log.h>

#include <cstring>
#include <string>

IMPLEMENT_DYNCREATE(COptionPage3D, CPropertyPageEx)
IMPLEMENT_DYNCREATE(COptionPageSkin, CPropertyPageEx)

BEGIN_MESSAGE_MAP(COptionPageSkin, CPropertyPageEx)
    ON_BN_CLICKED(COptionPageSkin::IDC_BROWSE, &COptionPageSkin::OnBrowse)
END_MESSAGE_MAP()

namespace
{
// The tool windows append file names straight to the directory, so it ends with a separator.
std::string SkinDirWithSeparator(const char* szDir)
{
    std::string strDir = szDir;
    if (!strDir.empty() && strDir.back() != '\\' && strDir.back() != '/')
        strDir += '\\';
    return strDir;
}
}

void COptionPage3D::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPageEx::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_USE_FIXED_D3D, m_bUseFixedD3D);
}

void COptionPageSkin::DoDataExchange(CDataExchange* pDX)
{
    CPropertyPageEx::DoDataExchange(pDX);
    DDX_Check(pDX, IDC_ENABLED, m_bEnabled);
    DDX_Text(pDX, IDC_SKIN_DIR, m_strSkinDir);
    if (pDX->m_bSaveAndValidate && SkinDirWithSeparator(m_strSkinDir).size() >= VIEW_SETTINGS_DIR_SIZE)
    {
        LogError("COptionPageSkin::DoDataExchange() - The skin directory with its final separator is longer than %zu characters.",
                 VIEW_SETTINGS_DIR_SIZE - 1);
        pDX->PrepareEditCtrl(IDC_SKIN_DIR);
        pDX->Fail();
    }
}

BOOL COptionPageSkin::OnInitDialog()
{
    CPropertyPageEx::OnInitDialog();
    if (m_pSettings)
    {
        m_bEnabled = m_pSettings->m_bSkinEnabled;
        m_strSkinDir = m_pSettings->m_szSkinDir;
        UpdateData(FALSE);
    }
    return TRUE;
}

BOOL COptionPageSkin::OnApply()
{
    if (m_pSettings)
    {
        const std::string strDir = SkinDirWithSeparator(m_strSkinDir);
        std::memcpy(m_pSettings->m_szSkinDir, strDir.c_str(), strDir.size() + 1);
        m_pSettings->m_bSkinEnabled = m_bEnabled ? 1 : 0;
    }
    return CPropertyPageEx::OnApply();
}

void COptionPageSkin::OnBrowse()
{
    CBaseFileDlg dlg;
    if (!m_pSettings || !dlg.OpenSkinFile(m_hWnd, nullptr, nullptr))
        return;
    UpdateData(TRUE);
    if (!dlg.CopyFileDir(m_pSettings->m_szSkinDir))
        return;
    m_strSkinDir = m_pSettings->m_szSkinDir;
    UpdateData(FALSE);
}
