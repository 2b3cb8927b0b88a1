// The test hook's counts of what the device did.
#include "DrawFixture.h"

namespace
{
TEST_F(DrawTest, StatsCountDrawsPixelsQueriesAndPrograms)
{
    d3d9test::ResetStats(m_pDevice);
    // The full target at depth 0.5 over a clear of 1.0: 256 pixels shaded, all pass.
    ASSERT_EQ(DrawRect(0, 0, 16, 16, 0xFF808080), D3D_OK);
    d3d9test::DrawStats stats = d3d9test::Stats(m_pDevice);
    EXPECT_EQ(stats.nDraws, 1u);
    EXPECT_EQ(stats.nPrimitives, 2u);
    EXPECT_EQ(stats.nShadedPixels, 256u);
    EXPECT_EQ(stats.nPassedPixels, 256u);
    EXPECT_EQ(stats.nQueries, 0u);
    // A vertex and a pixel program for the fixed-function state.
    EXPECT_EQ(stats.nGeneratedPrograms, 2u);

    // Behind the first rectangle under LESSEQUAL: nothing passes, and nothing is shaded either,
    // since depth is tested before the shading when the shading cannot change the outcome; the
    // query counts one query and reading it asks for the pending work.
    const DWORD nVisible = CountPixels([&] { DrawRect(4, 4, 12, 12, 0xFF808080, 0.75f); });
    EXPECT_EQ(nVisible, 0u);
    stats = d3d9test::Stats(m_pDevice);
    EXPECT_EQ(stats.nDraws, 2u);
    EXPECT_EQ(stats.nPrimitives, 4u);
    EXPECT_EQ(stats.nShadedPixels, 256u);
    EXPECT_EQ(stats.nPassedPixels, 256u);
    EXPECT_EQ(stats.nQueries, 1u);
    EXPECT_GE(stats.nFlushes, 1u);
    // With the alpha test on, the shading decides coverage: the hidden pixels are shaded first.
    m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    DrawRect(4, 4, 12, 12, 0xFF808080, 0.75f);
    m_pDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nShadedPixels, 256u + 64u);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nPassedPixels, 256u);
    // The same state again generates nothing; a new stage operation one pixel program.
    EXPECT_EQ(stats.nGeneratedPrograms, 2u);
    m_pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG2);
    DrawRect(0, 0, 2, 2, 0xFF808080, 0.25f);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nGeneratedPrograms, 3u);

    d3d9test::ResetStats(m_pDevice);
    stats = d3d9test::Stats(m_pDevice);
    EXPECT_EQ(stats.nDraws, 0u);
    EXPECT_EQ(stats.nShadedPixels, 0u);
    EXPECT_EQ(stats.nGeneratedPrograms, 0u);
}
}
