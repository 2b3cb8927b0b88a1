// Global photons and photons passed on through translucent meshes in the light-view passes, and
// the environment images they look up: the planar mirror image against C++ reflected rays (the
// mirror placed, and tilted, by its world matrix, meshes behind it left out, the user's hidden
// flag kept; the image clipped per triangle to the light's rays through it), the
// object cube map around the scene centre, a point light's global photons on the room's walls
// with a floor panel's photons reflected exactly, a spot light's global photons reflected off a
// floor onto a ceiling with the texels that miss it holding no photon, and a translucent pane
// that passes direct photons on to the walls behind it.
#include "RoomFixture.h"

#include "app/FrameGlobals.h"
#include "scene/SceneGeometryBlock.h"
#include "tracer/PhotonSurface.h"

#include <d3dx9math.h>

namespace
{
D3DXVECTOR3 Decode(const float* s)
{
    return {g_vSceneMin.x + s[0] * (g_vSceneMax.x - g_vSceneMin.x), g_vSceneMin.y + s[1] * (g_vSceneMax.y - g_vSceneMin.y),
            g_vSceneMin.z + s[2] * (g_vSceneMax.z - g_vSceneMin.z)};
}

float Distance(const float* p, const D3DXVECTOR3& v)
{
    const D3DXVECTOR3 d(p[0] - v.x, p[1] - v.y, p[2] - v.z);
    return D3DXVec3Length(&d);
}

// How far a point lies from the room's walls (it is inside the room or on them).
float WallDistance(const float* p)
{
    const float fFarthest = std::max({std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])});
    return std::fabs(fFarthest - HALF_SIDE);
}

// A square in the plane y = fY of half side fHalf whose first triangle faces -y.
std::vector<D3DXVECTOR3> FloorSquare(float fY, float fHalf)
{
    std::vector<D3DXVECTOR3> corners;
    AddQuad(corners, {-fHalf, fY, -fHalf}, {fHalf, fY, -fHalf}, {fHalf, fY, fHalf}, {-fHalf, fY, fHalf});
    return corners;
}

bool IsNoPhoton(const float* p)
{
    return p[0] == g_vSceneMax.x + 1.0f && p[1] == g_vSceneMax.y + 1.0f && p[2] == g_vSceneMax.z + 1.0f;
}
}

class GlobalPhotonTest : public LightPassTest
{
protected:
    void SetUp() override
    {
        LightPassTest::SetUp();
        g_nGlobalEmanateTile = 1;
        g_bBackground = 0;
        m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(0.0f, 0.0f, 0.0f);
        PlaceMesh(Room());
    }
    void TearDown() override
    {
        for (uint32_t i = 0; i < m_pApp->m_Scene.m_Meshes.GetCount(); ++i)
            static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_pMaterial = nullptr;
        g_nGlobalEmanateTile = 1;
        LightPassTest::TearDown();
    }

    SceneMesh* Room() { return static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(0)); }

    // The mesh centred on its box, placed by its world matrix, with the white map and a
    // diffuse colour.
    SceneMesh* PlaceMesh(SceneMesh* pMesh, float fOpacity = 1.0f)
    {
        SetMeshBounds(*pMesh);
        pMesh->UpdateWorldMatrix(0);
        m_Materials.emplace_back(new SceneMaterial());
        SceneMaterial& material = *m_Materials.back();
        material.m_Material.Diffuse = {0.5f, 0.8f, 1.0f, 1.0f};
        material.m_vOpacity[0] = fOpacity;
        material.m_vRefraction[0] = 1.5f;
        material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = m_pApp->m_nWhiteTexture;
        pMesh->m_pMaterial = &material;
        return pMesh;
    }

    std::vector<std::unique_ptr<SceneMaterial>> m_Materials;
};

TEST_F(GlobalPhotonTest, PlanarMirrorShowsTheMeshesInFrontReflected)
{
    Room()->m_bVisible = 0;
    // The mirror is stored at y = 0 and placed at y = -1 by its world matrix; a ceiling at y = 4
    // lies in front of it, a floor at y = -3 behind it.
    SceneMesh* pMirror = AddMesh(FloorSquare(0.0f, 10.0f));
    PlaceMesh(AddMesh(FloorSquare(4.0f, 100.0f)));
    PlaceMesh(AddMesh(FloorSquare(-3.0f, 100.0f)));
    PlaceMesh(pMirror);
    D3DXMATRIX placement;
    D3DXMatrixTranslation(&placement, 0.0f, -1.0f, 0.0f);
    pMirror->m_matWorld = ToMatrix4(placement);
    m_pApp->BuildTriangleGrid();
    // The user has hidden the mirror: it stays hidden.
    pMirror->m_bVisible = 0;

    const D3DXVECTOR3 vEye(0.0f, 2.0f, -6.0f), vAt(0.0f, -1.0f, 0.0f), vUp(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &vEye, &vAt, &vUp);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 1.0f, 1000.0f);
    m_pApp->RenderPlanarMirror(pMirror, &view, &projection, 0);
    EXPECT_EQ(pMirror->m_bVisible, 0);
    // The plane y = -1, facing down (the ceiling's side counts as the front).
    EXPECT_NEAR(g_MirrorPlane.b * -1.0f + g_MirrorPlane.d, 0.0f, 1e-5f);
    EXPECT_LT(g_MirrorPlane.b, 0.0f);

    const d3d9test::SurfaceData image = ReadTexture(g_pMirrorTarget);
    int nChecked = 0;
    for (int y = 0; y < L; ++y)
        for (int x = 0; x < L; ++x)
        {
            const D3DXVECTOR3 d = TexelRay(x, y, L, L, vEye, view, projection);
            const float* s = image.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            // Looking up, the reflected scene holds nothing (the floor behind the mirror would
            // show there); looking down, the ceiling reflected to y = -6.
            if (d.y >= 0.0f)
            {
                EXPECT_EQ(s[3], 0.0f) << x << " " << y;
                continue;
            }
            const float t = (-6.0f - vEye.y) / d.y;
            const D3DXVECTOR3 q = vEye + t * d;
            if (std::fabs(q.x) > 95.0f || std::fabs(q.z) > 95.0f)
                continue;
            ASSERT_EQ(s[3], 1.0f) << x << " " << y;
            EXPECT_LT(Distance(Decode(s), {q.x, 4.0f, q.z}), 0.02f + 1e-3f * t) << x << " " << y;
            ++nChecked;
        }
    EXPECT_GT(nChecked, L * L / 4);

    // The surface-data kind draws the same reflection into the screen-size photon targets: the
    // world position in target 0.
    m_pApp->RenderPlanarMirror(pMirror, &view, &projection, 1);
    const d3d9test::SurfaceData surface = ReadTexture(g_pPhotonTargets[0]);
    const int nWidth = static_cast<int>(surface.nWidth), nHeight = static_cast<int>(surface.nHeight);
    int nSurfaceChecked = 0;
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
        {
            const D3DXVECTOR3 d = TexelRay(x, y, nWidth, nHeight, vEye, view, projection);
            const float* p = surface.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            const float t = (-6.0f - vEye.y) / d.y;
            const D3DXVECTOR3 q = vEye + t * d;
            if (d.y >= 0.0f || std::fabs(q.x) > 95.0f || std::fabs(q.z) > 95.0f)
                continue;
            EXPECT_LT(Distance(p, {q.x, 4.0f, q.z}), 0.02f + 1e-3f * t) << x << " " << y;
            ++nSurfaceChecked;
        }
    EXPECT_GT(nSurfaceChecked, nWidth * nHeight / 4);
    EXPECT_EQ(pMirror->m_bVisible, 0);
}

TEST_F(GlobalPhotonTest, TiltedMirrorReflectsAcrossThePlaneItIsPlacedIn)
{
    Room()->m_bVisible = 0;
    // The mirror is stored level at y = 0 and tilted about x and lowered to y = -1 by its world
    // matrix; the ceiling at y = 4 lies in front of it, a floor at y = -3 behind it.
    SceneMesh* pMirror = PlaceMesh(AddMesh(FloorSquare(0.0f, 10.0f)));
    PlaceMesh(AddMesh(FloorSquare(4.0f, 100.0f)));
    PlaceMesh(AddMesh(FloorSquare(-3.0f, 100.0f)));
    D3DXMATRIX tilt, lower;
    D3DXMatrixRotationX(&tilt, 0.3f);
    D3DXMatrixTranslation(&lower, 0.0f, -1.0f, 0.0f);
    pMirror->m_matWorld = ToMatrix4(tilt * lower);
    m_pApp->BuildTriangleGrid();

    const D3DXVECTOR3 vEye(0.0f, 2.0f, -6.0f), vAt(0.0f, -1.0f, 0.0f), vUp(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &vEye, &vAt, &vUp);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 1.0f, 1000.0f);
    m_pApp->RenderPlanarMirror(pMirror, &view, &projection, 0);

    // The placed plane: through (0, -1, 0), its normal the stored one (0, -1, 0) tilted.
    D3DXVECTOR3 n;
    const D3DXVECTOR3 vDown(0.0f, -1.0f, 0.0f), vOnPlane(0.0f, -1.0f, 0.0f);
    D3DXVec3TransformNormal(&n, &vDown, &tilt);
    const auto reflect = [&](const D3DXVECTOR3& v, float fOffset) { return v - 2.0f * (D3DXVec3Dot(&n, &v) - fOffset) * n; };
    const float fPlane = D3DXVec3Dot(&n, &vOnPlane);
    const D3DXVECTOR3 vMirroredEye = reflect(vEye, fPlane);
    const d3d9test::SurfaceData image = ReadTexture(g_pMirrorTarget);
    int nCeiling = 0, nEmpty = 0;
    for (int y = 0; y < L; ++y)
        for (int x = 0; x < L; ++x)
        {
            const D3DXVECTOR3 d = reflect(TexelRay(x, y, L, L, vEye, view, projection), 0.0f);
            const float* s = image.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            // The eye's ray mirrored in the plane meets the real ceiling, or (going down) the
            // floor behind the mirror, which is not reflected.
            if (d.y < -0.05f)
            {
                EXPECT_EQ(s[3], 0.0f) << x << " " << y;
                ++nEmpty;
                continue;
            }
            const float t = (4.0f - vMirroredEye.y) / d.y;
            const D3DXVECTOR3 q = vMirroredEye + t * d;
            if (d.y < 0.05f || std::fabs(q.x) > 95.0f || std::fabs(q.z) > 95.0f)
                continue;
            ASSERT_EQ(s[3], 1.0f) << x << " " << y;
            // Far ceiling points seen at a grazing angle move most with the pixel's ray.
            EXPECT_LT(Distance(Decode(s), q), 0.02f + 2e-3f * t) << x << " " << y;
            ++nCeiling;
        }
    EXPECT_GT(nCeiling, L * L / 8);
    EXPECT_GT(nEmpty, L);
}

TEST_F(GlobalPhotonTest, ClippedMirrorShowsEachTriangleOnlyAlongTheLightsRaysThroughIt)
{
    Room()->m_bVisible = 0;
    // A mirror of two triangles, 4 wide at y = -1, under the light; the ceiling at y = 4 in front,
    // facing the mirror (its reflection, wound the other way round, is not culled).
    SceneMesh* pMirror = PlaceMesh(AddMesh(FloorSquare(-1.0f, 2.0f)));
    PlaceMesh(AddMesh(FloorSquare(4.0f, 100.0f)));
    m_pApp->BuildTriangleGrid();
    const D3DXVECTOR3 vLight(0.3f, 2.0f, -0.2f), vAt(0.3f, -1.0f, -0.2f), vUp(0.0f, 0.0f, 1.0f);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, vLight);
    D3DXMATRIX view, projection;
    D3DXMatrixLookAtLH(&view, &vLight, &vAt, &vUp);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 0.5f, 1000.0f);

    // Unclipped, the whole view shows the ceiling reflected; clipped, only the rays through the
    // mirror do.
    m_pApp->RenderPlanarMirror(pMirror, &view, &projection, 0);
    const d3d9test::SurfaceData whole = ReadTexture(g_pMirrorTarget);
    m_pApp->RenderPlanarMirrorClipped(pMirror, &view, &projection, 0);
    const d3d9test::SurfaceData clipped = ReadTexture(g_pMirrorTarget);
    int nInside = 0, nOutside = 0;
    for (int y = 0; y < L; ++y)
        for (int x = 0; x < L; ++x)
        {
            const D3DXVECTOR3 d = TexelRay(x, y, L, L, vLight, view, projection);
            const D3DXVECTOR3 m = vLight + (-1.0f - vLight.y) / d.y * d;
            const float fEdge = std::max(std::fabs(m.x), std::fabs(m.z));
            // The triangles' shared diagonal and the rim are left alone.
            if (std::fabs(fEdge - 2.0f) < 0.15f || std::fabs(m.x - m.z) < 0.1f)
                continue;
            const float* s = clipped.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            const float* w = whole.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            const D3DXVECTOR3 q = m + (4.0f + 1.0f) / -d.y * D3DXVECTOR3(d.x, -d.y, d.z);
            EXPECT_LT(Distance(Decode(w), q), 0.05f) << x << " " << y;
            if (fEdge < 2.0f)
            {
                EXPECT_EQ(s[3], 1.0f) << x << " " << y;
                EXPECT_LT(Distance(Decode(s), q), 0.05f) << x << " " << y;
                ++nInside;
            }
            else
            {
                EXPECT_EQ(s[3], 0.0f) << x << " " << y;
                ++nOutside;
            }
        }
    EXPECT_GT(nInside, L * L / 4);
    EXPECT_GT(nOutside, L * 2);
    DWORD nClipping = 1, nCull = 0;
    Device()->GetRenderState(D3DRS_CLIPPLANEENABLE, &nClipping);
    Device()->GetRenderState(D3DRS_CULLMODE, &nCull);
    EXPECT_EQ(nClipping, 0u);
    EXPECT_EQ(nCull, static_cast<DWORD>(D3DCULL_CW));
    EXPECT_EQ(pMirror->m_bVisible, 1);

    // No light switched on: nothing to clip to, nothing shown.
    pLight->m_bEnabled = 0;
    m_pApp->RenderPlanarMirrorClipped(pMirror, &view, &projection, 0);
    for (float f : ReadTexture(g_pMirrorTarget).rgba)
        ASSERT_EQ(f, 0.0f);
}

TEST_F(GlobalPhotonTest, ObjectCubeMapAroundTheSceneCentreHoldsTheWalls)
{
    m_pApp->RenderObjectCubeMap(nullptr, 1);
    const D3DXVECTOR3 vCentre(0.0f, 0.0f, 0.0f);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 0.5f, 200000.0f);
    for (int f = 0; f < 6; ++f)
    {
        IDirect3DSurface9* pFace = nullptr;
        ASSERT_EQ(g_pCubeTarget->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(f), 0, &pFace), D3D_OK);
        d3d9test::SurfaceData image;
        ASSERT_TRUE(d3d9test::ReadSurface(pFace, image));
        pFace->Release();
        D3DXMATRIX view;
        PointBlockView(4 * f, vCentre, view, projection);
        D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 2, 1.0f, 0.5f, 200000.0f);
        for (int y = 0; y < L; ++y)
            for (int x = 0; x < L; ++x)
            {
                const float* s = image.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                const D3DXVECTOR3 vWall = WallHit(vCentre, TexelRay(x, y, L, L, vCentre, view, projection));
                EXPECT_LT(Distance(Decode(s), vWall), 0.01f) << f << " " << x << " " << y;
            }
    }
    // Seen from its own centre with the camera outside its box, the room leaves itself out, and
    // its flag is its own again.
    m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(0.0f, 0.0f, -20.0f);
    m_pApp->RenderObjectCubeMap(Room(), 0);
    EXPECT_EQ(Room()->m_bVisible, 1);
    IDirect3DSurface9* pFace = nullptr;
    g_pCubeTarget->GetCubeMapSurface(D3DCUBEMAP_FACE_POSITIVE_X, 0, &pFace);
    d3d9test::SurfaceData image;
    ASSERT_TRUE(d3d9test::ReadSurface(pFace, image));
    pFace->Release();
    for (float f : image.rgba)
        ASSERT_EQ(f, 0.0f);
}

TEST_F(GlobalPhotonTest, PointLightPhotonsLandOnTheWallsAndAFloorPanelReflectsThemExactly)
{
    const float fPanelY = -2.0f;
    PlaceMesh(AddMesh(FloorSquare(fPanelY, 4.0f)));
    m_pApp->BuildTriangleGrid();
    const D3DXVECTOR3 vEye(0.5f, -1.0f, 1.5f);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, vEye);
    m_pApp->RenderLightPasses(pLight, 1, 0, 0);

    int nReflected = 0, nLookedUp = 0, nOnSurface = 0;
    for (int b = 0; b < 24; ++b)
    {
        SCOPED_TRACE(b);
        D3DXMATRIX view, projection;
        PointBlockView(b, vEye, view, projection);
        const d3d9test::SurfaceData positions = ReadTexture(g_pLightTargetsA[b]);
        const d3d9test::SurfaceData energies = ReadTexture(g_pLightTargetsD[b]);
        for (int y = 0; y < L; ++y)
            for (int x = 0; x < L; ++x)
            {
                const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                const D3DXVECTOR3 d = TexelRay(x, y, L, L, vEye, view, projection);
                const float tPanel = d.y < 0.0f ? (fPanelY - vEye.y) / d.y : -1.0f;
                const D3DXVECTOR3 h = vEye + tPanel * d;
                const D3DXVECTOR3 vToWall = WallHit(vEye, d) - vEye;
                const bool bOnPanel = tPanel > 0.0f && tPanel < D3DXVec3Length(&vToWall) &&
                                      std::fabs(h.x) < 3.8f && std::fabs(h.z) < 3.8f;
                if (bOnPanel)
                {
                    // The mirror image holds, at this very pixel, where the reflected ray meets
                    // the walls.
                    const D3DXVECTOR3 vLanded = WallHit(h, {d.x, -d.y, d.z});
                    ASSERT_LT(Distance(p, vLanded), 0.03f) << x << " " << y;
                    ++nReflected;
                }
                else
                {
                    // Looked up in the room's cube map: inside the room, and on a wall or on the
                    // panel within the blend of neighbouring cube texels, except where a texel
                    // blends the panel's edge with the wall behind it.
                    ASSERT_LT(std::max({std::fabs(p[0]), std::fabs(p[1]), std::fabs(p[2])}), HALF_SIDE + 0.01f);
                    const bool bPanel = std::fabs(p[1] - fPanelY) < 0.45f && std::fabs(p[0]) < 4.4f &&
                                        std::fabs(p[2]) < 4.4f;
                    nLookedUp += 1;
                    nOnSurface += WallDistance(p) < 0.45f || bPanel;
                }
                // White map x diffuse colour x light colour.
                const float* e = energies.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                EXPECT_NEAR(e[0], 0.5f * 1.0f, 1.5f / 255);
                EXPECT_NEAR(e[1], 0.8f * 0.6f, 1.5f / 255);
                EXPECT_NEAR(e[2], 1.0f * 0.2f, 1.5f / 255);
            }
    }
    EXPECT_GT(nReflected, 4 * L * L / 2);
    EXPECT_GT(nOnSurface, nLookedUp * 97 / 100);
}

TEST_F(GlobalPhotonTest, SpotLightPhotonsReflectOffAFloorOntoTheCeilingAndMissesHoldNoPhoton)
{
    Room()->m_bVisible = 0;
    const float fFloorY = -4.0f, fCeilingY = 5.5f;
    PlaceMesh(AddMesh(FloorSquare(fFloorY, 5.0f)));
    PlaceMesh(AddMesh(FloorSquare(fCeilingY, 50.0f)));
    m_pApp->BuildTriangleGrid();
    const D3DXVECTOR3 vEye(0.0f, 3.0f, 0.0f);
    SceneLight* pLight = AddLight(D3DLIGHT_SPOT, vEye);
    pLight->m_Light.Direction = {0.0f, -1.0f, 0.0f};
    pLight->m_Light.Theta = 60.0f;
    pLight->m_Light.Phi = 100.0f;
    m_pApp->RenderLightPasses(pLight, 1, 0, 0);

    // The spot view looks down with x up; the frustum split 4 x 4.
    D3DXMATRIX view, projection;
    const D3DXVECTOR3 vAt = vEye + D3DXVECTOR3(0.0f, -1.0f, 0.0f), vUp(1.0f, 0.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &vEye, &vAt, &vUp);
    int nReflected = 0, nMissed = 0;
    for (int b = 0; b < 16; ++b)
    {
        SCOPED_TRACE(b);
        const int u = b / 4, v = b % 4;
        D3DXMatrixPerspectiveFovLH(&projection, 100.0f * 3.14159265f / 180, 1.0f, 1.0f, 20000.0f);
        projection._11 *= 4;
        projection._22 *= 4;
        projection._31 = static_cast<float>(3 - 2 * u);
        projection._32 = -static_cast<float>(3 - 2 * v);
        const d3d9test::SurfaceData positions = ReadTexture(g_pLightTargetsA[b]);
        const d3d9test::SurfaceData energies = ReadTexture(g_pLightTargetsD[b]);
        for (int y = 0; y < L; ++y)
            for (int x = 0; x < L; ++x)
            {
                const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                const D3DXVECTOR3 d = TexelRay(x, y, L, L, vEye, view, projection);
                const D3DXVECTOR3 h = vEye + ((fFloorY - vEye.y) / d.y) * d;
                const float fEdge = std::max(std::fabs(h.x), std::fabs(h.z));
                if (fEdge < 4.8f)
                {
                    const D3DXVECTOR3 vLanded = h + ((fCeilingY - fFloorY) / -d.y) * D3DXVECTOR3(d.x, -d.y, d.z);
                    ASSERT_LT(Distance(p, vLanded), 0.03f) << x << " " << y;
                    const float* e = energies.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                    EXPECT_NEAR(e[0], 0.9f * 0.5f * 1.0f, 1.5f / 255);
                    EXPECT_NEAR(e[1], 0.9f * 0.8f * 0.6f, 1.5f / 255);
                    ++nReflected;
                }
                else if (fEdge > 5.2f)
                {
                    ASSERT_TRUE(IsNoPhoton(p)) << x << " " << y << " " << p[0] << " " << p[1] << " " << p[2];
                    ++nMissed;
                }
            }
    }
    EXPECT_GT(nReflected, 0);
    EXPECT_GT(nMissed, 0);
}

TEST_F(GlobalPhotonTest, TranslucentPanePassesDirectPhotonsOnToTheWalls)
{
    // A clear pane across the +x view, flat in x: it takes its object cube map all the same.
    std::vector<D3DXVECTOR3> pane;
    AddQuad(pane, {2, -4, -4}, {2, 4, -4}, {2, 4, 4}, {2, -4, 4});
    SceneMesh* pPane = PlaceMesh(AddMesh(pane), 0.0f);
    m_pApp->BuildTriangleGrid();
    const D3DXVECTOR3 vEye(0.0f, 0.0f, 0.0f);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, vEye);
    m_pApp->RenderLightPasses(pLight, 0, 0, 0);
    EXPECT_EQ(pPane->m_bVisible, 1);
    for (int b = 0; b < 4; ++b)
    {
        SCOPED_TRACE(b);
        const d3d9test::SurfaceData positions = ReadTexture(g_pLightTargetsA[b]);
        const d3d9test::SurfaceData energies = ReadTexture(g_pLightTargetsD[b]);
        for (int y = 0; y < L; ++y)
            for (int x = 0; x < L; ++x)
            {
                // Every texel of the +x face meets the pane; with opacity 0 every photon goes on
                // through it and lands on the walls behind, with the full light colour.
                const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                ASSERT_LT(WallDistance(p), 0.45f) << x << " " << y << " " << p[0] << " " << p[1] << " " << p[2];
                const float* e = energies.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                EXPECT_NEAR(e[0], 1.0f, 1.5f / 255);
                EXPECT_NEAR(e[1], 0.6f, 1.5f / 255);
                EXPECT_NEAR(e[2], 0.2f, 1.5f / 255);
            }
    }
}

TEST_F(GlobalPhotonTest, BackgroundBoxBehindAClosedRoomChangesNoPhoton)
{
    const D3DXVECTOR3 vEye(0.5f, -1.0f, 1.5f);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, vEye);
    auto readBlocks = [] {
        std::vector<float> texels;
        for (int b = 0; b < 24; ++b)
            for (IDirect3DTexture9* pTarget : {g_pLightTargetsA[b], g_pLightTargetsC[b], g_pLightTargetsD[b]})
            {
                const d3d9test::SurfaceData data = ReadTexture(pTarget);
                texels.insert(texels.end(), data.rgba.begin(), data.rgba.end());
            }
        return texels;
    };
    m_pApp->RenderLightPasses(pLight, 1, 0, 0);
    const std::vector<float> without = readBlocks();
    g_bBackground = 1;
    g_bBackgroundForGlobal = 1;
    m_pApp->RenderLightPasses(pLight, 1, 0, 0);
    g_bBackground = 0;
    g_bBackgroundForGlobal = 0;
    EXPECT_EQ(readBlocks(), without);
}

TEST_F(GlobalPhotonTest, SurfaceConstantsFollowTheTableOfThePasses)
{
    SceneMesh* pRoom = Room();
    SceneMaterial& material = *pRoom->m_pMaterial;
    material.m_vOpacity[0] = 0.75f;
    material.m_vRefraction[0] = 2.25f;
    material.m_fBumpPower = 40.0f;
    material.m_vReflectionColor[0] = 0.3f;
    material.m_vReflectionColor[1] = 0.6f;
    material.m_vReflectionColor[2] = 0.9f;
    const float r = pRoom->m_fSphereRadius, m = 0.6f, o = 0.75f, X = std::nanf("");
    ASSERT_GT(r, 0.0f);
    const float fExtent = g_vSceneMax.x - g_vSceneMin.x;
    struct Row
    {
        PhotonPass nPass;
        bool bSpot;
        int nKind;
        UINT nRegister;
        float expected[4];   // NaN: not read by the pass's programs
    } rows[] = {
        {PHOTON_RAY_PASS, false, 0, 1, {2, 1, 0.5f, 1}},
        {PHOTON_RAY_PASS, false, 0, 11, {X, X, 1 - o, X}},
        {PHOTON_RAY_PASS, true, 0, 13, {0, 0, 1, 0.4f}},
        {PHOTON_RAY_PASS, false, 0, 14, {2.0f / 3, -1 / 2.25f, o, 1 - o}},
        {PHOTON_RAY_PASS, false, 1, 2, {0.5f, 0.8f, 1.0f, 1}},
        {PHOTON_RAY_PASS, false, 1, 11, {1, m, 1 - o, 1}},
        {PHOTON_RAY_PASS, false, 1, 16, {0, 0, 47.32f, 1}},
        {PHOTON_RAY_PASS, false, 1, 19, {1.414f / r, 1, 0.15f, 0.3f}},
        {PHOTON_RAY_PASS, true, 1, 11, {0.9f, 0.3f, o, 1}},
        {PHOTON_RAY_PASS, true, 1, 16, {0, 0, 21.32f, 1}},
        {PHOTON_RAY_PASS, true, 1, 19, {1.414f / r, 1, 0.15f, 0.3f}},
        {PHOTON_SECOND_RAY_PASS, true, 1, 11, {0.9f, 0.3f, o, 1}},
        {PHOTON_SECOND_RAY_PASS, true, 1, 16, {0, 0, 21.32f, 1}},
        {PHOTON_SECOND_RAY_PASS, true, 1, 19, {1.414f / r, 1, 0.2f, 0.3f}},
        {PHOTON_POSITION_PASS, false, 0, 1, {2, 1, 1, 0.5f}},
        {PHOTON_POSITION_PASS, true, 2, 11, {X, X, 1 - o, X}},
        {PHOTON_POSITION_PASS, false, 0, 16, {fExtent / 3000, X, X, 47.33f}},
        {PHOTON_POSITION_PASS, false, 0, 22, {X, X, X, r * r}},
        {PHOTON_POSITION_PASS, false, 1, 1, {2, 1, 0.5f, 1}},
        {PHOTON_POSITION_PASS, false, 1, 8, {0.5f, 0.5f, 0.5f, 1}},
        {PHOTON_POSITION_PASS, false, 1, 11, {X, m, 1 - o, X}},
        {PHOTON_POSITION_PASS, false, 1, 16, {0, 0, 49.12f, 1}},
        {PHOTON_POSITION_PASS, false, 1, 19, {1.414f / r, 1, 0.2f, 0.3f}},
        {PHOTON_POSITION_PASS, false, 1, 22, {X, X, X, 1.1f * r * r}},
        {PHOTON_POSITION_PASS, true, 1, 1, {2, 1, 1, 1}},
        // The normal is bumped around the tangent-space z axis in this pass as in every other.
        {PHOTON_POSITION_PASS, true, 1, 13, {0, 0, 1, 0.4f}},
        {PHOTON_POSITION_PASS, true, 1, 19, {1.414f / r, 1, 0.15f, 0.3f}},
        {PHOTON_POSITION_PASS, true, 1, 22, {X, X, X, r * r}},
        {PHOTON_POSITION_PASS, true, 1, 23, {2 * HALF_SIDE + 2, 2 * HALF_SIDE + 2, 2 * HALF_SIDE + 2, 1}},
        {PHOTON_POSITION_PASS, true, 1, 24, {-HALF_SIDE - 1, -HALF_SIDE - 1, -HALF_SIDE - 1, 1}},
        {PHOTON_POSITION_PASS, true, 1, 20, {HALF_SIDE + 2, HALF_SIDE + 2, HALF_SIDE + 2, 0}},
    };
    for (const Row& row : rows)
    {
        m_pApp->SetPhotonSurfaceConstants(*pRoom, row.nPass, row.bSpot, row.nKind, 3);
        float actual[4] = {};
        Device()->GetPixelShaderConstantF(row.nRegister, actual, 1);
        for (int i = 0; i < 4; ++i)
            if (!std::isnan(row.expected[i]))
            {
                EXPECT_NEAR(actual[i], row.expected[i], 1e-5f)
                    << "pass " << row.nPass << " spot " << row.bSpot << " kind " << row.nKind << " c" << row.nRegister
                    << "." << "xyzw"[i];
            }
    }
}
