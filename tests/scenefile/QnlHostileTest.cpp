// ".qnl" files that are damaged, cut short or hostile, and saves that fail: one row per case
// with what the scene holds afterwards.
#include "QnlFixture.h"
#include "QnlSceneTest.h"

#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <csignal>
#include <functional>
#include <limits>
#include <sys/resource.h>

namespace
{
using namespace qnlfixture;

// Where fields lie inside a mesh record (tag included).
constexpr size_t MESH_VERTEX_COUNT = 4 + 512 + 40 + 2293;
constexpr size_t MESH_TRIANGLE_COUNT = MESH_VERTEX_COUNT + 4;
// Inside the camera record: the orientation's w.
constexpr size_t CAMERA_QW = 4 + 153;

SceneBytes Patched(SceneBytes bytes, size_t nOffset, int32_t nValue)
{
    std::memcpy(bytes.Get().data() + nOffset, &nValue, sizeof(nValue));
    return bytes;
}

SceneBytes Cut(SceneBytes bytes, size_t nSize)
{
    bytes.Get().resize(nSize);
    return bytes;
}

// The fixture with its second mesh record replaced.
SceneBytes WithGlass(const SceneBytes& glass)
{
    SceneBytes b;
    b.Append(SceneInfo()).Append(MeshRecord(Box())).Append(glass).Append(LightRecord()).Append(CameraRecord());
    return b.Append(End());
}

// The fixture with a record inserted after the first mesh.
SceneBytes WithInserted(const SceneBytes& inserted)
{
    SceneBytes b;
    b.Append(SceneInfo()).Append(MeshRecord(Box())).Append(inserted).Append(MeshRecord(Glass()));
    return b.Append(LightRecord()).Append(CameraRecord()).Append(End());
}

SceneBytes Helper(int32_t nStep)
{
    SceneBytes b;
    b.I32(TAG_HELPER).Text("helper").Text("").Fill(40).I32(1).I32(0).I32(0);
    return b.I32(0).I32(2).I32(nStep).Fill(nStep > 0 ? 36 : 0);
}

size_t LightEnd()
{
    return SceneInfo().Size() + MeshRecord(Box()).Size() + MeshRecord(Glass()).Size() + LightRecord().Size();
}

const float OLD_FOV = 0.33f;

// A scene that is already open: one mesh "old", a camera with a field of view of OLD_FOV.
void FillOldScene(SceneStore& store)
{
    auto* pMesh = new SceneMesh;
    pMesh->SetName("old");
    pMesh->AllocateTriangles(1);
    store.AddMesh(pMesh);
    store.m_Camera.m_fFov = OLD_FOV;
}

// No object of the scene is half-filled: every mesh has its vertices, three per triangle, and a
// material.
void ExpectWholeObjects(SceneStore& store, const std::string& strRow)
{
    for (uint32_t i = 0; i < store.m_Meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(store.m_Meshes.Get(i));
        ASSERT_NE(pMesh, nullptr) << strRow;
        EXPECT_NE(pMesh->m_pVertices, nullptr) << strRow;
        EXPECT_EQ(pMesh->m_nVertexCount, 3 * pMesh->m_nTriangleCount) << strRow;
        EXPECT_NE(pMesh->m_pMaterial, nullptr) << strRow;
    }
}
}

TEST_F(QnlSceneTest, HostileFilesLoadTheWholeRecordsBeforeTheFaultAndReportIt)
{
    const int32_t INT_MAX_VALUE = std::numeric_limits<int32_t>::max();
    struct Row
    {
        const char* szCase;
        std::function<SceneBytes()> fnBytes;   // null: the path is not a file
        bool bOpened;
        std::vector<std::string> meshes;       // names, in order
        uint32_t nLights;
        bool bCameraRead;
        bool bWarning;
        std::function<void(SceneStore&)> fnCheck;
    };
    const Row rows[] = {
        {"whole fixture", [] { return Scene(); }, true, {"box", "glass"}, 1, true, false, nullptr},
        {"N = 5", [] { return WithGlass(Patched(MeshRecord(Glass()), MESH_VERTEX_COUNT, 5)); }, true, {"box"}, 0,
         false, true, nullptr},
        {"N = -1", [] { return WithGlass(Patched(MeshRecord(Glass()), MESH_VERTEX_COUNT, -1)); }, true, {"box"}, 0,
         false, true, nullptr},
        {"N = 0x7FFFFFFF",
         [=] { return WithGlass(Patched(MeshRecord(Glass()), MESH_VERTEX_COUNT, INT_MAX_VALUE)); }, true, {"box"}, 0,
         false, true, nullptr},
        {"N = 3F - 3", [] { return WithGlass(Patched(MeshRecord(Glass()), MESH_VERTEX_COUNT, 3)); }, true, {"box"}, 0,
         false, true, nullptr},
        {"F = 0", [] { return WithGlass(Patched(MeshRecord(Glass()), MESH_TRIANGLE_COUNT, 0)); }, true, {"box"}, 0,
         false, true, nullptr},
        {"N = 2^30, F = N / 3",
         [] {
             SceneBytes glass = Patched(MeshRecord(Glass()), MESH_VERTEX_COUNT, 3 << 28);
             return WithGlass(Patched(glass, MESH_TRIANGLE_COUNT, 1 << 28));
         },
         true, {"box"}, 0, false, true, nullptr},
        {"helper track step 0", [] { return WithInserted(Helper(0)); }, true, {"box"}, 0, false, true, nullptr},
        {"helper track step -1", [] { return WithInserted(Helper(-1)); }, true, {"box"}, 0, false, true, nullptr},
        {"helper with sound tracks", [] { return WithInserted(Helper(1)); }, true, {"box", "glass"}, 1, true, false,
         nullptr},
        {"tags 1 and 7 between records",
         [] { return WithInserted(SceneBytes().I32(1).I32(7)); }, true, {"box", "glass"}, 1, true, false, nullptr},
        {"cut inside the second mesh's vertices",
         [] { return Cut(Scene(), SceneInfo().Size() + MeshRecord(Box()).Size() + MESH_VERTEX_COUNT + 40); }, true,
         {"box"}, 0, false, true, nullptr},
        {"cut inside the light", [] { return Cut(Scene(), LightEnd() - 200); }, true, {"box", "glass"}, 0, false, true,
         nullptr},
        {"cut after the light", [] { return Cut(Scene(), LightEnd()); }, true, {"box", "glass"}, 1, false, false,
         nullptr},
        {"cut inside the camera", [] { return Cut(Scene(), LightEnd() + 100); }, true, {"box", "glass"}, 1, false, true,
         nullptr},
        {"empty file", [] { return SceneBytes(); }, false, {"old"}, 0, false, true, nullptr},
        {"not a scene file", [] { return SceneBytes().Fill(300, 0xA7); }, false, {"old"}, 0, false, true, nullptr},
        {"only unknown tags and an end", [] { return SceneBytes().I32(1).I32(7).I32(TAG_END); }, false, {"old"}, 0,
         false, true, nullptr},
        {"cut inside the scene info", [] { return Cut(Scene(), SceneInfo().Size() - 1); }, false, {"old"}, 0, false,
         true, nullptr},
        {"256-character name without terminator",
         [] {
             SceneBytes b = Scene();
             std::memset(b.Get().data() + SceneInfo().Size() + 4, 'n', 256);
             return b;
         },
         true, {std::string(255, 'n'), "glass"}, 1, true, false, nullptr},
        {"256-character texture path without terminator",
         [] {
             SceneBytes b = Scene();
             std::memset(b.Get().data() + SceneInfo().Size() + 4 + 512 + 40 + 500, 'p', 256);
             return b;
         },
         true, {"box", "glass"}, 1, true, false,
         [](SceneStore& store) {
             const char* szPath = store.FindMaterialByName("glass")->m_szTexturePaths[SceneMaterial::PATH_DIFFUSE];
             EXPECT_EQ(std::string(szPath), "wall.png");
             szPath = static_cast<SceneMesh*>(store.m_Meshes.Get(0))->m_pMaterial->m_szTexturePaths[0];
             EXPECT_EQ(std::strlen(szPath), 255u);
         }},
        {"unknown light type 9",
         [] {
             SceneBytes b;
             b.Append(SceneInfo()).Append(LightRecord(9)).Append(CameraRecord()).Append(End());
             return b;
         },
         true, {}, 1, true, false,
         [](SceneStore& store) {
             auto* pLight = static_cast<SceneLight*>(store.m_Lights.Get(0));
             EXPECT_EQ(static_cast<uint32_t>(pLight->m_Light.Type), 9u);
             EXPECT_EQ(pLight->m_nLightKind, 0) << "an unknown type leaves the kind as it was";
             EXPECT_EQ(pLight->m_bHalo, 1);
         }},
        {"trailing bytes after the end record", [] { return Scene().Fill(13, 0xAB); }, true, {"box", "glass"}, 1,
         true, false, nullptr},
        {"zero camera orientation",
         [] { return Patched(Scene(), LightEnd() + CAMERA_QW, 0); }, true, {"box", "glass"}, 1, true, false,
         [](SceneStore& store) { EXPECT_FLOAT_EQ(store.m_Camera.m_RigidBody.m_qOrientation.w, 1.0f); }},
        {"NaN camera orientation",
         [] { return Patched(Scene(), LightEnd() + CAMERA_QW, 0x7FC00000); }, true, {"box", "glass"}, 1, true, false,
         [](SceneStore& store) {
             const D3DXQUATERNION& q = store.m_Camera.m_RigidBody.m_qOrientation;
             EXPECT_EQ(q.x, 0.0f);
             EXPECT_EQ(q.w, 1.0f);
         }},
        {"NaN vertex position",
         [] { return WithGlass(Patched(MeshRecord(Glass()), MESH_TRIANGLE_COUNT + 4 + 4, 0x7FC00000)); }, true,
         {"box"}, 0, false, true, nullptr},
        {"missing file", nullptr, false, {"old"}, 0, false, true, nullptr},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.szCase);
        ClearLogLines();
        m_nBoxes = 0;
        std::string strPath = Path("hostile.qnl");
        std::filesystem::remove(strPath);
        if (row.fnBytes)
        {
            ASSERT_TRUE(WriteBytes(strPath, row.fnBytes().Get()));
        }
        SceneStore store;
        FillOldScene(store);
        EXPECT_EQ(store.OpenQnlFile(strPath.c_str(), nullptr, nullptr), row.bOpened);
        ASSERT_EQ(store.m_Meshes.GetCount(), row.meshes.size());
        for (size_t i = 0; i < row.meshes.size(); ++i)
            EXPECT_EQ(std::string(static_cast<SceneMesh*>(store.m_Meshes.Get(i))->m_szName), row.meshes[i]);
        EXPECT_EQ(store.m_Lights.GetCount(), row.nLights);
        EXPECT_EQ(store.m_Camera.m_fFov != OLD_FOV, row.bCameraRead);
        EXPECT_EQ(CountLog("SceneStore::") > 0, row.bWarning);
        EXPECT_EQ(m_nBoxes, row.bOpened ? 0 : 1);
        if (row.bOpened)
            ExpectWholeObjects(store, row.szCase);
        if (row.fnCheck)
            row.fnCheck(store);
    }
}

TEST_F(QnlSceneTest, OpenOfWhatIsNotAReadableFileLeavesTheSceneAsItWas)
{
    for (const std::string& strPath : {Path("missing.qnl"), m_strDir, Path("no/such/folder.qnl")})
    {
        SCOPED_TRACE(strPath);
        m_nBoxes = 0;
        SceneStore store;
        FillOldScene(store);
        auto* pMaterial = new SceneMaterial;
        pMaterial->SetName("kept");
        store.m_Materials.Add(pMaterial);
        g_bSceneChanged = 0;
        EXPECT_FALSE(store.OpenQnlFile(strPath.c_str(), nullptr, nullptr));
        EXPECT_FALSE(store.MergeQnlFile(strPath.c_str(), nullptr, nullptr));
        EXPECT_EQ(store.m_Meshes.GetCount(), 1u);
        EXPECT_EQ(store.FindMaterialByName("kept"), pMaterial);
        EXPECT_FLOAT_EQ(store.m_Camera.m_fFov, OLD_FOV);
        EXPECT_EQ(g_bSceneChanged, 0);
        EXPECT_EQ(m_nBoxes, 2) << "\"cannot open file\" each time";
        EXPECT_GE(CountLog("cannot open"), 2);
    }
}

TEST_F(QnlSceneTest, TheFixtureCutAnywhereLoadsOnlyWholeObjects)
{
    // Every 29th length: a prime stride, so the cuts fall at every offset within the repeated
    // 4-byte fields and at varied places in every record.
    const SceneBytes whole = Scene();
    for (size_t nSize = 0; nSize < whole.Size(); nSize += 29)
    {
        ASSERT_TRUE(WriteBytes(Path("cut.qnl"), Cut(whole, nSize).Get()));
        SceneStore store;
        // A file cut inside its first record is not opened at all.
        EXPECT_EQ(store.OpenQnlFile(Path("cut.qnl").c_str(), nullptr, nullptr), nSize >= SceneInfo().Size());
        ExpectWholeObjects(store, std::to_string(nSize));
        EXPECT_LE(store.m_Meshes.GetCount(), 2u);
        EXPECT_LE(store.m_Lights.GetCount(), nSize >= LightEnd() ? 1u : 0u);
    }
}

TEST_F(QnlSceneTest, ASaveThatFailsHalfwayKeepsTheOldFile)
{
    SceneStore store;
    ASSERT_TRUE(WriteBytes(Path("fixture.qnl"), Scene().Get()));
    ASSERT_TRUE(store.OpenQnlFile(Path("fixture.qnl").c_str(), nullptr, nullptr));
    ASSERT_TRUE(WriteBytes(Path("target.qnl"), SceneBytes().Text("the old file").Get()));
    const std::vector<uint8_t> old = ReadBytes(Path("target.qnl"));

    // The file-size limit stops the write a few kilobytes in.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    bool bSaved = store.SaveQnlFile(Path("target.qnl").c_str());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(bSaved);
    EXPECT_EQ(ReadBytes(Path("target.qnl")), old);
    EXPECT_EQ(m_nBoxes, 1);
    EXPECT_GE(CountLog("SceneStore::SaveQnlFile() - cannot write"), 1);
    size_t nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(m_strDir))
        nFiles += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(nFiles, 2u) << "no temporary file left behind";

    EXPECT_FALSE(store.SaveQnlFile(Path("no/such/folder.qnl").c_str()));
    EXPECT_TRUE(store.SaveQnlFile(Path("target.qnl").c_str()));
    EXPECT_NE(ReadBytes(Path("target.qnl")), old);
}

TEST_F(QnlSceneTest, AMeshWithoutTrianglesIsLeftOutSoTheRestOfTheFileStaysReadable)
{
    ASSERT_TRUE(WriteBytes(Path("fixture.qnl"), Scene().Get()));
    struct Format
    {
        const char* szName;
        bool (SceneStore::*pfnSave)(const char*);
        bool (SceneStore::*pfnOpen)(const char*, Renderer*, IDirect3DDevice9*);
    };
    const Format formats[] = {{"saved.qnl", &SceneStore::SaveQnlFile, &SceneStore::OpenQnlFile},
                              {"saved.mvn", &SceneStore::SaveMvnFile, &SceneStore::OpenMvnFile}};
    for (const Format& format : formats)
    {
        SceneStore store;
        ASSERT_TRUE(store.OpenQnlFile(Path("fixture.qnl").c_str(), nullptr, nullptr));
        auto* pEmpty = new SceneMesh;
        pEmpty->SetName("empty");
        ASSERT_TRUE(store.AddMesh(pEmpty));
        ClearLogLines();
        ASSERT_TRUE((store.*format.pfnSave)(Path(format.szName).c_str())) << format.szName;
        EXPECT_EQ(CountLog("\"empty\" has no triangles"), 1) << format.szName;

        // The light after the empty mesh must survive the round trip.
        SceneStore reopened;
        ASSERT_TRUE((reopened.*format.pfnOpen)(Path(format.szName).c_str(), nullptr, nullptr)) << format.szName;
        ASSERT_EQ(reopened.m_Meshes.GetCount(), 2u) << format.szName;
        EXPECT_STREQ(static_cast<SceneMesh*>(reopened.m_Meshes.Get(1))->m_szName, "glass") << format.szName;
        EXPECT_EQ(reopened.m_Lights.GetCount(), 1u) << format.szName;
    }
}
