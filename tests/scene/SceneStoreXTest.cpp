// Import of ".x" files into the scene store: the 3DS fixture scene written as an ".x" file gives
// the same triangles and the same picture as the 3DS import, every field checked; nested frames
// are walked depth first and placed through their parents; the vertex layouts a mesh may have;
// hostile files leave the scene as it was or load only whole meshes. Also the logged ".mvn"
// merge, the other import entry point.
#include "../3dapi/ScriptedRenderer.h"
#include "../scenefile/MvnFixtureBytes.h"
#include "L3DSFixtureBytes.h"
#include "MeshTestDevice.h"
#include "SceneImportFixture.h"
#include "XSceneFixture.h"

#include "3dapi/XFileFrame.h"
#include "core/ByteStream.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "scene/D3DXBridge.h"
#include "scene/MediaDirectory.h"
#include "scene/ParticleSystem.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <win32/testing.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace xscene_fixture;

namespace
{
// A 2 x 2 uncompressed 24-bit TGA.
std::vector<uint8_t> TinyTga()
{
    ByteWriter w;
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24, 0};
    w.WriteBytes(header, sizeof(header));
    for (int i = 0; i < 12; ++i)
        w.WriteU8(uint8_t(40 * i));
    return w.GetBuffer();
}

bool EndsWith(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class SceneStoreXTest : public SceneImportTest
{
protected:
    void SetUp() override
    {
        SceneImportTest::SetUp();
        ASSERT_NE(m_Device.Get(), nullptr);
        ASSERT_TRUE(WriteFileAtomic(Path("brick.tga").c_str(), TinyTga()));
    }
    void TearDown() override
    {
        m_Store.Clear(&m_Renderer);
        // The textures the store loaded are the renderer's to free.
        m_Renderer.ReleaseAll();
        SceneImportTest::TearDown();
    }

    MeshTestDevice m_Device;
    ScriptedRenderer m_Renderer{4};
};
}

TEST_F(SceneStoreXTest, TheFixtureSceneImportsEveryFieldAndTheTrianglesOfThe3dsImport)
{
    const std::string strX = Write("scene.x", BuildXScene(false));
    ASSERT_TRUE(m_Store.OpenXFile(strX.c_str(), &m_Renderer, m_Device.Get()));
    EXPECT_EQ(g_nParticleSystems, 0);
    // Frames read later stand first among their siblings in the tree, which is walked in order.
    ASSERT_EQ(m_Store.m_Meshes.GetCount(), 2u);
    SceneMesh& tri = Mesh(0);
    SceneMesh& box = Mesh(1);
    EXPECT_STREQ(tri.m_szName, "TriMesh");
    EXPECT_STREQ(box.m_szName, "BoxMesh");

    ASSERT_EQ(box.m_nTriangleCount, 2);
    ASSERT_EQ(box.m_nVertexCount, 6);
    for (int i = 0; i < 6; ++i)
    {
        const MeshVertex& v = box.m_pVertices[i];
        EXPECT_FLOAT_EQ(v.vPosition.y, 0.0f);
        ExpectVector(v.vNormal, 0, 1, 0);
        // The file's texture coordinates run with x and z.
        EXPECT_FLOAT_EQ(v.u, v.vPosition.x);
        EXPECT_FLOAT_EQ(v.v, v.vPosition.z);
    }
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(box.m_matBase.e[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
    const float bounds[6] = {0, 1, 0, 0, 0, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(box.m_fBounds[i], bounds[i]) << i;
    ExpectVector(box.m_vOffset, 0.5f, 0.0f, 0.5f);
    ExpectVector(box.m_vStoredPosition, 0.5f, 0.0f, 0.5f);
    EXPECT_NEAR(box.m_fSphereRadius, std::sqrt(3.0f) / 2.0f, 1e-5f);

    ASSERT_NE(box.m_pMaterial, nullptr);
    const SceneMaterial& material = *box.m_pMaterial;
    EXPECT_STREQ(material.m_szName, "BoxMesh");
    EXPECT_FLOAT_EQ(material.m_Material.Diffuse.r, BRICK_RED);
    EXPECT_FLOAT_EQ(material.m_Material.Diffuse.g, BRICK_GREEN);
    EXPECT_FLOAT_EQ(material.m_Material.Diffuse.a, 1.0f);
    EXPECT_FLOAT_EQ(material.m_Material.Power, 100.0f);
    EXPECT_FLOAT_EQ(material.m_Material.Ambient.r, 0.2f);
    EXPECT_FLOAT_EQ(material.m_fBumpPower, 1.0f);
    EXPECT_FLOAT_EQ(material.m_fGlossPower, 0.0f);
    EXPECT_FLOAT_EQ(material.m_vOpacity[0], 1.0f);
    EXPECT_FLOAT_EQ(material.m_vRefraction[0], 1.2f);
    EXPECT_FLOAT_EQ(material.GetOptionFloat(1), 1.0f);
    EXPECT_FLOAT_EQ(material.GetOptionFloat(2), 0.5f);
    EXPECT_FLOAT_EQ(material.GetOptionFloat(6), 0.0f);
    EXPECT_FLOAT_EQ(material.m_fRepeatU[SceneMaterial::REPEAT_GLOSS], 1.0f);
    EXPECT_EQ(material.m_bAlphaTransparency, 0);
    EXPECT_EQ(material.m_nMaterialIds[0], -1);
    EXPECT_EQ(material.m_bMaterialFlags[1], 1);
    EXPECT_EQ(material.m_bMaterialFlags[2], 0);
    // The texture is found beside the file and loaded as a colour texture.
    const std::string strDiffuse = material.m_szTexturePaths[SceneMaterial::PATH_DIFFUSE];
    EXPECT_TRUE(EndsWith(strDiffuse, "brick.tga")) << strDiffuse;
    EXPECT_GE(material.m_nTextureIds[0], 0);
    EXPECT_EQ(material.m_nTextureIds[0], m_Store.FindTextureId(strDiffuse.c_str(), 2));
    for (int slot = 1; slot < 6; ++slot)
        EXPECT_EQ(material.m_nTextureIds[slot], -1) << slot;
    EXPECT_STREQ(material.m_szTexturePaths[SceneMaterial::PATH_BUMP], "");

    // The mesh without materials gets a white one of its own, without texture.
    ASSERT_NE(tri.m_pMaterial, nullptr);
    EXPECT_NE(tri.m_pMaterial, box.m_pMaterial);
    EXPECT_STREQ(tri.m_pMaterial->m_szName, "TriMesh");
    EXPECT_FLOAT_EQ(tri.m_pMaterial->m_Material.Diffuse.b, 1.0f);
    EXPECT_EQ(tri.m_pMaterial->m_nTextureIds[0], -1);

    ASSERT_EQ(m_Store.m_Lights.GetCount(), 1u);
    const SceneLight& light = Light(0);
    EXPECT_STREQ(light.m_szName, "Ligth One");
    EXPECT_EQ(light.m_Light.Type, D3DLIGHT_POINT);
    EXPECT_EQ(light.m_nLightKind, 2);
    ExpectVector(light.m_vLightPosition, 0, 100, 0);
    EXPECT_FLOAT_EQ(light.m_Light.Direction.y, 0.4f);
    EXPECT_FLOAT_EQ(light.m_Light.Diffuse.g, 1.0f);
    EXPECT_FLOAT_EQ(light.m_Light.Range, 10000.0f);
    EXPECT_FLOAT_EQ(light.m_Light.Theta, 0.314159f);
    EXPECT_FLOAT_EQ(light.m_fLensFlareSize, 120.0f);
    EXPECT_EQ(light.m_nTextureId, -1);
    EXPECT_NE(light.m_pCubeTexture, nullptr);

    // The 3DS file of the same scene gives the same triangles, corner for corner.
    SceneStore store3ds;
    ASSERT_TRUE(store3ds.Open3dsFile(Write("scene.3ds", l3ds_fixture::BuildScene()).c_str(), nullptr, nullptr));
    ASSERT_EQ(store3ds.m_Meshes.GetCount(), 2u);
    EXPECT_EQ(Triangles(*static_cast<SceneMesh*>(store3ds.m_Meshes.Get(0))), Triangles(box));
    EXPECT_EQ(Triangles(*static_cast<SceneMesh*>(store3ds.m_Meshes.Get(1))), Triangles(tri));
}

TEST_F(SceneStoreXTest, TextAndBinaryFilesMergeAndOpenReplaces)
{
    const std::string strText = Write("scene.x", BuildXScene(false));
    const std::string strBinary = Write("binary.x", BuildXScene(true));
    ASSERT_TRUE(m_Store.OpenXFile(strText.c_str(), &m_Renderer, m_Device.Get()));
    const auto textTriangles = Triangles(Mesh(1));
    ASSERT_TRUE(m_Store.MergeXFile(strBinary.c_str(), &m_Renderer, m_Device.Get()));
    ASSERT_EQ(m_Store.m_Meshes.GetCount(), 4u);
    EXPECT_EQ(Triangles(Mesh(3)), textTriangles);
    ASSERT_EQ(m_Store.m_Lights.GetCount(), 2u);
    // The merge's light keeps the default kind.
    EXPECT_EQ(Light(1).m_nLightKind, 0);
    // One texture record serves both meshes named after the same file.
    EXPECT_EQ(Mesh(3).m_pMaterial->m_nTextureIds[0], Mesh(1).m_pMaterial->m_nTextureIds[0]);

    ASSERT_TRUE(m_Store.ImportXFile(strText.c_str(), &m_Renderer, m_Device.Get()));
    EXPECT_EQ(m_Store.m_Meshes.GetCount(), 6u);
    EXPECT_EQ(Light(2).m_nLightKind, 2);
    ASSERT_TRUE(m_Store.OpenXFile(strBinary.c_str(), &m_Renderer, m_Device.Get()));
    EXPECT_EQ(m_Store.m_Meshes.GetCount(), 2u);
    EXPECT_EQ(m_Store.m_Lights.GetCount(), 1u);
}

TEST_F(SceneStoreXTest, FramesAreWalkedDepthFirstAndPlacedThroughTheirParents)
{
    ASSERT_TRUE(m_Store.OpenXFile(Write("tree.x", BuildFrameTree()).c_str(), &m_Renderer, m_Device.Get()));
    // Tree order: root -> C, A (read later, first); A -> B2, B1.
    const char* order[4] = {"MC", "MA", "MB2", "MB1"};
    const Vector3 placed[4] = {{0, 0, 0}, {10, 0, 0}, {10, 0, 7}, {10, 5, 0}};
    ASSERT_EQ(m_Store.m_Meshes.GetCount(), 4u);
    for (uint32_t i = 0; i < 4; ++i)
    {
        const SceneMesh& mesh = Mesh(i);
        EXPECT_STREQ(mesh.m_szName, order[i]);
        EXPECT_FLOAT_EQ(mesh.m_matBase.e[12], placed[i].x) << order[i];
        EXPECT_FLOAT_EQ(mesh.m_matBase.e[13], placed[i].y) << order[i];
        EXPECT_FLOAT_EQ(mesh.m_matBase.e[14], placed[i].z) << order[i];
        // The box is that of the placed quad; the records keep the file's positions.
        EXPECT_FLOAT_EQ(mesh.m_fBounds[0], placed[i].x) << order[i];
        EXPECT_FLOAT_EQ(mesh.m_fBounds[3], placed[i].y + 1.0f) << order[i];
        ExpectVector(mesh.m_vOffset, placed[i].x + 0.5f, placed[i].y + 0.5f, placed[i].z);
        for (int k = 0; k < mesh.m_nVertexCount; ++k)
            EXPECT_LE(mesh.m_pVertices[k].vPosition.x, 1.0f);
    }
}

TEST_F(SceneStoreXTest, LoggedMvnMergeAddsToTheSceneWithTheMediaDirectorySet)
{
    ASSERT_TRUE(m_Store.OpenXFile(Write("scene.x", BuildXScene(false)).c_str(), &m_Renderer, m_Device.Get()));
    const SceneSnapshot before = Snapshot();
    win32::Driver driver;
    driver.answers().msgbox(IDOK);
    EXPECT_FALSE(m_Store.MergeMvnFileLogged(Path("missing.mvn").c_str(), &m_Renderer, m_Device.Get()));
    EXPECT_EQ(driver.answers().pending(), 0u) << "the user was told";
    EXPECT_TRUE(Snapshot() == before);

    // The entry point sets the media directory itself: the merged light finds its cube map.
    g_szMediaDir[0] = '\0';
    SetLogEcho(false);
    ASSERT_TRUE(
        m_Store.MergeMvnFileLogged(Write("merge.mvn", mvnfixture::FixtureFile()).c_str(), &m_Renderer, m_Device.Get()));
    SetLogEcho(true);
    ASSERT_EQ(m_Store.m_Meshes.GetCount(), 4u);
    EXPECT_EQ(m_Store.m_Meshes.Get(0), before.meshes[0]);
    EXPECT_EQ(m_Store.m_Meshes.Get(1), before.meshes[1]);
    EXPECT_STREQ(Mesh(2).m_szName, "floor");
    EXPECT_STREQ(Mesh(3).m_szName, "wall");
    ASSERT_EQ(m_Store.m_Lights.GetCount(), 2u);
    EXPECT_NE(Light(1).m_pCubeTexture, nullptr);
}

namespace
{
struct LayoutCase
{
    const char* szName;
    DWORD nFvf;
    DWORD nOptions;
    // A third vertex index past the vertex count, a NaN position or a NaN in the frame's
    // matrix: the mesh is left out.
    bool bBadIndex;
    bool bNanPosition;
    bool bNanMatrix = false;
};

// One triangle (0, 1, 2) of vertices i = 0, 1, 2 at (i, 2i, 3i) with normal (0, 0, -(i + 1))
// and texture sets s at (10s + i, 20s + i), in the layout the FVF gives.
ID3DXMesh* MakeTriangleMesh(IDirect3DDevice9* pDevice, const LayoutCase& c)
{
    ID3DXMesh* pMesh = nullptr;
    if (FAILED(D3DXCreateMeshFVF(1, 3, D3DXMESH_SYSTEMMEM | c.nOptions, c.nFvf, pDevice, &pMesh)))
        return nullptr;
    const DWORD nStride = pMesh->GetNumBytesPerVertex();
    uint8_t* pVertices = nullptr;
    pMesh->LockVertexBuffer(0, reinterpret_cast<void**>(&pVertices));
    for (int i = 0; i < 3; ++i)
    {
        std::vector<float> v = {float(i), float(2 * i), float(3 * i)};
        if ((c.nFvf & D3DFVF_POSITION_MASK) == D3DFVF_XYZW)
            v.push_back(99.0f);
        if (c.nFvf & D3DFVF_NORMAL)
            v.insert(v.end(), {0.0f, 0.0f, -float(i + 1)});
        const DWORD nSets = (c.nFvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
        for (DWORD s = 0; s < nSets; ++s)
            v.insert(v.end(), {float(10 * s + i), float(20 * s + i)});
        if (c.bNanPosition && i == 1)
            v[1] = std::nanf("");
        EXPECT_LE(v.size() * 4, nStride);
        std::memcpy(pVertices + i * nStride, v.data(), v.size() * 4);
    }
    pMesh->UnlockVertexBuffer();
    void* pIndices = nullptr;
    pMesh->LockIndexBuffer(0, &pIndices);
    const uint32_t indices[3] = {0, 1, c.bBadIndex ? 7u : 2u};
    for (int k = 0; k < 3; ++k)
    {
        if (c.nOptions & D3DXMESH_32BIT)
            static_cast<uint32_t*>(pIndices)[k] = indices[k];
        else
            static_cast<uint16_t*>(pIndices)[k] = static_cast<uint16_t>(indices[k]);
    }
    pMesh->UnlockIndexBuffer();
    return pMesh;
}
}

TEST_F(SceneStoreXTest, EveryVertexLayoutGivesTheCornersInReverseOrder)
{
    const LayoutCase cases[] = {
        {"normal and one texture set", D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, 0, false, false},
        {"32-bit indices, w position, two sets", D3DFVF_XYZW | D3DFVF_NORMAL | D3DFVF_TEX2, D3DXMESH_32BIT, false,
         false},
        {"position only", D3DFVF_XYZ, 0, false, false},
        {"index past the vertices", D3DFVF_XYZ | D3DFVF_NORMAL, D3DXMESH_32BIT, true, false},
        {"NaN position", D3DFVF_XYZ | D3DFVF_TEX1, 0, false, true},
        {"NaN in the frame matrix", D3DFVF_XYZ, 0, false, false, true},
    };
    for (const LayoutCase& c : cases)
    {
        SCOPED_TRACE(c.szName);
        SceneStore store;
        XFile root;
        root.m_pMesh = new XFileMesh("Layout");
        root.m_pMesh->m_pSysMemMesh = MakeTriangleMesh(m_Device.Get(), c);
        ASSERT_NE(root.m_pMesh->m_pSysMemMesh, nullptr);
        if (c.bNanMatrix)
            root.m_mat._42 = std::nanf("");
        store.ImportXFrameTree(&root, "", &m_Renderer, m_Device.Get());
        if (c.bBadIndex || c.bNanPosition || c.bNanMatrix)
        {
            EXPECT_EQ(store.m_Meshes.GetCount(), 0u);
            EXPECT_EQ(store.m_Materials.GetCount(), 0u);
            continue;
        }
        ASSERT_EQ(store.m_Meshes.GetCount(), 1u);
        const SceneMesh& mesh = *static_cast<SceneMesh*>(store.m_Meshes.Get(0));
        ASSERT_EQ(mesh.m_nVertexCount, 3);
        const DWORD nSets = (c.nFvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
        for (int k = 0; k < 3; ++k)
        {
            const int i = 2 - k;
            const MeshVertex& v = mesh.m_pVertices[k];
            ExpectVector(v.vPosition, float(i), float(2 * i), float(3 * i));
            const float fNormal = (c.nFvf & D3DFVF_NORMAL) ? -float(i + 1) : 0.0f;
            ExpectVector(v.vNormal, 0, 0, fNormal);
            // The last texture set wins; without one the coordinates are 0.
            const float s = nSets ? float(nSets - 1) : 0.0f;
            EXPECT_FLOAT_EQ(v.u, nSets ? 10 * s + i : 0.0f);
            EXPECT_FLOAT_EQ(v.v, nSets ? 20 * s + i : 0.0f);
        }
        // A mesh without materials gets a white one.
        ASSERT_NE(mesh.m_pMaterial, nullptr);
        EXPECT_FLOAT_EQ(mesh.m_pMaterial->m_Material.Diffuse.r, 1.0f);
    }
}

TEST_F(SceneStoreXTest, HostileFilesLeaveTheSceneOrLoadWholeMeshes)
{
    ASSERT_TRUE(m_Store.OpenXFile(Write("scene.x", BuildXScene(false)).c_str(), &m_Renderer, m_Device.Get()));

    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    auto text = [](const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); };
    cases.push_back({"empty", {}});
    cases.push_back({"wrong magic", text("xaf 0302txt 0032\nFrame A {}\n")});
    cases.push_back({"garbage after the header", text("xof 0302txt 0032\n}}}{{{;;;\n")});
    {
        XFileWriter w(false);
        w.Begin("Frame", "F");
        w.Begin("FrameTransformMatrix").Floats({1, 0, 0, 0, 0, 1, 0, 0}).End();
        w.End();
        cases.push_back({"short frame matrix", w.Bytes()});
    }
    {
        XFileWriter w(false);
        w.Begin("Frame", "F").Begin("Mesh", "M").Dwords({3});
        w.Floats({0, 0, 0}).Floats({1, 0, 0}).Floats({0, 1, 0});
        w.Dwords({1}).Dwords({3, 0, 1, 9}).End().End();
        cases.push_back({"face past the vertices", w.Bytes()});
    }
    {
        XFileWriter w(false);
        w.Begin("Frame", "F").Begin("Mesh", "M").Dwords({0x7fffffff}).Floats({0, 0, 0}).End().End();
        cases.push_back({"huge vertex count", w.Bytes()});
    }
    for (bool bBinary : {false, true})
    {
        const std::vector<uint8_t> whole = BuildXScene(bBinary);
        for (size_t n = 0; n < whole.size(); n += bBinary ? 1 : 3)
            cases.push_back({(bBinary ? "binary cut at " : "text cut at ") + std::to_string(n),
                             std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n))});
    }

    SetLogEcho(false);
    for (const auto& [strName, bytes] : cases)
    {
        SCOPED_TRACE(strName);
        const std::string strPath = Write("hostile.x", bytes);
        const SceneSnapshot before = Snapshot();
        if (!m_Store.OpenXFile(strPath.c_str(), &m_Renderer, m_Device.Get()))
        {
            // Refused: the scene is the one opened before, object for object.
            EXPECT_TRUE(Snapshot() == before);
            continue;
        }
        // Read: every mesh is whole, with its material, and the light was added.
        ExpectWholeMeshes();
        EXPECT_EQ(m_Store.m_Lights.GetCount(), 1u);
    }
    SetLogEcho(true);

    // Files that are not there, folders and a missing device change nothing either.
    const std::string strScene = Write("scene.x", BuildXScene(false));
    const SceneSnapshot now = Snapshot();
    EXPECT_FALSE(m_Store.OpenXFile("/nonexistent/scene.x", &m_Renderer, m_Device.Get()));
    EXPECT_FALSE(m_Store.MergeXFile(m_Dir.c_str(), &m_Renderer, m_Device.Get()));
    EXPECT_FALSE(m_Store.OpenXFile(strScene.c_str(), &m_Renderer, nullptr));
    EXPECT_TRUE(Snapshot() == now);
}

namespace
{
constexpr UINT DRAW_SIZE = 48;
constexpr D3DCOLOR BOX_COLOUR = 0xFFFF0000, TRI_COLOUR = 0xFF0000FF;

// The fixture's triangles in scene coordinates, wound as they face the viewer, and their colours.
struct ExpectedTriangle
{
    D3DXVECTOR3 p[3];
    D3DCOLOR colour;
};
const ExpectedTriangle EXPECTED_TRIANGLES[] = {
    {{{0, 0, 0}, {1, 0, 1}, {1, 0, 0}}, BOX_COLOUR},
    {{{0, 0, 0}, {0, 0, 1}, {1, 0, 1}}, BOX_COLOUR},
    {{{0, 0, 0}, {0, 2, 0}, {2, 0, 0}}, TRI_COLOUR},
};

// The picture computed apart from the device: for each pixel centre the nearest triangle that
// holds it, seen clockwise on the screen; pixels within a pixel of an edge, or where two
// triangles lie at nearly the same depth, are marked unknown (-1).
std::vector<int64_t> ExpectedPicture(const D3DXMATRIX& viewProjection)
{
    std::vector<int64_t> picture(DRAW_SIZE * DRAW_SIZE, 0);
    for (UINT y = 0; y < DRAW_SIZE; ++y)
        for (UINT x = 0; x < DRAW_SIZE; ++x)
        {
            const float px = float(x) + 0.5f, py = float(y) + 0.5f;
            float fNearest = 2.0f, fSecond = 2.0f;
            int64_t nColour = 0;
            bool bUnknown = false;
            for (const ExpectedTriangle& t : EXPECTED_TRIANGLES)
            {
                float sx[3], sy[3], sz[3];
                for (int k = 0; k < 3; ++k)
                {
                    D3DXVECTOR4 h;
                    D3DXVec3Transform(&h, &t.p[k], &viewProjection);
                    sx[k] = (h.x / h.w + 1.0f) * 0.5f * DRAW_SIZE;
                    sy[k] = (1.0f - h.y / h.w) * 0.5f * DRAW_SIZE;
                    sz[k] = h.z / h.w;
                }
                // Signed distances to the edges, positive inside a triangle clockwise on screen.
                float fArea = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sy[1] - sy[0]) * (sx[2] - sx[0]);
                if (fArea <= 0.0f)
                    continue;
                float w[3];
                bool bInside = true, bNear = false;
                for (int k = 0; k < 3; ++k)
                {
                    const int a = (k + 1) % 3, b = (k + 2) % 3;
                    const float ex = sx[b] - sx[a], ey = sy[b] - sy[a];
                    const float fDistance = (ex * (py - sy[a]) - ey * (px - sx[a])) / std::sqrt(ex * ex + ey * ey);
                    w[k] = (ex * (py - sy[a]) - ey * (px - sx[a])) / fArea;
                    bInside = bInside && fDistance > 0.0f;
                    bNear = bNear || std::fabs(fDistance) < 1.0f;
                }
                if (bNear)
                    bUnknown = true;
                if (!bInside)
                    continue;
                const float z = w[0] * sz[0] + w[1] * sz[1] + w[2] * sz[2];
                if (z < fNearest)
                {
                    fSecond = fNearest;
                    fNearest = z;
                    nColour = t.colour & 0xFFFFFF;
                }
                else
                    fSecond = std::min(fSecond, z);
            }
            if (fSecond - fNearest < 1e-3f)
                bUnknown = bUnknown || fSecond < 2.0f;
            picture[y * DRAW_SIZE + x] = bUnknown ? -1 : nColour;
        }
    return picture;
}

int64_t PixelColour(const d3d9test::SurfaceData& data, UINT x, UINT y)
{
    const float* p = data.Pixel(x, y);
    auto byte = [](float f) { return int64_t(std::lround(f * 255.0f)); };
    return (byte(p[0]) << 16) | (byte(p[1]) << 8) | byte(p[2]);
}
}

TEST_F(SceneStoreXTest, BothImportsOfTheFixtureSceneDrawTheSamePicture)
{
    // Looking down at the square from above and in front: the triangle standing at its front edge
    // hides the near part of it.
    D3DXMATRIX view, projection, viewProjection;
    const D3DXVECTOR3 eye(0.5f, 6.0f, -1.5f), at(0.7f, 0.5f, 0.5f), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 0.4f, 1.0f, 0.5f, 20.0f);
    D3DXMatrixMultiply(&viewProjection, &view, &projection);
    const std::vector<int64_t> expected = ExpectedPicture(viewProjection);

    SceneStore store3ds;
    ASSERT_TRUE(store3ds.Open3dsFile(Write("scene.3ds", l3ds_fixture::BuildScene()).c_str(), nullptr, nullptr));
    const d3d9test::SurfaceData picture3ds =
        DrawMeshes(m_Device.Get(), store3ds, viewProjection, {BOX_COLOUR, TRI_COLOUR}, DRAW_SIZE);
    ASSERT_TRUE(m_Store.OpenXFile(Write("scene.x", BuildXScene(true)).c_str(), &m_Renderer, m_Device.Get()));
    const d3d9test::SurfaceData pictureX =
        DrawMeshes(m_Device.Get(), m_Store, viewProjection, {TRI_COLOUR, BOX_COLOUR}, DRAW_SIZE);
    ASSERT_EQ(picture3ds.nWidth, DRAW_SIZE);
    ASSERT_EQ(pictureX.nWidth, DRAW_SIZE);

    int nKnown = 0, nBox = 0, nTri = 0;
    for (UINT y = 0; y < DRAW_SIZE; ++y)
        for (UINT x = 0; x < DRAW_SIZE; ++x)
        {
            const int64_t nExpected = expected[y * DRAW_SIZE + x];
            EXPECT_EQ(PixelColour(pictureX, x, y), PixelColour(picture3ds, x, y)) << x << ", " << y;
            if (nExpected < 0)
                continue;
            ++nKnown;
            nBox += nExpected == (BOX_COLOUR & 0xFFFFFF) ? 1 : 0;
            nTri += nExpected == (TRI_COLOUR & 0xFFFFFF) ? 1 : 0;
            EXPECT_EQ(PixelColour(picture3ds, x, y), nExpected) << x << ", " << y;
        }
    // Both objects show, and most of the picture is decided.
    EXPECT_GT(nBox, 40);
    EXPECT_GT(nTri, 40);
    EXPECT_GT(nKnown, int(DRAW_SIZE * DRAW_SIZE) * 2 / 3);
}
