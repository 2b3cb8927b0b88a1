#include "core/PixelBuffer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace
{
int g_nAllocationsBeforeFailure = -1;

bool InjectedFailure()
{
    if (g_nAllocationsBeforeFailure < 0)
        return false;
    if (g_nAllocationsBeforeFailure == 0)
    {
        g_nAllocationsBeforeFailure = -1;
        return true;
    }
    --g_nAllocationsBeforeFailure;
    return false;
}
}

uint8_t* AllocatePixels(size_t nSize)
{
    if (InjectedFailure())
        return nullptr;
    return static_cast<uint8_t*>(std::malloc(nSize ? nSize : 1));
}

uint8_t* ReallocatePixels(uint8_t* pPixels, size_t nSize)
{
    if (InjectedFailure())
        return nullptr;
    return static_cast<uint8_t*>(std::realloc(pPixels, nSize ? nSize : 1));
}

void FreePixels(void* pPixels)
{
    std::free(pPixels);
}

uint8_t* ResizePixelBlock(uint8_t* pPixels, bool bOwned, size_t nKeep, size_t nSize)
{
    if (bOwned)
        return ReallocatePixels(pPixels, nSize);
    uint8_t* pNew = AllocatePixels(nSize);
    if (pNew && pPixels)
        std::memcpy(pNew, pPixels, std::min(nKeep, nSize));
    return pNew;
}

void SetPixelAllocationFailure(int nSucceed)
{
    g_nAllocationsBeforeFailure = nSucceed;
}

int32_t GetMipSide(int32_t nSide, int32_t nLevel)
{
    if (nLevel < 0 || nLevel > 30)
        return 1;
    int32_t n = nSide >> nLevel;
    return n > 1 ? n : 1;
}

int32_t CountMipLevels(int32_t nLargestSide)
{
    int32_t nBits = 0;
    for (uint32_t n = nLargestSide > 0 ? static_cast<uint32_t>(nLargestSide) : 0; n; n >>= 1)
        ++nBits;
    return nBits;
}

uint64_t CountLevelUnits(int32_t w, int32_t h, int32_t d, int32_t nCount, bool bBlocks)
{
    uint64_t nw = 2 * static_cast<uint64_t>(w), nh = 2 * static_cast<uint64_t>(h), nd = 2 * static_cast<uint64_t>(d);
    uint64_t nTotal = 0;
    for (int32_t i = 0; i < nCount && !(nw == 1 && nh == 1 && nd == 1); ++i)
    {
        if (nw > 1)
            nw /= 2;
        if (nh > 1)
            nh /= 2;
        if (nd > 1)
            nd /= 2;
        nTotal += bBlocks ? ((nw + 3) >> 2) * ((nh + 3) >> 2) * nd : nw * nh * nd;
    }
    return nTotal;
}
