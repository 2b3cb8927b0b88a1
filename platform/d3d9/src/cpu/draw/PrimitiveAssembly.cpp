#include "cpu/draw/PrimitiveAssembly.h"

#include "cpu/clip/Clipper.h"

#include <algorithm>
#include <cstring>

namespace
{
// The vertex numbers (base vertex applied) the draw reads, in order.
bool ReadVertexNumbers(const DrawCommand& command, UINT nCount, std::vector<UINT>& numbers)
{
    numbers.resize(nCount);
    if (!command.bIndexed)
    {
        for (UINT i = 0; i < nCount; ++i)
            numbers[i] = command.nStartVertex + i;
        return true;
    }
    const DrawResources& resources = command.resources;
    const size_t nIndexSize = resources.bIndex32 ? 4 : 2;
    const std::vector<BYTE>& bytes = resources.pIndexBytes->bytes;
    if (((size_t)command.nStartIndex + nCount) * nIndexSize > bytes.size())
        return false;
    const BYTE* p = bytes.data() + (size_t)command.nStartIndex * nIndexSize;
    for (UINT i = 0; i < nCount; ++i)
    {
        uint32_t nIndex = 0;
        std::memcpy(&nIndex, p + i * nIndexSize, nIndexSize);
        const int64_t nVertex = (int64_t)nIndex + command.nBaseVertex;
        if (nVertex < 0)
            return false;
        numbers[i] = (UINT)nVertex;
    }
    return true;
}

UINT NumbersFor(D3DPRIMITIVETYPE type, UINT nPrimitives)
{
    switch (type)
    {
    case D3DPT_POINTLIST: return nPrimitives;
    case D3DPT_LINELIST: return nPrimitives * 2;
    case D3DPT_LINESTRIP: return nPrimitives + 1;
    case D3DPT_TRIANGLELIST: return nPrimitives * 3;
    default: return nPrimitives + 2;
    }
}

class Assembler
{
public:
    // For a draw whose vertex stage shades nShaded vertices; each shaded vertex gets its clip
    // code and its screen vertex of the same number from Prepare, as the vertex stage hands
    // them over; clipping adds vertices after them.
    Assembler(const DeviceState& state, AssemblyScratch& scratch, RasterJob& job, UINT nShaded)
        : m_stage(scratch.stage), m_scratch(scratch), m_job(job), m_nShaded(nShaded)
    {
        const D3DVIEWPORT9& vp = state.viewport;
        m_fX = (float)vp.X, m_fY = (float)vp.Y, m_fW = (float)vp.Width, m_fH = (float)vp.Height;
        m_fMinZ = vp.MinZ, m_fMaxZ = vp.MaxZ;
        const DWORD nUserMask = state.renderStates[D3DRS_CLIPPING] ? state.renderStates[D3DRS_CLIPPLANEENABLE] : 0;
        m_planes = MakeClipPlanes(m_fW, m_fH, nUserMask, state.clipPlanes, MAX_CLIP_PLANES);
        scratch.clipCodes.resize(m_nShaded);
        m_job.vertices.resize(m_nShaded);
        scratch.screenOf.clear();
        scratch.screenSources.clear();
    }

    ShadedRangeHook PrepareHook()
    {
        auto prepare = [](void* pContext, UINT nBegin, UINT nEnd) {
            static_cast<Assembler*>(pContext)->Prepare(nBegin, nEnd);
        };
        return {prepare, this};
    }

    // nFlatSource: the vertex whose colours the triangle takes under FLAT shading.
    void Triangle(UINT a, UINT b, UINT c, UINT nFlatSource)
    {
        const std::vector<uint32_t>& codes = m_scratch.clipCodes;
        if ((codes[a] & codes[b] & codes[c]) != 0)
            return;  // wholly outside one plane
        const UINT nFlat = Screen(nFlatSource);
        if ((codes[a] | codes[b] | codes[c]) == 0)
        {
            m_job.primitives.push_back({PrimitiveKind::Triangle, {Screen(a), Screen(b), Screen(c)}, nFlat});
            return;
        }
        std::vector<UINT>& polygon = m_scratch.polygon;
        ClipTriangle(m_planes, m_stage.vertices, a, b, c, polygon, m_scratch.clipWork);
        for (size_t i = 2; i < polygon.size(); ++i)
            m_job.primitives.push_back(
                {PrimitiveKind::Triangle, {Screen(polygon[0]), Screen(polygon[i - 1]), Screen(polygon[i])}, nFlat});
    }

    void Line(UINT a, UINT b)
    {
        const UINT nFlat = Screen(a);
        if (!m_stage.bPretransformed && !ClipSegment(m_planes, m_stage.vertices, a, b))
            return;
        m_job.primitives.push_back({PrimitiveKind::Line, {Screen(a), Screen(b), 0}, nFlat});
    }

    void Point(UINT a)
    {
        if (m_scratch.clipCodes[a] != 0)
            return;
        const UINT n = Screen(a);
        m_job.primitives.push_back({PrimitiveKind::Point, {n, n, n}, n});
    }

    // Points the screen vertices at their varyings, once clipping has stopped adding vertices.
    void Finish()
    {
        ScreenVertex* pScreen = m_job.vertices.data();
        for (UINT i = 0; i < m_nShaded; ++i)
            pScreen[i].varyings = m_stage.vertices[i].varyings;
        for (size_t i = m_nShaded; i < m_job.vertices.size(); ++i)
            pScreen[i].varyings = m_stage.vertices[m_scratch.screenSources[i - m_nShaded]].varyings;
    }

private:
    void Prepare(UINT nBegin, UINT nEnd)
    {
        uint32_t* pCodes = m_scratch.clipCodes.data();
        for (UINT i = nBegin; i < nEnd; ++i)
        {
            const ClipVertex& v = m_stage.vertices[i];
            pCodes[i] = m_stage.bPretransformed ? 0 : ClipCode(m_planes, v);
            m_job.vertices[i] = ToScreen(v);
        }
    }

    ScreenVertex ToScreen(const ClipVertex& v) const
    {
        ScreenVertex s;
        if (m_stage.bPretransformed)
        {
            s.x = v.pos[0], s.y = v.pos[1], s.z = v.pos[2], s.q = v.pos[3];
        }
        else
        {
            const float q = 1.0f / v.pos[3];
            s.x = m_fX + (v.pos[0] * q + 1.0f) * m_fW * 0.5f;
            s.y = m_fY + (1.0f - v.pos[1] * q) * m_fH * 0.5f;
            s.z = m_fMinZ + v.pos[2] * q * (m_fMaxZ - m_fMinZ);
            s.q = q;
        }
        s.varyings = nullptr;
        return s;
    }

    // The screen vertex of clip vertex i: the same number for shaded vertices, made once for
    // those clipping added.
    UINT Screen(UINT i)
    {
        if (i < m_nShaded)
            return i;
        std::vector<UINT>& screenOf = m_scratch.screenOf;
        const UINT nAdded = i - m_nShaded;
        if (nAdded < screenOf.size() && screenOf[nAdded] != UINT32_MAX)
            return screenOf[nAdded];
        m_job.vertices.push_back(ToScreen(m_stage.vertices[i]));
        m_scratch.screenSources.push_back(i);
        if (nAdded >= screenOf.size())
            screenOf.resize(nAdded + 1, UINT32_MAX);
        screenOf[nAdded] = (UINT)m_job.vertices.size() - 1;
        return screenOf[nAdded];
    }

    VertexStageResult& m_stage;
    AssemblyScratch& m_scratch;
    RasterJob& m_job;
    ClipPlanes m_planes;
    float m_fX, m_fY, m_fW, m_fH, m_fMinZ, m_fMaxZ;
    UINT m_nShaded = 0;
};
}

bool AssemblePrimitives(const DeviceState& state, const DrawCommand& command, const VertexProgram& program,
                        WorkerPool& pool, AssemblyScratch& scratch, RasterJob& job)
{
    job.vertices.clear();
    job.primitives.clear();
    std::vector<UINT>& numbers = scratch.numbers;
    if (!ReadVertexNumbers(command, NumbersFor(command.nType, command.nPrimitiveCount), numbers) || numbers.empty())
        return false;
    const auto [itMin, itMax] = std::minmax_element(numbers.begin(), numbers.end());
    const UINT nFirst = *itMin;
    Assembler assembler(state, scratch, job, *itMax - nFirst + 1);
    if (!RunVertexStage(program, command.resources, nFirst, *itMax - nFirst + 1, pool, scratch.stage,
                        assembler.PrepareHook()))
        return false;
    if (nFirst != 0)
        for (UINT& n : numbers)
            n -= nFirst;
    const UINT nPrimitives = command.nPrimitiveCount;
    for (UINT i = 0; i < nPrimitives; ++i)
    {
        switch (command.nType)
        {
        case D3DPT_POINTLIST: assembler.Point(numbers[i]); break;
        case D3DPT_LINELIST: assembler.Line(numbers[2 * i], numbers[2 * i + 1]); break;
        case D3DPT_LINESTRIP: assembler.Line(numbers[i], numbers[i + 1]); break;
        case D3DPT_TRIANGLELIST:
            assembler.Triangle(numbers[3 * i], numbers[3 * i + 1], numbers[3 * i + 2], numbers[3 * i]);
            break;
        case D3DPT_TRIANGLESTRIP:
            // Every other triangle of a strip is turned round to keep the winding; FLAT shading
            // still takes the triangle's first vertex in the stream.
            if (i & 1)
                assembler.Triangle(numbers[i + 1], numbers[i], numbers[i + 2], numbers[i]);
            else
                assembler.Triangle(numbers[i], numbers[i + 1], numbers[i + 2], numbers[i]);
            break;
        case D3DPT_TRIANGLEFAN:
            // A fan's triangle i is drawn from vertices i + 1, i + 2 and the hub, and FLAT
            // shading takes vertex i + 1, not the hub.
            assembler.Triangle(numbers[0], numbers[i + 1], numbers[i + 2], numbers[i + 1]);
            break;
        default: return false;
        }
    }
    assembler.Finish();
    return true;
}
