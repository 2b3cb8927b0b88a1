// The "Options" sheet: OK copies the edited record back (with the typed skin directory and the
// Enabled box), Cancel leaves the caller's record as it was, and a directory too long for the
// record keeps the sheet open.
#include "../win32/TempDir.h"
#include "GuiTestKit.h"
#include "mfc_gui/PropSheetOption.h"

#include <cstring>
#include <functional>
#include <string>

namespace
{
class OptionsSheetTest : public QuietGuiTest
{
protected:
    void SetUp() override
    {
        QuietGuiTest::SetUp();
        Host(0, 0, 800, 600);
        ResetViewSettings(m_Settings, "C:\\Quenlaris\\", nullptr);
        UpdateViewSettings(m_Settings, ViewSettingsWindows());
        m_Settings.m_bSkinEnabled = 0;
    }
    // Runs the sheet on the settings with fnInside acting on the shown skin page; the record is
    // copied back after OK as the view does.
    INT_PTR Run(const std::function<void(CPropSheetOption&, HWND hPage)>& fnInside)
    {
        CPropSheetOption sheet("Options", &m_Host, 0);
        EXPECT_EQ(sheet.SetSettings(&m_Settings), 1);
        EXPECT_EQ(sheet.Initialize(), 1);
        m_Driver.at(10, [&] {
            ASSERT_NE(m_Driver.find("title:Options"), nullptr);
            sheet.SetActivePage(1);
            fnInside(sheet, sheet.m_PageSkin.m_hWnd);
        });
        const INT_PTR nResult = sheet.DoModal();
        if (nResult == IDOK)
            sheet.ApplySettings();
        return nResult;
    }
    static void Press(CWnd& wnd, int nId) { ::SendMessageA(wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(nId, BN_CLICKED), 0); }
    static std::string Text(HWND hPage, int nId)
    {
        char sz[300] = "";
        ::GetWindowTextA(::GetDlgItem(hPage, nId), sz, sizeof(sz));
        return sz;
    }

    ViewSettings m_Settings;
    TempDir m_Temp;
};
}

TEST_F(OptionsSheetTest, OkCopiesTheTypedDirectoryAndTheBoxBackAndCancelDoesNot)
{
    struct Case
    {
        const char* m_szTyped;   // null: the edit untouched
        bool m_bCheck;
        int m_nButton;
        const char* m_szDir;
        int m_bEnabled;
    };
    const Case cases[] = {
        {nullptr, false, IDOK, "C:\\Quenlaris\\skins\\default\\", 0},
        {"D:\\Skins\\Blue", true, IDOK, "D:\\Skins\\Blue\\", 1},
        {"/home/u/skins/red/", false, IDOK, "/home/u/skins/red/", 0},
        {"D:\\Skins\\Blue", true, IDCANCEL, "C:\\Quenlaris\\skins\\default\\", 0},
    };
    for (const Case& c : cases)
    {
        ResetViewSettings(m_Settings, "C:\\Quenlaris\\", nullptr);
        m_Settings.m_bSkinEnabled = 0;
        const std::vector<uint8_t> before = BuildViewSettingsFile(m_Settings);
        std::string strShown;
        const INT_PTR nResult = Run([&](CPropSheetOption& sheet, HWND hPage) {
            strShown = Text(hPage, COptionPageSkin::IDC_SKIN_DIR);
            if (c.m_szTyped)
                ::SetWindowTextA(::GetDlgItem(hPage, COptionPageSkin::IDC_SKIN_DIR), c.m_szTyped);
            if (c.m_bCheck)
                ::SendMessageA(::GetDlgItem(hPage, COptionPageSkin::IDC_ENABLED), BM_SETCHECK, BST_CHECKED, 0);
            Press(sheet, c.m_nButton);
        });
        EXPECT_EQ(nResult, c.m_nButton);
        EXPECT_EQ(strShown, "C:\\Quenlaris\\skins\\default\\");
        EXPECT_STREQ(m_Settings.m_szSkinDir, c.m_szDir) << (c.m_szTyped ? c.m_szTyped : "untouched");
        EXPECT_EQ(m_Settings.m_bSkinEnabled, c.m_bEnabled);
        if (!c.m_szTyped || c.m_nButton == IDCANCEL)
        {
            EXPECT_EQ(BuildViewSettingsFile(m_Settings), before) << "the record is unchanged";
        }
    }
}

TEST_F(OptionsSheetTest, BrowsingToASkinFileTakesItsFolder)
{
    const std::string strSkin = m_Temp.Write("Blue/my.skin", "x");
    std::string strShown;
    const INT_PTR nResult = Run([&](CPropSheetOption& sheet, HWND hPage) {
        m_Driver.answers().file(strSkin);
        Press(sheet.m_PageSkin, COptionPageSkin::IDC_BROWSE);
        strShown = Text(hPage, COptionPageSkin::IDC_SKIN_DIR);
        Press(sheet, IDOK);
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(strShown, m_Temp / "Blue/");
    EXPECT_EQ(std::string(m_Settings.m_szSkinDir), m_Temp / "Blue/");
}

TEST_F(OptionsSheetTest, ADirectoryTooLongForTheRecordKeepsTheSheetOpen)
{
    const std::vector<uint8_t> before = BuildViewSettingsFile(m_Settings);
    bool bOpenAfterOk = false;
    const INT_PTR nResult = Run([&](CPropSheetOption& sheet, HWND hPage) {
        ::SetWindowTextA(::GetDlgItem(hPage, COptionPageSkin::IDC_SKIN_DIR), std::string(259, 'd').c_str());
        Press(sheet, IDOK);
        bOpenAfterOk = ::IsWindow(sheet.m_hWnd) && ::IsWindowVisible(sheet.m_hWnd);
        Press(sheet, IDCANCEL);
    });
    EXPECT_TRUE(bOpenAfterOk);
    EXPECT_EQ(nResult, IDCANCEL);
    EXPECT_EQ(BuildViewSettingsFile(m_Settings), before);
    ASSERT_FALSE(GetLogLines().empty());
    EXPECT_EQ(GetLogLines()[0].m_strText,
              "COptionPageSkin::DoDataExchange() - The skin directory with its final separator is longer than 259 "
              "characters.");

    // Without a record the sheet is refused.
    CPropSheetOption sheet("Options", &m_Host);
    EXPECT_EQ(sheet.SetSettings(nullptr), 0);
    EXPECT_EQ(sheet.Initialize(), 0);
}
