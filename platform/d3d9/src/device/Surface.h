#pragma once
// IDirect3DSurface9 and IDirect3DVolume9: one image, standing alone (render targets,
// depth-stencil and off-screen surfaces, the back buffer) or as a level or face of a texture,
// whose counts it then shares.
#include "device/Resource.h"

struct ImageParams
{
    const FormatInfo* pFormat;
    DWORD nUsage;
    D3DPOOL nPool;
    UINT nWidth;
    UINT nHeight;
    UINT nDepth;
    bool bLockable;
};

class Surface final : public ResourceObject<IDirect3DSurface9>
{
public:
    // pContainer: the texture this surface is a level or face of (it shares its counts), or null.
    Surface(Device* pDevice, ObjectBase* pContainer, const ImageParams& params);

    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DSURFACE_DESC* pDesc) override;
    HRESULT LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags) override;
    HRESULT UnlockRect() override;

    // The lock itself, without recording: textures lock their levels through these.
    HRESULT LockImage(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags);
    HRESULT UnlockImage();

    const ImageParams& GetParams() const { return m_Params; }
    const FormatInfo& GetFormat() const { return *m_Params.pFormat; }
    UINT GetWidth() const { return m_Params.nWidth; }
    UINT GetHeight() const { return m_Params.nHeight; }
    bool IsRenderTarget() const { return (m_Params.nUsage & D3DUSAGE_RENDERTARGET) != 0; }
    bool IsDepthStencil() const { return (m_Params.nUsage & D3DUSAGE_DEPTHSTENCIL) != 0; }
    ImageStorage& GetStorage() { return *m_pStorage; }
    const std::shared_ptr<ImageStorage>& GetStoragePtr() const { return m_pStorage; }

protected:
    bool Implements(REFIID riid) const override;

private:
    ImageParams m_Params;
    std::shared_ptr<ImageStorage> m_pStorage;
    StorageLock m_Lock;
};

class Volume final : public ComObject<IDirect3DVolume9>
{
public:
    Volume(Device* pDevice, ObjectBase* pContainer, const ImageParams& params);

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT GetContainer(REFIID riid, void** ppContainer) override;
    HRESULT GetDesc(D3DVOLUME_DESC* pDesc) override;
    HRESULT LockBox(D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD Flags) override;
    HRESULT UnlockBox() override;

    const ImageParams& GetParams() const { return m_Params; }
    ImageStorage& GetStorage() { return *m_pStorage; }
    const std::shared_ptr<ImageStorage>& GetStoragePtr() const { return m_pStorage; }

protected:
    bool Implements(REFIID riid) const override;

private:
    ImageParams m_Params;
    std::shared_ptr<ImageStorage> m_pStorage;
    StorageLock m_Lock;
};

// The surface behind an interface pointer of this layer, or null.
Surface* SurfaceOf(IDirect3DSurface9* pSurface);
// The surface a binding of the device holds, found without a cast.
inline Surface* SurfaceOf(const BoundRef<IDirect3DSurface9>& ref)
{
    return BoundAs<Surface>(ref, ObjectKind::Surface);
}
