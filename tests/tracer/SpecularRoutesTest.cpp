// The specular routes on the software device, against C++ rays: a translucent box (curved: no
// thin axis) and a translucent sphere fill the G-buffer at their pixels with the room's walls
// where the refracted view ray leaves the bounding sphere, coloured by the light they let
// through; the earlier reflection-only form adds, over a reflective box's pixels, the dynamic
// environment cube's face along the reflected view ray in the reflection colour; a reflective
// floor under a
// box fills it with the box's points seen in the mirror, coloured by the box's colour x the
// reflection colour, and keeps a user's hidden flag.
#include "RoomFixture.h"

#include "app/FrameGlobals.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "scene/SceneGeometryBlock.h"

#include <d3dx9math.h>

#include <memory>

namespace
{
// The twelve triangles of the box from lo to hi.
std::vector<D3DXVECTOR3> Box(const D3DXVECTOR3& lo, const D3DXVECTOR3& hi)
{
    std::vector<D3DXVECTOR3> c;
    AddQuad(c, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z});
    AddQuad(c, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z});
    AddQuad(c, {lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z}, {lo.x, lo.y, hi.z});
    AddQuad(c, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {hi.x, lo.y, hi.z});
    AddQuad(c, {lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z});
    AddQuad(c, {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z});
    return c;
}

// Where the ray first enters the box, or t < 0 when it misses.
float EnterBox(const D3DXVECTOR3& o, const D3DXVECTOR3& d, const D3DXVECTOR3& lo, const D3DXVECTOR3& hi)
{
    float tNear = -1e30f, tFar = 1e30f;
    for (int a = 0; a < 3; ++a)
    {
        const float od = (&o.x)[a], dd = (&d.x)[a], l = (&lo.x)[a], h = (&hi.x)[a];
        if (std::fabs(dd) < 1e-9f)
        {
            if (od < l || od > h)
                return -1.0f;
            continue;
        }
        const float t0 = (l - od) / dd, t1 = (h - od) / dd;
        tNear = std::max(tNear, std::min(t0, t1));
        tFar = std::min(tFar, std::max(t0, t1));
    }
    return tNear <= tFar && tNear > 0.0f ? tNear : -1.0f;
}

// The wall point a cube look-up finds for a view ray d refracted (relative index eta) at P with
// normal n, looked up from the mesh's centre (the origin) where the refracted ray leaves the
// bounding sphere of squared radius r2.
D3DXVECTOR3 RefractedWallPoint(const D3DXVECTOR3& vHit, const D3DXVECTOR3& normal, const D3DXVECTOR3& d, float r2,
                               float eta)
{
    const D3DXVECTOR3 v = -d;
    const float c = D3DXVec3Dot(&normal, &v);
    D3DXVECTOR3 ray = -eta * v + (eta * c - std::sqrt(1 - eta * eta * (1 - c * c))) * normal;
    D3DXVec3Normalize(&ray, &ray);
    const float b = D3DXVec3Dot(&ray, &vHit), q = D3DXVec3Dot(&vHit, &vHit);
    const float s = std::sqrt(b * b - (q - r2));
    D3DXVECTOR3 vLook = vHit + (std::max(s - b, 0.0f) + std::max(-s - b, 0.0f)) * ray;
    D3DXVec3Normalize(&vLook, &vLook);
    return WallHit({0, 0, 0}, vLook);
}

float Distance(const float* p, const D3DXVECTOR3& v)
{
    const D3DXVECTOR3 d(p[0] - v.x, p[1] - v.y, p[2] - v.z);
    return D3DXVec3Length(&d);
}
}

class SpecularRouteTest : public LightPassTest
{
protected:
    static constexpr int32_t CUBE_SIZE = 128;

    void SetUp() override
    {
        LightPassTest::SetUp();
        // A finer cube, so that a look-up lands within a few hundredths of the wall point.
        g_nLightTargetSize = CUBE_SIZE;
        m_pApp->CreateTracerTargets();
        Place(Room(), {0.5f, 0.8f, 1.0f});
    }
    void TearDown() override
    {
        for (uint32_t i = 0; i < m_pApp->m_Scene.m_Meshes.GetCount(); ++i)
            static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(i))->m_pMaterial = nullptr;
        LightPassTest::TearDown();
    }

    SceneMesh* Room() { return static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(0)); }

    // The mesh centred on its box with a white diffuse map, this colour and no bump.
    SceneMaterial& Place(SceneMesh* pMesh, const D3DXVECTOR3& vColour)
    {
        SetMeshBounds(*pMesh);
        pMesh->UpdateWorldMatrix(0);
        m_Materials.emplace_back(new SceneMaterial());
        SceneMaterial& material = *m_Materials.back();
        material.m_Material.Diffuse = {vColour.x, vColour.y, vColour.z, 1.0f};
        material.m_fBumpPower = 0.0f;
        material.m_vRefraction[0] = 1.5f;
        material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = m_pApp->m_nWhiteTexture;
        pMesh->m_pMaterial = &material;
        return material;
    }

    // Each triangle's normal from its winding, turned away from the mesh's centre, uploaded.
    void SetOutwardNormals(SceneMesh* pMesh)
    {
        for (int32_t t = 0; t < pMesh->m_nVertexCount / 3; ++t)
        {
            MeshVertex* v = &pMesh->m_pVertices[3 * t];
            const Vector3 e1 = v[1].vPosition - v[0].vPosition, e2 = v[2].vPosition - v[0].vPosition;
            D3DXVECTOR3 n(e1.y * e2.z - e1.z * e2.y, e1.z * e2.x - e1.x * e2.z, e1.x * e2.y - e1.y * e2.x);
            const Vector3 c = v[0].vPosition - pMesh->m_vOffset;
            if (n.x * c.x + n.y * c.y + n.z * c.z < 0.0f)
                n = -n;
            D3DXVec3Normalize(&n, &n);
            for (int i = 0; i < 3; ++i)
                v[i].vNormal = Vector3(n.x, n.y, n.z);
        }
        void* pData = nullptr;
        ASSERT_EQ(pMesh->m_pVertexBuffer->Lock(0, 0, &pData, 0), D3D_OK);
        std::memcpy(pData, pMesh->m_pVertices, sizeof(MeshVertex) * static_cast<size_t>(pMesh->m_nVertexCount));
        pMesh->m_pVertexBuffer->Unlock();
    }

    // The camera at vEye looking at vAt, in the frame's matrices; the G-buffer and the path depth
    // cleared.
    void LookFrom(const D3DXVECTOR3& vEye, const D3DXVECTOR3& vAt)
    {
        const D3DXVECTOR3 vUp(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&m_View, &vEye, &vAt, &vUp);
        D3DXMatrixPerspectiveFovLH(&m_Projection, 3.14159265f / 2, static_cast<float>(SCREEN_WIDTH) / SCREEN_HEIGHT,
                                   0.5f, 1000.0f);
        g_matView = ToMatrix4(m_View);
        g_matProjection = ToMatrix4(m_Projection);
        m_vEye = vEye;
        m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(vEye.x, vEye.y, vEye.z);
        for (int t = 0; t < GBUFFER_TARGET_COUNT; ++t)
            BindTextureTarget(Device(), static_cast<DWORD>(t), g_pGBufferTargets[t]);
        Device()->SetDepthStencilSurface(g_pPathDepthStencil);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        UnbindTargets(Device());
    }

    D3DXVECTOR3 PixelRay(int x, int y) const
    {
        return TexelRay(x, y, SCREEN_WIDTH, SCREEN_HEIGHT, m_vEye, m_View, m_Projection);
    }
    // Where the eye's ray d first enters the cube of half side fHalfSide about the origin, or
    // t < 0 when it misses.
    float EnterCube(const D3DXVECTOR3& d, float fHalfSide) const
    {
        return EnterBox(m_vEye, d, {-fHalfSide, -fHalfSide, -fHalfSide}, {fHalfSide, fHalfSide, fHalfSide});
    }

    std::vector<std::unique_ptr<SceneMaterial>> m_Materials;
    D3DXMATRIX m_View, m_Projection;
    D3DXVECTOR3 m_vEye;
};

TEST_F(SpecularRouteTest, TranslucentBoxShowsTheWallsWhereTheRefractedRayLeavesItsSphere)
{
    SceneMesh* pBox = AddMesh(Box({-1, -1, -1}, {1, 1, 1}));
    SceneMaterial& glass = Place(pBox, {1, 1, 1});
    SetOutwardNormals(pBox);
    const float fOpacity = 0.25f, n = 1.5f;
    glass.m_vOpacity[0] = fOpacity;
    ASSERT_FALSE(RenderApp::IsFlatForSpecularPath(*pBox, true));
    LookFrom({0.6f, 0.9f, -4.0f}, {0, 0, 0});

    m_pApp->RenderSpecularRoute(*pBox, true);
    const d3d9test::SurfaceData positions = ReadTexture(g_pGBufferTargets[0]);
    const d3d9test::SurfaceData diffuse = ReadTexture(g_pGBufferTargets[2]);
    const float r2 = pBox->m_fSphereRadius * pBox->m_fSphereRadius, eta = 1 / std::sqrt(n);
    int nChecked = 0;
    for (int y = 0; y < static_cast<int>(SCREEN_HEIGHT); ++y)
        for (int x = 0; x < static_cast<int>(SCREEN_WIDTH); ++x)
        {
            SCOPED_TRACE(testing::Message() << x << " " << y);
            const D3DXVECTOR3 d = PixelRay(x, y);
            const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            const float t = EnterCube(d, 1.0f);
            if (t < 0.0f)
            {
                // Clear of the silhouette, nothing is drawn.
                if (EnterCube(d, 1.05f) < 0.0f)
                {
                    ASSERT_EQ(p[3], 0.0f);
                }
                continue;
            }
            // Only the front face z = -1, away from its edges.
            const D3DXVECTOR3 vHit = m_vEye + t * d;
            if (std::fabs(vHit.z + 1.0f) > 1e-4f || std::fabs(vHit.x) > 0.9f || std::fabs(vHit.y) > 0.9f)
                continue;
            const D3DXVECTOR3 vWall = RefractedWallPoint(vHit, {0, 0, -1}, d, r2, eta);
            ASSERT_EQ(p[3], 1.0f);
            EXPECT_LT(Distance(p, vWall), 1.5f * 2.0f / CUBE_SIZE * HALF_SIDE + 0.03f);
            // The room's colour x the light the glass lets through.
            const float* colour = diffuse.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            EXPECT_NEAR(colour[0], 0.5f * (1 - fOpacity), 2e-3f);
            EXPECT_NEAR(colour[1], 0.8f * (1 - fOpacity), 2e-3f);
            EXPECT_NEAR(colour[2], 1.0f * (1 - fOpacity), 2e-3f);
            ++nChecked;
        }
    EXPECT_GT(nChecked, 50);
}

TEST_F(SpecularRouteTest, ReflectiveFloorShowsTheBoxAboveItInTheReflectionColour)
{
    Room()->m_bVisible = 0;
    const D3DXVECTOR3 lo(-1, 0, -1), hi(1, 2, 1);
    Place(AddMesh(Box(lo, hi)), {0.8f, 0.6f, 0.4f});
    // The floor y = -1; its first triangle faces down, so the box above lies in front of it.
    std::vector<D3DXVECTOR3> floor;
    AddQuad(floor, {-4, -1, -4}, {4, -1, -4}, {4, -1, 4}, {-4, -1, 4});
    SceneMesh* pFloor = AddMesh(floor);
    SceneMaterial& mirror = Place(pFloor, {1, 1, 1});
    const float reflection[3] = {0.5f, 0.25f, 1.0f};
    std::copy(reflection, reflection + 3, mirror.m_vReflectionColor);
    ASSERT_TRUE(RenderApp::IsFlatForSpecularPath(*pFloor, false));
    LookFrom({0.5f, 2.0f, -6.0f}, {0, -1, 0});

    m_pApp->RenderSpecularRoute(*pFloor, false);
    const d3d9test::SurfaceData positions = ReadTexture(g_pGBufferTargets[0]);
    const d3d9test::SurfaceData diffuse = ReadTexture(g_pGBufferTargets[2]);
    int nBox = 0, nEmpty = 0;
    for (int y = 0; y < static_cast<int>(SCREEN_HEIGHT); ++y)
        for (int x = 0; x < static_cast<int>(SCREEN_WIDTH); ++x)
        {
            SCOPED_TRACE(testing::Message() << x << " " << y);
            const D3DXVECTOR3 d = PixelRay(x, y);
            const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            // The box hides part of the floor from the eye, but the route draws the whole floor:
            // the depth of the path surface was cleared. Skip the floor's rim.
            const float tFloor = d.y < 0.0f ? (-1.0f - m_vEye.y) / d.y : -1.0f;
            const D3DXVECTOR3 vFloor = m_vEye + tFloor * d;
            if (tFloor < 0.0f || std::fabs(vFloor.x) > 3.8f || std::fabs(vFloor.z) > 3.8f)
            {
                if (tFloor < 0.0f || std::fabs(vFloor.x) > 4.2f || std::fabs(vFloor.z) > 4.2f)
                {
                    ASSERT_EQ(p[3], 0.0f);
                }
                continue;
            }
            // The mirrored eye sees the box along the mirrored ray.
            const D3DXVECTOR3 vMirroredEye(m_vEye.x, -2.0f - m_vEye.y, m_vEye.z), vMirrored(d.x, -d.y, d.z);
            const float t = EnterBox(vMirroredEye, vMirrored, lo, hi);
            if (t < 0.0f)
            {
                EXPECT_EQ(p[3], 0.0f);
                ++nEmpty;
                continue;
            }
            const D3DXVECTOR3 vBox = vMirroredEye + t * vMirrored;
            // Away from the box's edges, where a pixel may see either of two faces.
            int nOnEdge = 0;
            for (int a = 0; a < 3; ++a)
                nOnEdge += std::fabs((&vBox.x)[a] - (&lo.x)[a]) < 0.1f || std::fabs((&vBox.x)[a] - (&hi.x)[a]) < 0.1f;
            if (nOnEdge > 1)
                continue;
            EXPECT_LT(Distance(p, vBox), 0.02f + 2e-3f * t);
            const float* colour = diffuse.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            EXPECT_NEAR(colour[0], 0.8f * reflection[0], 2e-3f);
            EXPECT_NEAR(colour[1], 0.6f * reflection[1], 2e-3f);
            EXPECT_NEAR(colour[2], 0.4f * reflection[2], 2e-3f);
            ++nBox;
        }
    EXPECT_GT(nBox, 30);
    EXPECT_GT(nEmpty, 30);

    // A floor the user has hidden is still hidden after its route.
    pFloor->m_bVisible = 0;
    m_pApp->RenderSpecularRoute(*pFloor, false);
    EXPECT_EQ(pFloor->m_bVisible, 0);
}

TEST_F(SpecularRouteTest, TranslucentSphereShowsTheWallsAlongItsRefractedRays)
{
    // A sphere of radius 1.5 in 16 stacks of 32 slices, with smooth normals.
    const float R = 1.5f;
    const int STACKS = 16, SLICES = 32;
    const auto point = [&](int i, int j) {
        const float theta = 3.14159265f * i / STACKS, phi = 2 * 3.14159265f * j / SLICES;
        return D3DXVECTOR3(R * std::sin(theta) * std::cos(phi), R * std::cos(theta), R * std::sin(theta) * std::sin(phi));
    };
    std::vector<D3DXVECTOR3> corners;
    for (int i = 0; i < STACKS; ++i)
        for (int j = 0; j < SLICES; ++j)
            AddQuad(corners, point(i, j), point(i, j + 1), point(i + 1, j + 1), point(i + 1, j));
    SceneMesh* pSphere = AddMesh(corners);
    SceneMaterial& glass = Place(pSphere, {1, 1, 1});
    glass.m_vOpacity[0] = 0.5f;
    for (int32_t k = 0; k < pSphere->m_nVertexCount; ++k)
    {
        MeshVertex& vertex = pSphere->m_pVertices[k];
        const Vector3 n = vertex.vPosition * (1.0f / R);
        vertex.vNormal = n;
        vertex.vTangent = Vector3(-n.z, 0.0f, n.x);
        vertex.vBinormal = Vector3(0.0f, 1.0f, 0.0f);
    }
    void* pData = nullptr;
    ASSERT_EQ(pSphere->m_pVertexBuffer->Lock(0, 0, &pData, 0), D3D_OK);
    std::memcpy(pData, pSphere->m_pVertices, sizeof(MeshVertex) * static_cast<size_t>(pSphere->m_nVertexCount));
    pSphere->m_pVertexBuffer->Unlock();
    ASSERT_FALSE(RenderApp::IsFlatForSpecularPath(*pSphere, true));
    LookFrom({0.4f, 0.7f, -4.0f}, {0, 0, 0});

    m_pApp->RenderSpecularRoute(*pSphere, true);
    const d3d9test::SurfaceData positions = ReadTexture(g_pGBufferTargets[0]);
    const float r2 = pSphere->m_fSphereRadius * pSphere->m_fSphereRadius, eta = 1 / std::sqrt(1.5f);
    int nChecked = 0;
    for (int y = 0; y < static_cast<int>(SCREEN_HEIGHT); ++y)
        for (int x = 0; x < static_cast<int>(SCREEN_WIDTH); ++x)
        {
            SCOPED_TRACE(testing::Message() << x << " " << y);
            const D3DXVECTOR3 d = PixelRay(x, y);
            const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            // Where the ray meets the sphere; its edge, where the facets stray most from the
            // sphere and the refraction turns fastest, is left alone.
            const float b = D3DXVec3Dot(&d, &m_vEye), q = D3DXVec3Dot(&m_vEye, &m_vEye);
            const float fDisc = b * b - (q - R * R);
            if (fDisc <= 0.0f)
                continue;
            const D3DXVECTOR3 vHit = m_vEye + (-b - std::sqrt(fDisc)) * d;
            const D3DXVECTOR3 normal = vHit / R;
            if (-D3DXVec3Dot(&normal, &d) < 0.5f)
                continue;
            ASSERT_EQ(p[3], 1.0f);
            // The facets stray from the sphere and its normals; then the cube's texels.
            EXPECT_LT(Distance(p, RefractedWallPoint(vHit, normal, d, r2, eta)),
                      0.03f + 1.5f * 2.0f / CUBE_SIZE * HALF_SIDE);
            ++nChecked;
        }
    EXPECT_GT(nChecked, 100);
}

TEST_F(SpecularRouteTest, EarlierReflectionFormAddsTheEnvironmentCubeAlongReflectedViewRays)
{
    // The dynamic environment cube: one solid colour per face (+x, -x, +y, -y, +z, -z), 16 texels
    // a side so that a filtered look-up away from the face's edges reads that colour alone.
    const uint8_t FACES[6][3] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 0}, {0, 255, 255}, {255, 0, 255}};
    constexpr int SIDE = 16;
    // The renderer keeps its images in the byte order it uploads: blue first unless told otherwise.
    const bool bRgb = m_pApp->GetRenderer()->GetRgbOrder();
    const auto solid = [bRgb](int nSide, const uint8_t* rgb) {
        uint8_t* pPixels = AllocatePixels(static_cast<size_t>(nSide * nSide * 4));
        const uint8_t texel[4] = {rgb[bRgb ? 0 : 2], rgb[1], rgb[bRgb ? 2 : 0], 255};
        for (int i = 0; i < nSide * nSide; ++i)
            std::memcpy(pPixels + 4 * i, texel, 4);
        PixelImage* pImage = new PixelImage();
        pImage->Adopt(pPixels, nSide, nSide, RGBA8, true, false);
        return pImage;
    };
    PixelImage* pFaces[6];
    for (int f = 0; f < 6; ++f)
        pFaces[f] = solid(SIDE, FACES[f]);
    const int32_t nKeptCube = g_nEnvCubeTarget;
    g_nEnvCubeTarget = m_pApp->GetRenderer()->AddCubeTexture(pFaces);
    ASSERT_GE(g_nEnvCubeTarget, 0);

    SceneMesh* pBox = AddMesh(Box({-1, -1, -1}, {1, 1, 1}));
    SceneMaterial& mirror = Place(pBox, {1, 1, 1});
    SetOutwardNormals(pBox);
    // A flat bump map: these programs tilt the normal by the map at full strength.
    const uint8_t flat[3] = {128, 128, 255};
    mirror.m_nTextureIds[SceneMaterial::TEXTURE_BUMP] = m_pApp->GetRenderer()->AddTexture(solid(1, flat), 0);
    // Grey plus any face's colour in this colour stays below 1, which the target would clamp.
    const float reflection[3] = {0.5f, 0.25f, 0.75f};
    std::copy(reflection, reflection + 3, mirror.m_vReflectionColor);
    AddLight(D3DLIGHT_POINT, {2.0f, 3.0f, -3.0f});
    LookFrom({0.6f, 0.9f, -4.0f}, {0, 0, 0});

    // The target, grey, like the scene texture.
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(g_pSceneTexture->GetLevelDesc(0, &desc), D3D_OK);
    IDirect3DTexture9* pTarget = nullptr;
    ASSERT_EQ(Device()->CreateTexture(desc.Width, desc.Height, 1, D3DUSAGE_RENDERTARGET, desc.Format, D3DPOOL_DEFAULT,
                                      &pTarget, nullptr),
              D3D_OK);
    const float fGrey = 51.0f / 255.0f;
    BindTextureTarget(Device(), 0, pTarget);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(0, 51, 51, 51), 1.0f, 0);

    // Reflection off: nothing drawn.
    g_bReflection = 0;
    m_pApp->RenderReflectionPaths(pTarget);
    for (float f : ReadTexture(pTarget).rgba)
        ASSERT_TRUE(f == 0.0f || f == fGrey);
    g_bReflection = 1;
    m_pApp->RenderReflectionPaths(pTarget);
    g_bReflection = 0;
    const d3d9test::SurfaceData image = ReadTexture(pTarget);
    pTarget->Release();
    g_nEnvCubeTarget = nKeptCube;

    int nChecked = 0, nClear = 0;
    for (int y = 0; y < static_cast<int>(SCREEN_HEIGHT); ++y)
        for (int x = 0; x < static_cast<int>(SCREEN_WIDTH); ++x)
        {
            SCOPED_TRACE(testing::Message() << x << " " << y);
            const D3DXVECTOR3 d = PixelRay(x, y);
            const float* p = image.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
            const float t = EnterCube(d, 1.0f);
            if (t < 0.0f)
            {
                if (EnterCube(d, 1.1f) < 0.0f)
                {
                    for (int c = 0; c < 3; ++c)
                        ASSERT_EQ(p[c], fGrey);
                    ++nClear;
                }
                continue;
            }
            // The face the ray enters, away from its edges.
            const D3DXVECTOR3 vHit = m_vEye + t * d;
            D3DXVECTOR3 normal(0, 0, 0);
            int nFaces = 0;
            for (int a = 0; a < 3; ++a)
                if (std::fabs(std::fabs((&vHit.x)[a]) - 1.0f) < 1e-4f)
                    (&normal.x)[a] = (&vHit.x)[a] > 0 ? 1.0f : -1.0f, ++nFaces;
            if (nFaces != 1 || std::max({std::fabs(vHit.x), std::fabs(vHit.y), std::fabs(vHit.z)} ) > 1.0001f)
                continue;
            int nEdge = 0;
            for (int a = 0; a < 3; ++a)
                nEdge += (&normal.x)[a] == 0.0f && std::fabs((&vHit.x)[a]) > 0.9f;
            if (nEdge)
                continue;
            // The reflected view ray picks the cube face of its major axis; rays near a cube
            // edge are left alone.
            const D3DXVECTOR3 r = d - 2.0f * D3DXVec3Dot(&d, &normal) * normal;
            const float m[3] = {std::fabs(r.x), std::fabs(r.y), std::fabs(r.z)};
            const int a = static_cast<int>(std::max_element(m, m + 3) - m);
            if (m[(a + 1) % 3] > 0.85f * m[a] || m[(a + 2) % 3] > 0.85f * m[a])
                continue;
            const int f = 2 * a + ((&r.x)[a] < 0.0f ? 1 : 0);
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(p[c], fGrey + FACES[f][c] / 255.0f * reflection[c], 2e-3f) << "face " << f;
            ++nChecked;
        }
    EXPECT_GT(nChecked, 100);
    EXPECT_GT(nClear, 300);
}
