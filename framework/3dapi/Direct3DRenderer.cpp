// Direct3DRenderer: construction, stage textures, combiners, shaders bound and blending.
#include "3dapi/Direct3DRenderer.h"

namespace
{
// The stage states of one combine mode, set in the order operation, argument 1, argument 2,
// argument 0, as many arguments as the operation takes (D3DTA_DIFFUSE is 0, so a count, not a
// zero, marks the end). A zero operation makes no device call.
struct CombineStates
{
    DWORD m_nOperation;
    int m_nArgCount;
    DWORD m_Args[3];    // argument 1, argument 2, argument 0
    bool m_bColorOnly;  // the alpha channel is left alone
};

const CombineStates COMBINE_STATES[] = {
    {0, 0, {}, false},                                                              // 0 unchanged
    {D3DTOP_MODULATE, 2, {D3DTA_CURRENT, D3DTA_TEXTURE}, false},                    // 1
    {D3DTOP_DOTPRODUCT3, 2, {D3DTA_CURRENT, D3DTA_TEXTURE}, true},                  // 2
    {0, 0, {}, false},                                                              // 3 unchanged
    {D3DTOP_ADD, 2, {D3DTA_CURRENT, D3DTA_TEXTURE}, false},                         // 4
    {D3DTOP_SELECTARG1, 1, {D3DTA_TEXTURE}, false},                                 // 5
    {D3DTOP_SELECTARG1, 1, {D3DTA_CURRENT}, false},                                 // 6
    {D3DTOP_LERP, 3, {D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_DIFFUSE}, false},         // 7
    {D3DTOP_LERP, 3, {D3DTA_DIFFUSE, D3DTA_CURRENT, D3DTA_TEXTURE}, false},         // 8
    {D3DTOP_BLENDTEXTUREALPHA, 2, {D3DTA_CURRENT, D3DTA_TEXTURE}, false},           // 9
};
constexpr int COMBINE_MODE_COUNT = static_cast<int>(sizeof(COMBINE_STATES) / sizeof(COMBINE_STATES[0]));

// The stage states of each channel: operation, argument 1, argument 2, argument 0.
const D3DTEXTURESTAGESTATETYPE COLOR_STATES[] = {D3DTSS_COLOROP, D3DTSS_COLORARG1, D3DTSS_COLORARG2,
                                                 D3DTSS_COLORARG0};
const D3DTEXTURESTAGESTATETYPE ALPHA_STATES[] = {D3DTSS_ALPHAOP, D3DTSS_ALPHAARG1, D3DTSS_ALPHAARG2,
                                                 D3DTSS_ALPHAARG0};
}

Direct3DRenderer::Direct3DRenderer(const D3DCAPS9& caps, IDirect3DDevice9* pDevice) : m_pDevice(pDevice)
{
    m_bRgbOrder = false;
    SetStageCount(static_cast<int>(caps.MaxSimultaneousTextures));
    m_nMaxAnisotropy = static_cast<int32_t>(caps.MaxAnisotropy);
    ResetState();
    m_pDevice->GetRenderTarget(0, &m_pSavedBackBuffer);
    m_pDevice->GetDepthStencilSurface(&m_pSavedDepthStencil);
}

Direct3DRenderer::~Direct3DRenderer()
{
    if (m_pSavedBackBuffer)
        m_pSavedBackBuffer->Release();
    if (m_pSavedDepthStencil)
        m_pSavedDepthStencil->Release();
}

void Direct3DRenderer::UnbindTextures()
{
    for (int i = 0; i < m_nStageCount; ++i)
        m_pDevice->SetTexture(static_cast<DWORD>(i), nullptr);
}

bool Direct3DRenderer::RestoreBackBuffer()
{
    m_pDevice->SetRenderTarget(0, m_pSavedBackBuffer);
    m_pDevice->SetDepthStencilSurface(m_pSavedDepthStencil);
    return true;
}

void Direct3DRenderer::SelectStage(int nStage)
{
    m_nActiveStage = nStage;
}

void Direct3DRenderer::BindStageTexture(int nId)
{
    if (nId == m_CurrentTexture[m_nActiveStage])
        return;
    m_pDevice->SetTexture(static_cast<DWORD>(m_nActiveStage), GetDeviceTexture(nId));
    m_CurrentTexture[m_nActiveStage] = nId;
}

void Direct3DRenderer::ApplyCombineMode(int nMode, bool bAlpha)
{
    if (nMode < 0 || nMode >= COMBINE_MODE_COUNT)
        return;
    const CombineStates& states = COMBINE_STATES[nMode];
    if (!states.m_nOperation || (bAlpha && states.m_bColorOnly))
        return;
    const D3DTEXTURESTAGESTATETYPE* pTypes = bAlpha ? ALPHA_STATES : COLOR_STATES;
    DWORD nStage = static_cast<DWORD>(m_nActiveStage);
    m_pDevice->SetTextureStageState(nStage, pTypes[0], states.m_nOperation);
    for (int i = 0; i < states.m_nArgCount; ++i)
        m_pDevice->SetTextureStageState(nStage, pTypes[i + 1], states.m_Args[i]);
}

void Direct3DRenderer::SetTextureCombiner(int nColorMode, int nAlphaMode)
{
    int& nCurrentColor = m_CurrentColorMode[m_nActiveStage];
    int& nCurrentAlpha = m_CurrentAlphaMode[m_nActiveStage];
    if (nColorMode != nCurrentColor)
        ApplyCombineMode(nColorMode, false);
    if (nAlphaMode != nCurrentAlpha)
        ApplyCombineMode(nAlphaMode, true);
    nCurrentColor = nColorMode;
    nCurrentAlpha = nAlphaMode;
}

void Direct3DRenderer::SetStageOption(int)
{
}

void Direct3DRenderer::BindPixelShader(int nId)
{
    m_pDevice->SetPixelShader(static_cast<IDirect3DPixelShader9*>(GetDevicePixelShader(nId)));
}

void Direct3DRenderer::BindVertexShader(int nId)
{
    m_pDevice->SetVertexShader(static_cast<IDirect3DVertexShader9*>(GetDeviceVertexShader(nId)));
}

void Direct3DRenderer::SetBlend(int nSrcBlend, int nDestBlend, int nBlendOp)
{
    if (!m_bBlendRequested)
    {
        if (m_bBlendEnabled)
        {
            m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            m_bBlendEnabled = false;
        }
        return;
    }
    struct BlendState
    {
        int32_t& m_nCurrent;
        int m_nValue;
        D3DRENDERSTATETYPE m_nState;
    };
    BlendState states[] = {{m_nCurrentSrcBlend, nSrcBlend, D3DRS_SRCBLEND},
                           {m_nCurrentDestBlend, nDestBlend, D3DRS_DESTBLEND},
                           {m_nCurrentBlendOp, nBlendOp, D3DRS_BLENDOP}};
    for (BlendState& state : states)
        if (state.m_nValue != state.m_nCurrent)
        {
            state.m_nCurrent = state.m_nValue;
            m_pDevice->SetRenderState(state.m_nState, static_cast<DWORD>(state.m_nValue));
        }
    if (!m_bBlendEnabled)
    {
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        m_bBlendEnabled = true;
    }
}

void Direct3DRenderer::SetVSync(bool)
{
}

void Direct3DRenderer::SetTextureAnisotropy(int nId, bool bEnabled)
{
    TextureEntry* pEntry = FindTextureEntry(nId);
    if (pEntry && pEntry->m_nType == TEXTURE_2D)
        pEntry->m_nAnisotropy = bEnabled ? m_nMaxAnisotropy : 1;
}
