// The finishing effects' programs against their formulas on a tiny target: the depth-of-field
// composite, the fog, the light halo, the lens flare and the spot-light cone, vertex and pixel.
#include "EffectFormulas.h"
#include "ProgramFixture.h"

#include <algorithm>
#include <string>

namespace
{
void ExpectNear(F4 got, F4 want, const std::string& strWhat, float fTolerance = 1e-4f)
{
    const float g[4] = {got.x, got.y, got.z, got.w}, w[4] = {want.x, want.y, want.z, want.w};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(g[k], w[k], fTolerance * std::max(1.0f, std::fabs(w[k]))) << strWhat << ", component " << k;
}

F4 Output(const VertexBlockOutput& output, int n)
{
    const std::vector<float>& o = output.outputs[n];
    return F4{o[0], o[1], o[2], o[3]};
}

// Four rows of a transposed matrix that is not a plain rotation.
void SetMatrix(Constants& c, int nFirst, float fSeed)
{
    const F4 rows[4] = {{1.1f, 0.2f * fSeed, -0.1f, 0.5f},
                        {0.05f, 0.9f, 0.3f * fSeed, -1.0f},
                        {-0.2f, 0.1f, 1.2f, 2.0f * fSeed},
                        {0.01f * fSeed, 0.02f, 0.9f, 1.0f}};
    for (int i = 0; i < 4; ++i)
        c[nFirst + i] = rows[i];
}

class EffectProgramTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        m_Noise = {{0.8f, 0.3f, 0.6f, 1}, {0.1f, 0.9f, 0.4f, 1}, {0.5f, 0.2f, 0.9f, 1}, {0.3f, 0.7f, 0.2f, 1}};
    }

    void CheckVertex(int nResourceId, VertexResult (*pFormula)(const MeshVertexInputs&, const Constants&),
                     const MeshVertexInputs& v, std::initializer_list<int> interpolators)
    {
        VertexBlockOutput output = RunVertex(nResourceId, v, c);
        ASSERT_FALSE(output.outputs[0].empty()) << nResourceId;
        VertexResult want = pFormula(v, c);
        ExpectNear(Output(output, 0), want.position, std::to_string(nResourceId) + " oPos");
        for (int n : interpolators)
            ExpectNear(Output(output, 5 + n), want.t[n], std::to_string(nResourceId) + " t" + std::to_string(n));
    }

    Constants c{};
    ProgramInputs in;
    std::vector<F4> m_Noise;
};

const float SPOT_MATRIX_SEEDS[] = {0.5f, 1.5f};
}

TEST_F(EffectProgramTest, VertexProgramsMatchTheirFormulas)
{
    MeshVertexInputs v;
    v.position = {1.5f, -0.75f, 2.25f, 1};
    v.normal = {0.3f, 0.8f, -0.5f, 0};
    // The sphere and cylinder meshes carry the normal right after the position: the bench feeds
    // inputs by register, so v1 takes it too.
    v.uv = v.normal;
    SetMatrix(c, 4, 1.0f);
    SetMatrix(c, 8, 2.0f);
    SetMatrix(c, 12, 3.0f);
    SetMatrix(c, 16, 0.5f);
    SetMatrix(c, 20, 1.5f);
    c[0] = {0.25f, -0.5f, 1.0f, 0};
    c[1] = {100, 60, 350, 1};
    CheckVertex(920, DepthOfFieldVertex, v, {0, 1});

    c[1] = {3, 5, -2, 1};
    c[2] = {0.5f, 0.25f, -1, 0};
    c[3] = {0, 1, 2.71828f, 4};
    CheckVertex(925, FogVertex, v, {0, 1, 2});

    c[0] = {0, 2.5f, 0.2f, 1};
    c[1] = {0, 0, 0, 1};
    CheckVertex(921, HaloVertex, v, {0});

    c[1] = {4, 6, -3, 1};
    c[2] = {-1, 2, -8, 1};
    CheckVertex(924, LensFlareVertex, v, {0, 1, 2, 3});

    c[1] = {0.5f, 8, 1, 1};
    c[2] = {0.09f, 4, 2, 1};
    c[3] = {-6, 3, -12, 1};
    CheckVertex(923, SpotConeVertex, v, {0, 1, 2});
}

TEST_F(EffectProgramTest, HaloVertexOnTheAxisThroughTheCentreStaysFinite)
{
    // The vertex lies on the view ray through the centre: no direction, but no NaN either.
    for (int i = 0; i < 4; ++i)
        c[4 + i] = c[8 + i] = F4{i == 0 ? 1.0f : 0, i == 1 ? 1.0f : 0, i == 2 ? 1.0f : 0, i == 3 ? 1.0f : 0};
    c[0] = {0, 2.5f, 0.2f, 1};
    c[1] = {0, 0, 0, 1};
    MeshVertexInputs v;
    v.position = {0, 0, -5, 1};
    VertexBlockOutput output = RunVertex(921, v, c);
    ASSERT_FALSE(output.outputs[0].empty());
    F4 t0 = Output(output, 5);
    EXPECT_TRUE(std::isfinite(t0.x) && std::isfinite(t0.y) && std::isfinite(t0.z)) << t0.x << " " << t0.y;
    EXPECT_NEAR(t0.z, 0.5f, 1e-3f);
}

TEST_F(EffectProgramTest, DepthOfFieldTaps)
{
    // A 4 x 4 scene texture of distinct colours and a 2 x 2 noise.
    std::vector<F4> scene;
    for (int i = 0; i < 16; ++i)
        scene.push_back({0.05f * (float)i, 1.0f - 0.06f * (float)i, (float)((i * 7) % 16) / 16.0f, 1});
    BindTexture(0, 4, 4, scene);
    BindTexture(1, 2, 2, m_Noise);
    const float w = 0.111111f / 2.0f;
    c[0] = {w, 0, 0.5f, 1};
    for (int i = 0; i < 9; ++i)
        c[2 + i] = {std::cos(0.7f * (float)i) * 0.9f, std::sin(0.7f * (float)i) * 0.9f, 0.3f, 0.6f};
    in.t[1] = {0.3f, 0.6f, 0, 0};
    struct Case
    {
        const char* szName;
        float fNear, fFar, fBlur, z;
    };
    const Case cases[] = {{"in focus", 2, 20, 0.05f, 8},   {"near", 6, 20, 0.05f, 2},
                          {"far", 2, 10, 0.08f, 30},        {"at the far depth", 2, 10, 0.08f, 10},
                          {"far depth 0", 2, 0, 0.01f, 5},  {"on the near plane", 2, 20, 0.001f, 0}};
    for (const Case& k : cases)
    {
        c[1] = {k.fNear, k.fFar, k.fBlur, 1};
        in.t[0] = {0.2f * (k.z + 1), -0.4f * (k.z + 1), k.z, k.z + 1};
        F4 got = Shade(666, in, c);
        EXPECT_TRUE(std::isfinite(got.x) && std::isfinite(got.y)) << k.szName;
        ExpectNear(got, DepthOfFieldColour(in, c, m_Textures), k.szName, 1e-3f);
    }
    // No blur: every tap is the pixel itself, whatever the depth.
    c[1] = {6, 20, 0, 1};
    in.t[0] = {0.2f, -0.4f, 2, 1};
    F4 pixel = m_Textures.Sample(0, {(0.2f + 1) * 0.5f, (1 + 0.4f) * 0.5f, 0, 0});
    ExpectNear(Shade(666, in, c), pixel * (9 * w), "blur 0");
}

TEST_F(EffectProgramTest, FogTransmittance)
{
    BindTexture(0, 2, 2, m_Noise);
    c[0] = {0.37f, 0.4f, 2.71828f, 3};
    c[1] = {0.6f, 0.7f, 0.8f, 1};
    c[2] = {0.33333f, 0.33333f, 0.33333f, 1};
    c[3] = {0.5f, 0.25f, 0.125f, 1};
    c[4] = {2, 4, 8, 1};
    c[6] = {0, 1, 1, 1};
    in.t[0] = {0.21f, 0.64f, 0, 0};
    in.t[2] = {0.5f, -0.2f, 3.5f, 1};
    const float h = 3 * FogNoise(in, c, m_Textures);
    struct Case
    {
        const char* szName;
        float fCamera, fPoint;
    };
    const Case cases[] = {{"both above", h + 2, h + 1},  {"both below", h - 2, h - 1},
                          {"camera above", h + 2, h - 3}, {"camera below", h - 1, h + 4},
                          {"equal heights below", h - 1, h - 1}, {"equal heights above", h + 1, h + 1},
                          {"both on the plane", h, h}};
    for (const Case& k : cases)
    {
        c[5] = {1, k.fCamera, -4, 1};
        in.t[1] = {2, k.fPoint, 5, 1};
        F4 got = Shade(672, in, c);
        EXPECT_TRUE(std::isfinite(got.w)) << k.szName;
        ExpectNear(got, FogColour(in, c, m_Textures), k.szName, 1e-3f);
    }
    // Both above: nothing of the path is in the fog.
    c[5] = {1, h + 2, -4, 1};
    in.t[1] = {2, h + 1, 5, 1};
    EXPECT_NEAR(Shade(672, in, c).w, 1.0f, 1e-6f);
    // No density: no fog whatever the heights.
    c[0].y = 0;
    c[5].y = h - 2;
    in.t[1].y = h - 1;
    EXPECT_NEAR(Shade(672, in, c).w, 1.0f, 1e-6f);
}

TEST_F(EffectProgramTest, HaloFadesFromTheCentre)
{
    BindTexture(0, 2, 2, m_Noise);
    c[1] = {1, 1, 1, 1};
    c[2] = {0.33333f, 0.33333f, 0.33333f, 1};
    float previous = 2.0f;
    for (float a : {0.5f, 0.3f, 0.1f, 0.0f, -0.4f})
    {
        in.t[0] = {0.6f, -0.8f, a, 0};
        F4 got = Shade(667, in, c);
        ExpectNear(got, HaloColour(in, c, m_Textures), "a " + std::to_string(a));
        EXPECT_LE(got.x, previous);
        previous = got.x;
    }
    EXPECT_EQ(previous, 0.0f);
}

TEST_F(EffectProgramTest, LensFlareGlintRingAndDepth)
{
    IDirect3DSurface9* pDepth = nullptr;
    ASSERT_EQ(m_pDevice->CreateDepthStencilSurface(2, 2, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &pDepth, nullptr),
              D3D_OK);
    m_Objects.push_back(pDepth);
    m_pDevice->SetDepthStencilSurface(pDepth);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_ALWAYS);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    c[1] = {2, 1, 5, 10};
    c[2] = {0.77f, 0.77f, 1, 1};
    in.t[3] = {1, 2, 6.5f, 10};
    struct Case
    {
        const char* szName;
        F4 normal, toEye, toLight;
        float fSize, fDensity;
    };
    const Case cases[] = {{"glint", {0, 0, -1, 0}, {0.1f, 0, -1, 0}, {-0.1f, 0.05f, -1, 0}, 20, 0.8f},
                          {"ring", {0.2f, 0, -1, 0}, {0, 0.3f, -1, 0}, {0.4f, -0.2f, -1, 0}, 40, 0},
                          {"away", {0, 0, 1, 0}, {0, 0, -1, 0}, {0.3f, 0, -1, 0}, 5, 1}};
    for (const Case& k : cases)
    {
        c[0] = {k.fSize, k.fDensity, 0.5f, 0.01f};
        in.t[0] = k.normal;
        in.t[1] = k.toEye;
        in.t[2] = k.toLight;
        float fDepth = 0;
        ExpectNear(Shade(671, in, c), LensFlareColour(in, c, fDepth), k.szName, 1e-3f);
        std::vector<float> depth;
        ASSERT_TRUE(d3d9test::ReadDepth(pDepth, depth));
        EXPECT_NEAR(depth[0], fDepth, 1e-5f) << k.szName;
    }
    m_pDevice->SetDepthStencilSurface(nullptr);
}

TEST_F(EffectProgramTest, SpotConeTransmittance)
{
    BindTexture(0, 2, 2, m_Noise);
    c[1] = {0.9f, 0.8f, 0.6f, 1};
    c[2] = {0.33333f, 0.33333f, 0.33333f, 1};
    c[3] = {0.5f, 0.25f, 0.125f, 1};
    c[4] = {2, 4, 8, 1};
    c[6] = {0, 1, 1, 1};
    in.t[0] = {0.4f, 0.3f, 0, 0};
    for (float fSeed : SPOT_MATRIX_SEEDS)
    {
        c[0] = {1.3f * fSeed, 0.05f, 2.71828f, 0};
        in.t[1] = {1, 2, 3, 1};
        in.t[2] = {1 + 2 * fSeed, 2 - fSeed, 3 + 4 * fSeed, 1};
        ExpectNear(Shade(670, in, c), SpotConeColour(in, c, m_Textures), "seed " + std::to_string(fSeed), 1e-3f);
    }
    // No density: nothing added.
    c[0].y = 0;
    EXPECT_NEAR(Shade(670, in, c).w, 1.0f, 1e-6f);
}
