// Start-up and close of the whole application in one process: the order of the framework hooks,
// the main window's set-up and the close's steps (view settings, Unload, device release, window
// settings, destruction), recorded by an application that notes each hook as it runs.
#include "app/RenderApp.h"
#include "app/RenderView.h"
#include "app/RenderWindow.h"
#include "core/Log.h"

#include <d3d9/present.h>
#include <d3d9/testing.h>
#include <win32/install.h>
#include <win32/layer.h>
#include <win32/paths.h>
#include <win32/registry.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
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
}

TEST(StartupOrderTest, StartUpAndCloseRunInOrder)
{
    // The application's clocks follow the driver's virtual one: the close comes at its time.
    win32::InstallBase();
    win32::Driver driver;
    std::string pattern = (std::filesystem::temp_directory_path() / "quen-order-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    win32::PathConfig oldPaths = win32::GetPathConfig();
    win32::PathConfig paths = oldPaths;
    paths.m_strDataDir = QUEN_DATA_DIR;
    paths.m_strConfigDir = pattern;
    paths.m_strUserDir = pattern + "/user";
    paths.m_strDesktopDir = pattern;
    win32::SetPathConfig(paths);
    // The program runs in its data folder, where the media are.
    std::filesystem::path oldDirectory = std::filesystem::current_path();
    std::filesystem::current_path(QUEN_DATA_DIR);
    SetD3D9Presenter(&GetWindowPresenter());
    SetLogEcho(false);
    {
        RecordingApp app(pattern + "/settings.dat");
        ASSERT_TRUE(app.InitInstance());
        ASSERT_NE(g_pRenderWindow, nullptr);
        EXPECT_TRUE(g_pRenderWindow->m_bLoaded);
        HWND hMain = g_pRenderWindow->m_hWnd;
        driver.at(100, [hMain] { PostMessageA(hMain, WM_CLOSE, 0, 0); });
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
        EXPECT_EQ(std::filesystem::file_size(pattern + "/settings.dat"), VIEW_SETTINGS_FILE_SIZE);
        // Exit stored the key bindings; "SoundVolume" is read, never written.
        EXPECT_TRUE(RegistryHas(KEY_BINDINGS_REGISTRY_KEY, "ConsoleKey"));
        EXPECT_FALSE(RegistryHas(KEY_BINDINGS_REGISTRY_KEY, "SoundVolume"));
    }
    SetLogEcho(true);
    SetD3D9Presenter(nullptr);
    win32::SetPathConfig(oldPaths);
    std::filesystem::current_path(oldDirectory);
    std::error_code ignored;
    std::filesystem::remove_all(pattern, ignored);
    auto live = d3d9test::LiveObjects();
    EXPECT_TRUE(live.empty()) << "first survivor: " << live.front().strKind;
}
