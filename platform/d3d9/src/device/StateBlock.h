#pragma once
// A state block: the entries set while it was recorded, with their values. Capture refreshes
// exactly those entries from the device; Apply sets exactly those on the device.
#include "device/DeviceState.h"

#include <memory>

class StateBlock final : public ComObject<IDirect3DStateBlock9>
{
public:
    StateBlock(Device* pDevice, const DeviceState& values, const StateMask& mask);

    HRESULT GetDevice(IDirect3DDevice9** ppDevice) override;
    HRESULT Capture() override;
    HRESULT Apply() override;

    const StateMask& GetMask() const { return m_Mask; }

protected:
    bool Implements(REFIID riid) const override;

private:
    // Only the masked entries hold values (and references); the rest stay empty.
    std::unique_ptr<DeviceState> m_pValues;
    StateMask m_Mask;
};
