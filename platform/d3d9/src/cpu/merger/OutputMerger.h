#pragma once
// The output merger: alpha test, stencil (two-sided), depth test and write, blending, colour
// write mask and the store into up to four targets of any colour format. Configured once per
// draw from the state, then used read-only by every worker (each owns the pixels it merges).
// It works on one 8×8 tile at a time: values per lane as the shading leaves them, pixels chosen
// by masks with bit dy·8 + dx (TILE_PIXEL_LANES).
#include "cpu/raster/PixelShading.h"
#include "device/Backend.h"
#include "device/DeviceState.h"

class OutputMerger
{
public:
    void Configure(const DeviceState& state, const DrawResources& resources);

    bool TestsAlpha() const { return m_bAlphaTest; }
    // Whether no stored byte depends on the colours the shading gives (ZERO / ZERO blending
    // into UNORM targets, or nothing written), so the colours need not be computed.
    bool IgnoresColors(unsigned nColors) const;
    // Whether TestDepthStencil reads the fragments' depth.
    bool ReadsDepth() const { return m_bDepthTest; }
    // The pixels of nMask whose oC0 alpha (per lane) passes the alpha test.
    uint64_t AlphaTest(uint64_t nMask, const float* pAlpha) const;
    // Stencil and depth tests, with their stencil and depth writes, for the pixels of nMask of
    // the tile whose top-left pixel is (x, y); pDepth holds each lane's depth. Returns the
    // pixels that passed (what occlusion queries count).
    uint64_t TestDepthStencil(int x, int y, uint64_t nMask, const float* pDepth, bool bBackFace) const;
    // Blends and stores oCn into target n for each bit n of nColors, for the pixels of nMask.
    void StoreColors(int x, int y, uint64_t nMask, const float (*colors)[4][TILE_LANES], unsigned nColors) const;

private:
    struct StencilFace
    {
        DWORD nFunc, nFail, nDepthFail, nPass;
    };
    uint64_t TestStencil(int x, int y, uint64_t nMask, const float* pDepth, bool bBackFace) const;
    // Stores the pixels of nMask of one target from colors[c][lane].
    void StoreTarget(ImageStorage& target, DWORD nWriteMask, int x, int y, uint64_t nMask,
                     const float (*colors)[TILE_LANES]) const;
    void Blend(const float* const src[4], const float* const dst[4], unsigned n, float* const out[4]) const;
    // ZERO / ZERO into a UNORM target stores 0 whatever the colours (the source is saturated
    // first and the stored value is finite, so both products are 0).
    bool StoresZero(const ImageStorage& target, DWORD nWriteMask) const;

    ImageStorage* m_targets[4] = {};
    ImageStorage* m_pDepth = nullptr;
    bool m_bDepthTest = false, m_bDepthWrite = false, m_bStencil = false, m_bTwoSided = false;
    bool m_bAlphaTest = false, m_bBlend = false;
    DWORD m_nDepthFunc = 0, m_nAlphaFunc = 0, m_nAlphaRef = 0;
    StencilFace m_front{}, m_back{};
    DWORD m_nStencilRef = 0, m_nStencilMask = 0, m_nStencilWriteMask = 0;
    DWORD m_nSrcBlend = 0, m_nDestBlend = 0, m_nBlendOp = 0;
    // The blend's common pairs, with ADD: ONE / ONE is s + d; ZERO / ZERO gives 0 where the
    // values are finite. Both give the bits the general form gives.
    bool m_bBlendAdd = false, m_bBlendZero = false;
    float m_blendFactor[4] = {};
    DWORD m_nWriteMask[4] = {};
};

// The comparison functions of depth, stencil and alpha tests: a passes against b.
bool CompareValues(DWORD nFunc, float a, float b);
