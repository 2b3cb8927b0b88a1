// Routine bodies, compiled once per instruction set (ShaderRoutinesSse.cpp, ShaderRoutinesAvx2.cpp)
// inside the namespace SHADER_ROUTINE_NAMESPACE. Everything here is local to that namespace so
// the two builds never share a function.
#include "cpu/shader/ShaderRoutines.h"
#include "cpu/shader/ShaderSampler.h"

#include <bit>
#include <cstring>

namespace SHADER_ROUTINE_NAMESPACE
{
namespace
{
constexpr unsigned L = SHADER_LANES;

inline float* Slot(ShaderRunState& rs, uint16_t slot) { return rs.pRegisters + (size_t)slot * L; }

inline uint32_t Bits(float f) { return std::bit_cast<uint32_t>(f); }
inline float FromBits(uint32_t u) { return std::bit_cast<float>(u); }

// Clamp to [0, 1]; NaN becomes 0.
inline float Sat(float v)
{
    v = v > 0.0f ? v : 0.0f;
    return v < 1.0f ? v : 1.0f;
}
template <bool S>
inline float Finish(float v)
{
    return S ? Sat(v) : v;
}

inline float Abs(float v) { return FromBits(Bits(v) & 0x7FFFFFFFu); }

// floor without a library call, a conversion or a branch, so the loops stay vector code on
// every instruction set: adding and removing 2^23 (with x's sign) rounds |x| < 2^23 to an
// integer; larger values (and NaN) are integral already.
inline float Floor(float x)
{
    float m = FromBits((Bits(x) & 0x80000000u) | 0x4B000000u);
    float r = (x + m) - m;
    float rm = r - 1.0f;
    r = r > x ? rm : r;
    return Abs(x) < 8388608.0f && x != 0.0f ? r : x;   // keeps the sign of a zero
}

// 2^x: x = n + f with n an integer and |f| <= 1/2, 2^f by its Taylor series to f^6
// (error below 2^-21), 2^n put into the exponent in two halves so subnormal results round once.
// Integers give exact powers of two. Written without branches so it vectorises.
inline float Exp2(float x)
{
    float xc = x == x ? (x < -150.0f ? -150.0f : x > 128.0f ? 128.0f : x) : 0.0f;
    float n = (xc + 12582912.0f) - 12582912.0f;   // nearest integer: 1.5 * 2^23 leaves no fraction bits
    float f = xc - n;
    float p = 1.0f + f * (0.69314718f + f * (0.24022651f + f * (0.05550411f + f * (0.00961813f +
                      f * (0.00133336f + f * 0.00015404f)))));
    int32_t ni = (int32_t)n;
    int32_t n1 = ni >> 1;
    int32_t n2 = ni - n1;
    float r = p * FromBits((uint32_t)(n1 + 127) << 23) * FromBits((uint32_t)(n2 + 127) << 23);
    r = x >= 128.0f ? FromBits(0x7F800000u) : r;
    r = x < -150.0f ? 0.0f : r;
    return x == x ? r : x;
}

// log2|x|: x = m 2^e with m in [sqrt(1/2), sqrt(2)), ln m = 2 atanh((m-1)/(m+1)) by its series.
// Powers of two give their exponent exactly; log2(0) = -inf. Branch-free like Exp2.
inline float Log2(float x)
{
    uint32_t u = Bits(x) & 0x7FFFFFFFu;
    bool bSubnormal = u < 0x00800000u;   // scaled by 2^23 first
    uint32_t scaled = Bits(FromBits(u) * 8388608.0f);
    uint32_t v = bSubnormal ? scaled : u;
    int32_t e = (int32_t)(v >> 23) - (bSubnormal ? 150 : 127);
    float m = FromBits((v & 0x007FFFFFu) | 0x3F800000u);
    bool bHigh = m > 1.41421356f;
    m = bHigh ? m * 0.5f : m;
    e += bHigh ? 1 : 0;
    float t = (m - 1.0f) / (m + 1.0f);
    float t2 = t * t;
    float ln = t * (2.0f + t2 * (0.66666667f + t2 * (0.4f + t2 * (0.28571429f + t2 * 0.22222222f))));
    float r = (float)e + ln * 1.44269504f;
    r = u == 0 ? FromBits(0xFF800000u) : r;
    return u >= 0x7F800000u ? FromBits(u) : r;   // +inf, or the NaN
}

inline float Pow(float x, float y)
{
    float r = Exp2(y * Log2(x));
    return y == 0.0f ? 1.0f : r;
}

// Operations on one lane. Min and max give the other operand when one is NaN.
struct OpMov { static float F(float a) { return a; } };
struct OpFrc
{
    static float F(float a)
    {
        float r = a - Floor(a);
        return r >= 1.0f ? 0.99999994f : r;   // 0x3F7FFFFF, the largest float below 1
    }
};
struct OpAbs { static float F(float a) { return Abs(a); } };
struct OpRcp { static float F(float a) { return 1.0f / a; } };
struct OpRsq { static float F(float a) { return 1.0f / __builtin_sqrtf(Abs(a)); } };
struct OpExp { static float F(float a) { return Exp2(a); } };
struct OpLog { static float F(float a) { return Log2(a); } };
struct OpAdd { static float F(float a, float b) { return a + b; } };
struct OpSub { static float F(float a, float b) { return a - b; } };
struct OpMul { static float F(float a, float b) { return a * b; } };
struct OpMin { static float F(float a, float b) { return (a < b || b != b) ? a : b; } };
struct OpMax { static float F(float a, float b) { return (a > b || b != b) ? a : b; } };
struct OpSge { static float F(float a, float b) { return a >= b ? 1.0f : 0.0f; } };
struct OpSlt { static float F(float a, float b) { return a < b ? 1.0f : 0.0f; } };
struct OpPow { static float F(float a, float b) { return Pow(a, b); } };
struct OpMad { static float F(float a, float b, float c) { return a * b + c; } };
struct OpLrp { static float F(float a, float b, float c) { return a * (b - c) + c; } };
struct OpCmp { static float F(float a, float b, float c) { return a >= 0.0f ? b : c; } };

template <class Op, bool S>
void Unary(const PlanStep& st, ShaderRunState& rs)
{
    const float na = st.negate[0];
    for (unsigned k = 0; k < st.nComponents; ++k)
    {
        float* d = Slot(rs, st.dst[k]);
        const float* a = Slot(rs, st.src[0][k]);
#pragma GCC ivdep
        for (unsigned i = 0; i < L; ++i)
            d[i] = Finish<S>(Op::F(a[i] * na));
    }
}

template <class Op, bool S>
void Binary(const PlanStep& st, ShaderRunState& rs)
{
    const float na = st.negate[0], nb = st.negate[1];
    for (unsigned k = 0; k < st.nComponents; ++k)
    {
        float* d = Slot(rs, st.dst[k]);
        const float* a = Slot(rs, st.src[0][k]);
        const float* b = Slot(rs, st.src[1][k]);
#pragma GCC ivdep
        for (unsigned i = 0; i < L; ++i)
            d[i] = Finish<S>(Op::F(a[i] * na, b[i] * nb));
    }
}

template <class Op, bool S>
void Ternary(const PlanStep& st, ShaderRunState& rs)
{
    const float na = st.negate[0], nb = st.negate[1], nc = st.negate[2];
    for (unsigned k = 0; k < st.nComponents; ++k)
    {
        float* d = Slot(rs, st.dst[k]);
        const float* a = Slot(rs, st.src[0][k]);
        const float* b = Slot(rs, st.src[1][k]);
        const float* c = Slot(rs, st.src[2][k]);
#pragma GCC ivdep
        for (unsigned i = 0; i < L; ++i)
            d[i] = Finish<S>(Op::F(a[i] * na, b[i] * nb, c[i] * nc));
    }
}

// A one-value result: computed into the first written slot, then copied to the others.
void Replicate(const PlanStep& st, ShaderRunState& rs)
{
    const float* first = Slot(rs, st.dst[0]);
    for (unsigned k = 1; k < st.nComponents; ++k)
        std::memcpy(Slot(rs, st.dst[k]), first, L * sizeof(float));
}

template <class Op, bool S>
void ScalarUnary(const PlanStep& st, ShaderRunState& rs)
{
    const float na = st.negate[0];
    float* d = Slot(rs, st.dst[0]);
    const float* a = Slot(rs, st.src[0][0]);
#pragma GCC ivdep
    for (unsigned i = 0; i < L; ++i)
        d[i] = Finish<S>(Op::F(a[i] * na));
    Replicate(st, rs);
}

template <class Op, bool S>
void ScalarBinary(const PlanStep& st, ShaderRunState& rs)
{
    const float na = st.negate[0], nb = st.negate[1];
    float* d = Slot(rs, st.dst[0]);
    const float* a = Slot(rs, st.src[0][0]);
    const float* b = Slot(rs, st.src[1][0]);
#pragma GCC ivdep
    for (unsigned i = 0; i < L; ++i)
        d[i] = Finish<S>(Op::F(a[i] * na, b[i] * nb));
    Replicate(st, rs);
}

// Dot products sum left to right, unfused: ((a0 b0 + a1 b1) + a2 b2) + a3 b3.
template <int N, bool S>
void Dot(const PlanStep& st, ShaderRunState& rs)
{
    const float na = st.negate[0] * st.negate[1];
    float* d = Slot(rs, st.dst[0]);
    const float* a0 = Slot(rs, st.src[0][0]);
    const float* a1 = Slot(rs, st.src[0][1]);
    const float* a2 = Slot(rs, st.src[0][N > 2 ? 2 : 0]);
    const float* a3 = Slot(rs, st.src[0][N > 3 ? 3 : 0]);
    const float* b0 = Slot(rs, st.src[1][0]);
    const float* b1 = Slot(rs, st.src[1][1]);
    const float* b2 = Slot(rs, st.src[1][N > 2 ? 2 : 0]);
    const float* b3 = Slot(rs, st.src[1][N > 3 ? 3 : 0]);
#pragma GCC ivdep
    for (unsigned i = 0; i < L; ++i)
    {
        float s = a0[i] * b0[i] + a1[i] * b1[i];
        if (N > 2)
            s = s + a2[i] * b2[i];
        if (N > 3)
            s = s + a3[i] * b3[i];
        d[i] = Finish<S>(s * na);
    }
    Replicate(st, rs);
}

template <bool S>
void Dp2Add(const PlanStep& st, ShaderRunState& rs)
{
    const float na = st.negate[0], nb = st.negate[1], nc = st.negate[2];
    float* d = Slot(rs, st.dst[0]);
    const float* a0 = Slot(rs, st.src[0][0]);
    const float* a1 = Slot(rs, st.src[0][1]);
    const float* b0 = Slot(rs, st.src[1][0]);
    const float* b1 = Slot(rs, st.src[1][1]);
    const float* c = Slot(rs, st.src[2][0]);
#pragma GCC ivdep
    for (unsigned i = 0; i < L; ++i)
        d[i] = Finish<S>((a0[i] * na) * (b0[i] * nb) + (a1[i] * na) * (b1[i] * nb) + c[i] * nc);
    Replicate(st, rs);
}

// Cross product of the xyz parts; the plan routes aliased registers through scratch slots.
template <bool S>
void Crs(const PlanStep& st, ShaderRunState& rs)
{
    const float n = st.negate[0] * st.negate[1];
    const float* a[3] = {Slot(rs, st.src[0][0]), Slot(rs, st.src[0][1]), Slot(rs, st.src[0][2])};
    const float* b[3] = {Slot(rs, st.src[1][0]), Slot(rs, st.src[1][1]), Slot(rs, st.src[1][2])};
    for (unsigned k = 0; k < st.nComponents; ++k)
    {
        int c = st.comps[k];
        int p = (c + 1) % 3, q = (c + 2) % 3;
        float* d = Slot(rs, st.dst[k]);
        const float *ap = a[p], *aq = a[q], *bp = b[p], *bq = b[q];
#pragma GCC ivdep
        for (unsigned i = 0; i < L; ++i)
            d[i] = Finish<S>((ap[i] * bq[i] - aq[i] * bp[i]) * n);
    }
}

template <bool S>
void Dot3Rsq(const PlanStep& st, ShaderRunState& rs)
{
    float* d = Slot(rs, st.dst[0]);
    const float* x = Slot(rs, st.src[0][0]);
    const float* y = Slot(rs, st.src[0][1]);
    const float* z = Slot(rs, st.src[0][2]);
#pragma GCC ivdep
    for (unsigned i = 0; i < L; ++i)
        d[i] = OpRsq::F(x[i] * x[i] + y[i] * y[i] + z[i] * z[i]);
}

template <bool S>
void Project(const PlanStep& st, ShaderRunState& rs)
{
    const float* w = Slot(rs, st.src[0][3]);
    for (unsigned k = 0; k < 3; ++k)
    {
        float* d = Slot(rs, st.dst[k]);
        const float* a = Slot(rs, st.src[0][k]);
#pragma GCC ivdep
        for (unsigned i = 0; i < L; ++i)
            d[i] = a[i] / w[i];
    }
}

template <bool S>
void Texld(const PlanStep& st, ShaderRunState& rs)
{
    float* out[4] = {Slot(rs, st.dst[0]), Slot(rs, st.dst[1]), Slot(rs, st.dst[2]), Slot(rs, st.dst[3])};
    if (!rs.pSampler)
    {
        for (int c = 0; c < 4; ++c)
            for (unsigned i = 0; i < L; ++i)
                out[c][i] = c == 3 ? 1.0f : 0.0f;
        return;
    }
    const float* coord[3] = {Slot(rs, st.src[0][0]), Slot(rs, st.src[0][1]), Slot(rs, st.src[0][2])};
    rs.pSampler->SampleQuads(st.nStage, coord, st.bBias ? Slot(rs, st.src[0][3]) : nullptr, L, out);
}

template <bool S>
void Texkill(const PlanStep& st, ShaderRunState& rs)
{
    const float* x = Slot(rs, st.src[0][0]);
    const float* y = Slot(rs, st.src[0][1]);
    const float* z = Slot(rs, st.src[0][2]);
    for (unsigned i = 0; i < L; ++i)
        rs.kill[i] |= (x[i] < 0.0f) | (y[i] < 0.0f) | (z[i] < 0.0f);
}

template <bool S>
constexpr PlanRoutine s_Routines[ROUTINE_COUNT] = {
    Unary<OpMov, S>,        Binary<OpAdd, S>,        Binary<OpSub, S>,       Binary<OpMul, S>,
    Ternary<OpMad, S>,      Binary<OpMin, S>,        Binary<OpMax, S>,       Binary<OpSge, S>,
    Binary<OpSlt, S>,       Unary<OpFrc, S>,         Unary<OpAbs, S>,        Ternary<OpLrp, S>,
    Ternary<OpCmp, S>,      ScalarUnary<OpRcp, S>,   ScalarUnary<OpRsq, S>,  ScalarUnary<OpExp, S>,
    ScalarUnary<OpLog, S>,  ScalarBinary<OpPow, S>,  Dp2Add<S>,              Dot<3, S>,
    Dot<4, S>,              Crs<S>,                  Dot3Rsq<S>,             Project<S>,
    Texld<S>,               Texkill<S>,
};
}

PlanRoutine GetRoutine(ShaderRoutineKind kind, bool bSaturate)
{
    return bSaturate ? s_Routines<true>[kind] : s_Routines<false>[kind];
}

float Exp2Scalar(float x) { return Exp2(x); }
float Log2Scalar(float x) { return Log2(x); }
}
