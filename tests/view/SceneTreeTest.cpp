// The scene tree window in the running application: the tree of a small fixture scene (a point
// light, a spot light and two meshes sharing a material) item by item against a golden list,
// the groups of an empty scene, and what each context command does to the scene.
#include "SceneTreeFixture.h"

#include "app/FrameGlobals.h"
#include "mfc_gui/EditFloatDlg.h"
#include "scene/PathFile.h"
#include "scene/RenderOptions.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace
{
std::string ReadText(const std::string& strPath)
{
    std::ifstream in(strPath);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
}

TEST_F(SceneTreeTest, TheFixtureSceneShowsEveryItemBoundToItsField)
{
    BuildFixtureScene();
    ASSERT_TRUE(g_pRenderView->BuildTree(m_pApp.get()));
    const std::string strGolden = std::string(QUEN_TEST_DATA_DIR) + "/FixtureSceneTree.txt";
    const std::string strTree = DumpTree();
#ifdef QUEN_UPDATE_GOLDEN
    std::ofstream(strGolden) << strTree;
#endif
    EXPECT_EQ(strTree, ReadText(strGolden));

    // The item data: each light item its own light, each mesh item its mesh, the camera item the
    // camera; groups and materials none.
    EXPECT_EQ(NodeOf({"Scene Nodes", "Light List", "light #1 :"}), Light(1));
    EXPECT_EQ(NodeOf({"Scene Nodes", "Object List", "Mesh #0 :Box "}), Mesh(0));
    EXPECT_EQ(NodeOf({"Scene Nodes", "Camera"}), static_cast<SceneObject*>(&m_pApp->m_Scene.m_Camera));
    EXPECT_EQ(NodeOf({"Scene Nodes", "Material List", "Material : Wood"}), nullptr);
    EXPECT_EQ(m_pApp->m_Scene.m_ImageSettings.m_nType, TREE_ITEM_IMAGE_SETTINGS);
    EXPECT_EQ(m_pApp->m_Scene.m_EnvironmentSettings.m_nType, TREE_ITEM_ENVIRONMENT_SETTINGS);
}

TEST_F(SceneTreeTest, AnEmptySceneStillHasEveryGroup)
{
    ASSERT_TRUE(g_pRenderView->BuildTree(m_pApp.get()));
    const std::vector<std::string> expected = {"Scene Statistics", "Rendering Options", "Camera",
                                               "Light List",       "Object List",       "Material List"};
    EXPECT_EQ(ChildLabels(Find({"Scene Nodes"})), expected);
    EXPECT_EQ(ChildLabels(Find({"Scene Nodes", "Scene Statistics"}))[0], "Mesh Count : 0");
    EXPECT_EQ(ChildLabels(Find({"Scene Nodes", "Scene Statistics"}))[1], "Face Count : 0");
    EXPECT_TRUE(ChildLabels(Find({"Scene Nodes", "Light List"})).empty());
    EXPECT_TRUE(ChildLabels(Find({"Scene Nodes", "Object List"})).empty());
    // The application is kept: a rebuild without one shows the same scene.
    EXPECT_EQ(Window().BuildTree(nullptr), 1);
    EXPECT_EQ(ChildLabels(Find({"Scene Nodes"})), expected);
}

TEST_F(SceneTreeTest, DetachingGivesEachMeshItsOwnNumberedCopy)
{
    BuildFixtureScene();
    g_pRenderView->BuildTree(m_pApp.get());
    SceneMaterial* pWood = Mesh(0)->m_pMaterial;
    // Not a mesh: nothing is copied.
    Select({"Scene Nodes", "Light List", "light #0 :"});
    Command(CTreeToolDlg::ID_DETACH_MATERIAL);
    EXPECT_EQ(m_pApp->m_Scene.m_Materials.GetCount(), 1u);

    const struct
    {
        const char* m_szMesh;
        int m_nMesh;
        const char* m_szCopy;
    } steps[] = {{"Mesh #0 :Box ", 0, "Copy0_of_Wood"}, {"Mesh #1 :Floor ", 1, "Copy1_of_Wood"}};
    for (const auto& step : steps)
    {
        g_bRebuildTree = 0;
        Select({"Scene Nodes", "Object List", step.m_szMesh});
        Command(CTreeToolDlg::ID_DETACH_MATERIAL);
        SceneMaterial* pCopy = Mesh(step.m_nMesh)->m_pMaterial;
        ASSERT_NE(pCopy, pWood);
        EXPECT_STREQ(pCopy->m_szName, step.m_szCopy);
        EXPECT_EQ(pCopy->m_Material.Diffuse.g, pWood->m_Material.Diffuse.g);
        EXPECT_STREQ(pCopy->m_szTexturePaths[SceneMaterial::PATH_DIFFUSE], "wood.jpg");
        EXPECT_EQ(FindMaterial(step.m_szCopy), pCopy);
        EXPECT_EQ(g_bRebuildTree, 1);
        m_pDriver->pumpUntilIdle();
    }
    EXPECT_EQ(m_pApp->m_Scene.m_Materials.GetCount(), 3u);

    // A name whose copy would not fit its field is refused and nothing is copied.
    pWood->SetName(std::string(250, 'w').c_str());
    Mesh(0)->m_pMaterial = pWood;
    g_pRenderView->BuildTree(m_pApp.get());
    Select({"Scene Nodes", "Object List", "Mesh #0 :Box "});
    ClearLogLines();
    Command(CTreeToolDlg::ID_DETACH_MATERIAL);
    EXPECT_EQ(Mesh(0)->m_pMaterial, pWood);
    EXPECT_EQ(m_pApp->m_Scene.m_Materials.GetCount(), 3u);
    EXPECT_TRUE(HasLogLine(LOG_ERROR, "CTreeToolDlg::OnDetachMaterial()"));
    // A mesh without a material: a warning.
    Mesh(0)->m_pMaterial = nullptr;
    Command(CTreeToolDlg::ID_DETACH_MATERIAL);
    EXPECT_TRUE(HasLogLine(LOG_WARNING, "has no material"));
}

// Each command with a fitting and an unfitting selection: what it changes in the scene.
TEST_F(SceneTreeTest, ContextCommandsChangeTheScene)
{
    BuildFixtureScene();
    g_pRenderView->BuildTree(m_pApp.get());
    const std::string strMedia = std::string(QUEN_DATA_DIR) + "/Media/";
    PathKey keys[3] = {};
    for (int i = 0; i < 3; ++i)
    {
        keys[i].m_vPosition = Vector3(10.0f * static_cast<float>(i), 0.0f, 0.0f);
        keys[i].m_qRotation = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    }
    ASSERT_TRUE(WritePathFile(Path("spin.pth").c_str(), keys, 3, 2.0f));
    const std::vector<std::string> lamp = {"Scene Nodes", "Light List", "light #0 :"};
    const std::vector<std::string> box = {"Scene Nodes", "Object List", "Mesh #0 :Box "};
    const std::vector<std::string> floorMesh = {"Scene Nodes", "Object List", "Mesh #1 :Floor "};
    SceneMaterial* pWood = Mesh(0)->m_pMaterial;
    SceneMesh* pFloor = Mesh(1);

    // A light's cube map: asked after the "type light" box; the new cube replaces the old.
    Select(lamp);
    m_pDriver->answers().msgbox(IDOK).file(strMedia + "Cubemap_blanc.dds");
    Command(CTreeToolDlg::ID_LOAD_LIGHT_CUBEMAP);
    EXPECT_EQ(std::string(Light(0)->m_szCubeMapPath), strMedia + "Cubemap_blanc.dds");
    IDirect3DCubeTexture9* pLoaded = Light(0)->m_pCubeTexture;
    EXPECT_NE(pLoaded, nullptr);
    // A file that is no cube map: the light keeps its cube and path.
    Select(lamp);
    m_pDriver->answers().msgbox(IDOK).file(strMedia + "white.jpg");
    ClearLogLines();
    Command(CTreeToolDlg::ID_LOAD_LIGHT_CUBEMAP);
    EXPECT_EQ(Light(0)->m_pCubeTexture, pLoaded);
    EXPECT_EQ(std::string(Light(0)->m_szCubeMapPath), strMedia + "Cubemap_blanc.dds");
    EXPECT_TRUE(HasLogLine(LOG_ERROR, "CTreeToolDlg::OnLoadLightCubeMap()"));

    // The material maps of the selected mesh's material.
    Select(box);
    m_pDriver->answers().file(strMedia + "white.jpg");
    Command(CTreeToolDlg::ID_LOAD_DIFFUSE_MAP);
    EXPECT_EQ(std::string(pWood->m_szTexturePaths[SceneMaterial::PATH_DIFFUSE]), strMedia + "white.jpg");
    EXPECT_GE(pWood->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE], 0);
    Select(box);
    m_pDriver->answers().file(strMedia + "DiffuseB.bmp");
    Command(CTreeToolDlg::ID_LOAD_BUMP_MAP);
    EXPECT_EQ(std::string(pWood->m_szTexturePaths[SceneMaterial::PATH_BUMP]), strMedia + "DiffuseB.bmp");
    EXPECT_GE(pWood->m_nTextureIds[SceneMaterial::TEXTURE_BUMP], 0);
    Select(box);
    m_pDriver->answers().cancel();
    Command(CTreeToolDlg::ID_LOAD_GLOSS_MAP);
    EXPECT_STREQ(pWood->m_szTexturePaths[SceneMaterial::PATH_GLOSS], "gloss.jpg");

    // A path onto a mesh: loaded, named and playing.
    Select(floorMesh);
    m_pDriver->answers().file(Path("spin.pth"));
    Command(CTreeToolDlg::ID_LOAD_PATH);
    EXPECT_EQ(pFloor->m_nPathKeys, 3);
    EXPECT_EQ(pFloor->m_bPathPlaying, 1);
    EXPECT_EQ(std::string(pFloor->m_szPathFile), Path("spin.pth"));
    // With a light selected no dialog opens.
    Select(lamp);
    m_pDriver->answers().file(Path("spin.pth"));
    Command(CTreeToolDlg::ID_LOAD_PATH);
    EXPECT_EQ(m_pDriver->answers().pending(), 1u);
    m_pDriver->answers().clear();

    // The output image path only from its own item.
    const std::string strImage = g_szImagePath;
    Select({"Scene Nodes", "Rendering Options", g_szBackgroundPath});
    Command(CTreeToolDlg::ID_EDIT_IMAGE_PATH);
    EXPECT_EQ(std::string(g_szImagePath), strImage);
    Select({"Scene Nodes", "Rendering Options", "Image Param.", g_szImagePath});
    m_pDriver->answers().file(Path("out.bmp"));
    Command(CTreeToolDlg::ID_EDIT_IMAGE_PATH);
    EXPECT_EQ(std::string(g_szImagePath), Path("out.bmp"));
    EXPECT_NE(Find({"Scene Nodes", "Rendering Options", "Image Param.", g_szImagePath}), nullptr)
        << "the tree shows the new path";

    // The background: a cube that loads replaces the old one; one that does not keeps it.
    Select(lamp);
    m_pDriver->answers().file(strMedia + "Cubemap_blanc.dds");
    Command(CTreeToolDlg::ID_EDIT_BACKGROUND_PATH);
    IDirect3DCubeTexture9* pBackground = g_pEnvironmentCubeTexture;
    EXPECT_NE(pBackground, nullptr);
    EXPECT_EQ(std::string(g_szBackgroundPath), strMedia + "Cubemap_blanc.dds");
    m_pDriver->answers().file(strMedia + "white.jpg").msgbox(IDOK);
    Command(CTreeToolDlg::ID_EDIT_BACKGROUND_PATH);
    EXPECT_EQ(g_pEnvironmentCubeTexture, pBackground);
    EXPECT_EQ(std::string(g_szBackgroundPath), strMedia + "Cubemap_blanc.dds");
    EXPECT_EQ(m_pDriver->answers().pending(), 0u) << "the failure is shown";

    // Delete: the mesh leaves the scene and the tree.
    Select(box);
    Command(CTreeToolDlg::ID_DELETE_MESH);
    ASSERT_EQ(m_pApp->m_Scene.m_Meshes.GetCount(), 1u);
    EXPECT_EQ(Mesh(0), pFloor);
    m_pDriver->pumpUntilIdle();
    EXPECT_EQ(ChildLabels(Find({"Scene Nodes", "Object List"})), std::vector<std::string>{"Mesh #0 :Floor "});
}

TEST_F(SceneTreeTest, AddLightAddsThePresetLightWithAnySelection)
{
    // No light at all, and a mesh selected: the light is still added.
    auto* pMesh = new SceneMesh;
    pMesh->SetName("Box");
    m_pApp->m_Scene.AddMesh(pMesh);
    g_pRenderView->BuildTree(m_pApp.get());
    Select({"Scene Nodes", "Object List", "Mesh #0 :Box "});
    AnswerDialog("Ligth Edit", IDCANCEL);
    Command(CTreeToolDlg::ID_ADD_LIGHT);
    EXPECT_EQ(m_pApp->m_Scene.m_Lights.GetCount(), 0u);
    AnswerDialog("Ligth Edit", IDOK);
    Command(CTreeToolDlg::ID_ADD_LIGHT);
    ASSERT_EQ(m_pApp->m_Scene.m_Lights.GetCount(), 1u);
    SceneLight* pLight = Light(0);
    EXPECT_STREQ(pLight->m_szName, "Ligth One");
    EXPECT_EQ(pLight->m_Light.Type, D3DLIGHT_POINT);
    EXPECT_EQ(pLight->m_Light.Diffuse.r, 1.0f);
    EXPECT_EQ(pLight->m_vLightPosition.y, 100.0f);
    EXPECT_EQ(pLight->m_Light.Range, 10000.0f);
    EXPECT_EQ(pLight->m_Light.Theta, 0.31415927f);
    EXPECT_EQ(pLight->m_bHalo, 1);
    EXPECT_EQ(pLight->m_nLensCount, 3);
    EXPECT_EQ(pLight->m_fLensFlareDensity, 0.3f);
    EXPECT_EQ(pLight->m_bLightFlag, 1);
    EXPECT_NE(pLight->m_pCubeTexture, nullptr);
    EXPECT_EQ(ChildLabels(Find({"Scene Nodes", "Light List"})), std::vector<std::string>{"light #0 :"});
}

TEST_F(SceneTreeTest, EditValueStoresANumberAndRemembersTheNewestEight)
{
    BuildFixtureScene();
    g_pRenderView->BuildTree(m_pApp.get());
    const std::vector<std::string> radius = {"Scene Nodes", "Rendering Options", "Photon Tracer Param.",
                                             "Search Radius "};
    const float fNeighbour = g_fGlobalSearchRadius;
    // Letters: the message, and the value stays.
    Select(radius);
    const float fBefore = g_fDirectSearchRadius;
    bool bMessage = false;
    m_pDriver->at(10, [&] {
        HWND hDlg = m_pDriver->find("title:Edit the value");
        ASSERT_NE(hDlg, nullptr);
        ::SetWindowTextA(::GetDlgItem(hDlg, CEditFloatDlg::IDC_NEW), "abc");
        m_pDriver->answers().msgbox(IDOK);
        testing::internal::CaptureStderr();
        ::SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
        bMessage = testing::internal::GetCapturedStderr().find("Please enter a number.") != std::string::npos;
        ::SendMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    Command(CTreeToolDlg::ID_EDIT_VALUE);
    EXPECT_TRUE(bMessage);
    EXPECT_EQ(g_fDirectSearchRadius, fBefore);
    EXPECT_TRUE(Window().GetRecentValues().empty());

    for (int i = 1; i <= 9; ++i)
    {
        Select(radius);
        m_pDriver->at(10, [&, i] {
            HWND hDlg = m_pDriver->find("title:Edit the value");
            ASSERT_NE(hDlg, nullptr);
            ::SetWindowTextA(::GetDlgItem(hDlg, CEditFloatDlg::IDC_NEW), std::to_string(i).c_str());
            ::SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
        });
        Command(CTreeToolDlg::ID_EDIT_VALUE);
        EXPECT_EQ(g_fDirectSearchRadius, static_cast<float>(i));
    }
    EXPECT_EQ(Label(Find(radius)), "Search Radius : 9.00");
    EXPECT_EQ(g_fGlobalSearchRadius, fNeighbour);
    // The ninth value dropped the first; the newest comes first.
    const std::deque<float> expected = {9, 8, 7, 6, 5, 4, 3, 2};
    EXPECT_EQ(Window().GetRecentValues(), expected);
    CMenu popup;
    popup.CreatePopupMenu();
    popup.AppendMenu(MF_STRING, CTreeToolDlg::ID_EDIT_VALUE, "Edit Value...");
    popup.AppendMenu(MF_STRING, CTreeToolDlg::ID_DELETE_MESH, "Delete");
    EXPECT_EQ(Window().BuildRecentMenu(&popup), 1);
    CMenu* pRecent = popup.GetSubMenu(1);
    ASSERT_NE(pRecent, nullptr);
    CString strFirst;
    pRecent->GetMenuString(0, strFirst, MF_BYPOSITION);
    EXPECT_EQ(std::string(strFirst), "9.0000");
    EXPECT_EQ(pRecent->GetMenuItemID(7), static_cast<UINT>(CTreeToolDlg::ID_RECENT_VALUE_FIRST + 7));
    popup.DestroyMenu();

    // A recent value goes into the selected float item.
    Select(radius);
    Command(CTreeToolDlg::ID_RECENT_VALUE_FIRST + 3);
    EXPECT_EQ(g_fDirectSearchRadius, 6.0f);
    EXPECT_EQ(Label(Find(radius)), "Search Radius : 6.00");
}

// The geometry commands edit the selected mesh's vertex buffer, and only with a mesh selected.
TEST_F(SceneTreeTest, FlipNormalAndGenerateTextureCoordinateEditTheSelectedMesh)
{
    ASSERT_TRUE(m_pWindow->OpenScene(QUEN_SAMPLE_SCENE));
    int nFloor = -1;
    for (uint32_t i = 0; i < m_pApp->m_Scene.m_Meshes.GetCount(); ++i)
        if (std::string(Mesh(i)->m_szName) == "Floor")
            nFloor = static_cast<int>(i);
    ASSERT_GE(nFloor, 0);
    SceneMesh* pFloor = Mesh(nFloor);
    auto vertices = [pFloor] {
        std::vector<MeshVertex> copy(static_cast<size_t>(pFloor->m_nVertexCount));
        void* pData = nullptr;
        EXPECT_EQ(pFloor->m_pVertexBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY), D3D_OK);
        std::memcpy(copy.data(), pData, copy.size() * sizeof(MeshVertex));
        pFloor->m_pVertexBuffer->Unlock();
        return copy;
    };
    const std::vector<MeshVertex> before = vertices();
    ASSERT_FALSE(before.empty());
    ASSERT_NE(before[0].vNormal.y, 0.0f);
    const std::string strFloor = "Mesh #" + std::to_string(nFloor) + " :Floor ";

    // A light selected: nothing.
    Select({"Scene Nodes", "Light List", "light #0 :"});
    Command(CTreeToolDlg::ID_FLIP_NORMALS);
    Command(CTreeToolDlg::ID_GENERATE_TEXCOORDS);
    EXPECT_EQ(std::memcmp(vertices().data(), before.data(), before.size() * sizeof(MeshVertex)), 0);

    Select({"Scene Nodes", "Object List", strFloor});
    Command(CTreeToolDlg::ID_FLIP_NORMALS);
    Command(CTreeToolDlg::ID_GENERATE_TEXCOORDS);
    const std::vector<MeshVertex> after = vertices();
    ASSERT_EQ(after.size(), 6u);
    for (size_t i = 0; i < after.size(); ++i)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(after[i].vNormal.x, -before[i].vNormal.x);
        EXPECT_EQ(after[i].vNormal.y, -before[i].vNormal.y);
        EXPECT_EQ(after[i].vNormal.z, -before[i].vNormal.z);
        // The floor spans -5..5 in x and z: planar coordinates from 0 to 1.
        EXPECT_FLOAT_EQ(after[i].u, (after[i].vPosition.x + 5.0f) / 10.0f);
        EXPECT_FLOAT_EQ(after[i].v, (after[i].vPosition.z + 5.0f) / 10.0f);
    }
}

// The right button opens menu 7000 at the cursor; with a float item selected it also offers
// the recent values after "Edit Value...".
TEST_F(SceneTreeTest, TheContextMenuOffersTheRecentValuesOnlyForAFloatItem)
{
    BuildFixtureScene();
    g_pRenderView->BuildTree(m_pApp.get());
    Window().AddRecentValue(4.5f);
    auto rightClickAndPick = [this](std::vector<BYTE> keys) {
        m_pDriver->advance(1000);   // not a double click
        m_pDriver->at(10, [this, keys] {
            for (BYTE nKey : keys)
                m_pDriver->key(nKey);
        });
        CPoint pt(5, 5);
        Tree().ClientToScreen(&pt);
        m_pDriver->mouse(pt, 1, true);
        m_pDriver->mouse(pt, 1, false);
        m_pDriver->pumpUntilIdle();
    };
    // A float item: the second entry is the submenu, whose first value is the newest.
    Select({"Scene Nodes", "Rendering Options", "Photon Tracer Param.", "Search Radius "});
    rightClickAndPick({VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN});
    EXPECT_EQ(g_fDirectSearchRadius, 4.5f);
    // A mesh: the second entry is "Delete".
    Select({"Scene Nodes", "Object List", "Mesh #1 :Floor "});
    rightClickAndPick({VK_DOWN, VK_DOWN, VK_RETURN});
    ASSERT_EQ(m_pApp->m_Scene.m_Meshes.GetCount(), 1u);
    EXPECT_STREQ(Mesh(0)->m_szName, "Box");
}

// The skin's background sizes the window at (0, 0) when it loads; a skin without it leaves the
// window as it was, and without settings nothing is loaded.
TEST_F(SceneTreeTest, TheSkinBackgroundSizesTheWindow)
{
    const std::string strSkin = std::string(QUEN_DATA_DIR) + "/skins/default/";
    std::ifstream bmp(strSkin + "Tree Bkgnd.bmp", std::ios::binary);
    uint8_t header[26] = {};
    ASSERT_TRUE(bmp.read(reinterpret_cast<char*>(header), sizeof(header)));
    const int nWidth = header[18] | header[19] << 8;
    const int nHeight = header[22] | header[23] << 8;
    ASSERT_GT(nWidth, 0);

    struct Case
    {
        const char* m_szWhat;
        std::string m_strSkinDir;
        bool m_bSettings;
        int m_nResult;
        CRect m_rcAfter;
    };
    const CRect rcBefore(10, 20, 70, 60);
    const Case cases[] = {
        {"default skin", strSkin, true, 1, CRect(0, 0, nWidth, nHeight)},
        {"skin without the picture", std::string(QUEN_DATA_DIR) + "/Media/", true, 1, rcBefore},
        {"no settings", strSkin, false, 0, rcBefore},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szWhat);
        ViewSettings settings;
        std::snprintf(settings.m_szSkinDir, sizeof(settings.m_szSkinDir), "%s", c.m_strSkinDir.c_str());
        CTreeToolDlg dlg;
        EXPECT_EQ(dlg.SetSettings(c.m_bSettings ? &settings : nullptr), c.m_bSettings ? 1 : 0);
        ASSERT_TRUE(dlg.Create(CTreeToolDlg::IDD, g_pRenderView));
        dlg.MoveWindow(rcBefore);
        EXPECT_EQ(dlg.LoadSkinBitmaps(), c.m_nResult);
        CRect rc;
        dlg.GetWindowRect(&rc);
        g_pRenderView->ScreenToClient(&rc);
        EXPECT_EQ(rc, c.m_rcAfter);
        dlg.DestroyWindow();
    }
}
