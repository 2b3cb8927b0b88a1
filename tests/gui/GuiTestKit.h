#pragma once
// What the toolkit tests share: a fresh window layer per test (with the resources it registered
// forgotten afterwards), a top-level host window, small BMP files written from pixel values, and
// pixels read back from a window.
#include <core/Log.h>
#include <mfc/afxwin.h>
#include <win32/present.h>
#include <win32/resources.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// A bottom-up BMP file of 24 or 32 bits; pixels are 0xAARRGGBB (alpha kept only in 32 bits),
// rows top to bottom.
inline std::vector<uint8_t> MakeBmp(int nWidth, int nHeight, int nBits, const std::vector<uint32_t>& pixels)
{
    const int nBytes = nBits / 8;
    const int nStride = (nWidth * nBytes + 3) & ~3;
    std::vector<uint8_t> data(54 + static_cast<size_t>(nStride) * nHeight, 0);
    auto put = [&](size_t at, uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            data[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(0, 0x4D42, 2);
    put(2, static_cast<uint32_t>(data.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, static_cast<uint32_t>(nWidth), 4);
    put(22, static_cast<uint32_t>(nHeight), 4);
    put(26, 1, 2);
    put(28, static_cast<uint32_t>(nBits), 2);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
            put(54 + static_cast<size_t>(nHeight - 1 - y) * nStride + x * nBytes, pixels[y * nWidth + x], nBytes);
    return data;
}

inline bool WriteBmp24(const std::string& strPath, int nWidth, int nHeight, const std::vector<uint32_t>& pixels)
{
    const std::vector<uint8_t> data = MakeBmp(nWidth, nHeight, 24, pixels);
    std::ofstream out(strPath, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    return static_cast<bool>(out);
}

// A COLORREF (0x00BBGGRR) as a window pixel (0xRRGGBB).
inline uint32_t ToRgb(COLORREF c)
{
    return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// The window's pixel at (x, y) of its window rectangle, as 0xRRGGBB.
inline uint32_t WindowPixel(HWND hWnd, int x, int y)
{
    win32::Image32 image;
    if (!win32::GetWindowImage(hWnd, image) || x < 0 || y < 0 || x >= static_cast<int>(image.m_nWidth) ||
        y >= static_cast<int>(image.m_nHeight))
        return 0xFF000000u;
    return image.m_Pixels[static_cast<size_t>(y) * image.m_nWidth + x] & 0xFFFFFF;
}

class GuiTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_nResourceTables = GetResourceTableCount();
        ClearLogLines();
    }
    void TearDown() override
    {
        if (m_Host.m_hWnd)
            m_Host.DestroyWindow();
        TruncateResourceTables(m_nResourceTables);
    }
    // A captionless top-level window (window and client rectangle alike) at (x, y).
    CWnd& Host(int x, int y, int nWidth, int nHeight)
    {
        const char* szClass = AfxRegisterWndClass(0, nullptr, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        m_Host.CreateEx(0, szClass, "Host", WS_POPUP | WS_VISIBLE, x, y, nWidth, nHeight, nullptr, nullptr);
        return m_Host;
    }
    void Drag(POINT ptFrom, POINT ptTo)
    {
        m_Driver.mouse(ptFrom);
        m_Driver.mouse(ptFrom, 0, true);
        m_Driver.mouse(ptTo);
        m_Driver.mouse(ptTo, 0, false);
        m_Driver.pumpUntilIdle();
    }

    win32::Driver m_Driver;
    CWnd m_Host;
    size_t m_nResourceTables = 0;
};

// A GUI test whose expected warnings stay in the log lines instead of the terminal.
class QuietGuiTest : public GuiTest
{
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        SetLogEcho(false);
    }
    void TearDown() override
    {
        SetLogEcho(true);
        GuiTest::TearDown();
    }
};
