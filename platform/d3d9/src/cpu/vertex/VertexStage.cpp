#include "cpu/vertex/VertexStage.h"

#include "cpu/formats/Half.h"
#include "cpu/shader/ShaderExecutor.h"

#include <algorithm>
#include <cstring>

namespace
{
float ReadFloat(const BYTE* p)
{
    float f;
    std::memcpy(&f, p, 4);
    return f;
}

int16_t ReadShort(const BYTE* p)
{
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

uint16_t ReadUshort(const BYTE* p)
{
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

// Signed normalised: -32768 and -32767 both read -1.
float SignedNorm(int16_t v)
{
    return std::max(-1.0f, (float)v / 32767.0f);
}

// The flat index of the declaration's element with that usage and usage index, or -1.
int FindElement(const std::vector<D3DVERTEXELEMENT9>& elements, BYTE usage, BYTE index)
{
    for (size_t i = 0; i < elements.size(); ++i)
        if (elements[i].Stream == 0 && elements[i].Usage == usage && elements[i].UsageIndex == index)
            return (int)i;
    return -1;
}

// Every vertex's value of one element, 4 floats each.
std::vector<float> FetchAll(const D3DVERTEXELEMENT9& element, const BYTE* pFirst, UINT nStride, UINT nCount)
{
    std::vector<float> values((size_t)nCount * 4);
    for (UINT i = 0; i < nCount; ++i)
        FetchElement(element, pFirst + (size_t)i * nStride, &values[(size_t)i * 4]);
    return values;
}

void ShadeWithProgram(const VertexProgram& program, const DrawResources& resources, const BYTE* pFirst, UINT nCount,
                      WorkerPool& pool, VertexStageResult& result)
{
    const ShaderPlan& plan = *program.pPlan;
    const std::vector<D3DVERTEXELEMENT9>& elements = *resources.pElements;
    std::vector<float> inputs[16];
    ShadeVerticesJob job;
    job.pPlan = &plan;
    job.pConstants = program.pConstants;
    job.nConstants = program.nConstants;
    job.nVertices = nCount;
    for (const PlanRegister& input : plan.inputs)
    {
        if (input.dwNumber >= 16)
            continue;
        int nElement = FindElement(elements, (BYTE)(input.dwUsage & 0xFFFF), (BYTE)(input.dwUsage >> 16));
        if (nElement < 0)
            continue;
        inputs[input.dwNumber] = FetchAll(elements[nElement], pFirst + elements[nElement].Offset, resources.nStride, nCount);
        job.pInputs[input.dwNumber] = inputs[input.dwNumber].data();
    }
    // Unwritten outputs: t# read (0, 0, 0, 0) and colours (1, 1, 1, 1).
    std::vector<float> outputs[SHADER_OUTPUT_COUNT];
    for (int i = 0; i < SHADER_OUTPUT_COUNT; ++i)
    {
        outputs[i].assign((size_t)nCount * 4, (i == 3 || i == 4) ? 1.0f : 0.0f);
        job.pOutputs[i] = outputs[i].data();
    }
    ShadeVertices(job, pool);
    for (UINT v = 0; v < nCount; ++v)
    {
        ClipVertex& out = result.vertices[v];
        std::memcpy(out.pos, &outputs[0][(size_t)v * 4], 16);
        for (int t = 0; t < 8; ++t)
            std::memcpy(&out.varyings[VARYING_TEXCOORD + t * 4], &outputs[5 + t][(size_t)v * 4], 16);
        std::memcpy(&out.varyings[VARYING_COLOR], &outputs[3][(size_t)v * 4], 32);
    }
}

}

void FetchElement(const D3DVERTEXELEMENT9& element, const BYTE* p, float out[4])
{
    out[0] = out[1] = out[2] = 0.0f;
    out[3] = 1.0f;
    switch (element.Type)
    {
    case D3DDECLTYPE_FLOAT4: out[3] = ReadFloat(p + 12); [[fallthrough]];
    case D3DDECLTYPE_FLOAT3: out[2] = ReadFloat(p + 8); [[fallthrough]];
    case D3DDECLTYPE_FLOAT2: out[1] = ReadFloat(p + 4); [[fallthrough]];
    case D3DDECLTYPE_FLOAT1: out[0] = ReadFloat(p); break;
    case D3DDECLTYPE_D3DCOLOR:  // memory order B, G, R, A
        out[0] = p[2] / 255.0f;
        out[1] = p[1] / 255.0f;
        out[2] = p[0] / 255.0f;
        out[3] = p[3] / 255.0f;
        break;
    case D3DDECLTYPE_UBYTE4:
    case D3DDECLTYPE_UBYTE4N:
        for (int c = 0; c < 4; ++c)
            out[c] = element.Type == D3DDECLTYPE_UBYTE4 ? (float)p[c] : p[c] / 255.0f;
        break;
    case D3DDECLTYPE_SHORT4: out[2] = ReadShort(p + 4), out[3] = ReadShort(p + 6); [[fallthrough]];
    case D3DDECLTYPE_SHORT2: out[0] = ReadShort(p), out[1] = ReadShort(p + 2); break;
    case D3DDECLTYPE_SHORT4N: out[2] = SignedNorm(ReadShort(p + 4)), out[3] = SignedNorm(ReadShort(p + 6)); [[fallthrough]];
    case D3DDECLTYPE_SHORT2N: out[0] = SignedNorm(ReadShort(p)), out[1] = SignedNorm(ReadShort(p + 2)); break;
    case D3DDECLTYPE_USHORT4N: out[2] = ReadUshort(p + 4) / 65535.0f, out[3] = ReadUshort(p + 6) / 65535.0f; [[fallthrough]];
    case D3DDECLTYPE_USHORT2N: out[0] = ReadUshort(p) / 65535.0f, out[1] = ReadUshort(p + 2) / 65535.0f; break;
    case D3DDECLTYPE_FLOAT16_4: out[2] = HalfToFloat(ReadUshort(p + 4)), out[3] = HalfToFloat(ReadUshort(p + 6)); [[fallthrough]];
    case D3DDECLTYPE_FLOAT16_2: out[0] = HalfToFloat(ReadUshort(p)), out[1] = HalfToFloat(ReadUshort(p + 2)); break;
    default: break;
    }
}

bool RunVertexStage(const VertexProgram& program, const DrawResources& resources, UINT nFirst, UINT nCount,
                    WorkerPool& pool, VertexStageResult& result)
{
    const std::vector<BYTE>& bytes = resources.pVertexBytes->bytes;
    const UINT nElementEnd = resources.nVertexBytes;
    const size_t nStart = resources.nStreamOffset + (size_t)nFirst * resources.nStride;
    if (nCount == 0 || nStart + (size_t)(nCount - 1) * resources.nStride + nElementEnd > bytes.size())
        return false;
    result.nFirstIndex = nFirst;
    result.bPretransformed = program.bPretransformed;
    result.vertices.resize(nCount);
    ShadeWithProgram(program, resources, bytes.data() + nStart, nCount, pool, result);
    return true;
}
