#include <win32/clock.h>

#include <ctime>

namespace
{
bool g_bVirtual = false;
int64_t g_nVirtualNow = 0;
win32::SleepHandler g_SleepHandler;

int64_t MonotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}
}

namespace win32
{
int64_t ClockNow()
{
    return g_bVirtual ? g_nVirtualNow : MonotonicNanoseconds();
}

void UseVirtualClock(int64_t nStart)
{
    g_bVirtual = true;
    g_nVirtualNow = nStart;
}

void UseRealClock()
{
    g_bVirtual = false;
}

bool IsClockVirtual()
{
    return g_bVirtual;
}

void AdvanceClock(int64_t nNanoseconds)
{
    if (g_bVirtual && nNanoseconds > 0)
        g_nVirtualNow += nNanoseconds;
}

void SetSleepHandler(SleepHandler handler)
{
    g_SleepHandler = std::move(handler);
}
}

DWORD timeGetTime()
{
    // Milliseconds, wrapping at 2^32 like the original.
    return static_cast<DWORD>(win32::ClockNow() / 1000000);
}

DWORD GetTickCount()
{
    return timeGetTime();
}

BOOL QueryPerformanceCounter(LARGE_INTEGER* pCount)
{
    if (!pCount)
        return FALSE;
    pCount->QuadPart = win32::ClockNow();
    return TRUE;
}

BOOL QueryPerformanceFrequency(LARGE_INTEGER* pFrequency)
{
    if (!pFrequency)
        return FALSE;
    pFrequency->QuadPart = 1000000000LL;
    return TRUE;
}

VOID Sleep(DWORD nMilliseconds)
{
    if (!g_bVirtual)
    {
        timespec ts{static_cast<time_t>(nMilliseconds / 1000), static_cast<long>(nMilliseconds % 1000) * 1000000L};
        while (nanosleep(&ts, &ts) != 0)
        {
        }
        return;
    }
    if (g_SleepHandler)
        g_SleepHandler(nMilliseconds);
    else
        win32::AdvanceClock(static_cast<int64_t>(nMilliseconds) * 1000000);
}
