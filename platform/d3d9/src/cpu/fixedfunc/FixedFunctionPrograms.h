#pragma once
// The programs fixed-function drawing runs, generated from the state and cached by their key,
// so a draw whose fixed-function state was seen before only refills the constants.
#include "cpu/fixedfunc/FixedPixelProgram.h"
#include "cpu/fixedfunc/FixedVertexProgram.h"
#include "cpu/shader/ShaderPlan.h"
#include "cpu/vertex/VertexStage.h"

#include <memory>
#include <vector>

// A pixel plan ready to run and the constants it reads (4 floats per register).
struct PixelProgram
{
    const ShaderPlan* pPlan = nullptr;
    const float* pConstants = nullptr;
};

class FixedFunctionPrograms
{
public:
    // The vertex program of the draw's state (null plan if it cannot be built). The constants
    // stay valid until the next call.
    VertexProgram Vertex(const DeviceState& state, const DrawResources& resources);
    // The pixel program of the draw's state (texture stages). Same lifetime of the constants.
    PixelProgram Pixel(const DeviceState& state, const DrawResources& resources);

    // Programs generated so far (a cache that started over counts on).
    uint64_t GeneratedCount() const { return m_nGenerated; }

private:
    template <class Key>
    struct Entry
    {
        Key key;
        ShaderPlan plan;
    };
    template <class Key>
    using Cache = std::vector<std::unique_ptr<Entry<Key>>>;

    template <class Key, class Writer>
    const ShaderPlan* Find(Cache<Key>& cache, const Key& key, Writer writeProgram);

    Cache<FixedVertexKey> m_vertexPlans;
    Cache<FixedPixelKey> m_pixelPlans;
    std::vector<DWORD> m_tokens;
    uint64_t m_nGenerated = 0;
    float m_vertexConstants[FIXED_VERTEX_CONSTANTS][4] = {};
    float m_pixelConstants[PS_FLOAT_CONSTANTS][4] = {};
};
