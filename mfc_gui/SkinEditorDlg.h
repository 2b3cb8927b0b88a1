#pragma once
// The "Skin Editor" (dialog 163, menu 164): shows a skin description in a property tree and saves
// it as a ".skin" file. The tree edits the description in place; the file keeps only the name
// and the author.
#include "mfc_gui/BaseTreeCtrl.h"
#include "mfc_gui/SkinUtil.h"

#include <mfc/afxwin.h>

class CSkinEditorDlg : public CDialog
{
public:
    enum
    {
        IDD = 163
    };
    static constexpr int IDR_MENU = 164;
    static constexpr int IDC_TREE = 1030;
    // "Open..." is ID_FILE_OPEN (57601).
    static constexpr int ID_SKIN_SAVE_AS = 32780;

    explicit CSkinEditorDlg(CWnd* pParent = nullptr) : CDialog(IDD, pParent) {}

    // The folder the open dialog starts in; 0 with a logged error for null.
    int SetSkinPath(const char* szPath);
    // The description as a tree: the name and author, and the general tool window's geometry as
    // int items bound to the description. 1.
    int FillTree();

    CBaseTreeCtrl m_TreeCtrl;
    CSkinUtil m_SkinUtil;
    char m_szSkinPath[MAX_PATH] = "";

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    afx_msg void OnFileOpen();
    afx_msg void OnFileSaveAs();
    afx_msg void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    CMenu m_Menu;
};
