// The profile reader: defaults of a profile without sections, values and colours as written,
// theme files beside the profile, and hostile counts and names.
#include "3dapi/Profile.h"
#include "core/FileIO.h"
#include "core/Log.h"

#include <win32/testing.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <string>

namespace
{
class ProfileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetLogEcho(false);
        ClearLogLines();
    }
    void TearDown() override { SetLogEcho(true); }

    std::string Write(const std::string& name, const std::string& text)
    {
        std::string path = testing::TempDir() + name;
        EXPECT_TRUE(WriteFileAtomic(path.c_str(), text.data(), text.size()));
        return path;
    }
    static bool Logged(const std::string& text)
    {
        for (const LogLine& line : GetLogLines())
            if (line.m_strText.find(text) != std::string::npos)
                return true;
        return false;
    }
};

TEST_F(ProfileTest, ProfileWithoutSectionsGivesTheDefaults)
{
    Write("theme1.ini", "");
    Profile profile;
    profile.Load(Write("profile_empty.ini", "").c_str());
    ASSERT_EQ(profile.m_dwNumThemes, 1u);
    EXPECT_EQ(profile.m_pThemes[0].m_dwNumLandTypes, 1u);
    EXPECT_EQ(profile.m_pThemes[0].AmbientLight, 0x44444444u);
    EXPECT_FLOAT_EQ(profile.m_pThemes[0].m_pLights[0].Direction[1], -1.0f);
    EXPECT_EQ(profile.m_pThemes[0].m_pLandTypes[0].TextureCreationType, 4);
    EXPECT_EQ(profile.m_pThemes[0].m_pLandTypes[0].dwNumLayers, 1u);
    EXPECT_STREQ(profile.m_pThemes[0].m_pLandTypes[0].LayerTexture[0], "gfx\\land_sand64.bmp");
    ASSERT_EQ(profile.m_dwNumEnemyTypes, 1u);
    const EnemyType* pType = profile.GetEnemyType(0);
    EXPECT_FLOAT_EQ(pType->MaxHealth, 100.0f);
    EXPECT_FLOAT_EQ(pType->Mass, 5.0f);
    EXPECT_FLOAT_EQ(pType->Damage, 10.0f);
    EXPECT_EQ(pType->MovementType, 2);
    EXPECT_EQ(pType->AttackType, 1);
    EXPECT_EQ(profile.SelectTheme, 0);
    EXPECT_EQ(profile.SelectEnemy, 0);
    EXPECT_FLOAT_EQ(profile.FogEnd, 300.0f);
    EXPECT_FLOAT_EQ(profile.m_Bullet.RechargeTime, 1.0f);
    EXPECT_EQ(profile.m_Bullet.ParticleColorFade, 0xFF3030FFu);
    EXPECT_EQ(profile.m_Bullet.Sound.BufferCount, 1);
    EXPECT_FLOAT_EQ(profile.m_Ship.MaxShield, 100.0f);
    EXPECT_FLOAT_EQ(profile.m_ExplosionSound.MaxDistance, 10.0f);
    EXPECT_EQ(profile.NTemp[9], 1);
    EXPECT_EQ(profile.GetEnemyType(1), nullptr);
}

TEST_F(ProfileTest, ValuesAndColoursReadAsWritten)
{
    Write("theme_values.ini",
          "[GLOBAL]\nNumZoneStyles=2\nNumLights=2\nAmbientLight=0x10203040\n"
          "[ZONESTYLE1]\nTextureCreationType=FromFile\nNumLayers=5\n"
          "[ZONESTYLE2]\nTextureCreationType=CreateFromHeight\nNumLayers=2\nLayerHeight1=500\nLayerColor2=0xFF00FF00\n"
          "[LIGHT2]\nDiffuseG=0.25\n[SKY]\nOffsetY=-12.5f\n");
    std::string path = Write("profile_values.ini",
                             "[GLOBAL]\nFogEnd=300.0f\nNumEnemies=2\nSelectEnemy=2\nWorldWidth=7\n"
                             "[THEMES]\nNumThemes=1\nTheme1=theme_values.ini\nSelectTheme=1\n"
                             "[Ship]\nAccelFactor=12.5\n[BULLET1]\nVolume=-3\nAmbientLight=0x00112233\n"
                             "[ENEMY2]\nAliveColor=0x80FF0000\nDeadColor=FF0000\nEnemyMovementType=None\nMass=2.5\n");
    Profile profile;
    profile.Load(path.c_str());
    EXPECT_FLOAT_EQ(profile.FogEnd, 300.0f);
    EXPECT_EQ(profile.WorldWidth, 7);
    EXPECT_EQ(profile.SelectTheme, 0);
    EXPECT_EQ(profile.SelectEnemy, 1);
    EXPECT_FLOAT_EQ(profile.m_Ship.AccelFactor, 12.5f);
    EXPECT_EQ(profile.m_Bullet.Sound.Volume, -3);
    EXPECT_EQ(profile.m_Bullet.AmbientLight, 0x00112233u);
    ASSERT_EQ(profile.m_dwNumThemes, 1u);
    const ThemeSettings& theme = profile.m_pThemes[0];
    EXPECT_EQ(theme.AmbientLight, 0x10203040u);
    ASSERT_EQ(theme.m_dwNumLandTypes, 2u);
    EXPECT_EQ(theme.m_pLandTypes[0].TextureCreationType, 1);
    EXPECT_EQ(theme.m_pLandTypes[0].dwNumLayers, 0u);   // no layers read for "FromFile"
    EXPECT_EQ(theme.m_pLandTypes[1].dwNumLayers, 2u);
    EXPECT_FLOAT_EQ(theme.m_pLandTypes[1].LayerHeight[0], 0.5f);
    EXPECT_EQ(theme.m_pLandTypes[1].LayerColor[1], 0xFF00FF00u);
    ASSERT_EQ(theme.m_dwNumLights, 2u);
    EXPECT_FLOAT_EQ(theme.m_pLights[1].Diffuse[1], 0.25f);
    EXPECT_FLOAT_EQ(theme.Sky.OffsetY, -12.5f);
    ASSERT_EQ(profile.m_dwNumEnemyTypes, 2u);
    const EnemyType* pType = profile.GetEnemyType(1);
    EXPECT_FLOAT_EQ(pType->AliveColor[0], 1.0f);
    EXPECT_FLOAT_EQ(pType->AliveColor[1], 0.0f);
    EXPECT_FLOAT_EQ(pType->AliveColor[3], 128.0f / 255);
    for (float f : pType->DeadColor)
        EXPECT_EQ(f, 0.0f);
    EXPECT_EQ(pType->MovementType, 1);
    EXPECT_FLOAT_EQ(pType->Mass, 2.5f);
}

TEST_F(ProfileTest, HostileCountsAreCutToTheArrays)
{
    Write("theme_hostile.ini",
          "[GLOBAL]\nNumZoneStyles=-4\nNumLights=100000\n");
    Write("theme_layers.ini",
          "[GLOBAL]\nNumZoneStyles=2\n[ZONESTYLE1]\nNumLayers=12\nLayerTile12=9\n[ZONESTYLE2]\nNumLayers=-1\n");
    std::string path = Write("profile_hostile.ini", "[THEMES]\nNumThemes=2\nTheme1=theme_hostile.ini\n"
                                                    "Theme2=theme_layers.ini\n[GLOBAL]\nNumEnemies=-7\n");
    Profile profile;
    profile.Load(path.c_str());
    ASSERT_EQ(profile.m_dwNumThemes, 2u);
    EXPECT_EQ(profile.m_pThemes[0].m_dwNumLandTypes, 0u);
    EXPECT_EQ(profile.m_pThemes[0].m_dwNumLights, static_cast<DWORD>(Profile::MAX_RECORDS));
    EXPECT_EQ(profile.m_pThemes[1].m_pLandTypes[0].dwNumLayers, static_cast<DWORD>(MAX_SOURCE_TEXTURES));
    EXPECT_FLOAT_EQ(profile.m_pThemes[1].m_pLandTypes[0].LayerTile[9], 4.0f);
    EXPECT_EQ(profile.m_pThemes[1].m_pLandTypes[1].dwNumLayers, 0u);
    EXPECT_EQ(profile.m_dwNumEnemyTypes, 0u);
    EXPECT_TRUE(Logged("NumLayers 12"));
    EXPECT_TRUE(Logged("NumEnemies -7"));

    // A second load makes its arrays for its own counts.
    profile.Load(Write("profile_more.ini", "[THEMES]\nTheme1=theme_layers.ini\n[GLOBAL]\nNumEnemies=3\n").c_str());
    EXPECT_EQ(profile.m_dwNumThemes, 1u);
    EXPECT_EQ(profile.m_dwNumEnemyTypes, 3u);
    EXPECT_FLOAT_EQ(profile.GetEnemyType(2)->MaxHealth, 100.0f);
}

TEST_F(ProfileTest, AMissingThemeStopsTheLoadAfterAWarning)
{
    Profile profile;
    profile.Load(Write("profile_missing.ini", "[THEMES]\nTheme1=no-such-theme.ini\n[GLOBAL]\nFogStart=5\n").c_str());
    EXPECT_TRUE(Logged("FindMediaFileCch"));
    EXPECT_FLOAT_EQ(profile.FogStart, 5.0f);
    EXPECT_EQ(profile.m_dwNumEnemyTypes, 0u);
}

TEST_F(ProfileTest, UnknownMovementTypeIsShownAndLeavesTheField)
{
    win32::Driver driver;
    driver.answers().msgbox(IDOK);
    Write("theme_plain.ini", "");
    Profile profile;
    profile.Load(Write("profile_unknown.ini", "[THEMES]\nTheme1=theme_plain.ini\n"
                                              "[ENEMY1]\nEnemyMovementType=Teleport\n").c_str());
    EXPECT_EQ(driver.answers().pending(), 0u) << "the user was told";
    ASSERT_EQ(profile.m_dwNumEnemyTypes, 1u);
    EXPECT_EQ(profile.GetEnemyType(0)->MovementType, 0);
    EXPECT_TRUE(Logged("Unknown EnemyMovementType"));
}
}
