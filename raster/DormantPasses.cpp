// Passes no frame calls that stand apart from the others: a timed matrix product on float
// targets (four rows of A and of B in eight textures, the four rows of A x B into four targets at
// once), the ordering of the meshes by diffuse texture, the sphere around the first ten units of
// the view, and a screen square showing whatever texture stage 0 holds.
#include "raster/DormantPasses.h"
#include "app/RenderApp.h"
#include "3dapi/RenderTimer.h"
#include "3dapi/Renderer.h"
#include "raster/MeshOrder.h"
#include "raster/SceneDraw.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <algorithm>
#include <cmath>
#include <vector>

IDirect3DTexture9* g_pTimingTextures[TIMING_TEXTURE_COUNT] = {};
IDirect3DSurface9* g_pTimingSurfaces[TIMING_SURFACE_COUNT] = {};
float g_fTimingResult = 0.0f;
D3DXVECTOR3 g_vViewSlabCentre(0, 0, 0);
float g_fViewSlabRadius = 0.0f;

namespace
{
enum
{
    VS_MATRIX_QUAD = 27,   // 927
    PS_MATRIX_PRODUCT = 75 // 675
};
constexpr int LONG_RUN_PASSES = 200;
constexpr int SHORT_RUN_PASSES = 16;

// The quad over the whole timing target in clip space, moved by half a texel so that each
// pixel samples its own texel, with texture coordinates 0..1.
struct TimingVertex
{
    float x, y, z, w, u, v;
};
constexpr float HALF_TEXEL = 1.0f / TIMING_TARGET_SIZE;
const TimingVertex TIMING_QUAD[4] = {{-1 - HALF_TEXEL, 1 + HALF_TEXEL, 0, 1, 0, 0},
                                     {1 - HALF_TEXEL, 1 + HALF_TEXEL, 0, 1, 1, 0},
                                     {1 - HALF_TEXEL, -1 + HALF_TEXEL, 0, 1, 1, 1},
                                     {-1 - HALF_TEXEL, -1 + HALF_TEXEL, 0, 1, 0, 1}};

template <typename T> void Release(T*& pObject)
{
    if (pObject)
        pObject->Release();
    pObject = nullptr;
}

bool HaveTimingTargets()
{
    for (IDirect3DTexture9* pTexture : g_pTimingTextures)
        if (!pTexture)
            return false;
    for (IDirect3DSurface9* pSurface : g_pTimingSurfaces)
        if (!pSurface)
            return false;
    return true;
}

// nPasses products of the timing textures into the timing surfaces, timed into g_fTimingResult;
// the targets are made first when missing.
void RunMatrixProducts(RenderApp& app, int nPasses, bool bColourConstants)
{
    IDirect3DDevice9* pDevice = app.m_pDevice;
    Renderer* pRenderer = app.GetRenderer();
    if (!pDevice || !pRenderer)
        return;
    if (!HaveTimingTargets())
        app.CreateTimingTargets();
    if (!HaveTimingTargets())
        return;
    static const D3DVERTEXELEMENT9 ELEMENTS[] = {
        {0, 0, D3DDECLTYPE_FLOAT4, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 16, D3DDECLTYPE_FLOAT2, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_TEXCOORD, 0},
        D3DDECL_END()};
    IDirect3DVertexDeclaration9* pDecl = nullptr;
    if (FAILED(pDevice->CreateVertexDeclaration(ELEMENTS, &pDecl)))
        return;
    for (DWORD s = 0; s < TIMING_TEXTURE_COUNT; ++s)
    {
        pDevice->SetSamplerState(s, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        pDevice->SetSamplerState(s, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        pDevice->SetSamplerState(s, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        pDevice->SetSamplerState(s, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    }
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pDevice->SetVertexDeclaration(pDecl);
    if (bColourConstants)
    {
        // Colour conversion constants the product program does not read.
        const float constants[4][4] = {
            {0.299f, 0.587f, 0.114f, 0}, {0.1687f, -0.3313f, 0.5f, 0.5f}, {0.5f, -0.41874f, -0.0813f, 0.5f}, {0, 0, 0, 1}};
        pDevice->SetPixelShaderConstantF(0, &constants[0][0], 4);
    }
    // The textures go straight to the device: the renderer's record of the stages is forgotten.
    pRenderer->UnbindTextures();
    for (DWORD s = 0; s < TIMING_TEXTURE_COUNT; ++s)
        pDevice->SetTexture(s, g_pTimingTextures[s]);
    // The back buffer's depth surface would not match the targets; no depth is used.
    IDirect3DSurface9* pKeptDepth = nullptr;
    pDevice->GetDepthStencilSurface(&pKeptDepth);
    pDevice->SetDepthStencilSurface(nullptr);
    for (DWORD i = 0; i < TIMING_SURFACE_COUNT; ++i)
        pDevice->SetRenderTarget(i, g_pTimingSurfaces[i]);
    const float t0 = RenderTimerCommand(TimerAppTime);
    if (SelectScenePrograms(app, VS_MATRIX_QUAD, PS_MATRIX_PRODUCT, "TimeMatrixProducts"))
        for (int k = 0; k < nPasses; ++k)
            pDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, TIMING_QUAD, sizeof(TimingVertex));
    // Reading the results waits for the draws.
    for (IDirect3DSurface9* pSurface : g_pTimingSurfaces)
    {
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(pSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
            pSurface->UnlockRect();
    }
    g_fTimingResult = RenderTimerCommand(TimerAppTime) - t0;

    for (DWORD s = 0; s < TIMING_TEXTURE_COUNT; ++s)
        pDevice->SetTexture(s, nullptr);
    for (DWORD i = 1; i < TIMING_SURFACE_COUNT; ++i)
        pDevice->SetRenderTarget(i, nullptr);
    pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    pDevice->SetVertexDeclaration(app.m_pMeshDecl);
    pDecl->Release();
    // The back buffer again; the renderer's record may already say so.
    if (!pRenderer->BindRenderTarget(0, -1))
        pRenderer->RestoreBackBuffer();
    pDevice->SetDepthStencilSurface(pKeptDepth);
    Release(pKeptDepth);
}
}

void RenderApp::CreateTimingTargets()
{
    if (!m_pDevice)
        return;
    ReleaseTimingTargets();
    for (IDirect3DSurface9*& pSurface : g_pTimingSurfaces)
        if (FAILED(m_pDevice->CreateRenderTarget(TIMING_TARGET_SIZE, TIMING_TARGET_SIZE, D3DFMT_A32B32G32R32F,
                                                 D3DMULTISAMPLE_NONE, 0, TRUE, &pSurface, nullptr)))
            pSurface = nullptr;
    for (IDirect3DTexture9*& pTexture : g_pTimingTextures)
        if (FAILED(m_pDevice->CreateTexture(TIMING_TARGET_SIZE, TIMING_TARGET_SIZE, 1, D3DUSAGE_RENDERTARGET,
                                            D3DFMT_A32B32G32R32F, D3DPOOL_DEFAULT, &pTexture, nullptr)))
            pTexture = nullptr;
}

void RenderApp::ReleaseTimingTargets()
{
    for (IDirect3DSurface9*& pSurface : g_pTimingSurfaces)
        Release(pSurface);
    for (IDirect3DTexture9*& pTexture : g_pTimingTextures)
        Release(pTexture);
}

void RenderApp::TimeMatrixProducts() { RunMatrixProducts(*this, LONG_RUN_PASSES, false); }

void RenderApp::TimeMatrixProductsShort() { RunMatrixProducts(*this, SHORT_RUN_PASSES, true); }

void RenderApp::QuickSortByKey(int lo, int hi, int32_t* pKeys, int32_t* pOrder)
{
    QuickSortKeys(lo, hi, pKeys, pOrder);
}

void RenderApp::SortMeshesByTexture()
{
    const int nMeshes = std::min({(int)m_Scene.m_Meshes.GetCount(), MAX_MESHES, (int)m_MeshOrder.size()});
    std::vector<int32_t> keys((size_t)std::max(nMeshes, 0));
    for (int i = 0; i < nMeshes; ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
        m_MeshOrder[(size_t)i] = i;
        keys[(size_t)i] = pMesh && pMesh->m_pMaterial ? pMesh->m_pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE]
                                                      : -1;
    }
    QuickSortByKey(0, nMeshes - 1, keys.data(), m_MeshOrder.data());
}

bool RenderApp::ComputeViewSlabSphere()
{
    // The first h units of the view: a slab of half-width r at depth h, about its middle.
    const float h = 10.0f;
    const float r = std::tan(m_Scene.m_Camera.m_fFov / 2.0f) * h;
    const D3DXVECTOR3 corner(r, r, h), middle(0, 0, h / 2.0f + m_Scene.m_Camera.m_fFrontClip);
    const D3DXVECTOR3 offset = corner - middle;
    g_fViewSlabRadius = D3DXVec3Length(&offset);
    const D3DXMATRIX view = ToD3DX(g_matView);
    const Vector3& eye = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    g_vViewSlabCentre = D3DXVECTOR3(eye.x, eye.y, eye.z) + D3DXVECTOR3(view._13, view._23, view._33) * (h * 0.5f);
    return true;
}

void RenderApp::DrawTextureOverlay(float fSize)
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer)
        return;
    struct OverlayVertex
    {
        float x, y, z, rhw, u, v;
    };
    // Pixel corners (50, 50) to (50 + size, 50 + size), shifted half a pixel onto texel centres.
    const float a = 50.0f - 0.5f, b = 50.0f + fSize - 0.5f;
    const OverlayVertex quad[4] = {
        {a, a, 0.99f, 1, 0, 0}, {b, a, 0.99f, 1, 1, 0}, {b, b, 0.99f, 1, 1, 1}, {a, b, 0.99f, 1, 0, 1}};
    pRenderer->SelectVertexShader(-1);
    pRenderer->SelectPixelShader(-1);
    pRenderer->ApplyShaders();
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    m_pDevice->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    m_pDevice->SetFVF(D3DFVF_XYZRHW | D3DFVF_TEX1);
    m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(OverlayVertex));
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
}
