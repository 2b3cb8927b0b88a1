// Tooltips on the layer clock: the initial delay, text updates while shown, hiding on a click or
// when the mouse leaves, and the subclassing that lets a tooltip watch its tool's window.
#include "ControlTestKit.h"

#include <win32/commctrl.h>

namespace
{
class ToolTipTest : public ControlTest
{
protected:
    void SetUp() override
    {
        ControlTest::SetUp();
        m_hTool = Create("Tool", WS_CHILD | WS_VISIBLE, 20, 20, 100, 60, m_hParent, 9);
        m_hTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX, 0, 0, 0, 0, m_hParent, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(m_hTip, nullptr);
    }
    // The tool: the left half of m_hTool, id 1, watched through subclassing.
    void AddTool(const char* szText, UINT nFlags = TTF_SUBCLASS)
    {
        TOOLINFOA ti{};
        ti.cbSize = sizeof(ti);
        ti.uFlags = nFlags;
        ti.hwnd = m_hTool;
        ti.uId = 1;
        ti.rect = RECT{0, 0, 50, 60};
        ti.lpszText = const_cast<char*>(szText);
        ASSERT_TRUE(SendMessageA(m_hTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
    }
    void MoveTo(HWND hWnd, int x, int y)
    {
        m_Driver.mouse(At(hWnd, x, y));
        m_Driver.pumpUntilIdle();
    }
    bool Shown() const { return IsWindowVisible(m_hTip) != FALSE; }
    HWND m_hTool = nullptr;
    HWND m_hTip = nullptr;
};
}

TEST_F(ToolTipTest, AppearsAfterTheInitialDelayAndFollowsTextUpdates)
{
    AddTool("Rotate");
    EXPECT_EQ(SendMessageA(m_hTip, TTM_GETTOOLCOUNT, 0, 0), 1);
    MoveTo(m_hTool, 10, 10);
    m_Driver.advance(490);
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(Shown());
    m_Driver.advance(20);
    m_Driver.pumpUntilIdle();
    ASSERT_TRUE(Shown());
    RECT rcTip{};
    GetWindowRect(m_hTip, &rcTip);
    POINT ptCursor = At(m_hTool, 10, 10);
    EXPECT_EQ(rcTip.left, ptCursor.x);
    EXPECT_EQ(rcTip.top, ptCursor.y + 20);
    EXPECT_TRUE(GetWindowLongPtrA(m_hTip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // A longer text widens the shown tip in place.
    TOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hTool;
    ti.uId = 1;
    ti.lpszText = const_cast<char*>("Rotate the selected mesh");
    SendMessageA(m_hTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    m_Driver.pumpUntilIdle();
    RECT rcWide{};
    GetWindowRect(m_hTip, &rcWide);
    EXPECT_GT(rcWide.right - rcWide.left, rcTip.right - rcTip.left + 40);
    EXPECT_EQ(rcWide.left, rcTip.left);
    char szText[64] = {};
    ti.lpszText = szText;
    EXPECT_TRUE(SendMessageA(m_hTip, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&ti)));
    EXPECT_STREQ(szText, "Rotate the selected mesh");
    // The tip's pixels: its background colour inside the frame.
    HDC hdc = GetDC(m_hTip);
    EXPECT_EQ(GetPixel(hdc, 1, 1), GetSysColor(COLOR_INFOBK));
    ReleaseDC(m_hTip, hdc);
}

TEST_F(ToolTipTest, LeavingTheToolAClickOrDeactivationHidesTheTip)
{
    AddTool("Move");
    MoveTo(m_hTool, 10, 10);
    m_Driver.advance(600);
    m_Driver.pumpUntilIdle();
    ASSERT_TRUE(Shown());
    // Into the tool window's right half, which is no tool.
    MoveTo(m_hTool, 80, 10);
    EXPECT_FALSE(Shown());
    m_Driver.advance(600);
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(Shown());

    // A click hides it, and it stays hidden while the mouse stays on the tool.
    MoveTo(m_hTool, 10, 10);
    m_Driver.advance(600);
    m_Driver.pumpUntilIdle();
    ASSERT_TRUE(Shown());
    Click(m_hTool, 12, 10);
    EXPECT_FALSE(Shown());
    m_Driver.advance(600);
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(Shown());

    // Leaving the tool's window altogether is seen without a message from it.
    MoveTo(m_hTool, 80, 10);
    MoveTo(m_hTool, 10, 10);
    m_Driver.advance(600);
    m_Driver.pumpUntilIdle();
    ASSERT_TRUE(Shown());
    MoveTo(m_hParent, 300, 200);
    m_Driver.advance(150);
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(Shown());

    // An inactive tooltip shows nothing.
    SendMessageA(m_hTip, TTM_ACTIVATE, FALSE, 0);
    MoveTo(m_hTool, 10, 10);
    m_Driver.advance(600);
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(Shown());
}

TEST_F(ToolTipTest, RelayedMessagesServeAToolWithoutSubclassing)
{
    AddTool("Scale", 0);
    EXPECT_EQ(GetWindowLongPtrA(m_hTool, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProc));
    MSG msg{m_hTool, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), 0, {}};
    m_Driver.mouse(At(m_hTool, 10, 10));
    SendMessageA(m_hTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
    m_Driver.advance(600);
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(Shown());
    EXPECT_TRUE(SendMessageA(m_hTip, TTM_GETCURRENTTOOLA, 0, 0));
}

TEST_F(ToolTipTest, DeletingTheToolRestoresTheWindowProcedure)
{
    AddTool("Pan");
    EXPECT_NE(GetWindowLongPtrA(m_hTool, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProc));
    TOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hTool;
    ti.uId = 1;
    SendMessageA(m_hTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
    EXPECT_EQ(SendMessageA(m_hTip, TTM_GETTOOLCOUNT, 0, 0), 0);
    EXPECT_EQ(GetWindowLongPtrA(m_hTool, GWL_WNDPROC), reinterpret_cast<LONG_PTR>(RecordingProc));
}

// ---- Subclassing through GWL_WNDPROC
namespace
{
WNDPROC g_pfnOriginal = nullptr;
std::vector<std::string> g_Seen;

LRESULT CALLBACK SubclassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_USER + 1)
    {
        g_Seen.push_back("subclass " + std::to_string(wParam));
        if (wParam == 0)
            return 77;   // eaten: the original procedure never sees it
    }
    return CallWindowProcA(g_pfnOriginal, hWnd, nMessage, wParam, lParam);
}
}

TEST_F(ToolTipTest, SubclassedWindowSeesMessagesFirstAndCanPassThemOn)
{
    g_Seen.clear();
    CurrentHandler() = [](HWND, UINT nMessage, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (nMessage == WM_USER + 1)
        {
            g_Seen.push_back("original " + std::to_string(wParam));
            return 5;
        }
        return std::nullopt;
    };
    g_pfnOriginal = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(m_hTool, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(SubclassProc)));
    EXPECT_EQ(g_pfnOriginal, RecordingProc);
    EXPECT_EQ(SendMessageA(m_hTool, WM_USER + 1, 0, 0), 77);
    EXPECT_EQ(SendMessageA(m_hTool, WM_USER + 1, 1, 0), 5);
    EXPECT_EQ(g_Seen, (std::vector<std::string>{"subclass 0", "subclass 1", "original 1"}));
    // Put back, the original alone sees the messages again.
    SetWindowLongPtrA(m_hTool, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnOriginal));
    g_Seen.clear();
    EXPECT_EQ(SendMessageA(m_hTool, WM_USER + 1, 0, 0), 5);
    EXPECT_EQ(g_Seen, std::vector<std::string>{"original 0"});
}
