// Normal map from a height map: Sobel slopes per pixel, the edges wrapping around so that tiled
// textures stay seamless.
#include "core/PixelImage.h"

#include "core/Vector3.h"

bool PixelImage::ToNormalMap(bool bRgbOrder)
{
    if (format != I8 || !pixels)
        return false;
    uint8_t* pNew = AllocatePixels(GetLevelsSize(0, mipCount, RGB8));
    if (!pNew)
        return false;
    uint8_t* pOut = pNew;
    for (int32_t nLevel = 0; nLevel < mipCount; ++nLevel)
    {
        const uint8_t* pLevel = GetLevelPixels(nLevel);
        int32_t w = GetLevelWidth(nLevel), h = GetLevelHeight(nLevel);
        for (int32_t y = 0; y < h; ++y)
        {
            const uint8_t* A = pLevel + static_cast<size_t>((y + h - 1) % h) * static_cast<size_t>(w);
            const uint8_t* M = pLevel + static_cast<size_t>(y) * static_cast<size_t>(w);
            const uint8_t* B = pLevel + static_cast<size_t>((y + 1) % h) * static_cast<size_t>(w);
            for (int32_t x = 0; x < w; ++x, pOut += 3)
            {
                int32_t l = (x + w - 1) % w, r = (x + 1) % w;
                int32_t dx = (A[l] + 2 * M[l] + B[l]) - (A[r] + 2 * M[r] + B[r]);
                int32_t dy = (A[l] + 2 * A[x] + A[r]) - (B[l] + 2 * B[x] + B[r]);
                // The normal is (dx, dy, 256) / length. f = 1044480 / length = 4080 x nz, and
                // (4080 x n + 4080) / 32 maps n in -1..1 to 0..255; for x and y the extra factor
                // 256 of nz is folded into the shift by 13.
                int32_t f = static_cast<int32_t>(FastInvSqrt(static_cast<float>(dx * dx + dy * dy + 65536)) * 1044480.0f);
                uint8_t X = static_cast<uint8_t>((dx * f + 1044480) >> 13);
                uint8_t Y = static_cast<uint8_t>((dy * f + 1044480) >> 13);
                uint8_t Z = static_cast<uint8_t>((f + 4080) >> 5);
                pOut[0] = bRgbOrder ? X : Z;
                pOut[1] = Y;
                pOut[2] = bRgbOrder ? Z : X;
            }
        }
    }
    ReplacePixels(pNew);
    format = RGB8;
    return true;
}
