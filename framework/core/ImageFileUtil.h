#pragma once
// Helpers shared by the image file readers and writers: whole-file reading through the path
// mapping, header checks, the reader's pixel buffer, atomic writing, all logging
// "PixelImage::Operation() - reason." on failure.
#include "core/ByteStream.h"
#include "core/PixelImage.h"

#include <cstdint>
#include <vector>

// The whole file; false (logged) when it cannot be read.
bool ReadImageFile(const char* szOperation, const char* szPath, std::vector<uint8_t>& data);

// False (logged) for a side of 0 or less or above IMAGE_SIDE_MAX.
bool CheckImageSides(const char* szOperation, const char* szPath, int64_t nWidth, int64_t nHeight);

// A zero-filled buffer for a reader, sized for nLevels levels (ALL_MIP_LEVELS: the whole chain).
// Null (logged) when it cannot be had.
uint8_t* AllocateReadBuffer(const char* szOperation, int32_t nWidth, int32_t nHeight, int nFormat, int32_t nLevels);
// The levels a reader allocates: the whole chain with the mip flag, else one.
inline int32_t ReadBufferLevels(bool bMipFlag)
{
    return bMipFlag ? ALL_MIP_LEVELS : 1;
}

// Hands a reader's buffer to the image with mipCount 0, for PixelImage::Load to settle.
void InstallReadBuffer(PixelImage& image, uint8_t* pPixels, int32_t nWidth, int32_t nHeight, int nFormat);

// Writes the bytes to the file by a temporary name; false (logged) on any failure.
bool WriteImageFile(const char* szOperation, const char* szPath, const ByteWriter& writer);

// Logs "PixelImage::Operation() - reason." as an error and returns false.
bool ImageFileError(const char* szOperation, const char* szPath, const char* szReason);

// Stores one colour in the order rgbOrder asks for (true: red first; false: blue first).
inline void PutColour(uint8_t* p, uint8_t r, uint8_t g, uint8_t b, bool bRgbOrder)
{
    p[0] = bRgbOrder ? r : b;
    p[1] = g;
    p[2] = bRgbOrder ? b : r;
}
