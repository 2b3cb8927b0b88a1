// The merger's short ways for ONE / ONE and ZERO / ZERO (and the shading they let it skip) store
// the same bytes, depths and counts as the general blend: the same sums written with the blend
// factor (BLENDFACTOR at white is 1, INVBLENDFACTOR at white is 0), which takes the general path.
// Colours run from below 0 to above 1 across the quad, on UNORM and fp16 targets.
#include "DrawFixture.h"

namespace
{
struct Outcome
{
    std::vector<BYTE> colour;
    std::vector<float> depth;
    DWORD nPassed = 0;
};
}

class BlendShortcutTest : public DrawTest
{
protected:
    // A base layer with blending off (varied destination colours), then the blended quad, on
    // the bound target; what it leaves behind.
    Outcome Draw(DWORD nSrc, DWORD nDest, IDirect3DSurface9* pTarget)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, D3DCOLOR_ARGB(255, 40, 90, 250), 1.0f, 0);
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
        const float base[2][4] = {{2.0f, -1.0f, 0.5f, 1.5f}, {-0.5f, 0.25f, 1.0f, -2.0f}};
        SetColourPlane(base[0], base[1]);
        DrawRect(0, 0, 16, 16, 0xFFFFFFFF, 0.75f);
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, nSrc);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, nDest);
        const float scale[4] = {4.0f, 3.0f, -2.0f, 2.5f}, offset[4] = {-1.0f, -0.5f, 1.5f, -0.3f};
        SetColourPlane(scale, offset);
        Outcome outcome;
        // Partly behind the base layer: the query and depth see both sides.
        outcome.nPassed = CountPixels([&] {
            const ScreenVertex tri[3] = {{1, 1, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                         {15, 3, 0.9f, 1, 0xFFFFFFFF, 1, 0},
                                         {4, 14, 0.6f, 1, 0xFFFFFFFF, 0, 1}};
            m_pDevice->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, tri, sizeof(ScreenVertex));
        });
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pTarget, data));
        outcome.colour = data.bytes;
        IDirect3DSurface9* pDepth = nullptr;
        m_pDevice->GetDepthStencilSurface(&pDepth);
        d3d9test::ReadDepth(pDepth, outcome.depth);
        pDepth->Release();
        return outcome;
    }

    // oC0 = u · scale + offset + v · c2.
    void SetColourPlane(const float* pScale, const float* pOffset)
    {
        m_pDevice->SetPixelShaderConstantF(0, pScale, 1);
        m_pDevice->SetPixelShaderConstantF(1, pOffset, 1);
    }
};

TEST_F(BlendShortcutTest, ShortPairsStoreWhatTheGeneralBlendStores)
{
    IDirect3DPixelShader9* pShader = PixelShader(
        "ps_2_0\n"
        "dcl t0.xy\n"
        "mad r0, t0.x, c0, c1\n"
        "mad r0, t0.y, c2, r0\n"
        "mov oC0, r0\n");
    const float slope[4] = {1.0f, -2.0f, 3.0f, 0.5f};
    m_pDevice->SetPixelShaderConstantF(2, slope, 1);
    m_pDevice->SetPixelShader(pShader);
    IDirect3DSurface9* pBack = nullptr;
    m_pDevice->GetRenderTarget(0, &pBack);
    IDirect3DSurface9* pHalf = nullptr;
    ASSERT_EQ(m_pDevice->CreateRenderTarget(16, 16, D3DFMT_A16B16G16R16F, D3DMULTISAMPLE_NONE, 0, FALSE, &pHalf,
                                            nullptr),
              D3D_OK);
    struct Case
    {
        DWORD nSrc, nDest;        // the short pair
        DWORD nSrcRef, nDestRef;  // the same sums through the blend factor
        bool bHalf;
    };
    const Case cases[] = {
        {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLEND_BLENDFACTOR, D3DBLEND_BLENDFACTOR, false},
        {D3DBLEND_ONE, D3DBLEND_ONE, D3DBLEND_BLENDFACTOR, D3DBLEND_BLENDFACTOR, true},
        {D3DBLEND_ZERO, D3DBLEND_ZERO, D3DBLEND_INVBLENDFACTOR, D3DBLEND_INVBLENDFACTOR, false},
        {D3DBLEND_ZERO, D3DBLEND_ZERO, D3DBLEND_INVBLENDFACTOR, D3DBLEND_INVBLENDFACTOR, true},
    };
    m_pDevice->SetRenderState(D3DRS_BLENDFACTOR, 0xFFFFFFFF);
    for (unsigned nThreads : {1u, 3u})
    {
        d3d9test::SetThreadCount(m_pDevice, nThreads);
        for (const Case& c : cases)
        {
            IDirect3DSurface9* pTarget = c.bHalf ? pHalf : pBack;
            m_pDevice->SetRenderTarget(0, pTarget);
            const Outcome shortcut = Draw(c.nSrc, c.nDest, pTarget);
            const Outcome general = Draw(c.nSrcRef, c.nDestRef, pTarget);
            EXPECT_GT(shortcut.nPassed, 0u);
            EXPECT_EQ(shortcut.colour, general.colour) << c.nSrc << "/" << c.nDest << (c.bHalf ? " fp16" : " UNORM");
            EXPECT_EQ(shortcut.depth, general.depth) << c.nSrc << "/" << c.nDest;
            EXPECT_EQ(shortcut.nPassed, general.nPassed) << c.nSrc << "/" << c.nDest;
        }
    }
    m_pDevice->SetRenderTarget(0, pBack);
    m_pDevice->SetPixelShader(nullptr);
    pHalf->Release();
    pBack->Release();
    pShader->Release();
}
