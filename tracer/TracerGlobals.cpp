#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

// g_vSceneMin, g_vSceneMax and g_pCubeTarget are defined with the background box, which reads them.

int32_t g_nGridSize = DEFAULT_GRID_SIZE;
std::vector<GridCell> g_GridCells;
int32_t g_nCellListLength = 0;
int32_t g_nTriangleTextureSize = 0;
int32_t g_nGridTextureSize = 0;
int32_t g_nCellListTextureSize = 0;
int32_t g_nGridTriangleCount = 0;
D3DXVECTOR4 g_vCellSize(1.0f, 1.0f, 1.0f, 1.0f);
D3DXVECTOR4 g_vInvCellSize(1.0f, 1.0f, 1.0f, 1.0f);
int32_t g_bGridBuilt = 0;
IDirect3DTexture9* g_pGridTextures[GRID_TEXTURE_COUNT] = {};

IDirect3DTexture9* g_pCellCoordTarget = nullptr;
IDirect3DTexture9* g_pGBufferTargets[GBUFFER_TARGET_COUNT] = {};
IDirect3DTexture9* g_pPhotonTargets[PHOTON_TARGET_COUNT] = {};
IDirect3DTexture9* g_pListPointerTarget = nullptr;
IDirect3DTexture9* g_pPhotonAddressTarget = nullptr;
IDirect3DSurface9* g_pTracerDepthStencil = nullptr;
IDirect3DSurface9* g_pAuxDepthStencil = nullptr;
IDirect3DSurface9* g_pPathDepthStencil = nullptr;

int32_t g_nLightTargetSize = DEFAULT_LIGHT_TARGET_SIZE;
int32_t g_nScreenWidth = 0;
int32_t g_nScreenHeight = 0;
IDirect3DTexture9* g_pOutputTexture = nullptr;
IDirect3DTexture9* g_pSceneTexture = nullptr;
IDirect3DSurface9* g_pReadbackSurface = nullptr;
IDirect3DTexture9* g_pMirrorTarget = nullptr;
IDirect3DTexture9* g_pLightTargetsA[LIGHT_TARGET_COUNT] = {};
IDirect3DTexture9* g_pLightTargetsB[LIGHT_TARGET_COUNT] = {};
IDirect3DTexture9* g_pLightTargetsC[LIGHT_TARGET_COUNT] = {};
IDirect3DTexture9* g_pLightTargetsD[LIGHT_TARGET_COUNT] = {};
IDirect3DTexture9* g_pSortTargets[SORT_TARGET_COUNT] = {};
IDirect3DSurface9* g_pListReadbackSurface = nullptr;

int32_t g_nOccupiedCells = 0;
int32_t g_nAverageCellPhotons = 0;
int32_t g_nIndexedPhotonBlocks = 0;
std::vector<std::vector<uint8_t>> g_PhotonCellOccupancy;

int32_t g_nTileWidth = 0;
int32_t g_nTileHeight = 0;
int32_t g_nTracedImageWidth = 0;
int32_t g_nTracedImageHeight = 0;
IDirect3DTexture9* g_pTracedImageTexture = nullptr;
int32_t g_bTracedImageReady = 0;

void BindTextureTarget(IDirect3DDevice9* pDevice, DWORD nIndex, IDirect3DTexture9* pTexture)
{
    IDirect3DSurface9* pSurface = nullptr;
    if (pTexture)
        pTexture->GetSurfaceLevel(0, &pSurface);
    pDevice->SetRenderTarget(nIndex, pSurface);
    ReleaseTracerObject(pSurface);
}

void UnbindTargets(IDirect3DDevice9* pDevice)
{
    for (DWORD nTarget = 1; nTarget < GBUFFER_TARGET_COUNT; ++nTarget)
        pDevice->SetRenderTarget(nTarget, nullptr);
}

void UnbindTracerTextures(IDirect3DDevice9* pDevice, Renderer* pRenderer)
{
    constexpr DWORD TRACER_TEXTURE_STAGES = 8;
    for (DWORD nStage = 0; nStage < TRACER_TEXTURE_STAGES; ++nStage)
    {
        if (pRenderer && static_cast<int>(nStage) < pRenderer->GetStageCount())
            pRenderer->BindTexture(static_cast<int>(nStage), -1);
        pDevice->SetTexture(nStage, nullptr);
    }
}

void UnbindTextures(IDirect3DDevice9* pDevice, DWORD nFirst)
{
    for (DWORD nStage = nFirst; nStage < 8; ++nStage)
        pDevice->SetTexture(nStage, nullptr);
}
