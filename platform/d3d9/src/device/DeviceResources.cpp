// Resource creation and the copies between resources.
#include "core/Log.h"
#include "cpu/formats/ImageOps.h"
#include "device/Device.h"
#include "device/Query.h"
#include "device/Texture.h"

#include <algorithm>

namespace
{
constexpr UINT MAX_IMAGE_SIZE = 4096;
constexpr UINT MAX_VOLUME_SIZE = 512;

// The format of a colour resource, or null (logged) when the device does not store it or it
// cannot serve the usage.
const FormatInfo* ColorFormat(const char* szMethod, D3DFORMAT format, DWORD usage)
{
    const FormatInfo* pInfo = FindFormat(format);
    if (!pInfo || pInfo->kind == FormatKind::Depth)
    {
        LogWarning("Device::%s() - format %u is not a colour format the device stores.", szMethod,
                   static_cast<unsigned>(format));
        return nullptr;
    }
    if ((usage & D3DUSAGE_RENDERTARGET) && !pInfo->renderTarget)
    {
        LogWarning("Device::%s() - format %s cannot be a render target.", szMethod, pInfo->name);
        return nullptr;
    }
    return pInfo;
}

bool ValidSize(UINT size, UINT limit)
{
    return size >= 1 && size <= limit;
}

bool ValidPool(D3DPOOL pool)
{
    return pool <= D3DPOOL_SCRATCH;
}

// Render targets live in the default pool; dynamic resources cannot be managed.
bool ValidUsageForPool(DWORD usage, D3DPOOL pool)
{
    if ((usage & D3DUSAGE_RENDERTARGET) && pool != D3DPOOL_DEFAULT)
        return false;
    if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED)
        return false;
    return ValidPool(pool) && !(usage & D3DUSAGE_DEPTHSTENCIL);
}

// Levels 0 asks for the full chain; more than the full chain is refused (0 returned).
UINT ResolveLevels(UINT levels, UINT width, UINT height, UINT depth)
{
    const UINT full = FullChainLevels(width, height, depth);
    if (levels == 0)
        return full;
    return levels <= full ? levels : 0;
}

bool IsDepthFormat(D3DFORMAT format)
{
    const FormatInfo* pInfo = FindFormat(format);
    return pInfo && pInfo->kind == FormatKind::Depth;
}
}  // namespace

HRESULT Device::CreateTexture(UINT Width, UINT Height, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                              IDirect3DTexture9** ppTexture, HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateTexture", [&] {
        return JoinArgs({UintText(Width), UintText(Height), UintText(Levels), UsageText(Usage), FormatName(Format),
                         PoolName(Pool)});
    });
    if (call.Failing() || !ppTexture || pSharedHandle || !ValidSize(Width, MAX_IMAGE_SIZE) ||
        !ValidSize(Height, MAX_IMAGE_SIZE) || !ValidUsageForPool(Usage, Pool))
        return call.Result(D3DERR_INVALIDCALL);
    const FormatInfo* pFormat = ColorFormat("CreateTexture", Format, Usage);
    const UINT nLevels = ResolveLevels(Levels, Width, Height, 1);
    if (!pFormat || nLevels == 0)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pTexture = new Texture(this, {pFormat, Usage, Pool, Width, Height, 1, nLevels});
    *ppTexture = pTexture;
    call.SetOutput(pTexture);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateVolumeTexture(UINT Width, UINT Height, UINT Depth, UINT Levels, DWORD Usage, D3DFORMAT Format,
                                    D3DPOOL Pool, IDirect3DVolumeTexture9** ppVolumeTexture, HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateVolumeTexture", [&] {
        return JoinArgs({UintText(Width), UintText(Height), UintText(Depth), UintText(Levels), UsageText(Usage),
                         FormatName(Format), PoolName(Pool)});
    });
    if (call.Failing() || !ppVolumeTexture || pSharedHandle || !ValidSize(Width, MAX_VOLUME_SIZE) ||
        !ValidSize(Height, MAX_VOLUME_SIZE) || !ValidSize(Depth, MAX_VOLUME_SIZE) ||
        (Usage & D3DUSAGE_RENDERTARGET) || !ValidUsageForPool(Usage, Pool))
        return call.Result(D3DERR_INVALIDCALL);
    const FormatInfo* pFormat = ColorFormat("CreateVolumeTexture", Format, Usage);
    const UINT nLevels = ResolveLevels(Levels, Width, Height, Depth);
    if (!pFormat || nLevels == 0)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pTexture = new VolumeTexture(this, {pFormat, Usage, Pool, Width, Height, Depth, nLevels});
    *ppVolumeTexture = pTexture;
    call.SetOutput(pTexture);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateCubeTexture(UINT EdgeLength, UINT Levels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DCubeTexture9** ppCubeTexture, HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateCubeTexture", [&] {
        return JoinArgs({UintText(EdgeLength), UintText(Levels), UsageText(Usage), FormatName(Format), PoolName(Pool)});
    });
    if (call.Failing() || !ppCubeTexture || pSharedHandle || !ValidSize(EdgeLength, MAX_IMAGE_SIZE) ||
        !ValidUsageForPool(Usage, Pool))
        return call.Result(D3DERR_INVALIDCALL);
    const FormatInfo* pFormat = ColorFormat("CreateCubeTexture", Format, Usage);
    const UINT nLevels = ResolveLevels(Levels, EdgeLength, EdgeLength, 1);
    if (!pFormat || nLevels == 0)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pTexture = new CubeTexture(this, {pFormat, Usage, Pool, EdgeLength, EdgeLength, 1, nLevels});
    *ppCubeTexture = pTexture;
    call.SetOutput(pTexture);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateVertexBuffer(UINT Length, DWORD Usage, DWORD FVF, D3DPOOL Pool,
                                   IDirect3DVertexBuffer9** ppVertexBuffer, HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateVertexBuffer",
                   [&] { return JoinArgs({UintText(Length), UsageText(Usage), FvfText(FVF), PoolName(Pool)}); });
    if (call.Failing() || !ppVertexBuffer || pSharedHandle || Length == 0 || !ValidUsageForPool(Usage, Pool) ||
        (Usage & D3DUSAGE_RENDERTARGET))
        return call.Result(D3DERR_INVALIDCALL);
    auto* pBuffer = new VertexBuffer(this, Length, Usage, FVF, Pool);
    *ppVertexBuffer = pBuffer;
    call.SetOutput(pBuffer);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateIndexBuffer(UINT Length, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                  IDirect3DIndexBuffer9** ppIndexBuffer, HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateIndexBuffer", [&] {
        return JoinArgs({UintText(Length), UsageText(Usage), Format == D3DFMT_INDEX32 ? "INDEX32" : "INDEX16",
                         PoolName(Pool)});
    });
    if (call.Failing() || !ppIndexBuffer || pSharedHandle || Length == 0 || !ValidUsageForPool(Usage, Pool) ||
        (Usage & D3DUSAGE_RENDERTARGET) || (Format != D3DFMT_INDEX16 && Format != D3DFMT_INDEX32))
        return call.Result(D3DERR_INVALIDCALL);
    auto* pBuffer = new IndexBuffer(this, Length, Usage, Format, Pool);
    *ppIndexBuffer = pBuffer;
    call.SetOutput(pBuffer);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateRenderTarget(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                   DWORD MultisampleQuality, BOOL Lockable, IDirect3DSurface9** ppSurface,
                                   HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateRenderTarget", [&] {
        return JoinArgs({UintText(Width), UintText(Height), FormatName(Format), UintText(MultiSample),
                         UintText(MultisampleQuality), Lockable ? "TRUE" : "FALSE"});
    });
    if (call.Failing() || !ppSurface || pSharedHandle || !ValidSize(Width, MAX_IMAGE_SIZE) ||
        !ValidSize(Height, MAX_IMAGE_SIZE) || MultiSample != D3DMULTISAMPLE_NONE)
        return call.Result(D3DERR_INVALIDCALL);
    const FormatInfo* pFormat = ColorFormat("CreateRenderTarget", Format, D3DUSAGE_RENDERTARGET);
    if (!pFormat)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pSurface = new Surface(
        this, nullptr, {pFormat, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, Width, Height, 1, Lockable != FALSE});
    *ppSurface = pSurface;
    call.SetOutput(pSurface);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateDepthStencilSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DMULTISAMPLE_TYPE MultiSample,
                                          DWORD MultisampleQuality, BOOL Discard, IDirect3DSurface9** ppSurface,
                                          HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateDepthStencilSurface", [&] {
        return JoinArgs({UintText(Width), UintText(Height), FormatName(Format), UintText(MultiSample),
                         UintText(MultisampleQuality), Discard ? "TRUE" : "FALSE"});
    });
    if (call.Failing() || !ppSurface || pSharedHandle || !ValidSize(Width, MAX_IMAGE_SIZE) ||
        !ValidSize(Height, MAX_IMAGE_SIZE) || MultiSample != D3DMULTISAMPLE_NONE || !IsDepthFormat(Format))
        return call.Result(D3DERR_INVALIDCALL);
    auto* pSurface = new Surface(
        this, nullptr, {FindFormat(Format), D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, Width, Height, 1, false});
    *ppSurface = pSurface;
    call.SetOutput(pSurface);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateOffscreenPlainSurface(UINT Width, UINT Height, D3DFORMAT Format, D3DPOOL Pool,
                                            IDirect3DSurface9** ppSurface, HANDLE* pSharedHandle)
{
    CallScope call(m_CallLog, "CreateOffscreenPlainSurface", [&] {
        return JoinArgs({UintText(Width), UintText(Height), FormatName(Format), PoolName(Pool)});
    });
    if (call.Failing() || !ppSurface || pSharedHandle || !ValidSize(Width, MAX_IMAGE_SIZE) ||
        !ValidSize(Height, MAX_IMAGE_SIZE) || !ValidPool(Pool) || Pool == D3DPOOL_MANAGED)
        return call.Result(D3DERR_INVALIDCALL);
    const FormatInfo* pFormat = ColorFormat("CreateOffscreenPlainSurface", Format, 0);
    if (!pFormat)
        return call.Result(D3DERR_INVALIDCALL);
    auto* pSurface = new Surface(this, nullptr, {pFormat, 0, Pool, Width, Height, 1, true});
    *ppSurface = pSurface;
    call.SetOutput(pSurface);
    return call.Result(D3D_OK);
}

HRESULT Device::UpdateTexture(IDirect3DBaseTexture9* pSourceTexture, IDirect3DBaseTexture9* pDestinationTexture)
{
    CallScope call(m_CallLog, "UpdateTexture",
                   [&] { return JoinArgs({ObjectText(pSourceTexture), ObjectText(pDestinationTexture)}); });
    TextureObject* pSource = TextureOf(pSourceTexture);
    TextureObject* pDest = TextureOf(pDestinationTexture);
    if (call.Failing() || !pSource || !pDest || !Owns(pSourceTexture) || !Owns(pDestinationTexture))
        return call.Result(D3DERR_INVALIDCALL);
    const TextureParams& source = pSource->GetTextureParams();
    const TextureParams& dest = pDest->GetTextureParams();
    // System memory to the default pool, same kind and format; a longer source chain skips its
    // top levels so that the sizes line up.
    if (source.nPool != D3DPOOL_SYSTEMMEM || dest.nPool != D3DPOOL_DEFAULT ||
        pSource->GetTextureType() != pDest->GetTextureType() || source.pFormat != dest.pFormat ||
        source.nLevels < dest.nLevels)
        return call.Result(D3DERR_INVALIDCALL);
    const UINT nSkip = source.nLevels - dest.nLevels;
    if (LevelSize(source.nWidth, nSkip) != dest.nWidth || LevelSize(source.nHeight, nSkip) != dest.nHeight ||
        LevelSize(source.nDepth, nSkip) != dest.nDepth)
        return call.Result(D3DERR_INVALIDCALL);
    for (UINT face = 0; face < pDest->GetFaceCount(); ++face)
        for (UINT level = 0; level < dest.nLevels; ++level)
        {
            ImageStorage& from = pSource->GetLevelStorage(face, level + nSkip);
            ImageStorage& to = pDest->GetLevelStorage(face, level);
            m_pBackend->WaitFor(to);
            const UINT nRowBytes = PackedRowBytes(*to.pFormat, to.nWidth);
            for (UINT slice = 0; slice < to.nDepth; ++slice)
                for (UINT row = 0; row < to.nBlockRows; ++row)
                    std::copy_n(from.Row(row, slice), nRowBytes, to.Row(row, slice));
            ++to.nVersion;
        }
    return call.Result(D3D_OK);
}

HRESULT Device::GetRenderTargetData(IDirect3DSurface9* pRenderTarget, IDirect3DSurface9* pDestSurface)
{
    CallScope call(m_CallLog, "GetRenderTargetData",
                   [&] { return JoinArgs({ObjectText(pRenderTarget), ObjectText(pDestSurface)}); });
    Surface* pSource = SurfaceOf(pRenderTarget);
    Surface* pDest = SurfaceOf(pDestSurface);
    if (call.Failing() || !pSource || !pDest || !Owns(pRenderTarget) || !Owns(pDestSurface) ||
        !pSource->IsRenderTarget() || pDest->GetParams().nPool != D3DPOOL_SYSTEMMEM ||
        pSource->GetFormat().format != pDest->GetFormat().format || pSource->GetWidth() != pDest->GetWidth() ||
        pSource->GetHeight() != pDest->GetHeight())
        return call.Result(D3DERR_INVALIDCALL);
    const RECT whole{0, 0, static_cast<LONG>(pSource->GetWidth()), static_cast<LONG>(pSource->GetHeight())};
    m_pBackend->WaitFor(pSource->GetStorage());
    m_pBackend->WaitFor(pDest->GetStorage());
    StretchImage(pSource->GetStorage(), whole, pDest->GetStorage(), whole, D3DTEXF_NONE);
    return call.Result(D3D_OK);
}

HRESULT Device::StretchRect(IDirect3DSurface9* pSourceSurface, const RECT* pSourceRect,
                            IDirect3DSurface9* pDestSurface, const RECT* pDestRect, D3DTEXTUREFILTERTYPE Filter)
{
    CallScope call(m_CallLog, "StretchRect", [&] {
        return JoinArgs({ObjectText(pSourceSurface), pSourceRect ? "rect" : "NULL", ObjectText(pDestSurface),
                         pDestRect ? "rect" : "NULL", UintText(Filter)});
    });
    Surface* pSource = SurfaceOf(pSourceSurface);
    Surface* pDest = SurfaceOf(pDestSurface);
    if (call.Failing() || !pSource || !pDest || pSource == pDest || !Owns(pSourceSurface) || !Owns(pDestSurface) ||
        Filter > D3DTEXF_LINEAR)
        return call.Result(D3DERR_INVALIDCALL);
    // Both in the default pool; compressed and depth images are not stretched.
    const auto copyable = [](const Surface& surface) {
        return surface.GetParams().nPool == D3DPOOL_DEFAULT && surface.GetFormat().kind == FormatKind::Color;
    };
    if (!copyable(*pSource) || !copyable(*pDest))
        return call.Result(D3DERR_INVALIDCALL);
    const RECT sourceWhole{0, 0, static_cast<LONG>(pSource->GetWidth()), static_cast<LONG>(pSource->GetHeight())};
    const RECT destWhole{0, 0, static_cast<LONG>(pDest->GetWidth()), static_cast<LONG>(pDest->GetHeight())};
    const RECT sourceRect = pSourceRect ? *pSourceRect : sourceWhole;
    const RECT destRect = pDestRect ? *pDestRect : destWhole;
    const auto inside = [](const RECT& rect, const RECT& whole) {
        return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
               rect.right <= whole.right && rect.bottom <= whole.bottom;
    };
    if (!inside(sourceRect, sourceWhole) || !inside(destRect, destWhole))
        return call.Result(D3DERR_INVALIDCALL);
    m_pBackend->Stretch(pSource->GetStorage(), sourceRect, pDest->GetStorage(), destRect, Filter);
    return call.Result(D3D_OK);
}

HRESULT Device::CreateQuery(D3DQUERYTYPE Type, IDirect3DQuery9** ppQuery)
{
    CallScope call(m_CallLog, "CreateQuery", [&] { return JoinArgs({UintText(Type), ppQuery ? "out" : "NULL"}); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    if (Type != D3DQUERYTYPE_OCCLUSION)
        return call.Result(D3DERR_NOTAVAILABLE);
    // A null out pointer asks only whether the type is supported.
    if (!ppQuery)
        return call.Result(S_OK);
    auto* pQuery = new Query(this, Type);
    *ppQuery = pQuery;
    call.SetOutput(pQuery);
    return call.Result(S_OK);
}
