#include "cpu/shader/ShaderRoutines.h"

namespace ShaderRoutinesBaseline
{
PlanRoutine GetRoutine(ShaderRoutineKind kind, bool bSaturate);
float Exp2Scalar(float x);
float Log2Scalar(float x);
}
#if defined(__x86_64__)
namespace ShaderRoutinesAvx2
{
PlanRoutine GetRoutine(ShaderRoutineKind kind, bool bSaturate);
}
#endif

namespace
{
bool UseAvx2()
{
#if defined(__x86_64__)
    static const bool s_bAvx2 = __builtin_cpu_supports("avx2");
    return s_bAvx2;
#else
    return false;
#endif
}
}

PlanRoutine GetShaderRoutine(ShaderRoutineKind kind, bool bSaturate)
{
#if defined(__x86_64__)
    if (UseAvx2())
        return ShaderRoutinesAvx2::GetRoutine(kind, bSaturate);
#endif
    return ShaderRoutinesBaseline::GetRoutine(kind, bSaturate);
}

float ShaderExp2(float x) { return ShaderRoutinesBaseline::Exp2Scalar(x); }
float ShaderLog2(float x) { return ShaderRoutinesBaseline::Log2Scalar(x); }
