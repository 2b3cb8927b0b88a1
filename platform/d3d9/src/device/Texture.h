#pragma once
// 2D, cube and volume textures: a chain of levels (per face for cubes), each level an image
// object that shares the texture's counts.
#include "device/Surface.h"

#include <memory>
#include <vector>

struct TextureParams
{
    const FormatInfo* pFormat;
    DWORD nUsage;
    D3DPOOL nPool;
    UINT nWidth;
    UINT nHeight;
    UINT nDepth;
    UINT nLevels;  // already resolved: never 0
};

// Number of levels of a full chain down to 1×1(×1).
UINT FullChainLevels(UINT width, UINT height, UINT depth);
// Size of a level: max(1, size >> level).
UINT LevelSize(UINT size, UINT level);

// What the device and the back end see of any texture, whatever its interface.
class TextureObject
{
public:
    virtual ~TextureObject() = default;
    virtual D3DRESOURCETYPE GetTextureType() = 0;
    virtual UINT GetFaceCount() const = 0;
    virtual ImageStorage& GetLevelStorage(UINT face, UINT level) = 0;
    const TextureParams& GetTextureParams() const { return m_Params; }

protected:
    explicit TextureObject(const TextureParams& params) : m_Params(params) {}
    TextureParams m_Params;
};

// The texture behind an interface pointer of this layer, or null.
TextureObject* TextureOf(IDirect3DBaseTexture9* pTexture);
// The texture a binding of the device holds, found by its kind without a cast.
TextureObject* TextureOf(const BoundRef<IDirect3DBaseTexture9>& ref);

template <class Interface, class Image>
class TextureBase : public ResourceObject<Interface>, public TextureObject
{
public:
    TextureBase(ObjectKind kind, Device* pDevice, D3DRESOURCETYPE type, const TextureParams& params, UINT nFaces);

    DWORD SetLOD(DWORD LODNew) override;
    DWORD GetLOD() override { return m_nLod; }
    DWORD GetLevelCount() override { return m_Params.nLevels; }

    D3DRESOURCETYPE GetTextureType() override { return this->GetType(); }
    UINT GetFaceCount() const override { return m_nFaces; }
    ImageStorage& GetLevelStorage(UINT face, UINT level) override { return LevelImage(face, level)->GetStorage(); }

protected:
    Image* LevelImage(UINT face, UINT level) { return m_Images[face * m_Params.nLevels + level].get(); }
    bool ValidLevel(UINT face, UINT level) const { return face < m_nFaces && level < m_Params.nLevels; }

private:
    UINT m_nFaces;
    DWORD m_nLod = 0;
    std::vector<std::unique_ptr<Image>> m_Images;
};

class Texture final : public TextureBase<IDirect3DTexture9, Surface>
{
public:
    Texture(Device* pDevice, const TextureParams& params);

    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetSurfaceLevel(UINT Level, IDirect3DSurface9** ppSurfaceLevel) override;
    HRESULT LockRect(UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect(UINT Level) override;
    HRESULT AddDirtyRect(const RECT* pDirtyRect) override;

protected:
    bool Implements(REFIID riid) const override;
};

class CubeTexture final : public TextureBase<IDirect3DCubeTexture9, Surface>
{
public:
    CubeTexture(Device* pDevice, const TextureParams& params);

    HRESULT GetLevelDesc(UINT Level, D3DSURFACE_DESC* pDesc) override;
    HRESULT GetCubeMapSurface(D3DCUBEMAP_FACES FaceType, UINT Level, IDirect3DSurface9** ppCubeMapSurface) override;
    HRESULT LockRect(D3DCUBEMAP_FACES FaceType, UINT Level, D3DLOCKED_RECT* pLockedRect, const RECT* pRect,
                     DWORD Flags) override;
    HRESULT UnlockRect(D3DCUBEMAP_FACES FaceType, UINT Level) override;
    HRESULT AddDirtyRect(D3DCUBEMAP_FACES FaceType, const RECT* pDirtyRect) override;

protected:
    bool Implements(REFIID riid) const override;
};

class VolumeTexture final : public TextureBase<IDirect3DVolumeTexture9, Volume>
{
public:
    VolumeTexture(Device* pDevice, const TextureParams& params);

    HRESULT GetLevelDesc(UINT Level, D3DVOLUME_DESC* pDesc) override;
    HRESULT GetVolumeLevel(UINT Level, IDirect3DVolume9** ppVolumeLevel) override;
    HRESULT LockBox(UINT Level, D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD Flags) override;
    HRESULT UnlockBox(UINT Level) override;
    HRESULT AddDirtyBox(const D3DBOX* pDirtyBox) override;

protected:
    bool Implements(REFIID riid) const override;
};
