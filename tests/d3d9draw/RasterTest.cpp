// Coverage, fill rule, culling, clipping and interpolation, read back from tiny targets.
#include "DrawFixture.h"

#include <cmath>

namespace
{
// A 16×16 grid of one-pixel quads whose edges run through pixel centres, added with ONE/ONE:
// every pixel must be covered exactly once (top and left edges in, right and bottom out).
TEST_F(DrawTest, GridOfQuadsCoversEveryPixelOnce)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            ASSERT_EQ(DrawRect((float)x, (float)y, (float)x + 1, (float)y + 1, D3DCOLOR_ARGB(0, 1, 0, 0)), D3D_OK);
    // Quads offset by a quarter pixel, whose edges fall between centres, cover each pixel once too.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            DrawRect(x - 0.25f, y - 0.25f, x + 0.75f, y + 0.75f, D3DCOLOR_ARGB(0, 0, 1, 0));
    auto data = ReadBackBuffer();
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
        {
            ASSERT_EQ(Channel(data, x, y, 0), 1) << x << "," << y;
            ASSERT_EQ(Channel(data, x, y, 1), 1) << x << "," << y;
        }
}

// A triangle split along its diagonal and a fan around a centre vertex: shared edges once.
TEST_F(DrawTest, SharedEdgesAreCoveredOnce)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    const D3DCOLOR c = D3DCOLOR_ARGB(0, 1, 0, 0);
    const ScreenVertex fan[6] = {{8.3f, 7.7f, 0.5f, 1, c, 0, 0}, {0, 0, 0.5f, 1, c, 0, 0},  {16, 0, 0.5f, 1, c, 0, 0},
                                 {16, 16, 0.5f, 1, c, 0, 0},     {0, 16, 0.5f, 1, c, 0, 0}, {0, 0, 0.5f, 1, c, 0, 0}};
    ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 4, fan, sizeof(ScreenVertex)), D3D_OK);
    auto data = ReadBackBuffer();
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
            ASSERT_EQ(Channel(data, x, y, 0), 1) << x << "," << y;
}

TEST_F(DrawTest, CullingByWinding)
{
    struct Case
    {
        DWORD nCull;
        bool bClockwise;
        DWORD nExpected;
    };
    // The triangle (0,0) (16,0) (0,16) is clockwise on screen (y down): 136 pixel centres.
    const Case cases[] = {{D3DCULL_NONE, true, 136}, {D3DCULL_NONE, false, 136}, {D3DCULL_CCW, true, 136},
                          {D3DCULL_CCW, false, 0},   {D3DCULL_CW, true, 0},      {D3DCULL_CW, false, 136}};
    for (const Case& c : cases)
    {
        m_pDevice->SetRenderState(D3DRS_CULLMODE, c.nCull);
        m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
        ScreenVertex tri[3] = {{0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                               {16, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                               {0, 16, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
        if (!c.bClockwise)
            std::swap(tri[1], tri[2]);
        EXPECT_EQ(CountPixels([&] { m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(tri[0])); }),
                  c.nExpected)
            << c.nCull << " " << c.bClockwise;
    }
}

TEST_F(DrawTest, DegenerateTriangleCoversNothing)
{
    const ScreenVertex tri[3] = {
        {0, 0, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {8, 8, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {16, 16, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
    EXPECT_EQ(CountPixels([&] { m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(tri[0])); }), 0u);
}

// Points cover (floor(x + 0.5), floor(y + 0.5)); lines one pixel per column crossed.
TEST_F(DrawTest, PointsAndLines)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    const ScreenVertex points[3] = {
        {2.0f, 3.0f, 0.5f, 1, 0xFFFF0000, 0, 0}, {5.5f, 6.49f, 0.5f, 1, 0xFFFF0000, 0, 0}, {-3, 2, 0.5f, 1, 0xFFFF0000, 0, 0}};
    EXPECT_EQ(CountPixels([&] { m_pDevice->DrawPrimitiveUP(D3DPT_POINTLIST, 3, points, sizeof(points[0])); }), 2u);
    auto data = ReadBackBuffer();
    EXPECT_EQ(Channel(data, 2, 3, 0), 255);
    EXPECT_EQ(Channel(data, 6, 6, 0), 255);
    const ScreenVertex line[2] = {{0, 10, 0.5f, 1, 0xFF00FF00, 0, 0}, {16, 10, 0.5f, 1, 0xFF00FF00, 0, 0}};
    EXPECT_EQ(CountPixels([&] { m_pDevice->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(line[0])); }), 16u);
}

// Clip-space drawing through the fixed-function transforms: a floor quad that reaches behind
// the eye, under a perspective projection (near 1, far 100, 90°), covers exactly the rows
// below its far edge's horizon.
TEST_F(DrawTest, PrimitiveThroughTheEyeIsClipped)
{
    struct Vertex
    {
        float x, y, z;
        D3DCOLOR color;
    };
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);
    D3DMATRIX identity{}, projection{};
    for (int i = 0; i < 4; ++i)
        identity.m[i][i] = 1.0f;
    const float zn = 1.0f, zf = 100.0f;
    projection._11 = projection._22 = 1.0f;
    projection._33 = zf / (zf - zn);
    projection._34 = 1.0f;
    projection._43 = -zn * zf / (zf - zn);
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetTransform(D3DTS_VIEW, &identity);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &projection);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    const Vertex floor[4] = {{-10, -1, -10, 0xFFFFFFFF}, {10, -1, -10, 0xFFFFFFFF}, {-10, -1, 10, 0xFFFFFFFF},
                             {10, -1, 10, 0xFFFFFFFF}};
    EXPECT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, floor, sizeof(Vertex)), D3D_OK);
    // The far edge at z = 10 projects to y = (1 + 1/10)·8 = 8.8: rows 9 to 15 are covered.
    auto data = ReadBackBuffer();
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
            ASSERT_EQ(Channel(data, x, y, 0), y >= 9 ? 255 : 0) << x << "," << y;
    // A triangle far larger than the guard band still covers the whole target.
    const Vertex huge[3] = {{-1e5f, -1e5f, 5, 0xFF0000FF}, {0, 1e5f, 5, 0xFF0000FF}, {1e5f, -1e5f, 5, 0xFF0000FF}};
    m_pDevice->SetTransform(D3DTS_PROJECTION, &identity);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    const Vertex inside[3] = {{-1e4f, -1e4f, 0.5f, 0xFF0000FF}, {0, 1e4f, 0.5f, 0xFF0000FF}, {1e4f, -1e4f, 0.5f, 0xFF0000FF}};
    EXPECT_EQ(CountPixels([&] { m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, inside, sizeof(Vertex)); }), 256u);
    // Beyond the far plane (z > w) nothing is left.
    EXPECT_EQ(CountPixels([&] { m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, huge, sizeof(Vertex)); }), 0u);
}

// u runs from 0 to 1 over 16 pixels; pixel i samples u = i/16, a texel corner, and point
// sampling returns texel i.
TEST_F(DrawTest, PointSamplingAtTexelCorners)
{
    std::vector<D3DCOLOR> texels(16);
    for (UINT i = 0; i < 16; ++i)
        texels[i] = D3DCOLOR_ARGB(255, i * 16, 255 - i * 16, i);
    IDirect3DTexture9* pTexture = MakeTexture(16, 1, 1, D3DFMT_A8R8G8B8, {texels});
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    DrawRect(0, 0, 16, 16, 0xFFFFFFFF);
    auto data = ReadBackBuffer();
    for (UINT i = 0; i < 16; ++i)
    {
        EXPECT_EQ(Channel(data, i, 5, 0), (int)(i * 16)) << i;
        EXPECT_EQ(Channel(data, i, 5, 1), (int)(255 - i * 16)) << i;
    }
    m_pDevice->SetTexture(0, nullptr);
    pTexture->Release();
}

// Linear filtering uses u·W − 0.5: with two texels 0 and 255 and u = i/16, pixel i reads
// 255·clamp(i/8 − 0.5, 0, 1).
TEST_F(DrawTest, BilinearValues)
{
    IDirect3DTexture9* pTexture = MakeTexture(2, 1, 1, D3DFMT_A8R8G8B8, {{0xFF000000, 0xFFFFFFFF}});
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    DrawRect(0, 0, 16, 16, 0xFFFFFFFF);
    auto data = ReadBackBuffer();
    for (UINT i = 0; i < 16; ++i)
    {
        const double expected = 255.0 * std::clamp(i / 8.0 - 0.5, 0.0, 1.0);
        EXPECT_EQ(Channel(data, i, 3, 0), (int)std::floor(expected + 0.5)) << i;
    }
    m_pDevice->SetTexture(0, nullptr);
    pTexture->Release();
}

// Levels filled with one value each: coordinates scaled ×2 and ×4 pick levels 1 and 2, and
// 2^1.5 with a linear mip filter (and the invalid value 3, which acts as linear) is their mean.
TEST_F(DrawTest, MipLevelsAndTrilinear)
{
    const D3DCOLOR levelColors[5] = {0xFF000000, 0xFF404040, 0xFFC0C0C0, 0xFFFFFFFF, 0xFFFFFFFF};
    std::vector<std::vector<D3DCOLOR>> levels;
    for (UINT level = 0; level < 5; ++level)
        levels.emplace_back((16 >> level) * (16 >> level), levelColors[level]);
    IDirect3DTexture9* pTexture = MakeTexture(16, 16, 5, D3DFMT_A8R8G8B8, levels);
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    struct Case
    {
        DWORD nMipFilter;
        float fScale;
        int nExpected;
    };
    const Case cases[] = {{D3DTEXF_POINT, 1.0f, 0x00}, {D3DTEXF_POINT, 2.0f, 0x40}, {D3DTEXF_POINT, 4.0f, 0xC0},
                          {D3DTEXF_NONE, 4.0f, 0x00},  {D3DTEXF_LINEAR, 2.0f, 0x40}, {D3DTEXF_LINEAR, 2.8284271f, 0x80},
                          {3, 2.8284271f, 0x80}};
    for (const Case& c : cases)
    {
        m_pDevice->SetSamplerState(0, D3DSAMP_MIPFILTER, c.nMipFilter);
        DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.5f, 0, 0, c.fScale, c.fScale);
        auto data = ReadBackBuffer();
        EXPECT_NEAR(Channel(data, 4, 4, 0), c.nExpected, 1) << c.nMipFilter << " " << c.fScale;
    }
    m_pDevice->SetTexture(0, nullptr);
    pTexture->Release();
}
}
