// RenderApp start-up: the pixel format asked of the device, Init before the main window exists,
// Load once the device exists (textures, font, declarations, sampler states, shader programs,
// occlusion query, render targets, tracer parameters) and the release of what Load made.
#include "app/RenderApp.h"

#include "3dapi/DebugDrawList.h"
#include "3dapi/RenderTimer.h"
#include "3dapi/Renderer.h"
#include "3dapi/TextureFont.h"
#include "core/Log.h"
#include "morvyn/morvyn.h"
#include "scene/MediaDirectory.h"
#include "scene/RenderOptions.h"

#include <win32/paths.h>
#include <win32/resources.h>
#include <win32/user.h>

#include <d3dx9tex.h>

#include <cstdio>
#include <cstring>

// Ids without a program: vertex 2 to 6, 9, 11, 28 to 39, 44 to 49; pixel 1, 4 to 37, 40 to 42,
// 44 to 46, 76 to 99, 117 to 119.
const ShaderIdRange RenderApp::VERTEX_SHADER_IDS[] = {{0, 1}, {7, 8}, {10, 10}, {12, 27}, {40, 43}, {50, 53}};
const ShaderIdRange RenderApp::PIXEL_SHADER_IDS[] = {{0, 0},   {2, 3},     {38, 39},  {43, 43},
                                                     {47, 75}, {100, 116}, {120, 175}};
const int RenderApp::VERTEX_SHADER_RANGE_COUNT = sizeof(VERTEX_SHADER_IDS) / sizeof(VERTEX_SHADER_IDS[0]);
const int RenderApp::PIXEL_SHADER_RANGE_COUNT = sizeof(PIXEL_SHADER_IDS) / sizeof(PIXEL_SHADER_IDS[0]);

namespace
{
// Media files, relative to the working directory. The message boxes of a failed load keep their
// old texts and add the name of what failed.
const char* const ENVIRONMENT_CUBE_FILE = "Media/t.dds";
const char* const NOISE_TEXTURE_FILE = "Media/DiffuseB.bmp";
const char* const FONT_TEXTURE_FILE = "Media/font2.dds";
const char* const IMAGE_PATH_SUFFIX = "/Images/Default.bmp";
const int OVERLAY_BITMAP_RESOURCE = 271;
const int ENV_CUBE_TARGET_SIZE = 128;

// ---- Vertex declarations (stream 0, default method).
constexpr BYTE F2 = D3DDECLTYPE_FLOAT2;
constexpr BYTE F3 = D3DDECLTYPE_FLOAT3;
constexpr BYTE F4 = D3DDECLTYPE_FLOAT4;
constexpr BYTE POS = D3DDECLUSAGE_POSITION;
constexpr BYTE TEX = D3DDECLUSAGE_TEXCOORD;

const D3DVERTEXELEMENT9 MESH_ELEMENTS[] = {
    {0, 0, F3, 0, POS, 0},  {0, 12, F2, 0, TEX, 0}, {0, 20, F3, 0, TEX, 1}, {0, 32, F3, 0, TEX, 2},
    {0, 44, F3, 0, TEX, 3}, {0, 56, F2, 0, TEX, 4}, D3DDECL_END()};
const D3DVERTEXELEMENT9 SHADOW_VOLUME_ELEMENTS[] = {{0, 0, F3, 0, POS, 0}, {0, 12, F3, 0, TEX, 0}, D3DDECL_END()};
const D3DVERTEXELEMENT9 PARTICLE_ELEMENTS[] = {{0, 0, F4, 0, POS, 0},  {0, 16, F4, 0, TEX, 0}, {0, 32, F4, 0, TEX, 1},
                                               {0, 48, F4, 0, TEX, 2}, {0, 64, F4, 0, TEX, 3}, D3DDECL_END()};
const D3DVERTEXELEMENT9 QUAD_ELEMENTS[] = {{0, 0, F4, 0, POS, 0}, {0, 16, F2, 0, TEX, 0}, D3DDECL_END()};
const D3DVERTEXELEMENT9 POINT_ELEMENTS[] = {{0, 0, F2, 0, POS, 0}, {0, 8, F2, 0, TEX, 0}, D3DDECL_END()};

// ---- Sampler states: samplers 0 to 3 mirror in U and V (2 also in W); 0 to 2 and 4 to 6 filter
// anisotropically, 3 linearly. Mip filter 3 is the value of D3DTEXF_ANISOTROPIC, which is not a
// mip filter; the device reads it as linear.
struct SamplerSetting
{
    DWORD m_nSampler;
    D3DSAMPLERSTATETYPE m_nState;
    DWORD m_nValue;
};
constexpr DWORD MIRROR = D3DTADDRESS_MIRROR;
constexpr DWORD ANISO = D3DTEXF_ANISOTROPIC;
constexpr DWORD LINEAR = D3DTEXF_LINEAR;
const SamplerSetting SAMPLER_SETTINGS[] = {
    {0, D3DSAMP_ADDRESSU, MIRROR}, {0, D3DSAMP_ADDRESSV, MIRROR}, {0, D3DSAMP_MINFILTER, ANISO},
    {0, D3DSAMP_MAGFILTER, ANISO}, {0, D3DSAMP_MIPFILTER, 3},     {1, D3DSAMP_ADDRESSU, MIRROR},
    {1, D3DSAMP_ADDRESSV, MIRROR}, {1, D3DSAMP_MINFILTER, ANISO}, {1, D3DSAMP_MAGFILTER, ANISO},
    {1, D3DSAMP_MIPFILTER, 3},     {2, D3DSAMP_ADDRESSU, MIRROR}, {2, D3DSAMP_ADDRESSV, MIRROR},
    {2, D3DSAMP_ADDRESSW, MIRROR}, {2, D3DSAMP_MINFILTER, ANISO}, {2, D3DSAMP_MAGFILTER, ANISO},
    {2, D3DSAMP_MIPFILTER, 3},     {3, D3DSAMP_ADDRESSU, MIRROR}, {3, D3DSAMP_ADDRESSV, MIRROR},
    {3, D3DSAMP_MINFILTER, LINEAR},{3, D3DSAMP_MAGFILTER, LINEAR},{3, D3DSAMP_MIPFILTER, LINEAR},
    {4, D3DSAMP_MINFILTER, ANISO}, {4, D3DSAMP_MAGFILTER, ANISO}, {4, D3DSAMP_MIPFILTER, LINEAR},
    {5, D3DSAMP_MINFILTER, ANISO}, {5, D3DSAMP_MAGFILTER, ANISO}, {5, D3DSAMP_MIPFILTER, LINEAR},
    {6, D3DSAMP_MINFILTER, ANISO}, {6, D3DSAMP_MAGFILTER, ANISO}, {6, D3DSAMP_MIPFILTER, LINEAR},
};

// The resource types the assembler reads programs from.
bool ProgramResourceExists(int nResourceId)
{
    return FindResourceEntry("PSH", nResourceId) || FindResourceEntry("VSH", nResourceId) ||
           FindResourceEntry("RCDATA", nResourceId);
}

template <class T> void ReleaseObject(T*& pObject)
{
    if (pObject)
        pObject->Release();
    pObject = nullptr;
}

// Fills one shader table from its id ranges. A program that is not among the resources is one
// logged error and -1, without asking the renderer (which would show a message box per id); a
// program that fails to assemble is -1 as the renderer returns it, with a logged error.
void LoadShaderTable(Renderer& renderer, bool bPixel, const ShaderIdRange* pRanges, int nRanges, int32_t* pTable)
{
    const char* szKind = bPixel ? "pixel" : "vertex";
    const int nBase = bPixel ? RenderApp::PIXEL_RESOURCE_BASE : RenderApp::VERTEX_RESOURCE_BASE;
    for (int r = 0; r < nRanges; ++r)
    {
        for (int nId = pRanges[r].m_nFirst; nId <= pRanges[r].m_nLast; ++nId)
        {
            if (!ProgramResourceExists(nBase + nId))
            {
                LogError("RenderApp::Load() - %s shader program %d (resource %d) is missing; its passes draw nothing.",
                         szKind, nId, nBase + nId);
                pTable[nId] = -1;
                continue;
            }
            pTable[nId] = bPixel ? renderer.CreatePixelShader(nId) : renderer.CreateVertexShader(nId);
            if (pTable[nId] < 0)
                LogError("RenderApp::Load() - %s shader program %d (resource %d) did not assemble; its passes draw "
                         "nothing.",
                         szKind, nId, nBase + nId);
        }
    }
}

// The tracer parameters as Init leaves them (Load then sets its own).
void SetInitTracerParameters()
{
    g_bDirectIllumination = 1;
    g_bGlobalIllumination = 1;
    g_nDirectEmanateTile = 3;
    g_nGlobalEmanateTile = 1;
    g_nDirectPhoton = 48;
    g_nGlobalPhoton = 512;
    g_fDirectSearchRadius = 1.0f;
    g_fGlobalSearchRadius = 1.0f;
    g_nPhotonBlock = 24;
}

// The tracer parameters the first frame sees.
void SetLoadTracerParameters()
{
    SetInitTracerParameters();
    g_nDirectPhoton = 32;
    g_fDirectGaussianCoef = 0.5f;
    g_fGlobalGaussianCoef = 0.05f;
}

// g_szWorkingDir = the current directory, the media directory below it, and g_szImagePath = it
// followed by "/Images/Default.bmp". A directory that does not fit leaves both empty, with a
// logged error: a cut path would name another file, so the traced image is then not saved.
void SetWorkingDirectoryPaths()
{
    DWORD nLength = GetCurrentDirectoryA(MEDIA_PATH_SIZE, g_szWorkingDir);
    if (nLength == 0 || nLength >= static_cast<DWORD>(MEDIA_PATH_SIZE))
    {
        g_szWorkingDir[0] = '\0';
        g_szImagePath[0] = '\0';
        LogError("RenderApp::Load() - the working directory is longer than %d characters; the traced image will not "
                 "be saved.",
                 MEDIA_PATH_SIZE - 1);
        return;
    }
    SetMediaDirectory();
    int nPath = std::snprintf(g_szImagePath, IMAGE_PATH_SIZE, "%s%s", g_szWorkingDir, IMAGE_PATH_SUFFIX);
    if (nPath < 0 || nPath >= IMAGE_PATH_SIZE)
    {
        g_szImagePath[0] = '\0';
        LogError("RenderApp::Load() - the traced image's path below %s is longer than %d characters; the traced "
                 "image will not be saved.",
                 g_szWorkingDir, IMAGE_PATH_SIZE - 1);
    }
}
}

RenderApp::RenderApp()
    : m_Visibility(static_cast<size_t>(VISIBILITY_VIEWS) * MAX_MESHES, 0u), m_MeshOrder(MAX_MESHES, 0)
{
    for (int32_t& nId : m_VertexShaders)
        nId = -1;
    for (int32_t& nId : m_PixelShaders)
        nId = -1;
    D3DXMatrixIdentity(&m_matShadowTexture);
}

RenderApp::~RenderApp()
{
    ReleaseDevice(nullptr);
    delete m_pFont;
    if (g_pRenderApp == this)
        g_pRenderApp = nullptr;
}

bool RenderApp::SelectPixelFormat(PixelFormatRequest& format)
{
    format = {8, 8, 8, 8, 24, 8};
    return true;
}

bool RenderApp::ResetCamera()
{
    m_vCameraPosition = Vector3(580.0f, 250.0f, 410.0f);
    m_vCameraAngles = Vector3(0.441f, 2.348f, 0.0f);
    return true;
}

bool RenderApp::Init()
{
    m_matProjection.SetPerspective(1.0471976f, 0.65f, 1.0f, 2000.0f);
    g_pRenderApp = this;
    m_fFrameTimeStamp = 0.0f;
    m_fFrameStep = 0.0f;
    m_fFps = 0.0f;
    m_szFpsText[0] = '\0';
    m_nFpsFrameCount = 0;
    m_fFpsLastTime = -1.0f;
    RenderTimerCommand(TimerStart);
    delete m_pFont;
    m_pFont = new TextureFont("Impact", 10, 0);
    SetInitTracerParameters();
    m_Scene2.m_bAddLights = 0;
    return true;
}

bool RenderApp::Load()
{
    if (!m_pDevice || !m_pRenderer)
    {
        LogError("RenderApp::Load() - there is no device.");
        return false;
    }
    SetMorvynDevice(m_pDevice);

    if (!g_pDebugDrawList)
    {
        g_pDebugDrawList = new DebugDrawList();
        g_pDebugDrawList->Setup();
        g_pDebugDrawList->CreateDeviceResources();
        g_pDebugDrawList->RestoreDeviceResources();
    }

    HRESULT hr = m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, nullptr);
    m_bOcclusionQuerySupported = hr == D3DERR_NOTAVAILABLE ? 0 : 1;
    if (m_bOcclusionQuerySupported && FAILED(m_pDevice->CreateQuery(D3DQUERYTYPE_OCCLUSION, &m_pOcclusionQuery)))
    {
        m_pOcclusionQuery = nullptr;
        m_bOcclusionQuerySupported = 0;
        LogError("RenderApp::Load() - the occlusion query could not be created; the passes draw without culling.");
    }

    g_nCompletedRenders = 0;

    if (m_pFont)
    {
        m_pFont->CreateDeviceResources(m_pDevice);
        m_pFont->RestoreDeviceResources();
    }

    BuildJitterDirections();
    CreateRasterTextures();
    SetWorkingDirectoryPaths();

    if (FAILED(D3DXCreateCubeTextureFromFileA(m_pDevice, ENVIRONMENT_CUBE_FILE, &g_pEnvironmentCubeTexture)))
    {
        g_pEnvironmentCubeTexture = nullptr;
        LogError("RenderApp::Load() - the background cube texture %s could not be loaded.", ENVIRONMENT_CUBE_FILE);
        MessageBoxA(nullptr, "gsadashdas: Media/t.dds", "hgfdgdfg", MB_OK);
    }
    if (FAILED(D3DXCreateTextureFromResourceA(m_pDevice, nullptr, MAKEINTRESOURCEA(OVERLAY_BITMAP_RESOURCE),
                                              &g_pOverlayTexture)))
    {
        g_pOverlayTexture = nullptr;
        LogError("RenderApp::Load() - the overlay bitmap (resource %d) could not be loaded.", OVERLAY_BITMAP_RESOURCE);
        MessageBoxA(nullptr, "gsadashdas: bitmap resource 271", "hgfdgdfg", MB_OK);
    }
    g_nNoiseTexture = m_pRenderer->LoadTexture(NOISE_TEXTURE_FILE, 0);
    if (g_nNoiseTexture == -1)
    {
        LogError("RenderApp::Load() - the noise texture %s could not be loaded.", NOISE_TEXTURE_FILE);
        MessageBoxA(nullptr, "noise texture failed: Media/DiffuseB.bmp", "morvyn", MB_OK);
    }
    g_nEnvCubeTarget = m_pRenderer->CreateRenderTarget(ENV_CUBE_TARGET_SIZE, ENV_CUBE_TARGET_SIZE, false, true,
                                                       RENDER_TARGET_A8R8G8B8);
    if (g_nEnvCubeTarget == -1)
        LogError("RenderApp::Load() - the environment cube render target could not be created.");
    // The dynamic cube's own target: mode 1 of the environment cube draws into it while the layer
    // passes sample it; its first use fills all six faces.
    g_nEnvCubeTarget2 = m_pRenderer->CreateRenderTarget(ENV_CUBE_TARGET_SIZE, ENV_CUBE_TARGET_SIZE, false, true,
                                                        RENDER_TARGET_A8R8G8B8);
    m_bEnvCubeTarget2Filled = 0;
    if (g_nEnvCubeTarget2 == -1)
        LogError("RenderApp::Load() - the dynamic environment cube render target could not be created.");
    m_nFontTexture = m_pRenderer->LoadTexture(FONT_TEXTURE_FILE, 0);
    if (m_nFontTexture == -1)
        LogWarning("RenderApp::Load() - the font texture %s could not be loaded.", FONT_TEXTURE_FILE);

    struct Declaration
    {
        const D3DVERTEXELEMENT9* m_pElements;
        IDirect3DVertexDeclaration9** m_ppDeclaration;
        const char* m_szName;
    };
    const Declaration declarations[] = {
        {MESH_ELEMENTS, &m_pMeshDecl, "mesh"},
        {SHADOW_VOLUME_ELEMENTS, &m_pShadowVolumeDecl, "shadow volume"},
        {PARTICLE_ELEMENTS, &m_pParticleDecl, "particle"},
        {QUAD_ELEMENTS, &g_pQuadDeclaration, "screen quad"},
        {POINT_ELEMENTS, &g_pPointDecl, "grid point"},
    };
    for (const Declaration& declaration : declarations)
    {
        ReleaseObject(*declaration.m_ppDeclaration);
        if (FAILED(m_pDevice->CreateVertexDeclaration(declaration.m_pElements, declaration.m_ppDeclaration)))
        {
            *declaration.m_ppDeclaration = nullptr;
            LogError("RenderApp::Load() - the %s vertex declaration could not be created.", declaration.m_szName);
        }
    }

    for (const SamplerSetting& setting : SAMPLER_SETTINGS)
        m_pDevice->SetSamplerState(setting.m_nSampler, setting.m_nState, setting.m_nValue);

    LoadShaderTable(*m_pRenderer, false, VERTEX_SHADER_IDS, VERTEX_SHADER_RANGE_COUNT, m_VertexShaders);
    LoadShaderTable(*m_pRenderer, true, PIXEL_SHADER_IDS, PIXEL_SHADER_RANGE_COUNT, m_PixelShaders);

    SetLoadTracerParameters();
    CreateScreenTargets();
    CreateTracerTargets();
    return true;
}

void RenderApp::ReleaseLoadedResources()
{
    if (g_pDebugDrawList)
    {
        g_pDebugDrawList->ReleaseDeviceResources();
        g_pDebugDrawList->DestroyDeviceResources();
        g_pDebugDrawList->Cleanup();
        delete g_pDebugDrawList;
        g_pDebugDrawList = nullptr;
    }
    if (m_pFont)
    {
        m_pFont->ReleaseDeviceResources();
        m_pFont->DestroyDeviceResources();
    }
    ReleaseTracerResources();
    ReleaseTimingTargets();
    ReleaseObject(m_pOcclusionQuery);
    ReleaseObject(m_pMeshDecl);
    ReleaseObject(m_pShadowVolumeDecl);
    ReleaseObject(m_pParticleDecl);
    ReleaseObject(g_pQuadDeclaration);
    ReleaseObject(g_pPointDecl);
    ReleaseObject(g_pEnvironmentCubeTexture);
    ReleaseObject(g_pOverlayTexture);
    // Textures, targets and programs of the renderer's tables go with the renderer.
    g_nNoiseTexture = -1;
    g_nEnvCubeTarget = -1;
    g_nEnvCubeTarget2 = -1;
    m_nFontTexture = -1;
    m_nWhiteTexture = -1;
    for (int32_t& nId : m_VertexShaders)
        nId = -1;
    for (int32_t& nId : m_PixelShaders)
        nId = -1;
    // The rendering core must not keep a device that is about to go.
    if (m_pDevice)
        SetMorvynDevice(nullptr);
}

bool RenderApp::ReleaseDevice(HWND hWnd)
{
    ReleaseLoadedResources();
    return Direct3DApplication::ReleaseDevice(hWnd);
}
