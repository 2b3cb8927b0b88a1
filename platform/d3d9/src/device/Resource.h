#pragma once
// The IDirect3DResource9 part shared by textures, surfaces and buffers, and the lock rules every
// lockable resource follows.
#include "cpu/formats/ImageStorage.h"
#include "device/ObjectBase.h"

#include <memory>

// Common answers of IDirect3DResource9. Priorities are kept and returned; nothing uses them.
template <class Interface>
class ResourceObject : public ComObject<Interface>
{
public:
    ResourceObject(ObjectKind kind, Device* pDevice, ObjectBase* pOwner, D3DRESOURCETYPE type)
        : ComObject<Interface>(kind, pDevice, pOwner), m_Type(type)
    {
    }
    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    DWORD SetPriority(DWORD PriorityNew) override
    {
        const DWORD nOld = m_nPriority;
        m_nPriority = PriorityNew;
        return nOld;
    }
    DWORD GetPriority() override { return m_nPriority; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return m_Type; }

private:
    D3DRESOURCETYPE m_Type;
    DWORD m_nPriority = 0;
};

// The device of any device child, with a public reference added, as every GetDevice returns it.
HRESULT GetDeviceOf(ObjectBase& object, IDirect3DDevice9** ppDevice);

template <class Interface>
HRESULT ResourceObject<Interface>::GetDevice(IDirect3DDevice9** ppDevice)
{
    return GetDeviceOf(*this, ppDevice);
}

// A region of an image to lock, in pixels; right, bottom and back are exclusive.
struct LockRegion
{
    UINT nLeft, nTop, nFront, nRight, nBottom, nBack;
};

// The lock state of one surface or volume: at most one lock at a time; DISCARD swaps in fresh
// zeroed storage so work still reading the old storage keeps it; an unlock that could write
// bumps the storage version.
class StorageLock
{
public:
    // Checks the region (inside the image, not empty, on block edges for DXT) and returns the
    // address of its first texel. Fails with D3DERR_INVALIDCALL when already locked or invalid.
    HRESULT Lock(std::shared_ptr<ImageStorage>& pStorage, const LockRegion& region, DWORD flags, BYTE** ppBits);
    HRESULT Unlock(ImageStorage& storage);
    bool IsLocked() const { return m_bLocked; }

private:
    bool m_bLocked = false;
    bool m_bReadOnly = false;
};

// The whole image as a region.
LockRegion WholeRegion(const ImageStorage& storage);
// A RECT (null: the whole image) as a region of one slice; false if the rectangle is inverted
// or negative.
bool RegionFromRect(const ImageStorage& storage, const RECT* pRect, LockRegion& region);
