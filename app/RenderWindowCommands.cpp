// The main window's commands, keys and mouse: scene files opened, merged, imported and saved
// through the file dialog, a camera path loaded onto the scene camera, images loaded, the about
// box and the help pages, the window-mode requests, the display toggles kept in the registry,
// and the keys and mouse handed to the application.
#include "app/ApplicationBase.h"
#include "app/CommandIds.h"
#include "app/FrameGlobals.h"
#include "app/RenderView.h"
#include "app/RenderWindow.h"

#include "3dapi/Renderer.h"
#include "3dapi/ScreenQuad.h"
#include "core/Log.h"
#include "core/mvtimerdx.h"
#include "mfc_gui/AboutDlg.h"
#include "mfc_gui/BaseFileDlg.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMesh.h"

#include <mfc/afxdlgs.h>
#include <win32/menus.h>
#include <win32/registry.h>
#include <win32/shellapi.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace
{
using SceneRead = bool (SceneStore::*)(const char*, Renderer*, IDirect3DDevice9*);
using FileQuestion = int (CBaseFileDlg::*)(HWND, char*, const char*);

// How each scene-file command reads its file: whether it replaces the scene (the title and the
// texture-memory figure follow) or adds to it.
struct SceneFileCommand
{
    UINT m_nId;
    FileQuestion m_pAsk;
    SceneRead m_pRead;
    bool m_bReplaces;
    bool m_bRetitles;
};

const SceneFileCommand SCENE_FILE_COMMANDS[] = {
    {ID_FILE_OPEN_QNL, &CBaseFileDlg::OpenQnlFile, &SceneStore::OpenQnlFile, true, true},
    {ID_FILE_OPEN_QNL2, &CBaseFileDlg::OpenQnlFile, &SceneStore::OpenQnlFile, true, true},
    {ID_FILE_MERGE_QNL, &CBaseFileDlg::OpenQnlFile, &SceneStore::MergeQnlFile, false, false},
    {ID_FILE_OPEN_MVN, &CBaseFileDlg::OpenMvnFile, &SceneStore::OpenMvnFile, true, false},
    {ID_FILE_MERGE_MVN, &CBaseFileDlg::OpenMvnFile, &SceneStore::MergeMvnFileLogged, false, false},
    {ID_FILE_OPEN_3DS, &CBaseFileDlg::Open3dsFile, &SceneStore::Open3dsFile, true, true},
    {ID_FILE_MERGE_3DS, &CBaseFileDlg::Open3dsFile, &SceneStore::Import3dsFile, false, false},
    {ID_FILE_OPEN_X, &CBaseFileDlg::OpenXFile, &SceneStore::OpenXFile, true, true},
    {ID_FILE_MERGE_X, &CBaseFileDlg::OpenXFile, &SceneStore::MergeXFile, false, false},
};

const SceneFileCommand* FindSceneFileCommand(UINT nId)
{
    for (const SceneFileCommand& command : SCENE_FILE_COMMANDS)
        if (command.m_nId == nId)
            return &command;
    return nullptr;
}

// The toggles: the flag, its registry value under the console's key.
struct ToggleCommand
{
    UINT m_nId;
    const char* m_szValue;
    bool RenderWindow::*m_pFlag;
};

const ToggleCommand TOGGLE_COMMANDS[] = {
    {ID_TOGGLE_INVERT_MOUSE, "InvertMouse", &RenderWindow::m_bInvertMouse},
    {ID_TOGGLE_VSYNC, "VSync", &RenderWindow::m_bVSync},
    {ID_TOGGLE_ANISOTROPIC, "Anisotropic", &RenderWindow::m_bAnisotropic},
    {ID_TOGGLE_DEBUG_INFO, "ShowDebugInfo", &RenderWindow::m_bShowDebugInfo},
};

// The help pages that come with the program, in its data folder.
const char HELP_DOCUMENTATION_PAGE[] = "htmlDoc\\QuenlarisHelp.html";
const char HELP_WEB_SITE_PAGE[] = "Weblink.html";

// Mouse look turns the camera by this many radians per pixel and unit of mouse speed.
const float MOUSE_LOOK_SCALE = 0.0005f;
}

BEGIN_MESSAGE_MAP(RenderWindow, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_WINDOWPOSCHANGED()
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_RBUTTONDOWN()
    ON_WM_RBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_KILLFOCUS()
    ON_WM_MENUCHAR()
    ON_WM_SYSCOMMAND()
    ON_WM_SETTINGCHANGE()
    ON_WM_SHOWWINDOW()
    ON_NOTIFY(EN_MSGFILTER, RenderWindow::CONSOLE_INPUT_ID, &RenderWindow::OnConsoleNotify)
    ON_NOTIFY(EN_MSGFILTER, RenderWindow::CONSOLE_OUTPUT_ID, &RenderWindow::OnConsoleNotify)
    ON_COMMAND(ID_FILE_OPEN_QNL, &RenderWindow::OnFileOpenQnl)
    ON_COMMAND(ID_FILE_OPEN_QNL2, &RenderWindow::OnFileOpenQnl)
    ON_COMMAND(ID_FILE_MERGE_QNL, &RenderWindow::OnFileMergeQnl)
    ON_COMMAND(ID_FILE_SAVE_QNL, &RenderWindow::OnFileSaveQnl)
    ON_COMMAND(ID_FILE_SAVE_QNL2, &RenderWindow::OnFileSaveQnl)
    ON_COMMAND(ID_FILE_OPEN_MVN, &RenderWindow::OnFileOpenMvn)
    ON_COMMAND(ID_FILE_MERGE_MVN, &RenderWindow::OnFileMergeMvn)
    ON_COMMAND(ID_FILE_SAVE_MVN, &RenderWindow::OnFileSaveMvn)
    ON_COMMAND(ID_FILE_OPEN_3DS, &RenderWindow::OnFileOpen3ds)
    ON_COMMAND(ID_FILE_MERGE_3DS, &RenderWindow::OnFileMerge3ds)
    ON_COMMAND(ID_FILE_OPEN_X, &RenderWindow::OnFileOpenX)
    ON_COMMAND(ID_FILE_MERGE_X, &RenderWindow::OnFileMergeX)
    ON_COMMAND(ID_FILE_SAVE_3DS, &RenderWindow::OnFileSave3ds)
    ON_COMMAND(ID_FILE_OPEN_CAMERA_PATH, &RenderWindow::OnFileOpenCameraPath)
    ON_COMMAND(ID_LOAD_IMAGE1, &RenderWindow::OnLoadImage1)
    ON_COMMAND(ID_LOAD_IMAGE2, &RenderWindow::OnLoadImage2)
    ON_COMMAND(ID_APP_ABOUT, &RenderWindow::OnAppAbout)
    ON_COMMAND(ID_HELP_DOCUMENTATION, &RenderWindow::OnHelpDocumentation)
    ON_COMMAND(ID_HELP_WEB_SITE, &RenderWindow::OnHelpWebSite)
    ON_COMMAND(ID_QUIT, &RenderWindow::OnQuit)
    ON_COMMAND(ID_RESTART_DEVICE, &RenderWindow::OnRestartDevice)
    ON_COMMAND(ID_TOGGLE_CONSOLE, &RenderWindow::OnToggleConsole)
    ON_COMMAND(ID_GO_FULLSCREEN, &RenderWindow::OnGoFullscreen)
    ON_COMMAND_RANGE(ID_TOGGLE_INVERT_MOUSE, ID_TOGGLE_DEBUG_INFO, &RenderWindow::OnToggle)
END_MESSAGE_MAP()

// ---- Scene files

bool RenderWindow::OpenScene(const char* szPath)
{
    const char* szExtension = szPath ? std::strrchr(szPath, '.') : nullptr;
    if (szExtension && strcasecmp(szExtension, ".qnl") == 0)
        return OpenSceneAs(ID_FILE_OPEN_QNL, szPath);
    if (szExtension && strcasecmp(szExtension, ".mvn") == 0)
        return OpenSceneAs(ID_FILE_OPEN_MVN, szPath);
    LogError("RenderWindow::OpenScene() - \"%s\" is not a scene file (\".qnl\" or \".mvn\").", szPath ? szPath : "");
    return false;
}

bool RenderWindow::OpenSceneAs(UINT nCommand, const char* szPath)
{
    const SceneFileCommand* pCommand = FindSceneFileCommand(nCommand);
    IDirect3DDevice9* pDevice = m_pApp ? m_pApp->GetDevice() : nullptr;
    if (!pCommand || !pDevice || !szPath)
        return false;
    SceneStore& scene = m_pApp->m_Scene;
    if (!(scene.*pCommand->m_pRead)(szPath, m_pApp->GetRenderer(), pDevice))
    {
        LogError("RenderWindow::OpenSceneAs() - \"%s\" could not be read; the scene stays as it was.", szPath);
        return false;
    }
    // Meshes read before keep the buffers they have.
    for (uint32_t i = 0; i < scene.m_Meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(scene.m_Meshes.Get(i));
        if (!pMesh->m_pVertexBuffer)
            pMesh->CreateVertexBuffers(pDevice);
    }
    g_bSceneChanged = 1;
    if (pCommand->m_bRetitles)
        if (CDocument* pDoc = GetActiveDocument())
            pDoc->SetTitle(szPath);
    if (pCommand->m_bReplaces)
        g_nAvailableTextureMem = static_cast<int32_t>(pDevice->GetAvailableTextureMem());
    RebuildTree(nullptr);
    return true;
}

void RenderWindow::OpenThroughDialog(UINT nCommand)
{
    const SceneFileCommand* pCommand = FindSceneFileCommand(nCommand);
    CBaseFileDlg dialog;
    if (pCommand && (dialog.*pCommand->m_pAsk)(nullptr, nullptr, nullptr))
        OpenSceneAs(nCommand, dialog.GetFilePath());
}

void RenderWindow::OnFileOpenQnl()
{
    OpenThroughDialog(ID_FILE_OPEN_QNL);
}

void RenderWindow::OnFileMergeQnl()
{
    OpenThroughDialog(ID_FILE_MERGE_QNL);
}

void RenderWindow::OnFileOpenMvn()
{
    OpenThroughDialog(ID_FILE_OPEN_MVN);
}

void RenderWindow::OnFileMergeMvn()
{
    OpenThroughDialog(ID_FILE_MERGE_MVN);
}

void RenderWindow::OnFileOpen3ds()
{
    OpenThroughDialog(ID_FILE_OPEN_3DS);
}

void RenderWindow::OnFileMerge3ds()
{
    OpenThroughDialog(ID_FILE_MERGE_3DS);
}

void RenderWindow::OnFileOpenX()
{
    OpenThroughDialog(ID_FILE_OPEN_X);
}

void RenderWindow::OnFileMergeX()
{
    OpenThroughDialog(ID_FILE_MERGE_X);
}

void RenderWindow::OnFileSaveQnl()
{
    CBaseFileDlg dialog;
    if (m_pApp && dialog.SaveQnlFile(nullptr, nullptr, nullptr))
        m_pApp->m_Scene.SaveQnlFile(dialog.GetFilePath());
}

void RenderWindow::OnFileSaveMvn()
{
    CBaseFileDlg dialog;
    if (m_pApp && dialog.SaveMvnFile(nullptr, nullptr, nullptr))
        m_pApp->m_Scene.SaveMvnFile(dialog.GetFilePath());
}

// The program reads 3DS files but has no writer for them.
void RenderWindow::OnFileSave3ds()
{
    LogWarning("RenderWindow::OnFileSave3ds() - saving 3DS files is not supported; use Save As QNL.");
}

void RenderWindow::OnFileOpenCameraPath()
{
    CFileDialog dialog(TRUE, CAMERA_PATH_EXTENSION, "*.pth", OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_EXPLORER,
                       CAMERA_PATH_FILTER, this);
    if (m_pApp && dialog.DoModal() == IDOK)
        m_pApp->m_Scene.m_Camera.LoadPath(dialog.GetPathName());
}

// The image shows on the screen quad: its left and right halves (first command) or its top and
// bottom halves (second).
static void LoadImageForQuad(ApplicationBase* pApp, int nHalfLayout)
{
    CBaseFileDlg dialog;
    Renderer* pRenderer = pApp ? pApp->GetRenderer() : nullptr;
    if (!pRenderer || !dialog.OpenImageFile(nullptr, nullptr))
        return;
    g_nLoadedImageTexture = pRenderer->LoadTexture(dialog.GetFilePath(), 0);
    g_ScreenQuad.SetHalfLayout(nHalfLayout);
}

void RenderWindow::OnLoadImage1()
{
    LoadImageForQuad(m_pApp, 1);
}

void RenderWindow::OnLoadImage2()
{
    LoadImageForQuad(m_pApp, 0);
}

// ---- Help, about, window mode

void RenderWindow::OnAppAbout()
{
    CAboutDlg dialog;
    dialog.DoModal();
}

bool RenderWindow::OpenHelpPage(const char* szPage)
{
    HINSTANCE hResult = ShellExecuteA(nullptr, "open", szPage, nullptr, nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(hResult) > 32)
        return true;
    LogError("RenderWindow::OpenHelpPage() - the help page \"%s\" could not be opened.", szPage);
    return false;
}

void RenderWindow::OnHelpDocumentation()
{
    OpenHelpPage(HELP_DOCUMENTATION_PAGE);
}

void RenderWindow::OnHelpWebSite()
{
    OpenHelpPage(HELP_WEB_SITE_PAGE);
}

void RenderWindow::OnQuit()
{
    PostMessage(WM_CLOSE);
}

void RenderWindow::OnRestartDevice()
{
    HandleWindowModeRequest(3);
}

void RenderWindow::OnGoFullscreen()
{
    HandleWindowModeRequest(2);
}

// ---- Toggles

void RenderWindow::OnToggle(UINT nCommand)
{
    Toggle(nCommand);
}

void RenderWindow::Toggle(UINT nCommand)
{
    const ToggleCommand* pToggle = std::find_if(std::begin(TOGGLE_COMMANDS), std::end(TOGGLE_COMMANDS),
                                                [nCommand](const ToggleCommand& t) { return t.m_nId == nCommand; });
    if (pToggle == std::end(TOGGLE_COMMANDS))
        return;
    bool& bFlag = this->*pToggle->m_pFlag;
    bFlag = !bFlag;

    // A key that cannot be created leaves the change in memory only.
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &hKey, &dwDisposition) == ERROR_SUCCESS)
    {
        DWORD dwValue = bFlag ? 1 : 0;
        RegSetValueExA(hKey, pToggle->m_szValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                       sizeof(dwValue));
        RegCloseKey(hKey);
    }
    if (HMENU hMenu = ::GetMenu(m_hWnd))
        ::CheckMenuItem(hMenu, nCommand, MF_BYCOMMAND | (bFlag ? MF_CHECKED : MF_UNCHECKED));

    Renderer* pRenderer = m_pApp ? m_pApp->GetRenderer() : nullptr;
    if (nCommand == ID_TOGGLE_VSYNC && pRenderer)
        pRenderer->SetVSync(bFlag);
    else if (nCommand == ID_TOGGLE_ANISOTROPIC && pRenderer)
        for (int nId = pRenderer->NextTexture(-1); nId != -1; nId = pRenderer->NextTexture(nId))
            pRenderer->SetTextureAnisotropy(nId, bFlag);
    else if (nCommand == ID_TOGGLE_DEBUG_INFO && m_pApp)
        m_pApp->SetShowDebugInfo(bFlag);
}

// ---- Keys and mouse

bool RenderWindow::IsConsolePane(HWND hWnd) const
{
    return hWnd && (hWnd == m_ConsoleInput.m_hWnd || hWnd == m_ConsoleOutput.m_hWnd);
}

BOOL RenderWindow::PreTranslateMessage(MSG* pMsg)
{
    if (g_bRebuildTree == 1)
    {
        RebuildTree(nullptr);
        g_bRebuildTree = 0;
    }
    if (pMsg->message == WM_SYSKEYDOWN && pMsg->wParam == VK_MENU)
        m_MenuBar.SetKeyboardMode(true);
    else if (pMsg->message == WM_KEYUP && pMsg->wParam == VK_MENU)
        m_MenuBar.SetKeyboardMode(false);
    // Keys for the frame's other windows (the view, the render surface) are the program's keys
    // too; the console panes keep theirs. The frame's own arrive through its handlers.
    if (pMsg->hwnd != m_hWnd && !IsConsolePane(pMsg->hwnd))
    {
        const UINT nChar = static_cast<UINT>(pMsg->wParam);
        const UINT nRepeat = LOWORD(pMsg->lParam), nFlags = HIWORD(pMsg->lParam);
        if (pMsg->message == WM_KEYDOWN)
            OnKeyDown(nChar, nRepeat, nFlags);
        else if (pMsg->message == WM_KEYUP)
            OnKeyUp(nChar, nRepeat, nFlags);
    }
    if (pMsg->message == WM_SYSKEYDOWN && pMsg->wParam == VK_RETURN)
    {
        HandleWindowModeRequest(m_bFullScreen ? 3 : 2);
        return TRUE;
    }
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void RenderWindow::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_pApp)
    {
        m_pApp->OnKey(static_cast<int>(nChar), true);
        if (nChar == VK_ESCAPE)
            m_bMouseLook = false;
        else if (static_cast<int>(nChar) == m_pApp->m_nConsoleKey)
            OnToggleConsole();
    }
    CFrameWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

void RenderWindow::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (m_pApp)
        m_pApp->OnKey(static_cast<int>(nChar), false);
    CFrameWnd::OnKeyUp(nChar, nRepCnt, nFlags);
}

void RenderWindow::OnLButtonDown(UINT, CPoint)
{
    m_bLeftButton = true;
}

void RenderWindow::OnLButtonUp(UINT, CPoint)
{
    m_bLeftButton = false;
}

void RenderWindow::OnRButtonDown(UINT, CPoint)
{
    m_bRightButton = true;
}

void RenderWindow::OnRButtonUp(UINT, CPoint)
{
    m_bRightButton = false;
}

// Mouse look turns the camera by the distance from the anchor; every second call puts the
// cursor back on the anchor, so the next call measures a fresh movement.
void RenderWindow::OnMouseMove(UINT, CPoint point)
{
    if (!m_bMouseLook || !m_pApp)
        return;
    static bool s_bRecentre = false;
    ClientToScreen(&point);
    const float s = static_cast<float>(m_nMouseSpeed) * MOUSE_LOOK_SCALE;
    m_pApp->RotateCamera(static_cast<float>(m_nMouseAnchorY - point.y) * s * (m_bInvertMouse ? 1.0f : -1.0f),
                         static_cast<float>(m_nMouseAnchorX - point.x) * s, 0.0f);
    s_bRecentre = !s_bRecentre;
    if (s_bRecentre)
        ::SetCursorPos(m_nMouseAnchorX, m_nMouseAnchorY);
}

// Losing the focus changes nothing: the key state stays as the keys left it.
void RenderWindow::OnKillFocus(CWnd*)
{
}

LRESULT RenderWindow::OnMenuChar(UINT nChar, UINT nFlags, CMenu* pMenu)
{
    if (m_MenuBar.OpenMenuByMnemonic(nChar))
        return -1;
    return CFrameWnd::OnMenuChar(nChar, nFlags, pMenu);
}

void RenderWindow::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == SC_KEYMENU && m_MenuBar.OnSysKeyMenu((UINT)lParam))
        return;
    CFrameWnd::OnSysCommand(nID, lParam);
}

void RenderWindow::OnSettingChange(UINT uFlags, const char* lpszSection)
{
    m_MenuBar.UpdateFont();
    CFrameWnd::OnSettingChange(uFlags, lpszSection);
}

// The application's clock runs only while the window is shown.
void RenderWindow::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CFrameWnd::OnShowWindow(bShow, nStatus);
    TimerCommand(bShow ? TimerStart : TimerStop);
}
