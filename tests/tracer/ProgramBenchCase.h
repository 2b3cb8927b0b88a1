#pragma once
// One tracer program on the program bench: the program of a resource id assembled in strict
// mode, run on one 2 x 2 quad of pixels (or a few vertices) with the constants, interpolators and
// small float textures a case gives, so that its outputs can be compared with the formula written
// out in C++.
#include <ProgramBench.h>
#include <ShaderAssembler.h>
#include <TestSampler.h>
#include <win32/resources.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

struct V4
{
    float x, y, z, w;
};
inline V4 operator+(V4 a, V4 b) { return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w}; }
inline V4 operator-(V4 a, V4 b) { return {a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w}; }
inline V4 operator*(float s, V4 a) { return {s * a.x, s * a.y, s * a.z, s * a.w}; }
inline V4 operator*(V4 a, V4 b) { return {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w}; }
inline float Dot3(V4 a, V4 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V4 Cross(V4 a, V4 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x, 0}; }
inline V4 Normalize3(V4 a)
{
    const float s = 1.0f / std::sqrt(Dot3(a, a));
    return {a.x * s, a.y * s, a.z * s, a.w};
}

// The tokens of a program of this folder's resources ("PSH" or "VSH"), assembled in strict mode.
inline std::vector<DWORD> AssembleProgram(const char* szType, int nResource)
{
    const ResourceEntry* pEntry = FindResourceEntry(szType, nResource);
    EXPECT_NE(pEntry, nullptr) << szType << " " << nResource;
    ShaderAssemblyOptions options;
    options.bStrict = true;
    ShaderAssembly assembly;
    if (pEntry)
    {
        EXPECT_TRUE(AssembleShaderText(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, options, assembly))
            << nResource << ": " << (assembly.errors.empty() ? std::string() : assembly.errors.front());
    }
    return assembly.tokens;
}

// A pixel program's run: constants c0 to c31, the interpolators of the four pixels, textures
// owned by the case and bound on stages.
struct PixelBench
{
    float c[32][4] = {};
    PixelQuadInput input;
    TestSampler sampler;
    std::vector<TestTexture> textures = std::vector<TestTexture>(16);

    void SetC(int n, V4 v) { std::memcpy(c[n], &v, sizeof(v)); }
    void SetT(int nRegister, int nPixel, V4 v) { std::memcpy(input.t[nRegister][nPixel], &v, sizeof(v)); }
    void SetAllT(int nRegister, V4 v)
    {
        for (int p = 0; p < 4; ++p)
            SetT(nRegister, p, v);
    }
    // A point-sampled, clamped w x h texture on the stage, texels row by row from the top.
    TestTexture& Texture(int nStage, unsigned nWidth, unsigned nHeight, const std::vector<V4>& texels)
    {
        TestTexture& texture = textures[static_cast<size_t>(nStage)];
        texture.nWidth = nWidth;
        texture.nHeight = nHeight;
        texture.bClamp = true;
        texture.texels.clear();
        for (const V4& v : texels)
            texture.texels.insert(texture.texels.end(), {v.x, v.y, v.z, v.w});
        sampler.SetTexture(static_cast<unsigned>(nStage), &texture);
        return texture;
    }
    // A texture of one texel: every coordinate reads it.
    void Constant(int nStage, V4 v) { Texture(nStage, 1, 1, {v}); }

    PixelQuadOutput Run(int nResource)
    {
        PixelQuadOutput output;
        std::string strError;
        EXPECT_TRUE(RunPixelProgram(AssembleProgram("PSH", nResource), &c[0][0], 32, &sampler, input, output,
                                    &strError))
            << nResource << ": " << strError;
        return output;
    }
};

inline V4 Output(const PixelQuadOutput& out, int nTarget, int nPixel)
{
    const float* p = out.oC[nTarget][nPixel];
    return {p[0], p[1], p[2], p[3]};
}

inline void ExpectNear(V4 actual, V4 expected, float fTolerance, const std::string& strWhat)
{
    EXPECT_NEAR(actual.x, expected.x, fTolerance) << strWhat << " x";
    EXPECT_NEAR(actual.y, expected.y, fTolerance) << strWhat << " y";
    EXPECT_NEAR(actual.z, expected.z, fTolerance) << strWhat << " z";
    EXPECT_NEAR(actual.w, expected.w, fTolerance) << strWhat << " w";
}
