// The image library's formats on the device: I8 -> L8, RGB8 -> X8R8G8B8, RGBA8 -> A8R8G8B8,
// RGB565 -> R5G6B5, DXTn -> DXTn, I32F -> R32F, RGB32F and RGBA32F -> A32B32G32R32F. The
// images are read blue first (rgbOrder false), the byte order of the 8-bit device formats.
#include "ImageUpload.h"

#include "core/PixelImage.h"

#include <cstring>

namespace
{

struct FormatPair
{
    int image;
    D3DFORMAT device;
};

const FormatPair kFormatPairs[] = {
    {I8, D3DFMT_L8},       {RGB8, D3DFMT_X8R8G8B8},  {RGBA8, D3DFMT_A8R8G8B8},         {RGB565, D3DFMT_R5G6B5},
    {DXT1, D3DFMT_DXT1},   {DXT3, D3DFMT_DXT3},      {DXT5, D3DFMT_DXT5},              {I32F, D3DFMT_R32F},
    {RGB32F, D3DFMT_A32B32G32R32F},                  {RGBA32F, D3DFMT_A32B32G32R32F},
};

D3DFORMAT DeviceFormatOf(int imageFormat)
{
    for (const FormatPair& pair : kFormatPairs)
        if (pair.image == imageFormat)
            return pair.device;
    return D3DFMT_UNKNOWN;
}

} // namespace

D3DFORMAT PrepareImageFormat(PixelImage& image, D3DFORMAT requested)
{
    const bool wantsArgb = requested == D3DFMT_A8R8G8B8 || requested == D3DFMT_X8R8G8B8;
    if (wantsArgb && image.GetFormat() != RGBA8)
    {
        // Through the library's own conversions: compressed and 5-6-5 first to 8-bit RGB(A).
        if (IsCompressedFormat(image.GetFormat()) && !image.DecompressDXT())
            return D3DFMT_UNKNOWN;
        if (IsRGB565Format(image.GetFormat()) && !image.Expand565())
            return D3DFMT_UNKNOWN;
        if (image.GetFormat() != RGBA8 && !image.Convert(RGBA8))
            return D3DFMT_UNKNOWN;
    }
    const D3DFORMAT own = DeviceFormatOf(image.GetFormat());
    return wantsArgb && own == D3DFMT_A8R8G8B8 ? requested : own;
}

void CopyImageLevel(const PixelImage& image, int nLevel, D3DFORMAT format, BYTE* pDest, INT nPitch,
                    D3DCOLOR colorKey)
{
    const int format0 = image.GetFormat();
    const int32_t width = image.GetLevelWidth(nLevel), height = image.GetLevelHeight(nLevel);
    const uint8_t* source = image.GetLevelPixels(nLevel);
    if (IsCompressedFormat(format0))
    {
        const size_t rowBytes = (size_t)((width + 3) / 4) * GetBytesPerBlock(format0);
        for (int32_t row = 0; row < (height + 3) / 4; ++row)
            std::memcpy(pDest + (size_t)row * nPitch, source + row * rowBytes, rowBytes);
        return;
    }
    const int sourceBytes = GetBytesPerPixel(format0);
    for (int32_t y = 0; y < height; ++y)
    {
        const uint8_t* from = source + (size_t)y * width * sourceBytes;
        BYTE* to = pDest + (size_t)y * nPitch;
        switch (format0)
        {
        case RGB8:
            // Blue, green, red, then the X byte.
            for (int32_t x = 0; x < width; ++x)
            {
                std::memcpy(to + 4 * x, from + 3 * x, 3);
                to[4 * x + 3] = 0xFF;
            }
            break;
        case RGB32F:
            for (int32_t x = 0; x < width; ++x)
            {
                const float one = 1.0f;
                std::memcpy(to + 16 * x, from + 12 * x, 12);
                std::memcpy(to + 16 * x + 12, &one, 4);
            }
            break;
        default:
            std::memcpy(to, from, (size_t)width * sourceBytes);
            break;
        }
        if (colorKey != 0 && format == D3DFMT_A8R8G8B8)
            for (int32_t x = 0; x < width; ++x)
            {
                DWORD pixel;
                std::memcpy(&pixel, to + 4 * x, 4);
                if (pixel == colorKey)
                    std::memset(to + 4 * x, 0, 4);
            }
    }
}
