#include "cpu/CpuBackend.h"

#include "core/Log.h"
#include "cpu/formats/ImageOps.h"
#include "cpu/draw/PrimitiveAssembly.h"
#include "cpu/merger/OutputMerger.h"
#include "cpu/raster/ProgramShading.h"
#include "cpu/sampler/TextureSampler.h"
#include "cpu/shader/ShaderProgram.h"

#include <algorithm>
#include <atomic>

std::unique_ptr<Backend> CreateCpuBackend()
{
    return std::make_unique<CpuBackend>();
}

std::shared_ptr<CompiledProgram> CpuBackend::CompileProgram(const std::vector<DWORD>& tokens)
{
    return ShaderProgram::Compile(tokens);
}

void CpuBackend::Clear(const ClearCommand& command)
{
    for (const RECT& rect : command.rects)
    {
        for (const auto& pTarget : command.targets)
            FillColor(*pTarget, rect, command.color);
        if (command.pDepthStencil)
            FillDepthStencil(*command.pDepthStencil, rect, (command.nFlags & D3DCLEAR_ZBUFFER) != 0, command.fDepth,
                             (command.nFlags & D3DCLEAR_STENCIL) != 0, command.nStencil);
    }
}

void CpuBackend::Stretch(ImageStorage& source, const RECT& sourceRect, ImageStorage& dest, const RECT& destRect,
                         D3DTEXTUREFILTERTYPE filter)
{
    StretchImage(source, sourceRect, dest, destRect, filter);
}

HRESULT CpuBackend::Draw(const DeviceState& state, const DrawCommand& command)
{
    const DrawResources& resources = command.resources;
    ++m_stats.nDraws;
    m_stats.nPrimitives += command.nPrimitiveCount;
    VertexProgram vertexProgram;
    if (resources.pVertexProgram)
    {
        vertexProgram.pPlan = &static_cast<const ShaderProgram*>(resources.pVertexProgram)->GetPlan();
        vertexProgram.pConstants = &state.vertexConstants.floats[0][0];
        vertexProgram.nConstants = VS_FLOAT_CONSTANTS;
    }
    else
        vertexProgram = m_fixedPrograms.Vertex(state, resources);
    PixelProgram pixelProgram;
    if (resources.pPixelProgram)
    {
        pixelProgram.pPlan = &static_cast<const ShaderProgram*>(resources.pPixelProgram)->GetPlan();
        pixelProgram.pConstants = &state.pixelConstants.floats[0][0];
    }
    else
        pixelProgram = m_fixedPrograms.Pixel(state, resources);
    if (!vertexProgram.pPlan || !pixelProgram.pPlan)
        return D3DERR_INVALIDCALL;
    RasterJob& job = m_job;
    if (!AssemblePrimitives(state, command, vertexProgram, *m_pPool, m_assembly, job))
    {
        LogWarning("CpuBackend::Draw() - the draw reads past its vertex or index data; nothing is drawn.");
        return D3DERR_INVALIDCALL;
    }
    if (job.primitives.empty())
        return D3D_OK;
    const ImageStorage& target = *resources.targets[0];
    const D3DVIEWPORT9& vp = state.viewport;
    job.scissor = {(LONG)vp.X, (LONG)vp.Y, (LONG)std::min<UINT>(vp.X + vp.Width, target.nWidth),
                   (LONG)std::min<UINT>(vp.Y + vp.Height, target.nHeight)};
    job.nCullMode = state.renderStates[D3DRS_CULLMODE];
    job.bFlat = state.renderStates[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    job.bWireframe = state.renderStates[D3DRS_FILLMODE] == D3DFILL_WIREFRAME;
    // Fixed-function stages read each texture as what it is bound as.
    TextureSampler& sampler = m_sampler;
    sampler.Configure(state, resources, resources.pPixelProgram ? pixelProgram.pPlan->dwSamplerTypes : nullptr);
    SnapshotSampledTargets(resources, sampler);
    OutputMerger merger;
    merger.Configure(state, resources);
    ProgramShading shading(*pixelProgram.pPlan, pixelProgram.pConstants, &sampler,
                           m_pixelFiles.FilesFor(*pixelProgram.pPlan));
    job.pShading = &shading;
    job.pMerger = &merger;
    const RasterCounts counts = Rasterize(job, *m_pPool, true, m_raster);
    m_stats.nShadedPixels += counts.nShaded;
    m_stats.nPassedPixels += counts.nPassed;
    if (m_pActiveCounter)
        m_pActiveCounter->nPixels += counts.nPassed;
    for (ImageStorage* pTarget : resources.targets)
        if (pTarget)
            ++pTarget->nVersion;
    if (resources.pDepthStencil)
        ++resources.pDepthStencil->nVersion;
    return D3D_OK;
}

// A draw that samples one of its own render targets reads the target as it was before the
// draw, whatever order its pixels are drawn in; the result no longer depends on the workers'
// schedule. Passes should avoid it, so it is reported once.
void CpuBackend::SnapshotSampledTargets(const DrawResources& resources, TextureSampler& sampler)
{
    static std::atomic<bool> s_bReported{false};
    for (unsigned t = 0; t < 4; ++t)
    {
        const ImageStorage* pTarget = resources.targets[t];
        if (!pTarget)
            continue;
        bool bSampled = false;
        for (const SamplerImages& images : resources.samplers)
            bSampled |= std::find(images.images.begin(), images.images.end(), pTarget) != images.images.end();
        if (!bSampled)
            continue;
        if (!s_bReported.exchange(true))
            LogWarning("CpuBackend::Draw() - a texture the draw samples is also its render target %u; the draw reads "
                       "the target's contents from before the draw.",
                       t);
        m_targetSnapshots[t] = *pTarget;   // reuses the copy's storage when the size is the same
        sampler.Substitute(*pTarget, m_targetSnapshots[t]);
    }
}

void CpuBackend::SetThreadCount(unsigned nThreads)
{
    m_pPool = std::make_unique<WorkerPool>(nThreads);
}

BackendStats CpuBackend::GetStats() const
{
    BackendStats stats = m_stats;
    stats.nGeneratedPrograms = m_fixedPrograms.GeneratedCount() - m_nGeneratedAtReset;
    return stats;
}

void CpuBackend::ResetStats()
{
    m_stats = BackendStats();
    m_nGeneratedAtReset = m_fixedPrograms.GeneratedCount();
}

void CpuBackend::BeginOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter)
{
    ++m_stats.nQueries;
    m_pActiveCounter = pCounter;
}

void CpuBackend::EndOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter)
{
    if (m_pActiveCounter == pCounter)
        m_pActiveCounter.reset();
}
