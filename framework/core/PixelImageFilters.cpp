// Filters that turn a PixelImage into a derived map: a grey image, mip levels told apart by
// alpha, an edge map.
#include "core/PixelImage.h"

#include <algorithm>
#include <cstring>

bool PixelImage::ToGrayScale(bool bRgbOrder, bool bShrink)
{
    if ((format != RGB8 && format != RGBA8) || !pixels)
        return false;
    size_t nCount = GetLevelsPixelCount(0, mipCount);
    size_t nStep = static_cast<size_t>(GetBytesPerPixel(format));
    size_t nOldSize = nCount * nStep;
    // Luma weights 77/151/28 out of 256; the red byte is the first or the third.
    size_t nRed = bRgbOrder ? 0 : 2, nBlue = 2 - nRed;
    // In place from the start: pixel i is read before byte i is written, and i <= i x nStep.
    for (size_t i = 0; i < nCount; ++i)
    {
        const uint8_t* p = pixels + i * nStep;
        pixels[i] = static_cast<uint8_t>((77 * p[nRed] + 151 * p[1] + 28 * p[nBlue] + 128) >> 8);
    }
    format = I8;
    // A failed shrink keeps the larger block, which still holds the whole grey image.
    if (bShrink)
        ResizeOwnedBuffer(nOldSize, nCount);
    return true;
}

bool PixelImage::MipLevelToAlpha()
{
    if ((format != RGB8 && format != RGBA8) || mipCount <= 1 || !pixels)
        return false;
    uint8_t* pNew = AllocatePixels(GetLevelsSize(0, mipCount, RGBA8));
    if (!pNew)
        return false;
    size_t nStep = static_cast<size_t>(GetBytesPerPixel(format));
    const uint8_t* pSrc = pixels;
    uint8_t* pDst = pNew;
    for (int32_t nLevel = 0; nLevel < mipCount; ++nLevel)
    {
        uint8_t alpha = static_cast<uint8_t>(255 - static_cast<int>(nLevel * 255.0 / (mipCount - 1)));
        size_t nCount = GetLevelsPixelCount(nLevel, 1);
        for (size_t i = 0; i < nCount; ++i, pSrc += nStep, pDst += 4)
        {
            pDst[0] = pSrc[0];
            pDst[1] = pSrc[1];
            pDst[2] = pSrc[2];
            pDst[3] = alpha;
        }
    }
    ReplacePixels(pNew);
    format = RGBA8;
    return true;
}

bool PixelImage::ToEdgeMap(bool bClampEdges)
{
    if ((format != I8 && format != RGB8 && format != RGBA8) || !pixels || width <= 0 || height <= 0)
        return false;
    size_t nStep = static_cast<size_t>(GetBytesPerPixel(format));
    uint8_t* pNew = AllocatePixels(GetLevelsSize(0, 1));
    if (!pNew)
        return false;
    // A neighbour beyond the edge is the edge pixel itself, or the pixel on the opposite side.
    auto neighbour = [bClampEdges](int32_t n, int32_t nSide) {
        if (n < 0)
            return bClampEdges ? 0 : nSide - 1;
        if (n >= nSide)
            return bClampEdges ? nSide - 1 : 0;
        return n;
    };
    auto at = [&](int32_t x, int32_t y) { return pixels + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * nStep; };
    for (int32_t y = 0; y < height; ++y)
    {
        for (int32_t x = 0; x < width; ++x)
        {
            const uint8_t* c = at(x, y);
            const uint8_t* up = at(x, neighbour(y - 1, height));
            const uint8_t* down = at(x, neighbour(y + 1, height));
            const uint8_t* left = at(neighbour(x - 1, width), y);
            const uint8_t* right = at(neighbour(x + 1, width), y);
            uint8_t* pOut = pNew + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * nStep;
            for (size_t k = 0; k < nStep; ++k)
            {
                int e = 4 * c[k] - up[k] - down[k] - left[k] - right[k];
                pOut[k] = static_cast<uint8_t>(e < 0 ? 0 : std::min(e * 4, 255));
            }
        }
    }
    ReplacePixels(pNew);
    mipCount = 1;
    return true;
}
