#include "core/PixelImage.h"

#include "core/PixelAccess.h"

#include <algorithm>
#include <cstring>

PixelImage::PixelImage(const PixelImage& other)
    : width(other.width), height(other.height), mipCount(other.mipCount), format(other.format)
{
    if (!other.pixels)
        return;
    size_t nSize = other.GetLevelsSize(0, other.mipCount);
    pixels = AllocatePixels(nSize);
    if (pixels)
        std::memcpy(pixels, other.pixels, nSize);
    else
        Clear();
}

PixelImage::~PixelImage()
{
    Free();
}

void PixelImage::Free()
{
    if (pixels)
    {
        if (ownsPixels)
            FreePixels(pixels);
        pixels = nullptr;
    }
    ownsPixels = true;
}

void PixelImage::Clear()
{
    Free();
    width = height = mipCount = 0;
    format = FORMAT_NONE;
}

int32_t PixelImage::GetFullMipCount() const
{
    return CountMipLevels(std::max(width, height));
}

size_t PixelImage::GetLevelsSize(int32_t nFirst, int32_t nCount, int nFormat) const
{
    if (nFormat == FORMAT_NONE)
        nFormat = format;
    bool bBlocks = IsCompressedFormat(nFormat);
    uint64_t nUnits = CountLevelUnits(GetLevelWidth(nFirst), GetLevelHeight(nFirst), 1, nCount, bBlocks);
    return nUnits * static_cast<uint64_t>(bBlocks ? GetBytesPerBlock(nFormat) : GetBytesPerPixel(nFormat));
}

size_t PixelImage::GetLevelsPixelCount(int32_t nFirst, int32_t nCount) const
{
    return CountLevelUnits(GetLevelWidth(nFirst), GetLevelHeight(nFirst), 1, nCount, false);
}

uint8_t* PixelImage::GetLevelPixels(int32_t nLevel) const
{
    if (!pixels || nLevel < 0 || nLevel >= mipCount)
        return nullptr;
    return pixels + GetLevelsSize(0, nLevel);
}

void PixelImage::Adopt(void* pPixels, int32_t nWidth, int32_t nHeight, int nFormat, bool bOwns, bool bFullChain)
{
    Free();
    pixels = static_cast<uint8_t*>(pPixels);
    width = nWidth;
    height = nHeight;
    format = nFormat;
    ownsPixels = bOwns;
    mipCount = bFullChain ? GetFullMipCount() : 1;
}

void PixelImage::ReplacePixels(uint8_t* pNew)
{
    Free();
    pixels = pNew;
    ownsPixels = true;
}

bool PixelImage::ResizeOwnedBuffer(size_t nOldSize, size_t nSize)
{
    uint8_t* pNew = ResizePixelBlock(pixels, ownsPixels, nOldSize, nSize);
    if (!pNew)
        return false;
    pixels = pNew;
    ownsPixels = true;
    return true;
}

namespace
{
// One box-filtered level: pixel (x, y) of the w/2 x h/2 destination averages source pixels
// (2x, 2y) to (2x+1, 2y+1); along a side of 1 the neighbour is the pixel itself.
template <typename Average>
void DownsampleLevel(const uint8_t* pSrc, int32_t w, int32_t h, uint8_t* pDst, size_t nPixelBytes, Average average)
{
    int32_t nw = std::max(1, w / 2), nh = std::max(1, h / 2);
    size_t dx = w > 1 ? nPixelBytes : 0;
    size_t dy = h > 1 ? static_cast<size_t>(w) * nPixelBytes : 0;
    for (int32_t y = 0; y < nh; ++y)
    {
        for (int32_t x = 0; x < nw; ++x)
        {
            // On a side of 1 the loop index stays 0, so 2x and 2y are always inside the source.
            const uint8_t* a = pSrc + (static_cast<size_t>(2 * y) * static_cast<size_t>(w) + static_cast<size_t>(2 * x)) * nPixelBytes;
            average(a, a + dx, a + dy, a + dx + dy, pDst);
            pDst += nPixelBytes;
        }
    }
}
}

bool PixelImage::CreateMipMaps()
{
    if (IsCompressedFormat(format) || !pixels || GetBytesPerPixel(format) == 0)
        return false;
    int32_t nFull = GetFullMipCount();
    if (mipCount < nFull)
    {
        // Partial chains grow too: refilling down to 1 x 1 needs room for every level.
        if (!ResizeOwnedBuffer(GetLevelsSize(0, std::max(mipCount, 1)), GetLevelsSize(0, ALL_MIP_LEVELS)))
            return false;
        mipCount = nFull;
    }
    size_t nPixelBytes = static_cast<size_t>(GetBytesPerPixel(format));
    int nChannels = GetChannelCount(format);
    for (int32_t nLevel = 0; nLevel + 1 < std::min(mipCount, nFull); ++nLevel)
    {
        const uint8_t* pSrc = GetLevelPixels(nLevel);
        uint8_t* pDst = GetLevelPixels(nLevel + 1);
        int32_t w = GetLevelWidth(nLevel), h = GetLevelHeight(nLevel);
        if (IsRGB565Format(format))
        {
            DownsampleLevel(pSrc, w, h, pDst, nPixelBytes, [](const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d, uint8_t* out) {
                uint16_t p[4] = {LoadU16(a), LoadU16(b), LoadU16(c), LoadU16(d)};
                unsigned r = 0, g = 0, bl = 0;
                for (uint16_t v : p)
                {
                    r += v >> 11;
                    g += (v >> 5) & 63;
                    bl += v & 31;
                }
                StoreU16(out, static_cast<uint16_t>(((r / 4) << 11) | ((g / 4) << 5) | (bl / 4)));
            });
        }
        else if (IsFloatFormat(format))
        {
            DownsampleLevel(pSrc, w, h, pDst, nPixelBytes, [nChannels](const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d, uint8_t* out) {
                for (int i = 0; i < nChannels; ++i)
                {
                    size_t o = static_cast<size_t>(i) * 4;
                    StoreF32(out + o, (LoadF32(a + o) + LoadF32(b + o) + LoadF32(c + o) + LoadF32(d + o)) * 0.25f);
                }
            });
        }
        else
        {
            DownsampleLevel(pSrc, w, h, pDst, nPixelBytes, [nChannels](const uint8_t* a, const uint8_t* b, const uint8_t* c, const uint8_t* d, uint8_t* out) {
                for (int i = 0; i < nChannels; ++i)
                    out[i] = static_cast<uint8_t>((a[i] + b[i] + c[i] + d[i] + 2) >> 2);
            });
        }
    }
    return true;
}

namespace
{
struct TintColour
{
    uint8_t m_Mask8[4];
    uint16_t m_nMask565;
};

// Red, green, blue, yellow, magenta, cyan; alpha always kept.
constexpr TintColour g_TintColours[] = {
    {{0xFF, 0x00, 0x00, 0xFF}, 0xF800},
    {{0x00, 0xFF, 0x00, 0xFF}, 0x07E0},
    {{0x00, 0x00, 0xFF, 0xFF}, 0x001F},
    {{0xFF, 0xFF, 0x00, 0xFF}, 0xFFE0},
    {{0xFF, 0x00, 0xFF, 0xFF}, 0xF81F},
    {{0x00, 0xFF, 0xFF, 0xFF}, 0x07FF},
};

// Masks the two endpoints of one DXT colour block. When masking flips which endpoint is larger,
// the endpoints are exchanged so the block keeps its mode; a four-colour block then has its
// indices remapped (0 <-> 1, 2 <-> 3) and, should the endpoints have become equal, c0 raised so
// that c0 > c1 still selects four-colour mode.
void TintColourBlock(uint8_t* pBlock, uint16_t nMask)
{
    uint16_t c0 = LoadU16(pBlock), c1 = LoadU16(pBlock + 2);
    bool bFourColour = c0 > c1;
    c0 &= nMask;
    c1 &= nMask;
    if ((c0 > c1) != bFourColour)
    {
        std::swap(c0, c1);
        if (bFourColour)
        {
            if (c0 == c1)
                ++c0;
            StoreU32(pBlock + 4, LoadU32(pBlock + 4) ^ 0x55555555u);
        }
    }
    StoreU16(pBlock, c0);
    StoreU16(pBlock + 2, c1);
}
}

bool PixelImage::TintMipLevels()
{
    int nChannels = GetChannelCount(format);
    if (nChannels < 3 || mipCount <= 1 || IsFloatFormat(format) || !pixels)
        return false;
    constexpr int COLOUR_COUNT = static_cast<int>(sizeof(g_TintColours) / sizeof(g_TintColours[0]));
    for (int32_t nLevel = 1; nLevel < mipCount; ++nLevel)
    {
        const TintColour& colour = g_TintColours[(nLevel - 1) % COLOUR_COUNT];
        uint8_t* p = GetLevelPixels(nLevel);
        size_t nSize = GetLevelsSize(nLevel, 1);
        if (IsCompressedFormat(format))
        {
            size_t nBlockBytes = static_cast<size_t>(GetBytesPerBlock(format));
            size_t nColourOffset = format == DXT1 ? 0 : 8;
            for (size_t i = 0; i < nSize; i += nBlockBytes)
                TintColourBlock(p + i + nColourOffset, colour.m_nMask565);
        }
        else if (IsRGB565Format(format))
        {
            for (size_t i = 0; i < nSize; i += 2)
                StoreU16(p + i, LoadU16(p + i) & colour.m_nMask565);
        }
        else
        {
            for (size_t i = 0; i < nSize; ++i)
                p[i] &= colour.m_Mask8[i % static_cast<size_t>(nChannels)];
        }
    }
    return true;
}
