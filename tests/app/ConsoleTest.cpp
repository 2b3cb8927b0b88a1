// The main window's console: every command with its exact answer, wrong ones included, and the
// panes as a user drives them (the console key, Enter, Escape, the transcript).
#include "MainWindowFixture.h"

#include "core/Processor.h"

#include <win32/registry.h>

#include <regex>

namespace
{
const char INVALID[] = "Invalid command. Type help for a list of valid commands.";

const char HELP_TEXT[] = "clear           - clear the output screen\r\n"
                         "help            - display this text\r\n"
                         "list/ls         - list all variables\r\n"
                         "set a b         - set the variable a to the integer value b\r\n"
                         "set a \"b\"       - set the variable a to the string value b\r\n"
                         "pos             - shows position\r\n"
                         "setpos a,b,c    - set position to (a,b,c)\r\n"
                         "angles          - shows viewing angles\r\n"
                         "setangles a,b,c - set viewing angles to (a,b,c)\r\n"
                         "rm/del a        - delete variable a\r\n"
                         "exit            - close the console\r\n"
                         "quit            - close the application\r\n"
                         "cpu             - show cpu info\r\n"
                         "vendor          - show graphic card vendor\r\n"
                         "renderer        - show renderer\r\n"
                         "version         - show driver version";

std::string PaneText(const CWnd& pane)
{
    CString strText;
    pane.GetWindowText(strText);
    return static_cast<const char*>(strText);
}
}

class ConsoleTest : public MainWindowTest
{
protected:
    std::string Run(const char* szLine) { return m_pWindow->ExecuteConsoleCommand(szLine).GetText(); }
};

// Each line runs after the ones above it, so the later rows read what the earlier ones set.
TEST_F(ConsoleTest, CommandsGiveTheirAnswers)
{
    struct Case
    {
        const char* m_szLine;
        const char* m_szAnswer;
    };
    const Case cases[] = {
        {"help", HELP_TEXT},
        {"HeLp", HELP_TEXT},
        {"extensions", INVALID},
        {"frobnicate 1 2", INVALID},
        {"vendor", "Quenlaris CPU"},
        {"Renderer", "Quenlaris software Direct3D 9 device"},
        {"version", "9.0.1.0"},
        {"setpos 1, -2.5, 3", "Command OK"},
        {"pos", "(1.000000, -2.500000, 3.000000)"},
        {"setpos 4 - 5 6", "Command OK"},
        {"pos", "(4.000000, -5.000000, 6.000000)"},
        // Missing or non-numeric numbers change nothing.
        {"setpos", "Usage: setpos x, y, z"},
        {"setpos a b c", "Usage: setpos x, y, z"},
        {"setpos 7, -", "Usage: setpos x, y, z"},
        {"pos", "(4.000000, -5.000000, 6.000000)"},
        // The tokenizer keeps its last token at the end of the line: one number sets all three.
        {"setangles 0.5", "Command OK"},
        {"angles", "(0.500000, 0.500000, 0.500000)"},
        {"setangles x", "Usage: setangles x, y, z"},
        {"angles", "(0.500000, 0.500000, 0.500000)"},
        // Variables under the console's key.
        {"set", "Usage: set name value, or set name \"text\""},
        {"set Speed", "Usage: set name value, or set name \"text\""},
        {"set Speed 12", "Command OK"},
        {"set Name \"two words\"", "Command OK"},
        {"set apple 7x", "Command OK"},
        {"list", "apple 7\r\nName  \"two words\"\r\nSpeed 12"},
        {"rm", "Usage: rm name"},
        {"rm Speed", "Command OK"},
        {"del apple", "Command OK"},
        {"rm nothing_here", "Command OK"},
        {"ls", "Name \"two words\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Run(c.m_szLine), c.m_szAnswer) << c.m_szLine;
    EXPECT_EQ(m_pApp->m_vCameraPosition.x, 4.0f);
    EXPECT_EQ(m_pApp->m_vCameraAngles.z, 0.5f);

    // The stored values themselves.
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Oskel", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    char szText[64] = "";
    DWORD dwType = 0, cbData = sizeof(szText);
    ASSERT_EQ(RegQueryValueExA(hKey, "Name", nullptr, &dwType, reinterpret_cast<BYTE*>(szText), &cbData),
              ERROR_SUCCESS);
    EXPECT_EQ(dwType, static_cast<DWORD>(REG_SZ));
    EXPECT_STREQ(szText, "two words");
    EXPECT_EQ(cbData, 10u) << "the text with its terminating zero";
    EXPECT_NE(RegQueryValueExA(hKey, "Speed", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    RegCloseKey(hKey);

    // "cpu": the vendor, the brand when there is one, and the clock in whole megahertz.
    std::string strCpu = Run("cpu");
    EXPECT_EQ(strCpu.rfind(g_ProcessorInfo.m_szVendor, 0), 0u) << strCpu;
    EXPECT_TRUE(std::regex_search(strCpu, std::regex(", [0-9]+MHz$"))) << strCpu;
}

TEST_F(ConsoleTest, PanesRunTypedLinesAndHideOnEscape)
{
    CRichEditCtrl& input = m_pWindow->m_ConsoleInput;
    CRichEditCtrl& output = m_pWindow->m_ConsoleOutput;
    ASSERT_TRUE(input.m_hWnd && output.m_hWnd);
    EXPECT_FALSE(input.IsWindowVisible());

    // The console key (Tab) in the main window shows both panes with the keyboard in the input.
    m_pWindow->SetFocus();
    m_pDriver->key("Tab");
    m_pDriver->pumpUntilIdle();
    ASSERT_TRUE(input.IsWindowVisible());
    EXPECT_TRUE(output.IsWindowVisible());
    EXPECT_EQ(::GetFocus(), input.m_hWnd);
    EXPECT_EQ(g_bConsoleVisible, 1);
    EXPECT_EQ(m_pApp->m_bConsoleVisible, 1);

    // An empty line does nothing; each line adds its prompt and its result.
    m_pDriver->type("\r");
    m_pDriver->type("vendor\r");
    m_pDriver->type("nonsense\r");
    m_pDriver->pumpUntilIdle();
    EXPECT_EQ(PaneText(output), std::string("\r\n> vendor\r\nQuenlaris CPU\r\n> nonsense\r\n") + INVALID);
    EXPECT_EQ(PaneText(input), "");

    // CLEAR leaves only its own prompt and result.
    m_pDriver->type("CLEAR\r");
    m_pDriver->pumpUntilIdle();
    EXPECT_EQ(PaneText(output), "\r\n> CLEAR\r\nCommand OK");

    // Escape in the transcript hides the console as in the input pane; "exit" hides it too.
    output.SetFocus();
    m_pDriver->key("Escape");
    m_pDriver->pumpUntilIdle();
    EXPECT_FALSE(input.IsWindowVisible());
    EXPECT_FALSE(output.IsWindowVisible());
    EXPECT_EQ(g_bConsoleVisible, 0);
    m_pDriver->key("Tab");
    m_pDriver->pumpUntilIdle();
    ASSERT_TRUE(input.IsWindowVisible());
    m_pDriver->type("exit\r");
    m_pDriver->pumpUntilIdle();
    EXPECT_FALSE(input.IsWindowVisible());
    EXPECT_EQ(m_pApp->m_bConsoleVisible, 0);

    // "quit" closes the program.
    EXPECT_EQ(Run("quit"), "Command OK");
    EXPECT_EQ(m_pApp->Run(), 0);
    EXPECT_EQ(g_pRenderWindow, nullptr);
    m_pApp.reset();
}
