// What the Direct3D renderer's caches let through to the device: exact call sequences recorded
// by the device's test hook.
#include "RendererDeviceFixture.h"

#include "core/Log.h"

namespace
{
using Texts = std::vector<std::string>;

class Direct3DRendererState : public RendererDeviceTest
{
};

TEST_F(Direct3DRendererState, TheFirstApplySetsNoShadersAndSwitchesBlendingOffOnce)
{
    EXPECT_EQ(m_pRenderer->GetStageCount(), 8);   // the layer's MaxSimultaneousTextures
    d3d9test::Recorder recorder(m_pDevice);
    m_pRenderer->ApplyState();
    m_pRenderer->ApplyState();
    EXPECT_EQ(recorder.Texts(), (Texts{"SetPixelShader(NULL)", "SetVertexShader(NULL)",
                                       "SetRenderState(ALPHABLENDENABLE, FALSE)", "SetPixelShader(NULL)",
                                       "SetVertexShader(NULL)"}));
}

TEST_F(Direct3DRendererState, ATextureAlreadyOnItsStageCostsNoDeviceCall)
{
    int nId = m_pRenderer->AddTexture(MakeImage(RGBA8, 4, 4, false, [](size_t) { return 0x80; }), 0);
    ASSERT_EQ(nId, 0);
    std::string strTexture = "Texture#" + std::to_string(d3d9test::LiveObjects().back().nId);

    d3d9test::Recorder recorder(m_pDevice);
    m_pRenderer->SelectTextures(nId, -1, -1, -1, -1, -1);
    m_pRenderer->ApplyState();
    m_pRenderer->SelectTextures(nId, -1, -1, -1, -1, -1);
    m_pRenderer->ApplyState();
    // Bound directly, then left unselected: the next apply unbinds it.
    m_pRenderer->BindTexture(2, nId);
    m_pRenderer->BindTexture(2, nId);
    m_pRenderer->ApplyState();
    EXPECT_EQ(recorder.Texts({"SetTexture"}),
              (Texts{"SetTexture(0, " + strTexture + ")", "SetTexture(2, " + strTexture + ")", "SetTexture(0, NULL)",
                     "SetTexture(2, NULL)"}));
}

TEST_F(Direct3DRendererState, ShadersAreSetOnEveryCall)
{
    static const char szPixel[] = "ps_2_0\nmov oC0, c0\n";
    ShaderEntry entry{};
    entry.m_pSource = szPixel;
    entry.m_nSourceLength = sizeof(szPixel) - 1;
    m_pRenderer->CompilePixelShader(entry);
    ASSERT_NE(entry.m_pDeviceShader, nullptr);
    int nId = m_pRenderer->AddPixelShader(0, entry.m_pDeviceShader);

    d3d9test::Recorder recorder(m_pDevice);
    m_pRenderer->BindPixelShader(nId);
    m_pRenderer->BindPixelShader(nId);
    m_pRenderer->SelectPixelShader(nId);
    m_pRenderer->ApplyShaders();
    m_pRenderer->ApplyShaders();
    Texts calls = recorder.Texts({"SetPixelShader"});
    ASSERT_EQ(calls.size(), 4u);
    for (const std::string& strCall : calls)
        EXPECT_EQ(strCall, calls[0]);
    EXPECT_NE(calls[0], "SetPixelShader(NULL)");
}

// Each combine mode, set on the colour channel of stage 1 after mode 0 was recorded there.
TEST_F(Direct3DRendererState, EachCombineModeSetsItsStagesInOrder)
{
    struct Case
    {
        int nMode;
        Texts calls;
    };
    const Case cases[] = {
        {0, {}},
        {1, {"COLOROP, MODULATE", "COLORARG1, CURRENT", "COLORARG2, TEXTURE"}},
        {2, {"COLOROP, DOTPRODUCT3", "COLORARG1, CURRENT", "COLORARG2, TEXTURE"}},
        {3, {}},
        {4, {"COLOROP, ADD", "COLORARG1, CURRENT", "COLORARG2, TEXTURE"}},
        {5, {"COLOROP, SELECTARG1", "COLORARG1, TEXTURE"}},
        {6, {"COLOROP, SELECTARG1", "COLORARG1, CURRENT"}},
        {7, {"COLOROP, LERP", "COLORARG1, TEXTURE", "COLORARG2, CURRENT", "COLORARG0, DIFFUSE"}},
        {8, {"COLOROP, LERP", "COLORARG1, DIFFUSE", "COLORARG2, CURRENT", "COLORARG0, TEXTURE"}},
        {9, {"COLOROP, BLENDTEXTUREALPHA", "COLORARG1, CURRENT", "COLORARG2, TEXTURE"}},
    };
    for (const Case& c : cases)
    {
        m_pRenderer->SelectStage(1);
        m_pRenderer->SetTextureCombiner(COMBINE_UNCHANGED, COMBINE_UNCHANGED);
        d3d9test::Recorder recorder(m_pDevice);
        m_pRenderer->SetTextureCombiner(c.nMode, COMBINE_UNCHANGED);
        Texts expected;
        for (const std::string& strArgs : c.calls)
            expected.push_back("SetTextureStageState(1, " + strArgs + ")");
        EXPECT_EQ(recorder.Texts(), expected) << "mode " << c.nMode;
    }
}

TEST_F(Direct3DRendererState, CombinerChannelsAreCachedApart)
{
    d3d9test::Recorder recorder(m_pDevice);
    // Stage 0 starts recorded as modulate on both channels: only the alpha channel changes.
    m_pRenderer->SelectStage(0);
    m_pRenderer->SetTextureCombiner(COMBINE_MODULATE, COMBINE_LERP_DIFFUSE);
    // Dot product on both channels reaches the colour channel only, and is recorded for both.
    m_pRenderer->SelectStage(3);
    m_pRenderer->SetTextureCombiner(COMBINE_DOTPRODUCT, COMBINE_DOTPRODUCT);
    m_pRenderer->SetTextureCombiner(COMBINE_DOTPRODUCT, COMBINE_DOTPRODUCT);
    EXPECT_EQ(recorder.Texts(), (Texts{"SetTextureStageState(0, ALPHAOP, LERP)",
                                       "SetTextureStageState(0, ALPHAARG1, TEXTURE)",
                                       "SetTextureStageState(0, ALPHAARG2, CURRENT)",
                                       "SetTextureStageState(0, ALPHAARG0, DIFFUSE)",
                                       "SetTextureStageState(3, COLOROP, DOTPRODUCT3)",
                                       "SetTextureStageState(3, COLORARG1, CURRENT)",
                                       "SetTextureStageState(3, COLORARG2, TEXTURE)"}));
}

TEST_F(Direct3DRendererState, EachBlendStateIsSetOnlyWhenItChanges)
{
    struct Step
    {
        bool bRequest;
        int nSrc, nDest, nOp;
        Texts calls;
    };
    const Step steps[] = {
        // Recorded as enabled at construction: the factors are set, the enable state is not.
        {true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DBLENDOP_ADD,
         {"SetRenderState(SRCBLEND, SRCALPHA)", "SetRenderState(DESTBLEND, INVSRCALPHA)"}},
        {false, 0, 0, 0, {"SetRenderState(ALPHABLENDENABLE, FALSE)"}},
        {false, 0, 0, 0, {}},
        {true, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD,
         {"SetRenderState(DESTBLEND, ONE)", "SetRenderState(ALPHABLENDENABLE, TRUE)"}},
        {true, D3DBLEND_SRCALPHA, D3DBLEND_ONE, D3DBLENDOP_ADD, {}},
    };
    for (const Step& step : steps)
    {
        if (step.bRequest)
            m_pRenderer->RequestBlend(step.nSrc, step.nDest, step.nOp);
        d3d9test::Recorder recorder(m_pDevice);
        m_pRenderer->ApplyState();
        EXPECT_EQ(recorder.Texts({"SetRenderState"}), step.calls);
    }
}

TEST_F(Direct3DRendererState, UnbindTexturesClearsEveryStageAndLeavesTheCache)
{
    int nId = m_pRenderer->AddTexture(MakeImage(I8, 2, 2, false, [](size_t) { return 1; }), 0);
    m_pRenderer->BindTexture(1, nId);
    d3d9test::Recorder recorder(m_pDevice);
    m_pRenderer->UnbindTextures();
    EXPECT_EQ(recorder.Texts({"SetTexture"}).size(), 8u);
    // The record still says stage 1 holds the texture, so binding it again is skipped.
    m_pRenderer->BindTexture(1, nId);
    EXPECT_EQ(recorder.Texts({"SetTexture"}).size(), 8u);
}

TEST(Direct3DRendererStages, ADeviceOfferingMoreThanSixteenStagesIsClamped)
{
    IDirect3D9* pD3D = Direct3DCreate9(D3D_SDK_VERSION);
    D3DPRESENT_PARAMETERS pp = d3d9test::TestPresentParameters(4, 4);
    IDirect3DDevice9* pDevice = nullptr;
    ASSERT_EQ(pD3D->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &pp, &pDevice), D3D_OK);
    D3DCAPS9 caps{};
    pDevice->GetDeviceCaps(&caps);
    caps.MaxSimultaneousTextures = 20;
    SetLogEcho(false);
    {
        Direct3DRenderer renderer(caps, pDevice);
        SetLogEcho(true);
        EXPECT_EQ(renderer.GetStageCount(), 16);
        renderer.ApplyState();
        EXPECT_EQ(renderer.GetActiveStage(), 15);
        renderer.ReleaseAll();
    }
    EXPECT_EQ(pDevice->Release(), 0u);
    EXPECT_EQ(pD3D->Release(), 0u);
}
}  // namespace
