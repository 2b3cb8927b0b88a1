#pragma once
// The device-independent application framework: the hooks a device layer and the program fill
// (frame, device, loading, camera, keys), the key state and the key bindings kept in the
// registry, the application camera, and the scene the whole program works on. Direct3DApplication
// adds the graphics device and RenderApp the program's resources and passes; exactly one object
// of the tree exists (g_RenderApp). The tree stands on the MFC application: start-up, the message
// loop with idle rendering and shut-down are ApplicationBase's (ApplicationLoop.cpp).
#include "core/Matrix4.h"
#include "core/String.h"
#include "core/Vector3.h"
#include "scene/SceneStore.h"

#include <mfc/afxwin.h>
#include <win32/types.h>

#include <cstdint>

class Renderer;
struct IDirect3DDevice9;

// Colour, alpha, depth and stencil bits a program asks of the device; SelectPixelFormat fills it.
struct PixelFormatRequest
{
    int32_t m_nRedBits;
    int32_t m_nGreenBits;
    int32_t m_nBlueBits;
    int32_t m_nAlphaBits;
    int32_t m_nDepthBits;
    int32_t m_nStencilBits;
};

// The registry key of the key bindings (also of the console's variables and the main window's
// toggles), under HKEY_LOCAL_MACHINE.
constexpr const char* KEY_BINDINGS_REGISTRY_KEY = "SOFTWARE\\Oskel";

class ApplicationBase : public CWinApp
{
public:
    ApplicationBase();
    ~ApplicationBase() override;
    ApplicationBase(const ApplicationBase&) = delete;
    ApplicationBase& operator=(const ApplicationBase&) = delete;

    // ---- The MFC application's operations (ApplicationLoop.cpp).
    // Start-up; false ends the program before the message loop.
    BOOL InitInstance() override;
    // The message loop with idle rendering; returns ExitInstance's result.
    int Run() override;
    // One frame per call; true asks to be called again while the queue stays empty.
    BOOL OnIdle(LONG lCount) override;
    // Shut-down: the clock stops, Exit, the key bindings are stored; 0.
    int ExitInstance() override;

    // ---- Framework hooks, in the order of the application's virtual table.
    virtual bool SelectPixelFormat(PixelFormatRequest& format) = 0;
    virtual void* GetAuxObject() { return nullptr; }
    virtual void* GetTreeRoot() { return nullptr; }
    virtual IDirect3DDevice9* GetDevice() { return nullptr; }
    virtual bool ResetCamera();
    virtual bool OnKey(int nKey, bool bDown);
    virtual bool RotateCamera(float a, float b, float c);
    virtual String GetDescription() = 0;
    virtual bool MoveCamera();
    virtual bool SetPosition(const Vector3& vPosition);
    // A console line the main window's own commands did not take: "pos", "setpos", "angles" and
    // "setangles" here, the device's texts in Direct3DApplication. The answer is appended to
    // result; false when the command is not known.
    virtual bool ConsoleCommand(const char* szLine, String& result);
    virtual bool SetViewport(int nWidth, int nHeight) = 0;
    virtual bool CheckDeviceSupport() { return true; }
    virtual bool InitDevice(HWND hWnd, int nAntialiasing, bool bFullScreen, int nRefreshRate) = 0;
    virtual bool Init() { return true; }
    virtual bool Exit() { return true; }
    virtual bool Load() { return true; }
    virtual bool Unload() { return true; }
    virtual bool BeginFrame() = 0;
    virtual bool DrawFrame() = 0;
    virtual bool EndFrame() = 0;
    virtual bool ReleaseDevice(HWND hWnd) = 0;
    virtual bool TakeScreenshot() = 0;
    virtual bool DrawString(const char* szText, float x, float y, float fWidth, float fHeight) = 0;
    // Seconds until the next frame is due after a DrawFrame that drew nothing (a frame limiter);
    // the idle loop waits that long, or for a message, instead of turning at once.
    virtual float GetFrameWait() { return 0.0f; }

    // ---- Key bindings: the defaults (start-up step 3), the stored values read over them
    // (step 4, a missing key or value keeps its default) and stored at exit.
    void SetDefaultKeyBindings();
    void LoadKeyBindings();
    void StoreKeyBindings();

    void SetWindowModeRequest(int nRequest) { m_nWindowModeRequest = nRequest; }
    void SetShowDebugInfo(bool bShow) { m_bShowDebugInfo = bShow; }
    Renderer* GetRenderer() { return m_pRenderer; }

    // Camera speed in units per second of MoveCamera.
    static constexpr float DEFAULT_CAMERA_SPEED = 1024.0f;

    String m_sDescription;
    // 0 none, 1 start-up, 2 full screen, 3 windowed.
    int32_t m_nWindowModeRequest = 0;
    int32_t m_nFontTexture = -1;
    Vector3 m_vCameraPosition;
    Vector3 m_vCameraAngles;      // radians
    Matrix4 m_matProjection;
    Matrix4 m_matView;            // read by MoveCamera
    float m_fFrameTime = 0.0f;    // seconds since the previous frame
    float m_fCameraSpeed = DEFAULT_CAMERA_SPEED;
    int32_t m_nSoundVolume = 100;
    bool m_bKeyState[256] = {};   // by virtual-key code
    bool m_bShowDebugInfo = false;
    Renderer* m_pRenderer = nullptr;
    float m_fAppTime = 0.0f;
    SceneStore m_Scene;
    SceneStore m_Scene2;          // built and destroyed with the object; nothing else uses it
    int32_t m_bConsoleVisible = 0;
    int32_t m_nLeftKey = 0;
    int32_t m_nRightKey = 0;
    int32_t m_nUpKey = 0;
    int32_t m_nDownKey = 0;
    int32_t m_nForwardsKey = 0;
    int32_t m_nBackwardsKey = 0;
    int32_t m_nResetKey = 0;
    int32_t m_nScreenshotKey = 0;
    int32_t m_nShowFpsKey = 0;
    int32_t m_nConsoleKey = 0;
    // Set by DrawFrame: false when the frame limiter skipped the frame, which is then not
    // presented.
    bool m_bFrameDrawn = true;
    // The scene file given on the command line, opened after the main window's set-up.
    CString m_strStartupFile;
};
