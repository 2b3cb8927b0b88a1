#include "device/Surface.h"

#include "device/CallLog.h"
#include "device/Device.h"
#include "device/StateTables.h"

namespace
{
HRESULT ContainerOf(ObjectBase& object, REFIID riid, void** ppContainer)
{
    if (!ppContainer)
        return D3DERR_INVALIDCALL;
    *ppContainer = nullptr;
    ObjectBase* pContainer = object.GetOwner();
    IUnknown* pUnknown = pContainer ? dynamic_cast<IUnknown*>(pContainer)
                                    : static_cast<IDirect3DDevice9*>(object.GetOwningDevice());
    return pUnknown->QueryInterface(riid, ppContainer);
}
}  // namespace

Surface::Surface(Device* pDevice, ObjectBase* pContainer, const ImageParams& params)
    : ResourceObject(ObjectKind::Surface, pDevice, pContainer, D3DRTYPE_SURFACE), m_Params(params),
      m_pStorage(CreateImageStorage(*params.pFormat, params.nWidth, params.nHeight))
{
}

bool Surface::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DResource9 || riid == IID_IDirect3DSurface9;
}

HRESULT Surface::GetContainer(REFIID riid, void** ppContainer)
{
    return ContainerOf(*this, riid, ppContainer);
}

HRESULT Surface::GetDesc(D3DSURFACE_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    pDesc->Format = m_Params.pFormat->format;
    pDesc->Type = D3DRTYPE_SURFACE;
    pDesc->Usage = m_Params.nUsage;
    pDesc->Pool = m_Params.nPool;
    pDesc->MultiSampleType = D3DMULTISAMPLE_NONE;
    pDesc->MultiSampleQuality = 0;
    pDesc->Width = m_Params.nWidth;
    pDesc->Height = m_Params.nHeight;
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags)
{
    CallScope call(GetOwningDevice()->GetCallLog(), "LockRect",
                   [&] { return JoinArgs({ObjectText(this), pRect ? "rect" : "NULL", LockFlagsText(Flags)}); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(LockImage(pLockedRect, pRect, Flags));
}

HRESULT Surface::UnlockRect()
{
    CallScope call(GetOwningDevice()->GetCallLog(), "UnlockRect", [&] { return ObjectText(this); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    return call.Result(UnlockImage());
}

HRESULT Surface::LockImage(D3DLOCKED_RECT* pLockedRect, const RECT* pRect, DWORD Flags)
{
    LockRegion region;
    if (!pLockedRect || !m_Params.bLockable || !RegionFromRect(*m_pStorage, pRect, region))
        return D3DERR_INVALIDCALL;
    GetOwningDevice()->WaitForStorage(*m_pStorage);
    BYTE* pBits = nullptr;
    const HRESULT hr = m_Lock.Lock(m_pStorage, region, Flags, &pBits);
    if (FAILED(hr))
        return hr;
    pLockedRect->Pitch = static_cast<INT>(m_pStorage->nRowPitch);
    pLockedRect->pBits = pBits;
    return D3D_OK;
}

HRESULT Surface::UnlockImage()
{
    return m_Lock.Unlock(*m_pStorage);
}

Volume::Volume(Device* pDevice, ObjectBase* pContainer, const ImageParams& params)
    : ComObject(ObjectKind::Volume, pDevice, pContainer), m_Params(params),
      m_pStorage(CreateImageStorage(*params.pFormat, params.nWidth, params.nHeight, params.nDepth))
{
}

bool Volume::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DVolume9;
}

HRESULT Volume::GetDevice(IDirect3DDevice9** ppDevice)
{
    return GetDeviceOf(*this, ppDevice);
}

HRESULT Volume::GetContainer(REFIID riid, void** ppContainer)
{
    return ContainerOf(*this, riid, ppContainer);
}

HRESULT Volume::GetDesc(D3DVOLUME_DESC* pDesc)
{
    if (!pDesc)
        return D3DERR_INVALIDCALL;
    pDesc->Format = m_Params.pFormat->format;
    pDesc->Type = D3DRTYPE_VOLUME;
    pDesc->Usage = m_Params.nUsage;
    pDesc->Pool = m_Params.nPool;
    pDesc->Width = m_Params.nWidth;
    pDesc->Height = m_Params.nHeight;
    pDesc->Depth = m_Params.nDepth;
    return D3D_OK;
}

HRESULT Volume::LockBox(D3DLOCKED_BOX* pLockedVolume, const D3DBOX* pBox, DWORD Flags)
{
    if (!pLockedVolume || !m_Params.bLockable)
        return D3DERR_INVALIDCALL;
    LockRegion region = WholeRegion(*m_pStorage);
    if (pBox)
        region = {pBox->Left, pBox->Top, pBox->Front, pBox->Right, pBox->Bottom, pBox->Back};
    GetOwningDevice()->WaitForStorage(*m_pStorage);
    BYTE* pBits = nullptr;
    const HRESULT hr = m_Lock.Lock(m_pStorage, region, Flags, &pBits);
    if (FAILED(hr))
        return hr;
    pLockedVolume->RowPitch = static_cast<INT>(m_pStorage->nRowPitch);
    pLockedVolume->SlicePitch = static_cast<INT>(m_pStorage->nSlicePitch);
    pLockedVolume->pBits = pBits;
    return D3D_OK;
}

HRESULT Volume::UnlockBox()
{
    return m_Lock.Unlock(*m_pStorage);
}

Surface* SurfaceOf(IDirect3DSurface9* pSurface)
{
    return ObjectAs<Surface>(pSurface, ObjectKind::Surface);
}
