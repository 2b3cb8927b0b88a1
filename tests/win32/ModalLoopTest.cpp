#include <gtest/gtest.h>

#include "WindowTestKit.h"

#include "core/Log.h"

TEST_F(WindowTest, ModalLoopWithNoScriptLeftFailsFast)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
    m_Driver.pumpUntilIdle();
    testing::internal::CaptureStderr();
    try
    {
        MessageBoxA(hMain, "Save the scene?", "Quenlaris", MB_YESNOCANCEL);
        ADD_FAILURE() << "the box returned without an answer";
    }
    catch (const win32::ScriptExhausted& e)
    {
        EXPECT_EQ(e.Loop(), "MessageBox");
        EXPECT_EQ(e.Caption(), "Quenlaris");
        EXPECT_TRUE(e.InModalLoop());
        EXPECT_STREQ(e.what(), "MessageBox \"Quenlaris\" needs input and the script has none left");
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "MessageBox \"Quenlaris\": Save the scene?\n");
    // The box is gone and its owner usable again.
    EXPECT_EQ(win32::GetModalDepth(), 0);
    EXPECT_TRUE(IsWindowEnabled(hMain));
    EXPECT_EQ(m_Driver.find("class:#32770"), nullptr);
}

TEST_F(WindowTest, MessageBoxesTakeAnswersKeysAndNest)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
    m_Driver.pumpUntilIdle();
    testing::internal::CaptureStderr();

    // Scripted answers, one per box.
    m_Driver.answers().msgbox(IDNO);
    EXPECT_EQ(MessageBoxA(hMain, "a", "Q", MB_YESNOCANCEL), IDNO);

    // Keys: Enter takes the default button, Esc cancels where the box can cancel.
    struct KeyCase
    {
        BYTE m_nKey;
        UINT m_nType;
        int m_nResult;
    };
    for (KeyCase c : {KeyCase{VK_RETURN, MB_YESNOCANCEL, IDYES}, {VK_RETURN, MB_YESNO | MB_DEFBUTTON2, IDNO},
                      {VK_ESCAPE, MB_OKCANCEL, IDCANCEL}, {VK_ESCAPE, MB_OK, IDOK}})
    {
        m_Driver.at(0, [this, c] { m_Driver.key(c.m_nKey); });
        EXPECT_EQ(MessageBoxA(hMain, "b", "Q", c.m_nType), c.m_nResult) << int(c.m_nKey) << " " << c.m_nType;
    }

    // A box opened while another box's loop runs gets its answer first; the owner is disabled and
    // told when the loop idles.
    int nInner = 0, nDepth = 0, nEnterIdle = 0;
    bool bOwnerEnabled = true;
    CurrentHandler() = [&](HWND, UINT m, WPARAM w, LPARAM) -> std::optional<LRESULT> {
        if (m == WM_USER)
        {
            nInner = MessageBoxA(hMain, "inner", "Q", MB_YESNO);
            return 0;
        }
        if (m == WM_ENTERIDLE)
        {
            ++nEnterIdle;
            nDepth = std::max(nDepth, win32::GetModalDepth());
            bOwnerEnabled = bOwnerEnabled && IsWindowEnabled(hMain);
            EXPECT_EQ(w, static_cast<WPARAM>(MSGF_DIALOGBOX));
        }
        return std::nullopt;
    };
    PostMessageA(hMain, WM_USER, 0, 0);
    m_Driver.answers().msgbox(IDYES).msgbox(IDCANCEL);
    EXPECT_EQ(MessageBoxA(hMain, "outer", "Q", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(nInner, IDYES);
    EXPECT_EQ(nDepth, 2);
    EXPECT_GE(nEnterIdle, 2);
    EXPECT_FALSE(bOwnerEnabled);
    EXPECT_TRUE(IsWindowEnabled(hMain));
    CurrentHandler() = nullptr;

    // An answer that falls due later: the loop moves the virtual clock to it.
    m_Driver.at(250, [this] { m_Driver.answers().msgbox(IDOK); });
    EXPECT_EQ(MessageBoxA(hMain, "c", "Q", MB_OK), IDOK);
    EXPECT_EQ(m_Driver.now(), 250);

    // WM_QUIT ends the box and reaches the loop outside.
    PostQuitMessage(3);
    EXPECT_EQ(MessageBoxA(hMain, "d", "Q", MB_OK), 0);
    EXPECT_FALSE(m_Driver.pumpUntilIdle());
    EXPECT_EQ(m_Driver.quitCode(), 3);
    testing::internal::GetCapturedStderr();
}

TEST_F(WindowTest, MessageFilterHooksSeeModalMessagesAndMayEatThem)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
    m_Driver.pumpUntilIdle();
    static std::vector<std::pair<int, UINT>> s_Seen;
    static HHOOK s_hHook;
    s_Seen.clear();
    s_hHook = SetWindowsHookExA(
        WH_MSGFILTER,
        [](int nCode, WPARAM w, LPARAM l) -> LRESULT {
            const MSG* pMsg = reinterpret_cast<const MSG*>(l);
            s_Seen.emplace_back(nCode, pMsg->message);
            // Eat Esc so the box cannot be cancelled by it.
            if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_ESCAPE)
                return 1;
            return CallNextHookEx(s_hHook, nCode, w, l);
        },
        nullptr, 0);
    ASSERT_TRUE(s_hHook);
    m_Driver.at(0, [this] { m_Driver.key(VK_ESCAPE); });
    m_Driver.at(10, [this] { m_Driver.key(VK_RETURN); });
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(hMain, "x", "Q", MB_OKCANCEL), IDOK);
    testing::internal::GetCapturedStderr();
    std::vector<std::pair<int, UINT>> keys;
    for (auto& s : s_Seen)
        if (s.second == WM_KEYDOWN)
            keys.push_back(s);
    EXPECT_EQ(keys, (std::vector<std::pair<int, UINT>>{{MSGF_MESSAGEBOX, WM_KEYDOWN}, {MSGF_MESSAGEBOX, WM_KEYDOWN}}));
    EXPECT_TRUE(UnhookWindowsHookEx(s_hHook));
    EXPECT_FALSE(UnhookWindowsHookEx(s_hHook));
}

TEST_F(WindowTest, FocusCaptureAndMouseRouting)
{
    HWND hMain = Create("Main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
    HWND hLeft = Create("L", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, hMain, 1);
    HWND hRight = Create("R", WS_CHILD | WS_VISIBLE, 200, 0, 100, 100, hMain, 2);
    m_Driver.pumpUntilIdle();
    MessageLog().clear();
    EXPECT_EQ(SetFocus(hLeft), hMain);
    EXPECT_EQ(SetFocus(hRight), hLeft);
    ASSERT_EQ(MessageLog().size(), 4u);
    EXPECT_EQ(MessageLog()[0].m_nMessage, static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_EQ(MessageLog()[2].m_hWnd, hLeft);
    EXPECT_EQ(MessageLog()[2].m_nMessage, static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_EQ(MessageLog()[2].m_wParam, reinterpret_cast<WPARAM>(hRight));
    EXPECT_EQ(MessageLog()[3].m_lParam, 0);
    EXPECT_EQ(MessageLog()[3].m_wParam, reinterpret_cast<WPARAM>(hLeft));

    // Mouse messages go to the window under the cursor in its client coordinates, or to the
    // capture holder wherever the cursor is.
    POINT leftOrigin{0, 0}, rightOrigin{0, 0};
    ClientToScreen(hLeft, &leftOrigin);
    ClientToScreen(hRight, &rightOrigin);
    MessageLog().clear();
    m_Driver.mouse(POINT{leftOrigin.x + 5, leftOrigin.y + 6});
    SetCapture(hRight);
    m_Driver.mouse(POINT{leftOrigin.x + 7, leftOrigin.y + 8});
    m_Driver.pumpUntilIdle();
    std::vector<LoggedMessage> moves;
    for (const LoggedMessage& m : MessageLog())
        if (m.m_nMessage == WM_MOUSEMOVE)
            moves.push_back(m);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].m_hWnd, hRight);   // the capture was set before either move was taken
    EXPECT_EQ(GET_X_LPARAM(moves[1].m_lParam), leftOrigin.x + 7 - rightOrigin.x);
    MessageLog().clear();
    EXPECT_EQ(SetCapture(hLeft), hRight);
    EXPECT_EQ(MessagesOf(hRight), (std::vector<UINT>{WM_CAPTURECHANGED}));
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);

    // Two presses within 500 ms and 4 px are a double click on a CS_DBLCLKS class.
    struct ClickCase
    {
        int m_nWait;
        int m_nDx;
        UINT m_nSecond;
    };
    for (ClickCase c : {ClickCase{500, 4, WM_LBUTTONDBLCLK}, {501, 0, WM_LBUTTONDOWN}, {100, 5, WM_LBUTTONDOWN}})
    {
        m_Driver.advance(1000);
        POINT pt{leftOrigin.x + 20, leftOrigin.y + 20};
        m_Driver.mouse(pt, 0, true);
        m_Driver.mouse(pt, 0, false);
        m_Driver.pumpUntilIdle();
        m_Driver.advance(c.m_nWait);
        MessageLog().clear();
        pt.x += c.m_nDx;
        m_Driver.mouse(pt, 0, true);
        m_Driver.mouse(pt, 0, false);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(MessagesOf(hLeft, {WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}), std::vector<UINT>{c.m_nSecond}) << c.m_nWait;
    }

    // SetCursorPos moves the cursor and queues one WM_MOUSEMOVE.
    MessageLog().clear();
    SetCursorPos(rightOrigin.x + 1, rightOrigin.y + 1);
    POINT pt;
    GetCursorPos(&pt);
    EXPECT_EQ(pt.x, rightOrigin.x + 1);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(MessagesOf(hRight, {WM_MOUSEMOVE}).size(), 1u);

    // Hiding the active window hands activation and focus to its owner.
    HWND hTool = Create("Tool", WS_POPUP | WS_CAPTION | WS_VISIBLE, 500, 500, 100, 100, hMain);
    EXPECT_EQ(GetActiveWindow(), hTool);
    EXPECT_EQ(GetFocus(), hTool);
    ShowWindow(hTool, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), hMain);
    EXPECT_EQ(GetFocus(), hMain);
}
