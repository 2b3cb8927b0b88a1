// PNG files through libpng 1.6. Read: every colour type and depth, reduced to 8 bits a channel:
// interlaced passes merged, palettes and low depths expanded, transparency expanded to alpha, a background chunk
// composited, a gamma chunk corrected for a 2.2 screen, grey with alpha widened to RGBA8.
// Written: I8, RGB8 and RGBA8.
//
// libpng reports fatal errors through our error function, which jumps back to the driver
// (setjmp on png_jmpbuf); the driver releases what it made and returns false.
#include "core/FileIO.h"
#include "core/ImageFileUtil.h"
#include "core/Log.h"
#include "core/PixelImage.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>

namespace
{
constexpr size_t PNG_SIGNATURE_SIZE = 8;
constexpr double PNG_SCREEN_GAMMA = 2.2;

struct PngMessage
{
    char m_szText[256];
};

[[noreturn]] void PngError(png_structp pPng, png_const_charp szMessage)
{
    PngMessage* pMessage = static_cast<PngMessage*>(png_get_error_ptr(pPng));
    std::snprintf(pMessage->m_szText, sizeof(pMessage->m_szText), "%s", szMessage);
    png_longjmp(pPng, 1);
}

// Warnings concern ancillary data that libpng skips; the image itself is still good.
void PngWarning(png_structp, png_const_charp)
{
}

// Everything the decoding frame touches after setjmp lives here, outside that frame.
struct PngReadJob
{
    png_structp m_pPng;
    png_infop m_pInfo;
    bool m_bRgbOrder;
    bool m_bMipFlag;
    const char* m_szPath;
    const char* m_szFailure;
    std::vector<png_bytep>* m_pRows;
    uint8_t* m_pPixels;
    png_uint_32 m_nWidth;
    png_uint_32 m_nHeight;
    int m_nFormat;
};

bool DecodePng(PngReadJob& job)
{
    png_structp pPng = job.m_pPng;
    png_infop pInfo = job.m_pInfo;
    if (setjmp(png_jmpbuf(pPng)))
        return false;
    png_set_sig_bytes(pPng, PNG_SIGNATURE_SIZE);
    png_read_info(pPng, pInfo);
    int nBitDepth = 0, nColourType = 0;
    png_get_IHDR(pPng, pInfo, &job.m_nWidth, &job.m_nHeight, &nBitDepth, &nColourType, nullptr, nullptr, nullptr);
    if (!CheckImageSides("LoadPNG", job.m_szPath, job.m_nWidth, job.m_nHeight))
        return false;
    const bool bTransparency = png_get_valid(pPng, pInfo, PNG_INFO_tRNS) != 0;
    if (nBitDepth == 16)
        png_set_strip_16(pPng);
    if (nColourType == PNG_COLOR_TYPE_PALETTE || nBitDepth < 8 || bTransparency)
        png_set_expand(pPng);
    // Grey with alpha has no format of its own: it becomes RGBA8.
    if (nColourType == PNG_COLOR_TYPE_GRAY_ALPHA || (nColourType == PNG_COLOR_TYPE_GRAY && bTransparency))
        png_set_gray_to_rgb(pPng);
    png_color_16p pBackground = nullptr;
    if (png_get_bKGD(pPng, pInfo, &pBackground))
        png_set_background(pPng, pBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    double fFileGamma = 0.0;
    if (png_get_gAMA(pPng, pInfo, &fFileGamma))
        png_set_gamma(pPng, PNG_SCREEN_GAMMA, fFileGamma);
    if (!job.m_bRgbOrder)
        png_set_bgr(pPng);
    // Interlaced files are read whole, their passes merged by libpng.
    png_set_interlace_handling(pPng);
    png_read_update_info(pPng, pInfo);

    const int nChannels = png_get_channels(pPng, pInfo);
    job.m_nFormat = nChannels == 1 ? I8 : nChannels == 3 ? RGB8 : nChannels == 4 ? RGBA8 : FORMAT_NONE;
    const size_t nRowBytes = static_cast<size_t>(job.m_nWidth) * static_cast<size_t>(nChannels);
    if (job.m_nFormat == FORMAT_NONE || png_get_rowbytes(pPng, pInfo) != nRowBytes)
    {
        job.m_szFailure = "unsupported channel layout";
        return false;
    }
    job.m_pPixels = AllocateReadBuffer("LoadPNG", static_cast<int32_t>(job.m_nWidth), static_cast<int32_t>(job.m_nHeight), job.m_nFormat,
                                       ReadBufferLevels(job.m_bMipFlag));
    if (!job.m_pPixels)
        return false;
    job.m_pRows->resize(job.m_nHeight);
    for (png_uint_32 y = 0; y < job.m_nHeight; ++y)
        (*job.m_pRows)[y] = job.m_pPixels + static_cast<size_t>(y) * nRowBytes;
    png_read_image(pPng, job.m_pRows->data());
    png_read_end(pPng, nullptr);
    return true;
}

struct PngWriteJob
{
    png_structp m_pPng;
    png_infop m_pInfo;
    const PixelImage* m_pImage;
    bool m_bRgbOrder;
};

bool EncodePng(PngWriteJob& job)
{
    png_structp pPng = job.m_pPng;
    const PixelImage& image = *job.m_pImage;
    if (setjmp(png_jmpbuf(pPng)))
        return false;
    const int nColourType = image.format == I8 ? PNG_COLOR_TYPE_GRAY : image.format == RGB8 ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGB_ALPHA;
    if (!job.m_bRgbOrder)
        png_set_bgr(pPng);
    png_set_IHDR(pPng, job.m_pInfo, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8, nColourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(pPng, job.m_pInfo);
    const size_t nRowBytes = static_cast<size_t>(image.width) * static_cast<size_t>(GetChannelCount(image.format));
    for (int32_t y = 0; y < image.height; ++y)
        png_write_row(pPng, image.pixels + static_cast<size_t>(y) * nRowBytes);
    png_write_end(pPng, nullptr);
    return true;
}
}

bool PixelImage::LoadPNG(const char* szPath, bool bRgbOrder, bool bMipFlag)
{
    FILE* pFile = OpenFile(szPath, "rb");
    if (!pFile)
        return ImageFileError("LoadPNG", szPath, "cannot open the file");
    png_byte signature[PNG_SIGNATURE_SIZE] = {};
    if (std::fread(signature, 1, PNG_SIGNATURE_SIZE, pFile) != PNG_SIGNATURE_SIZE || png_sig_cmp(signature, 0, PNG_SIGNATURE_SIZE) != 0)
    {
        std::fclose(pFile);
        return ImageFileError("LoadPNG", szPath, "not a PNG file");
    }
    PngMessage message{};
    PngReadJob job{};
    std::vector<png_bytep> rows;
    job.m_pPng = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, PngError, PngWarning);
    job.m_pInfo = job.m_pPng ? png_create_info_struct(job.m_pPng) : nullptr;
    if (!job.m_pInfo)
    {
        png_destroy_read_struct(job.m_pPng ? &job.m_pPng : nullptr, nullptr, nullptr);
        std::fclose(pFile);
        return ImageFileError("LoadPNG", szPath, "cannot create the decoder");
    }
    png_init_io(job.m_pPng, pFile);
    job.m_bRgbOrder = bRgbOrder;
    job.m_bMipFlag = bMipFlag;
    job.m_szPath = szPath;
    job.m_pRows = &rows;
    bool bDecoded = DecodePng(job);
    png_destroy_read_struct(&job.m_pPng, &job.m_pInfo, nullptr);
    std::fclose(pFile);
    if (!bDecoded)
    {
        FreePixels(job.m_pPixels);
        if (message.m_szText[0])
            return ImageFileError("LoadPNG", szPath, message.m_szText);
        return job.m_szFailure ? ImageFileError("LoadPNG", szPath, job.m_szFailure) : false;
    }
    InstallReadBuffer(*this, job.m_pPixels, static_cast<int32_t>(job.m_nWidth), static_cast<int32_t>(job.m_nHeight), job.m_nFormat);
    return true;
}

bool PixelImage::SavePNG(const char* szPath, bool bRgbOrder) const
{
    if (format != I8 && format != RGB8 && format != RGBA8)
        return ImageFileError("SavePNG", szPath, "only I8, RGB8 and RGBA8 images are written");
    if (!pixels || width <= 0 || height <= 0)
        return ImageFileError("SavePNG", szPath, "empty image");
    AtomicFile file;
    if (!BeginAtomicWrite(szPath, file))
        return ImageFileError("SavePNG", szPath, "cannot create the file");
    PngMessage message{};
    PngWriteJob job{};
    job.m_pPng = png_create_write_struct(PNG_LIBPNG_VER_STRING, &message, PngError, PngWarning);
    job.m_pInfo = job.m_pPng ? png_create_info_struct(job.m_pPng) : nullptr;
    if (!job.m_pInfo)
    {
        png_destroy_write_struct(job.m_pPng ? &job.m_pPng : nullptr, nullptr);
        AbortAtomicWrite(file);
        return ImageFileError("SavePNG", szPath, "cannot create the encoder");
    }
    png_init_io(job.m_pPng, file.m_pFile);
    job.m_pImage = this;
    job.m_bRgbOrder = bRgbOrder;
    bool bEncoded = EncodePng(job);
    png_destroy_write_struct(&job.m_pPng, &job.m_pInfo);
    if (!bEncoded)
    {
        AbortAtomicWrite(file);
        return ImageFileError("SavePNG", szPath, message.m_szText);
    }
    if (!CommitAtomicWrite(file))
        return ImageFileError("SavePNG", szPath, "cannot write the file");
    return true;
}
