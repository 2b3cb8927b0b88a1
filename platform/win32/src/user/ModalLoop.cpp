// Nested modal loops, the message filter hooks they call and the creation hook.
#include "UserState.h"

#include "core/Log.h"

#include <algorithm>

namespace
{
// Keeps the depth right however the loop ends, a script running out included.
struct DepthGuard
{
    DepthGuard() { ++User().m_nModalDepth; }
    ~DepthGuard() { --User().m_nModalDepth; }
};

// The first hook of kind idHook from position nIndex on.
LRESULT CallHookFrom(int idHook, size_t nIndex, int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto& hooks = User().m_Hooks;
    while (nIndex < hooks.size() && hooks[nIndex].m_idHook != idHook)
        ++nIndex;
    if (nIndex >= hooks.size())
        return 0;
    return hooks[nIndex].m_pfnProc(nCode, wParam, lParam);
}
}

namespace win32
{
bool RunModalLoop(const ModalLoop& loop, const std::function<bool()>& fnDone)
{
    DepthGuard guard;
    for (;;)
    {
        if (fnDone())
            return true;
        if (!HasPendingWork())
        {
            if (IsWindow(loop.m_hOwner))
                SendMessageA(loop.m_hOwner, WM_ENTERIDLE, loop.m_nFilterCode == MSGF_MENU ? MSGF_MENU : MSGF_DIALOGBOX,
                             reinterpret_cast<LPARAM>(loop.m_hWnd));
            if (loop.m_fnIdle)
                loop.m_fnIdle();
            if (fnDone())
                return true;
            if (!HasPendingWork() && !WaitForMore(loop.m_szName, loop.m_hWnd))
            {
                LogError("%s() - no input source and no timer; the loop ends.", loop.m_szName);
                return false;
            }
            continue;
        }
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            continue;
        if (msg.message == WM_QUIT)
        {
            // The loop outside sees the quit too.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (loop.m_fnPrepare)
            loop.m_fnPrepare(msg);
        if (CallMsgFilterA(&msg, loop.m_nFilterCode))
            continue;
        if (loop.m_fnPreTranslate && loop.m_fnPreTranslate(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
}

HHOOK SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE, DWORD)
{
    if ((idHook != WH_MSGFILTER && idHook != WH_CBT) || !lpfn)
        return nullptr;
    UserState& state = User();
    HHOOK hHook = reinterpret_cast<HHOOK>(state.m_nNextHook++);
    // The newest hook runs first.
    state.m_Hooks.insert(state.m_Hooks.begin(), HookEntry{hHook, lpfn, idHook});
    return hHook;
}

BOOL UnhookWindowsHookEx(HHOOK hhk)
{
    auto& hooks = User().m_Hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const HookEntry& h) { return h.m_hHook == hhk; });
    if (it == hooks.end())
        return FALSE;
    hooks.erase(it);
    return TRUE;
}

LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam)
{
    const auto& hooks = User().m_Hooks;
    auto it = std::find_if(hooks.begin(), hooks.end(), [&](const HookEntry& h) { return h.m_hHook == hhk; });
    if (it == hooks.end())
        return 0;
    return CallHookFrom(it->m_idHook, static_cast<size_t>(it - hooks.begin()) + 1, nCode, wParam, lParam);
}

BOOL CallMsgFilterA(LPMSG lpMsg, int nCode)
{
    return lpMsg && CallHookFrom(WH_MSGFILTER, 0, nCode, 0, reinterpret_cast<LPARAM>(lpMsg)) != 0;
}

void CallCreationHooks(HWND hWnd, CREATESTRUCTA& cs)
{
    CBT_CREATEWNDA cbt{&cs, HWND_TOP};
    CallHookFrom(WH_CBT, 0, HCBT_CREATEWND, reinterpret_cast<WPARAM>(hWnd), reinterpret_cast<LPARAM>(&cbt));
}
