#include "device/Texture.h"

#include "device/CallLog.h"
#include "device/Device.h"
#include "device/StateTables.h"

#include <algorithm>

UINT FullChainLevels(UINT width, UINT height, UINT depth)
{
    UINT largest = std::max({width, height, depth});
    UINT levels = 1;
    while (largest > 1)
    {
        largest >>= 1;
        ++levels;
    }
    return levels;
}

UINT LevelSize(UINT size, UINT level)
{
    return std::max(1u, size >> level);
}

namespace
{
// A texture of any of the three kinds as what the device and back end see of it.
TextureObject* TextureOfObject(ObjectBase* pObject)
{
    switch (pObject ? pObject->GetKind() : ObjectKind::Direct3D)
    {
    case ObjectKind::Texture: return static_cast<Texture*>(pObject);
    case ObjectKind::CubeTexture: return static_cast<CubeTexture*>(pObject);
    case ObjectKind::VolumeTexture: return static_cast<VolumeTexture*>(pObject);
    default: return nullptr;
    }
}
}

TextureObject* TextureOf(IDirect3DBaseTexture9* pTexture)
{
    return TextureOfObject(ObjectOf(pTexture));
}

TextureObject* TextureOf(const BoundRef<IDirect3DBaseTexture9>& ref)
{
    return TextureOfObject(ref.Object());
}

namespace
{
// Render-target textures live where only the device draws: they cannot be locked.
bool LevelsLockable(const TextureParams& params)
{
    return !(params.nUsage & D3DUSAGE_RENDERTARGET);
}

const GUID* const g_BaseTextureIids[] = {&IID_IDirect3DResource9, &IID_IDirect3DBaseTexture9};

bool IsBaseTextureIid(REFIID riid)
{
    return std::any_of(std::begin(g_BaseTextureIids), std::end(g_BaseTextureIids),
                       [&](const GUID* p) { return *p == riid; });
}
}  // namespace

template <class Interface, class Image>
TextureBase<Interface, Image>::TextureBase(ObjectKind kind, Device* pDevice, D3DRESOURCETYPE type,
                                           const TextureParams& params, UINT nFaces)
    : ResourceObject<Interface>(kind, pDevice, nullptr, type), TextureObject(params), m_nFaces(nFaces)
{
    for (UINT face = 0; face < nFaces; ++face)
        for (UINT level = 0; level < params.nLevels; ++level)
        {
            const ImageParams image{params.pFormat,
                                    params.nUsage,
                                    params.nPool,
                                    LevelSize(params.nWidth, level),
                                    LevelSize(params.nHeight, level),
                                    LevelSize(params.nDepth, level),
                                    LevelsLockable(params)};
            m_Images.push_back(std::make_unique<Image>(pDevice, this, image));
        }
}

template <class Interface, class Image>
DWORD TextureBase<Interface, Image>::SetLOD(DWORD LODNew)
{
    const DWORD nOld = m_nLod;
    if (m_Params.nPool == D3DPOOL_MANAGED)
        m_nLod = std::min<DWORD>(LODNew, m_Params.nLevels - 1);
    return nOld;
}

// ---- Texture

Texture::Texture(Device* pDevice, const TextureParams& params)
    : TextureBase(ObjectKind::Texture, pDevice, D3DRTYPE_TEXTURE, params, 1)
{
}

bool Texture::Implements(REFIID riid) const
{
    return IsBaseTextureIid(riid) || riid == IID_IDirect3DTexture9;
}

HRESULT Texture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc)
{
    if (!ValidLevel(0, Level))
        return D3DERR_INVALIDCALL;
    return LevelImage(0, Level)->GetDesc(pDesc);
}

HRESULT Texture::GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "GetSurfaceLevel",
                   [&] { return JoinArgs({ObjectText(this), UintText(Level)}); });
    if (call.Failing() || !ppSurfaceLevel || !ValidLevel(0, Level))
        return call.Result(D3DERR_INVALIDCALL);
    Surface* pSurface = LevelImage(0, Level);
    pSurface->AddRef();
    *ppSurfaceLevel = pSurface;
    call.SetOutput(pSurface);
    return call.Result(D3D_OK);
}

HRESULT Texture::LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "LockRect", [&] {
        return JoinArgs({ObjectText(this), UintText(Level), pRect ? "rect" : "NULL", LockFlagsText(Flags)});
    });
    if (call.Failing() || !ValidLevel(0, Level))
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(LevelImage(0, Level)->LockImage(pLockedRect, pRect, Flags));
}

HRESULT Texture::UnlockRect(UINT Level)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "UnlockRect",
                   [&] { return JoinArgs({ObjectText(this), UintText(Level)}); });
    if (call.Failing() || !ValidLevel(0, Level))
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(LevelImage(0, Level)->UnlockImage());
}

HRESULT Texture::AddDirtyRect(const RECT*)
{
    return D3D_OK;
}

// ---- CubeTexture

CubeTexture::CubeTexture(Device* pDevice, const TextureParams& params)
    : TextureBase(ObjectKind::CubeTexture, pDevice, D3DRTYPE_CUBETEXTURE, params, 6)
{
}

bool CubeTexture::Implements(REFIID riid) const
{
    return IsBaseTextureIid(riid) || riid == IID_IDirect3DCubeTexture9;
}

HRESULT CubeTexture::GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc)
{
    if (!ValidLevel(0, Level))
        return D3DERR_INVALIDCALL;
    return LevelImage(0, Level)->GetDesc(pDesc);
}

HRESULT CubeTexture::GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level, IDirect3DSurface9** ppCubeMapSurface)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "GetCubeMapSurface",
                   [&] { return JoinArgs({ObjectText(this), UintText(FaceType), UintText(Level)}); });
    if (call.Failing() || !ppCubeMapSurface || !ValidLevel(FaceType, Level))
        return call.Result(D3DERR_INVALIDCALL);
    Surface* pSurface = LevelImage(FaceType, Level);
    pSurface->AddRef();
    *ppCubeMapSurface = pSurface;
    call.SetOutput(pSurface);
    return call.Result(D3D_OK);
}

HRESULT CubeTexture::LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                              DWORD Flags)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "LockRect", [&] {
        return JoinArgs({ObjectText(this), UintText(FaceType), UintText(Level), pRect ? "rect" : "NULL",
                         LockFlagsText(Flags)});
    });
    if (call.Failing() || !ValidLevel(FaceType, Level))
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(LevelImage(FaceType, Level)->LockImage(pLockedRect, pRect, Flags));
}

HRESULT CubeTexture::UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "UnlockRect",
                   [&] { return JoinArgs({ObjectText(this), UintText(FaceType), UintText(Level)}); });
    if (call.Failing() || !ValidLevel(FaceType, Level))
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(LevelImage(FaceType, Level)->UnlockImage());
}

HRESULT CubeTexture::AddDirtyRect(D3DCUBEMAP_FACES, const RECT*)
{
    return D3D_OK;
}

// ---- VolumeTexture

VolumeTexture::VolumeTexture(Device* pDevice, const TextureParams& params)
    : TextureBase(ObjectKind::VolumeTexture, pDevice, D3DRTYPE_VOLUMETEXTURE, params, 1)
{
}

bool VolumeTexture::Implements(REFIID riid) const
{
    return IsBaseTextureIid(riid) || riid == IID_IDirect3DVolumeTexture9;
}

HRESULT VolumeTexture::GetLevelDesc(UINT Level, D3DVOLUME_DESC* pDesc)
{
    if (!ValidLevel(0, Level))
        return D3DERR_INVALIDCALL;
    return LevelImage(0, Level)->GetDesc(pDesc);
}

HRESULT VolumeTexture::GetVolumeLevel(UINT Level, IDirect3DVolume9** ppVolumeLevel)
{
    if (!ppVolumeLevel || !ValidLevel(0, Level))
        return D3DERR_INVALIDCALL;
    Volume* pVolume = LevelImage(0, Level);
    pVolume->AddRef();
    *ppVolumeLevel = pVolume;
    return D3D_OK;
}

HRESULT VolumeTexture::LockBox(UINT Level, D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD Flags)
{
    if (!ValidLevel(0, Level))
        return D3DERR_INVALIDCALL;
    return LevelImage(0, Level)->LockBox(pLockedVolume, pBox, Flags);
}

HRESULT VolumeTexture::UnlockBox(UINT Level)
{
    if (!ValidLevel(0, Level))
        return D3DERR_INVALIDCALL;
    return LevelImage(0, Level)->UnlockBox();
}

HRESULT VolumeTexture::AddDirtyBox(const D3DBOX*)
{
    return D3D_OK;
}

template class TextureBase<IDirect3DTexture9, Surface>;
template class TextureBase<IDirect3DCubeTexture9, Surface>;
template class TextureBase<IDirect3DVolumeTexture9, Volume>;
