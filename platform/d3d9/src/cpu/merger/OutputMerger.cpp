#include "cpu/merger/OutputMerger.h"

#include "cpu/formats/PixelRuns.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

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

// Blend factor for colour channel c (0-3) of n pixels.
void Factors(DWORD nBlend, int c, const float* const src[4], const float* const dst[4], const float constant[4],
             unsigned n, float* pOut)
{
    switch (nBlend)
    {
    case D3DBLEND_ZERO: std::fill_n(pOut, n, 0.0f); return;
    case D3DBLEND_SRCCOLOR: std::copy_n(src[c], n, pOut); return;
    case D3DBLEND_SRCALPHA: std::copy_n(src[3], n, pOut); return;
    case D3DBLEND_DESTALPHA: std::copy_n(dst[3], n, pOut); return;
    case D3DBLEND_DESTCOLOR: std::copy_n(dst[c], n, pOut); return;
    case D3DBLEND_BLENDFACTOR: std::fill_n(pOut, n, constant[c]); return;
    case D3DBLEND_INVBLENDFACTOR: std::fill_n(pOut, n, 1.0f - constant[c]); return;
    default: break;
    }
    const float* pInverse = nBlend == D3DBLEND_INVSRCCOLOR    ? src[c]
                            : nBlend == D3DBLEND_INVSRCALPHA  ? src[3]
                            : nBlend == D3DBLEND_INVDESTALPHA ? dst[3]
                            : nBlend == D3DBLEND_INVDESTCOLOR ? dst[c]
                                                              : nullptr;
    if (pInverse)
        for (unsigned i = 0; i < n; ++i)
            pOut[i] = 1.0f - pInverse[i];
    else if (nBlend == D3DBLEND_SRCALPHASAT && c < 3)
        for (unsigned i = 0; i < n; ++i)
            pOut[i] = std::min(src[3][i], 1.0f - dst[3][i]);
    else  // ONE, the alpha of SRCALPHASAT, and unknown factors
        std::fill_n(pOut, n, 1.0f);
}

// Moves n pixels of N bytes between a packed run and their places in a tile (pixel p of the
// tile at pTile + (p / 8) rows + (p % 8) pixels).
template <size_t N, bool bToTile>
void MovePixels(BYTE* pRun, const uint8_t* pixels, unsigned n, BYTE* pTile, size_t nRowPitch)
{
    for (unsigned i = 0; i < n; ++i)
    {
        BYTE* pPlace = pTile + (pixels[i] / TILE_SIZE) * nRowPitch + (pixels[i] % TILE_SIZE) * N;
        if (bToTile)
            std::memcpy(pPlace, pRun + i * N, N);
        else
            std::memcpy(pRun + i * N, pPlace, N);
    }
}

template <bool bToTile>
void MovePixels(size_t nSize, BYTE* pRun, const uint8_t* pixels, unsigned n, BYTE* pTile, size_t nRowPitch)
{
    switch (nSize)
    {
    case 1: MovePixels<1, bToTile>(pRun, pixels, n, pTile, nRowPitch); break;
    case 2: MovePixels<2, bToTile>(pRun, pixels, n, pTile, nRowPitch); break;
    case 4: MovePixels<4, bToTile>(pRun, pixels, n, pTile, nRowPitch); break;
    case 8: MovePixels<8, bToTile>(pRun, pixels, n, pTile, nRowPitch); break;
    default: MovePixels<16, bToTile>(pRun, pixels, n, pTile, nRowPitch); break;
    }
}

// Each set bit's index, lowest first.
template <typename Fn>
void ForEachBit(uint64_t nMask, Fn fn)
{
    for (; nMask; nMask &= nMask - 1)
        fn((unsigned)std::countr_zero(nMask));
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
    const bool bAdd = m_nBlendOp == D3DBLENDOP_ADD;
    m_bBlendAdd = bAdd && m_nSrcBlend == D3DBLEND_ONE && m_nDestBlend == D3DBLEND_ONE;
    m_bBlendZero = bAdd && m_nSrcBlend == D3DBLEND_ZERO && m_nDestBlend == D3DBLEND_ZERO;
    ColorToFloat(rs[D3DRS_BLENDFACTOR], m_blendFactor);
    const DWORD writeStates[4] = {D3DRS_COLORWRITEENABLE, D3DRS_COLORWRITEENABLE1, D3DRS_COLORWRITEENABLE2,
                                  D3DRS_COLORWRITEENABLE3};
    for (int i = 0; i < 4; ++i)
        m_nWriteMask[i] = rs[writeStates[i]] & 0xF;
}

void OutputMerger::Blend(const float* const src[4], const float* const dst[4], unsigned n, float* const out[4]) const
{
    if (m_bBlendAdd)
    {
        // s·1 + d·1 is s + d to the bit.
        for (int c = 0; c < 4; ++c)
            for (unsigned i = 0; i < n; ++i)
                out[c][i] = src[c][i] + dst[c][i];
        return;
    }
    for (int c = 0; c < 4; ++c)
    {
        float fs[TILE_LANES], fd[TILE_LANES];
        Factors(m_nSrcBlend, c, src, dst, m_blendFactor, n, fs);
        Factors(m_nDestBlend, c, src, dst, m_blendFactor, n, fd);
        const float* s = src[c];
        const float* d = dst[c];
        float* o = out[c];
        switch (m_nBlendOp)
        {
        case D3DBLENDOP_SUBTRACT:
            for (unsigned i = 0; i < n; ++i)
                o[i] = s[i] * fs[i] - d[i] * fd[i];
            break;
        case D3DBLENDOP_REVSUBTRACT:
            for (unsigned i = 0; i < n; ++i)
                o[i] = d[i] * fd[i] - s[i] * fs[i];
            break;
        case D3DBLENDOP_MIN:
            for (unsigned i = 0; i < n; ++i)
                o[i] = std::min(s[i], d[i]);
            break;
        case D3DBLENDOP_MAX:
            for (unsigned i = 0; i < n; ++i)
                o[i] = std::max(s[i], d[i]);
            break;
        default:
            for (unsigned i = 0; i < n; ++i)
                o[i] = s[i] * fs[i] + d[i] * fd[i];
            break;
        }
    }
}

bool OutputMerger::StoresZero(const ImageStorage& target, DWORD nWriteMask) const
{
    return m_bBlend && m_bBlendZero && nWriteMask == 0xF && target.pFormat->type == ChannelType::Unorm;
}

bool OutputMerger::IgnoresColors(unsigned nColors) const
{
    if (m_bAlphaTest)
        return false;
    for (int t = 0; t < 4; ++t)
    {
        const ImageStorage* pTarget = m_targets[t];
        if (pTarget && ((nColors >> t) & 1) && m_nWriteMask[t] != 0 && !StoresZero(*pTarget, m_nWriteMask[t]))
            return false;
    }
    return true;
}

uint64_t OutputMerger::AlphaTest(uint64_t nMask, const float* pAlpha) const
{
    uint64_t nPassed = nMask;
    ForEachBit(nMask, [&](unsigned p) {
        const float fAlpha = std::nearbyint(Saturate(pAlpha[TILE_PIXEL_LANES.lanes[p]]) * 255.0f);
        if (!CompareValues(m_nAlphaFunc, fAlpha, (float)m_nAlphaRef))
            nPassed &= ~(1ull << p);
    });
    return nPassed;
}

uint64_t OutputMerger::TestDepthStencil(int x, int y, uint64_t nMask, const float* pDepth, bool bBackFace) const
{
    if (!m_pDepth || !(m_bDepthTest || m_bStencil))
        return nMask;
    if (m_bStencil)
        return TestStencil(x, y, nMask, pDepth, bBackFace);
    uint64_t nPassed = 0;
    float* pStored = m_pDepth->depthValues.data() + (size_t)y * m_pDepth->nWidth + x;
    ForEachBit(nMask, [&](unsigned p) {
        float& fStored = pStored[(size_t)(p / TILE_SIZE) * m_pDepth->nWidth + p % TILE_SIZE];
        const float fDepth = pDepth[TILE_PIXEL_LANES.lanes[p]];
        if (!CompareValues(m_nDepthFunc, fDepth, fStored))
            return;
        nPassed |= 1ull << p;
        if (m_bDepthWrite)
            fStored = fDepth;
    });
    return nPassed;
}

uint64_t OutputMerger::TestStencil(int x, int y, uint64_t nMask, const float* pDepth, bool bBackFace) const
{
    const StencilFace& face = m_bTwoSided && bBackFace ? m_back : m_front;
    uint64_t nPassed = 0;
    ForEachBit(nMask, [&](unsigned p) {
        const size_t nIndex = (size_t)(y + (int)(p / TILE_SIZE)) * m_pDepth->nWidth + (size_t)x + p % TILE_SIZE;
        BYTE& nStencil = m_pDepth->stencilValues[nIndex];
        float& fStored = m_pDepth->depthValues[nIndex];
        auto UpdateStencil = [&](DWORD nOp) {
            const BYTE nNew = StencilOp(nOp, nStencil, (BYTE)m_nStencilRef);
            nStencil = (BYTE)((nStencil & ~m_nStencilWriteMask) | (nNew & m_nStencilWriteMask));
        };
        if (!CompareValues(face.nFunc, (float)(m_nStencilRef & m_nStencilMask), (float)(nStencil & m_nStencilMask)))
        {
            UpdateStencil(face.nFail);
            return;
        }
        // Depth is read only with the depth test on, which depth writes need too.
        if (m_bDepthTest)
        {
            const float fDepth = pDepth[TILE_PIXEL_LANES.lanes[p]];
            if (!CompareValues(m_nDepthFunc, fDepth, fStored))
            {
                UpdateStencil(face.nDepthFail);
                return;
            }
            if (m_bDepthWrite)
                fStored = fDepth;
        }
        UpdateStencil(face.nPass);
        nPassed |= 1ull << p;
    });
    return nPassed;
}

void OutputMerger::StoreColors(int x, int y, uint64_t nMask, const float (*colors)[4][TILE_LANES],
                               unsigned nColors) const
{
    for (int t = 0; t < 4; ++t)
    {
        ImageStorage* pTarget = m_targets[t];
        if (pTarget && ((nColors >> t) & 1) && m_nWriteMask[t] != 0)
            StoreTarget(*pTarget, m_nWriteMask[t], x, y, nMask, colors[t]);
    }
}

void OutputMerger::StoreTarget(ImageStorage& target, DWORD nWriteMask, int x, int y, uint64_t nMask,
                               const float (*colors)[TILE_LANES]) const
{
    const FormatInfo& format = *target.pFormat;
    const size_t nSize = format.bytesPerBlock;
    // Only the pixels of the mask are converted, packed into runs: a piece of a small primitive
    // holds a few pixels of its tile.
    uint8_t pixels[TILE_LANES];
    unsigned n = 0;
    ForEachBit(nMask, [&](unsigned p) { pixels[n++] = (uint8_t)p; });
    if (!n)
        return;
    BYTE* pTile = target.Row((UINT)y) + (size_t)x * nSize;
    BYTE bytes[TILE_LANES * 16];
    if (StoresZero(target, nWriteMask))
    {
        static constexpr float ZEROS[TILE_LANES] = {};
        const float* zero[4] = {ZEROS, ZEROS, ZEROS, ZEROS};
        EncodePixelRun(format, zero, n, bytes);
        MovePixels<true>(nSize, bytes, pixels, n, pTile, target.nRowPitch);
        return;
    }
    float src[4][TILE_LANES], dst[4][TILE_LANES], blended[4][TILE_LANES];
    for (int c = 0; c < 4; ++c)
        for (unsigned i = 0; i < n; ++i)
            src[c][i] = colors[c][TILE_PIXEL_LANES.lanes[pixels[i]]];
    // UNORM encoding saturates by itself, so only blending needs the saturated colour first.
    const float* result[4] = {src[0], src[1], src[2], src[3]};
    if (m_bBlend || nWriteMask != 0xF)
    {
        MovePixels<false>(nSize, bytes, pixels, n, pTile, target.nRowPitch);
        float* const dest[4] = {dst[0], dst[1], dst[2], dst[3]};
        DecodePixelRun(format, bytes, n, dest);
        if (m_bBlend)
        {
            if (format.type == ChannelType::Unorm)
                for (int c = 0; c < 4; ++c)
                    for (unsigned i = 0; i < n; ++i)
                        src[c][i] = Saturate(src[c][i]);
            const float* const source[4] = {src[0], src[1], src[2], src[3]};
            const float* const destination[4] = {dst[0], dst[1], dst[2], dst[3]};
            float* const out[4] = {blended[0], blended[1], blended[2], blended[3]};
            Blend(source, destination, n, out);
            for (int c = 0; c < 4; ++c)
                result[c] = blended[c];
        }
        for (int c = 0; c < 4; ++c)
            if (!(nWriteMask & (1u << c)))
                result[c] = dst[c];
    }
    EncodePixelRun(format, result, n, bytes);
    MovePixels<true>(nSize, bytes, pixels, n, pTile, target.nRowPitch);
}
