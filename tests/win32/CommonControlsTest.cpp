// The up-down control with its buddy, the progress bar and the scroll bar control.
#include "ControlTestKit.h"

namespace
{
class CommonControlsTest : public ControlTest
{
protected:
    // WM_VSCROLL / WM_HSCROLL codes the parent received, with their positions (and forgets them).
    std::vector<std::pair<WORD, int>> TakeScrolls()
    {
        std::vector<std::pair<WORD, int>> out;
        for (const LoggedMessage& m : MessageLog())
            if (m.m_hWnd == m_hParent && (m.m_nMessage == WM_VSCROLL || m.m_nMessage == WM_HSCROLL))
                out.push_back({LOWORD(m.m_wParam), static_cast<SHORT>(HIWORD(m.m_wParam))});
        MessageLog().clear();
        return out;
    }
};

// An edit and its spin, as a dialog makes them: the spin names the edit before it as its buddy.
const win32::DialogItemTemplate SPIN_ITEMS[] = {
    {WC_EDITA, "", 1366, WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, 10, 10, 40, 14},
    {UPDOWN_CLASSA, "", 1367,
     WS_CHILD | WS_VISIBLE | UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, 0, 0, 0,
     10, 14},
};
const win32::DialogTemplate SPIN_DIALOG{WS_CHILD | WS_VISIBLE | DS_SETFONT, 0, 0, 0, 100, 40, "", "MS Sans Serif", 8,
                                        SPIN_ITEMS, 2};

TEST_F(CommonControlsTest, UpDownStepsItsBuddyWithinItsRange)
{
    // The dialog's procedure passes scroll messages to the test window, as MFC's reflection would.
    HWND hDlg = CreateDialogIndirectParamA(nullptr, &SPIN_DIALOG, m_hParent, nullptr, 0);
    ASSERT_NE(hDlg, nullptr);
    HWND hEdit = GetDlgItem(hDlg, 1366), hSpin = GetDlgItem(hDlg, 1367);
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(hSpin, UDM_GETBUDDY, 0, 0)), hEdit);
    // The spin sits at the buddy's right edge, where the buddy was.
    RECT rcEdit, rcSpin;
    GetWindowRect(hEdit, &rcEdit);
    GetWindowRect(hSpin, &rcSpin);
    EXPECT_EQ(rcSpin.left, rcEdit.right);
    EXPECT_EQ(rcSpin.right - rcEdit.left, 60);   // 40 dialog units
    EXPECT_EQ(rcSpin.top, rcEdit.top);
    EXPECT_EQ(rcSpin.bottom, rcEdit.bottom);

    SendMessageA(hSpin, UDM_SETRANGE, 0, MAKELONG(255, 0));
    EXPECT_EQ(SendMessageA(hSpin, UDM_GETRANGE, 0, 0), MAKELONG(255, 0));
    SendMessageA(hSpin, UDM_SETPOS, 0, MAKELONG(300, 0));
    EXPECT_EQ(Text(hEdit), "255");   // clamped
    SendMessageA(hSpin, UDM_SETPOS, 0, MAKELONG(static_cast<WORD>(-4), 0));
    EXPECT_EQ(Text(hEdit), "0");

    // Steps from what the buddy says; the parent hears each one, then the end.
    SetWindowTextA(hEdit, "1234");
    std::vector<std::pair<WORD, int>> scrolls;
    SetWindowLongPtrA(hDlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&scrolls));
    auto proc = [](HWND h, UINT m, WPARAM w, LPARAM) -> INT_PTR {
        if (m == WM_VSCROLL)
            reinterpret_cast<std::vector<std::pair<WORD, int>>*>(GetWindowLongPtrA(h, DWLP_USER))
                ->push_back({LOWORD(w), static_cast<SHORT>(HIWORD(w))});
        return FALSE;
    };
    SetWindowLongPtrA(hDlg, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(static_cast<DLGPROC>(proc)));
    SetWindowTextA(hEdit, "10");
    Click(hSpin, 3, 2);   // the upper half
    EXPECT_EQ(Text(hEdit), "11");
    Click(hSpin, 3, (rcSpin.bottom - rcSpin.top) - 2);
    Click(hSpin, 3, (rcSpin.bottom - rcSpin.top) - 2);
    EXPECT_EQ(Text(hEdit), "9");
    EXPECT_EQ(scrolls, (std::vector<std::pair<WORD, int>>{{SB_THUMBPOSITION, 11}, {SB_ENDSCROLL, 11},
                                                           {SB_THUMBPOSITION, 10}, {SB_ENDSCROLL, 10},
                                                           {SB_THUMBPOSITION, 9}, {SB_ENDSCROLL, 9}}));
    // Holding the button repeats, first after 400 ms, then every 100 ms.
    m_Driver.mouse(At(hSpin, 3, 2), 0, true);
    m_Driver.pumpUntilIdle();
    for (int nMs : {399, 1, 100, 100})
    {
        m_Driver.advance(nMs);
        m_Driver.pumpUntilIdle();
    }
    m_Driver.mouse(At(hSpin, 3, 2), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hEdit), "13");
    // The buddy's Up and Down keys step too; each write to the buddy is an EN_CHANGE.
    SetFocus(hEdit);
    m_Driver.key(VK_UP);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(Text(hEdit), "14");
    EXPECT_EQ(LOWORD(SendMessageA(hSpin, UDM_GETPOS, 0, 0)), 14);
    // Text that is not a number is an error for UDM_GETPOS.
    SetWindowTextA(hEdit, "abc");
    EXPECT_NE(HIWORD(SendMessageA(hSpin, UDM_GETPOS, 0, 0)), 0);
    DestroyWindow(hDlg);
}

TEST_F(CommonControlsTest, UpDownShowsThousandsUnlessAskedNotTo)
{
    HWND hEdit = Make(WC_EDITA, "", 0, 1, 10, 10, 60, 20);
    HWND hSpin = Make(UPDOWN_CLASSA, "", UDS_SETBUDDYINT, 2, 70, 10, 16, 20);
    SendMessageA(hSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(hEdit), 0);
    SendMessageA(hSpin, UDM_SETRANGE32, 0, 100000);
    SendMessageA(hSpin, UDM_SETPOS32, 0, 12345);
    EXPECT_EQ(Text(hEdit), "12,345");
    EXPECT_EQ(SendMessageA(hSpin, UDM_GETPOS32, 0, 0), 12345);
    // A handler may refuse a step through UDN_DELTAPOS.
    CurrentHandler() = [](HWND, UINT m, WPARAM, LPARAM l) -> std::optional<LRESULT> {
        if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == UDN_DELTAPOS)
            return 1;
        return std::nullopt;
    };
    Click(hSpin, 3, 2);
    EXPECT_EQ(Text(hEdit), "12,345");
}

TEST_F(CommonControlsTest, ProgressPositionStaysInItsRange)
{
    HWND hBar = Make(PROGRESS_CLASSA, "", 0, 3, 10, 10, 200, 16);
    EXPECT_EQ(SendMessageA(hBar, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(hBar, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(hBar, PBM_SETRANGE, 0, MAKELPARAM(10, 50)), MAKELONG(0, 100));
    struct Case
    {
        UINT m_nMessage;
        WPARAM m_wParam;
        int m_nPos;
    };
    for (Case c : {Case{PBM_SETPOS, 30, 30}, {PBM_SETPOS, 80, 50}, {PBM_SETPOS, 2, 10}, {PBM_DELTAPOS, 15, 25},
                   {PBM_SETSTEP, 20, 25}, {PBM_STEPIT, 0, 45}, {PBM_STEPIT, 0, 25}})
    {
        SendMessageA(hBar, c.m_nMessage, c.m_wParam, 0);
        EXPECT_EQ(SendMessageA(hBar, PBM_GETPOS, 0, 0), c.m_nPos) << c.m_nMessage << " " << c.m_wParam;
    }
    // Past the end, a step starts over from the beginning: 45 + 20 is 15 past 50.
}

TEST_F(CommonControlsTest, ScrollBarReportsClicksAndThumbDrags)
{
    HWND hBar = Make(WC_SCROLLBARA, "", SBS_HORZ, 4, 10, 10, 200, 16);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 99, 10, 200, 0};
    EXPECT_EQ(SetScrollInfo(hBar, SB_CTL, &si, TRUE), 90);   // the last page's start
    EXPECT_EQ(SetScrollPos(hBar, SB_CTL, 0, TRUE), 90);
    int nMin = -1, nMax = -1;
    ASSERT_TRUE(GetScrollRange(hBar, SB_CTL, &nMin, &nMax));
    EXPECT_EQ(nMax, 99);
    MessageLog().clear();
    Click(hBar, 3, 8);     // left arrow
    Click(hBar, 196, 8);   // right arrow
    Click(hBar, 150, 8);   // the page right of the thumb
    EXPECT_EQ(TakeScrolls(), (std::vector<std::pair<WORD, int>>{{SB_LINELEFT, 0}, {SB_ENDSCROLL, 0},
                                                                 {SB_LINERIGHT, 0}, {SB_ENDSCROLL, 0},
                                                                 {SB_PAGERIGHT, 0}, {SB_ENDSCROLL, 0}}));
    // The bar itself does not move: its owner sets the position.
    EXPECT_EQ(GetScrollPos(hBar, SB_CTL), 0);
    // A drag of the thumb across the whole track reports the positions it passes.
    m_Driver.mouse(At(hBar, 20, 8), 0, true);
    m_Driver.mouse(At(hBar, 300, 8));
    m_Driver.mouse(At(hBar, 300, 8), 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(TakeScrolls(), (std::vector<std::pair<WORD, int>>{{SB_THUMBTRACK, 90}, {SB_THUMBPOSITION, 90},
                                                                 {SB_ENDSCROLL, 0}}));
    EXPECT_EQ(GetCapture(), nullptr);
    // A window's own bars keep their values.
    SetScrollRange(m_hParent, SB_VERT, 0, 50, FALSE);
    SetScrollPos(m_hParent, SB_VERT, 70, FALSE);
    EXPECT_EQ(GetScrollPos(m_hParent, SB_VERT), 50);
}

TEST_F(CommonControlsTest, SizeBoxTakesItsCornerAndSizesItsParent)
{
    HWND hChild = Make("TestWnd", "", WS_CAPTION, 0, 20, 20, 200, 150);
    HWND hGrip = CreateWindowExA(0, WC_SCROLLBARA, "", WS_CHILD | WS_VISIBLE | SBS_SIZEBOX | SBS_SIZEBOXBOTTOMRIGHTALIGN | SBS_SIZEGRIP,
                                 0, 0, 200, 120, hChild, reinterpret_cast<HMENU>(59936), nullptr, nullptr);
    ASSERT_NE(hGrip, nullptr);
    RECT rc;
    GetWindowRect(hGrip, &rc);
    MapWindowPoints(nullptr, hChild, reinterpret_cast<POINT*>(&rc), 2);
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.bottom, 120);
    EXPECT_EQ(rc.right - rc.left, GetSystemMetrics(SM_CXVSCROLL));
    MessageLog().clear();
    Click(hGrip, 5, 5);
    auto commands = MessagesOf(hChild, {WM_SYSCOMMAND});
    ASSERT_EQ(commands.size(), 1u);
    auto itCommand = std::find_if(MessageLog().begin(), MessageLog().end(),
                                  [](const LoggedMessage& m) { return m.m_nMessage == WM_SYSCOMMAND; });
    ASSERT_NE(itCommand, MessageLog().end());
    EXPECT_EQ(itCommand->m_wParam & 0xFFF0, static_cast<WPARAM>(SC_SIZE));
}
}
