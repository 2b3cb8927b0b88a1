// Stencil shadow volumes on the device: a lit scene of a box in front of a wall, then the
// volumes, compared pixel by pixel with a ray test in C++ of which wall points the box hides
// from the light.
#include "ScenePassFixture.h"

#include "core/Log.h"
#include "scene/RenderOptions.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace
{
constexpr float HALF_FOV_TAN = 0.41421356f;   // tan(22.5 degrees)
constexpr float WALL_Z = 4.0f;

// The first t in [0, fMax] where the segment o + t d meets the box of that centre and half
// size, or a negative value.
float HitBox(const float o[3], const float d[3], const float centre[3], float fHalf, float fMax)
{
    float tNear = 0.0f, tFar = fMax;
    for (int a = 0; a < 3; ++a)
    {
        const float lo = centre[a] - fHalf, hi = centre[a] + fHalf;
        if (std::fabs(d[a]) < 1e-9f)
        {
            if (o[a] < lo || o[a] > hi)
                return -1.0f;
            continue;
        }
        float t0 = (lo - o[a]) / d[a], t1 = (hi - o[a]) / d[a];
        if (t0 > t1)
            std::swap(t0, t1);
        tNear = std::max(tNear, t0);
        tFar = std::min(tFar, t1);
        if (tNear > tFar)
            return -1.0f;
    }
    return tNear;
}

class ShadowVolumesTest : public ScenePassTest
{
protected:
    // 1 where the camera ray of pixel (x, y) first meets the wall at a point the box hides from
    // the light, 0 where it meets the wall in the light, -1 where it meets the box.
    static int Expected(UINT x, UINT y, const float light[3], const float box[3])
    {
        const float o[3] = {0, 0, -10};
        const float d[3] = {(((float)x + 0.5f) / SIZE * 2.0f - 1.0f) * HALF_FOV_TAN,
                            (1.0f - ((float)y + 0.5f) / SIZE * 2.0f) * HALF_FOV_TAN, 1.0f};
        const float tWall = (WALL_Z - o[2]) / d[2];
        if (HitBox(o, d, box, 1.0f, tWall) >= 0.0f)
            return -1;
        const float p[3] = {o[0] + tWall * d[0], o[1] + tWall * d[1], WALL_Z};
        const float toLight[3] = {light[0] - p[0], light[1] - p[1], light[2] - p[2]};
        return HitBox(p, toLight, box, 1.0f, 1.0f) >= 0.0f ? 1 : 0;
    }

    void SetUpScene()
    {
        m_pApp->m_Scene.m_Camera.m_fBackClip = 100.0f;
        SceneMaterial* pWall = AddMaterial();
        pWall->m_fMaterialFactor = 0.5f;   // density: shadowed points keep half their light
        AddQuad(0, 0, WALL_Z, 16, 16, pWall, true);
        m_pBox = AddBox(Vector3(m_Box[0], m_Box[1], m_Box[2]), 1.0f, AddMaterial());
        ASSERT_EQ(m_pBox->BuildShadowVolume(m_pDevice), D3D_OK);
        ASSERT_NE(m_pBox->m_pShadowVolumeBuffer, nullptr);
        m_pLight = AddLight(D3DLIGHT_POINT, m_Light[0], m_Light[1], m_Light[2]);
    }

    const float m_Light[3] = {-4, 3, -4};
    const float m_Box[3] = {0, 0, 0};
    SceneMesh* m_pBox = nullptr;
    SceneLight* m_pLight = nullptr;
};
}

TEST_F(ShadowVolumesTest, BoxDarkensTheWallInsideItsShadowOnly)
{
    SetUpScene();
    RenderFrame();
    const d3d9test::SurfaceData before = ReadTarget();
    m_pDevice->BeginScene();
    m_pApp->RenderShadowVolumes();
    m_pDevice->EndScene();
    const d3d9test::SurfaceData after = ReadTarget();

    int nShadowed = 0, nLit = 0;
    for (UINT y = 1; y + 1 < SIZE; ++y)
        for (UINT x = 1; x + 1 < SIZE; ++x)
        {
            // Pixels on an edge of the shadow or of the box are left out.
            const int e = Expected(x, y, m_Light, m_Box);
            bool bInterior = true;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    bInterior = bInterior && Expected(x + dx, y + dy, m_Light, m_Box) == e;
            if (!bInterior)
                continue;
            for (int c = 0; c < 3; ++c)
            {
                const float fBefore = before.Pixel(x, y)[c], fAfter = after.Pixel(x, y)[c];
                if (e == 1)
                    EXPECT_NEAR(fAfter, fBefore * 0.5f, 1.5f / 255.0f) << "shadowed pixel " << x << ", " << y;
                else
                    EXPECT_EQ(fAfter, fBefore) << (e == 0 ? "lit wall pixel " : "box pixel ") << x << ", " << y;
            }
            nShadowed += e == 1 ? 1 : 0;
            nLit += e == 0 && before.Pixel(x, y)[0] > 0.1f ? 1 : 0;
        }
    EXPECT_GT(nShadowed, 30);
    EXPECT_GT(nLit, 500);
}

TEST_F(ShadowVolumesTest, SampleCountsDrawNoneOneOrAClampedNumber)
{
    SetUpScene();
    RenderFrame();
    struct Case
    {
        int nSamples;
        uint64_t nDraws;   // per sample: the box's volume and the two meshes darkened
    };
    // 20 samples would read the jitter table past its end: 18 are drawn, with a warning.
    const Case cases[] = {{0, 0}, {1, 3}, {2, 6}, {20, 18 * 3}};
    for (const Case& test : cases)
    {
        m_pLight->m_nShadowSamples = test.nSamples;
        d3d9test::ResetStats(m_pDevice);
        m_pDevice->BeginScene();
        m_pApp->RenderShadowVolumes();
        m_pDevice->EndScene();
        EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, test.nDraws) << test.nSamples << " samples";
    }
    // A disabled light casts nothing.
    m_pLight->m_bEnabled = 0;
    d3d9test::ResetStats(m_pDevice);
    m_pApp->RenderShadowVolumes();
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, 0u);
}
