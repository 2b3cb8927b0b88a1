#pragma once
// The CPU back end. It carries out clears, copies and draws at once, in submission order, so
// there is never pending work to wait for; queries are therefore complete when they end. Large
// draws spread over a pool of worker threads. Every stage keeps its working storage here from
// draw to draw, so a steady stream of draws allocates nothing.
#include "cpu/draw/PrimitiveAssembly.h"
#include "cpu/fixedfunc/FixedFunctionPrograms.h"
#include "cpu/pool/WorkerPool.h"
#include "cpu/raster/Rasterizer.h"
#include "cpu/shader/ShaderExecutor.h"
#include "device/Backend.h"

#include <memory>

class CpuBackend final : public Backend
{
public:
    std::shared_ptr<CompiledProgram> CompileProgram(const std::vector<DWORD>& tokens) override;
    void Clear(const ClearCommand& command) override;
    void Stretch(ImageStorage& source, const RECT& sourceRect, ImageStorage& dest, const RECT& destRect,
                 D3DTEXTUREFILTERTYPE filter) override;
    HRESULT Draw(const DeviceState& state, const DrawCommand& command) override;
    void BeginOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter) override;
    void EndOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter) override;
    void Flush() override {}
    void WaitFor(const ImageStorage&) override {}
    void WaitFor(const BufferBytes&) override {}
    void WaitForCounter(const OcclusionCounter&) override {}

    // The number of threads drawing uses, the caller included (0: one per hardware thread).
    void SetThreadCount(unsigned nThreads);

private:
    std::shared_ptr<OcclusionCounter> m_pActiveCounter;
    FixedFunctionPrograms m_fixedPrograms;
    std::unique_ptr<WorkerPool> m_pPool = std::make_unique<WorkerPool>(0);
    AssemblyScratch m_assembly;
    RasterJob m_job;
    RasterScratch m_raster;
    std::vector<ShaderRegisterFile> m_pixelFiles;   // one per worker
};
