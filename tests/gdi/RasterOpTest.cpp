// Raster operations on tiny bitmaps with the expected bytes written out by hand.
#include "GdiFixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
struct RopCase
{
    const char* m_szName;
    DWORD m_nRop;
    std::vector<uint32_t> m_Expected;
};

// Source, destination and brush pixels in BGRX form (0x00RRGGBB).
const std::vector<uint32_t> kSource = {0x00FF00FF, 0x0000FF00, 0x00123456, 0x00000000};
const std::vector<uint32_t> kDest = {0x000F0F0F, 0x00F0F0F0, 0x00FFFFFF, 0x00808080};
const COLORREF kBrush = RGB(0x11, 0x22, 0x33);   // pixel 0x00112233

const RopCase kRopCases[] = {
    {"SRCCOPY", SRCCOPY, {0x00FF00FF, 0x0000FF00, 0x00123456, 0x00000000}},
    {"SRCAND", SRCAND, {0x000F000F, 0x0000F000, 0x00123456, 0x00000000}},
    {"SRCPAINT", SRCPAINT, {0x00FF0FFF, 0x00F0FFF0, 0x00FFFFFF, 0x00808080}},
    {"SRCINVERT", SRCINVERT, {0x00F00FF0, 0x00F00FF0, 0x00EDCBA9, 0x00808080}},
    {"NOTSRCCOPY", NOTSRCCOPY, {0x0000FF00, 0x00FF00FF, 0x00EDCBA9, 0x00FFFFFF}},
    {"DSTINVERT", DSTINVERT, {0x00F0F0F0, 0x000F0F0F, 0x00000000, 0x007F7F7F}},
    {"PATCOPY", PATCOPY, {0x00112233, 0x00112233, 0x00112233, 0x00112233}},
    {"PATINVERT", PATINVERT, {0x001E2D3C, 0x00E1D2C3, 0x00EEDDCC, 0x0091A2B3}},
    {"MERGECOPY", MERGECOPY, {0x00110033, 0x00002200, 0x00102012, 0x00000000}},
    {"BLACKNESS", BLACKNESS, {0, 0, 0, 0}},
    {"WHITENESS", WHITENESS, {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF}},
    // Destination where the source is 1, brush where it is 0: (S & D) | (~S & P).
    {"PSDPxax", 0x00B8074A, {0x000F220F, 0x0011F033, 0x00133677, 0x00112233}},
};

TEST(RasterOps, TruthTableOn2x2Bitmaps)
{
    for (const RopCase& c : kRopCases)
    {
        SCOPED_TRACE(c.m_szName);
        DibCanvas src(2, 2, kSource);
        DibCanvas dst(2, 2, kDest);
        HBRUSH hBrush = CreateSolidBrush(kBrush);
        HGDIOBJ hOld = SelectObject(dst.m_hdc, hBrush);
        ASSERT_TRUE(BitBlt(dst.m_hdc, 0, 0, 2, 2, src.m_hdc, 0, 0, c.m_nRop));
        EXPECT_EQ(dst.Pixels(), c.m_Expected);
        SelectObject(dst.m_hdc, hOld);
        EXPECT_TRUE(DeleteObject(hBrush));
    }
}

TEST(RasterOps, MonochromeToColourUsesDestinationTextAndBackground)
{
    // 4x1 monochrome: bits 1010 (rows padded to 16 bits).
    const BYTE bits[2] = {0xA0, 0x00};
    HBITMAP hMono = CreateBitmap(4, 1, 1, 1, bits);
    HDC hMonoDc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hMonoDc, hMono);
    DibCanvas dst(4, 1);
    SetTextColor(dst.m_hdc, RGB(255, 0, 0));   // 0 bits
    SetBkColor(dst.m_hdc, RGB(0, 0, 255));     // 1 bits
    ASSERT_TRUE(BitBlt(dst.m_hdc, 0, 0, 4, 1, hMonoDc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>{0x000000FF, 0x00FF0000, 0x000000FF, 0x00FF0000}));
    SelectObject(hMonoDc, hOld);
    DeleteDC(hMonoDc);
    DeleteObject(hMono);
}

TEST(RasterOps, ColourToMonochromeMarksTheSourceBackground)
{
    DibCanvas src(4, 1, {0x00FFFFFF, 0x00FF0000, 0x00010203, 0x00FF0000});
    SetBkColor(src.m_hdc, RGB(255, 0, 0));   // red pixels become 1
    HBITMAP hMono = CreateBitmap(4, 1, 1, 1, nullptr);
    HDC hMonoDc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hMonoDc, hMono);
    ASSERT_TRUE(BitBlt(hMonoDc, 0, 0, 4, 1, src.m_hdc, 0, 0, SRCCOPY));
    BYTE out[2] = {0xFF, 0xFF};
    EXPECT_EQ(GetBitmapBits(hMono, sizeof(out), out), 2);
    EXPECT_EQ(out[0] & 0xF0, 0x50);   // 0101
    SelectObject(hMonoDc, hOld);
    DeleteDC(hMonoDc);
    DeleteObject(hMono);
}

TEST(RasterOps, CompatibleBitmapOfAFreshMemoryDcIsMonochrome)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hbm = CreateCompatibleBitmap(hdc, 8, 8);
    BITMAP bm{};
    ASSERT_EQ(GetObject(hbm, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DibCanvas colour(2, 2);
    HBITMAP hColour = CreateCompatibleBitmap(colour.m_hdc, 8, 8);
    ASSERT_EQ(GetObject(hColour, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 32);
    DeleteObject(hbm);
    DeleteObject(hColour);
    DeleteDC(hdc);
}

TEST(RasterOps, PatternBrushAlignsToTheDcOrigin)
{
    // 8x8 checkerboard, most significant bit first: rows 0xAA, 0x55, ... (16-bit padded rows).
    BYTE bits[16];
    for (int y = 0; y < 8; ++y)
    {
        bits[y * 2] = (y % 2) ? 0x55 : 0xAA;
        bits[y * 2 + 1] = 0;
    }
    HBITMAP hPattern = CreateBitmap(8, 8, 1, 1, bits);
    HBRUSH hBrush = CreatePatternBrush(hPattern);
    DeleteObject(hPattern);   // the brush keeps its own copy
    DibCanvas dst(8, 8);
    SelectObject(dst.m_hdc, hBrush);
    SetTextColor(dst.m_hdc, RGB(0, 0, 0));
    SetBkColor(dst.m_hdc, RGB(255, 255, 255));
    // Two fills that start at different points still share one alignment.
    ASSERT_TRUE(PatBlt(dst.m_hdc, 0, 0, 3, 8, PATCOPY));
    ASSERT_TRUE(PatBlt(dst.m_hdc, 3, 0, 5, 8, PATCOPY));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(dst.At(x, y), ((x + y) % 2 == 0) ? 0xFFFFFFu : 0u) << x << "," << y;
    SelectObject(dst.m_hdc, GetStockObject(WHITE_BRUSH));
    DeleteObject(hBrush);
}

TEST(RasterOps, StretchUsesTheNearestPixelAndNegativeWidthMirrors)
{
    DibCanvas src(2, 1, {0x00000001, 0x00000002});
    DibCanvas dst(4, 1);
    ASSERT_TRUE(StretchBlt(dst.m_hdc, 0, 0, 4, 1, src.m_hdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>{1, 1, 2, 2}));
    ASSERT_TRUE(StretchBlt(dst.m_hdc, 3, 0, -4, 1, src.m_hdc, 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(dst.Pixels(), (std::vector<uint32_t>{2, 2, 1, 1}));
}

TEST(RasterOps, OverlappingBlitWithinOneBitmapReadsTheOriginal)
{
    DibCanvas c(4, 1, {1, 2, 3, 4});
    ASSERT_TRUE(BitBlt(c.m_hdc, 1, 0, 3, 1, c.m_hdc, 0, 0, SRCCOPY));
    EXPECT_EQ(c.Pixels(), (std::vector<uint32_t>{1, 1, 2, 3}));
}

TEST(GdiHandles, StaleHandlesFailAndDoubleDeleteIsHarmless)
{
    HBRUSH hBrush = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_TRUE(DeleteObject(hBrush));
    EXPECT_FALSE(DeleteObject(hBrush));
    HDC hdc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SelectObject(hdc, hBrush), nullptr);
    // A new object may reuse the slot, never the handle.
    HBRUSH hOther = CreateSolidBrush(RGB(4, 5, 6));
    EXPECT_NE(hOther, hBrush);
    // Stock objects survive DeleteObject.
    DeleteObject(GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetObjectType(GetStockObject(WHITE_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(hOther);
    EXPECT_TRUE(DeleteDC(hdc));
    EXPECT_FALSE(DeleteDC(hdc));
    EXPECT_EQ(SetTextColor(hdc, 0), CLR_INVALID);
}

TEST(GdiHandles, ABrushDeletedWhileSelectedKeepsDrawing)
{
    DibCanvas dst(1, 1);
    HBRUSH hBrush = CreateSolidBrush(RGB(0, 0, 0x40));
    SelectObject(dst.m_hdc, hBrush);
    EXPECT_TRUE(DeleteObject(hBrush));
    ASSERT_TRUE(PatBlt(dst.m_hdc, 0, 0, 1, 1, PATCOPY));
    EXPECT_EQ(dst.At(0, 0), 0x00000040u);
}
}
