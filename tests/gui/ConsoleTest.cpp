// The console log window: log warnings and errors become typed rows dated by the layer clock,
// typed lines are added, the list is saved as dated blocks appended to a log file, and closing
// the window only hides it.
#include "../win32/TempDir.h"
#include "GuiTestKit.h"
#include "mfc_gui/ConsoleDlg.h"

#include <win32/clock.h>
#include <win32/listview.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace
{
// 2023-11-14 22:13:20 UTC.
const int64_t FIXED_DATE_S = 1700000000;

class ConsoleTest : public QuietGuiTest
{
protected:
    void SetUp() override
    {
        QuietGuiTest::SetUp();
        const char* szTz = std::getenv("TZ");
        m_strSavedTz = szTz ? szTz : "";
        m_bHadTz = szTz != nullptr;
        setenv("TZ", "UTC0", 1);
        tzset();
        win32::UseVirtualClock(FIXED_DATE_S * 1000000000LL);
        Host(0, 0, 900, 500);
    }
    void TearDown() override
    {
        if (m_Console.m_hWnd)
            m_Console.DestroyWindow();
        if (m_bHadTz)
            setenv("TZ", m_strSavedTz.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
        QuietGuiTest::TearDown();
    }
    void Open()
    {
        ASSERT_TRUE(m_Console.Create(CConsoleDlg::IDD, &m_Host));
        m_Console.ShowWindow(SW_SHOW);
        m_Driver.pumpUntilIdle();
    }
    std::string Row(int nRow)
    {
        CString str;
        EXPECT_TRUE(m_Console.m_Output.FormatLine(nRow, &str));
        return static_cast<const char*>(str);
    }
    int Image(int nRow)
    {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = nRow;
        m_Console.m_List.GetItem(&item);
        return item.iImage;
    }

    CConsoleDlg m_Console;
    TempDir m_Temp;
    std::string m_strSavedTz;
    bool m_bHadTz = false;
};
}

TEST_F(ConsoleTest, LinesBeforeTheWindowExistsAreDropped)
{
    EXPECT_FALSE(m_Console.AddWarning("early"));
    LogWarning("early too");
    Open();
    EXPECT_EQ(m_Console.m_List.GetItemCount(), 0);
    EXPECT_FALSE(m_Console.m_Output.AddLine("bad type", 5));
    EXPECT_FALSE(m_Console.m_Output.AddLine("bad type", -1));
    EXPECT_EQ(m_Console.m_List.GetItemCount(), 0);
}

TEST_F(ConsoleTest, LogLinesAndTypedLinesAreTypedAndDated)
{
    Open();
    ASSERT_EQ(m_Console.m_List.GetItemCount(), 0);
    LogError("x");
    LogInfo("dropped");
    LogTrace("dropped");
    m_Driver.advance(61000);
    LogWarning("Class::Operation() - reason %d.", 7);
    m_Console.AddQuestion("why?");
    ::SetWindowTextA(::GetDlgItem(m_Console.m_hWnd, CConsoleDlg::IDC_INPUT), "typed");
    ::SendMessageA(m_Console.m_hWnd, WM_COMMAND, MAKEWPARAM(CConsoleDlg::IDC_ADD, BN_CLICKED), 0);

    ASSERT_EQ(m_Console.m_List.GetItemCount(), 4);
    EXPECT_EQ(Row(0), "ERROR: x  Date: 2023-11-14 22:13:20");
    EXPECT_EQ(Row(1), "WARNING: Class::Operation() - reason 7.  Date: 2023-11-14 22:14:21");
    EXPECT_EQ(Row(2), "QUESTION: why?  Date: 2023-11-14 22:14:21");
    EXPECT_EQ(Row(3), "NOTHING: typed  Date: 2023-11-14 22:14:21");
    // Hand, exclamation, question and application icons.
    EXPECT_EQ(Image(0), 3);
    EXPECT_EQ(Image(1), 2);
    EXPECT_EQ(Image(2), 1);
    EXPECT_EQ(Image(3), 4);
    char szInput[32] = "?";
    ::GetWindowTextA(::GetDlgItem(m_Console.m_hWnd, CConsoleDlg::IDC_INPUT), szInput, sizeof(szInput));
    EXPECT_STREQ(szInput, "");
    EXPECT_EQ(std::string(m_Console.m_List.GetItemText(0, 0)), "");
    testing::internal::CaptureStderr();
    ::SendMessageA(m_Console.m_hWnd, WM_COMMAND, CConsoleDlg::ID_DUMP, 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), Row(0) + "\n" + Row(1) + "\n" + Row(2) + "\n" + Row(3) + "\n");

    ::SendMessageA(m_Console.m_hWnd, WM_COMMAND, CConsoleDlg::ID_RESET_LIST, 0);
    EXPECT_EQ(m_Console.m_List.GetItemCount(), 0);
    EXPECT_FALSE(m_Console.m_Output.FormatLine(0, nullptr));
}

TEST_F(ConsoleTest, EachSaveAppendsADatedBlock)
{
    Open();
    LogError("first");
    LogWarning("second");
    const std::string strLog = m_Temp / "console.log";
    EXPECT_TRUE(m_Console.m_Output.SaveLog(strLog.c_str()));
    m_Driver.advance(5000);
    LogError("third");
    EXPECT_TRUE(m_Console.m_Output.SaveLog(strLog.c_str()));
    EXPECT_EQ(ReadText(strLog), "2023-11-14 22:13.20\n"
                                "\tERROR: first  Date: 2023-11-14 22:13:20\n"
                                "\tWARNING: second  Date: 2023-11-14 22:13:20\n"
                                "2023-11-14 22:13.25\n"
                                "\tERROR: first  Date: 2023-11-14 22:13:20\n"
                                "\tWARNING: second  Date: 2023-11-14 22:13:20\n"
                                "\tERROR: third  Date: 2023-11-14 22:13:25\n");
    // No folder to write into, or a cancelled dialog: nothing saved.
    EXPECT_FALSE(m_Console.m_Output.SaveLog((m_Temp / "none/console.log").c_str()));
    m_Driver.answers().cancel();
    EXPECT_FALSE(m_Console.m_Output.SaveLog(nullptr));
    // Through the dialog, with the default extension.
    m_Driver.answers().file(m_Temp / "chosen");
    EXPECT_TRUE(m_Console.m_Output.SaveLog(nullptr));
    EXPECT_EQ(ReadText(m_Temp / "chosen.log").substr(0, 20), "2023-11-14 22:13.25\n");
}

TEST_F(ConsoleTest, ClosingHidesAndCloseEndsIt)
{
    Open();
    ::SendMessageA(m_Console.m_hWnd, WM_CLOSE, 0, 0);
    ASSERT_TRUE(::IsWindow(m_Console.m_hWnd));
    EXPECT_FALSE(m_Console.IsWindowVisible());
    // Still listening while hidden.
    LogError("while hidden");
    EXPECT_EQ(m_Console.m_List.GetItemCount(), 1);
    m_Console.ShowWindow(SW_SHOW);
    ::SendMessageA(m_Console.m_hWnd, WM_COMMAND, CConsoleDlg::ID_CLOSE, 0);
    EXPECT_FALSE(m_Console.IsWindowVisible());
    EXPECT_TRUE(m_Console.m_bReallyClose);
    // Once the window is gone the log no longer reaches it.
    m_Console.DestroyWindow();
    LogError("after");
    EXPECT_FALSE(m_Console.AddError("after"));
}

TEST_F(ConsoleTest, ProgressWrapsAfterAHundredSteps)
{
    Open();
    m_Console.SetProgress(99);
    m_Console.StepProgress();
    EXPECT_EQ(m_Console.m_Progress.GetPos(), 100);
    m_Console.StepProgress();
    EXPECT_EQ(m_Console.m_Progress.GetPos(), 0);
    EXPECT_EQ(g_nConsoleProgress, 0);
}
