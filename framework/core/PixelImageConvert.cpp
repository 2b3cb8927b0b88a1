// Format conversions of PixelImage: DXT decompression, RGB565 expansion and conversion between
// the plain formats. Each builds a complete new buffer for every level, then installs it.
#include "core/PixelImage.h"

#include "core/DXTBlocks.h"
#include "core/PixelAccess.h"

#include <algorithm>

bool PixelImage::DecompressDXT()
{
    if (!IsCompressedFormat(format))
        return true;
    if (!pixels)
        return false;
    int nTarget = format == DXT1 ? RGB8 : RGBA8;
    int nBytesPerPixel = GetBytesPerPixel(nTarget);
    uint8_t* pNew = AllocatePixels(GetLevelsSize(0, mipCount, nTarget));
    if (!pNew)
        return false;
    for (int32_t nLevel = 0; nLevel < mipCount; ++nLevel)
    {
        DecodeDXTBlocks(GetLevelPixels(nLevel), GetLevelWidth(nLevel), GetLevelHeight(nLevel), format,
                        pNew + GetLevelsSize(0, nLevel, nTarget), nBytesPerPixel);
    }
    ReplacePixels(pNew);
    format = nTarget;
    return true;
}

bool PixelImage::Expand565()
{
    if (!IsRGB565Format(format))
        return true;
    if (!pixels)
        return false;
    size_t nCount = GetLevelsPixelCount(0, mipCount);
    uint8_t* pNew = AllocatePixels(nCount * 3);
    if (!pNew)
        return false;
    for (size_t i = 0; i < nCount; ++i)
    {
        uint16_t v = LoadU16(pixels + 2 * i);
        pNew[3 * i + 0] = static_cast<uint8_t>((v >> 8) & 0xF8);
        pNew[3 * i + 1] = static_cast<uint8_t>((v >> 3) & 0xFC);
        pNew[3 * i + 2] = static_cast<uint8_t>((v << 3) & 0xF8);
    }
    ReplacePixels(pNew);
    format = RGB8;
    return true;
}

namespace
{
constexpr float BYTE_TO_UNIT = 0.003921569f;   // 1/255, as the 8-bit channels are read

void ReadChannels(const uint8_t* p, int nFormat, float rgba[4])
{
    int nChannels = GetChannelCount(nFormat);
    bool bFloat = IsFloatFormat(nFormat);
    for (int i = 0; i < nChannels; ++i)
        rgba[i] = bFloat ? LoadF32(p + 4 * i) : p[i] * BYTE_TO_UNIT;
    if (nChannels == 1)
        rgba[1] = rgba[2] = rgba[0];
    if (nChannels < 4)
        rgba[3] = 1.0f;
}

void WriteChannels(uint8_t* p, int nFormat, const float rgba[4])
{
    int nChannels = GetChannelCount(nFormat);
    float values[4] = {rgba[0], rgba[1], rgba[2], rgba[3]};
    if (nChannels == 1)
        values[0] = 0.3f * rgba[0] + 0.59f * rgba[1] + 0.11f * rgba[2];
    bool bFloat = IsFloatFormat(nFormat);
    for (int i = 0; i < nChannels; ++i)
    {
        if (bFloat)
            StoreF32(p + 4 * i, values[i]);
        else
            p[i] = static_cast<uint8_t>(std::clamp(values[i], 0.0f, 1.0f) * 255.0f);
    }
}
}

bool PixelImage::Convert(int nTarget)
{
    if (format == FORMAT_NONE || nTarget == FORMAT_NONE || !IsPlainFormat(format) || !IsPlainFormat(nTarget) || nTarget < 0)
        return false;
    if (format == nTarget)
        return true;
    if (!pixels)
        return false;
    size_t nCount = GetLevelsPixelCount(0, mipCount);
    size_t nSrcStep = static_cast<size_t>(GetBytesPerPixel(format));
    size_t nDstStep = static_cast<size_t>(GetBytesPerPixel(nTarget));
    uint8_t* pNew = AllocatePixels(nCount * nDstStep);
    if (!pNew)
        return false;
    const uint8_t* pSrc = pixels;
    uint8_t* pDst = pNew;
    for (size_t i = 0; i < nCount; ++i, pSrc += nSrcStep, pDst += nDstStep)
    {
        if (format == RGB8 && nTarget == RGBA8)
        {
            pDst[0] = pSrc[0];
            pDst[1] = pSrc[1];
            pDst[2] = pSrc[2];
            pDst[3] = 255;
            continue;
        }
        float rgba[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        ReadChannels(pSrc, format, rgba);
        WriteChannels(pDst, nTarget, rgba);
    }
    ReplacePixels(pNew);
    format = nTarget;
    return true;
}
