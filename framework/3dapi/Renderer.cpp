// The renderer's state: selection, the caches behind ApplyState, state sets and ReleaseAll.
#include "3dapi/Renderer.h"

#include "core/Log.h"

Renderer::Renderer() = default;

Renderer::~Renderer() = default;

void Renderer::SetStageCount(int nStageCount)
{
    if (nStageCount > MAX_STAGES)
    {
        LogWarning("Renderer::SetStageCount() - the device offers %d texture stages; %d are used.", nStageCount,
                   MAX_STAGES);
        nStageCount = MAX_STAGES;
    }
    m_nStageCount = nStageCount < 0 ? 0 : nStageCount;
}

void Renderer::SelectTextures(int t0, int t1, int t2, int t3, int t4, int t5)
{
    const int ids[] = {t0, t1, t2, t3, t4, t5};
    for (int i = 0; i < 6; ++i)
        m_PendingTexture[i] = ids[i];
}

void Renderer::ResetState()
{
    for (int i = 0; i < m_nStageCount; ++i)
    {
        m_CurrentTexture[i] = -1;
        m_CurrentColorMode[i] = COMBINE_MODULATE;
        m_CurrentAlphaMode[i] = COMBINE_MODULATE;
        m_CurrentStageOption[i] = 0;
    }
    m_nActiveStage = 0;
    m_nCurrentSrcBlend = -1;
    m_nCurrentDestBlend = -1;
    m_nCurrentBlendOp = 1;  // D3DBLENDOP_ADD
    m_bBlendEnabled = true;
    m_nCurrentPixelShader = -1;
    m_nCurrentVertexShader = -1;
    m_nCurrentRenderTarget = -1;
    ClearPendingState();
}

void Renderer::ClearPendingState()
{
    for (int i = 0; i < m_nStageCount; ++i)
    {
        m_PendingTexture[i] = -1;
        m_PendingColorMode[i] = COMBINE_UNCHANGED;
        m_PendingAlphaMode[i] = COMBINE_UNCHANGED;
        m_PendingStageOption[i] = 0;
    }
    m_bBlendRequested = false;
    m_nPendingPixelShader = -1;
    m_nPendingVertexShader = -1;
}

void Renderer::ApplyState()
{
    bool bPixelSet = (m_nStateSetMask & STATE_SET_PIXEL) != 0;
    for (int i = 0; i < m_nStageCount; ++i)
    {
        SelectStage(i);
        BindStageTexture(m_PendingTexture[i]);
        SetStageOption(m_PendingStageOption[i]);
        // A pixel shader replaces the fixed-function combiners, so they are left alone under one.
        if (bPixelSet && m_nPendingPixelShader == -1)
            SetTextureCombiner(m_PendingColorMode[i], m_PendingAlphaMode[i]);
    }
    if (bPixelSet)
        BindPixelShader(m_nPendingPixelShader);
    if (m_nStateSetMask & STATE_SET_VERTEX)
        BindVertexShader(m_nPendingVertexShader);
    if (m_nStateSetMask & STATE_SET_BLEND)
        SetBlend(m_nPendingSrcBlend, m_nPendingDestBlend, m_nPendingBlendOp);
    ClearPendingState();
}

void Renderer::ApplyShaders()
{
    if (m_nStateSetMask & STATE_SET_PIXEL)
        BindPixelShader(m_nPendingPixelShader);
    if (m_nStateSetMask & STATE_SET_VERTEX)
        BindVertexShader(m_nPendingVertexShader);
}

void Renderer::BindTexture(int nStage, int nId)
{
    // The per-stage records hold only the managed stages.
    if (nStage < 0 || nStage >= m_nStageCount)
    {
        LogWarning("Renderer::BindTexture() - stage %d is not one of the %d texture stages.", nStage, m_nStageCount);
        return;
    }
    SelectStage(nStage);
    BindStageTexture(nId);
}

void Renderer::EnableStateSets(uint32_t nBits)
{
    m_nStateSetMask |= nBits;
}

void Renderer::DisableStateSets(uint32_t nBits)
{
    m_nStateSetMask &= ~nBits;
    if (nBits & STATE_SET_PIXEL)
        BindPixelShader(m_nPendingPixelShader);
    if (nBits & STATE_SET_VERTEX)
        BindVertexShader(m_nPendingVertexShader);
    if (nBits & STATE_SET_BLEND)
        SetBlend(m_nPendingSrcBlend, m_nPendingDestBlend, 1);  // D3DBLENDOP_ADD, not the pending one
}

void Renderer::ReleaseAll()
{
    ClearPendingState();
    ApplyState();
    UnbindTextures();
    for (int nId = m_TextureEntries.GetCount() - 1; nId >= 0; --nId)
        DestroyTexture(nId);
    for (int nId = m_PixelShaderEntries.GetCount() - 1; nId >= 0; --nId)
        DestroyPixelShader(nId);
    for (int nId = m_VertexShaderEntries.GetCount() - 1; nId >= 0; --nId)
        DestroyVertexShader(nId);
}

const TextureEntry* Renderer::GetTextureEntry(int nId) const
{
    return nId >= 0 && nId < m_TextureEntries.GetCount() ? &m_TextureEntries[nId] : nullptr;
}

TextureEntry* Renderer::FindTextureEntry(int nId)
{
    return const_cast<TextureEntry*>(GetTextureEntry(nId));
}

const ShaderEntry* Renderer::GetPixelShaderEntry(int nId) const
{
    return nId >= 0 && nId < m_PixelShaderEntries.GetCount() ? &m_PixelShaderEntries[nId] : nullptr;
}

const ShaderEntry* Renderer::GetVertexShaderEntry(int nId) const
{
    return nId >= 0 && nId < m_VertexShaderEntries.GetCount() ? &m_VertexShaderEntries[nId] : nullptr;
}

ShaderEntry* Renderer::FindShaderEntry(Array<ShaderEntry>& table, int nId)
{
    return nId >= 0 && nId < table.GetCount() ? &table[nId] : nullptr;
}

IDirect3DBaseTexture9* Renderer::GetDeviceTexture(int nId) const
{
    const TextureEntry* pEntry = GetTextureEntry(nId);
    return pEntry ? pEntry->m_pDeviceTexture : nullptr;
}

IUnknown* Renderer::GetDevicePixelShader(int nId) const
{
    const ShaderEntry* pEntry = GetPixelShaderEntry(nId);
    return pEntry ? pEntry->m_pDeviceShader : nullptr;
}

IUnknown* Renderer::GetDeviceVertexShader(int nId) const
{
    const ShaderEntry* pEntry = GetVertexShaderEntry(nId);
    return pEntry ? pEntry->m_pDeviceShader : nullptr;
}
