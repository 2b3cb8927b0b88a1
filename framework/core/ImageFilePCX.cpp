// ZSoft PCX files: a 128-byte header, then run-length encoded scan lines, each image row stored
// as one line per plane of bytes-per-line bytes. Read: 8-bit palette images (the 768-byte
// palette at the end of the file, after a 12 marker byte) and 24-bit images in three planes
// red, green, blue. Written: I8 (one plane and a grey palette), RGB8 and RGBA8 (three planes,
// alpha dropped).
#include "core/ImageFileUtil.h"
#include "core/PixelImage.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr size_t PCX_HEADER_SIZE = 128;
constexpr size_t PCX_PALETTE_SIZE = 768;
constexpr uint8_t PCX_PALETTE_MARKER = 12;
constexpr uint8_t PCX_RUN = 0xC0;       // a byte of 0xC0 or more starts a run of (byte - 0xC0)
constexpr int PCX_RUN_MAX = 63;

// Hands out the decoded bytes of the run-length data one at a time.
class PcxDecoder
{
public:
    explicit PcxDecoder(ByteReader& reader) : m_Reader(reader) {}

    // False when the data ends first.
    bool Next(uint8_t& value)
    {
        while (m_nRepeat == 0)
        {
            uint8_t c = 0;
            if (!m_Reader.ReadU8(c))
                return false;
            if (c < PCX_RUN)
            {
                value = c;
                return true;
            }
            // A run of 0 (byte 0xC0) stands for nothing.
            if (!m_Reader.ReadU8(m_nValue))
                return false;
            m_nRepeat = c - PCX_RUN;
        }
        --m_nRepeat;
        value = m_nValue;
        return true;
    }

private:
    ByteReader& m_Reader;
    uint8_t m_nValue = 0;
    int m_nRepeat = 0;
};

void EncodePlaneRow(ByteWriter& writer, const uint8_t* pBytes, size_t nCount, size_t nStep)
{
    size_t i = 0;
    while (i < nCount)
    {
        uint8_t v = pBytes[i * nStep];
        size_t n = 1;
        while (i + n < nCount && pBytes[(i + n) * nStep] == v)
            ++n;
        i += n;
        if (n == 1)
        {
            if (v >= PCX_RUN)
                writer.WriteU8(PCX_RUN + 1);
            writer.WriteU8(v);
            continue;
        }
        while (n > 0)
        {
            size_t m = std::min<size_t>(n, PCX_RUN_MAX);
            writer.WriteU8(static_cast<uint8_t>(PCX_RUN + m));
            writer.WriteU8(v);
            n -= m;
        }
    }
}
}

bool PixelImage::LoadPCX(const char* szPath, bool bRgbOrder, bool bMipFlag)
{
    std::vector<uint8_t> data;
    if (!ReadImageFile("LoadPCX", szPath, data))
        return false;
    if (data.size() < PCX_HEADER_SIZE)
        return ImageFileError("LoadPCX", szPath, "file shorter than its header");
    ByteReader header(data);
    uint8_t nBitsPerPixel = 0, nPlanes = 0;
    uint16_t nXMax = 0, nYMax = 0, nBytesPerLine = 0;
    header.Seek(3);
    header.ReadU8(nBitsPerPixel);
    header.Seek(8);
    header.ReadU16(nXMax);
    header.ReadU16(nYMax);
    header.Seek(65);
    header.ReadU8(nPlanes);
    header.ReadU16(nBytesPerLine);
    const int64_t nWidth = nXMax + 1, nHeight = nYMax + 1;
    if (!CheckImageSides("LoadPCX", szPath, nWidth, nHeight))
        return false;
    if (nBitsPerPixel != 8 || (nPlanes != 1 && nPlanes != 3))
        return ImageFileError("LoadPCX", szPath, "unsupported pixel depth");
    // Lines may be padded (to an even length, by most writers); shorter lines cannot hold a row.
    if (nBytesPerLine < nWidth)
        return ImageFileError("LoadPCX", szPath, "bytes per line smaller than the width");

    const bool bPalette = nPlanes == 1;
    size_t nDataEnd = data.size();
    const uint8_t* pPalette = nullptr;
    if (bPalette)
    {
        if (data.size() < PCX_HEADER_SIZE + 1 + PCX_PALETTE_SIZE || data[data.size() - PCX_PALETTE_SIZE - 1] != PCX_PALETTE_MARKER)
            return ImageFileError("LoadPCX", szPath, "palette missing at the end of the file");
        pPalette = data.data() + data.size() - PCX_PALETTE_SIZE;
        nDataEnd -= PCX_PALETTE_SIZE + 1;
    }
    // Each encoded pair gives at most 63 bytes: a larger image cannot be in the file.
    const size_t nDataBytes = nDataEnd - PCX_HEADER_SIZE;
    if (static_cast<uint64_t>(nBytesPerLine) * nPlanes * static_cast<uint64_t>(nHeight) > static_cast<uint64_t>(nDataBytes) * PCX_RUN_MAX)
        return ImageFileError("LoadPCX", szPath, "pixel data cut short");

    const int32_t w = static_cast<int32_t>(nWidth), h = static_cast<int32_t>(nHeight);
    uint8_t* pPixels = AllocateReadBuffer("LoadPCX", w, h, RGB8, ReadBufferLevels(bMipFlag));
    if (!pPixels)
        return false;
    ByteReader body(data.data() + PCX_HEADER_SIZE, nDataBytes);
    PcxDecoder decoder(body);
    for (int32_t y = 0; y < h; ++y)
    {
        uint8_t* pRow = pPixels + static_cast<size_t>(y) * static_cast<size_t>(w) * 3;
        for (int p = 0; p < nPlanes; ++p)
        {
            // Plane p is red, green, blue in turn.
            size_t nChannel = bRgbOrder ? static_cast<size_t>(p) : static_cast<size_t>(2 - p);
            for (uint16_t x = 0; x < nBytesPerLine; ++x)
            {
                uint8_t v = 0;
                if (!decoder.Next(v))
                {
                    FreePixels(pPixels);
                    return ImageFileError("LoadPCX", szPath, "pixel data cut short");
                }
                if (x >= w)
                    continue;
                if (bPalette)
                    PutColour(pRow + 3 * x, pPalette[3 * v], pPalette[3 * v + 1], pPalette[3 * v + 2], bRgbOrder);
                else
                    pRow[3 * x + nChannel] = v;
            }
        }
    }
    InstallReadBuffer(*this, pPixels, w, h, RGB8);
    return true;
}

bool PixelImage::SavePCX(const char* szPath, bool bRgbOrder) const
{
    if (format != I8 && format != RGB8 && format != RGBA8)
        return ImageFileError("SavePCX", szPath, "only I8, RGB8 and RGBA8 images are written");
    if (!pixels || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF)
        return ImageFileError("SavePCX", szPath, "image size does not fit the header");
    const bool bGrey = format == I8;
    const int nPlanes = bGrey ? 1 : 3;
    const size_t nPixelBytes = static_cast<size_t>(GetBytesPerPixel(format));

    ByteWriter writer;
    writer.WriteU8(10);   // manufacturer
    writer.WriteU8(5);    // version
    writer.WriteU8(1);    // run-length encoded
    writer.WriteU8(8);    // bits per pixel per plane
    writer.WriteU32(0);   // Xmin, Ymin
    writer.WriteU16(static_cast<uint16_t>(width - 1));
    writer.WriteU16(static_cast<uint16_t>(height - 1));
    writer.WriteU16(72);  // dots per inch
    writer.WriteU16(72);
    for (int k = 0; k < 16; ++k)
        for (int c = 0; c < 3; ++c)
            writer.WriteU8(static_cast<uint8_t>(15 - k));
    writer.WriteU8(0);
    writer.WriteU8(static_cast<uint8_t>(nPlanes));
    writer.WriteU16(static_cast<uint16_t>(width));   // bytes per line
    writer.WriteU16(1);                              // colour palette
    writer.WriteZeros(58);

    for (int32_t y = 0; y < height; ++y)
    {
        const uint8_t* pRow = pixels + static_cast<size_t>(y) * static_cast<size_t>(width) * nPixelBytes;
        for (int p = 0; p < nPlanes; ++p)
        {
            size_t nByte = bGrey ? 0 : (bRgbOrder ? static_cast<size_t>(p) : static_cast<size_t>(2 - p));
            EncodePlaneRow(writer, pRow + nByte, static_cast<size_t>(width), nPixelBytes);
        }
    }
    if (bGrey)
    {
        writer.WriteU8(PCX_PALETTE_MARKER);
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < 3; ++c)
                writer.WriteU8(static_cast<uint8_t>(i));
    }
    return WriteImageFile("SavePCX", szPath, writer);
}
