// Non-client hit testing and the move/size loop that a press on a caption or border starts:
// the proposed rectangles, a handler's change to them, child windows, Esc and the capture.
#include "WindowTestKit.h"

namespace
{
// Where an event of interest happened, with the rectangle it carried.
struct LoopEvent
{
    UINT m_nMessage;
    WPARAM m_wParam;
    RECT m_rc;
};

class SizeMoveTest : public WindowTest
{
protected:
    std::vector<LoopEvent> m_Events;
    std::vector<POINT> m_CursorAtMoving;
    std::function<void(RECT&)> m_fnChange;   // what the window does to a proposal
    bool m_bClientIsCaption = false;         // answer HTCLIENT as HTCAPTION (drag by the client area)

    void SetUp() override
    {
        WindowTest::SetUp();
        CurrentHandler() = [this](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
            if (m == WM_NCHITTEST && m_bClientIsCaption)
            {
                LRESULT r = DefWindowProcA(h, m, w, l);
                return r == HTCLIENT ? HTCAPTION : r;
            }
            if (m == WM_MOVING || m == WM_SIZING)
            {
                RECT& rc = *reinterpret_cast<RECT*>(l);
                POINT pt;
                GetCursorPos(&pt);
                m_CursorAtMoving.push_back(pt);
                m_Events.push_back({m, w, rc});
                if (m_fnChange)
                    m_fnChange(rc);
                return TRUE;
            }
            if (m == WM_ENTERSIZEMOVE || m == WM_EXITSIZEMOVE || m == WM_CAPTURECHANGED)
                m_Events.push_back({m, w, RECT{}});
            return std::nullopt;
        };
    }

    // Press at a point, move through the others 10 ms apart, release at the last. The loop takes
    // them as they fall due, as it would from a user.
    void Drag(std::initializer_list<POINT> points)
    {
        std::vector<POINT> path(points);
        m_Driver.mouse(path.front(), 0, true);
        for (size_t i = 1; i < path.size(); ++i)
            m_Driver.at(static_cast<int>(i) * 10, [this, pt = path[i]] { m_Driver.mouse(pt); });
        m_Driver.at(static_cast<int>(path.size()) * 10, [this, pt = path.back()] { m_Driver.mouse(pt, 0, false); });
        m_Driver.pumpUntilIdle();
    }

    std::vector<UINT> EventMessages() const
    {
        std::vector<UINT> out;
        for (const LoopEvent& e : m_Events)
            out.push_back(e.m_nMessage);
        return out;
    }
};

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(SizeMoveTest, HitTestCodesOfAFramedCaptionedWindow)
{
    // Frame 4, caption 19: the client area starts 23 pixels down.
    HWND hWnd = Create("Framed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 150);
    HWND hLabel = Create("", WS_CHILD | WS_VISIBLE, 10, 10, 50, 20, hWnd, 5);
    m_Driver.pumpUntilIdle();
    struct Case
    {
        POINT m_pt;
        LRESULT m_nHit;
    };
    const Case cases[] = {
        {{101, 101}, HTTOPLEFT},   {{150, 101}, HTTOP},       {{298, 101}, HTTOPRIGHT}, {{101, 150}, HTLEFT},
        {{299, 150}, HTRIGHT},     {{101, 248}, HTBOTTOMLEFT}, {{150, 249}, HTBOTTOM},  {{299, 249}, HTBOTTOMRIGHT},
        {{150, 110}, HTCAPTION},   {{150, 180}, HTCLIENT},    {{99, 150}, HTNOWHERE},   {{300, 150}, HTNOWHERE},
        // The close button: 16 x 14, 2 pixels in from the caption's right and top.
        {{278, 106}, HTCLOSE},     {{293, 119}, HTCLOSE},     {{277, 110}, HTCAPTION},  {{294, 110}, HTCAPTION},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(c.m_pt.x, c.m_pt.y)), c.m_nHit)
            << c.m_pt.x << "," << c.m_pt.y;

    // A child answering HTTRANSPARENT lets the press through to its parent, in the parent's
    // client coordinates; a press on the caption goes out as WM_NCLBUTTONDOWN with a screen point.
    CurrentHandler() = [hLabel](HWND h, UINT m, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (h == hLabel && m == WM_NCHITTEST)
            return HTTRANSPARENT;
        if (m == WM_SYSCOMMAND)
            return 0;   // no move loop here
        return std::nullopt;
    };
    POINT ptLabel{15, 15};
    ClientToScreen(hWnd, &ptLabel);
    MessageLog().clear();
    m_Driver.mouse(ptLabel, 0, true);
    m_Driver.mouse(ptLabel, 0, false);
    m_Driver.mouse(POINT{150, 110}, 0, true);
    m_Driver.pumpUntilIdle();
    std::vector<LoggedMessage> presses;
    for (const LoggedMessage& m : MessageLog())
        if (m.m_nMessage == WM_LBUTTONDOWN || m.m_nMessage == WM_NCLBUTTONDOWN)
            presses.push_back(m);
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(presses[0].m_hWnd, hWnd);
    EXPECT_EQ(presses[0].m_lParam, MAKELPARAM(15, 15));
    EXPECT_EQ(presses[1].m_nMessage, static_cast<UINT>(WM_NCLBUTTONDOWN));
    EXPECT_EQ(presses[1].m_wParam, static_cast<WPARAM>(HTCAPTION));
    EXPECT_EQ(presses[1].m_lParam, MAKELPARAM(150, 110));
}

TEST_F(SizeMoveTest, ThePressOnTheCloseButtonClosesTheWindow)
{
    HWND hWnd = Create("Closable", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 200, 150);
    m_Driver.pumpUntilIdle();
    // Dialog frame 3: the caption spans y 103..121 and ends at x 297, so the button is 279..294.
    EXPECT_EQ(SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(279, 105)), HTCLOSE);
    EXPECT_EQ(SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(278, 105)), HTCAPTION);
    m_Driver.mouse(POINT{285, 110}, 0, true);
    m_Driver.mouse(POINT{285, 110}, 0, false);
    m_Driver.pumpUntilIdle();
    EXPECT_FALSE(IsWindow(hWnd));
}

TEST_F(SizeMoveTest, CaptionDragProposesShiftedRectanglesAndHonoursTheirChange)
{
    HWND hWnd = Create("Dialog", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 100, 100, 200, 150);
    m_Driver.pumpUntilIdle();
    // The window keeps its top at y = 0 once the proposal comes within 10 pixels of it.
    m_fnChange = [](RECT& rc) {
        if (rc.top < 10)
            OffsetRect(&rc, 0, -rc.top);
    };
    Drag({{150, 110}, {160, 115}, {170, 15}});
    EXPECT_EQ(EventMessages(), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_MOVING, WM_MOVING, WM_CAPTURECHANGED,
                                                  WM_EXITSIZEMOVE}));
    ASSERT_GE(m_Events.size(), 3u);
    EXPECT_TRUE(SameRect(m_Events[1].m_rc, RECT{110, 105, 310, 255}));
    EXPECT_TRUE(SameRect(m_Events[2].m_rc, RECT{120, 5, 320, 155}));
    RECT rc;
    GetWindowRect(hWnd, &rc);
    EXPECT_TRUE(SameRect(rc, RECT{120, 0, 320, 150})) << rc.left << "," << rc.top;
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(win32::GetModalDepth(), 0);

    // A press sent without the button held starts no loop.
    m_Events.clear();
    SendMessageA(hWnd, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(150, 10));
    EXPECT_TRUE(m_Events.empty());
}

TEST_F(SizeMoveTest, ChildDraggedByItsClientAreaMovesInScreenCoordinatesWithinItsParent)
{
    HWND hParent = Create("View", WS_POPUP | WS_VISIBLE, 50, 40, 400, 300);
    HWND hChild = Create("Tool", WS_CHILD | WS_VISIBLE, 20, 30, 100, 80, hParent, 131);
    m_Driver.pumpUntilIdle();
    m_bClientIsCaption = true;
    // Dragging far to the upper left: the cursor stops at the parent's client corner (50, 40).
    Drag({{100, 100}, {90, 95}, {-200, -300}});
    ASSERT_EQ(m_CursorAtMoving.size(), 2u);
    EXPECT_EQ(m_CursorAtMoving[0].x, 90);
    EXPECT_EQ(m_CursorAtMoving[1].x, 50);
    EXPECT_EQ(m_CursorAtMoving[1].y, 40);
    // Start rectangle on the screen: (70, 70)-(170, 150); the travel is (-10, -5), then (-50, -60).
    ASSERT_EQ(m_Events.size(), 5u);
    EXPECT_TRUE(SameRect(m_Events[1].m_rc, RECT{60, 65, 160, 145}));
    EXPECT_TRUE(SameRect(m_Events[2].m_rc, RECT{20, 10, 120, 90}));
    RECT rc;
    GetWindowRect(hChild, &rc);
    EXPECT_TRUE(SameRect(rc, RECT{20, 10, 120, 90}));
    POINT pt{0, 0};
    MapWindowPoints(hChild, hParent, &pt, 1);
    EXPECT_EQ(pt.x, -30);
    EXPECT_EQ(pt.y, -30);
}

TEST_F(SizeMoveTest, BorderDragSizesFromThatEdgeAndTheHandlerCanLimitIt)
{
    struct Case
    {
        POINT m_ptPress;   // on the border
        POINT m_ptTravel;
        WPARAM m_nEdge;
        RECT m_rcProposed;
    };
    // Window (100, 100)-(300, 250), frame 4.
    const Case cases[] = {
        {{298, 248}, {30, 20}, WMSZ_BOTTOMRIGHT, {100, 100, 330, 270}},
        {{101, 150}, {-15, 40}, WMSZ_LEFT, {85, 100, 300, 250}},
        {{150, 101}, {5, 500}, WMSZ_TOP, {100, 250, 300, 250}},   // past the bottom: stops there
    };
    for (const Case& c : cases)
    {
        HWND hWnd = Create("Sized", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 150);
        m_Driver.pumpUntilIdle();
        m_Events.clear();
        Drag({c.m_ptPress, {c.m_ptPress.x + c.m_ptTravel.x, c.m_ptPress.y + c.m_ptTravel.y}});
        ASSERT_EQ(m_Events.size(), 4u);
        EXPECT_EQ(m_Events[1].m_nMessage, static_cast<UINT>(WM_SIZING));
        EXPECT_EQ(m_Events[1].m_wParam, c.m_nEdge);
        EXPECT_TRUE(SameRect(m_Events[1].m_rc, c.m_rcProposed)) << c.m_nEdge;
        RECT rc;
        GetWindowRect(hWnd, &rc);
        EXPECT_TRUE(SameRect(rc, c.m_rcProposed)) << c.m_nEdge;
        DestroyWindow(hWnd);
    }

    // A handler holding the width at 180 at least wins over the proposal.
    HWND hWnd = Create("Limited", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200, 150);
    m_Driver.pumpUntilIdle();
    m_fnChange = [](RECT& rc) { rc.right = std::max(rc.right, rc.left + 180); };
    Drag({{298, 248}, {228, 268}});
    RECT rc;
    GetWindowRect(hWnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 180);
    EXPECT_EQ(rc.bottom - rc.top, 170);
    RECT rcClient;
    GetClientRect(hWnd, &rcClient);
    EXPECT_EQ(rcClient.right, 180 - 8);
}

TEST_F(SizeMoveTest, EscapeRestoresTheStartAndOtherWindowsKeepTheirMessages)
{
    HWND hWnd = Create("Dialog", WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 200, 150);
    HWND hOther = Create("Other", WS_POPUP | WS_VISIBLE, 500, 500, 50, 50);
    m_Driver.pumpUntilIdle();
    m_Driver.mouse(POINT{150, 110}, 0, true);
    m_Driver.mouse(POINT{190, 160});
    m_Driver.at(5, [&] { PostMessageA(hOther, WM_USER + 7, 1, 2); });
    m_Driver.at(10, [&] { m_Driver.key(VK_ESCAPE); });
    MessageLog().clear();
    m_Driver.pumpUntilIdle();
    m_Driver.advance(20);
    m_Driver.pumpUntilIdle();
    RECT rc;
    GetWindowRect(hWnd, &rc);
    EXPECT_TRUE(SameRect(rc, RECT{100, 100, 300, 250}));
    EXPECT_EQ(EventMessages(), (std::vector<UINT>{WM_ENTERSIZEMOVE, WM_MOVING, WM_CAPTURECHANGED, WM_EXITSIZEMOVE}));
    EXPECT_EQ(MessagesOf(hOther, {WM_USER + 7}).size(), 1u);
    EXPECT_TRUE(MessagesOf(hWnd, {WM_KEYDOWN, WM_CHAR}).empty());   // the loop took the key
    EXPECT_EQ(GetCapture(), nullptr);
}
}
