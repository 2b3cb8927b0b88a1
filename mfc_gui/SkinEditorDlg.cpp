#include "mfc_gui/SkinEditorDlg.h"

#include "mfc_gui/BaseFileDlg.h"

#include <core/Log.h>

#include <cstdio>
#include <cstring>

BEGIN_MESSAGE_MAP(CSkinEditorDlg, CDialog)
    ON_COMMAND(ID_FILE_OPEN, &CSkinEditorDlg::OnFileOpen)
    ON_COMMAND(CSkinEditorDlg::ID_SKIN_SAVE_AS, &CSkinEditorDlg::OnFileSaveAs)
    ON_WM_CLOSE()
END_MESSAGE_MAP()

int CSkinEditorDlg::SetSkinPath(const char* szPath)
{
    if (!szPath)
    {
        LogError("CSkinEditorDlg::SetSkinPath() - The path is null.");
        return 0;
    }
    std::snprintf(m_szSkinPath, sizeof(m_szSkinPath), "%s", szPath);
    return 1;
}

void CSkinEditorDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TREE, m_TreeCtrl);
}

BOOL CSkinEditorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The template carries no menu of its own: the menu is attached here.
    if (m_Menu.LoadMenu(IDR_MENU))
        SetMenu(&m_Menu);
    m_SkinUtil.SetDefaults();
    return TRUE;
}

int CSkinEditorDlg::FillTree()
{
    m_TreeCtrl.DeleteAllNodes();
    HTREEITEM hRoot = m_TreeCtrl.InsertItem("Skin");
    HTREEITEM hDescription = m_TreeCtrl.InsertItem("Skin Description", hRoot);
    m_TreeCtrl.InsertItem(m_SkinUtil.m_szName, hDescription);
    m_TreeCtrl.InsertItem(m_SkinUtil.m_szAuthor, hDescription);
    HTREEITEM hDialog = m_TreeCtrl.InsertItem("General Tool Dialog", hRoot);
    struct IntItem
    {
        const char* m_szLabel;
        int32_t* m_pValue;
    };
    const IntItem items[] = {
        {"Dialog Height", &m_SkinUtil.m_nDialogHeight},
        {"Dialog Width", &m_SkinUtil.m_nDialogWidth},
        {"Web Btn Left", &m_SkinUtil.m_rcWebButton.m_nLeft},
        {"Web Btn Top", &m_SkinUtil.m_rcWebButton.m_nTop},
        {"Web Btn Right", &m_SkinUtil.m_rcWebButton.m_nRight},
        {"Web Btn Bottom", &m_SkinUtil.m_rcWebButton.m_nBottom},
    };
    for (const IntItem& item : items)
        m_TreeCtrl.InsertIntItem(item.m_pValue, item.m_szLabel, 0, 1000, hDialog);
    return 1;
}

void CSkinEditorDlg::OnFileOpen()
{
    CBaseFileDlg dlg;
    if (!dlg.OpenSkinFile(m_hWnd, nullptr, m_szSkinPath))
        return;
    m_SkinUtil.LoadSkin(dlg.GetFilePath());
    FillTree();
}

void CSkinEditorDlg::OnFileSaveAs()
{
    CBaseFileDlg dlg;
    if (!dlg.SaveSkinFile(m_hWnd, nullptr, nullptr))
        return;
    m_SkinUtil.SaveSkin(dlg.GetFilePath());
}

void CSkinEditorDlg::OnClose()
{
    m_TreeCtrl.DeleteAllNodes();
    CDialog::OnClose();
}
