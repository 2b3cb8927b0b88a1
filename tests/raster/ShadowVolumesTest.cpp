// Stencil shadow volumes on the device: a lit scene of a box in front of a wall, then the
// volumes, compared pixel by pixel with a ray test in C++ of which wall points the box hides
// from the light; likewise the stencil counts of the volumes cast in a mirror.
#include "ScenePassFixture.h"

#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "tracer/TracerGlobals.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace
{
constexpr float HALF_FOV_TAN = 0.41421356f;   // tan(22.5 degrees)
constexpr float WALL_Z = 4.0f;

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

TEST_F(ShadowVolumesTest, MirroredVolumesCountWhereTheMirroredBoxHidesTheWallFromTheMirroredLight)
{
    // Only the wall is in the depth buffer; the boxes come afterwards. Mirror plane x = 0: the box
    // at x = -1 is behind it and casts in its mirror image, the one at x = 1.5 is in front of it
    // and casts nothing.
    m_pApp->m_Scene.m_Camera.m_fBackClip = 100.0f;
    AddQuad(0, 0, WALL_Z, 16, 16, AddMaterial(), true);
    RenderFrame();
    const float behind[3] = {-1, 0.5f, 0}, inFront[3] = {1.5f, 0, 0};
    for (const float* pCentre : {behind, inFront})
    {
        SceneMesh* pBox = AddBox(Vector3(pCentre[0], pCentre[1], pCentre[2]), 1.0f, AddMaterial());
        ASSERT_EQ(pBox->BuildShadowVolume(m_pDevice), D3D_OK);
    }
    m_pApp->m_Visibility[1] = m_pApp->m_Visibility[2] = 1;
    AddLight(D3DLIGHT_POINT, 2, 3, -4);
    g_MirrorPlane = D3DXPLANE(1, 0, 0, 0);
    D3DXMATRIX reflection;
    D3DXMatrixReflect(&reflection, &g_MirrorPlane);
    g_matViewProjection = ToMatrix4(reflection);
    const Matrix4 world = static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(1))->m_matWorld;

    m_pDevice->BeginScene();
    m_pApp->RenderMirroredShadowVolumes();
    m_pDevice->EndScene();
    std::vector<BYTE> stencil;
    ASSERT_TRUE(d3d9test::ReadStencil(m_pDepth, stencil));
    ASSERT_EQ(stencil.size(), (size_t)SIZE * SIZE);

    // The wall point of each pixel, tested against the mirrored box (1, 0.5, 0) and the mirrored
    // light (-2, 3, -4); the box in front of the mirror would have shadowed around (-1, -3).
    const float mirroredLight[3] = {-2, 3, -4}, mirroredBox[3] = {1, 0.5f, 0};
    auto inShadow = [&](int x, int y) {
        const float o[3] = {0, 0, -10};
        const float d[3] = {(((float)x + 0.5f) / SIZE * 2.0f - 1.0f) * HALF_FOV_TAN,
                            (1.0f - ((float)y + 0.5f) / SIZE * 2.0f) * HALF_FOV_TAN, 1.0f};
        const float t = WALL_Z - o[2];
        const float p[3] = {o[0] + t * d[0], o[1] + t * d[1], WALL_Z};
        const float toLight[3] = {mirroredLight[0] - p[0], mirroredLight[1] - p[1], mirroredLight[2] - p[2]};
        return HitBox(p, toLight, mirroredBox, 1.0f, 1.0f) >= 0.0f;
    };
    int nShadowed = 0, nCleared = 0;
    for (int y = 1; y + 1 < (int)SIZE; ++y)
        for (int x = 1; x + 1 < (int)SIZE; ++x)
        {
            const bool bShadow = inShadow(x, y);
            if (inShadow(x - 1, y) != bShadow || inShadow(x + 1, y) != bShadow || inShadow(x, y - 1) != bShadow ||
                inShadow(x, y + 1) != bShadow)
                continue;
            const BYTE nStencil = stencil[(size_t)y * SIZE + x];
            if (bShadow)
                EXPECT_NE(nStencil, 0x80) << "pixel " << x << ", " << y;
            else
                EXPECT_EQ(nStencil, 0x80) << "pixel " << x << ", " << y;
            nShadowed += bShadow ? 1 : 0;
            nCleared += bShadow ? 0 : 1;
        }
    EXPECT_GT(nShadowed, 100);
    EXPECT_GT(nCleared, 1000);
    // The mesh keeps its own placement.
    EXPECT_EQ(std::memcmp(&static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(1))->m_matWorld, &world,
                          sizeof(world)),
              0);
}
