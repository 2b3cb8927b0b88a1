// The status bar and the rebar: where they place themselves, their parts and bands, what they
// draw and tell their parent.
#include "GoldenKit.h"
#include "WindowTestKit.h"

#include <win32/present.h>
#include <win32/windows.h>

#include <gtest/gtest.h>

namespace
{
class BarsTest : public WindowTest
{
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        m_hFrame = Create("Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300);
        CurrentHandler() = [this](HWND hWnd, UINT nMessage, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
            if (hWnd == m_hSolid && nMessage == WM_PAINT)
            {
                PAINTSTRUCT ps;
                HDC hdc = BeginPaint(hWnd, &ps);
                win32::FillSolidRect(hdc, ps.rcPaint, RGB(0, 128, 128));
                EndPaint(hWnd, &ps);
                return 0;
            }
            if (hWnd == m_hFrame && nMessage == WM_NOTIFY)
            {
                const auto* pHeader = reinterpret_cast<const NMHDR*>(lParam);
                m_Notified.emplace_back(pHeader->hwndFrom, pHeader->code);
            }
            return std::nullopt;
        };
    }

    // A window's rectangle in its parent's client coordinates.
    RECT InParent(HWND hWnd)
    {
        RECT rc{};
        GetWindowRect(hWnd, &rc);
        MapWindowPoints(nullptr, GetParent(hWnd), reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    }
    RECT Client(HWND hWnd)
    {
        RECT rc{};
        GetClientRect(hWnd, &rc);
        return rc;
    }
    DWORD Pixel(HWND hWnd, int x, int y)
    {
        win32::Image32 image;
        EXPECT_TRUE(win32::GetWindowImage(hWnd, image));
        return image.m_Pixels[static_cast<size_t>(y) * image.m_nWidth + x] & 0xFFFFFF;
    }
    // The WM_NOTIFY codes the frame received from one control since the log was cleared (the
    // header lives only while the message is sent, so it is read then).
    std::vector<UINT> NotifyCodes(HWND hFrom)
    {
        std::vector<UINT> codes;
        for (const auto& n : m_Notified)
            if (n.first == hFrom)
                codes.push_back(n.second);
        return codes;
    }
    void ClearLog()
    {
        MessageLog().clear();
        m_Notified.clear();
    }
    HWND CreateStatus(DWORD nStyle)
    {
        return CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | nStyle, 0, 0, 0, 0, m_hFrame,
                               reinterpret_cast<HMENU>(59393), nullptr, nullptr);
    }
    HWND CreateReBar(DWORD nStyle)
    {
        return CreateWindowExA(0, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | nStyle, 0, 0, 0, 0,
                               m_hFrame, reinterpret_cast<HMENU>(59392), nullptr, nullptr);
    }
    // A system colour as a snapshot pixel (0x00RRGGBB).
    static DWORD Rgb(int nSysColor) { return GetSysColor(nSysColor) >> 16 | (GetSysColor(nSysColor) & 0xFF00) |
                                             (GetSysColor(nSysColor) & 0xFF) << 16; }

    HWND m_hFrame = nullptr;
    HWND m_hSolid = nullptr;   // painted teal
    std::vector<std::pair<HWND, UINT>> m_Notified;
};
}

TEST_F(BarsTest, StatusBarLiesAlongTheBottomAndFollowsItsParent)
{
    HWND hStatus = CreateStatus(SBARS_SIZEGRIP);
    ASSERT_NE(hStatus, nullptr);
    RECT rcFrame = Client(m_hFrame);
    RECT rc = InParent(hStatus);
    int nHeight = rc.bottom - rc.top;
    EXPECT_GT(nHeight, 15);
    EXPECT_EQ(rc.bottom, rcFrame.bottom);
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.right, rcFrame.right);

    // The parent hands its WM_SIZE on; the bar moves and keeps its height.
    SetWindowPos(m_hFrame, nullptr, 0, 0, 500, 350, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(hStatus, WM_SIZE, 0, 0);
    rcFrame = Client(m_hFrame);
    rc = InParent(hStatus);
    EXPECT_EQ(rc.bottom, rcFrame.bottom);
    EXPECT_EQ(rc.right, rcFrame.right);
    EXPECT_EQ(rc.bottom - rc.top, nHeight);

    // CCS_TOP puts it at the top; CCS_NORESIZE leaves it where it was made.
    HWND hTop = CreateStatus(CCS_TOP);
    EXPECT_EQ(InParent(hTop).top, 0);
    HWND hFixed = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | CCS_NORESIZE, 10, 20, 50, 30, m_hFrame, nullptr,
                                  nullptr, nullptr);
    RECT rcFixed = InParent(hFixed);
    EXPECT_EQ(rcFixed.left, 10);
    EXPECT_EQ(rcFixed.bottom, 50);
    // A bigger minimum height makes a taller bar.
    SendMessageA(hStatus, SB_SETMINHEIGHT, 40, 0);
    SendMessageA(hStatus, WM_SIZE, 0, 0);
    EXPECT_EQ(InParent(hStatus).bottom - InParent(hStatus).top, 40);
}

TEST_F(BarsTest, StatusBarPartsTextsAndSimpleMode)
{
    HWND hStatus = CreateStatus(SBARS_SIZEGRIP);
    int borders[3] = {};
    ASSERT_TRUE(SendMessageA(hStatus, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders)));
    const int rights[] = {100, 200, -1};
    ASSERT_TRUE(SendMessageA(hStatus, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(rights)));
    EXPECT_FALSE(SendMessageA(hStatus, SB_SETPARTS, 0, reinterpret_cast<LPARAM>(rights)));
    int got[4] = {};
    EXPECT_EQ(SendMessageA(hStatus, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(got)), 3);
    EXPECT_EQ(got[1], 200);
    EXPECT_EQ(got[2], -1);

    RECT rcClient = Client(hStatus);
    RECT rc{};
    ASSERT_TRUE(SendMessageA(hStatus, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&rc)));
    EXPECT_EQ(rc.left, 100 + borders[2]);
    EXPECT_EQ(rc.right, 200);
    EXPECT_EQ(rc.top, borders[1]);
    EXPECT_EQ(rc.bottom, rcClient.bottom);
    // The last part stops at the grip.
    ASSERT_TRUE(SendMessageA(hStatus, SB_GETRECT, 2, reinterpret_cast<LPARAM>(&rc)));
    EXPECT_EQ(rc.right, rcClient.right - GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_FALSE(SendMessageA(hStatus, SB_GETRECT, 3, reinterpret_cast<LPARAM>(&rc)));

    ASSERT_TRUE(SendMessageA(hStatus, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("Ready")));
    EXPECT_FALSE(SendMessageA(hStatus, SB_SETTEXTA, 5, reinterpret_cast<LPARAM>("x")));
    char text[32] = {};
    EXPECT_EQ(SendMessageA(hStatus, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text)), MAKELRESULT(5, SBT_POPOUT));
    EXPECT_STREQ(text, "Ready");
    EXPECT_EQ(SendMessageA(hStatus, SB_GETTEXTLENGTHA, 1, 0), MAKELRESULT(5, SBT_POPOUT));
    // WM_SETTEXT is the first part's text.
    SetWindowTextA(hStatus, "Open an Quenlaris file");
    SendMessageA(hStatus, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Open an Quenlaris file");
    GetWindowTextA(hStatus, text, 5);
    EXPECT_STREQ(text, "Open");

    // Simple mode shows one pane with its own text; the parts come back with theirs.
    SendMessageA(hStatus, SB_SIMPLE, TRUE, 0);
    EXPECT_TRUE(SendMessageA(hStatus, SB_ISSIMPLE, 0, 0));
    SendMessageA(hStatus, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>("Simple"));
    ASSERT_TRUE(SendMessageA(hStatus, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&rc)));
    EXPECT_EQ(rc.left, 0);
    EXPECT_EQ(rc.right, rcClient.right - GetSystemMetrics(SM_CXVSCROLL));
    SendMessageA(hStatus, SB_SIMPLE, FALSE, 0);
    SendMessageA(hStatus, SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Ready");
    SendMessageA(hStatus, SB_GETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Simple");
}

TEST_F(BarsTest, StatusBarDrawsSunkenPanesAndAGripThatSizesTheFrame)
{
    HWND hStatus = CreateStatus(SBARS_SIZEGRIP);
    const int rights[] = {100, -1};
    SendMessageA(hStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    m_Driver.pumpUntilIdle();
    RECT rcClient = Client(hStatus);
    RECT rc{};
    SendMessageA(hStatus, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&rc));
    // Sunken pane: shadow on the top-left, highlight on the bottom-right, face outside.
    EXPECT_EQ(Pixel(hStatus, rc.left + 5, rc.top), Rgb(COLOR_3DSHADOW));
    EXPECT_EQ(Pixel(hStatus, rc.left + 5, rc.bottom - 1), Rgb(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(Pixel(hStatus, rc.left + 5, 0), Rgb(COLOR_3DFACE));
    // Grip ridges on the corner's diagonals: highlight at 1, shadow at 2 and 3, face at 4.
    int cx = rcClient.right, cy = rcClient.bottom;
    EXPECT_EQ(Pixel(hStatus, cx - 1, cy - 1), Rgb(COLOR_3DHIGHLIGHT));
    EXPECT_EQ(Pixel(hStatus, cx - 2, cy - 1), Rgb(COLOR_3DSHADOW));
    EXPECT_EQ(Pixel(hStatus, cx - 1, cy - 3), Rgb(COLOR_3DSHADOW));
    EXPECT_EQ(Pixel(hStatus, cx - 4, cy - 1), Rgb(COLOR_3DFACE));
    EXPECT_EQ(Pixel(hStatus, cx - 5, cy - 1), Rgb(COLOR_3DHIGHLIGHT));

    POINT ptGrip{cx - 2, cy - 2};
    ClientToScreen(hStatus, &ptGrip);
    EXPECT_EQ(SendMessageA(hStatus, WM_NCHITTEST, 0, MAKELPARAM(ptGrip.x, ptGrip.y)), HTBOTTOMRIGHT);
    ClearLog();
    SendMessageA(hStatus, WM_NCLBUTTONDOWN, HTBOTTOMRIGHT, MAKELPARAM(ptGrip.x, ptGrip.y));
    EXPECT_EQ(MessagesOf(m_hFrame, {WM_NCLBUTTONDOWN}).size(), 1u);

    // A maximised frame cannot be sized: no grip, and the last part runs to the end.
    ShowWindow(m_hFrame, SW_MAXIMIZE);
    SendMessageA(hStatus, WM_SIZE, 0, 0);
    rcClient = Client(hStatus);
    ptGrip = POINT{rcClient.right - 2, rcClient.bottom - 2};
    ClientToScreen(hStatus, &ptGrip);
    EXPECT_EQ(SendMessageA(hStatus, WM_NCHITTEST, 0, MAKELPARAM(ptGrip.x, ptGrip.y)), HTCLIENT);
    SendMessageA(hStatus, SB_GETRECT, 1, reinterpret_cast<LPARAM>(&rc));
    EXPECT_EQ(rc.right, rcClient.right);
}

TEST_F(BarsTest, ReBarTakesItsBandsChildAndSizesIt)
{
    HWND hReBar = CreateReBar(RBS_BANDBORDERS);
    ASSERT_NE(hReBar, nullptr);
    HWND hChild = Create("menubar", WS_CHILD | WS_VISIBLE, 0, 0, 60, 22, m_hFrame, 7);
    ClearLog();
    REBARBANDINFOA band{};
    band.cbSize = sizeof(band);
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE;
    band.fStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP;
    band.hwndChild = hChild;
    band.cyMinChild = 22;
    ASSERT_TRUE(SendMessageA(hReBar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(GetParent(hChild), hReBar);
    EXPECT_EQ(SendMessageA(hReBar, RB_GETBANDCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(hReBar, RB_GETROWCOUNT, 0, 0), 1);

    // The bar spans the frame's top at the band's height; the child fills the band after the
    // header, between the band's margins.
    RECT rcBorders{};
    ASSERT_TRUE(SendMessageA(hReBar, RB_GETBANDBORDERS, 0, reinterpret_cast<LPARAM>(&rcBorders)));
    int nHeight = static_cast<int>(SendMessageA(hReBar, RB_GETBARHEIGHT, 0, 0));
    EXPECT_EQ(nHeight, 22 + rcBorders.top + rcBorders.bottom);
    RECT rcBar = InParent(hReBar);
    EXPECT_EQ(rcBar.top, 0);
    EXPECT_EQ(rcBar.right, Client(m_hFrame).right);
    EXPECT_EQ(rcBar.bottom, nHeight);
    RECT rcChild = InParent(hChild);
    EXPECT_EQ(rcChild.left, rcBorders.left);
    EXPECT_GT(rcBorders.left, 0);   // the gripper
    EXPECT_EQ(rcChild.top, rcBorders.top);
    EXPECT_EQ(rcChild.right, Client(hReBar).right);
    EXPECT_EQ(rcChild.bottom, rcBorders.top + 22);
    EXPECT_EQ(NotifyCodes(hReBar), std::vector<UINT>{RBN_HEIGHTCHANGE});

    // A taller child makes a taller bar, told once; the same size again tells nothing.
    band.fMask = RBBIM_CHILDSIZE;
    band.cyMinChild = 30;
    ClearLog();
    SendMessageA(hReBar, RB_SETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
    SendMessageA(hReBar, RB_SETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band));
    EXPECT_EQ(NotifyCodes(hReBar), std::vector<UINT>{RBN_HEIGHTCHANGE});
    EXPECT_EQ(InParent(hReBar).bottom, 30 + rcBorders.top + rcBorders.bottom);
    EXPECT_EQ(InParent(hChild).bottom - InParent(hChild).top, 30);

    // A wider frame widens the bar and the child with it.
    SetWindowPos(m_hFrame, nullptr, 0, 0, 600, 300, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(hReBar, WM_SIZE, 0, 0);
    EXPECT_EQ(InParent(hChild).right, Client(m_hFrame).right);

    // The child's commands and notifications go on to the frame.
    ClearLog();
    SendMessageA(hReBar, WM_COMMAND, MAKEWPARAM(57601, 0), reinterpret_cast<LPARAM>(hChild));
    NMHDR nm{hChild, 7, NM_CUSTOMDRAW};
    SendMessageA(hReBar, WM_NOTIFY, 7, reinterpret_cast<LPARAM>(&nm));
    EXPECT_EQ(MessagesOf(m_hFrame, {WM_COMMAND, WM_NOTIFY}), (std::vector<UINT>{WM_COMMAND, WM_NOTIFY}));

    band.fMask = RBBIM_STYLE | RBBIM_CHILD;
    ASSERT_TRUE(SendMessageA(hReBar, RB_GETBANDINFOA, 0, reinterpret_cast<LPARAM>(&band)));
    EXPECT_EQ(band.hwndChild, hChild);
    EXPECT_EQ(band.fStyle, static_cast<UINT>(RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP));
    EXPECT_FALSE(SendMessageA(hReBar, RB_GETBANDINFOA, 1, reinterpret_cast<LPARAM>(&band)));
}

TEST_F(BarsTest, ReBarRowsAndAFixedSizeBar)
{
    // CCS_NORESIZE: the parent places the bar, so the height change is only told.
    HWND hReBar = CreateReBar(RBS_BANDBORDERS | RBS_VARHEIGHT | CCS_NORESIZE);
    HWND hOne = Create("one", WS_CHILD, 0, 0, 40, 20, m_hFrame);
    HWND hTwo = Create("two", WS_CHILD, 0, 0, 40, 26, m_hFrame);
    ClearLog();
    REBARBANDINFOA band{};
    band.fMask = RBBIM_CHILD | RBBIM_STYLE | RBBIM_SIZE | RBBIM_TEXT;
    band.hwndChild = hOne;
    band.cx = 150;
    band.lpText = const_cast<char*>("Tools");
    SendMessageA(hReBar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    band.fMask = RBBIM_CHILD | RBBIM_STYLE;
    band.fStyle = RBBS_BREAK;
    band.hwndChild = hTwo;
    SendMessageA(hReBar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    EXPECT_EQ(SendMessageA(hReBar, RB_GETROWCOUNT, 0, 0), 2);
    // Rows of 20 and 26 plus their margins, with an etched line between them.
    EXPECT_EQ(SendMessageA(hReBar, RB_GETROWHEIGHT, 0, 0), 24);
    EXPECT_EQ(SendMessageA(hReBar, RB_GETROWHEIGHT, 1, 0), 30);
    EXPECT_EQ(SendMessageA(hReBar, RB_GETBARHEIGHT, 0, 0), 24 + 2 + 30);
    EXPECT_EQ(NotifyCodes(hReBar), (std::vector<UINT>{RBN_HEIGHTCHANGE, RBN_HEIGHTCHANGE}));
    EXPECT_EQ(InParent(hReBar).bottom, 0);   // made 0 x 0 and left so
    // Two bands: both have grippers; the titled band's header holds its text too.
    RECT rcOne{}, rcTwo{};
    SendMessageA(hReBar, RB_GETBANDBORDERS, 0, reinterpret_cast<LPARAM>(&rcOne));
    SendMessageA(hReBar, RB_GETBANDBORDERS, 1, reinterpret_cast<LPARAM>(&rcTwo));
    EXPECT_GT(rcOne.left, rcTwo.left);
    EXPECT_TRUE(IsWindowVisible(hTwo) || !IsWindowVisible(hReBar));

    // Hiding the second band removes its row and hides its child.
    ClearLog();
    SendMessageA(hReBar, RB_SHOWBAND, 1, FALSE);
    EXPECT_EQ(SendMessageA(hReBar, RB_GETROWCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageA(hReBar, RB_GETBARHEIGHT, 0, 0), 24);
    EXPECT_FALSE(GetWindowLongPtrA(hTwo, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(NotifyCodes(hReBar), std::vector<UINT>{RBN_HEIGHTCHANGE});
    EXPECT_EQ(SendMessageA(hReBar, RB_IDTOINDEX, 0, 0), 0);
    EXPECT_TRUE(SendMessageA(hReBar, RB_DELETEBAND, 0, 0));
    EXPECT_EQ(SendMessageA(hReBar, RB_GETBANDCOUNT, 0, 0), 1);
}

TEST_F(BarsTest, FrameWithReBarAndStatusBarMatchesItsGolden)
{
    SetWindowPos(m_hFrame, nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowTextA(m_hFrame, "Untitled - Quenlaris");
    HWND hReBar = CreateReBar(RBS_BANDBORDERS);
    m_hSolid = Create("band", WS_CHILD | WS_VISIBLE, 0, 0, 80, 20, m_hFrame, 7);
    REBARBANDINFOA band{};
    band.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_TEXT;
    band.fStyle = RBBS_GRIPPERALWAYS | RBBS_FIXEDBMP;
    band.hwndChild = m_hSolid;
    band.cyMinChild = 20;
    band.lpText = const_cast<char*>("Menu");
    SendMessageA(hReBar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
    HWND hStatus = CreateStatus(SBARS_SIZEGRIP);
    const int rights[] = {120, -1};
    SendMessageA(hStatus, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(rights));
    SendMessageA(hStatus, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Ready"));
    SendMessageA(hStatus, SB_SETTEXTA, 1 | SBT_POPOUT, reinterpret_cast<LPARAM>("\tmid\tend"));
    m_Driver.pumpUntilIdle();
    int nDiffering = CompareWithGolden(m_hFrame, "frame_bars");
    if (nDiffering < 0)
        GTEST_SKIP() << "the DejaVu font files differ from the ones the golden was drawn with";
    EXPECT_EQ(nDiffering, 0);
}
