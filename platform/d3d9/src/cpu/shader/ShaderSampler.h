#pragma once
// What a program's texld asks of the sampler stage. The executor runs pixels in 2x2 quads, so a
// sampler sees whole quads and takes its derivatives and mip level per quad from them.

class ShaderSampler
{
public:
    virtual ~ShaderSampler() = default;

    // Samples stage nStage for nLanes lanes (a multiple of 4). Lanes come in quads: lane 4q is
    // the top-left pixel, 4q+1 top-right, 4q+2 bottom-left, 4q+3 bottom-right. coord[0..2] are
    // the coordinates (u, v and, for cube and volume textures, w), already divided by w for
    // texldp; pBias is the per-lane level-of-detail bias of texldb, or null. out[0..3] receive
    // r, g, b, a. No coordinate array is also an output array.
    virtual void SampleQuads(unsigned nStage, const float* const coord[3], const float* pBias, unsigned nLanes,
                             float* const out[4]) = 0;
};
