#pragma once
// The program's main frame window: the document template makes it with the document and the
// view; its set-up (OnCreate) reads the display settings, has the application create the device
// for the view's render surface window, creates the menu bar, rebar and status bar and loads the
// resources; it relays keys to the application, and when it closes it saves the view's settings,
// unloads, releases the device and stores its own settings.
#include "app/MenuBar.h"

#include "core/DisplayModeList.h"

#include <mfc/afxext.h>
#include <mfc/afxwin.h>

class ApplicationBase;
class CRenderWnd;
class RenderView;
class RenderWindow;

// The main window; null while none exists.
extern RenderWindow* g_pRenderWindow;

class RenderWindow : public CFrameWnd
{
    DECLARE_DYNCREATE(RenderWindow)
public:
    // Where the window values of the main window live: every value is read from the key its
    // writer uses, so what one run stores the next one reads.
    static constexpr const char* WINDOW_KEY = "SOFTWARE\\TORVANE Software\\Quenlaris";
    static constexpr const char* DISPLAY_KEY = "SOFTWARE\\Quenlaris";
    static constexpr const char* START_KEY = "SOFTWARE\\Torvane\\Quenlaris";

    RenderWindow();
    ~RenderWindow() override;

    // The set-up start-up runs once the frame exists; nRequest is the window-mode request.
    void OnCreate(ApplicationBase* pApp, int nRequest);
    // A window-mode request (Alt+Enter, restart, full screen), handled in place: the window
    // stays windowed, and the device, the resources and the scene stay as they are.
    void HandleWindowModeRequest(int nRequest);
    // Opens a ".qnl" or ".mvn" scene as the open commands do: read (a file that cannot be read
    // is reported and leaves the scene as it was), every mesh's vertex buffers made, the title
    // and the tree brought up to date. False when it was not opened.
    bool OpenScene(const char* szPath);
    bool FindRenderView();
    CRenderWnd* GetRenderWnd();
    bool RebuildTree(void* pIgnored);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Keys for any window of the frame reach the application (its key state and hot keys);
    // Alt+Enter is the window-mode request.
    BOOL PreTranslateMessage(MSG* pMsg) override;

    // The default windowed rectangle: 800 x 600 centred on a cx x cy screen, clipped to it.
    static RECT DefaultWindowedRect(int cx, int cy);
    // Reads the settings (defaults first, then the registry).
    void ReadSettings(int nRequest);
    // Writes the window values at close.
    void WriteSettings();

    ApplicationBase* m_pApp = nullptr;
    DisplayModeList* m_pDisplayModes = nullptr;
    int m_nDisplayModeCommand = 0;
    CStatusBar m_StatusBar;
    CMenuBar m_MenuBar;
    CAlphaToolBar m_ToolBar;
    CReBar m_ReBar;
    RenderView* m_pRenderView = nullptr;
    RECT m_rcWindowed = {};
    int m_nFullScreenWidth = 1024;
    int m_nFullScreenHeight = 768;
    int m_nFullScreenBits = 32;
    int m_nRefreshRate = 85;
    int m_nMouseAnchorX = 0;
    int m_nMouseAnchorY = 0;
    bool m_bFullScreen = false;
    bool m_bMouseLook = false;
    bool m_bLeftButton = false;
    bool m_bRightButton = false;
    int m_nMouseSpeed = 5;
    int m_nFSAALevel = 0;
    bool m_bColorMipMaps = false;
    bool m_bInvertMouse = false;
    bool m_bVSync = false;
    bool m_bAnisotropic = false;
    bool m_bShowDebugInfo = false;
    bool m_bLoaded = false;

protected:
    // Creates the bars; a bar that fails is reported and the set-up goes on without it.
    void CreateBars();
    afx_msg void OnClose();
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    DECLARE_MESSAGE_MAP()
};
