// Render targets: creation of 2D and cube targets, what binding them sets on the device, and that
// failures at any creation step leave no object behind.
#include "RendererDeviceFixture.h"

#include "core/Log.h"

#include <algorithm>

namespace
{
using Texts = std::vector<std::string>;

class Direct3DRenderTargets : public RendererDeviceTest
{
protected:
    size_t LiveCount() { return d3d9test::LiveObjects().size(); }
};

TEST_F(Direct3DRenderTargets, BindingA2DTargetSetsItsSurfaceAndDepthAndTheSameIdIsSkipped)
{
    d3d9test::Recorder creation(m_pDevice);
    int nId = m_pRenderer->CreateRenderTarget(8, 8, false, false, RENDER_TARGET_A16B16G16R16F);
    creation.Stop();
    ASSERT_EQ(nId, 0);
    EXPECT_EQ(creation.Texts({"CreateTexture", "CreateDepthStencilSurface"}),
              (Texts{"CreateTexture(8, 8, 1, RENDERTARGET, A16B16G16R16F, DEFAULT)",
                     "CreateDepthStencilSurface(8, 8, D24X8, 0, 0, TRUE)"}));
    const TextureEntry* pEntry = m_pRenderer->GetTextureEntry(nId);
    EXPECT_TRUE(pEntry->m_bRenderTarget);
    EXPECT_EQ(pEntry->m_nType, TEXTURE_2D);
    EXPECT_EQ(pEntry->m_pDeviceTexture, pEntry->m_pRenderTarget->GetTexture());
    std::string strDepth = OutputOf(creation, "CreateDepthStencilSurface");

    d3d9test::Recorder recorder(m_pDevice);
    EXPECT_FALSE(m_pRenderer->BindRenderTarget(0, -1));   // the back buffer is already current
    EXPECT_TRUE(recorder.Texts().empty());
    EXPECT_TRUE(m_pRenderer->BindRenderTarget(0, nId));
    EXPECT_FALSE(m_pRenderer->BindRenderTarget(1, nId));  // only the id is compared
    EXPECT_EQ(m_pRenderer->GetCurrentRenderTarget(), nId);
    EXPECT_TRUE(m_pRenderer->BindRenderTarget(0, -1));
    Texts calls = recorder.Texts();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(calls[0].rfind("SetRenderTarget(0, Surface#", 0), 0u) << calls[0];
    EXPECT_EQ(calls[1], "SetDepthStencilSurface(" + strDepth + ")");
    EXPECT_EQ(calls[2].rfind("SetRenderTarget(0, Surface#", 0), 0u) << calls[2];
    EXPECT_NE(calls[2], calls[0]);
    EXPECT_EQ(calls[3].rfind("SetDepthStencilSurface(Surface#", 0), 0u) << calls[3];
    EXPECT_NE(calls[3], calls[1]);
}

TEST_F(Direct3DRenderTargets, ACubeTargetBindsOnlyItsDepthUntilAFaceIsSelected)
{
    int nCube = m_pRenderer->CreateRenderTarget(32, 32, false, true, RENDER_TARGET_A8R8G8B8);
    int n2D = m_pRenderer->CreateRenderTarget(4, 4, true, false, RENDER_TARGET_A8R8G8B8);
    ASSERT_GE(nCube, 0);
    ASSERT_GE(n2D, 0);
    EXPECT_EQ(m_pRenderer->GetTextureEntry(nCube)->m_nType, TEXTURE_CUBE);
    EXPECT_EQ(m_pRenderer->GetTextureEntry(n2D)->m_pDeviceTexture->GetLevelCount(), 3u);

    d3d9test::Recorder recorder(m_pDevice);
    EXPECT_TRUE(m_pRenderer->BindRenderTarget(0, nCube));
    EXPECT_EQ(recorder.Texts({"SetRenderTarget"}).size(), 0u);
    EXPECT_EQ(recorder.Texts({"SetDepthStencilSurface"}).size(), 1u);
    for (int nFace = 0; nFace < 6; ++nFace)
        EXPECT_TRUE(m_pRenderer->SelectCubeFace(nCube, nFace));
    Texts faces = recorder.Texts({"SetRenderTarget"});
    ASSERT_EQ(faces.size(), 6u);
    std::sort(faces.begin(), faces.end());
    EXPECT_EQ(std::unique(faces.begin(), faces.end()), faces.end());   // six distinct surfaces
    EXPECT_EQ(m_pRenderer->GetCurrentRenderTarget(), nCube);

    size_t nCalls = recorder.Texts().size();
    EXPECT_FALSE(m_pRenderer->SelectCubeFace(n2D, 0));
    EXPECT_FALSE(m_pRenderer->SelectCubeFace(nCube, 6));
    EXPECT_FALSE(m_pRenderer->SelectCubeFace(-1, 0));
    EXPECT_EQ(recorder.Texts().size(), nCalls);

    // Once drawn, the cube is sampled by its id.
    m_pRenderer->BindRenderTarget(0, -1);
    m_pRenderer->BindTexture(0, nCube);
    Texts textures = recorder.Texts({"SetTexture"});
    ASSERT_EQ(textures.size(), 1u);
    EXPECT_EQ(textures[0].rfind("SetTexture(0, CubeTexture#", 0), 0u) << textures[0];
}

TEST_F(Direct3DRenderTargets, DestroyingATargetReleasesItsSurfacesTextureAndSlot)
{
    size_t nBefore = LiveCount();
    int nId = m_pRenderer->CreateRenderTarget(16, 16, false, true, RENDER_TARGET_A16B16G16R16);
    ASSERT_GE(nId, 0);
    EXPECT_GT(LiveCount(), nBefore);
    m_pRenderer->DestroyTexture(nId);
    EXPECT_EQ(LiveCount(), nBefore);
    EXPECT_EQ(m_pRenderer->NextTexture(-1), -1);
    EXPECT_EQ(m_pRenderer->GetTextureEntry(nId)->m_pRenderTarget, nullptr);
    SetLogEcho(false);
    EXPECT_FALSE(m_pRenderer->BindRenderTarget(0, nId));   // a freed slot is no target
    SetLogEcho(true);
}

TEST_F(Direct3DRenderTargets, AFailureAtAnyCreationStepGivesNoIdAndLeavesNothing)
{
    struct Case
    {
        const char* szFail;
        bool bCube;
        int nFormat;
    };
    const Case cases[] = {
        {"CreateTexture", false, 0},           {"CreateCubeTexture", true, 0},
        {"CreateDepthStencilSurface", false, 0}, {"CreateDepthStencilSurface", true, 0},
        {nullptr, false, 8},                   {nullptr, true, -1},
    };
    size_t nBefore = LiveCount();
    SetLogEcho(false);
    for (const Case& c : cases)
    {
        if (c.szFail)
            d3d9test::FailNext(m_pDevice, c.szFail);
        EXPECT_EQ(m_pRenderer->CreateRenderTarget(8, 8, false, c.bCube, static_cast<RenderTargetFormat>(c.nFormat)), -1)
            << (c.szFail ? c.szFail : "format") << " cube " << c.bCube;
        EXPECT_EQ(LiveCount(), nBefore) << (c.szFail ? c.szFail : "format") << " cube " << c.bCube;
    }
    SetLogEcho(true);
    EXPECT_EQ(m_pRenderer->GetTextureCount(), 0);
}

// Everything a session makes is gone once the renderer is released: the fixture's tear-down
// checks that the device's last reference is the one it drops and no object survives.
TEST_F(Direct3DRenderTargets, ReleaseAllLeavesOnlyTheDevicesOwnSurfaces)
{
    size_t nBefore = LiveCount();
    m_pRenderer->AddTexture(MakeImage(RGBA8, 4, 4, true, [](size_t i) { return uint8_t(i); }), 0);
    m_pRenderer->CreateRenderTarget(32, 32, false, true, RENDER_TARGET_A8R8G8B8);
    m_pRenderer->CreateRenderTarget(8, 8, false, false, RENDER_TARGET_A16B16G16R16F);
    m_pRenderer->AddTexture(MakeImage(DXT1, 8, 8, false, [](size_t i) { return uint8_t(i); }), 0);
    m_pRenderer->BindRenderTarget(0, 2);
    m_pRenderer->BindTexture(1, 1);
    EXPECT_GT(LiveCount(), nBefore);
    m_pRenderer->BindRenderTarget(0, -1);
    m_pRenderer->ReleaseAll();
    EXPECT_EQ(LiveCount(), nBefore);
}
}  // namespace
