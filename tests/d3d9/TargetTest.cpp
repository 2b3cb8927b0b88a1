// Render targets, the viewport reset rule, clears of mixed-format targets, depth and stencil
// clears, presentation and the front buffer.
#include "DeviceFixture.h"

#include "cpu/formats/Half.h"

#include <cstring>
#include <vector>

namespace
{
using TargetTest = DeviceTest;

IDirect3DSurface9* MakeTarget(IDirect3DDevice9* pDevice, UINT width, UINT height, D3DFORMAT format)
{
    IDirect3DTexture9* pTexture = nullptr;
    EXPECT_EQ(pDevice->CreateTexture(width, height, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, &pTexture, nullptr),
              D3D_OK);
    IDirect3DSurface9* pSurface = nullptr;
    EXPECT_EQ(pTexture->GetSurfaceLevel(0, &pSurface), D3D_OK);
    pTexture->Release();  // the level keeps its texture alive
    return pSurface;
}

D3DVIEWPORT9 Viewport(IDirect3DDevice9* pDevice)
{
    D3DVIEWPORT9 viewport{};
    pDevice->GetViewport(&viewport);
    return viewport;
}

TEST_F(TargetTest, TargetZeroResetsTheViewport)
{
    IDirect3DSurface9* pSmall = MakeTarget(m_pDevice, 8, 4, D3DFMT_A16B16G16R16F);
    IDirect3DSurface9* pOther = MakeTarget(m_pDevice, 16, 16, D3DFMT_A8R8G8B8);
    const D3DVIEWPORT9 custom{2, 3, 10, 9, 0.25f, 0.5f};
    ASSERT_EQ(m_pDevice->SetViewport(&custom), D3D_OK);

    // Targets 1–3 leave the viewport alone.
    ASSERT_EQ(m_pDevice->SetRenderTarget(1, pOther), D3D_OK);
    D3DVIEWPORT9 viewport = Viewport(m_pDevice);
    EXPECT_EQ(viewport.X, 2u);
    EXPECT_EQ(viewport.MaxZ, 0.5f);

    // Target 0 makes it the whole target with depth 0–1.
    ASSERT_EQ(m_pDevice->SetRenderTarget(0, pSmall), D3D_OK);
    viewport = Viewport(m_pDevice);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Y, 0u);
    EXPECT_EQ(viewport.Width, 8u);
    EXPECT_EQ(viewport.Height, 4u);
    EXPECT_EQ(viewport.MinZ, 0.0f);
    EXPECT_EQ(viewport.MaxZ, 1.0f);

    // A viewport beyond target 0 is refused, and so is a null target 0.
    EXPECT_EQ(m_pDevice->SetViewport(&custom), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->SetRenderTarget(0, nullptr), D3DERR_INVALIDCALL);
    IDirect3DSurface9* pCurrent = nullptr;
    ASSERT_EQ(m_pDevice->GetRenderTarget(0, &pCurrent), D3D_OK);
    EXPECT_EQ(pCurrent, pSmall);
    pCurrent->Release();

    // Only render-target surfaces can be targets.
    IDirect3DSurface9* pPlain = nullptr;
    ASSERT_EQ(m_pDevice->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &pPlain, nullptr), D3D_OK);
    EXPECT_EQ(m_pDevice->SetRenderTarget(2, pPlain), D3DERR_INVALIDCALL);
    pPlain->Release();

    IDirect3DSurface9* pBackBuffer = nullptr;
    ASSERT_EQ(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer), D3D_OK);
    ASSERT_EQ(m_pDevice->SetRenderTarget(0, pBackBuffer), D3D_OK);
    EXPECT_EQ(Viewport(m_pDevice).Width, 16u);
    m_pDevice->SetRenderTarget(1, nullptr);
    IDirect3DSurface9* pNone = reinterpret_cast<IDirect3DSurface9*>(1);
    EXPECT_EQ(m_pDevice->GetRenderTarget(1, &pNone), D3DERR_NOTFOUND);
    EXPECT_EQ(pNone, nullptr);
    pBackBuffer->Release();
    pOther->Release();
    pSmall->Release();
}

// Clear colour 0x21406080: a = 33, r = 64, g = 96, b = 128, each divided by 255 and then
// stored in each target's format. Expected bytes computed independently: halves by IEEE
// round-to-nearest-even of the float quotient, UNORM by floor(v·(2ᵇ−1) + 0.5) (c/255·65535 =
// 257·c exactly).
constexpr D3DCOLOR CLEAR_COLOR = 0x21406080;

struct ClearCase
{
    D3DFORMAT format;
    std::vector<BYTE> pixel;
};

const ClearCase g_ClearCases[] = {
    {D3DFMT_A8R8G8B8, {0x80, 0x60, 0x40, 0x21}},
    {D3DFMT_A16B16G16R16F, {0x04, 0x34, 0x06, 0x36, 0x04, 0x38, 0x24, 0x30}},
    {D3DFMT_R32F, {0x81, 0x80, 0x80, 0x3E}},  // 64/255 as float: 0x3E808081
    {D3DFMT_A16B16G16R16, {0x40, 0x40, 0x60, 0x60, 0x80, 0x80, 0x21, 0x21}},
    {D3DFMT_G16R16F, {0x04, 0x34, 0x06, 0x36}},
    {D3DFMT_R5G6B5, {0x10, 0x43}},  // r 8, g 24, b 16: 8<<11 | 24<<5 | 16 = 0x4310
    {D3DFMT_X8R8G8B8, {0x80, 0x60, 0x40, 0xFF}},
    {D3DFMT_A32B32G32R32F, {0x81, 0x80, 0x80, 0x3E, 0xC1, 0xC0, 0xC0, 0x3E, 0x81, 0x80, 0x00, 0x3F, 0x85, 0x84, 0x04, 0x3E}},
};

// Binds the formats as targets 0..n-1, clears the colour, and checks every pixel of each.
void ClearAndCheck(IDirect3DDevice9* pDevice, const std::vector<const ClearCase*>& cases)
{
    std::vector<IDirect3DSurface9*> targets;
    for (size_t i = 0; i < cases.size(); ++i)
    {
        targets.push_back(MakeTarget(pDevice, 4, 4, cases[i]->format));
        ASSERT_EQ(pDevice->SetRenderTarget(static_cast<DWORD>(i), targets.back()), D3D_OK);
    }
    ASSERT_EQ(pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, CLEAR_COLOR, 1.0f, 0), D3D_OK);
    for (size_t i = 0; i < cases.size(); ++i)
    {
        d3d9test::SurfaceData data;
        ASSERT_TRUE(d3d9test::ReadSurface(targets[i], data));
        const std::vector<BYTE>& pixel = cases[i]->pixel;
        for (size_t p = 0; p < 16; ++p)
            for (size_t b = 0; b < pixel.size(); ++b)
                ASSERT_EQ(data.bytes[p * pixel.size() + b], pixel[b])
                    << "format " << cases[i]->format << " pixel " << p << " byte " << b << " of " << cases.size();
    }
    IDirect3DSurface9* pBackBuffer = nullptr;
    pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    pDevice->SetRenderTarget(0, pBackBuffer);
    pBackBuffer->Release();
    for (size_t i = 0; i < targets.size(); ++i)
    {
        if (i > 0)
            pDevice->SetRenderTarget(static_cast<DWORD>(i), nullptr);
        targets[i]->Release();
    }
}

TEST_F(TargetTest, ClearConvertsTheColourToEachFormat)
{
    for (const ClearCase& c : g_ClearCases)
        ClearAndCheck(m_pDevice, {&c});
}

TEST_F(TargetTest, ClearReachesEveryBoundTarget)
{
    ClearAndCheck(m_pDevice, {&g_ClearCases[0], &g_ClearCases[1]});
    ClearAndCheck(m_pDevice, {&g_ClearCases[1], &g_ClearCases[2], &g_ClearCases[3], &g_ClearCases[5]});
    ClearAndCheck(m_pDevice, {&g_ClearCases[7], &g_ClearCases[0], &g_ClearCases[4], &g_ClearCases[6]});
}

TEST_F(TargetTest, ClearStaysInsideTheViewport)
{
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    const D3DVIEWPORT9 viewport{4, 2, 8, 6, 0.0f, 1.0f};
    ASSERT_EQ(m_pDevice->SetViewport(&viewport), D3D_OK);
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    // A rectangle is clipped to the viewport as well.
    const D3DRECT rect{0, 0, 6, 3};
    ASSERT_EQ(m_pDevice->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    IDirect3DSurface9* pBackBuffer = nullptr;
    m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pBackBuffer, data));
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
        {
            const bool inViewport = x >= 4 && x < 12 && y >= 2 && y < 8;
            const bool inRect = inViewport && x < 6 && y < 3;
            const float* pPixel = data.Pixel(x, y);
            EXPECT_EQ(pPixel[0], inViewport && !inRect ? 1.0f : 0.0f) << x << "," << y;
            EXPECT_EQ(pPixel[1], inViewport ? 1.0f : 0.0f) << x << "," << y;
        }
    pBackBuffer->Release();
}

TEST_F(TargetTest, DepthAndStencilTakeTheGivenValues)
{
    IDirect3DSurface9* pDepth = nullptr;
    ASSERT_EQ(m_pDevice->GetDepthStencilSurface(&pDepth), D3D_OK);
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 0.3f, 0x107), D3D_OK);
    std::vector<float> depth;
    std::vector<BYTE> stencil;
    ASSERT_TRUE(d3d9test::ReadDepth(pDepth, depth));
    ASSERT_TRUE(d3d9test::ReadStencil(pDepth, stencil));
    ASSERT_EQ(depth.size(), 256u);
    for (size_t i = 0; i < depth.size(); ++i)
    {
        EXPECT_EQ(depth[i], 0.3f);       // stored exactly, whatever the format's bit depth
        EXPECT_EQ(stencil[i], 0x07);     // the low 8 bits
    }
    // Depth work needs a depth surface, and stencil work a format with stencil.
    ASSERT_EQ(m_pDevice->SetDepthStencilSurface(nullptr), D3D_OK);
    EXPECT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    IDirect3DSurface9* pNoStencil = nullptr;
    ASSERT_EQ(m_pDevice->CreateDepthStencilSurface(16, 16, D3DFMT_D24X8, D3DMULTISAMPLE_NONE, 0, FALSE, &pNoStencil,
                                                   nullptr),
              D3D_OK);
    ASSERT_EQ(m_pDevice->SetDepthStencilSurface(pNoStencil), D3D_OK);
    EXPECT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    ASSERT_TRUE(d3d9test::ReadDepth(pNoStencil, depth));
    EXPECT_EQ(depth[255], 1.0f);
    // A colour target cannot be the depth surface.
    IDirect3DSurface9* pColor = MakeTarget(m_pDevice, 4, 4, D3DFMT_A8R8G8B8);
    EXPECT_EQ(m_pDevice->SetDepthStencilSurface(pColor), D3DERR_INVALIDCALL);
    pColor->Release();
    m_pDevice->SetDepthStencilSurface(pDepth);
    pNoStencil->Release();
    pDepth->Release();
}

TEST_F(TargetTest, PresentHandsOverTheBackBufferAndKeepsIt)
{
    ASSERT_EQ(m_pDevice->BeginScene(), D3D_OK);
    EXPECT_EQ(m_pDevice->BeginScene(), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), D3D_OK);
    ASSERT_EQ(m_pDevice->EndScene(), D3D_OK);
    ASSERT_EQ(m_pDevice->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    const PresentImage& image = d3d9test::LastPresented();
    ASSERT_EQ(image.nWidth, 16u);
    ASSERT_EQ(image.nHeight, 16u);
    EXPECT_EQ(image.pixels[0], 0xFF102030u);
    EXPECT_EQ(image.pixels[255], 0xFF102030u);
    // The back buffer is left as it was.
    IDirect3DSurface9* pBackBuffer = nullptr;
    m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pBackBuffer, data));
    EXPECT_EQ(data.bytes[0], 0x30);
    pBackBuffer->Release();

    // The front buffer is the headless desktop, clipped to the surface; the rest is black.
    IDirect3DSurface9* pScreen = nullptr;
    ASSERT_EQ(m_pDevice->CreateOffscreenPlainSurface(20, 8, D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &pScreen, nullptr), D3D_OK);
    ASSERT_EQ(m_pDevice->GetFrontBufferData(0, pScreen), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pScreen->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const DWORD* pRow = static_cast<const DWORD*>(locked.pBits);
    EXPECT_EQ(pRow[15], 0xFF102030u);
    EXPECT_EQ(pRow[16], 0u);
    pScreen->UnlockRect();
    pScreen->Release();
}

TEST_F(TargetTest, StretchRectCopiesExactlyAndScales)
{
    IDirect3DSurface9* pSource = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(4, 4, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE, &pSource, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pSource->LockRect(&locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + y * locked.Pitch)[x] = 0xFF000000u | (y * 16 + x);
    pSource->UnlockRect();
    IDirect3DSurface9* pSame = MakeTarget(m_pDevice, 4, 4, D3DFMT_A8R8G8B8);
    ASSERT_EQ(m_pDevice->StretchRect(pSource, nullptr, pSame, nullptr, D3DTEXF_NONE), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pSame, data));
    EXPECT_EQ(data.bytes[(3 * 4 + 2) * 4], 3 * 16 + 2);
    // Half size with point sampling takes the texel under each destination centre.
    IDirect3DSurface9* pHalf = MakeTarget(m_pDevice, 2, 2, D3DFMT_A8R8G8B8);
    ASSERT_EQ(m_pDevice->StretchRect(pSource, nullptr, pHalf, nullptr, D3DTEXF_POINT), D3D_OK);
    ASSERT_TRUE(d3d9test::ReadSurface(pHalf, data));
    EXPECT_EQ(data.bytes[0], 1 * 16 + 1);
    EXPECT_EQ(data.bytes[3 * 4], 3 * 16 + 3);
    const RECT outside{0, 0, 5, 4};
    EXPECT_EQ(m_pDevice->StretchRect(pSource, &outside, pSame, nullptr, D3DTEXF_NONE), D3DERR_INVALIDCALL);
    pHalf->Release();
    pSame->Release();
    pSource->Release();
}

TEST_F(TargetTest, OcclusionQueryProbeAndOrder)
{
    EXPECT_EQ(m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, nullptr), S_OK);
    EXPECT_EQ(m_pDevice->CreateQuery(D3DQUERYTYPE_EVENT, nullptr), D3DERR_NOTAVAILABLE);
    IDirect3DQuery9* pQuery = nullptr;
    ASSERT_EQ(m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &pQuery), S_OK);
    DWORD count = 99;
    EXPECT_EQ(pQuery->GetData(&count, sizeof(count), D3DGETDATA_FLUSH), D3DERR_INVALIDCALL);
    ASSERT_EQ(pQuery->Issue(D3DISSUE_BEGIN), D3D_OK);
    EXPECT_EQ(pQuery->GetData(&count, sizeof(count), D3DGETDATA_FLUSH), D3DERR_INVALIDCALL);
    ASSERT_EQ(pQuery->Issue(D3DISSUE_END), D3D_OK);
    EXPECT_EQ(pQuery->GetData(&count, sizeof(count), D3DGETDATA_FLUSH), S_OK);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(pQuery->GetDataSize(), 4u);
    pQuery->Release();
}
}  // namespace

namespace
{
TEST_F(TargetTest, RenderTargetDataReachesSystemMemory)
{
    IDirect3DSurface9* pTarget = MakeTarget(m_pDevice, 4, 4, D3DFMT_A16B16G16R16F);
    ASSERT_EQ(m_pDevice->SetRenderTarget(0, pTarget), D3D_OK);
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, CLEAR_COLOR, 1.0f, 0), D3D_OK);
    IDirect3DSurface9* pCopy = nullptr;
    ASSERT_EQ(m_pDevice->CreateOffscreenPlainSurface(4, 4, D3DFMT_A16B16G16R16F, D3DPOOL_SYSTEMMEM, &pCopy, nullptr),
              D3D_OK);
    ASSERT_EQ(m_pDevice->GetRenderTargetData(pTarget, pCopy), D3D_OK);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(pCopy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const BYTE* pRow = static_cast<const BYTE*>(locked.pBits) + 3 * locked.Pitch + 3 * 8;
    EXPECT_EQ(std::vector<BYTE>(pRow, pRow + 8), g_ClearCases[1].pixel);
    pCopy->UnlockRect();
    // Same size and format only, into system memory.
    IDirect3DSurface9* pWrong = nullptr;
    ASSERT_EQ(m_pDevice->CreateOffscreenPlainSurface(4, 4, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &pWrong, nullptr), D3D_OK);
    EXPECT_EQ(m_pDevice->GetRenderTargetData(pTarget, pWrong), D3DERR_INVALIDCALL);
    pWrong->Release();
    pCopy->Release();
    IDirect3DSurface9* pBackBuffer = nullptr;
    m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    m_pDevice->SetRenderTarget(0, pBackBuffer);
    pBackBuffer->Release();
    pTarget->Release();
}
}  // namespace
