// The programs of the passes no frame calls, against their formulas: the shadow-volume
// extrusion (918), the shadow darkening (919, 665), the depth-writing test program (664), the
// particle update (922, 926, 669, 673), the matrix product (927, 675) and the terrain morph (917).
#include "ProgramFixture.h"

#include <ShaderAssembler.h>
#include <ShaderProgramResources.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace
{
F4 Output(const VertexBlockOutput& output, int nIndex)
{
    const std::vector<float>& v = output.outputs[nIndex];
    return v.size() < 4 ? F4{} : F4{v[0], v[1], v[2], v[3]};
}

void ExpectNear(F4 got, F4 want, const std::string& strWhat, float fTolerance = 1e-5f)
{
    const float g[4] = {got.x, got.y, got.z, got.w}, w[4] = {want.x, want.y, want.z, want.w};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(g[k], w[k], fTolerance * std::max(1.0f, std::fabs(w[k]))) << strWhat << ", component " << k;
}

F4 Point(F4 a) { return {a.x, a.y, a.z, 1}; }

class DormantProgramTest : public ProgramTest
{
protected:
    Constants c{};
    MeshVertexInputs v;
    ProgramInputs in;
};

// Where the shadow-volume program puts a vertex, in clip space.
F4 ShadowVolumeVertex(const MeshVertexInputs& v, const Constants& c)
{
    F4 P = Transform(Point(v.position - c[2]), &c[8]);
    F4 N{Dot3(v.uv, c[8]), Dot3(v.uv, c[9]), Dot3(v.uv, c[10]), 0};
    F4 L = Transform(c[3], &c[12]);
    F4 ray = P - L;
    float fLength = Length3(ray);
    F4 dir = Normalize3(ray);
    F4 E = P + dir * std::max(c[1].x - fLength, 0.0f);
    if (E.z >= c[1].z)
        E = P + dir * std::max((c[1].z - P.z) / dir.z, 0.0f);
    F4 O = P + dir * c[0].y;
    F4 chosen = Dot3(N, dir) < 0.0f ? E : O;
    chosen.w = P.w;
    return Transform(chosen, &c[4]);
}
}

TEST_F(DormantProgramTest, ShadowVolumeKeepsOrExtrudesAwayFromTheLight)
{
    // World x view: a turn about y and a shift; view: another shift; projection: a plain
    // perspective.
    const F4 worldView[4] = {{0, 0, 1, 1}, {0, 1, 0, -2}, {-1, 0, 0, 6}, {0, 0, 0, 1}};
    const F4 view[4] = {{1, 0, 0, 0.5f}, {0, 1, 0, -1}, {0, 0, 1, 3}, {0, 0, 0, 1}};
    const F4 projection[4] = {{1.5f, 0, 0, 0}, {0, 1.5f, 0, 0}, {0, 0, 1.01f, -0.5f}, {0, 0, 1, 0}};
    for (int i = 0; i < 4; ++i)
    {
        c[4 + i] = projection[i];
        c[8 + i] = worldView[i];
        c[12 + i] = view[i];
    }
    c[0] = {0, 0.4f, 0, 1};
    c[2] = {0.5f, 0.25f, -0.5f, 0};
    c[3] = {1, 2, -3, 1};
    struct Case
    {
        const char* szName;
        F4 normal;
        float fRange, fFar;
    };
    // The light lies at view (0.5 + ..): the cases turn the face towards it and away, with the
    // range ending before the far depth, past it, and short of the point.
    const Case cases[] = {{"facing away: kept by the bias", {0, 0, -1, 0}, 40, 95},
                          {"facing the light: extruded to the range", {0, 0, 1, 0}, 12, 95},
                          {"facing the light: stopped at the far depth", {0, 0, 1, 0}, 500, 20},
                          {"facing the light: range short of the point", {0, 0, 1, 0}, 1, 95}};
    v.position = {2, 1, 0.5f, 1};
    for (const Case& test : cases)
    {
        v.uv = test.normal;
        c[1] = {test.fRange, 0, test.fFar, 1};
        const F4 want = ShadowVolumeVertex(v, c);
        ExpectNear(Output(RunVertex(918, v, c), 0), want, test.szName, 1e-4f);
    }
    // Which way the face turns decides: the same vertex lands in two different places.
    c[1] = {40, 0, 95, 1};
    v.uv = {0, 0, 1, 0};
    const F4 extruded = Output(RunVertex(918, v, c), 0);
    v.uv = {0, 0, -1, 0};
    const F4 kept = Output(RunVertex(918, v, c), 0);
    EXPECT_GT(std::fabs(extruded.w - kept.w), 1.0f);
}

TEST_F(DormantProgramTest, DarkeningVertexAndPixelPrograms)
{
    const F4 wvp[4] = {{1.2f, 0.1f, 0, 0.5f}, {0, 0.9f, 0.2f, -1}, {0.1f, 0, 1.1f, 2}, {0, 0, 1, 0}};
    const F4 world[4] = {{1, 0, 0, 3}, {0, 0, -1, 1}, {0, 1, 0, -2}, {0, 0, 0, 1}};
    for (int i = 0; i < 4; ++i)
    {
        c[4 + i] = wvp[i];
        c[8 + i] = world[i];
    }
    c[0] = {20, 0.02f, 0, 1};
    c[1] = {4, 6, -3, 1};
    c[2] = {0.5f, -1.0f, 2.0f, 0};
    v.position = {1.5f, 2.0f, -0.5f, 1};
    const VertexBlockOutput output = RunVertex(919, v, c);
    const F4 p = Point(v.position - c[2]);
    ExpectNear(Output(output, 0), Transform(p, &c[4]), "oPos");
    const F4 L = c[1] - Transform(p, &c[8]);
    const float d = Length3(L);
    const F4 unit = Normalize3(L) * c[0].x;
    ExpectNear(Output(output, 5), {unit.x, unit.y, unit.z, 1}, "t0");
    ExpectNear(Output(output, 6), {d, d, d, d}, "t1");

    // The pixel program: alpha = saturate(grey x dispersion + density) / (1 + l d + q d^2).
    BindTexture(0, 2, 1, {{0.2f, 0.5f, 0.8f, 1}, {0.9f, 0.9f, 0.6f, 1}});
    struct Case
    {
        const char* szName;
        float u, fDispersion, fDensity, fLinear, fQuadratic, fDistance;
    };
    const Case cases[] = {{"plain density", 0.25f, 0.0f, 0.5f, 0, 0, 3},
                          {"noise and attenuation", 0.25f, 0.4f, 0.3f, 0.05f, 0.01f, 7},
                          {"saturated", 0.75f, 2.0f, 0.6f, 0.1f, 0, 2}};
    for (const Case& test : cases)
    {
        Constants k{};
        k[0] = {test.fDispersion, test.fLinear, test.fQuadratic, 1};
        k[1] = {0, 0, 0, test.fDensity};
        k[2] = {0.3333f, 0.3333f, 0.3333f, 1};
        in.t[0] = {test.u, 0.5f, 0, 0};
        in.t[1] = {test.fDistance, test.fDistance, test.fDistance, test.fDistance};
        const F4 noise = m_Textures.Sample(0, in.t[0]);
        const float fGrey = Dot3(noise, k[2]);
        const float fAlpha = Saturate(fGrey * test.fDispersion + test.fDensity) /
                             (1.0f + test.fLinear * test.fDistance + test.fQuadratic * test.fDistance * test.fDistance);
        ExpectNear(Shade(665, in, k), {0, 0, 0, fAlpha}, test.szName);
    }
}

TEST_F(DormantProgramTest, DepthWritingProgram)
{
    in.t[0] = {0.3f, 0.7f, 0.0125f, 1};
    const float fValue = 0.0125f + 5.0f * 10.0f * 0.0125f;
    ExpectNear(Shade(664, in, c), {fValue, fValue, fValue, fValue}, "colour");
    // The depth it writes, through the device's executor.
    const ResourceEntry* pEntry = FindResourceEntry("PSH", 664);
    ASSERT_NE(pEntry, nullptr);
    ShaderAssembly assembly;
    ASSERT_TRUE(AssembleShaderText(static_cast<const char*>(pEntry->m_pData), pEntry->m_nSize, {}, assembly));
    PixelQuadInput quad;
    for (int p = 0; p < 4; ++p)
        quad.t[0][p][2] = 0.005f * (float)(p + 1);
    PixelQuadOutput output;
    std::string strError;
    ASSERT_TRUE(RunPixelProgram(assembly.tokens, nullptr, 0, nullptr, quad, output, &strError)) << strError;
    ASSERT_TRUE(output.bDepth);
    for (int p = 0; p < 4; ++p)
        EXPECT_NEAR(output.oDepth[p], 51.0f * 0.005f * (float)(p + 1), 1e-6f) << "pixel " << p;
}

TEST_F(DormantProgramTest, ParticleProgramsStepOneParticle)
{
    const F4 world[4] = {{1, 0, 0, 3}, {0, 0, -1, 1}, {0, 1, 0, -2}, {0, 0, 0, 1}};
    for (int i = 0; i < 4; ++i)
        c[4 + i] = world[i];
    c[0] = {0.04f, 0, 0, 0};
    c[1] = {0.5f, 1.0f, -2.0f, 0};
    c[2] = {0, -9.81f, 0, 0};
    v.position = {1, 2, 3, 1};
    v.uv = {0.5f, 4.0f, -1.0f, 0};            // velocity
    v.tangent = {0.9f, 0.5f, 0.1f, 0.8f};     // colour and alpha
    v.binormal = {-0.2f, 0.1f, 0.3f, -0.5f};  // their deltas
    v.normal = {3.0f, 1.25f, 0.5f, 0.2f};     // lifetime, age, size, size delta
    const float dt = c[0].x;
    const F4 p = Transform(v.position - c[1], &c[4]);
    for (int nId : {922, 926})
    {
        const VertexBlockOutput output = RunVertex(nId, v, c);
        const std::string strId = std::to_string(nId);
        ExpectNear(Output(output, 0), p, strId + " position");
        ExpectNear(Output(output, 5), v.uv * dt + p, strId + " new position");
        ExpectNear(Output(output, 6), v.uv + c[2] * dt, strId + " new velocity");
        ExpectNear(Output(output, 7), v.tangent + v.binormal * dt, strId + " new colour");
        ExpectNear(Output(output, 8), {3.0f, 1.25f + dt, 0.5f + 0.2f * dt, 0.2f}, strId + " lifetime, age, size");
    }
    // The pixel programs copy the four interpolators to the four targets.
    in.t[0] = {1, 2, 3, 4};
    in.t[1] = {-5, 6, -7, 8};
    in.t[2] = {0.1f, 0.2f, 0.3f, 0.4f};
    in.t[3] = {9, 10, 11, 12};
    for (int nId : {669, 673})
    {
        const std::vector<F4> targets = ShadeTargets(nId, in, c, 4);
        ASSERT_EQ(targets.size(), 4u);
        for (int i = 0; i < 4; ++i)
            ExpectNear(targets[i], in.t[i], std::to_string(nId) + " target " + std::to_string(i));
    }
}

TEST_F(DormantProgramTest, MatrixProductRows)
{
    // A and B one texel each: four rows of A on stages 0-3, four rows of B on stages 4-7.
    const F4 a[4] = {{1, 2, 3, 4}, {0.5f, -1, 0, 2}, {3, 0, -2, 1}, {0, 0, 1, 0}};
    const F4 b[4] = {{2, 0, 1, -1}, {0.25f, 1, 0, 3}, {-1, 2, 0.5f, 0}, {0, 1, 1, 1}};
    for (int i = 0; i < 4; ++i)
    {
        BindTexture((DWORD)i, 1, 1, {a[i]});
        BindTexture((DWORD)(4 + i), 1, 1, {b[i]});
    }
    in.t[0] = {0.5f, 0.5f, 0, 0};
    const std::vector<F4> rows = ShadeTargets(675, in, c, 4);
    ASSERT_EQ(rows.size(), 4u);
    for (int i = 0; i < 4; ++i)
    {
        // (A x B)[i][j] = sum over k of A[i][k] B[k][j].
        const float ai[4] = {a[i].x, a[i].y, a[i].z, a[i].w};
        F4 want{};
        for (int k = 0; k < 4; ++k)
            want = want + b[k] * ai[k];
        ExpectNear(rows[i], want, "row " + std::to_string(i));
    }
    // The quad's vertex program passes position and texture coordinate through.
    v.position = {-1, 1, 0.5f, 1};
    v.uv = {0.25f, 0.75f, 0, 1};
    const VertexBlockOutput output = RunVertex(927, v, c);
    ExpectNear(Output(output, 0), v.position, "oPos");
    ExpectNear(Output(output, 5), v.uv, "t0");
}

TEST_F(DormantProgramTest, TerrainMorph)
{
    const F4 wvp[4] = {{1.2f, 0.1f, 0, 0.5f}, {0, 0.9f, 0.2f, -1}, {0.1f, 0, 1.1f, 2}, {0, 0, 1, 0}};
    for (int i = 0; i < 4; ++i)
        c[4 + i] = wvp[i];
    v.position = {4, 1, -2, 1};
    v.uv = {0.3f, 0.6f, 0, 1};
    v.tangent = {4, 3, -2, 1};   // the fine position
    for (float fMorph : {0.0f, 0.25f, 1.0f})
    {
        c[8] = {fMorph, 0.5f, 0, 1};
        const F4 morphed = Point(v.position + (v.tangent - v.position) * fMorph);
        const VertexBlockOutput output = RunVertex(917, v, c);
        const std::string strCase = "morph " + std::to_string(fMorph);
        ExpectNear(Output(output, 0), Transform(morphed, &c[4]), strCase + " oPos");
        ExpectNear(Output(output, 5), v.uv, strCase + " t0");
        ExpectNear(Output(output, 6), {morphed.x, morphed.y, morphed.z, morphed.y * 0.5f}, strCase + " t1");
    }
}
