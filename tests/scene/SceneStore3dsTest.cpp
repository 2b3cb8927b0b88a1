// Import of 3DS files into the scene store, from the reader tests' file written to disk: meshes
// with their corners reordered and y and z exchanged, one material per mesh, the spot light and
// the first camera; files that cannot be read leave the scene as it was.
#include "L3DSFixtureBytes.h"

#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace l3ds_fixture;

namespace
{
class SceneStore3dsTest : public ::testing::Test
{
protected:
    std::string Write(const char* szName, const std::vector<uint8_t>& bytes)
    {
        std::filesystem::path path = std::filesystem::temp_directory_path() /
                                     ("quen_3ds_" + std::to_string(::getpid()) + "_" + szName);
        std::ofstream file(path, std::ios::binary);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        m_Files.push_back(path);
        return path.string();
    }
    void TearDown() override
    {
        for (const auto& path : m_Files)
            std::filesystem::remove(path);
    }

    SceneMesh& Mesh(uint32_t i) { return *static_cast<SceneMesh*>(m_Store.m_Meshes.Get(i)); }
    SceneLight& Light(uint32_t i) { return *static_cast<SceneLight*>(m_Store.m_Lights.Get(i)); }

    SceneStore m_Store;
    std::vector<std::filesystem::path> m_Files;
};

void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}
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
    EXPECT_FLOAT_EQ(material.GetOptionFloat(2), 0.5f);
    EXPECT_EQ(material.m_nMaterialIds[0], -1);

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
    ExpectVector(camera.m_vEyePosition, 1, 3, 2);
    EXPECT_FLOAT_EQ(camera.m_fControlSpeed, 25.0f);

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
    EXPECT_EQ(light.m_nTextureId, -1);
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
