#pragma once
// The three-dimensional image of the image library: voxels of bytesPerVoxel opaque bytes, every
// mip level back to back in one buffer of the pixel allocator family (core/PixelBuffer.h), with
// the same ownership rule as PixelImage. Level L is max(1, width >> L) x max(1, height >> L) x
// max(1, depth >> L) voxels, x fastest, then rows, then slices.
#include "core/PixelBuffer.h"

#include <cstddef>
#include <cstdint>

class VolumeImage
{
public:
    VolumeImage() = default;
    // Copies the bytes of mipCount levels into an owned block (empty if that cannot be had).
    VolumeImage(const VolumeImage& other);
    VolumeImage& operator=(const VolumeImage&) = delete;
    ~VolumeImage();

    void Free();
    void Clear();

    int32_t GetMipCount() const { return mipCount; }
    int32_t GetBytesPerVoxel() const { return bytesPerVoxel; }
    int32_t GetLevelWidth(int32_t nLevel) const { return GetMipSide(width, nLevel); }
    int32_t GetLevelHeight(int32_t nLevel) const { return GetMipSide(height, nLevel); }
    int32_t GetLevelDepth(int32_t nLevel) const { return GetMipSide(depth, nLevel); }
    int32_t GetFullMipCount() const;
    // Byte size of nCount levels from nFirst; ALL_MIP_LEVELS asks for the rest of the chain.
    size_t GetLevelsSize(int32_t nFirst, int32_t nCount) const;
    uint8_t* GetLevelPixels(int32_t nLevel) const;
    void Adopt(void* pPixels, int32_t nWidth, int32_t nHeight, int32_t nDepth, int32_t nBytesPerVoxel, bool bOwns, bool bFullChain);

    // Fills the whole chain by a 2 x 2 x 2 box filter, byte by byte, growing the buffer to the
    // full chain first. False only for an empty volume or when the buffer cannot grow.
    bool CreateMipMaps();

    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t depth = 0;
    int32_t bytesPerVoxel = 0;
    int32_t mipCount = 0;
    bool ownsPixels = true;
};
