#pragma once
// The photon tracer's process-wide state: the triangle grid's description and textures, and
// every render target of the tracer. The grid is made by RenderApp::BuildTriangleGrid, the
// targets by RenderApp::CreateScreenTargets and RenderApp::CreateTracerTargets; all of them are
// released with the device's load-time resources.
#include "core/Vector3.h"

#include <d3d9.h>
#include <d3dx9math.h>

#include <cstdint>
#include <vector>

class Renderer;

// ---- Triangle grid.
// Cells per axis; every size derived from the grid follows it.
constexpr int32_t DEFAULT_GRID_SIZE = 48;
constexpr int GRID_TEXTURE_COUNT = 25;
// One cell of the grid: the numbers of the triangles that overlap it, and where its run starts
// in the linear cell list (-1 for an empty cell).
struct GridCell
{
    int32_t m_nFirstIndex = -1;
    std::vector<int32_t> m_Triangles;
};
extern int32_t g_nGridSize;
extern std::vector<GridCell> g_GridCells;
extern int32_t g_nCellListLength;
extern int32_t g_nTriangleTextureSize;
extern int32_t g_nGridTextureSize;
extern int32_t g_nCellListTextureSize;
extern int32_t g_nGridTriangleCount;
// Bounding box of every vertex in world space, each face moved outwards by 1 (the background box
// is centred on it).
extern Vector3 g_vSceneMin;
extern Vector3 g_vSceneMax;
extern D3DXVECTOR4 g_vCellSize;
extern D3DXVECTOR4 g_vInvCellSize;
// 1 once a grid has been built for the current scene; a scene without vertices has none and is
// not traced.
extern int32_t g_bGridBuilt;
extern IDirect3DTexture9* g_pGridTextures[GRID_TEXTURE_COUNT];

// ---- Screen-size targets (back-buffer size).
constexpr int GBUFFER_TARGET_COUNT = 4;
constexpr int PHOTON_TARGET_COUNT = 6;
extern IDirect3DTexture9* g_pCellCoordTarget;
extern IDirect3DTexture9* g_pGBufferTargets[GBUFFER_TARGET_COUNT];
extern IDirect3DTexture9* g_pPhotonTargets[PHOTON_TARGET_COUNT];
extern IDirect3DTexture9* g_pListPointerTarget;
extern IDirect3DTexture9* g_pPhotonAddressTarget;
extern IDirect3DSurface9* g_pTracerDepthStencil;
extern IDirect3DSurface9* g_pAuxDepthStencil;
extern IDirect3DSurface9* g_pPathDepthStencil;
// The auxiliary depth surface is never narrower than this.
constexpr UINT AUX_DEPTH_MIN_SIZE = 256;

// ---- Targets of the final image and the light views.
constexpr int LIGHT_TARGET_COUNT = 24;
constexpr int SORT_TARGET_COUNT = 2;
constexpr int32_t DEFAULT_LIGHT_TARGET_SIZE = 256;
// Side of one photon block's light-view targets and of the object cube map.
extern int32_t g_nLightTargetSize;
extern int32_t g_nScreenWidth;
extern int32_t g_nScreenHeight;
extern IDirect3DTexture9* g_pOutputTexture;
extern IDirect3DTexture9* g_pSceneTexture;
extern IDirect3DSurface9* g_pReadbackSurface;
extern IDirect3DTexture9* g_pMirrorTarget;
extern IDirect3DTexture9* g_pLightTargetsA[LIGHT_TARGET_COUNT];
extern IDirect3DTexture9* g_pLightTargetsB[LIGHT_TARGET_COUNT];
extern IDirect3DTexture9* g_pLightTargetsC[LIGHT_TARGET_COUNT];
extern IDirect3DTexture9* g_pLightTargetsD[LIGHT_TARGET_COUNT];
extern IDirect3DTexture9* g_pSortTargets[SORT_TARGET_COUNT];
extern IDirect3DSurface9* g_pListReadbackSurface;
extern IDirect3DCubeTexture9* g_pCubeTarget;
// The plane of the last planar mirror image.
extern D3DXPLANE g_MirrorPlane;

// ---- Photon cell statistics of the first emanate tile of a light and photon kind: cells that
// hold a photon, and photons per such cell (100 when none does).
constexpr int32_t EMPTY_GRID_CELL_PHOTONS = 100;
extern int32_t g_nOccupiedCells;
extern int32_t g_nAverageCellPhotons;
// Photon blocks the last light-view passes rendered, sorted and indexed; the gather reads no
// other block (a light that rendered none contributes nothing).
extern int32_t g_nIndexedPhotonBlocks;
// Per indexed block, one byte per grid cell: 1 where the block's sorted list has a run (or
// where the list could not be read). The gather skips a neighbour cell that no visible point
// would find photons in.
extern std::vector<std::vector<uint8_t>> g_PhotonCellOccupancy;

// ---- The traced image.
// Size of one tile of the current render, pixels.
extern int32_t g_nTileWidth;
extern int32_t g_nTileHeight;
// An output size other than the image-format preset's when both are above 0 (renders at small
// sizes for tests and benchmarks); 0 takes the preset.
extern int32_t g_nTracedImageWidth;
extern int32_t g_nTracedImageHeight;
// The assembled image as a texture the present can draw (the output image is in system memory).
extern IDirect3DTexture9* g_pTracedImageTexture;
// 1 while a finished render is kept for the present; 0 when the last render was refused.
extern int32_t g_bTracedImageReady;

// The screen-quad vertex of the tracer's full-screen passes (g_pQuadDeclaration).
struct QuadVertex
{
    float x, y, z, w;
    float u, v;
};
static_assert(sizeof(QuadVertex) == 24, "quad vertices are uploaded byte for byte");
constexpr UINT QUAD_VERTEX_COUNT = 6;
constexpr int TILE_QUADS_PER_AXIS = 16;
constexpr UINT TILE_QUAD_VERTEX_COUNT = TILE_QUADS_PER_AXIS * TILE_QUADS_PER_AXIS * QUAD_VERTEX_COUNT;
// nColumns x nRows quads over the screen (6 vertices each), row 0 at the bottom.
void BuildTileQuads(int nColumns, int nRows, std::vector<QuadVertex>& vertices);
// The same quads into the buffer; false when it cannot be locked.
bool WriteTileQuads(IDirect3DVertexBuffer9* pBuffer, int nColumns, int nRows);

// Texture side for v texels per axis: the next of 64, 128, 256, 512, 1024 that holds v, or v
// itself above 1024.
int32_t RoundTextureSize(int32_t nTexels);
// Whether a triangle overlaps an axis-aligned box (centre, half-extent), touching included.
bool TriangleOverlapsBox(const D3DXVECTOR3 vTriangle[3], const D3DXVECTOR3& vCentre, const D3DXVECTOR3& vHalf);
// Level 0 of the texture as render target nIndex (none for a null texture).
void BindTextureTarget(IDirect3DDevice9* pDevice, DWORD nIndex, IDirect3DTexture9* pTexture);
// Render targets 1 to 3 unbound.
void UnbindTargets(IDirect3DDevice9* pDevice);
// Texture stages 0 to 7 emptied on the device and in the renderer's record of them. The tracer
// sets its targets on stages directly; were the record left believing that a stage still holds
// a material's map, the renderer would skip the next bind of that map and the stage would keep
// a tracer target (or nothing).
void UnbindTracerTextures(IDirect3DDevice9* pDevice, Renderer* pRenderer);
// Pixel c1 = (1 / scene extent, 1) and c2 = (scene minimum, 1): the constants of the program
// that writes positions normalised to the scene box (cube and mirror images).
void SetNormalisedPositionConstants(IDirect3DDevice9* pDevice);
// Texture stages nFirst to 7 emptied.
void UnbindTextures(IDirect3DDevice9* pDevice, DWORD nFirst = 0);
// Releases a COM object and clears the pointer.
template <class T> void ReleaseTracerObject(T*& pObject)
{
    if (pObject)
        pObject->Release();
    pObject = nullptr;
}
