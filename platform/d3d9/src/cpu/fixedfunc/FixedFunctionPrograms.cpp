#include "cpu/fixedfunc/FixedFunctionPrograms.h"

#include "core/Log.h"

#include <cstring>

namespace
{
// More distinct states than this in one device's life means the state churns; the cache then
// starts over rather than growing without bound.
constexpr size_t MAX_CACHED_PROGRAMS = 256;
}

template <class Key, class Writer>
const ShaderPlan* FixedFunctionPrograms::Find(Cache<Key>& cache, const Key& key, Writer writeProgram)
{
    for (const auto& pEntry : cache)
        if (std::memcmp(&pEntry->key, &key, sizeof(Key)) == 0)
            return &pEntry->plan;
    if (cache.size() >= MAX_CACHED_PROGRAMS)
        cache.clear();
    auto pEntry = std::make_unique<Entry<Key>>();
    pEntry->key = key;
    writeProgram(key, m_tokens);
    ++m_nGenerated;
    std::string strError;
    if (!BuildShaderPlan(m_tokens.data(), m_tokens.size(), pEntry->plan, strError))
    {
        LogError("FixedFunctionPrograms::Find() - a generated program does not build: %s.", strError.c_str());
        return nullptr;
    }
    cache.push_back(std::move(pEntry));
    return &cache.back()->plan;
}

VertexProgram FixedFunctionPrograms::Vertex(const DeviceState& state, const DrawResources& resources)
{
    const FixedVertexKey key = MakeFixedVertexKey(state, resources);
    VertexProgram program;
    program.bPretransformed = key.bPretransformed != 0;
    program.pPlan = Find(m_vertexPlans, key, WriteFixedVertexProgram);
    FillFixedVertexConstants(key, state, resources, m_vertexConstants);
    program.pConstants = &m_vertexConstants[0][0];
    program.nConstants = FIXED_VERTEX_CONSTANTS;
    return program;
}

PixelProgram FixedFunctionPrograms::Pixel(const DeviceState& state, const DrawResources& resources)
{
    const FixedPixelKey key = MakeFixedPixelKey(state, resources);
    PixelProgram program;
    program.pPlan = Find(m_pixelPlans, key, WriteFixedPixelProgram);
    FillFixedPixelConstants(state, m_pixelConstants);
    program.pConstants = &m_pixelConstants[0][0];
    return program;
}
