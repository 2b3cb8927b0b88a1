// The lights' shadow maps drawn on the device: a point light's cube faces hold the distance to
// the nearest surface over 65535 and its mesh's id, a spot light's face likewise, a directional
// light's map the mesh its rays meet first with its clip depth over 65535, the depth pass's near
// and far layers, and lights get their targets on first use without touching the back buffer.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "3dapi/TextureEntry.h"
#include "morvyn/morvyn.h"
#include "raster/LightConstants.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"

#include <cmath>
#include <cstring>
#include <string>

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

TEST_F(ShadowMapsTest, LightsGetTheirTargetsOnFirstUseAndTheBackBufferStaysUntouched)
{
    const Vector3 near[4] = {Vector3(-5, 5, 4), Vector3(5, 5, 4), Vector3(-5, -5, 4), Vector3(5, -5, 4)};
    AddCaster(near);
    SceneLight* pPoint = AddLight(D3DLIGHT_POINT, 0, 0, 0);
    SceneLight* pSpot = AddLight(D3DLIGHT_SPOT, 0, 0, 0);
    SceneLight* pDirectional = AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    pDirectional->m_Light.Direction = {0.0f, -1.0f, 0.0f};
    g_bSceneChanged = 1;
    IDirect3DSurface9* pBackBuffer = nullptr;
    ASSERT_EQ(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer), D3D_OK);
    // A colour no shadow pass writes (they clear to 0).
    m_pDevice->SetRenderTarget(0, pBackBuffer);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 10, 20, 30), 1.0f, 0);
    m_pDevice->SetRenderTarget(0, m_pTarget);
    d3d9test::SurfaceData before, after;
    ASSERT_TRUE(d3d9test::ReadSurface(pBackBuffer, before));
    m_pDevice->BeginScene();
    m_pApp->RenderShadowMaps();
    m_pApp->RenderSpotShadowFaces();
    m_pDevice->EndScene();
    ASSERT_TRUE(d3d9test::ReadSurface(pBackBuffer, after));
    pBackBuffer->Release();
    EXPECT_EQ(before.bytes, after.bytes);

    // The point and spot lights each have a float cube, the directional light a 2D map.
    ASSERT_GE(pPoint->m_nTextureId, 0);
    ASSERT_GE(pSpot->m_nTextureId, 0);
    ASSERT_GE(pDirectional->m_nTextureId2, 0);
    const TextureEntry* pEntry = m_pApp->GetRenderer()->GetTextureEntry(pDirectional->m_nTextureId2);
    ASSERT_TRUE(pEntry && pEntry->m_pDeviceTexture);
    EXPECT_EQ(pEntry->m_pDeviceTexture->GetType(), D3DRTYPE_TEXTURE);
    // The point light's face +z saw the quad 4 units ahead: sqrt(66) to its corners.
    const float want[4] = {std::sqrt(66.0f) / 65535.0f, 1.0f / 65535.0f, 1.0f, 1.0f};
    const d3d9test::SurfaceData face = ReadFace(pPoint->m_nTextureId, 4);
    ExpectTexel(face.Pixel(face.nWidth / 2, face.nHeight / 2), want, "point light, face +z");

    // A second run draws into the same targets.
    const int nPoint = pPoint->m_nTextureId, nSpot = pSpot->m_nTextureId, nMap = pDirectional->m_nTextureId2;
    m_pDevice->BeginScene();
    m_pApp->RenderShadowMaps();
    m_pApp->RenderSpotShadowFaces();
    m_pDevice->EndScene();
    EXPECT_EQ(pPoint->m_nTextureId, nPoint);
    EXPECT_EQ(pSpot->m_nTextureId, nSpot);
    EXPECT_EQ(pDirectional->m_nTextureId2, nMap);
}

TEST_F(ShadowMapsTest, DepthPassKeepsTheNearOrTheFarLayerAsClipDepthOver65535)
{
    // A closed box seen from the fixture's camera: the near layer holds its front face (view
    // depth 9), the far layer its back face (view depth 11).
    SceneMesh* pBox = AddBox(Vector3(0, 0, 0), 1.0f, AddMaterial());
    pBox->m_nLightFlags[0] = 0;
    pBox->m_bCastsShadow[0] = 1;
    AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    Renderer& renderer = *m_pApp->GetRenderer();
    const int nMap = renderer.CreateRenderTarget(MAP_SIZE, MAP_SIZE, false, false, RENDER_TARGET_A32B32G32R32F);
    ASSERT_GE(nMap, 0);
    g_fShadowDepthScale = 65535.0f;
    const D3DXMATRIX projection = ToD3DX(g_matProjection);
    for (uint8_t bFar : {0, 1})
    {
        m_pApp->m_bShadowFarLayer = bFar;
        renderer.BindRenderTarget(0, nMap);
        m_pDevice->BeginScene();
        m_pApp->RenderShadowDepthPass(0);
        m_pDevice->EndScene();
        renderer.BindRenderTarget(0, -1);
        d3d9test::SurfaceData map;
        IDirect3DSurface9* pLevel = nullptr;
        ASSERT_EQ(static_cast<IDirect3DTexture9*>(renderer.GetTextureEntry(nMap)->m_pDeviceTexture)
                      ->GetSurfaceLevel(0, &pLevel),
                  D3D_OK);
        ASSERT_TRUE(d3d9test::ReadSurface(pLevel, map));
        pLevel->Release();
        // The clip-space z of a point at that view depth on the axis.
        const float fViewDepth = bFar ? 11.0f : 9.0f;
        const float fClipZ = fViewDepth * projection._33 + projection._43;
        const float want[4] = {fClipZ / 65535.0f, 1.0f / 65535.0f, 1.0f, 1.0f};
        ExpectTexel(map.Pixel(MAP_SIZE / 2, MAP_SIZE / 2), want, bFar ? "far layer" : "near layer");
        // Around the box the map stays cleared.
        const float empty[4] = {0, 0, 0, 0};
        ExpectTexel(map.Pixel(1, 1), empty, "outside the box");
    }
    m_pApp->m_bShadowFarLayer = 0;
}

TEST_F(ShadowMapsTest, DirectionalMapSeesTheBoxAndTheFloorAsTheLightDoes)
{
    // A box on the camera's axis above a floor lit from a range of directions: from above, from
    // behind the viewer (far layer), from the front and from the side. The map texel where a
    // point lands holds the mesh the light sees first along its ray: the box over its own top
    // and over the floor point in its shadow, the floor at lit floor points, with that point's
    // clip depth / 65535.
    AddBox(Vector3(0, 0, 0), 1.0f, AddMaterial());
    const Vector3 floor[4] = {Vector3(-6, -2, 6), Vector3(6, -2, 6), Vector3(-6, -2, -6), Vector3(6, -2, -6)};
    const Vector3 floorBelow[4] = {floor[0], floor[2], floor[1], floor[3]};
    AddQuadCorners(floor, Vector3(0, 1, 0), AddMaterial());
    AddQuadCorners(floorBelow, Vector3(0, -1, 0), AddMaterial());
    for (int i = 0; i < 3; ++i)
        static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_nLightFlags[0] = 0;
    SceneLight* pLight = AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    SceneCamera& camera = m_pApp->m_Scene.m_Camera;
    camera.m_fFov = D3DX_PI / 4;
    camera.m_fAspect = 1.0f;
    camera.m_fFrontClip = 1.0f;
    const float directions[][4] = {{0, -1, 0, 0},      {0.3f, -1, 0.5f, 1},  {0.3f, -1, -0.5f, 0}, {1, -1, 0, 0},
                                   {0.2f, -0.3f, 1, 1}, {0.2f, -0.3f, -1, 0}};
    const float boxCentre[3] = {0, 0, 0};
    for (const float* dir : directions)
    {
        const std::string strCase = "direction " + std::to_string(dir[0]) + ", " + std::to_string(dir[1]) + ", " +
                                    std::to_string(dir[2]);
        pLight->m_Light.Direction = {dir[0], dir[1], dir[2]};
        m_pDevice->BeginScene();
        m_pApp->RenderShadowMaps();
        m_pDevice->EndScene();
        EXPECT_EQ(m_pApp->m_bShadowFarLayer, dir[3] != 0.0f) << strCase;
        ASSERT_GE(pLight->m_nTextureId2, 0);
        d3d9test::SurfaceData map;
        IDirect3DSurface9* pLevel = nullptr;
        ASSERT_EQ(static_cast<IDirect3DTexture9*>(m_pApp->GetRenderer()->GetTextureEntry(pLight->m_nTextureId2)
                                                      ->m_pDeviceTexture)
                      ->GetSurfaceLevel(0, &pLevel),
                  D3D_OK);
        ASSERT_TRUE(d3d9test::ReadSurface(pLevel, map));
        pLevel->Release();
        // The transform the driver drew with, asked for again.
        const Matrix4 view = g_matView, projection = g_matProjection;
        ASSERT_TRUE(m_pApp->BuildDirectionalShadowView(0, ToD3DX(view)));
        const D3DXMATRIX shadowView = ToD3DX(g_matView), shadowProjection = ToD3DX(g_matProjection);
        D3DXMATRIX transform;
        D3DXMatrixMultiply(&transform, &shadowView, &shadowProjection);
        g_matView = view;
        g_matProjection = projection;
        // The map texel of a world point, or null off the map; its clip depth.
        auto texel = [&](const D3DXVECTOR3& p, float& fClipZ) -> const float* {
            D3DXVECTOR4 c;
            D3DXVec3Transform(&c, &p, &transform);
            fClipZ = c.z;
            const float x = (c.x / c.w + 1.0f) / 2.0f * (float)map.nWidth, y = (1.0f - c.y / c.w) / 2.0f * (float)map.nHeight;
            if (c.w <= 0.0f || x < 0.0f || y < 0.0f || x >= (float)map.nWidth || y >= (float)map.nHeight)
                return nullptr;
            return map.Pixel((UINT)x, (UINT)y);
        };
        D3DXVECTOR3 d(dir[0], dir[1], dir[2]);
        D3DXVec3Normalize(&d, &d);
        const float boxId = 1.0f / 65535.0f;
        float fClipZ = 0.0f;
        const float* pTop = texel(D3DXVECTOR3(0, 1, 0), fClipZ);
        ASSERT_NE(pTop, nullptr) << strCase;
        EXPECT_NEAR(pTop[1], boxId, 1e-9f) << strCase << ", box top";
        EXPECT_NEAR(pTop[0], fClipZ / 65535.0f, 0.05f * std::fabs(fClipZ) / 65535.0f) << strCase << ", box top";
        // The floor point the box's centre shades.
        const float t = -2.0f / d.y;
        const float* pShaded = texel(D3DXVECTOR3(d.x * t, -2.0f, d.z * t), fClipZ);
        ASSERT_NE(pShaded, nullptr) << strCase;
        EXPECT_NEAR(pShaded[1], boxId, 1e-9f) << strCase << ", floor in the box's shadow";
        int nLitFloor = 0;
        for (const D3DXVECTOR3& p : {D3DXVECTOR3(4, -2, -4), D3DXVECTOR3(-4, -2, -4), D3DXVECTOR3(4, -2, 4),
                                     D3DXVECTOR3(-4, -2, 4)})
        {
            const float o[3] = {p.x, p.y, p.z}, towards[3] = {-d.x * 10, -d.y * 10, -d.z * 10};
            const float* pFloor = texel(p, fClipZ);
            if (!pFloor || HitBox(o, towards, boxCentre, 1.0f, 1.0f) >= 0.0f)
                continue;
            const float id = std::round(pFloor[1] * 65535.0f);
            EXPECT_TRUE(id == 2.0f || id == 3.0f) << strCase << ", lit floor, id " << id;
            EXPECT_NEAR(pFloor[0], fClipZ / 65535.0f, 0.05f * std::fabs(fClipZ) / 65535.0f) << strCase << ", lit floor";
            ++nLitFloor;
        }
        EXPECT_GE(nLitFloor, 1) << strCase;
    }
}
