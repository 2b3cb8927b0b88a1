// The main scene pass on small scenes read back at 64 x 64.
#include "ScenePassFixture.h"

#include "raster/FrustumPlanes.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "3dapi/Renderer.h"

TEST_F(ScenePassTest, CentreOfALitQuadMatchesTheLightingFormula)
{
    SceneMaterial* pMaterial = AddMaterial();
    AddQuad(0, 0, 0, 6, 6, pMaterial);
    AddLight(D3DLIGHT_POINT, 2, 3, -4);
    RenderFrame();
    d3d9test::SurfaceData data = ReadTarget();
    // The centre pixel sees (0, 0, 0). Diffuse: material x light x max(0, N.L) with the bump
    // normal of a mid-grey map (n = 1/255 on every axis) at bump power 0.01, plus the ambient term (white diffuse map, white
    // light cube, no attenuation, black gloss: no specular, no reflection).
    const float bp = 0.01f, n = 2.0f * 128.0f / 255.0f - 1.0f;
    float N[3] = {bp * n, bp * n, bp * n + 1.0f};
    float fLength = std::sqrt(N[0] * N[0] + N[1] * N[1] + N[2] * N[2]);
    // Tangent space of the quad: the normal is -z; the light vector's component along it.
    float fL = std::sqrt(4.0f + 9.0f + 16.0f);
    float fCos = (N[2] / fLength) * (4.0f / fL);
    const float material[3] = {0.8f, 0.6f, 0.4f}, light[3] = {0.9f, 0.8f, 0.7f};
    const float* pixel = Pixel(data, SIZE / 2, SIZE / 2);
    for (int c = 0; c < 3; ++c)
    {
        float expected = std::min(1.0f, std::min(1.0f, material[c] * light[c] * fCos) + 0.1f);
        EXPECT_NEAR(pixel[c], expected, 1.0f / 255.0f) << "channel " << c;
    }
    // Outside the quad the colour buffer was cleared to black.
    EXPECT_EQ(Pixel(data, 1, 1)[0], 0.0f);
    EXPECT_EQ(g_nVisibleFaces, 2);
}

namespace
{
uint64_t Draws(IDirect3DDevice9* pDevice)
{
    return d3d9test::Stats(pDevice).nDraws;
}
}

TEST_F(ScenePassTest, AnOccludedMeshGetsNoLightPassesUnlessTheDeviceHasNoQueries)
{
    SceneMaterial* pMaterial = AddMaterial();
    AddQuad(0, 0, 5, 2, 2, pMaterial);    // behind
    AddQuad(0, 0, 0, 8, 8, pMaterial);    // in front, covering it
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    d3d9test::ResetStats(m_pDevice);
    RenderFrame();
    EXPECT_EQ(m_pApp->m_Visibility[0], 0u);
    EXPECT_GT(m_pApp->m_Visibility[1], 0u);
    // Two depth draws, one light pass.
    EXPECT_EQ(Draws(m_pDevice), 3u);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nQueries, 2u);

    // Without queries every mesh that lays depth is lit.
    m_pApp->m_bOcclusionQuerySupported = 0;
    d3d9test::ResetStats(m_pDevice);
    RenderFrame();
    EXPECT_EQ(m_pApp->m_Visibility[0], 1u);
    EXPECT_EQ(Draws(m_pDevice), 4u);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nQueries, 0u);
    EXPECT_GT(LitPixels(ReadTarget()), 0);
}

TEST_F(ScenePassTest, HiddenMeshIsNeitherQueriedNorDrawn)
{
    SceneMesh* pMesh = AddQuad(0, 0, 0, 6, 6, AddMaterial());
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    m_pApp->m_Visibility[0] = 7;
    pMesh->m_bVisible = 0;
    d3d9test::ResetStats(m_pDevice);
    RenderFrame();
    EXPECT_EQ(Draws(m_pDevice), 0u);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nQueries, 0u);
    EXPECT_EQ(m_pApp->m_Visibility[0], 0u);
    EXPECT_EQ(LitPixels(ReadTarget()), 0);
}

TEST_F(ScenePassTest, LightsOutOfRangeAreCulledButDirectionalLightsNever)
{
    // The quad's sphere: radius sqrt(3) x 6 / 2 = 5.2 around the origin; the light 20 away.
    AddQuad(0, 0, 0, 6, 6, AddMaterial());
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, 0, 0, -20, 14.0f);
    struct Case
    {
        const char* szName;
        D3DLIGHTTYPE nType;
        float fRange;
        bool bLit;
    };
    const Case cases[] = {{"point, range short of the sphere", D3DLIGHT_POINT, 14.0f, false},
                          {"point, range reaching the sphere", D3DLIGHT_POINT, 15.0f, true},
                          {"spot, range short of the sphere", D3DLIGHT_SPOT, 14.0f, false},
                          {"directional, range 0", D3DLIGHT_DIRECTIONAL, 0.0f, true}};
    for (const Case& c : cases)
    {
        pLight->m_Light.Type = c.nType;
        pLight->m_Light.Range = c.fRange;
        pLight->m_Light.Direction = {0, 0, -1};
        d3d9test::ResetStats(m_pDevice);
        RenderFrame();
        EXPECT_EQ(Draws(m_pDevice), c.bLit ? 2u : 1u) << c.szName;
    }
}

TEST_F(ScenePassTest, BackgroundOffClearsAndOnKeepsTheTarget)
{
    AddQuad(0, 0, 0, 4, 4, AddMaterial());
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    for (int bBackground : {0, 1})
    {
        g_bBackground = bBackground;
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 200, 0, 0), 1.0f, 0);
        RenderFrame();
        d3d9test::SurfaceData data = ReadTarget();
        EXPECT_NEAR(Pixel(data, 2, 2)[0], bBackground ? 200.0f / 255.0f : 0.0f, 1e-6f) << bBackground;
        EXPECT_GT(Pixel(data, SIZE / 2, SIZE / 2)[1], 0.1f) << bBackground;
    }
}

TEST_F(ScenePassTest, WireframeForcedForAllOrByTheMesh)
{
    SceneMesh* pMesh = AddQuad(0, 0, 0, 6, 6, AddMaterial());
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    RenderFrame();
    int nSolid = LitPixels(ReadTarget());
    // (24, 24) lies inside the first triangle, away from every edge.
    EXPECT_GT(Pixel(ReadTarget(), 24, 24)[0], 0.1f);
    struct Case
    {
        int32_t nForce;
        uint8_t bMesh;
        bool bWire;
    };
    for (Case c : {Case{1, 0, true}, Case{0, 1, true}, Case{0, 0, false}, Case{2, 0, false}})
    {
        g_bForceWireframe = c.nForce;
        pMesh->m_bWireframe = c.bMesh;
        RenderFrame();
        d3d9test::SurfaceData data = ReadTarget();
        EXPECT_EQ(Pixel(data, 24, 24)[0] == 0.0f, c.bWire) << c.nForce << " " << (int)c.bMesh;
        if (c.bWire)
        {
            EXPECT_GT(LitPixels(data), 0);
            EXPECT_LT(LitPixels(data), nSolid / 2);
        }
    }
}

TEST_F(ScenePassTest, TransparentMeshTakesABackAndAFrontPass)
{
    AddQuad(0, 0, 0, 6, 6, AddMaterial(0.5f));
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    for (int bRefraction : {0, 1})
    {
        g_bRefraction = bRefraction;
        d3d9test::ResetStats(m_pDevice);
        d3d9test::Recorder recorder(m_pDevice);
        RenderFrame();
        recorder.Stop();
        std::vector<std::string> calls = recorder.Texts({"SetRenderState", "DrawPrimitive"});
        // From the first light pass on: the blend, the culling, the draw, for each pass.
        std::vector<std::string> passes;
        bool bStarted = false;
        for (const std::string& call : calls)
        {
            bStarted = bStarted || call.find("CULLMODE, CCW") != std::string::npos;
            if (bStarted &&
                (call.find("DrawPrimitive") == 0 || call.find("CULLMODE") != std::string::npos ||
                 call.find("DESTBLEND") != std::string::npos))
                passes.push_back(call);
        }
        std::vector<std::string> expected = {"SetRenderState(CULLMODE, CCW)", "DrawPrimitive(TRIANGLELIST, 0, 2)",
                                             "SetRenderState(DESTBLEND, ONE)", "SetRenderState(CULLMODE, CW)",
                                             "DrawPrimitive(TRIANGLELIST, 0, 2)", "SetRenderState(DESTBLEND, ONE)",
                                             "SetRenderState(CULLMODE, CW)"};
        // With refraction the back pass replaces what lies behind.
        std::vector<std::string> before = {bRefraction ? "SetRenderState(DESTBLEND, ZERO)" : "SetRenderState(DESTBLEND, ONE)"};
        auto first = std::find(calls.begin(), calls.end(), "SetRenderState(CULLMODE, CCW)");
        ASSERT_NE(first, calls.end());
        EXPECT_EQ(*(first - 1), before[0]) << bRefraction;
        EXPECT_EQ(passes, expected) << bRefraction;
        // No depth pass for it; exactly one of the two passes faces the camera.
        EXPECT_EQ(d3d9test::Stats(m_pDevice).nQueries, 0u);
        EXPECT_GT(LitPixels(ReadTarget()), 0);
    }
}

TEST_F(ScenePassTest, OneFrameDrawsInTheOrderOfThePass)
{
    SceneMaterial* pMaterial = AddMaterial();
    SceneMesh* pFar = AddQuad(-2, 0, 5, 2, 2, pMaterial);
    SceneMesh* pNear = AddQuad(2, 0, 0, 2, 2, pMaterial);
    AddLight(D3DLIGHT_POINT, 2, 3, -4);
    SceneLight* pSun = AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    pSun->m_Light.Direction = {0, 0, -1};

    // The names the recorder gives the programs and buffers.
    Renderer& renderer = *m_pApp->GetRenderer();
    std::map<int, std::string> vs, ps;
    {
        d3d9test::Recorder names(m_pDevice);
        for (int id : {8, 0, 14})
        {
            renderer.SelectVertexShader(m_pApp->m_VertexShaders[id == 8 ? 0 : 8]);
            renderer.ApplyShaders();
            renderer.SelectVertexShader(m_pApp->m_VertexShaders[id]);
            renderer.ApplyShaders();
            vs[id] = names.Texts({"SetVertexShader"}).back();
        }
        for (int id : {53, 61})
        {
            renderer.SelectPixelShader(-1);
            renderer.ApplyShaders();
            renderer.SelectPixelShader(m_pApp->m_PixelShaders[id]);
            renderer.ApplyShaders();
            ps[id] = names.Texts({"SetPixelShader"}).back();
        }
        m_pDevice->SetStreamSource(0, pFar->m_pVertexBuffer, 0, 64);
        m_pDevice->SetStreamSource(0, pNear->m_pVertexBuffer, 0, 64);
        names.Stop();
        std::vector<std::string> streams = names.Texts({"SetStreamSource"});
        ASSERT_EQ(streams.size(), 2u);
        vs[-1] = streams[0];
        vs[-2] = streams[1];
        ps[-1] = names.Texts({"SetPixelShader"}).front();
    }
    const std::string draw = "DrawPrimitive(TRIANGLELIST, 0, 2)";
    const std::string farStream = vs[-1], nearStream = vs[-2];
    std::string query;
    d3d9test::Recorder recorder(m_pDevice);
    RenderFrame();
    recorder.Stop();
    std::vector<std::string> calls =
        recorder.Texts({"SetVertexShader", "SetPixelShader", "SetStreamSource", "DrawPrimitive", "Issue"});
    ASSERT_FALSE(calls.empty());
    for (const std::string& call : calls)
        if (call.find("Issue(") == 0)
        {
            query = call.substr(6, call.find(',') - 6);
            break;
        }
    const std::string begin = "Issue(" + query + ", BEGIN)", end = "Issue(" + query + ", END)";
    // Depth for both, nearest first, each inside its query; then, mesh by mesh in list order,
    // the point light (programs 900 and 653) and the directional light (914 and 661).
    std::vector<std::string> expected = {ps[-1], vs[8],
                                         nearStream, begin, draw, end,
                                         farStream, begin, draw, end,
                                         farStream, ps[53], vs[0], draw, ps[61], vs[14], draw,
                                         nearStream, ps[53], vs[0], draw, ps[61], vs[14], draw};
    EXPECT_EQ(calls, expected);
}

TEST_F(ScenePassTest, DirectionalLightOnOpaqueAndFlatTransparentMeshesGivesFiniteColours)
{
    // A float target shows what the programs wrote, NaN included.
    IDirect3DSurface9* pFloat = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(SIZE, SIZE, D3DFMT_A32B32G32R32F, D3DMULTISAMPLE_NONE, 0, FALSE, &pFloat,
                                            nullptr),
              D3D_OK);
    m_pDevice->SetRenderTarget(0, pFloat);
    AddQuad(-2, 0, 2, 3, 3, AddMaterial());
    AddQuad(1.5f, 0, 0, 3, 3, AddMaterial(0.5f));
    SceneLight* pSun = AddLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    pSun->m_Light.Direction = {0.3f, -0.4f, -0.8f};
    g_bReflection = 1;
    RenderFrame();
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pFloat, data));
    pFloat->Release();
    int nLit = 0;
    for (float f : data.rgba)
    {
        ASSERT_TRUE(std::isfinite(f));
        nLit += f > 0.01f ? 1 : 0;
    }
    EXPECT_GT(nLit, 0);
    // Both meshes are lit: the opaque one on the left, the flat transparent one on the right.
    EXPECT_GT(Pixel(data, 16, 32)[1], 0.05f);
    EXPECT_GT(Pixel(data, 44, 32)[1], 0.05f);
}

TEST_F(ScenePassTest, CubeFacesAfterTheFirstFrameRedrawOnlyForAVisibleMovingMesh)
{
    SceneMesh* pMesh = AddQuad(0, 0, 0, 6, 6, AddMaterial(0.5f));
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    g_nCompletedRenders = 5;
    struct Case
    {
        const char* szName;
        uint8_t bSceneChanged;
        int32_t bAutoSpin;
        int32_t bVisible;
        bool bDrawn;
    };
    // The only moving mesh is transparent: once it is seen the face is drawn in full.
    const Case cases[] = {{"no moving mesh", 0, 0, 1, false},
                          {"moving but hidden", 0, 1, 0, false},
                          {"moving transparent mesh in view", 0, 1, 1, true},
                          {"first frame: always drawn", 1, 0, 1, true}};
    for (const Case& c : cases)
    {
        g_bSceneChanged = c.bSceneChanged;
        pMesh->m_bAutoSpin = c.bAutoSpin;
        pMesh->m_bVisible = c.bVisible;
        g_nCompletedRenders = 5;
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_ARGB(255, 0, 0, 200), 1.0f, 0);
        RenderFrame(1);
        d3d9test::SurfaceData data = ReadTarget();
        // A face left alone keeps its colour, and the call ends before the tracer's step.
        EXPECT_EQ(Pixel(data, 2, 2)[2] > 0.5f, !c.bDrawn) << c.szName;
        EXPECT_EQ(g_nCompletedRenders, c.bDrawn ? 0 : 5) << c.szName;
        if (c.bDrawn)
        {
            EXPECT_GT(Pixel(data, SIZE / 2, SIZE / 2)[0], 0.1f) << c.szName;
        }
    }
}

TEST_F(ScenePassTest, AMovedMeshIsCulledAndLitWhereItIsNow)
{
    // Loaded at the origin (radius 0.87), then moved 3 to the right along its path.
    SceneMesh* pMesh = AddQuad(0, 0, 0, 1, 1, AddMaterial());
    D3DXMATRIX moved;
    D3DXMatrixTranslation(&moved, 3, 0, 0);
    pMesh->m_matWorld = ToMatrix4(moved);
    // 2.0 from the mesh now (1.13 from its sphere), 3.6 from where it was loaded (2.7).
    AddLight(D3DLIGHT_POINT, 3, 0, -2, 1.5f);
    d3d9test::ResetStats(m_pDevice);
    RenderFrame();
    EXPECT_EQ(Draws(m_pDevice), 2u);
    d3d9test::SurfaceData data = ReadTarget();
    // 3 units right at depth 10 with a 45-degree field: about pixel 32 + 3 / 4.14 x 32 = 55.
    EXPECT_GT(Pixel(data, 55, 32)[0], 0.1f);
    EXPECT_EQ(Pixel(data, 32, 32)[0], 0.0f);
}

TEST_F(ScenePassTest, FrustumPlanesFromEitherOrderOfMatrices)
{
    m_pApp->BuildFrustumPlanes();
    Plane frame[6];
    std::copy(g_FrustumPlanes, g_FrustumPlanes + 6, frame);
    // (projection, view) multiplies view x projection, as the frame's own build does.
    m_pApp->BuildFrustumPlanesFrom(ToD3DX(g_matProjection), ToD3DX(g_matView));
    for (int i = 0; i < 6; ++i)
    {
        EXPECT_EQ(g_FrustumPlanes[i].normal.x, frame[i].normal.x) << i;
        EXPECT_EQ(g_FrustumPlanes[i].d, frame[i].d) << i;
    }
    EXPECT_TRUE(m_pApp->IsPointInFrustumPlanes(0, 0, 0));
    EXPECT_FALSE(m_pApp->IsPointInFrustumPlanes(0, 0, -20));
    // This table's near plane lies at half the projection's near distance: z >= -9.5 here.
    EXPECT_FALSE(m_pApp->IsPointInFrustumPlanes(0, 0, -9.6f));
    EXPECT_TRUE(m_pApp->IsSphereInFrustumPlanes(0, 0, -10.2f, 1.0f));
    EXPECT_TRUE(m_pApp->IsCubeInFrustumPlanes(0, 0, -10.2f, 1.0f));
    // (view, projection) gives the planes of projection x view.
    m_pApp->BuildFrustumPlanesFrom(ToD3DX(g_matView), ToD3DX(g_matProjection));
    D3DXMATRIX view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection), m;
    D3DXMatrixMultiply(&m, &projection, &view);
    Plane swapped[6];
    ExtractFrustumPlanes(m, swapped);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(g_FrustumPlanes[i].d, swapped[i].d) << i;
}

TEST_F(ScenePassTest, AlphaBlendedOpaqueMeshShowsInEveryView)
{
    SceneMaterial* pMaterial = AddMaterial();
    pMaterial->m_bAlphaTransparency = 1;
    AddQuad(0, 0, 0, 6, 6, pMaterial);
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    g_bSceneChanged = 1;
    for (int nMode : {0, 1})
    {
        m_pApp->m_Visibility[nMode * RenderApp::MAX_MESHES] = 0;
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        RenderFrame(nMode);
        EXPECT_EQ(m_pApp->m_Visibility[nMode * RenderApp::MAX_MESHES], 1u) << nMode;
        EXPECT_GT(Pixel(ReadTarget(), SIZE / 2, SIZE / 2)[0], 0.05f) << nMode;
    }
}
