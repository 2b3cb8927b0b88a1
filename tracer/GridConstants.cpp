// RenderApp's common ground of the tracer's pixel programs: the grid description in pixel
// constants c0 to c15 (c4 is left to the pass), exact texel fetches on samplers 0 to 7, and the
// rasterised renderer's states given back when the tracer is done.
#include "app/RenderApp.h"
#include "tracer/TracerGlobals.h"

namespace
{
constexpr DWORD TRACER_SAMPLERS = 8;
}

void RenderApp::SetGridConstants()
{
    if (!m_pDevice)
        return;
    const float n = static_cast<float>(g_nGridSize);
    const float g = static_cast<float>(g_nGridTextureSize > 0 ? g_nGridTextureSize : 1);
    const float l = static_cast<float>(g_nCellListTextureSize > 0 ? g_nCellListTextureSize : 1);
    const float t = static_cast<float>(g_nTriangleTextureSize > 0 ? g_nTriangleTextureSize : 1);
    const float len = static_cast<float>(g_nCellListLength > 0 ? g_nCellListLength : 1);
    const float constants[16][4] = {
        {2.0f, 1.0f, 0.0f, 1.0f / g},
        {g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z, 1.0f},
        {g_vSceneMax.x, g_vSceneMax.y, g_vSceneMax.z, 1.0f},
        {g_vInvCellSize.x, g_vInvCellSize.y, g_vInvCellSize.z, 1.0f},
        {},
        {1.0f, n, n * n, 1.0f / n},
        {10000.0f, 0.01f, -1.0f, 0.021f},
        {1.0f, -1.0f, 0.1f, 1.0f},
        {1.0f / l, 0.0f, 0.0f, 1.0f / g},
        {1.0f / g, n / g, n * n / g, 1.0f},
        {0.0f, 0.0f, 0.0f, 0.5f},
        {g_vCellSize.x, g_vCellSize.y, g_vCellSize.z, 1.0f},
        {1.0f / t, 1.0f / l, 3.0f, 1.0f / len},
        {0.0f, 1.0f / l, 1.0f / l, 0.0f},
        {0.0f, 1.0f, 1.0f, 0.0f},
        {1.0f, 0.0f, 0.0f, 1.0f},
    };
    for (UINT nRegister = 0; nRegister < 16; ++nRegister)
        if (nRegister != 4)
            m_pDevice->SetPixelShaderConstantF(nRegister, constants[nRegister], 1);
}

void RenderApp::SetPointSampling()
{
    if (!m_pDevice)
        return;
    for (DWORD nSampler = 0; nSampler < TRACER_SAMPLERS; ++nSampler)
    {
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MINFILTER, D3DTEXF_POINT);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MAGFILTER, D3DTEXF_POINT);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    }
}

void RenderApp::RestoreRenderStates(IDirect3DSurface9* pSurface)
{
    if (!m_pDevice)
    {
        ReleaseTracerObject(pSurface);
        return;
    }
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetRenderTarget(0, pSurface);
    for (DWORD nTarget = 1; nTarget < 4; ++nTarget)
        m_pDevice->SetRenderTarget(nTarget, nullptr);
    ReleaseTracerObject(pSurface);
    for (DWORD nSampler : {0u, 1u, 2u})
    {
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
    }
    m_pDevice->SetSamplerState(3, D3DSAMP_MINFILTER, D3DTEXF_LINEAR);
    m_pDevice->SetSamplerState(3, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR);
    for (DWORD nSampler : {4u, 5u, 6u})
    {
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    }
    // The value of D3DTEXF_ANISOTROPIC as a mip filter, as Load leaves it; the device reads it as
    // linear.
    for (DWORD nSampler : {0u, 1u, 2u})
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MIPFILTER, D3DTEXF_ANISOTROPIC);
    m_pDevice->SetSamplerState(3, D3DSAMP_MIPFILTER, D3DTEXF_LINEAR);
    for (DWORD nSampler = TRACER_SAMPLERS; nSampler-- > 0;)
    {
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    }
}
