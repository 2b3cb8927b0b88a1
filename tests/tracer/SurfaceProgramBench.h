#pragma once
// The photon surface programs on the program bench: small vector helpers for their C++ formulas,
// the strict assembly of a program resource, and one 2 x 2 quad run with chosen inputs,
// constants and textures.
#include <ProgramBench.h>
#include <ShaderAssembler.h>
#include <TestSampler.h>
#include <win32/resources.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace surface_bench
{
struct V3
{
    float x, y, z;
};
inline V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline V3 operator*(float s, V3 a) { return {s * a.x, s * a.y, s * a.z}; }
inline float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline V3 Normalize(V3 a) { return (1.0f / std::sqrt(Dot(a, a))) * a; }

inline std::vector<DWORD> Assemble(int nResource)
{
    const ResourceEntry* pEntry = FindResourceEntry("PSH", nResource);
    EXPECT_NE(pEntry, nullptr) << nResource;
    ShaderAssemblyOptions options;
    options.bStrict = true;
    ShaderAssembly assembly;
    if (pEntry)
    {
        EXPECT_TRUE(AssembleShaderText(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, options, assembly))
            << nResource << ": " << (assembly.errors.empty() ? "" : assembly.errors[0]);
    }
    return assembly.tokens;
}

// One program run on the four pixels of a quad with these inputs (the same t# for every pixel
// unless set per pixel afterwards).
struct Bench
{
    float c[32][4] = {};
    PixelQuadInput input;
    TestSampler sampler;

    void SetT(int nRegister, int nPixel, V3 v, float w = 1.0f)
    {
        const float values[4] = {v.x, v.y, v.z, w};
        std::memcpy(input.t[nRegister][nPixel], values, sizeof(values));
    }
    void SetAllT(int nRegister, V3 v, float w = 1.0f)
    {
        for (int p = 0; p < 4; ++p)
            SetT(nRegister, p, v, w);
    }
    PixelQuadOutput Run(int nResource)
    {
        PixelQuadOutput output;
        std::string strError;
        EXPECT_TRUE(RunPixelProgram(Assemble(nResource), &c[0][0], 32, &sampler, input, output, &strError))
            << nResource << ": " << strError;
        return output;
    }
};

inline void ExpectPacked(const float* pColour, V3 d, const char* szWhat)
{
    EXPECT_NEAR(pColour[0], (d.x + 1) / 2, 1e-5f) << szWhat;
    EXPECT_NEAR(pColour[1], (d.y + 1) / 2, 1e-5f) << szWhat;
    EXPECT_NEAR(pColour[2], (d.z + 1) / 2, 1e-5f) << szWhat;
}

inline void SetRow(float* pRegister, float x, float y, float z, float w)
{
    pRegister[0] = x, pRegister[1] = y, pRegister[2] = z, pRegister[3] = w;
}
}
