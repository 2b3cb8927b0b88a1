#pragma once
// The device's sampler stage: point and linear filtering (anisotropic acts as linear), mip
// levels chosen per 2×2 quad from its coarse derivatives, wrap/mirror/clamp/border/mirror-once
// addressing, 2D, cube and volume textures of every stored format. Configured once per draw and
// then only read, so every worker shares one.
#include "cpu/shader/ShaderSampler.h"
#include "device/Backend.h"
#include "device/DeviceState.h"

class TextureSampler final : public ShaderSampler
{
public:
    // pProgramTypes: the D3DSTT_* each sampler is declared with by the pixel program, or null for
    // fixed-function drawing (each texture is then read as what it is).
    void Configure(const DeviceState& state, const DrawResources& resources, const DWORD* pProgramTypes);
    bool IsBound(unsigned nStage) const { return nStage < 16 && m_stages[nStage].pImages; }

    void SampleQuads(unsigned nStage, const float* const coord[3], const float* pBias, unsigned nLanes,
                     float* const out[4]) override;

private:
    enum class Lookup : uint8_t
    {
        Plane,   // 2D (a cube bound to a 2D sampler reads its face +X)
        Cube,
        Volume,
    };
    struct Stage
    {
        const SamplerImages* pImages = nullptr;
        Lookup lookup = Lookup::Plane;
        DWORD address[3] = {};
        DWORD nMagFilter = 0, nMinFilter = 0, nMipFilter = 0;
        float fLodBias = 0.0f;
        UINT nFirstLevel = 0;   // the most detailed level used (MAXMIPLEVEL)
        float border[4] = {};
    };
    void SampleLane(const Stage& stage, UINT nFace, const float coord[3], float fLod, float out[4]) const;
    void SampleLevel(const Stage& stage, const ImageStorage& image, DWORD nFilter, const float coord[3],
                     bool bClampAll, float out[4]) const;

    Stage m_stages[16];
};

// Direct3D's cube face for a direction and the face coordinates u, v in [0, 1].
UINT CubeFace(const float dir[3], float& u, float& v);
