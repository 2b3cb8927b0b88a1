#include "app/Direct3DApplication.h"

#include "3dapi/Direct3DRenderer.h"
#include "core/Log.h"

#include <win32/user.h>

#include <d3dx9math.h>

Direct3DApplication::Direct3DApplication() = default;

// The device is released by the main window when it closes; a device still held here at exit
// is released with the object so that nothing outlives the program.
Direct3DApplication::~Direct3DApplication()
{
    ReleaseDevice(nullptr);
}

D3DPRESENT_PARAMETERS Direct3DApplication::MakePresentParameters(const PixelFormatRequest& format, bool bFullScreen,
                                                                 int nRefreshRate)
{
    D3DPRESENT_PARAMETERS pp = {};
    pp.BackBufferWidth = BACK_BUFFER_WIDTH;
    pp.BackBufferHeight = BACK_BUFFER_HEIGHT;
    pp.BackBufferFormat = format.m_nAlphaBits > 0 ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    pp.BackBufferCount = 1;
    pp.MultiSampleType = D3DMULTISAMPLE_NONE;
    pp.SwapEffect = D3DSWAPEFFECT_DISCARD;
    pp.hDeviceWindow = nullptr;
    pp.Windowed = bFullScreen ? FALSE : TRUE;
    pp.EnableAutoDepthStencil = format.m_nDepthBits > 0 ? TRUE : FALSE;
    if (format.m_nDepthBits > 16)
        pp.AutoDepthStencilFormat = format.m_nStencilBits > 0 ? D3DFMT_D24S8 : D3DFMT_D24X8;
    else
        pp.AutoDepthStencilFormat = D3DFMT_D16;
    pp.FullScreen_RefreshRateInHz = bFullScreen ? static_cast<UINT>(nRefreshRate) : 0;
    pp.PresentationInterval = D3DPRESENT_INTERVAL_IMMEDIATE;
    return pp;
}

// A device made again (a new window mode in the same window) first lets go of the old one and
// of everything made on it, so nothing of the old device is kept or leaked.
bool Direct3DApplication::InitDevice(HWND hWnd, int /*nAntialiasing*/, bool bFullScreen, int nRefreshRate)
{
    ReleaseDevice(hWnd);
    m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    if (!m_pD3D)
    {
        LogError("Direct3DApplication::InitDevice() - Direct3DCreate9 failed.");
        MessageBoxA(hWnd, "Couldn't initialize Direct3D\nMake sure you have DirectX 9.0 or later installed.", "Error",
                    MB_ICONERROR);
        return false;
    }
    m_pD3D->GetDeviceCaps(0, D3DDEVTYPE_HAL, &m_Caps);
    if (!CheckDeviceSupport())
        return false;

    PixelFormatRequest format = {};
    SelectPixelFormat(format);
    m_PresentParams = MakePresentParameters(format, bFullScreen, nRefreshRate);

    if (!hWnd)
    {
        LogError("Direct3DApplication::InitDevice() - no window for the device.");
        MessageBoxA(nullptr, "NULL", "Error", MB_ICONERROR);
        return false;
    }
    HRESULT hr = m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, hWnd, D3DCREATE_HARDWARE_VERTEXPROCESSING, &m_PresentParams,
                                      &m_pDevice);
    if (FAILED(hr) || !m_pDevice)
    {
        m_pDevice = nullptr;
        LogError("Direct3DApplication::InitDevice() - CreateDevice failed (0x%08X).", static_cast<unsigned>(hr));
        MessageBoxA(hWnd, "Couldn't create Direct3D device interface.", "Error", MB_ICONERROR);
        return false;
    }
    m_pRenderer = new Direct3DRenderer(m_Caps, m_pDevice);
    return true;
}

bool Direct3DApplication::BeginFrame()
{
    return m_pDevice && SUCCEEDED(m_pDevice->BeginScene());
}

// A frame that drew nothing is not presented: the window keeps showing the last drawn one.
bool Direct3DApplication::EndFrame()
{
    if (!m_pDevice)
        return false;
    m_pDevice->EndScene();
    if (!m_bFrameDrawn)
        return true;
    return SUCCEEDED(m_pDevice->Present(nullptr, nullptr, nullptr, nullptr));
}

// The renderer goes first (it holds references to the device's surfaces), then the device, then
// the Direct3D object; every pointer is cleared, so a second call finds nothing to release.
bool Direct3DApplication::ReleaseDevice(HWND /*hWnd*/)
{
    if (m_pRenderer)
    {
        m_pRenderer->ReleaseAll();
        delete m_pRenderer;
        m_pRenderer = nullptr;
    }
    if (m_pDevice)
    {
        m_pDevice->Release();
        m_pDevice = nullptr;
    }
    if (m_pD3D)
    {
        m_pD3D->Release();
        m_pD3D = nullptr;
    }
    return true;
}

bool Direct3DApplication::SetViewport(int nWidth, int nHeight)
{
    if (!m_pDevice)
        return false;
    D3DVIEWPORT9 viewport = {0, 0, static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight), 0.0f, 1.0f};
    return SUCCEEDED(m_pDevice->SetViewport(&viewport));
}

bool Direct3DApplication::DrawString(const char* szText, float x, float y, float fWidth, float fHeight)
{
    if (!m_pDevice || !szText)
        return false;
    // x and y run from 0 to 1 across and down the viewport.
    D3DXMATRIX matIdentity;
    D3DXMATRIX matProjection;
    D3DXMatrixIdentity(&matIdentity);
    D3DXMatrixOrthoOffCenterLH(&matProjection, 0.0f, 1.0f, 1.0f, 0.0f, -1.0f, 100.0f);
    m_pDevice->SetTransform(D3DTS_VIEW, &matIdentity);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &matProjection);
    m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);

    struct GlyphVertex
    {
        float x, y, z, u, v;
    };
    // The bound texture is a grid of 16 x 16 cells, character c in column c mod 16 of row c / 16.
    const float fCell = 1.0f / 16.0f;
    const float fStartX = x;
    for (const char* p = szText; *p; ++p)
    {
        int c = static_cast<unsigned char>(*p);
        if (c == '\n')
        {
            y += fHeight;
            x = fStartX;
            continue;
        }
        if (c < 1 || c > 127)
            continue;
        float u = static_cast<float>(c % 16) * fCell;
        float v = static_cast<float>(c / 16) * fCell;
        const GlyphVertex quad[4] = {
            {x, y, 0.0f, u, v},
            {x + fWidth, y, 0.0f, u + fCell, v},
            {x + fWidth, y + fHeight, 0.0f, u + fCell, v + fCell},
            {x, y + fHeight, 0.0f, u, v + fCell},
        };
        m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(GlyphVertex));
        x += fWidth;
    }
    return true;
}
