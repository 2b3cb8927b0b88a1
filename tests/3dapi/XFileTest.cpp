// ".x" frames and meshes: the two-frame model read into the frame tree in both file forms and
// drawn (pixels read back against the lighting and blending worked out here), the tree's
// order and searches, one mesh per frame, and the short-matrix refusal.
#include "RendererDeviceFixture.h"
#include "../dxfile/XFileWriter.h"

#include "3dapi/XFileFrame.h"
#include "core/FileIO.h"
#include "core/Log.h"

#include <win32/resources.h>

#include <cmath>

namespace
{
class XFileTest : public RendererDeviceTest
{
protected:
    std::string Write(const char* szName, const std::vector<uint8_t>& bytes)
    {
        std::string path = testing::TempDir() + "xfile_" + szName;
        EXPECT_TRUE(WriteFileAtomic(path.c_str(), bytes));
        return path;
    }
    std::string WriteText(const char* szName, const std::string& body)
    {
        XFileWriter w(false);
        w.Raw(body);
        return Write(szName, w.Bytes());
    }
};

class XFileFormTest : public XFileTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(XFileFormTest, TwoFrameModelLoadsIntoTheTreeAndDraws)
{
    XFileWriter w(GetParam());
    WriteTwoFrameModel(w);
    std::string path = Write(GetParam() ? "model.bin.x" : "model.txt.x", w.Bytes());

    XFile file;
    ASSERT_EQ(file.Load(m_pDevice, path.c_str()), S_OK);
    EXPECT_STREQ(file.m_strName, "CD3DFile_Root");
    XFileFrame* pBody = file.m_pChild;
    ASSERT_NE(pBody, nullptr);
    EXPECT_STREQ(pBody->m_strName, "Body");
    EXPECT_EQ(pBody->m_pNext, nullptr);
    EXPECT_FLOAT_EQ(pBody->m_mat._41, 0.5f);
    ASSERT_NE(pBody->m_pMesh, nullptr);
    EXPECT_STREQ(pBody->m_pMesh->m_strName, "BodyMesh");
    EXPECT_EQ(pBody->m_pMesh->m_dwNumMaterials, 1u);
    EXPECT_STREQ(pBody->m_pMesh->m_strTextureNames[0], "body.png");
    EXPECT_EQ(pBody->m_pMesh->m_pTextures, nullptr);
    EXPECT_FLOAT_EQ(pBody->m_pMesh->m_pMaterials[0].Diffuse.r, 1.0f);
    XFileFrame* pWing = pBody->m_pChild;
    ASSERT_NE(pWing, nullptr);
    EXPECT_STREQ(pWing->m_strName, "Wing");
    EXPECT_FLOAT_EQ(pWing->m_mat._42, 0.25f);
    ASSERT_NE(pWing->m_pMesh, nullptr);
    EXPECT_STREQ(pWing->m_pMesh->m_strTextureNames[0], "wing.png");
    EXPECT_EQ(file.FindFrameByName("wing"), pWing);
    EXPECT_EQ(file.FindFrameByName("cd3dfile_root"), &file);
    EXPECT_EQ(file.FindMeshByName("BODYMESH"), pBody->m_pMesh);
    EXPECT_EQ(file.FindMeshByName("none"), nullptr);

    // Identity view and projection: the quads' world x and y are clip coordinates. A white
    // directional light shining down +z onto their -z normals gives each its diffuse colour.
    file.RestoreDeviceResources(m_pDevice);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetTransform(D3DTS_VIEW, &identity);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &identity);
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1, 1, 1, 1};
    light.Direction = {0, 0, 1};
    m_pDevice->SetLight(0, &light);
    m_pDevice->LightEnable(0, TRUE);
    // The subsets are untextured: their alpha is the lit material's.
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    m_pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    m_pDevice->BeginScene();
    EXPECT_EQ(file.Render(m_pDevice), S_OK);
    m_pDevice->EndScene();

    IDirect3DSurface9* pBack = nullptr;
    ASSERT_EQ(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pBack, data));
    pBack->Release();
    // Pixel (column, row) of clip point (x, y) on 16 x 16: column 8 (x + 1), row 8 (1 - y).
    struct Probe
    {
        float x, y;
        float r, g, b;
    };
    const float fWingGreen = 0.5f * 1.0f + 0.5f * 0.0f;   // alpha 0.5 over black
    const Probe kProbes[] = {
        {-0.3f, -0.5f, 1, 0, 0},          // Body: x -1..0 moved to -0.5..0.5, y -1..0
        {0.3f, -0.8f, 1, 0, 0},
        {0.2f, 0.5f, 0, fWingGreen, 0},   // Wing: x -0.5..0 moved to 0..0.5, y 0..0.5 to 0.25..0.75
        {-0.3f, 0.5f, 0, 0, 0},           // beside the wing
        {0.8f, -0.5f, 0, 0, 0},           // beside the body
    };
    for (const Probe& probe : kProbes)
    {
        UINT nColumn = (UINT)std::floor((probe.x + 1) * 8), nRow = (UINT)std::floor((1 - probe.y) * 8);
        const float* p = data.Pixel(nColumn, nRow);
        EXPECT_NEAR(p[0], probe.r, 1.5f / 255) << probe.x << ", " << probe.y;
        EXPECT_NEAR(p[1], probe.g, 1.5f / 255) << probe.x << ", " << probe.y;
        EXPECT_NEAR(p[2], probe.b, 1.5f / 255) << probe.x << ", " << probe.y;
    }
    file.ReleaseDeviceResources();
    file.DestroyAll();
}

INSTANTIATE_TEST_SUITE_P(Forms, XFileFormTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Binary" : "Text"; });

TEST_F(XFileTest, SiblingsTakeTheReverseOfTheFileOrderAndTopLevelObjectsGoToTheRoot)
{
    std::string path = WriteText("order.x",
                                 "FrameTransformMatrix { 2,0,0,0, 0,2,0,0, 0,0,2,0, 0,0,0,1;; }\n"
                                 "Mesh Top { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;; }\n"
                                 "Frame Parent { Frame first { } Frame second { } Frame third { } }\n");
    XFile file;
    ASSERT_EQ(file.Load(m_pDevice, path.c_str()), S_OK);
    EXPECT_FLOAT_EQ(file.m_mat._11, 2.0f);
    ASSERT_NE(file.m_pMesh, nullptr);
    EXPECT_STREQ(file.m_pMesh->m_strName, "Top");
    ASSERT_NE(file.m_pChild, nullptr);
    const char* kOrder[] = {"third", "second", "first"};
    XFileFrame* pFrame = file.m_pChild->m_pChild;
    for (const char* szName : kOrder)
    {
        ASSERT_NE(pFrame, nullptr);
        EXPECT_STREQ(pFrame->m_strName, szName);
        pFrame = pFrame->m_pNext;
    }
    EXPECT_EQ(pFrame, nullptr);
    file.DestroyAll();
}

TEST_F(XFileTest, RefusalsKeepWhatWasReadBefore)
{
    SetLogEcho(false);
    struct Case
    {
        const char* szName;
        const char* szBody;
        const char* szFirstFrame;   // the root's first child after the failed load
    };
    const Case kCases[] = {
        // A second mesh in one frame stops the load; the first mesh stays.
        {"two_meshes.x",
         "Frame A { Mesh M1 { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;; } Mesh M2 { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;; } }",
         "A"},
        // A matrix declared by the file with 8 floats instead of 16.
        {"short_matrix.x",
         "template FrameTransformMatrix { <F6F23F41-7686-11cf-8F52-0040333594A3> array FLOAT m[8]; }\n"
         "Frame A { }\nFrame B { FrameTransformMatrix { 1,2,3,4,5,6,7,8;; } }",
         "B"},
        // A reference among a frame's children is not a data object.
        {"reference.x", "Frame A { }\nFrame B { { A } }", "B"},
        // A fault in the file after the first frame.
        {"cut.x", "Frame A { }\nFrame B { Frame C { ", "A"},
    };
    for (const Case& c : kCases)
    {
        XFile file;
        EXPECT_EQ(file.Load(m_pDevice, WriteText(c.szName, c.szBody).c_str()), E_FAIL) << c.szName;
        ASSERT_NE(file.m_pChild, nullptr) << c.szName;
        EXPECT_STREQ(file.m_pChild->m_strName, c.szFirstFrame) << c.szName;
        file.DestroyAll();
    }
    SetLogEcho(true);
}

TEST_F(XFileTest, MaterialAlphaChoosesThePasses)
{
    // Three single-triangle subsets with diffuse alpha 1, 0.5 and 2.
    std::string path = WriteText("alpha.x",
                                 "Mesh M { 9; 0;0;0;, 0;1;0;, 1;0;0;, 0;0;0;, 0;1;0;, 1;0;0;, 0;0;0;, 0;1;0;, 1;0;0;;"
                                 " 3; 3; 0,1,2;, 3; 3,4,5;, 3; 6,7,8;;"
                                 " MeshMaterialList { 3; 3; 0, 1, 2;;"
                                 " Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; }"
                                 " Material { 1;1;1;0.5;; 0; 0;0;0;; 0;0;0;; }"
                                 " Material { 1;1;1;2;; 0; 0;0;0;; 0;0;0;; } } }");
    XFile file;
    ASSERT_EQ(file.Load(m_pDevice, path.c_str()), S_OK);
    XFileMesh* pMesh = file.m_pMesh;
    ASSERT_NE(pMesh, nullptr);
    ASSERT_EQ(pMesh->RestoreDeviceResources(m_pDevice), S_OK);
    struct Pass
    {
        bool bOpaque, bAlpha;
        UINT nDraws;
    };
    const Pass kPasses[] = {{true, false, 2}, {false, true, 2}, {true, true, 4}};
    for (const Pass& pass : kPasses)
    {
        d3d9test::ResetStats(m_pDevice);
        EXPECT_EQ(pMesh->Render(m_pDevice, pass.bOpaque, pass.bAlpha), S_OK);
        EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, pass.nDraws) << pass.bOpaque << pass.bAlpha;
    }
    pMesh->ReleaseDeviceResources();
    EXPECT_EQ(pMesh->Render(m_pDevice), E_FAIL);
    file.DestroyAll();
}

TEST_F(XFileTest, CreateFromFileJoinsTheMeshesWithATextureTableOfNulls)
{
    XFileWriter w(false);
    WriteTwoFrameModel(w);
    std::string path = Write("whole.x", w.Bytes());
    XFileMesh mesh;
    ASSERT_EQ(mesh.CreateFromFile(m_pDevice, path.c_str()), S_OK);
    ASSERT_EQ(mesh.m_dwNumMaterials, 2u);
    ASSERT_NE(mesh.m_pTextures, nullptr);
    EXPECT_EQ(mesh.m_pTextures[1], nullptr);
    EXPECT_STREQ(mesh.m_strTextureNames[0], "");
    EXPECT_EQ(mesh.m_pSysMemMesh->GetNumFaces(), 4u);
}

TEST_F(XFileTest, TextureNamesStayWithinTheirTable)
{
    std::string materials;
    for (int i = 0; i < 25; ++i)
        materials += " Material { 1;1;1;1;; 0; 0;0;0;; 0;0;0;; TextureFilename { \"tex" + std::to_string(i) +
                     std::string(i == 0 ? 300 : 0, 'x') + ".png\"; } }";
    std::string faces, indexes, positions;
    for (int i = 0; i < 25; ++i)
        indexes += std::to_string(i) + (i < 24 ? "," : ";;");
    std::string body = "Mesh M { 3; 0;0;0;, 0;1;0;, 1;0;0;;  25;";
    for (int i = 0; i < 25; ++i)
        body += std::string(" 3; 0,1,2") + (i < 24 ? ";," : ";;");
    body += " MeshMaterialList { 25; 25; " + indexes + materials + " } }";
    XFile file;
    ASSERT_EQ(file.Load(m_pDevice, WriteText("names.x", body).c_str()), S_OK);
    XFileMesh* pMesh = file.m_pMesh;
    ASSERT_NE(pMesh, nullptr);
    EXPECT_EQ(pMesh->m_dwNumMaterials, 25u);
    EXPECT_EQ(std::strlen(pMesh->m_strTextureNames[0]), 255u);
    EXPECT_STREQ(pMesh->m_strTextureNames[19], "tex19.png");
    file.DestroyAll();
}

TEST_F(XFileTest, ResourcesLoadLikeFilesAndTheRootFreesItsMeshes)
{
    XFileWriter w(true);
    WriteTwoFrameModel(w);
    const ResourceEntry entry{"XFILE", 7, w.Bytes().data(), w.Bytes().size()};
    const size_t nTables = GetResourceTableCount();
    RegisterResourceTable(&entry, 1);
    {
        // Dropped without DestroyAll: the sanitizer build sees any mesh left behind.
        XFile file;
        EXPECT_EQ(file.LoadFromResource(m_pDevice, "7", "XFILE"), S_OK);
        ASSERT_NE(file.FindMeshByName("WingMesh"), nullptr);
        int nMeshes = 0;
        file.ForEachMesh([](XFileMesh*, void* pCount) { return ++*static_cast<int*>(pCount) > 0; }, &nMeshes);
        EXPECT_EQ(nMeshes, 2);
    }
    SetLogEcho(false);
    XFile missing;
    EXPECT_NE(missing.LoadFromResource(m_pDevice, "8", "XFILE"), S_OK);
    SetLogEcho(true);
    TruncateResourceTables(nTables);
}

TEST_F(XFileTest, SetVertexFormatClonesBothMeshesWithComputedNormals)
{
    std::string path = WriteText("plain.x", "Mesh M { 3; 0;0;0;, 0;1;0;, 1;0;0;; 1; 3; 0,1,2;; }");
    XFileMesh mesh;
    ASSERT_EQ(mesh.CreateFromFile(m_pDevice, path.c_str()), S_OK);
    ASSERT_EQ(mesh.RestoreDeviceResources(m_pDevice), S_OK);
    EXPECT_EQ(mesh.m_pSysMemMesh->GetFVF(), (DWORD)D3DFVF_XYZ);
    ASSERT_EQ(mesh.SetVertexFormat(m_pDevice, D3DFVF_XYZ | D3DFVF_NORMAL), S_OK);
    for (ID3DXMesh* pMesh : {mesh.m_pSysMemMesh, mesh.m_pLocalMesh})
    {
        ASSERT_NE(pMesh, nullptr);
        EXPECT_EQ(pMesh->GetFVF(), (DWORD)(D3DFVF_XYZ | D3DFVF_NORMAL));
    }
    // The triangle (0,0), (0,1), (1,0) faces -z: each vertex normal is (0, 0, -1).
    const float* pVertices = nullptr;
    ASSERT_EQ(mesh.m_pSysMemMesh->LockVertexBuffer(D3DLOCK_READONLY, (void**)&pVertices), D3D_OK);
    EXPECT_NEAR(pVertices[5], -1.0f, 1e-5f);
    mesh.m_pSysMemMesh->UnlockVertexBuffer();
}
}
