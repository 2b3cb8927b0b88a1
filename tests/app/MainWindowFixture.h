#pragma once
// The whole application in one process on the headless window layer. ProgramEnvironmentTest: the
// driver's virtual clock, the data folder (where the media are) as working directory, settings
// and user files in a temporary tree, and at the end a check that nothing of the device outlived
// the application. MainWindowTest adds the program's resources and menu and a RenderApp started
// as the program starts it (main window, device, resources), closed through the message loop.
#include "app/MainMenu.h"
#include "app/RenderApp.h"
#include "app/RenderWindow.h"
#include "core/Log.h"

#include <d3d9/present.h>
#include <d3d9/testing.h>
#include <win32/install.h>
#include <win32/paths.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

class ProgramEnvironmentTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        win32::InstallBase();
        m_pDriver = std::make_unique<win32::Driver>();
        std::string pattern = (std::filesystem::temp_directory_path() / "quen-main-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_strFolder = pattern;
        m_OldPaths = win32::GetPathConfig();
        win32::PathConfig paths = m_OldPaths;
        paths.m_strDataDir = QUEN_DATA_DIR;
        paths.m_strConfigDir = m_strFolder;
        paths.m_strUserDir = m_strFolder + "/user";
        paths.m_strDesktopDir = m_strFolder;
        win32::SetPathConfig(paths);
        m_OldDirectory = std::filesystem::current_path();
        std::filesystem::current_path(QUEN_DATA_DIR);
        SetD3D9Presenter(&GetWindowPresenter());
        SetLogEcho(false);
        ClearLogLines();
    }

    void TearDown() override
    {
        m_pDriver.reset();
        SetLogEcho(true);
        SetD3D9Presenter(nullptr);
        win32::SetPathConfig(m_OldPaths);
        std::filesystem::current_path(m_OldDirectory);
        std::error_code ignored;
        std::filesystem::remove_all(m_strFolder, ignored);
        auto live = d3d9test::LiveObjects();
        EXPECT_TRUE(live.empty()) << "first survivor: " << live.front().strKind;
    }

    static bool HasLogLine(LogType nType, const std::string& strText)
    {
        for (const LogLine& line : GetLogLines())
            if (line.m_nType == nType && line.m_strText.find(strText) != std::string::npos)
                return true;
        return false;
    }
    std::string Path(const std::string& strName) const { return m_strFolder + "/" + strName; }

    std::unique_ptr<win32::Driver> m_pDriver;
    std::string m_strFolder;
    std::filesystem::path m_OldDirectory;
    win32::PathConfig m_OldPaths;
};

class MainWindowTest : public ProgramEnvironmentTest
{
protected:
    void SetUp() override
    {
        ProgramEnvironmentTest::SetUp();
        RegisterMainMenuResources();
        m_pApp = std::make_unique<RenderApp>();
        ASSERT_TRUE(m_pApp->InitInstance()) << (GetLogLines().empty() ? "" : GetLogLines().back().m_strText);
        m_pWindow = g_pRenderWindow;
        ASSERT_NE(m_pWindow, nullptr);
        ASSERT_TRUE(m_pWindow->m_bLoaded);
        m_pDriver->pumpUntilIdle();
    }

    void TearDown() override
    {
        if (m_pApp)
        {
            if (g_pRenderWindow)
                g_pRenderWindow->PostMessage(WM_CLOSE);
            EXPECT_EQ(m_pApp->Run(), 0);
            m_pApp.reset();
        }
        ProgramEnvironmentTest::TearDown();
    }

    // A menu or accelerator command, sent as the menu sends it.
    void Command(UINT nId) { m_pWindow->SendMessage(WM_COMMAND, nId, 0); }
    std::string Title() const
    {
        CString strTitle;
        m_pWindow->GetWindowText(strTitle);
        return static_cast<const char*>(strTitle);
    }

    std::unique_ptr<RenderApp> m_pApp;
    RenderWindow* m_pWindow = nullptr;
};
