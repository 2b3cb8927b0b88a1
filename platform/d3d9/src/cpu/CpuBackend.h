#pragma once
// The CPU back end. For now it carries out clears and copies at once, in submission order, so
// there is never pending work to wait for; the rasteriser, the program executor and deferred
// execution hang off this class.
#include "device/Backend.h"

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

private:
    std::shared_ptr<OcclusionCounter> m_pActiveCounter;
    bool m_bDrawReported = false;
};
