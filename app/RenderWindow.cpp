#include "app/RenderWindow.h"

#include "3dapi/Renderer.h"
#include "app/ApplicationBase.h"
#include "app/FrameGlobals.h"
#include "app/RenderView.h"
#include "core/Log.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMesh.h"

#include <win32/registry.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

RenderWindow* g_pRenderWindow = nullptr;

IMPLEMENT_DYNCREATE(RenderWindow, CFrameWnd)

namespace
{
const int WINDOW_WIDTH = 1024;
const int WINDOW_HEIGHT = 575;
const int RENDER_WND_WIDTH = 660;
const int RENDER_WND_HEIGHT = 500;
const UINT MAIN_MENU_ID = 128;
const UINT MAIN_TOOLBAR_ID = 128;
const UINT STATUS_INDICATORS[] = {ID_SEPARATOR};
}

RenderWindow::RenderWindow()
{
    m_rcWindowed = DefaultWindowedRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
}

// The globals forget a window that is gone, so a later report through them is safe.
RenderWindow::~RenderWindow()
{
    delete m_pDisplayModes;
    if (g_pRenderWindow == this)
        g_pRenderWindow = nullptr;
}

BOOL RenderWindow::PreCreateWindow(CREATESTRUCT& cs)
{
    return CFrameWnd::PreCreateWindow(cs);
}

RECT RenderWindow::DefaultWindowedRect(int cx, int cy)
{
    RECT rc;
    rc.left = std::max(0, (cx - 800) / 2);
    rc.right = std::min(cx, (cx + 800) / 2);
    rc.top = std::max(0, (cy - 600) / 2);
    rc.bottom = std::min(cy, (cy + 600) / 2);
    return rc;
}

void RenderWindow::OnCreate(ApplicationBase* pApp, int nRequest)
{
    g_pRenderWindow = this;
    m_pApp = pApp;
    m_bFullScreen = nRequest == 2;
    ReadSettings(nRequest);

    delete m_pDisplayModes;
    m_pDisplayModes = new DisplayModeList();
    m_pDisplayModes->FilterModes(640, 480, 32, INT32_MAX, INT32_MAX, INT32_MAX, 0, INT32_MAX);
    m_pDisplayModes->KeepNearestRefresh(85);

    m_bFullScreen = false;
    m_bMouseLook = false;
    m_nMouseAnchorX = (m_rcWindowed.left + m_rcWindowed.right) / 2;
    m_nMouseAnchorY = (m_rcWindowed.top + m_rcWindowed.bottom) / 2;
    m_bLeftButton = false;
    m_bRightButton = false;

    SetWindowPos(nullptr, 0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, SWP_NOZORDER | SWP_SHOWWINDOW);
    m_pApp->SetWindowModeRequest(0);
    // Without the view there is no render surface for the device: the window closes cleanly.
    if (!FindRenderView() || !m_pRenderView->m_RenderWnd.m_hWnd)
    {
        LogError("RenderWindow::OnCreate() - the document has no render view; the window closes.");
        PostMessage(WM_CLOSE);
        return;
    }
    ShowWindow(SW_SHOW);

    m_bLoaded = m_pApp->InitDevice(m_pRenderView->m_RenderWnd.m_hWnd, m_nFSAALevel, m_bFullScreen, m_nRefreshRate);
    if (!m_bLoaded)
    {
        PostMessage(WM_CLOSE);
        return;
    }
    m_pRenderView->m_RenderWnd.SetWindowPos(nullptr, 0, 0, RENDER_WND_WIDTH, RENDER_WND_HEIGHT,
                                            SWP_NOZORDER | SWP_SHOWWINDOW);

    if (HMENU hMenu = ::GetMenu(m_hWnd))
    {
        ::SetMenu(m_hWnd, nullptr);
        ::DestroyMenu(hMenu);
    }
    CreateBars();
    m_pRenderView->m_pMenuBar = &m_MenuBar;

    if (Renderer* pRenderer = m_pApp->GetRenderer())
    {
        pRenderer->SetVSync(m_bVSync);
        pRenderer->SetAnisotropic(m_bAnisotropic);
        pRenderer->SetColorMipMaps(m_bColorMipMaps);
    }
    m_pApp->SetShowDebugInfo(m_bShowDebugInfo);

    m_bLoaded = m_pApp->Load();
    if (m_bLoaded)
    {
        if (m_StatusBar.m_hWnd)
            m_StatusBar.ShowWindow(SW_SHOWNORMAL);
    }
    else
        PostMessage(WM_CLOSE);
}

// The bars only dress the window: a failed one is reported and the resources still load.
void RenderWindow::CreateBars()
{
    if (!m_MenuBar.Create(this, 0) || !m_MenuBar.LoadMenu(MAIN_MENU_ID, 1))
        LogWarning("RenderWindow::OnCreate() - Failed to create menubar");
    else
        m_MenuBar.LoadMenuIcons(MAIN_TOOLBAR_ID);

    if (!m_ReBar.Create(this, RBS_BANDBORDERS, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | CBRS_TOP,
                        AFX_IDW_REBAR) ||
        !m_MenuBar.m_hWnd || !m_ReBar.AddBar(&m_MenuBar, nullptr, nullptr, RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP))
        LogWarning("RenderWindow::OnCreate() - Failed to create rebar");

    if (!m_StatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_StatusBar.SetIndicators(STATUS_INDICATORS, 1))
        LogWarning("RenderWindow::OnCreate() - Failed to create status bar");
    RecalcLayout();
}

void RenderWindow::HandleWindowModeRequest(int nRequest)
{
    if (!m_pApp)
        return;
    m_pApp->SetWindowModeRequest(nRequest);
    LogInfo("RenderWindow::HandleWindowModeRequest() - request %d handled in place.", nRequest);
    // The main window never leaves windowed mode, so the device keeps its parameters and what
    // was made on it; only the render surface window is put back in its place.
    m_bFullScreen = false;
    if (m_pRenderView && m_pRenderView->m_RenderWnd.m_hWnd)
        m_pRenderView->m_RenderWnd.SetWindowPos(nullptr, 0, 0, RENDER_WND_WIDTH, RENDER_WND_HEIGHT,
                                                SWP_NOZORDER | SWP_SHOWWINDOW);
    m_pApp->SetWindowModeRequest(0);
}

bool RenderWindow::FindRenderView()
{
    CDocument* pDoc = GetActiveDocument();
    if (!pDoc)
        return false;
    POSITION pos = pDoc->GetFirstViewPosition();
    while (pos)
    {
        CView* pView = pDoc->GetNextView(pos);
        if (pView && pView->IsKindOf(RUNTIME_CLASS(RenderView)))
        {
            m_pRenderView = static_cast<RenderView*>(pView);
            g_pRenderView = m_pRenderView;
            return true;
        }
    }
    return false;
}

CRenderWnd* RenderWindow::GetRenderWnd()
{
    return m_pRenderView ? &m_pRenderView->m_RenderWnd : nullptr;
}

bool RenderWindow::RebuildTree(void*)
{
    return m_pRenderView && m_pRenderView->BuildTree(m_pApp);
}

void RenderWindow::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    m_nMouseAnchorX = lpwndpos->x + lpwndpos->cx / 2;
    m_nMouseAnchorY = lpwndpos->y + lpwndpos->cy / 2;
    CFrameWnd::OnWindowPosChanged(lpwndpos);
    LayoutConsolePanes();
}

void RenderWindow::OnClose()
{
    m_hMenuDefault = nullptr;
    if (m_pRenderView)
        m_pRenderView->SaveSettings();
    if (m_pApp)
    {
        if (m_bLoaded)
            m_pApp->Unload();
        m_pApp->ReleaseDevice(m_hWnd);
    }
    m_bLoaded = false;
    WriteSettings();
    delete m_pDisplayModes;
    m_pDisplayModes = nullptr;
    CFrameWnd::OnClose();
}
