#pragma once
// The memory behind one surface or volume: rows of pixels (or of 4×4 blocks) at the lock pitch,
// slice after slice. Depth formats keep one float depth and one stencil byte per pixel instead,
// whatever their nominal bit depth, so comparisons are exact floats.
#include "cpu/formats/Formats.h"

#include <cstdint>
#include <memory>
#include <vector>

struct ImageStorage
{
    const FormatInfo* pFormat = nullptr;
    UINT nWidth = 0;
    UINT nHeight = 0;
    UINT nDepth = 1;
    UINT nRowPitch = 0;    // bytes between block rows
    UINT nBlockRows = 0;   // rows of blocks in one slice
    UINT nSlicePitch = 0;  // bytes between slices
    std::vector<BYTE> bytes;
    std::vector<float> depthValues;
    std::vector<BYTE> stencilValues;
    // Counts completed writes (unlocks that could write, clears, copies) so caches built from
    // the contents can tell when they are stale.
    uint64_t nVersion = 0;
    // The image decoded to float RGBA for sampling (see DecodedTexels), and the version it was
    // decoded from.
    std::vector<float> decoded;
    uint64_t nDecodedVersion = UINT64_MAX;

    BYTE* Row(UINT blockRow, UINT slice = 0) { return bytes.data() + static_cast<size_t>(slice) * nSlicePitch + static_cast<size_t>(blockRow) * nRowPitch; }
    const BYTE* Row(UINT blockRow, UINT slice = 0) const { return bytes.data() + static_cast<size_t>(slice) * nSlicePitch + static_cast<size_t>(blockRow) * nRowPitch; }
    bool IsDepth() const { return pFormat->kind == FormatKind::Depth; }
};

// Zero-filled storage of the given size (depth 1.0 is not implied: depth starts at 0 like
// every other byte). The pitch is RowPitch() at the time of creation.
std::shared_ptr<ImageStorage> CreateImageStorage(const FormatInfo& format, UINT width, UINT height, UINT depth = 1);

// Fresh zeroed storage of the same shape, for DISCARD locks.
std::shared_ptr<ImageStorage> CloneShape(const ImageStorage& storage);

// An image decoded to float RGBA: r, g, b, a per texel, rows of nWidth texels, slice after
// slice. Decoded on first use and again after every change of the contents, so sampling does
// not decode a block (compressed images) or convert a texel (small 8-bit ones) per read. Not for concurrent use: the drawing thread calls it before
// workers sample.
const float* DecodedTexels(ImageStorage& storage);

// Texel (x, y, z) as float RGBA, for colour and compressed formats.
void ReadStorageTexel(const ImageStorage& storage, UINT x, UINT y, UINT z, float rgba[4]);
