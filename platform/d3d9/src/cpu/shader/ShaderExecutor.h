#pragma once
// Running a plan: a register file per worker, one batch of SHADER_LANES lanes at a time, and
// two drivers that spread batches over a worker pool: pixels of a rectangle in 8x8 tiles of
// 2x2 quads, and vertices in blocks.
#include "cpu/shader/ShaderPlan.h"
#include "cpu/shader/ShaderRoutines.h"

#include <vector>

class ShaderSampler;
class WorkerPool;

class ShaderRegisterFile
{
public:
    // Sizes the file for the plan and broadcasts its constants: the plan's def values, else
    // pConstants[4 n ...] for register n < nConstants, else 0. A file prepared for the same plan
    // before keeps its storage and rewrites only the constants whose values changed, which a plan
    // allows because it never reads a slot it has not written in the same batch (fills cover the
    // rest).
    void Prepare(const ShaderPlan& plan, const float* pConstants, unsigned nConstants);

    float* Slot(uint16_t slot) { return m_data.data() + (size_t)slot * SHADER_LANES; }
    ShaderRunState& State() { return m_state; }
    // The serial of the plan the file was last prepared for (0: none).
    uint64_t PreparedSerial() const { return m_nSerial; }

private:
    std::vector<float> m_data;
    ShaderRunState m_state;
    uint64_t m_nSerial = 0;
    std::vector<float> m_constantValues;   // the broadcast value of each of the plan's constants
};

// Runs every step once over the batch whose inputs are in the file; kill flags land in
// State().kill.
void RunShaderBatch(const ShaderPlan& plan, ShaderRegisterFile& registers, ShaderSampler* pSampler);

// Outputs by a flat index: pixel programs oC0-oC3 (0-3) and oDepth (4); vertex programs oPos
// (0), oFog (1), oPts (2), oD0-oD1 (3-4), oT0-oT7 (5-12). -1 for other registers.
constexpr int SHADER_OUTPUT_COUNT = 13;
int ShaderOutputIndex(DWORD dwType, DWORD dwNumber);

// An input that varies linearly over the screen: a0 + dx x + dy y at pixel (x, y) (pixel
// centres at integer coordinates).
struct PixelInputPlane
{
    float a0 = 0.0f;
    float dx = 0.0f;
    float dy = 0.0f;
};

struct ShadeRectJob
{
    const ShaderPlan* pPlan = nullptr;
    const float* pConstants = nullptr;   // 4 floats per register
    unsigned nConstants = 0;
    ShaderSampler* pSampler = nullptr;
    unsigned nWidth = 0;
    unsigned nHeight = 0;
    PixelInputPlane texcoords[8][4];     // t0-t7
    PixelInputPlane colors[2][4];        // v0-v1
    float* pOutputs[5] = {};             // oC0-oC3: 4 floats per pixel; oDepth: 1; null to drop
    unsigned char* pKilled = nullptr;    // 1 per killed pixel; may be null
};

// Shades every pixel of the rectangle. Outputs the program does not write are left untouched.
void ShadeRect(const ShadeRectJob& job, WorkerPool& pool);

struct ShadeVerticesJob
{
    const ShaderPlan* pPlan = nullptr;
    const float* pConstants = nullptr;
    unsigned nConstants = 0;
    unsigned nVertices = 0;
    const float* pInputs[16] = {};       // v0-v15: 4 floats per vertex; null reads (0, 0, 0, 1)
    float* pOutputs[SHADER_OUTPUT_COUNT] = {};   // 4 floats per vertex; null to drop
};

void ShadeVertices(const ShadeVerticesJob& job, WorkerPool& pool);
