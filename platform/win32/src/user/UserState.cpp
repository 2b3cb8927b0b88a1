#include "Menus.h"
#include "UserState.h"

#include <cstdlib>
#include <cstdio>

namespace
{
// The desktop window lives in slot 0 and is never destroyed.
void CreateDesktop(UserState& state)
{
    auto pDesktop = std::make_unique<Window>();
    pDesktop->m_nStyle = WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    pDesktop->m_rcWindow = {0, 0, state.m_cxScreen, state.m_cyScreen};
    pDesktop->m_rcClient = pDesktop->m_rcWindow;
    if (state.m_Generations.empty())
        state.m_Generations.push_back(0);
    ++state.m_Generations[0];
    pDesktop->m_hWnd = reinterpret_cast<HWND>(static_cast<uint64_t>(state.m_Generations[0]) << 32 | 1);
    if (state.m_Windows.empty())
        state.m_Windows.push_back(nullptr);
    state.m_Windows[0] = std::move(pDesktop);
}

UserState& CreateState()
{
    static UserState s_State;
    // QUENLARIS_DESKTOP=WxH sets the screen.
    if (const char* sz = std::getenv("QUENLARIS_DESKTOP"))
    {
        int cx = 0, cy = 0;
        if (std::sscanf(sz, "%dx%d", &cx, &cy) == 2 && cx > 0 && cy > 0)
        {
            s_State.m_cxScreen = cx;
            s_State.m_cyScreen = cy;
        }
    }
    CreateDesktop(s_State);
    return s_State;
}
}

UserState& User()
{
    static UserState& s_State = CreateState();
    return s_State;
}

Window* FindWindowObject(HWND hWnd)
{
    UserState& state = User();
    uint64_t v = reinterpret_cast<uint64_t>(hWnd);
    uint64_t nIndex = (v & 0xFFFFFFFFu);
    uint32_t nGeneration = static_cast<uint32_t>(v >> 32);
    if (nIndex == 0 || nIndex > state.m_Windows.size())
        return nullptr;
    Window* pWnd = state.m_Windows[nIndex - 1].get();
    return pWnd && state.m_Generations[nIndex - 1] == nGeneration ? pWnd : nullptr;
}

Window* DesktopObject()
{
    return User().m_Windows[0].get();
}

bool IsTopLevel(const Window* pWnd)
{
    return pWnd && pWnd->m_hParent == DesktopObject()->m_hWnd;
}

POINT ClientOriginOnScreen(const Window* pWnd)
{
    POINT pt{0, 0};
    while (pWnd)
    {
        pt.x += pWnd->m_rcClient.left;
        pt.y += pWnd->m_rcClient.top;
        pWnd = FindWindowObject(pWnd->m_hParent);
    }
    return pt;
}

LRESULT CallWindowObject(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    Window* pWnd = FindWindowObject(hWnd);
    if (!pWnd)
        return 0;
    WNDPROC pfn = pWnd->m_pfnWndProc ? pWnd->m_pfnWndProc : DefWindowProcA;
    return pfn(hWnd, nMessage, wParam, lParam);
}

void CollectDescendants(const Window* pWnd, std::vector<HWND>& out)
{
    for (HWND hChild : pWnd->m_Children)
        if (const Window* pChild = FindWindowObject(hChild))
        {
            out.push_back(hChild);
            CollectDescendants(pChild, out);
        }
}

namespace win32
{
void SetMainWindow(HWND hWnd)
{
    User().m_hMain = hWnd;
}

HWND GetMainWindow()
{
    UserState& state = User();
    if (FindWindowObject(state.m_hMain) && state.m_hMain != DesktopObject()->m_hWnd)
        return state.m_hMain;
    // The oldest live top-level window: the desktop's children are kept top first.
    const std::vector<HWND>& tops = DesktopObject()->m_Children;
    HWND hOldest = nullptr;
    uint64_t nOldest = UINT64_MAX;
    for (HWND h : tops)
    {
        const Window* pWnd = FindWindowObject(h);
        uint64_t nIndex = reinterpret_cast<uint64_t>(h) & 0xFFFFFFFFu;
        if (pWnd && !pWnd->m_hOwner && nIndex < nOldest)
        {
            nOldest = nIndex;
            hOldest = h;
        }
    }
    return hOldest;
}

std::vector<HWND> GetTopLevelWindows()
{
    return DesktopObject()->m_Children;
}

int GetModalDepth()
{
    return User().m_nModalDepth;
}

void SetWaitHandler(WaitHandler handler)
{
    User().m_WaitHandler = std::move(handler);
}

void SetIdleTurnHandler(IdleTurnHandler handler)
{
    User().m_IdleTurnHandler = std::move(handler);
}

void SetAnswerSource(AnswerSource source)
{
    User().m_AnswerSource = std::move(source);
}

bool TakeAnswer(const char* szKind, std::string& strValue)
{
    const AnswerSource& source = User().m_AnswerSource;
    return source && source(szKind, strValue);
}

void SetScreenSize(int cx, int cy)
{
    UserState& state = User();
    state.m_cxScreen = cx;
    state.m_cyScreen = cy;
    Window* pDesktop = DesktopObject();
    pDesktop->m_rcWindow = {0, 0, cx, cy};
    pDesktop->m_rcClient = pDesktop->m_rcWindow;
}

void ResetWindowSystem()
{
    UserState& state = User();
    // Every slot's generation moves on, so no handle from before the reset matches again.
    for (size_t i = 1; i < state.m_Windows.size(); ++i)
        if (state.m_Windows[i])
        {
            state.m_Windows[i].reset();
            ++state.m_Generations[i];
        }
    CreateDesktop(state);
    state.m_Classes.clear();
    state.m_Posted.clear();
    state.m_Input.clear();
    state.m_bQuit = false;
    state.m_nQuitCode = 0;
    state.m_Timers.clear();
    state.m_Hooks.clear();
    std::fill(std::begin(state.m_KeyState), std::end(state.m_KeyState), 0);
    std::fill(std::begin(state.m_AsyncKeyState), std::end(state.m_AsyncKeyState), 0);
    state.m_bAltOnly = false;
    state.m_ptCursor = {};
    state.m_hFocus = state.m_hActive = state.m_hCapture = state.m_hMain = nullptr;
    state.m_LastMessage = {};
    state.m_hLastClick = nullptr;
    state.m_nLastClickMessage = 0;
    state.m_nModalDepth = 0;
    ResetMenus();
}
}
