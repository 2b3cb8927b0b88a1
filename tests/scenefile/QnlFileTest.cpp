// ".qnl" scene files: an empty scene, a fixture laid out from the byte layout opened field by
// field and saved back byte-identically, merging, and the texture paths.
#include "../3dapi/ScriptedRenderer.h"
#include "../scene/MeshTestDevice.h"
#include "QnlFixture.h"
#include "QnlSceneTest.h"
#include "SceneMediaFiles.h"

#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "scene/SceneStore.h"

#include <cmath>

namespace
{
using namespace qnlfixture;

SceneMesh* MeshAt(SceneStore& store, uint32_t i)
{
    return static_cast<SceneMesh*>(store.m_Meshes.Get(i));
}

SceneLight* LightAt(SceneStore& store, uint32_t i)
{
    return static_cast<SceneLight*>(store.m_Lights.Get(i));
}

// Bytes of one mesh record of F triangles and of one light record.
size_t MeshRecordSize(size_t nTriangles)
{
    return 4 + 512 + 40 + 2293 + 8 + 96 * nTriangles + 344;
}
constexpr size_t LIGHT_RECORD_SIZE = 4 + 512 + 80 + 461;
}

TEST_F(QnlSceneTest, AnEmptySceneIsSceneInfoCameraAndEnd)
{
    SceneStore store;
    g_bTracePhoton = 3;
    g_bDynamicCubeMap = 0;
    g_nCubePasses = 2;
    g_nLayerPasses = 5;
    g_fLayerScale = 0.25f;
    ASSERT_TRUE(store.SaveQnlFile(Path("empty.qnl").c_str()));
    std::vector<uint8_t> bytes = ReadBytes(Path("empty.qnl"));
    ASSERT_EQ(bytes.size(), 745u);

    SceneBytes expected;
    expected.I32(TAG_INFO).Text("scene name").Text("scene name");
    // A flag is stored as 1 whatever non-zero value it holds; reserved bytes are zeros.
    expected.U8(1).U8(static_cast<uint8_t>(g_bReflection != 0)).U8(0).U8(static_cast<uint8_t>(g_bStoredOption1 != 0));
    expected.I32(2).I32(5).U8(static_cast<uint8_t>(g_bForceWireframe != 0));
    expected.U8(static_cast<uint8_t>(g_bStoredOption2 != 0)).Fill(2).F32(0.25f).F32(g_fMaterialScale).Fill(4);
    expected.I32(TAG_CAMERA);
    expected.Fill(193);
    expected.I32(TAG_END);
    // The camera block is the new camera's; compare everything around it.
    std::copy(bytes.begin() + 548, bytes.begin() + 741, expected.Get().begin() + 548);
    EXPECT_EQ(bytes, expected.Get());
    float fFov;
    std::memcpy(&fFov, bytes.data() + 548, 4);
    EXPECT_FLOAT_EQ(fFov, store.m_Camera.m_fFov);
}

TEST_F(QnlSceneTest, FixtureOpensFieldByFieldAndSavesBackByteIdentically)
{
    ASSERT_TRUE(WriteImage(Path("wall.png"), 128));
    ASSERT_TRUE(WriteBytes(Path("fixture.qnl"), Scene().Get()));
    ScriptedRenderer renderer(4);
    SceneStore store;
    g_nParticleSystems = 4;
    g_bSceneChanged = 0;
    ASSERT_TRUE(store.OpenQnlFile(Path("fixture.qnl").c_str(), &renderer, nullptr));
    EXPECT_EQ(g_bSceneChanged, 1);
    EXPECT_EQ(g_nParticleSystems, 0);

    // Render options: Trace Photon and Reflection off, flags 0 or 1, the layer passes clamped and
    // the cube passes as stored.
    EXPECT_EQ(g_bTracePhoton, 0);
    EXPECT_EQ(g_bReflection, 0);
    EXPECT_EQ(g_bDynamicCubeMap, 1);
    EXPECT_EQ(g_bStoredOption1, 0);
    EXPECT_EQ(g_nCubePasses, 100);
    EXPECT_EQ(g_nLayerPasses, 25);
    EXPECT_EQ(g_bForceWireframe, 1);
    EXPECT_EQ(g_bStoredOption2, 1);
    EXPECT_FLOAT_EQ(g_fLayerScale, 0.5f);
    EXPECT_FLOAT_EQ(g_fMaterialScale, 2.0f);

    ASSERT_EQ(store.m_Meshes.GetCount(), 2u);
    ASSERT_EQ(store.m_Materials.GetCount(), 2u);
    SceneMesh& box = *MeshAt(store, 0);
    EXPECT_STREQ(box.m_szName, "box");
    EXPECT_STREQ(box.m_szSecondName, "box second");
    EXPECT_EQ(box.m_nVertexCount, 3);
    EXPECT_EQ(box.m_nTriangleCount, 1);
    EXPECT_FLOAT_EQ(box.m_pVertices[1].vPosition.x, 4);
    EXPECT_FLOAT_EQ(box.m_pVertices[2].vPosition.z, 6);
    EXPECT_FLOAT_EQ(box.m_pVertices[1].u, 0.5f);
    EXPECT_FLOAT_EQ(box.m_pVertices[2].v, 0.25f);
    EXPECT_FLOAT_EQ(box.m_pVertices[0].vNormal.z, 1);
    EXPECT_FLOAT_EQ(box.m_vOffset.x, 2);
    EXPECT_FLOAT_EQ(box.m_vOffset.y, 1);
    EXPECT_FLOAT_EQ(box.m_vOffset.z, 3);
    EXPECT_FLOAT_EQ(box.m_vStoredPosition.z, 3);
    EXPECT_NEAR(box.m_fSphereRadius, std::sqrt(3.0f) * 3.0f, 1e-5f);   // largest extent 6
    EXPECT_EQ(box.m_nMeshFlag, 1);
    EXPECT_EQ(box.m_nSpinSpeed[1], 10);
    EXPECT_EQ(box.m_nSpinSpeed[2], -5) << "negative integer spin loads unchanged";
    EXPECT_EQ(box.m_nMeshValue1, 77);
    EXPECT_EQ(box.m_bVisible, 1);
    EXPECT_EQ(box.m_nMeshValue2, 3);
    EXPECT_EQ(box.m_bAutoSpin, 1);
    EXPECT_EQ(box.m_bWireframe, 1);
    EXPECT_FLOAT_EQ(box.m_fSpinSpeed[1], 1.5f);
    EXPECT_FLOAT_EQ(box.m_fSpinSpeed[2], 0.0f) << "negative speed loads as 0";
    EXPECT_FLOAT_EQ(box.m_matBase.e[12], 10);
    EXPECT_FLOAT_EQ(box.m_matBase.e[13], 20);
    EXPECT_FLOAT_EQ(box.m_matBase.e[14], 30);
    EXPECT_FLOAT_EQ(box.m_matBase.e[0], 1);
    EXPECT_FLOAT_EQ(box.m_vAngles.z, 0.3f);
    EXPECT_FLOAT_EQ(box.m_vScaling.y, 2);
    EXPECT_EQ(box.m_nLightFlags[31], 31);
    EXPECT_EQ(box.m_bLitBy[1], 1);
    EXPECT_EQ(box.m_bLitBy[2], 0);
    EXPECT_EQ(box.m_nMeshValue4, 99);
    EXPECT_EQ(MeshAt(store, 1)->m_nTriangleCount, 2);

    SceneMaterial& stone = *box.m_pMaterial;
    EXPECT_STREQ(stone.m_szName, "stone");
    EXPECT_EQ(store.FindMaterialByName("stone"), &stone);
    EXPECT_FLOAT_EQ(stone.m_Material.Diffuse.g, 0.7f);
    EXPECT_FLOAT_EQ(stone.m_Material.Ambient.r, 0.3f);
    EXPECT_FLOAT_EQ(stone.m_Material.Power, 2000);
    EXPECT_FLOAT_EQ(stone.m_vReflectionColor[0], 0.2f);
    EXPECT_FLOAT_EQ(stone.m_vReflectionColor[1], 0.0f);
    EXPECT_FLOAT_EQ(stone.m_vReflectionColor[2], 0.0f);
    EXPECT_FLOAT_EQ(stone.m_vReflectionColor[3], 0.7f);
    EXPECT_FLOAT_EQ(stone.m_vOpacity[0], 0.9f);
    EXPECT_FLOAT_EQ(stone.m_vRefraction[0], 1.2f);
    EXPECT_FLOAT_EQ(stone.m_vMaterialValues[3], 4);
    EXPECT_EQ(stone.m_nMaterialOptions[0], 11);
    EXPECT_EQ(stone.m_nMaterialOptions[3], 13);
    EXPECT_EQ(stone.m_nMaterialOptions[5], 15);
    EXPECT_FLOAT_EQ(stone.GetOptionFloat(1), 1.0f);
    EXPECT_FLOAT_EQ(stone.GetOptionFloat(2), 0.5f);
    EXPECT_FLOAT_EQ(stone.GetOptionFloat(6), 0.0f);
    EXPECT_FLOAT_EQ(stone.GetOptionFloat(7), 0.0f);
    EXPECT_FLOAT_EQ(stone.m_fBumpPower, 300);
    EXPECT_FLOAT_EQ(stone.m_fGlossPower, 4000);
    EXPECT_FLOAT_EQ(stone.m_fRepeatV[2], 4);
    EXPECT_FLOAT_EQ(stone.m_fRepeatU[0], 5);
    EXPECT_FLOAT_EQ(stone.m_fMaterialFactor, 0.9f);
    EXPECT_FLOAT_EQ(stone.m_fMaterialValue1, 0.5f);
    EXPECT_EQ(stone.m_bAlphaTransparency, 0);
    uint8_t valueBytes[4];
    std::memcpy(valueBytes, &stone.m_fMaterialValue2, 4);
    EXPECT_EQ(valueBytes[0], 0x5A);
    EXPECT_STREQ(stone.m_szTexturePaths[SceneMaterial::PATH_DIFFUSE], "wall.png");
    EXPECT_STREQ(stone.m_szTexturePaths[SceneMaterial::PATH_GLOSS], "");
    EXPECT_STREQ(stone.m_szTexturePaths[SceneMaterial::PATH_BUMP], "NONE");
    EXPECT_STREQ(stone.m_szTexturePaths[3], "second.png");
    EXPECT_STREQ(stone.m_szTexturePaths[5], "refl.dds");
    EXPECT_STREQ(stone.m_szTexturePaths[6], "opacity.png");
    EXPECT_EQ(stone.m_nMaterialIds[0], -1);
    EXPECT_EQ(stone.m_nMaterialIds[2], 5);
    EXPECT_EQ(stone.m_bMaterialFlags[1], 1);
    EXPECT_EQ(stone.m_bMaterialFlags[2], 0);
    // Diffuse found beside the scene; bump ("NONE") and gloss ("") load the media white image.
    EXPECT_GE(stone.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE], 0);
    EXPECT_GE(stone.m_nTextureIds[SceneMaterial::TEXTURE_BUMP], 0);
    EXPECT_GE(stone.m_nTextureIds[SceneMaterial::TEXTURE_GLOSS], 0);
    EXPECT_EQ(stone.m_nTextureIds[SceneMaterial::TEXTURE_CUBE], -1);
    EXPECT_EQ(store.FindTextureId("wall.png", TEXTURE_NO_MIPMAPS), stone.m_nTextureIds[0]);

    SceneMaterial& glass = *MeshAt(store, 1)->m_pMaterial;
    EXPECT_STREQ(glass.m_szName, "glass");
    EXPECT_FLOAT_EQ(glass.m_fMaterialValue1, 0.03f) << "an old value above 1 is replaced";
    EXPECT_FLOAT_EQ(glass.m_fMaterialFactor, 0.6f);
    // Both materials name the same files: each file is loaded once per load flags.
    EXPECT_EQ(glass.m_nTextureIds[0], stone.m_nTextureIds[0]);
    EXPECT_EQ(store.m_Textures.GetCount(), 3u);

    ASSERT_EQ(store.m_Lights.GetCount(), 1u);
    SceneLight& lamp = *LightAt(store, 0);
    EXPECT_STREQ(lamp.m_szName, "lamp");
    EXPECT_STREQ(lamp.m_szSecondName, "lamp second");
    EXPECT_EQ(lamp.m_Light.Type, D3DLIGHT_SPOT);
    EXPECT_EQ(lamp.m_nLightKind, 5);
    EXPECT_FLOAT_EQ(lamp.m_Light.Diffuse.g, 0.9f);
    EXPECT_FLOAT_EQ(lamp.m_Light.Direction.y, -1);
    EXPECT_FLOAT_EQ(lamp.m_Light.Range, 100000.0f);
    EXPECT_FLOAT_EQ(lamp.m_Light.Falloff, 0.01f);
    EXPECT_FLOAT_EQ(lamp.m_Light.Attenuation0, 1);
    EXPECT_FLOAT_EQ(lamp.m_Light.Attenuation1, 0) << "negative attenuation loads as 0";
    EXPECT_FLOAT_EQ(lamp.m_Light.Attenuation2, 0.25f);
    EXPECT_FLOAT_EQ(lamp.m_Light.Phi, 0.8f);
    EXPECT_EQ(lamp.m_bHalo, 1);
    EXPECT_FLOAT_EQ(lamp.m_fHaloValue1, 0.5f);
    EXPECT_FLOAT_EQ(lamp.m_fHaloSize, 5);
    EXPECT_FLOAT_EQ(lamp.m_fHaloValue2, 0.25f);
    EXPECT_FLOAT_EQ(lamp.m_fHaloPower, 1);
    EXPECT_EQ(lamp.m_bLensFlare, 0);
    EXPECT_EQ(lamp.m_bLensFlareRing, 1);
    EXPECT_EQ(lamp.m_nLensCount, 3);
    EXPECT_FLOAT_EQ(lamp.m_fLensFlareSize, 120);
    EXPECT_FLOAT_EQ(lamp.m_fLensFlareDensity, 0.3f);
    EXPECT_EQ(lamp.m_bLightFlag, 1);
    EXPECT_EQ(lamp.m_bCone, 0);
    EXPECT_EQ(lamp.m_nConeQuality, 32);
    EXPECT_FLOAT_EQ(lamp.m_fDustDensity, 0.08f);
    EXPECT_FLOAT_EQ(lamp.m_fNoiseScale, 0.04f);
    EXPECT_EQ(lamp.m_nTextureId, -1);
    EXPECT_EQ(std::string(lamp.m_szCubeMapPath), m_strDir + "Media/Cubemap_blanc.dds");
    EXPECT_FLOAT_EQ(lamp.m_vLightPosition.x, 7) << "the block's position wins over the transform's";
    EXPECT_FLOAT_EQ(lamp.m_vLightVector2.z, 2);
    EXPECT_EQ(lamp.m_nLightOptions[5], 26);

    SceneCamera& camera = store.m_Camera;
    EXPECT_FLOAT_EQ(camera.m_fFov, 1.0f);
    EXPECT_FLOAT_EQ(camera.m_fAspect, 1.25f);
    EXPECT_FLOAT_EQ(camera.m_fBackClip, 9000);
    EXPECT_EQ(camera.m_nDofQuality, 8) << "quality 0 loads as 8";
    EXPECT_EQ(camera.m_nDofBlur, 100) << "blur clamped to 100";
    EXPECT_FLOAT_EQ(camera.m_fDofFar, 400);
    EXPECT_FLOAT_EQ(camera.m_fDofNear, 50);
    EXPECT_FLOAT_EQ(camera.m_fControlSpeed, 500);
    EXPECT_FLOAT_EQ(camera.m_fFogDensity, 0.08f);
    EXPECT_FLOAT_EQ(camera.m_fStoredValue1, 0.2f);
    EXPECT_FLOAT_EQ(camera.m_fStoredValue2, 20);
    EXPECT_FLOAT_EQ(camera.m_fStoredValues[3], 4);
    EXPECT_FLOAT_EQ(camera.m_vFogColor[0], 0.75f);
    EXPECT_FLOAT_EQ(camera.m_vFogColor[1], 0.85f);
    EXPECT_FLOAT_EQ(camera.m_vFogColor[2], 0.75f);
    EXPECT_FLOAT_EQ(camera.m_vFogColor[3], 0.4f);
    EXPECT_EQ(camera.m_bFog, 0);
    EXPECT_FLOAT_EQ(camera.m_fFogScale, 0.04f);
    EXPECT_FLOAT_EQ(camera.m_fFogZ, 10);
    EXPECT_EQ(camera.m_bDofActive, 1);
    EXPECT_FLOAT_EQ(camera.m_vEyePosition.y, 2);
    EXPECT_FLOAT_EQ(camera.m_vStoredVector2.z, 9);
    EXPECT_FLOAT_EQ(camera.m_RigidBody.m_vPosition.z, 30);
    EXPECT_FLOAT_EQ(camera.m_RigidBody.m_vVelocity.x, 1);
    EXPECT_FLOAT_EQ(camera.m_RigidBody.m_qOrientation.w, 1) << "orientation normalised";
    EXPECT_FLOAT_EQ(camera.m_RigidBody.m_vAngularVelocity.y, 0.1f);

    // Saved, reopened and saved again: the two saves are the same bytes.
    ASSERT_TRUE(store.SaveQnlFile(Path("first.qnl").c_str()));
    std::vector<uint8_t> first = ReadBytes(Path("first.qnl"));
    EXPECT_EQ(first.size(), 4 + 540 + MeshRecordSize(1) + MeshRecordSize(2) + LIGHT_RECORD_SIZE + 4 + 193 + 4);
    // The fixture's junk in reserved places is not carried over: zeros there.
    const size_t nOptions = 4 + 512;
    const size_t nSpareBytes = 4 + 540 + 4 + 512 + 40 + 2293 + 8 + 96 + 33;
    for (size_t nOffset : {nOptions + 14, nOptions + 15, nOptions + 24, nOptions + 27, nSpareBytes, nSpareBytes + 2})
        EXPECT_EQ(first[nOffset], 0) << nOffset;
    EXPECT_EQ(first[nSpareBytes - 1], 1) << "the wireframe byte";
    SceneStore reopened;
    ASSERT_TRUE(reopened.OpenQnlFile(Path("first.qnl").c_str(), &renderer, nullptr));
    EXPECT_STREQ(reopened.FindMaterialByName("stone")->m_szTexturePaths[SceneMaterial::PATH_BUMP], "NONE");
    EXPECT_GE(reopened.FindMaterialByName("stone")->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE], 0);
    ASSERT_TRUE(reopened.SaveQnlFile(Path("second.qnl").c_str()));
    EXPECT_EQ(ReadBytes(Path("second.qnl")), first);
    EXPECT_EQ(m_nBoxes, 0);
    renderer.ReleaseAll();
}

TEST_F(QnlSceneTest, MergeAddsMeshesAndLightsAndOverwritesMaterialsButKeepsOptionsAndCamera)
{
    ScriptedRenderer renderer(4);
    SceneStore store;
    ASSERT_TRUE(WriteBytes(Path("base.qnl"), Scene().Get()));
    ASSERT_TRUE(store.OpenQnlFile(Path("base.qnl").c_str(), &renderer, nullptr));
    SceneMaterial* pStone = store.FindMaterialByName("stone");
    ASSERT_NE(pStone, nullptr);
    pStone->m_Material.Diffuse.r = 0.1f;
    g_bTracePhoton = 1;
    g_nLayerPasses = 3;
    store.m_Camera.m_fFov = 0.5f;
    store.m_Camera.m_nDofQuality = 4;

    // Another file: "box" again with material "stone", a light, its own options and camera.
    SceneBytes other;
    other.Append(SceneInfo()).Append(MeshRecord(Box())).Append(LightRecord(1)).Append(CameraRecord()).Append(End());
    ASSERT_TRUE(WriteBytes(Path("other.qnl"), other.Get()));
    g_bSceneChanged = 0;
    ASSERT_TRUE(store.MergeQnlFile(Path("other.qnl").c_str(), &renderer, nullptr));
    EXPECT_EQ(g_bSceneChanged, 1);

    ASSERT_EQ(store.m_Meshes.GetCount(), 3u);
    EXPECT_STREQ(MeshAt(store, 2)->m_szName, "box") << "same-named meshes are added again";
    EXPECT_EQ(MeshAt(store, 2)->m_pMaterial, pStone);
    EXPECT_EQ(MeshAt(store, 0)->m_pMaterial, pStone);
    EXPECT_EQ(store.m_Materials.GetCount(), 2u);
    EXPECT_FLOAT_EQ(pStone->m_Material.Diffuse.r, 0.8f) << "overwritten in place by the merged block";
    ASSERT_EQ(store.m_Lights.GetCount(), 2u);
    EXPECT_EQ(LightAt(store, 1)->m_nLightKind, 2) << "a point light";
    EXPECT_EQ(g_bTracePhoton, 1);
    EXPECT_EQ(g_nLayerPasses, 3);
    EXPECT_FLOAT_EQ(store.m_Camera.m_fFov, 0.5f);
    EXPECT_EQ(store.m_Camera.m_nDofQuality, 4);
    renderer.ReleaseAll();
}

TEST_F(QnlSceneTest, TexturesResolveBesideTheSceneAndByLoadFlags)
{
    // The scene lies in a sub-folder; the process's current directory is elsewhere.
    std::filesystem::create_directory(Path("scenes"));
    ASSERT_TRUE(WriteImage(Path("scenes/wall.png"), 200));
    ASSERT_TRUE(WriteBytes(Path("scenes/s.qnl"), Scene().Get()));
    ScriptedRenderer renderer(4);
    SceneStore store;
    ASSERT_TRUE(store.OpenQnlFile(Path("scenes/s.qnl").c_str(), &renderer, nullptr));
    SceneMaterial* pStone = store.FindMaterialByName("stone");
    ASSERT_NE(pStone, nullptr);
    EXPECT_GE(pStone->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE], 0);
    // "NONE" (bump) and "" (gloss) both load white.jpg, but as a normal map and as a plain
    // image: two textures.
    int nBump = pStone->m_nTextureIds[SceneMaterial::TEXTURE_BUMP];
    int nGloss = pStone->m_nTextureIds[SceneMaterial::TEXTURE_GLOSS];
    EXPECT_GE(nBump, 0);
    EXPECT_GE(nGloss, 0);
    EXPECT_NE(nBump, nGloss);

    // Without the file beside the scene or in the media directory the id is -1, and a later
    // open tries again.
    std::filesystem::remove(Path("scenes/wall.png"));
    SceneStore missing;
    ASSERT_TRUE(missing.OpenQnlFile(Path("scenes/s.qnl").c_str(), &renderer, nullptr));
    EXPECT_EQ(missing.FindMaterialByName("stone")->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE], -1);

    // A stripped name that only the media directory holds (an old file's long path) is found.
    ASSERT_TRUE(WriteImage(Path("Media/wall.png"), 60));
    SceneStore media;
    ASSERT_TRUE(media.OpenQnlFile(Path("scenes/s.qnl").c_str(), &renderer, nullptr));
    EXPECT_GE(media.FindMaterialByName("stone")->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE], 0);
    renderer.ReleaseAll();
}

TEST_F(QnlSceneTest, VerticesAreSavedAsTheVertexBufferHoldsThemAndLightsGetTheCubeMap)
{
    MeshTestDevice device;
    ASSERT_NE(device.Get(), nullptr);
    ASSERT_TRUE(WriteBytes(Path("Media/Cubemap_blanc.dds"), TinyCubeDds()));
    ASSERT_TRUE(WriteBytes(Path("fixture.qnl"), Scene().Get()));
    SceneStore store;
    ASSERT_TRUE(store.OpenQnlFile(Path("fixture.qnl").c_str(), nullptr, device.Get()));
    ASSERT_EQ(store.m_Lights.GetCount(), 1u);
    EXPECT_NE(LightAt(store, 0)->m_pCubeTexture, nullptr);

    // The buffer edits change only the vertex buffer; the file gets what is drawn, with the
    // texture coordinates divided by the texture size, and the mesh keeps its own.
    SceneMesh& box = *MeshAt(store, 0);
    ASSERT_EQ(box.CreateVertexBuffers(device.Get()), D3D_OK);
    ASSERT_EQ(box.FlipNormals(), D3D_OK);
    box.m_fTextureWidth = 2;
    ASSERT_TRUE(store.SaveQnlFile(Path("saved.qnl").c_str()));
    std::vector<uint8_t> bytes = ReadBytes(Path("saved.qnl"));
    const size_t nVertices = 4 + 540 + 4 + 512 + 40 + 2293 + 8;
    float fNormalZ, fU;
    std::memcpy(&fNormalZ, bytes.data() + nVertices + 20, 4);
    std::memcpy(&fU, bytes.data() + nVertices + 32 + 24, 4);
    EXPECT_FLOAT_EQ(fNormalZ, -1.0f);
    EXPECT_FLOAT_EQ(fU, 0.25f);
    EXPECT_FLOAT_EQ(box.m_pVertices[1].u, 0.5f);
    EXPECT_FLOAT_EQ(box.m_pVertices[0].vNormal.z, 1.0f);

    // The second store of the application reads no lights.
    SceneStore second;
    second.m_bAddLights = 0;
    ASSERT_TRUE(second.OpenQnlFile(Path("fixture.qnl").c_str(), nullptr, device.Get()));
    EXPECT_EQ(second.m_Lights.GetCount(), 0u);
    EXPECT_EQ(second.m_Meshes.GetCount(), 2u);
}
