#include "app/RenderView.h"

#include "app/RenderDoc.h"
#include "app/SceneAccess.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "mfc_gui/MenuBar.h"
#include "mfc_gui/TransformTarget.h"
#include "mfc_gui/TreeMessages.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"

#include <win32/paths.h>

#include <cstring>

RenderView* g_pRenderView = nullptr;

IMPLEMENT_DYNCREATE(RenderView, CView)

BEGIN_MESSAGE_MAP(RenderView, CView)
    ON_WM_CREATE()
    ON_COMMAND_RANGE(RenderView::ID_SHOW_TREE_TOOL, RenderView::ID_SHOW_CONSOLE, &RenderView::OnToggleWindow)
    ON_COMMAND_RANGE(RenderView::ID_SHOW_HEADER, RenderView::ID_SHOW_UTILS_TOOL, &RenderView::OnToggleWindow)
END_MESSAGE_MAP()

namespace
{
const char SETTINGS_FILE[] = "settings.dat";
const char SKIN_DIRECTORY[] = "C:\\Quenlaris\\skins\\default\\";
const size_t PLACEMENT_SIZE = 44;
const size_t ZOOMED_OFFSET = 28;
const size_t VIEW_PLACEMENT_OFFSET = 32;
const size_t SKIN_ENABLED_OFFSET = 384;
const size_t SKIN_DIRECTORY_OFFSET = 388;
const size_t SKIN_DIRECTORY_SIZE = 260;

void PutInt32(uint8_t* p, int32_t nValue)
{
    uint32_t u = static_cast<uint32_t>(nValue);
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(u >> (8 * i));
}
}

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
    CreateToolDialogs();
    CreateChildWindows();
    if (!m_RenderWnd.m_hWnd)
        LogError("RenderView::OnCreate() - the render surface window could not be created.");
    Invalidate();
    return 0;
}

void RenderView::CreateToolDialogs()
{
    if (!m_TreeToolDlg.m_hWnd && m_TreeToolDlg.Create(CTreeToolDlg::IDD, this))
        m_TreeToolDlg.ShowWindow(SW_SHOWNORMAL);
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
        {ID_SHOW_TREE_TOOL, &m_TreeToolDlg},          {ID_SHOW_CONSOLE, m_pConsoleWnd},
        {ID_SHOW_HEADER, &m_HeaderBar},               {ID_SHOW_LEFT_BAR, &m_LeftBar},
        {ID_SHOW_ANIMATION_TOOL, m_pAnimationToolWnd}, {ID_SHOW_TRANSFORM_TOOL, m_pTransformToolWnd},
        {ID_SHOW_GENERAL_TOOL, m_pGeneralToolWnd},    {ID_SHOW_UTILS_TOOL, m_pUtilsToolWnd},
    };
    for (const auto& w : windows)
        if (w.m_nCommand == nCommand)
            return w.m_pWnd && w.m_pWnd->m_hWnd ? w.m_pWnd : nullptr;
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

void RenderView::BuildSettingsFile(uint8_t (&file)[VIEW_SETTINGS_FILE_SIZE]) const
{
    std::memset(file, 0, sizeof(file));
    uint8_t* pRecord = file + 4;
    PutInt32(file, 1);
    PutInt32(pRecord, 1);
    PutInt32(pRecord + 24, 1);
    PutInt32(pRecord + ZOOMED_OFFSET, m_hWnd && IsZoomed() ? 1 : 0);
    WINDOWPLACEMENT placement{};
    placement.length = PLACEMENT_SIZE;
    if (m_hWnd)
        GetWindowPlacement(&placement);
    static_assert(sizeof(WINDOWPLACEMENT) == PLACEMENT_SIZE, "the file keeps the 44-byte placement");
    int32_t fields[PLACEMENT_SIZE / 4];
    std::memcpy(fields, &placement, PLACEMENT_SIZE);
    for (size_t i = 0; i < PLACEMENT_SIZE / 4; ++i)
        PutInt32(pRecord + VIEW_PLACEMENT_OFFSET + 4 * i, fields[i]);
    PutInt32(pRecord + SKIN_ENABLED_OFFSET, 1);
    static_assert(sizeof(SKIN_DIRECTORY) <= SKIN_DIRECTORY_SIZE, "the skin directory fits its field");
    std::memcpy(pRecord + SKIN_DIRECTORY_OFFSET, SKIN_DIRECTORY, sizeof(SKIN_DIRECTORY));
}

bool RenderView::SaveSettings()
{
    uint8_t file[VIEW_SETTINGS_FILE_SIZE];
    BuildSettingsFile(file);
    if (!WriteFileAtomic(SETTINGS_FILE, file, sizeof(file)))
    {
        LogWarning("CMorvynForm::SaveSettings() - Could not open the file for writing. (%s)",
                   win32::MapPath(SETTINGS_FILE, true).c_str());
        return false;
    }
    return true;
}
