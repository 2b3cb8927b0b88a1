#include <gtest/gtest.h>

#include "WindowTestKit.h"

namespace
{
struct Step
{
    HWND m_hWnd;
    UINT m_nMessage;
};
bool operator==(const Step& a, const Step& b)
{
    return a.m_hWnd == b.m_hWnd && a.m_nMessage == b.m_nMessage;
}
std::ostream& operator<<(std::ostream& os, const Step& s)
{
    return os << "{" << s.m_hWnd << ", 0x" << std::hex << s.m_nMessage << std::dec << "}";
}

std::vector<Step> Steps(std::initializer_list<UINT> ignore = {WM_GETTEXT, WM_GETTEXTLENGTH})
{
    std::vector<Step> out;
    for (const LoggedMessage& m : MessageLog())
        if (std::find(ignore.begin(), ignore.end(), m.m_nMessage) == ignore.end())
            out.push_back({m.m_hWnd, m.m_nMessage});
    return out;
}
}

TEST_F(WindowTest, CreationSendsItsMessagesInOrder)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 20, 400, 300);
    ASSERT_TRUE(hMain);
    EXPECT_EQ(MessagesOf(hMain),
              (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                                 WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
    // The client area is inside a 4-pixel sizing frame and a 19-pixel caption.
    const LoggedMessage& size = MessageLog()[3];
    EXPECT_EQ(LOWORD(size.m_lParam), 400 - 2 * 4);
    EXPECT_EQ(HIWORD(size.m_lParam), 300 - 2 * 4 - 19);
    const LoggedMessage& move = MessageLog()[4];
    EXPECT_EQ(GET_X_LPARAM(move.m_lParam), 10 + 4);
    EXPECT_EQ(GET_Y_LPARAM(move.m_lParam), 20 + 4 + 19);
    EXPECT_EQ(GetFocus(), hMain);
    EXPECT_EQ(GetActiveWindow(), hMain);

    struct ChildCase
    {
        DWORD m_nStyle;
        DWORD m_nExStyle;
        std::vector<UINT> m_ChildMessages;
        bool m_bParentNotified;
    };
    const ChildCase cases[] = {
        {WS_CHILD, 0, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}, true},
        {WS_CHILD | WS_VISIBLE, 0,
         {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_WINDOWPOSCHANGING,
          WM_WINDOWPOSCHANGED},
         true},
        {WS_CHILD, WS_EX_NOPARENTNOTIFY, {WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_SIZE, WM_MOVE}, false},
    };
    for (const ChildCase& c : cases)
    {
        MessageLog().clear();
        HWND hChild = Create("", c.m_nStyle, 5, 6, 50, 40, hMain, 1000, c.m_nExStyle);
        ASSERT_TRUE(hChild);
        EXPECT_EQ(MessagesOf(hChild), c.m_ChildMessages);
        EXPECT_EQ(MessagesOf(hMain), c.m_bParentNotified ? std::vector<UINT>{WM_PARENTNOTIFY} : std::vector<UINT>{});
        EXPECT_EQ(GetDlgItem(hMain, 1000), hChild);
        DestroyWindow(hChild);
    }

    // WM_CREATE answering -1 destroys the window and creation fails.
    MessageLog().clear();
    CurrentHandler() = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_CREATE)
            return -1;
        return std::nullopt;
    };
    EXPECT_EQ(Create("Refused", WS_OVERLAPPED, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(MessagesOf(nullptr), (std::vector<UINT>{WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(WindowTest, DestructionHidesMovesFocusAwayThenDestroysParentFirstAndFreesChildrenFirst)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
    HWND hA = Create("A", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, hMain, 1);
    HWND hA1 = Create("A1", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, hA, 11);
    HWND hB = Create("B", WS_CHILD | WS_VISIBLE, 100, 0, 100, 100, hMain, 2);
    HWND hOwned = Create("Tool", WS_POPUP, 0, 0, 50, 50, hA1);   // owned by the top-level window
    SetFocus(hA1);
    SetCapture(hB);
    MessageLog().clear();

    ASSERT_TRUE(DestroyWindow(hMain));
    std::vector<Step> expected = {
        {hMain, WM_WINDOWPOSCHANGING}, {hMain, WM_WINDOWPOSCHANGED},   // hidden
        {hB, WM_CAPTURECHANGED},                                        // capture, focus, activation go
        {hA1, WM_KILLFOCUS},
        {hMain, WM_NCACTIVATE},          {hMain, WM_ACTIVATE},
        {hOwned, WM_DESTROY},            {hOwned, WM_NCDESTROY},        // owned windows first
        {hMain, WM_DESTROY},             {hB, WM_DESTROY},              // parent first, siblings top down
        {hA, WM_DESTROY},                {hA1, WM_DESTROY},
        {hA1, WM_NCDESTROY},             {hA, WM_NCDESTROY},            // children first
        {hB, WM_NCDESTROY},              {hMain, WM_NCDESTROY},
    };
    EXPECT_EQ(Steps(), expected);
    for (HWND h : {hMain, hA, hA1, hB, hOwned})
        EXPECT_FALSE(IsWindow(h));
    // Stale handles fail instead of reaching another window.
    HWND hNew = Create("New", WS_OVERLAPPED, 0, 0, 10, 10);
    RECT rc;
    EXPECT_FALSE(GetWindowRect(hA, &rc));
    EXPECT_FALSE(SetWindowTextA(hMain, "x"));
    EXPECT_EQ(SendMessageA(hA1, WM_GETTEXTLENGTH, 0, 0), 0);
    EXPECT_TRUE(IsWindow(hNew));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_EQ(GetCapture(), nullptr);
}

namespace
{
// What the creation hooks saw: the window, whether it had had a message yet, the title.
struct HookSeen
{
    HWND m_hWnd;
    size_t m_nMessagesBefore;
    std::string m_strTitle;
};
std::vector<HookSeen> g_HookSeen;
HHOOK g_hOuterHook = nullptr;
HHOOK g_hInnerHook = nullptr;
int g_nInnerCalls = 0;

LRESULT CALLBACK OuterCreationHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    auto* pCbt = reinterpret_cast<CBT_CREATEWND*>(lParam);
    auto hWnd = reinterpret_cast<HWND>(wParam);
    if (nCode == HCBT_CREATEWND)
    {
        size_t nBefore = std::count_if(MessageLog().begin(), MessageLog().end(),
                                       [hWnd](const LoggedMessage& m) { return m.m_hWnd == hWnd; });
        g_HookSeen.push_back({hWnd, nBefore, pCbt->lpcs->lpszName});
    }
    return CallNextHookEx(g_hOuterHook, nCode, wParam, lParam);
}

LRESULT CALLBACK InnerCreationHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    ++g_nInnerCalls;
    return CallNextHookEx(g_hInnerHook, nCode, wParam, lParam);
}

LRESULT CALLBACK FilterHook(int, WPARAM, LPARAM)
{
    ADD_FAILURE() << "a message filter hook ran for a creation";
    return 0;
}
}

TEST_F(WindowTest, CreationHooksSeeEachWindowBeforeItsFirstMessage)
{
    g_HookSeen.clear();
    g_nInnerCalls = 0;
    HHOOK hFilter = SetWindowsHookExA(WH_MSGFILTER, FilterHook, nullptr, 0);
    g_hInnerHook = SetWindowsHookExA(WH_CBT, InnerCreationHook, nullptr, 0);
    g_hOuterHook = SetWindowsHookExA(WH_CBT, OuterCreationHook, nullptr, 0);
    ASSERT_TRUE(g_hInnerHook && g_hOuterHook);
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100);
    HWND hChild = Create("Child", WS_CHILD, 0, 0, 20, 10, hMain);
    ASSERT_EQ(g_HookSeen.size(), 2u);
    EXPECT_EQ(g_HookSeen[0].m_hWnd, hMain);
    EXPECT_EQ(g_HookSeen[0].m_nMessagesBefore, 0u);
    EXPECT_EQ(g_HookSeen[0].m_strTitle, "Main");
    EXPECT_EQ(g_HookSeen[1].m_hWnd, hChild);
    EXPECT_EQ(g_HookSeen[1].m_nMessagesBefore, 0u);
    // The newest hook ran first and passed each creation on to the older one.
    EXPECT_EQ(g_nInnerCalls, 2);

    EXPECT_TRUE(UnhookWindowsHookEx(g_hOuterHook));
    Create("Later", WS_CHILD, 0, 0, 20, 10, hMain);
    EXPECT_EQ(g_HookSeen.size(), 2u);
    EXPECT_EQ(g_nInnerCalls, 3);
    EXPECT_TRUE(UnhookWindowsHookEx(g_hInnerHook));
    EXPECT_TRUE(UnhookWindowsHookEx(hFilter));
}

TEST_F(WindowTest, WmCloseEndsTheMessageLoop)
{
    CurrentHandler() = [](HWND, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_DESTROY)
            PostQuitMessage(7);
        return std::nullopt;
    };
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100);
    PostMessageA(hMain, WM_CLOSE, 0, 0);
    MSG msg;
    int nTurns = 0;
    while (GetMessageA(&msg, nullptr, 0, 0))
    {
        ASSERT_LT(++nTurns, 10);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(IsWindow(hMain));
}

TEST_F(WindowTest, GeometryFollowsTheFramesAndSetWindowPosReportsMoveAndSize)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 50, 400, 300);
    HWND hChild = Create("", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 20, 60, 40, hMain, 5);
    RECT rc;
    ASSERT_TRUE(GetWindowRect(hChild, &rc));
    // Parent client origin (104, 73), child at (10, 20) in it.
    EXPECT_EQ(rc.left, 114);
    EXPECT_EQ(rc.top, 93);
    GetClientRect(hChild, &rc);
    EXPECT_EQ(rc.right, 58);   // a 1-pixel border each side
    EXPECT_EQ(rc.bottom, 38);
    POINT pt{0, 0};
    ClientToScreen(hChild, &pt);
    EXPECT_EQ(pt.x, 115);
    EXPECT_EQ(pt.y, 94);
    POINT back = pt;
    MapWindowPoints(nullptr, hMain, &back, 1);
    EXPECT_EQ(back.x, 11);
    EXPECT_EQ(back.y, 21);
    EXPECT_EQ(WindowFromPoint(POINT{120, 100}), hChild);
    EXPECT_EQ(WindowFromPoint(POINT{300, 200}), hMain);

    MessageLog().clear();
    SetWindowPos(hMain, nullptr, 0, 0, 1024, 575, SWP_NOZORDER | SWP_SHOWWINDOW);
    EXPECT_EQ(MessagesOf(hMain), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
    MessageLog().clear();
    SetWindowPos(hMain, nullptr, 5, 5, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(MessagesOf(hMain), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE}));

    WINDOWPLACEMENT wp{};
    ShowWindow(hMain, SW_MAXIMIZE);
    EXPECT_TRUE(IsZoomed(hMain));
    GetWindowRect(hMain, &rc);
    EXPECT_EQ(rc.right - rc.left, GetSystemMetrics(SM_CXSCREEN));
    ASSERT_TRUE(GetWindowPlacement(hMain, &wp));
    EXPECT_EQ(wp.showCmd, static_cast<UINT>(SW_SHOWMAXIMIZED));
    EXPECT_EQ(wp.rcNormalPosition.left, 5);
    EXPECT_EQ(wp.rcNormalPosition.right, 5 + 1024);
    ShowWindow(hMain, SW_RESTORE);
    GetWindowRect(hMain, &rc);
    EXPECT_EQ(rc.bottom - rc.top, 575);

    struct MetricCase
    {
        int m_nIndex;
        int m_nValue;
    };
    for (MetricCase m : {MetricCase{SM_CXSCREEN, 1280}, {SM_CYSCREEN, 1024}, {SM_CYCAPTION, 19}, {SM_CXFRAME, 4},
                         {SM_CXDLGFRAME, 3}, {SM_CXSIZE, 18}, {SM_CXSMSIZE, 12}, {SM_CYSMSIZE, 15}, {SM_CXVSCROLL, 16}})
        EXPECT_EQ(GetSystemMetrics(m.m_nIndex), m.m_nValue) << m.m_nIndex;
}

TEST_F(WindowTest, SelectorsFindWindowsByRoleIdClassTitleAndPath)
{
    HWND hMain = Create("Quenlaris", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
    HWND hView = Create("View", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, hMain, 59648);
    HWND hRender = Create("Render", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, hView, 1000);
    HWND hTool = Create("Transform", WS_POPUP | WS_CAPTION | WS_VISIBLE, 10, 10, 100, 100, hMain);
    HWND hToolButton = Create("OK", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, hTool, 1000);
    win32::SetMainWindow(hMain);
    const std::pair<const char*, HWND> cases[] = {
        {"main", hMain},
        {"title:Quenlaris", hMain},
        {"#1000", hToolButton},           // the topmost window's tree is searched first
        {"main/#1000", hRender},
        {"main/#59648/#1000", hRender},
        {"title:Transform/#1000", hToolButton},
        {"class:testwnd", hTool},
        {"title:\"Render\"", hRender},
        {"main/title:OK", nullptr},
        {"#abc", nullptr},
        {"title:Nothing", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(m_Driver.find(c.first), c.second) << c.first;
}

TEST_F(WindowTest, OwnedWindowsStayAboveTheirOwnerWhenItComesUp)
{
    HWND hOwner = Create("owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND hOwned = Create("owned", WS_POPUP | WS_VISIBLE, 10, 10, 50, 50, hOwner);
    HWND hOther = Create("other", WS_POPUP | WS_VISIBLE, 20, 20, 50, 50);
    // Top first: other, owned, owner.
    EXPECT_EQ(GetWindow(hOther, GW_HWNDNEXT), hOwned);
    SetWindowPos(hOwner, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    EXPECT_EQ(GetWindow(GetDesktopWindow(), GW_CHILD), hOwned);
    EXPECT_EQ(GetWindow(hOwned, GW_HWNDNEXT), hOwner);
    EXPECT_EQ(GetWindow(hOwner, GW_HWNDNEXT), hOther);
    DestroyWindow(hOther);
    DestroyWindow(hOwner);
}
