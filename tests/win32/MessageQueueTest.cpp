#include <gtest/gtest.h>

#include "WindowTestKit.h"

namespace
{
std::vector<UINT> g_Fired;
VOID CALLBACK RecordTimer(HWND, UINT, UINT_PTR nId, DWORD)
{
    g_Fired.push_back(static_cast<UINT>(nId));
}
}

TEST_F(WindowTest, MessagesComePostedInputQuitPaintTimerAndIdleOnlyWhenAllAreDone)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100);
    m_Driver.pumpUntilIdle();
    SetTimer(hMain, 1, 10, nullptr);
    m_Driver.advance(10);
    InvalidateRect(hMain, nullptr, TRUE);
    m_Driver.key('A');
    PostQuitMessage(5);
    PostMessageA(hMain, WM_USER, 0, 0);

    // The loop of the application: idle only when PeekMessage finds nothing at all.
    std::vector<UINT> taken;
    MSG msg;
    for (int nTurn = 0; nTurn < 20; ++nTurn)
    {
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            taken.push_back(0);
            break;
        }
        GetMessageA(&msg, nullptr, 0, 0);
        taken.push_back(msg.message);
        if (msg.message == WM_TIMER)
            KillTimer(hMain, 1);
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    EXPECT_EQ(taken, (std::vector<UINT>{WM_USER, WM_KEYDOWN, WM_CHAR, WM_KEYUP, WM_QUIT, WM_PAINT, WM_TIMER, 0}))
        << "WM_CHAR from TranslateMessage is posted, so it comes before the key-up";
}

TEST_F(WindowTest, TimerFiresAtItsPeriodAndNotBefore)
{
    HWND hMain = Create("Main", WS_OVERLAPPED, 0, 0, 200, 100);
    ASSERT_EQ(SetTimer(hMain, 7, 1500, nullptr), 7u);
    g_Fired.clear();
    UINT_PTR nFree = SetTimer(nullptr, 0, 1000, RecordTimer);
    ASSERT_NE(nFree, 0u);
    struct Step
    {
        int m_nAdvance;
        size_t m_nWindowTimers;   // WM_TIMER messages to the window so far
        size_t m_nCallbacks;
    };
    const Step steps[] = {
        {999, 0, 0}, {1, 0, 1}, {499, 0, 1}, {1, 1, 1}, {1000, 1, 2}, {499, 1, 2}, {1, 2, 2},
    };
    for (const Step& s : steps)
    {
        m_Driver.advance(s.m_nAdvance);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(MessagesOf(hMain, {WM_TIMER}).size(), s.m_nWindowTimers) << "at " << m_Driver.now() << " ms";
        EXPECT_EQ(g_Fired.size(), s.m_nCallbacks) << "at " << m_Driver.now() << " ms";
    }
    EXPECT_EQ(MessageLog().back().m_wParam, 7u);
    EXPECT_TRUE(KillTimer(hMain, 7));
    EXPECT_FALSE(KillTimer(hMain, 7));
    m_Driver.advance(5000);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(MessagesOf(hMain, {WM_TIMER}).size(), 2u);
    EXPECT_TRUE(KillTimer(nullptr, nFree));
}

TEST_F(WindowTest, KeyStateFollowsTheMessagesTaken)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100);
    m_Driver.pumpUntilIdle();
    struct Step
    {
        BYTE m_nKey;
        bool m_bDown;
        SHORT m_nAsyncAtOnce;   // GetAsyncKeyState right after the key event
        SHORT m_nBefore;        // GetKeyState before the message is taken
        SHORT m_nAfter;         // and after
    };
    const SHORT DOWN = static_cast<SHORT>(0xFF80), ASYNC_DOWN = static_cast<SHORT>(0x8000);
    // Every press flips the low (toggle) bit, as on Windows; Caps Lock is the key that shows it.
    const Step steps[] = {
        {VK_SHIFT, true, ASYNC_DOWN, 0, DOWN | 1},
        {VK_SHIFT, true, ASYNC_DOWN, DOWN | 1, DOWN | 1},   // auto-repeat does not flip it
        {VK_SHIFT, false, 0, DOWN | 1, 1},
        {VK_CAPITAL, true, ASYNC_DOWN, 0, DOWN | 1},
        {VK_CAPITAL, false, 0, DOWN | 1, 1},
        {VK_CAPITAL, true, ASYNC_DOWN, 1, DOWN},
        {VK_CAPITAL, false, 0, DOWN, 0},
        {VK_LCONTROL, true, ASYNC_DOWN, 0, DOWN | 1},       // left and right report as the plain key
        {VK_RCONTROL, false, 0, DOWN | 1, 1},
    };
    for (const Step& s : steps)
    {
        BYTE nPlain = s.m_nKey == VK_LCONTROL || s.m_nKey == VK_RCONTROL ? VK_CONTROL : s.m_nKey;
        m_Driver.key(s.m_nKey, s.m_bDown);
        EXPECT_EQ(GetAsyncKeyState(nPlain), s.m_nAsyncAtOnce) << int(s.m_nKey);
        EXPECT_EQ(GetKeyState(nPlain), s.m_nBefore) << int(s.m_nKey);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(GetKeyState(nPlain), s.m_nAfter) << int(s.m_nKey);
    }
    // The same from a script: the key state changes when the script's time comes and the message
    // is taken, not before.
    std::string error;
    ASSERT_TRUE(m_Driver.loadScript("wait 40\nkey CapsLock\nwait 10\nkey Shift+A\n", error)) << error;
    m_Driver.advance(39);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
    m_Driver.advance(1);
    EXPECT_EQ(GetAsyncKeyState(VK_CAPITAL), 0);   // pressed and released already
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 0);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(GetKeyState(VK_CAPITAL), 1);
    MessageLog().clear();
    m_Driver.advance(10);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(MessagesOf(hMain, {WM_CHAR}), std::vector<UINT>{WM_CHAR});
    EXPECT_EQ(MessageLog()[2].m_wParam, static_cast<WPARAM>('a')) << "Shift with Caps Lock on types a small letter";
    EXPECT_TRUE(m_Driver.scriptDone());

    // A held key stays down between its press and release lines; an unknown name is refused.
    ASSERT_TRUE(m_Driver.loadScript("press Up\nwait 30\nrelease Up\n", error)) << error;
    m_Driver.pumpUntilIdle();
    EXPECT_LT(GetKeyState(VK_UP), 0);
    m_Driver.advance(29);
    m_Driver.pumpUntilIdle();
    EXPECT_LT(GetKeyState(VK_UP), 0);
    m_Driver.advance(1);
    m_Driver.pumpUntilIdle();
    EXPECT_GE(GetKeyState(VK_UP), 0);
    EXPECT_FALSE(m_Driver.loadScript("press Nokey\n", error));

    win32::SetKeyStateDirect(VK_SPACE, true, false);
    EXPECT_EQ(GetKeyState(VK_SPACE), DOWN);
    EXPECT_EQ(GetAsyncKeyState(VK_SPACE), ASYNC_DOWN);
}

TEST_F(WindowTest, KeysBecomeTheMessagesAndCharactersOfTheKeyboard)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100);
    m_Driver.pumpUntilIdle();
    struct Expected
    {
        UINT m_nMessage;
        WPARAM m_wParam;
        int m_nScan;
        bool m_bAlt;    // bit 29
        bool m_bPrev;   // bit 30
    };
    struct Case
    {
        std::function<void()> m_Input;
        std::vector<Expected> m_Messages;
    };
    std::vector<Case> cases = {
        {[&] { m_Driver.key("A"); },
         {{WM_KEYDOWN, 'A', 0x1E, false, false}, {WM_CHAR, 'a', 0x1E, false, false}, {WM_KEYUP, 'A', 0x1E, false, true}}},
        {[&] { m_Driver.type("H!"); },
         {{WM_KEYDOWN, VK_SHIFT, 0x2A, false, false}, {WM_KEYDOWN, 'H', 0x23, false, false}, {WM_CHAR, 'H', 0x23, false, false},
          {WM_KEYUP, 'H', 0x23, false, true}, {WM_KEYUP, VK_SHIFT, 0x2A, false, true},
          {WM_KEYDOWN, VK_SHIFT, 0x2A, false, false}, {WM_KEYDOWN, '1', 0x02, false, false}, {WM_CHAR, '!', 0x02, false, false},
          {WM_KEYUP, '1', 0x02, false, true}, {WM_KEYUP, VK_SHIFT, 0x2A, false, true}}},
        {[&] { m_Driver.key("Ctrl+C"); },
         {{WM_KEYDOWN, VK_CONTROL, 0x1D, false, false}, {WM_KEYDOWN, 'C', 0x2E, false, false}, {WM_CHAR, 3, 0x2E, false, false},
          {WM_KEYUP, 'C', 0x2E, false, true}, {WM_KEYUP, VK_CONTROL, 0x1D, false, true}}},
        {[&] { m_Driver.key("Alt+Return"); },
         {{WM_SYSKEYDOWN, VK_MENU, 0x38, true, false}, {WM_SYSKEYDOWN, VK_RETURN, 0x1C, true, false},
          {WM_SYSCHAR, '\r', 0x1C, true, false}, {WM_SYSKEYUP, VK_RETURN, 0x1C, true, true},
          {WM_KEYUP, VK_MENU, 0x38, false, true}}},
        {[&] { m_Driver.key("Alt"); },
         {{WM_SYSKEYDOWN, VK_MENU, 0x38, true, false}, {WM_SYSKEYUP, VK_MENU, 0x38, false, true},
          {WM_SYSCOMMAND, SC_KEYMENU, -1, false, false}}},
        {[&] { m_Driver.key("Alt+F"); },
         {{WM_SYSKEYDOWN, VK_MENU, 0x38, true, false}, {WM_SYSKEYDOWN, 'F', 0x21, true, false},
          {WM_SYSCHAR, 'f', 0x21, true, false}, {WM_SYSCOMMAND, SC_KEYMENU, -1, false, false},
          {WM_MENUCHAR, MAKEWPARAM('f', 0x2000), -1, false, false}, {WM_SYSKEYUP, 'F', 0x21, true, true},
          {WM_KEYUP, VK_MENU, 0x38, false, true}}},
        {[&] { m_Driver.key("Up"); },
         {{WM_KEYDOWN, VK_UP, 0x48, false, false}, {WM_KEYUP, VK_UP, 0x48, false, true}}},
    };
    for (size_t i = 0; i < cases.size(); ++i)
    {
        MessageLog().clear();
        cases[i].m_Input();
        m_Driver.pumpUntilIdle();
        const auto& log = MessageLog();
        ASSERT_EQ(log.size(), cases[i].m_Messages.size()) << "case " << i;
        for (size_t j = 0; j < log.size(); ++j)
        {
            const Expected& e = cases[i].m_Messages[j];
            EXPECT_EQ(log[j].m_hWnd, hMain);
            EXPECT_EQ(log[j].m_nMessage, e.m_nMessage) << "case " << i << " message " << j;
            EXPECT_EQ(log[j].m_wParam, e.m_wParam) << "case " << i << " message " << j;
            if (e.m_nScan < 0)
                continue;
            DWORD lParam = static_cast<DWORD>(log[j].m_lParam);
            EXPECT_EQ(LOWORD(lParam), 1) << "repeat count";
            EXPECT_EQ((lParam >> 16) & 0xFF, static_cast<DWORD>(e.m_nScan)) << "case " << i << " message " << j;
            EXPECT_EQ((lParam >> 29) & 1, e.m_bAlt ? 1u : 0u) << "case " << i << " message " << j;
            EXPECT_EQ((lParam >> 30) & 1, e.m_bPrev ? 1u : 0u) << "case " << i << " message " << j;
        }
    }
    // With Caps Lock on, a letter types its capital.
    m_Driver.key(VK_CAPITAL);
    m_Driver.pumpUntilIdle();
    MessageLog().clear();
    m_Driver.key("q");
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(MessageLog()[1].m_wParam, static_cast<WPARAM>('Q'));
}
