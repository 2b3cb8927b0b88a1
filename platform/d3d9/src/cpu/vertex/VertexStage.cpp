#include "cpu/vertex/VertexStage.h"

#include "cpu/formats/Half.h"
#include "cpu/pool/WorkerPool.h"
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

constexpr unsigned BLOCKS_PER_TASK = 4;   // blocks of SHADER_LANES vertices a worker takes at once

// A vertex as a program leaves it when it writes nothing: t# read (0, 0, 0, 0), colours (1, 1, 1, 1).
constexpr ClipVertex MakeUnwrittenOutputs()
{
    ClipVertex v{};
    for (unsigned i = 0; i < 8; ++i)
        v.varyings[VARYING_COLOR + i] = 1.0f;
    return v;
}
constexpr ClipVertex UNWRITTEN_OUTPUTS = MakeUnwrittenOutputs();

// An input register of the program and the element that feeds it (null: reads (0, 0, 0, 1)).
struct ProgramInput
{
    const D3DVERTEXELEMENT9* pElement;
    const uint16_t* slot;
};

// An output register and where its four components go in a ClipVertex, counted in floats.
struct ProgramOutput
{
    unsigned nOffset;
    const uint16_t* slot;
};

// What one draw's vertex program reads and writes, resolved once for all its vertices.
class ProgramVertices
{
public:
    ProgramVertices(const ShaderPlan& plan, const DrawResources& resources, const BYTE* pFirst, ClipVertex* pOut)
        : m_plan(plan), m_nStride(resources.nStride), m_pFirst(pFirst), m_pOut(pOut)
    {
        const std::vector<D3DVERTEXELEMENT9>& elements = *resources.pElements;
        for (const PlanRegister& input : plan.inputs)
        {
            if (m_nInputs == MAX_INPUTS)
                break;
            const int nElement = input.dwNumber < 16 ? FindElement(elements, (BYTE)(input.dwUsage & 0xFFFF),
                                                                    (BYTE)(input.dwUsage >> 16))
                                                      : -1;
            m_inputs[m_nInputs++] = {nElement >= 0 ? &elements[nElement] : nullptr, input.slot};
        }
        for (const PlanRegister& output : plan.outputs)
        {
            const int nIndex = ShaderOutputIndex(output.dwType, output.dwNumber);
            if (nIndex == 0)
                m_outputs[m_nOutputs++] = {0, output.slot};
            else if (nIndex == 3 || nIndex == 4)
                m_outputs[m_nOutputs++] = {4 + VARYING_COLOR + (unsigned)(nIndex - 3) * 4, output.slot};
            else if (nIndex >= 5)
                m_outputs[m_nOutputs++] = {4 + VARYING_TEXCOORD + (unsigned)(nIndex - 5) * 4, output.slot};
        }
    }

    // Shades vertices [nFirst, nFirst + nCount), nCount at most SHADER_LANES.
    void ShadeBlock(VertexRegisters& registers, UINT nFirst, UINT nCount) const
    {
        ShaderRegisterFile& file = registers.file;
        for (unsigned n = 0; n < m_nInputs; ++n)
        {
            const ProgramInput& input = m_inputs[n];
            float* lanes[4] = {};
            for (int c = 0; c < 4; ++c)
                lanes[c] = input.slot[c] == NO_SLOT ? nullptr : file.Slot(input.slot[c]);
            // Absent inputs, and the lanes past the last vertex, read (0, 0, 0, 1).
            const uint32_t nBit = 1u << n;
            UINT nDefaultFrom = 0, nDefaultTo = SHADER_LANES;
            if (!input.pElement)
            {
                if (registers.nAbsentInputs & nBit)
                    continue;
                registers.nAbsentInputs |= nBit;
            }
            else
            {
                registers.nAbsentInputs &= ~nBit;
                const BYTE* pVertex = m_pFirst + input.pElement->Offset + (size_t)nFirst * m_nStride;
                for (UINT i = 0; i < nCount; ++i, pVertex += m_nStride)
                {
                    float value[4];
                    FetchElement(*input.pElement, pVertex, value);
                    for (int c = 0; c < 4; ++c)
                        if (lanes[c])
                            lanes[c][i] = value[c];
                }
                nDefaultFrom = nCount;
                nDefaultTo = std::max(nCount, registers.nDataLanes);
            }
            for (int c = 0; c < 4; ++c)
                if (lanes[c])
                    std::fill(lanes[c] + nDefaultFrom, lanes[c] + nDefaultTo, c == 3 ? 1.0f : 0.0f);
        }
        registers.nDataLanes = nCount;
        RunShaderBatch(m_plan, file, nullptr);
        for (UINT i = 0; i < nCount; ++i)
        {
            float* pOut = reinterpret_cast<float*>(&m_pOut[nFirst + i]);
            std::memcpy(pOut, &UNWRITTEN_OUTPUTS, sizeof(ClipVertex));
            for (unsigned n = 0; n < m_nOutputs; ++n)
                for (int c = 0; c < 4; ++c)
                    pOut[m_outputs[n].nOffset + c] = file.Slot(m_outputs[n].slot[c])[i];
        }
    }

private:
    static constexpr unsigned MAX_INPUTS = 16;
    const ShaderPlan& m_plan;
    UINT m_nStride;
    const BYTE* m_pFirst;
    ClipVertex* m_pOut;
    ProgramInput m_inputs[MAX_INPUTS];
    unsigned m_nInputs = 0;
    ProgramOutput m_outputs[SHADER_OUTPUT_COUNT];
    unsigned m_nOutputs = 0;
};

static_assert(sizeof(ClipVertex) == (4 + VARYING_COUNT) * sizeof(float), "a clip vertex is plain floats");

void ShadeWithProgram(const VertexProgram& program, const DrawResources& resources, const BYTE* pFirst, UINT nCount,
                      WorkerPool& pool, VertexStageResult& result, const ShadedRangeHook& hook)
{
    const ShaderPlan& plan = *program.pPlan;
    const ProgramVertices vertices(plan, resources, pFirst, result.vertices.data());
    const unsigned nBlocks = (nCount + SHADER_LANES - 1) / SHADER_LANES;
    const unsigned nWorkers = nCount > SPLIT_VERTICES ? pool.GetThreadCount() : 1;
    if (result.files.size() < nWorkers)
        result.files.resize(nWorkers);
    for (unsigned w = 0; w < nWorkers; ++w)
    {
        VertexRegisters& registers = result.files[w];
        if (plan.nSerial == 0 || registers.file.PreparedSerial() != plan.nSerial)
        {
            registers.nDataLanes = SHADER_LANES;   // the file is laid out afresh
            registers.nAbsentInputs = 0;
        }
        registers.file.Prepare(plan, program.pConstants, program.nConstants);
    }
    auto shadeBlocks = [&](unsigned nBegin, unsigned nEnd, unsigned nWorker) {
        for (unsigned nBlock = nBegin; nBlock < nEnd; ++nBlock)
        {
            const UINT nFirst = nBlock * SHADER_LANES;
            vertices.ShadeBlock(result.files[nWorker], nFirst, std::min<UINT>(SHADER_LANES, nCount - nFirst));
        }
        hook.pfnRange(hook.pContext, nBegin * SHADER_LANES, std::min<UINT>(nCount, nEnd * SHADER_LANES));
    };
    if (nWorkers == 1)
    {
        shadeBlocks(0, nBlocks, 0);
        return;
    }
    pool.Run((nBlocks + BLOCKS_PER_TASK - 1) / BLOCKS_PER_TASK, [&](unsigned nTask, unsigned nWorker) {
        shadeBlocks(nTask * BLOCKS_PER_TASK, std::min(nBlocks, (nTask + 1) * BLOCKS_PER_TASK), nWorker);
    });
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
                    WorkerPool& pool, VertexStageResult& result, const ShadedRangeHook& hook)
{
    const std::vector<BYTE>& bytes = resources.pVertexBytes->bytes;
    const UINT nElementEnd = resources.nVertexBytes;
    const size_t nStart = resources.nStreamOffset + (size_t)nFirst * resources.nStride;
    if (nCount == 0 || nStart + (size_t)(nCount - 1) * resources.nStride + nElementEnd > bytes.size())
        return false;
    result.nFirstIndex = nFirst;
    result.bPretransformed = program.bPretransformed;
    result.vertices.resize(nCount);
    ShadeWithProgram(program, resources, bytes.data() + nStart, nCount, pool, result, hook);
    return true;
}
