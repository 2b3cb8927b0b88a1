// Icons and cursors: private copies of their images, the copies GetIconInfo hands out, hot
// spots, the monochrome cursor layout, stale handles; the stock icons and ".ico" data.
#include "TempDir.h"

#include <win32/controls.h>
#include <win32/gdi.h>
#include <win32/icons.h>
#include <win32/paths.h>
#include <win32/resources.h>
#include <win32/testing.h>
#include <win32/user.h>
#include <win32/winbase.h>

#include <gtest/gtest.h>

#include <string>
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

namespace
{
// An ".ico" file of one 24-bit image, w x h, bottom row first in the file: pixel (x, y) is
// colour(x, y), and the mask makes x == 0 transparent.
std::string IcoBytes(int w, int h, DWORD (*fnColour)(int x, int y))
{
    auto put16 = [](std::string& s, int v) { s += char(v & 0xFF); s += char((v >> 8) & 0xFF); };
    auto put32 = [&](std::string& s, int v) { put16(s, v & 0xFFFF); put16(s, (v >> 16) & 0xFFFF); };
    int nColorRow = ((w * 24 + 31) / 32) * 4, nMaskRow = ((w + 31) / 32) * 4;
    std::string image;
    put32(image, 40);
    put32(image, w);
    put32(image, 2 * h);
    put16(image, 1);
    put16(image, 24);
    for (int i = 0; i < 6; ++i)
        put32(image, 0);
    for (int y = h - 1; y >= 0; --y)
    {
        std::string row;
        for (int x = 0; x < w; ++x)
        {
            DWORD c = fnColour(x, y);
            row += char(c & 0xFF);           // blue
            row += char((c >> 8) & 0xFF);    // green
            row += char((c >> 16) & 0xFF);   // red
        }
        row.resize(static_cast<size_t>(nColorRow), '\0');
        image += row;
    }
    for (int y = 0; y < h; ++y)
    {
        std::string row(static_cast<size_t>(nMaskRow), '\0');
        row[0] = char(0x80);
        image += row;
    }
    std::string ico;
    put16(ico, 0);
    put16(ico, 1);
    put16(ico, 1);
    ico += char(w);
    ico += char(h);
    ico += std::string(6, '\0');
    put32(ico, static_cast<int>(image.size()));
    put32(ico, 6 + 16);
    return ico + image;
}

DWORD Gradient(int x, int y)
{
    return static_cast<DWORD>((x * 40) << 16 | (y * 60) << 8 | 0x20);
}

// Resource tables live for the process: the icon data a test registers is kept here.
std::string& IconResourceData()
{
    static std::string s_Data;
    return s_Data;
}
}

TEST(IconsTest, StockIconsAreSharedAndDrawnWithATransparentGround)
{
    const LPCSTR ids[] = {IDI_APPLICATION, IDI_HAND, IDI_QUESTION, IDI_EXCLAMATION, IDI_ASTERISK};
    std::vector<HICON> seen;
    for (LPCSTR id : ids)
    {
        HICON hIcon = LoadIconA(nullptr, id);
        ASSERT_NE(hIcon, nullptr);
        EXPECT_EQ(LoadIconA(nullptr, id), hIcon);
        for (HICON h : seen)
            EXPECT_NE(h, hIcon);
        seen.push_back(hIcon);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(hIcon, &info));
        std::vector<DWORD> mask = Pixels(info.hbmMask);
        ASSERT_EQ(mask.size(), 32u * 32u);
        EXPECT_EQ(mask[0] & 0xFFFFFF, 0xFFFFFFu);            // a corner shows the background
        EXPECT_EQ(mask[16 * 32 + 16] & 0xFFFFFF, 0u);        // the middle is the icon's own
        EXPECT_EQ(Pixels(info.hbmColor)[0] & 0xFFFFFF, 0u);  // and adds nothing to the corner
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
    }
    // The error icon: a white cross in the middle of a red disc.
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(LoadIconA(nullptr, IDI_ERROR), &info));
    std::vector<DWORD> colour = Pixels(info.hbmColor);
    EXPECT_EQ(colour[16 * 32 + 16] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(colour[16 * 32 + 6] & 0xFFFFFF, 0xC80000u);
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    // A destroyed stock icon is made again.
    DestroyIcon(seen[0]);
    HICON hAgain = LoadIconA(nullptr, IDI_APPLICATION);
    ASSERT_NE(hAgain, nullptr);
    EXPECT_TRUE(GetIconInfo(hAgain, &info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
}

TEST(IconsTest, IconResourcesAndFilesAreReadFromIcoData)
{
    size_t nTables = GetResourceTableCount();
    IconResourceData() = IcoBytes(5, 3, Gradient);
    static ResourceEntry entries[1];
    entries[0] = {"ICON", 129, IconResourceData().data(), IconResourceData().size()};
    RegisterResourceTable(entries, 1);
    HINSTANCE hInstance = GetModuleHandleA(nullptr);
    for (LPCSTR name : {static_cast<LPCSTR>(MAKEINTRESOURCEA(129)), static_cast<LPCSTR>("#129")})
    {
        HICON hIcon = LoadIconA(hInstance, name);
        ASSERT_NE(hIcon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(hIcon, &info));
        std::vector<DWORD> colour = Pixels(info.hbmColor), mask = Pixels(info.hbmMask);
        ASSERT_EQ(colour.size(), 15u);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 5; ++x)
            {
                EXPECT_EQ(colour[static_cast<size_t>(y * 5 + x)] & 0xFFFFFF, Gradient(x, y)) << x << "," << y;
                EXPECT_EQ(mask[static_cast<size_t>(y * 5 + x)] & 0xFFFFFF, x == 0 ? 0xFFFFFFu : 0u);
            }
        DeleteObject(info.hbmMask);
        DeleteObject(info.hbmColor);
        DestroyIcon(hIcon);
    }
    {
        // An icon static names its icon by its text and takes the icon's size.
        win32::Driver driver;
        HWND hStatic = CreateWindowExA(0, WC_STATICA, "#129", WS_POPUP | SS_ICON, 0, 0, 1, 1, nullptr, nullptr,
                                       hInstance, nullptr);
        ASSERT_NE(hStatic, nullptr);
        EXPECT_NE(SendMessageA(hStatic, STM_GETICON, 0, 0), 0);
        RECT rc{};
        GetWindowRect(hStatic, &rc);
        EXPECT_EQ(rc.right - rc.left, 5);
        EXPECT_EQ(rc.bottom - rc.top, 3);
        DestroyWindow(hStatic);
    }
    TempDir dir;
    std::string path = dir.Write("lamp.ico", IcoBytes(5, 3, Gradient));
    auto hFileIcon = static_cast<HICON>(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(hFileIcon, nullptr);
    DestroyIcon(hFileIcon);
    TruncateResourceTables(nTables);
}

TEST(IconsTest, DamagedIcoDataIsRefused)
{
    std::string good = IcoBytes(4, 4, Gradient);
    struct Case
    {
        const char* m_szName;
        std::string m_Data;
    };
    std::string wrongType = good;
    wrongType[2] = 2;   // a cursor directory
    std::string pastEnd = good;
    pastEnd[18] = char(0x7F);   // the image's offset
    const Case cases[] = {
        {"empty", ""},
        {"directory cut short", good.substr(0, 12)},
        {"not an icon directory", wrongType},
        {"image past the end", pastEnd},
        {"mask cut off", good.substr(0, good.size() - 8)},
        {"header cut short", good.substr(0, 6 + 16 + 20)},
    };
    TempDir dir;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.m_szName);
        std::string path = dir.Write("bad.ico", c.m_Data);
        testing::internal::CaptureStderr();
        EXPECT_EQ(LoadImageA(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
        EXPECT_NE(testing::internal::GetCapturedStderr().find("LoadIcon() - "), std::string::npos);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "LAMP"), nullptr);
    EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(4321)), nullptr);
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("icons are found by number"), std::string::npos);
    EXPECT_NE(err.find("there is no such icon resource"), std::string::npos);
}

TEST(IconsTest, TheStockArrowIsASharedCursorWithItsHotSpotAtTheTip)
{
    HCURSOR hArrow = LoadCursorA(nullptr, IDC_ARROW);
    ASSERT_NE(hArrow, nullptr);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), hArrow);
    EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(32513)), nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(hArrow, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 0u);
    EXPECT_EQ(info.yHotspot, 0u);
    EXPECT_EQ(info.hbmColor, nullptr);
    // The AND plane (top half): the tip and the head are opaque, right of them is transparent.
    std::vector<DWORD> mask = Pixels(info.hbmMask);
    ASSERT_EQ(mask.size(), 32u * 64u);
    EXPECT_EQ(mask[0] & 0xFFFFFF, 0u);
    EXPECT_EQ(mask[8 * 32 + 4] & 0xFFFFFF, 0u);
    EXPECT_EQ(mask[2 * 32 + 20] & 0xFFFFFF, 0xFFFFFFu);
    // The XOR plane (bottom half): the head's inside is white, its outline black.
    EXPECT_EQ(mask[(32 + 8) * 32 + 4] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(mask[(32 + 8) * 32 + 0] & 0xFFFFFF, 0u);
    DeleteObject(info.hbmMask);
    // Destroyed by mistake, it is made again.
    DestroyCursor(hArrow);
    EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
}
