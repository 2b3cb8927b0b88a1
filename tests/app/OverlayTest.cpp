// The frame-rate counter and the statistics line of the overlay.
#include "AppFixture.h"

#include "3dapi/RenderTimer.h"
#include "core/CoreHooks.h"
#include "scene/RenderOptions.h"

namespace
{
// A render clock in milliseconds that only the test moves.
class OverlayTest : public AppTest
{
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        SetClockSource({[this] { return m_nNow; }, 1000});
        ResetRenderTimer();
    }
    void TearDown() override
    {
        SetClockSource({});
        ResetRenderTimer();
        g_nVisibleFaces = 0;
        g_nAccumulatedPhotons = 0;
        g_nRadianceEstimatePasses = 0;
        g_nDirectEmanateTile = 3;
        g_nGlobalEmanateTile = 1;
        AppTest::TearDown();
    }
    int64_t m_nNow = 5000000;   // the machine has been up for a while
};
}

TEST_F(OverlayTest, FrameRateIsMeasuredOverTenthsOfASecondFromTheFirstFrame)
{
    RenderApp& app = *m_pApp;
    // The first frame only starts the measurement: no figure over the time before it.
    app.UpdateFrameRate();
    EXPECT_STREQ(app.m_szFpsText, "");
    // Frames 60 ms apart: the second frame (0.06 s) is too soon, the third (0.12 s) measures two
    // frames over 0.12 s.
    m_nNow += 60;
    app.UpdateFrameRate();
    EXPECT_STREQ(app.m_szFpsText, "");
    m_nNow += 60;
    app.UpdateFrameRate();
    EXPECT_STREQ(app.m_szFpsText, "16.67 fps, 0.06 sec/frame");
    EXPECT_NEAR(app.m_fFps, 2.0f / 0.12f, 1e-3f);
    // Exactly 0.1 s later is not yet a new measurement; just past it is.
    m_nNow += 100;
    app.UpdateFrameRate();
    EXPECT_STREQ(app.m_szFpsText, "16.67 fps, 0.06 sec/frame");
    m_nNow += 1;
    app.UpdateFrameRate();
    EXPECT_STREQ(app.m_szFpsText, "19.80 fps, 0.05 sec/frame");
}

TEST_F(OverlayTest, StatisticsLineForTheTracerFigures)
{
    struct Case
    {
        int32_t nVisibleFaces, nDirectTiles, nGlobalTiles;
        int64_t nAccumulated;
        float fFps;
        int32_t nPasses;
        const char* szExpected;
    };
    const Case cases[] = {
        // Default tiles 3 and 1: ten tiles of 1536 photons.
        {0, 3, 1, 0, 0.0f, 0,
         "Visible Face : 0, Emitted Photon : 15360 KPhoton\n Accumulated Photon : 0 KPhoton, GFlops:  0.00, "
         "Radiance Estimate Passes : 0"},
        // Fewer than 1000 photons are 0 KPhoton.
        {12, 3, 1, 999, 50.0f, 2,
         "Visible Face : 12, Emitted Photon : 15360 KPhoton\n Accumulated Photon : 0 KPhoton, GFlops:  0.05, "
         "Radiance Estimate Passes : 2"},
        // Past 2^31 photons the figures stay right.
        {4000, 8, 4, 3000000000LL, 10.0f, 7,
         "Visible Face : 4000, Emitted Photon : 122880 KPhoton\n Accumulated Photon : 3000000 KPhoton, GFlops: "
         "30000.00, Radiance Estimate Passes : 7"},
    };
    for (const Case& c : cases)
    {
        g_nVisibleFaces = c.nVisibleFaces;
        g_nDirectEmanateTile = c.nDirectTiles;
        g_nGlobalEmanateTile = c.nGlobalTiles;
        g_nAccumulatedPhotons = c.nAccumulated;
        g_nRadianceEstimatePasses = c.nPasses;
        m_pApp->m_fFps = c.fFps;
        char szText[512];
        m_pApp->FormatStatistics(szText, sizeof(szText));
        EXPECT_STREQ(szText, c.szExpected);
    }
}

TEST_F(OverlayTest, OverlayDrawsTheFrameRateAtTheTopAndTheStatisticsNearTheBottom)
{
    ASSERT_TRUE(m_pApp->Init());
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    m_Driver.answers().msgbox(IDOK).msgbox(IDOK).msgbox(IDOK);
    ASSERT_TRUE(m_pApp->Load());
    IDirect3DDevice9* pDevice = m_pApp->GetDevice();
    std::snprintf(m_pApp->m_szFpsText, RenderApp::FPS_TEXT_SIZE, "88.00 fps, 0.01 sec/frame");
    ASSERT_TRUE(m_pApp->BeginFrame());
    ASSERT_EQ(pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    m_pApp->DrawStatistics();
    pDevice->EndScene();

    IDirect3DSurface9* pBack = nullptr;
    ASSERT_EQ(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pBack, data));
    pBack->Release();
    // Yellow text only in the top rows, white text only from row 440 down.
    int nYellowTop = 0, nYellowElsewhere = 0, nWhiteBottom = 0, nWhiteElsewhere = 0;
    for (UINT y = 0; y < data.nHeight; ++y)
        for (UINT x = 0; x < data.nWidth; ++x)
        {
            const float* p = data.Pixel(x, y);
            bool bYellow = p[0] > 0.5f && p[1] > 0.5f && p[2] < 0.1f;
            bool bWhite = p[0] > 0.5f && p[1] > 0.5f && p[2] > 0.5f;
            (y < 40 ? nYellowTop : nYellowElsewhere) += bYellow;
            (y >= 440 ? nWhiteBottom : nWhiteElsewhere) += bWhite;
        }
    EXPECT_GT(nYellowTop, 50);
    EXPECT_EQ(nYellowElsewhere, 0);
    EXPECT_GT(nWhiteBottom, 100);
    EXPECT_EQ(nWhiteElsewhere, 0);
}

TEST_F(OverlayTest, EyePositionIsTheTranslationOfTheInverseView)
{
    // A camera at (1, 2, 3) turned a quarter about y: view = inverse(rotation, then translation).
    D3DXMATRIX matRotation, matTranslation, matWorld, matView;
    D3DXMatrixRotationY(&matRotation, 1.5707964f);
    D3DXMatrixTranslation(&matTranslation, 1.0f, 2.0f, 3.0f);
    D3DXMatrixMultiply(&matWorld, &matRotation, &matTranslation);
    D3DXMatrixInverse(&matView, nullptr, &matWorld);
    Vector3 vEye = RenderApp::GetEyePosition(matView);
    EXPECT_NEAR(vEye.x, 1.0f, 1e-5f);
    EXPECT_NEAR(vEye.y, 2.0f, 1e-5f);
    EXPECT_NEAR(vEye.z, 3.0f, 1e-5f);
    // A view that cannot be inverted gives the origin.
    D3DXMATRIX matZero(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    vEye = RenderApp::GetEyePosition(matZero);
    EXPECT_EQ(vEye.x, 0.0f);
    EXPECT_EQ(vEye.y, 0.0f);
    EXPECT_EQ(vEye.z, 0.0f);
}
