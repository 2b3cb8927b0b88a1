// Windows bitmap files: a 14-byte file header, an information header of 40 bytes or more, a
// palette for 8-bit images, then rows padded to 4 bytes, bottom row first unless the height is
// negative. Read: 8-bit uncompressed (palette of biClrUsed entries, 256 when 0), 24- and 32-bit.
// Written: I8 (grey palette), RGB8 and RGBA8 with the 40-byte header.
#include "core/ImageFileUtil.h"
#include "core/PixelImage.h"

#include <cstring>

namespace
{
constexpr uint16_t BMP_SIGNATURE = 0x4D42;   // "BM"
constexpr size_t BMP_FILE_HEADER_SIZE = 14;
constexpr uint32_t BMP_INFO_HEADER_SIZE = 40;
constexpr uint32_t BMP_PALETTE_MAX = 256;
constexpr uint32_t BMP_PIXELS_PER_METRE = 2835;   // 72 dots per inch

size_t PaddedRowSize(size_t nRowBytes)
{
    return (nRowBytes + 3) & ~static_cast<size_t>(3);
}
}

bool PixelImage::LoadBMP(const char* szPath, bool bRgbOrder, bool bMipFlag)
{
    std::vector<uint8_t> data;
    if (!ReadImageFile("LoadBMP", szPath, data))
        return false;
    ByteReader reader(data);
    uint16_t nSignature = 0, nBitCount = 0;
    uint32_t nDataOffset = 0, nInfoSize = 0, nCompression = 0, nColoursUsed = 0;
    int32_t nWidth = 0, nHeight = 0;
    reader.ReadU16(nSignature);
    if (!reader.IsGood() || nSignature != BMP_SIGNATURE)
        return ImageFileError("LoadBMP", szPath, "not a BMP file");
    reader.Seek(10);
    reader.ReadU32(nDataOffset);
    reader.ReadU32(nInfoSize);
    reader.ReadI32(nWidth);
    reader.ReadI32(nHeight);
    reader.Seek(28);
    reader.ReadU16(nBitCount);
    reader.ReadU32(nCompression);
    reader.Seek(46);
    reader.ReadU32(nColoursUsed);
    if (!reader.IsGood() || data.size() < BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE)
        return ImageFileError("LoadBMP", szPath, "file shorter than its header");
    if (nInfoSize < BMP_INFO_HEADER_SIZE)
        return ImageFileError("LoadBMP", szPath, "unsupported information header");
    // A negative height means the rows are stored top row first.
    const bool bTopDown = nHeight < 0;
    const int64_t nRows = bTopDown ? -static_cast<int64_t>(nHeight) : nHeight;
    if (!CheckImageSides("LoadBMP", szPath, nWidth, nRows))
        return false;
    const int32_t h = static_cast<int32_t>(nRows);

    int nFormat = FORMAT_NONE;
    uint8_t palette[BMP_PALETTE_MAX][4] = {};
    uint32_t nPaletteSize = 0;
    if (nBitCount == 8)
    {
        if ((nCompression & 0xFFFF) != 0)
            return ImageFileError("LoadBMP", szPath, "compressed 8-bit images are not read");
        nPaletteSize = nColoursUsed ? nColoursUsed : BMP_PALETTE_MAX;
        if (nPaletteSize > BMP_PALETTE_MAX)
            return ImageFileError("LoadBMP", szPath, "palette larger than 256 entries");
        // Blue, green, red, reserved.
        if (!reader.Seek(BMP_FILE_HEADER_SIZE + nInfoSize) || !reader.ReadBytes(palette, nPaletteSize * 4))
            return ImageFileError("LoadBMP", szPath, "file shorter than its palette");
        nFormat = RGB8;
    }
    else if (nBitCount == 24 || nBitCount == 32)
    {
        nFormat = nBitCount == 24 ? RGB8 : RGBA8;
    }
    else
    {
        return ImageFileError("LoadBMP", szPath, "unsupported bit count");
    }

    const size_t nFileBytesPerPixel = nBitCount / 8u;
    const size_t nStride = PaddedRowSize(static_cast<size_t>(nWidth) * nFileBytesPerPixel);
    if (nDataOffset > data.size() || (data.size() - nDataOffset) / nStride < static_cast<size_t>(h))
        return ImageFileError("LoadBMP", szPath, "pixel data cut short");
    uint8_t* pPixels = AllocateReadBuffer("LoadBMP", nWidth, h, nFormat, ReadBufferLevels(bMipFlag));
    if (!pPixels)
        return false;
    const size_t nOutBytes = static_cast<size_t>(GetBytesPerPixel(nFormat));
    for (int32_t nRow = 0; nRow < h; ++nRow)
    {
        const uint8_t* pIn = data.data() + nDataOffset + static_cast<size_t>(nRow) * nStride;
        size_t y = bTopDown ? static_cast<size_t>(nRow) : static_cast<size_t>(h - 1 - nRow);
        uint8_t* pOut = pPixels + y * static_cast<size_t>(nWidth) * nOutBytes;
        if (nBitCount != 8)
        {
            std::memcpy(pOut, pIn, static_cast<size_t>(nWidth) * nOutBytes);
            continue;
        }
        for (int32_t x = 0; x < nWidth; ++x, pOut += 3)
        {
            uint8_t i = pIn[x];
            if (i < nPaletteSize)
                PutColour(pOut, palette[i][2], palette[i][1], palette[i][0], bRgbOrder);
        }
    }
    // 24- and 32-bit rows are stored blue first.
    if (nBitCount != 8 && bRgbOrder)
        SwapRedBlue(pPixels, static_cast<size_t>(nWidth) * static_cast<size_t>(h), nOutBytes);
    InstallReadBuffer(*this, pPixels, nWidth, h, nFormat);
    return true;
}

bool PixelImage::SaveBMP(const char* szPath, bool bRgbOrder) const
{
    if (format != I8 && format != RGB8 && format != RGBA8)
        return ImageFileError("SaveBMP", szPath, "only I8, RGB8 and RGBA8 images are written");
    if (!pixels || width <= 0 || height <= 0)
        return ImageFileError("SaveBMP", szPath, "empty image");
    const bool bGrey = format == I8;
    const size_t nChannels = static_cast<size_t>(GetChannelCount(format));
    const size_t nRowBytes = static_cast<size_t>(width) * nChannels;
    const size_t nStride = PaddedRowSize(nRowBytes);
    const uint64_t nImageSize = static_cast<uint64_t>(nStride) * static_cast<uint64_t>(height);
    const uint32_t nPaletteBytes = bGrey ? BMP_PALETTE_MAX * 4 : 0;
    const uint64_t nFileSize = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE + nPaletteBytes + nImageSize;
    if (nFileSize > 0xFFFFFFFFu)
        return ImageFileError("SaveBMP", szPath, "image too large for the format");

    ByteWriter writer;
    writer.WriteU16(BMP_SIGNATURE);
    writer.WriteU32(static_cast<uint32_t>(nFileSize));
    writer.WriteU32(0);
    writer.WriteU32(static_cast<uint32_t>(BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE + nPaletteBytes));
    writer.WriteU32(BMP_INFO_HEADER_SIZE);
    writer.WriteI32(width);
    writer.WriteI32(height);
    writer.WriteU16(1);   // planes
    writer.WriteU16(static_cast<uint16_t>(nChannels * 8));
    writer.WriteU32(0);   // no compression
    writer.WriteU32(static_cast<uint32_t>(nImageSize));
    writer.WriteU32(BMP_PIXELS_PER_METRE);
    writer.WriteU32(BMP_PIXELS_PER_METRE);
    writer.WriteZeros(8);
    if (bGrey)
    {
        for (uint32_t i = 0; i < BMP_PALETTE_MAX; ++i)
            writer.WriteU32(i * 0x01010101u);
    }
    std::vector<uint8_t> row(nStride, 0);
    for (int32_t y = height - 1; y >= 0; --y)
    {
        std::memcpy(row.data(), pixels + static_cast<size_t>(y) * nRowBytes, nRowBytes);
        // The file stores blue first.
        if (!bGrey && bRgbOrder)
            SwapRedBlue(row.data(), static_cast<size_t>(width), nChannels);
        writer.WriteBytes(row.data(), nStride);
    }
    return WriteImageFile("SaveBMP", szPath, writer);
}
