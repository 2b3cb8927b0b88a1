#include "../3dapi/ScriptedRenderer.h"
#include "MeshFixtures.h"
#include "MeshTestDevice.h"

#include "core/Log.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace
{
int CountLogLines(const char* szText)
{
    int nCount = 0;
    for (const auto& line : GetLogLines())
        nCount += line.m_strText.find(szText) != std::string::npos ? 1 : 0;
    return nCount;
}
}

TEST(SceneStoreTest, StripDirectoryKeepsTheFileNameWithEitherSeparator)
{
    struct Case
    {
        const char* szPath;
        const char* szExpected;
    };
    const Case cases[] = {
        {"C:\\a\\b.jpg", "b.jpg"},
        {"Media/Textures/wall.png", "wall.png"},
        {"..\\Media/mixed\\stone.tga", "stone.tga"},
        {"dir/", ""},
        {"bare.jpg", "bare.jpg"},
        {"NONE", "NONE"},
        {"\\root.jpg", "\\root.jpg"},
        {"/root.jpg", "/root.jpg"},
        {"a\\b", "b"},
        {"", ""},
    };
    for (const Case& c : cases)
    {
        char szPath[SCENE_NAME_SIZE] = {};
        std::strcpy(szPath, c.szPath);
        SceneStore::StripDirectory(szPath);
        EXPECT_STREQ(szPath, c.szExpected) << c.szPath;
    }
}

TEST(SceneStoreTest, ClearDeletesMeshesTexturesAndLightsAndKeepsMaterials)
{
    MeshTestDevice device;
    ASSERT_NE(device.Get(), nullptr);
    ScriptedRenderer renderer(4);
    const int nBuffers = MeshTestDevice::LiveCount("VertexBuffer");
    const int nCubes = MeshTestDevice::LiveCount("CubeTexture");
    {
        SceneStore store;
        EXPECT_EQ(store.m_bAddLights, 1);
        auto* pMesh = new SceneMesh;
        FillMesh(*pMesh, TetrahedronTriangles());
        ASSERT_EQ(pMesh->CreateVertexBuffers(device.Get()), D3D_OK);
        auto* pMaterial = new SceneMaterial;
        pMaterial->SetName("stone");
        store.m_Materials.Add(pMaterial);
        pMesh->m_pMaterial = pMaterial;
        ASSERT_TRUE(store.AddMesh(pMesh));
        auto* pLight = new SceneLight;
        ASSERT_EQ(device.Get()->CreateCubeTexture(8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pLight->m_pCubeTexture,
                                                  nullptr),
                  D3D_OK);
        ASSERT_TRUE(store.AddLight(pLight));
        int nId = renderer.AddTexture(ScriptedRenderer::NewImage(), 0);
        ASSERT_GE(nId, 0);
        store.AddTexture("stone.jpg", 0, nId);
        // A texture that failed to load keeps id -1; clearing it touches no table slot.
        store.AddTexture("missing.jpg", 0, -1);
        EXPECT_EQ(MeshTestDevice::LiveCount("VertexBuffer"), nBuffers + 2);
        EXPECT_EQ(MeshTestDevice::LiveCount("CubeTexture"), nCubes + 1);
        renderer.Take();

        EXPECT_TRUE(store.Clear(&renderer));
        EXPECT_EQ(store.m_Meshes.GetCount(), 0u);
        EXPECT_EQ(store.m_Lights.GetCount(), 0u);
        EXPECT_EQ(store.m_Textures.GetCount(), 0u);
        EXPECT_EQ(store.m_Materials.GetCount(), 1u);
        EXPECT_EQ(store.FindMaterialByName("stone"), pMaterial);
        EXPECT_EQ(renderer.Take(), std::vector<std::string>{"ReleaseDeviceTexture"});
        EXPECT_EQ(MeshTestDevice::LiveCount("VertexBuffer"), nBuffers);
        EXPECT_EQ(MeshTestDevice::LiveCount("CubeTexture"), nCubes);
    }
    renderer.ReleaseAll();
}

TEST(SceneStoreTest, TablesStopAtTwoThousandMeshesAndThirtyTwoLights)
{
    SetLogEcho(false);
    SceneStore store;
    for (int i = 0; i < 2001; ++i)
        store.AddMesh(new SceneMesh);
    EXPECT_EQ(store.m_Meshes.GetCount(), 2000u);
    for (int i = 0; i < 33; ++i)
        store.AddLight(new SceneLight);
    EXPECT_EQ(store.m_Lights.GetCount(), 32u);
    EXPECT_EQ(CountLogLines("SceneStore::AddMesh() - the scene already has 2000 meshes"), 1);
    EXPECT_EQ(CountLogLines("SceneStore::AddLight() - the scene already has 32 lights"), 1);
    SetLogEcho(true);
}

TEST(SceneStoreTest, TextureLookUpsMatchNameAndLoadFlags)
{
    SceneStore store;
    const int nBumpFlags = 4;
    const int nGlossFlags = 0;
    store.AddTexture("bump.png", nBumpFlags, 3);
    store.AddTexture("wall.jpg", nGlossFlags, 5);
    store.AddTexture("wall.jpg", nGlossFlags, 6);
    store.AddTexture("bump.png", nGlossFlags, 7);
    // The normal-mapped bump texture is not handed out for a gloss map of the same file.
    EXPECT_EQ(store.FindTextureId("bump.png", nBumpFlags), 3);
    EXPECT_EQ(store.FindTextureId("bump.png", nGlossFlags), 7);
    EXPECT_EQ(store.FindTextureId("bump.png", 8), -1);
    EXPECT_EQ(store.FindTextureId("wall.jpg", nGlossFlags), 5) << "the earlier of two records";
    EXPECT_EQ(store.FindTextureId("Wall.jpg", nGlossFlags), -1) << "names compare case-sensitively";
    EXPECT_EQ(store.FindTextureId("none.jpg", nGlossFlags), -1);
    EXPECT_EQ(store.FindTextureValue("wall.jpg"), 0);
    EXPECT_EQ(store.FindTextureValue("none.jpg"), 0);

    auto* pMaterial = new SceneMaterial;
    pMaterial->SetName("Brick");
    store.m_Materials.Add(pMaterial);
    EXPECT_EQ(store.FindMaterialByName("Brick"), pMaterial);
    EXPECT_EQ(store.FindMaterialByName("brick"), nullptr);
    EXPECT_EQ(store.FindMaterialByName("Bric"), nullptr);
}

TEST(SceneStoreTest, FileExistsOnlyForRegularFiles)
{
    char szDir[] = "/tmp/quen-store-XXXXXX";
    ASSERT_NE(mkdtemp(szDir), nullptr);
    std::string strFile = std::string(szDir) + "/scene.qnl";
    FILE* pFile = std::fopen(strFile.c_str(), "w");
    ASSERT_NE(pFile, nullptr);
    std::fclose(pFile);
    EXPECT_TRUE(SceneStore::FileExists(strFile.c_str()));
    EXPECT_FALSE(SceneStore::FileExists(szDir));
    EXPECT_FALSE(SceneStore::FileExists((std::string(szDir) + "/missing.qnl").c_str()));
    EXPECT_FALSE(SceneStore::FileExists(""));
    std::remove(strFile.c_str());
    rmdir(szDir);
}
