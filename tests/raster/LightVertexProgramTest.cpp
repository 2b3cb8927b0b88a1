// The light vertex programs against their formulas: transforms, tangent-space vectors, the
// reflection that leaves the mesh's sphere, refraction at eta 1 and past total internal
// reflection, and the directional and flat forms.
#include "ProgramFixture.h"

namespace
{
class LightVertexProgramTest : public ProgramTest
{
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        // World: a quarter turn about y, then moved to (1, 2, 3); the view-projection a made-up
        // but invertible matrix. Registers hold the transposed matrices.
        c[0] = {0, 0.5f, 1, 2};
        c[1] = {1.0f / 65535.0f, 0.5f, 9.0f, 1};   // sphere radius 3
        c[2] = {4, 5, -6, 1};
        c[3] = {-2, 6, 1, 1};
        c[4] = {1.2f, 0.1f, 0, 0.3f};
        c[5] = {0, 1.5f, 0.2f, -0.1f};
        c[6] = {0.1f, 0, 1.0f, 0.5f};
        c[7] = {0, 0.1f, 1.0f, 1.0f};
        c[8] = {0, 0, -1, 1};
        c[9] = {0, 1, 0, 2};
        c[10] = {1, 0, 0, 3};
        c[11] = {0, 0, 0, 1};
        c[12] = {1.2f, 2.1f, 2.9f, 1};
        c[13] = {0.1f, 1, 0, 1};
        c[14] = {0.5f, -0.5f, 0.25f, 0};
        c[15] = {2, 3, 4, 5};
        c[16] = {0.5f, 0.25f, 1, 1};
        c[17] = {0.9f, 0, 0, 1};
        for (int i = 0; i < 4; ++i)
        {
            c[20 + i] = c[4 + i] * 0.5f;
            c[25 + i] = {i == 0 ? 0.5f : 0, i == 1 ? -0.5f : 0, i == 2 ? 1.0f : 0.0f, i == 3 ? 1.0f : 0.25f};
        }
        v.position = {1.0f, 0.2f, -0.4f, 1};
        v.uv = {0.3f, 0.7f, 0, 1};
        v.tangent = Unit(1, 0.1f, 0);
        v.binormal = Unit(-0.1f, 1, 0.05f);
        v.normal = Unit(0.05f, -0.02f, 1);
    }

    static F4 Unit(float x, float y, float z)
    {
        F4 u = Normalize3({x, y, z, 0});
        u.w = 1;
        return u;
    }

    static F4 Output(const VertexBlockOutput& output, int nIndex)
    {
        const std::vector<float>& o = output.outputs[nIndex];
        return o.size() < 4 ? F4{} : F4{o[0], o[1], o[2], o[3]};
    }

    // Every listed output against the formula, 1e-5 relative.
    void Compare(int nResourceId, const VertexResult& expected, std::initializer_list<int> interpolators,
                 const char* szCase)
    {
        VertexBlockOutput output = RunVertex(nResourceId, v, c);
        auto near = [&](F4 got, F4 want, const char* szWhat) {
            const float g[4] = {got.x, got.y, got.z, got.w}, w[4] = {want.x, want.y, want.z, want.w};
            for (int k = 0; k < 4; ++k)
                EXPECT_NEAR(g[k], w[k], 1e-5f * std::max(1.0f, std::fabs(w[k])))
                    << "program " << nResourceId << ", " << szCase << ", " << szWhat << " component " << k;
        };
        near(Output(output, 0), expected.position, "oPos");
        for (int n : interpolators)
        {
            std::string strName = "t" + std::to_string(n);
            EXPECT_TRUE(output.nWrittenMask & (1u << (5 + n))) << strName << " written";
            near(Output(output, 5 + n), expected.t[n], strName.c_str());
        }
    }

    Constants c{};
    MeshVertexInputs v;
};
}

TEST_F(LightVertexProgramTest, DepthProgramPlacesTheCentredVertex)
{
    VertexBlockOutput output = RunVertex(908, v, c);
    F4 expected = Transform(v.position - c[0], &c[4]);
    F4 got = Output(output, 0);
    EXPECT_NEAR(got.x, expected.x, 1e-5f);
    EXPECT_NEAR(got.y, expected.y, 1e-5f);
    EXPECT_NEAR(got.z, expected.z, 1e-5f);
    EXPECT_NEAR(got.w, expected.w, 1e-5f);
}

TEST_F(LightVertexProgramTest, PointLightVertexAndItsReflectionLeavingTheSphere)
{
    Compare(900, PointLightVertex(v, c), {0, 1, 2, 3, 4, 5, 6, 7}, "inside the sphere");
    // The reflected ray from the world position along t2's line ends on the sphere of radius 3
    // around c12: centre + 3 t2 is that exit point, and it lies on the reflected ray.
    VertexBlockOutput output = RunVertex(900, v, c);
    F4 t2 = Output(output, 7);
    F4 world = Transform(v.position - c[14], &c[8]);
    F4 Vn = Normalize3(c[2] - world);
    F4 normalPoint{v.normal.x, v.normal.y, v.normal.z, 1};
    F4 n = Normalize3(Transform(normalPoint, &c[8]) - c[12]);
    F4 R = Normalize3(n * (2.0f * Dot3(n, Vn)) - Vn);
    F4 exit = c[12] + t2 * 3.0f - world;
    F4 along = R * Dot3(exit, R);
    EXPECT_GT(Dot3(exit, R), 0.0f);
    EXPECT_NEAR(Length3(exit - along), 0.0f, 1e-4f);
    // At the light itself the distance is 0 and the light vector has no direction.
    c[3] = Transform(v.position - c[14], &c[8]);
    VertexBlockOutput atLight = RunVertex(900, v, c);
    EXPECT_EQ(Output(atLight, 5 + 4).y, 0.0f);
    EXPECT_EQ(Output(atLight, 5 + 4).x, 0.0f);
    // A sphere the point lies outside: both roots count where positive.
    c[1].z = 0.01f;
    Compare(900, PointLightVertex(v, c), {2}, "outside the sphere");
}

TEST_F(LightVertexProgramTest, FlatFormWritesTheClipPosition)
{
    VertexResult expected = FlatPointLightVertex(v, c);
    Compare(910, expected, {0, 1, 2, 3, 4, 5, 6, 7}, "flat");
}

TEST_F(LightVertexProgramTest, RefractionAtEtaOneAndPastTotalInternalReflection)
{
    c[2] = {-2, 9, 9, 1};   // in front of the face (which looks along -x), at a slant
    c[17].x = 1.0f;
    VertexResult straight = RefractionVertex(v, c);
    Compare(913, straight, {0, 1, 2, 3, 4, 6, 7}, "eta 1");
    VertexBlockOutput output = RunVertex(913, v, c);
    // Seen from the front, eta 1 goes straight on: t5 = -Vn.
    F4 world = Transform(v.position - c[14], &c[8]);
    F4 Vn = Normalize3(c[2] - world);
    F4 t5 = Output(output, 5 + 5);
    F4 normalPoint{v.normal.x, v.normal.y, v.normal.z, 1};
    if (Dot3(Vn, Normalize3(Transform(normalPoint, &c[8]) - c[12])) >= 0.0f)
    {
        EXPECT_NEAR(t5.x, -Vn.x, 1e-5f);
        EXPECT_NEAR(t5.y, -Vn.y, 1e-5f);
        EXPECT_NEAR(t5.z, -Vn.z, 1e-5f);
    }
    else
    {
        ADD_FAILURE() << "the case must face the eye";
    }
    // Past the critical angle k = 1 - eta^2 (1 - c^2) is negative.
    c[17].x = 1.9f;
    float cosine = Dot3(Vn, Normalize3(Transform(normalPoint, &c[8]) - c[12]));
    EXPECT_LT(1.0f - 3.61f * (1.0f - cosine * cosine), 0.0f);
    VertexResult internal = RefractionVertex(v, c);
    Compare(913, internal, {5}, "eta 1.9");
}

TEST_F(LightVertexProgramTest, DirectionalForms)
{
    c[3] = {0.3f, -0.8f, 0.5f, 0};
    Compare(914, DirectionalVertex(v, c), {0, 1, 2, 3, 4, 5, 6, 7}, "directional");
    // The flat form also writes the shadow-map position and the gloss coordinates.
    Compare(915, FlatDirectionalVertex(v, c), {0, 1, 2, 3, 4, 5, 6, 7}, "flat directional");
}

TEST_F(LightVertexProgramTest, LayerVertexWritesTheTransposedFrame)
{
    c[0] = {0.5f, -0.5f, 0.25f, 0};
    Compare(907, LayerVertex(v, c), {0, 1, 2, 3, 4, 5}, "layer");
}
