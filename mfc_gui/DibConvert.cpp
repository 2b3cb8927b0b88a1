// CDib's conversion of 1-, 4-, 8- and 24-bit images into an 8-bit image's colour table, by the
// nearest colour with a per-index cache.
#include "mfc_gui/Dib.h"

#include <cstring>
#include <new>

namespace
{
// The weighted distance: green counts most, blue least.
int ColorDistance(const RGBQUAD& a, const RGBQUAD& b)
{
    const int dr = a.rgbRed - b.rgbRed, dg = a.rgbGreen - b.rgbGreen, db = a.rgbBlue - b.rgbBlue;
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

bool SameColor(const RGBQUAD& a, const RGBQUAD& b)
{
    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
}
}

int CDib::NearestIndex(RGBQUAD color)
{
    const int nColors = GetPaletteSize();
    for (int i = 0; i < nColors; ++i)
        if (m_CacheValid[i] && SameColor(m_CacheColor[i], color))
            return i;
    int nBest = 0, nBestDistance = 10000000;
    for (int i = 0; i < nColors; ++i)
    {
        const int nDistance = ColorDistance(color, m_pColors[i]);
        if (nDistance < nBestDistance)
        {
            nBest = i;
            nBestDistance = nDistance;
            if (nDistance == 0)
                break;
        }
    }
    if (nColors > 0)
    {
        m_CacheColor[nBest] = color;
        m_CacheValid[nBest] = 1;
    }
    return nBest;
}

BOOL CDib::CopyFrom(const CDib& source)
{
    if (GetBitCount() != 8 || !source.IsValid() || source.m_nWidth != m_nWidth || source.m_nHeight != m_nHeight)
        return FALSE;
    ClearCache();
    const int nSourceBits = source.GetBitCount();
    if (nSourceBits == 24)
    {
        // One look-up per 15-bit colour (5 bits each of red, green, blue), each as the colour at
        // the top of its cell, then one table read per pixel.
        std::unique_ptr<BYTE[]> pTable(new (std::nothrow) BYTE[32768]);
        if (!pTable)
            return FALSE;
        for (int nKey = 0; nKey < 32768; ++nKey)
        {
            const RGBQUAD c{static_cast<BYTE>((nKey & 31) * 8 + 7), static_cast<BYTE>(((nKey >> 5) & 31) * 8 + 7),
                            static_cast<BYTE>(((nKey >> 10) & 31) * 8 + 7), 0};
            pTable[nKey] = static_cast<BYTE>(NearestIndex(c));
        }
        for (int y = 0; y < m_nHeight; ++y)
        {
            const BYTE* pFrom = source.m_ppRows[y];
            BYTE* pTo = m_ppRows[y];
            for (int x = 0; x < m_nWidth; ++x, pFrom += 3)
                pTo[x] = pTable[(pFrom[0] >> 3) | (pFrom[1] >> 3) << 5 | (pFrom[2] >> 3) << 10];
        }
        return TRUE;
    }
    if (nSourceBits != 1 && nSourceBits != 4 && nSourceBits != 8)
        return FALSE;
    // The source's colours are matched once each.
    BYTE map[256] = {};
    for (int i = 0; i < source.GetPaletteSize(); ++i)
        map[i] = static_cast<BYTE>(NearestIndex(source.m_pColors[i]));
    for (int y = 0; y < m_nHeight; ++y)
    {
        const BYTE* pFrom = source.m_ppRows[y];
        BYTE* pTo = m_ppRows[y];
        for (int x = 0; x < m_nWidth; ++x)
        {
            int nIndex = 0;
            if (nSourceBits == 1)
                nIndex = (pFrom[x / 8] >> (7 - x % 8)) & 1;   // most significant bit first
            else if (nSourceBits == 4)
                nIndex = x % 2 == 0 ? pFrom[x / 2] >> 4 : pFrom[x / 2] & 15;
            else
                nIndex = pFrom[x];
            pTo[x] = map[nIndex];
        }
    }
    return TRUE;
}
