// The shadow-map programs against their formulas: the distance vertex program (901), the clip
// depth vertex program (916) and the pixel program that stores (value, object id, diffuse
// alpha, 1) (602).
#include "ProgramFixture.h"

#include <cmath>
#include <string>

namespace
{
F4 Output(const VertexBlockOutput& output, int nIndex)
{
    const std::vector<float>& v = output.outputs[nIndex];
    return {v[0], v[1], v[2], v[3]};
}


void ExpectNear(F4 got, F4 want, const std::string& strWhat)
{
    const float g[4] = {got.x, got.y, got.z, got.w}, w[4] = {want.x, want.y, want.z, want.w};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(g[k], w[k], 1e-5f * std::fmax(1.0f, std::fabs(w[k]))) << strWhat << ", component " << k;
}

class ShadowMapProgramTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        const F4 wvp[4] = {{1.2f, 0.1f, 0, 0.5f}, {0, 0.9f, 0.2f, -1}, {0.1f, 0, 1.1f, 2}, {0, 0, 1, 0}};
        const F4 world[4] = {{1, 0, 0, 3}, {0, 0, -1, 1}, {0, 1, 0, -2}, {0, 0, 0, 1}};
        for (int i = 0; i < 4; ++i)
        {
            c[4 + i] = wvp[i];
            c[8 + i] = world[i];
        }
        c[2] = {1, 1, 1.0f / 65535.0f, 1};
        c[3] = {4, 6, -3, 1};
        c[14] = {0.5f, -1.0f, 2.0f, 0};
        c[15] = {2, 3, 4, 5};
        v.position = {1.5f, 2.0f, -0.5f, 1};
        v.uv = {0.25f, 0.75f, 0, 1};
    }

    Constants c{};
    MeshVertexInputs v;
};
}

TEST_F(ShadowMapProgramTest, DistanceVertexProgram)
{
    VertexBlockOutput output = RunVertex(901, v, c);
    const F4 p = v.position - c[14];
    const F4 p1{p.x, p.y, p.z, 1};
    ExpectNear(Output(output, 0), Transform(p1, &c[4]), "oPos");
    const F4 world = Transform(p1, &c[8]);
    const float d = std::sqrt((world.x - c[3].x) * (world.x - c[3].x) + (world.y - c[3].y) * (world.y - c[3].y) +
                              (world.z - c[3].z) * (world.z - c[3].z));
    ExpectNear(Output(output, 5), {d, d, d * c[2].z, d}, "t0");
    ExpectNear(Output(output, 6), {v.uv.x * c[15].x, v.uv.y * c[15].y, v.uv.y * c[15].z, v.uv.x * c[15].w}, "t1");
}

TEST_F(ShadowMapProgramTest, ClipDepthVertexProgram)
{
    VertexBlockOutput output = RunVertex(916, v, c);
    const F4 p = v.position - c[14];
    const F4 clip = Transform({p.x, p.y, p.z, 1}, &c[4]);
    ExpectNear(Output(output, 0), clip, "oPos");
    ExpectNear(Output(output, 5), clip * c[2], "t0");
}

TEST_F(ShadowMapProgramTest, PixelProgramStoresValueObjectIdAndDiffuseAlpha)
{
    BindTexture(0, 2, 1, {{0.1f, 0.2f, 0.3f, 0.25f}, {0.4f, 0.5f, 0.6f, 0.75f}});
    c[1] = {0, 7.0f / 65535.0f, 0, 1};
    ProgramInputs in;
    for (float u : {0.25f, 0.75f})
    {
        in.t[0] = {3.0f, 4.0f, 0.125f, 9.0f};
        in.t[1] = {u, 0.5f, 0, 0};
        const F4 shaded = Shade(602, in, c);
        ExpectNear(shaded, {0.125f, 7.0f / 65535.0f, u < 0.5f ? 0.25f : 0.75f, 1}, "u " + std::to_string(u));
    }
}
