// The message queue: sent messages run at once; the others are taken in the order posted, input,
// WM_QUIT, WM_PAINT, WM_TIMER.
#include "UserState.h"

#include <win32/clock.h>

#include "core/Log.h"

#include <algorithm>
#include <climits>

namespace
{
bool TakeMessage(MSG& out, HWND hFilter, UINT nMin, UINT nMax, bool bRemove)
{
    UserState& state = User();
    for (auto it = state.m_Posted.begin(); it != state.m_Posted.end(); ++it)
        if (MessageMatches(*it, hFilter, nMin, nMax))
        {
            out = *it;
            if (bRemove)
                state.m_Posted.erase(it);
            return true;
        }
    for (size_t i = 0; i < state.m_Input.size();)
    {
        const InputEvent event = state.m_Input[i];   // a copy: taking it erases it
        MSG msg;
        bool bTarget = event.m_bKey ? ConvertKeyInput(event, msg) : ConvertMouseInput(event, msg);
        if (!bTarget)
        {
            // Input no window can take is dropped.
            if (bRemove)
                state.m_Input.erase(state.m_Input.begin() + static_cast<std::ptrdiff_t>(i));
            else
                ++i;
            continue;
        }
        if (!MessageMatches(msg, hFilter, nMin, nMax))
        {
            ++i;
            continue;
        }
        out = msg;
        if (bRemove)
        {
            state.m_Input.erase(state.m_Input.begin() + static_cast<std::ptrdiff_t>(i));
            if (event.m_bKey)
                ApplyTakenKey(out);
            else
                ApplyTakenMouse(out);
        }
        return true;
    }
    if (state.m_bQuit)
    {
        out = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(state.m_nQuitCode), 0, timeGetTime(), state.m_ptCursor};
        if (bRemove)
            state.m_bQuit = false;
        return true;
    }
    bool bPaintInRange = (nMin == 0 && nMax == 0) || (WM_PAINT >= nMin && WM_PAINT <= nMax);
    if (bPaintInRange && hFilter != reinterpret_cast<HWND>(-1) && FindPaintMessage(hFilter, out))
    {
        out.time = timeGetTime();
        out.pt = state.m_ptCursor;
        return true;
    }
    return TakeDueTimer(hFilter, nMin, nMax, bRemove, out);
}
}

bool MessageMatches(const MSG& msg, HWND hFilter, UINT nMin, UINT nMax)
{
    if (hFilter == reinterpret_cast<HWND>(-1))
    {
        if (msg.hwnd)
            return false;
    }
    else if (hFilter && msg.hwnd != hFilter && !IsChild(hFilter, msg.hwnd))
        return false;
    return (nMin == 0 && nMax == 0) || (msg.message >= nMin && msg.message <= nMax);
}

void ForgetWindowInput(HWND hWnd)
{
    UserState& state = User();
    auto& posted = state.m_Posted;
    posted.erase(std::remove_if(posted.begin(), posted.end(), [&](const MSG& m) { return m.hwnd == hWnd; }), posted.end());
    KillWindowTimers(hWnd);
    for (HWND* p : {&state.m_hFocus, &state.m_hActive, &state.m_hCapture, &state.m_hMain, &state.m_hLastClick})
        if (*p == hWnd)
            *p = nullptr;
}

bool WaitForMore(const char* szLoop, HWND hLoopWindow)
{
    UserState& state = User();
    win32::WaitRequest request{szLoop, std::string(), state.m_nModalDepth};
    if (Window* pWnd = FindWindowObject(hLoopWindow))
        request.m_strCaption = pWnd->m_strText;
    if (state.m_WaitHandler)
        return state.m_WaitHandler(request);
    // No presenter and no driver: only a timer can bring anything.
    int64_t nDue = win32::NextTimerDue();
    if (nDue == INT64_MAX)
        return false;
    int64_t nWait = nDue - win32::ClockNow();
    if (win32::IsClockVirtual())
        win32::AdvanceClock(nWait);
    else if (nWait > 0)
        Sleep(static_cast<DWORD>((nWait + 999999) / 1000000));
    return true;
}

namespace win32
{
bool HasPendingWork()
{
    UserState& state = User();
    MSG msg;
    return !state.m_Posted.empty() || !state.m_Input.empty() || state.m_bQuit || FindPaintMessage(nullptr, msg) ||
           TakeDueTimer(nullptr, 0, 0, false, msg);
}
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    return CallWindowObject(hWnd, Msg, wParam, lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    if (hWnd && !IsWindow(hWnd))
        return FALSE;
    User().m_Posted.push_back(MSG{hWnd, Msg, wParam, lParam, timeGetTime(), User().m_ptCursor});
    return TRUE;
}

VOID PostQuitMessage(int nExitCode)
{
    User().m_bQuit = true;
    User().m_nQuitCode = nExitCode;
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg)
{
    MSG msg;
    if (TakeMessage(msg, hWnd, wMsgFilterMin, wMsgFilterMax, (wRemoveMsg & PM_REMOVE) != 0))
    {
        if (lpMsg)
            *lpMsg = msg;
        if (wRemoveMsg & PM_REMOVE)
            User().m_LastMessage = msg;
        return TRUE;
    }
    if (!hWnd && !wMsgFilterMin && !wMsgFilterMax && User().m_IdleTurnHandler)
        User().m_IdleTurnHandler();
    return FALSE;
}

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax)
{
    MSG msg;
    while (!TakeMessage(msg, hWnd, wMsgFilterMin, wMsgFilterMax, true))
    {
        if (!WaitForMore("GetMessage", nullptr))
        {
            // Nothing can ever arrive (no presenter, no script, no timer): end the loop rather than
            // wait forever.
            LogError("GetMessage() - no input source and no timer; the message loop ends.");
            msg = MSG{nullptr, WM_QUIT, 0, 0, timeGetTime(), User().m_ptCursor};
            break;
        }
    }
    User().m_LastMessage = msg;
    if (lpMsg)
        *lpMsg = msg;
    return msg.message != WM_QUIT;
}

LRESULT DispatchMessageA(const MSG* lpMsg)
{
    if (!lpMsg)
        return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam)
    {
        reinterpret_cast<TIMERPROC>(lpMsg->lParam)(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, timeGetTime());
        return 0;
    }
    return CallWindowObject(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL WaitMessage()
{
    if (win32::HasPendingWork())
        return TRUE;
    return WaitForMore("WaitMessage", nullptr);
}

DWORD GetMessageTime()
{
    return User().m_LastMessage.time;
}

DWORD GetMessagePos()
{
    const POINT& pt = User().m_LastMessage.pt;
    return static_cast<DWORD>(MAKELONG(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
}
