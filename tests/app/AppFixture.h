#pragma once
// A headless window layer (the test driver: in-memory registry, virtual clock), a 300 x 200
// popup window whose frames reach the composed desktop, a fresh RenderApp, a temporary folder
// as the desktop and working directory, and a check at the end that nothing of the device
// outlived the application.
#include "app/RenderApp.h"
#include "core/Log.h"

#include <d3d9/present.h>
#include <d3d9/testing.h>
#include <win32/install.h>
#include <win32/paths.h>
#include <win32/testing.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

class AppTest : public ::testing::Test
{
protected:
    static constexpr int WINDOW_WIDTH = 300;
    static constexpr int WINDOW_HEIGHT = 200;

    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "quen-app-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_strFolder = pattern;
        m_strOldDirectory = std::filesystem::current_path().string();
        std::filesystem::current_path(m_strFolder);

        win32::PathConfig config = win32::GetPathConfig();
        m_OldPaths = config;
        config.m_strDesktopDir = m_strFolder + "/Desktop";
        config.m_strDataDir = m_strFolder;
        config.m_strUserDir = m_strFolder + "/user";
        win32::SetPathConfig(config);
        std::filesystem::create_directories(config.m_strDesktopDir);

        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "AppTestWnd";
        ASSERT_NE(RegisterClassExA(&wc), 0);
        // A popup has no frame: its client area starts at the window's origin.
        m_hWnd = CreateWindowExA(0, "AppTestWnd", "render", WS_POPUP | WS_VISIBLE, 40, 30, WINDOW_WIDTH,
                                 WINDOW_HEIGHT, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        m_Driver.pumpUntilIdle();
        SetD3D9Presenter(&GetWindowPresenter());
        SetLogEcho(false);
        ClearLogLines();
        m_pApp = std::make_unique<RenderApp>();
    }

    void TearDown() override
    {
        m_pApp.reset();
        SetD3D9Presenter(nullptr);
        SetLogEcho(true);
        win32::SetPathConfig(m_OldPaths);
        std::filesystem::current_path(m_strOldDirectory);
        std::error_code ignored;
        std::filesystem::remove_all(m_strFolder, ignored);
        auto live = d3d9test::LiveObjects();
        EXPECT_TRUE(live.empty()) << "first survivor: " << live.front().strKind;
    }

    // Log lines of that type whose text contains every one of the words.
    static int CountLogLines(LogType nType, std::initializer_list<const char*> words)
    {
        int nCount = 0;
        for (const LogLine& line : GetLogLines())
        {
            bool bAll = line.m_nType == nType;
            for (const char* szWord : words)
                bAll = bAll && line.m_strText.find(szWord) != std::string::npos;
            nCount += bAll ? 1 : 0;
        }
        return nCount;
    }

    win32::Driver m_Driver;
    std::unique_ptr<RenderApp> m_pApp;
    HWND m_hWnd = nullptr;
    std::string m_strFolder;
    std::string m_strOldDirectory;
    win32::PathConfig m_OldPaths;
};
