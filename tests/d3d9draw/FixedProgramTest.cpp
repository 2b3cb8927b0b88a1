// Fixed-function drawing through its generated programs: texture-stage operations against
// their public definitions, per-vertex lighting by point and spot lights, and the program cache.
#include "DrawFixture.h"

#include <cpu/fixedfunc/FixedFunctionPrograms.h>

#include <algorithm>
#include <cmath>

namespace
{
// Texel, diffuse colour and texture factor of the stage cases, as bytes r, g, b, a.
constexpr BYTE TEXEL[4] = {204, 102, 51, 153};
constexpr BYTE DIFFUSE[4] = {64, 128, 192, 255};
constexpr BYTE FACTOR[4] = {32, 96, 160, 80};

struct StageCase
{
    const char* szName;
    DWORD nColorOp, colorArgs[3];
    DWORD nAlphaOp, alphaArgs[3];
};

// Argument values as the stage definitions give them.
float ArgumentValue(DWORD nArg, int c)
{
    const BYTE* pSource = (nArg & D3DTA_SELECTMASK) == D3DTA_TEXTURE   ? TEXEL
                          : (nArg & D3DTA_SELECTMASK) == D3DTA_TFACTOR ? FACTOR
                                                                       : DIFFUSE;
    float v = pSource[(nArg & D3DTA_ALPHAREPLICATE) ? 3 : c] / 255.0f;
    return (nArg & D3DTA_COMPLEMENT) ? 1.0f - v : v;
}

float Expected(DWORD nOp, const DWORD args[3], int c)
{
    const float a0 = ArgumentValue(args[0], c), a1 = ArgumentValue(args[1], c), a2 = ArgumentValue(args[2], c);
    float v = a1;
    switch (nOp)
    {
    case D3DTOP_SELECTARG2: v = a2; break;
    case D3DTOP_MODULATE: v = a1 * a2; break;
    case D3DTOP_MODULATE2X: v = 2 * a1 * a2; break;
    case D3DTOP_ADD: v = a1 + a2; break;
    case D3DTOP_ADDSIGNED: v = a1 + a2 - 0.5f; break;
    case D3DTOP_SUBTRACT: v = a1 - a2; break;
    case D3DTOP_LERP: v = a0 * a1 + (1 - a0) * a2; break;
    case D3DTOP_MULTIPLYADD: v = a0 + a1 * a2; break;
    case D3DTOP_BLENDTEXTUREALPHA: v = a1 * (TEXEL[3] / 255.0f) + a2 * (1 - TEXEL[3] / 255.0f); break;
    case D3DTOP_DOTPRODUCT3:
        v = 0;
        for (int k = 0; k < 3; ++k)
            v += 4 * (ArgumentValue(args[1], k) - 0.5f) * (ArgumentValue(args[2], k) - 0.5f);
        break;
    default: break;
    }
    return std::clamp(v, 0.0f, 1.0f);
}

TEST_F(DrawTest, TextureStageOperations)
{
    constexpr DWORD T = D3DTA_TEXTURE, D = D3DTA_DIFFUSE, F = D3DTA_TFACTOR, C = D3DTA_COMPLEMENT,
                    A = D3DTA_ALPHAREPLICATE;
    const StageCase cases[] = {
        {"modulate", D3DTOP_MODULATE, {0, T, D}, D3DTOP_MODULATE, {0, T, D}},
        {"select arg 2", D3DTOP_SELECTARG2, {0, T, F}, D3DTOP_SELECTARG2, {0, T, F}},
        {"modulate 2x", D3DTOP_MODULATE2X, {0, T, D}, D3DTOP_SELECTARG1, {0, F, D}},
        {"add saturates", D3DTOP_ADD, {0, T, D}, D3DTOP_ADD, {0, T, F}},
        {"add signed", D3DTOP_ADDSIGNED, {0, T, F}, D3DTOP_SUBTRACT, {0, T, F}},
        {"subtract clamps", D3DTOP_SUBTRACT, {0, T, D}, D3DTOP_SELECTARG1, {0, T, D}},
        {"lerp by factor", D3DTOP_LERP, {F, T, D}, D3DTOP_LERP, {F, T, D}},
        {"multiply add", D3DTOP_MULTIPLYADD, {F, T, D}, D3DTOP_MULTIPLYADD, {F, T, F}},
        {"blend texture alpha", D3DTOP_BLENDTEXTUREALPHA, {0, T, D}, D3DTOP_SELECTARG2, {0, T, D}},
        {"dot product 3", D3DTOP_DOTPRODUCT3, {0, T, D}, D3DTOP_SELECTARG1, {0, D, T}},
        {"complement and replicate", D3DTOP_MODULATE, {0, T | C, D | A}, D3DTOP_SELECTARG1, {0, F | C, D}},
    };
    IDirect3DTexture9* pTexture =
        MakeTexture(1, 1, 1, D3DFMT_A8R8G8B8, {{D3DCOLOR_ARGB(TEXEL[3], TEXEL[0], TEXEL[1], TEXEL[2])}});
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_ARGB(FACTOR[3], FACTOR[0], FACTOR[1], FACTOR[2]));
    for (const StageCase& c : cases)
    {
        const DWORD states[] = {D3DTSS_COLOROP, c.nColorOp,        D3DTSS_COLORARG0, c.colorArgs[0],
                                D3DTSS_COLORARG1, c.colorArgs[1],  D3DTSS_COLORARG2, c.colorArgs[2],
                                D3DTSS_ALPHAOP, c.nAlphaOp,        D3DTSS_ALPHAARG0, c.alphaArgs[0],
                                D3DTSS_ALPHAARG1, c.alphaArgs[1],  D3DTSS_ALPHAARG2, c.alphaArgs[2]};
        for (size_t i = 0; i < std::size(states); i += 2)
            m_pDevice->SetTextureStageState(0, (D3DTEXTURESTAGESTATETYPE)states[i], states[i + 1]);
        ASSERT_EQ(DrawRect(0, 0, 16, 16, D3DCOLOR_ARGB(DIFFUSE[3], DIFFUSE[0], DIFFUSE[1], DIFFUSE[2])), D3D_OK);
        const auto data = ReadBackBuffer();
        for (int ch = 0; ch < 4; ++ch)
        {
            const float fExpected =
                ch < 3 ? Expected(c.nColorOp, c.colorArgs, ch) : Expected(c.nAlphaOp, c.alphaArgs, 3);
            EXPECT_NEAR(Channel(data, 5, 5, ch), fExpected * 255.0f, 1.0f) << c.szName << ", channel " << ch;
        }
    }
    m_pDevice->SetTexture(0, nullptr);
    pTexture->Release();
}

// A second stage works on the first one's result: CURRENT × TFACTOR after texel × diffuse; a
// disabled third stage ends the cascade.
TEST_F(DrawTest, StagesCascadeThroughCurrent)
{
    IDirect3DTexture9* pTexture =
        MakeTexture(1, 1, 1, D3DFMT_A8R8G8B8, {{D3DCOLOR_ARGB(TEXEL[3], TEXEL[0], TEXEL[1], TEXEL[2])}});
    m_pDevice->SetTexture(0, pTexture);
    m_pDevice->SetRenderState(D3DRS_TEXTUREFACTOR, D3DCOLOR_ARGB(FACTOR[3], FACTOR[0], FACTOR[1], FACTOR[2]));
    m_pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    m_pDevice->SetTextureStageState(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    m_pDevice->SetTextureStageState(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    m_pDevice->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    m_pDevice->SetTextureStageState(2, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_pDevice->SetTextureStageState(3, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    m_pDevice->SetTextureStageState(3, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    DrawRect(0, 0, 16, 16, D3DCOLOR_ARGB(DIFFUSE[3], DIFFUSE[0], DIFFUSE[1], DIFFUSE[2]));
    const auto data = ReadBackBuffer();
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(Channel(data, 3, 3, c), TEXEL[c] / 255.0f * DIFFUSE[c] / 255.0f * FACTOR[c], 1.0f) << c;
    // Stage 0's alpha (SELECTARG1 TEXTURE, the default) passes through the stage without an
    // alpha operation.
    EXPECT_EQ(Channel(data, 3, 3, 3), TEXEL[3]);
    for (DWORD s = 1; s < 4; ++s)
        m_pDevice->SetTextureStageState(s, D3DTSS_COLOROP, D3DTOP_DISABLE);
    m_pDevice->SetTexture(0, nullptr);
    pTexture->Release();
}

// Lit points facing a light at (0, 0, -1), drawn with identity transforms so that vertex
// (x, 0, 0) lands on pixel ((x + 1)·8, 8) of the 16×16 target. Each point's colour is its
// lighting alone: white material and light, no ambient.
class LightTest : public DrawTest
{
protected:
    struct Vertex
    {
        float x, y, z, nx, ny, nz;
    };
    static constexpr float XS[] = {0.125f, 0.25f, 0.375f, 0.5f, 0.625f};

    void SetUp() override
    {
        DrawTest::SetUp();
        D3DMATRIX identity{};
        for (int i = 0; i < 4; ++i)
            identity.m[i][i] = 1.0f;
        for (D3DTRANSFORMSTATETYPE t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION})
            m_pDevice->SetTransform(t, &identity);
        D3DMATERIAL9 material{};
        material.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        m_pDevice->SetMaterial(&material);
        m_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
        m_pDevice->SetRenderState(D3DRS_COLORVERTEX, FALSE);
        m_pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL);
    }

    // Pixel red values of the points at XS after drawing them under the light.
    std::vector<float> Light(const D3DLIGHT9& light)
    {
        m_pDevice->SetLight(0, &light);
        m_pDevice->LightEnable(0, TRUE);
        std::vector<Vertex> points;
        for (float x : XS)
            points.push_back({x, 0.0f, 0.0f, 0.0f, 0.0f, -1.0f});
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        EXPECT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_POINTLIST, (UINT)points.size(), points.data(), sizeof(Vertex)), D3D_OK);
        const auto data = ReadBackBuffer();
        std::vector<float> reds;
        for (float x : XS)
            reds.push_back(data.Pixel((UINT)((x + 1.0f) * 8.0f), 8)[0]);
        return reds;
    }

    static D3DLIGHT9 LightAt(D3DLIGHTTYPE type)
    {
        D3DLIGHT9 light{};
        light.Type = type;
        light.Diffuse = {1.0f, 1.0f, 1.0f, 1.0f};
        light.Position = {0.0f, 0.0f, -1.0f};
        light.Direction = {0.0f, 0.0f, 1.0f};
        light.Range = 100.0f;
        light.Attenuation0 = 1.0f;
        return light;
    }
};

// A point at distance d = √(x² + 1) sees the light at cos α = 1/d off its normal.
TEST_F(LightTest, PointLightAttenuationAndRange)
{
    D3DLIGHT9 light = LightAt(D3DLIGHT_POINT);
    light.Attenuation0 = 1.0f;
    light.Attenuation1 = 0.5f;
    light.Attenuation2 = 0.25f;
    light.Range = std::sqrt(1.0f + 0.5f * 0.5f) + 0.01f;   // the last point lies beyond it
    const std::vector<float> reds = Light(light);
    for (size_t i = 0; i < std::size(XS); ++i)
    {
        const double d = std::sqrt(1.0 + XS[i] * XS[i]);
        const double expected = d > light.Range ? 0.0 : (1.0 / d) / (1.0 + 0.5 * d + 0.25 * d * d);
        EXPECT_NEAR(reds[i], expected, 1.0 / 255) << "x = " << XS[i];
    }
}

// Spot cone θ = 0.4, φ = 0.8 (half-angles 0.2 and 0.4), falloff 2: the point at angle α gets
// ((cos α − cos 0.4)/(cos 0.2 − cos 0.4))² in the penumbra, 1 inside, 0 outside.
TEST_F(LightTest, SpotLightCone)
{
    D3DLIGHT9 light = LightAt(D3DLIGHT_SPOT);
    light.Theta = 0.4f;
    light.Phi = 0.8f;
    light.Falloff = 2.0f;
    const std::vector<float> reds = Light(light);
    const char* zones[] = {"inside", "penumbra", "penumbra", "outside", "outside"};
    for (size_t i = 0; i < std::size(XS); ++i)
    {
        const double alpha = std::atan(XS[i]);
        double spot = 0.0;
        if (alpha <= 0.2)
            spot = 1.0;
        else if (alpha < 0.4)
            spot = std::pow((std::cos(alpha) - std::cos(0.4)) / (std::cos(0.2) - std::cos(0.4)), 2.0);
        EXPECT_NEAR(reds[i], spot * std::cos(alpha), 1.0 / 255) << zones[i] << ", x = " << XS[i];
        EXPECT_EQ(spot > 0.0 && spot < 1.0, std::string(zones[i]) == "penumbra") << XS[i];
    }
    // Falloff 1 is linear across the penumbra: a different value at the penumbra points.
    light.Falloff = 1.0f;
    const std::vector<float> linear = Light(light);
    const double alpha = std::atan(XS[1]);
    EXPECT_NEAR(linear[1], (std::cos(alpha) - std::cos(0.4)) / (std::cos(0.2) - std::cos(0.4)) * std::cos(alpha),
                1.0 / 255);
}

// Programs are generated once per distinct state; a repeated draw only finds them.
TEST(FixedFunctionProgramsTest, CachedByState)
{
    DeviceState state;
    ResetToDefaults(state, false, 16, 16);
    const std::vector<D3DVERTEXELEMENT9> elements = {
        {0, 0, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_POSITION, 0},
        {0, 12, D3DDECLTYPE_FLOAT3, D3DDECLMETHOD_DEFAULT, D3DDECLUSAGE_NORMAL, 0}};
    DrawResources resources;
    resources.pElements = &elements;
    FixedFunctionPrograms programs;
    const VertexProgram first = programs.Vertex(state, resources);
    const PixelProgram firstPixel = programs.Pixel(state, resources);
    ASSERT_NE(first.pPlan, nullptr);
    ASSERT_NE(firstPixel.pPlan, nullptr);
    EXPECT_EQ(programs.GeneratedCount(), 2u);
    EXPECT_EQ(programs.Vertex(state, resources).pPlan, first.pPlan);
    EXPECT_EQ(programs.Pixel(state, resources).pPlan, firstPixel.pPlan);
    EXPECT_EQ(programs.GeneratedCount(), 2u);
    // A light's colour is a constant, its type is part of the program.
    state.lights[0] = {DefaultLight(), true, TRUE};
    const VertexProgram lit = programs.Vertex(state, resources);
    EXPECT_NE(lit.pPlan, first.pPlan);
    state.lights[0].light.Diffuse.r = 0.5f;
    EXPECT_EQ(programs.Vertex(state, resources).pPlan, lit.pPlan);
    state.lights[0].light.Type = D3DLIGHT_SPOT;
    EXPECT_NE(programs.Vertex(state, resources).pPlan, lit.pPlan);
    EXPECT_EQ(programs.GeneratedCount(), 4u);
}
}
