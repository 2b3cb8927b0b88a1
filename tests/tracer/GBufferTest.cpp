// The G-buffer of a three-mesh scene against a ray cast of the same camera, the visibility counts
// against the visible pixel counts, the photon target marks, and the depth pass.
#include "TracerFixture.h"

#include "3dapi/Renderer.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "morvyn/morvyn.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"

#include <cmath>
#include <cstring>

namespace
{
struct Hit
{
    int m_nMesh = -1;
    D3DXVECTOR3 m_vPosition;
};

// Ray against triangle (both sides); the distance along the ray or a negative value.
float Intersect(const D3DXVECTOR3& o, const D3DXVECTOR3& d, const D3DXVECTOR3& a, const D3DXVECTOR3& b,
                const D3DXVECTOR3& c)
{
    D3DXVECTOR3 e1 = b - a, e2 = c - a, p, q;
    D3DXVec3Cross(&p, &d, &e2);
    const float det = D3DXVec3Dot(&e1, &p);
    if (std::fabs(det) < 1e-12f)
        return -1.0f;
    const D3DXVECTOR3 s = o - a;
    const float u = D3DXVec3Dot(&s, &p) / det;
    D3DXVec3Cross(&q, &s, &e1);
    const float v = D3DXVec3Dot(&d, &q) / det;
    if (u < 0 || v < 0 || u + v > 1)
        return -1.0f;
    return D3DXVec3Dot(&e2, &q) / det;
}
}

class GBufferTest : public TracerTest
{
protected:
    static constexpr float EYE_Z = -10.0f;

    void SetUp() override
    {
        TracerTest::SetUp();
        ASSERT_TRUE(InitAndLoad());
        g_nGridSize = 4;
        // A uniform texture: every sample is the same texel (0.8, 0.4, 0.2) whatever the filter;
        // the bytes in the device's memory order, blue first.
        uint8_t* pPixels = AllocatePixels(4);
        const uint8_t rgba[4] = {51, 102, 204, 255};
        std::memcpy(pPixels, rgba, 4);
        PixelImage* pImage = new PixelImage();
        pImage->Adopt(pPixels, 1, 1, RGBA8, true, false);
        m_nTexture = m_pApp->GetRenderer()->AddTexture(pImage, 0);
        ASSERT_GE(m_nTexture, 0);
        // Back wall, a turned panel before it and a panel hidden behind the wall.
        AddPanel(0.0f, 0.0f, 0.0f, 4.3f, 3.1f, 0.0f, {1.0f, 0.5f, 0.25f});
        AddPanel(-0.8f, 0.4f, -2.0f, 1.3f, 1.1f, 0.5f, {0.25f, 1.0f, 0.5f});
        AddPanel(0.3f, -0.2f, 3.0f, 1.0f, 1.0f, 0.0f, {0.5f, 0.5f, 1.0f});
        D3DXMATRIX view, projection;
        const D3DXVECTOR3 eye(0.0f, 0.0f, EYE_Z), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 0.6f, static_cast<float>(SCREEN_WIDTH) / SCREEN_HEIGHT, 1.0f, 50.0f);
        g_matView = ToMatrix4(view);
        g_matProjection = ToMatrix4(projection);
        m_matViewProjection = view * projection;
        m_pApp->BuildTriangleGrid();
        g_bBackground = 0;
    }

    void TearDown() override
    {
        for (SceneMaterial* pMaterial : m_Materials)
            delete pMaterial;
        TracerTest::TearDown();
    }

    // A panel of half-size (w, h) around (x, y, z), turned by a about y, its normal (0, 0, 1) in
    // model space; its diffuse and specular colour, gloss power 50, specular power 40.
    void AddPanel(float x, float y, float z, float w, float h, float a, std::initializer_list<float> colour)
    {
        SceneMesh* pMesh = AddMesh({D3DXVECTOR3(-w, -h, 0), D3DXVECTOR3(-w, h, 0), D3DXVECTOR3(w, h, 0),
                                    D3DXVECTOR3(-w, -h, 0), D3DXVECTOR3(w, h, 0), D3DXVECTOR3(w, -h, 0)});
        for (int i = 0; i < 6; ++i)
            pMesh->m_pVertices[i].vPosition += Vector3(x, y, z);
        void* pData = nullptr;
        pMesh->m_pVertexBuffer->Lock(0, 0, &pData, 0);
        std::memcpy(pData, pMesh->m_pVertices, 6 * sizeof(MeshVertex));
        pMesh->m_pVertexBuffer->Unlock();
        // Centre offset at the panel's centre: world = (p - centre) x turn x translate(centre).
        pMesh->m_vOffset = Vector3(x, y, z);
        D3DXMATRIX turn, move;
        D3DXMatrixRotationY(&turn, a);
        D3DXMatrixTranslation(&move, x, y, z);
        pMesh->m_matWorld = ToMatrix4(turn * move);
        SceneMaterial* pMaterial = new SceneMaterial();
        const float* c = colour.begin();
        pMaterial->m_Material.Diffuse = {c[0], c[1], c[2], 1.0f};
        pMaterial->m_Material.Specular = {c[2], c[0], c[1], 1.0f};
        pMaterial->m_Material.Power = 40.0f;
        pMaterial->m_fGlossPower = 50.0f;
        pMaterial->m_fBumpPower = 0.0f;
        pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = m_nTexture;
        pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_GLOSS] = m_nTexture;
        pMesh->m_pMaterial = pMaterial;
        m_Materials.push_back(pMaterial);
    }

    // The nearest surface under the point (px, py) of the screen, pixel centres at whole numbers.
    Hit Cast(float px, float py)
    {
        D3DXMATRIX inverse;
        D3DXMatrixInverse(&inverse, nullptr, &m_matViewProjection);
        const float x = 2.0f * px / SCREEN_WIDTH - 1.0f, y = 1.0f - 2.0f * py / SCREEN_HEIGHT;
        D3DXVECTOR3 nearPoint(x, y, 0.0f), farPoint(x, y, 1.0f), o, f;
        D3DXVec3TransformCoord(&o, &nearPoint, &inverse);
        D3DXVec3TransformCoord(&f, &farPoint, &inverse);
        const D3DXVECTOR3 d = f - o;
        Hit hit;
        float best = 1e30f;
        for (uint32_t m = 0; m < m_pApp->m_Scene.m_Meshes.GetCount(); ++m)
        {
            const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(m));
            const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
            D3DXVECTOR3 w[6];
            for (int i = 0; i < 6; ++i)
            {
                const Vector3 p = pMesh->m_pVertices[i].vPosition - pMesh->m_vOffset;
                D3DXVECTOR3 model(p.x, p.y, p.z);
                D3DXVec3TransformCoord(&w[i], &model, &world);
            }
            for (int t = 0; t < 2; ++t)
            {
                const float s = Intersect(o, d, w[3 * t], w[3 * t + 1], w[3 * t + 2]);
                if (s >= 0.0f && s < best)
                {
                    best = s;
                    hit.m_nMesh = static_cast<int>(m);
                    hit.m_vPosition = o + d * s;
                }
            }
        }
        return hit;
    }

    int m_nTexture = -1;
    D3DXMATRIX m_matViewProjection;
    std::vector<SceneMaterial*> m_Materials;
};

TEST_F(GBufferTest, TargetsHoldTheRayCastSurfacesAndQueriesCountVisiblePixels)
{
    m_pApp->RenderGBufferCulled();
    d3d9test::SurfaceData targets[4], photons;
    for (int i = 0; i < 4; ++i)
    {
        IDirect3DSurface9* pSurface = nullptr;
        g_pGBufferTargets[i]->GetSurfaceLevel(0, &pSurface);
        ASSERT_TRUE(d3d9test::ReadSurface(pSurface, targets[i]));
        pSurface->Release();
    }
    IDirect3DSurface9* pSurface = nullptr;
    g_pPhotonTargets[0]->GetSurfaceLevel(0, &pSurface);
    ASSERT_TRUE(d3d9test::ReadSurface(pSurface, photons));
    pSurface->Release();

    const float texel[3] = {204 / 255.0f, 102 / 255.0f, 51 / 255.0f};
    int counts[3] = {}, nCompared = 0;
    for (UINT py = 0; py < SCREEN_HEIGHT; ++py)
        for (UINT px = 0; px < SCREEN_WIDTH; ++px)
        {
            const Hit hit = Cast(static_cast<float>(px), static_cast<float>(py));
            if (hit.m_nMesh >= 0)
                ++counts[hit.m_nMesh];
            // Pixels on an edge are left to the rasteriser's fill rule.
            bool bEdge = false;
            for (float d : {-0.05f, 0.05f})
                bEdge = bEdge || Cast(px + d, py + 0.0f).m_nMesh != hit.m_nMesh ||
                        Cast(px + 0.0f, py + d).m_nMesh != hit.m_nMesh;
            if (bEdge)
                continue;
            ++nCompared;
            SCOPED_TRACE(testing::Message() << "pixel " << px << ", " << py << " mesh " << hit.m_nMesh);
            if (hit.m_nMesh < 0)
            {
                for (int i = 0; i < 4; ++i)
                    EXPECT_EQ(targets[0].Pixel(px, py)[i], 0.0f);
                EXPECT_EQ(photons.Pixel(px, py)[3], static_cast<float>((g_nDirectPhoton + 1) % 256) / 255.0f);
                continue;
            }
            const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(hit.m_nMesh));
            const SceneMaterial& material = *pMesh->m_pMaterial;
            const float* p = targets[0].Pixel(px, py);
            const float* p3 = &hit.m_vPosition.x;
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(p[i], p3[i], 0.01f + 2e-3f * std::fabs(p3[i])) << "position " << i;
            EXPECT_EQ(p[3], 1.0f);
            D3DXVECTOR3 modelNormal(0, 0, 1), normal;
            const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
            D3DXVec3TransformNormal(&normal, &modelNormal, &world);
            const float* n = targets[1].Pixel(px, py);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(n[i], (&normal.x)[i], 2e-3f) << "normal " << i;
            EXPECT_NEAR(n[3], material.m_Material.Power * 0.01f, 1e-3f);
            const float diffuse[3] = {material.m_Material.Diffuse.r, material.m_Material.Diffuse.g,
                                      material.m_Material.Diffuse.b};
            const float specular[3] = {material.m_Material.Specular.r, material.m_Material.Specular.g,
                                       material.m_Material.Specular.b};
            for (int i = 0; i < 3; ++i)
            {
                EXPECT_NEAR(targets[2].Pixel(px, py)[i], texel[i] * diffuse[i], 1e-3f) << "diffuse " << i;
                EXPECT_NEAR(targets[3].Pixel(px, py)[i], texel[i] * 0.5f * specular[i], 1e-3f) << "specular " << i;
            }
            EXPECT_EQ(photons.Pixel(px, py)[3], 0.0f);
        }
    EXPECT_GT(nCompared, static_cast<int>(SCREEN_WIDTH * SCREEN_HEIGHT / 2));
    EXPECT_GT(counts[0], 0);
    EXPECT_GT(counts[1], 0);
    EXPECT_EQ(counts[2], 0);
    for (int m = 0; m < 3; ++m)
        EXPECT_EQ(m_pApp->m_Visibility[m], static_cast<uint32_t>(counts[m])) << "mesh " << m;
}

TEST_F(GBufferTest, HiddenMeshIsLeftOutOfTheGBufferButNotOutOfTheDepthPass)
{
    SceneMesh* pFront = static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(1));
    pFront->m_bVisible = 0;
    m_pApp->RenderGBufferCulled();
    EXPECT_EQ(m_pApp->m_Visibility[1], 0u);
    const int nDirect = g_nDirectPhoton;
    for (int nKind : {0, 1})
    {
        m_pApp->ClearAndDepthPass(nKind);
        d3d9test::SurfaceData photons;
        IDirect3DSurface9* pSurface = nullptr;
        g_pPhotonTargets[0]->GetSurfaceLevel(0, &pSurface);
        ASSERT_TRUE(d3d9test::ReadSurface(pSurface, photons));
        pSurface->Release();
        const float fCount = static_cast<float>((nKind == 1 ? g_nGlobalPhoton : nDirect) + 1);
        int nMarked = 0;
        for (UINT py = 0; py < SCREEN_HEIGHT; ++py)
            for (UINT px = 0; px < SCREEN_WIDTH; ++px)
            {
                const Hit hit = Cast(static_cast<float>(px), static_cast<float>(py));
                const float fAlpha = photons.Pixel(px, py)[3];
                if (hit.m_nMesh == 1)
                {
                    // The hidden panel still lays its depth and its 0.
                    EXPECT_EQ(fAlpha, 0.0f) << px << " " << py;
                    ++nMarked;
                }
                else if (hit.m_nMesh < 0)
                {
                    EXPECT_EQ(fAlpha, fCount) << px << " " << py;
                }
            }
        EXPECT_GT(nMarked, 0);
    }
}

TEST_F(GBufferTest, PrimarySurfaceHoldsTheRayCastPositionsAndTheReciprocalLightVector)
{
    SceneLight* pLight = new SceneLight();
    pLight->m_vLightPosition = Vector3(3.0f, 7.0f, -6.0f);
    ASSERT_TRUE(m_pApp->m_Scene.AddLight(pLight));
    static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(1))->m_bVisible = 0;
    // Whatever the targets held before is cleared.
    for (IDirect3DTexture9* pTarget : {g_pGBufferTargets[0], g_pGBufferTargets[1]})
    {
        BindTextureTarget(Device(), 0, pTarget);
        Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 255, 255), 1.0f, 0);
    }
    m_pApp->RenderPrimarySurface();
    d3d9test::SurfaceData targets[2];
    for (int i = 0; i < 2; ++i)
    {
        IDirect3DSurface9* pSurface = nullptr;
        g_pGBufferTargets[i]->GetSurfaceLevel(0, &pSurface);
        ASSERT_TRUE(d3d9test::ReadSurface(pSurface, targets[i]));
        pSurface->Release();
    }
    // The hidden panel is left out: the wall behind it is what the cast without it finds.
    SceneMesh* pHidden = static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(1));
    const Matrix4 matKept = pHidden->m_matWorld;
    D3DXMATRIX away;
    D3DXMatrixTranslation(&away, 0.0f, 0.0f, 1000.0f);
    pHidden->m_matWorld = ToMatrix4(away);
    int nSurfaces = 0, nCompared = 0;
    for (UINT py = 0; py < SCREEN_HEIGHT; ++py)
        for (UINT px = 0; px < SCREEN_WIDTH; ++px)
        {
            const Hit hit = Cast(static_cast<float>(px), static_cast<float>(py));
            bool bEdge = false;
            for (float d : {-0.05f, 0.05f})
                bEdge = bEdge || Cast(px + d, py + 0.0f).m_nMesh != hit.m_nMesh ||
                        Cast(px + 0.0f, py + d).m_nMesh != hit.m_nMesh;
            if (bEdge)
                continue;
            ++nCompared;
            SCOPED_TRACE(testing::Message() << "pixel " << px << ", " << py << " mesh " << hit.m_nMesh);
            const float* p = targets[0].Pixel(px, py);
            const float* r = targets[1].Pixel(px, py);
            if (hit.m_nMesh < 0)
            {
                for (int i = 0; i < 4; ++i)
                {
                    EXPECT_EQ(p[i], 0.0f);
                    EXPECT_EQ(r[i], 0.0f);
                }
                continue;
            }
            ++nSurfaces;
            const float* p3 = &hit.m_vPosition.x;
            const float* l3 = &pLight->m_vLightPosition.x;
            for (int i = 0; i < 3; ++i)
            {
                EXPECT_NEAR(p[i], p3[i], 0.01f + 2e-3f * std::fabs(p3[i])) << "position " << i;
                const float fReciprocal = 1.0f / (l3[i] - p3[i]);
                EXPECT_NEAR(r[i], fReciprocal, 5e-3f * std::fabs(fReciprocal)) << "reciprocal " << i;
            }
            EXPECT_EQ(p[3], 1.0f);
            EXPECT_EQ(r[3], 1.0f);
        }
    pHidden->m_matWorld = matKept;
    EXPECT_GT(nCompared, static_cast<int>(SCREEN_WIDTH * SCREEN_HEIGHT / 2));
    EXPECT_GT(nSurfaces, static_cast<int>(SCREEN_WIDTH * SCREEN_HEIGHT / 4));
}
