#include "scene/MediaDirectory.h"
#include "scene/RenderOptions.h"

#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

TEST(RenderOptionsTest, StartUpValuesAreThoseLoadLeaves)
{
    // Load runs after Init: 32 direct photons, not Init's 48, and Load's Gaussian coefficients.
    EXPECT_EQ(g_nDirectPhoton, 32);
    EXPECT_FLOAT_EQ(g_fDirectGaussianCoef, 0.5f);
    EXPECT_FLOAT_EQ(g_fGlobalGaussianCoef, 0.05f);
    EXPECT_EQ(g_nGlobalPhoton, 512);
    EXPECT_EQ(g_nDirectEmanateTile, 3);
    EXPECT_EQ(g_nGlobalEmanateTile, 1);
    EXPECT_EQ(g_nPhotonBlock, 24);
    EXPECT_EQ(g_bDirectIllumination, 1);
    EXPECT_EQ(g_bGlobalIllumination, 1);
    EXPECT_EQ(g_bTracePhoton, 0);
    EXPECT_EQ(g_bReflection, 0);
    EXPECT_EQ(g_nLayerPasses, 1);
    EXPECT_FLOAT_EQ(g_fLayerScale, 0.0f);
    EXPECT_FLOAT_EQ(g_fMaterialScale, 1.0f);
    EXPECT_EQ(g_bStoredOption1, 1);
    EXPECT_EQ(g_bStoredOption2, 0);
    EXPECT_EQ(g_bUseSortedPass, 1);
    EXPECT_EQ(g_nSamplingLevel, 2);
    EXPECT_EQ(g_bSceneChanged, 1);
}

TEST(RenderOptionsTest, OutputSizePresetsMatchTheirLabels)
{
    for (int i = 0; i < OUTPUT_SIZE_PRESET_COUNT; ++i)
    {
        const OutputSizePreset& preset = g_OutputSizePresets[i];
        // Every label ends in its own "WxH".
        std::string strSize = std::to_string(preset.m_nWidth) + "x" + std::to_string(preset.m_nHeight);
        std::string strLabel = preset.m_szLabel;
        ASSERT_GE(strLabel.size(), strSize.size());
        EXPECT_EQ(strLabel.substr(strLabel.size() - strSize.size()), strSize) << i;
    }
    EXPECT_STREQ(g_OutputSizePresets[0].m_szLabel, "Format Screen 320x240");
    EXPECT_STREQ(g_OutputSizePresets[22].m_szLabel, "Format 70 mm High 4096x1862");
    EXPECT_STREQ(g_OutputSizePresets[25].m_szLabel, "Format 70mm IMax Low 1536x1126");
    EXPECT_EQ(GetOutputSizePreset(1).m_nWidth, 640);
    EXPECT_EQ(GetOutputSizePreset(26).m_nWidth, 640);
    EXPECT_EQ(GetOutputSizePreset(-1).m_nHeight, 480);
    EXPECT_EQ(GetOutputSizePreset(18).m_nHeight, 2732);
}

TEST(RenderOptionsTest, MediaDirectoryFollowsTheWorkingDirectoryAndRefusesWhatDoesNotFit)
{
    SetLogEcho(false);
    char szSaved[MEDIA_PATH_SIZE];
    std::memcpy(szSaved, g_szWorkingDir, sizeof(szSaved));
    char szPath[MEDIA_PATH_SIZE];

    std::strcpy(g_szWorkingDir, "/home/user/quenlaris");
    ASSERT_TRUE(SetMediaDirectory());
    EXPECT_STREQ(g_szMediaDir, "/home/user/quenlaris/Media/");
    ASSERT_TRUE(BuildMediaPath("white.jpg", szPath));
    EXPECT_STREQ(szPath, "/home/user/quenlaris/Media/white.jpg");

    g_szWorkingDir[0] = '\0';
    ASSERT_TRUE(SetMediaDirectory());
    EXPECT_STREQ(g_szMediaDir, "Media/");

    // A working directory of 240 characters: the media directory (247) fits, and so does a short
    // name after it, but not the cube map's.
    std::string strLong = "/" + std::string(239, 'd');
    std::strcpy(g_szWorkingDir, strLong.c_str());
    ASSERT_TRUE(SetMediaDirectory());
    EXPECT_EQ(std::strlen(g_szMediaDir), 247u);
    EXPECT_TRUE(BuildMediaPath("a.jpg", szPath));
    EXPECT_FALSE(BuildMediaPath("Cubemap_blanc.dds", szPath));
    EXPECT_STREQ(szPath, "");

    // 249 + "/Media/" needs 257 bytes with the terminator.
    std::strcpy(g_szWorkingDir, ("/" + std::string(248, 'd')).c_str());
    EXPECT_FALSE(SetMediaDirectory());
    EXPECT_STREQ(g_szMediaDir, "");
    EXPECT_FALSE(BuildMediaPath("white.jpg", szPath));

    std::memcpy(g_szWorkingDir, szSaved, sizeof(szSaved));
    SetMediaDirectory();
    SetLogEcho(true);
}
