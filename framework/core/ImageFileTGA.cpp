// Truevision TGA files: an 18-byte header, an image ID, an optional colour map, then the pixels
// (optionally run-length encoded). Read: 8-bit colour-mapped or grey, 16-bit 5-5-5 with a 1-bit
// alpha, 24-bit and 32-bit. Written: I8 (colour-mapped grey ramp), RGB8 and RGBA8, bottom row
// first, without run-length encoding.
#include "core/ImageFileUtil.h"
#include "core/PixelImage.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr uint8_t TGA_RLE_BIT = 0x08;       // image type bit: run-length encoded
constexpr uint8_t TGA_TOP_DOWN_BIT = 0x20;  // descriptor bit: the first row is the top row
constexpr uint16_t TGA_MAP_ENTRIES_MAX = 256;

// A 16-bit 1-5-5-5 value: red, green, blue in bits 10-14, 5-9, 0-4; alpha in bit 15.
void Decode555(uint16_t v, uint8_t rgba[4])
{
    rgba[0] = static_cast<uint8_t>(((v >> 10) & 31) << 3);
    rgba[1] = static_cast<uint8_t>(((v >> 5) & 31) << 3);
    rgba[2] = static_cast<uint8_t>((v & 31) << 3);
    rgba[3] = (v & 0x8000) ? 255 : 0;
}

// One stored pixel (blue first) to red, green, blue, alpha.
void DecodeStoredPixel(const uint8_t* p, size_t nBytes, uint8_t rgba[4])
{
    if (nBytes == 2)
    {
        Decode555(static_cast<uint16_t>(p[0] | (p[1] << 8)), rgba);
        return;
    }
    rgba[0] = p[2];
    rgba[1] = p[1];
    rgba[2] = p[0];
    rgba[3] = nBytes == 4 ? p[3] : 255;
}

// Run-length packets: n = (p & 0x7F) + 1 pixels, one repeated pixel when bit 7 is set, else n
// literal pixels. False when the data ends before the image is full.
bool DecodeRunLength(ByteReader& reader, uint8_t* pOut, size_t nPixels, size_t nPixelBytes)
{
    size_t nDone = 0;
    while (nDone < nPixels)
    {
        uint8_t nPacket = 0;
        if (!reader.ReadU8(nPacket))
            return false;
        size_t n = std::min<size_t>((nPacket & 0x7F) + 1u, nPixels - nDone);
        uint8_t* p = pOut + nDone * nPixelBytes;
        if (nPacket & 0x80)
        {
            if (!reader.ReadBytes(p, nPixelBytes))
                return false;
            for (size_t i = 1; i < n; ++i)
                std::memcpy(p + i * nPixelBytes, p, nPixelBytes);
        }
        else if (!reader.ReadBytes(p, n * nPixelBytes))
        {
            return false;
        }
        nDone += n;
    }
    return true;
}
}

bool PixelImage::LoadTGA(const char* szPath, bool bRgbOrder, bool bMipFlag)
{
    std::vector<uint8_t> data;
    if (!ReadImageFile("LoadTGA", szPath, data))
        return false;
    ByteReader reader(data);
    uint8_t nIdLength = 0, nMapType = 0, nImageType = 0, nMapEntryBits = 0, nDepth = 0, nDescriptor = 0;
    uint16_t nMapFirst = 0, nMapLength = 0, nWidth = 0, nHeight = 0;
    reader.ReadU8(nIdLength);
    reader.ReadU8(nMapType);
    reader.ReadU8(nImageType);
    reader.ReadU16(nMapFirst);
    reader.ReadU16(nMapLength);
    reader.ReadU8(nMapEntryBits);
    reader.Seek(12);
    reader.ReadU16(nWidth);
    reader.ReadU16(nHeight);
    reader.ReadU8(nDepth);
    reader.ReadU8(nDescriptor);
    if (!reader.IsGood())
        return ImageFileError("LoadTGA", szPath, "file shorter than its header");
    if (!CheckImageSides("LoadTGA", szPath, nWidth, nHeight))
        return false;
    if (nDepth != 8 && nDepth != 16 && nDepth != 24 && nDepth != 32)
        return ImageFileError("LoadTGA", szPath, "unsupported pixel depth");

    // The colour map, read by its own length and entry size (blue, green, red entries).
    uint8_t palette[TGA_MAP_ENTRIES_MAX][3] = {};
    size_t nMapEntryBytes = (nMapEntryBits + 7u) / 8u;
    reader.Skip(nIdLength);
    if (nMapLength > 0)
    {
        if (nMapEntryBytes < 2 || nMapEntryBytes > 4)
            return ImageFileError("LoadTGA", szPath, "unsupported colour-map entry size");
        for (uint16_t i = 0; i < nMapLength; ++i)
        {
            uint8_t entry[4] = {};
            if (!reader.ReadBytes(entry, nMapEntryBytes))
                break;
            if (i < TGA_MAP_ENTRIES_MAX)
            {
                uint8_t rgba[4];
                DecodeStoredPixel(entry, nMapEntryBytes, rgba);
                std::memcpy(palette[i], rgba, 3);
            }
        }
    }
    if (!reader.IsGood())
        return ImageFileError("LoadTGA", szPath, "file shorter than its colour map");

    const size_t nPixelBytes = nDepth / 8u;
    const size_t nPixels = static_cast<size_t>(nWidth) * nHeight;
    // A packet of at most 1 + 4 bytes gives at most 128 pixels: a larger image cannot be in the file.
    bool bRunLength = (nImageType & TGA_RLE_BIT) != 0;
    size_t nMaxPixels = bRunLength ? reader.GetRemaining() * 128 : reader.GetRemaining() / nPixelBytes;
    if (nPixels > nMaxPixels)
        return ImageFileError("LoadTGA", szPath, "pixel data cut short");
    std::vector<uint8_t> stored(nPixels * nPixelBytes);
    bool bRead = bRunLength ? DecodeRunLength(reader, stored.data(), nPixels, nPixelBytes) : reader.ReadBytes(stored.data(), stored.size());
    if (!bRead)
        return ImageFileError("LoadTGA", szPath, "pixel data cut short");

    int nFormat = (nDepth == 8 || nDepth == 24) ? RGB8 : RGBA8;
    uint8_t* pPixels = AllocateReadBuffer("LoadTGA", nWidth, nHeight, nFormat, ReadBufferLevels(bMipFlag));
    if (!pPixels)
        return false;
    const size_t nOutBytes = static_cast<size_t>(GetBytesPerPixel(nFormat));
    const bool bTopDown = (nDescriptor & TGA_TOP_DOWN_BIT) != 0;
    const uint8_t* pIn = stored.data();
    for (uint16_t nRow = 0; nRow < nHeight; ++nRow)
    {
        // Stored rows run bottom to top unless the descriptor says otherwise.
        size_t y = bTopDown ? nRow : nHeight - 1u - nRow;
        uint8_t* pOut = pPixels + y * nWidth * nOutBytes;
        for (uint16_t x = 0; x < nWidth; ++x, pIn += nPixelBytes, pOut += nOutBytes)
        {
            uint8_t rgba[4];
            if (nDepth == 8)
            {
                uint8_t v = pIn[0];
                if (nMapLength == 0)
                    rgba[0] = rgba[1] = rgba[2] = v;   // grey image
                else if (v < nMapLength)
                    std::memcpy(rgba, palette[v], 3);
                else
                    rgba[0] = rgba[1] = rgba[2] = 0;
            }
            else
            {
                DecodeStoredPixel(pIn, nPixelBytes, rgba);
            }
            PutColour(pOut, rgba[0], rgba[1], rgba[2], bRgbOrder);
            if (nOutBytes == 4)
                pOut[3] = rgba[3];
        }
    }
    InstallReadBuffer(*this, pPixels, nWidth, nHeight, nFormat);
    return true;
}

bool PixelImage::SaveTGA(const char* szPath, bool bRgbOrder) const
{
    if (format != I8 && format != RGB8 && format != RGBA8)
        return ImageFileError("SaveTGA", szPath, "only I8, RGB8 and RGBA8 images are written");
    if (!pixels || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF)
        return ImageFileError("SaveTGA", szPath, "image size does not fit the header");
    const bool bGrey = format == I8;
    const int nChannels = GetChannelCount(format);
    ByteWriter writer;
    writer.WriteU8(0);                      // no image ID
    writer.WriteU8(bGrey ? 1 : 0);          // colour-map type
    writer.WriteU8(bGrey ? 1 : 2);          // colour-mapped or true colour
    writer.WriteU16(0);
    writer.WriteU16(bGrey ? 256 : 0);
    writer.WriteU8(bGrey ? 24 : 0);
    writer.WriteU32(0);                     // origin
    writer.WriteU16(static_cast<uint16_t>(width));
    writer.WriteU16(static_cast<uint16_t>(height));
    writer.WriteU8(static_cast<uint8_t>(nChannels * 8));
    writer.WriteU8(0);
    if (bGrey)
    {
        for (int i = 0; i < 256; ++i)
            for (int k = 0; k < 3; ++k)
                writer.WriteU8(static_cast<uint8_t>(i));
    }
    const size_t nRowBytes = static_cast<size_t>(width) * static_cast<size_t>(nChannels);
    std::vector<uint8_t> row(nRowBytes);
    for (int32_t y = height - 1; y >= 0; --y)
    {
        std::memcpy(row.data(), pixels + static_cast<size_t>(y) * nRowBytes, nRowBytes);
        // The file stores blue first.
        if (!bGrey && bRgbOrder)
            SwapRedBlue(row.data(), static_cast<size_t>(width), static_cast<size_t>(nChannels));
        writer.WriteBytes(row.data(), nRowBytes);
    }
    return WriteImageFile("SaveTGA", szPath, writer);
}
