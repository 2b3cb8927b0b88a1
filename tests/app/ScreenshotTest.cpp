// Screenshots: the main window's client area as presented, saved as the first free
// "ScreenShot<nn>.png" of the desktop folder.
#include "AppFixture.h"

#include "core/PixelFormat.h"
#include "core/PixelImage.h"

#include <cstdio>
#include <fstream>

namespace
{
std::string ShotName(int n)
{
    char szName[32];
    std::snprintf(szName, sizeof(szName), "ScreenShot%02d.png", n);
    return szName;
}

void Touch(const std::string& strPath)
{
    std::ofstream(strPath) << "taken";
}
}

TEST_F(AppTest, ScreenshotSavesThePresentedClientArea)
{
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    IDirect3DDevice9* pDevice = m_pApp->GetDevice();
    ASSERT_TRUE(m_pApp->BeginFrame());
    ASSERT_EQ(pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(30, 140, 220), 1.0f, 0), D3D_OK);
    ASSERT_TRUE(m_pApp->EndFrame());
    m_Driver.pumpUntilIdle();

    ASSERT_TRUE(m_pApp->TakeScreenshot());
    PixelImage image;
    ASSERT_TRUE(image.Load((m_strFolder + "/Desktop/ScreenShot00.png").c_str(), true, 0));
    EXPECT_EQ(image.width, WINDOW_WIDTH);
    EXPECT_EQ(image.height, WINDOW_HEIGHT);
    ASSERT_EQ(image.format, RGB8);
    const uint8_t* pPixels = image.GetLevelPixels(0);
    int nWrong = 0;
    for (int i = 0; i < WINDOW_WIDTH * WINDOW_HEIGHT; ++i)
        nWrong += pPixels[i * 3] != 30 || pPixels[i * 3 + 1] != 140 || pPixels[i * 3 + 2] != 220;
    EXPECT_EQ(nWrong, 0);

    // The next one takes the next name.
    ASSERT_TRUE(m_pApp->TakeScreenshot());
    EXPECT_TRUE(std::filesystem::exists(m_strFolder + "/Desktop/ScreenShot01.png"));
}

TEST_F(AppTest, ScreenshotNamesTakeTheFirstFreeNumber)
{
    const std::string strDesktop = m_strFolder + "/Desktop";
    struct Case
    {
        int nTakenBelow;   // names 00 to this - 1 exist
        int nGap;          // except this one (-1: none)
        const char* szExpected;
    };
    const Case cases[] = {
        {0, -1, "ScreenShot00.png"},
        {42, -1, "ScreenShot42.png"},
        {42, 7, "ScreenShot07.png"},
        {99, -1, "ScreenShot99.png"},
        {100, 0, "ScreenShot00.png"},
    };
    for (const Case& c : cases)
    {
        std::filesystem::remove_all(strDesktop);
        std::filesystem::create_directories(strDesktop);
        for (int n = 0; n < c.nTakenBelow; ++n)
            if (n != c.nGap)
                Touch(strDesktop + "/" + ShotName(n));
        char szPath[512];
        ASSERT_TRUE(Direct3DApplication::FindScreenshotPath(strDesktop.c_str(), szPath, sizeof(szPath)));
        EXPECT_EQ(std::string(szPath), strDesktop + "/" + c.szExpected);
    }
}

TEST_F(AppTest, ScreenshotWithEveryNameTakenSavesNothingAndWarns)
{
    const std::string strDesktop = m_strFolder + "/Desktop";
    for (int n = 0; n < 100; ++n)
        Touch(strDesktop + "/" + ShotName(n));
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    ASSERT_TRUE(m_pApp->BeginFrame());
    ASSERT_TRUE(m_pApp->EndFrame());

    EXPECT_FALSE(m_pApp->TakeScreenshot());
    EXPECT_EQ(CountLogLines(LOG_WARNING, {"Direct3DApplication::TakeScreenshot()", "all exist"}), 1);
    int nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(strDesktop))
    {
        ++nFiles;
        EXPECT_EQ(std::filesystem::file_size(entry.path()), 5u) << entry.path();
    }
    EXPECT_EQ(nFiles, 100);

    // A too-long desktop folder is refused the same way, without an overrun.
    std::string strLong(400, 'd');
    char szPath[300];
    EXPECT_FALSE(Direct3DApplication::FindScreenshotPath(strLong.c_str(), szPath, sizeof(szPath)));
    EXPECT_EQ(szPath[0], '\0');
}

TEST_F(AppTest, ScreenshotKeyTakesAScreenshotUnlessBoundToTheFrameRateKey)
{
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    ASSERT_TRUE(m_pApp->BeginFrame());
    ASSERT_TRUE(m_pApp->EndFrame());
    const std::string strFirst = m_strFolder + "/Desktop/ScreenShot00.png";

    m_pApp->OnKey(m_pApp->m_nScreenshotKey, false);
    EXPECT_FALSE(std::filesystem::exists(strFirst)) << "a release takes no screenshot";
    m_pApp->m_nShowFpsKey = m_pApp->m_nScreenshotKey;
    m_pApp->OnKey(m_pApp->m_nScreenshotKey, true);
    EXPECT_FALSE(std::filesystem::exists(strFirst)) << "the frame-rate key shields the screenshot key";
    m_pApp->m_nShowFpsKey = 32;
    m_pApp->OnKey(120, true);
    EXPECT_TRUE(std::filesystem::exists(strFirst));
}

TEST_F(AppTest, ScreenshotThatCannotBeSavedWarns)
{
    win32::PathConfig config = win32::GetPathConfig();
    config.m_strDesktopDir = m_strFolder + "/no such folder";
    win32::SetPathConfig(config);
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    ASSERT_TRUE(m_pApp->BeginFrame());
    ASSERT_TRUE(m_pApp->EndFrame());
    EXPECT_FALSE(m_pApp->TakeScreenshot());
    EXPECT_EQ(CountLogLines(LOG_WARNING, {"Direct3DApplication::TakeScreenshot()", "could not save"}), 1);
    EXPECT_FALSE(std::filesystem::exists(config.m_strDesktopDir));
}

TEST_F(AppTest, ScreenshotOfAWindowPartlyOffTheScreenKeepsTheVisiblePart)
{
    HWND hWnd = CreateWindowExA(0, "AppTestWnd", "off", WS_POPUP | WS_VISIBLE, -100, -50, WINDOW_WIDTH, WINDOW_HEIGHT,
                                nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    win32::SetMainWindow(hWnd);
    m_Driver.pumpUntilIdle();
    ASSERT_TRUE(m_pApp->InitDevice(hWnd, 0, false, 0));
    ASSERT_TRUE(m_pApp->BeginFrame());
    ASSERT_EQ(m_pApp->GetDevice()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(200, 10, 90), 1.0f, 0), D3D_OK);
    ASSERT_TRUE(m_pApp->EndFrame());
    m_Driver.pumpUntilIdle();

    ASSERT_TRUE(m_pApp->TakeScreenshot());
    PixelImage image;
    ASSERT_TRUE(image.Load((m_strFolder + "/Desktop/ScreenShot00.png").c_str(), true, 0));
    EXPECT_EQ(image.width, WINDOW_WIDTH - 100);
    EXPECT_EQ(image.height, WINDOW_HEIGHT - 50);
    const uint8_t* pPixels = image.GetLevelPixels(0);
    ASSERT_NE(pPixels, nullptr);
    EXPECT_EQ(pPixels[0], 200);
    EXPECT_EQ(pPixels[1], 10);
    EXPECT_EQ(pPixels[2], 90);
    win32::SetMainWindow(nullptr);
}
