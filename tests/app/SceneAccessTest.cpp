// The scene functions of the editing interface on the application's scene: meshes removed with
// every equal entry (and deleted once), materials added and found, textures shared by name and
// load flags, and the ".mpg" companion check.
#include "MainWindowFixture.h"

#include "app/SceneAccess.h"
#include "core/FileIO.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cstring>
#include <vector>

class SceneAccessTest : public MainWindowTest
{
protected:
    PointerArray& Meshes() { return m_pApp->m_Scene.m_Meshes; }
};

TEST_F(SceneAccessTest, RemoveMeshTakesEveryEqualEntryAndDeletesTheMeshOnce)
{
    ASSERT_EQ(g_pRenderApp, m_pApp.get());
    auto* pFirst = new SceneMesh();
    auto* pSecond = new SceneMesh();
    // The same mesh twice side by side, then another: m, m, n.
    Meshes().Add(pFirst);
    Meshes().Add(pFirst);
    Meshes().Add(pSecond);
    pSecond->m_nMeshFlag = 1;

    // A mesh the scene does not hold changes nothing.
    SceneMesh stranger;
    g_bRebuildTree = 0;
    g_bSceneChanged = 0;
    RemoveMesh(&stranger);
    RemoveMesh(nullptr);
    EXPECT_EQ(Meshes().GetCount(), 3u);
    EXPECT_EQ(g_bRebuildTree, 0);
    EXPECT_EQ(g_bSceneChanged, 0);

    // Both entries of the first go in one call (the sanitizer build sees the one delete).
    RemoveMesh(pFirst);
    ASSERT_EQ(Meshes().GetCount(), 1u);
    EXPECT_EQ(Meshes().Get(0), pSecond);
    EXPECT_EQ(g_bRebuildTree, 1);
    EXPECT_EQ(g_bSceneChanged, 1);

    ClearMeshSelection();
    EXPECT_EQ(pSecond->m_nMeshFlag, 0);

    // The main window rebuilds the tree before it translates its next message.
    MSG msg{};
    msg.hwnd = m_pWindow->m_hWnd;
    msg.message = WM_NULL;
    m_pWindow->PreTranslateMessage(&msg);
    EXPECT_EQ(g_bRebuildTree, 0);
}

TEST_F(SceneAccessTest, MaterialsAreAddedAndFoundByName)
{
    auto* pMaterial = new SceneMaterial();
    pMaterial->SetName("Marble");
    AddMaterial(pMaterial);
    EXPECT_EQ(FindMaterial("Marble"), pMaterial);
    EXPECT_EQ(FindMaterial("marble"), nullptr) << "names are compared with their case";
    EXPECT_EQ(FindMaterial("Granite"), nullptr);
}

TEST_F(SceneAccessTest, TexturesAreSharedByNameAndFlags)
{
    const std::string strWhite = std::string(QUEN_DATA_DIR) + "/Media/white.jpg";
    const uint32_t nRecords = m_pApp->m_Scene.m_Textures.GetCount();
    const int nId = LoadSceneTexture(strWhite.c_str(), 0);
    ASSERT_GE(nId, 0);
    EXPECT_EQ(LoadSceneTexture(strWhite.c_str(), 0), nId) << "the same name and flags share the texture";
    EXPECT_EQ(GetTextureIdByName(strWhite.c_str(), 0), nId);
    EXPECT_EQ(m_pApp->m_Scene.m_Textures.GetCount(), nRecords + 1);

    // A missing file still gets a record, with id -1.
    EXPECT_EQ(LoadSceneTexture(Path("missing.dds").c_str(), 0), -1);
    EXPECT_EQ(m_pApp->m_Scene.m_Textures.GetCount(), nRecords + 2);
    EXPECT_EQ(GetTextureIdByName("never loaded"), -1);

    char szPath[64] = "C:\\maps\\brick.tga";
    StripTexturePath(szPath);
    EXPECT_STREQ(szPath, "brick.tga");
}

TEST_F(SceneAccessTest, HasMpgFileLooksForTheCompanionFile)
{
    ASSERT_TRUE(WriteFileAtomic(Path("intro.mpg").c_str(), std::vector<uint8_t>{1, 2, 3}));
    std::string strScene = Path("intro.qnl");
    std::vector<char> name(strScene.begin(), strScene.end());
    name.push_back('\0');
    EXPECT_TRUE(HasMpgFile(name.data()));
    EXPECT_EQ(std::string(name.data()), Path("intro.mpg")) << "the caller's buffer keeps the changed name";

    std::string strOther = Path("other.qnl");
    std::vector<char> other(strOther.begin(), strOther.end());
    other.push_back('\0');
    EXPECT_FALSE(HasMpgFile(other.data()));
    EXPECT_EQ(std::string(other.data()), Path("other.mpg"));

    char szShort[] = "ab";
    EXPECT_FALSE(HasMpgFile(szShort));
    EXPECT_STREQ(szShort, "ab");
    EXPECT_TRUE(SceneFileExists(Path("intro.mpg").c_str()));
    EXPECT_FALSE(SceneFileExists(m_strFolder.c_str())) << "a folder is not a scene file";
}
