#include <ShaderAssembler.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
ShaderAssembly Assemble(const std::string& strText, bool bStrict = false)
{
    ShaderAssemblyOptions options;
    options.bStrict = bStrict;
    ShaderAssembly result;
    AssembleShaderText(strText.data(), strText.size(), options, result);
    return result;
}

std::string Repeat(const std::string& strLine, int nCount)
{
    std::string s;
    for (int i = 0; i < nCount; ++i)
        s += strLine;
    return s;
}
}

// Expected tokens written out from the public token layout (register type in bits 28-30 and
// 11-12, write mask in bits 16-19, swizzle in 16-23, source modifier in 24-27, length in 24-27).
TEST(ShaderAssemblerTest, PixelProgramTokensInBothSpellings)
{
    const std::string strBody =
        "; constants: c0 offset\n"
        "dcl t0.xy\n"
        "dcl_2d s0\n"
        "def c1, 1.0, 0.5, 0, -2   // scale\n"
        "texld r0, t0, s0\n"
        "mad_sat r1.xyz, r0, c1.x, -c0 /* block\n comment */\n"
        "mov oC0, r1\n";
    const std::vector<DWORD> expected = {
        0xFFFF0200,
        0x0200001F, 0x80000000, 0xB0030000,
        0x0200001F, 0x90000000, 0xA00F0800,
        0x05000051, 0xA00F0001, 0x3F800000, 0x3F000000, 0x00000000, 0xC0000000,
        0x03000042, 0x800F0000, 0xB0E40000, 0xA0E40800,
        0x04000004, 0x80170001, 0x80E40000, 0xA0000001, 0xA1E40000,
        0x02000001, 0x800F0800, 0x80E40001,
        0x0000FFFF,
    };
    for (const char* szVersion : {"ps_2_0\n", "ps.2.0\n", "// leading comment\nPS_2_0\n"})
    {
        ShaderAssembly result = Assemble(std::string(szVersion) + strBody);
        ASSERT_TRUE(result.errors.empty()) << szVersion << result.errors[0];
        EXPECT_EQ(result.tokens, expected) << szVersion;
    }
}

TEST(ShaderAssemblerTest, VertexProgramTokensInBothSpellings)
{
    const std::string strBody = "dcl_position v0\ndcl_texcoord3 v1\nm4x4 oPos, v0, c4\nmov_pp oT0.xy, v1.yx\n";  // .yx reads .yxxx
    // vs_1_1 leaves the instruction length bits zero; vs_2_0 fills them.
    const std::vector<DWORD> expected11 = {
        0xFFFE0101, 0x0000001F, 0x80000000, 0x900F0000, 0x0000001F, 0x80030005, 0x900F0001,
        0x00000014, 0xC00F0000, 0x90E40000, 0xA0E40004, 0x00000001, 0xE0230000, 0x90010001, 0x0000FFFF,
    };
    for (const char* szVersion : {"vs_1_1\n", "vs.1.1\n"})
    {
        ShaderAssembly result = Assemble(std::string(szVersion) + strBody);
        ASSERT_TRUE(result.errors.empty()) << result.errors[0];
        EXPECT_EQ(result.tokens, expected11);
    }
    for (const char* szVersion : {"vs_2_0\n", "vs.2.0\n"})
    {
        ShaderAssembly result = Assemble(std::string(szVersion) + strBody);
        ASSERT_TRUE(result.errors.empty()) << result.errors[0];
        ASSERT_EQ(result.tokens.size(), expected11.size());
        EXPECT_EQ(result.tokens[0], 0xFFFE0200u);
        EXPECT_EQ(result.tokens[1], 0x0200001Fu);
        EXPECT_EQ(result.tokens[7], 0x03000014u);
        EXPECT_EQ(result.tokens[11], 0x02000001u);
    }
}

TEST(ShaderAssemblerTest, CountsSlotsLevelsAndTemporaries)
{
    ShaderAssembly result = Assemble(
        "ps_2_0\ndcl t0\ndcl_2d s0\ndcl_cube s1\n"
        "texld r0, t0, s0\n"         // level 1
        "m4x4 r1, r0, c0\n"          // 4 slots
        "nrm r2.xyz, r1\n"           // 3
        "texld r3, r2, s1\n"         // level 2 (coordinates from a read)
        "pow r4, r3.x, c4.y\n"       // 3
        "lrp r5, r4, r3, r0\n"       // 2
        "texkill t0\n"
        "mov oC0, r5\n");
    ASSERT_TRUE(result.errors.empty()) << result.errors[0];
    EXPECT_EQ(result.stats.nArithmeticSlots, 4 + 3 + 3 + 2 + 1);
    EXPECT_EQ(result.stats.nTextureSlots, 3);
    EXPECT_EQ(result.stats.nDependentLevels, 2);
    EXPECT_EQ(result.stats.nTemporaries, 6);
}

struct RejectCase
{
    const char* szName;
    std::string strText;
    bool bStrict;
    int nLine;
    const char* szMessage;
};

TEST(ShaderAssemblerTest, RejectsEveryRuleWithLineAndMessage)
{
    const std::string ps = "ps_2_0\n";
    const std::string psTex = "ps_2_0\ndcl t0.xy\ndcl_2d s0\n";
    // Five chained reads: each coordinate comes from the previous read.
    const std::string chain = psTex + "texld r0, t0, s0\n" + Repeat("texld r0, r0, s0\n", 4);
    const RejectCase cases[] = {
        {"65th arithmetic slot", ps + Repeat("add r0, c0, c1\n", 64) + "mov oC0, r0\n", false, 66,
         "too many arithmetic instruction slots: 65 (ps_2_0 allows 64)"},
        {"macro crossing the limit", ps + Repeat("add r0, c0, c1\n", 62) + "m4x4 r1, r0, c0\n", false, 64,
         "too many arithmetic instruction slots: 66"},
        {"33rd texture slot", psTex + Repeat("texld r0, t0, s0\n", 32) + "texkill t0\n", false, 36,
         "too many texture instruction slots: 33 (ps_2_0 allows 32)"},
        {"fifth dependent level", chain, false, 8, "texture read of dependent level 5 (ps_2_0 allows 4)"},
        {"arbitrary ps swizzle", ps + "mov r0, c0.xzyw\n", false, 2, "swizzle of c0 is not allowed in ps_2_0"},
        {"source abs", ps + "mov r0, c0_abs\n", false, 2, "source modifier '_abs' is not supported"},
        {"swizzled texld", psTex + "texld r0, t0.yx, s0\n", false, 4, "texld reads its coordinates from t# or r#"},
        {"texld with a mask", psTex + "texld r0.xy, t0, s0\n", false, 4, "texld writes a temporary register r#"},
        {"texld into a colour", psTex + "texld oC0, t0, s0\n", false, 4, "texld writes a temporary register r#"},
        {"undeclared sampler", ps + "dcl t0\ntexld r0, t0, s1\n", false, 3, "sampler s1 is used before it is declared"},
        {"cube sampler, 2 components", ps + "dcl t0.xy\ndcl_cube s0\ntexld r0, t0, s0\n", false, 4,
         "t0 does not declare the components that sampler s0 (cube) needs"},
        {"undeclared t#", ps + "mov r0, t2\n", false, 2, "t2 is read before it is declared"},
        {"undeclared v# in vs", "vs_2_0\nmov oPos, v0\n", false, 2, "v0 is read before it is declared"},
        {"two c# in one vs instruction", "vs_2_0\nadd r0, c0, c1\n", true, 2,
         "reads 2 different c# registers (vs_2_0 allows 1)"},
        {"three c# in one ps instruction", ps + "mad r0, c0, c1, c2\n", true, 2,
         "reads 3 different c# registers (ps_2_0 allows 2)"},
        {"two t# in one ps instruction", ps + "dcl t0\ndcl t1\nadd r0, t0, t1\n", true, 4,
         "reads 2 different t# registers (ps_2_0 allows 1)"},
        {"oC1 without oC0", ps + "mov r0, c0\nmov oC1, r0\n", false, 3, "oC1 is written but oC0 is not"},
        {"oC0 twice", ps + "mov oC0, c0\nmov oC0, c1\n", false, 3, "oC0 is written more than once"},
        {"oC0 by add", ps + "add oC0, c0, c1\n", false, 2, "oC0 is written only by mov"},
        {"oC0 saturated", ps + "mov_sat oC0, c0\n", false, 2, "oC0 is written only by mov, without _sat"},
        {"oC0 partial mask", ps + "mov oC0.xyz, c0\n", false, 2, "oC0 is written with a full write mask"},
        {"oDepth not replicated", ps + "mov oDepth, c0\n", false, 2, "oDepth is written from a replicate swizzle"},
        {"rcp without replicate", ps + "rcp r0, c0\n", false, 2, "'rcp' needs a replicate swizzle"},
        {"r12 out of range", ps + "mov r12, c0\n", false, 2, "register 'r12' is out of range"},
        {"c32 in ps", ps + "mov r0, c32\n", false, 2, "register 'c32' is out of range"},
        {"c96 in vs_1_1", "vs_1_1\nmov r0, c96\n", false, 2, "register 'c96' is out of range"},
        {"flow control", ps + "mov r0, c0\nrep i0\n", false, 3, "'rep' is not supported"},
        {"relative addressing", "vs_2_0\ndcl_position v0\nmov r0, c[a0.x + 2]\n", false, 3,
         "relative addressing is not supported"},
        {"address register", "vs_2_0\nmova a0.x, c0\n", false, 2, "'mova' is not supported"},
        {"unknown instruction", ps + "frobnicate r0, c0\n", false, 2, "unknown instruction 'frobnicate'"},
        {"vertex-only instruction", ps + "sge r0, c0, c1\n", false, 2, "'sge' is not available in ps_2_0"},
        {"pixel-only instruction", "vs_2_0\ncmp r0, c0, c0, c0\n", false, 2, "'cmp' is not available in vs_2_0"},
        {"2.0 instruction in vs_1_1", "vs_1_1\nnrm r0, c0\n", false, 2, "'nrm' is not available in vs_1_1"},
        {"instruction modifier", ps + "mul_x2 r0, c0, c1\n", false, 2, "instruction modifier '_x2' is not supported"},
        {"operand count", ps + "add r0, c0\n", false, 2, "'add' takes 3 operands"},
        {"bad write mask", ps + "mov r0.yx, c0\n", false, 2, "bad write mask in 'r0.yx'"},
        {"writing an input", ps + "dcl t0\nmov t0, c0\n", false, 3, "'t0' cannot be written"},
        {"def with a bad number", ps + "def c0, 1, two, 3, 4\n", false, 2, "bad number 'two' in def"},
        {"declared twice", ps + "dcl t0\ndcl t0.xy\n", false, 3, "t0 is declared twice"},
        {"unsupported version", "ps_3_0\nmov oC0, c0\n", false, 1, "'ps_3_0' is not a supported version"},
        {"no version", "\n; nothing\n", false, 3, "the program has no version"},
    };
    for (const RejectCase& c : cases)
    {
        ShaderAssembly result = Assemble(c.strText, c.bStrict);
        ASSERT_FALSE(result.errors.empty()) << c.szName;
        EXPECT_TRUE(result.tokens.empty()) << c.szName;
        std::string strExpected = "line " + std::to_string(c.nLine) + ": ";
        bool bFound = false;
        for (const std::string& strError : result.errors)
            bFound |= strError.rfind(strExpected, 0) == 0 && strError.find(c.szMessage) != std::string::npos;
        EXPECT_TRUE(bFound) << c.szName << ": got '" << result.errors[0] << "'";
    }
}

TEST(ShaderAssemblerTest, StrictRulesOnlyInStrictMode)
{
    const std::string strText = "vs_2_0\ndcl_position v0\nmad r0, v0, c0, c1\nmov oPos, r0\n";
    EXPECT_TRUE(Assemble(strText, false).errors.empty());
    EXPECT_FALSE(Assemble(strText, true).errors.empty());
    // The same register twice is one read port.
    EXPECT_TRUE(Assemble("vs_2_0\nmul r0, c3, c3.w\nmov oPos, r0\n", true).errors.empty());
}

TEST(ShaderAssemblerTest, AcceptsAllowedSwizzlesAndFourLevels)
{
    EXPECT_TRUE(Assemble("ps_2_0\nmov r0, c0.yzxw\nmov r1, c0.zxyw\nmov r2, c0.wzyx\nmov r3, -c0.a\n"
                         "add r0, r0, r1\nmov oC0, r0\n")
                    .errors.empty());
    const std::string strFour = "ps_2_0\ndcl t0.xy\ndcl_2d s0\ntexld r0, t0, s0\ntexld r0, r0, s0\n"
                                "texld r0, r0, s0\ntexld r0, r0, s0\nmov oC0, r0\n";
    ShaderAssembly result = Assemble(strFour);
    EXPECT_TRUE(result.errors.empty());
    EXPECT_EQ(result.stats.nDependentLevels, 4);
    // Partial-precision declarations.
    EXPECT_TRUE(Assemble("ps_2_0\ndcl_pp t0.xy\ndcl_2d s0\ntexld_pp r0, t0, s0\nmov oC0, r0\n").errors.empty());
    // Arbitrary swizzles are fine in vertex programs.
    EXPECT_TRUE(Assemble("vs_2_0\ndcl_position v0\nmov oPos, v0.xzyw\n").errors.empty());
}
