// The forward pass's programs against their formulas: the depth colour, the point, spot and flat
// light programs, the shadow vertex program, and the soft shadows of four, eight and eleven taps
// (all lit, all shadowed, the mesh's own texels, a mix across the cube's faces, outside the
// spot's cone).
#include "ForwardFormulas.h"
#include "ProgramFixture.h"

#include <algorithm>
#include <string>

namespace
{
void ExpectNear(F4 got, F4 want, const std::string& strWhat)
{
    const float g[4] = {got.x, got.y, got.z, got.w}, w[4] = {want.x, want.y, want.z, want.w};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(g[k], w[k], 1e-5f * std::max(1.0f, std::fabs(w[k]))) << strWhat << ", component " << k;
}

F4 Output(const VertexBlockOutput& output, int nIndex)
{
    const std::vector<float>& v = output.outputs[nIndex];
    return {v[0], v[1], v[2], v[3]};
}

class ForwardProgramTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        BindTexture(0, 1, 1, {{0.8f, 0.6f, 0.4f, 0.5f}});
        BindTexture(1, 1, 1, {{0.6f, 0.45f, 0.9f, 1.0f}});
        const F4 environment[6] = {{0.9f, 0.1f, 0.1f, 1}, {0.1f, 0.9f, 0.1f, 1}, {0.1f, 0.1f, 0.9f, 1},
                                   {0.9f, 0.9f, 0.1f, 1}, {0.1f, 0.9f, 0.9f, 1}, {0.9f, 0.1f, 0.9f, 1}};
        BindCube(2, environment);
        BindTexture(4, 1, 1, {{0.7f, 0.5f, 0.9f, 1.0f}});
        const F4 light[6] = {{1.0f, 0.5f, 0.5f, 1}, {0.5f, 1.0f, 0.5f, 1}, {0.5f, 0.5f, 1.0f, 1},
                             {1.0f, 1.0f, 0.5f, 1}, {0.5f, 1.0f, 1.0f, 1}, {1.0f, 0.5f, 1.0f, 1}};
        BindCube(6, light);

        const float bp = 0.5f;
        c[0] = {1, 1, 1, 1};
        c[1] = {2, 1, 1, 1};
        c[2] = {0.9f, 0.8f, 0.7f, 1};
        c[3] = {3.0f / 65535.0f, 0.2f, 0, 1};
        c[4] = {0.3f, 0.4f, 0.5f, 0};
        c[6] = {1, 0.05f, 0.002f, 1};
        c[7] = {bp, bp * 0.1f, bp * 0.01f, bp * 0.02f};
        c[8] = {0.5f, 0.5f, 0.5f, 1};
        c[9] = {1.0f, 0.9f, 0.8f, 1};
        c[10] = {0.3f, 30, 30, 1};
        c[11] = {0.6f, 0.6f, 0.6f, 1};
        c[12] = {0.5f, 0.5f, 0.5f, 1};
        c[13] = {0, 0, 1, bp};
        c[14] = {0.7f, 0, 0.01f, 0};

        in.t[0] = {0.3f, 0.6f, 0.2f, 0.7f};
        in.t[1] = {0.2f, 0.3f, 0.9f, 0};
        in.t[2] = {0.5f, -0.2f, 0.4f, 0};
        in.t[3] = {0.1f, 0.4f, 0.8f, 0};
        in.t[4] = {5.0f / 65535.0f, 5, 5, 5};
        in.t[6] = Normalize3({0.3f, 0.2f, 0.9f, 0});
        in.t[7] = {0.25f, 0.75f, 0, 0};
    }

    F4 Check(int nResourceId, F4 expected, const std::string& strCase)
    {
        F4 shaded = Shade(nResourceId, in, c);
        ExpectNear(shaded, expected, "program " + std::to_string(nResourceId) + ", " + strCase);
        return shaded;
    }

    Constants c{};
    ProgramInputs in;
};
}

TEST_F(ForwardProgramTest, DepthColourIsTheConstant)
{
    c[0] = {0.25f, 0.5f, 0.75f, 1.0f};
    Check(638, c[0], "depth colour");
}

TEST_F(ForwardProgramTest, PointLightAlphaIsTheOpacity)
{
    F4 general = Check(600, ForwardPointLightColour(in, c, m_Textures), "general");
    EXPECT_FLOAT_EQ(general.w, c[14].x);
    // The point light of the main pass shades the same colour; only its alpha differs.
    F4 main = PointLightColour(in, c, m_Textures);
    ExpectNear(F4{general.x, general.y, general.z, 0}, F4{main.x, main.y, main.z, 0}, "against the main pass's");
    // Bump power 0: N = (0, 0, 1), whatever the bump texel.
    c[13].w = 0.0f;
    c[7] = {0, 0, 0, 0};
    F4 flat = Check(600, ForwardPointLightColour(in, c, m_Textures), "bump power 0");
    BindTexture(1, 1, 1, {{0.1f, 0.9f, 0.3f, 1.0f}});
    F4 otherBump = Check(600, ForwardPointLightColour(in, c, m_Textures), "bump power 0, another bump texel");
    EXPECT_EQ(flat.x, otherBump.x);
    // At the light: attenuation 1.
    in.t[4] = {0, 0, 0, 0};
    Check(600, ForwardPointLightColour(in, c, m_Textures), "distance 0");
}

TEST_F(ForwardProgramTest, SpotLightColourThroughTheFrameWithAttenuation)
{
    // A frame that turns the light-to-point direction (about -t6 = -z) onto +x of the light cube.
    c[16] = {0, 0, -1, 0};
    c[17] = {0, 1, 0, 0};
    c[18] = {1, 0, 0, 0};
    F4 spot = Check(650, ForwardSpotLightColour(in, c, m_Textures), "general");
    EXPECT_FLOAT_EQ(spot.w, c[14].x);
    // No cone: a direction far off any axis still gets the light.
    in.t[6] = Normalize3({0.9f, 0.2f, 0.3f, 0});
    Check(650, ForwardSpotLightColour(in, c, m_Textures), "off axis");
    // Farther away, dimmer.
    in.t[4] = {50.0f / 65535.0f, 50, 50, 50};
    F4 far = Check(650, ForwardSpotLightColour(in, c, m_Textures), "distance 50");
    in.t[4] = {0, 0, 0, 0};
    F4 near = Check(650, ForwardSpotLightColour(in, c, m_Textures), "distance 0");
    EXPECT_LT(far.x, near.x);
}

TEST_F(ForwardProgramTest, FlatLightReflectsTheScreenTextureUnclamped)
{
    // A 2 x 2 reflection texture; the screen position lands in each quarter, and outside the
    // screen it wraps instead of sticking to the edge.
    BindTexture(2, 2, 2, {{0.9f, 0.2f, 0.1f, 1}, {0.2f, 0.9f, 0.1f, 1}, {0.1f, 0.2f, 0.9f, 1}, {0.8f, 0.8f, 0.2f, 1}});
    struct Case
    {
        const char* szName;
        F4 clip;
    };
    const Case cases[] = {{"top left", {-0.5f, 0.5f, 0.3f, 1}},     {"top right", {1.0f, 1.0f, 0.3f, 2}},
                          {"bottom left", {-1.5f, -1.5f, 0.3f, 3}}, {"bottom right", {0.5f, -0.5f, 0.3f, 1}},
                          {"past the right edge", {1.6f, 0.4f, 0.3f, 1}}};
    for (const Case& test : cases)
    {
        in.t[2] = test.clip;
        F4 flat = Check(643, ForwardFlatLightColour(in, c, m_Textures), test.szName);
        EXPECT_FLOAT_EQ(flat.w, c[14].x);
    }
}

TEST_F(ForwardProgramTest, ShadowVertexProgram)
{
    c[0] = {0, 0.5f, 1, 2};
    c[1] = {1.0f / 65535.0f, 0.5f, 10, 1};
    c[2] = {0.5f, -1.0f, 2.0f, 0};
    c[3] = {4, 6, -3, 1};
    const F4 wvp[4] = {{1.2f, 0.1f, 0, 0.5f}, {0, 0.9f, 0.2f, -1}, {0.1f, 0, 1.1f, 2}, {0, 0, 1, 0}};
    const F4 world[4] = {{1, 0, 0, 3}, {0, 0, -1, 1}, {0, 1, 0, -2}, {0, 0, 0, 1}};
    for (int i = 0; i < 4; ++i)
    {
        c[4 + i] = wvp[i];
        c[8 + i] = world[i];
    }
    MeshVertexInputs v;
    v.position = {1.5f, 2.0f, -0.5f, 1};
    VertexBlockOutput output = RunVertex(912, v, c);
    VertexResult expected = ShadowVertex(v, c);
    ExpectNear(Output(output, 0), expected.position, "oPos");
    for (int n = 0; n < 3; ++n)
    {
        F4 got = Output(output, 5 + n);
        if (n == 1)
            got.w = expected.t[n].w;   // t1.w is not written
        ExpectNear(got, expected.t[n], "t" + std::to_string(n));
    }
}

namespace
{
// The soft shadows read the shadow cube (s3) and the noise (s5) only.
class SoftShadowTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        BindTexture(5, 2, 2, {{0.8f, 0.3f, 0.6f, 0.2f}, {0.1f, 0.9f, 0.4f, 0.7f}, {0.5f, 0.2f, 0.9f, 0.6f},
                              {0.3f, 0.7f, 0.2f, 0.9f}});
        c[0] = {0.4f, 1, 0.25f, 1.0f};
        c[1] = {0.6f, 0.3f, 20.0f, 2};
        c[3] = {7.0f / 65535.0f, 0, 0, 2};
        // Long jitter steps, so that the walk crosses the cube's faces.
        const F4 jitter[10] = {{0.9f, 0.1f, 0.2f, 0}, {-0.3f, 0.8f, 0.1f, 0}, {0.2f, -0.4f, 0.9f, 0},
                               {-0.8f, 0.3f, -0.2f, 0}, {0.4f, 0.6f, -0.7f, 0}, {-0.2f, -0.9f, 0.3f, 0},
                               {0.7f, -0.1f, 0.5f, 0}, {0.1f, 0.5f, -0.9f, 0}, {-0.6f, 0.4f, 0.4f, 0},
                               {0.3f, -0.7f, -0.6f, 0}};
        for (int k = 0; k < 10; ++k)
            c[5 + k] = jitter[k];
        // The spot: axis along +z, cone cosine 0.7; a frame that swaps x and z.
        c[23] = {0, 0, 1, 0.7f};
        c[24] = {0, 0, 1, 0};
        c[25] = {0, 1, 0, 0};
        c[26] = {1, 0, 0, 0};
        in.t[0] = {40.0f / 65535.0f, 40, 40, 40};
        in.t[1] = {0.3f, 0.8f, 0.2f, 0};
        in.t[2] = {Normalize3({0.2f, 0.3f, 0.95f, 0}).x, Normalize3({0.2f, 0.3f, 0.95f, 0}).y,
                   Normalize3({0.2f, 0.3f, 0.95f, 0}).z, -1.0f};
    }

    void ShadowCube(const float distances[6], const float ids[6])
    {
        F4 faces[6];
        for (int f = 0; f < 6; ++f)
            faces[f] = {distances[f] / 65535.0f, ids[f], 0, 1};
        BindCube(3, faces);
    }

    Constants c{};
    ProgramInputs in;
};

struct ShadowProgram
{
    int nResourceId;
    int nTaps;
    bool bSpot;
    float fTapWeight;
};
const ShadowProgram SHADOW_PROGRAMS[] = {{654, 4, false, 0.25f}, {656, 4, true, 0.25f},   {655, 8, false, 0.125f},
                                         {657, 8, true, 0.125f}, {647, 11, false, 1 / 11.0f}, {651, 11, true, 1 / 11.0f}};
}

TEST_F(SoftShadowTest, EveryTapCountLitShadowedOwnAndMixed)
{
    const float other = 9.0f / 65535.0f, own = c[3].x;
    struct Case
    {
        const char* szName;
        float distances[6];
        float ids[6];
        float fExpected;   // the factor when every tap agrees; below 0 when mixed
    };
    const Case cases[] = {
        {"lit: the cube is farther", {60, 60, 60, 60, 60, 60}, {other, other, other, other, other, other}, 1.0f},
        {"shadowed by another object", {10, 10, 10, 10, 10, 10}, {other, other, other, other, other, other}, -1.0f},
        {"the mesh's own texels", {10, 10, 10, 10, 10, 10}, {own, own, own, own, own, own}, 1.0f},
        {"mixed faces", {10, 60, 20, 50, 30, 45}, {other, other, own, other, other, own}, -1.0f},
    };
    for (const ShadowProgram& program : SHADOW_PROGRAMS)
    {
        c[0].z = program.fTapWeight;
        for (const Case& test : cases)
        {
            ShadowCube(test.distances, test.ids);
            std::string strCase = std::to_string(program.nResourceId) + ", " + test.szName;
            F4 expected = SoftShadow(in, c, m_Textures, program.nTaps, program.bSpot);
            F4 shaded = Shade(program.nResourceId, in, c);
            ExpectNear(shaded, expected, strCase);
            if (test.fExpected >= 0.0f)
                EXPECT_NEAR(shaded.x, test.fExpected, 1e-5f) << strCase;
            else
                EXPECT_LT(shaded.x, 1.0f) << strCase;
        }
    }
}

TEST_F(SoftShadowTest, SpotShadowsLeaveOutsideTheConeUndarkened)
{
    const float distances[6] = {10, 10, 10, 10, 10, 10};
    const float ids[6] = {0, 0, 0, 0, 0, 0};
    ShadowCube(distances, ids);
    F4 outside = Normalize3({0.9f, 0.1f, 0.4f, 0});
    in.t[2] = {outside.x, outside.y, outside.z, -1.0f};
    for (const ShadowProgram& program : SHADOW_PROGRAMS)
    {
        c[0].z = program.fTapWeight;
        F4 shaded = Shade(program.nResourceId, in, c);
        ExpectNear(shaded, SoftShadow(in, c, m_Textures, program.nTaps, program.bSpot),
                   std::to_string(program.nResourceId) + ", outside the cone");
        EXPECT_EQ(shaded.x == 1.0f, program.bSpot) << program.nResourceId;
    }
}

TEST_F(ForwardProgramTest, FarLayerDirectionalLightReversesTheObjectTest)
{
    // The directional light's inputs: light texture at t4, shadow map position t6 (a 1 x 1 map,
    // so that every tap reads the same texel), noise at t5.
    BindTexture(5, 1, 1, {{0.3f, 0.6f, 0.9f, 0.2f}});
    BindTexture(6, 1, 1, {{0.9f, 0.8f, 0.7f, 1.0f}});
    const float id = 3.0f / 65535.0f, other = 8.0f / 65535.0f;
    c[20] = {0.6f, 1, 0.25f, 0.03f};
    c[22] = {id, 50, -0.01f, 2};
    c[23] = {0.02f, 0.01f, 0.03f, 0.5f};
    c[24] = {-0.01f, 0.02f, 0.01f, 0.6f};
    c[25] = {0.01f, -0.02f, 0.02f, 0.7f};
    c[26] = {-0.02f, -0.01f, 0.01f, 0.8f};
    in.t[4] = {0.3f, -0.4f, 0.6f, 1.0f};
    in.t[5] = {0.4f, 0.5f, 0.6f, 1};
    in.t[6] = {-0.5f, 0.5f, 0.4f, 2.0f};
    auto shade = [&](int nResourceId, float fDepth, float fId) {
        BindTexture(3, 1, 1, {{fDepth, fId, 0, 1}});
        return Shade(nResourceId, in, c);
    };
    const float fFarther = 0.9f, fNearer = 0.1f;
    // Where one program's taps light, the other's shadow, for another object's texels; the
    // mesh's own texels light both.
    ExpectNear(shade(603, fFarther, other), shade(661, fNearer, other), "603 farther = 661 nearer");
    ExpectNear(shade(603, fNearer, other), shade(661, fFarther, other), "603 nearer = 661 farther");
    ExpectNear(shade(603, fNearer, id), shade(661, fNearer, id), "own texels");
    F4 lit = shade(603, fNearer, other), shadowed = shade(603, fFarther, other);
    EXPECT_NEAR(shadowed.x, lit.x * c[20].x, 1e-5f);
}
