#pragma once
// The routines that run one plan step over a batch of lanes, one per operation and saturation.
// Each loops over the written components and, inside, over the lanes, so the compiler turns
// the lane loops into vector code. Arithmetic is IEEE single precision without contraction, so
// every lane, vector width and thread count gives the same bits.
#include "cpu/shader/ShaderPlan.h"

#include <cstdint>

class ShaderSampler;

struct ShaderRunState
{
    float* pRegisters = nullptr;        // the plan's slots, SHADER_LANES floats each
    ShaderSampler* pSampler = nullptr;
    uint8_t kill[SHADER_LANES] = {};    // set by texkill
};

enum ShaderRoutineKind
{
    ROUTINE_MOV,
    ROUTINE_ADD,
    ROUTINE_SUB,
    ROUTINE_MUL,
    ROUTINE_MAD,
    ROUTINE_MIN,
    ROUTINE_MAX,
    ROUTINE_SGE,
    ROUTINE_SLT,
    ROUTINE_FRC,
    ROUTINE_ABS,
    ROUTINE_LRP,
    ROUTINE_CMP,
    ROUTINE_RCP,
    ROUTINE_RSQ,
    ROUTINE_EXP,
    ROUTINE_LOG,
    ROUTINE_POW,
    ROUTINE_DP2ADD,
    ROUTINE_DP3,
    ROUTINE_DP4,
    ROUTINE_CRS,
    ROUTINE_DOT3_RSQ,     // first half of nrm: rsq(v.v) into one slot
    ROUTINE_PROJECT,      // texldp: coordinates divided by w
    ROUTINE_TEXLD,
    ROUTINE_TEXKILL,
    ROUTINE_COUNT,
};

// The routine of that kind, with or without saturation; the vector width is chosen once from
// the processor.
PlanRoutine GetShaderRoutine(ShaderRoutineKind kind, bool bSaturate);

// Scalar forms of the special functions, shared by the routines and the tests.
float ShaderExp2(float x);
float ShaderLog2(float x);
