#pragma once
// The layer clock: one monotonic count of nanoseconds behind timeGetTime, the performance
// counter, Sleep, window timers and core's clock hook. The test driver switches it to a virtual
// clock that moves only when told to.
#include <win32/types.h>

#include <ctime>
#include <functional>

DWORD timeGetTime();
DWORD GetTickCount();
BOOL QueryPerformanceCounter(LARGE_INTEGER* pCount);
BOOL QueryPerformanceFrequency(LARGE_INTEGER* pFrequency);   // 10^9: the counter is in ns
VOID Sleep(DWORD nMilliseconds);

namespace win32
{
// Nanoseconds on the layer clock.
int64_t ClockNow();

// Virtual time: the clock reads only what AdvanceClock adds, starting at nStart.
void UseVirtualClock(int64_t nStart);
void UseRealClock();
bool IsClockVirtual();
void AdvanceClock(int64_t nNanoseconds);

// The date for time stamps (seconds since 1970): the system's time of day, or under a virtual
// clock its count taken as nanoseconds since 1970, so that a test fixes the date it stamps.
std::time_t ClockDate();

// Under a virtual clock Sleep calls this handler (the test driver advances the clock and delivers
// input that falls due); without one it just advances the clock. Null restores that default.
using SleepHandler = std::function<void(DWORD nMilliseconds)>;
void SetSleepHandler(SleepHandler handler);
}
