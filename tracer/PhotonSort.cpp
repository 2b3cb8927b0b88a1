// RenderApp's photon sort and cell index: every photon block's positions become a list of
// (cell, photon address) entries, sorted on the device by a bitonic network of pixel passes;
// the sorted list is read back and one point per grid cell writes where the cell's run starts
// into the block's grid texture. The first emanate tile also measures how many photons an
// occupied cell holds, which scales the gather.
#include "app/RenderApp.h"
#include "core/Log.h"
#include "tracer/GatherShortcuts.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace
{
// Vertex programs 40 (screen quad) and 43 (grid point); pixel programs 133 (list entry), 122
// (compare-exchange), 134 (copy) and 109 (grid write).
constexpr int QUAD_VERTEX_PROGRAM = 40;
constexpr int GRID_POINT_VERTEX_PROGRAM = 43;
constexpr int ENTRY_PIXEL_PROGRAM = 133;
constexpr int SORT_PIXEL_PROGRAM = 122;
constexpr int COPY_PIXEL_PROGRAM = 134;
constexpr int GRID_WRITE_PIXEL_PROGRAM = 109;
// Pixel program 158 writes c1 everywhere.
constexpr int CLEAR_PIXEL_PROGRAM = 158;
// Points per draw of the cell index.
constexpr int32_t POINTS_PER_DRAW = 65535;

struct GridPoint
{
    float x, y;
    float u, v;
};
static_assert(sizeof(GridPoint) == 16, "grid points are uploaded byte for byte");

bool IsPowerOfTwo(int32_t n)
{
    return n > 0 && (n & (n - 1)) == 0;
}
}

void RenderApp::DrawTracerQuad(int nPixelProgram)
{
    m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
    m_pRenderer->SelectVertexShader(m_VertexShaders[QUAD_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[nPixelProgram]);
    m_pRenderer->ApplyShaders();
    if (m_pQuadVB)
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
}

void RenderApp::CopyTracerTexture(IDirect3DTexture9* pSource, IDirect3DTexture9* pTarget)
{
    BindTextureTarget(m_pDevice, 0, pTarget);
    m_pDevice->SetTexture(0, pSource);
    DrawTracerQuad(COPY_PIXEL_PROGRAM);
}

void RenderApp::SortPhotonBlocks(int nBlocks)
{
    const int32_t l = g_nLightTargetSize;
    if (!m_pDevice || !m_pRenderer || nBlocks <= 0)
        return;
    if (!IsPowerOfTwo(l))
    {
        LogError("RenderApp::SortPhotonBlocks() - light targets of side %d cannot be sorted; the side must be a "
                 "power of two.",
                 l);
        return;
    }
    const float fL = static_cast<float>(l);
    const float fG = static_cast<float>(g_nGridTextureSize > 0 ? g_nGridTextureSize : 1);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    SetPointSampling();
    SetGridConstants();
    UnbindTargets(m_pDevice);

    // The entries of block 0 go straight to the sort's first target, the others wait in their
    // own list target.
    const float keyScale[4] = {1.0f / fG, 1.0f / fG, 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(24, keyScale, 1);
    for (int b = 0; b < nBlocks; ++b)
    {
        BindTextureTarget(m_pDevice, 0, b == 0 ? g_pSortTargets[0] : g_pLightTargetsB[b]);
        m_pDevice->SetTexture(0, g_pLightTargetsA[b]);
        DrawTracerQuad(ENTRY_PIXEL_PROGRAM);
    }

    const float c20[4] = {1.0f, fL, 0.0f, 0.0f}, c25[4] = {1.0f, fG, 0.0f, 0.0f}, c26[4] = {0.0f, 0.0f, 1.0f, fL};
    m_pDevice->SetPixelShaderConstantF(20, c20, 1);
    m_pDevice->SetPixelShaderConstantF(25, c25, 1);
    m_pDevice->SetPixelShaderConstantF(26, c26, 1);
    // log2 of the entry count: the network has n stages of 1 to n steps.
    int n = 0;
    while ((static_cast<int64_t>(1) << n) < static_cast<int64_t>(l) * l)
        ++n;
    for (int b = 0; b < nBlocks; ++b)
    {
        int p = 0;
        for (int k = 0; k < n; ++k)
            for (int r = 0; r <= k; ++r)
            {
                const float d = static_cast<float>(int64_t(1) << (k - r));
                const float w = static_cast<float>(int64_t(1) << (k + 1));
                const float c21[4] = {fL / (2.0f * d), fL / w, 0.0f, 1.0f};
                const float c22[4] = {d, 0.5f, 0.0f, 1.0f};
                const float c23[4] = {2.0f * d, 2.0f, 0.0f, 1.0f};
                const float c24[4] = {d / fL, 1.0f / fL, 0.0f, 1.0f};
                m_pDevice->SetPixelShaderConstantF(21, c21, 1);
                m_pDevice->SetPixelShaderConstantF(22, c22, 1);
                m_pDevice->SetPixelShaderConstantF(23, c23, 1);
                m_pDevice->SetPixelShaderConstantF(24, c24, 1);
                BindTextureTarget(m_pDevice, 0, g_pSortTargets[1 - p]);
                m_pDevice->SetTexture(0, g_pSortTargets[p]);
                DrawTracerQuad(SORT_PIXEL_PROGRAM);
                p = 1 - p;
            }
        // The pass count is odd for some sides, so the sorted list may end in either target.
        CopyTracerTexture(g_pSortTargets[p], g_pLightTargetsB[b]);
        if (b + 1 < nBlocks)
            CopyTracerTexture(g_pLightTargetsB[b + 1], g_pSortTargets[0]);
    }
    m_pDevice->SetTexture(0, nullptr);
}

void RenderApp::BuildCellIndex(int nBlocks, bool bStatistics)
{
    const int32_t nGrid = g_nGridSize, g = g_nGridTextureSize;
    const int64_t nCells = static_cast<int64_t>(nGrid) * nGrid * nGrid;
    std::vector<int64_t> counters;
    if (m_pDevice && m_pRenderer && nBlocks > 0 && nCells > 0 && g > 0 && nCells <= static_cast<int64_t>(g) * g)
    {
        counters.assign(static_cast<size_t>(nCells), 0);
        IDirect3DVertexBuffer9* pPoints = nullptr;
        if (FAILED(m_pDevice->CreateVertexBuffer(static_cast<UINT>(nCells * sizeof(GridPoint)), D3DUSAGE_WRITEONLY, 0,
                                                 D3DPOOL_DEFAULT, &pPoints, nullptr)))
        {
            LogError("RenderApp::BuildCellIndex() - the %lld grid points could not be made; no photon is gathered.",
                     static_cast<long long>(nCells));
            pPoints = nullptr;
        }
        for (int b = 0; pPoints && b < nBlocks; ++b)
            IndexPhotonBlock(b, pPoints, counters);
        ReleaseTracerObject(pPoints);
    }
    if (!bStatistics)
        return;
    int64_t nOccupied = 0, nPhotons = 0;
    for (int64_t nCount : counters)
    {
        nOccupied += nCount > 0;
        nPhotons += nCount;
    }
    g_nOccupiedCells = static_cast<int32_t>(nOccupied);
    g_nAverageCellPhotons = nOccupied > 0 ? static_cast<int32_t>(nPhotons / nOccupied) : EMPTY_GRID_CELL_PHOTONS;
}

void RenderApp::IndexPhotonBlock(int b, IDirect3DVertexBuffer9* pPoints, std::vector<int64_t>& counters)
{
    const int32_t l = g_nLightTargetSize, g = g_nGridTextureSize;
    const int64_t nCells = static_cast<int64_t>(counters.size());
    // Until the block's list is read, any cell may hold photons as far as the gather knows.
    if (static_cast<int>(g_PhotonCellOccupancy.size()) <= b)
        g_PhotonCellOccupancy.resize(static_cast<size_t>(b) + 1);
    std::vector<uint8_t>& occupancy = g_PhotonCellOccupancy[static_cast<size_t>(b)];
    occupancy.assign(static_cast<size_t>(nCells), 1);
    IDirect3DSurface9* pReadback = g_pListReadbackSurface;
    if (!pReadback)
        return;
    m_pDevice->SetRenderTarget(0, pReadback);
    m_pDevice->SetTexture(0, g_pLightTargetsB[b]);
    DrawTracerQuad(COPY_PIXEL_PROGRAM);

    D3DLOCKED_RECT locked{};
    void* pData = nullptr;
    if (FAILED(pReadback->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    {
        LogError("RenderApp::IndexPhotonBlock() - the sorted list of block %d could not be read.", b);
        return;
    }
    if (FAILED(pPoints->Lock(0, 0, &pData, 0)))
    {
        pReadback->UnlockRect();
        LogError("RenderApp::IndexPhotonBlock() - the grid points of block %d could not be written.", b);
        return;
    }
    GridPoint* pPoint = static_cast<GridPoint*>(pData);
    for (int64_t c = 0; c < nCells; ++c)
        pPoint[c] = {static_cast<float>(c % g), static_cast<float>(c / g), -1.0f, -1.0f};
    std::fill(occupancy.begin(), occupancy.end(), 0);
    // Runs of equal cells: the first entry of a valid cell's run is its list address.
    const BYTE* pRows = static_cast<const BYTE*>(locked.pBits);
    const int64_t nEntries = static_cast<int64_t>(l) * l;
    int64_t nRunCell = -1, nRunStart = 0;
    auto endRun = [&](int64_t e) {
        if (nRunCell >= 0 && nRunCell < nCells)
            counters[static_cast<size_t>(nRunCell)] += e - nRunStart;
    };
    for (int64_t e = 0; e < nEntries; ++e)
    {
        float entry[4];
        std::memcpy(entry, pRows + (e / l) * locked.Pitch + (e % l) * sizeof(entry), sizeof(entry));
        const int64_t nCell =
            static_cast<int64_t>(static_cast<float>(g) * entry[0]) +
            static_cast<int64_t>(static_cast<float>(g) * entry[1] * static_cast<float>(g));
        if (e > 0 && nCell == nRunCell)
            continue;
        endRun(e);
        nRunCell = nCell;
        nRunStart = e;
        if (nCell >= 0 && nCell < nCells)
        {
            occupancy[static_cast<size_t>(nCell)] = 1;
            pPoint[nCell].u = static_cast<float>(e % l);
            pPoint[nCell].v = static_cast<float>(e / l);
        }
    }
    endRun(nEntries);
    // Full rows of the grid texture hold cells only: with the shortcut on, one quad gives their
    // empty cells (-1, -1) and points carry the occupied cells and those of the last, partial row.
    const bool bQuadRows = g_GatherShortcuts.bIndexOccupiedCellsOnly && nCells / g > 0;
    const int64_t nQuadCells = bQuadRows ? nCells / g * g : 0;
    int64_t nPoints = 0;
    for (int64_t c = 0; c < nCells; ++c)
        if (c >= nQuadCells || occupancy[static_cast<size_t>(c)])
            pPoint[nPoints++] = pPoint[c];
    pPoints->Unlock();
    pReadback->UnlockRect();

    // The grid texture may be larger than the screen-size depth surface, which the device
    // cannot draw with; the quad and the points test no depth.
    BindTextureTarget(m_pDevice, 0, g_pGridTextures[b]);
    IDirect3DSurface9* pDepth = nullptr;
    m_pDevice->GetDepthStencilSurface(&pDepth);
    m_pDevice->SetDepthStencilSurface(nullptr);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    if (bQuadRows)
    {
        const D3DVIEWPORT9 rows{0, 0, static_cast<DWORD>(g), static_cast<DWORD>(nCells / g), 0.0f, 1.0f};
        const D3DVIEWPORT9 whole{0, 0, static_cast<DWORD>(g), static_cast<DWORD>(g), 0.0f, 1.0f};
        const float empty[4] = {-1.0f, -1.0f, 0.0f, 0.0f};
        float kept[4] = {};
        m_pDevice->GetPixelShaderConstantF(1, kept, 1);
        m_pDevice->SetPixelShaderConstantF(1, empty, 1);
        m_pDevice->SetViewport(&rows);
        DrawTracerQuad(CLEAR_PIXEL_PROGRAM);
        m_pDevice->SetViewport(&whole);
        m_pDevice->SetPixelShaderConstantF(1, kept, 1);
    }
    m_pDevice->SetVertexDeclaration(g_pPointDecl);
    m_pDevice->SetStreamSource(0, pPoints, 0, sizeof(GridPoint));
    const float fG = static_cast<float>(g);
    const float c0[4] = {1.0f / fG, 1.0f / fG, 0.0f, 1.0f}, c1[4] = {2.0f, -1.0f, 0.0f, 1.0f};
    m_pDevice->SetVertexShaderConstantF(0, c0, 1);
    m_pDevice->SetVertexShaderConstantF(1, c1, 1);
    m_pRenderer->SelectVertexShader(m_VertexShaders[GRID_POINT_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[GRID_WRITE_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    for (int64_t nFirst = 0; nFirst < nPoints; nFirst += POINTS_PER_DRAW)
        m_pDevice->DrawPrimitive(D3DPT_POINTLIST, static_cast<UINT>(nFirst),
                                 static_cast<UINT>(std::min<int64_t>(POINTS_PER_DRAW, nPoints - nFirst)));
    m_pDevice->SetDepthStencilSurface(pDepth);
    ReleaseTracerObject(pDepth);
}

void RenderApp::SortAndIndexPhotons(int nBlocks, bool bFirstTile)
{
    // The light passes bind material maps through the renderer; the sort sets its lists on the
    // device directly, so the renderer's record is emptied before and after.
    if (m_pDevice)
        UnbindTracerTextures(m_pDevice, m_pRenderer);
    SortPhotonBlocks(nBlocks);
    BuildCellIndex(nBlocks, bFirstTile);
    if (m_pDevice)
        UnbindTracerTextures(m_pDevice, m_pRenderer);
    g_nIndexedPhotonBlocks = nBlocks;
}
