#include "cpu/fixedfunc/FixedShading.h"

#include "cpu/formats/Formats.h"

#include <algorithm>

namespace
{
// The value of one argument for one lane.
void Argument(DWORD nArg, unsigned nLane, const TileLanes& lanes, const float current[4], const float texel[4],
              const float factor[4], float out[4])
{
    switch (nArg & D3DTA_SELECTMASK)
    {
    case D3DTA_CURRENT: std::copy(current, current + 4, out); break;
    case D3DTA_TEXTURE: std::copy(texel, texel + 4, out); break;
    case D3DTA_TFACTOR: std::copy(factor, factor + 4, out); break;
    case D3DTA_SPECULAR:
        for (int c = 0; c < 4; ++c)
            out[c] = lanes.varyings[VARYING_COLOR + 4 + c][nLane];
        break;
    default:
        for (int c = 0; c < 4; ++c)
            out[c] = lanes.varyings[VARYING_COLOR + c][nLane];
        break;
    }
    if (nArg & D3DTA_COMPLEMENT)
        for (int c = 0; c < 4; ++c)
            out[c] = 1.0f - out[c];
    if (nArg & D3DTA_ALPHAREPLICATE)
        out[0] = out[1] = out[2] = out[3];
}

float Saturate(float v)
{
    return std::clamp(v, 0.0f, 1.0f);
}

// One operation on components [c0, c1) of the arguments.
void Operate(DWORD nOp, const float a0[4], const float a1[4], const float a2[4], const float texel[4], int c0, int c1,
             float out[4])
{
    if (nOp == D3DTOP_DOTPRODUCT3)
    {
        float fDot = 0.0f;
        for (int c = 0; c < 3; ++c)
            fDot += (a1[c] - 0.5f) * (a2[c] - 0.5f);
        fDot = Saturate(4.0f * fDot);
        for (int c = c0; c < c1; ++c)
            out[c] = fDot;
        return;
    }
    for (int c = c0; c < c1; ++c)
    {
        float v;
        switch (nOp)
        {
        case D3DTOP_SELECTARG1: v = a1[c]; break;
        case D3DTOP_SELECTARG2: v = a2[c]; break;
        case D3DTOP_MODULATE: v = a1[c] * a2[c]; break;
        case D3DTOP_MODULATE2X: v = 2.0f * a1[c] * a2[c]; break;
        case D3DTOP_MODULATE4X: v = 4.0f * a1[c] * a2[c]; break;
        case D3DTOP_ADD: v = a1[c] + a2[c]; break;
        case D3DTOP_ADDSIGNED: v = a1[c] + a2[c] - 0.5f; break;
        case D3DTOP_SUBTRACT: v = a1[c] - a2[c]; break;
        case D3DTOP_BLENDTEXTUREALPHA: v = a1[c] * texel[3] + a2[c] * (1.0f - texel[3]); break;
        case D3DTOP_LERP: v = a0[c] * a1[c] + (1.0f - a0[c]) * a2[c]; break;
        case D3DTOP_MULTIPLYADD: v = a0[c] + a1[c] * a2[c]; break;
        default: v = a1[c]; break;
        }
        out[c] = Saturate(v);
    }
}
}

FixedShading::FixedShading(const DeviceState& state, TextureSampler& sampler) : m_state(state), m_sampler(sampler)
{
    ColorToFloat(state.renderStates[D3DRS_TEXTUREFACTOR], m_factor);
    for (unsigned i = 0; i < STAGE_COUNT; ++i)
    {
        const DWORD* s = state.stageStates[i];
        if (s[D3DTSS_COLOROP] == D3DTOP_DISABLE)
            break;
        StageSetup& stage = m_stages[m_nStages++];
        stage.nColorOp = s[D3DTSS_COLOROP];
        stage.nAlphaOp = s[D3DTSS_ALPHAOP];
        stage.colorArgs[0] = s[D3DTSS_COLORARG0];
        stage.colorArgs[1] = s[D3DTSS_COLORARG1];
        stage.colorArgs[2] = s[D3DTSS_COLORARG2];
        stage.alphaArgs[0] = s[D3DTSS_ALPHAARG0];
        stage.alphaArgs[1] = s[D3DTSS_ALPHAARG1];
        stage.alphaArgs[2] = s[D3DTSS_ALPHAARG2];
        stage.nTexcoord = s[D3DTSS_TEXCOORDINDEX] & 7;
        stage.bTextured = sampler.IsBound(i);
    }
}

uint64_t FixedShading::VaryingsRead() const
{
    uint64_t nMask = 0xFFull << VARYING_COLOR;
    for (unsigned i = 0; i < m_nStages; ++i)
        if (m_stages[i].bTextured)
            nMask |= 0xFull << (VARYING_TEXCOORD + m_stages[i].nTexcoord * 4);
    return nMask;
}

void FixedShading::Shade(TileLanes& lanes, unsigned)
{
    static const float s_white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float current[TILE_LANES][4];
    for (unsigned i = 0; i < TILE_LANES; ++i)
        for (int c = 0; c < 4; ++c)
            current[i][c] = lanes.varyings[VARYING_COLOR + c][i];
    float texels[4][TILE_LANES];
    for (unsigned s = 0; s < m_nStages; ++s)
    {
        const StageSetup& stage = m_stages[s];
        if (stage.bTextured)
        {
            const float* coord[3];
            for (int a = 0; a < 3; ++a)
                coord[a] = lanes.varyings[VARYING_TEXCOORD + stage.nTexcoord * 4 + a];
            float* const out[4] = {texels[0], texels[1], texels[2], texels[3]};
            m_sampler.SampleQuads(s, coord, nullptr, TILE_LANES, out);
        }
        for (unsigned i = 0; i < TILE_LANES; ++i)
        {
            float texel[4];
            for (int c = 0; c < 4; ++c)
                texel[c] = stage.bTextured ? texels[c][i] : s_white[c];
            float args[3][4], result[4];
            for (int a = 0; a < 3; ++a)
                Argument(stage.colorArgs[a], i, lanes, current[i], texel, m_factor, args[a]);
            Operate(stage.nColorOp, args[0], args[1], args[2], texel, 0, 3, result);
            if (stage.nAlphaOp == D3DTOP_DISABLE)
                result[3] = current[i][3];
            else
            {
                for (int a = 0; a < 3; ++a)
                    Argument(stage.alphaArgs[a], i, lanes, current[i], texel, m_factor, args[a]);
                Operate(stage.nAlphaOp, args[0], args[1], args[2], texel, 3, 4, result);
            }
            std::copy(result, result + 4, current[i]);
        }
    }
    for (unsigned i = 0; i < TILE_LANES; ++i)
        for (int c = 0; c < 4; ++c)
            lanes.colors[0][c][i] = current[i][c];
}
