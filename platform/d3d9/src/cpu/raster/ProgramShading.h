#pragma once
// Pixel shading by a pixel program's execution plan, one register file per worker. The files
// belong to the caller, which keeps them from draw to draw.
#include "cpu/raster/PixelShading.h"
#include "cpu/shader/ShaderExecutor.h"

#include <vector>

class ProgramShading final : public PixelShading
{
public:
    ProgramShading(const ShaderPlan& plan, const float* pConstants, ShaderSampler* pSampler,
                   std::vector<ShaderRegisterFile>& files);
    void Prepare(unsigned nWorkers) override;
    uint64_t VaryingsRead() const override { return m_nVaryings; }
    unsigned ColorsWritten() const override { return m_nColors; }
    bool ChangesCoverage() const override { return m_bChangesCoverage; }
    void Shade(TileLanes& lanes, unsigned nWorker) override;

private:
    const ShaderPlan& m_plan;
    const float* m_pConstants;
    ShaderSampler* m_pSampler;
    std::vector<ShaderRegisterFile>& m_files;
    uint64_t m_nVaryings = 0;
    unsigned m_nColors = 0;
    bool m_bChangesCoverage = false;
};
