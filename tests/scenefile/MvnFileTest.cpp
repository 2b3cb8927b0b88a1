// ".mvn" scene files: fixtures built here from the byte layout of the format (never with the
// store's own writer), read back field by field, saved and re-read, and cut or patched into
// hostile variants.
#include "../3dapi/ScriptedRenderer.h"
#include "../scene/MeshTestDevice.h"
#include "MvnFixtureBytes.h"
#include "SceneMediaFiles.h"

#include "core/ByteStream.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "scene/MediaDirectory.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <win32/testing.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace
{
namespace fs = std::filesystem;
using namespace mvnfixture;

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

int CountLogLines(const char* szText)
{
    int nCount = 0;
    for (const auto& line : GetLogLines())
        nCount += line.m_strText.find(szText) != std::string::npos ? 1 : 0;
    return nCount;
}

SceneMesh* MeshAt(const SceneStore& store, uint32_t i)
{
    return static_cast<SceneMesh*>(store.m_Meshes.Get(i));
}

SceneLight* LightAt(const SceneStore& store, uint32_t i)
{
    return static_cast<SceneLight*>(store.m_Lights.Get(i));
}

// A scratch folder with the scene's textures beside it and a working directory whose media
// folder holds the light cube map; the process runs from elsewhere.
class MvnFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dir = fs::path(::testing::TempDir()) / ("mvn-" + std::to_string(getpid()) + "-" +
                                                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(m_Dir / "scene");
        fs::create_directories(m_Dir / "work" / "Media");
        ASSERT_TRUE(WriteFileAtomic((m_Dir / "scene" / "diffuse.tga").c_str(), TinyTga()));
        ASSERT_TRUE(WriteFileAtomic((m_Dir / "work" / "Media" / "Cubemap_blanc.dds").c_str(), TinyCubeDds()));
        std::snprintf(g_szWorkingDir, sizeof(g_szWorkingDir), "%s", (m_Dir / "work").c_str());
        g_szMediaDir[0] = '\0';
        ClearLogLines();
        SetLogEcho(false);
    }
    void TearDown() override
    {
        // The stores are gone; the textures they loaded are the renderer's to free.
        m_Renderer.ReleaseAll();
        SetLogEcho(true);
        g_szWorkingDir[0] = '\0';
        g_szMediaDir[0] = '\0';
        std::error_code error;
        fs::remove_all(m_Dir, error);
    }

    std::string ScenePath(const char* szName) const { return (m_Dir / "scene" / szName).string(); }
    std::string WriteScene(const char* szName, const std::vector<uint8_t>& bytes) const
    {
        std::string strPath = ScenePath(szName);
        EXPECT_TRUE(WriteFileAtomic(strPath.c_str(), bytes));
        return strPath;
    }
    static std::vector<uint8_t> ReadBack(const std::string& strPath)
    {
        std::vector<uint8_t> bytes;
        EXPECT_TRUE(ReadWholeFile(strPath.c_str(), bytes));
        return bytes;
    }

    fs::path m_Dir;
    MeshTestDevice m_Device;
    ScriptedRenderer m_Renderer{4};
};
}

TEST_F(MvnFileTest, EmptySceneSavesAsSceneInfoAndEndTag)
{
    SceneStore store;
    const std::string strPath = ScenePath("empty.mvn");
    ASSERT_TRUE(store.SaveMvnFile(strPath.c_str()));
    SceneBytes expected;
    SceneInfo(expected);
    End(expected);
    EXPECT_EQ(ReadBack(strPath), expected.Get());
    EXPECT_EQ(ReadBack(strPath).size(), 520u);
}

TEST_F(MvnFileTest, FixtureLoadsAsTheFormatSays)
{
    ASSERT_NE(m_Device.Get(), nullptr);
    const std::string strPath = WriteScene("fixture.mvn", FixtureFile());
    SceneStore store;
    SceneCamera cameraBefore;
    g_bSceneChanged = 0;
    ASSERT_TRUE(store.OpenMvnFile(strPath.c_str(), &m_Renderer, m_Device.Get()));
    EXPECT_EQ(g_bSceneChanged, 1);
    EXPECT_EQ(CountLogLines("SceneStore::"), 0) << "a sound file loads without a warning";

    // Two meshes in file order, one material between them.
    ASSERT_EQ(store.m_Meshes.GetCount(), 2u);
    ASSERT_EQ(store.m_Materials.GetCount(), 1u);
    SceneMesh* pFloor = MeshAt(store, 0);
    SceneMesh* pWall = MeshAt(store, 1);
    EXPECT_STREQ(pFloor->m_szName, "floor");
    EXPECT_STREQ(pFloor->m_szSecondName, "floor second");
    EXPECT_STREQ(pWall->m_szName, "wall");
    auto* pMaterial = static_cast<SceneMaterial*>(store.m_Materials.Get(0));
    EXPECT_EQ(pFloor->m_pMaterial, pMaterial);
    EXPECT_EQ(pWall->m_pMaterial, pMaterial);

    // Geometry: counts, vertices, the box, its middle and the sphere round it.
    EXPECT_EQ(pWall->m_nVertexCount, 6);
    EXPECT_EQ(pWall->m_nTriangleCount, 2);
    const MeshVertex& v = pWall->m_pVertices[4];  // triangle 1, corner 1
    EXPECT_FLOAT_EQ(v.vPosition.x, 2.0f);
    EXPECT_FLOAT_EQ(v.vPosition.y, 1.0f);
    EXPECT_FLOAT_EQ(v.vPosition.z, 11.0f);
    EXPECT_FLOAT_EQ(v.vNormal.z, 1.0f);
    EXPECT_FLOAT_EQ(v.u, 0.25f);
    EXPECT_FLOAT_EQ(v.v, 0.5f);
    // x 0..3, y -2..2, z 10..12.
    const float expectedBounds[6] = {0.0f, 3.0f, -2.0f, 2.0f, 10.0f, 12.0f};
    for (int i = 0; i < 6; ++i)
        EXPECT_FLOAT_EQ(pWall->m_fBounds[i], expectedBounds[i]) << i;
    EXPECT_FLOAT_EQ(pWall->m_vOffset.x, 1.5f);
    EXPECT_FLOAT_EQ(pWall->m_vOffset.y, 0.0f);
    EXPECT_FLOAT_EQ(pWall->m_vOffset.z, 11.0f);
    EXPECT_FLOAT_EQ(pWall->m_vSphereCentre.x, 1.5f);
    EXPECT_FLOAT_EQ(pWall->m_fSphereRadius, std::sqrt(3.0f) * 4.0f / 2.0f);
    EXPECT_FLOAT_EQ(pWall->m_vStoredPosition.x, 0.0f) << "only the other format keeps a stored position";
    Matrix4 identity;
    identity.SetIdentity();
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(pWall->m_matBase.e[i], identity.e[i]);
    EXPECT_EQ(pWall->m_bVisible, 1) << "settings the format does not carry keep their defaults";

    // Material: what the record carries, then the fixed values.
    EXPECT_STREQ(pMaterial->m_szName, "shared");
    const D3DMATERIAL9& m = pMaterial->m_Material;
    EXPECT_FLOAT_EQ(m.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(m.Diffuse.g, 1.0f);
    EXPECT_FLOAT_EQ(m.Diffuse.b, 1.0f);
    EXPECT_FLOAT_EQ(m.Diffuse.a, 0.9f);
    EXPECT_FLOAT_EQ(m.Ambient.r, 0.2f);
    EXPECT_FLOAT_EQ(m.Ambient.b, 0.2f);
    EXPECT_FLOAT_EQ(m.Ambient.a, 0.25f);
    EXPECT_FLOAT_EQ(m.Specular.g, 0.12f);
    EXPECT_FLOAT_EQ(m.Emissive.a, 0.24f);
    EXPECT_FLOAT_EQ(m.Power, 32.0f);
    EXPECT_FLOAT_EQ(pMaterial->m_vReflectionColor[1], 0.5f);
    EXPECT_FLOAT_EQ(pMaterial->m_vReflectionColor[3], 0.75f);
    EXPECT_EQ(pMaterial->m_bMaterialByte2, 1) << "a reflection colour that is not black turns reflection on";
    EXPECT_FLOAT_EQ(pMaterial->m_fGlossPower, 40.0f);
    EXPECT_FLOAT_EQ(pMaterial->m_fBumpPower, 1.0f) << "raised to 1";
    EXPECT_FLOAT_EQ(pMaterial->m_fMaterialFactor, 0.7f);
    EXPECT_FLOAT_EQ(pMaterial->m_fMaterialValue1, 0.02f);
    const float repeatU[3] = {1.0f, -1.0f, 1.0f};   // diffuse, bump, gloss
    const float repeatV[3] = {-1.0f, 1.0f, -1.0f};
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_FLOAT_EQ(pMaterial->m_fRepeatU[i], repeatU[i]) << i;
        EXPECT_FLOAT_EQ(pMaterial->m_fRepeatV[i], repeatV[i]) << i;
    }
    EXPECT_FLOAT_EQ(pMaterial->m_vRefraction[0], 1.2f);
    EXPECT_FLOAT_EQ(pMaterial->m_vOpacity[0], 1.0f);
    EXPECT_EQ(pMaterial->m_bAlphaTransparency, 0);
    EXPECT_FLOAT_EQ(pMaterial->GetOptionFloat(1), 0.0f) << "the record's option 1 is not applied";
    const MaterialFixture fixture;
    for (int i : {0, 1, 2, 3, 4, 6})
        EXPECT_STREQ(pMaterial->m_szTexturePaths[i], fixture.strPaths[i].c_str()) << "paths stay whole: " << i;

    // Textures: found by file name beside the scene; "NONE" and a missing file load nothing.
    const int nDiffuse = store.FindTextureId("diffuse.tga", TEXTURE_NO_MIPMAPS);
    EXPECT_GE(nDiffuse, 0);
    EXPECT_EQ(pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE], nDiffuse);
    EXPECT_EQ(pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_BUMP], -1);
    EXPECT_EQ(pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_CUBE], -1);
    EXPECT_EQ(pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_GLOSS], -1);
    EXPECT_EQ(pMaterial->m_nMaterialIds[2], 5);
    // Three records for the first mesh; the second finds the diffuse map and retries the others.
    EXPECT_EQ(store.m_Textures.GetCount(), 5u);

    // The spot light comes back as the core's point light.
    ASSERT_EQ(store.m_Lights.GetCount(), 1u);
    SceneLight* pLight = LightAt(store, 0);
    EXPECT_STREQ(pLight->m_szName, "spot");
    EXPECT_STREQ(pLight->m_szSecondName, "lamp");
    const D3DLIGHT9& l = pLight->m_Light;
    EXPECT_EQ(l.Type, D3DLIGHT_POINT);
    EXPECT_EQ(pLight->m_nLightKind, 2);
    EXPECT_FLOAT_EQ(l.Diffuse.g, 0.5f);
    EXPECT_FLOAT_EQ(l.Specular.r, 0.3f);
    EXPECT_FLOAT_EQ(l.Ambient.b, 0.07f);
    EXPECT_FLOAT_EQ(l.Position.y, 5.0f);
    EXPECT_FLOAT_EQ(l.Direction.x, 0.0f);
    EXPECT_FLOAT_EQ(l.Direction.y, 0.0f);
    EXPECT_FLOAT_EQ(l.Direction.z, 1.0f);
    EXPECT_FLOAT_EQ(l.Range, 10000.0f);
    EXPECT_FLOAT_EQ(l.Falloff, 0.01f);
    EXPECT_FLOAT_EQ(l.Attenuation0, 0.1f);
    EXPECT_FLOAT_EQ(l.Attenuation1, 0.2f);
    EXPECT_FLOAT_EQ(l.Attenuation2, 0.3f);
    EXPECT_FLOAT_EQ(l.Theta, 0.314159f);
    EXPECT_FLOAT_EQ(l.Phi, 0.314159f);
    EXPECT_EQ(pLight->m_bHalo, 1);
    EXPECT_FLOAT_EQ(pLight->m_fHaloValue1, 7.5f);
    EXPECT_FLOAT_EQ(pLight->m_fHaloSize, 5.0f);
    EXPECT_FLOAT_EQ(pLight->m_fHaloValue2, 8.5f);
    EXPECT_FLOAT_EQ(pLight->m_fHaloPower, 1.0f);
    EXPECT_EQ(pLight->m_bLensFlare, 0);
    EXPECT_EQ(pLight->m_bLensFlareRing, 1);
    EXPECT_EQ(pLight->m_nLensCount, 3);
    EXPECT_FLOAT_EQ(pLight->m_fLensFlareSize, 120.0f);
    EXPECT_FLOAT_EQ(pLight->m_fLensFlareDensity, 0.3f);
    EXPECT_EQ(pLight->m_bLightFlag, 1);
    EXPECT_FLOAT_EQ(pLight->m_vLightPosition.x, 1.0f) << "the first transform's position";
    EXPECT_FLOAT_EQ(pLight->m_vLightPosition.z, 3.0f);
    EXPECT_EQ(pLight->m_nTextureId, -1);
    // The open set the media directory itself, so the cube map is found on a first open.
    EXPECT_EQ(std::string(pLight->m_szCubeMapPath), (m_Dir / "work" / "Media" / "Cubemap_blanc.dds").string());
    EXPECT_NE(pLight->m_pCubeTexture, nullptr);

    // The core's camera record is skipped: the scene's camera is untouched.
    EXPECT_FLOAT_EQ(store.m_Camera.m_fFov, cameraBefore.m_fFov);
    EXPECT_FLOAT_EQ(store.m_Camera.m_fBackClip, cameraBefore.m_fBackClip);
}

TEST_F(MvnFileTest, ReflectionOnlyForAColourThatIsNotBlack)
{
    struct Case
    {
        float r, g, b;
        uint8_t nExpectedFlag;
        float fExpectedG;
    };
    // Channels outside 0..1 count as 0.
    const Case cases[] = {{0.0f, 0.5f, 0.0f, 1, 0.5f}, {0.0f, 0.0f, 0.0f, 0, 0.0f}, {-0.5f, 1.5f, 0.0f, 0, 0.0f}};
    for (const Case& c : cases)
    {
        SceneBytes w;
        MaterialFixture material;
        material.strName = "m";
        material.fReflection[0] = c.r;
        material.fReflection[1] = c.g;
        material.fReflection[2] = c.b;
        Geometry(w, "mesh", 1, material);
        SceneStore store;
        ASSERT_TRUE(store.ReadMvn(WriteScene("reflection.mvn", w.Get()).c_str(), &m_Renderer, nullptr));
        auto* pMaterial = static_cast<SceneMaterial*>(store.m_Materials.Get(0));
        ASSERT_NE(pMaterial, nullptr);
        EXPECT_EQ(pMaterial->m_bMaterialByte2, c.nExpectedFlag) << c.r << " " << c.g << " " << c.b;
        EXPECT_FLOAT_EQ(pMaterial->m_vReflectionColor[1], c.fExpectedG);
    }
}

TEST_F(MvnFileTest, SaveReopenSaveIsByteIdentical)
{
    SceneStore first;
    ASSERT_TRUE(first.OpenMvnFile(WriteScene("fixture.mvn", FixtureFile()).c_str(), &m_Renderer, m_Device.Get()));
    ASSERT_EQ(first.m_Meshes.GetCount(), 2u);
    // A vertex buffer, as the window makes after an open: the writer reads the vertices from it.
    ASSERT_EQ(MeshAt(first, 0)->CreateVertexBuffers(m_Device.Get()), D3D_OK);
    const std::string strFirst = ScenePath("first.mvn");
    ASSERT_TRUE(first.SaveMvnFile(strFirst.c_str()));
    const std::vector<uint8_t> firstBytes = ReadBack(strFirst);
    EXPECT_EQ(firstBytes.size(), SCENE_INFO_BYTES + MeshBytes(1) + MeshBytes(2) + LIGHT_BYTES + 4);

    SceneStore second;
    ASSERT_TRUE(second.OpenMvnFile(strFirst.c_str(), &m_Renderer, m_Device.Get()));
    const std::string strSecond = ScenePath("second.mvn");
    ASSERT_TRUE(second.SaveMvnFile(strSecond.c_str()));
    EXPECT_EQ(ReadBack(strSecond), firstBytes);

    // The path "NONE" is written back as it was read, and the reserved places are zeros.
    const size_t nBumpPath = SCENE_INFO_BYTES + 4 + 512 + 40 + 256 + 696;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&firstBytes[nBumpPath])), "NONE");
    const size_t nReserved = SCENE_INFO_BYTES + 4 + 512 + 40 + 256 + 84;
    for (size_t i = 0; i < 32; ++i)
        EXPECT_EQ(firstBytes[nReserved + i], 0) << i;
    // The light is written as read: a point light with its first transform's position twice.
    const size_t nLight = SCENE_INFO_BYTES + MeshBytes(1) + MeshBytes(2);
    ByteReader light(&firstBytes[nLight], LIGHT_BYTES);
    int32_t nTag = 0;
    float fX = 0, fSecondX = 0;
    uint32_t nType = 0;
    light.ReadI32(nTag);
    light.Skip(512);
    light.ReadF32(fX);
    light.Skip(36);
    light.ReadF32(fSecondX);
    light.Skip(36);
    light.ReadU32(nType);
    EXPECT_EQ(nTag, 3);
    EXPECT_FLOAT_EQ(fX, 1.0f);
    EXPECT_FLOAT_EQ(fSecondX, 1.0f);
    EXPECT_EQ(nType, 1u);
}

TEST_F(MvnFileTest, HostileFilesKeepTheRecordsBeforeTheFault)
{
    ASSERT_EQ(FixtureFile().size(), END_START + 4);
    auto patchI32 = [](std::vector<uint8_t> bytes, size_t nOffset, int32_t nValue) {
        for (int i = 0; i < 4; ++i)
            bytes[nOffset + i] = uint8_t(uint32_t(nValue) >> (8 * i));
        return bytes;
    };
    auto cut = [](std::vector<uint8_t> bytes, size_t nSize) {
        bytes.resize(nSize);
        return bytes;
    };
    auto append = [](std::vector<uint8_t> bytes, std::vector<uint8_t> tail) {
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        return bytes;
    };
    const std::vector<uint8_t> file = FixtureFile();
    const size_t nWallCounts = WALL_START + 4 + 512 + 40 + 256 + 2260;
    const size_t nTrackStep = HELPER_START + 4 + 512 + 40 + 12 + 8;
    SceneBytes extraMesh;
    Geometry(extraMesh, "after end", 1);
    struct Case
    {
        const char* szName;
        std::vector<uint8_t> bytes;
        uint32_t nMeshes;
        uint32_t nLights;
        bool bWarning;
    };
    const Case cases[] = {
        {"sound file", file, 2, 1, false},
        {"cut inside the wall's vertices", cut(file, END_START - 10), 1, 1, true},
        {"cut inside the wall's material", cut(file, WALL_START + 1000), 1, 1, true},
        {"cut inside the light record", cut(file, LIGHT_START + 700), 1, 0, true},
        {"cut inside a tag", cut(file, LIGHT_START + 2), 1, 0, true},
        {"no end tag", cut(file, END_START), 2, 1, false},
        {"N = 5", patchI32(file, nWallCounts, 5), 1, 1, true},
        {"N = -1", patchI32(file, nWallCounts, -1), 1, 1, true},
        {"N = 0x7FFFFFFF", patchI32(file, nWallCounts, 0x7FFFFFFF), 1, 1, true},
        {"N = 3F - 3", patchI32(file, nWallCounts, 3), 1, 1, true},
        {"F = 0", patchI32(patchI32(file, nWallCounts, 0), nWallCounts + 4, 0), 1, 1, true},
        {"track step 0", patchI32(file, nTrackStep, 0), 1, 1, true},
        {"track step -1", patchI32(file, nTrackStep, -1), 1, 1, true},
        {"unknown tag 9 before the light", patchI32(file, LIGHT_START - 4, 9), 2, 1, false},
        {"unknown tag -7 before the light", patchI32(file, LIGHT_START - 4, -7), 2, 1, false},
        {"trailing bytes after the end tag", append(file, extraMesh.Get()), 2, 1, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        ClearLogLines();
        SceneStore store;
        ASSERT_TRUE(store.OpenMvnFile(WriteScene("hostile.mvn", c.bytes).c_str(), &m_Renderer, m_Device.Get()));
        EXPECT_EQ(store.m_Meshes.GetCount(), c.nMeshes);
        EXPECT_EQ(store.m_Lights.GetCount(), c.nLights);
        EXPECT_EQ(CountLogLines("the read ends") > 0, c.bWarning);
        for (uint32_t i = 0; i < store.m_Meshes.GetCount(); ++i)
            EXPECT_STRNE(MeshAt(store, i)->m_szName, "after end");
    }
}

TEST_F(MvnFileTest, FileCutAnywhereLoadsOnlyWholeRecords)
{
    const std::vector<uint8_t> file = FixtureFile();
    const size_t boundaries[] = {0, FLOOR_START, FLOOR_START + MeshBytes(1), LIGHT_START, HELPER_START, WALL_START,
                                 END_START};
    std::vector<size_t> cuts;
    for (size_t nBoundary : boundaries)
        for (size_t nDelta : {0, 1, 3, 4, 5, 300, 600, 1000, 2900})
            if (nBoundary + nDelta < file.size())
                cuts.push_back(nBoundary + nDelta);
    for (size_t nCut : cuts)
    {
        SCOPED_TRACE(nCut);
        SceneStore store;
        const std::vector<uint8_t> bytes(file.begin(), file.begin() + nCut);
        // A file cut inside its first record is not opened at all.
        EXPECT_EQ(store.OpenMvnFile(WriteScene("cut.mvn", bytes).c_str(), &m_Renderer, nullptr), nCut >= FLOOR_START);
        const uint32_t nMeshes = (nCut >= FLOOR_START + MeshBytes(1)) + (nCut >= END_START);
        EXPECT_EQ(store.m_Meshes.GetCount(), nMeshes);
        EXPECT_EQ(store.m_Lights.GetCount(), nCut >= HELPER_START ? 1u : 0u);
        // A material only with a whole mesh record.
        EXPECT_EQ(store.m_Materials.GetCount(), nMeshes ? 1u : 0u);
    }
}

TEST_F(MvnFileTest, NameWithoutTerminatorLoadsCutTo255)
{
    SceneBytes w;
    w.I32(2);
    w.Text(std::string(256, 'n'), 256);
    w.Text("");
    Transform(w, 0.0f, 0.0f, 0.0f);
    MaterialFixture material;
    material.strName = std::string(255, 'm');
    material.strPaths[0] = std::string(255, 'd');
    Material(w, material);
    // The diffuse path's terminator overwritten too.
    w.Get()[w.Size() - 2260 + 184 + 255] = 'd';
    Vertices(w, 3, 1);
    End(w);
    SceneStore store;
    ASSERT_TRUE(store.OpenMvnFile(WriteScene("long.mvn", w.Get()).c_str(), &m_Renderer, nullptr));
    ASSERT_EQ(store.m_Meshes.GetCount(), 1u);
    EXPECT_EQ(std::string(MeshAt(store, 0)->m_szName), std::string(255, 'n'));
    ASSERT_NE(MeshAt(store, 0)->m_pMaterial, nullptr);
    EXPECT_EQ(std::string(MeshAt(store, 0)->m_pMaterial->m_szName), std::string(255, 'm'));
    EXPECT_EQ(std::string(MeshAt(store, 0)->m_pMaterial->m_szTexturePaths[0]), std::string(255, 'd'));
}

TEST_F(MvnFileTest, RecordCutShortLeavesTheSharedMaterialAsItWas)
{
    SceneBytes w;
    Geometry(w, "floor", 1);
    MaterialFixture changed;
    changed.fGlossPower = 99.0f;
    Geometry(w, "wall", 2, changed);
    std::vector<uint8_t> bytes = w.Get();
    bytes.resize(bytes.size() - 20);
    SceneStore store;
    ASSERT_TRUE(store.OpenMvnFile(WriteScene("cut.mvn", bytes).c_str(), &m_Renderer, nullptr));
    ASSERT_EQ(store.m_Materials.GetCount(), 1u);
    EXPECT_FLOAT_EQ(static_cast<SceneMaterial*>(store.m_Materials.Get(0))->m_fGlossPower, 40.0f);
    EXPECT_EQ(store.m_Meshes.GetCount(), 1u);
}

TEST_F(MvnFileTest, FileThatCannotBeReadLeavesTheSceneUnchanged)
{
    win32::Driver driver;
    SceneStore store;
    ASSERT_TRUE(store.OpenMvnFile(WriteScene("fixture.mvn", FixtureFile()).c_str(), &m_Renderer, nullptr));
    ASSERT_EQ(store.m_Meshes.GetCount(), 2u);
    SceneMesh* pFloor = MeshAt(store, 0);
    const std::string paths[] = {ScenePath("missing.mvn"), (m_Dir / "scene").string(),
                                 WriteScene("empty.mvn", {}), WriteScene("garbage.mvn", std::vector<uint8_t>(99, 0xEE))};
    for (const std::string& strPath : paths)
    {
        SCOPED_TRACE(strPath);
        driver.answers().msgbox(IDOK);
        EXPECT_FALSE(store.OpenMvnFile(strPath.c_str(), &m_Renderer, nullptr));
        EXPECT_EQ(driver.answers().pending(), 0u) << "the user was told";
        EXPECT_EQ(store.m_Meshes.GetCount(), 2u);
        EXPECT_EQ(MeshAt(store, 0), pFloor);
        EXPECT_EQ(store.m_Lights.GetCount(), 1u);
        EXPECT_EQ(store.m_Materials.GetCount(), 1u);
    }
}

TEST_F(MvnFileTest, FailedSaveKeepsTheOldFile)
{
    win32::Driver driver;
    SceneStore store;
    ASSERT_TRUE(store.OpenMvnFile(WriteScene("fixture.mvn", FixtureFile()).c_str(), &m_Renderer, nullptr));
    const std::string strTarget = WriteScene("target.mvn", std::vector<uint8_t>(700, 7));
    // The file-size limit cuts the temporary file short halfway through the scene.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    driver.answers().msgbox(IDOK);
    const bool bSaved = store.SaveMvnFile(strTarget.c_str());
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(bSaved);
    EXPECT_EQ(ReadBack(strTarget), std::vector<uint8_t>(700, 7));
    for (const auto& entry : fs::directory_iterator(m_Dir / "scene"))
        EXPECT_EQ(entry.path().string().find("target.mvn."), std::string::npos) << "no temporary left";
    driver.answers().msgbox(IDOK);
    EXPECT_FALSE(store.SaveMvnFile((m_Dir / "no-such-folder" / "x.mvn").c_str()));
    EXPECT_EQ(driver.answers().pending(), 0u) << "each failure was shown";
}

TEST_F(MvnFileTest, LoggedReaderReplacesOnlyAtTheFirstYes)
{
    ASSERT_NE(m_Device.Get(), nullptr);
    SceneBytes w;
    SceneInfo(w);
    Geometry(w, "twin", 1);
    End(w);
    const std::string strPath = WriteScene("twin.mvn", w.Get());
    struct Case
    {
        const char* szName;
        std::vector<int> answers;
        int nReplacedSlot;  // -1: the new mesh is dropped
        size_t nAnswersLeft;
    };
    const Case cases[] = {
        {"Yes, Yes", {IDYES, IDYES}, 0, 1},
        {"No, Yes", {IDNO, IDYES}, 1, 0},
        {"No, Cancel", {IDNO, IDCANCEL}, -1, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.szName);
        win32::Driver driver;
        for (int nAnswer : c.answers)
            driver.answers().msgbox(nAnswer);
        SceneStore store;
        SceneMesh* pOld[3];
        const char* names[3] = {"twin", "twin", "other"};
        int nBuffersPerMesh = 0;
        for (int i = 0; i < 3; ++i)
        {
            pOld[i] = new SceneMesh;
            pOld[i]->SetName(names[i]);
            pOld[i]->AllocateTriangles(1);
            const int nBefore = MeshTestDevice::LiveCount("VertexBuffer");
            ASSERT_EQ(pOld[i]->CreateVertexBuffers(m_Device.Get()), D3D_OK);
            nBuffersPerMesh = MeshTestDevice::LiveCount("VertexBuffer") - nBefore;
            ASSERT_TRUE(store.AddMesh(pOld[i]));
        }
        ASSERT_GT(nBuffersPerMesh, 0);
        const int nBuffers = MeshTestDevice::LiveCount("VertexBuffer");
        ClearLogLines();
        ASSERT_TRUE(store.ReadMvnLogged(strPath.c_str(), &m_Renderer, m_Device.Get()));
        EXPECT_EQ(driver.answers().pending(), c.nAnswersLeft);
        ASSERT_EQ(store.m_Meshes.GetCount(), 3u) << "a taken name never adds a mesh";
        for (int i = 0; i < 3; ++i)
        {
            if (i == c.nReplacedSlot)
            {
                EXPECT_NE(MeshAt(store, i), pOld[i]);
                EXPECT_STREQ(MeshAt(store, i)->m_szName, "twin");
                EXPECT_EQ(MeshAt(store, i)->m_nTriangleCount, 1);
            }
            else
            {
                EXPECT_EQ(MeshAt(store, i), pOld[i]) << i;
            }
        }
        // The replaced mesh is deleted with its vertex buffer.
        EXPECT_EQ(MeshTestDevice::LiveCount("VertexBuffer"), nBuffers - (c.nReplacedSlot >= 0 ? nBuffersPerMesh : 0));
        EXPECT_EQ(CountLogLines("ZUZUDIVEZE LOADER---->SCENE INFO"), 1);
        EXPECT_EQ(CountLogLines("ZUZUDIVEZE LOADER---->END OF FILE"), 1);
    }

    // A name nobody has is appended without a question.
    win32::Driver driver;
    SceneStore store;
    ASSERT_TRUE(store.ReadMvnLogged(strPath.c_str(), &m_Renderer, nullptr));
    EXPECT_EQ(store.m_Meshes.GetCount(), 1u);
}
