#include "device/Resource.h"

#include "device/Device.h"

HRESULT GetDeviceOf(ObjectBase& object, IDirect3DDevice9** ppDevice)
{
    if (!ppDevice)
        return D3DERR_INVALIDCALL;
    Device* pDevice = object.GetOwningDevice();
    pDevice->AddRefPublic();
    *ppDevice = pDevice;
    return D3D_OK;
}

LockRegion WholeRegion(const ImageStorage& storage)
{
    return {0, 0, 0, storage.nWidth, storage.nHeight, storage.nDepth};
}

bool RegionFromRect(const ImageStorage& storage, const RECT* pRect, LockRegion& region)
{
    region = WholeRegion(storage);
    if (!pRect)
        return true;
    if (pRect->left < 0 || pRect->top < 0 || pRect->right <= pRect->left || pRect->bottom <= pRect->top)
        return false;
    region.nLeft = static_cast<UINT>(pRect->left);
    region.nTop = static_cast<UINT>(pRect->top);
    region.nRight = static_cast<UINT>(pRect->right);
    region.nBottom = static_cast<UINT>(pRect->bottom);
    return true;
}

namespace
{
bool OnBlockEdge(UINT value, UINT size, UINT blockSize)
{
    return value % blockSize == 0 || value == size;
}
}  // namespace

HRESULT StorageLock::Lock(std::shared_ptr<ImageStorage>& pStorage, const LockRegion& region, DWORD flags,
                          BYTE** ppBits)
{
    if (!ppBits || m_bLocked)
        return D3DERR_INVALIDCALL;
    ImageStorage& storage = *pStorage;
    if (storage.IsDepth())
        return D3DERR_INVALIDCALL;
    if (region.nLeft >= region.nRight || region.nTop >= region.nBottom || region.nFront >= region.nBack ||
        region.nRight > storage.nWidth || region.nBottom > storage.nHeight || region.nBack > storage.nDepth)
        return D3DERR_INVALIDCALL;
    const FormatInfo& format = *storage.pFormat;
    const UINT block = format.blockSize;
    if (region.nLeft % block || region.nTop % block || !OnBlockEdge(region.nRight, storage.nWidth, block) ||
        !OnBlockEdge(region.nBottom, storage.nHeight, block))
        return D3DERR_INVALIDCALL;
    if (flags & D3DLOCK_DISCARD)
        pStorage = CloneShape(storage);
    ImageStorage& target = *pStorage;
    *ppBits = target.Row(region.nTop / block, region.nFront) + static_cast<size_t>(region.nLeft / block) * format.bytesPerBlock;
    m_bLocked = true;
    m_bReadOnly = (flags & D3DLOCK_READONLY) != 0;
    return D3D_OK;
}

HRESULT StorageLock::Unlock(ImageStorage& storage)
{
    if (!m_bLocked)
        return D3DERR_INVALIDCALL;
    m_bLocked = false;
    if (!m_bReadOnly)
        ++storage.nVersion;
    return D3D_OK;
}
