// The earlier tracer variant's passes on the small back buffer, against what C++ computes of
// the same scene: the plane-clipped mesh pass draws exactly the visible meshes behind the mirror
// plane, culled counter-clockwise, over a cleared target; the shadow-ray tracer finds, for every
// visible point, the triangle between it and the light that a ray cast in C++ finds.
#include "TracerFixture.h"

#include "morvyn/morvyn.h"
#include "tracer/ShadowRayTracer.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"

#include <cmath>

namespace
{
// The screen rectangle (pixel units, y down) that the world-space rectangle at z = 0 covers.
struct ScreenRect
{
    float x0, y0, x1, y1;
    bool Holds(float x, float y, float fMargin) const
    {
        return x > x0 + fMargin && x < x1 - fMargin && y > y0 + fMargin && y < y1 - fMargin;
    }
};

// The edge cross-product test: t along d, u and v the weights of corners 1 and 2.
struct RayHit
{
    float t = -1, u = 0, v = 0;
};
RayHit Intersect(const D3DXVECTOR3& o, const D3DXVECTOR3& d, const D3DXVECTOR3* pCorners)
{
    const D3DXVECTOR3 e1 = pCorners[1] - pCorners[0], e2 = pCorners[2] - pCorners[0], s = o - pCorners[0];
    D3DXVECTOR3 p, q;
    D3DXVec3Cross(&p, &d, &e2);
    D3DXVec3Cross(&q, &s, &e1);
    const float fInv = 1.0f / D3DXVec3Dot(&e1, &p);
    RayHit hit{D3DXVec3Dot(&e2, &q) * fInv, D3DXVec3Dot(&s, &p) * fInv, D3DXVec3Dot(&d, &q) * fInv};
    if (!(hit.u > 0 && hit.v > 0 && hit.u + hit.v < 1))
        hit.t = -1;
    return hit;
}
}

class EarlierTracerPassTest : public TracerTest
{
protected:
    void SetUp() override
    {
        TracerTest::SetUp();
        ASSERT_TRUE(InitAndLoad());
        const D3DXVECTOR3 eye(0.0f, 0.0f, -10.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&m_View, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&m_Projection, 1.0f, static_cast<float>(SCREEN_WIDTH) / SCREEN_HEIGHT, 1.0f,
                                   50.0f);
        g_matView = ToMatrix4(m_View);
        g_matProjection = ToMatrix4(m_Projection);
    }

    // A rectangle in the plane z = 0 from (x0, y0) to (x1, y1), its centre offset at its middle;
    // wound clockwise on the screen (drawn under counter-clockwise culling) unless bReversed.
    SceneMesh* AddRectangle(float x0, float y0, float x1, float y1, bool bReversed)
    {
        const D3DXVECTOR3 a(x0, y0, 0), b(x0, y1, 0), c(x1, y1, 0), d(x1, y0, 0);
        SceneMesh* pMesh = bReversed ? AddMesh({a, c, b, a, d, c}) : AddMesh({a, b, c, a, c, d});
        pMesh->m_vOffset = Vector3(0.5f * (x0 + x1), 0.5f * (y0 + y1), 0.0f);
        return pMesh;
    }

    ScreenRect Project(float x0, float y0, float x1, float y1) const
    {
        const D3DXMATRIX vp = m_View * m_Projection;
        D3DXVECTOR3 lo, hi;
        const D3DXVECTOR3 p0(x0, y0, 0), p1(x1, y1, 0);
        D3DXVec3TransformCoord(&lo, &p0, &vp);
        D3DXVec3TransformCoord(&hi, &p1, &vp);
        const float w = static_cast<float>(SCREEN_WIDTH), h = static_cast<float>(SCREEN_HEIGHT);
        return {(lo.x + 1) * 0.5f * w, (1 - hi.y) * 0.5f * h, (hi.x + 1) * 0.5f * w, (1 - lo.y) * 0.5f * h};
    }

    d3d9test::SurfaceData ReadBackBuffer()
    {
        d3d9test::SurfaceData data;
        IDirect3DSurface9* pSurface = nullptr;
        Device()->GetRenderTarget(0, &pSurface);
        EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
        pSurface->Release();
        return data;
    }

    D3DXMATRIX m_View, m_Projection;
};

TEST_F(EarlierTracerPassTest, MeshesBehindThePlaneAreDrawnOverAClearedTarget)
{
    // The mirror plane x = 0, its front the side of positive x.
    g_MirrorPlane = D3DXPLANE(1.0f, 0.0f, 0.0f, 0.0f);
    struct Case
    {
        float x0, y0, x1, y1;
        bool bReversed, bHidden, bDrawn;
    };
    const Case cases[] = {
        {-5.0f, 0.5f, -1.0f, 3.0f, false, false, true},    // behind the plane
        {-5.0f, -3.0f, -1.0f, -0.5f, true, false, false},  // behind, but wound to be culled
        {1.0f, 0.5f, 5.0f, 3.0f, false, false, false},     // in front
        {-0.5f, -3.0f, 0.5f, -0.5f, false, false, true},   // centre on the plane
        {1.0f, -3.0f, 5.0f, -0.5f, false, true, false},    // hidden (centre moved behind below)
    };
    for (const Case& c : cases)
    {
        SceneMesh* pMesh = AddRectangle(c.x0, c.y0, c.x1, c.y1, c.bReversed);
        if (c.bHidden)
        {
            pMesh->m_bVisible = 0;
            pMesh->m_vOffset.x = -3.0f;
        }
    }
    // The caller's constants: world = identity with no centre offset, so every mesh lies where
    // its vertices say; the programs' light terms off, leaving ambient c3.y x the white diffuse map.
    SceneMesh first;
    first.m_matWorld.SetIdentity();
    m_pApp->SetTracerMeshConstants(first, m_View, m_Projection);
    const float ambient = 0.5f;
    const float pixel[][4] = {{1, 1, 1, 1}, {2, 1, 1, 1}, {0, 0, 0, 1}, {0, ambient, 0, 1}, {0, 0, 0, 0}};
    for (int n = 0; n < 5; ++n)
        Device()->SetPixelShaderConstantF(static_cast<UINT>(n), pixel[n], 1);
    const float c6[4] = {1, 0, 0, 0}, c10[4] = {1, 0, 0, 0}, c13[4] = {0, 0, 1, 0}, zero[4] = {};
    Device()->SetPixelShaderConstantF(6, c6, 1);
    Device()->SetPixelShaderConstantF(10, c10, 1);
    Device()->SetPixelShaderConstantF(13, c13, 1);
    for (UINT n : {7u, 9u, 11u, 12u, 14u, 17u})
        Device()->SetPixelShaderConstantF(n, zero, 1);
    m_pApp->BindTracerTexture(0, m_pApp->m_nWhiteTexture);
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 255, 255), 1.0f, 0);

    m_pApp->DrawMeshesBehindPlane();
    const d3d9test::SurfaceData image = ReadBackBuffer();
    DWORD nCull = 0;
    Device()->GetRenderState(D3DRS_CULLMODE, &nCull);
    EXPECT_EQ(nCull, static_cast<DWORD>(D3DCULL_CCW));
    int nDrawn = 0, nClear = 0;
    for (UINT py = 0; py < SCREEN_HEIGHT; ++py)
        for (UINT px = 0; px < SCREEN_WIDTH; ++px)
        {
            // Pixel centres lie on whole coordinates.
            const float x = static_cast<float>(px), y = static_cast<float>(py);
            bool bInside = false, bNear = false, bDrawn = false;
            for (const Case& c : cases)
            {
                const ScreenRect rect = Project(c.x0, c.y0, c.x1, c.y1);
                bNear = bNear || (rect.Holds(x, y, -1.0f) && !rect.Holds(x, y, 1.0f));
                if (rect.Holds(x, y, 0.0f))
                {
                    bInside = true;
                    bDrawn = c.bDrawn;
                }
            }
            if (bNear)
                continue;
            const float* p = image.Pixel(px, py);
            SCOPED_TRACE(testing::Message() << "pixel " << px << ", " << py);
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(p[i], bInside && bDrawn ? ambient : 0.0f, 1.0f / 255) << i;
            ++(bInside && bDrawn ? nDrawn : nClear);
        }
    EXPECT_GT(nDrawn, 100);
    EXPECT_GT(nClear, 100);
}

class ShadowRayTracerTest : public EarlierTracerPassTest
{
protected:
    void SetUp() override
    {
        EarlierTracerPassTest::SetUp();
        // A floor, a square above it and a ceiling above the light: the ceiling lies on every
        // floor point's ray beyond the light and must block nothing.
        AddSquare(0.0f, 4.0f);
        AddSquare(2.0f, 1.0f);
        AddSquare(6.0f, 4.0f);
        m_pLight = new SceneLight();
        m_pLight->m_vLightPosition = Vector3(0.5f, 4.0f, 0.3f);
        ASSERT_TRUE(m_pApp->m_Scene.AddLight(m_pLight));
        const D3DXVECTOR3 eye(0.0f, 5.0f, -7.0f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
        D3DXMatrixLookAtLH(&m_View, &eye, &at, &up);
        g_matView = ToMatrix4(m_View);
        m_pApp->m_Scene.m_Camera.m_vEyePosition = Vector3(eye.x, eye.y, eye.z);
        g_nGridSize = 4;
        m_pApp->BuildTriangleGrid();
        m_nKeptTracePhoton = g_bTracePhoton;
        g_bTracePhoton = 1;
    }

    void TearDown() override
    {
        g_bTracePhoton = m_nKeptTracePhoton;
        EarlierTracerPassTest::TearDown();
    }

    // A horizontal square of half-size h at height y.
    void AddSquare(float y, float h)
    {
        const D3DXVECTOR3 a(-h, y, -h), b(-h, y, h), c(h, y, h), d(h, y, -h);
        const std::vector<D3DXVECTOR3> corners = {a, b, c, a, c, d};
        AddMesh(corners);
        m_Triangles.insert(m_Triangles.end(), corners.begin(), corners.end());
    }

    // The nearest triangle under the screen point, or t < 0.
    RayHit CastFromEye(float px, float py, D3DXVECTOR3& point) const
    {
        D3DXMATRIX inverse, vp = m_View * m_Projection;
        D3DXMatrixInverse(&inverse, nullptr, &vp);
        const float x = 2.0f * px / SCREEN_WIDTH - 1.0f, y = 1.0f - 2.0f * py / SCREEN_HEIGHT;
        D3DXVECTOR3 nearPoint(x, y, 0.0f), farPoint(x, y, 1.0f), o, f;
        D3DXVec3TransformCoord(&o, &nearPoint, &inverse);
        D3DXVec3TransformCoord(&f, &farPoint, &inverse);
        RayHit best;
        for (size_t t = 0; t < m_Triangles.size(); t += 3)
        {
            const RayHit hit = Intersect(o, f - o, &m_Triangles[t]);
            if (hit.t >= 0 && (best.t < 0 || hit.t < best.t))
                best = hit;
        }
        point = o + (f - o) * best.t;
        return best;
    }

    // The triangle between the point and the light (0.005 < t < 1), or t < 0.
    RayHit ShadowHit(const D3DXVECTOR3& point) const
    {
        const D3DXVECTOR3 light(m_pLight->m_vLightPosition.x, m_pLight->m_vLightPosition.y,
                                m_pLight->m_vLightPosition.z);
        RayHit found;
        for (size_t t = 0; t < m_Triangles.size(); t += 3)
        {
            const RayHit hit = Intersect(point, light - point, &m_Triangles[t]);
            if (hit.t > 0.005f && hit.t < 1.0f)
                found = hit;
        }
        return found;
    }

    SceneLight* m_pLight = nullptr;
    std::vector<D3DXVECTOR3> m_Triangles;
    int32_t m_nKeptTracePhoton = 0;
};

TEST_F(ShadowRayTracerTest, EveryPointsRecordNamesTheTriangleBetweenItAndTheLight)
{
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 255, 255), 1.0f, 0);
    m_pApp->RenderShadowRayTracer();
    const d3d9test::SurfaceData image = ReadBackBuffer();

    int nShadowed = 0, nLit = 0, nEmpty = 0;
    for (UINT py = 0; py < SCREEN_HEIGHT; ++py)
        for (UINT px = 0; px < SCREEN_WIDTH; ++px)
        {
            D3DXVECTOR3 point;
            const RayHit seen = CastFromEye(static_cast<float>(px), static_cast<float>(py), point);
            // Pixels on a surface's edge, and points on the edge of a shadow, are left to rounding.
            bool bEdge = false;
            for (float d : {-0.1f, 0.1f})
            {
                D3DXVECTOR3 near;
                bEdge = bEdge || (CastFromEye(px + d, py + 0.0f, near).t < 0) != (seen.t < 0) ||
                        (CastFromEye(px + 0.0f, py + d, near).t < 0) != (seen.t < 0);
            }
            if (bEdge)
                continue;
            const float* p = image.Pixel(px, py);
            SCOPED_TRACE(testing::Message() << "pixel " << px << ", " << py);
            if (seen.t < 0)
            {
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(p[i], 0.0f);
                ++nEmpty;
                continue;
            }
            const RayHit shadow = ShadowHit(point);
            bool bShadowEdge = false;
            for (const D3DXVECTOR3& offset : {D3DXVECTOR3(0.03f, 0, 0), D3DXVECTOR3(-0.03f, 0, 0),
                                              D3DXVECTOR3(0, 0, 0.03f), D3DXVECTOR3(0, 0, -0.03f)})
                bShadowEdge = bShadowEdge || (ShadowHit(point + offset).t < 0) != (shadow.t < 0);
            if (bShadowEdge)
                continue;
            const float expected[3] = {shadow.t < 0 ? 0.0f : shadow.t, shadow.t < 0 ? 0.0f : shadow.u,
                                       shadow.t < 0 ? 0.0f : shadow.v};
            for (int i = 0; i < 3; ++i)
                EXPECT_NEAR(p[i], expected[i], 4.0f / 255) << "channel " << i;
            ++(shadow.t < 0 ? nLit : nShadowed);
        }
    EXPECT_GT(nShadowed, 50);
    EXPECT_GT(nLit, 50);
    EXPECT_GT(nEmpty, 20);
    // The device's states come back: the back buffer as target, depth on.
    DWORD nZ = 0;
    Device()->GetRenderState(D3DRS_ZENABLE, &nZ);
    EXPECT_EQ(nZ, static_cast<DWORD>(TRUE));
}

TEST_F(ShadowRayTracerTest, WithoutTracePhotonOnlyThePrimarySurfaceIsDrawn)
{
    g_bTracePhoton = 0;
    Device()->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 255, 255, 255), 1.0f, 0);
    m_pApp->RenderShadowRayTracer();
    const d3d9test::SurfaceData image = ReadBackBuffer();
    for (UINT py = 0; py < SCREEN_HEIGHT; ++py)
        for (UINT px = 0; px < SCREEN_WIDTH; ++px)
            ASSERT_EQ(image.Pixel(px, py)[0], 1.0f) << px << ", " << py;
    EXPECT_EQ(g_pCellTriangleTexture, nullptr);
}
