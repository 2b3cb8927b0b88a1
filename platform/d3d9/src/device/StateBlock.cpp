#include "device/StateBlock.h"

#include "device/Device.h"
#include "device/Resource.h"

StateBlock::StateBlock(Device* pDevice, const DeviceState& values, const StateMask& mask)
    : ComObject(ObjectKind::StateBlock, pDevice), m_pValues(std::make_unique<DeviceState>()), m_Mask(mask)
{
    ResetToDefaults(*m_pValues, false, 0, 0);
    CopyMasked(values, *m_pValues, m_Mask);
}

bool StateBlock::Implements(REFIID riid) const
{
    return riid == IID_IDirect3DStateBlock9;
}

HRESULT StateBlock::GetDevice(IDirect3DDevice9** ppDevice)
{
    return GetDeviceOf(*this, ppDevice);
}

HRESULT StateBlock::Capture()
{
    CallScope call(GetOwningDevice()->GetCallLog(), "Capture", [&] { return ObjectText(this); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    GetOwningDevice()->CaptureInto(*m_pValues, m_Mask);
    return call.Result(D3D_OK);
}

HRESULT StateBlock::Apply()
{
    CallScope call(GetOwningDevice()->GetCallLog(), "Apply", [&] { return ObjectText(this); });
    if (call.Failing())
        return call.Result(D3DERR_INVALIDCALL);
    GetOwningDevice()->ApplyFrom(*m_pValues, m_Mask);
    return call.Result(D3D_OK);
}
