// Which vertex a FLAT primitive takes its colour from, and which pixels a line lights.
#include "DrawFixture.h"

#include <algorithm>

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

namespace
{
struct Pixel
{
    int x, y;
    bool operator<(const Pixel& o) const { return y != o.y ? y < o.y : x < o.x; }
    bool operator==(const Pixel& o) const { return x == o.x && y == o.y; }
};

struct LineCase
{
    const char* szName;
    float x0, y0, x1, y1;
    std::vector<Pixel> lit;   // worked out by hand from the diamonds |x − i| + |y − j| < ½
};

// A line lights the pixels whose diamond it leaves: the one its start lies in, then one per
// diagonal crossed along the major axis, never the one its end lies in.
TEST_F(DrawTest, LinesFollowTheDiamondExitRule)
{
    const LineCase cases[] = {
        {"centre to centre", 1, 1, 5, 1, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}},
        {"reversed: the other end is left out", 5, 1, 1, 1, {{2, 1}, {3, 1}, {4, 1}, {5, 1}}},
        {"start and end inside their diamonds", 0.3f, 2, 5.3f, 2, {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}}},
        {"start and end past the centres", 0.6f, 3, 5.6f, 3, {{1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}}},
        {"short, inside one diamond", 2.1f, 4, 2.3f, 4, {}},
        {"short, leaving its diamond", 2.2f, 5, 2.8f, 5, {{2, 5}}},
        {"x-major, slope 1/3", 0, 6, 6, 8, {{0, 6}, {1, 6}, {2, 7}, {3, 7}, {4, 7}, {5, 8}}},
        {"y-major, steep", 2, 1, 3, 6, {{2, 1}, {2, 2}, {2, 3}, {3, 4}, {3, 5}}},
        {"y-major, upwards, ends off centre",
         5,
         14.2f,
         7,
         2.2f,
         {{5, 14}, {5, 13}, {5, 12}, {6, 11}, {6, 10}, {6, 9}, {6, 8}, {6, 7}, {6, 6}, {7, 5}, {7, 4}, {7, 3}}},
        {"long, x-major, leftwards",
         15,
         10,
         0,
         5,
         {{15, 10}, {14, 10}, {13, 9}, {12, 9}, {11, 9}, {10, 8}, {9, 8}, {8, 8}, {7, 7}, {6, 7}, {5, 7}, {4, 6},
          {3, 6}, {2, 6}, {1, 5}}},
    };
    for (const LineCase& c : cases)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        const ScreenVertex line[2] = {{c.x0, c.y0, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {c.x1, c.y1, 0.5f, 1, 0xFFFFFFFF, 0, 0}};
        ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_LINELIST, 1, line, sizeof(ScreenVertex)), D3D_OK);
        const auto data = ReadBackBuffer();
        std::vector<Pixel> lit;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (Channel(data, x, y, 0) != 0)
                    lit.push_back({x, y});
        std::vector<Pixel> expected = c.lit;
        std::sort(expected.begin(), expected.end());
        EXPECT_TRUE(lit == expected) << c.szName << ": " << lit.size() << " pixels lit, " << expected.size()
                                     << " expected";
    }
}

// A strip of lines joined end to start at points inside diamonds lights each joint once: by
// the segment that starts there.
TEST_F(DrawTest, LineStripLightsJointsOnce)
{
    const D3DCOLOR c = D3DCOLOR_ARGB(0, 1, 0, 0);
    const ScreenVertex strip[4] = {{1.2f, 1.1f, 0.5f, 1, c, 0, 0}, {9.1f, 3.2f, 0.5f, 1, c, 0, 0},
                                   {7.1f, 12.2f, 0.5f, 1, c, 0, 0}, {1.2f, 1.1f, 0.5f, 1, c, 0, 0}};
    DWORD nSeparate = 0;
    for (int i = 0; i < 3; ++i)
        nSeparate += CountPixels([&] { m_pDevice->DrawPrimitiveUP(D3DPT_LINELIST, 1, &strip[i], sizeof(ScreenVertex)); });
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    ASSERT_EQ(m_pDevice->DrawPrimitiveUP(D3DPT_LINESTRIP, 3, strip, sizeof(ScreenVertex)), D3D_OK);
    const auto data = ReadBackBuffer();
    DWORD nLit = 0;
    for (UINT y = 0; y < 16; ++y)
        for (UINT x = 0; x < 16; ++x)
        {
            EXPECT_LE(Channel(data, x, y, 0), 1) << x << "," << y;
            nLit += (DWORD)Channel(data, x, y, 0);
        }
    EXPECT_EQ(nLit, nSeparate);
    // The three joints are lit.
    EXPECT_EQ(Channel(data, 1, 1, 0), 1);
    EXPECT_EQ(Channel(data, 9, 3, 0), 1);
    EXPECT_EQ(Channel(data, 7, 12, 0), 1);
}
}
