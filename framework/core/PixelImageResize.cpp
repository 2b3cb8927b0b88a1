// Resampling of level 0 of an 8-bit image (nearest, bilinear, bicubic). Source positions come
// from target positions by integer arithmetic: target index i of n maps to i x (side - 1) / (n - 1)
// in fixed point. Positions are 64-bit (a 5000-pixel side times 256 passes 32 bits), a target
// side of 1 samples position 0, and every sample is clamped into the source.
#include "core/PixelImage.h"

#include <algorithm>

namespace
{
enum ResizeFilter
{
    FILTER_NEAREST = 0,
    FILTER_BILINEAR = 1,
    FILTER_BICUBIC = 2,
};

// Fixed-point source position (scaled by nScale) of target index i of nTarget.
int64_t SourcePosition(int32_t i, int32_t nSource, int32_t nTarget, int64_t nScale)
{
    if (nTarget <= 1)
        return 0;
    return static_cast<int64_t>(i) * (nSource - 1) * nScale / (nTarget - 1);
}

int32_t ClampIndex(int64_t n, int32_t nSide)
{
    return static_cast<int32_t>(std::clamp<int64_t>(n, 0, nSide - 1));
}

// Cubic convolution b + s(c - a) + s^2(2a - 2b + c - d) + s^3(b - a + d - c) with s = t / 128,
// in fixed point with 21 fraction bits.
int64_t CubicInterpolate(int64_t a, int64_t b, int64_t c, int64_t d, int64_t t)
{
    int64_t D = d - c - a + b;
    return (t * (t * (t * D + 128 * (a - b - D)) + 16384 * (c - a)) + b * (int64_t{1} << 21)) >> 21;
}

struct ResizeJob
{
    const uint8_t* m_pSrc;
    int32_t m_nSrcWidth;
    int32_t m_nSrcHeight;
    uint8_t* m_pDst;
    int32_t m_nDstWidth;
    int32_t m_nDstHeight;
    int m_nChannels;

    const uint8_t* Pixel(int32_t x, int32_t y) const
    {
        return m_pSrc + (static_cast<size_t>(y) * static_cast<size_t>(m_nSrcWidth) + static_cast<size_t>(x)) * static_cast<size_t>(m_nChannels);
    }
    uint8_t* Target(int32_t j, int32_t i) const
    {
        return m_pDst + (static_cast<size_t>(i) * static_cast<size_t>(m_nDstWidth) + static_cast<size_t>(j)) * static_cast<size_t>(m_nChannels);
    }
};

void ResizeNearest(const ResizeJob& job)
{
    for (int32_t i = 0; i < job.m_nDstHeight; ++i)
    {
        int32_t y = ClampIndex(SourcePosition(i, job.m_nSrcHeight, job.m_nDstHeight, 1), job.m_nSrcHeight);
        for (int32_t j = 0; j < job.m_nDstWidth; ++j)
        {
            int32_t x = ClampIndex(SourcePosition(j, job.m_nSrcWidth, job.m_nDstWidth, 1), job.m_nSrcWidth);
            std::copy_n(job.Pixel(x, y), job.m_nChannels, job.Target(j, i));
        }
    }
}

// Weights in 1/256 steps. The last target row steps back by 1/256 so that it blends 255/256
// of the bottom source row with 1/256 of the row above.
void ResizeBilinear(const ResizeJob& job)
{
    for (int32_t i = 0; i < job.m_nDstHeight; ++i)
    {
        int64_t ry = SourcePosition(i, job.m_nSrcHeight, job.m_nDstHeight, 256);
        if (i == job.m_nDstHeight - 1)
            ry -= 1;
        ry = std::max<int64_t>(ry, 0);
        int32_t y0 = ClampIndex(ry >> 8, job.m_nSrcHeight), y1 = ClampIndex((ry >> 8) + 1, job.m_nSrcHeight);
        int32_t fy = static_cast<int32_t>(ry & 255);
        for (int32_t j = 0; j < job.m_nDstWidth; ++j)
        {
            int64_t rx = SourcePosition(j, job.m_nSrcWidth, job.m_nDstWidth, 256);
            int32_t x0 = ClampIndex(rx >> 8, job.m_nSrcWidth), x1 = ClampIndex((rx >> 8) + 1, job.m_nSrcWidth);
            int32_t fx = static_cast<int32_t>(rx & 255);
            const uint8_t *p00 = job.Pixel(x0, y0), *p10 = job.Pixel(x1, y0);
            const uint8_t *p01 = job.Pixel(x0, y1), *p11 = job.Pixel(x1, y1);
            uint8_t* pOut = job.Target(j, i);
            for (int c = 0; c < job.m_nChannels; ++c)
            {
                int32_t v = (256 - fx) * (256 - fy) * p00[c] + (256 - fx) * fy * p01[c] + fx * (256 - fy) * p10[c] + fx * fy * p11[c];
                pOut[c] = static_cast<uint8_t>(v >> 16);
            }
        }
    }
}

// Positions in 1/128 steps; rows y - 1 to y + 2 and columns x - 1 to x + 2, each clamped into
// the source (so row y - 1 at the top is row y, and a row past the bottom repeats the last).
void ResizeBicubic(const ResizeJob& job)
{
    for (int32_t i = 0; i < job.m_nDstHeight; ++i)
    {
        int64_t ry = SourcePosition(i, job.m_nSrcHeight, job.m_nDstHeight, 128);
        int64_t y = ry >> 7, fy = ry & 127;
        int32_t rows[4];
        for (int k = 0; k < 4; ++k)
            rows[k] = ClampIndex(y - 1 + k, job.m_nSrcHeight);
        for (int32_t j = 0; j < job.m_nDstWidth; ++j)
        {
            int64_t rx = SourcePosition(j, job.m_nSrcWidth, job.m_nDstWidth, 128);
            int64_t x = rx >> 7, fx = rx & 127;
            int32_t cols[4];
            for (int k = 0; k < 4; ++k)
                cols[k] = ClampIndex(x - 1 + k, job.m_nSrcWidth);
            uint8_t* pOut = job.Target(j, i);
            for (int c = 0; c < job.m_nChannels; ++c)
            {
                int64_t rowValues[4];
                for (int k = 0; k < 4; ++k)
                {
                    rowValues[k] = CubicInterpolate(job.Pixel(cols[0], rows[k])[c], job.Pixel(cols[1], rows[k])[c],
                                                    job.Pixel(cols[2], rows[k])[c], job.Pixel(cols[3], rows[k])[c], fx);
                }
                int64_t v = CubicInterpolate(rowValues[0], rowValues[1], rowValues[2], rowValues[3], fy);
                pOut[c] = static_cast<uint8_t>(std::clamp<int64_t>(v, 0, 255));
            }
        }
    }
}

using ResizeFunction = void (*)(const ResizeJob&);
constexpr ResizeFunction g_ResizeFilters[] = {ResizeNearest, ResizeBilinear, ResizeBicubic};
}

bool PixelImage::Resize(int32_t nNewWidth, int32_t nNewHeight, int nFilter)
{
    if (format != I8 && format != RGB8 && format != RGBA8)
        return false;
    if (!pixels || width <= 0 || height <= 0 || nNewWidth <= 0 || nNewHeight <= 0 || nFilter < FILTER_NEAREST || nFilter > FILTER_BICUBIC)
        return false;
    int nChannels = GetChannelCount(format);
    uint8_t* pNew = AllocatePixels(static_cast<size_t>(nNewWidth) * static_cast<size_t>(nNewHeight) * static_cast<size_t>(nChannels));
    if (!pNew)
        return false;
    ResizeJob job{pixels, width, height, pNew, nNewWidth, nNewHeight, nChannels};
    g_ResizeFilters[nFilter](job);
    ReplacePixels(pNew);
    width = nNewWidth;
    height = nNewHeight;
    mipCount = 1;
    return true;
}
