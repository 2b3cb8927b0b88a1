// CWnd's window services: a cursor chosen in OnSetCursor, RedrawWindow painting at once, and the
// window's own scroll bars reaching OnVScroll with no scroll bar control.
#include "MfcTestKit.h"

#include <mfc/afxcmn.h>
#include <win32/cursor.h>

namespace
{
class CServicesWnd : public CWnd
{
public:
    std::vector<std::string> m_Events;
    HCURSOR m_hCursor = nullptr;

protected:
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
    {
        m_Events.push_back("cursor " + std::to_string(pWnd == this) + " " + std::to_string(nHitTest) + " " +
                           std::to_string(message));
        if (nHitTest != HTCLIENT)
            return CWnd::OnSetCursor(pWnd, nHitTest, message);
        ::SetCursor(m_hCursor);
        return TRUE;
    }
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        m_Events.push_back("paint");
    }
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
    {
        m_Events.push_back("vscroll " + std::to_string(nSBCode) + " " + std::to_string(nPos) + " " +
                           std::to_string(pScrollBar == nullptr));
        if (nSBCode == SB_LINEDOWN)
            SetScrollPos(SB_VERT, GetScrollPos(SB_VERT) + 1);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CServicesWnd, CWnd)
    ON_WM_SETCURSOR()
    ON_WM_PAINT()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()
}

TEST_F(MfcTest, SetCursorRedrawAndScrollBarsReachTheirHandlers)
{
    CServicesWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "services", WS_POPUP | WS_BORDER | WS_VISIBLE,
                             CRect(100, 100, 302, 252), nullptr, 0));
    m_Driver.pumpUntilIdle();

    // The mouse over the client area asks the window for its cursor.
    const BYTE andPlane[4 * 2] = {};
    const BYTE xorPlane[4 * 2] = {};
    wnd.m_hCursor = ::CreateCursor(nullptr, 0, 0, 16, 2, andPlane, xorPlane);
    wnd.m_Events.clear();
    m_Driver.mouse(CPoint(150, 150));
    m_Driver.pumpUntilIdle();
    ASSERT_FALSE(wnd.m_Events.empty());
    EXPECT_EQ(wnd.m_Events.front(), "cursor 1 1 512");   // HTCLIENT, WM_MOUSEMOVE
    EXPECT_EQ(::GetCursor(), wnd.m_hCursor);

    // RedrawWindow paints before it returns.
    wnd.m_Events.clear();
    EXPECT_TRUE(wnd.RedrawWindow());
    EXPECT_EQ(wnd.m_Events, std::vector<std::string>{"paint"});

    // A range shows the bar; a press on its down arrow reaches OnVScroll without a control.
    wnd.SetScrollRange(SB_VERT, 0, 4, FALSE);
    CRect rcClient;
    wnd.GetClientRect(&rcClient);
    EXPECT_EQ(rcClient.Width(), 200 - GetSystemMetrics(SM_CXVSCROLL));
    wnd.m_Events.clear();
    CPoint ptDown(100 + 1 + rcClient.Width() + 8, 100 + 150 - 4);
    m_Driver.mouse(ptDown, 0, true);
    m_Driver.at(10, [&] { m_Driver.mouse(ptDown, 0, false); });
    m_Driver.pumpUntilIdle();
    std::vector<std::string> scrolls;
    for (const std::string& e : wnd.m_Events)
        if (e.rfind("vscroll", 0) == 0)
            scrolls.push_back(e);
    EXPECT_EQ(scrolls, (std::vector<std::string>{"vscroll 1 0 1", "vscroll 8 0 1"}));
    EXPECT_EQ(wnd.GetScrollPos(SB_VERT), 1);
    SCROLLINFO si{};
    EXPECT_TRUE(wnd.GetScrollInfo(SB_VERT, &si, SIF_RANGE | SIF_POS));
    EXPECT_EQ(si.nMax, 4);
    wnd.SetScrollRange(SB_VERT, 0, 0);
    wnd.GetClientRect(&rcClient);
    EXPECT_EQ(rcClient.Width(), 200);
    wnd.DestroyWindow();
    ::DestroyCursor(wnd.m_hCursor);
}
