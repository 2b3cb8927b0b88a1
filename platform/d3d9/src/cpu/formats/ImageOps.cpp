#include "cpu/formats/ImageOps.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
bool ClipToImage(const ImageStorage& image, const RECT& rect, RECT& clipped)
{
    clipped = {std::max<LONG>(rect.left, 0), std::max<LONG>(rect.top, 0),
               std::min<LONG>(rect.right, static_cast<LONG>(image.nWidth)),
               std::min<LONG>(rect.bottom, static_cast<LONG>(image.nHeight))};
    return clipped.left < clipped.right && clipped.top < clipped.bottom;
}

void ReadClamped(const ImageStorage& image, int x, int y, float rgba[4])
{
    x = std::clamp(x, 0, static_cast<int>(image.nWidth) - 1);
    y = std::clamp(y, 0, static_cast<int>(image.nHeight) - 1);
    ReadStorageTexel(image, static_cast<UINT>(x), static_cast<UINT>(y), 0, rgba);
}
}  // namespace

void FillColor(ImageStorage& image, const RECT& rect, const float rgba[4])
{
    RECT clipped;
    if (image.IsDepth() || image.pFormat->kind != FormatKind::Color || !ClipToImage(image, rect, clipped))
        return;
    const FormatInfo& format = *image.pFormat;
    BYTE pixel[16];
    EncodePixel(format, rgba, pixel);
    // Convert once, fill one row, then copy that row: a whole-screen clear is a run of memcpy.
    const size_t size = format.bytesPerBlock;
    const size_t rowBytes = static_cast<size_t>(clipped.right - clipped.left) * size;
    BYTE* pFirst = image.Row(static_cast<UINT>(clipped.top)) + static_cast<size_t>(clipped.left) * size;
    for (size_t offset = 0; offset < rowBytes; offset += size)
        std::memcpy(pFirst + offset, pixel, size);
    for (LONG y = clipped.top + 1; y < clipped.bottom; ++y)
        std::memcpy(image.Row(static_cast<UINT>(y)) + static_cast<size_t>(clipped.left) * size, pFirst, rowBytes);
    ++image.nVersion;
}

void FillDepthStencil(ImageStorage& image, const RECT& rect, bool bDepth, float fDepth, bool bStencil, DWORD nStencil)
{
    RECT clipped;
    if (!image.IsDepth() || !ClipToImage(image, rect, clipped))
        return;
    for (LONG y = clipped.top; y < clipped.bottom; ++y)
    {
        const size_t start = static_cast<size_t>(y) * image.nWidth + static_cast<size_t>(clipped.left);
        const size_t count = static_cast<size_t>(clipped.right - clipped.left);
        if (bDepth)
            std::fill_n(image.depthValues.begin() + static_cast<std::ptrdiff_t>(start), count, fDepth);
        if (bStencil)
            std::fill_n(image.stencilValues.begin() + static_cast<std::ptrdiff_t>(start), count,
                        static_cast<BYTE>(nStencil & 0xFF));
    }
    ++image.nVersion;
}

void StretchImage(const ImageStorage& source, const RECT& sourceRect, ImageStorage& dest, const RECT& destRect,
                  D3DTEXTUREFILTERTYPE filter)
{
    const LONG destWidth = destRect.right - destRect.left;
    const LONG destHeight = destRect.bottom - destRect.top;
    const LONG sourceWidth = sourceRect.right - sourceRect.left;
    const LONG sourceHeight = sourceRect.bottom - sourceRect.top;
    const FormatInfo& format = *dest.pFormat;
    if (source.pFormat == dest.pFormat && destWidth == sourceWidth && destHeight == sourceHeight)
    {
        for (LONG y = 0; y < destHeight; ++y)
            std::memcpy(dest.Row(static_cast<UINT>(destRect.top + y)) + static_cast<size_t>(destRect.left) * format.bytesPerBlock,
                        source.Row(static_cast<UINT>(sourceRect.top + y)) + static_cast<size_t>(sourceRect.left) * format.bytesPerBlock,
                        static_cast<size_t>(destWidth) * format.bytesPerBlock);
        ++dest.nVersion;
        return;
    }
    const float scaleX = static_cast<float>(sourceWidth) / static_cast<float>(destWidth);
    const float scaleY = static_cast<float>(sourceHeight) / static_cast<float>(destHeight);
    for (LONG y = 0; y < destHeight; ++y)
        for (LONG x = 0; x < destWidth; ++x)
        {
            // Destination pixel centre in source pixel units.
            const float u = (static_cast<float>(x) + 0.5f) * scaleX;
            const float v = (static_cast<float>(y) + 0.5f) * scaleY;
            float rgba[4];
            if (filter == D3DTEXF_LINEAR)
            {
                const float fu = u - 0.5f;
                const float fv = v - 0.5f;
                const int x0 = static_cast<int>(std::floor(fu));
                const int y0 = static_cast<int>(std::floor(fv));
                const float wx = fu - static_cast<float>(x0);
                const float wy = fv - static_cast<float>(y0);
                float c00[4], c10[4], c01[4], c11[4];
                ReadClamped(source, sourceRect.left + x0, sourceRect.top + y0, c00);
                ReadClamped(source, sourceRect.left + x0 + 1, sourceRect.top + y0, c10);
                ReadClamped(source, sourceRect.left + x0, sourceRect.top + y0 + 1, c01);
                ReadClamped(source, sourceRect.left + x0 + 1, sourceRect.top + y0 + 1, c11);
                for (int c = 0; c < 4; ++c)
                {
                    const float top = c00[c] + (c10[c] - c00[c]) * wx;
                    const float bottom = c01[c] + (c11[c] - c01[c]) * wx;
                    rgba[c] = top + (bottom - top) * wy;
                }
            }
            else
                ReadClamped(source, sourceRect.left + static_cast<int>(u), sourceRect.top + static_cast<int>(v), rgba);
            EncodePixel(format, rgba,
                        dest.Row(static_cast<UINT>(destRect.top + y)) +
                            static_cast<size_t>(destRect.left + x) * format.bytesPerBlock);
        }
    ++dest.nVersion;
}
