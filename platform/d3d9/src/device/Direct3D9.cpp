#include "device/Direct3D9.h"

#include "core/Log.h"
#include "device/Device.h"

#include <cstring>

namespace
{
// The adapter's identity as the console's "vendor", "renderer" and "version" commands show it.
constexpr char ADAPTER_DRIVER[] = "quenlaris_d3d9";
constexpr char ADAPTER_DESCRIPTION[] = "Quenlaris software Direct3D 9 device";
constexpr char ADAPTER_DEVICE_NAME[] = "Quenlaris CPU";
// Driver version 9.0.1.0: product 9, version 0, sub-version 1, build 0 in four 16-bit fields.
constexpr LONGLONG ADAPTER_DRIVER_VERSION = (9LL << 48) | (0LL << 32) | (1LL << 16) | 0LL;

bool ValidAdapter(UINT adapter, D3DDEVTYPE type)
{
    return adapter == D3DADAPTER_DEFAULT && (type == D3DDEVTYPE_HAL || type == D3DDEVTYPE_REF);
}

bool IsBackBufferFormat(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8;
}

bool IsDepthStencilFormat(D3DFORMAT format)
{
    const FormatInfo* pInfo = FindFormat(format);
    return pInfo && pInfo->kind == FormatKind::Depth;
}
}  // namespace

int g_nFailingDeviceCreations = 0;

IDirect3D9* WINAPI Direct3DCreate9(UINT SDKVersion)
{
    if (SDKVersion != D3D_SDK_VERSION)
    {
        LogError("Direct3DCreate9() - SDK version %u is not %u.", SDKVersion, static_cast<unsigned>(D3D_SDK_VERSION));
        return nullptr;
    }
    return new Direct3D9();
}

Direct3D9::Direct3D9() : ComObject(ObjectKind::Direct3D, nullptr)
{
}

bool Direct3D9::Implements(REFIID riid) const
{
    return riid == IID_IDirect3D9;
}

HRESULT Direct3D9::GetAdapterIdentifier(UINT Adapter, DWORD, D3DADAPTER_IDENTIFIER9* pIdentifier)
{
    if (!pIdentifier || Adapter != D3DADAPTER_DEFAULT)
        return D3DERR_INVALIDCALL;
    *pIdentifier = D3DADAPTER_IDENTIFIER9{};
    std::strcpy(pIdentifier->Driver, ADAPTER_DRIVER);
    std::strcpy(pIdentifier->Description, ADAPTER_DESCRIPTION);
    std::strcpy(pIdentifier->DeviceName, ADAPTER_DEVICE_NAME);
    pIdentifier->DriverVersion.QuadPart = ADAPTER_DRIVER_VERSION;
    return D3D_OK;
}

HRESULT Direct3D9::GetAdapterDisplayMode(UINT Adapter, D3DDISPLAYMODE* pMode)
{
    if (!pMode || Adapter != D3DADAPTER_DEFAULT)
        return D3DERR_INVALIDCALL;
    // The composed desktop of the window layer: 1280 × 1024, 32-bit.
    *pMode = {1280, 1024, 60, D3DFMT_X8R8G8B8};
    return D3D_OK;
}

HRESULT Direct3D9::CheckDeviceFormat(UINT Adapter, D3DDEVTYPE DeviceType, D3DFORMAT, DWORD Usage,
                                     D3DRESOURCETYPE RType, D3DFORMAT CheckFormat)
{
    if (!ValidAdapter(Adapter, DeviceType))
        return D3DERR_INVALIDCALL;
    const FormatInfo* pInfo = FindFormat(CheckFormat);
    if (!pInfo)
        return D3DERR_NOTAVAILABLE;
    const bool bDepth = pInfo->kind == FormatKind::Depth;
    if ((Usage & D3DUSAGE_DEPTHSTENCIL) != 0)
        return bDepth && RType == D3DRTYPE_SURFACE ? D3D_OK : D3DERR_NOTAVAILABLE;
    if (bDepth)
        return D3DERR_NOTAVAILABLE;
    if ((Usage & D3DUSAGE_RENDERTARGET) && !pInfo->renderTarget)
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT Direct3D9::GetDeviceCaps(UINT Adapter, D3DDEVTYPE DeviceType, D3DCAPS9* pCaps)
{
    if (!ValidAdapter(Adapter, DeviceType))
        return D3DERR_INVALIDCALL;
    const HRESULT hr = Device::FillCaps(pCaps);
    if (SUCCEEDED(hr))
        pCaps->DeviceType = DeviceType;
    return hr;
}

HRESULT Direct3D9::CreateDevice(UINT Adapter, D3DDEVTYPE DeviceType, HWND hFocusWindow, DWORD,
                                D3DPRESENT_PARAMETERS* pPresentationParameters,
                                IDirect3DDevice9** ppReturnedDeviceInterface)
{
    if (!ppReturnedDeviceInterface)
        return D3DERR_INVALIDCALL;
    *ppReturnedDeviceInterface = nullptr;
    if (!ValidAdapter(Adapter, DeviceType) || !pPresentationParameters)
        return D3DERR_INVALIDCALL;
    if (g_nFailingDeviceCreations > 0)
    {
        --g_nFailingDeviceCreations;
        return D3DERR_NOTAVAILABLE;
    }
    D3DPRESENT_PARAMETERS& pp = *pPresentationParameters;
    if (pp.BackBufferFormat == D3DFMT_UNKNOWN && pp.Windowed)
        pp.BackBufferFormat = D3DFMT_X8R8G8B8;
    if (pp.BackBufferCount == 0)
        pp.BackBufferCount = 1;
    if (!IsBackBufferFormat(pp.BackBufferFormat) || pp.BackBufferCount != 1 ||
        pp.MultiSampleType != D3DMULTISAMPLE_NONE || pp.BackBufferWidth == 0 || pp.BackBufferHeight == 0 ||
        pp.BackBufferWidth > 4096 || pp.BackBufferHeight > 4096 ||
        (pp.EnableAutoDepthStencil && !IsDepthStencilFormat(pp.AutoDepthStencilFormat)))
    {
        LogError("Direct3D9::CreateDevice() - unsupported presentation parameters (%ux%u, format %u, depth %u).",
                 pp.BackBufferWidth, pp.BackBufferHeight, static_cast<unsigned>(pp.BackBufferFormat),
                 static_cast<unsigned>(pp.AutoDepthStencilFormat));
        return D3DERR_INVALIDCALL;
    }
    auto* pDevice = new Device(this, hFocusWindow, pp, CreateCpuBackend());
    pDevice->Initialize();
    *ppReturnedDeviceInterface = pDevice;
    return D3D_OK;
}
