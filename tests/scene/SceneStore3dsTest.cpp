// Import of 3DS files into the scene store, from the reader tests' file written to disk: meshes
// with their corners reordered and y and z exchanged, one material per mesh, the spot light and
// the first camera; files that cannot be read leave the scene as it was, and hostile ones load
// only whole meshes. (The drawing of the imported scene is checked with the ".x" import.)
#include "L3DSFixtureBytes.h"
#include "SceneImportFixture.h"

#include "core/Log.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <gtest/gtest.h>

using namespace l3ds_fixture;

namespace
{
using SceneStore3dsTest = SceneImportTest;
}

TEST_F(SceneStore3dsTest, OpenTurnsEveryObjectIntoTheScene)
{
    ASSERT_TRUE(m_Store.Open3dsFile(Write("scene.3ds", BuildScene()).c_str(), nullptr, nullptr));
    ASSERT_EQ(m_Store.m_Meshes.GetCount(), 2u);

    SceneMesh& box = Mesh(0);
    EXPECT_STREQ(box.m_szName, "Object0");
    ASSERT_EQ(box.m_nTriangleCount, 2);
    ASSERT_EQ(box.m_nVertexCount, 6);
    // Triangle (v0, v1, v2) becomes the records v0, v2, v1; v2 = (1, 1, 0) is stored as (1, 0, 1).
    ExpectVector(box.m_pVertices[0].vPosition, 0, 0, 0);
    ExpectVector(box.m_pVertices[1].vPosition, 1, 0, 1);
    ExpectVector(box.m_pVertices[2].vPosition, 1, 0, 0);
    ExpectVector(box.m_pVertices[1].vNormal, 0, 1, 0);
    EXPECT_FLOAT_EQ(box.m_pVertices[1].u, 1.0f);
    EXPECT_FLOAT_EQ(box.m_pVertices[1].v, 1.0f);
    ExpectVector(box.m_vOffset, 0.5f, 0.0f, 0.5f);
    ExpectVector(box.m_vStoredPosition, 0.5f, 0.0f, 0.5f);
    EXPECT_GT(box.m_fSphereRadius, 0.0f);

    ASSERT_NE(box.m_pMaterial, nullptr);
    const SceneMaterial& material = *box.m_pMaterial;
    EXPECT_STREQ(material.m_szName, "Material0");
    EXPECT_STREQ(material.m_szTexturePaths[SceneMaterial::PATH_DIFFUSE], "brick.png");
    EXPECT_STREQ(material.m_szTexturePaths[5], "auto");
    EXPECT_STREQ(material.m_szTexturePaths[SceneMaterial::PATH_BUMP], "");
    EXPECT_FLOAT_EQ(material.m_fRepeatV[SceneMaterial::REPEAT_DIFFUSE], 2.0f);
    EXPECT_FLOAT_EQ(material.m_fRepeatU[SceneMaterial::REPEAT_BUMP], 3.0f);
    EXPECT_FLOAT_EQ(material.m_Material.Diffuse.g, 128.0f / 255.0f);
    EXPECT_FLOAT_EQ(material.m_Material.Ambient.b, 0.3f);
    EXPECT_FLOAT_EQ(material.m_Material.Power, 0.5f);
    EXPECT_FLOAT_EQ(material.m_vRefraction[0], 1.2f);
    EXPECT_FLOAT_EQ(material.GetOptionFloat(1), 1.0f);
    EXPECT_FLOAT_EQ(material.GetOptionFloat(2), 0.5f);
    EXPECT_FLOAT_EQ(material.GetOptionFloat(7), 0.0f);
    EXPECT_FLOAT_EQ(material.m_vOpacity[0], 1.0f);
    EXPECT_FLOAT_EQ(material.m_fBumpPower, 0.1f);
    EXPECT_FLOAT_EQ(material.m_fGlossPower, 0.1f);
    EXPECT_FLOAT_EQ(material.m_fMaterialFactor, 0.6f);
    EXPECT_FLOAT_EQ(material.m_fMaterialValue1, 0.03f);
    EXPECT_FLOAT_EQ(material.m_vReflectionColor[1], 0.0f);
    EXPECT_EQ(material.m_bAlphaTransparency, 0);
    EXPECT_EQ(material.m_nMaterialIds[0], -1);
    EXPECT_EQ(material.m_bMaterialFlags[1], 1);
    EXPECT_EQ(material.m_bMaterialFlags[2], 0);
    // Without a renderer nothing is loaded: diffuse, bump and gloss have no texture.
    EXPECT_EQ(material.m_nTextureIds[0], -1);
    EXPECT_EQ(material.m_nTextureIds[1], -1);
    EXPECT_EQ(material.m_nTextureIds[3], -1);

    // The triangle without a material group takes the file's first material, in a copy of its own.
    SceneMesh& tri = Mesh(1);
    EXPECT_STREQ(tri.m_szName, "Object1");
    ASSERT_NE(tri.m_pMaterial, nullptr);
    EXPECT_NE(tri.m_pMaterial, box.m_pMaterial);
    EXPECT_STREQ(tri.m_pMaterial->m_szTexturePaths[SceneMaterial::PATH_DIFFUSE], "brick.png");

    const SceneCamera& camera = m_Store.m_Camera;
    EXPECT_FLOAT_EQ(camera.m_fFov, 48.0f);
    EXPECT_FLOAT_EQ(camera.m_fFrontClip, 1.0f);
    EXPECT_FLOAT_EQ(camera.m_fBackClip, 500.0f);
    EXPECT_FLOAT_EQ(camera.m_fAspect, 0.65f);
    ExpectVector(camera.m_RigidBody.m_vPosition, 1, 3, 2);
    ExpectVector(camera.m_vEyePosition, 1, 3, 2);
    EXPECT_FLOAT_EQ(camera.m_fControlSpeed, 25.0f);
    EXPECT_EQ(camera.m_bFog, 0);
    EXPECT_FLOAT_EQ(camera.m_fFogDensity, 0.08f);
    EXPECT_FLOAT_EQ(camera.m_vFogColor[1], 0.85f);
    EXPECT_FLOAT_EQ(camera.m_fFogScale, 0.04f);
    EXPECT_FLOAT_EQ(camera.m_fFogZ, 10.0f);
    EXPECT_EQ(camera.m_bDofActive, 0);
    EXPECT_EQ(camera.m_nDofQuality, 8);
    EXPECT_EQ(camera.m_nDofBlur, 10);

    ASSERT_EQ(m_Store.m_Lights.GetCount(), 1u);
    SceneLight& light = Light(0);
    EXPECT_STREQ(light.m_szName, "Ligth One");
    EXPECT_EQ(light.m_Light.Type, D3DLIGHT_SPOT);
    EXPECT_EQ(light.m_nLightKind, 5);
    ExpectVector(light.m_vLightPosition, 7, 9, 8);
    EXPECT_FLOAT_EQ(light.m_Light.Diffuse.b, 0.2f);
    EXPECT_FLOAT_EQ(light.m_Light.Theta, 30.0f);
    EXPECT_FLOAT_EQ(light.m_Light.Falloff, 45.0f);
    EXPECT_FLOAT_EQ(light.m_Light.Range, 10000.0f);
    EXPECT_FLOAT_EQ(light.m_Light.Attenuation2, 0.0f);
    EXPECT_EQ(light.m_bHalo, 1);
    EXPECT_FLOAT_EQ(light.m_fHaloSize, 5.0f);
    EXPECT_EQ(light.m_nLensCount, 3);
    EXPECT_FLOAT_EQ(light.m_fLensFlareDensity, 0.3f);
    EXPECT_EQ(light.m_bLightFlag, 1);
    EXPECT_EQ(light.m_nTextureId, -1);
    const std::string strCubeMap = light.m_szCubeMapPath;
    EXPECT_EQ(strCubeMap, Path("Media/Cubemap_blanc.dds")) << strCubeMap;
}

TEST_F(SceneStore3dsTest, ImportAddsAndBadFilesLeaveTheSceneAsItWas)
{
    const std::string strScene = Write("scene.3ds", BuildScene());
    ASSERT_TRUE(m_Store.Open3dsFile(strScene.c_str(), nullptr, nullptr));
    ASSERT_TRUE(m_Store.Import3dsFile(strScene.c_str(), nullptr, nullptr));
    EXPECT_EQ(m_Store.m_Meshes.GetCount(), 4u);
    EXPECT_EQ(m_Store.m_Lights.GetCount(), 2u);

    std::vector<uint8_t> garbage = BuildScene();
    PatchU16(garbage, 0, 0x1234);
    EXPECT_FALSE(m_Store.Open3dsFile(Write("garbage.3ds", garbage).c_str(), nullptr, nullptr));
    EXPECT_FALSE(m_Store.Open3dsFile("/nonexistent/scene.3ds", nullptr, nullptr));
    EXPECT_EQ(m_Store.m_Meshes.GetCount(), 4u);
    EXPECT_EQ(m_Store.m_Lights.GetCount(), 2u);

    // A mesh whose faces were refused leaves no empty scene mesh behind.
    SceneOffsets offsets;
    std::vector<uint8_t> hostile = BuildScene(&offsets);
    PatchU16(hostile, offsets.nBoxFaceCount, 5000);
    ASSERT_TRUE(m_Store.Open3dsFile(Write("hostile.3ds", hostile).c_str(), nullptr, nullptr));
    ASSERT_EQ(m_Store.m_Meshes.GetCount(), 1u);
    EXPECT_STREQ(Mesh(0).m_szName, "Object1");
}

TEST_F(SceneStore3dsTest, HostileFilesLeaveTheSceneOrLoadWholeMeshes)
{
    using Patch = void (*)(std::vector<uint8_t>&, const SceneOffsets&);
    const std::pair<const char*, Patch> patches[] = {
        {"vertex chunk longer than its mesh", [](auto& b, auto& o) { PatchU32(b, o.nBoxVertexChunkLength, 100000); }},
        {"zero-length vertex chunk", [](auto& b, auto& o) { PatchU32(b, o.nBoxVertexChunkLength, 0); }},
        {"vertex count past the chunk", [](auto& b, auto& o) { PatchU16(b, o.nBoxVertexCount, 60000); }},
        {"face count past the chunk", [](auto& b, auto& o) { PatchU16(b, o.nBoxFaceCount, 5000); }},
        {"face naming a missing vertex", [](auto& b, auto& o) { PatchU16(b, o.nBoxFirstFaceIndex, 9); }},
        {"group naming a face past the count", [](auto& b, auto& o) { PatchU16(b, o.nGroupFirstFace, 300); }},
        {"main chunk longer than the file", [](auto& b, auto&) { PatchU32(b, 2, 0x7FFFFFFF); }},
    };
    std::vector<std::pair<std::string, std::vector<uint8_t>>> cases;
    for (const auto& [szName, patch] : patches)
    {
        SceneOffsets offsets;
        std::vector<uint8_t> bytes = BuildScene(&offsets);
        patch(bytes, offsets);
        cases.push_back({szName, bytes});
    }
    const std::vector<uint8_t> whole = BuildScene();
    for (size_t n = 0; n < whole.size(); ++n)
        cases.push_back({"cut at " + std::to_string(n),
                         std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<long>(n))});

    const std::string strScene = Write("scene.3ds", whole);
    ASSERT_TRUE(m_Store.Open3dsFile(strScene.c_str(), nullptr, nullptr));
    SetLogEcho(false);
    for (const auto& [strName, bytes] : cases)
    {
        SCOPED_TRACE(strName);
        const SceneSnapshot before = Snapshot();
        if (!m_Store.Open3dsFile(Write("hostile.3ds", bytes).c_str(), nullptr, nullptr))
        {
            EXPECT_TRUE(Snapshot() == before);
            continue;
        }
        ExpectWholeMeshes();
        EXPECT_LE(m_Store.m_Meshes.GetCount(), 2u);
        EXPECT_LE(m_Store.m_Lights.GetCount(), 1u);
    }
    SetLogEcho(true);
}
