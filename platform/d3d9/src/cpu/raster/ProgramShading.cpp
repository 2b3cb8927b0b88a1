#include "cpu/raster/ProgramShading.h"

#include <algorithm>
#include <cstring>

static_assert(TILE_LANES == SHADER_LANES, "a tile is one batch of the executor");

namespace
{
// The varying that feeds input register t# or v#, or -1.
int VaryingOf(const PlanRegister& input)
{
    if (input.dwType == D3DSPR_TEXTURE && input.dwNumber < 8)
        return (int)(VARYING_TEXCOORD + input.dwNumber * 4);
    if (input.dwType == D3DSPR_INPUT && input.dwNumber < 2)
        return (int)(VARYING_COLOR + input.dwNumber * 4);
    return -1;
}
}

ProgramShading::ProgramShading(const ShaderPlan& plan, const float* pConstants, ShaderSampler* pSampler,
                               std::vector<ShaderRegisterFile>& files)
    : m_plan(plan), m_pConstants(pConstants), m_pSampler(pSampler), m_files(files), m_bChangesCoverage(plan.bKills)
{
    for (const PlanRegister& input : plan.inputs)
    {
        const int nVarying = VaryingOf(input);
        for (int c = 0; c < 4 && nVarying >= 0; ++c)
            if (input.slot[c] != NO_SLOT)
                m_nVaryings |= 1ull << (nVarying + c);
    }
    for (const PlanRegister& output : plan.outputs)
    {
        if (output.dwType == D3DSPR_COLOROUT && output.dwNumber < 4)
            m_nColors |= 1u << output.dwNumber;
        if (output.dwType == D3DSPR_DEPTHOUT)
            m_bChangesCoverage = true;
    }
}

void ProgramShading::Prepare(unsigned nWorkers)
{
    if (m_files.size() < nWorkers)
        m_files.resize(nWorkers);
    for (unsigned i = 0; i < nWorkers; ++i)
        m_files[i].Prepare(m_plan, m_pConstants, 32);
}

void ProgramShading::Shade(TileLanes& lanes, unsigned nWorker)
{
    ShaderRegisterFile& file = m_files[nWorker];
    for (const PlanRegister& input : m_plan.inputs)
    {
        const int nVarying = VaryingOf(input);
        for (int c = 0; c < 4; ++c)
        {
            if (input.slot[c] == NO_SLOT)
                continue;
            if (nVarying >= 0)
                std::memcpy(file.Slot(input.slot[c]), lanes.varyings[nVarying + c], sizeof(float) * TILE_LANES);
            else
                std::fill_n(file.Slot(input.slot[c]), TILE_LANES, c == 3 ? 1.0f : 0.0f);
        }
    }
    RunShaderBatch(m_plan, file, m_pSampler);
    for (const PlanRegister& output : m_plan.outputs)
    {
        if (output.dwType == D3DSPR_DEPTHOUT)
        {
            const float* pDepth = file.Slot(output.slot[0]);
            for (unsigned i = 0; i < TILE_LANES; ++i)
                lanes.depth[i] = std::clamp(pDepth[i], 0.0f, 1.0f);
        }
        else if (output.dwType == D3DSPR_COLOROUT && output.dwNumber < 4)
            for (int c = 0; c < 4; ++c)
                std::memcpy(lanes.colors[output.dwNumber][c], file.Slot(output.slot[c]), sizeof(float) * TILE_LANES);
    }
    std::memcpy(lanes.kill, file.State().kill, TILE_LANES);
}
