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
    GetOwningDevice()->CaptureInto(*m_pValues, m_Mask);
    return D3D_OK;
}

HRESULT StateBlock::Apply()
{
    GetOwningDevice()->ApplyFrom(*m_pValues, m_Mask);
    return D3D_OK;
}
