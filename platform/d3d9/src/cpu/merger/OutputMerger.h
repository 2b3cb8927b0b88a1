#pragma once
// The output merger: alpha test, stencil (two-sided), depth test and write, blending, colour
// write mask and the store into up to four targets of any colour format. Configured once per
// draw from the state, then used read-only by every worker (each owns the pixels it merges).
#include "device/Backend.h"
#include "device/DeviceState.h"

struct MergeFragment
{
    const float* colors[4];   // oC0-oC3 as r, g, b, a (null: target left unchanged)
    float fDepth;
    bool bBackFace;           // the counter-clockwise side, for two-sided stencil
};

class OutputMerger
{
public:
    void Configure(const DeviceState& state, const DrawResources& resources);
    // Merges one fragment at pixel (x, y). True when it passed alpha, stencil and depth tests
    // (what occlusion queries count).
    bool Merge(UINT x, UINT y, const MergeFragment& fragment) const;

private:
    struct StencilFace
    {
        DWORD nFunc, nFail, nDepthFail, nPass;
    };
    void Blend(const float src[4], const float dst[4], float out[4]) const;

    ImageStorage* m_targets[4] = {};
    ImageStorage* m_pDepth = nullptr;
    bool m_bDepthTest = false, m_bDepthWrite = false, m_bStencil = false, m_bTwoSided = false;
    bool m_bAlphaTest = false, m_bBlend = false;
    DWORD m_nDepthFunc = 0, m_nAlphaFunc = 0, m_nAlphaRef = 0;
    StencilFace m_front{}, m_back{};
    DWORD m_nStencilRef = 0, m_nStencilMask = 0, m_nStencilWriteMask = 0;
    DWORD m_nSrcBlend = 0, m_nDestBlend = 0, m_nBlendOp = 0;
    float m_blendFactor[4] = {};
    DWORD m_nWriteMask[4] = {};
};

// The comparison functions of depth, stencil and alpha tests: a passes against b.
bool CompareValues(DWORD nFunc, float a, float b);
