#include "cpu/formats/ImageStorage.h"

#include <algorithm>
#include <cstring>

std::shared_ptr<ImageStorage> CreateImageStorage(const FormatInfo& format, UINT width, UINT height, UINT depth)
{
    auto storage = std::make_shared<ImageStorage>();
    storage->pFormat = &format;
    storage->nWidth = width;
    storage->nHeight = height;
    storage->nDepth = depth;
    if (format.kind == FormatKind::Depth)
    {
        const size_t count = static_cast<size_t>(width) * height * depth;
        storage->depthValues.assign(count, 0.0f);
        storage->stencilValues.assign(count, 0);
        return storage;
    }
    storage->nRowPitch = RowPitch(format, width);
    storage->nBlockRows = BlockRows(format, height);
    storage->nSlicePitch = storage->nRowPitch * storage->nBlockRows;
    storage->bytes.assign(static_cast<size_t>(storage->nSlicePitch) * depth, 0);
    return storage;
}

std::shared_ptr<ImageStorage> CloneShape(const ImageStorage& storage)
{
    auto fresh = std::make_shared<ImageStorage>();
    fresh->pFormat = storage.pFormat;
    fresh->nWidth = storage.nWidth;
    fresh->nHeight = storage.nHeight;
    fresh->nDepth = storage.nDepth;
    fresh->nRowPitch = storage.nRowPitch;
    fresh->nBlockRows = storage.nBlockRows;
    fresh->nSlicePitch = storage.nSlicePitch;
    fresh->bytes.assign(storage.bytes.size(), 0);
    fresh->depthValues.assign(storage.depthValues.size(), 0.0f);
    fresh->stencilValues.assign(storage.stencilValues.size(), 0);
    fresh->nVersion = storage.nVersion + 1;
    return fresh;
}

void ReadStorageTexel(const ImageStorage& storage, UINT x, UINT y, UINT z, float rgba[4])
{
    ReadTexel(*storage.pFormat, storage.Row(0, z), storage.nRowPitch, x, y, rgba);
}

const float* DecodedTexels(ImageStorage& storage)
{
    if (storage.nDecodedVersion == storage.nVersion)
        return storage.decoded.data();
    const FormatInfo& format = *storage.pFormat;
    const size_t nWidth = storage.nWidth, nHeight = storage.nHeight;
    storage.decoded.resize(nWidth * nHeight * storage.nDepth * 4);
    if (format.kind != FormatKind::Compressed)
    {
        float* pOut = storage.decoded.data();
        for (UINT z = 0; z < storage.nDepth; ++z)
            for (UINT y = 0; y < storage.nHeight; ++y)
                for (size_t x = 0; x < nWidth; ++x, pOut += 4)
                    DecodePixel(format, storage.Row(y, z) + x * format.bytesPerBlock, pOut);
        storage.nDecodedVersion = storage.nVersion;
        return storage.decoded.data();
    }
    for (UINT z = 0; z < storage.nDepth; ++z)
        for (UINT by = 0; by < storage.nBlockRows; ++by)
        {
            const BYTE* pBlock = storage.Row(by, z);
            for (size_t bx = 0; bx * 4 < nWidth; ++bx, pBlock += format.bytesPerBlock)
            {
                float texels[16][4];
                DecodeBlock(format, pBlock, texels);
                // Blocks on the right and bottom edges may hang over the image.
                for (size_t y = by * 4; y < std::min<size_t>(by * 4 + 4, nHeight); ++y)
                    for (size_t x = bx * 4; x < std::min<size_t>(bx * 4 + 4, nWidth); ++x)
                        std::memcpy(&storage.decoded[((z * nHeight + y) * nWidth + x) * 4],
                                    texels[(y % 4) * 4 + x % 4], sizeof(float) * 4);
            }
        }
    storage.nDecodedVersion = storage.nVersion;
    return storage.decoded.data();
}
