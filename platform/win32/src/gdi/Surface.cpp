#include "Surface.h"

#include <algorithm>

namespace
{
// Images larger than this in either direction are refused rather than allocated.
constexpr int kMaxSide = 32768;

uint32_t PixelFromQuad(const RGBQUAD& q) { return q.rgbBlue | (q.rgbGreen << 8) | (q.rgbRed << 16); }
}

int Surface::RowBytes(int cx, int nBitCount, int nRowAlign)
{
    int64_t nBits = static_cast<int64_t>(cx) * nBitCount;
    int64_t nBytes = (nBits + 7) / 8;
    return static_cast<int>((nBytes + nRowAlign - 1) / nRowAlign * nRowAlign);
}

std::shared_ptr<Surface> Surface::Create(int cx, int cy, int nBitCount, int nRowAlign, bool bBottomUp)
{
    if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide)
        return nullptr;
    if (nBitCount != 1 && nBitCount != 24 && nBitCount != 32)
        return nullptr;
    auto pSurface = std::make_shared<Surface>();
    pSurface->m_nWidth = cx;
    pSurface->m_nHeight = cy;
    pSurface->m_nBitCount = nBitCount;
    pSurface->m_nStride = RowBytes(cx, nBitCount, nRowAlign);
    pSurface->m_bBottomUp = bBottomUp;
    pSurface->m_bMono = nBitCount == 1;
    pSurface->m_Storage.assign(static_cast<size_t>(pSurface->m_nStride) * cy, 0);
    pSurface->m_pBits = pSurface->m_Storage.data();
    return pSurface;
}

std::shared_ptr<Surface> Surface::ViewDib(const BITMAPINFO* pInfo, const void* pBits, UINT nUsage, int nRows)
{
    if (!pInfo || !pBits || nUsage != DIB_RGB_COLORS)
        return nullptr;
    const BITMAPINFOHEADER& h = pInfo->bmiHeader;
    int nBitCount = h.biBitCount;
    bool bKnownDepth = nBitCount == 1 || nBitCount == 4 || nBitCount == 8 || nBitCount == 24 || nBitCount == 32;
    if (!bKnownDepth || h.biCompression != BI_RGB || h.biWidth <= 0 || h.biHeight == 0)
        return nullptr;
    int64_t cy = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
    if (h.biWidth > kMaxSide || cy > kMaxSide)
        return nullptr;
    auto pSurface = std::make_shared<Surface>();
    pSurface->m_nWidth = h.biWidth;
    pSurface->m_nHeight = nRows > 0 ? std::min(nRows, static_cast<int>(cy)) : static_cast<int>(cy);
    pSurface->m_nBitCount = nBitCount;
    pSurface->m_nStride = RowBytes(h.biWidth, nBitCount, 4);
    pSurface->m_bBottomUp = h.biHeight > 0;
    if (nBitCount <= 8)
    {
        size_t nColors = h.biClrUsed ? h.biClrUsed : (size_t{1} << nBitCount);
        if (nColors > (size_t{1} << nBitCount))
            return nullptr;
        pSurface->m_Palette.assign(pInfo->bmiColors, pInfo->bmiColors + nColors);
        pSurface->m_Palette.resize(size_t{1} << nBitCount, RGBQUAD{0, 0, 0, 0});
    }
    pSurface->m_pBits = const_cast<uint8_t*>(static_cast<const uint8_t*>(pBits));
    return pSurface;
}

uint32_t Surface::Read(int x, int y) const
{
    const uint8_t* pRow = Row(y);
    switch (m_nBitCount)
    {
    case 32:
        return (pRow[x * 4] | (pRow[x * 4 + 1] << 8) | (pRow[x * 4 + 2] << 16));
    case 24:
        return (pRow[x * 3] | (pRow[x * 3 + 1] << 8) | (pRow[x * 3 + 2] << 16));
    case 8:
        return PixelFromQuad(m_Palette[pRow[x]]);
    case 4:
        return PixelFromQuad(m_Palette[(pRow[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF]);
    default:
    {
        int nBit = (pRow[x >> 3] >> (7 - (x & 7))) & 1;
        if (m_bMono)
            return nBit ? 0xFFFFFFu : 0u;
        return PixelFromQuad(m_Palette[nBit]);
    }
    }
}

void Surface::Write(int x, int y, uint32_t nPixel)
{
    uint8_t* pRow = Row(y);
    switch (m_nBitCount)
    {
    case 32:
        pRow[x * 4] = static_cast<uint8_t>(nPixel);
        pRow[x * 4 + 1] = static_cast<uint8_t>(nPixel >> 8);
        pRow[x * 4 + 2] = static_cast<uint8_t>(nPixel >> 16);
        pRow[x * 4 + 3] = 0;
        break;
    case 24:
        pRow[x * 3] = static_cast<uint8_t>(nPixel);
        pRow[x * 3 + 1] = static_cast<uint8_t>(nPixel >> 8);
        pRow[x * 3 + 2] = static_cast<uint8_t>(nPixel >> 16);
        break;
    case 1:
    {
        uint8_t nMask = static_cast<uint8_t>(0x80 >> (x & 7));
        if (nPixel & 0xFFFFFF)
            pRow[x >> 3] |= nMask;
        else
            pRow[x >> 3] &= static_cast<uint8_t>(~nMask);
        break;
    }
    default:
        break;   // palette surfaces are only ever read
    }
}

uint32_t Surface::ReadWithAlpha(int x, int y) const
{
    if (m_nBitCount != 32)
        return Read(x, y);
    const uint8_t* p = Row(y) + x * 4;
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void Surface::WriteWithAlpha(int x, int y, uint32_t nPixel)
{
    if (m_nBitCount != 32)
        return Write(x, y, nPixel);
    uint8_t* p = Row(y) + x * 4;
    p[0] = static_cast<uint8_t>(nPixel);
    p[1] = static_cast<uint8_t>(nPixel >> 8);
    p[2] = static_cast<uint8_t>(nPixel >> 16);
    p[3] = static_cast<uint8_t>(nPixel >> 24);
}
