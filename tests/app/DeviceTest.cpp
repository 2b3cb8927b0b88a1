// Device creation, the frame primitives and release of the Direct3D application layer.
#include "AppFixture.h"

#include "morvyn/morvyn.h"

namespace
{
struct BackBufferSize
{
    UINT nWidth = 0;
    UINT nHeight = 0;
    D3DFORMAT nFormat = D3DFMT_UNKNOWN;
    D3DFORMAT nDepthFormat = D3DFMT_UNKNOWN;
};

BackBufferSize ReadBuffers(IDirect3DDevice9* pDevice)
{
    BackBufferSize size;
    IDirect3DSurface9* pSurface = nullptr;
    D3DSURFACE_DESC desc{};
    if (SUCCEEDED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pSurface)))
    {
        pSurface->GetDesc(&desc);
        size = {desc.Width, desc.Height, desc.Format, D3DFMT_UNKNOWN};
        pSurface->Release();
    }
    if (SUCCEEDED(pDevice->GetDepthStencilSurface(&pSurface)))
    {
        pSurface->GetDesc(&desc);
        size.nDepthFormat = desc.Format;
        pSurface->Release();
    }
    return size;
}
}

TEST_F(AppTest, EveryWindowSizeGetsA640By480BackBuffer)
{
    const SIZE sizes[] = {{1, 1}, {300, 200}, {640, 480}, {1280, 1024}, {2000, 100}};
    for (const SIZE& size : sizes)
    {
        HWND hWnd = CreateWindowExA(0, "AppTestWnd", "sized", WS_POPUP | WS_VISIBLE, 0, 0, size.cx, size.cy, nullptr,
                                    nullptr, nullptr, nullptr);
        ASSERT_NE(hWnd, nullptr);
        RenderApp app;
        ASSERT_TRUE(app.InitDevice(hWnd, 4, false, 0)) << size.cx << "x" << size.cy;
        ASSERT_NE(app.GetRenderer(), nullptr);
        BackBufferSize buffers = ReadBuffers(app.GetDevice());
        EXPECT_EQ(buffers.nWidth, 640u) << size.cx << "x" << size.cy;
        EXPECT_EQ(buffers.nHeight, 480u) << size.cx << "x" << size.cy;
        // The program's pixel format: 8 alpha bits, 24 depth bits and 8 stencil bits.
        EXPECT_EQ(buffers.nFormat, D3DFMT_A8R8G8B8);
        EXPECT_EQ(buffers.nDepthFormat, D3DFMT_D24S8);
        EXPECT_EQ(app.m_PresentParams.MultiSampleType, D3DMULTISAMPLE_NONE);
        app.ReleaseDevice(hWnd);
        DestroyWindow(hWnd);
    }
}

TEST_F(AppTest, PixelFormatRequestsGiveTheListedFormats)
{
    struct Case
    {
        PixelFormatRequest format;
        bool bFullScreen;
        D3DFORMAT nBackFormat;
        BOOL bAutoDepth;
        D3DFORMAT nDepthFormat;
        BOOL bWindowed;
        UINT nRefreshRate;
    };
    const Case cases[] = {
        {{8, 8, 8, 8, 24, 8}, false, D3DFMT_A8R8G8B8, TRUE, D3DFMT_D24S8, TRUE, 0},
        {{8, 8, 8, 0, 24, 8}, false, D3DFMT_X8R8G8B8, TRUE, D3DFMT_D24S8, TRUE, 0},
        {{8, 8, 8, 8, 24, 0}, false, D3DFMT_A8R8G8B8, TRUE, D3DFMT_D24X8, TRUE, 0},
        {{8, 8, 8, 8, 32, 0}, false, D3DFMT_A8R8G8B8, TRUE, D3DFMT_D24X8, TRUE, 0},
        {{8, 8, 8, 8, 16, 8}, false, D3DFMT_A8R8G8B8, TRUE, D3DFMT_D16, TRUE, 0},
        {{5, 6, 5, 0, 0, 0}, false, D3DFMT_X8R8G8B8, FALSE, D3DFMT_D16, TRUE, 0},
        {{8, 8, 8, 8, 24, 8}, true, D3DFMT_A8R8G8B8, TRUE, D3DFMT_D24S8, FALSE, 85},
    };
    for (const Case& c : cases)
    {
        D3DPRESENT_PARAMETERS pp = Direct3DApplication::MakePresentParameters(c.format, c.bFullScreen, 85);
        SCOPED_TRACE(testing::Message() << "alpha " << c.format.m_nAlphaBits << " depth " << c.format.m_nDepthBits
                                        << " stencil " << c.format.m_nStencilBits << " full " << c.bFullScreen);
        EXPECT_EQ(pp.BackBufferWidth, 640u);
        EXPECT_EQ(pp.BackBufferHeight, 480u);
        EXPECT_EQ(pp.BackBufferFormat, c.nBackFormat);
        EXPECT_EQ(pp.BackBufferCount, 1u);
        EXPECT_EQ(pp.SwapEffect, D3DSWAPEFFECT_DISCARD);
        EXPECT_EQ(pp.EnableAutoDepthStencil, c.bAutoDepth);
        EXPECT_EQ(pp.AutoDepthStencilFormat, c.nDepthFormat);
        EXPECT_EQ(pp.Windowed, c.bWindowed);
        EXPECT_EQ(pp.FullScreen_RefreshRateInHz, c.nRefreshRate);
        EXPECT_EQ(pp.PresentationInterval, static_cast<UINT>(D3DPRESENT_INTERVAL_IMMEDIATE));
        EXPECT_EQ(pp.hDeviceWindow, nullptr);
    }
}

TEST_F(AppTest, DeviceCreationFailuresReturnFalseWithAMessage)
{
    // No window: a box with "NULL", no device.
    m_Driver.answers().msgbox(IDOK);
    EXPECT_FALSE(m_pApp->InitDevice(nullptr, 0, false, 0));
    EXPECT_EQ(m_Driver.answers().pending(), 0u);
    EXPECT_EQ(m_pApp->GetDevice(), nullptr);
    EXPECT_EQ(m_pApp->GetRenderer(), nullptr);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"Direct3DApplication::InitDevice()", "no window"}), 1);
    // Releasing after the failure releases the Direct3D object only, and twice is harmless.
    EXPECT_TRUE(m_pApp->ReleaseDevice(nullptr));
    EXPECT_TRUE(m_pApp->ReleaseDevice(nullptr));

    // The device refuses creation.
    d3d9test::FailNextDeviceCreation();
    m_Driver.answers().msgbox(IDOK);
    EXPECT_FALSE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    EXPECT_EQ(m_Driver.answers().pending(), 0u);
    EXPECT_EQ(m_pApp->GetDevice(), nullptr);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"Direct3DApplication::InitDevice()", "CreateDevice failed"}), 1);
    EXPECT_TRUE(m_pApp->ReleaseDevice(m_hWnd));

    // The next attempt works again.
    EXPECT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    EXPECT_NE(m_pApp->GetDevice(), nullptr);
}

TEST_F(AppTest, ADeviceMadeAgainReplacesTheOldOneAndItsResources)
{
    ASSERT_TRUE(m_pApp->Init());
    m_Driver.answers().msgbox(IDOK).msgbox(IDOK).msgbox(IDOK).msgbox(IDOK);
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    ASSERT_TRUE(m_pApp->Load());
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    ASSERT_TRUE(m_pApp->Load());
    int nDevices = 0, nDirect3D = 0;
    UINT nDevice = 0;
    for (const d3d9test::LiveObject& object : d3d9test::LiveObjects())
    {
        nDirect3D += object.strKind == "Direct3D";
        if (object.strKind == "Device")
        {
            ++nDevices;
            nDevice = object.nDevice;
        }
    }
    EXPECT_EQ(nDevices, 1);
    EXPECT_EQ(nDirect3D, 1);
    for (const d3d9test::LiveObject& object : d3d9test::LiveObjects())
    {
        if (object.strKind != "Direct3D")
        {
            EXPECT_EQ(object.nDevice, nDevice) << object.strKind << " of an old device";
        }
    }
    EXPECT_EQ(GetMorvynDevice(), m_pApp->GetDevice());
}

TEST_F(AppTest, ReleaseDeviceTwiceAfterLoadLeavesNothing)
{
    ASSERT_TRUE(m_pApp->Init());
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    m_Driver.answers().msgbox(IDOK).msgbox(IDOK).msgbox(IDOK);
    ASSERT_TRUE(m_pApp->Load());
    EXPECT_TRUE(m_pApp->ReleaseDevice(m_hWnd));
    EXPECT_EQ(m_pApp->GetDevice(), nullptr);
    EXPECT_EQ(m_pApp->m_pMeshDecl, nullptr);
    EXPECT_EQ(g_pQuadDeclaration, nullptr);
    EXPECT_TRUE(d3d9test::LiveObjects().empty());
    EXPECT_TRUE(m_pApp->ReleaseDevice(m_hWnd));
}

TEST_F(AppTest, GlyphGridTextDrawsOneQuadPerCharacterInViewportUnits)
{
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    IDirect3DDevice9* pDevice = m_pApp->GetDevice();
    ASSERT_TRUE(m_pApp->BeginFrame());
    ASSERT_EQ(pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    // The quads in the vertices' colour (white), whatever texture is bound.
    pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    d3d9test::Recorder recorder(pDevice);
    // Two characters on the first line, one on the second; code 200 is skipped.
    ASSERT_TRUE(m_pApp->DrawString("AB\n\xC8" "C", 0.25f, 0.5f, 0.125f, 0.25f));
    recorder.Stop();
    pDevice->EndScene();
    EXPECT_EQ(recorder.Texts({"DrawPrimitiveUP"}).size(), 3u);
    EXPECT_EQ(recorder.Texts({"SetFVF"}), std::vector<std::string>{"SetFVF(0x102)"});   // XYZ | TEX1

    // A covers x 0.25..0.375, B 0.375..0.5 of the
    // 640-pixel width on rows 0.5..0.75 of the height; C is on the next row at x 0.25..0.375.
    IDirect3DSurface9* pBack = nullptr;
    ASSERT_EQ(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pBack, data));
    pBack->Release();
    auto Lit = [&](float u, float v) { return data.Pixel(UINT(u * 640), UINT(v * 480))[0] > 0.5f; };
    EXPECT_TRUE(Lit(0.30f, 0.6f));
    EXPECT_TRUE(Lit(0.45f, 0.6f));
    EXPECT_FALSE(Lit(0.55f, 0.6f));
    EXPECT_TRUE(Lit(0.30f, 0.85f));
    EXPECT_FALSE(Lit(0.45f, 0.85f));
    EXPECT_FALSE(Lit(0.20f, 0.6f));
}
