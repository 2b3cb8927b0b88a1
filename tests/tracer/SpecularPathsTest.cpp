// The specular paths of a traced tile on a box floating over a reflective floor with a wall
// behind, 64 x 48: with neither path on the tile read back is the composite, unchanged; with no
// light switched on the paths add nothing and do not fail; the floor adds the box's lit colour x
// its reflection colour where the box shows in it, the same light a camera mirrored in the floor
// sees on the box (C++ reflection of the view); the paths touch only the pixels of the meshes of
// interest; and a mirror the user has hidden stays hidden and shows nothing.
#include "LitSceneFixture.h"

#include "scene/SceneGeometryBlock.h"

#include <d3d9/testing.h>

#include <algorithm>

namespace
{
constexpr float FLOOR_HALF = 7.0f;
const float REFLECTION[3] = {0.5f, 0.25f, 1.0f};
const D3DXVECTOR3 EYE(0.5f, 4.0f, -10.0f), AT(0.0f, 1.0f, 0.0f);

// Whether the ray from o along d passes within 0.3 of the box between y = 1 and 3.
bool HitsTheBox(const D3DXVECTOR3& o, const D3DXVECTOR3& d)
{
    const float lo[3] = {-1.3f, 0.7f, -1.3f}, hi[3] = {1.3f, 3.3f, 1.3f};
    float tNear = 0.0f, tFar = 1e30f;
    for (int a = 0; a < 3; ++a)
    {
        const float od = (&o.x)[a], dd = (&d.x)[a];
        if (std::fabs(dd) < 1e-9f)
        {
            if (od < lo[a] || od > hi[a])
                return false;
            continue;
        }
        const float t0 = (lo[a] - od) / dd, t1 = (hi[a] - od) / dd;
        tNear = std::max(tNear, std::min(t0, t1));
        tFar = std::min(tFar, std::max(t0, t1));
    }
    return tNear <= tFar;
}
}

class SpecularPathsTest : public LitSceneTest
{
protected:
    void SetUp() override
    {
        LitSceneTest::SetUp();
        // The tile is the back buffer's size, so the render keeps its targets for reading.
        g_nTracedImageWidth = SCREEN_WIDTH;
        g_nTracedImageHeight = SCREEN_HEIGHT;
        const float f = FLOOR_HALF;
        // The floor's first triangle faces down (its winding), so what is above lies in front of
        // it as a mirror; its shading normal is up.
        m_pFloor = AddMeshOf({{{-f, 0, -f}, {f, 0, -f}, {f, 0, f}, {-f, 0, f}, {0, 1, 0}}});
        AddMeshOf({{{-f, 0, f}, {-f, 2 * f, f}, {f, 2 * f, f}, {f, 0, f}, {0, 0, -1}}});
        m_pBox = AddMeshOf({{{-1, 3, -1}, {-1, 3, 1}, {1, 3, 1}, {1, 3, -1}, {0, 1, 0}},
                            {{-1, 1, -1}, {1, 1, -1}, {1, 1, 1}, {-1, 1, 1}, {0, -1, 0}},
                            {{1, 1, -1}, {1, 3, -1}, {1, 3, 1}, {1, 1, 1}, {1, 0, 0}},
                            {{-1, 1, 1}, {-1, 3, 1}, {-1, 3, -1}, {-1, 1, -1}, {-1, 0, 0}},
                            {{-1, 1, -1}, {-1, 3, -1}, {1, 3, -1}, {1, 1, -1}, {0, 0, -1}},
                            {{1, 1, 1}, {1, 3, 1}, {-1, 3, 1}, {-1, 1, 1}, {0, 0, 1}}});
        for (SceneMesh* pMesh : m_Meshes)
        {
            SetMeshBounds(*pMesh);
            pMesh->UpdateWorldMatrix(0);
        }
        DescribeMaterial(m_Mirror);
        std::copy(REFLECTION, REFLECTION + 3, m_Mirror.m_vReflectionColor);
        m_pFloor->m_pMaterial = &m_Mirror;
        LookFrom(EYE, AT, 1.1f);
        m_pApp->BuildTriangleGrid();
        ASSERT_EQ(g_bGridBuilt, 1);
        // One render makes the tile's targets and the read-back surface.
        Trace();
        ASSERT_NE(g_pReadbackSurface, nullptr);
    }

    // The direct light of the tile's enabled lights composited into the scene texture, as a
    // traced tile does before its specular paths; a mesh can be left out of the G-buffer.
    d3d9test::SurfaceData ComposeTile(SceneMesh* pLeftOut = nullptr)
    {
        Device()->BeginScene();
        Device()->SetDepthStencilSurface(g_pTracerDepthStencil);
        if (pLeftOut)
            pLeftOut->m_bVisible = 0;
        m_pApp->RenderGBufferCulled();
        if (pLeftOut)
            pLeftOut->m_bVisible = 1;
        BindTextureTarget(Device(), 0, g_pPhotonTargets[4]);
        BindTextureTarget(Device(), 1, g_pPhotonTargets[5]);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        UnbindTargets(Device());
        for (uint32_t i = 0; i < m_pApp->m_Scene.m_Lights.GetCount(); ++i)
        {
            SceneLight* pLight = static_cast<SceneLight*>(m_pApp->m_Scene.m_Lights.Get(i));
            if (!pLight->m_bEnabled)
                continue;
            m_pApp->ClearAndDepthPass(0);
            m_pApp->RenderLightPasses(pLight, 0, 0, 0);
            m_pApp->TraceAndGatherPhotons(pLight, 0, 0, 0, 0);
            m_pApp->CombinePhotonTargets(0);
        }
        m_pApp->CompositeGlobalIllumination();
        Device()->EndScene();
        return ReadTexture(g_pSceneTexture);
    }

    d3d9test::SurfaceData SpecularPaths()
    {
        Device()->BeginScene();
        m_pApp->RenderSpecularPaths(g_pSceneTexture);
        Device()->EndScene();
        return ReadTexture(g_pSceneTexture);
    }

    // Whether the eye's ray through pixel (x, y) first meets the wall behind, clear of the floor
    // and the box by a margin.
    bool SeesOnlyTheWall(int x, int y) const
    {
        D3DXMATRIX inverse;
        D3DXMatrixInverse(&inverse, nullptr, &m_matViewProjection);
        for (float dx : {-1.5f, 1.5f})
            for (float dy : {-1.5f, 1.5f})
            {
                const D3DXVECTOR3 ndc(2.0f * (x + dx) / SCREEN_WIDTH - 1.0f, 1.0f - 2.0f * (y + dy) / SCREEN_HEIGHT, 0.5f);
                D3DXVECTOR3 vPoint;
                D3DXVec3TransformCoord(&vPoint, &ndc, &inverse);
                const D3DXVECTOR3 d = vPoint - EYE;
                const float tWall = (FLOOR_HALF - EYE.z) / d.z;
                const D3DXVECTOR3 vWall = EYE + tWall * d;
                if (vWall.y < 0.0f)
                    return false;
                if (HitsTheBox(EYE, d))
                    return false;
            }
        return true;
    }

    // The same colours at every pixel (the overlay sets alpha, which nothing reads).
    static void ExpectSameColours(const d3d9test::SurfaceData& a, const d3d9test::SurfaceData& b)
    {
        ASSERT_EQ(a.rgba.size(), b.rgba.size());
        for (size_t i = 0; i < a.rgba.size(); ++i)
            if (i % 4 != 3)
            {
                ASSERT_EQ(a.rgba[i], b.rgba[i]) << "pixel " << i / 4;
            }
    }

    SceneMesh* m_pFloor = nullptr;
    SceneMesh* m_pBox = nullptr;
    SceneMaterial m_Mirror;
};

TEST_F(SpecularPathsTest, WithoutPathsOrEnabledLightsTheTileIsTheComposite)
{
    const D3DXVECTOR3 vLight(2.5f, 6.0f, -4.0f);
    SceneLight* pLight = AddLight(vLight, {0.6f, 0.5f, 0.4f, 1.0f});
    g_bReflection = g_bRefraction = 0;
    const d3d9test::SurfaceData composite = ComposeTile();
    const d3d9test::SurfaceData finished = SpecularPaths();
    ExpectSameColours(finished, composite);
    // The tile read back and on the back buffer: the composite in bytes.
    d3d9test::SurfaceData readback, shown;
    ASSERT_TRUE(d3d9test::ReadSurface(g_pReadbackSurface, readback));
    IDirect3DSurface9* pBackBuffer = nullptr;
    ASSERT_EQ(Device()->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer), D3D_OK);
    ASSERT_TRUE(d3d9test::ReadSurface(pBackBuffer, shown));
    pBackBuffer->Release();
    int nLit = 0;
    for (UINT y = 0; y < SCREEN_HEIGHT; ++y)
        for (UINT x = 0; x < SCREEN_WIDTH; ++x)
            for (int c = 0; c < 3; ++c)
            {
                const float fExpected = std::min(composite.Pixel(x, y)[c], 1.0f);
                ASSERT_NEAR(readback.Pixel(x, y)[c], fExpected, 0.6f / 255) << x << " " << y << " " << c;
                ASSERT_NEAR(shown.Pixel(x, y)[c], fExpected, 0.6f / 255) << x << " " << y << " " << c;
                nLit += c == 0 && fExpected > 0.05f;
            }
    EXPECT_GT(nLit, static_cast<int>(SCREEN_WIDTH * SCREEN_HEIGHT / 3));

    // Both paths on with a reflective floor and a translucent box, but the only light switched
    // off, or no light at all: nothing is added.
    SceneMaterial glass;
    DescribeMaterial(glass);
    glass.m_vOpacity[0] = 0.5f;
    m_pBox->m_pMaterial = &glass;
    g_bReflection = g_bRefraction = 1;
    pLight->m_bEnabled = 0;
    const d3d9test::SurfaceData dark = ComposeTile();
    ExpectSameColours(SpecularPaths(), dark);
    m_pApp->m_Scene.m_Lights.RemoveAt(0);
    ExpectSameColours(SpecularPaths(), dark);

    // With the light on again, both paths add light on the floor and the box, and only there.
    m_pApp->m_Scene.AddLight(pLight);
    pLight->m_bEnabled = 1;
    const d3d9test::SurfaceData before = ComposeTile();
    const d3d9test::SurfaceData after = SpecularPaths();
    int nAdded = 0, nWall = 0;
    for (UINT y = 0; y < SCREEN_HEIGHT; ++y)
        for (UINT x = 0; x < SCREEN_WIDTH; ++x)
        {
            const bool bWall = SeesOnlyTheWall(static_cast<int>(x), static_cast<int>(y));
            for (int c = 0; c < 3; ++c)
            {
                const float fAdded = after.Pixel(x, y)[c] - before.Pixel(x, y)[c];
                if (bWall)
                {
                    ASSERT_EQ(fAdded, 0.0f) << x << " " << y;
                }
                ASSERT_GE(fAdded, 0.0f) << x << " " << y;
                nAdded += c == 0 && fAdded > 0.01f;
            }
            nWall += bWall;
        }
    EXPECT_GT(nWall, 100);
    EXPECT_GT(nAdded, 100);
}

TEST_F(SpecularPathsTest, ReflectiveFloorAddsTheLitBoxSeenByTheMirroredCameraInTheReflectionColour)
{
    AddLight({2.5f, 6.0f, -4.0f}, {0.6f, 0.5f, 0.4f, 1.0f});
    // The camera mirrored in the floor y = 0 sees, pixel for pixel, what the floor shows: the
    // view is the floor's reflection followed by the camera's view.
    const Matrix4 keptView = g_matView;
    D3DXMATRIX reflection;
    const D3DXPLANE floor(0.0f, 1.0f, 0.0f, 0.0f);
    D3DXMatrixReflect(&reflection, &floor);
    g_matView = ToMatrix4(reflection * ToD3DX(keptView));
    m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(EYE.x, -EYE.y, EYE.z);
    const d3d9test::SurfaceData mirrored = ComposeTile(m_pFloor);
    g_matView = keptView;
    m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(EYE.x, EYE.y, EYE.z);

    g_bReflection = 1;
    const d3d9test::SurfaceData before = ComposeTile();
    const d3d9test::SurfaceData after = SpecularPaths();
    D3DXMATRIX inverse;
    D3DXMatrixInverse(&inverse, nullptr, &m_matViewProjection);
    int nChecked = 0, nLitBox = 0;
    for (int y = 0; y < static_cast<int>(SCREEN_HEIGHT); ++y)
        for (int x = 1; x < static_cast<int>(SCREEN_WIDTH); ++x)
        {
            // Floor pixels clear of its rim, where the box does not hide the floor.
            const D3DXVECTOR3 ndc(2.0f * x / SCREEN_WIDTH - 1.0f, 1.0f - 2.0f * y / SCREEN_HEIGHT, 0.5f);
            D3DXVECTOR3 vPoint;
            D3DXVec3TransformCoord(&vPoint, &ndc, &inverse);
            const D3DXVECTOR3 d = vPoint - EYE;
            const float t = d.y < 0.0f ? -EYE.y / d.y : -1.0f;
            const D3DXVECTOR3 vFloor = EYE + t * d;
            if (t < 0.0f || std::fabs(vFloor.x) > FLOOR_HALF - 0.5f || vFloor.z > FLOOR_HALF - 0.5f ||
                HitsTheBox(EYE, d))
                continue;
            // The look-up reads the mirror image at the pixel's own corner, which rounds to this
            // texel or to the one on its left: one of the two, in all three colours.
            float fMiss[2] = {0.0f, 0.0f};
            for (int k = 0; k < 2; ++k)
                for (int c = 0; c < 3; ++c)
                {
                    const float fAdded = after.Pixel(x, y)[c] - before.Pixel(x, y)[c];
                    const float fExpected = mirrored.Pixel(x - k, y)[c] * REFLECTION[c];
                    fMiss[k] = std::max(fMiss[k], std::fabs(fAdded - fExpected) - (0.01f + 0.03f * fExpected));
                }
            EXPECT_LE(std::min(fMiss[0], fMiss[1]), 0.0f) << x << " " << y;
            ++nChecked;
            // The lit box, seen along the ray mirrored in the floor.
            nLitBox += HitsTheBox({EYE.x, -EYE.y, EYE.z}, {d.x, -d.y, d.z}) && mirrored.Pixel(x, y)[0] > 0.05f;
        }
    EXPECT_GT(nChecked, 300);
    EXPECT_GT(nLitBox, 40);
}

TEST_F(SpecularPathsTest, HiddenMirrorStaysHiddenAndShowsNothingAfterATrace)
{
    AddLight({2.5f, 6.0f, -4.0f}, {0.6f, 0.5f, 0.4f, 1.0f});
    m_pFloor->m_bVisible = 0;
    g_bReflection = 0;
    const Image without = TraceImage();
    g_bReflection = 1;
    const Image with = TraceImage();
    EXPECT_EQ(m_pFloor->m_bVisible, 0);
    EXPECT_EQ(with.bgra, without.bgra);
    EXPECT_NE(with.bgra, std::vector<uint8_t>(with.bgra.size(), 0));
}
