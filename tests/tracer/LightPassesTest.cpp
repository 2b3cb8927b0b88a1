// The light-view photon passes in a closed room: every texel of every block of a point light
// holds a photon on the wall that a C++ ray through that texel's centre, in the sub-frustum the
// block numbering gives, reaches (within the jitter bound and fp16), with the light vector and
// colour of its formula; a spot light's blocks lie inside its cone; a directional light renders
// no block; a hidden mesh is left out.
#include "TracerFixture.h"

#include "scene/SceneLight.h"

#include <d3d9/testing.h>

#include <cmath>

namespace
{
constexpr float HALF_SIDE = 5.0f;

d3d9test::SurfaceData ReadTexture(IDirect3DTexture9* pTexture)
{
    d3d9test::SurfaceData data;
    IDirect3DSurface9* pSurface = nullptr;
    pTexture->GetSurfaceLevel(0, &pSurface);
    EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
    pSurface->Release();
    return data;
}

// Two triangles of the square with these four corners.
void AddQuad(std::vector<D3DXVECTOR3>& corners, D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c, D3DXVECTOR3 d)
{
    corners.insert(corners.end(), {a, b, c, a, c, d});
}

// Where a ray from the eye leaves the room's box.
D3DXVECTOR3 WallHit(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vDirection)
{
    float t = 1e30f;
    for (int a = 0; a < 3; ++a)
    {
        const float d = (&vDirection.x)[a], e = (&vEye.x)[a];
        if (d > 1e-9f)
            t = std::min(t, (HALF_SIDE - e) / d);
        else if (d < -1e-9f)
            t = std::min(t, (-HALF_SIDE - e) / d);
    }
    return vEye + t * vDirection;
}
}

class LightPassTest : public TracerTest
{
protected:
    static constexpr int32_t L = 16;

    void SetUp() override
    {
        TracerTest::SetUp();
        ASSERT_TRUE(InitAndLoad());
        // One emanate tile: each cube face in 2 x 2 blocks, the spot cone in 4 x 4.
        g_nDirectEmanateTile = 1;
        g_nLightTargetSize = L;
        m_pApp->CreateTracerTargets();
        g_nGridSize = 8;
        const float s = HALF_SIDE;
        std::vector<D3DXVECTOR3> room;
        AddQuad(room, {-s, -s, -s}, {s, -s, -s}, {s, s, -s}, {-s, s, -s});
        AddQuad(room, {-s, -s, s}, {s, -s, s}, {s, s, s}, {-s, s, s});
        AddQuad(room, {-s, -s, -s}, {-s, s, -s}, {-s, s, s}, {-s, -s, s});
        AddQuad(room, {s, -s, -s}, {s, s, -s}, {s, s, s}, {s, -s, s});
        AddQuad(room, {-s, -s, -s}, {s, -s, -s}, {s, -s, s}, {-s, -s, s});
        AddQuad(room, {-s, s, -s}, {s, s, -s}, {s, s, s}, {-s, s, s});
        AddMesh(room);
        m_pApp->BuildTriangleGrid();
        ASSERT_EQ(g_bGridBuilt, 1);
    }

    void TearDown() override
    {
        g_nDirectEmanateTile = 3;
        TracerTest::TearDown();
    }

    SceneLight* AddLight(D3DLIGHTTYPE type, D3DXVECTOR3 vPosition)
    {
        SceneLight* pLight = new SceneLight();
        pLight->m_Light.Type = type;
        pLight->m_Light.Diffuse = {1.0f, 0.6f, 0.2f, 1.0f};
        pLight->m_vLightPosition = Vector3(vPosition.x, vPosition.y, vPosition.z);
        EXPECT_TRUE(m_pApp->m_Scene.AddLight(pLight));
        return pLight;
    }

    // Every texel of block b holds the photon of the ray through its centre in the sub-frustum
    // (view, projection) of the block, for a light at vEye.
    void ExpectBlockMatchesRays(int b, const D3DXVECTOR3& vEye, const D3DXMATRIX& view, const D3DXMATRIX& projection)
    {
        SCOPED_TRACE(b);
        const d3d9test::SurfaceData positions = ReadTexture(g_pLightTargetsA[b]);
        const d3d9test::SurfaceData rays = ReadTexture(g_pLightTargetsC[b]);
        const d3d9test::SurfaceData energies = ReadTexture(g_pLightTargetsD[b]);
        D3DXMATRIX inverse;
        D3DXMATRIX viewProjection = view * projection;
        ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &viewProjection), nullptr);
        const float fJitter = 1.5f * (2 * HALF_SIDE + 2) / (1000.0f * g_nDirectEmanateTile);
        for (int y = 0; y < L; ++y)
            for (int x = 0; x < L; ++x)
            {
                // Pixel centres sit on whole pixel coordinates.
                const D3DXVECTOR3 ndc(2.0f * x / L - 1.0f, 1.0f - 2.0f * y / L, 0.5f);
                D3DXVECTOR3 vPoint;
                D3DXVec3TransformCoord(&vPoint, &ndc, &inverse);
                D3DXVECTOR3 vDirection = vPoint - vEye;
                D3DXVec3Normalize(&vDirection, &vDirection);
                const D3DXVECTOR3 vHit = WallHit(vEye, vDirection);
                const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                for (int a = 0; a < 3; ++a)
                {
                    const float fExpected = (&vHit.x)[a];
                    // fp16 of the stored position, plus the jitter bound.
                    ASSERT_NEAR(p[a], fExpected, fJitter + std::fabs(fExpected) / 1024.0f + 1e-3f)
                        << "texel " << x << " " << y << " axis " << a;
                }
                const float* r = rays.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                for (int a = 0; a < 3; ++a)
                    ASSERT_NEAR(r[a], (-(&vDirection.x)[a] + 1) / 2, 2.5f / 255) << "texel " << x << " " << y;
                const float* e = energies.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                EXPECT_NEAR(e[0], 1.0f, 1.0f / 255);
                EXPECT_NEAR(e[1], 0.6f, 1.0f / 255);
                EXPECT_NEAR(e[2], 0.2f, 1.0f / 255);
            }
    }
};

TEST_F(LightPassTest, PointLightBlocksHoldTheWallPhotonsOfTheirSubFrustumRays)
{
    const D3DXVECTOR3 vEye(0.5f, -1.0f, 1.5f);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, vEye);
    m_pApp->RenderLightPasses(pLight, 0, 0, 0);
    const D3DXVECTOR3 directions[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const D3DXVECTOR3 ups[6] = {{0, 1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
    for (int b = 0; b < 24; ++b)
    {
        const int f = b / 4, u = (b % 4) / 2, v = b % 2;
        D3DXMATRIX view, projection;
        const D3DXVECTOR3 vAt = vEye + directions[f];
        D3DXMatrixLookAtLH(&view, &vEye, &vAt, &ups[f]);
        D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 1.0f, 200000.0f);
        projection._11 *= 2;
        projection._22 *= 2;
        projection._31 = 1.0f - 2 * u;
        projection._32 = -(1.0f - 2 * v);
        ExpectBlockMatchesRays(b, vEye, view, projection);
    }
    // Every photon lies in the grid: the statistics count all 24 blocks' texels.
    ASSERT_GT(g_nOccupiedCells, 0);
    EXPECT_EQ(g_nAverageCellPhotons, 24 * L * L / g_nOccupiedCells);
}

TEST_F(LightPassTest, SpotLightBlocksLieInItsConeAndFallOffOutside)
{
    const D3DXVECTOR3 vEye(0.0f, 4.0f, 0.0f);
    SceneLight* pLight = AddLight(D3DLIGHT_SPOT, vEye);
    pLight->m_Light.Direction = {0.0f, -1.0f, 0.0f};
    // The frustum's corners reach atan(tan 20 x sqrt 2) = 27 degrees: still on the floor.
    pLight->m_Light.Theta = 20.0f;
    pLight->m_Light.Phi = 40.0f;
    m_pApp->RenderLightPasses(pLight, 0, 0, 0);
    const float fCosTheta = std::cos(10.0f * 3.14159265f / 180), fCosPhi = std::cos(20.0f * 3.14159265f / 180);
    int nFull = 0, nDark = 0;
    for (int b = 0; b < 16; ++b)
    {
        const d3d9test::SurfaceData positions = ReadTexture(g_pLightTargetsA[b]);
        const d3d9test::SurfaceData energies = ReadTexture(g_pLightTargetsD[b]);
        for (int y = 0; y < L; ++y)
            for (int x = 0; x < L; ++x)
            {
                const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                // Every texel of the frustum meets the floor 9 units below.
                ASSERT_NEAR(p[1], -HALF_SIDE, 0.02f) << b << " " << x << " " << y;
                D3DXVECTOR3 vToPhoton(p[0] - vEye.x, p[1] - vEye.y, p[2] - vEye.z);
                D3DXVec3Normalize(&vToPhoton, &vToPhoton);
                const float fCos = -vToPhoton.y;
                const float f = std::min(1.0f, std::max(0.0f, (fCos - fCosPhi) / (fCosTheta - fCosPhi)));
                const float* e = energies.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                EXPECT_NEAR(e[0], f, 0.03f) << b << " " << x << " " << y;
                nFull += f == 1.0f;
                nDark += f == 0.0f;
            }
    }
    EXPECT_GT(nFull, 0);
    EXPECT_GT(nDark, 0);
}

TEST_F(LightPassTest, DirectionalLightRendersNoBlockAndHiddenMeshesAreLeftOut)
{
    const D3DXVECTOR3 vEye(0.0f, 0.0f, 0.0f);
    SceneLight* pPoint = AddLight(D3DLIGHT_POINT, vEye);
    // A panel across the +x face's view, hidden: the photons reach the wall behind it.
    SceneMesh* pPanel = AddMesh({{2, -4, -4}, {2, 4, -4}, {2, 4, 4}, {2, -4, -4}, {2, 4, 4}, {2, -4, 4}});
    pPanel->m_bVisible = 0;
    m_pApp->BuildTriangleGrid();
    m_pApp->RenderLightPasses(pPoint, 0, 0, 0);
    const d3d9test::SurfaceData before = ReadTexture(g_pLightTargetsA[0]);
    for (int y = 0; y < L; ++y)
        for (int x = 0; x < L; ++x)
            ASSERT_NEAR(before.Pixel(static_cast<UINT>(x), static_cast<UINT>(y))[0], HALF_SIDE, 0.05f);
    EXPECT_EQ(m_pApp->m_Visibility[1], 0u);

    SceneLight* pDirectional = AddLight(D3DLIGHT_DIRECTIONAL, vEye);
    m_pApp->RenderLightPasses(pDirectional, 0, 0, 0);
    const d3d9test::SurfaceData after = ReadTexture(g_pLightTargetsA[0]);
    EXPECT_EQ(after.rgba, before.rgba);
    EXPECT_EQ(g_nOccupiedCells, 0);
    EXPECT_EQ(g_nAverageCellPhotons, EMPTY_GRID_CELL_PHOTONS);
}
