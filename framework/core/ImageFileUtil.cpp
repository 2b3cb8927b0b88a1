#include "core/ImageFileUtil.h"

#include "core/FileIO.h"
#include "core/Log.h"

#include <cstring>

bool ImageFileError(const char* szOperation, const char* szPath, const char* szReason)
{
    LogError("PixelImage::%s() - %s: \"%s\".", szOperation, szReason, szPath ? szPath : "");
    return false;
}

bool ReadImageFile(const char* szOperation, const char* szPath, std::vector<uint8_t>& data)
{
    if (!ReadWholeFile(szPath, data))
        return ImageFileError(szOperation, szPath, "cannot read the file");
    return true;
}

bool CheckImageSides(const char* szOperation, const char* szPath, int64_t nWidth, int64_t nHeight)
{
    if (nWidth <= 0 || nHeight <= 0 || nWidth > IMAGE_SIDE_MAX || nHeight > IMAGE_SIDE_MAX)
    {
        LogError("PixelImage::%s() - image size %lld x %lld outside 1 to %d: \"%s\".", szOperation, static_cast<long long>(nWidth),
                 static_cast<long long>(nHeight), IMAGE_SIDE_MAX, szPath ? szPath : "");
        return false;
    }
    return true;
}

uint8_t* AllocateReadBuffer(const char* szOperation, int32_t nWidth, int32_t nHeight, int nFormat, int32_t nLevels)
{
    PixelImage sizes;
    sizes.width = nWidth;
    sizes.height = nHeight;
    sizes.format = nFormat;
    size_t nSize = sizes.GetLevelsSize(0, nLevels);
    uint8_t* p = AllocatePixels(nSize);
    if (!p)
    {
        LogError("PixelImage::%s() - cannot allocate %zu bytes.", szOperation, nSize);
        return nullptr;
    }
    std::memset(p, 0, nSize);
    return p;
}

void InstallReadBuffer(PixelImage& image, uint8_t* pPixels, int32_t nWidth, int32_t nHeight, int nFormat)
{
    image.Adopt(pPixels, nWidth, nHeight, nFormat, true, false);
    image.mipCount = 0;
}

bool WriteImageFile(const char* szOperation, const char* szPath, const ByteWriter& writer)
{
    if (!WriteFileAtomic(szPath, writer.GetBuffer()))
        return ImageFileError(szOperation, szPath, "cannot write the file");
    return true;
}
