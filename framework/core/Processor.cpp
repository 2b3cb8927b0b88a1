#include "core/Processor.h"

#include "core/CoreHooks.h"

#include <chrono>
#include <cstring>
#include <thread>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <x86intrin.h>
#define QUEN_HAS_CPUID 1
#endif

ProcessorInfo g_ProcessorInfo;

namespace
{
std::vector<CpuidEntry> g_CpuidTable;
std::function<uint64_t()> g_fnTimeStampCounter;

// Long enough that the clock's resolution and the reads' own cost are far below 0.1 %.
constexpr auto CLOCK_MEASURE_WAIT = std::chrono::milliseconds(20);

constexpr uint32_t LEAF_VENDOR = 0;
constexpr uint32_t LEAF_FEATURES = 1;
constexpr uint32_t LEAF_EXTENDED_MAX = 0x80000000u;
constexpr uint32_t LEAF_EXTENDED_FEATURES = 0x80000001u;
constexpr uint32_t LEAF_BRAND_FIRST = 0x80000002u;
constexpr uint32_t LEAF_BRAND_LAST = 0x80000004u;

struct FeatureBit
{
    bool ProcessorInfo::*m_pFlag;
    int m_nBit;
};

// EDX of leaf 1.
constexpr FeatureBit STANDARD_FEATURES[] = {
    {&ProcessorInfo::m_bCMOV, 15},
    {&ProcessorInfo::m_bMMX, 23},
    {&ProcessorInfo::m_bSSE, 25},
    {&ProcessorInfo::m_bSSE2, 26},
};

// EDX of leaf 0x80000001.
constexpr FeatureBit EXTENDED_FEATURES[] = {
    {&ProcessorInfo::m_bExtendedMMX, 22},
    {&ProcessorInfo::m_bExtended3DNow, 30},
    {&ProcessorInfo::m_b3DNow, 31},
};

struct Registers
{
    uint32_t eax = 0, ebx = 0, ecx = 0, edx = 0;
};

Registers Cpuid(uint32_t nLeaf)
{
    Registers r;
    QueryCpuid(nLeaf, &r.eax, &r.ebx, &r.ecx, &r.edx);
    return r;
}

template <size_t N>
void SetFlags(ProcessorInfo& info, const FeatureBit (&bits)[N], uint32_t nRegister)
{
    for (const FeatureBit& bit : bits)
        info.*bit.m_pFlag = ((nRegister >> bit.m_nBit) & 1u) != 0;
}
}

void QueryCpuid(uint32_t nLeaf, uint32_t* pEAX, uint32_t* pEBX, uint32_t* pECX, uint32_t* pEDX)
{
    uint32_t a = 0, b = 0, c = 0, d = 0;
    if (!g_CpuidTable.empty())
    {
        for (const CpuidEntry& entry : g_CpuidTable)
        {
            if (entry.m_nLeaf == nLeaf)
            {
                a = entry.m_nEAX;
                b = entry.m_nEBX;
                c = entry.m_nECX;
                d = entry.m_nEDX;
                break;
            }
        }
    }
    else
    {
#ifdef QUEN_HAS_CPUID
        __cpuid(nLeaf, a, b, c, d);
#endif
    }
    *pEAX = a;
    *pEBX = b;
    *pECX = c;
    *pEDX = d;
}

uint64_t ReadTimeStampCounter()
{
    if (g_fnTimeStampCounter)
        return g_fnTimeStampCounter();
#ifdef QUEN_HAS_CPUID
    return __rdtsc();
#else
    return 0;
#endif
}

void DetectProcessor()
{
    ProcessorInfo& info = g_ProcessorInfo;
    for (const FeatureBit& bit : STANDARD_FEATURES)
        info.*bit.m_pFlag = false;
    for (const FeatureBit& bit : EXTENDED_FEATURES)
        info.*bit.m_pFlag = false;
    info.m_nFamily = 0;
    info.m_szVendor[12] = '\0';
    info.m_szBrand[0] = '\0';

    Registers vendor = Cpuid(LEAF_VENDOR);
    std::memcpy(info.m_szVendor + 0, &vendor.ebx, 4);
    std::memcpy(info.m_szVendor + 4, &vendor.edx, 4);
    std::memcpy(info.m_szVendor + 8, &vendor.ecx, 4);
    if (vendor.eax < LEAF_FEATURES)
        return;

    Registers features = Cpuid(LEAF_FEATURES);
    SetFlags(info, STANDARD_FEATURES, features.edx);
    info.m_nFamily = static_cast<int32_t>((features.eax >> 8) & 0xFu);

    uint32_t nExtendedMax = Cpuid(LEAF_EXTENDED_MAX).eax;
    if (nExtendedMax < LEAF_EXTENDED_FEATURES)
        return;
    SetFlags(info, EXTENDED_FEATURES, Cpuid(LEAF_EXTENDED_FEATURES).edx);

    char* pBrand = info.m_szBrand;
    for (uint32_t nLeaf = LEAF_BRAND_FIRST; nLeaf <= LEAF_BRAND_LAST && nLeaf <= nExtendedMax; ++nLeaf)
    {
        Registers part = Cpuid(nLeaf);
        const uint32_t words[4] = {part.eax, part.ebx, part.ecx, part.edx};
        std::memcpy(pBrand, words, sizeof(words));
        pBrand += sizeof(words);
        *pBrand = '\0';
    }
}

uint64_t MeasureProcessorClock()
{
    const int64_t nFrequency = GetClockFrequency();
    const int64_t c0 = ReadClockTicks();
    const uint64_t t0 = ReadTimeStampCounter();
    std::this_thread::sleep_for(CLOCK_MEASURE_WAIT);
    const int64_t c1 = ReadClockTicks();
    const uint64_t t1 = ReadTimeStampCounter();
    if (c1 <= c0 || t1 < t0 || nFrequency <= 0)
        return 0;
    // Counter ticks times clock ticks per second, in 128 bits: with a nanosecond clock a 64-bit
    // product would overflow after a few seconds of counting at 3 GHz.
    unsigned __int128 nProduct = static_cast<unsigned __int128>(t1 - t0) * static_cast<uint64_t>(nFrequency);
    unsigned __int128 nRate = nProduct / static_cast<uint64_t>(c1 - c0);
    return nRate > UINT64_MAX ? UINT64_MAX : static_cast<uint64_t>(nRate);
}

void SetCpuidTable(std::vector<CpuidEntry> table)
{
    g_CpuidTable = std::move(table);
}

void SetTimeStampCounterSource(std::function<uint64_t()> fnRead)
{
    g_fnTimeStampCounter = std::move(fnRead);
}
