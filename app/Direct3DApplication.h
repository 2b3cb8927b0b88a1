#pragma once
// The framework hooks that need the graphics device: the Direct3D object, the device and its
// renderer, the frame primitives, release, a viewport setter, screenshots and a glyph-grid text
// drawer. The back buffer is always 640 x 480: every pass and the overlay draw for that size,
// and presenting stretches it onto the window.
#include "app/ApplicationBase.h"

// The window layer's MAKEINTRESOURCEA before the D3DX headers, which define it only when missing.
#include <win32/user.h>

#include <d3d9.h>

class Direct3DApplication : public ApplicationBase
{
public:
    static constexpr UINT BACK_BUFFER_WIDTH = 640;
    static constexpr UINT BACK_BUFFER_HEIGHT = 480;
    // Screenshots are "ScreenShot00.png" to "ScreenShot99.png" in the desktop folder.
    static constexpr int SCREENSHOT_NAME_COUNT = 100;

    Direct3DApplication();
    ~Direct3DApplication() override;

    IDirect3DDevice9* GetDevice() override { return m_pDevice; }
    String GetDescription() override { return String(); }
    // "vendor", "renderer" and "version" from the adapter's identifier; other words go to the
    // framework's commands.
    bool ConsoleCommand(const char* szLine, String& result) override;
    bool SetViewport(int nWidth, int nHeight) override;
    bool InitDevice(HWND hWnd, int nAntialiasing, bool bFullScreen, int nRefreshRate) override;
    bool Unload() override { return true; }
    bool BeginFrame() override;
    bool DrawFrame() override { return false; }
    bool EndFrame() override;
    bool ReleaseDevice(HWND hWnd) override;
    bool TakeScreenshot() override;
    bool DrawString(const char* szText, float x, float y, float fWidth, float fHeight) override;
    virtual bool QueryFlag() { return true; }

    // The presentation parameters of a device for that pixel-format request.
    static D3DPRESENT_PARAMETERS MakePresentParameters(const PixelFormatRequest& format, bool bFullScreen,
                                                       int nRefreshRate);
    // The first free screenshot path in the folder (no separator at its end), or false when all
    // hundred names are taken or the path does not fit.
    static bool FindScreenshotPath(const char* szFolder, char* szPath, size_t nPathSize);

    D3DCAPS9 m_Caps = {};
    IDirect3D9* m_pD3D = nullptr;
    IDirect3DDevice9* m_pDevice = nullptr;
    D3DPRESENT_PARAMETERS m_PresentParams = {};
};
