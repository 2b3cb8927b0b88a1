#pragma once
// A simple sampler over small float or fp16 RGBA textures for program tests and benchmarks:
// point or bilinear filtering, wrap or clamp addressing, 2D or cube. It follows the device's
// addressing rules (coordinates snapped to 1/256 texel; point takes floor(u W); bilinear
// u W - 0.5) but has no mip levels.
#include "cpu/formats/Half.h"   // the device's conversions, for tests that build fp16 textures
#include "cpu/shader/ShaderSampler.h"

#include <cstdint>
#include <vector>

struct TestTexture
{
    unsigned nWidth = 1;
    unsigned nHeight = 1;
    std::vector<float> texels;        // r, g, b, a per texel, rows top first; used when halfs is empty
    std::vector<uint16_t> halfs;      // the same as fp16 (A16B16G16R16F order: r, g, b, a)
    bool bLinear = false;
    bool bClamp = false;
};

class TestSampler final : public ShaderSampler
{
public:
    // A 2D texture on a stage (null unbinds it). The texture must outlive the sampler's use.
    void SetTexture(unsigned nStage, const TestTexture* pTexture);
    // A cube: faces +X, -X, +Y, -Y, +Z, -Z.
    void SetCube(unsigned nStage, const TestTexture* const pFaces[6]);

    void SampleQuads(unsigned nStage, const float* const coord[3], const float* pBias, unsigned nLanes,
                     float* const out[4]) override;

private:
    struct Stage
    {
        const TestTexture* pFaces[6] = {};
        bool bCube = false;
    };
    Stage m_stages[16];
};

