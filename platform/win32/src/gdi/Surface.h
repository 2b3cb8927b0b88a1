#pragma once
// Pixel storage behind every bitmap and device context. Pixels travel through the raster engine
// as 32-bit BGRX values (blue in the low byte, as they lie in a 32-bit DIB). A monochrome surface
// reads as 0 (black) or 0xFFFFFF (white), so bitwise raster operations on it stay 0 or all ones.
#include <win32/gdi.h>

#include <cstdint>
#include <memory>
#include <vector>

struct Surface
{
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBitCount = 32;      // 1, 4, 8, 24 or 32
    int m_nStride = 0;         // bytes per row
    bool m_bBottomUp = false;  // row 0 of the image is the last row in memory
    bool m_bMono = false;      // 1 bpp read as black and white, whatever the colour table says
    std::vector<RGBQUAD> m_Palette;   // 1, 4 and 8 bpp sources
    uint8_t* m_pBits = nullptr;
    std::vector<uint8_t> m_Storage;   // owns m_pBits unless the bits belong to a caller

    // A surface that owns zeroed rows; nullptr when the size is refused or too large.
    // nRowAlign: 2 for device-dependent bitmaps, 4 for DIBs.
    static std::shared_ptr<Surface> Create(int cx, int cy, int nBitCount, int nRowAlign, bool bBottomUp);
    // A read-only view of a caller's packed DIB; nullptr for a format the layer does not read.
    // nRows > 0: the bits hold only that many scan lines (of a taller image).
    static std::shared_ptr<Surface> ViewDib(const BITMAPINFO* pInfo, const void* pBits, UINT nUsage, int nRows = 0);

    static int RowBytes(int cx, int nBitCount, int nRowAlign);

    uint8_t* Row(int y) const { return m_pBits + static_cast<size_t>(m_bBottomUp ? m_nHeight - 1 - y : y) * m_nStride; }
    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight; }
    uint32_t Read(int x, int y) const;
    // Drawing clears the alpha byte of a 32-bit surface, as GDI does; only copies between 32-bit
    // images (SRCCOPY, GetDIBits, SetDIBits) carry it, through the two calls below.
    void Write(int x, int y, uint32_t nPixel);
    // The pixel with its alpha in the high byte (0 for a surface of another depth).
    uint32_t ReadWithAlpha(int x, int y) const;
    // Writes the alpha byte too on a 32-bit surface; as Write on any other.
    void WriteWithAlpha(int x, int y, uint32_t nPixel);
};

// COLORREF (red in the low byte) to and from the BGRX pixel form.
inline uint32_t PixelFromColor(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
inline COLORREF ColorFromPixel(uint32_t p) { return ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF); }
// The nearer of black and white, for colours that reach a monochrome surface.
inline uint32_t MonoFromColor(COLORREF c)
{
    return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) >= 12800 ? 0xFFFFFFu : 0u;
}
