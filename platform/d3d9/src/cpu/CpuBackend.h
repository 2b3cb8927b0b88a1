#pragma once
// The CPU back end. It carries out clears, copies and draws at once, in submission order, so
// there is never pending work to wait for; queries are therefore complete when they end. Large
// draws spread over a pool of worker threads. Every stage keeps its working storage here from
// draw to draw, so a steady stream of draws allocates nothing.
#include "cpu/draw/PrimitiveAssembly.h"
#include "cpu/fixedfunc/FixedFunctionPrograms.h"
#include "cpu/pool/WorkerPool.h"
#include "cpu/raster/PixelFileCache.h"
#include "cpu/raster/Rasterizer.h"
#include "cpu/sampler/TextureSampler.h"
#include "cpu/shader/ShaderExecutor.h"
#include "device/Backend.h"

#include <memory>

// What the back end has done since it was made or its counts were reset, for the test hook.
struct BackendStats
{
    uint64_t nDraws = 0;             // draws carried out
    uint64_t nPrimitives = 0;        // primitives those draws asked for
    uint64_t nShadedPixels = 0;      // covered pixels the pixel stage ran for
    uint64_t nPassedPixels = 0;      // of those, the ones that passed depth and stencil
    uint64_t nQueries = 0;           // occlusion queries begun
    uint64_t nFlushes = 0;           // requests to run pending work (Flush, WaitFor*)
    uint64_t nGeneratedPrograms = 0; // fixed-function programs generated for a new state
};

class TextureSampler;

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
    void Flush() override { ++m_stats.nFlushes; }
    void WaitFor(const ImageStorage&) override { ++m_stats.nFlushes; }
    void WaitFor(const BufferBytes&) override { ++m_stats.nFlushes; }
    void WaitForCounter(const OcclusionCounter&) override { ++m_stats.nFlushes; }

    // The number of threads drawing uses, the caller included (0: one per hardware thread).
    void SetThreadCount(unsigned nThreads);
    BackendStats GetStats() const;
    void ResetStats();

private:
    std::shared_ptr<OcclusionCounter> m_pActiveCounter;
    // Copies of render targets that the same draw samples, kept from draw to draw.
    void SnapshotSampledTargets(const DrawResources& resources, TextureSampler& sampler);
    ImageStorage m_targetSnapshots[4];
    FixedFunctionPrograms m_fixedPrograms;
    BackendStats m_stats;
    uint64_t m_nGeneratedAtReset = 0;
    std::unique_ptr<WorkerPool> m_pPool = std::make_unique<WorkerPool>(0);
    AssemblyScratch m_assembly;
    RasterJob m_job;
    RasterScratch m_raster;
    PixelFileCache m_pixelFiles;
    TextureSampler m_sampler;                        // configured afresh for every draw
};
