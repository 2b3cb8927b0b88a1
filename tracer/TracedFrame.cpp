// RenderApp's traced frame: the first frame after Trace Photon is switched on renders the global
// illumination of the view once, tile by tile, assembles the tiles into the output image, saves
// it as a BMP at g_szImagePath and keeps it; every later frame, while the option stays on,
// presents the kept image over the back buffer. Switching the option off and on renders anew.
//
// With antialiasing at level s the view is rendered as s x s tiles, each at the full tile size
// through a projection that magnifies one s-th of the view per axis; every output pixel is the
// mean of the s x s tile pixels that cover it, wherever the tile borders fall.
#include "app/RenderApp.h"
#include "core/CoreHooks.h"
#include "core/Log.h"
#include "morvyn/morvyn.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SettingsNodes.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <d3dx9tex.h>
#include <win32/user.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace
{
constexpr int QUAD_VERTEX_PROGRAM = 40;
constexpr int SCALED_COPY_PIXEL_PROGRAM = 141;
// The image-format preset every render takes.
constexpr int TRACED_IMAGE_FORMAT = 1;
// Antialiasing levels beyond this add little and multiply the render time.
constexpr int32_t MAX_SAMPLING_LEVEL = 8;
constexpr int BYTES_PER_PIXEL = 4;

// The size of level 0 of a texture; 0 x 0 without one.
void GetTextureSize(IDirect3DTexture9* pTexture, int32_t& nWidth, int32_t& nHeight)
{
    D3DSURFACE_DESC desc{};
    nWidth = nHeight = 0;
    if (pTexture && SUCCEEDED(pTexture->GetLevelDesc(0, &desc)))
    {
        nWidth = static_cast<int32_t>(desc.Width);
        nHeight = static_cast<int32_t>(desc.Height);
    }
}

// The s x s supersamples of every output pixel summed per byte (blue, green, red, alpha).
class TileAssembler
{
public:
    TileAssembler(int32_t nWidth, int32_t nHeight, int32_t nLevel)
        : m_nWidth(nWidth), m_nHeight(nHeight), m_nLevel(nLevel),
          m_Sums(static_cast<size_t>(nWidth) * nHeight * BYTES_PER_PIXEL, 0)
    {
    }

    // Tile (i, j) covers the supersamples from (i W, j H) on; each goes to the output pixel that
    // holds it.
    void AddTile(const BYTE* pRows, INT nPitch, int i, int j)
    {
        for (int32_t y = 0; y < m_nHeight; ++y)
        {
            const BYTE* pRow = pRows + static_cast<ptrdiff_t>(y) * nPitch;
            const int64_t oy = (static_cast<int64_t>(j) * m_nHeight + y) / m_nLevel;
            for (int32_t x = 0; x < m_nWidth; ++x)
            {
                const int64_t ox = (static_cast<int64_t>(i) * m_nWidth + x) / m_nLevel;
                uint32_t* pSum = &m_Sums[static_cast<size_t>(oy * m_nWidth + ox) * BYTES_PER_PIXEL];
                for (int c = 0; c < BYTES_PER_PIXEL; ++c)
                    pSum[c] += pRow[x * BYTES_PER_PIXEL + c];
            }
        }
    }

    // Every output pixel: its sums divided by s x s, truncated.
    void Write(BYTE* pRows, INT nPitch) const
    {
        const uint32_t nSamples = static_cast<uint32_t>(m_nLevel * m_nLevel);
        for (int32_t y = 0; y < m_nHeight; ++y)
        {
            BYTE* pRow = pRows + static_cast<ptrdiff_t>(y) * nPitch;
            const uint32_t* pSum = &m_Sums[static_cast<size_t>(y) * m_nWidth * BYTES_PER_PIXEL];
            for (int32_t x = 0; x < m_nWidth * BYTES_PER_PIXEL; ++x)
                pRow[x] = static_cast<BYTE>(pSum[x] / nSamples);
        }
    }

private:
    int32_t m_nWidth, m_nHeight, m_nLevel;
    std::vector<uint32_t> m_Sums;
};

bool CreateImageTexture(IDirect3DDevice9* pDevice, int32_t nWidth, int32_t nHeight, D3DPOOL nPool, DWORD nUsage,
                        IDirect3DTexture9** ppTexture)
{
    ReleaseTracerObject(*ppTexture);
    if (SUCCEEDED(pDevice->CreateTexture(static_cast<UINT>(nWidth), static_cast<UINT>(nHeight), 1, nUsage,
                                         D3DFMT_A8R8G8B8, nPool, ppTexture, nullptr)))
        return true;
    *ppTexture = nullptr;
    return false;
}

// Level 0 of the source copied row by row into level 0 of the target of the same size.
bool CopyImageTexture(IDirect3DTexture9* pSource, IDirect3DTexture9* pTarget, int32_t nWidth, int32_t nHeight)
{
    D3DLOCKED_RECT source{}, target{};
    if (FAILED(pSource->LockRect(0, &source, nullptr, D3DLOCK_READONLY)))
        return false;
    if (FAILED(pTarget->LockRect(0, &target, nullptr, 0)))
    {
        pSource->UnlockRect(0);
        return false;
    }
    for (int32_t y = 0; y < nHeight; ++y)
        std::memcpy(static_cast<BYTE*>(target.pBits) + static_cast<ptrdiff_t>(y) * target.Pitch,
                    static_cast<const BYTE*>(source.pBits) + static_cast<ptrdiff_t>(y) * source.Pitch,
                    static_cast<size_t>(nWidth) * BYTES_PER_PIXEL);
    pTarget->UnlockRect(0);
    pSource->UnlockRect(0);
    return true;
}
}

void RenderApp::RunPhotonTracer()
{
    if (!m_pDevice || !m_pRenderer)
        return;
    IDirect3DSurface9* pBackBuffer = nullptr;
    IDirect3DSurface9* pDepth = nullptr;
    m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    m_pDevice->GetDepthStencilSurface(&pDepth);
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    SetPointSampling();
    if (g_bTracePhoton)
        RenderGlobalIllumination();
    UnbindTracerTextures(m_pDevice, m_pRenderer);
    m_pDevice->SetDepthStencilSurface(pDepth);
    ReleaseTracerObject(pDepth);
    RestoreRenderStates(pBackBuffer);
}

void RenderApp::RenderGlobalIllumination()
{
    // Lights added while a render runs are not seen.
    const int nLights = static_cast<int>(m_Scene.m_Lights.GetCount());
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    if (g_nCompletedRenders != 0)
    {
        if (g_bTracedImageReady)
            PresentTracedImage();
        return;
    }
    // The latch is set whether or not the render can run, so a refused render is reported once.
    ++g_nCompletedRenders;
    g_nRadianceEstimatePasses = 0;
    g_bTracedImageReady = 0;
    if (!PrepareTracedRender())
        return;

    ImageSettings& settings = m_Scene.m_ImageSettings;
    settings.m_nImageFormat = TRACED_IMAGE_FORMAT;
    const OutputSizePreset& preset = GetOutputSizePreset(TRACED_IMAGE_FORMAT);
    const bool bOverride = g_nTracedImageWidth > 0 && g_nTracedImageHeight > 0;
    settings.m_nOutputWidth = bOverride ? g_nTracedImageWidth : preset.m_nWidth;
    settings.m_nOutputHeight = bOverride ? g_nTracedImageHeight : preset.m_nHeight;
    const int32_t w = settings.m_nOutputWidth, h = settings.m_nOutputHeight;
    g_nTileWidth = w;
    g_nTileHeight = h;

    // The screen-size targets are made at the tile size for the render and given their size
    // back afterwards.
    int32_t nTargetWidth = 0, nTargetHeight = 0;
    GetTextureSize(g_pGBufferTargets[0], nTargetWidth, nTargetHeight);
    const bool bResized = nTargetWidth != w || nTargetHeight != h;
    auto restoreTargets = [&]() {
        if (bResized && nTargetWidth > 0 && nTargetHeight > 0)
            RecreateScreenTargets(nTargetWidth, nTargetHeight);
    };
    if (bResized && !RecreateScreenTargets(w, h))
    {
        LogError("RenderApp::RenderGlobalIllumination() - the %d x %d tile targets could not be made; no image is "
                 "traced.",
                 w, h);
        restoreTargets();
        return;
    }
    D3DSURFACE_DESC readbackDesc{};
    if (!g_pReadbackSurface || FAILED(g_pReadbackSurface->GetDesc(&readbackDesc)) ||
        readbackDesc.Width != static_cast<UINT>(w) || readbackDesc.Height != static_cast<UINT>(h))
    {
        ReleaseTracerObject(g_pReadbackSurface);
        if (FAILED(m_pDevice->CreateRenderTarget(static_cast<UINT>(w), static_cast<UINT>(h), D3DFMT_A8R8G8B8,
                                                 D3DMULTISAMPLE_NONE, 0, TRUE, &g_pReadbackSurface, nullptr)))
            g_pReadbackSurface = nullptr;
    }
    if (!g_pReadbackSurface ||
        !CreateImageTexture(m_pDevice, w, h, D3DPOOL_SYSTEMMEM, D3DUSAGE_DYNAMIC, &g_pOutputTexture) ||
        !CreateImageTexture(m_pDevice, w, h, D3DPOOL_MANAGED, 0, &g_pTracedImageTexture))
    {
        LogError("RenderApp::RenderGlobalIllumination() - the %d x %d output image could not be made; no image is "
                 "traced.",
                 w, h);
        restoreTargets();
        return;
    }

    const auto tStart = std::chrono::steady_clock::now();
    const int32_t n = g_bAntialiasing ? std::clamp<int32_t>(g_nSamplingLevel, 1, MAX_SAMPLING_LEVEL) : 1;
    const Matrix4 keptProjection = g_matProjection;
    D3DXMATRIX tileProjection = ToD3DX(keptProjection);
    tileProjection._11 *= static_cast<float>(n);
    tileProjection._22 *= static_cast<float>(n);
    TileAssembler assembler(w, h, n);
    bool bReadBack = true;
    for (int i = 0; i < n && bReadBack; ++i)
        for (int j = 0; j < n && bReadBack; ++j)
        {
            tileProjection._31 = static_cast<float>((n - 1) - 2 * i);
            tileProjection._32 = -static_cast<float>((n - 1) - 2 * j);
            g_matProjection = ToMatrix4(tileProjection);
            RenderTracedTile(nLights);

            // The tile's picture, which the tile's finish left in the read-back surface, into
            // the sums.
            D3DLOCKED_RECT locked{};
            bReadBack = SUCCEEDED(g_pReadbackSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY));
            if (bReadBack)
            {
                assembler.AddTile(static_cast<const BYTE*>(locked.pBits), locked.Pitch, i, j);
                g_pReadbackSurface->UnlockRect();
            }
            m_pDevice->SetVertexDeclaration(m_pMeshDecl);
        }
    g_matProjection = keptProjection;

    D3DLOCKED_RECT output{};
    if (!bReadBack || FAILED(g_pOutputTexture->LockRect(0, &output, nullptr, 0)))
    {
        LogError("RenderApp::RenderGlobalIllumination() - the traced tiles could not be read back; no image is kept.");
        restoreTargets();
        return;
    }
    assembler.Write(static_cast<BYTE*>(output.pBits), output.Pitch);
    g_pOutputTexture->UnlockRect(0);
    const double fSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - tStart).count();
    if (SaveTracedImage())
        LogWarning("RenderApp::RenderGlobalIllumination() - the %d x %d traced image (%d x %d tiles, %d radiance "
                   "estimate passes) took %.1f s and is saved as \"%s\".",
                   w, h, n, n, g_nRadianceEstimatePasses, fSeconds, g_szImagePath);
    restoreTargets();
    if (!CopyImageTexture(g_pOutputTexture, g_pTracedImageTexture, w, h))
    {
        LogError("RenderApp::RenderGlobalIllumination() - the traced image could not be kept for display.");
        return;
    }
    g_bTracedImageReady = 1;
    PresentTracedImage();
}

void RenderApp::RenderTracedTile(int nLights)
{
    RenderGBufferCulled();
    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[4]);
    BindTextureTarget(m_pDevice, 1, g_pPhotonTargets[5]);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    UnbindTargets(m_pDevice);
    struct Kind
    {
        int nKind;
        int32_t bOn;
        int32_t nTiles;
    };
    // The flags are compared with 1: any other value leaves the kind out.
    const Kind kinds[2] = {{0, g_bDirectIllumination, g_nDirectEmanateTile}, {1, g_bGlobalIllumination, g_nGlobalEmanateTile}};
    for (int l = 0; l < nLights; ++l)
    {
        SceneLight* pLight = static_cast<SceneLight*>(m_Scene.m_Lights.Get(static_cast<uint32_t>(l)));
        if (!pLight || !pLight->m_bEnabled)
            continue;
        for (const Kind& kind : kinds)
        {
            if (kind.bOn != 1)
                continue;
            ClearAndDepthPass(kind.nKind);
            for (int a = 0; a < kind.nTiles; ++a)
                for (int b = 0; b < kind.nTiles; ++b)
                {
                    RenderLightPasses(pLight, kind.nKind, a, b);
                    TraceAndGatherPhotons(pLight, 0, kind.nKind, a, b);
                }
            CombinePhotonTargets(kind.nKind);
        }
    }
    CompositeGlobalIllumination();
    RenderSpecularPaths(g_pSceneTexture);
}

void RenderApp::PresentTracedImage()
{
    if (!g_pTracedImageTexture || !m_pQuadVB)
        return;
    IDirect3DSurface9* pBackBuffer = nullptr;
    if (FAILED(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer)))
        return;
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    SetPointSampling();
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderTarget(0, pBackBuffer);
    ReleaseTracerObject(pBackBuffer);
    UnbindTargets(m_pDevice);
    UnbindTextures(m_pDevice, 1);
    m_pDevice->SetTexture(0, g_pTracedImageTexture);
    const float c31[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(31, c31, 1);
    DrawTracerQuad(SCALED_COPY_PIXEL_PROGRAM);
    m_pDevice->SetTexture(0, nullptr);
}

bool RenderApp::SaveTracedImage()
{
    auto fail = [](const char* szReason) {
        LogError("RenderApp::SaveTracedImage() - the traced image could not be saved as \"%s\": %s.", g_szImagePath,
                 szReason);
        char szText[IMAGE_PATH_SIZE + 128];
        std::snprintf(szText, sizeof(szText), "The traced image could not be saved as \"%s\": %s.", g_szImagePath,
                      szReason);
        MessageBoxA(nullptr, szText, "Trace Photon", MB_OK | MB_ICONERROR);
        return false;
    };
    if (!g_szImagePath[0])
        return fail("no image path");
    if (!g_pOutputTexture)
        return fail("no output image");
    // The folder is made when missing (a fresh working directory has no "Images").
    const std::filesystem::path folder = std::filesystem::path(MapFilePath(g_szImagePath, true)).parent_path();
    std::error_code error;
    if (!folder.empty() && !std::filesystem::is_directory(folder, error))
    {
        std::filesystem::create_directories(folder, error);
        if (error)
            return fail(("its folder could not be made (" + error.message() + ")").c_str());
    }
    IDirect3DSurface9* pSurface = nullptr;
    if (FAILED(g_pOutputTexture->GetSurfaceLevel(0, &pSurface)) || !pSurface)
        return fail("the output image has no surface");
    const HRESULT hr = D3DXSaveSurfaceToFileA(g_szImagePath, D3DXIFF_BMP, pSurface, nullptr, nullptr);
    pSurface->Release();
    if (FAILED(hr))
        return fail("the file could not be written");
    return true;
}
