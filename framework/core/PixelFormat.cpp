#include "core/PixelFormat.h"

namespace
{
struct FormatInfo
{
    int m_nBytesPerPixel;
    int m_nChannels;
};

// Indexed by PixelFormat code.
constexpr FormatInfo g_FormatTable[] = {
    {0, 0},    // FORMAT_NONE
    {1, 1},    // I8
    {3, 3},    // RGB8
    {4, 4},    // RGBA8
    {4, 1},    // I32F
    {12, 3},   // RGB32F
    {16, 4},   // RGBA32F
    {2, 3},    // RGB565
    {0, 3},    // DXT1
    {0, 4},    // DXT3
    {0, 4},    // DXT5
};
constexpr int FORMAT_COUNT = static_cast<int>(sizeof(g_FormatTable) / sizeof(g_FormatTable[0]));

bool IsKnownFormat(int nFormat)
{
    return nFormat >= 0 && nFormat < FORMAT_COUNT;
}
}

bool IsCompressedFormat(int nFormat)
{
    return nFormat > RGB565;
}

bool IsPlainFormat(int nFormat)
{
    return nFormat < RGB565;
}

bool IsFloatFormat(int nFormat)
{
    return nFormat >= I32F && nFormat <= RGBA32F;
}

bool IsRGB565Format(int nFormat)
{
    return nFormat == RGB565;
}

int GetBytesPerPixel(int nFormat)
{
    return IsKnownFormat(nFormat) ? g_FormatTable[nFormat].m_nBytesPerPixel : 0;
}

int GetBytesPerBlock(int nFormat)
{
    return nFormat == DXT1 ? 8 : 16;
}

int GetChannelCount(int nFormat)
{
    return IsKnownFormat(nFormat) ? g_FormatTable[nFormat].m_nChannels : 0;
}

int GetBytesPerChannel(int nFormat)
{
    return nFormat < I32F ? 1 : 4;
}

void SwapRedBlue(uint8_t* pBytes, size_t nCount, size_t nStep)
{
    for (size_t i = 0; i < nCount; ++i, pBytes += nStep)
    {
        uint8_t t = pBytes[0];
        pBytes[0] = pBytes[2];
        pBytes[2] = t;
    }
}

int RoundToNearestPowerOfTwo(int n)
{
    if (n <= 0)
        return 1;
    int k = 30;
    while (!(n & (1 << k)))
        --k;
    if (k == 30 || k == 0)
        return 1 << k;
    return (n & (1 << (k - 1))) ? 1 << (k + 1) : 1 << k;
}
