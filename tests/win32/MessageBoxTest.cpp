// Message boxes are dialogs with real buttons: the mouse, Tab and Enter pick them, and the box
// is sized to its text.
#include "WindowTestKit.h"

#include <win32/windows.h>

namespace
{
class MessageBoxTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
        m_Driver.pumpUntilIdle();
        testing::internal::CaptureStderr();
    }
    void TearDown() override
    {
        testing::internal::GetCapturedStderr();
        WindowTest::TearDown();
    }
    HWND Box() const { return m_Driver.find("class:#32770"); }
    HWND m_hMain = nullptr;
};

TEST_F(MessageBoxTest, ButtonsAreClickedAndChosenByKeys)
{
    // A click on "No".
    m_Driver.at(10, [this] { m_Driver.click(GetDlgItem(Box(), IDNO)); });
    EXPECT_EQ(MessageBoxA(m_hMain, "Save?", "Q", MB_YESNOCANCEL), IDNO);
    // Tab moves from the default button to the next one; Enter presses the focused button.
    m_Driver.at(10, [this] { m_Driver.key(VK_TAB); });
    m_Driver.at(20, [this] { m_Driver.key(VK_RETURN); });
    EXPECT_EQ(MessageBoxA(m_hMain, "Save?", "Q", MB_YESNOCANCEL), IDNO);
    // The arrows move within the row, and Space presses.
    m_Driver.at(10, [this] { m_Driver.key(VK_RIGHT); });
    m_Driver.at(20, [this] { m_Driver.key(VK_RIGHT); });
    m_Driver.at(30, [this] { m_Driver.key(VK_SPACE); });
    EXPECT_EQ(MessageBoxA(m_hMain, "Save?", "Q", MB_YESNOCANCEL | MB_DEFBUTTON2), IDYES);
    // Esc does nothing where there is no Cancel; the close box neither.
    m_Driver.at(10, [this] { m_Driver.key(VK_ESCAPE); });
    m_Driver.at(20, [this] { PostMessageA(Box(), WM_CLOSE, 0, 0); });
    m_Driver.at(30, [this] { m_Driver.key(VK_RETURN); });
    EXPECT_EQ(MessageBoxA(m_hMain, "Sure?", "Q", MB_YESNO), IDYES);
    // Each box ended with its last event: Esc and the close box left the fourth open.
    EXPECT_EQ(m_Driver.now(), 10 + 20 + 30 + 30);
}

TEST_F(MessageBoxTest, TheBoxIsSizedToItsTextAndButtons)
{
    RECT rcShort{}, rcLong{};
    int nButtons = 0;
    m_Driver.at(10, [&] {
        HWND hBox = Box();
        GetClientRect(hBox, &rcShort);
        for (HWND h = GetWindow(hBox, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            nButtons += (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0;
        EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
        EXPECT_EQ(SendMessageA(hBox, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        m_Driver.key(VK_RETURN);
    });
    EXPECT_EQ(MessageBoxA(m_hMain, "Hi", "Q", MB_OKCANCEL), IDOK);
    EXPECT_EQ(nButtons, 2);
    std::string strLong(300, 'w');
    for (size_t i = 10; i < strLong.size(); i += 11)
        strLong[i] = ' ';
    m_Driver.at(10, [&] {
        GetClientRect(Box(), &rcLong);
        m_Driver.key(VK_ESCAPE);
    });
    EXPECT_EQ(MessageBoxA(m_hMain, strLong.c_str(), "Q", MB_OK), IDOK);
    // Two buttons set the short box's width; the long text wraps at 400 pixels and makes it taller.
    EXPECT_EQ(rcShort.right, 2 * 75 + 6 + 2 * 11);
    EXPECT_LE(rcLong.right, 400 + 2 * 11);
    EXPECT_GT(rcLong.bottom, rcShort.bottom);
    EXPECT_TRUE(IsWindowEnabled(m_hMain));
}
}
