#include "core/CoreHooks.h"
#include "core/mvtimerdx.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// A fake clock of 1000 ticks per second: tick counts read as milliseconds.
class FakeClockTest : public ::testing::Test
{
protected:
    void SetUp() override { SetClockSource({[this] { return m_nNow; }, 1000}); }
    void TearDown() override { SetClockSource({}); }
    int64_t m_nNow = 0;
};

struct Step
{
    int64_t nNow;  // the fake clock's ticks when the command is sent
    TimerCommandCode nCode;
    float fExpected;
};

struct Scenario
{
    const char* szName;
    std::vector<Step> steps;
};
}

TEST_F(FakeClockTest, CommandClockScenarios)
{
    const Scenario scenarios[] = {
        {"app time before any start is the live time",
         {{4321, TimerAppTime, 4.321f}, {4321, TimerAbsoluteTime, 4.321f}}},
        {"first start sets the base time",
         {{5000, TimerStart, 0.0f}, {5000, TimerAppTime, 0.0f}, {7000, TimerAppTime, 2.0f}}},
        {"stopped gap is skipped",
         {{1000, TimerStart, 0.0f},
          {3000, TimerStop, 0.0f},
          {5000, TimerAppTime, 2.0f},
          {5000, TimerStart, 0.0f},
          {5500, TimerAppTime, 2.5f}}},
        {"elapsed is 0 while stopped",
         {{1000, TimerStart, 0.0f},
          {1400, TimerElapsedTime, 0.4f},
          {2000, TimerStop, 0.0f},
          {2500, TimerElapsedTime, 0.0f},
          {9000, TimerElapsedTime, 0.0f},
          {9000, TimerStart, 0.0f},
          {9250, TimerElapsedTime, 0.25f}}},
        {"second stop changes nothing",
         {{1000, TimerStart, 0.0f},
          {2000, TimerStop, 0.0f},
          {4000, TimerStop, 0.0f},
          {6000, TimerAppTime, 1.0f},
          {6000, TimerStart, 0.0f},
          {6000, TimerAppTime, 1.0f}}},
        {"start on a running clock only restarts the elapsed time",
         {{1000, TimerStart, 0.0f}, {3000, TimerStart, 0.0f}, {3500, TimerElapsedTime, 0.5f}, {3500, TimerAppTime, 2.5f}}},
        {"advance steps a stopped clock by 0.1 s",
         {{1000, TimerStart, 0.0f},
          {3000, TimerStop, 0.0f},
          {3000, TimerAdvance, 0.0f},
          {3000, TimerAppTime, 2.1f},
          {3100, TimerAdvance, 0.0f},
          {3200, TimerAppTime, 2.2f},
          {3200, TimerElapsedTime, 0.2f},
          {3300, TimerElapsedTime, 0.0f},
          {4000, TimerStart, 0.0f},
          {4000, TimerAppTime, 2.2f}}},
        {"advance on a running clock does nothing",
         {{1000, TimerStart, 0.0f}, {2000, TimerAdvance, 0.0f}, {2500, TimerAppTime, 1.5f}, {3000, TimerAppTime, 2.0f}}},
        {"advance before any stop does nothing",
         {{1000, TimerAdvance, 0.0f}, {1500, TimerAppTime, 1.5f}}},
        {"absolute time is live while stopped",
         {{1000, TimerStart, 0.0f}, {2000, TimerStop, 0.0f}, {5000, TimerAbsoluteTime, 5.0f}, {5000, TimerAppTime, 1.0f}}},
        {"reset",
         {{1000, TimerStart, 0.0f}, {3000, TimerReset, 0.0f}, {3500, TimerAppTime, 0.5f}, {3600, TimerElapsedTime, 0.6f}}},
        {"codes 7 and -1 give -1 and change nothing",
         {{1000, TimerStart, 0.0f},
          {2000, static_cast<TimerCommandCode>(7), -1.0f},
          {2000, static_cast<TimerCommandCode>(-1), -1.0f},
          {2000, TimerElapsedTime, 1.0f}}},
    };
    for (const Scenario& scenario : scenarios)
    {
        CommandClock clock;
        for (size_t i = 0; i < scenario.steps.size(); ++i)
        {
            const Step& step = scenario.steps[i];
            m_nNow = step.nNow;
            EXPECT_NEAR(clock.Command(step.nCode), step.fExpected, 1e-6) << scenario.szName << ", step " << i;
        }
    }
}

TEST_F(FakeClockTest, FrequencyIsReadOnceOnTheFirstCommand)
{
    CommandClock clock;
    m_nNow = 1000;
    clock.Command(TimerStart);
    SetClockSource({[this] { return m_nNow; }, 2000});
    m_nNow = 3000;
    EXPECT_FLOAT_EQ(clock.Command(TimerAppTime), 2.0f);
}

TEST_F(FakeClockTest, LargeTickCountsKeepTheirDifference)
{
    // Ticks of a nanosecond clock after months of uptime: differences are taken in integers.
    SetClockSource({[this] { return m_nNow; }, 1000000000});
    CommandClock clock;
    m_nNow = 9000000000000000001;
    clock.Command(TimerStart);
    m_nNow += 1500000;
    EXPECT_FLOAT_EQ(clock.Command(TimerElapsedTime), 0.0015f);
}

TEST_F(FakeClockTest, PerformanceTimer)
{
    m_nNow = 1000;
    PerformanceTimer timer;
    EXPECT_FLOAT_EQ(timer.GetElapsedSeconds(), 0.0f);
    m_nNow = 3500;
    EXPECT_FLOAT_EQ(timer.GetElapsedSeconds(), 2.5f);
    EXPECT_FLOAT_EQ(timer.GetElapsedSeconds(), 2.5f);

    // Restart reads the counter again but keeps the frequency.
    SetClockSource({[this] { return m_nNow; }, 2000});
    m_nNow = 4000;
    timer.Restart();
    m_nNow = 4250;
    EXPECT_FLOAT_EQ(timer.GetElapsedSeconds(), 0.25f);
}

TEST(TimerCommandTest, UnknownCodesGiveMinusOne)
{
    EXPECT_EQ(TimerCommand(static_cast<TimerCommandCode>(7)), -1.0f);
    EXPECT_EQ(TimerCommand(static_cast<TimerCommandCode>(-1)), -1.0f);
    EXPECT_EQ(TimerCommand(TimerStart), 0.0f);
    EXPECT_GE(TimerCommand(TimerAppTime), 0.0f);
}
