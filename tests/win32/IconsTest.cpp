// Icons and cursors: private copies of their images, the copies GetIconInfo hands out, hot
// spots, the monochrome cursor layout and stale handles.
#include <win32/gdi.h>
#include <win32/icons.h>
#include <win32/winbase.h>

#include <gtest/gtest.h>

#include <vector>

namespace
{
// A bitmap's pixels as 32-bit values, top row first.
std::vector<DWORD> Pixels(HBITMAP hbm)
{
    BITMAP bm{};
    if (!GetObjectA(hbm, sizeof(bm), &bm))
        return {};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    GetDIBits(nullptr, hbm, 0, static_cast<UINT>(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
    return pixels;
}

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }
DWORD Icons() { return GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS); }

TEST(IconsTest, ColourIconsKeepTheirOwnImagesAndHandOutCopies)
{
    const DWORD nGdiBefore = GdiObjects(), nIconsBefore = Icons();
    // 4x2: a 32-bit colour image and a mask with the left column transparent.
    const DWORD colours[8] = {0x112233, 0x445566, 0x778899, 0xAABBCC, 0x010203, 0x040506, 0x070809, 0x0A0B0C};
    const WORD maskRows[2] = {0x0080, 0x0080};   // bit 7 of each row's first byte: x = 0
    HBITMAP hColor = CreateBitmap(4, 2, 1, 32, colours);
    HBITMAP hMask = CreateBitmap(4, 2, 1, 1, maskRows);
    ICONINFO made{TRUE, 0, 0, hMask, hColor};
    HICON hIcon = CreateIconIndirect(&made);
    ASSERT_NE(hIcon, nullptr);
    EXPECT_EQ(Icons(), nIconsBefore + 1);
    // The icon holds copies: its makers can go.
    DeleteObject(hColor);
    DeleteObject(hMask);

    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hIcon, &info));
    EXPECT_TRUE(info.fIcon);
    // An icon's hot spot is its centre.
    EXPECT_EQ(info.xHotspot, 2u);
    EXPECT_EQ(info.yHotspot, 1u);
    ASSERT_NE(info.hbmColor, nullptr);
    ASSERT_NE(info.hbmColor, hColor);
    EXPECT_EQ(Pixels(info.hbmColor), std::vector<DWORD>(colours, colours + 8));
    EXPECT_EQ(Pixels(info.hbmMask),
              (std::vector<DWORD>{0xFFFFFF, 0, 0, 0, 0xFFFFFF, 0, 0, 0}));
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(info.hbmMask, sizeof(bm), &bm));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    // The copies are the caller's: two more objects until deleted.
    EXPECT_EQ(GdiObjects(), nGdiBefore + 2);
    EXPECT_TRUE(DeleteObject(info.hbmColor));
    EXPECT_TRUE(DeleteObject(info.hbmMask));
    EXPECT_EQ(GdiObjects(), nGdiBefore);

    EXPECT_TRUE(DestroyIcon(hIcon));
    EXPECT_FALSE(DestroyIcon(hIcon));
    EXPECT_FALSE(GetIconInfo(hIcon, &info));
    EXPECT_EQ(Icons(), nIconsBefore);
}

TEST(IconsTest, MonochromeCursorsStackTheirPlanesAndKeepTheirHotSpot)
{
    const DWORD nGdiBefore = GdiObjects();
    // 3x2 planes, rows padded to 16 bits.
    const BYTE andPlane[4] = {0xA0, 0, 0x00, 0};   // row 0: 1 0 1, row 1: 0 0 0
    const BYTE xorPlane[4] = {0x40, 0, 0xE0, 0};   // row 0: 0 1 0, row 1: 1 1 1
    HCURSOR hCursor = CreateCursor(nullptr, 2, 1, 3, 2, andPlane, xorPlane);
    ASSERT_NE(hCursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hCursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 2u);
    EXPECT_EQ(info.yHotspot, 1u);
    EXPECT_EQ(info.hbmColor, nullptr);
    const DWORD W = 0xFFFFFF;
    EXPECT_EQ(Pixels(info.hbmMask), (std::vector<DWORD>{W, 0, W, 0, 0, 0, 0, W, 0, W, W, W}));
    DeleteObject(info.hbmMask);
    EXPECT_TRUE(DestroyCursor(hCursor));
    EXPECT_EQ(GdiObjects(), nGdiBefore);

    // Refused: missing planes or mask, a colour image of another size, a colour mask.
    EXPECT_EQ(CreateCursor(nullptr, 0, 0, 3, 2, nullptr, xorPlane), nullptr);
    ICONINFO none{FALSE, 0, 0, nullptr, nullptr};
    EXPECT_EQ(CreateIconIndirect(&none), nullptr);
    EXPECT_EQ(CreateIconIndirect(nullptr), nullptr);
    HBITMAP hMask = CreateBitmap(4, 4, 1, 1, nullptr);
    HBITMAP hColor = CreateBitmap(4, 2, 1, 32, nullptr);
    ICONINFO mismatched{TRUE, 0, 0, hMask, hColor};
    EXPECT_EQ(CreateIconIndirect(&mismatched), nullptr);
    ICONINFO colourMask{TRUE, 0, 0, hColor, nullptr};
    EXPECT_EQ(CreateIconIndirect(&colourMask), nullptr);
    DeleteObject(hMask);
    DeleteObject(hColor);
    EXPECT_EQ(GdiObjects(), nGdiBefore);
}
}  // namespace
