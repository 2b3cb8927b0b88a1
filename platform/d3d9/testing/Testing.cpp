#include "d3d9/testing.h"

#include "cpu/CpuBackend.h"
#include "cpu/formats/HalfRuns.h"
#include "device/Device.h"
#include "device/Direct3D9.h"
#include "device/Presenter.h"
#include "device/Shader.h"
#include "device/Surface.h"

#include <algorithm>
#include <cstring>

namespace d3d9test
{
namespace
{
RecordedCall ToRecordedCall(const CallRecord& record)
{
    return {record.nSequence, record.strMethod, record.strArguments, record.strOutput, record.hResult, record.Text()};
}

std::string Floats(const float* pValues, UINT nCount)
{
    return FloatsText(pValues, nCount);
}

std::string Ints(const int* pValues, UINT nCount)
{
    std::string text = "{";
    for (UINT i = 0; i < nCount; ++i)
        text += (i ? " " : "") + std::to_string(pValues[i]);
    return text + "}";
}

void AddStates(StateSnapshot& snapshot, const std::string& prefix, std::span<const StateInfo> table, const DWORD* pValues)
{
    for (const StateInfo& info : table)
        snapshot.entries[prefix + info.szName] = StateValueText(&info, pValues[info.nState]);
}

void AddConstants(StateSnapshot& snapshot, const char* szKind, const ShaderConstants& constants, UINT nFloats)
{
    const std::string kind = szKind;
    for (UINT i = 0; i < nFloats; ++i)
        snapshot.entries[kind + "ConstantF " + std::to_string(i)] = Floats(constants.floats[i], 4);
    for (UINT i = 0; i < INT_CONSTANTS; ++i)
        snapshot.entries[kind + "ConstantI " + std::to_string(i)] = Ints(constants.ints[i], 4);
    for (UINT i = 0; i < BOOL_CONSTANTS; ++i)
        snapshot.entries[kind + "ConstantB " + std::to_string(i)] = constants.bools[i] ? "TRUE" : "FALSE";
}
}  // namespace

Recorder::Recorder(IDirect3DDevice9* pDevice) : m_pDevice(pDevice)
{
    DeviceOf(m_pDevice)->GetCallLog().StartRecording();
}

Recorder::~Recorder()
{
    Stop();
}

void Recorder::Stop()
{
    if (m_bStopped)
        return;
    m_bStopped = true;
    for (const CallRecord& record : DeviceOf(m_pDevice)->GetCallLog().StopRecording())
        m_Calls.push_back(ToRecordedCall(record));
}

std::vector<RecordedCall> Recorder::Calls()
{
    if (m_bStopped)
        return m_Calls;
    std::vector<RecordedCall> calls;
    for (const CallRecord& record : DeviceOf(m_pDevice)->GetCallLog().GetRecords())
        calls.push_back(ToRecordedCall(record));
    return calls;
}

std::vector<std::string> Recorder::Texts(const std::vector<std::string>& methods)
{
    std::vector<std::string> texts;
    for (const RecordedCall& call : Calls())
        if (methods.empty() || std::find(methods.begin(), methods.end(), call.strMethod) != methods.end())
            texts.push_back(call.strText);
    return texts;
}

void FailNext(IDirect3DDevice9* pDevice, const std::string& strMethod)
{
    DeviceOf(pDevice)->GetCallLog().FailNext(strMethod);
}

void FailNextDeviceCreation()
{
    ++g_nFailingDeviceCreations;
}

bool ReadSurface(IDirect3DSurface9* pSurface, SurfaceData& data)
{
    Surface* pObject = SurfaceOf(pSurface);
    if (!pObject || pObject->GetFormat().kind == FormatKind::Depth)
        return false;
    pObject->GetOwningDevice()->GetBackend().WaitFor(pObject->GetStorage());
    const ImageStorage& storage = pObject->GetStorage();
    data.nWidth = storage.nWidth;
    data.nHeight = storage.nHeight;
    data.nFormat = storage.pFormat->format;
    data.rgba.resize(static_cast<size_t>(storage.nWidth) * storage.nHeight * 4);
    for (UINT y = 0; y < storage.nHeight; ++y)
        for (UINT x = 0; x < storage.nWidth; ++x)
            ReadStorageTexel(storage, x, y, 0, &data.rgba[(static_cast<size_t>(y) * storage.nWidth + x) * 4]);
    const UINT nRowBytes = PackedRowBytes(*storage.pFormat, storage.nWidth);
    data.bytes.clear();
    for (UINT row = 0; row < storage.nBlockRows; ++row)
        data.bytes.insert(data.bytes.end(), storage.Row(row), storage.Row(row) + nRowBytes);
    return true;
}

bool ReadDepth(IDirect3DSurface9* pSurface, std::vector<float>& depth)
{
    Surface* pObject = SurfaceOf(pSurface);
    if (!pObject || pObject->GetFormat().kind != FormatKind::Depth)
        return false;
    pObject->GetOwningDevice()->GetBackend().WaitFor(pObject->GetStorage());
    depth = pObject->GetStorage().depthValues;
    return true;
}

bool ReadStencil(IDirect3DSurface9* pSurface, std::vector<BYTE>& stencil)
{
    Surface* pObject = SurfaceOf(pSurface);
    if (!pObject || pObject->GetFormat().kind != FormatKind::Depth)
        return false;
    pObject->GetOwningDevice()->GetBackend().WaitFor(pObject->GetStorage());
    stencil = pObject->GetStorage().stencilValues;
    return true;
}

StateSnapshot CaptureState(IDirect3DDevice9* pDevice)
{
    const DeviceState& state = DeviceOf(pDevice)->GetState();
    StateSnapshot snapshot;
    AddStates(snapshot, "RenderState ", RenderStateTable(), state.renderStates);
    for (UINT i = 0; i < SAMPLER_COUNT; ++i)
        AddStates(snapshot, "SamplerState " + std::to_string(i) + " ", SamplerStateTable(), state.samplerStates[i]);
    for (UINT i = 0; i < STAGE_COUNT; ++i)
        AddStates(snapshot, "StageState " + std::to_string(i) + " ", StageStateTable(), state.stageStates[i]);
    for (UINT i = 0; i < TRANSFORM_SLOTS; ++i)
        snapshot.entries["Transform " + TransformName(TransformOfSlot(i))] = Floats(&state.transforms[i]._11, 16);
    snapshot.entries["Material"] = Floats(&state.material.Diffuse.r, 17);
    for (UINT i = 0; i < MAX_LIGHTS; ++i)
    {
        const LightSlot& light = state.lights[i];
        if (!light.bDefined)
            continue;
        snapshot.entries["Light " + std::to_string(i)] =
            std::to_string(light.light.Type) + " " + Floats(&light.light.Diffuse.r, 25);
        snapshot.entries["LightEnable " + std::to_string(i)] = light.bEnabled ? "TRUE" : "FALSE";
    }
    for (UINT i = 0; i < MAX_CLIP_PLANES; ++i)
        snapshot.entries["ClipPlane " + std::to_string(i)] = Floats(state.clipPlanes[i], 4);
    const D3DVIEWPORT9& viewport = state.viewport;
    snapshot.entries["Viewport"] = std::to_string(viewport.X) + " " + std::to_string(viewport.Y) + " " +
                                   std::to_string(viewport.Width) + " " + std::to_string(viewport.Height) + " " +
                                   FloatText(viewport.MinZ) + " " + FloatText(viewport.MaxZ);
    AddConstants(snapshot, "Vertex", state.vertexConstants, VS_FLOAT_CONSTANTS);
    AddConstants(snapshot, "Pixel", state.pixelConstants, PS_FLOAT_CONSTANTS);
    for (UINT i = 0; i < SAMPLER_COUNT; ++i)
        snapshot.entries["Texture " + std::to_string(i)] = ObjectText(state.textures[i].Get());
    for (UINT i = 0; i < MAX_STREAMS; ++i)
    {
        const StreamSlot& stream = state.streams[i];
        snapshot.entries["Stream " + std::to_string(i)] = ObjectText(stream.pBuffer.Get()) + " " +
                                                          std::to_string(stream.nOffset) + " " +
                                                          std::to_string(stream.nStride);
    }
    snapshot.entries["Indices"] = ObjectText(state.pIndices.Get());
    snapshot.entries["VertexDeclaration"] = ObjectText(state.pDeclaration.Get());
    snapshot.entries["FVF"] = FvfText(state.nFvf);
    snapshot.entries["VertexShader"] = ObjectText(state.pVertexShader.Get());
    snapshot.entries["PixelShader"] = ObjectText(state.pPixelShader.Get());
    for (UINT i = 0; i < MAX_RENDER_TARGETS; ++i)
        snapshot.entries["RenderTarget " + std::to_string(i)] = ObjectText(state.renderTargets[i].Get());
    snapshot.entries["DepthStencil"] = ObjectText(state.pDepthStencil.Get());
    return snapshot;
}

std::vector<std::string> DiffState(const StateSnapshot& before, const StateSnapshot& after)
{
    std::vector<std::string> differences;
    for (const auto& [name, value] : after.entries)
    {
        auto it = before.entries.find(name);
        const std::string old = it == before.entries.end() ? "(none)" : it->second;
        if (old != value)
            differences.push_back(name + ": " + old + " -> " + value);
    }
    for (const auto& [name, value] : before.entries)
        if (!after.entries.count(name))
            differences.push_back(name + ": " + value + " -> (none)");
    return differences;
}

std::vector<LiveObject> LiveObjects()
{
    std::vector<LiveObject> objects;
    for (const LiveObjectInfo& info : ListLiveObjects())
        objects.push_back({ObjectKindName(info.kind), info.nId, info.nDeviceId, info.nPublicCount});
    return objects;
}

const PresentImage& LastPresented()
{
    return LastHeadlessImage();
}

void SetPitchPadding(UINT nBytes)
{
    SetExtraRowPadding(nBytes);
}
void UseProcessorConversions(bool bUse)
{
    SetHalfRunInstructions(bUse);
}

void SetThreadCount(IDirect3DDevice9* pDevice, unsigned nThreads)
{
    if (auto* pBackend = dynamic_cast<CpuBackend*>(&DeviceOf(pDevice)->GetBackend()))
        pBackend->SetThreadCount(nThreads);
}

}  // namespace d3d9test
