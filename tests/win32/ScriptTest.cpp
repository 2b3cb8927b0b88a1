#include <win32/clock.h>
#include <win32/install.h>
#include <win32/registry.h>

#include "TempDir.h"
#include "WindowTestKit.h"

#include "core/CoreHooks.h"
#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
// A program's main loop as the application runs it: idle work whenever the queue is empty.
int RunMainLoop(int nIdleLimit = 1000000)
{
    MSG msg;
    for (int nIdle = 0;;)
    {
        while (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
            if (++nIdle > nIdleLimit)
                return -1;
        if (!GetMessageA(&msg, nullptr, 0, 0))
            return static_cast<int>(msg.wParam);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string g_Typed;
std::vector<std::pair<WPARAM, DWORD>> g_Commands;
DWORD g_nCloseTime = 0;
bool g_bIgnoreClose = false;

LRESULT CALLBACK AppProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case WM_CHAR: g_Typed += static_cast<char>(wParam); return 0;
    case WM_COMMAND: g_Commands.emplace_back(wParam, timeGetTime()); return 0;
    case WM_CLOSE:
        g_nCloseTime = timeGetTime();
        if (g_bIgnoreClose)
            return 0;
        break;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
    }
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}

HWND CreateAppWindow()
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = AppProc;
    wc.lpszClassName = "AppWnd";
    RegisterClassExA(&wc);
    g_Typed.clear();
    g_Commands.clear();
    g_bIgnoreClose = false;
    return CreateWindowExA(0, "AppWnd", "Quenlaris", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                           nullptr, nullptr, nullptr);
}
}

TEST(ScriptTest, BadLinesAreRefusedWithTheirNumber)
{
    win32::Driver driver;
    const std::pair<const char*, const char*> cases[] = {
        {"wait 10\nwait soon\n", "line 2 (wait soon): not an instruction this driver knows"},
        {"click up #1", "line 1 (click up #1): the button is left, right or middle"},
        {"# fine\n\nexpect window main shiny", "line 3 (expect window main shiny): unknown window state"},
        {"type quit", "line 1 (type quit): not an instruction this driver knows"},
        {"type \"quit", "line 1: unterminated or bad quoted text"},
        {"snapshot desktop", "line 1 (snapshot desktop): not an instruction this driver knows"},
        {"expect registry \"SOFTWARE\\Oskel\" Speed 12", "line 1 (expect registry \"SOFTWARE\\Oskel\" Speed 12): not an instruction this driver knows"},
    };
    for (const auto& c : cases)
    {
        std::string error;
        EXPECT_FALSE(driver.loadScript(c.first, error)) << c.first;
        EXPECT_EQ(error, c.second);
        EXPECT_TRUE(driver.scriptDone()) << "a refused script schedules nothing";
    }
}

TEST(ScriptTest, ProgramScriptDrivesTheLoopOnItsIdleClockAndClosesAtTheEnd)
{
    win32::Driver driver(win32::Driver::Mode::Program);
    win32::UseMemoryRegistry();
    HKEY hKey;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Oskel", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr);
    DWORD nLeft = 37;
    RegSetValueExA(hKey, "LeftKey", 0, REG_DWORD, reinterpret_cast<BYTE*>(&nLeft), 4);
    RegSetValueExA(hKey, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2);
    RegCloseKey(hKey);
    HWND hMain = CreateAppWindow();
    ASSERT_TRUE(hMain);

    std::string error;
    ASSERT_TRUE(driver.loadScript("# typing into the main window\n"
                                  "wait 30\n"
                                  "key A\n"
                                  "type \"ok\\r\"\n"
                                  "command 40001\n"
                                  "expect window main visible\n"
                                  "expect window title:Nothing gone\n"
                                  "expect registry \"software\\oskel\" leftkey = 37\n"
                                  "expect registry \"SOFTWARE\\Oskel\" Name = \"x\"\n"
                                  "expect text main \"laris\"\n"
                                  "expect text main \"Other\"\n"
                                  "wait 25\n"
                                  "command 40002\n"
                                  "expect window class:AppWnd hidden\n",
                                  error))
        << error;
    EXPECT_EQ(RunMainLoop(), 0);
    EXPECT_FALSE(IsWindow(hMain));
    EXPECT_EQ(g_Typed, "aok\r");
    // The idle clock moves in 10 ms steps, so the 55 ms line runs at 60 ms.
    EXPECT_EQ(g_Commands, (std::vector<std::pair<WPARAM, DWORD>>{{40001, 30}, {40002, 60}}));
    ASSERT_EQ(driver.failures().size(), 2u);
    EXPECT_EQ(driver.failures()[0], "line 11 (expect text main \"Other\"): the text is not there");
    EXPECT_EQ(driver.failures()[1], "line 14 (expect window class:AppWnd hidden): not so");
    EXPECT_TRUE(driver.scriptDone());
}

TEST(ScriptTest, ATrailingWaitDelaysTheClose)
{
    win32::Driver driver(win32::Driver::Mode::Program);
    ASSERT_TRUE(CreateAppWindow());
    std::string error;
    ASSERT_TRUE(driver.loadScript("wait 10\ncommand 40001\nwait 40\n\n", error)) << error;
    EXPECT_EQ(RunMainLoop(), 0);
    ASSERT_EQ(g_Commands.size(), 1u);
    EXPECT_GE(g_nCloseTime - g_Commands[0].second, 40u);
}

namespace
{
// A program binary under QUENLARIS_SCRIPT, with the user's folders moved into a temporary tree.
class ProgramRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const char* sz = std::getenv("XDG_CONFIG_HOME");
        m_bHadConfig = sz != nullptr;
        m_strConfig = sz ? sz : "";
        setenv("XDG_CONFIG_HOME", (m_Dir / "config").c_str(), 1);
    }
    void TearDown() override
    {
        unsetenv("QUENLARIS_SCRIPT");
        if (m_bHadConfig)
            setenv("XDG_CONFIG_HOME", m_strConfig.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        win32::UseMemoryRegistry();
        SetPathMapper(nullptr);
        SetClockSource({});
        SetDisplayModeSource({});
    }
    int Run(const std::string& script, const std::function<int()>& fnMain)
    {
        setenv("QUENLARIS_SCRIPT", m_Dir.Write("script.txt", script).c_str(), 1);
        if (!win32::Install())
            return -1;
        EXPECT_TRUE(win32::GetProgramDriver());
        testing::internal::CaptureStderr();
        int nStatus = win32::RunProgram(fnMain);
        m_strStderr = testing::internal::GetCapturedStderr();
        EXPECT_EQ(win32::GetProgramDriver(), nullptr);
        return nStatus;
    }
    TempDir m_Dir;
    bool m_bHadConfig = false;
    std::string m_strConfig;
    std::string m_strStderr;
};
}

TEST_F(ProgramRunTest, ExitStatusTellsHowTheScriptEnded)
{
    auto program = [](UINT nBoxType) {
        return [nBoxType] {
            HWND hMain = CreateAppWindow();
            PostMessageA(hMain, WM_USER, 0, 0);
            RunMainLoop(1);   // let the window settle
            if (nBoxType != 0xFFFF && MessageBoxA(hMain, "Overwrite?", "Quenlaris", nBoxType) != IDNO)
                return 1;
            return RunMainLoop();
        };
    };
    EXPECT_EQ(Run("wait 20\nanswer msgbox IDNO\n", program(MB_YESNO)), 0) << m_strStderr;
    // The box opens while the script still waits, and nothing answers it.
    EXPECT_EQ(Run("wait 50\n", program(MB_YESNO)), 3);
    EXPECT_NE(m_strStderr.find("script: MessageBox \"Quenlaris\" needs input and the script has none left"), std::string::npos)
        << m_strStderr;
    EXPECT_EQ(Run("wait 20\nexpect window title:Other\n", program(0xFFFF)), 4);
    EXPECT_NE(m_strStderr.find("line 2 (expect window title:Other): not so"), std::string::npos) << m_strStderr;

    // A program that ignores the closing WM_CLOSE does not hang the run.
    auto stubborn = [] {
        CreateAppWindow();
        g_bIgnoreClose = true;
        return RunMainLoop();
    };
    EXPECT_EQ(Run("wait 20\n", stubborn), 4);
    EXPECT_NE(m_strStderr.find("the program did not exit"), std::string::npos) << m_strStderr;

    SetLogEcho(false);
    EXPECT_EQ(Run("bogus line\n", stubborn), -1);
    SetLogEcho(true);
    EXPECT_EQ(win32::GetProgramDriver(), nullptr);
}
