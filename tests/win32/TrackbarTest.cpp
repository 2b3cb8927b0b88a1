// The trackbar: a position kept inside its range, the steps of keys and channel clicks, and a
// thumb drag reported to the parent as WM_HSCROLL / WM_VSCROLL, then NM_RELEASEDCAPTURE.
#include "WindowTestKit.h"

#include <win32/commctrl.h>

namespace
{
struct Report
{
    UINT m_nMessage;     // WM_HSCROLL, WM_VSCROLL or WM_NOTIFY
    UINT m_nCode;        // the request, or the notification code
    int m_nPosition;     // the high word of a thumb request
    LRESULT m_nNow;      // TBM_GETPOS while the parent handles it
    bool m_bCaptured;    // the trackbar still held the capture then
};

class TrackbarTest : public WindowTest
{
protected:
    HWND m_hParent = nullptr;
    HWND m_hBar = nullptr;
    std::vector<Report> m_Reports;

    void SetUp() override
    {
        WindowTest::SetUp();
        CurrentHandler() = [this](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
            if (h != m_hParent)
                return std::nullopt;
            if (m == WM_HSCROLL || m == WM_VSCROLL)
            {
                EXPECT_EQ(reinterpret_cast<HWND>(l), m_hBar);
                m_Reports.push_back({m, LOWORD(w), static_cast<SHORT>(HIWORD(w)), Pos(), GetCapture() == m_hBar});
                return 0;
            }
            if (m == WM_NOTIFY)
            {
                const auto* pHdr = reinterpret_cast<const NMHDR*>(l);
                EXPECT_EQ(pHdr->hwndFrom, m_hBar);
                m_Reports.push_back({m, pHdr->code, 0, Pos(), GetCapture() == m_hBar});
                return 0;
            }
            return std::nullopt;
        };
        m_hParent = Create("Parent", WS_POPUP | WS_VISIBLE, 100, 100, 300, 200);
    }

    void Make(DWORD nStyle, int cx, int cy)
    {
        m_hBar = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD | WS_VISIBLE | nStyle, 10, 20, cx, cy, m_hParent,
                                 reinterpret_cast<HMENU>(1021), nullptr, nullptr);
        ASSERT_NE(m_hBar, nullptr);
        m_Driver.pumpUntilIdle();
    }
    LRESULT Pos() const { return SendMessageA(m_hBar, TBM_GETPOS, 0, 0); }
    POINT Screen(int x, int y) const
    {
        POINT pt{x, y};
        ClientToScreen(m_hBar, &pt);
        return pt;
    }
    std::vector<UINT> Codes() const
    {
        std::vector<UINT> out;
        for (const Report& r : m_Reports)
            out.push_back(r.m_nCode);
        return out;
    }
};

TEST_F(TrackbarTest, PositionStaysInsideTheRange)
{
    Make(TBS_NOTICKS, 200, 24);
    EXPECT_EQ(SendMessageA(m_hBar, TBM_GETRANGEMIN, 0, 0), 0);
    EXPECT_EQ(SendMessageA(m_hBar, TBM_GETRANGEMAX, 0, 0), 100);
    EXPECT_EQ(SendMessageA(m_hBar, TBM_GETPAGESIZE, 0, 0), 20);
    EXPECT_EQ(SendMessageA(m_hBar, TBM_GETLINESIZE, 0, 0), 1);
    struct Case
    {
        UINT m_nMessage;
        WPARAM m_wParam;
        LPARAM m_lParam;
        LRESULT m_nPos;
    };
    const Case cases[] = {
        {TBM_SETRANGE, TRUE, MAKELPARAM(5, 1000), 5},   // the position rises to the new minimum
        {TBM_SETPOS, TRUE, 48, 48},
        {TBM_SETPOS, TRUE, 1001, 1000},
        {TBM_SETPOS, TRUE, -3, 5},
        {TBM_SETPOS, TRUE, 700, 700},
        {TBM_SETRANGEMAX, TRUE, 500, 500},
        {TBM_SETRANGEMIN, TRUE, 1, 500},
        {TBM_SETRANGE, TRUE, MAKELPARAM(static_cast<WORD>(-100), 100), 100},
        {TBM_SETPOS, TRUE, -100, -100},
    };
    for (const Case& c : cases)
    {
        SendMessageA(m_hBar, c.m_nMessage, c.m_wParam, c.m_lParam);
        EXPECT_EQ(Pos(), c.m_nPos) << c.m_nMessage << " " << c.m_lParam;
    }
    EXPECT_TRUE(m_Reports.empty());   // setting the position tells nobody

    // Keys step by a line or a page, stopping at the ends; each step is reported, and the key's
    // release ends the track.
    SendMessageA(m_hBar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 50));
    SendMessageA(m_hBar, TBM_SETPOS, TRUE, 10);
    SetFocus(m_hBar);
    struct KeyCase
    {
        BYTE m_nKey;
        UINT m_nCode;
        LRESULT m_nPos;
    };
    const KeyCase keys[] = {{VK_RIGHT, TB_LINEDOWN, 11}, {VK_UP, TB_LINEUP, 10},    {VK_NEXT, TB_PAGEDOWN, 30},
                            {VK_NEXT, TB_PAGEDOWN, 50},   {VK_NEXT, TB_PAGEDOWN, 50}, {VK_PRIOR, TB_PAGEUP, 30},
                            {VK_HOME, TB_TOP, 0},        {VK_LEFT, TB_LINEUP, 0},     {VK_END, TB_BOTTOM, 50}};
    for (const KeyCase& k : keys)
    {
        m_Reports.clear();
        m_Driver.key(k.m_nKey);
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(Pos(), k.m_nPos) << int(k.m_nKey);
        EXPECT_EQ(Codes(), (std::vector<UINT>{k.m_nCode, TB_ENDTRACK})) << int(k.m_nKey);
    }
}

TEST_F(TrackbarTest, ThumbDragSendsTrackThenPositionEndAndReleasedCapture)
{
    // 250 wide: the thumb's centre travels from x = 8 to x = 241, 233 pixels for 499 positions.
    Make(TBS_NOTICKS, 250, 20);
    SendMessageA(m_hBar, TBM_SETRANGE, TRUE, MAKELPARAM(1, 500));
    SendMessageA(m_hBar, TBM_SETPOS, TRUE, 100);
    RECT rcThumb;
    SendMessageA(m_hBar, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rcThumb));
    int xThumb = 8 + (100 - 1) * 233 / 499;
    EXPECT_EQ((rcThumb.left + rcThumb.right) / 2, xThumb);
    EXPECT_EQ(rcThumb.right - rcThumb.left, 11);

    // Grab the thumb 2 pixels right of its centre and drag; positions follow the thumb's centre.
    auto positionAt = [](int x) { return 1 + ((x - 8) * 499 + 233 / 2) / 233; };
    int y = (rcThumb.top + rcThumb.bottom) / 2;
    std::vector<int> xs{xThumb + 2 + 40, xThumb + 2 + 40, xThumb + 2 + 90, 400};
    m_Driver.mouse(Screen(xThumb + 2, y), 0, true);
    for (size_t i = 0; i < xs.size(); ++i)
        m_Driver.at(static_cast<int>(i + 1) * 10, [this, x = xs[i], y] { m_Driver.mouse(Screen(x, y)); });
    m_Driver.at(100, [this, y] { m_Driver.mouse(Screen(400, y), 0, false); });
    m_Driver.pumpUntilIdle();
    m_Driver.advance(200);
    m_Driver.pumpUntilIdle();

    // The second move goes nowhere new and sends nothing; past the end the position stops at 500.
    std::vector<Report> expected{
        {WM_HSCROLL, TB_THUMBTRACK, positionAt(xThumb + 40), positionAt(xThumb + 40), true},
        {WM_HSCROLL, TB_THUMBTRACK, positionAt(xThumb + 90), positionAt(xThumb + 90), true},
        {WM_HSCROLL, TB_THUMBTRACK, 500, 500, true},
        {WM_HSCROLL, TB_THUMBPOSITION, 500, 500, true},
        {WM_HSCROLL, TB_ENDTRACK, 0, 500, true},
        {WM_NOTIFY, NM_RELEASEDCAPTURE, 0, 500, false},
    };
    ASSERT_EQ(m_Reports.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        EXPECT_EQ(m_Reports[i].m_nMessage, expected[i].m_nMessage) << i;
        EXPECT_EQ(m_Reports[i].m_nCode, expected[i].m_nCode) << i;
        EXPECT_EQ(m_Reports[i].m_nPosition, expected[i].m_nPosition) << i;
        EXPECT_EQ(m_Reports[i].m_nNow, expected[i].m_nNow) << i;
        EXPECT_EQ(m_Reports[i].m_bCaptured, expected[i].m_bCaptured) << i;
    }
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), m_hBar);
}

TEST_F(TrackbarTest, ChannelClickPagesAndVerticalBarsReportWithVScroll)
{
    Make(TBS_VERT | TBS_AUTOTICKS, 30, 120);
    SendMessageA(m_hBar, TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
    SendMessageA(m_hBar, TBM_SETPAGESIZE, 0, 4);
    SendMessageA(m_hBar, TBM_SETPOS, TRUE, 5);
    EXPECT_EQ(SendMessageA(m_hBar, TBM_GETNUMTICS, 0, 0), 11);
    // Below the thumb pages down, above it up.
    struct Case
    {
        int m_y;
        UINT m_nCode;
        LRESULT m_nPos;
    };
    for (Case c : {Case{110, TB_PAGEDOWN, 9}, Case{110, TB_PAGEDOWN, 10}, Case{10, TB_PAGEUP, 6}})
    {
        m_Reports.clear();
        m_Driver.mouse(Screen(15, c.m_y), 0, true);
        m_Driver.mouse(Screen(15, c.m_y), 0, false);
        m_Driver.advance(1000);   // no double click
        m_Driver.pumpUntilIdle();
        EXPECT_EQ(Pos(), c.m_nPos) << c.m_y;
        ASSERT_EQ(m_Reports.size(), 3u);
        EXPECT_EQ(m_Reports[0].m_nMessage, static_cast<UINT>(WM_VSCROLL));
        EXPECT_EQ(Codes(), (std::vector<UINT>{c.m_nCode, TB_ENDTRACK, NM_RELEASEDCAPTURE}));
    }
}
}
