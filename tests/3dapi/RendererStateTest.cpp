// The renderer's device-independent behaviour, on a renderer whose device steps only note what
// they were asked: the order of ApplyState, what stays pending, state sets, and ReleaseAll.
#include "ScriptedRenderer.h"

#include "core/Log.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using Calls = std::vector<std::string>;

// The calls one stage of an apply makes when no pixel shader is pending.
void AppendStage(Calls& calls, int nStage, int nTexture, bool bCombiner)
{
    calls.push_back("SelectStage(" + std::to_string(nStage) + ")");
    calls.push_back("BindStageTexture(" + std::to_string(nTexture) + ")");
    calls.push_back("SetStageOption(0)");
    if (bCombiner)
        calls.push_back("SetTextureCombiner(0, 0)");
}

TEST(RendererState, ApplyStateWalksEveryStageThenShadersThenBlendAndClearsThePending)
{
    ScriptedRenderer renderer(3);
    renderer.SelectTextures(4, 5, 6, 7, 8, 9);
    renderer.SelectVertexShader(2);
    renderer.ApplyState();

    Calls expected;
    AppendStage(expected, 0, 4, true);
    AppendStage(expected, 1, 5, true);
    AppendStage(expected, 2, 6, true);
    expected.insert(expected.end(), {"BindPixelShader(-1)", "BindVertexShader(2)", "SetBlend(-1, -1, 1)"});
    EXPECT_EQ(renderer.Take(), expected);
    EXPECT_EQ(renderer.GetActiveStage(), 2);

    // The pending state is single-use: the next apply sets every stage and shader to none.
    renderer.ApplyState();
    Calls cleared;
    for (int i = 0; i < 3; ++i)
        AppendStage(cleared, i, -1, true);
    cleared.insert(cleared.end(), {"BindPixelShader(-1)", "BindVertexShader(-1)", "SetBlend(-1, -1, 1)"});
    EXPECT_EQ(renderer.Take(), cleared);
}

TEST(RendererState, APendingPixelShaderSuppressesEveryCombinerCall)
{
    ScriptedRenderer renderer(2);
    renderer.SelectPixelShader(3);
    renderer.ApplyState();
    Calls expected;
    AppendStage(expected, 0, -1, false);
    AppendStage(expected, 1, -1, false);
    expected.insert(expected.end(), {"BindPixelShader(3)", "BindVertexShader(-1)", "SetBlend(-1, -1, 1)"});
    EXPECT_EQ(renderer.Take(), expected);
}

TEST(RendererState, ApplyShadersBindsBothOnEveryCallAndKeepsThemPending)
{
    ScriptedRenderer renderer(1);
    renderer.SelectPixelShader(2);
    renderer.SelectVertexShader(5);
    renderer.ApplyShaders();
    renderer.ApplyShaders();
    EXPECT_EQ(renderer.Take(),
              (Calls{"BindPixelShader(2)", "BindVertexShader(5)", "BindPixelShader(2)", "BindVertexShader(5)"}));
    renderer.ApplyState();
    Calls calls = renderer.Take();
    EXPECT_EQ(calls[calls.size() - 3], "BindPixelShader(2)");
    EXPECT_EQ(calls[calls.size() - 2], "BindVertexShader(5)");
}

TEST(RendererState, BindTextureGoesStraightToTheStageAndRefusesStagesOutsideTheManagedOnes)
{
    ScriptedRenderer renderer(4);
    renderer.BindTexture(2, 7);
    EXPECT_EQ(renderer.Take(), (Calls{"SelectStage(2)", "BindStageTexture(7)"}));

    SetLogEcho(false);
    ClearLogLines();
    renderer.BindTexture(4, 7);
    renderer.BindTexture(-1, 7);
    SetLogEcho(true);
    EXPECT_TRUE(renderer.Take().empty());
    EXPECT_EQ(GetLogLines().size(), 2u);
}

TEST(RendererState, DisabledSetsArePushedOnceThenLeftToTheCaller)
{
    ScriptedRenderer renderer(1);
    renderer.SelectPixelShader(4);
    renderer.DisableStateSets(STATE_SET_PIXEL);
    EXPECT_EQ(renderer.Take(), (Calls{"BindPixelShader(4)"}));
    EXPECT_EQ(renderer.GetStateSetMask(), uint32_t(STATE_SET_BLEND | STATE_SET_VERTEX));

    renderer.ApplyState();
    Calls expected;
    AppendStage(expected, 0, -1, false);
    expected.insert(expected.end(), {"BindVertexShader(-1)", "SetBlend(-1, -1, 1)"});
    EXPECT_EQ(renderer.Take(), expected);

    // The blend set is pushed with the add operation whatever the pending one is.
    renderer.DisableStateSets(STATE_SET_BLEND | STATE_SET_VERTEX);
    EXPECT_EQ(renderer.Take(), (Calls{"BindVertexShader(-1)", "SetBlend(-1, -1, 1)"}));
    renderer.ApplyShaders();
    EXPECT_TRUE(renderer.Take().empty());

    renderer.EnableStateSets(STATE_SET_ALL);
    EXPECT_EQ(renderer.GetStateSetMask(), uint32_t(STATE_SET_ALL));
}

TEST(RendererState, MoreStagesThanTheArraysHoldAreClamped)
{
    SetLogEcho(false);
    ScriptedRenderer renderer(20);
    SetLogEcho(true);
    EXPECT_EQ(renderer.GetStageCount(), Renderer::MAX_STAGES);
    renderer.ApplyState();
    Calls calls = renderer.Take();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SelectStage(15)"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SelectStage(16)"), 0);
}

TEST(RendererState, ReleaseAllOnEmptyTablesAppliesAndUnbindsOnly)
{
    ScriptedRenderer renderer(2);
    renderer.SelectTextures(1, 2, -1, -1, -1, -1);
    renderer.SelectPixelShader(3);
    renderer.ReleaseAll();
    Calls expected;
    AppendStage(expected, 0, -1, true);
    AppendStage(expected, 1, -1, true);
    expected.insert(expected.end(),
                    {"BindPixelShader(-1)", "BindVertexShader(-1)", "SetBlend(-1, -1, 1)", "UnbindTextures"});
    EXPECT_EQ(renderer.Take(), expected);
}

TEST(RendererState, ReleaseAllFreesEverySlotAndKeepsTheCounts)
{
    ScriptedRenderer renderer(1);
    ASSERT_EQ(renderer.AddTexture(ScriptedRenderer::NewImage(), 0), 0);
    ASSERT_EQ(renderer.AddTexture(ScriptedRenderer::NewImage(), 0), 1);
    ASSERT_EQ(renderer.CreatePixelShader(0), 0);
    ASSERT_EQ(renderer.CreateVertexShader(0), 0);
    ASSERT_EQ(renderer.CreateVertexShader(1), 1);
    renderer.Take();
    renderer.ReleaseAll();
    Calls calls = renderer.Take();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ReleaseDeviceTexture"), 2);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ReleasePixelShader"), 1);
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "ReleaseVertexShader"), 2);
    EXPECT_EQ(renderer.GetTextureCount(), 2);
    EXPECT_EQ(renderer.GetVertexShaderCount(), 2);
    EXPECT_EQ(renderer.NextTexture(-1), -1);
    EXPECT_EQ(renderer.GetVertexShaderEntry(1)->m_pDeviceShader, nullptr);
}
}  // namespace
