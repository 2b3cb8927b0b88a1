// Packed DIBs in and out: row padding, bottom-up order, palettes and monochrome DIB sections.
#include "GdiFixture.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{
TEST(Dibs, GetDIBitsPadsRowsToFourBytesAndStartsAtTheBottom)
{
    // 3x2: the top row red, the bottom row green.
    DibCanvas canvas(3, 2, {0xFF0000, 0xFF0000, 0xFF0000, 0x00FF00, 0x00FF00, 0x00FF00});
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    ASSERT_EQ(GetDIBits(canvas.m_hdc, canvas.m_hBitmap, 0, 2, nullptr, &bmi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bmi.bmiHeader.biWidth, 3);
    EXPECT_EQ(bmi.bmiHeader.biHeight, 2);
    bmi.bmiHeader.biBitCount = 24;
    bmi.bmiHeader.biCompression = BI_RGB;
    ASSERT_EQ(GetDIBits(canvas.m_hdc, canvas.m_hBitmap, 0, 2, nullptr, &bmi, DIB_RGB_COLORS), 2);
    EXPECT_EQ(bmi.bmiHeader.biSizeImage, 24u);   // 9 bytes a row, padded to 12
    BYTE out[24];
    std::memset(out, 0xCC, sizeof(out));
    ASSERT_EQ(GetDIBits(canvas.m_hdc, canvas.m_hBitmap, 0, 2, out, &bmi, DIB_RGB_COLORS), 2);
    const BYTE expected[24] = {0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0,     // bottom row: green
                               0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0};  // top row: red
    EXPECT_EQ(std::memcmp(out, expected, sizeof(out)), 0);
}

TEST(Dibs, ThirtyTwoBitCopiesKeepAlphaAndDrawingClearsIt)
{
    // A 32-bit section's alpha reaches GetDIBits and a SRCCOPY into another 32-bit section; a
    // drawing call writes alpha 0, as on the platform whose names the layer uses.
    DibCanvas source(3, 1, {0x80112233, 0xFF445566, 0x00778899});
    BITMAPINFO bmi{};
    bmi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, -1, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    uint32_t out[3] = {};
    ASSERT_EQ(GetDIBits(source.m_hdc, source.m_hBitmap, 0, 1, out, &bmi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(out[0], 0x80112233u);
    EXPECT_EQ(out[1], 0xFF445566u);
    EXPECT_EQ(out[2], 0x00778899u);

    DibCanvas copy(3, 1);
    BitBlt(copy.m_hdc, 0, 0, 3, 1, source.m_hdc, 0, 0, SRCCOPY);
    EXPECT_EQ(copy.m_pBits[0], 0x80112233u);
    EXPECT_EQ(copy.m_pBits[1], 0xFF445566u);
    // Any other raster operation is drawing.
    BitBlt(copy.m_hdc, 0, 0, 1, 1, source.m_hdc, 0, 0, SRCPAINT);
    EXPECT_EQ(copy.m_pBits[0], 0x00112233u);
    SetPixel(copy.m_hdc, 1, 0, RGB(1, 2, 3));
    EXPECT_EQ(copy.m_pBits[1], 0x00010203u);

    // SetDIBits of 32-bit rows into a 32-bit section keeps their alpha too.
    const uint32_t rows[3] = {0x40ABCDEF, 0x00000000, 0xC0010101};
    ASSERT_EQ(SetDIBits(copy.m_hdc, copy.m_hBitmap, 0, 1, rows, &bmi, DIB_RGB_COLORS), 1);
    EXPECT_EQ(copy.m_pBits[0], 0x40ABCDEFu);
    EXPECT_EQ(copy.m_pBits[2], 0xC0010101u);
}

TEST(Dibs, EightBitDibDrawsThroughItsPalette)
{
    // 4x2 bottom-up 8-bpp DIB: indices 0-3 in the bottom row, 3-0 in the top row.
    struct
    {
        BITMAPINFOHEADER h;
        RGBQUAD colors[4];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = 4;
    info.h.biHeight = 2;
    info.h.biPlanes = 1;
    info.h.biBitCount = 8;
    info.h.biCompression = BI_RGB;
    info.h.biClrUsed = 4;
    info.colors[0] = RGBQUAD{0x10, 0x20, 0x30, 0};
    info.colors[1] = RGBQUAD{0x40, 0x50, 0x60, 0};
    info.colors[2] = RGBQUAD{0x70, 0x80, 0x90, 0};
    info.colors[3] = RGBQUAD{0xA0, 0xB0, 0xC0, 0};
    const BYTE bits[8] = {0, 1, 2, 3, 3, 2, 1, 0};
    const auto* pInfo = reinterpret_cast<const BITMAPINFO*>(&info);
    DibCanvas canvas(4, 2);
    ASSERT_EQ(SetDIBitsToDevice(canvas.m_hdc, 0, 0, 4, 2, 0, 0, 0, 2, bits, pInfo, DIB_RGB_COLORS), 2);
    const std::vector<uint32_t> expected = {0xC0B0A0, 0x908070, 0x605040, 0x302010,
                                            0x302010, 0x605040, 0x908070, 0xC0B0A0};
    EXPECT_EQ(canvas.Pixels(), expected);
    // StretchDIBits counts the source y from the bottom of a bottom-up DIB: row 0 is the
    // bottom row, doubled across the canvas.
    DibCanvas stretched(4, 2);
    ASSERT_NE(StretchDIBits(stretched.m_hdc, 0, 0, 4, 2, 0, 0, 4, 1, bits, pInfo, DIB_RGB_COLORS, SRCCOPY), 0);
    EXPECT_EQ(stretched.At(0, 0), 0x302010u);
    EXPECT_EQ(stretched.At(3, 1), 0xC0B0A0u);
}

TEST(Dibs, MonochromeDibSectionReadsBlackAndWhite)
{
    struct
    {
        BITMAPINFOHEADER h;
        RGBQUAD colors[2];
    } info{};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = 8;
    info.h.biHeight = -1;
    info.h.biPlanes = 1;
    info.h.biBitCount = 1;
    // Whatever the colour table says, 0 is black and 1 is white.
    info.colors[0] = RGBQUAD{0, 0, 255, 0};
    info.colors[1] = RGBQUAD{0, 255, 0, 0};
    void* pBits = nullptr;
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hbm = CreateDIBSection(hdc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pBits, nullptr, 0);
    ASSERT_NE(hbm, nullptr);
    static_cast<BYTE*>(pBits)[0] = 0x81;
    SelectObject(hdc, hbm);
    EXPECT_EQ(GetPixel(hdc, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(hdc, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(hdc, 7, 0), RGB(255, 255, 255));
    RGBQUAD table[2]{};
    EXPECT_EQ(GetDIBColorTable(hdc, 0, 2, table), 2u);
    EXPECT_EQ(table[1].rgbGreen, 255);
    DeleteDC(hdc);
    DeleteObject(hbm);
}

TEST(Dibs, RefusesFormatsItCannotRead)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = 4;
    bmi.bmiHeader.biHeight = 4;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 16;
    void* pBits = nullptr;
    EXPECT_EQ(CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0), nullptr);
    EXPECT_EQ(pBits, nullptr);
    bmi.bmiHeader.biBitCount = 8;
    bmi.bmiHeader.biCompression = BI_RLE8;
    const BYTE bits[16] = {};
    DibCanvas canvas(4, 4);
    EXPECT_EQ(StretchDIBits(canvas.m_hdc, 0, 0, 4, 4, 0, 0, 4, 4, bits, &bmi, DIB_RGB_COLORS, SRCCOPY), 0);
}
}
