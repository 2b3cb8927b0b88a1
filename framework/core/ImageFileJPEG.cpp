// JPEG files through libjpeg (API 62). Read: grey (I8) and three-component colour (RGB8);
// two-component and CMYK/YCCK files are refused. Written: I8 and RGB8.
//
// libjpeg reports a fatal error by calling error_exit, whose default ends the process; ours
// jumps back to the driver, which releases what it made and returns false. Corrupt-data
// warnings (a truncated file, for one) are counted and make the read fail as well.
#include "core/FileIO.h"
#include "core/ImageFileUtil.h"
#include "core/Log.h"
#include "core/PixelImage.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace
{
struct JpegErrorManager
{
    jpeg_error_mgr m_Manager;   // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf m_JumpBuffer;
    char m_szMessage[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegErrorExit(j_common_ptr pInfo)
{
    JpegErrorManager* pError = reinterpret_cast<JpegErrorManager*>(pInfo->err);
    pInfo->err->format_message(pInfo, pError->m_szMessage);
    std::longjmp(pError->m_JumpBuffer, 1);
}

// Warnings are counted by libjpeg (num_warnings) and not printed.
void JpegOutputMessage(j_common_ptr)
{
}

void InstallErrorManager(JpegErrorManager& error)
{
    jpeg_std_error(&error.m_Manager);
    error.m_Manager.error_exit = JpegErrorExit;
    error.m_Manager.output_message = JpegOutputMessage;
    error.m_szMessage[0] = 0;
}

// Everything the decoding frame touches after setjmp lives here, outside that frame.
struct JpegReadJob
{
    jpeg_decompress_struct m_Info;
    JpegErrorManager m_Error;
    FILE* m_pFile;
    bool m_bRgbOrder;
    bool m_bMipFlag;
    const char* m_szPath;
    const char* m_szFailure;
    uint8_t* m_pPixels;
    int m_nFormat;
};

bool DecodeJpeg(JpegReadJob& job)
{
    if (setjmp(job.m_Error.m_JumpBuffer))
        return false;
    jpeg_create_decompress(&job.m_Info);
    jpeg_stdio_src(&job.m_Info, job.m_pFile);
    jpeg_read_header(&job.m_Info, TRUE);
    if (job.m_Info.num_components != 1 && job.m_Info.num_components != 3)
    {
        job.m_szFailure = "only grey and three-component colour JPEG files are read";
        return false;
    }
    if (!CheckImageSides("LoadJPEG", job.m_szPath, job.m_Info.image_width, job.m_Info.image_height))
        return false;
    jpeg_start_decompress(&job.m_Info);
    const JDIMENSION nWidth = job.m_Info.output_width, nHeight = job.m_Info.output_height;
    const int nComponents = job.m_Info.output_components;
    if (nComponents != 1 && nComponents != 3)
    {
        job.m_szFailure = "unsupported output components";
        return false;
    }
    job.m_nFormat = nComponents == 1 ? I8 : RGB8;
    job.m_pPixels = AllocateReadBuffer("LoadJPEG", static_cast<int32_t>(nWidth), static_cast<int32_t>(nHeight), job.m_nFormat, ReadBufferLevels(job.m_bMipFlag));
    if (!job.m_pPixels)
        return false;
    const size_t nRowBytes = static_cast<size_t>(nWidth) * static_cast<size_t>(nComponents);
    while (job.m_Info.output_scanline < nHeight)
    {
        JSAMPROW pRow = job.m_pPixels + static_cast<size_t>(job.m_Info.output_scanline) * nRowBytes;
        jpeg_read_scanlines(&job.m_Info, &pRow, 1);
        // libjpeg delivers red first.
        if (nComponents == 3 && !job.m_bRgbOrder)
            SwapRedBlue(pRow, nWidth, 3);
    }
    jpeg_finish_decompress(&job.m_Info);
    if (job.m_Error.m_Manager.num_warnings > 0)
    {
        job.m_szFailure = "corrupt or truncated data";
        return false;
    }
    return true;
}

struct JpegWriteJob
{
    jpeg_compress_struct m_Info;
    JpegErrorManager m_Error;
    FILE* m_pFile;
    const PixelImage* m_pImage;
    bool m_bRgbOrder;
    int m_nQuality;
    uint8_t* m_pRow;
};

bool EncodeJpeg(JpegWriteJob& job)
{
    if (setjmp(job.m_Error.m_JumpBuffer))
        return false;
    const PixelImage& image = *job.m_pImage;
    const int nChannels = GetChannelCount(image.format);
    jpeg_create_compress(&job.m_Info);
    job.m_Info.in_color_space = nChannels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    job.m_Info.input_components = nChannels;
    jpeg_set_defaults(&job.m_Info);
    job.m_Info.image_width = static_cast<JDIMENSION>(image.width);
    job.m_Info.image_height = static_cast<JDIMENSION>(image.height);
    job.m_Info.data_precision = 8;
    job.m_Info.input_gamma = 1.0;
    jpeg_set_quality(&job.m_Info, job.m_nQuality, FALSE);
    jpeg_stdio_dest(&job.m_Info, job.m_pFile);
    jpeg_start_compress(&job.m_Info, TRUE);
    const size_t nRowBytes = static_cast<size_t>(image.width) * static_cast<size_t>(nChannels);
    while (job.m_Info.next_scanline < job.m_Info.image_height)
    {
        // Copied, so that the image stays as it is; libjpeg takes red first.
        std::memcpy(job.m_pRow, image.pixels + static_cast<size_t>(job.m_Info.next_scanline) * nRowBytes, nRowBytes);
        if (nChannels == 3 && !job.m_bRgbOrder)
            SwapRedBlue(job.m_pRow, static_cast<size_t>(image.width), 3);
        JSAMPROW pRow = job.m_pRow;
        jpeg_write_scanlines(&job.m_Info, &pRow, 1);
    }
    jpeg_finish_compress(&job.m_Info);
    return true;
}
}

bool PixelImage::LoadJPEG(const char* szPath, bool bRgbOrder, bool bMipFlag)
{
    FILE* pFile = OpenFile(szPath, "rb");
    if (!pFile)
        return ImageFileError("LoadJPEG", szPath, "cannot open the file");
    JpegReadJob job{};
    job.m_Info.err = &job.m_Error.m_Manager;
    InstallErrorManager(job.m_Error);
    job.m_pFile = pFile;
    job.m_bRgbOrder = bRgbOrder;
    job.m_bMipFlag = bMipFlag;
    job.m_szPath = szPath;
    bool bDecoded = DecodeJpeg(job);
    jpeg_destroy_decompress(&job.m_Info);
    std::fclose(pFile);
    if (!bDecoded)
    {
        FreePixels(job.m_pPixels);
        if (job.m_Error.m_szMessage[0])
            return ImageFileError("LoadJPEG", szPath, job.m_Error.m_szMessage);
        return job.m_szFailure ? ImageFileError("LoadJPEG", szPath, job.m_szFailure) : false;
    }
    InstallReadBuffer(*this, job.m_pPixels, static_cast<int32_t>(job.m_Info.output_width), static_cast<int32_t>(job.m_Info.output_height), job.m_nFormat);
    return true;
}

bool PixelImage::SaveJPEG(const char* szPath, bool bRgbOrder, int nQuality) const
{
    if (format != I8 && format != RGB8)
        return ImageFileError("SaveJPEG", szPath, "only I8 and RGB8 images are written");
    if (!pixels || width <= 0 || height <= 0)
        return ImageFileError("SaveJPEG", szPath, "empty image");
    AtomicFile file;
    if (!BeginAtomicWrite(szPath, file))
        return ImageFileError("SaveJPEG", szPath, "cannot create the file");
    std::vector<uint8_t> row(static_cast<size_t>(width) * static_cast<size_t>(GetChannelCount(format)));
    JpegWriteJob job{};
    job.m_Info.err = &job.m_Error.m_Manager;
    InstallErrorManager(job.m_Error);
    job.m_pFile = file.m_pFile;
    job.m_pImage = this;
    job.m_bRgbOrder = bRgbOrder;
    job.m_nQuality = nQuality;
    job.m_pRow = row.data();
    bool bEncoded = EncodeJpeg(job);
    jpeg_destroy_compress(&job.m_Info);
    if (!bEncoded)
    {
        AbortAtomicWrite(file);
        return ImageFileError("SaveJPEG", szPath, job.m_Error.m_szMessage);
    }
    if (!CommitAtomicWrite(file))
        return ImageFileError("SaveJPEG", szPath, "cannot write the file");
    return true;
}
