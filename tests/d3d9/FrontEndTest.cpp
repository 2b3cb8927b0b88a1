// The device front end over a back end that only records what reaches it: which draws are
// refused or dropped before the back end, and what a clear hands over.
#include "device/Device.h"
#include "device/Surface.h"

#include "DeviceFixture.h"

#include "core/Log.h"

namespace
{
class RecordingBackend final : public Backend
{
public:
    std::shared_ptr<CompiledProgram> CompileProgram(const std::vector<DWORD>&) override
    {
        return std::make_shared<CompiledProgram>();
    }
    void Clear(const ClearCommand& command) override { clears.push_back(command); }
    void Stretch(ImageStorage&, const RECT&, ImageStorage&, const RECT&, D3DTEXTUREFILTERTYPE) override {}
    HRESULT Draw(const DeviceState& state, const DrawCommand& command) override
    {
        draws.push_back(command);
        lastFvf = state.nFvf;
        return D3D_OK;
    }
    void BeginOcclusion(const std::shared_ptr<OcclusionCounter>&) override {}
    void EndOcclusion(const std::shared_ptr<OcclusionCounter>&) override {}
    void Flush() override {}
    void WaitFor(const ImageStorage&) override {}
    void WaitFor(const BufferBytes&) override {}
    void WaitForCounter(const OcclusionCounter&) override {}

    std::vector<ClearCommand> clears;
    std::vector<DrawCommand> draws;
    DWORD lastFvf = 0;
};

class FrontEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pD3D = Direct3DCreate9(D3D_SDK_VERSION);
        auto backend = std::make_unique<RecordingBackend>();
        m_pBackend = backend.get();
        const D3DPRESENT_PARAMETERS pp = TestPresentParameters(16, 16, D3DFMT_D24S8);
        m_pDevice = new Device(m_pD3D, nullptr, pp, std::move(backend));
        m_pDevice->Initialize();
        m_pDevice->CreateVertexBuffer(64, 0, 0, D3DPOOL_MANAGED, &m_pBuffer, nullptr);
        m_pDevice->SetStreamSource(0, m_pBuffer, 0, 16);
    }
    void TearDown() override
    {
        m_pDevice->SetStreamSource(0, nullptr, 0, 0);
        m_pBuffer->Release();
        EXPECT_EQ(m_pDevice->Release(), 0u);
        EXPECT_EQ(m_pD3D->Release(), 0u);
        EXPECT_TRUE(d3d9test::LiveObjects().empty());
    }

    IDirect3D9* m_pD3D = nullptr;
    Device* m_pDevice = nullptr;
    RecordingBackend* m_pBackend = nullptr;
    IDirect3DVertexBuffer9* m_pBuffer = nullptr;
};

TEST_F(FrontEndTest, DrawsReachTheBackEndOnlyWhenComplete)
{
    // No declaration or FVF: refused.
    EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    // Zero primitives: nothing to do, success.
    EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 0), D3D_OK);
    EXPECT_TRUE(m_pBackend->draws.empty());
    ASSERT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 3, 2), D3D_OK);
    ASSERT_EQ(m_pBackend->draws.size(), 1u);
    EXPECT_EQ(m_pBackend->draws[0].nStartVertex, 3u);
    EXPECT_EQ(m_pBackend->draws[0].nVertexCount, 6u);
    EXPECT_EQ(m_pBackend->lastFvf, 0x42u);
    // Indexed draws need indices.
    EXPECT_EQ(m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    // The UP forms copy their data at the call.
    const float vertices[3][4] = {};
    ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 1, vertices, 16), D3D_OK);
    ASSERT_EQ(m_pBackend->draws.size(), 2u);
    EXPECT_EQ(m_pBackend->draws[1].pUserVertices->bytes.size(), 48u);
}

TEST_F(FrontEndTest, TargetsOfDifferentSizesRefuseTheDraw)
{
    SetLogEcho(false);
    ASSERT_EQ(m_pDevice->SetFVF(D3DFVF_XYZ), D3D_OK);
    IDirect3DSurface9* pOther = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(8, 8, D3DFMT_R32F, D3DMULTISAMPLE_NONE, 0, FALSE, &pOther, nullptr), D3D_OK);
    ASSERT_EQ(m_pDevice->SetRenderTarget(1, pOther), D3D_OK);
    EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    m_pDevice->SetRenderTarget(1, nullptr);
    // A smaller depth surface is refused, a larger one is fine.
    IDirect3DSurface9* pSmallDepth = nullptr;
    ASSERT_EQ(m_pDevice->CreateDepthStencilSurface(8, 8, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &pSmallDepth,
                                                   nullptr),
              D3D_OK);
    IDirect3DSurface9* pLargeDepth = nullptr;
    ASSERT_EQ(m_pDevice->CreateDepthStencilSurface(32, 20, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &pLargeDepth,
                                                   nullptr),
              D3D_OK);
    IDirect3DSurface9* pAuto = nullptr;
    m_pDevice->GetDepthStencilSurface(&pAuto);
    m_pDevice->SetDepthStencilSurface(pSmallDepth);
    EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);
    m_pDevice->SetDepthStencilSurface(pLargeDepth);
    EXPECT_EQ(m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3D_OK);
    EXPECT_EQ(m_pBackend->draws.size(), 1u);
    m_pDevice->SetDepthStencilSurface(pAuto);
    pAuto->Release();
    pLargeDepth->Release();
    pSmallDepth->Release();
    pOther->Release();
    SetLogEcho(true);
}

TEST_F(FrontEndTest, ClearHandsOverTheViewportRectangleAndEveryTarget)
{
    IDirect3DSurface9* pOther = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(16, 16, D3DFMT_R32F, D3DMULTISAMPLE_NONE, 0, FALSE, &pOther, nullptr), D3D_OK);
    m_pDevice->SetRenderTarget(2, pOther);
    const D3DVIEWPORT9 viewport{1, 2, 3, 4, 0.0f, 1.0f};
    m_pDevice->SetViewport(&viewport);
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 0.5f, 0), D3D_OK);
    ASSERT_EQ(m_pBackend->clears.size(), 1u);
    const ClearCommand& clear = m_pBackend->clears[0];
    EXPECT_EQ(clear.targets.size(), 2u);
    EXPECT_NE(clear.pDepthStencil, nullptr);
    ASSERT_EQ(clear.rects.size(), 1u);
    EXPECT_EQ(clear.rects[0].left, 1);
    EXPECT_EQ(clear.rects[0].top, 2);
    EXPECT_EQ(clear.rects[0].right, 4);
    EXPECT_EQ(clear.rects[0].bottom, 6);
    EXPECT_EQ(clear.color[0], 0.0f);
    EXPECT_EQ(clear.color[2], 1.0f);
    // A rectangle wholly outside the viewport clears nothing.
    const D3DRECT outside{10, 10, 12, 12};
    ASSERT_EQ(m_pDevice->Clear(1, &outside, D3DCLEAR_TARGET, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(m_pBackend->clears.size(), 1u);
    m_pDevice->SetRenderTarget(2, nullptr);
    pOther->Release();
}
}  // namespace
