#pragma once
// The allocator family of pixel and voxel buffers (malloc, realloc, free: a buffer handed to
// PixelImage::Adopt or VolumeImage::Adopt must come from it) and the mip-level arithmetic the
// two image classes share.
#include <cstddef>
#include <cstdint>

// Null when the block cannot be had. A size of 0 still gives a distinct block.
uint8_t* AllocatePixels(size_t nSize);
// As realloc: on failure null, and the old block is left as it was.
uint8_t* ReallocatePixels(uint8_t* pPixels, size_t nSize);
void FreePixels(void* pPixels);
// The block resized to nSize bytes keeping its first min(nKeep, nSize) bytes: realloc when the
// caller owns it; a new block and a copy when it is borrowed (its owner may not use this
// allocator, or may keep using the block). Null on failure, the old block untouched; otherwise
// the caller owns the result.
uint8_t* ResizePixelBlock(uint8_t* pPixels, bool bOwned, size_t nKeep, size_t nSize);

// Tests: the next nSucceed allocations succeed and the one after fails (once); -1 switches the
// injected failure off.
void SetPixelAllocationFailure(int nSucceed);

// A count of levels that means "down to the last level".
constexpr int32_t ALL_MIP_LEVELS = 0x7fffffff;

// max(1, side >> level), for any level.
int32_t GetMipSide(int32_t nSide, int32_t nLevel);
// Number of significant bits of the largest side: 1 for 1, 10 for 512 to 1023, 0 for 0.
int32_t CountMipLevels(int32_t nLargestSide);
// The size units (pixels, voxels, or 4x4 blocks with bBlocks) of nCount levels from the level
// of sides w x h x d: the sides are doubled, then at most nCount times, while not all are 1,
// every side above 1 is halved and the level added.
uint64_t CountLevelUnits(int32_t w, int32_t h, int32_t d, int32_t nCount, bool bBlocks);
