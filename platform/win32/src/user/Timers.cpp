// Window timers on the layer clock. A timer's WM_TIMER becomes available once the clock reaches
// its due time (a 1500 ms timer fires at 1500 ms, not at 1499); taking the message sets the next
// due time one period later. Timers repeat until KillTimer.
#include "UserState.h"

#include <win32/clock.h>

#include <algorithm>
#include <climits>

namespace
{
const int64_t NANOSECONDS_PER_MS = 1000000;
}

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc)
{
    UserState& state = User();
    if (hWnd && !IsWindow(hWnd))
        return 0;
    uElapse = std::clamp<UINT>(uElapse, USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    int64_t nDue = win32::ClockNow() + static_cast<int64_t>(uElapse) * NANOSECONDS_PER_MS;
    if (hWnd)
        for (TimerEntry& t : state.m_Timers)
            if (t.m_hWnd == hWnd && t.m_nId == nIDEvent)
            {
                // Setting an existing timer again restarts it.
                t.m_nElapse = uElapse;
                t.m_nDue = nDue;
                t.m_pfnProc = lpTimerFunc;
                return nIDEvent;
            }
    // A timer without a window gets a fresh id of its own.
    UINT_PTR nId = hWnd ? nIDEvent : state.m_nNextTimerId++;
    state.m_Timers.push_back(TimerEntry{hWnd, nId, uElapse, nDue, lpTimerFunc});
    // A window timer answers with its own id, as callers pass the result to KillTimer.
    return nId ? nId : 1;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent)
{
    auto& timers = User().m_Timers;
    auto it = std::find_if(timers.begin(), timers.end(),
                           [&](const TimerEntry& t) { return t.m_hWnd == hWnd && t.m_nId == uIDEvent; });
    if (it == timers.end())
        return FALSE;
    timers.erase(it);
    return TRUE;
}

void KillWindowTimers(HWND hWnd)
{
    auto& timers = User().m_Timers;
    timers.erase(std::remove_if(timers.begin(), timers.end(), [&](const TimerEntry& t) { return t.m_hWnd == hWnd; }),
                 timers.end());
}

bool TakeDueTimer(HWND hFilter, UINT nMin, UINT nMax, bool bRemove, MSG& msg)
{
    int64_t nNow = win32::ClockNow();
    for (TimerEntry& t : User().m_Timers)
    {
        if (t.m_nDue > nNow)
            continue;
        MSG candidate{t.m_hWnd, WM_TIMER, t.m_nId, reinterpret_cast<LPARAM>(t.m_pfnProc),
                      static_cast<DWORD>(nNow / NANOSECONDS_PER_MS), User().m_ptCursor};
        if (!MessageMatches(candidate, hFilter, nMin, nMax))
            continue;
        if (bRemove)
            t.m_nDue = nNow + static_cast<int64_t>(t.m_nElapse) * NANOSECONDS_PER_MS;
        msg = candidate;
        return true;
    }
    return false;
}

namespace win32
{
int64_t NextTimerDue()
{
    int64_t nDue = INT64_MAX;
    for (const TimerEntry& t : User().m_Timers)
        nDue = std::min(nDue, t.m_nDue);
    return nDue;
}
}
