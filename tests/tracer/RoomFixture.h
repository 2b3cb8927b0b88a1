#pragma once
// A closed cube room of half side HALF_SIDE around the origin, one mesh of twelve triangles, with
// lights added on demand, and the C++ ray that leaves the room.
#include "TracerFixture.h"

#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"

#include "3dapi/Renderer.h"

#include <d3d9/testing.h>

#include <cmath>

namespace room
{
inline constexpr float HALF_SIDE = 5.0f;

// Two triangles of the square with these four corners.
inline void AddQuad(std::vector<D3DXVECTOR3>& corners, D3DXVECTOR3 a, D3DXVECTOR3 b, D3DXVECTOR3 c, D3DXVECTOR3 d)
{
    corners.insert(corners.end(), {a, b, c, a, c, d});
}

// Where a ray from the eye leaves the room's box.
inline D3DXVECTOR3 WallHit(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vDirection)
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
// The unit direction from the eye through texel (x, y) of a target drawn with view and
// projection (pixel centres sit on whole pixel coordinates).
inline D3DXVECTOR3 TexelRay(int x, int y, int32_t nWidth, int32_t nHeight, const D3DXVECTOR3& vEye,
                            const D3DXMATRIX& view, const D3DXMATRIX& projection)
{
    D3DXMATRIX inverse, viewProjection = view * projection;
    D3DXMatrixInverse(&inverse, nullptr, &viewProjection);
    const D3DXVECTOR3 ndc(2.0f * x / nWidth - 1.0f, 1.0f - 2.0f * y / nHeight, 0.5f);
    D3DXVECTOR3 vPoint, vDirection;
    D3DXVec3TransformCoord(&vPoint, &ndc, &inverse);
    vDirection = vPoint - vEye;
    D3DXVec3Normalize(&vDirection, &vDirection);
    return vDirection;
}

// The view and sub-frustum projection of block b of a point light at vEye, one emanate tile.
inline void PointBlockView(int b, const D3DXVECTOR3& vEye, D3DXMATRIX& view, D3DXMATRIX& projection)
{
    const D3DXVECTOR3 directions[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    const D3DXVECTOR3 ups[6] = {{0, 1, 0}, {0, 1, 0}, {0, 0, -1}, {0, 0, 1}, {0, 1, 0}, {0, 1, 0}};
    const int f = b / 4, u = (b % 4) / 2, v = b % 2;
    const D3DXVECTOR3 vAt = vEye + directions[f];
    D3DXMatrixLookAtLH(&view, &vEye, &vAt, &ups[f]);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 1.0f, 200000.0f);
    projection._11 *= 2;
    projection._22 *= 2;
    projection._31 = 1.0f - 2 * u;
    projection._32 = -(1.0f - 2 * v);
}
}

using namespace room;

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
