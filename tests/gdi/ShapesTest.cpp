// Lines, frames and edges on 8x8 bitmaps.
#include "GdiFixture.h"

#include <gtest/gtest.h>

namespace
{
constexpr uint32_t W = 0xFFFFFF;
constexpr uint32_t K = 0x000000;

std::vector<uint32_t> White(int n) { return std::vector<uint32_t>(static_cast<size_t>(n), W); }

// A picture with distinct pixels, so XOR drawing has something to disturb.
std::vector<uint32_t> Gradient(int cx, int cy)
{
    std::vector<uint32_t> v;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            v.push_back(static_cast<uint32_t>((x * 29) << 16 | (y * 31) << 8 | (x * y * 3)));
    return v;
}

TEST(Lines, LineToLeavesOutItsEndPoint)
{
    struct Case
    {
        POINT a, b;
        std::vector<POINT> lit;
        POINT unlit;
    };
    const Case cases[] = {
        {{1, 1}, {5, 1}, {{1, 1}, {2, 1}, {3, 1}, {4, 1}}, {5, 1}},
        {{6, 6}, {6, 2}, {{6, 6}, {6, 5}, {6, 4}, {6, 3}}, {6, 2}},
        {{1, 1}, {4, 4}, {{1, 1}, {2, 2}, {3, 3}}, {4, 4}},
    };
    for (const Case& c : cases)
    {
        DibCanvas canvas(8, 8, White(64));
        MoveToEx(canvas.m_hdc, c.a.x, c.a.y, nullptr);
        ASSERT_TRUE(LineTo(canvas.m_hdc, c.b.x, c.b.y));
        int nBlack = 0;
        for (uint32_t v : canvas.Pixels())
            nBlack += v == K;
        EXPECT_EQ(nBlack, static_cast<int>(c.lit.size()));
        for (POINT p : c.lit)
            EXPECT_EQ(canvas.At(p.x, p.y), K) << p.x << "," << p.y;
        EXPECT_EQ(canvas.At(c.unlit.x, c.unlit.y), W);
        // The current position moves to the end point.
        POINT pt{};
        MoveToEx(canvas.m_hdc, 0, 0, &pt);
        EXPECT_EQ(pt.x, c.b.x);
        EXPECT_EQ(pt.y, c.b.y);
    }
}

TEST(Lines, XorPenDrawnTwiceRestoresThePixels)
{
    DibCanvas canvas(8, 8, Gradient(8, 8));
    const std::vector<uint32_t> before = canvas.Pixels();
    HPEN hPen = CreatePen(PS_SOLID, 1, RGB(0x5A, 0xA5, 0x3C));
    SelectObject(canvas.m_hdc, hPen);
    SelectObject(canvas.m_hdc, GetStockObject(NULL_BRUSH));
    SetROP2(canvas.m_hdc, R2_XORPEN);
    auto draw = [&] {
        MoveToEx(canvas.m_hdc, 0, 7, nullptr);
        LineTo(canvas.m_hdc, 7, 0);
        LineTo(canvas.m_hdc, 7, 7);
        Rectangle(canvas.m_hdc, 1, 1, 6, 5);
    };
    draw();
    EXPECT_NE(canvas.Pixels(), before);
    // One XOR: the pen colour is folded in exactly.
    EXPECT_EQ(canvas.At(0, 7), before[7 * 8 + 0] ^ 0x5AA53Cu);
    draw();
    EXPECT_EQ(canvas.Pixels(), before);
    SelectObject(canvas.m_hdc, GetStockObject(BLACK_PEN));
    DeleteObject(hPen);
}

TEST(Shapes, RectangleExcludesRightAndBottomEdges)
{
    DibCanvas canvas(8, 8, White(64));
    SelectObject(canvas.m_hdc, GetStockObject(BLACK_BRUSH));
    ASSERT_TRUE(Rectangle(canvas.m_hdc, 2, 2, 5, 4));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(canvas.At(x, y), (x >= 2 && x < 5 && y >= 2 && y < 4) ? K : W) << x << "," << y;
}

TEST(Shapes, FillRectAndFrameRectWithSystemColourBrushes)
{
    DibCanvas canvas(4, 4, White(16));
    RECT rc{0, 0, 4, 4};
    // A brush handle may be a system colour index plus one.
    ASSERT_TRUE(FillRect(canvas.m_hdc, &rc, reinterpret_cast<HBRUSH>(COLOR_3DFACE + 1)));
    EXPECT_EQ(canvas.At(3, 3), 0x00D4D0C8u);   // (212, 208, 200)
    ASSERT_TRUE(FrameRect(canvas.m_hdc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));
    const std::vector<uint32_t> expected = {K, K, K, K, K, 0xD4D0C8, 0xD4D0C8, K, K, 0xD4D0C8, 0xD4D0C8, K, K, K, K, K};
    EXPECT_EQ(canvas.Pixels(), expected);
}

TEST(Shapes, Draw3dRectGivesBothSharedCornersToTheBottomRightColour)
{
    constexpr uint32_t T = 0x00FF0000;   // top-left colour RGB(255, 0, 0)
    constexpr uint32_t B = 0x000000FF;   // bottom-right colour RGB(0, 0, 255)
    DibCanvas canvas(4, 4, White(16));
    win32::Draw3dRect(canvas.m_hdc, 0, 0, 4, 4, RGB(255, 0, 0), RGB(0, 0, 255));
    const std::vector<uint32_t> expected = {T, T, T, B,
                                            T, W, W, B,
                                            T, W, W, B,
                                            B, B, B, B};
    EXPECT_EQ(canvas.Pixels(), expected);
}

TEST(Shapes, DrawEdgeColoursItsBorders)
{
    constexpr uint32_t H = 0xFFFFFF;   // 3D highlight
    constexpr uint32_t S = 0x808080;   // 3D shadow
    constexpr uint32_t F = 0x123456;   // untouched
    struct Case
    {
        UINT m_nEdge;
        std::vector<uint32_t> m_Expected;
    };
    const Case cases[] = {
        {BDR_RAISEDINNER, {H, H, H, S, H, F, F, S, H, F, F, S, S, S, S, S}},
        {BDR_SUNKENOUTER, {S, S, S, H, S, F, F, H, S, F, F, H, H, H, H, H}},
    };
    for (const Case& c : cases)
    {
        DibCanvas canvas(4, 4, std::vector<uint32_t>(16, F));
        RECT rc{0, 0, 4, 4};
        ASSERT_TRUE(DrawEdge(canvas.m_hdc, &rc, c.m_nEdge, BF_RECT | BF_ADJUST));
        EXPECT_EQ(canvas.Pixels(), c.m_Expected);
        EXPECT_EQ(rc.left, 1);
        EXPECT_EQ(rc.bottom, 3);
    }
}

TEST(Shapes, DrawFocusRectInvertsADottedFrameAndTwiceRestores)
{
    DibCanvas canvas(8, 8, Gradient(8, 8));
    const std::vector<uint32_t> before = canvas.Pixels();
    RECT rc{1, 1, 7, 6};
    ASSERT_TRUE(DrawFocusRect(canvas.m_hdc, &rc));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
        {
            bool bFrame = x >= 1 && x < 7 && y >= 1 && y < 6 && (x == 1 || x == 6 || y == 1 || y == 5);
            bool bDot = bFrame && (x + y) % 2 == 0;
            uint32_t nWas = before[static_cast<size_t>(y) * 8 + x];
            EXPECT_EQ(canvas.At(x, y), bDot ? (nWas ^ 0xFFFFFF) : nWas) << x << "," << y;
        }
    ASSERT_TRUE(DrawFocusRect(canvas.m_hdc, &rc));
    EXPECT_EQ(canvas.Pixels(), before);
}

TEST(Regions, ARectangleRegionClipsDrawing)
{
    const RECT rcRegion{1, 1, 3, 3};
    HRGN hRgn = CreateRectRgnIndirect(&rcRegion);
    EXPECT_TRUE(PtInRegion(hRgn, 1, 1));
    EXPECT_FALSE(PtInRegion(hRgn, 3, 1));
    RECT box{};
    EXPECT_EQ(GetRgnBox(hRgn, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 3);
    DibCanvas canvas(4, 4, White(16));
    EXPECT_EQ(SelectClipRgn(canvas.m_hdc, hRgn), SIMPLEREGION);
    const RECT rcAll{0, 0, 4, 4};
    FillRect(canvas.m_hdc, &rcAll, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const std::vector<uint32_t> expected = {W, W, W, W, W, K, K, W, W, K, K, W, W, W, W, W};
    EXPECT_EQ(canvas.Pixels(), expected);
    SelectClipRgn(canvas.m_hdc, nullptr);
    EXPECT_EQ(GetClipBox(canvas.m_hdc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 4);
    EXPECT_EQ(box.bottom, 4);
    DeleteObject(hRgn);
}
}
