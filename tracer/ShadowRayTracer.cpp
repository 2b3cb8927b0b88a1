// The earlier shadow-ray tracer: from every visible surface point a ray towards each enabled
// light walks the triangle grid cell by cell in pixel programs and is tested against the
// triangles of each cell's list, two at a time. Per pixel the record ends as (t, u, v, 1) for the
// triangle that blocks the light (t the fraction of the way to the light) or (0, 0, 0, 1) when
// nothing does; the last light's records are drawn into the back buffer.
//
// Which pixels a step works on is kept in the depth buffer: a record's state (0 intersecting in
// its cell, 0.5 moving to the next cell, 1 done) is written as depth, and the step's quad is drawn
// at a depth that passes only the pixels of its state. Each cycle tests the whole list of every
// intersecting ray's cell (step k reads entries 2k and 2k + 1), then moves every ray whose list
// ended without a hit into its next cell.
#include "tracer/ShadowRayTracer.h"

#include "app/RenderApp.h"
#include "core/Log.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "tracer/TracerGlobals.h"
#include "tracer/TriangleVertexUpload.h"

#include "3dapi/Renderer.h"

#include <utility>
#include <vector>

IDirect3DTexture9* g_pVoxelListTexture = nullptr;
IDirect3DTexture9* g_pCellTriangleTexture = nullptr;
IDirect3DTexture9* g_pCellCoordTarget2 = nullptr;
IDirect3DTexture9* g_pRayStateTarget = nullptr;

namespace
{
constexpr int QUAD_VERTEX_PROGRAM = 40;
enum ShadowRayProgram
{
    RAY_START = 108,
    LIST_POINTER = 116,
    STATE_DEPTH = 111,
    TRIANGLE_STEP = 103,
    STATE_INTO_CELL = 115,
    CELL_COPY = 113,
    TRAVERSAL_DEPTH = 110,
    NEXT_CELL = 106,
    STATE_INTO_RECORD = 114,
    RECORD_COMPOSITE = 112,
};
// A list step's quad lies at this depth: in front of the 0 of intersecting rays only.
constexpr float INTERSECTING_DEPTH = 0.25f;
// Entries 2k and 2k + 1 per step; a cell never holds more triangles than the scene, and the
// limit only guards a list that the texture could not end.
constexpr int MAX_LIST_STEPS = 4096;
// Records of a pixel without a surface, and of a ray that is done: state 1, no hit.
const D3DCOLOR DONE_RECORD = D3DCOLOR_ARGB(255, 0, 0, 0);

IDirect3DTexture9* MakeFloatTexture(IDirect3DDevice9* pDevice, UINT nSize)
{
    IDirect3DTexture9* pTexture = nullptr;
    if (FAILED(pDevice->CreateTexture(nSize, nSize, 1, 0, D3DFMT_A32B32G32R32F, D3DPOOL_MANAGED, &pTexture, nullptr)))
        return nullptr;
    return pTexture;
}

// Fills a square float texture from (column, row) pairs, texel i at (i mod size, i div size).
bool FillPairs(IDirect3DTexture9* pTexture, UINT nSize, const std::vector<float>& pairs)
{
    D3DLOCKED_RECT locked;
    if (FAILED(pTexture->LockRect(0, &locked, nullptr, 0)))
        return false;
    for (UINT y = 0; y < nSize; ++y)
    {
        float* pRow = reinterpret_cast<float*>(static_cast<BYTE*>(locked.pBits) + y * static_cast<UINT>(locked.Pitch));
        for (UINT x = 0; x < nSize; ++x)
        {
            const size_t i = static_cast<size_t>(y) * nSize + x;
            pRow[4 * x + 0] = 2 * i < pairs.size() ? pairs[2 * i] : 0.0f;
            pRow[4 * x + 1] = 2 * i < pairs.size() ? pairs[2 * i + 1] : 0.0f;
            pRow[4 * x + 2] = 0.0f;
            pRow[4 * x + 3] = 1.0f;
        }
    }
    pTexture->UnlockRect(0);
    return true;
}

// The grid's cell lists as the two textures: every cell, empty ones included, owns its run of
// the linear list and ends it with column -1.
bool MakeCellListTextures(IDirect3DDevice9* pDevice)
{
    const UINT G = static_cast<UINT>(g_nGridTextureSize), L = static_cast<UINT>(g_nCellListTextureSize);
    const int32_t S = g_nTriangleTextureSize;
    if (G == 0 || L == 0 || S <= 0 || static_cast<size_t>(G) * G < g_GridCells.size())
        return false;
    std::vector<float> pointers, entries;
    pointers.reserve(2 * g_GridCells.size());
    for (const GridCell& cell : g_GridCells)
    {
        const size_t nFirst = entries.size() / 2;
        pointers.push_back(static_cast<float>(nFirst % L));
        pointers.push_back(static_cast<float>(nFirst / L));
        for (int32_t t : cell.m_Triangles)
        {
            entries.push_back(static_cast<float>(t % S));
            entries.push_back(static_cast<float>(t / S));
        }
        entries.push_back(-1.0f);
        entries.push_back(0.0f);
    }
    if (entries.size() / 2 > static_cast<size_t>(L) * L)
        return false;
    ReleaseTracerObject(g_pVoxelListTexture);
    ReleaseTracerObject(g_pCellTriangleTexture);
    g_pVoxelListTexture = MakeFloatTexture(pDevice, G);
    g_pCellTriangleTexture = MakeFloatTexture(pDevice, L);
    return g_pVoxelListTexture && g_pCellTriangleTexture && FillPairs(g_pVoxelListTexture, G, pointers) &&
           FillPairs(g_pCellTriangleTexture, L, entries);
}

// The two screen-size records no other pass makes, at the cell target's size.
bool MakeRecordTargets(IDirect3DDevice9* pDevice)
{
    D3DSURFACE_DESC desc{};
    if (!g_pCellCoordTarget || FAILED(g_pCellCoordTarget->GetLevelDesc(0, &desc)))
        return false;
    for (IDirect3DTexture9** ppTarget : {&g_pCellCoordTarget2, &g_pRayStateTarget})
    {
        D3DSURFACE_DESC own{};
        if (*ppTarget && SUCCEEDED((*ppTarget)->GetLevelDesc(0, &own)) && own.Width == desc.Width &&
            own.Height == desc.Height)
            continue;
        ReleaseTracerObject(*ppTarget);
        if (FAILED(pDevice->CreateTexture(desc.Width, desc.Height, 1, D3DUSAGE_RENDERTARGET, desc.Format,
                                          D3DPOOL_DEFAULT, ppTarget, nullptr)))
        {
            *ppTarget = nullptr;
            return false;
        }
    }
    return true;
}
}

void RenderApp::ReleaseShadowRayTextures()
{
    ReleaseTracerObject(g_pVoxelListTexture);
    ReleaseTracerObject(g_pCellTriangleTexture);
    ReleaseTracerObject(g_pCellCoordTarget2);
    ReleaseTracerObject(g_pRayStateTarget);
    ReleaseTriangleVertexTextures();
}

namespace
{
// The full-screen quad with the pixel program into the bound targets; with bCount, the samples
// that passed the depth test.
DWORD DrawQuad(RenderApp& app, int nPixelProgram, bool bCount = false)
{
    app.m_pRenderer->SelectPixelShader(app.m_PixelShaders[nPixelProgram]);
    app.m_pRenderer->ApplyShaders();
    if (!bCount)
    {
        app.m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
        return 0;
    }
    IDirect3DQuery9* pQuery = app.m_pOcclusionQuery;
    pQuery->Issue(D3DISSUE_BEGIN);
    app.m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    pQuery->Issue(D3DISSUE_END);
    DWORD nSamples = 0;
    HRESULT hr;
    while ((hr = pQuery->GetData(&nSamples, sizeof(nSamples), D3DGETDATA_FLUSH)) == S_FALSE)
    {
    }
    return hr == S_OK ? nSamples : 0;
}

void SetDepth(IDirect3DDevice9* pDevice, bool bTest, D3DCMPFUNC nFunction = D3DCMP_ALWAYS, bool bWrite = false)
{
    pDevice->SetRenderState(D3DRS_ZENABLE, bTest ? TRUE : FALSE);
    pDevice->SetRenderState(D3DRS_ZFUNC, nFunction);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, bWrite ? TRUE : FALSE);
}

// The rays of the light through the grid; returns which of the two records holds the result.
int TraceShadowRays(RenderApp& app, const SceneLight& light)
{
    IDirect3DDevice9* pDevice = app.m_pDevice;
    const float c4[4] = {light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z, 1.0f};
    pDevice->SetPixelShaderConstantF(4, c4, 1);
    IDirect3DTexture9* records[2] = {g_pPhotonTargets[0], g_pPhotonTargets[1]};
    IDirect3DTexture9* cells[2] = {g_pCellCoordTarget, g_pCellCoordTarget2};
    int a = 0;

    // Start: every record done, then the rays of the surface points intersecting in their cell.
    SetDepth(pDevice, false);
    for (IDirect3DTexture9* pTarget : {records[0], cells[0]})
    {
        BindTextureTarget(pDevice, 0, pTarget);
        pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, DONE_RECORD, 1.0f, 0);
    }
    BindTextureTarget(pDevice, 0, records[0]);
    BindTextureTarget(pDevice, 1, cells[0]);
    pDevice->SetTexture(0, g_pGBufferTargets[0]);
    DrawQuad(app, RAY_START);
    pDevice->SetRenderTarget(1, nullptr);
    pDevice->SetTexture(2, g_pVoxelListTexture);
    pDevice->SetTexture(3, g_pCellTriangleTexture);
    for (DWORD j = 0; j < 3; ++j)
        pDevice->SetTexture(4 + j, g_pTriangleVertexTextures[j]);

    // A ray crosses at most 3 N cells: one cycle each, and one to find that none is left.
    const float fListStep = 1.0f / static_cast<float>(g_nCellListTextureSize);
    const float fGridStep = 1.0f / static_cast<float>(g_nGridTextureSize);
    const int nMaxCycles = 3 * g_nGridSize + 1;
    const float c8[4] = {fListStep, 0.0f, 0.0f, fGridStep};
    for (int nCycle = 0; nCycle < nMaxCycles; ++nCycle)
    {
        // The list address of each ray's cell.
        pDevice->SetPixelShaderConstantF(8, c8, 1);
        SetDepth(pDevice, false);
        BindTextureTarget(pDevice, 0, g_pListPointerTarget);
        pDevice->SetTexture(1, cells[0]);
        DrawQuad(app, LIST_POINTER);

        // The cell's list, two entries a step, for the rays still intersecting: the states as
        // depth, then the step drawn at a depth in front of the intersecting rays' 0 only.
        pDevice->SetTexture(1, g_pListPointerTarget);
        for (int k = 0; k < MAX_LIST_STEPS; ++k)
        {
            SetDepth(pDevice, true, D3DCMP_LESS, true);
            BindTextureTarget(pDevice, 0, g_pRayStateTarget);
            pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
            pDevice->SetTexture(0, records[a]);
            DrawQuad(app, STATE_DEPTH);

            const float c8Step[4] = {2.0f * static_cast<float>(k) * fListStep,
                                     (2.0f * static_cast<float>(k) + 1.0f) * fListStep, 0.0f, fGridStep};
            pDevice->SetPixelShaderConstantF(8, c8Step, 1);
            SetDepth(pDevice, true, D3DCMP_GREATER, false);
            BindTextureTarget(pDevice, 0, records[a]);
            pDevice->SetTexture(0, g_pGBufferTargets[0]);
            D3DVIEWPORT9 viewport;
            pDevice->GetViewport(&viewport);
            viewport.MinZ = 0.0f;
            viewport.MaxZ = INTERSECTING_DEPTH;
            pDevice->SetViewport(&viewport);
            const DWORD nIntersecting = DrawQuad(app, TRIANGLE_STEP, true);
            viewport.MaxZ = 1.0f;
            pDevice->SetViewport(&viewport);
            if (nIntersecting == 0)
                break;
        }
        pDevice->SetPixelShaderConstantF(8, c8, 1);

        // The records' states into the cell records.
        SetDepth(pDevice, false);
        BindTextureTarget(pDevice, 0, cells[1]);
        pDevice->SetTexture(0, records[a]);
        pDevice->SetTexture(1, cells[0]);
        DrawQuad(app, STATE_INTO_CELL);
        std::swap(cells[0], cells[1]);

        // One cell on for the rays whose list ended: every cell record copied (which also sets
        // the depth to 1), the moving rays marked with depth 0, then stepped.
        SetDepth(pDevice, true, D3DCMP_GREATEREQUAL, true);
        BindTextureTarget(pDevice, 0, cells[1]);
        pDevice->SetTexture(0, cells[0]);
        pDevice->SetTexture(1, nullptr);
        DrawQuad(app, CELL_COPY);
        SetDepth(pDevice, true, D3DCMP_LESS, true);
        pDevice->SetTexture(1, cells[0]);
        if (DrawQuad(app, TRAVERSAL_DEPTH, true) == 0)
            break;
        SetDepth(pDevice, true, D3DCMP_GREATER, false);
        pDevice->SetTexture(0, g_pGBufferTargets[0]);
        DrawQuad(app, NEXT_CELL);
        std::swap(cells[0], cells[1]);

        // The new states into the other record.
        SetDepth(pDevice, false);
        BindTextureTarget(pDevice, 0, records[1 - a]);
        pDevice->SetTexture(0, records[a]);
        pDevice->SetTexture(1, cells[0]);
        DrawQuad(app, STATE_INTO_RECORD);
        a = 1 - a;
    }
    return a;
}
}

void RenderApp::RenderShadowRayTracer()
{
    if (!g_bGridBuilt || !m_pQuadVB || !m_pOcclusionQuery || !g_pTracerDepthStencil || !g_pGBufferTargets[0])
    {
        LogError("RenderApp::RenderShadowRayTracer() - the scene has no grid or the tracer's targets are missing.");
        return;
    }
    const bool bTrace = g_bTracePhoton == 1;
    if (bTrace)
        UploadTriangleVertices();
    IDirect3DSurface9 *pBackBuffer = nullptr, *pDepth = nullptr;
    m_pDevice->GetRenderTarget(0, &pBackBuffer);
    m_pDevice->GetDepthStencilSurface(&pDepth);
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    SetPointSampling();
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    RenderPrimarySurface();

    bool bTraced = false;
    int nRecord = 0;
    if (bTrace && g_pTriangleVertexTextures[0] && MakeCellListTextures(m_pDevice) && MakeRecordTargets(m_pDevice))
    {
        m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        SetGridConstants();
        m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
        m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
        m_pRenderer->SelectVertexShader(m_VertexShaders[QUAD_VERTEX_PROGRAM]);
        for (uint32_t i = 0; i < m_Scene.m_Lights.GetCount(); ++i)
        {
            const SceneLight* pLight = static_cast<const SceneLight*>(m_Scene.m_Lights.Get(i));
            if (pLight && pLight->m_bEnabled)
            {
                nRecord = TraceShadowRays(*this, *pLight);
                bTraced = true;
            }
        }
    }
    else if (bTrace)
        LogError("RenderApp::RenderShadowRayTracer() - the triangle or cell textures could not be made.");

    // The last light's records, scaled by c31.x, into the back buffer.
    m_pDevice->SetDepthStencilSurface(pDepth);
    if (bTraced)
    {
        m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
        const float c31[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        m_pDevice->SetPixelShaderConstantF(31, c31, 1);
        for (DWORD nStage = 1; nStage < 8; ++nStage)
            m_pDevice->SetTexture(nStage, nullptr);
        m_pDevice->SetTexture(0, g_pPhotonTargets[nRecord]);
        m_pDevice->SetRenderTarget(0, pBackBuffer);
        m_pRenderer->SelectPixelShader(m_PixelShaders[RECORD_COMPOSITE]);
        m_pRenderer->ApplyShaders();
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    }
    UnbindTracerTextures(m_pDevice, m_pRenderer);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    if (pDepth)
        pDepth->Release();
    RestoreRenderStates(pBackBuffer);
}
