// The light pixel programs against their formulas, case by case: bump power 0, a light at
// distance 0, the specular peak, inside, at the edge of and outside a spot cone, and the
// shadow taps of the shadowed forms (lit, shadowed, the mesh's own texels, no shadow level).
#include "ProgramFixture.h"

#include <functional>

namespace
{
using Formula = F4 (*)(const ProgramInputs&, const Constants&, const TextureModel&);

F4 Unit(float x, float y, float z)
{
    return Normalize3({x, y, z, 0});
}

class LightProgramTest : public ProgramTest
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
        BindTexture(5, 1, 1, {{0.3f, 0.6f, 0.9f, 0.2f}});
        const F4 light[6] = {{1.0f, 0.5f, 0.5f, 1}, {0.5f, 1.0f, 0.5f, 1}, {0.5f, 0.5f, 1.0f, 1},
                             {1.0f, 1.0f, 0.5f, 1}, {0.5f, 1.0f, 1.0f, 1}, {1.0f, 0.5f, 1.0f, 1}};
        BindCube(6, light);

        // The constants as the setters write them for a mesh and a point light.
        const float bp = 0.5f, id = 3.0f / 65535.0f;
        c[0] = {1, 1, 1, 1};
        c[1] = {2, 1, 1, 1};
        c[2] = {0.9f, 0.8f, 0.7f, 1};
        c[3] = {id, 0.2f, 0, 1};
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
        c[17] = {2, 3, -4, 1};
        c[20] = {0.6f, 1, 0.25f, 0.03f};
        c[22] = {id, 50, 1.0f / 65535.0f, 2};
        c[23] = {0.02f, 0.01f, 0.03f, 0.5f};
        c[24] = {-0.01f, 0.02f, 0.01f, 0.6f};
        c[25] = {0.01f, -0.02f, 0.02f, 0.7f};
        c[26] = {-0.02f, -0.01f, 0.01f, 0.8f};

        in.t[0] = {0.3f, 0.6f, 0.2f, 0.7f};
        in.t[1] = {0.2f, 0.3f, 0.9f, 0};
        in.t[2] = {0.5f, -0.2f, 0.4f, 0};
        in.t[3] = {0.1f, 0.4f, 0.8f, 0};
        in.t[4] = {5.0f / 65535.0f, 5, 5, 5};
        in.t[5] = {0.4f, 0.5f, 0.6f, 1};
        in.t[6] = Unit(0.3f, 0.2f, 0.9f);
        in.t[7] = {0.25f, 0.75f, 0, 0};
    }

    // The program's colour against the formula, 1e-5 relative.
    F4 Check(int nResourceId, Formula formula, const char* szCase)
    {
        F4 shaded = Shade(nResourceId, in, c);
        F4 expected = formula(in, c, m_Textures);
        const float got[4] = {shaded.x, shaded.y, shaded.z, shaded.w};
        const float want[4] = {expected.x, expected.y, expected.z, expected.w};
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(got[k], want[k], 1e-5f * std::max(1.0f, std::fabs(want[k])))
                << "program " << nResourceId << ", " << szCase << ", component " << k;
        return shaded;
    }

    Constants c{};
    ProgramInputs in;
};
}

TEST_F(LightProgramTest, PointLightBumpAttenuationAndSpecularPeak)
{
    F4 general = Check(653, PointLightColour, "general");
    EXPECT_GT(general.x, 0.1f);

    // Bump power 0: the bump texel has no effect, the normal is (0, 0, 1).
    c[13].w = 0.0f;
    c[7] = {0, 0, 0, 0};
    F4 flat = Check(653, PointLightColour, "bump power 0");
    BindTexture(1, 1, 1, {{0.1f, 0.9f, 0.3f, 1.0f}});
    F4 otherBump = Check(653, PointLightColour, "bump power 0, another bump texel");
    EXPECT_EQ(flat.x, otherBump.x);
    EXPECT_EQ(flat.z, otherBump.z);

    // At the light: attenuation 1 / c6.x = 1.
    in.t[4] = {0, 0, 0, 0};
    Check(653, PointLightColour, "distance 0");

    // Specular peak: the view along the reflected light vector about N = (0, 0, 1) gives the
    // full gloss-weighted specular colour.
    F4 Ln = Normalize3(in.t[3]);
    in.t[1] = F4{0, 0, 2 * Ln.z, 0} - Ln;
    c[10].x = 8.0f;
    F4 peak = Check(653, PointLightColour, "specular peak");
    F4 withoutSpecular = PointLightColour(in, [&] { Constants k = c; k[11] = {0, 0, 0, 0}; return k; }(), m_Textures);
    EXPECT_GT(peak.x, withoutSpecular.x);
}

TEST_F(LightProgramTest, SpotLightInsideAtTheEdgeAndOutsideTheCone)
{
    // Axis straight at the point; hot spot 40 degrees, fall-off 60 (half angles 20 and 30).
    F4 axis = Unit(0.2f, -0.3f, -0.9f);
    float cosHot = std::cos(20.0f * 3.14159265f / 180.0f), cosFall = std::cos(30.0f * 3.14159265f / 180.0f);
    c[15] = {axis.x, axis.y, axis.z, cosHot};
    c[16] = {0, 1, 0, 0};
    c[17] = {-1, 0, 0, 0};
    c[18] = {0, 0, 1, 0};
    c[19] = {cosHot, cosFall, 1.0f / (cosHot - cosFall), 1};
    struct Case
    {
        const char* szName;
        float fAngle;   // degrees between the axis and the light-to-point direction
        bool bLit;
    };
    const Case cases[] = {{"inside", 10.0f, true}, {"edge", 25.0f, true}, {"outside", 35.0f, false}};
    F4 side = Normalize3(F4{axis.y, -axis.x, 0, 0});
    for (const Case& test : cases)
    {
        float a = test.fAngle * 3.14159265f / 180.0f;
        F4 toPoint = axis * std::cos(a) + side * std::sin(a);
        in.t[6] = -toPoint;
        F4 lit = Check(659, SpotLightColour, test.szName);
        Constants dark = c;
        dark[9] = {0, 0, 0, 0};
        F4 unlit = SpotLightColour(in, dark, m_Textures);
        EXPECT_EQ(lit.y > unlit.y + 1e-4f, test.bLit) << test.szName;
    }
}

TEST_F(LightProgramTest, CubeFacePointLightShadowTap)
{
    // The shadow cube's red is the distance / 65535 it saw: farther than t4.x lights, nearer
    // shadows by the shadow level, whichever way the surface faces.
    const float reference = in.t[4].x;
    for (float fStored : {reference * 2.0f, reference * 0.5f})
    {
        const F4 shadow[6] = {{fStored, 0, 0, 1}, {fStored, 0, 0, 1}, {fStored, 0, 0, 1},
                              {fStored, 0, 0, 1}, {fStored, 0, 0, 1}, {fStored, 0, 0, 1}};
        BindCube(3, shadow);
        in.t[3] = {0.1f, 0.4f, 0.8f, 0};
        Check(660, CubeFacePointLightColour, "facing the light");
        in.t[3] = {0.1f, 0.4f, -0.8f, 0};
        Check(660, CubeFacePointLightColour, "facing away");
    }
}

TEST_F(LightProgramTest, DirectionalShadowTaps)
{
    // A 2 x 2 shadow map; t6 projects to the centre of its top-left texel, (0.25, 0.25).
    in.t[6] = {-1.0f, 1.0f, 0.4f, 2.0f};
    in.t[4] = {0.3f, -0.4f, 0.6f, 1.0f};
    BindTexture(6, 1, 1, {{0.9f, 0.8f, 0.7f, 1.0f}});
    const float id = c[22].x;
    struct Case
    {
        const char* szName;
        F4 topLeft;
    };
    const Case cases[] = {
        {"lit: the map is farther", {0.9f, 0.0f, 0, 1}},
        {"shadowed: nearer and another object", {0.1f, 0.0f, 0, 1}},
        {"own texel: nearer but the same object", {0.1f, id, 0, 1}},
    };
    for (const Case& test : cases)
    {
        BindTexture(3, 2, 2, {test.topLeft, {0.9f, 0, 0, 1}, {0.9f, 0, 0, 1}, {0.9f, 0, 0, 1}});
        Check(661, DirectionalLightColour, test.szName);
    }
    // A light with no shadow map has its shadow level set to 1: nothing darkens.
    BindTexture(3, 2, 2, {cases[1].topLeft, cases[1].topLeft, cases[1].topLeft, cases[1].topLeft});
    F4 shadowed = Check(661, DirectionalLightColour, "shadowed everywhere");
    c[20].x = 1.0f;
    F4 unshadowed = Check(661, DirectionalLightColour, "shadow level 1");
    EXPECT_NEAR(shadowed.x, unshadowed.x * 0.6f, 1e-5f);
}

TEST_F(LightProgramTest, WaveNormalAndFacingAwayTaps)
{
    in.t[4] = {-0.5f, 0.5f, 0.4f, 1.0f};   // maps to (0.25, 0.25)
    BindTexture(6, 1, 1, {{0.9f, 0.8f, 0.7f, 1.0f}});
    BindTexture(3, 2, 2, {{0.1f, 0, 0, 1}, {0.9f, 0, 0, 1}, {0.9f, 0, 0, 1}, {0.9f, 0, 0, 1}});
    // Still water (no waves): the normal is (0, 0, 1).
    Check(663, WaveDirectionalLightColour, "no waves, shadowed");
    in.t[3] = {0.1f, 0.4f, -0.8f, 0};
    Check(663, WaveDirectionalLightColour, "no waves, facing away: lit");
    in.t[3] = {0.1f, 0.4f, 0.8f, 0};
    c[28] = {1.0f, 0.0f, 0.5f, 0.0f};
    c[29] = {0.0f, 1.0f, 0.5f, 0.0f};
    c[30] = {0.2f, 0.1f, 0.3f, 0.0f};
    c[31] = {0, 0, 0.5f, 0};
    Check(663, WaveDirectionalLightColour, "three waves");
}

TEST_F(LightProgramTest, FlatFormsMirrorAndShadow)
{
    // The mirror texture in quadrants; t2 is a clip position whose screen point lies in the
    // bottom-right quadrant.
    BindTexture(2, 2, 2, {{0.1f, 0.2f, 0.3f, 1}, {0.4f, 0.5f, 0.6f, 1}, {0.7f, 0.8f, 0.9f, 1}, {0.2f, 0.9f, 0.4f, 1}});
    in.t[2] = {0.4f, -0.6f, 0.3f, 1.2f};
    const float reference = in.t[4].x;
    for (float fStored : {reference * 2.0f, reference * 0.5f})
    {
        const F4 cube[6] = {{fStored, 0, 0, 1}, {fStored, 0, 0, 1}, {fStored, 0, 0, 1},
                            {fStored, 0, 0, 1}, {fStored, 0, 0, 1}, {fStored, 0, 0, 1}};
        BindCube(3, cube);
        Check(658, FlatPointLightColour, fStored > reference ? "point, lit" : "point, shadowed");
    }
    BindTexture(6, 1, 1, {{0.9f, 0.8f, 0.7f, 1.0f}});
    in.t[4] = {-0.6f, -0.7f, 0.4f, 1.0f};   // -t4 lies in the bottom-right texel
    for (float fStored : {0.9f, -0.9f})
    {
        BindTexture(3, 2, 2, {{0.0f, 0, 0, 1}, {0.0f, 0, 0, 1}, {0.0f, 0, 0, 1}, {fStored, 0, 0, 1}});
        Check(662, FlatDirectionalLightColour, fStored > 0 ? "directional, lit" : "directional, shadowed");
    }
}

TEST_F(LightProgramTest, RefractionPasses)
{
    Check(649, RefractionBackColour, "back faces, lit from the front: no diffuse");
    in.t[3] = {0.1f, 0.4f, -0.8f, 0};
    Check(649, RefractionBackColour, "back faces, lit from behind");
    in.t[5] = Unit(-0.3f, 0.2f, -0.9f);
    Check(648, RefractionFrontColour, "front faces");
    c[14].x = 0.0f;
    Check(648, RefractionFrontColour, "fully transparent: the refracted environment");
}

TEST_F(LightProgramTest, LayerGathersSixJitteredDirections)
{
    c[0] = {2, 1, 0.05f, 0.4f};
    c[1] = {1, 1, 0.8f, 0};
    c[3] = {0, 0, 1, 1};
    for (int k = 0; k < 6; ++k)
    {
        float a = 0.7f * (float)k;
        c[6 + k] = {0.6f * std::cos(a), 0.6f * std::sin(a), 0.53f, 0.5f + 0.08f * (float)k};
    }
    // A tangent frame turned a quarter about z.
    in.t[0] = {0.3f, 0.6f, 0, 0};
    in.t[1] = {0.4f, 0.2f, 0.7f, 1};
    in.t[2] = {0, 1, 0, 0};
    in.t[3] = {-1, 0, 0, 0};
    in.t[4] = {0, 0, 1, 0};
    in.t[5] = {0.2f, 0.1f, 0, 0};
    F4 one = Check(639, LayerColour, "one pass");
    EXPECT_EQ(one.w, 1.0f);
    c[1].x = 0.25f;
    Check(639, LayerColour, "four passes");
}

TEST_F(LightProgramTest, ShadowedPointLightAndFlatReflection)
{
    // The shadow cube farther than t4.x lights; nearer, another object's texels shadow by the
    // shadow level and the mesh's own do not.
    const float reference = in.t[4].x, id = c[22].x;
    struct Case
    {
        const char* szName;
        F4 texel;
    };
    const Case cases[] = {{"lit", {reference * 2.0f, 0, 0, 1}},
                          {"shadowed", {reference * 0.5f, 0, 0, 1}},
                          {"own texels", {reference * 0.5f, id, 0, 1}}};
    for (const Case& test : cases)
    {
        const F4 cube[6] = {test.texel, test.texel, test.texel, test.texel, test.texel, test.texel};
        BindCube(3, cube);
        F4 shaded = Check(668, ShadowedPointLightColour, test.szName);
        EXPECT_EQ(shaded.w, c[14].x);
        Check(674, ShadowedPointLightEyeColour, test.szName);
    }
    // The flat form: the reflection from the 2D texture at t2's screen point.
    BindTexture(2, 2, 2, {{0.1f, 0.2f, 0.3f, 1}, {0.4f, 0.5f, 0.6f, 1}, {0.7f, 0.8f, 0.9f, 1}, {0.2f, 0.9f, 0.4f, 1}});
    for (F4 clip : {F4{0.4f, -0.6f, 0.3f, 1.2f}, F4{-0.5f, 0.7f, 0.3f, 1.0f}})
    {
        in.t[2] = clip;
        Check(652, FlatReflectionPointLightColour, clip.x > 0 ? "bottom right" : "top left");
    }
}
