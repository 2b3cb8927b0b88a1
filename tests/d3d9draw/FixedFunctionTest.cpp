// The fixed-function subset: texture stages, alpha test, lighting, blending; cube lookups; and
// the same image for any number of worker threads.
#include "DrawFixture.h"

#include <cpu/sampler/TextureSampler.h>

#include <cmath>

namespace
{
TEST_F(DrawTest, ModulateWhiteTexelWithYellowDiffuse)
{
    IDirect3DTexture9* pTexture = MakeTexture(1, 1, 1, D3DFMT_A8R8G8B8, {{0xFFFFFFFF}});
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    DrawRect(0, 0, 16, 16, 0xFFFFFF00);
    auto data = ReadBackBuffer();
    EXPECT_EQ(Channel(data, 7, 7, 0), 255);
    EXPECT_EQ(Channel(data, 7, 7, 1), 255);
    EXPECT_EQ(Channel(data, 7, 7, 2), 0);
    // A stage without a texture reads TEXTURE as white, keeping the diffuse colour.
    m_pDevice->SetTexture(0, nullptr);
    DrawRect(0, 0, 16, 16, 0xFF336699);
    data = ReadBackBuffer();
    EXPECT_EQ(Channel(data, 7, 7, 0), 0x33);
    EXPECT_EQ(Channel(data, 7, 7, 2), 0x99);
    pTexture->Release();
}

// A4R4G4B4 alpha 0 fails ALPHAREF 8 with GREATEREQUAL, alpha 1/15 (17) passes.
TEST_F(DrawTest, AlphaTestOnFourBitAlpha)
{
    IDirect3DTexture9* pTexture = nullptr;
    ASSERT_EQ(m_pDevice->CreateTexture(2, 1, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &pTexture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked;
    pTexture->LockRect(0, &locked, nullptr, 0);
    const uint16_t texels[2] = {0x0FFF, 0x1FFF};
    std::memcpy(locked.pBits, texels, sizeof(texels));
    pTexture->UnlockRect(0);
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ALPHAREF, 8);
    m_pDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    // Left half reads texel 0 (alpha 0), right half texel 1 (alpha 17).
    EXPECT_EQ(CountPixels([&] { DrawRect(0, 0, 16, 16, 0xFFFFFFFF); }), 128u);
    m_pDevice->SetTexture(0, nullptr);
    pTexture->Release();
}

TEST_F(DrawTest, HalfBlendOfTwoColours)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 200), 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2);
    DrawRect(0, 0, 16, 16, D3DCOLOR_ARGB(128, 255, 0, 0));
    auto data = ReadBackBuffer();
    const float a = 128 / 255.0f;
    EXPECT_EQ(Channel(data, 1, 1, 0), (int)std::floor(a * 255.0f + 0.5f));
    EXPECT_EQ(Channel(data, 1, 1, 2), (int)std::floor((1.0f - a) * 200.0f + 0.5f));
}

// A sphere of radius 1 at z = 3 lit by a directional light along +z: at the pixel facing the
// viewer N·L = 1, so the colour is diffuse·light + ambient·AMBIENT; the rim is darker.
TEST_F(DrawTest, LitSphere)
{
    struct Vertex
    {
        float x, y, z, nx, ny, nz;
    };
    std::vector<Vertex> vertices;
    const int nStacks = 16, nSlices = 32;
    auto Point = [&](int stack, int slice) {
        const float theta = 3.14159265f * stack / nStacks, phi = 2 * 3.14159265f * slice / nSlices;
        const float nx = std::sin(theta) * std::cos(phi), ny = std::sin(theta) * std::sin(phi), nz = -std::cos(theta);
        return Vertex{nx, ny, nz + 3.0f, nx, ny, nz};
    };
    for (int stack = 0; stack < nStacks; ++stack)
        for (int slice = 0; slice < nSlices; ++slice)
        {
            const Vertex a = Point(stack, slice), b = Point(stack, slice + 1), c = Point(stack + 1, slice),
                         d = Point(stack + 1, slice + 1);
            vertices.insert(vertices.end(), {a, b, c, b, d, c});
        }
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    D3DMATRIX identity{}, projection{};
    for (int i = 0; i < 4; ++i)
        identity.m[i][i] = 1.0f;
    projection._11 = projection._22 = 1.0f;
    projection._33 = 100.0f / 99.0f;
    projection._34 = 1.0f;
    projection._43 = -100.0f / 99.0f;
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetTransform(D3DTS_VIEW, &identity);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    D3DMATERIAL9 material{};
    material.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
    material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    m_pDevice->SetMaterial(&material);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    m_pDevice->SetLight(0, &light);
    m_pDevice->LightEnable(0, TRUE);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    m_pDevice->SetRenderState(D3DRS_AMBIENT, D3DCOLOR_ARGB(0, 32, 32, 32));
    m_pDevice->SetRenderState(D3DRS_COLORVERTEX, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, (UINT)vertices.size() / 3, vertices.data(), sizeof(Vertex)),
              D3D_OK);
    auto data = ReadBackBuffer();
    const float ambient = 32 / 255.0f;
    EXPECT_NEAR(data.Pixel(8, 8)[0], 0.5f + ambient, 0.02f);
    EXPECT_NEAR(data.Pixel(8, 8)[1], 0.25f + ambient, 0.02f);
    EXPECT_NEAR(data.Pixel(8, 8)[2], 1.0f, 0.02f);
    // The sphere spans about ±1/3 of the half-screen: (8 ± 2.8); the rim is darker than the
    // centre and the corners are background.
    EXPECT_LT(data.Pixel(10, 8)[0], data.Pixel(8, 8)[0]);
    EXPECT_GT(data.Pixel(10, 8)[0], 0.0f);
    EXPECT_EQ(data.Pixel(0, 0)[0], 0.0f);
}

TEST(CubeFaceTest, FaceSelectionAndOrientation)
{
    struct Case
    {
        float dir[3];
        UINT nFace;
        float u, v;
    };
    const Case cases[] = {{{1, 0.5f, -0.25f}, 0, 0.625f, 0.25f}, {{-1, 0.5f, -0.25f}, 1, 0.375f, 0.25f},
                          {{0.5f, 1, 0.25f}, 2, 0.75f, 0.625f},   {{0.5f, -1, 0.25f}, 3, 0.75f, 0.375f},
                          {{0.5f, 0.25f, 1}, 4, 0.75f, 0.375f},   {{0.5f, 0.25f, -1}, 5, 0.25f, 0.375f}};
    for (const Case& c : cases)
    {
        float u, v;
        EXPECT_EQ(CubeFace(c.dir, u, v), c.nFace);
        EXPECT_EQ(u, c.u) << c.nFace;
        EXPECT_EQ(v, c.v) << c.nFace;
    }
}

// Six faces of distinct colours, read through a cube sampler along each axis.
TEST_F(DrawTest, CubeFacesRoundTrip)
{
    IDirect3DCubeTexture9* pCube = nullptr;
    ASSERT_EQ(m_pDevice->CreateCubeTexture(4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pCube, nullptr), D3D_OK);
    for (UINT face = 0; face < 6; ++face)
    {
        D3DLOCKED_RECT locked;
        pCube->LockRect((D3DCUBEMAP_FACES)face, 0, &locked, nullptr, 0);
        for (UINT y = 0; y < 4; ++y)
            for (UINT x = 0; x < 4; ++x)
                ((D3DCOLOR*)((BYTE*)locked.pBits + y * locked.Pitch))[x] = D3DCOLOR_ARGB(255, face * 40, x * 60, y * 60);
        pCube->UnlockRect((D3DCUBEMAP_FACES)face, 0);
    }
    IDirect3DPixelShader9* pShader = PixelShader(
        "ps_2_0\n"
        "dcl_cube s0\n"
        "mov r1, c0\n"
        "texld r0, r1, s0\n"
        "mov oC0, r0\n");
    ASSERT_NE(pShader, nullptr);
    m_pDevice->SetPixelShader(pShader);
    m_pDevice->SetTexture(0, pCube);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    const float directions[6][4] = {{1, 0.3f, 0.1f, 0}, {-1, 0.3f, 0.1f, 0}, {0.1f, 1, 0.3f, 0},
                                    {0.1f, -1, 0.3f, 0}, {0.3f, 0.1f, 1, 0}, {0.3f, 0.1f, -1, 0}};
    for (UINT face = 0; face < 6; ++face)
    {
        m_pDevice->SetPixelShaderConstantF(0, directions[face], 1);
        DrawRect(0, 0, 16, 16, 0xFFFFFFFF);
        auto data = ReadBackBuffer();
        float u, v;
        EXPECT_EQ(CubeFace(directions[face], u, v), face);
        EXPECT_EQ(Channel(data, 5, 5, 0), (int)face * 40) << face;
        EXPECT_EQ(Channel(data, 5, 5, 1), (int)std::floor(u * 4) * 60) << face;
        EXPECT_EQ(Channel(data, 5, 5, 2), (int)std::floor(v * 4) * 60) << face;
    }
    m_pDevice->SetPixelShader(nullptr);
    m_pDevice->SetTexture(0, nullptr);
    pShader->Release();
    pCube->Release();
}

// A scene large enough to split over workers (160×120 with overlapping blended, depth-tested,
// textured triangles) gives the same bytes with 1, 2 and 3 workers.
class ThreadTest : public DrawTest
{
protected:
    void SetUp() override
    {
        CreateDevice(160, 120, D3DFMT_D24S8);
        m_pDevice->SetFVF(SCREEN_FVF);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    }

    std::vector<BYTE> Render(unsigned nThreads)
    {
        d3d9test::SetThreadCount(m_pDevice, nThreads);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f, 0);
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        std::vector<ScreenVertex> triangles;
        for (int i = 0; i < 60; ++i)
        {
            const float cx = (float)((i * 37) % 160), cy = (float)((i * 53) % 120), r = 20.0f + (float)(i % 7) * 15.0f;
            const D3DCOLOR color = D3DCOLOR_ARGB(90 + i, (i * 40) & 255, (i * 90) & 255, (i * 20) & 255);
            const float z = (float)(i % 10) / 10.0f;
            triangles.push_back({cx - r, cy - r, z, 1.0f / (1 + i % 3), color, 0, 0});
            triangles.push_back({cx + r, cy - r * 0.5f, z + 0.05f, 1.0f, 0xFFFFFFFF, 1, 0});
            triangles.push_back({cx, cy + r, z, 0.5f, color, 0, 1});
        }
        m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, (UINT)triangles.size() / 3, triangles.data(), sizeof(ScreenVertex));
        return ReadBackBuffer().bytes;
    }
};

TEST_F(ThreadTest, SameImageForAnyWorkerCount)
{
    const std::vector<BYTE> one = Render(1);
    EXPECT_EQ(Render(2), one);
    EXPECT_EQ(Render(3), one);
    d3d9test::SetThreadCount(m_pDevice, 0);
}

// Mid-sized draws (a few thousand pixels each, as a mesh of the scene pass draws) are split
// over the workers one after another. Overlapping ones, blended and depth-tested, must land in
// submission order on every pixel, and a query around them counts the same for any number of
// workers.
TEST_F(ThreadTest, OverlappingMidSizedDrawsKeepTheirOrder)
{
    auto render = [&](unsigned nThreads, DWORD& nPassed) {
        d3d9test::SetThreadCount(m_pDevice, nThreads);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        nPassed = CountPixels([&] {
            for (int i = 0; i < 24; ++i)
            {
                // 50 to 90 pixels square, every one overlapping its neighbours; depth alternates
                // so that some draws are hidden in part by earlier ones.
                const float x = (float)((i * 23) % 100), y = (float)((i * 31) % 60), r = 50.0f + (float)(i % 5) * 10.0f;
                const float z = (i % 3) * 0.3f;
                const D3DCOLOR color = D3DCOLOR_ARGB(120 + i * 5, (i * 70) & 255, (i * 30) & 255, 255 - i * 9);
                DrawRect(x, y, x + r, y + r, color, z);
            }
        });
        return ReadBackBuffer().bytes;
    };
    DWORD nOne = 0, nTwo = 0, nThree = 0;
    const std::vector<BYTE> one = render(1, nOne);
    EXPECT_EQ(render(2, nTwo), one);
    EXPECT_EQ(render(3, nThree), one);
    EXPECT_GT(nOne, 0u);
    EXPECT_EQ(nTwo, nOne);
    EXPECT_EQ(nThree, nOne);
    d3d9test::SetThreadCount(m_pDevice, 0);
}

// Pixels of many primitives share one shading batch. Small triangles that overlap everywhere,
// blended and depth-tested, drawn in one draw must give the image and count of the same
// triangles drawn one per draw; with a program that kills pixels too (tests after the shading).
TEST_F(ThreadTest, OneDrawMatchesItsTrianglesDrawnOneByOne)
{
    static const char s_szKillLeft[] = "ps_2_0\n"
                                       "dcl t0.xy\n"
                                       "dcl v0\n"
                                       "texkill t0\n"
                                       "mov oC0, v0\n";
    std::vector<ScreenVertex> triangles;
    for (int i = 0; i < 40; ++i)
    {
        // Six pixels across, each overlapping the next two in rows of sixteen: one batch holds
        // several on a pixel, and no pixel has so many layers that the last hide the first.
        const float cx = 6.0f + (float)(i % 16) * 2.0f, cy = 6.0f + (float)(i / 16) * 10.0f;
        const float r = 3.0f, z = (float)(i % 4) * 0.2f;
        const D3DCOLOR color = D3DCOLOR_ARGB(100 + i % 100, (i * 50) & 255, (i * 80) & 255, (i * 20) & 255);
        triangles.push_back({cx - r, cy - r, z, 1.0f, color, -0.5f, 0.0f});
        triangles.push_back({cx + r, cy - r * 0.3f, z + 0.1f, 1.0f, color, 1.0f, 0.0f});
        triangles.push_back({cx - r * 0.2f, cy + r, z, 1.0f, color, 0.5f, 1.0f});
    }
    IDirect3DPixelShader9* pKill = PixelShader(s_szKillLeft);
    d3d9test::SetThreadCount(m_pDevice, 1);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    for (IDirect3DPixelShader9* pShader : {(IDirect3DPixelShader9*)nullptr, pKill})
    {
        m_pDevice->SetPixelShader(pShader);
        auto render = [&](bool bOneDraw, DWORD& nPassed) {
            m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
            nPassed = CountPixels([&] {
                const UINT nCount = (UINT)triangles.size() / 3;
                if (bOneDraw)
                    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, nCount, triangles.data(), sizeof(ScreenVertex));
                else
                    for (UINT n = 0; n < nCount; ++n)
                        m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, &triangles[n * 3], sizeof(ScreenVertex));
            });
            return ReadBackBuffer().bytes;
        };
        DWORD nOneDraw = 0, nOneByOne = 0;
        const std::vector<BYTE> oneDraw = render(true, nOneDraw);
        EXPECT_EQ(render(false, nOneByOne), oneDraw) << (pShader ? "with kills" : "fixed function");
        EXPECT_GT(nOneDraw, 0u);
        EXPECT_EQ(nOneByOne, nOneDraw);
    }
    m_pDevice->SetPixelShader(nullptr);
    pKill->Release();
    d3d9test::SetThreadCount(m_pDevice, 0);
}
}
