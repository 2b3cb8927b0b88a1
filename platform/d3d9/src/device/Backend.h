#pragma once
// What the device front end asks of whatever executes the work: the CPU back end by default,
// a later back end behind the same calls. The front end validates every call, keeps the state
// and the objects, and hands over only complete, checked commands.
#include "cpu/formats/ImageStorage.h"
#include "device/Buffers.h"

#include <memory>
#include <vector>

struct DeviceState;

// A program translated by the back end from its token stream; shader objects keep it.
class CompiledProgram
{
public:
    virtual ~CompiledProgram() = default;
};

// One Clear: the images of every bound target and the depth surface, already limited to the
// rectangles that lie inside the viewport and the images.
struct ClearCommand
{
    std::vector<std::shared_ptr<ImageStorage>> targets;
    std::shared_ptr<ImageStorage> pDepthStencil;  // null when neither depth nor stencil is cleared
    std::vector<RECT> rects;
    DWORD nFlags = 0;
    float color[4] = {};  // D3DCOLOR bytes divided by 255
    float fDepth = 0.0f;
    DWORD nStencil = 0;
};

struct OcclusionCounter
{
    uint64_t nPixels = 0;
};

// A texture bound to a sampler, as the back end reads it: its images by face and level.
struct SamplerImages
{
    D3DRESOURCETYPE nType = D3DRTYPE_SURFACE;  // TEXTURE, CUBETEXTURE or VOLUMETEXTURE; SURFACE when unbound
    UINT nLevels = 0;
    std::vector<ImageStorage*> images;         // face * nLevels + level
};

// The objects a draw reads and writes, resolved by the front end from its bindings. They stay
// alive for the draw because the state holds them.
struct DrawResources
{
    const BufferBytes* pVertexBytes = nullptr;  // stream 0, or the UP copy
    UINT nStreamOffset = 0;
    UINT nStride = 0;
    const BufferBytes* pIndexBytes = nullptr;
    bool bIndex32 = false;
    const std::vector<D3DVERTEXELEMENT9>* pElements = nullptr;
    UINT nVertexBytes = 0;                      // bytes of one vertex the declaration reads
    D3DMATRIX world = {};                       // fixed-function transforms (without a vertex program)
    D3DMATRIX worldView = {};
    D3DMATRIX worldViewProjection = {};
    const CompiledProgram* pVertexProgram = nullptr;  // null: fixed-function vertex processing
    const CompiledProgram* pPixelProgram = nullptr;   // null: fixed-function texture stages
    ImageStorage* targets[4] = {};
    ImageStorage* pDepthStencil = nullptr;
    SamplerImages samplers[16];
};

// One draw, with the state it was issued under.
struct DrawCommand
{
    D3DPRIMITIVETYPE nType = D3DPT_TRIANGLELIST;
    INT nBaseVertex = 0;
    UINT nStartVertex = 0;     // non-indexed draws
    UINT nStartIndex = 0;      // indexed draws
    UINT nMinVertex = 0;
    UINT nVertexCount = 0;     // vertices the draw may read
    UINT nPrimitiveCount = 0;
    bool bIndexed = false;
    // Vertex and index data of the UP forms, copied at the call.
    std::shared_ptr<BufferBytes> pUserVertices;
    UINT nUserStride = 0;
    std::shared_ptr<BufferBytes> pUserIndices;
    D3DFORMAT nUserIndexFormat = D3DFMT_INDEX16;
    DrawResources resources;  // filled by the front end just before the back end sees the draw
};

class Backend
{
public:
    virtual ~Backend() = default;

    // Translates a token stream the front end has measured; null when the back end cannot run
    // it (the create call then fails).
    virtual std::shared_ptr<CompiledProgram> CompileProgram(const std::vector<DWORD>& tokens) = 0;
    virtual void Clear(const ClearCommand& command) = 0;
    // Same-format copy or filtered stretch of one rectangle to another.
    virtual void Stretch(ImageStorage& source, const RECT& sourceRect, ImageStorage& dest, const RECT& destRect,
                         D3DTEXTUREFILTERTYPE filter) = 0;
    virtual HRESULT Draw(const DeviceState& state, const DrawCommand& command) = 0;
    // Occlusion counting in submission order: pixels of the draws issued between the two calls
    // that pass depth and stencil are added to the counter (complete once flushed).
    virtual void BeginOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter) = 0;
    virtual void EndOcclusion(const std::shared_ptr<OcclusionCounter>& pCounter) = 0;
    // Runs all pending work.
    virtual void Flush() = 0;
    // Runs the pending work that reads or writes this image or these bytes.
    virtual void WaitFor(const ImageStorage& storage) = 0;
    virtual void WaitFor(const BufferBytes& bytes) = 0;
    // Runs the pending work that adds to this occlusion counter.
    virtual void WaitForCounter(const OcclusionCounter& counter) = 0;
};

// The CPU back end.
std::unique_ptr<Backend> CreateCpuBackend();
