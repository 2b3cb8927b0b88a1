// Skin descriptions: the ".skin" file's bytes, the text readers cutting every text to its field,
// and the skin editor's tree and file commands.
#include "../win32/TempDir.h"
#include "GuiTestKit.h"
#include "mfc_gui/SkinEditorDlg.h"
#include "mfc_gui/SkinUtil.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{
std::vector<uint8_t> FileBytes(const std::string& strPath)
{
    const std::string text = ReadText(strPath);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The description read from text, starting from the defaults.
CSkinUtil ReadSkinText(const std::string& strText, bool bDialogSection)
{
    CSkinUtil skin;
    skin.SetDefaults();
    FILE* pFile = fmemopen(const_cast<char*>(strText.data()), strText.size(), "rb");
    EXPECT_EQ(skin.ReadDescription(pFile), 1);
    if (bDialogSection)
    {
        EXPECT_EQ(skin.ReadDialogSection(pFile), 1);
    }
    std::fclose(pFile);
    return skin;
}

class SkinTest : public QuietGuiTest
{
protected:
    // The texts of an item's children, in order.
    std::vector<std::string> Children(CTreeCtrl& tree, HTREEITEM hParent)
    {
        std::vector<std::string> texts;
        for (HTREEITEM h = tree.GetChildItem(hParent); h; h = tree.GetNextSiblingItem(h))
            texts.push_back(std::string(tree.GetItemText(h)));
        return texts;
    }
    TempDir m_Temp;
};
}

TEST_F(SkinTest, TheDefaultSkinIsWrittenAsItsHeaderNameAndAuthor)
{
    CSkinUtil skin;
    skin.SetDefaults();
    const std::string strPath = m_Temp / "default.skin";
    ASSERT_EQ(skin.SaveSkin(strPath.c_str()), 1);
    const std::vector<uint8_t> bytes = FileBytes(strPath);
    ASSERT_EQ(bytes.size(), 212u);
    std::vector<uint8_t> expected(212, 0);
    std::memcpy(&expected[0], "[SKIN DESCRIPTION]\n", 19);
    std::memcpy(&expected[20], "Ze_Vuvor", 8);
    std::memcpy(&expected[84], "Torvane Software", 16);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(skin.m_nDialogHeight, 200);
    EXPECT_EQ(skin.m_nDialogWidth, 500);
    EXPECT_EQ(skin.m_ColorKeyButtons[0] * 65536 + skin.m_ColorKeyButtons[1] * 256 + skin.m_ColorKeyButtons[2], 0xFF00FF);

    // No folder to write into: a logged error, nothing left behind.
    const std::string strBad = m_Temp / "none/x.skin";
    EXPECT_EQ(skin.SaveSkin(strBad.c_str()), 0);
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_EQ(GetLogLines()[0].m_strText, "CSkinUtil::SaveSkin - Could not open the file for writing.");
}

TEST_F(SkinTest, TheTextReadersCutEveryTextToItsField)
{
    const std::string strDialog = "[DIALOG]\nDialog_Height: 120 \nDialog_Width: 340 \nWeb_Btn: 1,2,3,4\n"
                                  "Fullscreen Btn: 5,6,7,8\nMove_Mode: 9,10,11,12\nColor_Key Buttons: 1,2,3\n"
                                  "Size_Background: 0,0,318,158\nUse_Border: 1\nColor_Key_Border: 7,8,9\n";
    const CSkinUtil whole = ReadSkinText("[SKIN]\nSkin Name: Blue\nSkin Author: Someone\n" + strDialog, true);
    EXPECT_STREQ(whole.m_szName, "Blue");
    EXPECT_STREQ(whole.m_szAuthor, "Someone");
    EXPECT_EQ(whole.m_nDialogHeight, 120);
    EXPECT_EQ(whole.m_nDialogWidth, 340);
    EXPECT_EQ(whole.m_rcWebButton.m_nBottom, 4);
    EXPECT_EQ(whole.m_rcFullscreenButton.m_nLeft, 5);
    EXPECT_EQ(whole.m_rcMoveModeButton.m_nRight, 11);
    EXPECT_EQ(whole.m_ColorKeyButtons[2], 3);
    EXPECT_EQ(whole.m_rcBackground.m_nRight, 318);
    EXPECT_EQ(whole.m_bUseBorder, 1);
    EXPECT_EQ(whole.m_ColorKeyBorder[0], 7);

    // A 200-character name fills its field and no more: the author behind it keeps its value,
    // and the read stops at the rest of the name.
    const CSkinUtil longName =
        ReadSkinText("[SKIN]\nSkin Name: " + std::string(200, 'n') + "\nSkin Author: Someone\n" + strDialog, true);
    EXPECT_EQ(std::string(longName.m_szName), std::string(63, 'n'));
    EXPECT_STREQ(longName.m_szAuthor, "Torvane Software");
    EXPECT_EQ(longName.m_nDialogHeight, 200);

    const CSkinUtil longAuthor = ReadSkinText("[SKIN]\nSkin Name: Blue\nSkin Author: " + std::string(300, 'a') + "\n", false);
    EXPECT_EQ(std::string(longAuthor.m_szAuthor), std::string(127, 'a'));

    // A line that does not match ends the section with the values read so far.
    const CSkinUtil cut = ReadSkinText("[SKIN]\nSkin Name: Blue\nSkin Author: x\n[DIALOG]\nDialog_Height: 90 \nWidth: 3\n", true);
    EXPECT_EQ(cut.m_nDialogHeight, 90);
    EXPECT_EQ(cut.m_nDialogWidth, 500);
}

TEST_F(SkinTest, TheEditorShowsTheDescriptionAndSavesOnlyNameAndAuthor)
{
    Host(0, 0, 700, 600);
    const std::string strNotASkin = m_Temp.Write("notes.skin", "not a skin at all");
    const std::string strPlain = m_Temp / "plain.skin";
    const std::string strEdited = m_Temp / "edited.skin";
    CSkinEditorDlg dlg(&m_Host);
    EXPECT_EQ(dlg.SetSkinPath(nullptr), 0);
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_EQ(GetLogLines()[0].m_strText, "CSkinEditorDlg::SetSkinPath() - The path is null.");
    EXPECT_EQ(dlg.SetSkinPath(m_Temp.Path().c_str()), 1);

    std::vector<std::string> root, description, dialog;
    bool bEmptyAtStart = false, bHasMenu = false;
    m_Driver.at(10, [&] {
        HWND hDlg = m_Driver.find("title:Skin Editor");
        ASSERT_NE(hDlg, nullptr);
        bHasMenu = ::GetMenu(hDlg) != nullptr;
        bEmptyAtStart = dlg.m_TreeCtrl.GetCount() == 0;
        m_Driver.answers().file(strNotASkin);
        ::SendMessageA(hDlg, WM_COMMAND, ID_FILE_OPEN, 0);
        HTREEITEM hRoot = dlg.m_TreeCtrl.GetRootItem();
        root = Children(dlg.m_TreeCtrl, hRoot);
        HTREEITEM hDescription = dlg.m_TreeCtrl.GetChildItem(hRoot);
        description = Children(dlg.m_TreeCtrl, hDescription);
        dialog = Children(dlg.m_TreeCtrl, dlg.m_TreeCtrl.GetNextSiblingItem(hDescription));
        m_Driver.answers().file(strPlain);
        ::SendMessageA(hDlg, WM_COMMAND, CSkinEditorDlg::ID_SKIN_SAVE_AS, 0);
        dlg.m_SkinUtil.m_nDialogWidth = 321;   // as the tree's slider writes it
        m_Driver.answers().file(strEdited);
        ::SendMessageA(hDlg, WM_COMMAND, CSkinEditorDlg::ID_SKIN_SAVE_AS, 0);
        ::SendMessageA(hDlg, WM_CLOSE, 0, 0);
    });
    dlg.DoModal();
    EXPECT_TRUE(bHasMenu);
    EXPECT_TRUE(bEmptyAtStart);
    EXPECT_EQ(root, (std::vector<std::string>{"Skin Description", "General Tool Dialog"}));
    EXPECT_EQ(description, (std::vector<std::string>{"Ze_Vuvor", "Torvane Software"}));
    EXPECT_EQ(dialog, (std::vector<std::string>{"Dialog Height: 200", "Dialog Width: 500", "Web Btn Left: 0",
                                                "Web Btn Top: 0", "Web Btn Right: 0", "Web Btn Bottom: 0"}));
    EXPECT_EQ(FileBytes(strPlain).size(), 212u);
    EXPECT_EQ(FileBytes(strEdited), FileBytes(strPlain));
    EXPECT_EQ(dlg.m_TreeCtrl.m_hWnd, nullptr);
}
