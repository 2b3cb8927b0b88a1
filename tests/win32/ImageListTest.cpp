#include "WindowTestKit.h"

#include <win32/commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
// A top-down DIB section of 24 or 32 bits per pixel with the given colours (0xAARRGGBB).
HBITMAP MakeBitmap(int cx, int cy, int nBits, const std::vector<uint32_t>& pixels)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = static_cast<WORD>(nBits);
    bmi.bmiHeader.biCompression = BI_RGB;
    void* pvBits = nullptr;
    HBITMAP hbm = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
    if (!hbm)
        return nullptr;
    int nStride = (cx * nBits / 8 + 3) & ~3;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
        {
            uint32_t v = pixels[static_cast<size_t>(y) * cx + x];
            BYTE* p = static_cast<BYTE*>(pvBits) + y * nStride + x * nBits / 8;
            p[0] = static_cast<BYTE>(v);
            p[1] = static_cast<BYTE>(v >> 8);
            p[2] = static_cast<BYTE>(v >> 16);
            if (nBits == 32)
                p[3] = static_cast<BYTE>(v >> 24);
        }
    return hbm;
}

// A 32-bit canvas filled with one colour; Rgb reads a pixel as 0xRRGGBB.
struct Canvas
{
    explicit Canvas(int cx, int cy, COLORREF fill) : m_cx(cx)
    {
        m_hdc = CreateCompatibleDC(nullptr);
        m_hbm = MakeBitmap(cx, cy, 32, std::vector<uint32_t>(static_cast<size_t>(cx) * cy, 0));
        m_hOld = SelectObject(m_hdc, m_hbm);
        RECT rc{0, 0, cx, cy};
        HBRUSH hbr = CreateSolidBrush(fill);
        FillRect(m_hdc, &rc, hbr);
        DeleteObject(hbr);
    }
    ~Canvas()
    {
        SelectObject(m_hdc, m_hOld);
        DeleteObject(m_hbm);
        DeleteDC(m_hdc);
    }
    uint32_t Rgb(int x, int y) const
    {
        COLORREF c = GetPixel(m_hdc, x, y);
        return static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    }
    int m_cx;
    HDC m_hdc;
    HBITMAP m_hbm;
    HGDIOBJ m_hOld;
};

const uint32_t kGrey = 0xC0C0C0, kRed = 0xFA0505, kGreen = 0x00FF00;
}

class ImageListTest : public WindowTest
{
};

TEST_F(ImageListTest, MaskColourPixelsAreTransparentInEveryDrawingMode)
{
    // Two 2x2 images in one strip; the grey pixels are the mask colour.
    HBITMAP hbm = MakeBitmap(4, 2, 24, {kGrey, kRed, kGreen, kGreen, kRed, kGrey, kGreen, kGrey});
    HIMAGELIST himl = ImageList_Create(2, 2, ILC_COLOR24 | ILC_MASK, 2, 1);
    ASSERT_NE(himl, nullptr);
    EXPECT_EQ(ImageList_AddMasked(himl, hbm, RGB(192, 192, 192)), 0);
    EXPECT_EQ(ImageList_AddMasked(himl, hbm, RGB(192, 192, 192)), 2);
    EXPECT_EQ(ImageList_GetImageCount(himl), 4);

    struct Case
    {
        UINT m_nStyle;
        COLORREF m_clrBk;
        std::vector<uint32_t> m_Expected;   // image 0 drawn at (1, 1) on blue, rows of the 2x2
    };
    const uint32_t kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0x000000;
    const Case cases[] = {
        {ILD_NORMAL, CLR_NONE, {kBlue, kRed, kRed, kBlue}},
        {ILD_TRANSPARENT, RGB(255, 255, 255), {kBlue, kRed, kRed, kBlue}},
        {ILD_NORMAL, RGB(255, 255, 255), {kWhite, kRed, kRed, kWhite}},
        {ILD_MASK, CLR_NONE, {kWhite, kBlack, kBlack, kWhite}},
    };
    for (const Case& c : cases)
    {
        ImageList_SetBkColor(himl, c.m_clrBk);
        Canvas canvas(4, 4, RGB(0, 0, 255));
        ASSERT_TRUE(ImageList_Draw(himl, 0, canvas.m_hdc, 1, 1, c.m_nStyle));
        std::vector<uint32_t> got{canvas.Rgb(1, 1), canvas.Rgb(2, 1), canvas.Rgb(1, 2), canvas.Rgb(2, 2)};
        EXPECT_EQ(got, c.m_Expected) << "style " << c.m_nStyle;
        EXPECT_EQ(canvas.Rgb(0, 0), kBlue);   // nothing outside the image
        EXPECT_EQ(canvas.Rgb(3, 3), kBlue);
    }
    ImageList_Destroy(himl);
    DeleteObject(hbm);
}

TEST_F(ImageListTest, MonochromeMaskBitmapAndFourBitPalette)
{
    // The mask is white where the image is transparent. A 4-bit list keeps the nearest of the
    // sixteen standard colours: (250, 5, 5) becomes pure red, (10, 130, 120) dark cyan.
    HBITMAP hbm = MakeBitmap(2, 1, 24, {0xFA0505, 0x0A8278});
    HBITMAP hbmMask = MakeBitmap(2, 1, 24, {0xFFFFFF, 0x000000});
    HIMAGELIST himl = ImageList_Create(2, 1, ILC_COLOR4 | ILC_MASK, 1, 1);
    EXPECT_EQ(ImageList_Add(himl, hbm, hbmMask), 0);
    Canvas canvas(2, 1, RGB(0, 0, 255));
    ImageList_Draw(himl, 0, canvas.m_hdc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(1, 0), 0x008080u);

    // A list without ILC_MASK ignores the mask bitmap's transparency.
    HIMAGELIST himlPlain = ImageList_Create(2, 1, ILC_COLOR24, 1, 1);
    EXPECT_EQ(ImageList_Add(himlPlain, hbm, hbmMask), 0);
    ImageList_Draw(himlPlain, 0, canvas.m_hdc, 0, 0, ILD_TRANSPARENT);
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFA0505u);
    ImageList_Destroy(himl);
    ImageList_Destroy(himlPlain);
    DeleteObject(hbm);
    DeleteObject(hbmMask);
}

TEST_F(ImageListTest, TwentyFourBitListsDrawThirtyTwoBitImagesOpaque)
{
    HBITMAP hbm = MakeBitmap(3, 1, 32, {0x00FF0000, 0x80FF0000, 0xFFFF0000});
    HIMAGELIST himl24 = ImageList_Create(3, 1, ILC_COLOR24 | ILC_MASK, 1, 1);
    EXPECT_EQ(ImageList_AddMasked(himl24, hbm, RGB(192, 192, 192)), 0);
    Canvas canvas(3, 1, RGB(0, 0, 255));
    ImageList_Draw(himl24, 0, canvas.m_hdc, 0, 0, ILD_NORMAL);
    for (int x = 0; x < 3; ++x)
        EXPECT_EQ(canvas.Rgb(x, 0), 0xFF0000u);
    ImageList_Destroy(himl24);
    DeleteObject(hbm);
}

TEST_F(ImageListTest, ThirtyTwoBitListsBlendByTheImagesAlpha)
{
    // Alpha 0, 128 and 255 over blue: the image's own alpha is its transparency, no mask needed.
    HBITMAP hbm = MakeBitmap(3, 1, 32, {0x00FF0000, 0x80FF0000, 0xFFFF0000});
    HIMAGELIST himl = ImageList_Create(3, 1, ILC_COLOR32 | ILC_MASK, 1, 1);
    EXPECT_EQ(ImageList_Add(himl, hbm, nullptr), 0);
    Canvas canvas(3, 1, RGB(0, 0, 255));
    ImageList_Draw(himl, 0, canvas.m_hdc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(canvas.Rgb(0, 0), 0x0000FFu);
    EXPECT_EQ(canvas.Rgb(1, 0), 0x80007Fu);   // (255 x 128 + 0 x 127) / 255, (0 x 128 + 255 x 127) / 255
    EXPECT_EQ(canvas.Rgb(2, 0), 0xFF0000u);
    ImageList_Draw(himl, 0, canvas.m_hdc, 0, 0, ILD_MASK);
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFFFFFFu);
    EXPECT_EQ(canvas.Rgb(2, 0), 0x000000u);

    // A 32-bit image whose alpha is 0 everywhere (drawn with GDI) counts as opaque.
    HBITMAP hbmDrawn = MakeBitmap(3, 1, 32, {0x00FF0000, 0x0000FF00, 0x000000FF});
    EXPECT_EQ(ImageList_Add(himl, hbmDrawn, nullptr), 1);
    ImageList_Draw(himl, 1, canvas.m_hdc, 0, 0, ILD_NORMAL);
    EXPECT_EQ(canvas.Rgb(0, 0), 0xFF0000u);
    EXPECT_EQ(canvas.Rgb(1, 0), 0x00FF00u);
    ImageList_Destroy(himl);
    DeleteObject(hbm);
    DeleteObject(hbmDrawn);
}

TEST_F(ImageListTest, DestroyedListsAndBadIndexesFail)
{
    HBITMAP hbm = MakeBitmap(4, 2, 24, std::vector<uint32_t>(8, kGreen));
    HIMAGELIST himl = ImageList_Create(2, 2, ILC_COLOR24, 1, 1);
    EXPECT_EQ(ImageList_Add(himl, hbm, nullptr), 0);
    Canvas canvas(2, 2, RGB(0, 0, 255));
    EXPECT_FALSE(ImageList_Draw(himl, 2, canvas.m_hdc, 0, 0, ILD_NORMAL));
    EXPECT_FALSE(ImageList_Draw(himl, -1, canvas.m_hdc, 0, 0, ILD_NORMAL));
    EXPECT_EQ(ImageList_Add(himl, nullptr, nullptr), -1);
    EXPECT_TRUE(ImageList_Remove(himl, 0));
    EXPECT_EQ(ImageList_GetImageCount(himl), 1);
    EXPECT_TRUE(ImageList_Destroy(himl));
    EXPECT_FALSE(ImageList_Destroy(himl));
    EXPECT_EQ(ImageList_Add(himl, hbm, nullptr), -1);
    EXPECT_FALSE(ImageList_Draw(himl, 0, canvas.m_hdc, 0, 0, ILD_NORMAL));
    EXPECT_EQ(canvas.Rgb(0, 0), 0x0000FFu);
    // A strip narrower than one image adds nothing.
    HIMAGELIST himlWide = ImageList_Create(8, 2, ILC_COLOR24, 1, 1);
    EXPECT_EQ(ImageList_Add(himlWide, hbm, nullptr), -1);
    EXPECT_EQ(ImageList_Create(0, 16, ILC_COLOR24, 1, 1), nullptr);
    ImageList_Destroy(himlWide);
    DeleteObject(hbm);
}

TEST_F(ImageListTest, IconsAreDrawnAtTheListSizeThroughTheirMask)
{
    // A 4 x 4 icon: red left half, green right half; its top row transparent.
    std::vector<uint32_t> colours(16);
    for (int i = 0; i < 16; ++i)
        colours[static_cast<size_t>(i)] = (i % 4) < 2 ? kRed : kGreen;
    HBITMAP hColor = MakeBitmap(4, 4, 32, colours);
    const WORD maskRows[4] = {0x00F0, 0x0000, 0x0000, 0x0000};
    HBITMAP hMask = CreateBitmap(4, 4, 1, 1, maskRows);
    ICONINFO info{TRUE, 0, 0, hMask, hColor};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hColor);
    DeleteObject(hMask);
    // The stock asterisk (32 x 32) as a second image to replace.
    struct Case
    {
        int m_nSize;
        std::vector<uint32_t> m_Rows;   // pixel (x, y) for x = 0 and x = size - 1, per row
    };
    const Case cases[] = {
        {4, {kGrey, kGrey, kRed, kGreen, kRed, kGreen, kRed, kGreen}},
        {2, {kGrey, kGrey, kRed, kGreen}},   // nearest pixel: rows 0 and 2 of the icon
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_nSize);
        HIMAGELIST himl = ImageList_Create(c.m_nSize, c.m_nSize, ILC_COLOR24 | ILC_MASK, 2, 0);
        EXPECT_EQ(ImageList_AddIcon(himl, LoadIconA(nullptr, IDI_ASTERISK)), 0);
        EXPECT_EQ(ImageList_ReplaceIcon(himl, -1, LoadIconA(nullptr, IDI_HAND)), 1);
        EXPECT_EQ(ImageList_ReplaceIcon(himl, 0, hIcon), 0);
        EXPECT_EQ(ImageList_GetImageCount(himl), 2);
        Canvas canvas(c.m_nSize, c.m_nSize, RGB(192, 192, 192));
        ASSERT_TRUE(ImageList_Draw(himl, 0, canvas.m_hdc, 0, 0, ILD_TRANSPARENT));
        for (int y = 0; y < c.m_nSize; ++y)
        {
            EXPECT_EQ(canvas.Rgb(0, y), c.m_Rows[static_cast<size_t>(2 * y)]) << "row " << y;
            EXPECT_EQ(canvas.Rgb(c.m_nSize - 1, y), c.m_Rows[static_cast<size_t>(2 * y + 1)]) << "row " << y;
        }
        // Past the end, a destroyed icon or list: nothing changes.
        EXPECT_EQ(ImageList_ReplaceIcon(himl, 2, hIcon), -1);
        EXPECT_EQ(ImageList_ReplaceIcon(himl, -1, nullptr), -1);
        EXPECT_EQ(ImageList_GetImageCount(himl), 2);
        ImageList_Destroy(himl);
        EXPECT_EQ(ImageList_AddIcon(himl, hIcon), -1);
    }
    DestroyIcon(hIcon);
}
