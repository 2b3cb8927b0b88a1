#include "cpu/merger/OutputMerger.h"

#include <algorithm>
#include <cmath>

namespace
{
float Saturate(float v)
{
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;  // NaN → 0
}

BYTE StencilOp(DWORD nOp, BYTE nValue, BYTE nRef)
{
    switch (nOp)
    {
    case D3DSTENCILOP_ZERO: return 0;
    case D3DSTENCILOP_REPLACE: return nRef;
    case D3DSTENCILOP_INCRSAT: return nValue == 255 ? 255 : nValue + 1;
    case D3DSTENCILOP_DECRSAT: return nValue == 0 ? 0 : nValue - 1;
    case D3DSTENCILOP_INVERT: return (BYTE)~nValue;
    case D3DSTENCILOP_INCR: return (BYTE)(nValue + 1);
    case D3DSTENCILOP_DECR: return (BYTE)(nValue - 1);
    default: return nValue;
    }
}

// One blend factor for colour channel c (0-3).
float Factor(DWORD nBlend, int c, const float src[4], const float dst[4], const float constant[4])
{
    switch (nBlend)
    {
    case D3DBLEND_ZERO: return 0.0f;
    case D3DBLEND_ONE: return 1.0f;
    case D3DBLEND_SRCCOLOR: return src[c];
    case D3DBLEND_INVSRCCOLOR: return 1.0f - src[c];
    case D3DBLEND_SRCALPHA: return src[3];
    case D3DBLEND_INVSRCALPHA: return 1.0f - src[3];
    case D3DBLEND_DESTALPHA: return dst[3];
    case D3DBLEND_INVDESTALPHA: return 1.0f - dst[3];
    case D3DBLEND_DESTCOLOR: return dst[c];
    case D3DBLEND_INVDESTCOLOR: return 1.0f - dst[c];
    case D3DBLEND_SRCALPHASAT: return c == 3 ? 1.0f : std::min(src[3], 1.0f - dst[3]);
    case D3DBLEND_BLENDFACTOR: return constant[c];
    case D3DBLEND_INVBLENDFACTOR: return 1.0f - constant[c];
    default: return 1.0f;
    }
}
}

bool CompareValues(DWORD nFunc, float a, float b)
{
    switch (nFunc)
    {
    case D3DCMP_NEVER: return false;
    case D3DCMP_LESS: return a < b;
    case D3DCMP_EQUAL: return a == b;
    case D3DCMP_LESSEQUAL: return a <= b;
    case D3DCMP_GREATER: return a > b;
    case D3DCMP_NOTEQUAL: return a != b;
    case D3DCMP_GREATEREQUAL: return a >= b;
    default: return true;
    }
}

void OutputMerger::Configure(const DeviceState& state, const DrawResources& resources)
{
    const DWORD* rs = state.renderStates;
    for (int i = 0; i < 4; ++i)
        m_targets[i] = resources.targets[i];
    m_pDepth = resources.pDepthStencil;
    m_bDepthTest = m_pDepth && rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    m_bDepthWrite = m_bDepthTest && rs[D3DRS_ZWRITEENABLE];
    m_nDepthFunc = rs[D3DRS_ZFUNC];
    m_bStencil = m_pDepth && rs[D3DRS_STENCILENABLE];
    m_bTwoSided = rs[D3DRS_TWOSIDEDSTENCILMODE] != 0;
    m_front = {rs[D3DRS_STENCILFUNC], rs[D3DRS_STENCILFAIL], rs[D3DRS_STENCILZFAIL], rs[D3DRS_STENCILPASS]};
    m_back = {rs[D3DRS_CCW_STENCILFUNC], rs[D3DRS_CCW_STENCILFAIL], rs[D3DRS_CCW_STENCILZFAIL], rs[D3DRS_CCW_STENCILPASS]};
    m_nStencilRef = rs[D3DRS_STENCILREF] & 0xFF;
    m_nStencilMask = rs[D3DRS_STENCILMASK] & 0xFF;
    m_nStencilWriteMask = rs[D3DRS_STENCILWRITEMASK] & 0xFF;
    m_bAlphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    m_nAlphaFunc = rs[D3DRS_ALPHAFUNC];
    m_nAlphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    m_bBlend = rs[D3DRS_ALPHABLENDENABLE] != 0;
    m_nSrcBlend = rs[D3DRS_SRCBLEND];
    m_nDestBlend = rs[D3DRS_DESTBLEND];
    m_nBlendOp = rs[D3DRS_BLENDOP];
    ColorToFloat(rs[D3DRS_BLENDFACTOR], m_blendFactor);
    const DWORD writeStates[4] = {D3DRS_COLORWRITEENABLE, D3DRS_COLORWRITEENABLE1, D3DRS_COLORWRITEENABLE2,
                                  D3DRS_COLORWRITEENABLE3};
    for (int i = 0; i < 4; ++i)
        m_nWriteMask[i] = rs[writeStates[i]] & 0xF;
}

void OutputMerger::Blend(const float src[4], const float dst[4], float out[4]) const
{
    for (int c = 0; c < 4; ++c)
    {
        const float s = src[c] * Factor(m_nSrcBlend, c, src, dst, m_blendFactor);
        const float d = dst[c] * Factor(m_nDestBlend, c, src, dst, m_blendFactor);
        switch (m_nBlendOp)
        {
        case D3DBLENDOP_SUBTRACT: out[c] = s - d; break;
        case D3DBLENDOP_REVSUBTRACT: out[c] = d - s; break;
        case D3DBLENDOP_MIN: out[c] = std::min(src[c], dst[c]); break;
        case D3DBLENDOP_MAX: out[c] = std::max(src[c], dst[c]); break;
        default: out[c] = s + d; break;
        }
    }
}

bool OutputMerger::Merge(UINT x, UINT y, const MergeFragment& fragment) const
{
    if (m_bAlphaTest && fragment.colors[0])
    {
        const float fAlpha = std::nearbyint(Saturate(fragment.colors[0][3]) * 255.0f);
        if (!CompareValues(m_nAlphaFunc, fAlpha, (float)m_nAlphaRef))
            return false;
    }
    if (m_pDepth)
    {
        const size_t nIndex = (size_t)y * m_pDepth->nWidth + x;
        BYTE& nStencil = m_pDepth->stencilValues[nIndex];
        float& fStored = m_pDepth->depthValues[nIndex];
        const StencilFace& face = m_bTwoSided && fragment.bBackFace ? m_back : m_front;
        auto UpdateStencil = [&](DWORD nOp) {
            const BYTE nNew = StencilOp(nOp, nStencil, (BYTE)m_nStencilRef);
            nStencil = (BYTE)((nStencil & ~m_nStencilWriteMask) | (nNew & m_nStencilWriteMask));
        };
        if (m_bStencil &&
            !CompareValues(face.nFunc, (float)(m_nStencilRef & m_nStencilMask), (float)(nStencil & m_nStencilMask)))
        {
            UpdateStencil(face.nFail);
            return false;
        }
        const float fDepth = fragment.fDepth;
        if (m_bDepthTest && !CompareValues(m_nDepthFunc, fDepth, fStored))
        {
            if (m_bStencil)
                UpdateStencil(face.nDepthFail);
            return false;
        }
        if (m_bStencil)
            UpdateStencil(face.nPass);
        if (m_bDepthWrite)
            fStored = fDepth;
    }
    for (int i = 0; i < 4; ++i)
    {
        ImageStorage* pTarget = m_targets[i];
        if (!pTarget || !fragment.colors[i] || m_nWriteMask[i] == 0)
            continue;
        const FormatInfo& format = *pTarget->pFormat;
        BYTE* pPixel = pTarget->Row(y) + (size_t)x * format.bytesPerBlock;
        const bool bUnorm = format.type == ChannelType::Unorm;
        float src[4], result[4];
        for (int c = 0; c < 4; ++c)
            src[c] = bUnorm ? Saturate(fragment.colors[i][c]) : fragment.colors[i][c];
        float dst[4];
        const bool bNeedDest = m_bBlend || m_nWriteMask[i] != 0xF;
        if (bNeedDest)
            DecodePixel(format, pPixel, dst);
        if (m_bBlend)
            Blend(src, dst, result);
        else
            std::copy(src, src + 4, result);
        for (int c = 0; c < 4; ++c)
            if (!(m_nWriteMask[i] & (1u << c)))
                result[c] = dst[c];
        EncodePixel(format, result, pPixel);
    }
    return true;
}
