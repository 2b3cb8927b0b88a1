#pragma once
// A program's execution plan, built once from its token stream: macros expanded into their dot
// products, swizzles and write masks resolved into register-file slots, def constants kept as an
// overlay over the constants set from outside. The executor then runs each step as one routine
// over a batch of lanes held structure-of-arrays: slot s of the register file is SHADER_LANES
// consecutive floats.
#include <d3d9/bytecode.h>

#include <cstdint>
#include <string>
#include <vector>

constexpr unsigned SHADER_LANES = 64;   // 16 pixel quads, or 64 vertices
constexpr uint16_t NO_SLOT = 0xFFFF;

struct ShaderRunState;
struct PlanStep;
using PlanRoutine = void (*)(const PlanStep& step, ShaderRunState& state);

struct PlanStep
{
    PlanRoutine pfnRun = nullptr;
    uint8_t nComponents = 0;     // written components, in order
    uint8_t nStage = 0;          // sampler stage of texld
    uint8_t comps[4] = {};       // which component (0-3) each written slot is
    uint16_t dst[4] = {NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT};
    // Component-wise steps: src[s][k] feeds written component k. Vector and scalar steps:
    // src[s][j] is swizzled component j of source s.
    uint16_t src[3][4] = {};
    float negate[3] = {1.0f, 1.0f, 1.0f};
    bool bBias = false;          // texldb: src[0][3] holds the bias
};

// One register of the program's interface and the slots of its four components (NO_SLOT where
// the program does not touch a component).
struct PlanRegister
{
    DWORD dwType = 0;
    DWORD dwNumber = 0;
    uint16_t slot[4] = {NO_SLOT, NO_SLOT, NO_SLOT, NO_SLOT};
    DWORD dwUsage = 0;           // vertex inputs: dcl usage and index (usage | index << 16)
};

struct PlanConstant
{
    DWORD dwNumber;
    int nComponent;
    uint16_t slot;
};

struct PlanFill
{
    uint16_t slot;
    float fValue;
};

struct ShaderPlan
{
    DWORD dwVersion = 0;
    bool bPixel = false;
    unsigned nSlots = 0;
    std::vector<PlanStep> steps;
    std::vector<PlanRegister> inputs;      // t#, v#: filled per lane before a batch (NO_SLOT: never read)
    std::vector<PlanRegister> outputs;     // oC#, oDepth, oPos, oT#, oD#, oFog, oPts
    std::vector<PlanConstant> constants;   // broadcast once per run
    std::vector<PlanFill> fills;           // set before every batch: temporaries read before written, partly written outputs
    std::vector<std::pair<DWORD, std::vector<float>>> defs;   // def c#: overrides the outside value
    DWORD dwSamplerTypes[16] = {};         // D3DSTT_* of each declared sampler
    bool bKills = false;                   // texkill present
    bool bWritesDepth = false;
    // Set by BuildShaderPlan to a number no other plan built by this process has, so storage laid
    // out for a plan knows when it is given the same plan again (0: never built).
    uint64_t nSerial = 0;

    const PlanRegister* FindOutput(DWORD dwType, DWORD dwNumber) const;
    const PlanRegister* FindInput(DWORD dwType, DWORD dwNumber) const;
};

// Builds the plan of a token stream (version token first, end token last). False, with the
// reason in strError, for a stream the device does not run (malformed, unsupported version,
// flow control, relative addressing, registers out of range).
bool BuildShaderPlan(const DWORD* pTokens, size_t nTokens, ShaderPlan& plan, std::string& strError);
