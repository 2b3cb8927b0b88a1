#pragma once
// Tiny images built from bytes for the image-library tests.
#include "core/PixelImage.h"

#include <cstdint>
#include <cstring>
#include <vector>

// Gives the image an owned copy of the bytes, declared with nMipCount levels.
inline void SetImage(PixelImage& image, int32_t w, int32_t h, int nFormat, const std::vector<uint8_t>& bytes, int32_t nMipCount = 1)
{
    uint8_t* p = AllocatePixels(bytes.size());
    std::memcpy(p, bytes.data(), bytes.size());
    image.Adopt(p, w, h, nFormat, true, false);
    image.mipCount = nMipCount;
}

inline std::vector<uint8_t> LevelBytes(const PixelImage& image, int32_t nLevel)
{
    const uint8_t* p = image.GetLevelPixels(nLevel);
    if (!p)
        return {};
    return std::vector<uint8_t>(p, p + image.GetLevelsSize(nLevel, 1));
}

inline std::vector<uint8_t> AllBytes(const PixelImage& image)
{
    if (!image.pixels)
        return {};
    return std::vector<uint8_t>(image.pixels, image.pixels + image.GetLevelsSize(0, image.mipCount));
}
