#pragma once
// The device's sampler stage: point and linear filtering (anisotropic acts as linear), mip
// levels chosen per 2×2 quad from its coarse derivatives, wrap/mirror/clamp/border/mirror-once
// addressing, 2D, cube and volume textures of every stored format. Configured once per draw and
// then only read, so every worker shares one.
#include "cpu/sampler/SamplerStage.h"
#include "cpu/shader/ShaderSampler.h"
#include "device/Backend.h"
#include "device/DeviceState.h"

class TextureSampler final : public ShaderSampler
{
public:
    // pProgramTypes: the D3DSTT_* each sampler is declared with by the pixel program, or null for
    // fixed-function drawing (each texture is then read as what it is). Compressed textures are
    // decoded here, once per change of their contents.
    void Configure(const DeviceState& state, const DrawResources& resources, const DWORD* pProgramTypes);
    bool IsBound(unsigned nStage) const { return nStage < 16 && !m_stages[nStage].images.empty(); }
    // After Configure: every stage reads copy where it would read live (a texture level that is
    // also a render target of the draw, read as it was before the draw).
    void Substitute(const ImageStorage& live, ImageStorage& copy);

    void SampleQuads(unsigned nStage, const float* const coord[3], const float* pBias, unsigned nLanes,
                     float* const out[4]) override;

private:
    SamplerStage m_stages[16];
};

// Direct3D's cube face for a direction and the face coordinates u, v in [0, 1].
UINT CubeFace(const float dir[3], float& u, float& v);
