#include "cpu/formats/ImageStorage.h"

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
