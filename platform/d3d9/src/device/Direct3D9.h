#pragma once
// IDirect3D9: the one adapter of the software device, its capabilities and identity, and device
// creation.
#include "device/ObjectBase.h"

class Direct3D9 final : public ComObject<IDirect3D9>
{
public:
    Direct3D9();

    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterIdentifier(UINT Adapter, DWORD Flags, D3DADAPTER_IDENTIFIER9* pIdentifier) override;
    HRESULT GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode) override;
    HRESULT CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT AdapterFormat, DWORD Usage,
                              D3DRESOURCETYPE RType, D3DFORMAT CheckFormat) override;
    HRESULT GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps) override;
    HRESULT CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD BehaviorFlags,
                         D3DPRESENT_PARAMETERS* pPresentationParameters,
                         IDirect3DDevice9** ppReturnedDeviceInterface) override;

protected:
    bool Implements(REFIID riid) const override;
};

// Device creations the test hook has asked to fail (d3d9test::FailNextDeviceCreation); each
// failing CreateDevice takes one.
extern int g_nFailingDeviceCreations;
