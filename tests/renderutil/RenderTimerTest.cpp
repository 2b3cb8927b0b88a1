// The render clock against a tick source the test moves by hand.
#include "3dapi/RenderTimer.h"
#include "core/CoreHooks.h"

#include <gtest/gtest.h>

namespace
{
class RenderTimerTest : public ::testing::Test
{
protected:
    static constexpr int64_t FREQUENCY = 1000000;  // microsecond ticks

    void SetUp() override
    {
        SetClockSource({[this] { return m_nNow; }, FREQUENCY});
        ResetRenderTimer();
    }
    void TearDown() override
    {
        SetClockSource({});
        ResetRenderTimer();
    }
    void AdvanceSeconds(double fSeconds) { m_nNow += static_cast<int64_t>(fSeconds * FREQUENCY); }

    int64_t m_nNow = 5 * FREQUENCY;
};

TEST_F(RenderTimerTest, StartStopAndElapsedFollowTheClockRules)
{
    // Before the first start the base is the origin, so application time equals absolute time.
    AdvanceSeconds(2.0);
    EXPECT_FLOAT_EQ(RenderTimerCommand(TimerAbsoluteTime), RenderTimerCommand(TimerAppTime));

    EXPECT_EQ(RenderTimerCommand(TimerStart), 0.0f);
    AdvanceSeconds(1.5);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 1.5, 1e-5);
    EXPECT_NEAR(RenderTimerCommand(TimerElapsedTime), 1.5, 1e-5);
    AdvanceSeconds(0.25);
    EXPECT_NEAR(RenderTimerCommand(TimerElapsedTime), 0.25, 1e-5);

    // Stopped: elapsed time 0 twice, application time frozen; a second stop changes nothing.
    EXPECT_EQ(RenderTimerCommand(TimerStop), 0.0f);
    AdvanceSeconds(3.0);
    EXPECT_EQ(RenderTimerCommand(TimerStop), 0.0f);
    EXPECT_EQ(RenderTimerCommand(TimerElapsedTime), 0.0f);
    EXPECT_EQ(RenderTimerCommand(TimerElapsedTime), 0.0f);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 1.75, 1e-5);

    // Advancing a stopped clock moves the frozen time a tenth of a second per call.
    RenderTimerCommand(TimerAdvance);
    RenderTimerCommand(TimerAdvance);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 1.95, 1e-5);

    // Starting again leaves out the stopped interval (less the two advances).
    RenderTimerCommand(TimerStart);
    AdvanceSeconds(1.0);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 2.95, 1e-5);
}

TEST_F(RenderTimerTest, RunningClockIgnoresAdvanceAndBadCodes)
{
    RenderTimerCommand(TimerStart);
    AdvanceSeconds(1.0);
    RenderTimerCommand(TimerAdvance);
    AdvanceSeconds(1.0);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 2.0, 1e-5);

    EXPECT_EQ(RenderTimerCommand(static_cast<TimerCommandCode>(7)), -1.0f);
    EXPECT_EQ(RenderTimerCommand(static_cast<TimerCommandCode>(-1)), -1.0f);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 2.0, 1e-5);

    // A start while running only restarts the elapsed measure.
    AdvanceSeconds(0.5);
    RenderTimerCommand(TimerStart);
    EXPECT_EQ(RenderTimerCommand(TimerElapsedTime), 0.0f);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 2.5, 1e-5);

    // Reset: base and elapsed measure to now.
    RenderTimerCommand(TimerReset);
    AdvanceSeconds(0.125);
    EXPECT_NEAR(RenderTimerCommand(TimerAppTime), 0.125, 1e-5);
}

TEST_F(RenderTimerTest, AbsoluteTimeKeepsFrameResolutionAfterDaysOfUptime)
{
    // Thirty days of uptime on the counter: as a float of seconds from the counter's own origin
    // the steps would be a quarter of a second.
    m_nNow = int64_t(30) * 24 * 3600 * FREQUENCY;
    float fStart = RenderTimerCommand(TimerAbsoluteTime);
    EXPECT_LT(fStart, 0.001f);
    const double FRAME = 1.0 / 60.0;
    float fPrevious = fStart;
    for (int i = 0; i < 60; ++i)
    {
        AdvanceSeconds(FRAME);
        float fNow = RenderTimerCommand(TimerAbsoluteTime);
        EXPECT_NEAR(fNow - fPrevious, FRAME, FRAME * 0.01);
        fPrevious = fNow;
    }
}
}  // namespace
