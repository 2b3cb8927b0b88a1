#include "core/VolumeImage.h"

#include <algorithm>
#include <cstring>

VolumeImage::VolumeImage(const VolumeImage& other)
    : width(other.width), height(other.height), depth(other.depth), bytesPerVoxel(other.bytesPerVoxel), mipCount(other.mipCount)
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

VolumeImage::~VolumeImage()
{
    Free();
}

void VolumeImage::Free()
{
    if (pixels)
    {
        if (ownsPixels)
            FreePixels(pixels);
        pixels = nullptr;
    }
    ownsPixels = true;
}

void VolumeImage::Clear()
{
    Free();
    width = height = depth = bytesPerVoxel = mipCount = 0;
}

int32_t VolumeImage::GetFullMipCount() const
{
    return CountMipLevels(std::max({width, height, depth}));
}

size_t VolumeImage::GetLevelsSize(int32_t nFirst, int32_t nCount) const
{
    uint64_t nVoxels = CountLevelUnits(GetLevelWidth(nFirst), GetLevelHeight(nFirst), GetLevelDepth(nFirst), nCount, false);
    return nVoxels * static_cast<uint64_t>(std::max(bytesPerVoxel, 0));
}

uint8_t* VolumeImage::GetLevelPixels(int32_t nLevel) const
{
    if (!pixels || nLevel < 0 || nLevel >= mipCount)
        return nullptr;
    return pixels + GetLevelsSize(0, nLevel);
}

void VolumeImage::Adopt(void* pPixels, int32_t nWidth, int32_t nHeight, int32_t nDepth, int32_t nBytesPerVoxel, bool bOwns, bool bFullChain)
{
    Free();
    pixels = static_cast<uint8_t*>(pPixels);
    width = nWidth;
    height = nHeight;
    depth = nDepth;
    bytesPerVoxel = nBytesPerVoxel;
    ownsPixels = bOwns;
    mipCount = bFullChain ? GetFullMipCount() : 1;
}

bool VolumeImage::CreateMipMaps()
{
    if (!pixels || bytesPerVoxel <= 0)
        return false;
    int32_t nFull = GetFullMipCount();
    if (mipCount < nFull)
    {
        size_t nOldSize = GetLevelsSize(0, std::max(mipCount, 1));
        size_t nSize = GetLevelsSize(0, ALL_MIP_LEVELS);
        uint8_t* pNew = ResizePixelBlock(pixels, ownsPixels, nOldSize, nSize);
        if (!pNew)
            return false;
        pixels = pNew;
        ownsPixels = true;
        mipCount = nFull;
    }
    const size_t nVoxel = static_cast<size_t>(bytesPerVoxel);
    for (int32_t nLevel = 0; nLevel + 1 < std::min(mipCount, nFull); ++nLevel)
    {
        const uint8_t* pSrc = GetLevelPixels(nLevel);
        uint8_t* pDst = GetLevelPixels(nLevel + 1);
        int32_t w = GetLevelWidth(nLevel), h = GetLevelHeight(nLevel), d = GetLevelDepth(nLevel);
        int32_t nw = std::max(1, w / 2), nh = std::max(1, h / 2), nd = std::max(1, d / 2);
        // Steps to the neighbour along each axis; 0 along a side of 1 (the voxel itself).
        size_t dx = w > 1 ? nVoxel : 0;
        size_t dy = h > 1 ? static_cast<size_t>(w) * nVoxel : 0;
        size_t dz = d > 1 ? static_cast<size_t>(w) * static_cast<size_t>(h) * nVoxel : 0;
        for (int32_t z = 0; z < nd; ++z)
        {
            for (int32_t y = 0; y < nh; ++y)
            {
                for (int32_t x = 0; x < nw; ++x)
                {
                    const uint8_t* a = pSrc + ((static_cast<size_t>(2 * z) * static_cast<size_t>(h) + static_cast<size_t>(2 * y)) * static_cast<size_t>(w) + static_cast<size_t>(2 * x)) * nVoxel;
                    for (size_t k = 0; k < nVoxel; ++k, ++pDst)
                    {
                        const uint8_t* p = a + k;
                        unsigned nSum = p[0] + p[dx] + p[dy] + p[dx + dy] + p[dz] + p[dz + dx] + p[dz + dy] + p[dz + dx + dy];
                        *pDst = static_cast<uint8_t>((nSum + 4) >> 3);
                    }
                }
            }
        }
    }
    return true;
}
