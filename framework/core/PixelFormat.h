#pragma once
// Pixel format codes of the image library and the functions that describe them.
// The 8-bit colour formats fix no byte order: code that cares takes a flag rgbOrder (true: red in
// the first byte; false: blue first, the memory order of an X8R8G8B8 or A8R8G8B8 surface). The
// fourth byte of RGBA8 is alpha in both orders. RGB565 always packs red in the top five bits,
// green in the middle six and blue in the low five.
#include <cstddef>
#include <cstdint>

enum PixelFormat : int32_t
{
    FORMAT_NONE = 0,
    I8 = 1,
    RGB8 = 2,
    RGBA8 = 3,
    I32F = 4,
    RGB32F = 5,
    RGBA32F = 6,
    RGB565 = 7,
    DXT1 = 8,
    DXT3 = 9,
    DXT5 = 10,
};

// Largest side any image file may declare; larger headers are refused before allocating.
constexpr int32_t IMAGE_SIDE_MAX = 16384;

bool IsCompressedFormat(int nFormat);   // DXT1, DXT3, DXT5
bool IsPlainFormat(int nFormat);        // codes 0 to 6
bool IsFloatFormat(int nFormat);        // I32F, RGB32F, RGBA32F
bool IsRGB565Format(int nFormat);
int GetBytesPerPixel(int nFormat);      // 0 for compressed and unknown codes
int GetBytesPerBlock(int nFormat);      // one 4x4 block: 8 for DXT1, 16 otherwise
int GetChannelCount(int nFormat);       // 0 outside 1..10
int GetBytesPerChannel(int nFormat);    // 1 below I32F, 4 from it on

// Exchanges the first and third byte of nCount pixels that lie nStep bytes apart.
void SwapRedBlue(uint8_t* pBytes, size_t nCount, size_t nStep);

// The nearest power of two, exact midpoints rounding up (3 -> 4, 5 -> 4, 6 -> 8, 768 -> 1024).
// Sides of 0 or less give 1.
int RoundToNearestPowerOfTwo(int n);
