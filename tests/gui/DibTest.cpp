// The device-independent bitmap: row lengths, the file layout and its round trip, row order,
// the nearest-colour search, the 8-bit copies, the converters, gamma, drawing, the packed form,
// and the hostile BMP files it refuses without losing the image it holds.
#include "GuiTestKit.h"
#include "HostileBmp.h"
#include "mfc_gui/Dib.h"

#include <core/FileIO.h>

#include <cmath>
#include <filesystem>

namespace
{
std::vector<int> Row8(const CDib& dib, int y)
{
    const BYTE* p = dib.GetRow(y);
    return std::vector<int>(p, p + dib.GetWidth());
}

// An 8-bit image of one row holding the values.
CDib Line8(const std::vector<int>& values)
{
    CDib dib;
    dib.Create(static_cast<int>(values.size()), 1, 8);
    for (size_t x = 0; x < values.size(); ++x)
        dib.SetPixel8(static_cast<int>(x), 0, static_cast<BYTE>(values[x]));
    return dib;
}

std::string TempPath(const char* szName)
{
    return (std::filesystem::temp_directory_path() / (std::string("dibtest-") + szName)).string();
}
}

TEST(DibTest, RowLengthsPerDepthAndRefusedShapes)
{
    struct Case
    {
        int nWidth, nHeight, nBits, nBytesPerLine, nColors;
    } cases[] = {
        {3, 2, 8, 4, 256}, {3, 2, 24, 12, 0}, {33, 1, 1, 8, 2}, {9, 1, 4, 8, 16}, {1, 1, 32, 4, 0}, {5, 1, 16, 12, 0},
    };
    for (const Case& c : cases)
    {
        CDib dib;
        ASSERT_TRUE(dib.Create(c.nWidth, c.nHeight, c.nBits)) << c.nWidth << "x" << c.nBits;
        EXPECT_EQ(dib.GetBytesPerLine(), c.nBytesPerLine) << c.nWidth << "x" << c.nBits;
        EXPECT_EQ(dib.GetPaletteSize(), c.nColors);
        EXPECT_EQ(dib.GetTotalSize(), static_cast<DWORD>(40 + 4 * c.nColors + c.nBytesPerLine * c.nHeight));
    }
    CDib dib;
    const int refused[][3] = {{0, 1, 8}, {1, 0, 8}, {-3, 2, 8}, {2, 2, 7}, {40000, 1, 8}, {20000, 20000, 24}};
    for (const auto& r : refused)
        EXPECT_FALSE(dib.Create(r[0], r[1], r[2])) << r[0] << "x" << r[1] << "x" << r[2];
    EXPECT_FALSE(dib.IsValid());
}

TEST(DibTest, TheFileOfASmallImageHasThePartsSizesAndReadsBack)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 2, 8));
    std::vector<BYTE> rgb(3 * 256);
    for (int i = 0; i < 256; ++i)
    {
        rgb[3 * i] = static_cast<BYTE>(i);
        rgb[3 * i + 1] = static_cast<BYTE>(255 - i);
        rgb[3 * i + 2] = static_cast<BYTE>(i / 2);
    }
    dib.SetPaletteRGB(rgb.data());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            dib.SetPixel8(x, y, static_cast<BYTE>(10 * y + x));
    // Row 0 is the top: the last row stored.
    EXPECT_EQ(dib.GetRow(0), dib.GetRow(1) + 4);

    const std::string strPath = TempPath("small.bmp");
    std::filesystem::remove(strPath);
    EXPECT_FALSE(dib.WriteBmp(strPath.c_str()));   // replaces only a file that exists
    ASSERT_TRUE(dib.SaveFile(strPath.c_str()));
    EXPECT_FALSE(dib.SaveFile(strPath.c_str(), 1));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadWholeFile(strPath.c_str(), bytes));
    ASSERT_EQ(bytes.size(), 1086u);   // 14 + 40 + 1024 + 2 rows of 4
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    EXPECT_EQ(bytes[2] | bytes[3] << 8, 1086);
    EXPECT_EQ(bytes[10] | bytes[11] << 8, 1078);
    EXPECT_EQ(bytes[1078], 10);   // the bottom row first
    EXPECT_EQ(bytes[1082], 0);
    ASSERT_TRUE(dib.WriteBmp(strPath.c_str()));

    CDib back;
    ASSERT_TRUE(back.LoadFile(strPath.c_str()));
    EXPECT_EQ(back.GetWidth(), 3);
    EXPECT_EQ(back.GetHeight(), 2);
    EXPECT_EQ(Row8(back, 0), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(Row8(back, 1), (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(back.GetPaletteColor(200), RGB(200, 55, 100));
    std::filesystem::remove(strPath);

    // The packed form carries the same block.
    HGLOBAL hGlobal = dib.ExportGlobal();
    ASSERT_NE(hGlobal, nullptr);
    EXPECT_EQ(GlobalSize(hGlobal), dib.GetTotalSize());
    CDib imported(hGlobal);
    GlobalFree(hGlobal);
    EXPECT_EQ(Row8(imported, 1), (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(imported.GetPaletteColor(7), RGB(7, 248, 3));
}

TEST(DibTest, HostileFilesAreRefusedAndTheImageIsKept)
{
    ClearLogLines();
    const std::vector<uint8_t> good = hostile_bmp::MakeBmp(2, 2, 8);
    CDib held;
    ASSERT_TRUE(held.Create(3, 1, 24));
    held.SetPixel24(2, 0, RGB(1, 2, 3));
    for (const hostile_bmp::Variant& v : hostile_bmp::Variants())
    {
        ClearLogLines();
        EXPECT_FALSE(held.ReadBmpBytes(v.m_Bytes.data(), v.m_Bytes.size(), v.m_strName.c_str())) << v.m_strName;
        EXPECT_FALSE(GetLogLines().empty()) << v.m_strName << ": no reason logged";
        EXPECT_EQ(held.GetWidth(), 3) << v.m_strName;
        EXPECT_EQ(held.GetPixel24(2, 0), RGB(1, 2, 3)) << v.m_strName;
        // The same bytes without the file header as a packed image.
        if (v.m_Bytes.size() >= 14 && v.m_strName.find("signature") == std::string::npos &&
            v.m_strName.find("offset") == std::string::npos)
        {
            EXPECT_FALSE(held.ReadPackedDib(v.m_Bytes.data() + 14, v.m_Bytes.size() - 14, "packed")) << v.m_strName;
            EXPECT_EQ(held.GetWidth(), 3) << v.m_strName;
        }
    }
    // The file forms of the same checks, and the untouched original reads.
    const std::string strPath = TempPath("hostile.bmp");
    std::vector<uint8_t> ba = good;
    ba[1] = 'A';
    ASSERT_TRUE(WriteFileAtomic(strPath.c_str(), ba));
    EXPECT_FALSE(held.ReadBmp(strPath.c_str()));
    EXPECT_EQ(held.GetWidth(), 3);
    EXPECT_FALSE(held.LoadFile(TempPath("missing.bmp").c_str()));
    ASSERT_TRUE(WriteFileAtomic(strPath.c_str(), good));
    EXPECT_TRUE(held.ReadBmp(strPath.c_str()));
    EXPECT_EQ(held.GetWidth(), 2);
    EXPECT_EQ(held.GetBitCount(), 8);
    std::filesystem::remove(strPath);
    // Every good depth reads; a longer header moves the colour table.
    for (int nBits : {1, 4, 8, 24})
    {
        const std::vector<uint8_t> bytes = hostile_bmp::MakeBmp(5, 3, nBits);
        CDib dib;
        EXPECT_TRUE(dib.ReadBmpBytes(bytes.data(), bytes.size(), "good")) << nBits;
    }
}

TEST(DibTest, NearestIndexTakesTheFirstOfEqualsAndRemembersIt)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(1, 1, 8));
    std::vector<RGBQUAD> colors(256, RGBQUAD{255, 255, 255, 0});
    colors[3] = RGBQUAD{0, 0, 0, 0};
    colors[7] = RGBQUAD{0, 0, 20, 0};   // blue, green, red
    dib.SetPalette(colors.data());
    // Red 10 is 3 x 10^2 = 300 from both.
    EXPECT_EQ(dib.NearestIndex(RGBQUAD{0, 0, 10, 0}), 3);
    EXPECT_EQ(dib.NearestIndex(RGBQUAD{0, 0, 19, 0}), 7);
    EXPECT_EQ(dib.NearestIndex(RGBQUAD{250, 250, 250, 0}), 0);   // the first white
    // A colour matched before keeps its index until the next conversion clears the memory.
    colors[3] = RGBQUAD{255, 255, 255, 0};
    dib.SetPalette(colors.data());
    EXPECT_EQ(dib.NearestIndex(RGBQUAD{0, 0, 10, 0}), 3);

    // Red weighs 3, green 4, blue 2: from black, blue 12 (288) is nearer than red 10 (300) and
    // green 9 (324).
    CDib weights;
    ASSERT_TRUE(weights.Create(1, 1, 8));
    std::vector<RGBQUAD> table(256, RGBQUAD{255, 255, 255, 0});
    table[20] = RGBQUAD{0, 0, 10, 0};
    table[21] = RGBQUAD{0, 9, 0, 0};
    table[22] = RGBQUAD{12, 0, 0, 0};
    weights.SetPalette(table.data());
    EXPECT_EQ(weights.NearestIndex(RGBQUAD{0, 0, 0, 0}), 22);
    EXPECT_EQ(weights.NearestIndex(RGBQUAD{0, 9, 0, 0}), 21);
}

TEST(DibTest, CopyRectClipsAndHonoursTheTransparencyTable)
{
    const CDib source = Line8({0, 1, 2, 3, 4, 5, 6, 7});
    struct Case
    {
        int xDest, nWidth, xSource;
        std::vector<int> expected;
    } cases[] = {
        {-2, 5, 0, {2, 3, 4, 9, 9, 9, 9, 9}},   // two columns fewer, from source x 2
        {0, 3, -1, {9, 0, 1, 9, 9, 9, 9, 9}},    // a negative source x moves the destination
        {6, 8, 0, {9, 9, 9, 9, 9, 9, 0, 1}},     // limited by the destination
        {0, 8, 6, {6, 7, 9, 9, 9, 9, 9, 9}},     // limited by the source
        {9, 3, 0, {9, 9, 9, 9, 9, 9, 9, 9}},     // outside
    };
    for (const Case& c : cases)
    {
        CDib dest = Line8({9, 9, 9, 9, 9, 9, 9, 9});
        dest.CopyRect(c.xDest, 0, c.nWidth, 1, source, c.xSource, 0);
        EXPECT_EQ(Row8(dest, 0), c.expected) << c.xDest << " " << c.xSource;
    }
    BYTE table[256] = {};
    table[1] = table[3] = 1;
    CDib dest = Line8({9, 9, 9, 9, 9, 9, 9, 9});
    dest.CopyRect(0, 0, 8, 1, source, 0, 0, table);
    EXPECT_EQ(Row8(dest, 0), (std::vector<int>{9, 1, 9, 3, 9, 9, 9, 9}));
}

TEST(DibTest, StretchCopyRepeatsByTheErrorTermAndScalesWholeFactors)
{
    struct Case
    {
        std::vector<int> source;
        int nDestWidth;
        std::vector<int> expected;
    } cases[] = {
        {{1, 2, 3}, 7, {1, 1, 2, 2, 3, 3, 3}},   // 2, 2, 3 times: the error wraps on the third
        {{1, 2}, 4, {1, 1, 2, 2}},               // whole factor: ScaleCopy
        {{1, 2, 3, 4, 5, 6, 7}, 3, {3, 5, 7}},   // reduction: one each time the error wraps
        {{1, 2, 3}, 3, {1, 2, 3}},
    };
    for (const Case& c : cases)
    {
        const CDib source = Line8(c.source);
        CDib dest = Line8(std::vector<int>(static_cast<size_t>(c.nDestWidth), 0));
        dest.StretchCopy(0, 0, c.nDestWidth, 1, source, 0, 0, static_cast<int>(c.source.size()), 1);
        EXPECT_EQ(Row8(dest, 0), c.expected) << c.source.size() << " to " << c.nDestWidth;
    }
    // Vertically: 2 rows to 3 (the second row written twice).
    CDib source;
    ASSERT_TRUE(source.Create(1, 2, 8));
    source.SetPixel8(0, 0, 4);
    source.SetPixel8(0, 1, 5);
    CDib dest;
    ASSERT_TRUE(dest.Create(2, 3, 8));
    dest.StretchCopy(0, 0, 2, 3, source, 0, 0, 1, 2);
    EXPECT_EQ(Row8(dest, 0), (std::vector<int>{4, 4}));
    EXPECT_EQ(Row8(dest, 1), (std::vector<int>{5, 5}));
    EXPECT_EQ(Row8(dest, 2), (std::vector<int>{5, 5}));
    // ScaleCopy: factor 3 into 4 columns leaves one partial column with the last value.
    CDib narrow = Line8({0, 0, 0, 0});
    narrow.ScaleCopy(0, 0, 3, 1, Line8({6, 8}), 0, 0, 2, 1);
    EXPECT_EQ(Row8(narrow, 0), (std::vector<int>{6, 6, 6, 6}));
}

TEST(DibTest, ConvertersMapEveryDepthOntoTheNearestColours)
{
    // The destination's table: black, white, red, green and the rest mid grey.
    CDib dest;
    ASSERT_TRUE(dest.Create(9, 1, 8));
    std::vector<RGBQUAD> colors(256, RGBQUAD{128, 128, 128, 0});
    colors[0] = RGBQUAD{0, 0, 0, 0};
    colors[1] = RGBQUAD{255, 255, 255, 0};
    colors[2] = RGBQUAD{0, 0, 255, 0};
    colors[3] = RGBQUAD{0, 255, 0, 0};
    dest.SetPalette(colors.data());

    CDib mono;
    ASSERT_TRUE(mono.Create(9, 1, 1));
    const RGBQUAD monoColors[2] = {{0, 0, 250, 0}, {250, 250, 250, 0}};   // red-ish, white-ish
    mono.SetPalette(monoColors);
    mono.GetRow(0)[0] = 0xA0;   // 1 0 1 0 0 0 0 0
    mono.GetRow(0)[1] = 0x80;   // 1
    ASSERT_TRUE(dest.CopyFrom(mono));
    EXPECT_EQ(Row8(dest, 0), (std::vector<int>{1, 2, 1, 2, 2, 2, 2, 2, 1}));

    CDib nibbles;
    ASSERT_TRUE(nibbles.Create(9, 1, 4));
    std::vector<RGBQUAD> sixteen(16, RGBQUAD{120, 130, 125, 0});
    sixteen[5] = RGBQUAD{10, 240, 5, 0};   // green
    nibbles.SetPalette(sixteen.data());
    const BYTE packed[5] = {0x50, 0x05, 0x55, 0x00, 0x50};
    std::memcpy(nibbles.GetRow(0), packed, 5);
    ASSERT_TRUE(dest.CopyFrom(nibbles));
    EXPECT_EQ(Row8(dest, 0), (std::vector<int>{3, 4, 4, 3, 3, 3, 4, 4, 3}));

    CDib bytes;
    ASSERT_TRUE(bytes.Create(9, 1, 8));
    bytes.SetPalette(colors.data());
    for (int x = 0; x < 9; ++x)
        bytes.SetPixel8(x, 0, static_cast<BYTE>(x % 4));
    ASSERT_TRUE(dest.CopyFrom(bytes));
    EXPECT_EQ(Row8(dest, 0), (std::vector<int>{0, 1, 2, 3, 0, 1, 2, 3, 0}));

    CDib rgb;
    ASSERT_TRUE(rgb.Create(9, 1, 24));
    const COLORREF pixels[9] = {RGB(250, 2, 3), RGB(5, 5, 5), RGB(255, 255, 255), RGB(1, 200, 9), RGB(120, 130, 128),
                                RGB(0, 0, 0), RGB(200, 10, 10), RGB(240, 240, 250), RGB(20, 250, 20)};
    for (int x = 0; x < 9; ++x)
        rgb.SetPixel24(x, 0, pixels[x]);
    ASSERT_TRUE(dest.CopyFrom(rgb));
    EXPECT_EQ(Row8(dest, 0), (std::vector<int>{2, 0, 1, 3, 4, 0, 2, 1, 3}));

    // Only a same-sized source of a known depth converts, and only into an 8-bit image.
    CDib other;
    ASSERT_TRUE(other.Create(8, 1, 24));
    EXPECT_FALSE(dest.CopyFrom(other));
    ASSERT_TRUE(other.Create(9, 1, 32));
    EXPECT_FALSE(dest.CopyFrom(other));
    EXPECT_FALSE(rgb.CopyFrom(bytes));
}

TEST(DibTest, GammaStartsAtOneAndShapesTheColourTable)
{
    CDib dib;
    EXPECT_FLOAT_EQ(dib.GetGamma(), 1.0f);
    dib.SetGamma(2.2f, TRUE);
    EXPECT_FLOAT_EQ(dib.GetPrevGamma(), 1.0f);
    ASSERT_TRUE(dib.Create(1, 1, 1));
    const BYTE rgb[6] = {128, 0, 255, 64, 200, 1};
    dib.SetPaletteRGB(rgb);
    auto expected = [](int v) { return static_cast<int>(std::pow(v / 255.0, 2.2) * 255.0 + 0.5); };
    EXPECT_EQ(dib.GetPaletteColor(0), RGB(expected(128), 0, 255));
    EXPECT_EQ(dib.GetPaletteColor(1), RGB(expected(64), expected(200), expected(1)));
    dib.SetGamma(1.0f, FALSE);
    EXPECT_FLOAT_EQ(dib.GetPrevGamma(), 2.2f);
    dib.SetPaletteRGB(rgb);
    EXPECT_EQ(dib.GetPaletteColor(0), RGB(128, 0, 255));
}

TEST(DibTest, DrawShowsTheTopRowAtTheTop)
{
    win32::Driver driver;
    CDib dib;
    ASSERT_TRUE(dib.Create(3, 2, 24));
    dib.Fill(RGB(0, 0, 255));
    for (int x = 0; x < 3; ++x)
        dib.SetPixel24(x, 0, RGB(255, 0, 0));
    HDC hdc = CreateCompatibleDC(nullptr);
    HBITMAP hbm = CreateBitmap(3, 2, 1, 32, nullptr);
    HGDIOBJ hOld = SelectObject(hdc, hbm);
    EXPECT_NE(dib.Draw(hdc, 0, 0, 3, 2, 0, 0), 0);
    EXPECT_EQ(GetPixel(hdc, 1, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(hdc, 1, 1), RGB(0, 0, 255));
    // From source row 1 only: the blue row at the top.
    EXPECT_NE(dib.Draw(hdc, 0, 0, 3, 1, 0, 1), 0);
    EXPECT_EQ(GetPixel(hdc, 1, 0), RGB(0, 0, 255));
    HBITMAP hCopy = dib.CreateBitmap(CDC::FromHandle(hdc));
    ASSERT_NE(hCopy, nullptr);
    SelectObject(hdc, hCopy);
    EXPECT_EQ(GetPixel(hdc, 2, 0), RGB(255, 0, 0));
    SelectObject(hdc, hOld);
    DeleteObject(hCopy);
    DeleteObject(hbm);
    DeleteDC(hdc);
}
