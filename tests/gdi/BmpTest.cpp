// BMP files and bitmap resources: an 8-bit file with its palette, and damaged files refused.
#include <core/ByteStream.h>
#include <core/Log.h>
#include <win32/gdi.h>
#include <win32/resources.h>
#include <win32/user.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
// A 4x2 8-bpp BMP, bottom-up: the bottom row holds indices 0 1 2 3, the top row 3 2 1 0.
std::vector<uint8_t> EightBitBmp(uint16_t nBitCount = 8, uint32_t nCompression = BI_RGB)
{
    ByteWriter w;
    const uint32_t nPalette = 4 * 4;
    const uint32_t nOffBits = 14 + 40 + nPalette;
    w.WriteU16(0x4D42);
    w.WriteU32(nOffBits + 8);
    w.WriteU32(0);
    w.WriteU32(nOffBits);
    w.WriteU32(40);
    w.WriteI32(4);
    w.WriteI32(2);
    w.WriteU16(1);
    w.WriteU16(nBitCount);
    w.WriteU32(nCompression);
    w.WriteU32(8);
    w.WriteI32(0);
    w.WriteI32(0);
    w.WriteU32(4);   // colours used
    w.WriteU32(0);
    const uint8_t palette[16] = {0x10, 0x20, 0x30, 0, 0x40, 0x50, 0x60, 0, 0x70, 0x80, 0x90, 0, 0xA0, 0xB0, 0xC0, 0};
    w.WriteBytes(palette, sizeof(palette));
    const uint8_t rows[8] = {0, 1, 2, 3, 3, 2, 1, 0};
    w.WriteBytes(rows, sizeof(rows));
    return w.GetBuffer();
}

std::string WriteTemp(const std::vector<uint8_t>& bytes)
{
    char szPath[] = "/tmp/quen_bmp_XXXXXX";
    int fd = mkstemp(szPath);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    close(fd);
    return szPath;
}

std::vector<COLORREF> Pixels(HBITMAP hbm, int cx, int cy)
{
    std::vector<COLORREF> out;
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, hbm);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            out.push_back(GetPixel(hdc, x, y));
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return out;
}

TEST(BmpFiles, EightBitFileDrawsThroughItsPalette)
{
    std::string strPath = WriteTemp(EightBitBmp());
    const std::vector<COLORREF> expected = {RGB(0xC0, 0xB0, 0xA0), RGB(0x90, 0x80, 0x70), RGB(0x60, 0x50, 0x40),
                                            RGB(0x30, 0x20, 0x10), RGB(0x30, 0x20, 0x10), RGB(0x60, 0x50, 0x40),
                                            RGB(0x90, 0x80, 0x70), RGB(0xC0, 0xB0, 0xA0)};
    for (UINT fuLoad : {UINT{LR_LOADFROMFILE}, UINT{LR_LOADFROMFILE | LR_CREATEDIBSECTION}})
    {
        auto hbm = static_cast<HBITMAP>(LoadImageA(nullptr, strPath.c_str(), IMAGE_BITMAP, 0, 0, fuLoad));
        ASSERT_NE(hbm, nullptr);
        EXPECT_EQ(Pixels(hbm, 4, 2), expected);
        DIBSECTION ds{};
        int nSize = GetObject(hbm, sizeof(ds), &ds);
        EXPECT_EQ(ds.dsBm.bmWidth, 4);
        EXPECT_EQ(nSize == static_cast<int>(sizeof(DIBSECTION)), (fuLoad & LR_CREATEDIBSECTION) != 0);
        DeleteObject(hbm);
    }
    std::remove(strPath.c_str());
}

TEST(BmpFiles, ResourcesWithoutTheFileHeaderLoadToo)
{
    std::vector<uint8_t> bytes = EightBitBmp();
    static std::vector<uint8_t> s_Dib;
    s_Dib.assign(bytes.begin() + 14, bytes.end());
    static ResourceEntry entry;
    entry = ResourceEntry{"BITMAP", 3901, s_Dib.data(), s_Dib.size()};
    size_t nTables = GetResourceTableCount();
    RegisterResourceTable(&entry, 1);
    HBITMAP hbm = LoadBitmapA(nullptr, MAKEINTRESOURCEA(3901));
    ASSERT_NE(hbm, nullptr);
    EXPECT_EQ(Pixels(hbm, 4, 2)[0], RGB(0xC0, 0xB0, 0xA0));
    DeleteObject(hbm);
    EXPECT_EQ(LoadBitmapA(nullptr, MAKEINTRESOURCEA(3902)), nullptr);
    TruncateResourceTables(nTables);
}

TEST(BmpFiles, DamagedFilesAreRefusedWithAMessage)
{
    std::vector<uint8_t> truncated = EightBitBmp();
    truncated.resize(truncated.size() - 3);
    std::vector<uint8_t> noPalette = EightBitBmp();
    noPalette.resize(14 + 40 + 6);
    std::vector<uint8_t> badSignature = EightBitBmp();
    badSignature[1] = 'X';
    const std::vector<uint8_t> cases[] = {truncated, noPalette, EightBitBmp(16), EightBitBmp(8, BI_RLE8), badSignature};
    SetLogEcho(false);
    for (const std::vector<uint8_t>& bytes : cases)
    {
        std::string strPath = WriteTemp(bytes);
        ClearLogLines();
        EXPECT_EQ(LoadImageA(nullptr, strPath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
        ASSERT_FALSE(GetLogLines().empty());
        EXPECT_NE(GetLogLines().back().m_strText.find("LoadImage()"), std::string::npos);
        std::remove(strPath.c_str());
    }
    SetLogEcho(true);
}
}
