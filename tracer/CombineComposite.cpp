// RenderApp's combine and composite: the sums one light and photon kind gathered, scaled by one
// over the kind's photon count, added to the tile's running sums (each channel kept within
// [0, 1]); after all lights the running sums shaded with the surface colours into the scene
// texture, over the background box when Background is on.
#include "app/RenderApp.h"
#include "scene/RenderOptions.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

namespace
{
constexpr int QUAD_VERTEX_PROGRAM = 40;
constexpr int SHADE_PIXEL_PROGRAM = 131;
constexpr int PAIR_COPY_PIXEL_PROGRAM = 152;
constexpr int ACCUMULATE_PIXEL_PROGRAM = 175;

}

void RenderApp::CombinePhotonTargets(int nPhotonKind)
{
    if (!m_pDevice || !m_pRenderer || !m_pQuadVB)
        return;
    const int32_t n = nPhotonKind == 1 ? g_nGlobalPhoton : g_nDirectPhoton;
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
    m_pRenderer->SelectVertexShader(m_VertexShaders[QUAD_VERTEX_PROGRAM]);
    UnbindTargets(m_pDevice);
    UnbindTextures(m_pDevice);

    // The running sums copied aside, then read back with the new ones added.
    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[1]);
    BindTextureTarget(m_pDevice, 1, g_pPhotonTargets[3]);
    m_pDevice->SetTexture(0, g_pPhotonTargets[4]);
    m_pDevice->SetTexture(1, g_pPhotonTargets[5]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[PAIR_COPY_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    m_pDevice->SetTexture(0, nullptr);
    m_pDevice->SetTexture(1, nullptr);

    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[4]);
    BindTextureTarget(m_pDevice, 1, g_pPhotonTargets[5]);
    m_pDevice->SetTexture(0, g_pPhotonTargets[0]);
    m_pDevice->SetTexture(1, g_pPhotonTargets[2]);
    m_pDevice->SetTexture(2, g_pPhotonTargets[1]);
    m_pDevice->SetTexture(3, g_pPhotonTargets[3]);
    const float c31[4] = {n > 0 ? 1.0f / static_cast<float>(n) : 0.0f, 1.0f, 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(31, c31, 1);
    m_pRenderer->SelectPixelShader(m_PixelShaders[ACCUMULATE_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);

    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    UnbindTextures(m_pDevice);
    UnbindTargets(m_pDevice);
}

void RenderApp::CompositeGlobalIllumination()
{
    if (!m_pDevice || !m_pRenderer || !m_pQuadVB)
        return;
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
    UnbindTextures(m_pDevice);
    BindTextureTarget(m_pDevice, 0, g_pSceneTexture);
    m_pDevice->SetRenderTarget(1, nullptr);
    m_pDevice->SetTexture(0, g_pPhotonTargets[4]);
    m_pDevice->SetTexture(1, g_pPhotonTargets[5]);
    m_pDevice->SetTexture(4, g_pGBufferTargets[2]);
    m_pDevice->SetTexture(5, g_pGBufferTargets[3]);
    m_pRenderer->SelectVertexShader(m_VertexShaders[QUAD_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[SHADE_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    if (g_bBackground)
    {
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    }
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    UnbindTextures(m_pDevice);
    UnbindTargets(m_pDevice);
}
