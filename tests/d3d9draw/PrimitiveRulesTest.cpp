// Which vertex a FLAT primitive takes its colour from, and which pixels a line lights.
#include "DrawFixture.h"

namespace
{
D3DCOLOR Shade(int n)
{
    return D3DCOLOR_ARGB(255, 20 * (n + 1), 0, 0);
}

struct FlatCase
{
    int x, y;       // a pixel inside the triangle
    int nVertex;    // the vertex whose colour it must show
};

class FlatShadingTest : public DrawTest
{
protected:
    void Check(D3DPRIMITIVETYPE type, const std::vector<ScreenVertex>& vertices, UINT nTriangles,
               const std::vector<FlatCase>& cases)
    {
        m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
        ASSERT_EQ(m_pDevice->DrawPrimitiveUP(type, nTriangles, vertices.data(), sizeof(ScreenVertex)), D3D_OK);
        const auto data = ReadBackBuffer();
        for (const FlatCase& c : cases)
            EXPECT_EQ(Channel(data, c.x, c.y, 0), 20 * (c.nVertex + 1)) << "pixel " << c.x << "," << c.y;
    }
};

// Strip triangle i is drawn from vertices i, i+1, i+2 (every other one turned round) and takes
// vertex i's colour, even and odd triangles alike.
TEST_F(FlatShadingTest, StripTakesEachTrianglesFirstVertex)
{
    std::vector<ScreenVertex> strip;
    for (int i = 0; i < 6; ++i)
        strip.push_back({4.0f * (i / 2), (i & 1) ? 16.0f : 0.0f, 0.5f, 1.0f, Shade(i), 0, 0});
    Check(D3DPT_TRIANGLESTRIP, strip, 4, {{1, 4, 0}, {3, 12, 1}, {5, 4, 2}, {7, 12, 3}});
}

// Fan triangle i is drawn from vertices i+1, i+2 and the hub, and takes vertex i+1's colour.
TEST_F(FlatShadingTest, FanTakesTheVertexAfterTheHub)
{
    const std::vector<ScreenVertex> fan = {{0, 8, 0.5f, 1, Shade(0), 0, 0},   {16, 0, 0.5f, 1, Shade(1), 0, 0},
                                           {16, 5, 0.5f, 1, Shade(2), 0, 0},  {16, 10, 0.5f, 1, Shade(3), 0, 0},
                                           {16, 16, 0.5f, 1, Shade(4), 0, 0}};
    Check(D3DPT_TRIANGLEFAN, fan, 3, {{14, 3, 1}, {14, 7, 2}, {14, 12, 3}});
}

TEST_F(FlatShadingTest, ListTakesFirstVertex)
{
    const std::vector<ScreenVertex> list = {{0, 0, 0.5f, 1, Shade(0), 0, 0}, {16, 0, 0.5f, 1, Shade(1), 0, 0},
                                            {0, 16, 0.5f, 1, Shade(2), 0, 0}, {16, 0, 0.5f, 1, Shade(3), 0, 0},
                                            {16, 16, 0.5f, 1, Shade(4), 0, 0}, {0, 16, 0.5f, 1, Shade(5), 0, 0}};
    Check(D3DPT_TRIANGLELIST, list, 2, {{2, 2, 0}, {13, 13, 3}});
}
}
