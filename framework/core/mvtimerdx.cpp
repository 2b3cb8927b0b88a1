#include "core/mvtimerdx.h"

#include "core/CoreHooks.h"

float CommandClock::Command(TimerCommandCode nCode)
{
    if (nCode < TimerReset || nCode > TimerElapsedTime)
        return -1.0f;
    if (!m_bInitialised)
    {
        m_bInitialised = true;
        m_nTicksPerSecond = GetClockFrequency();
        if (m_bOriginAtFirstCall)
            m_nOrigin = ReadClockTicks() - 1;
    }

    // A frozen clock reads its stop time, except where the live time is the point.
    bool bLive = m_nStopTime == 0 || nCode == TimerStart || nCode == TimerAbsoluteTime;
    int64_t nNow = bLive ? Now() : m_nStopTime;

    double fSeconds = 0.0;
    switch (nCode)
    {
    case TimerReset:
        m_nBaseTime = nNow;
        m_nLastElapsedTime = nNow;
        m_nStopTime = 0;
        m_bStopped = false;
        break;
    case TimerStart:
        if (m_bStopped)
            m_nBaseTime += nNow - m_nStopTime;
        m_nStopTime = 0;
        m_nLastElapsedTime = nNow;
        m_bStopped = false;
        break;
    case TimerStop:
        if (!m_bStopped)
        {
            m_nStopTime = nNow;
            m_nLastElapsedTime = nNow;
            m_bStopped = true;
        }
        break;
    case TimerAdvance:
        // Only a frozen clock steps; advancing a running one would freeze it at the new time.
        if (m_bStopped && m_nStopTime != 0)
            m_nStopTime += m_nTicksPerSecond / 10;
        break;
    case TimerAbsoluteTime:
        fSeconds = Seconds(nNow);
        break;
    case TimerAppTime:
        fSeconds = Seconds(nNow - m_nBaseTime);
        break;
    case TimerElapsedTime:
        fSeconds = Seconds(nNow - m_nLastElapsedTime);
        m_nLastElapsedTime = nNow;
        break;
    }
    return static_cast<float>(fSeconds);
}

int64_t CommandClock::Now() const
{
    return ReadClockTicks() - m_nOrigin;
}

float TimerCommand(TimerCommandCode nCode)
{
    static CommandClock s_Clock;
    return s_Clock.Command(nCode);
}

PerformanceTimer::PerformanceTimer() : m_nFrequency(GetClockFrequency())
{
    m_nStartCount = ReadClockTicks();
}

void PerformanceTimer::Restart()
{
    m_nStartCount = ReadClockTicks();
}

float PerformanceTimer::GetElapsedSeconds() const
{
    return static_cast<float>(ReadClockTicks() - m_nStartCount) / static_cast<float>(m_nFrequency);
}
