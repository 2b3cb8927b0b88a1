// The texture and shader tables: slot allocation and reuse, the records AddTexture makes from its
// flags, and the ids of programs that do or do not assemble.
#include "ScriptedRenderer.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace
{
using Calls = std::vector<std::string>;

TEST(RendererTextures, DestroyedSlotsAreReusedLowestFirstAndNextTextureWalksTheUsedOnes)
{
    ScriptedRenderer renderer(1);
    EXPECT_EQ(renderer.NextTexture(-1), -1);
    EXPECT_EQ(renderer.AddTexture(ScriptedRenderer::NewImage(), 0), 0);
    EXPECT_EQ(renderer.AddTexture(ScriptedRenderer::NewImage(), 0), 1);
    EXPECT_EQ(renderer.AddTexture(ScriptedRenderer::NewImage(), 0), 2);
    renderer.DestroyTexture(1);
    EXPECT_EQ(renderer.NextTexture(-1), 0);
    EXPECT_EQ(renderer.NextTexture(0), 2);
    EXPECT_EQ(renderer.NextTexture(2), -1);

    renderer.Take();
    renderer.DestroyTexture(1);   // already free
    renderer.DestroyTexture(7);   // never handed out
    renderer.DestroyTexture(-1);
    EXPECT_TRUE(renderer.Take().empty());

    EXPECT_EQ(renderer.AddTexture(ScriptedRenderer::NewImage(), 0), 1);
    EXPECT_EQ(renderer.GetTextureCount(), 3);
    renderer.ReleaseAll();
}

TEST(RendererTextures, FlagsBecomeTheEntrysFilterClampsAndFlagByte)
{
    struct Case
    {
        int nFlags;
        int nFilter;
        bool bClampS, bClampT, bFlag;
    };
    const Case cases[] = {
        {0, 0, false, false, false},
        {16, 16, false, false, false},
        {16 | 64, 64, false, false, false},
        {32 | 128 | 16, 128, false, false, false},
        {256, 0, true, false, false},
        {512 | 1024, 0, false, true, false},
        {4 | 2, 0, false, false, true},
    };
    ScriptedRenderer renderer(1);
    for (const Case& c : cases)
    {
        int nId = renderer.AddTexture(ScriptedRenderer::NewImage(), c.nFlags);
        ASSERT_GE(nId, 0);
        const TextureEntry* pEntry = renderer.GetTextureEntry(nId);
        EXPECT_EQ(pEntry->m_nFilter, c.nFilter) << c.nFlags;
        EXPECT_EQ(pEntry->m_bClampS, c.bClampS) << c.nFlags;
        EXPECT_EQ(pEntry->m_bClampT, c.bClampT) << c.nFlags;
        EXPECT_FALSE(pEntry->m_bClampR) << c.nFlags;   // 2D textures never clamp R
        EXPECT_EQ(pEntry->m_bFlag, c.bFlag) << c.nFlags;
        EXPECT_EQ(pEntry->m_nType, TEXTURE_2D);
        EXPECT_FALSE(pEntry->m_bRenderTarget);
    }
    renderer.ReleaseAll();
}

TEST(RendererTextures, NewEntriesTakeTheDeviceAnisotropyOnlyWhileAnisotropicIsOn)
{
    ScriptedRenderer renderer(1);
    EXPECT_TRUE(renderer.GetAnisotropic());
    int nOn = renderer.AddTexture(ScriptedRenderer::NewImage(), 0);
    renderer.SetAnisotropic(false);
    int nOff = renderer.AddTexture(ScriptedRenderer::NewImage(), 0);
    EXPECT_EQ(renderer.GetTextureEntry(nOn)->m_nAnisotropy, 8);
    EXPECT_EQ(renderer.GetTextureEntry(nOff)->m_nAnisotropy, 1);
    renderer.ReleaseAll();
}

TEST(RendererTextures, AFailedUploadReleasesTheDeviceTextureAndStoresNothing)
{
    ScriptedRenderer renderer(1);
    renderer.m_bFailUpload = true;
    EXPECT_EQ(renderer.AddTexture(ScriptedRenderer::NewImage(), 0), -1);
    EXPECT_EQ(renderer.Take(), (Calls{"CreateDeviceTexture", "UploadTexture", "ReleaseDeviceTexture"}));
    EXPECT_EQ(renderer.GetTextureCount(), 0);
    EXPECT_EQ(renderer.AddTexture(nullptr, 0), -1);
}

TEST(RendererTextures, HeightMapsBecomeNormalMapsWithTheirOwnChain)
{
    ScriptedRenderer renderer(1);
    int nId = renderer.AddTexture(ScriptedRenderer::NewImage(4), TEXTURE_HEIGHT_MAP);
    ASSERT_GE(nId, 0);
    const PixelImage* pImage = renderer.GetTextureEntry(nId)->m_pImages[0];
    EXPECT_EQ(pImage->GetFormat(), RGB8);
    EXPECT_EQ(pImage->mipCount, 3);   // 4x4, 2x2, 1x1
    renderer.ReleaseAll();
}

TEST(RendererTextures, AnUnreadableFileGivesNoId)
{
    ScriptedRenderer renderer(1);
    SetLogEcho(false);
    EXPECT_EQ(renderer.LoadTexture("/nonexistent/missing.png", 0), -1);
    SetLogEcho(true);
    EXPECT_EQ(renderer.LoadTexture(nullptr, 0), -1);
    EXPECT_TRUE(renderer.Take().empty());
}

TEST(RendererTextures, LoadedFilesGetTheLoadersChainUnlessTheyAreHeightMaps)
{
    std::string strPath = testing::TempDir() + "renderer_texture_test.tga";
    ScriptedRenderer renderer(1);
    std::unique_ptr<PixelImage> pSource(ScriptedRenderer::NewImage(4));
    ASSERT_TRUE(pSource->Save(strPath.c_str(), renderer.GetRgbOrder(), 100));

    struct Case
    {
        int nFlags;
        int nFormat;
    };
    const Case cases[] = {{0, RGBA8}, {TEXTURE_NO_MIPMAPS, RGBA8}, {TEXTURE_HEIGHT_MAP, RGB8}};
    for (const Case& c : cases)
    {
        int nId = renderer.LoadTexture(strPath.c_str(), c.nFlags);
        ASSERT_GE(nId, 0) << c.nFlags;
        const PixelImage* pImage = renderer.GetTextureEntry(nId)->m_pImages[0];
        EXPECT_EQ(pImage->GetFormat(), c.nFormat) << c.nFlags;
        EXPECT_EQ(pImage->mipCount, 3) << c.nFlags;   // 4x4, 2x2, 1x1
        if (c.nFlags != TEXTURE_HEIGHT_MAP)
        {
            EXPECT_EQ(std::memcmp(pImage->pixels, pSource->pixels, 64), 0) << c.nFlags;
        }
    }
    renderer.ReleaseAll();
    std::remove(strPath.c_str());
}

TEST(RendererShaders, ProgramsThatAssembleGetConsecutiveIdsAndFreedIdsAreReused)
{
    ScriptedRenderer renderer(1);
    EXPECT_EQ(renderer.CreatePixelShader(0), 0);
    EXPECT_EQ(renderer.CreatePixelShader(1), 1);
    EXPECT_EQ(renderer.CreatePixelShader(2), 2);
    renderer.Take();
    renderer.DestroyPixelShader(1);
    renderer.DestroyPixelShader(1);
    EXPECT_EQ(renderer.Take(), (Calls{"ReleasePixelShader"}));
    EXPECT_EQ(renderer.CreatePixelShader(5), 1);
    EXPECT_EQ(renderer.GetPixelShaderEntry(1)->m_nResourceIndex, 5);
    renderer.ReleaseAll();
}

// Program k of n fails to assemble: it gets -1 and no slot, and every id handed out stands for
// the program it was returned for.
TEST(RendererShaders, AProgramThatFailsGetsNoIdAndNoOtherProgramIsDisplaced)
{
    const int nPrograms = 5;
    for (int k = 0; k < nPrograms; ++k)
    {
        ScriptedRenderer renderer(1);
        renderer.m_FailingPrograms = {k};
        std::vector<int> ids;
        for (int i = 0; i < nPrograms; ++i)
            ids.push_back(renderer.CreateVertexShader(i));
        for (int i = 0; i < nPrograms; ++i)
        {
            if (i == k)
            {
                EXPECT_EQ(ids[i], -1) << "k=" << k;
                continue;
            }
            ASSERT_GE(ids[i], 0) << "k=" << k << " i=" << i;
            const ShaderEntry* pEntry = renderer.GetVertexShaderEntry(ids[i]);
            EXPECT_EQ(pEntry->m_nResourceIndex, i) << "k=" << k;
            EXPECT_NE(pEntry->m_pDeviceShader, nullptr);
        }
        EXPECT_EQ(renderer.GetVertexShaderCount(), nPrograms - 1);
        renderer.ReleaseAll();
    }
}

TEST(RendererShaders, ANegativeIndexRunsThePrepareHookAndStoresNothing)
{
    ScriptedRenderer renderer(1);
    EXPECT_EQ(renderer.CreatePixelShader(-1), -1);
    EXPECT_EQ(renderer.CreateVertexShader(-3), -1);
    EXPECT_EQ(renderer.Take(), (Calls{"PreparePixelShader", "PrepareVertexShader"}));
    EXPECT_EQ(renderer.GetPixelShaderCount(), 0);
    EXPECT_EQ(renderer.GetVertexShaderCount(), 0);
}

TEST(RendererShaders, FilesAreReadWholeAndMissingOrNullNamesGiveNoId)
{
    std::string strPath = testing::TempDir() + "renderer_shader_test.psh";
    const std::string strText = "ps_2_0\nmov oC0, c0\n";
    ASSERT_TRUE(WriteFileAtomic(strPath.c_str(), strText.data(), strText.size()));

    ScriptedRenderer renderer(1);
    EXPECT_EQ(renderer.LoadPixelShader(7, nullptr), -1);
    EXPECT_EQ(renderer.LoadPixelShader(7, "/nonexistent/missing.psh"), -1);
    EXPECT_EQ(renderer.LoadVertexShader("/nonexistent/missing.vsh"), -1);
    EXPECT_EQ(renderer.Take(), (Calls{"PreparePixelShader", "PreparePixelShader", "PrepareVertexShader"}));
    EXPECT_EQ(renderer.GetPixelShaderCount(), 0);

    EXPECT_EQ(renderer.LoadPixelShader(7, strPath.c_str()), 0);
    EXPECT_EQ(renderer.Take(), (Calls{"PreparePixelShader", "CompilePixelShader"}));
    // The text is valid only while the entry is made.
    EXPECT_EQ(renderer.GetPixelShaderEntry(0)->m_pSource, nullptr);
    EXPECT_EQ(renderer.GetPixelShaderEntry(0)->m_nResourceIndex, 7);
    renderer.m_FailingPrograms = {'p'};
    EXPECT_EQ(renderer.LoadPixelShader(8, strPath.c_str()), -1);
    EXPECT_EQ(renderer.GetPixelShaderCount(), 1);
    renderer.ReleaseAll();
    std::remove(strPath.c_str());
}

TEST(RendererShaders, AddPixelShaderStoresAGivenShaderAndRefusesNone)
{
    ScriptedRenderer renderer(1);
    IUnknown* pShader = reinterpret_cast<IUnknown*>(&renderer);
    EXPECT_EQ(renderer.AddPixelShader(3, pShader), 0);
    EXPECT_EQ(renderer.GetPixelShaderEntry(0)->m_pDeviceShader, pShader);
    EXPECT_EQ(renderer.AddPixelShader(4, nullptr), -1);
    renderer.ReleaseAll();
}
}  // namespace
