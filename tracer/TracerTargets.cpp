// RenderApp's tracer targets: the screen-size floating-point targets and depth surfaces, the
// targets of the final image, the light-view targets of the photon blocks and the offset quad.
// Their sizes come from the back buffer and from g_nLightTargetSize, nothing else.
#include "app/RenderApp.h"
#include "core/Log.h"
#include "tracer/TracerGlobals.h"

#include <cstring>

namespace
{
// The back buffer's size; false when the device has none.
bool GetBackBufferSize(IDirect3DDevice9* pDevice, UINT& nWidth, UINT& nHeight)
{
    IDirect3DSurface9* pBackBuffer = nullptr;
    if (!pDevice || FAILED(pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer)) || !pBackBuffer)
        return false;
    D3DSURFACE_DESC desc{};
    const HRESULT hr = pBackBuffer->GetDesc(&desc);
    pBackBuffer->Release();
    nWidth = desc.Width;
    nHeight = desc.Height;
    return SUCCEEDED(hr);
}

void CreateTarget(IDirect3DDevice9* pDevice, UINT nWidth, UINT nHeight, D3DFORMAT format, IDirect3DTexture9** ppTexture,
                  const char* szName)
{
    ReleaseTracerObject(*ppTexture);
    if (FAILED(pDevice->CreateTexture(nWidth, nHeight, 1, D3DUSAGE_RENDERTARGET, format, D3DPOOL_DEFAULT, ppTexture,
                                      nullptr)))
    {
        *ppTexture = nullptr;
        LogError("RenderApp::CreateTracerTargets() - the %u x %u target %s could not be created.", nWidth, nHeight,
                 szName);
    }
}

void CreateDepth(IDirect3DDevice9* pDevice, UINT nWidth, UINT nHeight, IDirect3DSurface9** ppSurface,
                 const char* szName)
{
    ReleaseTracerObject(*ppSurface);
    if (FAILED(pDevice->CreateDepthStencilSurface(nWidth, nHeight, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE,
                                                  ppSurface, nullptr)))
    {
        *ppSurface = nullptr;
        LogError("RenderApp::CreateScreenTargets() - the %u x %u depth surface %s could not be created.", nWidth,
                 nHeight, szName);
    }
}


// The screen-size targets and depth surfaces at w x h. The auxiliary depth surface serves the
// mirror and cube passes, which draw into light-size targets, so it is never made narrower than
// AUX_DEPTH_MIN_SIZE; the path depth surface serves screen-size targets and follows the screen.
void CreateScreenSizeTargets(IDirect3DDevice9* pDevice, UINT w, UINT h)
{
    constexpr D3DFORMAT HALF4 = D3DFMT_A16B16G16R16F;
    CreateTarget(pDevice, w, h, HALF4, &g_pCellCoordTarget, "cell coordinates");
    for (IDirect3DTexture9*& pTarget : g_pGBufferTargets)
        CreateTarget(pDevice, w, h, HALF4, &pTarget, "G-buffer");
    for (IDirect3DTexture9*& pTarget : g_pPhotonTargets)
        CreateTarget(pDevice, w, h, HALF4, &pTarget, "photon sum");
    CreateTarget(pDevice, w, h, D3DFMT_G16R16F, &g_pListPointerTarget, "list pointer");
    CreateTarget(pDevice, w, h, HALF4, &g_pPhotonAddressTarget, "photon address");
    CreateDepth(pDevice, w, h, &g_pTracerDepthStencil, "of the view");
    if (w >= AUX_DEPTH_MIN_SIZE)
        CreateDepth(pDevice, w, h, &g_pAuxDepthStencil, "of the mirror and cube passes");
    else
        CreateDepth(pDevice, AUX_DEPTH_MIN_SIZE, AUX_DEPTH_MIN_SIZE, &g_pAuxDepthStencil,
                    "of the mirror and cube passes");
    CreateDepth(pDevice, w, h, &g_pPathDepthStencil, "of the specular paths");
}
}

void RenderApp::CreateScreenTargets()
{
    UINT w = 0, h = 0;
    if (!GetBackBufferSize(m_pDevice, w, h))
    {
        LogError("RenderApp::CreateScreenTargets() - the device has no back buffer; the tracer has no targets.");
        return;
    }
    CreateScreenSizeTargets(m_pDevice, w, h);
}

bool RenderApp::RecreateScreenTargets(int nWidth, int nHeight)
{
    if (!m_pDevice || nWidth <= 0 || nHeight <= 0)
    {
        LogError("RenderApp::RecreateScreenTargets() - a %d x %d tile has no targets.", nWidth, nHeight);
        return false;
    }
    ReleaseScreenTargets();
    ReleaseTracerObject(g_pSceneTexture);
    const UINT w = static_cast<UINT>(nWidth), h = static_cast<UINT>(nHeight);
    CreateScreenSizeTargets(m_pDevice, w, h);
    CreateTarget(m_pDevice, w, h, D3DFMT_A8R8G8B8, &g_pSceneTexture, "scene");
    return g_pSceneTexture && g_pTracerDepthStencil && g_pAuxDepthStencil && g_pPathDepthStencil;
}

void RenderApp::CreateTracerTargets()
{
    UINT w = 0, h = 0;
    if (!GetBackBufferSize(m_pDevice, w, h))
    {
        LogError("RenderApp::CreateTracerTargets() - the device has no back buffer; the tracer has no targets.");
        return;
    }
    g_nScreenWidth = static_cast<int32_t>(w);
    g_nScreenHeight = static_cast<int32_t>(h);
    ReleaseTracerObject(g_pOutputTexture);
    if (FAILED(m_pDevice->CreateTexture(w, h, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM,
                                        &g_pOutputTexture, nullptr)))
    {
        g_pOutputTexture = nullptr;
        LogError("RenderApp::CreateTracerTargets() - the %u x %u output image could not be created.", w, h);
    }
    CreateTarget(m_pDevice, w, h, D3DFMT_A8R8G8B8, &g_pSceneTexture, "scene");
    ReleaseTracerObject(g_pReadbackSurface);
    if (FAILED(m_pDevice->CreateRenderTarget(w, h, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, TRUE,
                                             &g_pReadbackSurface, nullptr)))
    {
        g_pReadbackSurface = nullptr;
        LogError("RenderApp::CreateTracerTargets() - the %u x %u read-back surface could not be created.", w, h);
    }

    const UINT nLight = g_nLightTargetSize > 0 ? static_cast<UINT>(g_nLightTargetSize) : 1u;
    CreateTarget(m_pDevice, nLight, nLight, D3DFMT_A16B16G16R16, &g_pMirrorTarget, "mirror");
    for (int i = 0; i < LIGHT_TARGET_COUNT; ++i)
    {
        CreateTarget(m_pDevice, nLight, nLight, D3DFMT_A16B16G16R16F, &g_pLightTargetsA[i], "photon position");
        CreateTarget(m_pDevice, nLight, nLight, D3DFMT_A16B16G16R16F, &g_pLightTargetsB[i], "sorted photon list");
        CreateTarget(m_pDevice, nLight, nLight, D3DFMT_A8R8G8B8, &g_pLightTargetsC[i], "photon light vector");
        CreateTarget(m_pDevice, nLight, nLight, D3DFMT_A8R8G8B8, &g_pLightTargetsD[i], "photon energy");
    }
    for (IDirect3DTexture9*& pTarget : g_pSortTargets)
        CreateTarget(m_pDevice, nLight, nLight, D3DFMT_A16B16G16R16F, &pTarget, "photon sort");
    ReleaseTracerObject(g_pListReadbackSurface);
    if (FAILED(m_pDevice->CreateRenderTarget(nLight, nLight, D3DFMT_A32B32G32R32F, D3DMULTISAMPLE_NONE, 0, TRUE,
                                             &g_pListReadbackSurface, nullptr)))
    {
        g_pListReadbackSurface = nullptr;
        LogError("RenderApp::CreateTracerTargets() - the photon list read-back surface could not be created.");
    }
    ReleaseTracerObject(g_pCubeTarget);
    if (FAILED(m_pDevice->CreateCubeTexture(nLight, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A16B16G16R16, D3DPOOL_DEFAULT,
                                            &g_pCubeTarget, nullptr)))
    {
        g_pCubeTarget = nullptr;
        LogError("RenderApp::CreateTracerTargets() - the object cube target could not be created.");
    }

    // The full-screen quad over the texels (0, 0) to (128, 128) of a screen-size texture.
    ReleaseTracerObject(m_pOffsetQuadVB);
    if (FAILED(m_pDevice->CreateVertexBuffer(QUAD_VERTEX_COUNT * sizeof(QuadVertex), D3DUSAGE_WRITEONLY, 0,
                                             D3DPOOL_DEFAULT, &m_pOffsetQuadVB, nullptr)))
    {
        m_pOffsetQuadVB = nullptr;
        LogError("RenderApp::CreateTracerTargets() - the offset quad vertex buffer could not be created.");
        return;
    }
    const float u = 128.0f / static_cast<float>(w), v = 128.0f / static_cast<float>(h);
    const QuadVertex quad[QUAD_VERTEX_COUNT] = {{-1, -1, 1, 1, 0, v}, {1, -1, 1, 1, u, v}, {1, 1, 1, 1, u, 0},
                                                {1, 1, 1, 1, u, 0},   {-1, 1, 1, 1, 0, 0}, {-1, -1, 1, 1, 0, v}};
    void* pData = nullptr;
    if (SUCCEEDED(m_pOffsetQuadVB->Lock(0, 0, &pData, 0)))
    {
        std::memcpy(pData, quad, sizeof(quad));
        m_pOffsetQuadVB->Unlock();
    }
}

void RenderApp::ReleaseScreenTargets()
{
    ReleaseTracerObject(g_pCellCoordTarget);
    for (IDirect3DTexture9*& pTarget : g_pGBufferTargets)
        ReleaseTracerObject(pTarget);
    for (IDirect3DTexture9*& pTarget : g_pPhotonTargets)
        ReleaseTracerObject(pTarget);
    ReleaseTracerObject(g_pListPointerTarget);
    ReleaseTracerObject(g_pPhotonAddressTarget);
    ReleaseTracerObject(g_pTracerDepthStencil);
    ReleaseTracerObject(g_pAuxDepthStencil);
    ReleaseTracerObject(g_pPathDepthStencil);
}

void RenderApp::ReleaseTracerResources()
{
    ReleaseTriangleGrid();
    ReleaseScreenTargets();
    ReleaseShadowRayTextures();
    ReleaseTracerObject(g_pOutputTexture);
    ReleaseTracerObject(g_pSceneTexture);
    ReleaseTracerObject(g_pReadbackSurface);
    ReleaseTracerObject(g_pTracedImageTexture);
    g_bTracedImageReady = 0;
    ReleaseTracerObject(g_pMirrorTarget);
    for (int i = 0; i < LIGHT_TARGET_COUNT; ++i)
    {
        ReleaseTracerObject(g_pLightTargetsA[i]);
        ReleaseTracerObject(g_pLightTargetsB[i]);
        ReleaseTracerObject(g_pLightTargetsC[i]);
        ReleaseTracerObject(g_pLightTargetsD[i]);
    }
    for (IDirect3DTexture9*& pTarget : g_pSortTargets)
        ReleaseTracerObject(pTarget);
    ReleaseTracerObject(g_pListReadbackSurface);
    ReleaseTracerObject(g_pCubeTarget);
    ReleaseTracerObject(m_pOffsetQuadVB);
    for (IDirect3DQuery9*& pQuery : m_GatherQueries)
        ReleaseTracerObject(pQuery);
    m_GatherQueries.clear();
}
