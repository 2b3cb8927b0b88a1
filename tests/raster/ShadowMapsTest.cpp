// The lights' shadow maps drawn on the device: a point light's cube faces hold the distance to
// the nearest surface over 65535 and its mesh's id, a spot light's face likewise, and a light
// without its shadow target is skipped without touching the back buffer.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "3dapi/TextureEntry.h"
#include "morvyn/morvyn.h"
#include "raster/LightConstants.h"
#include "scene/RenderOptions.h"

#include <cmath>
#include <cstring>

namespace
{
constexpr int MAP_SIZE = 32;

class ShadowMapsTest : public ScenePassTest
{
protected:
    // A quad of corners top left, top right, bottom left, bottom right as seen from the light,
    // wound counter-clockwise as the shadow passes' culling wants, that casts shadow maps for
    // light 0 (no shadow volume stands in for it).
    SceneMesh* AddCaster(const Vector3 corners[4])
    {
        const Vector3 wound[4] = {corners[0], corners[2], corners[1], corners[3]};
        SceneMesh* pMesh = AddQuadCorners(wound, Vector3(0, 0, -1), AddMaterial());
        pMesh->m_nLightFlags[0] = 0;
        pMesh->m_bCastsShadow[0] = 1;
        return pMesh;
    }

    int AddCubeTarget()
    {
        return m_pApp->GetRenderer()->CreateRenderTarget(MAP_SIZE, MAP_SIZE, false, true, RENDER_TARGET_A32B32G32R32F);
    }

    d3d9test::SurfaceData ReadFace(int nId, int f)
    {
        d3d9test::SurfaceData data;
        const TextureEntry* pEntry = m_pApp->GetRenderer()->GetTextureEntry(nId);
        IDirect3DSurface9* pFace = nullptr;
        if (pEntry && SUCCEEDED(static_cast<IDirect3DCubeTexture9*>(pEntry->m_pDeviceTexture)
                                    ->GetCubeMapSurface((D3DCUBEMAP_FACES)f, 0, &pFace)))
        {
            EXPECT_TRUE(d3d9test::ReadSurface(pFace, data));
            pFace->Release();
        }
        return data;
    }

    static void ExpectTexel(const float* pGot, const float want[4], const char* szWhat)
    {
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(pGot[k], want[k], 1e-5f * std::fmax(1.0f, std::fabs(want[k])) + 1e-9f)
                << szWhat << ", component " << k;
    }
};
}

TEST_F(ShadowMapsTest, PointLightFacesHoldDistanceAndObjectId)
{
    // Light at (1, 2, -3); a quad 4 units in front of it along +z, a mesh that casts no map
    // beside it, a third behind the first.
    const Vector3 near[4] = {Vector3(-3, 6, 1), Vector3(5, 6, 1), Vector3(-3, -2, 1), Vector3(5, -2, 1)};
    AddQuad(20, 2, 1, 2, 2, AddMaterial());
    AddCaster(near);
    const Vector3 far[4] = {Vector3(-9, 12, 5), Vector3(11, 12, 5), Vector3(-9, -8, 5), Vector3(11, -8, 5)};
    SceneMesh* pFar = AddCaster(far);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, 1, 2, -3);
    pLight->m_nTextureId = AddCubeTarget();
    ASSERT_GE(pLight->m_nTextureId, 0);
    g_bSceneChanged = 1;
    const Vector3 camera = m_pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition;
    const Matrix4 view = g_matView;
    m_pDevice->BeginScene();
    m_pApp->RenderShadowMaps();
    m_pDevice->EndScene();

    // Face +z is covered by the near quad, whose corners all lie sqrt(48) from the light: the
    // distance the vertices carry, interpolated, is that everywhere.
    d3d9test::SurfaceData face = ReadFace(pLight->m_nTextureId, 4);
    ASSERT_EQ(face.nWidth, (UINT)MAP_SIZE);
    const float want[4] = {std::sqrt(48.0f) / 65535.0f, 2.0f / 65535.0f, 1.0f, 1.0f};
    for (UINT y : {4u, 16u, 27u})
        for (UINT x : {4u, 16u, 27u})
            ExpectTexel(face.Pixel(x, y), want, "face +z");
    // Face -z sees nothing: cleared.
    const float empty[4] = {0, 0, 0, 0};
    ExpectTexel(ReadFace(pLight->m_nTextureId, 5).Pixel(16, 16), empty, "face -z");
    // The far quad reaches farthest: 8 to its centre plus its sphere's radius.
    EXPECT_NEAR(m_pApp->m_fShadowRange[0], 8.0f + pFar->m_fSphereRadius, 1e-4f);
    EXPECT_FLOAT_EQ(g_fShadowDepthScale, 65535.0f);
    // The viewer, view and projection come back; the back buffer is the target again.
    EXPECT_EQ(std::memcmp(&m_pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition, &camera, sizeof(camera)), 0);
    EXPECT_EQ(std::memcmp(&g_matView, &view, sizeof(view)), 0);
    EXPECT_EQ(m_pApp->GetRenderer()->GetCurrentRenderTarget(), -1);
}

TEST_F(ShadowMapsTest, SpotLightFillsTheFaceOfItsRank)
{
    const Vector3 near[4] = {Vector3(-5, 5, 4), Vector3(5, 5, 4), Vector3(-5, -5, 4), Vector3(5, -5, 4)};
    AddCaster(near);
    AddLight(D3DLIGHT_SPOT, 0, 0, -10)->m_bEnabled = 0;   // rank 0, disabled: still counted
    SceneLight* pSpot = AddLight(D3DLIGHT_SPOT, 0, 0, 0);  // rank 1: face 1
    pSpot->m_nTextureId = AddCubeTarget();
    static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(0))->m_nLightFlags[1] = 0;
    static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(0))->m_bCastsShadow[1] = 1;
    g_bSceneChanged = 1;
    // The culling the frame's passes leave behind.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->BeginScene();
    m_pApp->RenderSpotShadowFaces();
    m_pDevice->EndScene();
    // Looking along its direction +z, the middle texel meets the quad, whose corners lie sqrt(66)
    // from the light.
    const float want[4] = {std::sqrt(66.0f) / 65535.0f, 1.0f / 65535.0f, 1.0f, 1.0f};
    ExpectTexel(ReadFace(pSpot->m_nTextureId, 1).Pixel(MAP_SIZE / 2, MAP_SIZE / 2), want, "face 1");
}

TEST_F(ShadowMapsTest, LightWithoutItsTargetIsSkipped)
{
    const Vector3 near[4] = {Vector3(-5, 5, 4), Vector3(5, 5, 4), Vector3(-5, -5, 4), Vector3(5, -5, 4)};
    AddCaster(near);
    AddLight(D3DLIGHT_POINT, 0, 0, 0);
    AddLight(D3DLIGHT_SPOT, 0, 0, 0);
    AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    g_bSceneChanged = 1;
    d3d9test::ResetStats(m_pDevice);
    m_pDevice->BeginScene();
    m_pApp->RenderShadowMaps();
    m_pApp->RenderSpotShadowFaces();
    m_pDevice->EndScene();
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, 0u);
}
