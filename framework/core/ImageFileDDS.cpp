// DirectDraw Surface files: a 4-byte magic, a 124-byte header, then the levels back to back.
// Read: uncompressed 16-, 24- and 32-bit data (16-bit taken as 5-6-5, the others as blue, green,
// red and alpha bytes) and DXT1/3/5. Written: RGB8, RGBA8 and RGB565, uncompressed.
#include "core/ImageFileUtil.h"
#include "core/PixelImage.h"

#include <algorithm>
#include <cstring>

namespace
{
constexpr uint32_t DDS_MAGIC = 0x20534444;   // "DDS "
constexpr size_t DDS_HEADER_SIZE = 128;      // magic and header

struct FourCCFormat
{
    char m_szFourCC[5];
    int m_nFormat;
};
constexpr FourCCFormat g_FourCCFormats[] = {{"DXT1", DXT1}, {"DXT3", DXT3}, {"DXT5", DXT5}};

struct BitCountFormat
{
    uint32_t m_nBits;
    int m_nFormat;
};
constexpr BitCountFormat g_BitCountFormats[] = {{16, RGB565}, {24, RGB8}, {32, RGBA8}};

int FormatFromHeader(const uint8_t fourCC[4], uint32_t nBitCount)
{
    for (const FourCCFormat& f : g_FourCCFormats)
        if (std::memcmp(fourCC, f.m_szFourCC, 4) == 0)
            return f.m_nFormat;
    for (const BitCountFormat& f : g_BitCountFormats)
        if (f.m_nBits == nBitCount)
            return f.m_nFormat;
    return FORMAT_NONE;
}
}

bool PixelImage::LoadDDS(const char* szPath, bool bRgbOrder, bool bMipFlag)
{
    std::vector<uint8_t> data;
    if (!ReadImageFile("LoadDDS", szPath, data))
        return false;
    ByteReader reader(data);
    uint32_t nMagic = 0, nHeight = 0, nWidth = 0, nHeaderMips = 0, nBitCount = 0;
    uint8_t fourCC[4] = {};
    reader.ReadU32(nMagic);
    if (!reader.IsGood() || nMagic != DDS_MAGIC)
        return ImageFileError("LoadDDS", szPath, "not a DDS file");
    reader.Seek(12);
    reader.ReadU32(nHeight);
    reader.ReadU32(nWidth);
    reader.Seek(28);
    reader.ReadU32(nHeaderMips);
    reader.Seek(84);
    reader.ReadBytes(fourCC, 4);
    reader.ReadU32(nBitCount);
    if (!reader.IsGood() || data.size() < DDS_HEADER_SIZE)
        return ImageFileError("LoadDDS", szPath, "file shorter than its header");
    if (!CheckImageSides("LoadDDS", szPath, nWidth, nHeight))
        return false;
    int nFormat = FormatFromHeader(fourCC, nBitCount);
    if (nFormat == FORMAT_NONE)
        return ImageFileError("LoadDDS", szPath, "unsupported pixel format");

    PixelImage sizes;
    sizes.width = static_cast<int32_t>(nWidth);
    sizes.height = static_cast<int32_t>(nHeight);
    sizes.format = nFormat;
    // The levels the file holds, never more than a full chain.
    int32_t nMips = 1;
    if (bMipFlag && nHeaderMips > 0)
        nMips = static_cast<int32_t>(std::min<uint32_t>(nHeaderMips, static_cast<uint32_t>(sizes.GetFullMipCount())));
    size_t nDataSize = sizes.GetLevelsSize(0, nMips);
    if (data.size() - DDS_HEADER_SIZE < nDataSize)
        return ImageFileError("LoadDDS", szPath, "pixel data cut short");

    // Plain images get room for the chain that Load may build below the levels read.
    bool bPlain = IsPlainFormat(nFormat);
    uint8_t* pPixels = AllocateReadBuffer("LoadDDS", sizes.width, sizes.height, nFormat, bPlain && bMipFlag ? ALL_MIP_LEVELS : nMips);
    if (!pPixels)
        return false;
    std::memcpy(pPixels, data.data() + DDS_HEADER_SIZE, nDataSize);
    if (bRgbOrder && bPlain)
    {
        size_t nChannels = static_cast<size_t>(GetChannelCount(nFormat));
        SwapRedBlue(pPixels, nDataSize / nChannels, nChannels);
    }
    InstallReadBuffer(*this, pPixels, sizes.width, sizes.height, nFormat);
    mipCount = nMips;
    return true;
}

bool PixelImage::SaveDDS(const char* szPath, bool bRgbOrder) const
{
    if (format != RGB8 && format != RGBA8 && format != RGB565)
        return ImageFileError("SaveDDS", szPath, "only RGB8, RGBA8 and RGB565 images are written");
    if (!pixels || mipCount < 1)
        return ImageFileError("SaveDDS", szPath, "empty image");
    // Channel masks: red, green, blue, alpha.
    const uint32_t masks8[4] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    const uint32_t masks565[4] = {0xF800, 0x07E0, 0x001F, 0xFF000000};
    const uint32_t* pMasks = format == RGB565 ? masks565 : masks8;

    ByteWriter writer;
    writer.WriteU32(DDS_MAGIC);
    writer.WriteU32(124);
    writer.WriteU32(0x000A1007);   // caps, height, width, pitch, pixel format, mip count
    writer.WriteU32(static_cast<uint32_t>(height));
    writer.WriteU32(static_cast<uint32_t>(width));
    writer.WriteU32(0x00020EB6);
    writer.WriteU32(0);
    writer.WriteU32(mipCount == 1 ? 0 : static_cast<uint32_t>(mipCount));
    writer.WriteZeros(44);
    writer.WriteU32(32);                                   // pixel format size
    writer.WriteU32(format == RGBA8 ? 0x41 : 0x40);        // RGB, plus alpha pixels for RGBA8
    writer.WriteU32(0);                                    // no FourCC
    writer.WriteU32(static_cast<uint32_t>(GetBytesPerPixel(format) * 8));
    for (int i = 0; i < 4; ++i)
        writer.WriteU32(pMasks[i]);
    writer.WriteU32(0x00401008);   // complex, mip map, texture
    writer.WriteZeros(16);

    size_t nDataStart = writer.GetSize();
    size_t nDataSize = GetLevelsSize(0, mipCount);
    writer.WriteBytes(pixels, nDataSize);
    // The file stores blue first.
    if (bRgbOrder && format != RGB565)
    {
        size_t nChannels = static_cast<size_t>(GetChannelCount(format));
        SwapRedBlue(writer.GetBuffer().data() + nDataStart, nDataSize / nChannels, nChannels);
    }
    return WriteImageFile("SaveDDS", szPath, writer);
}
