#include "app/RenderView.h"

#include "app/RenderDoc.h"
#include "app/SceneAccess.h"
#include "core/Log.h"
#include "mfc_gui/MenuBar.h"
#include "mfc_gui/PropSheetOption.h"
#include "mfc_gui/SkinEditorDlg.h"
#include "mfc_gui/TransformTarget.h"
#include "mfc_gui/TreeMessages.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"

#include <cstdio>

RenderView* g_pRenderView = nullptr;

IMPLEMENT_DYNCREATE(RenderView, CView)

BEGIN_MESSAGE_MAP(RenderView, CView)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(RenderView::ID_SHOW_TREE_TOOL, RenderView::ID_SHOW_CONSOLE, &RenderView::OnToggleWindow)
    ON_COMMAND_RANGE(RenderView::ID_SHOW_HEADER, RenderView::ID_SHOW_UTILS_TOOL, &RenderView::OnToggleWindow)
    ON_COMMAND(RenderView::ID_TOOLS_OPTIONS, &RenderView::OnToolsOptions)
    ON_COMMAND(RenderView::ID_SKIN_EDITOR, &RenderView::OnSkinEditor)
END_MESSAGE_MAP()

RenderView::RenderView() = default;

RenderView::~RenderView()
{
    if (g_pRenderView == this)
        g_pRenderView = nullptr;
}

// The window layer forgets its classes when it is reset, so each is registered whenever it is
// missing.
bool RenderView::RegisterWindowClasses()
{
    const struct
    {
        const char* m_szName;
        int m_nBackground;
    } classes[] = {{"CDockWnd", COLOR_SCROLLBAR + 1}, {"CRenderWnd", COLOR_BTNHIGHLIGHT + 1}};
    for (const auto& c : classes)
    {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        if (::GetClassInfoExA(AfxGetInstanceHandle(), c.m_szName, &wc))
            continue;
        wc.style = CS_VREDRAW | CS_HREDRAW;
        wc.lpfnWndProc = AfxWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(c.m_nBackground));
        wc.lpszClassName = c.m_szName;
        if (!::RegisterClassExA(&wc))
            return false;
    }
    return true;
}

int RenderView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    RegisterWindowClasses();
    ResetSettings();
    char szSkin[MAX_PATH * 2];
    std::snprintf(szSkin, sizeof(szSkin), "%sKeldo.skin", m_Settings.m_szSkinDir);
    m_SkinUtil.LoadSkin(szSkin);
    CreateToolDialogs();
    CreateChildWindows();
    if (!m_RenderWnd.m_hWnd)
        LogError("RenderView::OnCreate() - the render surface window could not be created.");
    Invalidate();
    return 0;
}

// Each window is given the settings before it is made, so it finds its skin when it starts.
void RenderView::CreateToolDialogs()
{
    if (!m_TreeToolDlg.m_hWnd)
    {
        m_TreeToolDlg.SetSettings(&m_Settings);
        if (m_TreeToolDlg.Create(CTreeToolDlg::IDD, this))
            m_TreeToolDlg.ShowWindow(SW_SHOWNORMAL);
    }
    if (!m_TransformToolDlg.m_hWnd)
    {
        m_TransformToolDlg.SetSettings(&m_Settings);
        if (m_TransformToolDlg.Create(CTransformToolDlg::IDD, this))
            m_TransformToolDlg.ShowWindow(SW_SHOWNORMAL);
    }
    if (!m_AnimationToolDlg.m_hWnd)
    {
        m_AnimationToolDlg.SetSettings(&m_Settings);
        if (m_AnimationToolDlg.Create(CAnimationToolDlg::IDD, this))
            m_AnimationToolDlg.ShowWindow(SW_SHOWNORMAL);
    }
}

void RenderView::CreateChildWindows()
{
    if (!m_LeftBar.m_hWnd)
        m_LeftBar.CreateEx(0, "CDockWnd", "LeftBar", WS_CHILD | WS_VISIBLE, 0, 0, 2, 621, m_hWnd, nullptr);
    if (!m_HeaderBar.m_hWnd)
        m_HeaderBar.CreateEx(0, "CDockWnd", "HeaderBar", WS_CHILD | WS_VISIBLE, 0, 0, 958, 2, m_hWnd, nullptr);
    if (!m_RenderWnd.m_hWnd)
        m_RenderWnd.CreateEx(0, "CRenderWnd", "RenderWnd", WS_CHILD | WS_VISIBLE | WS_THICKFRAME, 0, 0, 820, 620, m_hWnd,
                             nullptr);
}

RenderDoc* RenderView::GetDocument() const
{
    CDocument* pDocument = CView::GetDocument();
    return pDocument && pDocument->IsKindOf(RUNTIME_CLASS(RenderDoc)) ? static_cast<RenderDoc*>(pDocument) : nullptr;
}

void RenderView::OnDraw(CDC*)
{
}

LRESULT RenderView::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TREE_SELCHANGED)
        OnTreeSelChanged();
    else if (message == WM_TRANSFORM_MOUSEMOVE && m_pTransformTarget)
        m_RenderWnd.SetDragByClient(!m_pTransformTarget->IsMouseMove());
    return CView::DefWindowProc(message, wParam, lParam);
}

void RenderView::OnTreeSelChanged()
{
    SceneObject* pNode = m_TreeToolDlg.m_hWnd ? m_TreeToolDlg.GetTree().GetSelectedNode() : nullptr;
    if (!pNode)
        return;
    if (pNode->m_nType == TREE_ITEM_MESH)
    {
        auto* pMesh = static_cast<SceneMesh*>(pNode);
        ClearMeshSelection();
        LogInfo("Selected Item change: It's now the mesh: %s", pMesh->m_szName);
        pMesh->m_nMeshFlag = 1;
        if (m_pTransformTarget)
            m_pTransformTarget->SetMesh(pMesh);
    }
    else if (pNode->m_nType == TREE_ITEM_LIGHT)
    {
        auto* pLight = static_cast<SceneLight*>(pNode);
        LogInfo("Selected Item change: It's now the light: %s", pLight->m_szName);
        if (m_pTransformTarget)
            m_pTransformTarget->SetLight(pLight);
    }
}

CWnd* RenderView::GetToggledWindow(UINT nCommand)
{
    const struct
    {
        UINT m_nCommand;
        CWnd* m_pWnd;
    } windows[] = {
        {ID_SHOW_TREE_TOOL, &m_TreeToolDlg},           {ID_SHOW_CONSOLE, &m_dlgConsole},
        {ID_SHOW_HEADER, &m_HeaderBar},                {ID_SHOW_LEFT_BAR, &m_LeftBar},
        {ID_SHOW_ANIMATION_TOOL, &m_AnimationToolDlg}, {ID_SHOW_TRANSFORM_TOOL, &m_TransformToolDlg},
        {ID_SHOW_GENERAL_TOOL, &m_GeneralToolDlg},     {ID_SHOW_UTILS_TOOL, &m_UtilsToolDlg},
    };
    for (const auto& w : windows)
        if (w.m_nCommand == nCommand)
            return w.m_pWnd->m_hWnd ? w.m_pWnd : nullptr;
    return nullptr;
}

void RenderView::OnToggleWindow(UINT nCommand)
{
    CWnd* pWnd = GetToggledWindow(nCommand);
    if (!pWnd)
        return;
    const bool bShow = !pWnd->IsWindowVisible();
    pWnd->ShowWindow(bShow ? SW_SHOWNORMAL : SW_HIDE);
    if (CMenu* pMenu = m_pMenuBar ? m_pMenuBar->GetMenu() : nullptr)
        pMenu->CheckMenuItem(nCommand, MF_BYCOMMAND | (bShow ? MF_CHECKED : MF_UNCHECKED));
}

bool RenderView::BuildTree(ApplicationBase* pApp)
{
    if (!pApp)
    {
        LogError("RenderView::BuildTree() - Failed to build the tree. The RenderApp is NULL.");
        return false;
    }
    if (m_pTransformTarget)
        m_pTransformTarget->ClearTarget();
    return m_TreeToolDlg.BuildTree(pApp) != 0;
}

void RenderView::ResetSettings()
{
    ResetViewSettings(m_Settings, m_szProgramDir, m_hWnd);
}

void RenderView::UpdateSettings()
{
    ViewSettingsWindows windows;
    windows.m_hView = m_hWnd;
    windows.m_hTransform = m_TransformToolDlg.m_hWnd;
    windows.m_hTree = m_TreeToolDlg.m_hWnd;
    windows.m_hAnimation = m_AnimationToolDlg.m_hWnd;
    if (m_bSettingsLoaded)
        windows.m_hHeader = m_HeaderBar.m_hWnd;
    UpdateViewSettings(m_Settings, windows);
}

int RenderView::SaveSettings()
{
    UpdateSettings();
    return SaveViewSettingsFile(ViewSettingsPath(m_szProgramDir).c_str(), m_Settings);
}

int RenderView::LoadSettings()
{
    if (!LoadViewSettingsFile(ViewSettingsPath(m_szProgramDir).c_str(), m_Settings))
        return 0;
    m_bSettingsLoaded = 1;
    return 1;
}

void RenderView::OnToolsOptions()
{
    CPropSheetOption sheet("Options", this, 0);
    UpdateSettings();
    sheet.SetSettings(&m_Settings);
    if (!sheet.Initialize())
    {
        LogWarning("CMainFrame::OnToolsOptions() - Initialize failed.");
        return;
    }
    if (sheet.DoModal() != IDOK)
        return;
    sheet.ApplySettings();
    ApplySkin();
}

void RenderView::ApplySkin()
{
    m_SkinUtil.LoadSkin(m_Settings.m_szSkinDir);
    m_GeneralToolDlg.LoadSkinBitmaps();
}

void RenderView::OnSkinEditor()
{
    CSkinEditorDlg dlg(this);
    char szSkins[MAX_PATH * 2];
    std::snprintf(szSkins, sizeof(szSkins), "%sSkins\\", m_szProgramDir);
    dlg.SetSkinPath(szSkins);
    dlg.DoModal();
}
