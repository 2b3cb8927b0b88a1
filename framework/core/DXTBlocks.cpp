#include "core/DXTBlocks.h"

#include "core/PixelAccess.h"
#include "core/PixelFormat.h"

namespace
{
// DXT3: 4 bits per pixel, pixel k of the block (k = 4 x row + column) in bits 4k to 4k + 3.
void DecodeExplicitAlpha(const uint8_t* pBlock, uint8_t alpha[16])
{
    for (int k = 0; k < 16; ++k)
    {
        uint8_t nibble = static_cast<uint8_t>((pBlock[k / 2] >> (4 * (k & 1))) & 0x0F);
        alpha[k] = static_cast<uint8_t>(nibble << 4);
    }
}

// DXT5: two endpoints and a 3-bit index per pixel (bits 3k to 3k + 2 of bytes 2 to 7).
void DecodeInterpolatedAlpha(const uint8_t* pBlock, uint8_t alpha[16])
{
    int a0 = pBlock[0], a1 = pBlock[1];
    int table[8] = {a0, a1};
    if (a0 > a1)
    {
        for (int i = 2; i < 8; ++i)
            table[i] = ((8 - i) * a0 + (i - 1) * a1) / 7;
    }
    else
    {
        for (int i = 2; i < 6; ++i)
            table[i] = ((6 - i) * a0 + (i - 1) * a1) / 5;
        table[6] = 0;
        table[7] = 255;
    }
    uint64_t bits = 0;
    for (int i = 0; i < 6; ++i)
        bits |= static_cast<uint64_t>(pBlock[2 + i]) << (8 * i);
    for (int k = 0; k < 16; ++k)
        alpha[k] = static_cast<uint8_t>(table[(bits >> (3 * k)) & 7]);
}

// An endpoint's 5-6-5 fields moved to the top of each byte (low bits left 0).
void ExpandEndpoint(uint16_t c, int rgb[3])
{
    rgb[0] = ((c >> 11) & 31) << 3;
    rgb[1] = ((c >> 5) & 63) << 2;
    rgb[2] = (c & 31) << 3;
}
}

void DecodeDXTBlocks(const uint8_t* pBlocks, int32_t w, int32_t h, int nFormat, uint8_t* pOut, int nBytesPerPixel)
{
    const size_t nBlockBytes = static_cast<size_t>(GetBytesPerBlock(nFormat));
    const size_t nColourOffset = nFormat == DXT1 ? 0 : 8;
    const size_t nRowBytes = static_cast<size_t>(w) * static_cast<size_t>(nBytesPerPixel);
    for (int32_t by = 0; by < h; by += 4)
    {
        for (int32_t bx = 0; bx < w; bx += 4, pBlocks += nBlockBytes)
        {
            uint8_t alpha[16];
            for (uint8_t& a : alpha)
                a = 255;
            if (nFormat == DXT3)
                DecodeExplicitAlpha(pBlocks, alpha);
            else if (nFormat == DXT5)
                DecodeInterpolatedAlpha(pBlocks, alpha);

            const uint8_t* pColour = pBlocks + nColourOffset;
            uint16_t c0 = LoadU16(pColour), c1 = LoadU16(pColour + 2);
            int colours[4][3];
            ExpandEndpoint(c0, colours[0]);
            ExpandEndpoint(c1, colours[1]);
            bool bFourColour = c0 > c1 || nFormat != DXT1;
            for (int i = 0; i < 3; ++i)
            {
                if (bFourColour)
                {
                    colours[2][i] = (2 * colours[0][i] + colours[1][i] + 1) / 3;
                    colours[3][i] = (colours[0][i] + 2 * colours[1][i] + 1) / 3;
                }
                else
                {
                    colours[2][i] = (colours[0][i] + colours[1][i] + 1) >> 1;
                    colours[3][i] = 0;
                }
            }

            for (int row = 0; row < 4 && by + row < h; ++row)
            {
                uint8_t indices = pColour[4 + row];
                uint8_t* pPixel = pOut + static_cast<size_t>(by + row) * nRowBytes + static_cast<size_t>(bx) * static_cast<size_t>(nBytesPerPixel);
                for (int col = 0; col < 4 && bx + col < w; ++col, pPixel += nBytesPerPixel)
                {
                    int index = (indices >> (2 * col)) & 3;
                    pPixel[0] = static_cast<uint8_t>(colours[index][0]);
                    pPixel[1] = static_cast<uint8_t>(colours[index][1]);
                    pPixel[2] = static_cast<uint8_t>(colours[index][2]);
                    if (nBytesPerPixel == 4)
                    {
                        uint8_t a = alpha[4 * row + col];
                        if (nFormat == DXT1)
                            a = (index == 3 && !bFourColour) ? 0 : 255;
                        pPixel[3] = a;
                    }
                }
            }
        }
    }
}
