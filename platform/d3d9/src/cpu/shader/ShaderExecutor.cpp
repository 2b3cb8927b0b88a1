#include "cpu/shader/ShaderExecutor.h"

#include "cpu/pool/WorkerPool.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr unsigned TILE = 8;                  // an 8x8 tile is 16 quads, one batch
constexpr unsigned TILES_PER_TASK = 16;
constexpr unsigned BLOCKS_PER_TASK = 4;

// Lane of pixel (dx, dy) inside a tile: quads in row order, each quad top-left, top-right,
// bottom-left, bottom-right.
inline unsigned TileLane(unsigned dx, unsigned dy)
{
    unsigned nQuad = (dy / 2) * (TILE / 2) + dx / 2;
    return nQuad * 4 + (dy & 1) * 2 + (dx & 1);
}

std::vector<ShaderRegisterFile> PrepareFiles(const ShaderPlan& plan, const float* pConstants, unsigned nConstants,
                                             unsigned nWorkers)
{
    std::vector<ShaderRegisterFile> files(nWorkers);
    for (ShaderRegisterFile& file : files)
        file.Prepare(plan, pConstants, nConstants);
    return files;
}
}

void ShaderRegisterFile::Prepare(const ShaderPlan& plan, const float* pConstants, unsigned nConstants)
{
    const size_t nFloats = (size_t)plan.nSlots * SHADER_LANES;
    const bool bSamePlan = plan.nSerial != 0 && plan.nSerial == m_nSerial && m_data.size() == nFloats;
    if (!bSamePlan)
    {
        m_data.assign(nFloats, 0.0f);
        m_constantValues.resize(plan.constants.size());
        m_nSerial = plan.nSerial;
    }
    m_state.pRegisters = m_data.data();
    for (size_t k = 0; k < plan.constants.size(); ++k)
    {
        const PlanConstant& constant = plan.constants[k];
        float fValue = constant.dwNumber < nConstants && pConstants ? pConstants[constant.dwNumber * 4 + constant.nComponent]
                                                                    : 0.0f;
        for (const auto& def : plan.defs)
            if (def.first == constant.dwNumber)
                fValue = def.second[constant.nComponent];
        // Compared as bits, so -0 and NaN payloads are rewritten exactly.
        if (bSamePlan && std::memcmp(&fValue, &m_constantValues[k], sizeof(float)) == 0)
            continue;
        m_constantValues[k] = fValue;
        std::fill_n(Slot(constant.slot), SHADER_LANES, fValue);
    }
}

void RunShaderBatch(const ShaderPlan& plan, ShaderRegisterFile& registers, ShaderSampler* pSampler)
{
    ShaderRunState& state = registers.State();
    state.pSampler = pSampler;
    std::fill(std::begin(state.kill), std::end(state.kill), 0);
    for (const PlanFill& fill : plan.fills)
        std::fill_n(registers.Slot(fill.slot), SHADER_LANES, fill.fValue);
    for (const PlanStep& step : plan.steps)
        step.pfnRun(step, state);
}

int ShaderOutputIndex(DWORD dwType, DWORD dwNumber)
{
    switch (dwType)
    {
    case D3DSPR_COLOROUT: return dwNumber < 4 ? (int)dwNumber : -1;
    case D3DSPR_DEPTHOUT: return 4;
    case D3DSPR_RASTOUT: return dwNumber < 3 ? (int)dwNumber : -1;
    case D3DSPR_ATTROUT: return dwNumber < 2 ? 3 + (int)dwNumber : -1;
    case D3DSPR_TEXCRDOUT: return dwNumber < 8 ? 5 + (int)dwNumber : -1;
    default: return -1;
    }
}

void ShadeRect(const ShadeRectJob& job, WorkerPool& pool)
{
    const ShaderPlan& plan = *job.pPlan;
    std::vector<ShaderRegisterFile> files = PrepareFiles(plan, job.pConstants, job.nConstants, pool.GetThreadCount());
    unsigned nTilesX = (job.nWidth + TILE - 1) / TILE;
    unsigned nTilesY = (job.nHeight + TILE - 1) / TILE;
    unsigned nTiles = nTilesX * nTilesY;
    // Lane offsets of the tile, the same for every tile.
    float laneX[SHADER_LANES], laneY[SHADER_LANES];
    for (unsigned dy = 0; dy < TILE; ++dy)
        for (unsigned dx = 0; dx < TILE; ++dx)
        {
            laneX[TileLane(dx, dy)] = (float)dx;
            laneY[TileLane(dx, dy)] = (float)dy;
        }
    pool.Run((nTiles + TILES_PER_TASK - 1) / TILES_PER_TASK, [&](unsigned nTask, unsigned nWorker) {
        ShaderRegisterFile& file = files[nWorker];
        unsigned nEnd = std::min(nTiles, (nTask + 1) * TILES_PER_TASK);
        for (unsigned nTile = nTask * TILES_PER_TASK; nTile < nEnd; ++nTile)
        {
            unsigned x0 = (nTile % nTilesX) * TILE, y0 = (nTile / nTilesX) * TILE;
            for (const PlanRegister& input : plan.inputs)
            {
                const PixelInputPlane* planes = input.dwType == D3DSPR_TEXTURE ? job.texcoords[input.dwNumber]
                                                                                : job.colors[input.dwNumber];
                for (int c = 0; c < 4; ++c)
                {
                    if (input.slot[c] == NO_SLOT)
                        continue;
                    const PixelInputPlane& p = planes[c];
                    float* pLanes = file.Slot(input.slot[c]);
                    float fBase = p.a0 + p.dx * (float)x0 + p.dy * (float)y0;
                    for (unsigned i = 0; i < SHADER_LANES; ++i)
                        pLanes[i] = fBase + p.dx * laneX[i] + p.dy * laneY[i];
                }
            }
            RunShaderBatch(plan, file, job.pSampler);
            unsigned nRows = std::min(TILE, job.nHeight - y0), nColumns = std::min(TILE, job.nWidth - x0);
            for (const PlanRegister& output : plan.outputs)
            {
                int nIndex = ShaderOutputIndex(output.dwType, output.dwNumber);
                float* pOut = nIndex >= 0 && nIndex < 5 ? job.pOutputs[nIndex] : nullptr;
                if (!pOut)
                    continue;
                int nChannels = output.dwType == D3DSPR_DEPTHOUT ? 1 : 4;
                const float* channels[4] = {};
                for (int c = 0; c < nChannels; ++c)
                    channels[c] = file.Slot(output.slot[c]);
                for (unsigned dy = 0; dy < nRows; ++dy)
                {
                    float* pRow = pOut + ((size_t)(y0 + dy) * job.nWidth + x0) * nChannels;
                    for (unsigned dx = 0; dx < nColumns; ++dx)
                    {
                        unsigned nLane = TileLane(dx, dy);
                        for (int c = 0; c < nChannels; ++c)
                            pRow[dx * nChannels + c] = channels[c][nLane];
                    }
                }
            }
            if (job.pKilled)
                for (unsigned dy = 0; dy < nRows; ++dy)
                    for (unsigned dx = 0; dx < nColumns; ++dx)
                        job.pKilled[(size_t)(y0 + dy) * job.nWidth + x0 + dx] = file.State().kill[TileLane(dx, dy)];
        }
    });
}

void ShadeVertices(const ShadeVerticesJob& job, WorkerPool& pool)
{
    const ShaderPlan& plan = *job.pPlan;
    std::vector<ShaderRegisterFile> files = PrepareFiles(plan, job.pConstants, job.nConstants, pool.GetThreadCount());
    unsigned nBlocks = (job.nVertices + SHADER_LANES - 1) / SHADER_LANES;
    pool.Run((nBlocks + BLOCKS_PER_TASK - 1) / BLOCKS_PER_TASK, [&](unsigned nTask, unsigned nWorker) {
        ShaderRegisterFile& file = files[nWorker];
        unsigned nEnd = std::min(nBlocks, (nTask + 1) * BLOCKS_PER_TASK);
        for (unsigned nBlock = nTask * BLOCKS_PER_TASK; nBlock < nEnd; ++nBlock)
        {
            unsigned nFirst = nBlock * SHADER_LANES;
            unsigned nCount = std::min(SHADER_LANES, job.nVertices - nFirst);
            for (const PlanRegister& input : plan.inputs)
            {
                const float* pSource = input.dwNumber < 16 ? job.pInputs[input.dwNumber] : nullptr;
                for (int c = 0; c < 4; ++c)
                {
                    if (input.slot[c] == NO_SLOT)
                        continue;
                    float* pLanes = file.Slot(input.slot[c]);
                    for (unsigned i = 0; i < SHADER_LANES; ++i)
                        pLanes[i] = pSource && i < nCount ? pSource[(size_t)(nFirst + i) * 4 + c] : (c == 3 ? 1.0f : 0.0f);
                }
            }
            RunShaderBatch(plan, file, nullptr);
            for (const PlanRegister& output : plan.outputs)
            {
                int nIndex = ShaderOutputIndex(output.dwType, output.dwNumber);
                float* pOut = nIndex >= 0 ? job.pOutputs[nIndex] : nullptr;
                if (!pOut)
                    continue;
                for (unsigned i = 0; i < nCount; ++i)
                    for (int c = 0; c < 4; ++c)
                        pOut[(size_t)(nFirst + i) * 4 + c] = file.Slot(output.slot[c])[i];
            }
        }
    });
}
