// The menu bar with the program's main menu (menu 128): its buttons, popups switched by sliding
// the mouse and by Left and Right, mnemonics, and the end of keyboard tracking with Esc.
#include "../win32/GoldenKit.h"
#include "GuiTestKit.h"
#include "mfc_gui/MenuBar.h"

#include <win32/sysparams.h>

namespace
{
// The frame stand-in: records which top-level popup each WM_INITMENUPOPUP shows, and the closing
// WM_MENUSELECT.
class CMenuHost : public CWnd
{
public:
    CMenuBar* m_pBar = nullptr;
    std::vector<int> m_Popups;
    int m_nClosing = 0;

protected:
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL)
    {
        for (int i = 0; m_pBar && i < 3; ++i)
            if (m_pBar->GetMenu()->GetSubMenu(i) && m_pBar->GetMenu()->GetSubMenu(i)->m_hMenu == pPopupMenu->m_hMenu)
                m_Popups.push_back(i);
    }
    afx_msg void OnMenuSelect(UINT, UINT nFlags, HMENU) { m_nClosing += nFlags == 0xFFFF; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuHost, CWnd)
    ON_WM_INITMENUPOPUP()
    ON_WM_MENUSELECT()
END_MESSAGE_MAP()

class MenuBarTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        const char* szClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_Host.CreateEx(0, szClass, "Quenlaris", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr));
        m_Host.m_pBar = &m_Bar;
        ASSERT_TRUE(m_Bar.Create(&m_Host, 0));
        ASSERT_TRUE(m_Bar.LoadMenu(128, 1));
        m_Host.SetActiveWindow();
        m_Driver.pumpUntilIdle();
    }
    void TearDown() override
    {
        m_Bar.DestroyWindow();
        m_Host.DestroyWindow();
        GuiTest::TearDown();
    }
    POINT ButtonCentre(int nIndex)
    {
        CRect rc;
        m_Bar.GetItemRect(nIndex, &rc);
        m_Bar.ClientToScreen(&rc);
        return {rc.CenterPoint().x, rc.CenterPoint().y};
    }

    CMenuHost m_Host;
    CMenuBar m_Bar;
};
}

TEST_F(MenuBarTest, OneButtonPerTopLevelItemAndIconsForTheToolbarsCommands)
{
    ASSERT_EQ(m_Bar.GetButtonCount(), 3);
    EXPECT_EQ(std::string(m_Bar.GetButtonText(0)), "&File");
    EXPECT_EQ(std::string(m_Bar.GetButtonText(2)), "&Help");
    CRect rcFirst, rcLast;
    m_Bar.GetItemRect(0, &rcFirst);
    m_Bar.GetItemRect(2, &rcLast);
    EXPECT_LT(rcFirst.right, rcLast.left);   // side by side
    // The buttons' font is the system's menu font.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    LOGFONTA lfBar{};
    ASSERT_TRUE(GetObjectA(reinterpret_cast<HGDIOBJ>(m_Bar.SendMessage(WM_GETFONT)), sizeof(lfBar), &lfBar));
    EXPECT_STREQ(lfBar.lfFaceName, metrics.lfMenuFont.lfFaceName);
    EXPECT_EQ(lfBar.lfHeight, metrics.lfMenuFont.lfHeight);
    EXPECT_EQ(lfBar.lfWeight, metrics.lfMenuFont.lfWeight);
    EXPECT_TRUE(m_Bar.LoadMenuIcons(128));
    EXPECT_FALSE(m_Bar.LoadMenuIcons(999));
}

TEST_F(MenuBarTest, SlidingTheMouseSwitchesPopupsWithoutClosingInBetween)
{
    m_Driver.mouse(ButtonCentre(0));
    m_Driver.mouse(ButtonCentre(0), 0, true);
    m_Driver.at(20, [this] { m_Driver.mouse(ButtonCentre(0)); });   // the open button: nothing
    m_Driver.at(40, [this] { m_Driver.mouse(ButtonCentre(2)); });
    m_Driver.at(60, [this] { m_Driver.mouse(POINT{600, 400}); });   // no button: nothing
    m_Driver.at(80, [this] { m_Driver.mouse(ButtonCentre(1)); });
    m_Driver.at(100, [this] { m_Driver.mouse(ButtonCentre(1), 0, true); });   // the open button: closed
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Host.m_Popups, (std::vector<int>{0, 2, 1}));
    EXPECT_EQ(CMenuBar::GetActiveMenuBar(), nullptr);
    EXPECT_EQ(m_Host.m_nClosing, 0);   // ended by the bar itself, not by a command
}

TEST_F(MenuBarTest, LeftAndRightWrapAroundTheBar)
{
    m_Driver.key(VK_MENU, false);
    EXPECT_TRUE(m_Bar.OpenMenuByMnemonic('f'));
    m_Driver.at(20, [this] { m_Driver.key(VK_LEFT); });
    m_Driver.at(40, [this] { m_Driver.key(VK_RIGHT); });
    m_Driver.at(60, [this] { m_Driver.key(VK_RIGHT); });
    m_Driver.at(80, [this] { m_Driver.key(VK_ESCAPE); });
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(m_Host.m_Popups, (std::vector<int>{0, 2, 0, 1}));
    // Esc closed the popup and left its button hot, with the focus on the bar.
    EXPECT_EQ(CMenuBar::GetActiveMenuBar(), nullptr);
    EXPECT_EQ(m_Bar.GetHotItem(), 1);
    EXPECT_EQ(CWnd::GetFocus(), &m_Bar);
    // A second Esc gives the focus back and ends keyboard tracking.
    MSG msg{};
    msg.hwnd = m_Bar.m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_ESCAPE;
    EXPECT_TRUE(m_Bar.PreTranslateMessage(&msg));
    EXPECT_NE(CWnd::GetFocus(), &m_Bar);
}

TEST_F(MenuBarTest, MnemonicsIgnoreCase)
{
    struct Case
    {
        UINT nChar;
        int nPopup;   // -1: no match
    } cases[] = {{'h', 2}, {'H', 2}, {'v', 1}, {'F', 0}, {'z', -1}, {'&', -1}};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(static_cast<char>(c.nChar));
        m_Host.m_Popups.clear();
        EXPECT_EQ(m_Bar.OpenMenuByMnemonic(c.nChar), c.nPopup >= 0 ? TRUE : FALSE);
        if (c.nPopup < 0)
            continue;
        m_Driver.at(20, [this] { m_Driver.key(VK_ESCAPE); });
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(m_Host.m_Popups, (std::vector<int>{c.nPopup}));
        EXPECT_EQ(m_Bar.GetTrackIndex(), c.nPopup);
    }
}

TEST_F(MenuBarTest, APopupOpenedFromTheKeyboardIsDrawnWithItsIconsAndFirstItemSelected)
{
    ASSERT_TRUE(m_Bar.LoadMenuIcons(128));
    int nDiffering = 0;
    bool bSeen = false;
    m_Driver.at(30, [&] {
        HWND hPopup = m_Driver.find("class:#32768");
        bSeen = hPopup != nullptr;
        if (hPopup)
            nDiffering = CompareWithGolden(hPopup, "menu_file_popup");
        m_Driver.key(VK_ESCAPE);
    });
    EXPECT_TRUE(m_Bar.OpenMenuByMnemonic('F'));
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(bSeen);
    if (nDiffering < 0)
        GTEST_SKIP() << "the golden was drawn with other fonts";
    EXPECT_EQ(nDiffering, 0);
}
