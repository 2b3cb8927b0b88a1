#pragma once
// The fixed-function texture stages as pixel shading: each enabled stage combines its
// arguments (TEXTURE, DIFFUSE, CURRENT, TFACTOR, with COMPLEMENT and ALPHAREPLICATE) by its
// colour and alpha operations; a stage whose colour operation is DISABLE ends the cascade.
// TEXTURE of a stage without a texture reads (1, 1, 1, 1).
#include "cpu/raster/PixelShading.h"
#include "cpu/sampler/TextureSampler.h"
#include "device/DeviceState.h"

class FixedShading final : public PixelShading
{
public:
    FixedShading(const DeviceState& state, TextureSampler& sampler);
    void Prepare(unsigned) override {}
    uint64_t VaryingsRead() const override;
    unsigned ColorsWritten() const override { return 1; }
    void Shade(TileLanes& lanes, unsigned nWorker) override;

private:
    struct StageSetup
    {
        DWORD nColorOp, nAlphaOp;
        DWORD colorArgs[3], alphaArgs[3];   // ARG0, ARG1, ARG2
        UINT nTexcoord;
        bool bTextured;
    };
    const DeviceState& m_state;
    TextureSampler& m_sampler;
    StageSetup m_stages[8];
    unsigned m_nStages = 0;
    float m_factor[4];
};
