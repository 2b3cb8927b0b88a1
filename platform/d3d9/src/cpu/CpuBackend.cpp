#include "cpu/CpuBackend.h"

#include "core/Log.h"
#include "cpu/formats/ImageOps.h"
#include "cpu/shader/ShaderProgram.h"

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

HRESULT CpuBackend::Draw(const DeviceState&, const DrawCommand&)
{
    if (!m_bDrawReported)
    {
        LogWarning("CpuBackend::Draw() - this device has no rasteriser yet; the draw is refused.");
        m_bDrawReported = true;
    }
    return D3DERR_INVALIDCALL;
}

void CpuBackend::BeginOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter)
{
    m_pActiveCounter = pCounter;
}

void CpuBackend::EndOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter)
{
    if (m_pActiveCounter == pCounter)
        m_pActiveCounter.reset();
}
