// RenderApp's triangle grid: every triangle's texel address written into its vertices, the
// scene's box widened by 1 on every side, a uniform grid of g_nGridSize cells per axis over it
// with the triangles that overlap each cell, the sizes of the grid's textures, the 25 grid
// textures the photon passes fill, and the two screen-quad vertex buffers of the full-screen
// passes. Built again for every new scene (the frame driver calls it when g_bSceneChanged is set).
#include "app/RenderApp.h"
#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
// Margin added to every face of the scene's box, so that a flat scene still has thick cells.
constexpr float BOX_MARGIN = 1.0f;

// The meshes of the scene whose triangles the grid numbers (a mesh without vertices has none).
bool HasTriangles(const SceneMesh* pMesh)
{
    return pMesh && pMesh->m_pVertices && pMesh->m_nTriangleCount > 0 &&
           pMesh->m_nVertexCount >= 3 * pMesh->m_nTriangleCount;
}

// Writes (t mod S, t div S) into the texel-address bytes of the mesh's three vertices per
// triangle, t running on from nFirst; false when the buffer cannot be locked or is too small.
bool WriteTexelAddresses(SceneMesh& mesh, int32_t nFirst, int32_t nTextureSize)
{
    IDirect3DVertexBuffer9* pBuffer = mesh.m_pVertexBuffer;
    if (!pBuffer)
        return false;
    D3DVERTEXBUFFER_DESC desc{};
    const UINT nBytes = static_cast<UINT>(mesh.m_nTriangleCount) * 3 * sizeof(MeshVertex);
    if (FAILED(pBuffer->GetDesc(&desc)) || desc.Size < nBytes)
        return false;
    void* pData = nullptr;
    if (FAILED(pBuffer->Lock(0, 0, &pData, 0)) || !pData)
        return false;
    MeshVertex* pVertices = static_cast<MeshVertex*>(pData);
    for (int32_t k = 0; k < mesh.m_nTriangleCount; ++k)
    {
        const int32_t t = nFirst + k;
        const float u = static_cast<float>(t % nTextureSize), v = static_cast<float>(t / nTextureSize);
        for (int i = 0; i < 3; ++i)
        {
            pVertices[3 * k + i].fTriangleU = u;
            pVertices[3 * k + i].fTriangleV = v;
        }
    }
    pBuffer->Unlock();
    return true;
}

D3DXVECTOR3 WorldPosition(const MeshVertex& vertex, const D3DXMATRIX& world)
{
    D3DXVECTOR3 position = ToD3DX(vertex.vPosition), result;
    D3DXVec3TransformCoord(&result, &position, &world);
    return result;
}

int32_t CellCoordinate(float fValue, float fMin, float fInvCellSize, int32_t nGridSize)
{
    const float fCell = std::floor((fValue - fMin) * fInvCellSize);
    return static_cast<int32_t>(std::clamp(fCell, 0.0f, static_cast<float>(nGridSize - 1)));
}

// Appends triangle t to every cell its world-space corners overlap.
void AddTriangleToCells(const D3DXVECTOR3 corners[3], int32_t t)
{
    const int32_t n = g_nGridSize;
    const float* pMin = &g_vSceneMin.x;
    const float* pCell = &g_vCellSize.x;
    const float* pInv = &g_vInvCellSize.x;
    int32_t lo[3], hi[3];
    for (int a = 0; a < 3; ++a)
    {
        const float* p0 = &corners[0].x;
        const float* p1 = &corners[1].x;
        const float* p2 = &corners[2].x;
        lo[a] = CellCoordinate(std::min({p0[a], p1[a], p2[a]}), pMin[a], pInv[a], n);
        hi[a] = CellCoordinate(std::max({p0[a], p1[a], p2[a]}), pMin[a], pInv[a], n);
        // A corner on a cell's lower face also touches the cell below it.
        lo[a] = std::max(0, lo[a] - 1);
    }
    const D3DXVECTOR3 half(0.5f * g_vCellSize.x, 0.5f * g_vCellSize.y, 0.5f * g_vCellSize.z);
    for (int32_t z = lo[2]; z <= hi[2]; ++z)
        for (int32_t y = lo[1]; y <= hi[1]; ++y)
            for (int32_t x = lo[0]; x <= hi[0]; ++x)
            {
                const D3DXVECTOR3 centre(pMin[0] + (x + 0.5f) * pCell[0], pMin[1] + (y + 0.5f) * pCell[1],
                                         pMin[2] + (z + 0.5f) * pCell[2]);
                if (TriangleOverlapsBox(corners, centre, half))
                    g_GridCells[static_cast<size_t>(x + n * y + n * n * z)].m_Triangles.push_back(t);
            }
}

// One full-screen quad, or one tile quad, as six vertices.
void WriteQuad(QuadVertex* pVertices, float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1)
{
    const QuadVertex quad[QUAD_VERTEX_COUNT] = {{x0, y0, 1, 1, u0, v0}, {x1, y0, 1, 1, u1, v0},
                                                {x1, y1, 1, 1, u1, v1}, {x1, y1, 1, 1, u1, v1},
                                                {x0, y1, 1, 1, u0, v1}, {x0, y0, 1, 1, u0, v0}};
    std::memcpy(pVertices, quad, sizeof(quad));
}

IDirect3DVertexBuffer9* CreateQuadBuffer(IDirect3DDevice9* pDevice, UINT nVertices, const char* szName)
{
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    if (FAILED(pDevice->CreateVertexBuffer(nVertices * sizeof(QuadVertex), D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT,
                                           &pBuffer, nullptr)))
    {
        LogError("RenderApp::BuildTriangleGrid() - the %s vertex buffer could not be created.", szName);
        return nullptr;
    }
    return pBuffer;
}
}

void BuildTileQuads(int nColumns, int nRows, std::vector<QuadVertex>& vertices)
{
    vertices.resize(static_cast<size_t>(nColumns) * nRows * QUAD_VERTEX_COUNT);
    const float fStepX = 2.0f / static_cast<float>(nColumns), fUvX = 1.0f / static_cast<float>(nColumns);
    const float fStepY = 2.0f / static_cast<float>(nRows), fUvY = 1.0f / static_cast<float>(nRows);
    for (int r = 0; r < nRows; ++r)
        for (int c = 0; c < nColumns; ++c)
        {
            const float x0 = -1.0f + fStepX * c, y0 = -1.0f + fStepY * r;
            WriteQuad(vertices.data() + (static_cast<size_t>(nColumns) * r + c) * QUAD_VERTEX_COUNT, x0, y0, x0 + fStepX,
                      y0 + fStepY, fUvX * c, 1.0f - fUvY * r, fUvX * (c + 1), 1.0f - fUvY * (r + 1));
        }
}

bool WriteTileQuads(IDirect3DVertexBuffer9* pBuffer, int nColumns, int nRows)
{
    std::vector<QuadVertex> vertices;
    BuildTileQuads(nColumns, nRows, vertices);
    void* pData = nullptr;
    if (FAILED(pBuffer->Lock(0, 0, &pData, 0)))
        return false;
    std::memcpy(pData, vertices.data(), vertices.size() * sizeof(QuadVertex));
    pBuffer->Unlock();
    return true;
}

int32_t RoundTextureSize(int32_t nTexels)
{
    for (int32_t nSize = 64; nSize <= 1024; nSize *= 2)
        if (nTexels <= nSize)
            return nSize;
    return nTexels;
}

void RenderApp::BuildTriangleGrid()
{
    ReleaseTriangleGrid();
    if (!m_pDevice)
        return;
    PointerArray& meshes = m_Scene.m_Meshes;
    int64_t nTriangles = 0;
    for (uint32_t i = 0; i < meshes.GetCount(); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(meshes.Get(i));
        if (HasTriangles(pMesh))
            nTriangles += pMesh->m_nTriangleCount;
    }
    if (nTriangles == 0)
        return;
    if (nTriangles > INT32_MAX / 2)
    {
        LogError("RenderApp::BuildTriangleGrid() - the scene's %lld triangles are too many to number.",
                 static_cast<long long>(nTriangles));
        return;
    }
    g_nGridTriangleCount = static_cast<int32_t>(nTriangles);
    const int32_t n = std::max(1, g_nGridSize);
    g_nGridSize = n;
    g_nTriangleTextureSize = RoundTextureSize(static_cast<int32_t>(std::sqrt(static_cast<double>(nTriangles))) + 1);

    // Texel addresses, numbered over the meshes in list order.
    int32_t nFirst = 0;
    for (uint32_t i = 0; i < meshes.GetCount(); ++i)
    {
        SceneMesh* pMesh = static_cast<SceneMesh*>(meshes.Get(i));
        if (!HasTriangles(pMesh))
            continue;
        if (!WriteTexelAddresses(*pMesh, nFirst, g_nTriangleTextureSize))
            LogWarning("RenderApp::BuildTriangleGrid() - mesh %u's vertex buffer could not take its texel addresses.",
                       i);
        nFirst += pMesh->m_nTriangleCount;
    }

    // The box of every vertex in world space, widened.
    D3DXVECTOR3 boxMin(0, 0, 0), boxMax(0, 0, 0);
    bool bFirst = true;
    for (uint32_t i = 0; i < meshes.GetCount(); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(meshes.Get(i));
        if (!HasTriangles(pMesh))
            continue;
        const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
        for (int32_t v = 0; v < pMesh->m_nVertexCount; ++v)
        {
            const D3DXVECTOR3 p = WorldPosition(pMesh->m_pVertices[v], world);
            if (bFirst)
                boxMin = boxMax = p;
            D3DXVec3Minimize(&boxMin, &boxMin, &p);
            D3DXVec3Maximize(&boxMax, &boxMax, &p);
            bFirst = false;
        }
    }
    const D3DXVECTOR3 margin(BOX_MARGIN, BOX_MARGIN, BOX_MARGIN);
    boxMin -= margin;
    boxMax += margin;
    g_vSceneMin = Vector3(boxMin.x, boxMin.y, boxMin.z);
    g_vSceneMax = Vector3(boxMax.x, boxMax.y, boxMax.z);
    const D3DXVECTOR3 extent = (boxMax - boxMin) / static_cast<float>(n);
    g_vCellSize = D3DXVECTOR4(extent.x, extent.y, extent.z, 1.0f);
    g_vInvCellSize = D3DXVECTOR4(1.0f / extent.x, 1.0f / extent.y, 1.0f / extent.z, 1.0f);

    // Cell lists, then each cell's place in the linear list (count + 1 entries, 1 when empty).
    g_GridCells.assign(static_cast<size_t>(n) * n * n, GridCell());
    int32_t t = 0;
    for (uint32_t i = 0; i < meshes.GetCount(); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(meshes.Get(i));
        if (!HasTriangles(pMesh))
            continue;
        const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
        for (int32_t k = 0; k < pMesh->m_nTriangleCount; ++k, ++t)
        {
            const D3DXVECTOR3 corners[3] = {WorldPosition(pMesh->m_pVertices[3 * k], world),
                                            WorldPosition(pMesh->m_pVertices[3 * k + 1], world),
                                            WorldPosition(pMesh->m_pVertices[3 * k + 2], world)};
            AddTriangleToCells(corners, t);
        }
    }
    int64_t nLength = 0;
    for (GridCell& cell : g_GridCells)
    {
        const int64_t nCount = static_cast<int64_t>(cell.m_Triangles.size());
        cell.m_nFirstIndex = nCount < 1 ? -1 : static_cast<int32_t>(nLength);
        nLength += nCount < 1 ? 1 : nCount + 1;
    }
    g_nCellListLength = static_cast<int32_t>(std::min<int64_t>(nLength, INT32_MAX));
    g_nGridTextureSize = RoundTextureSize(static_cast<int32_t>(std::sqrt(static_cast<double>(n) * n * n)));
    g_nCellListTextureSize = RoundTextureSize(static_cast<int32_t>(std::sqrt(static_cast<double>(nLength))) + 1);

    for (IDirect3DTexture9*& pTexture : g_pGridTextures)
        if (FAILED(m_pDevice->CreateTexture(g_nGridTextureSize, g_nGridTextureSize, 1, D3DUSAGE_RENDERTARGET,
                                            D3DFMT_G16R16F, D3DPOOL_DEFAULT, &pTexture, nullptr)))
        {
            pTexture = nullptr;
            LogError("RenderApp::BuildTriangleGrid() - a %d x %d grid texture could not be created.",
                     g_nGridTextureSize, g_nGridTextureSize);
        }

    // The full-screen quad ((0, 0) the top-left texel corner), then 16 x 16 tile quads, row 0
    // at the bottom of the screen.
    m_pQuadVB = CreateQuadBuffer(m_pDevice, QUAD_VERTEX_COUNT, "screen quad");
    void* pData = nullptr;
    if (m_pQuadVB && SUCCEEDED(m_pQuadVB->Lock(0, 0, &pData, 0)))
    {
        WriteQuad(static_cast<QuadVertex*>(pData), -1, -1, 1, 1, 0, 1, 1, 0);
        m_pQuadVB->Unlock();
    }
    m_pTileQuadVB = CreateQuadBuffer(m_pDevice, TILE_QUAD_VERTEX_COUNT, "tile quad");
    if (m_pTileQuadVB)
        WriteTileQuads(m_pTileQuadVB, TILE_QUADS_PER_AXIS, TILE_QUADS_PER_AXIS);
    g_bGridBuilt = 1;
}

void RenderApp::ReleaseTriangleGrid()
{
    for (IDirect3DTexture9*& pTexture : g_pGridTextures)
        ReleaseTracerObject(pTexture);
    ReleaseTracerObject(m_pQuadVB);
    ReleaseTracerObject(m_pTileQuadVB);
    g_GridCells.clear();
    g_GridCells.shrink_to_fit();
    g_nGridTriangleCount = 0;
    g_bGridBuilt = 0;
}
