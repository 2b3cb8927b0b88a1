#pragma once
// Golden snapshots: a window's pixels compared exactly with a PNG in tests/win32/data. Goldens
// with text record the checksums of the font files they were drawn with; with other fonts the
// comparison is skipped. -DUPDATE_GOLDEN=ON rewrites both files.
#include <core/PixelImage.h>
#include <win32/gdi.h>
#include <win32/present.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

inline uint64_t FileChecksum(const std::string& strPath)
{
    std::ifstream in(strPath, std::ios::binary);
    uint64_t h = 1469598103934665603ull;   // FNV-1a, 64 bit
    for (std::istreambuf_iterator<char> it(in), end; it != end; ++it)
        h = (h ^ static_cast<uint8_t>(*it)) * 1099511628211ull;
    return h;
}

// The font files of the user-interface face, normal and bold, with their checksums.
inline std::string FontRecord()
{
    std::ostringstream out;
    for (LONG nWeight : {FW_NORMAL, FW_BOLD})
    {
        std::string strFile = win32::FontFileFor("MS Sans Serif", nWeight, false);
        out << strFile.substr(strFile.find_last_of('/') + 1) << " " << std::hex << FileChecksum(strFile) << "\n";
    }
    return out.str();
}

// Compares the window with data/<strName>.png; the number of differing pixels, or -1 when the
// fonts differ from the golden's (the caller skips).
inline int CompareWithGolden(HWND hWnd, const std::string& strName)
{
    const std::string strGolden = std::string(QUEN_TEST_DATA_DIR) + "/" + strName + ".png";
    const std::string strFonts = std::string(QUEN_TEST_DATA_DIR) + "/" + strName + ".fonts";
    win32::Image32 image;
    EXPECT_TRUE(win32::GetWindowImage(hWnd, image));
#ifdef QUEN_UPDATE_GOLDEN
    EXPECT_TRUE(win32::SaveSnapshot(hWnd, strGolden.c_str()));
    std::ofstream(strFonts) << FontRecord();
#endif
    std::ifstream fonts(strFonts);
    std::string strRecorded((std::istreambuf_iterator<char>(fonts)), std::istreambuf_iterator<char>());
    if (strRecorded != FontRecord())
        return -1;
    PixelImage golden;
    EXPECT_TRUE(golden.LoadPNG(strGolden.c_str(), false, false));
    EXPECT_EQ(golden.width, static_cast<int>(image.m_nWidth));
    EXPECT_EQ(golden.height, static_cast<int>(image.m_nHeight));
    if (golden.width != static_cast<int>(image.m_nWidth) || golden.height != static_cast<int>(image.m_nHeight))
        return golden.width * golden.height;
    int nDiffering = 0;
    for (int i = 0; i < golden.width * golden.height; ++i)
    {
        const uint8_t* p = golden.pixels + i * 3;
        DWORD v = p[0] | (p[1] << 8) | (p[2] << 16);
        nDiffering += v != (image.m_Pixels[static_cast<size_t>(i)] & 0xFFFFFF);
    }
    return nDiffering;
}
