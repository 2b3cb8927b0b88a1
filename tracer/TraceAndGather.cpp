// RenderApp's photon trace and gather: the photons that one light's passes stored, gathered at
// the points the tile shows. Every pixel visits the cells around its point's cell, nearest shell
// first, and walks each cell's run in the sorted photon list two photons a pass, adding a
// distance-weighted diffuse and specular contribution of each photon within the search radius,
// until its weighted count reaches the kind's photon count, the run ends or the step cap is met.
// Finished pixels drop out through the depth buffer, finished tile triangles through occlusion
// queries. What the CPU knows beforehand (tracer/GatherShortcuts.h) keeps triangles that cannot
// gather anything out of a walk from its start.
//
// Depth protocol: the quads lie at z = 1 and the buffer is cleared to 1.0 once per call. The
// photon-address pass writes depth 0 (under LESS) where a pixel goes on and leaves 1.0 where it
// is finished; the estimate pass (under GREATER) runs only where 0 is stored and writes 1.0 back,
// so every pixel holds 1.0 again when a cell's walk ends.
#include "app/RenderApp.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "tracer/GatherNeighbourhood.h"
#include "tracer/GatherShortcuts.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"


#include <algorithm>
#include <cmath>
#include <iterator>

namespace
{
constexpr int QUAD_VERTEX_PROGRAM = 40;
constexpr int ESTIMATE_PIXEL_PROGRAM = 123;
constexpr int LIST_POINTER_PIXEL_PROGRAM = 129;
constexpr int CELL_COORD_PIXEL_PROGRAM = 130;
constexpr int SHADE_PIXEL_PROGRAM = 131;
constexpr int ADDRESS_PIXEL_PROGRAM = 135;
constexpr int SCALED_COPY_PIXEL_PROGRAM = 141;
constexpr int PAIR_COPY_PIXEL_PROGRAM = 152;
// The gather's radius factors: direct photons look wider than global ones.
constexpr float DIRECT_RADIUS_FACTOR = 1.5f;
constexpr float GLOBAL_RADIUS_FACTOR = 0.5f;
constexpr float EULER = 2.7182817f;
// The fewest pixels one occlusion query of the gather covers: on the software device a query and
// its draw cost about as much as shading a dozen pixels, so on small tiles a query takes a run of
// triangles (a 640 x 480 tile still has one per triangle).
constexpr int64_t MIN_QUERY_PIXELS = 12;

// The photon kind's count N, search radius S, Gaussian coefficient g and radius factor f.
struct PhotonKindParameters
{
    int32_t nPhotons;
    float fSearchRadius;
    float fGaussian;
    float fRadiusFactor;
};
struct GridCellCoord
{
    int32_t x, y, z;
    bool operator<(const GridCellCoord& o) const { return x != o.x ? x < o.x : y != o.y ? y < o.y : z < o.z; }
    bool operator==(const GridCellCoord& o) const { return x == o.x && y == o.y && z == o.z; }
};

// A cell coordinate read back from its half float (a whole number); anything not finite reads as
// -1, outside every grid.
int32_t CellOf(float fCoordinate)
{
    return std::isfinite(fCoordinate) ? static_cast<int32_t>(std::floor(fCoordinate)) : -1;
}

// The distinct grid cells of the tile's visible points, read back from the cell-coordinate
// target; false when it cannot be read.
bool ReadVisibleCells(IDirect3DDevice9* pDevice, std::vector<GridCellCoord>& cells)
{
    cells.clear();
    int32_t nWidth = 0, nHeight = 0;
    std::vector<float> rgba;
    if (!ReadHalfFloatTarget(pDevice, g_pCellCoordTarget, nWidth, nHeight, rgba))
        return false;
    cells.reserve(rgba.size() / 4);
    for (size_t i = 0; i < rgba.size(); i += 4)
        cells.push_back({CellOf(rgba[i]), CellOf(rgba[i + 1]), CellOf(rgba[i + 2])});
    std::sort(cells.begin(), cells.end());
    cells.erase(std::unique(cells.begin(), cells.end()), cells.end());
    return true;
}

// Whether a visible point's cell moved by the offset is a cell of the grid where block b has
// photons. When it is not so for any visible point, every pixel's walk of that neighbour cell
// would end at its first photon-address pass, having changed nothing.
bool MayFindPhotons(const std::vector<GridCellCoord>& cells, int b, const D3DXVECTOR4& vOffset)
{
    const int32_t n = g_nGridSize;
    const size_t nCells = static_cast<size_t>(n) * n * n;
    if (b >= static_cast<int>(g_PhotonCellOccupancy.size()) || g_PhotonCellOccupancy[b].size() != nCells)
        return true;
    const std::vector<uint8_t>& occupancy = g_PhotonCellOccupancy[b];
    const int32_t dx = static_cast<int32_t>(vOffset.x), dy = static_cast<int32_t>(vOffset.y),
                  dz = static_cast<int32_t>(vOffset.z);
    for (const GridCellCoord& c : cells)
    {
        const int32_t x = c.x + dx, y = c.y + dy, z = c.z + dz;
        if (x >= 0 && y >= 0 && z >= 0 && x < n && y < n && z < n &&
            occupancy[static_cast<size_t>(x) + static_cast<size_t>(n) * (y + static_cast<size_t>(n) * z)])
            return true;
    }
    return false;
}

// The current walk's tile quads on the CPU (empty when the walk draws from its vertex buffer),
// and the list of the triangles one draw takes from them.
std::vector<QuadVertex> s_TileQuadVertices;
std::vector<QuadVertex> s_DrawnVertices;

// Draws the listed triangles (sorted indexes): as one list copied from the CPU quads when they
// are known, so the device bins the whole pass over its workers, otherwise as one draw of the
// bound vertex buffer per run of consecutive triangles.
void DrawTileTriangleList(IDirect3DDevice9* pDevice, const int* pFirst, const int* pLast)
{
    if (!s_TileQuadVertices.empty())
    {
        s_DrawnVertices.clear();
        for (const int* p = pFirst; p != pLast; ++p)
            s_DrawnVertices.insert(s_DrawnVertices.end(), s_TileQuadVertices.begin() + 3 * *p,
                                   s_TileQuadVertices.begin() + 3 * *p + 3);
        if (!s_DrawnVertices.empty())
            pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, static_cast<UINT>(s_DrawnVertices.size() / 3),
                                     s_DrawnVertices.data(), sizeof(QuadVertex));
        return;
    }
    for (const int* p = pFirst; p != pLast;)
    {
        const int* q = p + 1;
        while (q != pLast && *q == q[-1] + 1)
            ++q;
        pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<UINT>(3 * *p), static_cast<UINT>(q - p));
        p = q;
    }
}

// An ended occlusion query's count, waited for.
DWORD ReadSamples(IDirect3DQuery9* pQuery)
{
    DWORD nSamples = 0;
    while (pQuery->GetData(&nSamples, sizeof(nSamples), D3DGETDATA_FLUSH) == S_FALSE)
    {
    }
    return nSamples;
}

// The pixels a draw of the listed triangles passes, through one occlusion query.
int64_t CountDrawnPixels(IDirect3DDevice9* pDevice, IDirect3DQuery9* pQuery, const std::vector<int>& triangles)
{
    pQuery->Issue(D3DISSUE_BEGIN);
    DrawTileTriangleList(pDevice, triangles.data(), triangles.data() + triangles.size());
    pQuery->Issue(D3DISSUE_END);
    return ReadSamples(pQuery);
}

// The indexes of the triangles whose done flag is clear, in order.
void ListActive(const std::vector<uint8_t>& done, std::vector<int>& active)
{
    active.clear();
    for (int t = 0; t < static_cast<int>(done.size()); ++t)
        if (!done[t])
            active.push_back(t);
}

PhotonKindParameters GetKindParameters(int nKind)
{
    if (nKind == 1)
        return {g_nGlobalPhoton, g_fGlobalSearchRadius, g_fGlobalGaussianCoef, GLOBAL_RADIUS_FACTOR};
    return {g_nDirectPhoton, g_fDirectSearchRadius, g_fDirectGaussianCoef, DIRECT_RADIUS_FACTOR};
}

}

void RenderApp::DrawTileTriangles(const std::vector<int>& triangles)
{
    DrawTileTriangleList(m_pDevice, triangles.data(), triangles.data() + triangles.size());
}

int64_t RenderApp::CountGatheringPixels(std::vector<int>& active, int nTriangles)
{
    // One query covers a run of tile triangles holding at least MIN_QUERY_PIXELS pixels. Every
    // active run's query is issued before the first is read, so the device runs the pass as one
    // batch; the list is settled before the next pass is issued.
    const int nRun = QueryRunLength(nTriangles);
    const int nRuns = (nTriangles + nRun - 1) / nRun;
    while (static_cast<int>(m_GatherQueries.size()) < nRuns)
    {
        IDirect3DQuery9* pQuery = nullptr;
        if (FAILED(m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &pQuery)))
            break;
        m_GatherQueries.push_back(pQuery);
    }
    const bool bBatched = static_cast<int>(m_GatherQueries.size()) >= nRuns;
    int64_t nPixels = 0;
    // The query run of each draw, its triangles as [begin, end) within the list, and whether it
    // passed nothing.
    struct GatherRun
    {
        int nRun;
        size_t nBegin, nEnd;
        bool bDone;
    };
    std::vector<GatherRun> runs;
    auto readCount = [&nPixels](IDirect3DQuery9* pQuery, GatherRun& run) {
        const DWORD nSamples = ReadSamples(pQuery);
        run.bDone = nSamples == 0;
        nPixels += nSamples;
    };
    for (size_t i = 0; i < active.size();)
    {
        const int r = active[i] / nRun;
        size_t j = i + 1;
        while (j < active.size() && active[j] / nRun == r)
            ++j;
        GatherRun run{r, i, j, false};
        IDirect3DQuery9* pQuery = bBatched ? m_GatherQueries[r] : m_pOcclusionQuery;
        pQuery->Issue(D3DISSUE_BEGIN);
        DrawTileTriangleList(m_pDevice, active.data() + i, active.data() + j);
        pQuery->Issue(D3DISSUE_END);
        if (!bBatched)
            readCount(pQuery, run);
        runs.push_back(run);
        i = j;
    }
    if (bBatched)
        for (GatherRun& run : runs)
            readCount(m_GatherQueries[run.nRun], run);
    // The triangles of the runs that passed nothing leave the list.
    size_t nKept = 0;
    for (const GatherRun& run : runs)
        if (!run.bDone)
            for (size_t i = run.nBegin; i < run.nEnd; ++i)
                active[nKept++] = active[i];
    active.resize(nKept);
    return nPixels;
}

int RenderApp::QueryRunLength(int nTriangles) const
{
    const int64_t nPixels = static_cast<int64_t>(g_nTileWidth > 0 ? g_nTileWidth : g_nScreenWidth) *
                            (g_nTileHeight > 0 ? g_nTileHeight : g_nScreenHeight);
    int nRun = 1;
    while (nRun < nTriangles && nPixels * nRun < MIN_QUERY_PIXELS * static_cast<int64_t>(nTriangles))
        nRun *= 2;
    return nRun;
}

void RenderApp::TraceAndGatherPhotons(SceneLight* pLight, int nMode, int nKind, int, int)
{
    if (!m_pDevice || !m_pRenderer || !pLight || !m_pOcclusionQuery || !m_pQuadVB || !m_pTileQuadVB)
        return;
    const PhotonKindParameters kind = GetKindParameters(nKind);
    const float fL = static_cast<float>(g_nLightTargetSize > 0 ? g_nLightTargetSize : 1);
    const int32_t nAverage = std::max<int32_t>(g_nAverageCellPhotons, 1);
    const GatherRadius radius =
        ComputeGatherRadius(g_vCellSize, kind.fSearchRadius, kind.nPhotons, kind.fRadiusFactor, nAverage);
    std::vector<D3DXVECTOR4> offsets;
    BuildCellOffsetTable(radius.m_nShells, offsets);
    // Only the blocks the light's passes made hold its photons; the others keep an earlier light's.
    const int nBlocks = std::min(g_nIndexedPhotonBlocks, LIGHT_TARGET_COUNT);

    SetPointSampling();
    SetGridConstants();
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    UnbindTextures(m_pDevice, 0);
    UnbindTargets(m_pDevice);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
    m_pRenderer->SelectVertexShader(m_VertexShaders[QUAD_VERTEX_PROGRAM]);

    // The grid cell of every visible point.
    BindTextureTarget(m_pDevice, 0, g_pCellCoordTarget);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pDevice->SetTexture(0, g_pGBufferTargets[0]);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pRenderer->SelectPixelShader(m_PixelShaders[CELL_COORD_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);

    // The walk's tile quads: smaller than the tile vertex buffer's on large tiles.
    const int32_t nTileWidth = g_nTileWidth > 0 ? g_nTileWidth : g_nScreenWidth;
    const int32_t nTileHeight = g_nTileHeight > 0 ? g_nTileHeight : g_nScreenHeight;
    int nColumns = GatherQuadsPerAxis(nTileWidth), nRows = GatherQuadsPerAxis(nTileHeight);
    IDirect3DVertexBuffer9* pTileQuads = m_pTileQuadVB;
    IDirect3DVertexBuffer9* pFineQuads = nullptr;
    if (nColumns != TILE_QUADS_PER_AXIS || nRows != TILE_QUADS_PER_AXIS)
    {
        if (SUCCEEDED(m_pDevice->CreateVertexBuffer(
                static_cast<UINT>(nColumns * nRows * QUAD_VERTEX_COUNT * sizeof(QuadVertex)), D3DUSAGE_WRITEONLY, 0,
                D3DPOOL_DEFAULT, &pFineQuads, nullptr)) &&
            WriteTileQuads(pFineQuads, nColumns, nRows))
            pTileQuads = pFineQuads;
        else
        {
            ReleaseTracerObject(pFineQuads);
            nColumns = nRows = TILE_QUADS_PER_AXIS;
        }
    }
    const int nTriangles = 2 * nColumns * nRows;
    s_TileQuadVertices.clear();
    if (g_GatherShortcuts.bDrawActiveAsOneList)
        BuildTileQuads(nColumns, nRows, s_TileQuadVertices);

    std::vector<GridCellCoord> visibleCells;
    const bool bCellsKnown =
        g_GatherShortcuts.bSkipEmptyPairs && nBlocks > 0 && ReadVisibleCells(m_pDevice, visibleCells);
    GatherReach reach;
    const bool bReachKnown = (g_GatherShortcuts.bSkipUnreachableTriangles || g_GatherShortcuts.bSkipFinishedTriangles) &&
                             nBlocks > 0 && reach.Read(m_pDevice, g_pCellCoordTarget, g_pGBufferTargets[0], nColumns, nRows);

    const Vector3& vEye = m_Scene.m_Camera.m_vEyePosition;
    const float fR2 = radius.m_fRadiusSquared, fH2 = radius.m_fHalfDiagonalSquared;
    const float fR = std::sqrt(fR2);
    const float fN = static_cast<float>(kind.nPhotons);
    const float c4[4] = {vEye.x, vEye.y, vEye.z, 1.0f};
    const float c16[4] = {g_vCellSize.x / 2, g_vCellSize.y / 2, g_vCellSize.z / 2, fR2 + fH2 + 2.0f * std::sqrt(fH2 * fR2)};
    const float c24[4] = {1.0f / fL, 1.0f / fL, 0.0f, 1.0f};
    const float c27[4] = {0.0f, 0.0f, 0.0f, EULER};
    const float c28[4] = {0.0f, fR > 0.0f ? -kind.fGaussian / fR : 0.0f, 0.0f, 0.0f};
    const float c31[4] = {fR2, fN, fR2, fN};
    m_pDevice->SetPixelShaderConstantF(4, c4, 1);
    m_pDevice->SetPixelShaderConstantF(16, c16, 1);
    m_pDevice->SetPixelShaderConstantF(24, c24, 1);
    m_pDevice->SetPixelShaderConstantF(27, c27, 1);
    m_pDevice->SetPixelShaderConstantF(28, c28, 1);
    m_pDevice->SetPixelShaderConstantF(31, c31, 1);

    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pDevice->SetStreamSource(0, pTileQuads, 0, sizeof(QuadVertex));

    int p = 0;
    int64_t nPixelTotal = 0;
    // The triangles where photon targets p and 1 - p may hold different sums: all of them on
    // entry, then those the last radiance-estimate pass drew. A walk that flips p over a triangle
    // it does not draw needs the two equal there. The walks keep their triangles as sorted lists
    // of indexes, so that a pass costs the CPU what it draws, not the whole tile.
    std::vector<int> differing(nTriangles), active, copied;
    for (int t = 0; t < nTriangles; ++t)
        differing[t] = t;
    std::vector<uint8_t> done(nTriangles), finished(nTriangles, 0);
    std::vector<float> sums;
    const D3DXVECTOR3 vGridMin(g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z);
    for (int b = 0; b < nBlocks; ++b)
    {
        // A pixel whose count has reached N gathers nothing more in this call.
        int32_t nSumsWidth = 0, nSumsHeight = 0;
        if (bReachKnown && g_GatherShortcuts.bSkipFinishedTriangles &&
            ReadHalfFloatTarget(m_pDevice, g_pPhotonTargets[p], nSumsWidth, nSumsHeight, sums))
            reach.MarkFinished(sums, fN, finished);
        // Without the block's occupancy every cell may hold photons.
        static const std::vector<uint8_t> unknownOccupancy;
        const std::vector<uint8_t>& occupancy =
            b < static_cast<int>(g_PhotonCellOccupancy.size()) ? g_PhotonCellOccupancy[b] : unknownOccupancy;
        for (const D3DXVECTOR4& vOffset : offsets)
        {
            if (bCellsKnown && !MayFindPhotons(visibleCells, b, vOffset))
                continue;
            done = finished;
            if (bReachKnown && g_GatherShortcuts.bSkipUnreachableTriangles)
            {
                if (!reach.MarkUnreachable(occupancy, g_nGridSize, vOffset, c16[3], g_vCellSize, vGridMin, done))
                    continue;
            }
            else if (std::all_of(done.begin(), done.end(), [](uint8_t bDone) { return bDone != 0; }))
                continue;
            ListActive(done, active);
            m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
            m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
            m_pDevice->SetPixelShaderConstantF(30, &vOffset.x, 1);

            // Where the neighbour cell's run starts, for every pixel.
            BindTextureTarget(m_pDevice, 0, g_pListPointerTarget);
            m_pDevice->SetRenderTarget(1, nullptr);
            m_pDevice->SetTexture(0, g_pGBufferTargets[0]);
            m_pDevice->SetTexture(1, g_pCellCoordTarget);
            m_pDevice->SetTexture(2, g_pGridTextures[b]);
            m_pRenderer->SelectPixelShader(m_PixelShaders[LIST_POINTER_PIXEL_PROGRAM]);
            m_pRenderer->ApplyShaders();
            DrawTileTriangles(active);

            m_pDevice->SetTexture(1, g_pListPointerTarget);
            m_pDevice->SetTexture(2, g_pGBufferTargets[1]);
            m_pDevice->SetTexture(4, g_pLightTargetsA[b]);
            m_pDevice->SetTexture(5, g_pLightTargetsC[b]);
            m_pDevice->SetTexture(6, g_pLightTargetsD[b]);
            m_pDevice->SetTexture(7, g_pGBufferTargets[0]);
            int k = 0;
            bool bFinished = false;
            // Whether this step's address pass queries each run of triangles (dropping the
            // finished ones) or the whole list at once, and the pixels the last pass let through.
            bool bQueryRuns = true;
            int64_t nLastPixels = -1;
            while (!bFinished)
            {
                m_pDevice->SetTexture(3, g_pLightTargetsB[b]);
                const float c8[4] = {2.0f * k / fL, (2.0f * k + 1.0f) / fL, 0.0f, 1.0f};
                m_pDevice->SetPixelShaderConstantF(8, c8, 1);

                // The sums of the still active triangles carried over to the other pair.
                m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
                m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
                BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[1 - p]);
                BindTextureTarget(m_pDevice, 1, g_pPhotonTargets[3 - p]);
                m_pDevice->SetTexture(0, g_pPhotonTargets[p]);
                m_pDevice->SetTexture(1, g_pPhotonTargets[p + 2]);
                m_pRenderer->SelectPixelShader(m_PixelShaders[PAIR_COPY_PIXEL_PROGRAM]);
                m_pRenderer->ApplyShaders();
                if (g_GatherShortcuts.bCopyOnlyDifferingTriangles)
                    DrawTileTriangles(differing);
                else
                {
                    copied.clear();
                    std::set_union(differing.begin(), differing.end(), active.begin(), active.end(),
                                   std::back_inserter(copied));
                    DrawTileTriangles(copied);
                }
                differing.clear();

                // The step's two photon addresses; the pixels that go on are marked in depth.
                BindTextureTarget(m_pDevice, 0, g_pPhotonAddressTarget);
                m_pDevice->SetRenderTarget(1, nullptr);
                m_pDevice->SetTexture(1, g_pListPointerTarget);
                m_pRenderer->SelectPixelShader(m_PixelShaders[ADDRESS_PIXEL_PROGRAM]);
                m_pRenderer->ApplyShaders();
                m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
                m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
                m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESS);
                int64_t nPixels = 0;
                if (bQueryRuns || !g_GatherShortcuts.bQueryRunsAfterStopsOnly)
                    nPixels = CountGatheringPixels(active, nTriangles);
                else if ((nPixels = CountDrawnPixels(m_pDevice, m_pOcclusionQuery, active)) == 0)
                    active.clear();
                // A pixel that stops stays stopped, so the count only falls, and while it holds
                // the same pixels go on: no triangle can have finished. After a fall the next
                // pass finds the triangles that did.
                bQueryRuns = nLastPixels >= 0 && nPixels < nLastPixels;
                nLastPixels = nPixels;
                nPixelTotal += nPixels;
                bFinished = active.empty();

                if (!bFinished)
                {
                    // The estimate of the two photons where the address pass marked 0.
                    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_GREATER);
                    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[1 - p]);
                    BindTextureTarget(m_pDevice, 1, g_pPhotonTargets[3 - p]);
                    m_pDevice->SetTexture(0, g_pPhotonTargets[p]);
                    m_pDevice->SetTexture(1, g_pPhotonTargets[p + 2]);
                    m_pDevice->SetTexture(3, g_pPhotonAddressTarget);
                    m_pRenderer->SelectPixelShader(m_PixelShaders[ESTIMATE_PIXEL_PROGRAM]);
                    m_pRenderer->ApplyShaders();
                    DrawTileTriangles(active);
                    differing = active;
                    ++k;
                    if (k >= 2 * nAverage)
                        bFinished = true;
                }
                p = 1 - p;
            }
            g_nRadianceEstimatePasses += k;
        }
    }
    g_nAccumulatedPhotons += nPixelTotal;
    s_TileQuadVertices.clear();
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
    ReleaseTracerObject(pFineQuads);
    UnbindTargets(m_pDevice);
    UnbindTextures(m_pDevice, 1);

    if (nMode == 0)
    {
        // The sums always end in photon targets 0 and 2.
        if (p == 1)
        {
            BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[0]);
            BindTextureTarget(m_pDevice, 1, g_pPhotonTargets[2]);
            m_pDevice->SetTexture(0, g_pPhotonTargets[1]);
            m_pDevice->SetTexture(1, g_pPhotonTargets[3]);
            m_pRenderer->SelectPixelShader(m_PixelShaders[PAIR_COPY_PIXEL_PROGRAM]);
            m_pRenderer->ApplyShaders();
            m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
            m_pDevice->SetRenderTarget(1, nullptr);
        }
    }
    else
    {
        // Shaded into the free photon target, then added to the scene texture scaled by 1 / N.
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[1 - p]);
        m_pDevice->SetTexture(0, g_pPhotonTargets[p]);
        m_pDevice->SetTexture(1, g_pPhotonTargets[p + 2]);
        m_pDevice->SetTexture(4, g_pGBufferTargets[2]);
        m_pDevice->SetTexture(5, g_pGBufferTargets[3]);
        m_pRenderer->SelectPixelShader(m_PixelShaders[SHADE_PIXEL_PROGRAM]);
        m_pRenderer->ApplyShaders();
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);

        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
        BindTextureTarget(m_pDevice, 0, g_pSceneTexture);
        UnbindTextures(m_pDevice, 1);
        m_pDevice->SetTexture(0, g_pPhotonTargets[1 - p]);
        const float scale[4] = {fN > 0.0f ? 1.0f / fN : 0.0f, 1.0f, 0.0f, 1.0f};
        m_pDevice->SetPixelShaderConstantF(31, scale, 1);
        m_pRenderer->SelectPixelShader(m_PixelShaders[SCALED_COPY_PIXEL_PROGRAM]);
        m_pRenderer->ApplyShaders();
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    }

    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    UnbindTextures(m_pDevice, 0);
    UnbindTargets(m_pDevice);
}
