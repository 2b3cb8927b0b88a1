#pragma once
// Small drawing surfaces for the pixel tests: memory DCs over top-down 32-bit DIB sections,
// whose bits the tests read and write directly.
#include <win32/gdi.h>

#include <cstdint>
#include <vector>

struct DibCanvas
{
    HDC m_hdc = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    uint32_t* m_pBits = nullptr;
    int m_cx = 0;
    int m_cy = 0;

    DibCanvas(int cx, int cy, const std::vector<uint32_t>& pixels = {}) : m_cx(cx), m_cy(cy)
    {
        BITMAPINFO bmi{};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        m_hdc = CreateCompatibleDC(nullptr);
        m_hBitmap = CreateDIBSection(m_hdc, &bmi, DIB_RGB_COLORS, &pBits, nullptr, 0);
        m_pBits = static_cast<uint32_t*>(pBits);
        m_hOld = SelectObject(m_hdc, m_hBitmap);
        for (size_t i = 0; i < pixels.size(); ++i)
            m_pBits[i] = pixels[i];
    }
    ~DibCanvas()
    {
        SelectObject(m_hdc, m_hOld);
        DeleteObject(m_hBitmap);
        DeleteDC(m_hdc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    uint32_t At(int x, int y) const { return m_pBits[y * m_cx + x] & 0xFFFFFF; }
    std::vector<uint32_t> Pixels() const
    {
        std::vector<uint32_t> v;
        for (int i = 0; i < m_cx * m_cy; ++i)
            v.push_back(m_pBits[i] & 0xFFFFFF);
        return v;
    }
};
