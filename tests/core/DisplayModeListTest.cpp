#include "core/DisplayModeList.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{
// The display as the tests describe it: a list of modes and a record of every switch asked for.
class DisplayModeListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetDisplayModeSource({[this] { return m_Reported; },
                              [this](const DisplayModeInfo* pMode) {
                                  m_Switches.push_back(pMode ? *pMode : DisplayModeInfo{});
                                  m_nNullSwitches += pMode ? 0 : 1;
                                  return m_bAccept;
                              }});
    }
    void TearDown() override { SetDisplayModeSource({}); }

    // (width, height, refresh) of every mode in the list, in order.
    static std::vector<std::tuple<int, int, int>> Sizes(const DisplayModeList& list)
    {
        std::vector<std::tuple<int, int, int>> sizes;
        for (int i = 0; i < list.GetModeCount(); ++i)
            sizes.emplace_back(list.GetMode(i)->m_nWidth, list.GetMode(i)->m_nHeight, list.GetMode(i)->m_nRefreshRate);
        return sizes;
    }

    std::vector<DisplayModeInfo> m_Reported;
    std::vector<DisplayModeInfo> m_Switches;
    int m_nNullSwitches = 0;
    bool m_bAccept = true;
};
}

TEST_F(DisplayModeListTest, SortsByAreaKeepingTheDisplaysOrderForEqualAreas)
{
    m_Reported = {{1024, 768, 32, 60}, {800, 600, 32, 60}, {600, 800, 32, 75}, {640, 480, 16, 60}, {800, 600, 16, 85}};
    DisplayModeList list;
    ASSERT_EQ(list.GetModeCount(), 5);
    EXPECT_EQ(list.GetDevModeCount(), 5);
    const int expectedIndex[] = {3, 1, 2, 4, 0};
    for (int i = 0; i < 5; ++i)
    {
        const DisplayMode* pMode = list.GetMode(i);
        EXPECT_EQ(pMode->m_nDevModeIndex, expectedIndex[i]) << i;
        const DisplayModeInfo& info = m_Reported[static_cast<size_t>(expectedIndex[i])];
        EXPECT_EQ(pMode->m_nWidth, static_cast<int>(info.m_nWidth));
        EXPECT_EQ(pMode->m_nBitsPerPixel, static_cast<int>(info.m_nBitsPerPixel));
        EXPECT_EQ(pMode->m_nRefreshRate, static_cast<int>(info.m_nRefreshRate));
    }
    EXPECT_EQ(list.GetMode(5), nullptr);
    EXPECT_EQ(list.GetMode(-1), nullptr);
}

TEST_F(DisplayModeListTest, KeepNearestRefreshKeepsOneRatePerRunOfOneSize)
{
    using Modes = std::vector<DisplayModeInfo>;
    using Result = std::vector<std::tuple<int, int, int>>;
    struct Case
    {
        const char* szName;
        Modes reported;
        int nTarget;
        Result expected;
    };
    const Case cases[] = {
        {"nearest per size",
         {{800, 600, 32, 60}, {800, 600, 32, 72}, {800, 600, 32, 85}, {1024, 768, 32, 60}, {1024, 768, 32, 75}},
         85,
         {{800, 600, 85}, {1024, 768, 75}}},
        {"equally near: 80 first wins", {{800, 600, 32, 80}, {800, 600, 32, 90}}, 85, {{800, 600, 80}}},
        {"equally near: 90 first wins", {{800, 600, 32, 90}, {800, 600, 32, 80}}, 85, {{800, 600, 90}}},
        {"same rate twice stays twice",
         {{800, 600, 32, 85}, {800, 600, 32, 60}, {800, 600, 32, 85}},
         85,
         {{800, 600, 85}, {800, 600, 85}}},
        // 600 x 800 has the area of 800 x 600, so sorting leaves it between the two 800 x 600
        // modes: they form two runs and each keeps its own rate.
        {"size split by another size",
         {{800, 600, 32, 60}, {600, 800, 32, 75}, {800, 600, 32, 85}},
         85,
         {{800, 600, 60}, {600, 800, 75}, {800, 600, 85}}},
        {"empty list", {}, 85, {}},
    };
    for (const Case& c : cases)
    {
        m_Reported = c.reported;
        DisplayModeList list;
        list.KeepNearestRefresh(c.nTarget);
        EXPECT_EQ(Sizes(list), c.expected) << c.szName;
        EXPECT_EQ(list.GetDevModeCount(), static_cast<int>(c.reported.size())) << c.szName;
    }
}

TEST_F(DisplayModeListTest, MainWindowsNarrowingKeepsLargeTrueColourModesAt85)
{
    m_Reported = {{640, 480, 32, 60},  {640, 480, 16, 85},  {320, 240, 32, 85},   {800, 600, 32, 60},
                  {800, 600, 32, 85},  {800, 600, 8, 85},   {1024, 768, 32, 75},  {639, 1000, 32, 85},
                  {1280, 400, 32, 85}, {1024, 768, 24, 60}, {1280, 1024, 32, 60}, {1280, 1024, 32, 100}};
    DisplayModeList list;
    list.FilterModes(640, 480, 32, 2147483647, 2147483647, 2147483647, 0, 2147483647);
    EXPECT_EQ(Sizes(list), (std::vector<std::tuple<int, int, int>>{{640, 480, 60},
                                                                     {800, 600, 60},
                                                                     {800, 600, 85},
                                                                     {1024, 768, 75},
                                                                     {1280, 1024, 60},
                                                                     {1280, 1024, 100}}));
    list.KeepNearestRefresh(85);
    EXPECT_EQ(Sizes(list), (std::vector<std::tuple<int, int, int>>{
                               {640, 480, 60}, {800, 600, 85}, {1024, 768, 75}, {1280, 1024, 100}}));
    // The display's records are all still there, so the survivors still switch to their own.
    EXPECT_EQ(list.GetDevModeCount(), 12);
    ASSERT_TRUE(list.SetMode(2));
    EXPECT_EQ(m_Switches.back().m_nWidth, 1024u);
    EXPECT_EQ(m_Switches.back().m_nRefreshRate, 75u);
}

TEST_F(DisplayModeListTest, FilterRangesAreClosedOnBothEnds)
{
    m_Reported = {{640, 480, 32, 59}, {640, 480, 32, 60}, {640, 480, 32, 75}, {640, 480, 32, 76},
                  {800, 600, 32, 60}, {801, 600, 32, 60}, {800, 601, 32, 60}, {800, 600, 33, 60}};
    DisplayModeList list;
    list.FilterModes(640, 480, 32, 800, 600, 32, 60, 75);
    EXPECT_EQ(Sizes(list),
              (std::vector<std::tuple<int, int, int>>{{640, 480, 60}, {640, 480, 75}, {800, 600, 60}}));
}

TEST_F(DisplayModeListTest, ClosestModeWeighsBitsAboveSizeAboveRefresh)
{
    m_Reported = {{1024, 768, 16, 85}, {800, 600, 32, 85}};
    DisplayModeList list;
    EXPECT_EQ(list.GetMode(1)->Distance(1024, 768, 32, 85), 16 * 65536);
    EXPECT_EQ(list.GetMode(0)->Distance(1024, 768, 32, 85), 224 * 256 + 168 * 256);
    EXPECT_EQ(list.GetMode(0)->Distance(1024, 768, 32, 85), 100352);
    EXPECT_EQ(list.GetMode(1)->Distance(1024, 768, 32, 85), 1048576);
    ASSERT_TRUE(list.SetClosestMode(1024, 768, 32, 85));
    ASSERT_EQ(m_Switches.size(), 1u);
    EXPECT_EQ(m_Switches[0].m_nWidth, 800u);
    EXPECT_EQ(m_Switches[0].m_nBitsPerPixel, 32u);

    // One pixel of size outweighs 255 Hz; equally distant modes go to the first.
    m_Reported = {{800, 600, 32, 60}, {801, 600, 32, 60}, {800, 600, 32, 315}, {800, 600, 32, 316}};
    DisplayModeList rates;
    EXPECT_EQ(rates.GetMode(3)->Distance(801, 600, 32, 315), 255);
    EXPECT_EQ(rates.GetMode(1)->Distance(801, 600, 32, 315), 256);
    ASSERT_TRUE(rates.SetClosestMode(801, 600, 32, 315));
    EXPECT_EQ(m_Switches.back().m_nWidth, 801u);
    EXPECT_EQ(m_Switches.back().m_nRefreshRate, 60u);
    m_Reported = {{800, 600, 32, 70}, {800, 600, 32, 80}};
    DisplayModeList ties;
    ASSERT_TRUE(ties.SetClosestMode(800, 600, 32, 75));
    EXPECT_EQ(m_Switches.back().m_nRefreshRate, 70u);
}

TEST_F(DisplayModeListTest, SwitchingFailsWithoutACallOutsideTheListAndReportsARefusal)
{
    m_Reported = {{640, 480, 32, 60}, {800, 600, 32, 60}};
    DisplayModeList list;
    EXPECT_FALSE(list.SetMode(2));
    EXPECT_FALSE(list.SetMode(-1));
    EXPECT_TRUE(m_Switches.empty());

    m_bAccept = false;
    EXPECT_FALSE(list.SetMode(1));
    EXPECT_EQ(m_Switches.size(), 1u);
    EXPECT_EQ(list.GetModeCount(), 2);

    m_bAccept = true;
    EXPECT_TRUE(list.RestoreDesktopMode());
    EXPECT_EQ(m_nNullSwitches, 1);

    m_Reported = {};
    DisplayModeList empty;
    EXPECT_EQ(empty.GetModeCount(), 0);
    EXPECT_FALSE(empty.SetClosestMode(640, 480, 32, 60));
    EXPECT_EQ(m_Switches.size(), 2u);
}
