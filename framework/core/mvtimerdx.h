#pragma once
// The application's clock (TimerCommand) and a small stopwatch (PerformanceTimer), both counting
// ticks of the clock source in core/CoreHooks.h (the monotonic clock in nanoseconds unless a
// test injects its own).
#include <cstdint>

enum TimerCommandCode : int32_t
{
    TimerReset = 0,         // base and last-elapsed time to now, clock running; 0
    TimerStart = 1,         // skips the stopped interval, clock running; 0
    TimerStop = 2,          // freezes the clock (nothing when already stopped); 0
    TimerAdvance = 3,       // moves a stopped clock forward by 0.1 s; 0
    TimerAbsoluteTime = 4,  // the live time in seconds
    TimerAppTime = 5,       // seconds since the base time
    TimerElapsedTime = 6,   // seconds since the previous TimerElapsedTime (or start or stop)
};

// The state of one command clock. TimerCommand keeps the application's; another clock with the
// same commands keeps a CommandClock of its own, so the two never share state.
//
// A clock begins stopped with a zero stop time. A zero stop time means "not frozen": the clock
// reads the live time whatever its stopped flag says, so the first TimerStart sets the base time
// to now. While stopped with a stop time, TimerAppTime stays at the stop time and
// TimerElapsedTime returns 0; TimerAbsoluteTime always reads the live time.
class CommandClock
{
public:
    // bOriginAtFirstCall: count every time from the first command instead of from the clock
    // source's own origin, so TimerAbsoluteTime stays fine-grained as a float however long the
    // machine has been up (a float of days of seconds has millisecond steps).
    explicit CommandClock(bool bOriginAtFirstCall = false) : m_bOriginAtFirstCall(bOriginAtFirstCall) {}

    // Seconds as the table above says; -1 (and no change) for a code outside 0 to 6.
    float Command(TimerCommandCode nCode);

private:
    double Seconds(int64_t nTicks) const { return static_cast<double>(nTicks) / static_cast<double>(m_nTicksPerSecond); }
    // The clock source's ticks less the origin.
    int64_t Now() const;

    bool m_bOriginAtFirstCall = false;
    bool m_bInitialised = false;
    // Subtracted from every reading: 0, or one tick before the first reading (so that no reading
    // is 0, the stop time's "not frozen" value).
    int64_t m_nOrigin = 0;
    // Read once, on the first command, and kept for the life of the clock.
    int64_t m_nTicksPerSecond = 0;
    int64_t m_nStopTime = 0;
    int64_t m_nLastElapsedTime = 0;
    int64_t m_nBaseTime = 0;
    bool m_bStopped = true;
};

// The application's clock: started at start-up and when the main window is shown, stopped when
// it is hidden and at exit, read on every idle pass.
float TimerCommand(TimerCommandCode nCode);

// A stopwatch over the clock source.
class PerformanceTimer
{
public:
    // Reads the frequency, then the start count.
    PerformanceTimer();
    virtual ~PerformanceTimer() = default;

    // A new start count; the frequency is not read again.
    void Restart();
    // Seconds since the start count.
    float GetElapsedSeconds() const;

private:
    int64_t m_nStartCount = 0;
    int64_t m_nFrequency = 0;
};
