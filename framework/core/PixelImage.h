#pragma once
// The two-dimensional image of the image library: one pixel buffer holding every mip level back
// to back (level 0 first, no padding), its size, mip count, PixelFormat and whether it owns the
// buffer. Level L is max(1, width >> L) x max(1, height >> L) pixels; a plain or RGB565 level is
// rows top to bottom, pixels left to right; a compressed level is ((w + 3) >> 2) x ((h + 3) >> 2)
// blocks, block rows top to bottom. The buffer comes from the allocator family of
// core/PixelBuffer.h; an operation that replaces it releases the old one only when the image
// owns it, and then owns the new one.
//
// Failure is a false result and leaves the image as it was. The file readers and writers log
// "PixelImage::Operation() - reason." for what they refuse.
#include "core/PixelBuffer.h"
#include "core/PixelFormat.h"

#include <cstddef>
#include <cstdint>

class PixelImage
{
public:
    PixelImage() = default;
    // Copies the bytes of mipCount levels into an owned block (empty if that cannot be had).
    PixelImage(const PixelImage& other);
    PixelImage& operator=(const PixelImage&) = delete;
    ~PixelImage();

    int GetFormat() const { return format; }
    // Releases the buffer when owned; the image owns whatever it gets next.
    void Free();
    // Free, then every size, the mip count and the format become 0.
    void Clear();

    int32_t GetLevelWidth(int32_t nLevel) const { return GetMipSide(width, nLevel); }
    int32_t GetLevelHeight(int32_t nLevel) const { return GetMipSide(height, nLevel); }
    int32_t GetFullMipCount() const;
    // Byte size of nCount levels from nFirst for nFormat (FORMAT_NONE: the image's own format);
    // a count past the 1 x 1 level stops there, so ALL_MIP_LEVELS asks for the whole chain.
    size_t GetLevelsSize(int32_t nFirst, int32_t nCount, int nFormat = FORMAT_NONE) const;
    size_t GetLevelsPixelCount(int32_t nFirst, int32_t nCount) const;
    // Null for a level the image does not hold.
    uint8_t* GetLevelPixels(int32_t nLevel) const;
    // Takes a buffer of the pixel allocator family; mipCount becomes the full count with
    // bFullChain, else 1.
    void Adopt(void* pPixels, int32_t nWidth, int32_t nHeight, int nFormat, bool bOwns, bool bFullChain);

    // Fills the whole chain below level 0 by a 2 x 2 box filter, growing the buffer to the full
    // chain first when it holds fewer levels. False for compressed formats.
    bool CreateMipMaps();
    // Debug aid: ANDs levels 1 and below with a colour per level (red, green, blue, yellow,
    // magenta, cyan, repeating). False with fewer than three channels, one level, or floats.
    bool TintMipLevels();

    // Conversions (every level unless said otherwise).
    bool DecompressDXT();                           // DXT1 -> RGB8, DXT3/DXT5 -> RGBA8
    bool Expand565();                               // RGB565 -> RGB8, red first
    bool Convert(int nTarget);                      // plain to plain, FORMAT_NONE refused
    // Level 0 only, result has one level; nFilter 0 nearest, 1 bilinear, 2 bicubic.
    bool Resize(int32_t nNewWidth, int32_t nNewHeight, int nFilter);
    bool ToNormalMap(bool bRgbOrder);               // I8 height map -> RGB8 normal map
    bool ToGrayScale(bool bRgbOrder, bool bShrink); // RGB8/RGBA8 -> I8 in place
    bool MipLevelToAlpha();                         // alpha 255 at level 0 down to 0 at the last
    bool ToEdgeMap(bool bClampEdges);               // level 0 only, 8-bit formats

    // Files, chosen by the extension after the last '.' (dds, jpg, jpeg, png, tga, bmp, pcx, any
    // case). nMipMode 0: one level; 1: sides rounded to powers of two and, when no rounding was
    // needed, the full chain declared with the lower levels left for the caller; 2: as 1 and the
    // chain filled.
    bool Load(const char* szPath, bool bRgbOrder, int nMipMode);
    // nQuality is the JPEG quality (0 to 100).
    bool Save(const char* szPath, bool bRgbOrder, int nQuality) const;

    // The readers leave mipCount 0 for Load to set (DDS sets it); with bMipFlag the buffer has
    // room for the whole chain and only level 0 is filled.
    bool LoadDDS(const char* szPath, bool bRgbOrder, bool bMipFlag);
    bool LoadTGA(const char* szPath, bool bRgbOrder, bool bMipFlag);
    bool LoadBMP(const char* szPath, bool bRgbOrder, bool bMipFlag);
    bool LoadPCX(const char* szPath, bool bRgbOrder, bool bMipFlag);
    bool LoadJPEG(const char* szPath, bool bRgbOrder, bool bMipFlag);
    bool LoadPNG(const char* szPath, bool bRgbOrder, bool bMipFlag);
    bool SaveDDS(const char* szPath, bool bRgbOrder) const;
    bool SaveTGA(const char* szPath, bool bRgbOrder) const;
    bool SaveBMP(const char* szPath, bool bRgbOrder) const;
    bool SavePCX(const char* szPath, bool bRgbOrder) const;
    bool SaveJPEG(const char* szPath, bool bRgbOrder, int nQuality) const;
    bool SavePNG(const char* szPath, bool bRgbOrder) const;

    uint8_t* pixels = nullptr;
    int32_t width = 0;
    int32_t height = 0;
    int32_t mipCount = 0;
    int32_t format = FORMAT_NONE;
    bool ownsPixels = true;

private:
    // Installs a new owned buffer in place of the current one.
    void ReplacePixels(uint8_t* pNew);
    // Gives the image an owned buffer of nSize bytes, keeping the first min(old, nSize) bytes:
    // realloc when owned, a copy when not. False (image unchanged) when no block can be had.
    bool ResizeOwnedBuffer(size_t nOldSize, size_t nSize);
};
