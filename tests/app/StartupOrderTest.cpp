// Start-up and close of the whole application in one process: the order of the framework hooks,
// the main window's set-up and the close's steps (view settings, Unload, device release, window
// settings, destruction), recorded by an application that notes each hook as it runs; and a
// start-up whose bars all fail, which still loads and runs.
#include "MainWindowFixture.h"

#include "app/RenderView.h"

#include <win32/commctrl.h>
#include <win32/layer.h>
#include <win32/registry.h>
#include <mfc/afxwnd.h>

#include <strings.h>
#include <vector>

namespace
{
int CountWarnings(const std::string& strText)
{
    int n = 0;
    for (const LogLine& line : GetLogLines())
        n += line.m_nType == LOG_WARNING && line.m_strText.find(strText) != std::string::npos;
    return n;
}

bool RegistryHas(const char* szKey, const char* szValue)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, szKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    bool bHas = RegQueryValueExA(hKey, szValue, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return bHas;
}

class RecordingApp : public RenderApp
{
public:
    explicit RecordingApp(std::string strSettings) : m_strSettings(std::move(strSettings)) {}

    bool Init() override
    {
        Note("Init", AfxGetMainWnd() == nullptr);
        return RenderApp::Init();
    }
    bool InitDevice(HWND hWnd, int nAntialiasing, bool bFullScreen, int nRefreshRate) override
    {
        char szClass[64] = "";
        GetClassNameA(hWnd, szClass, sizeof(szClass));
        Note("InitDevice", std::string(szClass) == "CRenderWnd" && !bFullScreen && g_pRenderView);
        return RenderApp::InitDevice(hWnd, nAntialiasing, bFullScreen, nRefreshRate);
    }
    bool Load() override
    {
        Note("Load", GetDevice() != nullptr);
        return RenderApp::Load();
    }
    bool ResetCamera() override
    {
        Note("ResetCamera", m_pMainWnd && m_pMainWnd->IsWindowVisible());
        return RenderApp::ResetCamera();
    }
    // Close: the view's settings are written before Unload, the window's after the release.
    bool Unload() override
    {
        Note("Unload", std::filesystem::exists(m_strSettings) &&
                           !RegistryHas(RenderWindow::WINDOW_KEY, "WindowedLeft"));
        return RenderApp::Unload();
    }
    bool ReleaseDevice(HWND hWnd) override
    {
        // InitDevice lets go of any earlier device first; only the release of a live one counts.
        if (GetDevice())
            Note("ReleaseDevice", !RegistryHas(RenderWindow::WINDOW_KEY, "WindowedLeft") && g_pRenderWindow);
        return RenderApp::ReleaseDevice(hWnd);
    }
    bool Exit() override
    {
        Note("Exit", RegistryHas(RenderWindow::WINDOW_KEY, "WindowedLeft") && !g_pRenderWindow && !g_pRenderView);
        return RenderApp::Exit();
    }

    // Each hook with whether the state it found was the one its place in the order implies.
    std::vector<std::pair<std::string, bool>> m_Calls;

private:
    void Note(const char* szHook, bool bStateRight) { m_Calls.emplace_back(szHook, bStateRight); }
    std::string m_strSettings;
};

class StartupOrderTest : public ProgramEnvironmentTest
{
protected:
    // Closes the main window once the clock reaches nMilliseconds.
    void CloseAt(int nMilliseconds)
    {
        HWND hMain = g_pRenderWindow->m_hWnd;
        m_pDriver->at(nMilliseconds, [hMain] { PostMessageA(hMain, WM_CLOSE, 0, 0); });
    }
};

// Window creation refused for the three bars of the main window.
const char* g_FailingClasses[3] = {};
LRESULT CALLBACK RefuseBars(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND)
    {
        const char* szClass = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->lpszClass;
        for (const char* szFailing : g_FailingClasses)
            if (szClass && szFailing && strcasecmp(szClass, szFailing) == 0)
            {
                DestroyWindow(reinterpret_cast<HWND>(wParam));
                return 0;
            }
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}
}

TEST_F(StartupOrderTest, StartUpAndCloseRunInOrder)
{
    {
        RecordingApp app(m_strFolder + "/settings.dat");
        ASSERT_TRUE(app.InitInstance());
        ASSERT_NE(g_pRenderWindow, nullptr);
        EXPECT_TRUE(g_pRenderWindow->m_bLoaded);
        HWND hMain = g_pRenderWindow->m_hWnd;
        CloseAt(100);
        EXPECT_EQ(app.Run(), 0);

        const std::vector<std::string> expected = {"Init",   "InitDevice",    "Load", "ResetCamera",
                                                   "Unload", "ReleaseDevice", "Exit"};
        ASSERT_EQ(app.m_Calls.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i)
        {
            EXPECT_EQ(app.m_Calls[i].first, expected[i]);
            EXPECT_TRUE(app.m_Calls[i].second) << expected[i] << " found the wrong state";
        }
        EXPECT_FALSE(IsWindow(hMain));
        EXPECT_EQ(std::filesystem::file_size(m_strFolder + "/settings.dat"), VIEW_SETTINGS_FILE_BYTES);
        // Exit stored the key bindings; "SoundVolume" is read, never written.
        EXPECT_TRUE(RegistryHas(KEY_BINDINGS_REGISTRY_KEY, "ConsoleKey"));
        EXPECT_FALSE(RegistryHas(KEY_BINDINGS_REGISTRY_KEY, "SoundVolume"));
    }
}

TEST_F(StartupOrderTest, BarsThatFailAreReportedAndTheResourcesStillLoad)
{
    // The menu bar is a toolbar control.
    g_FailingClasses[0] = TOOLBARCLASSNAME;
    g_FailingClasses[1] = REBARCLASSNAME;
    g_FailingClasses[2] = STATUSCLASSNAME;
    HHOOK hHook = SetWindowsHookExA(WH_CBT, RefuseBars, nullptr, 0);
    ASSERT_NE(hHook, nullptr);
    {
        RecordingApp app(m_strFolder + "/settings.dat");
        const bool bStarted = app.InitInstance();
        UnhookWindowsHookEx(hHook);
        ASSERT_TRUE(bStarted);
        ASSERT_NE(g_pRenderWindow, nullptr);
        for (const char* szBar : {"menubar", "rebar", "status bar"})
            EXPECT_EQ(CountWarnings(std::string("Failed to create ") + szBar), 1) << szBar;
        EXPECT_FALSE(g_pRenderWindow->m_MenuBar.m_hWnd);
        EXPECT_FALSE(g_pRenderWindow->m_StatusBar.m_hWnd);
        EXPECT_TRUE(g_pRenderWindow->m_bLoaded);
        EXPECT_NE(app.m_pMeshDecl, nullptr);
        // The program runs on and closes as usual, without its bars.
        CloseAt(100);
        EXPECT_EQ(app.Run(), 0);
        EXPECT_EQ(app.m_Calls.size(), 7u);
    }
}
