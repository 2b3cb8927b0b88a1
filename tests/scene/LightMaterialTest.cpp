#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"

#include <gtest/gtest.h>

#include <cstring>
#include <typeinfo>

TEST(SceneLightTest, Defaults)
{
    SceneLight light;
    struct Field
    {
        const char* szName;
        int nValue;
        int nExpected;
    };
    const Field fields[] = {
        {"m_nType", light.m_nType, 3},
        {"m_bEnabled", light.m_bEnabled, 1},
        {"m_nTextureId", light.m_nTextureId, -1},
        {"m_nTextureId2", light.m_nTextureId2, -1},
        {"m_nRefCount", light.m_nRefCount, 0},
        {"m_bHalo", light.m_bHalo, 0},
        {"m_bLensFlare", light.m_bLensFlare, 0},
        {"m_bCone", light.m_bCone, 0},
    };
    for (const Field& f : fields)
        EXPECT_EQ(f.nValue, f.nExpected) << f.szName;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(light.m_nLightOptions[i], 1) << "option " << i;
    EXPECT_EQ(light.m_pCubeTexture, nullptr);
    EXPECT_STREQ(light.m_szCubeMapPath, "");
    // 104 bytes: the scene files store the record as it stands.
    EXPECT_EQ(sizeof(light.m_Light), 104u);
}

TEST(SceneMaterialTest, Defaults)
{
    SceneMaterial material;
    struct Field
    {
        const char* szName;
        double fValue;
        double fExpected;
    };
    const Field fields[] = {
        {"diffuse r", material.m_Material.Diffuse.r, 1},
        {"diffuse g", material.m_Material.Diffuse.g, 1},
        {"diffuse b", material.m_Material.Diffuse.b, 1},
        {"specular r", material.m_Material.Specular.r, 1},
        {"specular g", material.m_Material.Specular.g, 1},
        {"specular b", material.m_Material.Specular.b, 1},
        {"opacity 0", material.m_vOpacity[0], 1},
        {"opacity 1", material.m_vOpacity[1], 1},
        {"opacity 2", material.m_vOpacity[2], 1},
        {"bump power", material.m_fBumpPower, 1},
        {"gloss power", material.m_fGlossPower, 1},
        {"diffuse repeat u", material.m_fRepeatU[SceneMaterial::REPEAT_DIFFUSE], 1},
        {"diffuse repeat v", material.m_fRepeatV[SceneMaterial::REPEAT_DIFFUSE], 1},
        {"material factor", material.m_fMaterialFactor, 1},
        {"option 4", static_cast<double>(material.m_nMaterialOptions[4]), 1},
        {"option 5", static_cast<double>(material.m_nMaterialOptions[5]), 1},
        {"material id 0", static_cast<double>(material.m_nMaterialIds[0]), -1},
        {"material id 1", static_cast<double>(material.m_nMaterialIds[1]), -1},
        {"material byte", static_cast<double>(material.m_bMaterialByte), 0},
        {"material value", static_cast<double>(material.m_nMaterialValue), 1},
        {"type", static_cast<double>(material.m_nType), 0},
    };
    for (const Field& f : fields)
        EXPECT_EQ(f.fValue, f.fExpected) << f.szName;
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(material.m_bMapFlags[i], 1) << "map flag " << i;
    for (int i = 0; i < SceneMaterial::TEXTURE_PATH_COUNT; ++i)
        EXPECT_STREQ(material.m_szTexturePaths[i], "") << "path " << i;
}

TEST(SceneMaterialTest, AssignmentCopiesEveryMemberAndKeepsTheClass)
{
    SceneMaterial source;
    source.SetName("Brick");
    source.m_Material.Power = 5000.0f;
    source.m_vReflectionColor[2] = 0.25f;
    source.m_vRefraction[0] = 1.33f;
    source.m_fBumpPower = 200.0f;
    const char* paths[SceneMaterial::TEXTURE_PATH_COUNT] = {"brick.jpg", "gloss.jpg", "bump.jpg", "a", "b", "c", "d"};
    for (int i = 0; i < SceneMaterial::TEXTURE_PATH_COUNT; ++i)
        CopySceneName(source.m_szTexturePaths[i], paths[i]);
    for (int i = 0; i < 8; ++i)
    {
        source.m_fRepeatU[i] = 1.0f + i;
        source.m_fRepeatV[i] = 2.0f + i;
    }
    for (int i = 0; i < 16; ++i)
        source.m_nTextureIds[i] = 100 + i;
    source.m_nMaterialIds[0] = 3;
    source.SetOptionFloat(1, 0.5f);
    source.m_bMaterialFlags[1] = 1;
    source.m_bAlphaTransparency = 1;
    source.m_vTracerColor[1] = 0.75f;

    SceneMaterial* pCopy = new SceneMaterial;
    pCopy->SetName("Detached");
    *pCopy = source;
    SceneObject* pObject = pCopy;
    EXPECT_TRUE(typeid(*pObject) == typeid(SceneMaterial));
    EXPECT_STREQ(pCopy->m_szName, "Brick");
    EXPECT_EQ(pCopy->m_Material.Power, 5000.0f);
    EXPECT_EQ(pCopy->m_Material.Diffuse.r, 1.0f);
    EXPECT_EQ(pCopy->m_vReflectionColor[2], 0.25f);
    EXPECT_EQ(pCopy->m_vRefraction[0], 1.33f);
    EXPECT_EQ(pCopy->m_fBumpPower, 200.0f);
    for (int i = 0; i < SceneMaterial::TEXTURE_PATH_COUNT; ++i)
        EXPECT_STREQ(pCopy->m_szTexturePaths[i], paths[i]);
    for (int i = 0; i < 8; ++i)
    {
        EXPECT_EQ(pCopy->m_fRepeatU[i], 1.0f + i);
        EXPECT_EQ(pCopy->m_fRepeatV[i], 2.0f + i);
    }
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(pCopy->m_nTextureIds[i], 100 + i);
    EXPECT_EQ(pCopy->m_nMaterialIds[0], 3);
    EXPECT_EQ(pCopy->GetOptionFloat(1), 0.5f);
    EXPECT_EQ(pCopy->m_bMaterialFlags[1], 1);
    EXPECT_EQ(pCopy->m_bAlphaTransparency, 1);
    EXPECT_EQ(pCopy->m_vTracerColor[1], 0.75f);
    delete pObject;
}
