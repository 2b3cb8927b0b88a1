#include "core/CoreHooks.h"
#include "core/Processor.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <string>

namespace
{
// Four bytes of text as cpuid returns them in a register (first byte lowest).
uint32_t Pack(const char* szFour)
{
    uint32_t n = 0;
    std::memcpy(&n, szFour, 4);
    return n;
}

constexpr uint32_t BIT(int n)
{
    return 1u << n;
}

// A processor that answers every leaf up to the given highest extended leaf.
std::vector<CpuidEntry> FakeProcessor(uint32_t nHighestStandard, uint32_t nHighestExtended, uint32_t nFeatureEDX,
                                      uint32_t nExtendedEDX)
{
    // Family 15 in bits 8 to 11 and extended family 1 in bits 20 to 27.
    const uint32_t nSignature = (1u << 20) | (0xFu << 8) | 0x21u;
    const char* szBrand = "Quenlaris Test CPU @ 3.00GHz....Third sixteen.....";
    std::vector<CpuidEntry> table = {
        {0, nHighestStandard, Pack("Genu"), Pack("ntel"), Pack("ineI")},
        {1, nSignature, 0, 0, nFeatureEDX},
        {0x80000000u, nHighestExtended, 0, 0, 0},
        {0x80000001u, 0, 0, 0, nExtendedEDX},
    };
    for (uint32_t i = 0; i < 3; ++i)
    {
        const char* p = szBrand + 16 * i;
        table.push_back({0x80000002u + i, Pack(p), Pack(p + 4), Pack(p + 8), Pack(p + 12)});
    }
    return table;
}

class ProcessorTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        SetCpuidTable({});
        SetTimeStampCounterSource(nullptr);
        SetClockSource({});
    }
};
}

TEST_F(ProcessorTest, DetectsFlagsFamilyVendorAndBrandFromTheTable)
{
    const uint32_t nAllStandard = BIT(15) | BIT(23) | BIT(25) | BIT(26);
    const uint32_t nAllExtended = BIT(22) | BIT(30) | BIT(31);
    struct Case
    {
        const char* szName;
        uint32_t nHighestStandard, nHighestExtended, nFeatureEDX, nExtendedEDX;
        bool bCMOV, bMMX, bSSE, bSSE2, bExtendedMMX, bExtended3DNow, b3DNow;
        int nFamily;
        std::string strBrand;
    };
    const std::string brand32 = "Quenlaris Test CPU @ 3.00GHz....";
    const Case cases[] = {
        {"extended leaves to 0x80000003", 1, 0x80000003u, nAllStandard, nAllExtended,
         true, true, true, true, true, true, true, 15, brand32},
        {"all three brand leaves", 1, 0x80000004u, nAllStandard, nAllExtended,
         true, true, true, true, true, true, true, 15, brand32 + "Third sixteen..."},
        {"extended leaves to 0x80000001: no brand", 1, 0x80000001u, nAllStandard, nAllExtended,
         true, true, true, true, true, true, true, 15, ""},
        {"no extended feature leaf", 1, 0x80000000u, nAllStandard, nAllExtended,
         true, true, true, true, false, false, false, 15, ""},
        {"standard leaf 0 only", 0, 0x80000004u, nAllStandard, nAllExtended,
         false, false, false, false, false, false, false, 0, ""},
        {"single bits", 1, 0x80000001u, BIT(25), BIT(30),
         false, false, true, false, false, true, false, 15, ""},
        {"neighbouring bits only", 1, 0x80000001u, BIT(14) | BIT(24) | BIT(27), BIT(21) | BIT(29),
         false, false, false, false, false, false, false, 15, ""},
    };
    for (const Case& c : cases)
    {
        SetCpuidTable(FakeProcessor(c.nHighestStandard, c.nHighestExtended, c.nFeatureEDX, c.nExtendedEDX));
        std::memset(&g_ProcessorInfo, 0x55, sizeof(g_ProcessorInfo));
        DetectProcessor();
        const ProcessorInfo& info = g_ProcessorInfo;
        EXPECT_STREQ(info.m_szVendor, "GenuineIntel") << c.szName;
        EXPECT_EQ(info.m_bCMOV, c.bCMOV) << c.szName;
        EXPECT_EQ(info.m_bMMX, c.bMMX) << c.szName;
        EXPECT_EQ(info.m_bSSE, c.bSSE) << c.szName;
        EXPECT_EQ(info.m_bSSE2, c.bSSE2) << c.szName;
        EXPECT_EQ(info.m_bExtendedMMX, c.bExtendedMMX) << c.szName;
        EXPECT_EQ(info.m_bExtended3DNow, c.bExtended3DNow) << c.szName;
        EXPECT_EQ(info.m_b3DNow, c.b3DNow) << c.szName;
        EXPECT_EQ(info.m_nFamily, c.nFamily) << c.szName;
        EXPECT_EQ(std::string(info.m_szBrand), c.strBrand) << c.szName;
    }
}

TEST_F(ProcessorTest, MeasuresTheCounterRateAgainstTheClock)
{
    struct Case
    {
        const char* szName;
        int64_t nFrequency;
        int64_t nClockTicks;
        uint64_t nCounterTicks;
        uint64_t nExpected;
    };
    const Case cases[] = {
        // 3,000,000 * 3,579,545 / 3,580 = 2,999,618,715.08..., truncated.
        {"performance counter", 3579545, 3580, 3000000, 2999618715ull},
        // 20 ms of a nanosecond clock: the product (6e16 * 1e9) needs more than 64 bits.
        {"nanosecond clock", 1000000000, 20000000, 60000000000ull, 3000000000000ull},
        {"clock did not move", 1000, 0, 5000, 0},
        {"clock went back", 1000, -5, 5000, 0},
    };
    for (const Case& c : cases)
    {
        std::deque<int64_t> clock = {1000000, 1000000 + c.nClockTicks};
        std::deque<uint64_t> counter = {123456789, 123456789 + c.nCounterTicks};
        SetClockSource({[&] {
                            int64_t n = clock.front();
                            clock.pop_front();
                            return n;
                        },
                        c.nFrequency});
        SetTimeStampCounterSource([&] {
            uint64_t n = counter.front();
            counter.pop_front();
            return n;
        });
        EXPECT_EQ(MeasureProcessorClock(), c.nExpected) << c.szName;
        EXPECT_TRUE(clock.empty() && counter.empty()) << c.szName;
    }
}

#if defined(__x86_64__)
TEST_F(ProcessorTest, RealProcessor)
{
    DetectProcessor();
    EXPECT_EQ(std::strlen(g_ProcessorInfo.m_szVendor), 12u);
    // Every 64-bit x86 processor has SSE2, CMOV and MMX.
    EXPECT_TRUE(g_ProcessorInfo.m_bSSE2);
    EXPECT_TRUE(g_ProcessorInfo.m_bCMOV);
    EXPECT_TRUE(g_ProcessorInfo.m_bMMX);
    uint64_t nHz = MeasureProcessorClock();
    EXPECT_GT(nHz, 100000000u);
    EXPECT_LT(nHz, 20000000000u);
}
#endif
