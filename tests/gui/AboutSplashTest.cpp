// The about box (dialog 100) and the start-up splash window over a host main window.
#include "../win32/GoldenKit.h"
#include "GuiTestKit.h"
#include "mfc_gui/AboutDlg.h"
#include "mfc_gui/SplashWnd.h"

namespace
{
const char ABOUT_CAPTION[] = "About Quenlaris 1.20";

class AboutSplashTest : public GuiTest
{
protected:
    void TearDown() override
    {
        CSplashWnd::Enable(FALSE);
        if (CSplashWnd* pSplash = CSplashWnd::GetActive())
            pSplash->DestroyWindow();
        GuiTest::TearDown();
    }
    // Runs the about box with the script lines queued.
    INT_PTR RunAbout(const std::string& strScript)
    {
        std::string strError;
        EXPECT_TRUE(m_Driver.loadScript(strScript, strError)) << strError;
        CAboutDlg dlg(&m_Host);
        return dlg.DoModal();
    }
};
}

TEST_F(AboutSplashTest, TheAboutBoxClosesWithOkOrEscape)
{
    Host(0, 0, 640, 480);
    int nDiffering = 0;
    m_Driver.at(30, [&] { nDiffering = CompareWithGolden(m_Driver.find(std::string("title:") + ABOUT_CAPTION), "about_box"); });
    EXPECT_EQ(RunAbout("wait 40\nkey Return\n"), IDOK);
    EXPECT_EQ(RunAbout("key Escape\n"), IDCANCEL);
    EXPECT_EQ(RunAbout("wait 10\nclick left \"title:About Quenlaris 1.20/#1\"\n"), IDOK);
    EXPECT_EQ(m_Driver.find(std::string("title:") + ABOUT_CAPTION), nullptr);
    EXPECT_TRUE(m_Host.IsWindowEnabled());
    EXPECT_TRUE(GetLogLines().empty());   // the icon resource is there
    if (nDiffering < 0)
        GTEST_SKIP() << "the golden was drawn with other fonts";
    EXPECT_EQ(nDiffering, 0);
}

TEST_F(AboutSplashTest, TheSplashShowsOnceCentredAndGoesAtItsTime)
{
    Host(100, 50, 800, 600);
    CSplashWnd::Show(&m_Host);   // not enabled: nothing
    EXPECT_EQ(CSplashWnd::GetActive(), nullptr);

    CSplashWnd::Enable(TRUE);
    CSplashWnd::Show(&m_Host);
    CSplashWnd* pSplash = CSplashWnd::GetActive();
    ASSERT_NE(pSplash, nullptr);
    CSplashWnd::Show(&m_Host);
    EXPECT_EQ(CSplashWnd::GetActive(), pSplash);
    m_Driver.pumpUntilIdle();
    CRect rc;
    pSplash->GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(244, 158, 756, 542));   // 512 x 384 centred over the host
    EXPECT_TRUE(pSplash->IsWindowVisible());

    // The window shows bitmap 125 pixel for pixel.
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadBitmap(CSplashWnd::IDB_SPLASH));
    CClientDC dcScreen(nullptr);
    CDC dcImage;
    dcImage.CreateCompatibleDC(&dcScreen);
    CBitmap* pOld = dcImage.SelectObject(&bitmap);
    for (CPoint pt : {CPoint(0, 0), CPoint(256, 100), CPoint(511, 383), CPoint(300, 200)})
        EXPECT_EQ(WindowPixel(*pSplash, pt.x, pt.y), ToRgb(dcImage.GetPixel(pt.x, pt.y))) << pt.x << ", " << pt.y;
    dcImage.SelectObject(pOld);

    m_Driver.advance(1499);
    m_Driver.pumpUntilIdle();
    ASSERT_EQ(CSplashWnd::GetActive(), pSplash);
    m_Driver.advance(1);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(CSplashWnd::GetActive(), nullptr);
    EXPECT_EQ(m_Driver.find("class:" + std::string(AfxRegisterWndClass(0, LoadCursor(nullptr, IDC_ARROW)))), nullptr);
}

TEST_F(AboutSplashTest, AKeyHidesTheSplashAndADamagedPictureGivesNone)
{
    Host(0, 0, 640, 480);
    CSplashWnd::Enable(TRUE);
    CSplashWnd::Show(&m_Host);
    ASSERT_NE(CSplashWnd::GetActive(), nullptr);
    MSG msg{};
    msg.message = WM_MOUSEMOVE;
    EXPECT_FALSE(CSplashWnd::FilterAppMessage(&msg));
    msg.message = WM_KEYDOWN;
    EXPECT_TRUE(CSplashWnd::FilterAppMessage(&msg));
    EXPECT_EQ(CSplashWnd::GetActive(), nullptr);
    EXPECT_FALSE(CSplashWnd::FilterAppMessage(&msg));

    static const unsigned char NOT_A_BITMAP[] = "BM";
    ResourceEntry damaged{"BITMAP", CSplashWnd::IDB_SPLASH, NOT_A_BITMAP, 2};
    RegisterResourceTable(&damaged, 1);
    CSplashWnd::Show(&m_Host);
    EXPECT_EQ(CSplashWnd::GetActive(), nullptr);
}
