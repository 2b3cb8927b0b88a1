// The stereo-sync line's code texels, its textures, the copy onto the back buffer, the column
// marker, and the orthonormalisation of a matrix.
#include "scene/StereoCodeLine.h"

#include <d3d9/testing.h>
#include <gtest/gtest.h>

#include <cmath>

namespace
{
class StereoCodeLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        ASSERT_NE(m_pD3D, nullptr);
        D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(800, 2, D3DFMT_X8R8G8B8);
        ASSERT_EQ(m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &m_pDevice),
                  D3D_OK);
    }
    void TearDown() override
    {
        if (m_pDevice)
        {
            EXPECT_EQ(m_pDevice->Release(), 0u);
        }
        if (m_pD3D)
        {
            EXPECT_EQ(m_pD3D->Release(), 0u);
        }
        EXPECT_TRUE(d3d9test::LiveObjects().empty());
    }
    static DWORD Texel(const d3d9test::SurfaceData& data, UINT x, UINT y)
    {
        const BYTE* p = &data.bytes[(static_cast<size_t>(y) * data.nWidth + x) * 4];
        return p[0] | (p[1] << 8) | (p[2] << 16);
    }
    d3d9test::SurfaceData ReadBackBuffer()
    {
        IDirect3DSurface9* pBackBuffer = nullptr;
        d3d9test::SurfaceData data;
        EXPECT_EQ(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer), D3D_OK);
        EXPECT_TRUE(d3d9test::ReadSurface(pBackBuffer, data));
        pBackBuffer->Release();
        return data;
    }

    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
};
}

TEST(StereoCodeTest, CodeTexelsCarryTheEyeBetweenTwoMarkers)
{
    // 0x11FF's top bits are 0,0,0,1: bit 3 of the code is the first set one.
    struct Case
    {
        int32_t nEye;
        UINT nTexel;
        DWORD nExpected;
    } cases[] = {
        {1, 0, 0x0000FF00},   {1, 4, 0x0000FFFF},   {1, 24, 0x00FFFF00},  {1, 28, 0x00FFFFFF},
        {1, 376, 0x00FFFF00}, {0, 376, 0x0000FF00}, {0, 508, 0x00FFFFFF}, {1, 512, 0}, {0, 1023, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StereoCodeLine::CodeTexel(c.nEye, c.nTexel), c.nExpected) << c.nEye << " " << c.nTexel;
    EXPECT_EQ(StereoCodeLine::EyeCode(1), 0x11FF0000000111FFull);
}

TEST_F(StereoCodeLineTest, TexturesHoldBothCodesAndDrawCopiesTheCurrentEye)
{
    {
        StereoCodeLine line(m_pDevice);
        ASSERT_TRUE(line.IsCreated());
        for (int i = 0; i < 2; ++i)
        {
            IDirect3DSurface9* pLevel = nullptr;
            ASSERT_EQ(line.GetTexture(i)->GetSurfaceLevel(0, &pLevel), D3D_OK);
            d3d9test::SurfaceData data;
            ASSERT_TRUE(d3d9test::ReadSurface(pLevel, data));
            pLevel->Release();
            for (UINT x = 0; x < StereoCodeLine::TEXTURE_WIDTH; ++x)
                ASSERT_EQ(Texel(data, x, 0), StereoCodeLine::CodeTexel(i == 0 ? 1 : 0, x)) << i << " " << x;
        }

        // Texel 380 lies inside the eye's lowest bit; 1024 texels onto 800 pixels put it near 297.
        ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456, 1.0f, 0), D3D_OK);
        line.SetEye(1);
        line.Draw(false);
        d3d9test::SurfaceData eye1 = ReadBackBuffer();
        line.SetEye(0);
        line.Draw(false);
        d3d9test::SurfaceData eye0 = ReadBackBuffer();
        EXPECT_EQ(Texel(eye1, 0, 0), 0x0000FF00u);
        EXPECT_EQ(Texel(eye1, 297, 0) & 0xFF0000, 0xFF0000u);
        EXPECT_EQ(Texel(eye0, 297, 0) & 0xFF0000, 0u);
        EXPECT_EQ(Texel(eye1, 5, 1), 0x123456u);
    }
}

TEST_F(StereoCodeLineTest, ColumnsSwapWithTheFlagAndStayInsideTheSurface)
{
    StereoCodeLine line(m_pDevice);
    IDirect3DSurface9* pSurface = nullptr;
    ASSERT_EQ(m_pDevice->CreateOffscreenPlainSurface(4, 3, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &pSurface, nullptr),
              D3D_OK);
    for (bool bFlag : {true, false})
    {
        line.DrawColumns(pSurface, bFlag);
        d3d9test::SurfaceData data;
        ASSERT_TRUE(d3d9test::ReadSurface(pSurface, data));
        for (UINT y = 0; y < 3; ++y)
        {
            EXPECT_EQ(Texel(data, 0, y), bFlag ? 0x0000FFu : 0xFF0000u);
            EXPECT_EQ(Texel(data, 1, y), bFlag ? 0xFF0000u : 0x0000FFu);
        }
    }
    line.DrawColumns(nullptr, true);
    pSurface->Release();
}

TEST(OrthonormalizeMatrixTest, KeepsTheFirstColumnsDirectionAndMakesTheRestOrthonormal)
{
    D3DXMATRIX in(2, 1, 7, 5,
                  0, 3, 7, 5,
                  0, 0, 7, 5,
                  9, 9, 9, 9);
    D3DXMATRIX out;
    OrthonormalizeMatrix(&out, &in);
    D3DXMATRIX expected(1, 0, 0, 0,
                        0, 1, 0, 0,
                        0, 0, 1, 0,
                        0, 0, 0, 1);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            EXPECT_NEAR(out.m[r][c], expected.m[r][c], 1e-6f) << r << c;

    D3DXMATRIX skew(1, 0.5f, 0, 0,
                    1, 1, 0, 0,
                    0, 0.2f, 1, 0,
                    0, 0, 0, 1);
    OrthonormalizeMatrix(&out, &skew);
    auto column = [&](int c) { return D3DXVECTOR3(out.m[0][c], out.m[1][c], out.m[2][c]); };
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
        {
            D3DXVECTOR3 a = column(i), b = column(j);
            EXPECT_NEAR(D3DXVec3Dot(&a, &b), i == j ? 1.0f : 0.0f, 1e-6f) << i << j;
        }
    EXPECT_NEAR(out._11, 1 / std::sqrt(2.0f), 1e-6f);
    EXPECT_NEAR(out._21, 1 / std::sqrt(2.0f), 1e-6f);
    EXPECT_EQ(out._31, 0.0f);
}
