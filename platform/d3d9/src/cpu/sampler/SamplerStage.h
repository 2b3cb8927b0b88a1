#pragma once
// One sampler stage as a draw reads it: its states and, for every face and level of the bound
// texture, where the texels lie. Built by TextureSampler::Configure, then only read.
#include "cpu/formats/ImageStorage.h"

#include <vector>

// One face level (or volume level) of a texture.
struct TexelImage
{
    const BYTE* pBits = nullptr;   // texel (0, 0, 0); decoded float RGBA for compressed formats
    size_t nRowPitch = 0;          // bytes between rows of texels
    size_t nSlicePitch = 0;        // bytes between slices
    int size[3] = {1, 1, 1};
    const ImageStorage* pStorage = nullptr;
};

enum class Lookup : uint8_t
{
    Plane,   // 2D (a cube bound to a 2D sampler reads its face +X)
    Cube,
    Volume,
};

struct SamplerStage;
// Samples nLanes lanes (whole quads) of a stage; see ShaderSampler::SampleQuads.
using StageSampleFn = void (*)(const SamplerStage& stage, const float* const coord[3], const float* pBias,
                               unsigned nLanes, float* const out[4]);

struct SamplerStage
{
    std::vector<TexelImage> images;   // face * nLevels + level; empty when unbound
    UINT nLevels = 0;
    Lookup lookup = Lookup::Plane;
    DWORD address[3] = {};
    DWORD nMagFilter = 0, nMinFilter = 0, nMipFilter = 0;
    float fLodBias = 0.0f;
    UINT nFirstLevel = 0;   // the most detailed level used (MAXMIPLEVEL)
    float border[4] = {};
    // Whether the level of detail can change the result: it picks between filters of another
    // kind or between levels. When it cannot, derivatives are not computed.
    bool bLodMatters = true;
    // The images are read from their float copies (compressed and small 8-bit textures).
    bool bDecoded = false;
    StageSampleFn pfnSample = nullptr;
};

// The sampling routine specialised for a format's texel layout, or for float copies.
StageSampleFn ChooseStageSampling(const FormatInfo& format, bool bDecoded);
