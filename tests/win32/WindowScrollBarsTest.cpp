// A window's own scroll bars: shown and hidden with their range (the client area follows), hit
// tested and drawn in the non-client area, and worked with the mouse (line, page, thumb drag)
// through WM_VSCROLL / WM_HSCROLL to the window itself; and a size box whose hit test answers
// its corner, which sizes its parent.
#include "WindowTestKit.h"

#include <win32/commctrl.h>
#include <win32/controls.h>
#include <win32/gdi.h>

namespace
{
struct Scroll
{
    UINT m_nMessage;
    WORD m_nCode;
    int m_nPos;
};
bool operator==(const Scroll& a, const Scroll& b)
{
    return a.m_nMessage == b.m_nMessage && a.m_nCode == b.m_nCode && a.m_nPos == b.m_nPos;
}
std::ostream& operator<<(std::ostream& out, const Scroll& s)
{
    return out << "{" << s.m_nMessage << ", " << s.m_nCode << ", " << s.m_nPos << "}";
}

class WindowScrollBarsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        // A 200 x 150 client area inside a 1-pixel border.
        m_hWnd = Create("Bars", WS_POPUP | WS_BORDER | WS_VISIBLE, 100, 100, 202, 152);
        CurrentHandler() = [this](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
            if (h == m_hWnd && (m == WM_VSCROLL || m == WM_HSCROLL))
            {
                EXPECT_EQ(l, 0);
                m_Scrolls.push_back({m, LOWORD(w), static_cast<SHORT>(HIWORD(w))});
            }
            return std::nullopt;
        };
        m_Driver.pumpUntilIdle();
    }
    SIZE Client()
    {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        return SIZE{rc.right, rc.bottom};
    }
    DWORD Bars() { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)) & (WS_VSCROLL | WS_HSCROLL); }
    // A point of the window (window coordinates) on the screen.
    POINT OnScreen(int x, int y) { return POINT{100 + x, 100 + y}; }
    COLORREF WindowPixel(int x, int y)
    {
        HDC hdc = GetWindowDC(m_hWnd);
        COLORREF c = GetPixel(hdc, x, y);
        ReleaseDC(m_hWnd, hdc);
        return c;
    }
    void Press(POINT pt, std::initializer_list<POINT> moves = {})
    {
        m_Driver.mouse(pt, 0, true);
        int nAt = 10;
        for (POINT p : moves)
        {
            m_Driver.at(nAt, [this, p] { m_Driver.mouse(p); });
            nAt += 10;
        }
        POINT last = moves.size() ? *(moves.end() - 1) : pt;
        m_Driver.at(nAt, [this, last] { m_Driver.mouse(last, 0, false); });
        m_Driver.pumpUntilIdle();
    }

    HWND m_hWnd = nullptr;
    std::vector<Scroll> m_Scrolls;
};
}

TEST_F(WindowScrollBarsTest, BarsComeAndGoWithTheirRange)
{
    struct Case
    {
        int m_nBar;
        SCROLLINFO m_Info;
        DWORD m_nBars;
        SIZE m_Client;
    };
    const Case cases[] = {
        {SB_VERT, {sizeof(SCROLLINFO), SIF_RANGE, 0, 10, 0, 0, 0}, WS_VSCROLL, {184, 150}},
        {SB_HORZ, {sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE, 0, 99, 50, 0, 0}, WS_VSCROLL | WS_HSCROLL, {184, 134}},
        {SB_HORZ, {sizeof(SCROLLINFO), SIF_PAGE, 0, 0, 100, 0, 0}, WS_VSCROLL, {184, 150}},   // one page holds it all
        {SB_VERT, {sizeof(SCROLLINFO), SIF_RANGE | SIF_DISABLENOSCROLL, 0, 0, 0, 0, 0}, WS_VSCROLL, {184, 150}},
        {SB_VERT, {sizeof(SCROLLINFO), SIF_RANGE, 0, 0, 0, 0, 0}, 0, {200, 150}},              // 0 to 0 removes it
    };
    for (const Case& c : cases)
    {
        SetScrollInfo(m_hWnd, c.m_nBar, &c.m_Info, TRUE);
        EXPECT_EQ(Bars(), c.m_nBars);
        EXPECT_EQ(Client().cx, c.m_Client.cx);
        EXPECT_EQ(Client().cy, c.m_Client.cy);
    }
    // SetScrollRange and SetScrollPos as the roll-up dialog uses them; the position clamps.
    EXPECT_TRUE(SetScrollRange(m_hWnd, SB_VERT, 0, 3, FALSE));
    EXPECT_EQ(SetScrollPos(m_hWnd, SB_VERT, 9, TRUE), 0);
    EXPECT_EQ(GetScrollPos(m_hWnd, SB_VERT), 3);
    EXPECT_EQ(Bars(), static_cast<DWORD>(WS_VSCROLL));
    EXPECT_TRUE(ShowScrollBar(m_hWnd, SB_BOTH, FALSE));
    EXPECT_EQ(Bars(), 0u);
    EXPECT_EQ(Client().cx, 200);
}

TEST_F(WindowScrollBarsTest, ArrowsPagesAndTheThumbScrollTheWindow)
{
    // Range 0..9 with a page of 5 on a 150-pixel bar: arrows 16, track 118, thumb 59.
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 9, 5, 0, 0};
    SetScrollInfo(m_hWnd, SB_VERT, &si, TRUE);
    m_Driver.pumpUntilIdle();
    // The bar's band: x 185..200, y 1..150 in window coordinates.
    const struct
    {
        POINT m_pt;
        LRESULT m_nHit;
    } hits[] = {{{192, 5}, HTVSCROLL}, {{192, 149}, HTVSCROLL}, {{180, 5}, HTCLIENT}, {{201, 5}, HTBORDER}};
    for (const auto& h : hits)
    {
        POINT pt = OnScreen(h.m_pt.x, h.m_pt.y);
        EXPECT_EQ(SendMessageA(m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y)), h.m_nHit) << h.m_pt.x << "," << h.m_pt.y;
    }
    // The thumb is drawn in the face colour below the up arrow, the track below it.
    EXPECT_EQ(WindowPixel(192, 1 + 16 + 30), GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(WindowPixel(192, 1 + 16 + 59 + 10), GetSysColor(COLOR_SCROLLBAR));
    EXPECT_EQ(WindowPixel(192, 1 + 8), GetSysColor(COLOR_BTNTEXT));   // the up arrow's point

    Press(OnScreen(192, 148));   // the down arrow
    Press(OnScreen(192, 120));   // the track below the thumb
    EXPECT_EQ(m_Scrolls, (std::vector<Scroll>{{WM_VSCROLL, SB_LINEDOWN, 0},
                                               {WM_VSCROLL, SB_ENDSCROLL, 0},
                                               {WM_VSCROLL, SB_PAGEDOWN, 0},
                                               {WM_VSCROLL, SB_ENDSCROLL, 0}}));
    m_Scrolls.clear();
    // The thumb's 59 free pixels stand for positions 0..5: 24 pixels down is position 2 (2.03),
    // 59 or more the last.
    Press(OnScreen(192, 40), {OnScreen(192, 64), OnScreen(192, 99), OnScreen(192, 140)});
    EXPECT_EQ(m_Scrolls, (std::vector<Scroll>{{WM_VSCROLL, SB_THUMBTRACK, 2},
                                               {WM_VSCROLL, SB_THUMBTRACK, 5},
                                               {WM_VSCROLL, SB_THUMBPOSITION, 5},
                                               {WM_VSCROLL, SB_ENDSCROLL, 0}}));
    // The window moves its position itself; nothing else did.
    EXPECT_EQ(GetScrollPos(m_hWnd, SB_VERT), 0);
}

TEST_F(WindowScrollBarsTest, ASizeBoxAnsweringItsCornerSizesItsParent)
{
    HWND hParent = Create("Sized", WS_POPUP | WS_THICKFRAME | WS_VISIBLE, 300, 300, 200, 150);
    RECT rcClient;
    GetClientRect(hParent, &rcClient);
    HWND hGrip = CreateWindowExA(0, WC_SCROLLBARA, "", WS_CHILD | WS_VISIBLE | SBS_SIZEBOX | SBS_SIZEBOXBOTTOMRIGHTALIGN | SBS_SIZEGRIP,
                                 0, 0, rcClient.right, rcClient.bottom, hParent, reinterpret_cast<HMENU>(59936), nullptr, nullptr);
    RECT rcGrip;
    GetWindowRect(hGrip, &rcGrip);
    EXPECT_EQ(rcGrip.right - rcGrip.left, GetSystemMetrics(SM_CXVSCROLL));
    // Its client area answers as the bottom-right sizing border.
    static WNDPROC s_pfnOld = nullptr;
    s_pfnOld = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        hGrip, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(+[](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            LRESULT r = CallWindowProcA(s_pfnOld, h, m, w, l);
            return m == WM_NCHITTEST && r == HTCLIENT ? HTBOTTOMRIGHT : r;
        })));
    m_Driver.pumpUntilIdle();
    RECT rcBefore;
    GetWindowRect(hParent, &rcBefore);
    POINT pt{rcGrip.left + 8, rcGrip.top + 8};
    Press(pt, {POINT{pt.x + 15, pt.y + 10}, POINT{pt.x + 30, pt.y + 20}});
    RECT rcAfter;
    GetWindowRect(hParent, &rcAfter);
    EXPECT_EQ(rcAfter.right - rcAfter.left, rcBefore.right - rcBefore.left + 30);
    EXPECT_EQ(rcAfter.bottom - rcAfter.top, rcBefore.bottom - rcBefore.top + 20);
    EXPECT_EQ(rcAfter.left, rcBefore.left);
}
