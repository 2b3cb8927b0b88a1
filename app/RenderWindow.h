#pragma once
// The program's main frame window: the document template makes it with the document and the
// view; its set-up (OnCreate) reads the display settings, has the application create the device
// for the view's render surface window, creates the menu bar, rebar and status bar and loads the
// resources; it relays keys to the application, and when it closes it saves the view's settings,
// unloads, releases the device and stores its own settings.
#include "mfc_gui/AlphaToolBar.h"
#include "mfc_gui/MenuBar.h"

#include "core/DisplayModeList.h"
#include "core/String.h"

#include <mfc/afxcmn.h>
#include <mfc/afxext.h>
#include <mfc/afxwin.h>

class ApplicationBase;
class SceneObject;
class CRenderWnd;
class RenderView;
class RenderWindow;

// The main window; null while none exists.
extern RenderWindow* g_pRenderWindow;
// Whether the console panes are shown (the application's m_bConsoleVisible follows it).
extern int32_t g_bConsoleVisible;

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
    // and the tree brought up to date. False when it was not opened. (RenderWindowCommands.cpp)
    bool OpenScene(const char* szPath);
    bool FindRenderView();
    CRenderWnd* GetRenderWnd();
    bool RebuildTree(void* pIgnored);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // The tree is rebuilt when asked for; keys for the frame's other windows reach the
    // application as the frame's own do (the console panes keep theirs); Alt goes to the menu
    // bar; Alt+Enter is the window-mode request. (RenderWindowCommands.cpp)
    BOOL PreTranslateMessage(MSG* pMsg) override;
    // The property tree's value notification (wParam: the scene object whose texture item
    // changed) shows the object's name and reads the scene's textures again; every message then
    // goes to the frame. (RenderWindowTree.cpp)
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTreeTextureChange(SceneObject* pNode);

    // ---- Console (RenderWindowConsole.cpp): a one-line input pane at the bottom of the client
    // area and a read-only transcript above it, both hidden until shown.
    static constexpr UINT CONSOLE_INPUT_ID = 1000;
    static constexpr UINT CONSOLE_OUTPUT_ID = 1001;
    static constexpr const char* INVALID_COMMAND_TEXT =
        "Invalid command. Type help for a list of valid commands.";
    // Creates both panes hidden (a pane that cannot be made is reported); 0.
    int CreateConsolePanes();
    // Puts the panes at the bottom of the client area.
    void LayoutConsolePanes();
    afx_msg void OnToggleConsole();
    // Runs the input pane's line: the transcript gets the prompt line and the result.
    void RunConsoleInput();
    // One command line's result as the transcript shows it ("Command OK" for an empty one, trailing
    // blanks trimmed). The window's own commands first, then the application's.
    String ExecuteConsoleCommand(const char* szLine);

    // ---- Commands, keys and mouse (RenderWindowCommands.cpp).
    // Opens, merges or imports a scene file by the command that names its kind; false, with the
    // scene, title and tree as they were, when it was not read.
    bool OpenSceneAs(UINT nCommand, const char* szPath);
    // The toggles of commands 301 to 304: the flag flips, is stored, and the menu tick follows.
    void Toggle(UINT nCommand);
    // Opens a help page with the desktop's handler (no shell); false when it could not start.
    static bool OpenHelpPage(const char* szPage);

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
    CRichEditCtrl m_ConsoleInput;
    CRichEditCtrl m_ConsoleOutput;

protected:
    // Creates the bars; a bar that fails is reported and the set-up goes on without it.
    void CreateBars();
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    afx_msg void OnConsoleNotify(NMHDR* pNotify, LRESULT* pResult);

    afx_msg void OnFileOpenQnl();
    afx_msg void OnFileMergeQnl();
    afx_msg void OnFileSaveQnl();
    afx_msg void OnFileOpenMvn();
    afx_msg void OnFileMergeMvn();
    afx_msg void OnFileSaveMvn();
    afx_msg void OnFileOpen3ds();
    afx_msg void OnFileMerge3ds();
    afx_msg void OnFileOpenX();
    afx_msg void OnFileMergeX();
    afx_msg void OnFileSave3ds();
    afx_msg void OnFileOpenCameraPath();
    afx_msg void OnLoadImage1();
    afx_msg void OnLoadImage2();
    afx_msg void OnAppAbout();
    afx_msg void OnHelpDocumentation();
    afx_msg void OnHelpWebSite();
    afx_msg void OnQuit();
    afx_msg void OnRestartDevice();
    afx_msg void OnGoFullscreen();
    afx_msg void OnToggle(UINT nCommand);
    afx_msg void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnRButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnRButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg LRESULT OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu);
    afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
    afx_msg void OnSettingChange(UINT uFlags, const char* lpszSection);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    DECLARE_MESSAGE_MAP()

private:
    // The window's own console commands; false for a word that is not one of them.
    bool RunWindowCommand(const char* szLine, String& result);
    // Opens a scene file through the file dialog and OpenSceneAs.
    void OpenThroughDialog(UINT nCommand);
    // Whether a key message is aimed at a console pane (those keys are the pane's own).
    bool IsConsolePane(HWND hWnd) const;
    // Set by "clear": the transcript starts again.
    bool m_bClearTranscript = false;
};
