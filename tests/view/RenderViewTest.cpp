// The view of the running application: the windows it makes, the tree's selection reaching the
// transform tool window (a recorder, and the view's own window), its show commands with their
// menu check marks, the Options sheet and the skin editor, the render window's trip to full
// screen and back, and a light's colour edited in the tree reaching the next frame.
#include "SceneTreeFixture.h"

#include "mfc_gui/EditFloatDlg.h"
#include "mfc_gui/MenuBar.h"
#include "mfc_gui/PropSheetOption.h"
#include "mfc_gui/SkinEditorDlg.h"
#include "mfc_gui/TransformToolDlg.h"
#include "mfc_gui/TreeMessages.h"

#include <win32/present.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

namespace
{
// A transform tool window that only records what the view asks of it.
class CRecordingTransform : public CTransformTarget
{
public:
    int SetMesh(SceneMesh* pMesh) override
    {
        m_Calls.push_back("mesh " + std::string(pMesh->m_szName));
        return 1;
    }
    int SetLight(SceneLight* pLight) override
    {
        m_Calls.push_back("light " + std::string(pLight->m_szName));
        return 1;
    }
    void ClearTarget() override { m_Calls.push_back("clear"); }
    BOOL IsMouseMove() const override { return m_bMouseMove; }

    std::vector<std::string> m_Calls;
    BOOL m_bMouseMove = FALSE;
};

class RenderViewTest : public SceneTreeTest
{
protected:
    void TearDown() override
    {
        if (g_pRenderView)
            g_pRenderView->m_pTransformTarget = &g_pRenderView->m_TransformToolDlg;
        SceneTreeTest::TearDown();
    }
    RenderView& View() { return *g_pRenderView; }

    // Idle turns on the layer clock until four frames are drawn (the first ones of a new scene
    // also build what later frames use); then the render window's pixel.
    uint32_t DrawnPixel(int x, int y)
    {
        for (int i = 0, nDrawn = 0; i < 40 && nDrawn < 4; ++i)
        {
            m_pDriver->advance(40);
            m_pApp->BeginFrame();
            m_pApp->DrawFrame();
            const bool bDrawn = m_pApp->m_bFrameDrawn;
            m_pApp->EndFrame();
            nDrawn += bDrawn;
        }
        win32::Image32 image;
        EXPECT_TRUE(win32::GetWindowImage(View().m_RenderWnd.m_hWnd, image));

        if (x >= static_cast<int>(image.m_nWidth) || y >= static_cast<int>(image.m_nHeight))
            return 0xFF000000u;
        return image.m_Pixels[static_cast<size_t>(y) * image.m_nWidth + x] & 0xFFFFFF;
    }
};
}

TEST_F(RenderViewTest, StartUpMakesTheToolWindowsTheBarsAndTheRenderWindowChildrenOfTheView)
{
    struct
    {
        CWnd* m_pWnd;
        const char* m_szName;
    } windows[] = {{&View().m_TreeToolDlg, "tree"},
                   {&View().m_TransformToolDlg, "transform"},
                   {&View().m_AnimationToolDlg, "animation"},
                   {&View().m_LeftBar, "LeftBar"},
                   {&View().m_HeaderBar, "HeaderBar"},
                   {&View().m_RenderWnd, "RenderWnd"}};
    for (const auto& w : windows)
    {
        SCOPED_TRACE(w.m_szName);
        ASSERT_NE(w.m_pWnd->m_hWnd, nullptr);
        EXPECT_EQ(::GetParent(w.m_pWnd->m_hWnd), View().m_hWnd);
        EXPECT_TRUE(w.m_pWnd->IsWindowVisible());
    }
    // The console, utils and general windows are made by no one.
    EXPECT_EQ(View().m_dlgConsole.m_hWnd, nullptr);
    EXPECT_EQ(View().m_UtilsToolDlg.m_hWnd, nullptr);
    EXPECT_EQ(View().m_GeneralToolDlg.m_hWnd, nullptr);
    // The windows were given the settings, whose skin directory is the program's default skin.
    EXPECT_EQ(View().m_TreeToolDlg.m_pSettings, &View().m_Settings);
    EXPECT_EQ(View().m_TransformToolDlg.m_pSettings, &View().m_Settings);
    EXPECT_EQ(View().m_AnimationToolDlg.m_pSettings, &View().m_Settings);
    EXPECT_STREQ(View().m_Settings.m_szSkinDir, "C:\\Quenlaris\\skins\\default\\");
    char szClass[64];
    ::GetClassNameA(View().m_RenderWnd.m_hWnd, szClass, sizeof(szClass));
    EXPECT_STREQ(szClass, "CRenderWnd");
    ::GetClassNameA(View().m_LeftBar.m_hWnd, szClass, sizeof(szClass));
    EXPECT_STREQ(szClass, "CDockWnd");
    EXPECT_FALSE(View().m_RenderWnd.IsDraggedByClient());
    // The main window gave the view its menu bar.
    EXPECT_NE(View().m_pMenuBar, nullptr);
}

TEST_F(RenderViewTest, SelectingAMeshTargetsItAndALightLeavesTheMeshFlags)
{
    CRecordingTransform transform;
    View().m_pTransformTarget = &transform;
    BuildFixtureScene();
    ASSERT_TRUE(View().BuildTree(m_pApp.get()));
    EXPECT_EQ(transform.m_Calls, std::vector<std::string>{"clear"}) << "a rebuilt tree forgets the old target";
    transform.m_Calls.clear();
    Mesh(0)->m_nMeshFlag = 1;

    Select({"Scene Nodes", "Object List", "Mesh #1 :Floor "});
    EXPECT_EQ(Mesh(0)->m_nMeshFlag, 0);
    EXPECT_EQ(Mesh(1)->m_nMeshFlag, 1);
    Select({"Scene Nodes", "Light List", "light #1 :"});
    EXPECT_EQ(Mesh(0)->m_nMeshFlag, 0);
    EXPECT_EQ(Mesh(1)->m_nMeshFlag, 1);
    // Materials, groups and value items target nothing.
    Select({"Scene Nodes", "Material List", "Material : Wood"});
    Select({"Scene Nodes", "Object List"});
    Select({"Scene Nodes", "Object List", "Mesh #0 :Box ", "Visible"});
    Select({"Scene Nodes", "Camera"});
    EXPECT_EQ(transform.m_Calls, (std::vector<std::string>{"mesh Floor", "light Spot"}));

    // The transform window's Mouse Move button decides whether the render window drags.
    transform.m_bMouseMove = TRUE;
    View().SendMessage(WM_TRANSFORM_MOUSEMOVE);
    EXPECT_FALSE(View().m_RenderWnd.IsDraggedByClient());
    transform.m_bMouseMove = FALSE;
    View().SendMessage(WM_TRANSFORM_MOUSEMOVE);
    EXPECT_TRUE(View().m_RenderWnd.IsDraggedByClient());

    // Deleting the selected mesh: the main window rebuilds the tree before it handles its next
    // message, and the transform window forgets the mesh then.
    Select({"Scene Nodes", "Object List", "Mesh #1 :Floor "});
    transform.m_Calls.clear();
    Window().SendMessage(WM_COMMAND, CTreeToolDlg::ID_DELETE_MESH);
    MSG msg{};
    msg.hwnd = m_pWindow->m_hWnd;
    msg.message = WM_NULL;
    m_pWindow->PreTranslateMessage(&msg);
    EXPECT_EQ(transform.m_Calls, std::vector<std::string>{"clear"});
}

TEST_F(RenderViewTest, ABoolItemOfTheTreeTogglesItsOwnByteOnly)
{
    BuildFixtureScene();
    View().BuildTree(m_pApp.get());
    const uint8_t bFloorWireframe = Mesh(1)->m_bWireframe;
    // The bytes around the one-byte flag, as they were.
    const uint8_t* pFlag = &Mesh(0)->m_bWireframe;
    uint8_t around[8];
    std::memcpy(around, pFlag - 4, 4);
    std::memcpy(around + 4, pFlag + 1, 4);
    const std::vector<std::string> path = {"Scene Nodes", "Object List", "Mesh #0 :Box ", "Force Wireframe"};
    Tree().Expand(Find({"Scene Nodes"}), TVE_EXPAND);
    Tree().Expand(Find({"Scene Nodes", "Object List"}), TVE_EXPAND);
    Tree().Expand(Find({"Scene Nodes", "Object List", "Mesh #0 :Box "}), TVE_EXPAND);
    Select(path);
    EXPECT_EQ(Tree().EditBoolItem(Find(path)), 1);
    EXPECT_EQ(Mesh(0)->m_bWireframe, 1);
    EXPECT_EQ(Label(Find(path)), "Force Wireframe: TRUE");
    EXPECT_EQ(Mesh(1)->m_bWireframe, bFloorWireframe);
    EXPECT_EQ(std::memcmp(around, pFlag - 4, 4), 0);
    EXPECT_EQ(std::memcmp(around + 4, pFlag + 1, 4), 0);
}

TEST_F(RenderViewTest, ShowCommandsToggleTheirWindowsAndTheMenuChecks)
{
    CMenu* pMenu = View().m_pMenuBar ? View().m_pMenuBar->GetMenu() : nullptr;
    ASSERT_NE(pMenu, nullptr);
    const UINT ids[] = {RenderView::ID_SHOW_TREE_TOOL,      RenderView::ID_SHOW_HEADER,
                        RenderView::ID_SHOW_LEFT_BAR,       RenderView::ID_SHOW_ANIMATION_TOOL,
                        RenderView::ID_SHOW_TRANSFORM_TOOL, RenderView::ID_SHOW_UTILS_TOOL};
    for (UINT nId : ids)
        pMenu->AppendMenu(MF_STRING, nId, "show");
    const struct
    {
        UINT m_nId;
        CWnd* m_pWnd;
    } cases[] = {{RenderView::ID_SHOW_TREE_TOOL, &View().m_TreeToolDlg},
                 {RenderView::ID_SHOW_HEADER, &View().m_HeaderBar},
                 {RenderView::ID_SHOW_LEFT_BAR, &View().m_LeftBar},
                 {RenderView::ID_SHOW_ANIMATION_TOOL, &View().m_AnimationToolDlg},
                 {RenderView::ID_SHOW_TRANSFORM_TOOL, &View().m_TransformToolDlg}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_nId);
        for (bool bShown : {false, true})
        {
            View().SendMessage(WM_COMMAND, c.m_nId);
            EXPECT_EQ(c.m_pWnd->IsWindowVisible() != FALSE, bShown);
            EXPECT_EQ((pMenu->GetMenuState(c.m_nId, MF_BYCOMMAND) & MF_CHECKED) != 0, bShown);
        }
    }
    // A window that was never made: nothing happens, the mark stays off.
    View().SendMessage(WM_COMMAND, RenderView::ID_SHOW_UTILS_TOOL);
    EXPECT_EQ(View().m_UtilsToolDlg.m_hWnd, nullptr);
    EXPECT_EQ(pMenu->GetMenuState(RenderView::ID_SHOW_UTILS_TOOL, MF_BYCOMMAND) & MF_CHECKED, 0u);
}

TEST_F(RenderViewTest, FullScreenAndBackRestoresTheParentAtTheWindowedSize)
{
    CRenderWnd& wnd = View().m_RenderWnd;
    wnd.GoFullscreen();
    EXPECT_EQ(::GetParent(wnd.m_hWnd), nullptr);
    CRect rc;
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(0, 0, CRenderWnd::FULL_SCREEN_WIDTH, CRenderWnd::FULL_SCREEN_HEIGHT));
    EXPECT_EQ(wnd.GetStyle() & WS_THICKFRAME, 0u);
    wnd.GoWindowed();
    EXPECT_EQ(::GetParent(wnd.m_hWnd), View().m_hWnd);
    wnd.GetWindowRect(&rc);
    EXPECT_EQ(rc.Size(), CSize(CRenderWnd::WINDOWED_WIDTH, CRenderWnd::WINDOWED_HEIGHT));
    EXPECT_NE(wnd.GetStyle() & WS_THICKFRAME, 0u);
}

TEST_F(RenderViewTest, BuildingWithoutAnApplicationIsLoggedAndBuildsNothing)
{
    ClearLogLines();
    EXPECT_FALSE(View().BuildTree(nullptr));
    EXPECT_TRUE(HasLogLine(LOG_ERROR, "RenderView::BuildTree() - Failed to build the tree. The RenderApp is NULL."));
}

// The light's red channel set to 0 in the tree: in the next frames of the sample room the red
// the light gave the back wall is gone (what stays is the scene's constant ambient share), and
// green and blue stay exactly as they were.
TEST_F(RenderViewTest, ALightsColourEditedInTheTreeChangesTheNextFrame)
{
    ASSERT_TRUE(m_pWindow->OpenScene(QUEN_SAMPLE_SCENE));
    ASSERT_GE(m_pApp->m_Scene.m_Lights.GetCount(), 1u);
    const int x = 330, y = 250;
    const uint32_t nBefore = DrawnPixel(x, y);
    ASSERT_GT(nBefore >> 16 & 0xFF, 0x80u) << std::hex << nBefore;

    const std::vector<std::string> red = {"Scene Nodes", "Light List", "light #0 :", "Diffuse Color", "Red "};
    Select(red);
    m_pDriver->at(10, [&] {
        HWND hDlg = m_pDriver->find("title:Edit the value");
        ASSERT_NE(hDlg, nullptr);
        ::SetWindowTextA(::GetDlgItem(hDlg, CEditFloatDlg::IDC_NEW), "0");
        ::SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
    });
    Window().SendMessage(WM_COMMAND, CTreeToolDlg::ID_EDIT_VALUE);
    EXPECT_EQ(Light(0)->m_Light.Diffuse.r, 0.0f);
    EXPECT_EQ(Label(Find(red)), "Red : 0.00");
    const uint32_t nAfter = DrawnPixel(x, y);
    EXPECT_LT(nAfter >> 16 & 0xFF, 0x20u) << std::hex << nBefore << " -> " << nAfter;
    EXPECT_EQ(nAfter & 0xFFFF, nBefore & 0xFFFF) << std::hex << nBefore << " -> " << nAfter;
}

TEST_F(RenderViewTest, TheViewsTransformWindowMovesTheSelectedMeshAndLetsGoOfItOnARebuild)
{
    CTransformToolDlg& dlg = View().m_TransformToolDlg;
    ASSERT_EQ(View().m_pTransformTarget, &dlg);
    BuildFixtureScene();
    ASSERT_TRUE(View().BuildTree(m_pApp.get()));
    SceneMesh* pFloor = Mesh(1);
    ASSERT_STREQ(pFloor->m_szName, "Floor");
    Select({"Scene Nodes", "Object List", "Mesh #1 :Floor "});
    EXPECT_EQ(dlg.m_pMesh, pFloor);
    dlg.m_nMode = CTransformToolDlg::MODE_TRANSLATION;
    const float fMinX = pFloor->m_fBounds[0];
    dlg.ApplyStep(D3DXVECTOR3(2.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(pFloor->m_fBounds[0], fMinX + 2.0f);
    Select({"Scene Nodes", "Light List", "light #1 :"});
    EXPECT_EQ(dlg.m_pLight, Light(1));
    // The tree is rebuilt whenever the scene's objects may go: the window no longer holds one.
    Select({"Scene Nodes", "Object List", "Mesh #1 :Floor "});
    ASSERT_TRUE(View().BuildTree(m_pApp.get()));
    EXPECT_EQ(dlg.m_pMesh, nullptr);
    dlg.ApplyStep(D3DXVECTOR3(2.0f, 0.0f, 0.0f));
    EXPECT_FLOAT_EQ(pFloor->m_fBounds[0], fMinX + 2.0f);
    // Its Mouse Move button decides whether the render window drags.
    dlg.m_bMouseMove = 1;
    View().SendMessage(WM_TRANSFORM_MOUSEMOVE);
    EXPECT_FALSE(View().m_RenderWnd.IsDraggedByClient());
}

TEST_F(RenderViewTest, OptionsTakeTheTypedSkinDirectoryOnOkOnly)
{
    for (int nButton : {IDCANCEL, IDOK})
    {
        SCOPED_TRACE(nButton);
        std::memset(View().m_Settings.m_Placements, 0, sizeof(View().m_Settings.m_Placements));
        m_pDriver->at(10, [&] {
            HWND hSheet = m_pDriver->find("title:Options");
            ASSERT_NE(hSheet, nullptr);
            auto* pSheet = dynamic_cast<CPropSheetOption*>(CWnd::FromHandlePermanent(hSheet));
            ASSERT_NE(pSheet, nullptr);
            pSheet->SetActivePage(1);
            ::SetWindowTextA(::GetDlgItem(pSheet->m_PageSkin.m_hWnd, COptionPageSkin::IDC_SKIN_DIR), "D:\\Skins\\Blue");
            ::SendMessageA(hSheet, WM_COMMAND, MAKEWPARAM(nButton, BN_CLICKED), 0);
        });
        View().SendMessage(WM_COMMAND, RenderView::ID_TOOLS_OPTIONS);
        EXPECT_STREQ(View().m_Settings.m_szSkinDir,
                     nButton == IDOK ? "D:\\Skins\\Blue\\" : "C:\\Quenlaris\\skins\\default\\");
        // The sheet saw the placements of the view's windows as they are now.
        EXPECT_EQ(View().m_Settings.m_nVersion, 1);
        EXPECT_EQ(View().m_Settings.m_Placements[VIEW_SLOT_TRANSFORM].length, sizeof(WINDOWPLACEMENT));
        EXPECT_EQ(View().m_Settings.m_Placements[VIEW_SLOT_HEADER].length, 0u);
    }
}

TEST_F(RenderViewTest, TheSkinEditorOpensOnTheProgramsSkinsFolder)
{
    std::string strPath;
    m_pDriver->at(10, [&] {
        HWND hEditor = m_pDriver->find("title:Skin Editor");
        ASSERT_NE(hEditor, nullptr);
        auto* pEditor = dynamic_cast<CSkinEditorDlg*>(CWnd::FromHandlePermanent(hEditor));
        ASSERT_NE(pEditor, nullptr);
        strPath = pEditor->m_szSkinPath;
        ::SendMessageA(hEditor, WM_COMMAND, IDCANCEL, 0);
    });
    View().SendMessage(WM_COMMAND, RenderView::ID_SKIN_EDITOR);
    EXPECT_EQ(strPath, "C:\\Quenlaris\\Skins\\");
}

// The file is 652 bytes beginning with the version twice and holding the default skin directory;
// settings read back from it give the header bar's placement a slot, and a missing file is
// reported and leaves that as it was.
TEST_F(RenderViewTest, SettingsWrittenAtCloseReadBackAndGiveTheHeaderItsSlot)
{
    ASSERT_EQ(View().LoadSettings(), 0);
    EXPECT_TRUE(HasLogLine(LOG_WARNING, "RenderView::LoadSettings() - The setting file"));
    EXPECT_EQ(View().m_bSettingsLoaded, 0);

    ASSERT_EQ(View().SaveSettings(), 1);
    std::ifstream in(Path("settings.dat"), std::ios::binary);
    const std::vector<char> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(file.size(), 652u);
    const char version[8] = {1, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(std::memcmp(file.data(), version, sizeof(version)), 0);
    EXPECT_STREQ(file.data() + 392, "C:\\Quenlaris\\skins\\default\\");
    EXPECT_EQ(View().m_Settings.m_Placements[VIEW_SLOT_HEADER].length, 0u);

    ASSERT_EQ(View().LoadSettings(), 1);
    EXPECT_EQ(View().m_bSettingsLoaded, 1);
    View().UpdateSettings();
    EXPECT_EQ(View().m_Settings.m_Placements[VIEW_SLOT_HEADER].length, sizeof(WINDOWPLACEMENT));
}
