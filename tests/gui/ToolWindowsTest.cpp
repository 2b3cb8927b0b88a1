// The animation, general and utils tool windows: the player buttons' rules, the skins sizing the
// windows, the Web Page button opening the site through xdg-open, and the Move Mode button's
// captions, focus and key debounce on the layer clock.
#include "GuiTestKit.h"
#include "mfc_gui/AnimationToolDlg.h"
#include "mfc_gui/GeneralToolDlg.h"
#include "mfc_gui/UtilsToolDlg.h"

#include <win32/shellapi.h>

#include <string>
#include <vector>

namespace
{
class ToolWindowsTest : public QuietGuiTest
{
protected:
    void SetUp() override
    {
        QuietGuiTest::SetUp();
        Host(0, 0, 900, 600);
        std::snprintf(m_Settings.m_szSkinDir, sizeof(m_Settings.m_szSkinDir), "%s/skins/default/", QUEN_DATA_DIR);
    }
    void TearDown() override
    {
        win32::SetSpawnFunction(nullptr);
        QuietGuiTest::TearDown();
    }
    void Create(CDockDialog& dlg, UINT nId)
    {
        ASSERT_TRUE(dlg.Create(nId, &m_Host));
        dlg.ShowWindow(SW_SHOW);
        m_Driver.pumpUntilIdle();
    }
    void Click(CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        const POINT pt{rc.CenterPoint().x, rc.CenterPoint().y};
        m_Driver.mouse(pt);
        m_Driver.mouse(pt, 0, true);
        m_Driver.mouse(pt, 0, false);
        m_Driver.pumpUntilIdle();
    }
    static CSize WindowSize(CWnd& wnd)
    {
        CRect rc;
        wnd.GetWindowRect(&rc);
        return rc.Size();
    }
    static std::string Caption(CWnd& wnd)
    {
        CString str;
        wnd.GetWindowText(str);
        return static_cast<const char*>(str);
    }

    ViewSettings m_Settings;
};
}

TEST_F(ToolWindowsTest, ThePlayerButtonsKeepEachOthersStates)
{
    struct Case
    {
        const char* m_szPresses;   // R(ec), P(lay), A (pause), S(top), L(oop)
        const char* m_szChecked;   // the checked ones afterwards, in the order R P A S L
    };
    const Case cases[] = {
        {"PAA", "P"},          // pause lifted plays again
        {"PA", "A"},
        {"LPS", "L"},          // stop clears all but Loop
        {"RAS", ""},
        {"PR", "R"},           // recording stops playing
        {"RP", "P"},           // and playing stops recording
        {"S", ""},             // Stop never stays checked
        {"LL", ""},
    };
    for (const Case& c : cases)
    {
        CAnimationToolDlg dlg;
        Create(dlg, CAnimationToolDlg::IDD);
        // The template places the strip above its parent's top edge.
        dlg.SetWindowPos(nullptr, 0, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        CBtnST* const buttons[] = {&dlg.m_btnRec, &dlg.m_btnPlay, &dlg.m_btnPause, &dlg.m_btnStop, &dlg.m_btnLoop};
        const std::string strKeys = "RPASL";
        for (const char* p = c.m_szPresses; *p; ++p)
            Click(*buttons[strKeys.find(*p)]);
        std::string strChecked;
        for (size_t i = 0; i < strKeys.size(); ++i)
            if (buttons[i]->GetCheck())
                strChecked += strKeys[i];
        EXPECT_EQ(strChecked, c.m_szChecked) << c.m_szPresses;
        dlg.DestroyWindow();
    }
}

TEST_F(ToolWindowsTest, SkinsSizeTheWindowsFromTheirBackgrounds)
{
    CAnimationToolDlg animation;
    CGeneralToolDlg general;
    CUtilsToolDlg utils;
    // Without a window or without settings nothing is loaded.
    EXPECT_EQ(general.SetSettings(&m_Settings), 1);
    EXPECT_EQ(general.LoadSkinBitmaps(), 0);
    Create(animation, CAnimationToolDlg::IDD);
    EXPECT_EQ(animation.LoadSkinBitmaps(), 0);
    EXPECT_EQ(animation.SetSettings(nullptr), 0);

    struct Case
    {
        CDockDialog* m_pDlg;
        UINT m_nId;
        CWnd* m_pButton;
        CSize m_Size;   // the skin's background
    };
    const Case cases[] = {
        {&animation, CAnimationToolDlg::IDD, &animation.m_btnPlay, CSize(644, 52)},
        {&general, CGeneralToolDlg::IDD, &general.m_btnFullscreen, CSize(318, 158)},
        {&utils, CUtilsToolDlg::IDD, &utils.m_btnCamera, CSize(318, 126)},
    };
    animation.SetSettings(&m_Settings);
    utils.SetSettings(&m_Settings);
    for (const Case& c : cases)
    {
        if (!c.m_pDlg->m_hWnd)
            Create(*c.m_pDlg, c.m_nId);
        EXPECT_NE(Caption(*c.m_pButton), "");
        const int nLoaded = c.m_pDlg == &animation ? animation.LoadSkinBitmaps()
                            : c.m_pDlg == &general ? general.LoadSkinBitmaps()
                                                   : utils.LoadSkinBitmaps();
        EXPECT_EQ(nLoaded, 1);
        EXPECT_EQ(WindowSize(*c.m_pDlg), c.m_Size) << c.m_nId;
        EXPECT_EQ(Caption(*c.m_pButton), "") << c.m_nId;
    }
}

TEST_F(ToolWindowsTest, WebPageOpensTheSiteThroughXdgOpen)
{
    std::vector<std::vector<std::string>> spawned;
    win32::SetSpawnFunction([&](const std::vector<std::string>& args) {
        spawned.push_back(args);
        return true;
    });
    CGeneralToolDlg general;
    general.SetSettings(&m_Settings);
    Create(general, CGeneralToolDlg::IDD);
    ASSERT_EQ(general.LoadSkinBitmaps(), 1);
    Click(general.m_btnWebPage);
    ASSERT_EQ(spawned.size(), 1u);
    EXPECT_EQ(spawned[0], (std::vector<std::string>{"xdg-open", CGeneralToolDlg::WEB_ADDRESS}));
    // The address goes as one argument, whatever it holds.
    general.m_btnWebPage.SetURL("https://x.example/a b\";rm -rf ~");
    Click(general.m_btnWebPage);
    ASSERT_EQ(spawned.size(), 2u);
    EXPECT_EQ(spawned[1], (std::vector<std::string>{"xdg-open", "https://x.example/a b\";rm -rf ~"}));
    Click(general.m_btnFullscreen);
    EXPECT_EQ(spawned.size(), 2u);
}

TEST_F(ToolWindowsTest, MoveModeShowsItsStateAndKeepsTheFocusWhileOn)
{
    CGeneralToolDlg general;
    general.SetSettings(&m_Settings);
    Create(general, CGeneralToolDlg::IDD);
    Click(general.m_btnMoveMode);
    EXPECT_EQ(general.m_btnMoveMode.IsMoveMode(), 1);
    EXPECT_EQ(Caption(general.m_btnMoveMode), "Move mode: On");
    EXPECT_EQ(CWnd::GetFocus(), &general.m_btnMoveMode);
    general.m_btnFullscreen.SetFocus();
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(CWnd::GetFocus(), &general.m_btnMoveMode);
    Click(general.m_btnMoveMode);
    EXPECT_EQ(general.m_btnMoveMode.IsMoveMode(), 0);
    EXPECT_EQ(Caption(general.m_btnMoveMode), "Move mode: Off");
    general.m_btnFullscreen.SetFocus();
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(CWnd::GetFocus(), &general.m_btnFullscreen);
}

TEST_F(ToolWindowsTest, KeyTogglesWithinHalfASecondAreIgnored)
{
    struct Case
    {
        int m_nGapMs;
        int m_nChanges;
    };
    for (const Case& c : {Case{300, 1}, Case{499, 1}, Case{500, 2}, Case{600, 2}})
    {
        CMoveModeButton button;
        m_Driver.advance(1000);
        int nChanges = 0;
        int bLast = button.IsMoveMode();
        for (int bOn : {1, 0})
        {
            button.SetMoveMode(bOn, 1);
            nChanges += button.IsMoveMode() != bLast;
            bLast = button.IsMoveMode();
            m_Driver.advance(c.m_nGapMs);
        }
        EXPECT_EQ(nChanges, c.m_nChanges) << c.m_nGapMs << " ms apart";
        // A click is never held back.
        button.SetMoveMode(!button.IsMoveMode(), 0);
        EXPECT_NE(button.IsMoveMode(), bLast);
    }
}
