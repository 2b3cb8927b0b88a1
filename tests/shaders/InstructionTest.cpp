// Instruction cases against the C++ formulas they stand for: one pixel program per case, run on
// the program bench, its result compared bit for bit (or within the stated error).
#include <ProgramBench.h>
#include <ShaderAssembler.h>
#include <TestSampler.h>
#include <cpu/shader/ShaderRoutines.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace
{
constexpr float INF = std::numeric_limits<float>::infinity();
const float QNAN = std::numeric_limits<float>::quiet_NaN();

std::vector<DWORD> Assemble(const std::string& strText)
{
    ShaderAssembly result;
    AssembleShaderText(strText.data(), strText.size(), ShaderAssemblyOptions(), result);
    EXPECT_TRUE(result.errors.empty()) << strText << "\n" << (result.errors.empty() ? "" : result.errors[0]);
    return result.tokens;
}

uint32_t Bits(float f)
{
    uint32_t u;
    std::memcpy(&u, &f, 4);
    return u;
}

float FromBits(uint32_t u)
{
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// Same value: equal bits, or both NaN; with a tolerance, relative error at most fTolerance.
bool Same(float got, float expected, float fTolerance)
{
    if (std::isnan(expected))
        return std::isnan(got);
    if (fTolerance == 0.0f || std::isinf(expected))
        return Bits(got) == Bits(expected);
    return std::fabs(got - expected) <= fTolerance * std::max(1.0f, std::fabs(expected));
}

struct Vec
{
    float v[4];
};

struct InstructionCase
{
    const char* szName;
    const char* szBody;      // computes r0; c0-c2 are the constants below
    Vec c0, c1, c2;
    Vec expected;
    float fTolerance;
};

Vec RunCase(const InstructionCase& c, std::string& strError)
{
    std::string strText = std::string("ps_2_0\n") + c.szBody + "mov oC0, r0\n";
    float constants[12];
    for (int k = 0; k < 4; ++k)
    {
        constants[k] = c.c0.v[k];
        constants[4 + k] = c.c1.v[k];
        constants[8 + k] = c.c2.v[k];
    }
    PixelQuadInput input;
    PixelQuadOutput output;
    Vec result{};
    if (!RunPixelProgram(Assemble(strText), constants, 3, nullptr, input, output, &strError))
        return result;
    std::memcpy(result.v, output.oC[0][0], sizeof(result.v));
    return result;
}

const float A = 1.0f + 1.0f / 4096.0f;
}

TEST(InstructionTest, CasesMatchTheirFormulas)
{
    const float a = 1.5f, b = -2.25f, c = 0.3f, d = 7.0f;
    const float e = 0.1f, f = 0.7f, g = -3.0f, h = 0.25f;
    const Vec P = {{a, b, c, d}}, Q = {{e, f, g, h}}, Z = {{0, 0, 0, 0}};
    const InstructionCase cases[] = {
        {"mov", "mov r0, c0\n", P, Z, Z, {{a, b, c, d}}, 0},
        {"negate", "mov r0, -c0\n", P, Z, Z, {{-a, -b, -c, -d}}, 0},
        {"replicate swizzle", "mov r0, c0.z\n", P, Z, Z, {{c, c, c, c}}, 0},
        {"rotating swizzle", "mov r0, c0.wzyx\n", P, Z, Z, {{d, c, b, a}}, 0},
        {"write mask keeps the rest", "mov r0, c1\nmov r0.xz, c0\n", P, Q, Z, {{a, f, c, h}}, 0},
        {"aliased swizzle reads old values", "mov r0, c0\nadd r0, r0.wzyx, c1\n", P, Q, Z, {{d + e, c + f, b + g, a + h}}, 0},
        {"aliased rotation under a mask", "mov r0, c0\nadd r0.xy, r0.yzxw, c1\n", P, Q, Z, {{b + e, c + f, c, d}}, 0},
        {"add", "add r0, c0, -c1\n", P, Q, Z, {{a - e, b - f, c - g, d - h}}, 0},
        {"sub", "sub r0, c0, c1\n", P, Q, Z, {{a - e, b - f, c - g, d - h}}, 0},
        {"mul", "mul r0, c0, c1.yzxw\n", P, Q, Z, {{a * f, b * g, c * e, d * h}}, 0},
        {"mad unfused", "mad r0, c0.x, c0.x, c1.x\n", {{A, 0, 0, 0}}, {{-(1.0f + 2.0f / 4096.0f), 0, 0, 0}}, Z,
         {{0, 0, 0, 0}}, 0},
        {"mad", "mad r0, c0, c1, c2\n", P, Q, P, {{a * e + a, b * f + b, c * g + c, d * h + d}}, 0},
        {"min and NaN", "min r0, c0, c1\n", {{1, QNAN, -0.5f, 2}}, {{QNAN, 3, -1, 2}}, Z, {{1, 3, -1, 2}}, 0},
        {"max and NaN", "max r0, c0, c1\n", {{1, QNAN, -0.5f, 2}}, {{QNAN, 3, -1, 5}}, Z, {{1, 3, -0.5f, 5}}, 0},
        {"abs", "abs r0, c0\n", P, Z, Z, {{a, -b, c, d}}, 0},
        {"cmp -0, +0, negative, NaN", "cmp r0, c0, c1, c2\n", {{-0.0f, 0.0f, -1e-30f, QNAN}}, {{1, 1, 1, 1}},
         {{2, 2, 2, 2}}, {{1, 1, 2, 2}}, 0},
        {"lrp", "lrp r0, c0, c1, c2\n", {{0.25f, 0.5f, 2, -1}}, Q, P,
         {{0.25f * (e - a) + a, 0.5f * (f - b) + b, 2 * (g - c) + c, -1 * (h - d) + d}}, 0},
        {"frc", "frc r0, c0\n", {{-1e-10f, 2.75f, -0.25f, 5.0f}}, Z, Z, {{FromBits(0x3F7FFFFF), 0.75f, 0.75f, 0}}, 0},
        {"rcp of +0", "rcp r0, c0.x\n", {{0, 0, 0, 0}}, Z, Z, {{INF, INF, INF, INF}}, 0},
        {"rcp of -0 and 1", "rcp r0.x, c0.y\nrcp r0.y, c0.z\nrcp r0.zw, c0.w\n", {{0, -0.0f, 1, 3}}, Z, Z,
         {{-INF, 1, 1.0f / 3.0f, 1.0f / 3.0f}}, 0},
        {"rsq 0, negative, inf", "rsq r0.x, c0.x\nrsq r0.y, c0.y\nrsq r0.z, c0.z\nrsq r0.w, c0.w\n",
         {{0, -4, INF, 2}}, Z, Z, {{INF, 0.5f, 0, 1.0f / std::sqrt(2.0f)}}, 0},
        {"exp of integers", "exp r0.x, c0.x\nexp r0.y, c0.y\nexp r0.z, c0.z\nexp r0.w, c0.w\n", {{3, -2, 0, -149}},
         Z, Z, {{8, 0.25f, 1, FromBits(1)}}, 0},
        {"exp", "exp r0.x, c0.x\nexp r0.y, c0.y\nexp r0.zw, c0.z\n", {{0.5f, -7.3f, 10.1f, 0}}, Z, Z,
         {{std::sqrt(2.0f), std::exp2(-7.3f), std::exp2(10.1f), std::exp2(10.1f)}}, 1.0f / (1 << 21)},
        {"exp overflow and NaN", "exp r0.x, c0.x\nexp r0.y, c0.y\nexp r0.zw, c0.z\n", {{200, -200, QNAN, 0}}, Z, Z,
         {{INF, 0, QNAN, QNAN}}, 0},
        {"log 0, powers of two, |x|", "log r0.x, c0.x\nlog r0.y, c0.y\nlog r0.z, c0.z\nlog r0.w, c0.w\n",
         {{0, 8, -0.125f, FromBits(1)}}, Z, Z, {{-INF, 3, -3, -149}}, 0},
        {"log", "log r0.x, c0.x\nlog r0.y, c0.y\nlog r0.zw, c0.z\n", {{10, 0.3f, 1e-20f, 0}}, Z, Z,
         {{std::log2(10.0f), std::log2(0.3f), std::log2(1e-20f), std::log2(1e-20f)}}, 1.0f / (1 << 21)},
        {"pow special values", "pow r0.x, c0.x, c1.x\npow r0.y, c0.y, c1.y\npow r0.z, c0.z, c1.z\npow r0.w, c0.w, c1.w\n",
         {{0, 0, -2, 0}}, {{0, -1, 2, 3}}, Z, {{1, INF, 4, 0}}, 0},
        {"pow", "pow r0, c0.x, c1.x\n", {{0.8f, 0, 0, 0}}, {{12.5f, 0, 0, 0}}, Z,
         {{std::pow(0.8f, 12.5f), std::pow(0.8f, 12.5f), std::pow(0.8f, 12.5f), std::pow(0.8f, 12.5f)}}, 4e-6f},
        {"saturate", "mov_sat r0, c0\n", {{QNAN, 2, -1, 0.5f}}, Z, Z, {{0, 1, 0, 0.5f}}, 0},
        {"saturate after the operation", "add_sat r0, c0, c1\n", {{0.5f, 0.5f, -1, 3}}, {{0.25f, 0.75f, 0.5f, -2.5f}},
         Z, {{0.75f, 1, 0, 0.5f}}, 0},
        {"dp3", "dp3 r0, c0, c1\n", P, Q, Z, {{(a * e + b * f) + c * g, (a * e + b * f) + c * g, (a * e + b * f) + c * g,
                                               (a * e + b * f) + c * g}}, 0},
        {"dp4 into a mask", "mov r0, c2\ndp4 r0.yw, c0, -c1\n", P, Q, Z,
         {{0, -(((a * e + b * f) + c * g) + d * h), 0, -(((a * e + b * f) + c * g) + d * h)}}, 0},
        {"dp2add", "dp2add r0, c0, c1, c2.w\n", P, Q, P, {{(a * e + b * f) + d, (a * e + b * f) + d,
                                                            (a * e + b * f) + d, (a * e + b * f) + d}}, 0},
        {"crs", "mov r0, c2\ncrs r0.xyz, c0, c1\n", P, Q, Z, {{b * g - c * f, c * e - a * g, a * f - b * e, 0}}, 0},
        {"crs aliased", "mov r0, c0\ncrs r0.xyz, r0, c1\n", P, Q, Z, {{b * g - c * f, c * e - a * g, a * f - b * e, d}}, 0},
        {"nrm", "nrm r0, c0\n", {{3, 0, 4, 10}}, Z, Z,
         {{3 * (1.0f / std::sqrt(25.0f)), 0, 4 * (1.0f / std::sqrt(25.0f)), 10 * (1.0f / std::sqrt(25.0f))}}, 0},
        {"nrm of zero", "nrm r0.xyz, c0\nmov r0.w, c1.x\n", Z, {{1, 0, 0, 0}}, Z, {{QNAN, QNAN, QNAN, 1}}, 0},
        {"m3x3 aliased", "mov r0, c0\nm3x3 r0.xyz, r0, c0\n", {{1, 2, 3, 4}}, {{5, 6, 7, 8}}, {{9, 10, 11, 12}},
         {{1 + 4 + 9.0f, 5 + 12 + 21.0f, 9 + 20 + 33.0f, 4}}, 0},
        {"m4x4", "m4x4 r0, c2.wzyx, c0\n", {{1, 0, 0, 1}}, {{0, 1, 0, 2}}, {{1, 2, 3, 4}},
         {{4 + 1.0f, 3 + 2.0f, 4 + 6 + 6 + 4.0f, 0}}, 0},
        {"def overrides the outside constant", "def c1, 9, 8, 7, 6\nadd r0, c0, c1\n", P, Q, Z,
         {{a + 9, b + 8, c + 7, d + 6}}, 0},
        {"temporary read before written is 0", "add r0, r1, c0\n", P, Z, Z, {{a, b, c, d}}, 0},
    };
    for (const InstructionCase& c : cases)
    {
        std::string strError;
        Vec got = RunCase(c, strError);
        EXPECT_TRUE(strError.empty()) << c.szName << ": " << strError;
        for (int k = 0; k < 4; ++k)
            EXPECT_TRUE(Same(got.v[k], c.expected.v[k], c.fTolerance))
                << c.szName << " component " << k << ": got " << got.v[k] << " (0x" << std::hex << Bits(got.v[k])
                << "), expected " << c.expected.v[k] << " (0x" << Bits(c.expected.v[k]) << ")" << std::dec;
    }
}

TEST(InstructionTest, ExpAndLogStayWithinTheirErrorEverywhere)
{
    // exp exact at every integer, log exact at every power of two, both within 2^-21 between.
    for (int n = -149; n < 128; ++n)
    {
        ASSERT_EQ(ShaderExp2((float)n), std::ldexp(1.0f, n)) << n;
        ASSERT_EQ(ShaderLog2(std::ldexp(1.0f, n)), (float)n) << n;
    }
    for (float x = -20.0f; x < 20.0f; x += 0.01234f)
        ASSERT_NEAR(ShaderExp2(x) / std::exp2(x), 1.0f, 1.0f / (1 << 21)) << x;
    for (float x = 1e-6f; x < 1e6f; x *= 1.0137f)
        ASSERT_NEAR(ShaderLog2(x), std::log2(x), 1.0f / (1 << 21) * std::max(1.0f, std::fabs(std::log2(x)))) << x;
}

TEST(InstructionTest, TextureReadsKillAndDepth)
{
    // 2x2 texture, point sampled at texel centres; texldp divides by w first.
    TestTexture texture;
    texture.nWidth = texture.nHeight = 2;
    texture.texels = {1, 0, 0, 1, 0, 1, 0, 1, 0, 0, 1, 1, 1, 1, 1, 0.5f};
    TestSampler sampler;
    sampler.SetTexture(0, &texture);
    std::vector<DWORD> tokens = Assemble(
        "ps_2_0\ndcl t0\ndcl t1\ndcl_2d s0\n"
        "texld r0, t0, s0\n"
        "texldp r1, t1, s0\n"
        "texkill t1\n"
        "mov oC0, r0\nmov oC1, r1\nmov oDepth, r1.w\n");
    PixelQuadInput input;
    const float uv[4][2] = {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.25f, 0.75f}, {0.75f, 0.75f}};
    for (int p = 0; p < 4; ++p)
    {
        input.t[0][p][0] = uv[p][0];
        input.t[0][p][1] = uv[p][1];
        // t1 = 2 * (the mirrored texel's coordinates), w = 2; pixel 3 has a negative z.
        input.t[1][p][0] = 2 * uv[3 - p][0];
        input.t[1][p][1] = 2 * uv[3 - p][1];
        input.t[1][p][2] = p == 3 ? -1.0f : 0.0f;
        input.t[1][p][3] = 2;
    }
    PixelQuadOutput output;
    ASSERT_TRUE(RunPixelProgram(tokens, nullptr, 0, &sampler, input, output));
    EXPECT_EQ(output.nColorMask, 3u);
    EXPECT_TRUE(output.bDepth);
    for (int p = 0; p < 4; ++p)
        for (int k = 0; k < 4; ++k)
        {
            EXPECT_EQ(output.oC[0][p][k], texture.texels[p * 4 + k]) << p << k;
            EXPECT_EQ(output.oC[1][p][k], texture.texels[(3 - p) * 4 + k]) << p << k;
        }
    EXPECT_EQ(output.oDepth[0], 0.5f);
    EXPECT_EQ(output.oDepth[3], 1.0f);
    EXPECT_FALSE(output.bKilled[0] || output.bKilled[1] || output.bKilled[2]);
    EXPECT_TRUE(output.bKilled[3]);

    // An unbound stage reads (0, 0, 0, 1).
    TestSampler empty;
    ASSERT_TRUE(RunPixelProgram(tokens, nullptr, 0, &empty, input, output));
    EXPECT_EQ(output.oC[0][0][0], 0.0f);
    EXPECT_EQ(output.oC[0][0][3], 1.0f);
}

TEST(InstructionTest, VertexProgramsAndTheirOutputs)
{
    // vs_1_1 and vs_2_0 alike: m4x4 transform, sge/slt with NaN, unwritten colour components 1.
    for (const char* szVersion : {"vs_1_1\n", "vs.2.0\n"})
    {
        std::vector<DWORD> tokens = Assemble(std::string(szVersion) +
                                             "dcl_position v0\ndcl_texcoord0 v1\n"
                                             "m4x4 oPos, v0, c4\n"
                                             "sge oT0, v1, c0\n"
                                             "slt oT1, v1, c0\n"
                                             "rcp oT2, v1\n"      // no swizzle: reads x
                                             "mov oD0.xy, v1\n");
        const float constants[8 * 4] = {0.5f, 0.5f, 0.5f, 0.5f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                        2, 0, 0, 1, 0, 3, 0, 2, 0, 0, 4, 3, 0, 0, 0, 1};
        const float positions[2 * 4] = {1, 2, 3, 1, -1, 0, 0.5f, 1};
        const float texcoords[2 * 4] = {0.25f, 0.5f, QNAN, 1, 4, 0, 0, 0};
        const float* pInputs[16] = {positions, texcoords};
        VertexBlockOutput output;
        ASSERT_TRUE(RunVertexProgram(tokens, constants, 8, pInputs, 2, output));
        EXPECT_EQ(output.nWrittenMask, (1u << 0) | (1u << 3) | (1u << 5) | (1u << 6) | (1u << 7));
        const std::vector<float>& pos = output.outputs[0];
        EXPECT_EQ(pos[0], 3.0f);               // (1,2,3,1).(2,0,0,1)
        EXPECT_EQ(pos[1], 6.0f + 2.0f);        // .(0,3,0,2)
        EXPECT_EQ(pos[2], 12.0f + 3.0f);       // .(0,0,4,3)
        EXPECT_EQ(pos[3], 1.0f);
        const float sge[4] = {0, 1, 0, 1}, slt[4] = {1, 0, 0, 0};
        for (int k = 0; k < 4; ++k)
        {
            EXPECT_EQ(output.outputs[5][k], sge[k]) << k;
            EXPECT_EQ(output.outputs[6][k], slt[k]) << k;
            EXPECT_EQ(output.outputs[7][k], 4.0f) << k;
            EXPECT_EQ(output.outputs[7][4 + k], 0.25f) << k;
        }
        const float color[4] = {0.25f, 0.5f, 1, 1};
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(output.outputs[3][k], color[k]) << k;
    }
}

TEST(InstructionTest, PlanRefusesStreamsTheDeviceDoesNotRun)
{
    std::vector<DWORD> good = Assemble("ps_2_0\nmov oC0, c0\n");
    ShaderPlan plan;
    std::string strError;
    ASSERT_TRUE(BuildShaderPlan(good.data(), good.size(), plan, strError)) << strError;
    struct Bad
    {
        const char* szName;
        std::vector<DWORD> tokens;
    };
    std::vector<DWORD> relative = good;
    relative[3] |= D3DSHADER_ADDRMODE_RELATIVE;
    std::vector<DWORD> outOfRange = good;
    outOfRange[3] |= 40;
    std::vector<DWORD> wrongLength = good;
    wrongLength[1] = (wrongLength[1] & ~D3DSI_INSTLENGTH_MASK) | (3u << D3DSI_INSTLENGTH_SHIFT);
    const Bad cases[] = {
        {"no end token", std::vector<DWORD>(good.begin(), good.end() - 1)},
        {"unsupported version", {D3DPS_VERSION(3, 0), 0x0000FFFF}},
        {"flow control", {D3DPS_VERSION(2, 0), D3DSIO_ENDIF, 0x0000FFFF}},
        {"relative addressing", relative},
        {"constant out of range", outOfRange},
        {"length mismatch", wrongLength},
        {"truncated", std::vector<DWORD>(good.begin(), good.begin() + 3)},
    };
    for (const Bad& bad : cases)
        EXPECT_FALSE(BuildShaderPlan(bad.tokens.data(), bad.tokens.size(), plan, strError)) << bad.szName;
}
