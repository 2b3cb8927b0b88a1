#pragma once
// The vertex stage: fetches the vertices a draw reads through its declaration, runs the vertex
// program (or the fixed-function transform and lighting) and hands out clip-space vertices.
#include "cpu/pool/ScratchVector.h"
#include "cpu/shader/ShaderExecutor.h"
#include "device/Backend.h"
#include "cpu/shader/ShaderPlan.h"
#include "device/DeviceState.h"

#include <vector>

class WorkerPool;

// Attributes a vertex carries to the rasteriser: t0-t7, then the colours v0 and v1.
constexpr unsigned VARYING_TEXCOORD = 0;
constexpr unsigned VARYING_COLOR = 32;
constexpr unsigned VARYING_COUNT = 40;

// Draws with more vertices than this shade them, and prepare them for setup, on every worker;
// smaller ones stay on the calling thread, where waking the workers would cost more. A scene
// mesh of a few hundred triangles is above it: its vertex work would otherwise hold up the
// workers waiting for its pixels.
constexpr UINT SPLIT_VERTICES = 1024;

struct ClipVertex
{
    float pos[4];   // clip space, or screen x, y, z and 1/w for pre-transformed vertices
    float varyings[VARYING_COUNT];
};

using ClipVertexList = ScratchVector<ClipVertex>;

// A worker's register file for vertex programs. Input lanes from nDataLanes on hold the values of
// absent data, (0, 0, 0, 1), as do all lanes of the inputs in nAbsentInputs (bit n: the plan's
// input n), so a short block refills only what an earlier one changed.
struct VertexRegisters
{
    ShaderRegisterFile file;
    unsigned nDataLanes = SHADER_LANES;
    uint32_t nAbsentInputs = 0;
};

// The shaded vertices of one draw. The back end keeps one from draw to draw, so the vertex list
// and the register files keep their storage.
struct VertexStageResult
{
    ClipVertexList vertices;           // the vertices from nFirstIndex on
    UINT nFirstIndex = 0;              // vertex index (base vertex applied) of vertices[0]
    bool bPretransformed = false;      // positions are already in screen space
    std::vector<VertexRegisters> files;   // one per worker
};

// Reads vertex i of the stream as float4 per input; missing components read (0, 0, 0, 1).
// Usage and index of each element pick its slot; absent inputs read (0, 0, 0, 1).
void FetchElement(const D3DVERTEXELEMENT9& element, const BYTE* pVertex, float out[4]);

// The program a draw's vertices run: the application's vertex shader with the device's
// constants, or the fixed-function program generated from the state with its own.
struct VertexProgram
{
    const ShaderPlan* pPlan = nullptr;
    const float* pConstants = nullptr;   // 4 floats per register
    unsigned nConstants = 0;
    bool bPretransformed = false;        // its positions are screen positions: no clipping
};

// Work on shaded vertices while they are still in the cache of the thread that shaded them:
// called with each range [nBegin, nEnd) of the result's vertices once it is shaded, on that
// thread. Ranges do not overlap, so the work may write per-vertex outputs without locks.
struct ShadedRangeHook
{
    void (*pfnRange)(void* pContext, UINT nBegin, UINT nEnd);
    void* pContext;
};

// Shades the vertices [nFirst, nFirst + nCount) of the stream, on the calling thread unless
// there are enough of them to be worth the workers. False when the stream is too short for them.
bool RunVertexStage(const VertexProgram& program, const DrawResources& resources, UINT nFirst, UINT nCount,
                    WorkerPool& pool, VertexStageResult& result, const ShadedRangeHook& hook);
