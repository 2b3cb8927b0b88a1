#include "device/Device.h"

#include "core/Log.h"
#include "device/Presenter.h"
#include "device/Surface.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace
{
std::atomic<UINT> g_nLastDeviceNumber{0};

// What GetAvailableTextureMem reports: the device keeps everything in system memory, so this is
// a nominal figure, large enough for every resource the system makes.
constexpr UINT AVAILABLE_TEXTURE_MEMORY = 512u << 20;

// Converts an image to the presenter's 32-bit pixels.
PresentImage ToPresentImage(const ImageStorage& storage)
{
    PresentImage image;
    image.nWidth = storage.nWidth;
    image.nHeight = storage.nHeight;
    image.pixels.resize(static_cast<size_t>(storage.nWidth) * storage.nHeight);
    const FormatInfo& argb = *FindFormat(D3DFMT_A8R8G8B8);
    for (UINT y = 0; y < storage.nHeight; ++y)
        for (UINT x = 0; x < storage.nWidth; ++x)
        {
            float rgba[4];
            ReadStorageTexel(storage, x, y, 0, rgba);
            BYTE bytes[4];
            EncodePixel(argb, rgba, bytes);
            std::memcpy(&image.pixels[static_cast<size_t>(y) * storage.nWidth + x], bytes, 4);
        }
    return image;
}
}  // namespace

Device::Device(IDirect3D9* pDirect3D, HWND hFocusWindow, const D3DPRESENT_PARAMETERS& params,
               std::unique_ptr<Backend> pBackend)
    : ComObject(ObjectKind::Device, nullptr), m_pDirect3D(pDirect3D), m_hFocusWindow(hFocusWindow),
      m_PresentParams(params), m_pBackend(std::move(pBackend)), m_nDeviceNumber(++g_nLastDeviceNumber)
{
    ObjectOf(m_pDirect3D)->AddRefInternal();
}

Device::~Device()
{
    m_pBackend.reset();
    ObjectOf(m_pDirect3D)->ReleaseInternal();
}

void Device::Initialize()
{
    const D3DPRESENT_PARAMETERS& pp = m_PresentParams;
    const ImageParams backBuffer{FindFormat(pp.BackBufferFormat),
                                 D3DUSAGE_RENDERTARGET,
                                 D3DPOOL_DEFAULT,
                                 pp.BackBufferWidth,
                                 pp.BackBufferHeight,
                                 1,
                                 (pp.Flags & D3DPRESENTFLAG_LOCKABLE_BACKBUFFER) != 0};
    // The device's own surfaces are held internally only; a caller's GetBackBuffer adds the
    // public references.
    auto* pBackBuffer = new Surface(this, nullptr, backBuffer);
    m_pBackBuffer.Reset(pBackBuffer);
    pBackBuffer->ReleasePublic();
    if (pp.EnableAutoDepthStencil)
    {
        const ImageParams depth{FindFormat(pp.AutoDepthStencilFormat), D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT,
                                pp.BackBufferWidth, pp.BackBufferHeight, 1, false};
        auto* pDepth = new Surface(this, nullptr, depth);
        m_pAutoDepthStencil.Reset(pDepth);
        pDepth->ReleasePublic();
    }
    ResetToDefaults(m_State, pp.EnableAutoDepthStencil != FALSE, pp.BackBufferWidth, pp.BackBufferHeight);
    m_State.renderTargets[0] = m_pBackBuffer;
    m_State.pDepthStencil = m_pAutoDepthStencil;
}

bool Device::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DDevice9;
}

void Device::OnLastPublicRelease()
{
    m_pBackend->Flush();
    m_pRecording.reset();
    for (auto& target : m_State.renderTargets)
        target.Reset();
    m_State.pDepthStencil.Reset();
    ResetToDefaults(m_State, false, 0, 0);
    m_FvfDeclarations.clear();
    m_pBackBuffer.Reset();
    m_pAutoDepthStencil.Reset();
}

bool Device::Owns(IUnknown* pObject) const
{
    const ObjectBase* pBase = ObjectOf(pObject);
    return pBase && pBase->GetOwningDevice() == this;
}

Device::StateTarget Device::Target()
{
    if (m_pRecording)
        return {m_pRecording->state, &m_pRecording->mask};
    return {m_State, nullptr};
}

void Device::CaptureInto(DeviceState& values, const StateMask& mask) const
{
    CopyMasked(m_State, values, mask);
}

void Device::ApplyFrom(const DeviceState& values, const StateMask& mask)
{
    StateTarget target = Target();
    CopyMasked(values, target.state, mask);
    if (target.pMask)
    {
        StateMask& merged = *target.pMask;
        merged.renderStates |= mask.renderStates;
        merged.samplerStates |= mask.samplerStates;
        merged.stageStates |= mask.stageStates;
        merged.transforms |= mask.transforms;
        merged.bMaterial |= mask.bMaterial;
        merged.bViewport |= mask.bViewport;
        merged.lights |= mask.lights;
        merged.lightEnables |= mask.lightEnables;
        merged.clipPlanes |= mask.clipPlanes;
        merged.vertexFloats |= mask.vertexFloats;
        merged.vertexInts |= mask.vertexInts;
        merged.vertexBools |= mask.vertexBools;
        merged.pixelFloats |= mask.pixelFloats;
        merged.pixelInts |= mask.pixelInts;
        merged.pixelBools |= mask.pixelBools;
        merged.textures |= mask.textures;
        merged.streams |= mask.streams;
        merged.bIndices |= mask.bIndices;
        merged.bDeclaration |= mask.bDeclaration;
        merged.bVertexShader |= mask.bVertexShader;
        merged.bPixelShader |= mask.bPixelShader;
    }
}

HRESULT Device::TestCooperativeLevel()
{
    CallScope call(m_CallLog, "TestCooperativeLevel", [] { return std::string(); });
    return call.Result(D3D_OK);
}

UINT Device::GetAvailableTextureMem()
{
    CallScope call(m_CallLog, "GetAvailableTextureMem", [] { return std::string(); });
    call.Result(D3D_OK);
    return AVAILABLE_TEXTURE_MEMORY;
}

HRESULT Device::GetDirect3D(IDirect3D9** ppD3D9)
{
    CallScope call(m_CallLog, "GetDirect3D", [] { return std::string(); });
    if (call.Failing() || !ppD3D9)
        return call.Result(D3DERR_INVALIDCALL);
    m_pDirect3D->AddRef();
    *ppD3D9 = m_pDirect3D;
    return call.Result(D3D_OK);
}

HRESULT Device::GetDeviceCaps(D3DCAPS9* pCaps)
{
    CallScope call(m_CallLog, "GetDeviceCaps", [] { return std::string(); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(FillCaps(pCaps));
}

HRESULT Device::GetCreationParameters(D3DPRESENT_PARAMETERS* pPresentationParameters)
{
    if (!pPresentationParameters)
        return D3DERR_INVALIDCALL;
    *pPresentationParameters = m_PresentParams;
    return D3D_OK;
}

HRESULT Device::SetCursorProperties(UINT XHotSpot, UINT YHotSpot, IDirect3DSurface9* pCursorBitmap)
{
    CallScope call(m_CallLog, "SetCursorProperties",
                   [&] { return JoinArgs({UintText(XHotSpot), UintText(YHotSpot), ObjectText(pCursorBitmap)}); });
    // The software device draws no hardware cursor; the window layer shows the system cursor.
    if (call.Failing() || !pCursorBitmap || !Owns(pCursorBitmap))
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(D3D_OK);
}

HRESULT Device::Present(const RECT* pSourceRect, const RECT* pDestRect, HWND hDestWindowOverride,
                        const RGNDATA* pDirtyRegion)
{
    CallScope call(m_CallLog, "Present", [&] {
        return JoinArgs({pSourceRect ? "rect" : "NULL", pDestRect ? "rect" : "NULL",
                         hDestWindowOverride ? "hwnd" : "NULL", pDirtyRegion ? "region" : "NULL"});
    });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    m_pBackend->Flush();
    Surface* pBackBuffer = SurfaceOf(m_pBackBuffer);
    const HWND hWnd = hDestWindowOverride ? hDestWindowOverride
                      : m_PresentParams.hDeviceWindow ? m_PresentParams.hDeviceWindow
                                                      : m_hFocusWindow;
    if (!CurrentPresenter().PresentToWindow(hWnd, ToPresentImage(pBackBuffer->GetStorage())))
        LogWarning("Device::Present() - the presenter could not show the frame.");
    return call.Result(D3D_OK);
}

HRESULT Device::GetBackBuffer(UINT iSwapChain, UINT iBackBuffer, D3DBACKBUFFER_TYPE Type,
                              IDirect3DSurface9** ppBackBuffer)
{
    CallScope call(m_CallLog, "GetBackBuffer",
                   [&] { return JoinArgs({UintText(iSwapChain), UintText(iBackBuffer), UintText(Type)}); });
    if (call.Failing() || !ppBackBuffer || iSwapChain != 0 || iBackBuffer != 0 || Type != D3DBACKBUFFER_TYPE_MONO)
        return call.Result(D3DERR_INVALIDCALL);
    *ppBackBuffer = m_pBackBuffer.Get();
    (*ppBackBuffer)->AddRef();
    call.SetOutput(*ppBackBuffer);
    return call.Result(D3D_OK);
}

HRESULT Device::GetFrontBufferData(UINT iSwapChain, IDirect3DSurface9* pDestSurface)
{
    CallScope call(m_CallLog, "GetFrontBufferData",
                   [&] { return JoinArgs({UintText(iSwapChain), ObjectText(pDestSurface)}); });
    Surface* pDest = SurfaceOf(pDestSurface);
    if (call.Failing() || iSwapChain != 0 || !pDest || !Owns(pDestSurface) ||
        pDest->GetFormat().format != D3DFMT_A8R8G8B8 || pDest->IsRenderTarget() || pDest->IsDepthStencil())
        return call.Result(D3DERR_INVALIDCALL);
    m_pBackend->Flush();
    PresentImage desktop;
    if (!CurrentPresenter().GetDesktopImage(desktop))
        return call.Result(D3DERR_INVALIDCALL);
    // The desktop lands at the surface's origin, clipped to both; the rest of the surface is
    // black, as the screen beyond its edges would be.
    ImageStorage& storage = pDest->GetStorage();
    for (UINT y = 0; y < storage.nHeight; ++y)
    {
        BYTE* pRow = storage.Row(y);
        std::memset(pRow, 0, static_cast<size_t>(storage.nWidth) * 4);
        if (y < desktop.nHeight)
            std::memcpy(pRow, &desktop.pixels[static_cast<size_t>(y) * desktop.nWidth],
                        static_cast<size_t>(std::min(storage.nWidth, desktop.nWidth)) * 4);
    }
    ++storage.nVersion;
    return call.Result(D3D_OK);
}

HRESULT Device::BeginScene()
{
    CallScope call(m_CallLog, "BeginScene", [] { return std::string(); });
    if (call.Failing() || m_bInScene)
        return call.Result(D3DERR_INVALIDCALL);
    m_bInScene = true;
    return call.Result(D3D_OK);
}

HRESULT Device::EndScene()
{
    CallScope call(m_CallLog, "EndScene", [] { return std::string(); });
    if (call.Failing() || !m_bInScene)
        return call.Result(D3DERR_INVALIDCALL);
    m_bInScene = false;
    return call.Result(D3D_OK);
}

HRESULT Device::FillCaps(D3DCAPS9* pCaps)
{
    if (!pCaps)
        return D3DERR_INVALIDCALL;
    *pCaps = D3DCAPS9{};
    D3DCAPS9& caps = *pCaps;
    caps.DeviceType = D3DDEVTYPE_HAL;
    caps.PresentationIntervals = D3DPRESENT_INTERVAL_CAPS;
    caps.DevCaps = D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    caps.PrimitiveMiscCaps = D3DPMISCCAPS_CULLNONE | D3DPMISCCAPS_CULLCW | D3DPMISCCAPS_CULLCCW |
                             D3DPMISCCAPS_COLORWRITEENABLE | D3DPMISCCAPS_BLENDOP;
    caps.TextureCaps = D3DPTEXTURECAPS_PERSPECTIVE | D3DPTEXTURECAPS_ALPHA | D3DPTEXTURECAPS_MIPMAP |
                       D3DPTEXTURECAPS_CUBEMAP | D3DPTEXTURECAPS_VOLUMEMAP | D3DPTEXTURECAPS_MIPVOLUMEMAP |
                       D3DPTEXTURECAPS_MIPCUBEMAP;
    caps.TextureFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR | D3DPTFILTERCAPS_MIPFPOINT |
                             D3DPTFILTERCAPS_MIPFLINEAR | D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps.CubeTextureFilterCaps = caps.TextureFilterCaps;
    caps.VolumeTextureFilterCaps = caps.TextureFilterCaps;
    caps.TextureAddressCaps = D3DPTADDRESSCAPS_WRAP | D3DPTADDRESSCAPS_MIRROR | D3DPTADDRESSCAPS_CLAMP |
                              D3DPTADDRESSCAPS_BORDER | D3DPTADDRESSCAPS_MIRRORONCE;
    caps.VolumeTextureAddressCaps = caps.TextureAddressCaps;
    caps.MaxTextureWidth = caps.MaxTextureHeight = 4096;
    caps.MaxVolumeExtent = 512;
    caps.MaxTextureRepeat = 8192;
    caps.MaxTextureAspectRatio = 4096;
    // Anisotropic filtering is sampled as linear, so the device reports no anisotropy.
    caps.MaxAnisotropy = 1;
    caps.MaxVertexW = 1e10f;
    // The rasteriser clips x and y only beyond a ±16384-pixel guard band.
    caps.GuardBandLeft = caps.GuardBandTop = -16384.0f;
    caps.GuardBandRight = caps.GuardBandBottom = 16384.0f;
    caps.StencilCaps = D3DSTENCILCAPS_KEEP | D3DSTENCILCAPS_ZERO | D3DSTENCILCAPS_REPLACE | D3DSTENCILCAPS_INCRSAT |
                       D3DSTENCILCAPS_DECRSAT | D3DSTENCILCAPS_INVERT | D3DSTENCILCAPS_INCR | D3DSTENCILCAPS_DECR |
                       D3DSTENCILCAPS_TWOSIDED;
    caps.FVFCaps = 8;  // texture coordinate sets
    caps.MaxTextureBlendStages = STAGE_COUNT;
    caps.MaxSimultaneousTextures = STAGE_COUNT;
    caps.MaxActiveLights = 8;
    caps.MaxUserClipPlanes = MAX_CLIP_PLANES;
    caps.MaxPointSize = 1.0f;
    caps.MaxPrimitiveCount = 0xFFFFF;
    caps.MaxVertexIndex = 0xFFFFFF;
    caps.MaxStreams = MAX_STREAMS;
    caps.MaxStreamStride = 255;
    caps.VertexShaderVersion = D3DVS_VERSION(2, 0);
    caps.MaxVertexShaderConst = VS_FLOAT_CONSTANTS;
    caps.PixelShaderVersion = D3DPS_VERSION(2, 0);
    caps.PixelShader1xMaxValue = 1.0f;
    caps.NumberOfAdaptersInGroup = 1;
    caps.NumSimultaneousRTs = MAX_RENDER_TARGETS;
    caps.StretchRectFilterCaps = D3DPTFILTERCAPS_MINFPOINT | D3DPTFILTERCAPS_MINFLINEAR |
                                 D3DPTFILTERCAPS_MAGFPOINT | D3DPTFILTERCAPS_MAGFLINEAR;
    caps.VS20Caps.NumTemps = 12;
    caps.PS20Caps.NumTemps = 12;
    caps.PS20Caps.NumInstructionSlots = 96;
    return D3D_OK;
}

Device* DeviceOf(IDirect3DDevice9* pDevice)
{
    return dynamic_cast<Device*>(pDevice);
}
