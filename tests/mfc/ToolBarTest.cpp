// CToolBarCtrl with a reflected custom draw, CToolBar brought up to date by the command route,
// and CToolTipCtrl fed by RelayEvent.
#include "MfcTestKit.h"

#include <mfc/afxcmn.h>
#include <mfc/afxext.h>

namespace
{
// A bar that draws its own items, as a menu bar does, through the reflected notification.
class CRecordingBar : public CToolBarCtrl
{
public:
    std::vector<DWORD> m_Stages;

protected:
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
    {
        auto* pcd = reinterpret_cast<NMTBCUSTOMDRAW*>(pNMHDR);
        m_Stages.push_back(pcd->nmcd.dwDrawStage);
        *pResult = pcd->nmcd.dwDrawStage == CDDS_PREPAINT ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordingBar, CToolBarCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CRecordingBar::OnCustomDraw)
END_MESSAGE_MAP()

class ToolBarTest : public MfcTest
{
protected:
    void SetUp() override
    {
        MfcTest::SetUp();
        m_pFrame = StartUp(m_App);
        ASSERT_NE(m_pFrame, nullptr);
        m_pFrame->SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOZORDER);
        m_pFrame->ShowWindow(SW_SHOW);
    }
    CTestApp m_App;
    CTestFrame* m_pFrame = nullptr;
};
}

TEST_F(ToolBarTest, ControlReflectsItsCustomDrawAndRoutesClicksToTheFrame)
{
    CRecordingBar bar;
    ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE, CRect(0, 0, 300, 24),
                           m_pFrame, 7));
    EXPECT_EQ(bar.AddStrings("&App\0&Frame\0"), 0);
    bar.SetBitmapSize(CSize(1, 1));
    TBBUTTON buttons[2] = {TBBUTTON{0, ID_TEST_APP, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 0},
                           TBBUTTON{0, ID_TEST_FRAME, TBSTATE_ENABLED, TBSTYLE_BUTTON, {}, 0, 1}};
    ASSERT_TRUE(bar.AddButtons(2, buttons));
    EXPECT_EQ(bar.GetButtonCount(), 2);
    EXPECT_STREQ(bar.GetButtonText(ID_TEST_FRAME), "&Frame");
    EXPECT_EQ(bar.SetHotItem(1), -1);
    EXPECT_EQ(bar.GetHotItem(), 1);
    bar.Invalidate();
    m_Driver.pumpUntilIdle();
    // The frame never sees the notification: the bar's reflected entry takes it.
    EXPECT_EQ(bar.m_Stages, (std::vector<DWORD>{CDDS_PREPAINT, CDDS_ITEMPREPAINT, CDDS_ITEMPREPAINT}));

    CRect rc;
    ASSERT_TRUE(bar.GetItemRect(0, &rc));
    CPoint pt = rc.CenterPoint();
    EXPECT_EQ(bar.HitTest(&pt), 0);
    bar.ClientToScreen(&pt);
    Events().clear();
    m_Driver.mouse(pt, 0, true);
    m_Driver.mouse(pt, 0, false);
    Pump(m_App);
    EXPECT_EQ(Events(), std::vector<std::string>{"app command"});
    bar.DestroyWindow();
}

TEST_F(ToolBarTest, ToolBarButtonsFollowTheCommandRoute)
{
    CToolBar bar;
    ASSERT_TRUE(bar.CreateEx(m_pFrame, TBSTYLE_FLAT));
    const UINT ids[] = {ID_TEST_FRAME, ID_SEPARATOR, ID_TEST_DISABLED, ID_TEST_NOBODY};
    ASSERT_TRUE(bar.SetButtons(ids, 4));
    bar.SetSizes(CSize(24, 23), CSize(16, 16));
    EXPECT_EQ(bar.GetItemID(2), static_cast<UINT>(ID_TEST_DISABLED));
    EXPECT_EQ(bar.CommandToIndex(ID_TEST_NOBODY), 3);
    TBBUTTON b{};
    ASSERT_TRUE(bar.GetToolBarCtrl().GetButton(3, &b));
    EXPECT_EQ(b.iBitmap, 2);   // separators take no image
    bar.OnUpdateCmdUI(m_pFrame, TRUE);
    CToolBarCtrl& ctrl = bar.GetToolBarCtrl();
    EXPECT_TRUE(ctrl.IsButtonEnabled(ID_TEST_FRAME));
    EXPECT_FALSE(ctrl.IsButtonEnabled(ID_TEST_DISABLED));
    EXPECT_FALSE(ctrl.IsButtonEnabled(ID_TEST_NOBODY));
    EXPECT_EQ(bar.CalcFixedLayout(FALSE, TRUE), CSize(3 * 24 + 8, 23));
    bar.DestroyWindow();
}

TEST_F(ToolBarTest, ToolTipShowsForARelayedToolAndTakesNewText)
{
    CWnd* pView = m_pFrame->GetActiveView();
    ASSERT_NE(pView, nullptr);
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(pView));
    CRect rcTool(0, 0, 40, 40);
    ASSERT_TRUE(tip.AddTool(pView, "Hint", &rcTool, 1));
    EXPECT_EQ(tip.GetToolCount(), 1);
    EXPECT_EQ(tip.SetMaxTipWidth(400), -1);
    CPoint pt(10, 10);
    pView->ClientToScreen(&pt);
    m_Driver.mouse(pt);
    MSG msg{pView->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(10, 10), 0, {}};
    tip.RelayEvent(&msg);
    m_Driver.advance(tip.GetDelayTime(TTDT_INITIAL) + 10);
    m_Driver.pumpUntilIdle();
    EXPECT_TRUE(tip.IsWindowVisible());
    tip.UpdateTipText("Another hint", pView, 1);
    CString str;
    tip.GetText(str, pView, 1);
    EXPECT_STREQ(str, "Another hint");
    tip.Activate(FALSE);
    EXPECT_FALSE(tip.IsWindowVisible());
    tip.DestroyWindow();
}
