// Every tracer target as the device describes it after Load, the grid constants of the default
// grid, the sampling states, and the refusal to trace with a missing program.
#include "TracerFixture.h"

#include <d3d9/testing.h>

namespace
{
struct ExpectedSurface
{
    const char* m_szName;
    D3DSURFACE_DESC m_Desc;
};

D3DSURFACE_DESC Describe(IDirect3DTexture9* pTexture)
{
    D3DSURFACE_DESC desc{};
    EXPECT_NE(pTexture, nullptr);
    if (pTexture)
    {
        EXPECT_EQ(pTexture->GetLevelCount(), 1u);
        pTexture->GetLevelDesc(0, &desc);
    }
    return desc;
}

D3DSURFACE_DESC Describe(IDirect3DSurface9* pSurface)
{
    D3DSURFACE_DESC desc{};
    EXPECT_NE(pSurface, nullptr);
    if (pSurface)
        pSurface->GetDesc(&desc);
    return desc;
}

void ExpectSurface(const char* szName, const D3DSURFACE_DESC& desc, D3DFORMAT format, UINT w, UINT h, DWORD nUsage,
                   D3DPOOL pool)
{
    SCOPED_TRACE(szName);
    EXPECT_EQ(desc.Format, format);
    EXPECT_EQ(desc.Width, w);
    EXPECT_EQ(desc.Height, h);
    EXPECT_EQ(desc.Usage, nUsage);
    EXPECT_EQ(desc.Pool, pool);
}
}

TEST_F(TracerTest, LoadMakesEveryTargetAtItsFormatAndSize)
{
    ASSERT_TRUE(InitAndLoad());
    constexpr DWORD RT = D3DUSAGE_RENDERTARGET, DS = D3DUSAGE_DEPTHSTENCIL;
    constexpr D3DPOOL DEF = D3DPOOL_DEFAULT;
    constexpr D3DFORMAT HALF4 = D3DFMT_A16B16G16R16F, ARGB = D3DFMT_A8R8G8B8;
    const UINT w = SCREEN_WIDTH, h = SCREEN_HEIGHT, l = LIGHT_SIZE;
    EXPECT_EQ(g_nScreenWidth, 64);
    EXPECT_EQ(g_nScreenHeight, 48);

    ExpectSurface("cell coordinates", Describe(g_pCellCoordTarget), HALF4, w, h, RT, DEF);
    for (IDirect3DTexture9* pTarget : g_pGBufferTargets)
        ExpectSurface("G-buffer", Describe(pTarget), HALF4, w, h, RT, DEF);
    for (IDirect3DTexture9* pTarget : g_pPhotonTargets)
        ExpectSurface("photon sum", Describe(pTarget), HALF4, w, h, RT, DEF);
    ExpectSurface("list pointer", Describe(g_pListPointerTarget), D3DFMT_G16R16F, w, h, RT, DEF);
    ExpectSurface("photon address", Describe(g_pPhotonAddressTarget), HALF4, w, h, RT, DEF);
    ExpectSurface("view depth", Describe(g_pTracerDepthStencil), D3DFMT_D24S8, w, h, DS, DEF);
    // Narrower than 256: the auxiliary depth surface keeps 256 x 256.
    ExpectSurface("aux depth", Describe(g_pAuxDepthStencil), D3DFMT_D24S8, 256, 256, DS, DEF);
    ExpectSurface("path depth", Describe(g_pPathDepthStencil), D3DFMT_D24S8, w, h, DS, DEF);

    ExpectSurface("output", Describe(g_pOutputTexture), ARGB, w, h, D3DUSAGE_DYNAMIC, D3DPOOL_SYSTEMMEM);
    ExpectSurface("scene", Describe(g_pSceneTexture), ARGB, w, h, RT, DEF);
    ExpectSurface("read-back", Describe(g_pReadbackSurface), ARGB, w, h, RT, DEF);
    ExpectSurface("mirror", Describe(g_pMirrorTarget), D3DFMT_A16B16G16R16, l, l, RT, DEF);
    for (int i = 0; i < LIGHT_TARGET_COUNT; ++i)
    {
        ExpectSurface("photon positions", Describe(g_pLightTargetsA[i]), HALF4, l, l, RT, DEF);
        ExpectSurface("photon lists", Describe(g_pLightTargetsB[i]), HALF4, l, l, RT, DEF);
        ExpectSurface("photon light vectors", Describe(g_pLightTargetsC[i]), ARGB, l, l, RT, DEF);
        ExpectSurface("photon energies", Describe(g_pLightTargetsD[i]), ARGB, l, l, RT, DEF);
    }
    for (IDirect3DTexture9* pTarget : g_pSortTargets)
        ExpectSurface("sort", Describe(pTarget), HALF4, l, l, RT, DEF);
    ExpectSurface("list read-back", Describe(g_pListReadbackSurface), D3DFMT_A32B32G32R32F, l, l, RT, DEF);
    D3DLOCKED_RECT locked;
    ASSERT_EQ(g_pListReadbackSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    g_pListReadbackSurface->UnlockRect();
    ASSERT_EQ(g_pReadbackSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    g_pReadbackSurface->UnlockRect();
    ASSERT_NE(g_pCubeTarget, nullptr);
    D3DSURFACE_DESC cube{};
    g_pCubeTarget->GetLevelDesc(0, &cube);
    ExpectSurface("object cube", cube, D3DFMT_A16B16G16R16, l, l, RT, DEF);

    // The offset quad covers texels (0, 0) to (128, 128) of a screen-size texture.
    ASSERT_NE(m_pApp->m_pOffsetQuadVB, nullptr);
    QuadVertex quad[6];
    void* pData = nullptr;
    ASSERT_EQ(m_pApp->m_pOffsetQuadVB->Lock(0, 0, &pData, D3DLOCK_READONLY), D3D_OK);
    std::memcpy(quad, pData, sizeof(quad));
    m_pApp->m_pOffsetQuadVB->Unlock();
    EXPECT_EQ(quad[0].x, -1.0f);
    EXPECT_EQ(quad[0].y, -1.0f);
    EXPECT_FLOAT_EQ(quad[0].v, 128.0f / h);
    EXPECT_FLOAT_EQ(quad[2].u, 128.0f / w);
    EXPECT_EQ(quad[2].v, 0.0f);
    EXPECT_EQ(quad[4].u, 0.0f);
}

TEST_F(TracerTest, GridConstantsOfTheDefaultGridAndRegisterFourUntouched)
{
    ASSERT_TRUE(InitAndLoad());
    std::vector<D3DXVECTOR3> corners = {D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(10, 0, 0), D3DXVECTOR3(0, 10, 10)};
    AddMesh(corners);
    m_pApp->BuildTriangleGrid();
    const float marker[4] = {7.0f, 8.0f, 9.0f, 10.0f};
    Device()->SetPixelShaderConstantF(4, marker, 1);
    m_pApp->SetGridConstants();
    float c[16][4];
    ASSERT_EQ(Device()->GetPixelShaderConstantF(0, &c[0][0], 16), D3D_OK);
    const float cell = 12.0f / 48.0f;
    const float expected[16][4] = {
        {2, 1, 0, 1.0f / 512},      {-1, -1, -1, 1},        {11, 11, 11, 1},       {1 / cell, 1 / cell, 1 / cell, 1},
        {7, 8, 9, 10},              {1, 48, 2304, 1.0f / 48}, {10000, 0.01f, -1, 0.021f}, {1, -1, 0.1f, 1},
        {1.0f / 512, 0, 0, 1.0f / 512}, {0.00195313f, 0.09375f, 4.5f, 1}, {0, 0, 0, 0.5f}, {cell, cell, cell, 1},
        {1.0f / 64, 1.0f / 512, 3, 1.0f / g_nCellListLength}, {0, 1.0f / 512, 1.0f / 512, 0}, {0, 1, 1, 0},
        {1, 0, 0, 1}};
    for (int r = 0; r < 16; ++r)
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(c[r][i], expected[r][i], 1e-6f * std::max(1.0f, std::fabs(expected[r][i])))
                << "c" << r << "[" << i << "]";
}

TEST_F(TracerTest, PointSamplingThenRestoredStatesLeaveSamplerSevenPointFilteredButMirrored)
{
    ASSERT_TRUE(InitAndLoad());
    IDirect3DDevice9* pDevice = Device();
    m_pApp->SetPointSampling();
    for (DWORD s = 0; s < 8; ++s)
    {
        DWORD nMin = 0, nMag = 0, nU = 0, nV = 0;
        pDevice->GetSamplerState(s, D3DSAMP_MINFILTER, &nMin);
        pDevice->GetSamplerState(s, D3DSAMP_MAGFILTER, &nMag);
        pDevice->GetSamplerState(s, D3DSAMP_ADDRESSU, &nU);
        pDevice->GetSamplerState(s, D3DSAMP_ADDRESSV, &nV);
        EXPECT_EQ(nMin, static_cast<DWORD>(D3DTEXF_POINT)) << s;
        EXPECT_EQ(nMag, static_cast<DWORD>(D3DTEXF_POINT)) << s;
        EXPECT_EQ(nU, static_cast<DWORD>(D3DTADDRESS_CLAMP)) << s;
        EXPECT_EQ(nV, static_cast<DWORD>(D3DTADDRESS_CLAMP)) << s;
    }
    pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    IDirect3DSurface9* pBackBuffer = nullptr;
    ASSERT_EQ(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer), D3D_OK);
    m_pApp->RestoreRenderStates(pBackBuffer);
    const DWORD filters[8][3] = {{D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC},
                                 {D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC},
                                 {D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC},
                                 {D3DTEXF_LINEAR, D3DTEXF_LINEAR, D3DTEXF_LINEAR},
                                 {D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR},
                                 {D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR},
                                 {D3DTEXF_ANISOTROPIC, D3DTEXF_ANISOTROPIC, D3DTEXF_LINEAR},
                                 {D3DTEXF_POINT, D3DTEXF_POINT, 0}};
    for (DWORD s = 0; s < 8; ++s)
    {
        DWORD nMin = 0, nMag = 0, nMip = 0, nU = 0, nV = 0;
        pDevice->GetSamplerState(s, D3DSAMP_MINFILTER, &nMin);
        pDevice->GetSamplerState(s, D3DSAMP_MAGFILTER, &nMag);
        pDevice->GetSamplerState(s, D3DSAMP_MIPFILTER, &nMip);
        pDevice->GetSamplerState(s, D3DSAMP_ADDRESSU, &nU);
        pDevice->GetSamplerState(s, D3DSAMP_ADDRESSV, &nV);
        EXPECT_EQ(nMin, filters[s][0]) << s;
        EXPECT_EQ(nMag, filters[s][1]) << s;
        if (s < 7)
        {
            EXPECT_EQ(nMip, filters[s][2]) << s;
        }
        EXPECT_EQ(nU, static_cast<DWORD>(D3DTADDRESS_MIRROR)) << s;
        EXPECT_EQ(nV, static_cast<DWORD>(D3DTADDRESS_MIRROR)) << s;
    }
    DWORD nFunc = 0, nZ = 0;
    pDevice->GetRenderState(D3DRS_ZFUNC, &nFunc);
    pDevice->GetRenderState(D3DRS_ZENABLE, &nZ);
    EXPECT_EQ(nFunc, static_cast<DWORD>(D3DCMP_LESSEQUAL));
    EXPECT_EQ(nZ, static_cast<DWORD>(TRUE));
    IDirect3DSurface9* pTarget = nullptr;
    ASSERT_EQ(pDevice->GetRenderTarget(0, &pTarget), D3D_OK);
    pBackBuffer = nullptr;
    pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    EXPECT_EQ(pTarget, pBackBuffer);
    pTarget->Release();
    pBackBuffer->Release();
    IDirect3DVertexDeclaration9* pDeclaration = nullptr;
    pDevice->GetVertexDeclaration(&pDeclaration);
    EXPECT_EQ(pDeclaration, m_pApp->m_pMeshDecl);
    if (pDeclaration)
        pDeclaration->Release();
}

TEST_F(TracerTest, EveryTracerProgramLoadsAndAMissingOneIsNamedOnce)
{
    ASSERT_TRUE(InitAndLoad());
    for (int nId : {40, 52, 51})
        EXPECT_GE(m_pApp->m_VertexShaders[nId], 0) << nId;
    for (int nId : {141, 158, 128})
        EXPECT_GE(m_pApp->m_PixelShaders[nId], 0) << nId;
    // Every tracer entry present, but one made to fail.
    for (int i = 0; i < RenderApp::TRACER_VERTEX_PROGRAM_COUNT; ++i)
        m_pApp->m_VertexShaders[RenderApp::TRACER_VERTEX_PROGRAMS[i]] = 0;
    for (int i = 0; i < RenderApp::TRACER_PIXEL_PROGRAM_COUNT; ++i)
        m_pApp->m_PixelShaders[RenderApp::TRACER_PIXEL_PROGRAMS[i]] = 0;
    ClearLogLines();
    EXPECT_TRUE(m_pApp->CheckTracerPrograms());
    EXPECT_EQ(CountLogLines(LOG_ERROR, {}), 0);
    m_pApp->m_PixelShaders[158] = -1;
    EXPECT_FALSE(m_pApp->CheckTracerPrograms());
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::CheckTracerPrograms()", "pixel program 158 (resource 758)"}),
              1);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {}), 1);
    // A program the tracer does not use changes nothing.
    m_pApp->m_PixelShaders[158] = 0;
    m_pApp->m_PixelShaders[59] = -1;
    EXPECT_TRUE(m_pApp->CheckTracerPrograms());
}

TEST_F(TracerTest, RecreatedScreenTargetsTakeTheTileSizeAndKeepTheAuxDepthWideEnough)
{
    ASSERT_TRUE(InitAndLoad());
    constexpr DWORD RT = D3DUSAGE_RENDERTARGET, DS = D3DUSAGE_DEPTHSTENCIL;
    constexpr D3DPOOL DEF = D3DPOOL_DEFAULT;
    struct Case
    {
        int w, h;
        UINT nAux;
    } cases[] = {{200, 150, 256}, {320, 240, 320}, {40, 30, 256}};
    IDirect3DSurface9* pReadback = g_pReadbackSurface;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.w);
        ASSERT_TRUE(m_pApp->RecreateScreenTargets(c.w, c.h));
        const UINT w = static_cast<UINT>(c.w), h = static_cast<UINT>(c.h);
        ExpectSurface("cell coordinates", Describe(g_pCellCoordTarget), D3DFMT_A16B16G16R16F, w, h, RT, DEF);
        for (IDirect3DTexture9* pTarget : g_pGBufferTargets)
            ExpectSurface("G-buffer", Describe(pTarget), D3DFMT_A16B16G16R16F, w, h, RT, DEF);
        for (IDirect3DTexture9* pTarget : g_pPhotonTargets)
            ExpectSurface("photon sum", Describe(pTarget), D3DFMT_A16B16G16R16F, w, h, RT, DEF);
        ExpectSurface("list pointer", Describe(g_pListPointerTarget), D3DFMT_G16R16F, w, h, RT, DEF);
        ExpectSurface("photon address", Describe(g_pPhotonAddressTarget), D3DFMT_A16B16G16R16F, w, h, RT, DEF);
        ExpectSurface("view depth", Describe(g_pTracerDepthStencil), D3DFMT_D24S8, w, h, DS, DEF);
        const UINT nAuxH = c.nAux == w ? h : c.nAux;
        ExpectSurface("aux depth", Describe(g_pAuxDepthStencil), D3DFMT_D24S8, c.nAux, nAuxH, DS, DEF);
        ExpectSurface("path depth", Describe(g_pPathDepthStencil), D3DFMT_D24S8, w, h, DS, DEF);
        ExpectSurface("scene", Describe(g_pSceneTexture), D3DFMT_A8R8G8B8, w, h, RT, DEF);
    }
    // The read-back surface and the output image are not screen targets of the tile.
    EXPECT_EQ(g_pReadbackSurface, pReadback);
    ExpectSurface("read-back", Describe(g_pReadbackSurface), D3DFMT_A8R8G8B8, SCREEN_WIDTH, SCREEN_HEIGHT, RT, DEF);
    ClearLogLines();
    EXPECT_FALSE(m_pApp->RecreateScreenTargets(0, 48));
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::RecreateScreenTargets()"}), 1);
}

TEST_F(TracerTest, TracedRenderIsRefusedWithOneErrorNamingTheCause)
{
    ASSERT_TRUE(InitAndLoad());
    // Every tracer program present (not all are written yet), so each cause shows on its own.
    for (int i = 0; i < RenderApp::TRACER_VERTEX_PROGRAM_COUNT; ++i)
        m_pApp->m_VertexShaders[RenderApp::TRACER_VERTEX_PROGRAMS[i]] = 0;
    for (int i = 0; i < RenderApp::TRACER_PIXEL_PROGRAM_COUNT; ++i)
        m_pApp->m_PixelShaders[RenderApp::TRACER_PIXEL_PROGRAMS[i]] = 0;

    // No vertices: no grid, no trace.
    m_pApp->BuildTriangleGrid();
    ClearLogLines();
    EXPECT_FALSE(m_pApp->PrepareTracedRender());
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::PrepareTracedRender()", "no vertices"}), 1);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {}), 1);

    AddMesh({D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0)});
    m_pApp->BuildTriangleGrid();
    ClearLogLines();
    EXPECT_TRUE(m_pApp->PrepareTracedRender());
    EXPECT_EQ(CountLogLines(LOG_ERROR, {}), 0);

    m_pApp->m_VertexShaders[43] = -1;
    EXPECT_FALSE(m_pApp->PrepareTracedRender());
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"vertex program 43 (resource 943)"}), 1);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {}), 1);
    m_pApp->m_VertexShaders[43] = 0;

    IDirect3DQuery9* pQuery = m_pApp->m_pOcclusionQuery;
    m_pApp->m_pOcclusionQuery = nullptr;
    ClearLogLines();
    EXPECT_FALSE(m_pApp->PrepareTracedRender());
    EXPECT_EQ(CountLogLines(LOG_ERROR, {"RenderApp::PrepareTracedRender()", "occlusion query"}), 1);
    m_pApp->m_pOcclusionQuery = pQuery;
}
