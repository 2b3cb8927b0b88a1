// Start-up, the message loop with idle rendering, and shut-down of the application object.
#include "app/ApplicationBase.h"
#include "app/RenderDoc.h"
#include "app/RenderView.h"
#include "app/RenderWindow.h"
#include "mfc_gui/SplashWnd.h"

#include "core/Log.h"
#include "core/Processor.h"
#include "core/mvtimerdx.h"

#include <win32/layer.h>

#include <cmath>

namespace
{
const UINT DOCUMENT_RESOURCE = 128;
}

BOOL ApplicationBase::InitInstance()
{
    m_fAppTime = 0.0f;
    m_fFrameTime = 0.0f;
    TimerCommand(TimerStart);
    DetectProcessor();
    MeasureProcessorClock();

    m_fCameraSpeed = DEFAULT_CAMERA_SPEED;
    for (bool& bDown : m_bKeyState)
        bDown = false;
    SetDefaultKeyBindings();
    LoadKeyBindings();
    m_bShowDebugInfo = false;
    m_nFontTexture = -1;

    CCommandLineInfo splashInfo;
    ParseCommandLine(splashInfo);
    CSplashWnd::Enable(splashInfo.m_bShowSplash != FALSE);

    Init();
    AddDocTemplate(new CSingleDocTemplate(DOCUMENT_RESOURCE, RUNTIME_CLASS(RenderDoc), RUNTIME_CLASS(RenderWindow),
                                          RUNTIME_CLASS(RenderView)));

    // A scene named on the command line is opened once the device and the resources exist; the
    // template itself always starts with a new document.
    CCommandLineInfo shellInfo;
    ParseCommandLine(shellInfo);
    m_strStartupFile = shellInfo.m_nShellCommand == CCommandLineInfo::FileOpen ? shellInfo.m_strFileName : CString();
    shellInfo.m_nShellCommand = CCommandLineInfo::FileNew;
    if (!ProcessShellCommand(shellInfo))
        return FALSE;
    auto* pMainWnd = dynamic_cast<RenderWindow*>(m_pMainWnd);
    if (!pMainWnd)
    {
        LogError("ApplicationBase::InitInstance() - the main window is not a RenderWindow.");
        return FALSE;
    }
    CSplashWnd::Show(pMainWnd);

    m_nWindowModeRequest = 1;
    pMainWnd->OnCreate(this, m_nWindowModeRequest);
    if (!m_strStartupFile.IsEmpty() && pMainWnd->m_bLoaded)
        pMainWnd->OpenScene(m_strStartupFile);

    pMainWnd->ShowWindow(SW_SHOW);
    pMainWnd->UpdateWindow();
    ResetCamera();
    m_fFrameTime = 0.0f;
    return TRUE;
}

// Window-mode requests are handled in place by the main window, so a quit message always ends
// the loop: the MFC loop is the whole of it.
int ApplicationBase::Run()
{
    return CWinApp::Run();
}

BOOL ApplicationBase::OnIdle(LONG)
{
    float t = TimerCommand(TimerAppTime);
    float dt = TimerCommand(TimerElapsedTime);
    if (dt == 0.0f || !GetDevice())
        return FALSE;
    m_fAppTime = t;
    m_fFrameTime = dt;
    BeginFrame();
    m_bFrameDrawn = true;
    bool bResult = DrawFrame();
    EndFrame();
    // A frame the limiter skipped was not presented: wait for the next one (or for input)
    // rather than turning the loop at once.
    float fWait = m_bFrameDrawn ? 0.0f : GetFrameWait();
    if (fWait > 0.0f && !win32::HasPendingWork())
        ::Sleep(static_cast<DWORD>(std::ceil(fWait * 1000.0f)));
    return bResult;
}

int ApplicationBase::ExitInstance()
{
    TimerCommand(TimerStop);
    Exit();
    StoreKeyBindings();
    return 0;
}
