#pragma once
// The layout of a packed DIB from its header: colour-table entries, row length and block size,
// with the checks that every image taken from outside must pass.
#include <win32/gdi.h>

#include <cstddef>

struct DibLayout
{
    int m_nColors = 0;            // colour-table entries
    size_t m_nBytesPerLine = 0;   // a multiple of 4
    size_t m_nTotal = 0;          // header, colour table and pixels

    // 2, 16 or 256 entries for 1, 4 or 8 bits per pixel, none for any other depth.
    static int ColorCount(int nBitCount)
    {
        return nBitCount == 1 ? 2 : nBitCount == 4 ? 16 : nBitCount == 8 ? 256 : 0;
    }
    // Sizes positive and at most 32768 (CDib::MAX_SIDE) each, the block below 512 MB. Images made
    // here may have 1, 4, 8, 16, 24 or 32 bits per pixel; images read from outside
    // (bFromOutside) only 1, 4, 8 or 24, uncompressed, with a header of at least 40 bytes. The
    // reason for a refusal goes to *pszReason.
    static bool Measure(const BITMAPINFOHEADER& header, bool bFromOutside, DibLayout& layout,
                        const char** pszReason = nullptr);
};
