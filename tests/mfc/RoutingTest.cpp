// Command routing, accelerators, reflected notifications, the pre-translation chain, status
// prompts and the frame's layout of its bars and view.
#include "MfcTestKit.h"

namespace
{
using Strings = std::vector<std::string>;

const UINT CHILD_ID = 100;
const UINT NOTIFY_CODE = static_cast<UINT>(-2);   // a negative code, as the common controls send

// A child window that handles its own notifications (reflection).
class CReflectingWnd : public CWnd
{
public:
    BOOL m_bLetParentSee = TRUE;
    HBRUSH m_hBrush = nullptr;
    BOOL m_bEatKeys = FALSE;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message != WM_USER + 1)
            return FALSE;
        Record("child pretranslate");
        return m_bEatKeys;
    }

protected:
    BOOL OnReflectedClick()
    {
        Record("child reflected click");
        return !m_bLetParentSee;
    }
    void OnReflectedNotify(NMHDR*, LRESULT* pResult)
    {
        Record("child reflected notify");
        *pResult = 5;
    }
    HBRUSH CtlColor(CDC*, UINT nCtlColor)
    {
        Record("child ctlcolor " + std::to_string(nCtlColor));
        return m_hBrush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectingWnd, CWnd)
    ON_CONTROL_REFLECT_EX(0, &CReflectingWnd::OnReflectedClick)
    ON_NOTIFY_REFLECT(NOTIFY_CODE, &CReflectingWnd::OnReflectedNotify)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CParentWnd : public CWnd
{
protected:
    void OnChildClicked() { Record("parent click"); }
    void OnChildNotify(NMHDR* pNMHDR, LRESULT* pResult)
    {
        Record("parent notify " + std::to_string(pNMHDR->idFrom));
        *pResult = 9;
    }
    HBRUSH OnCtlColor(CDC*, CWnd*, UINT)
    {
        Record("parent ctlcolor");
        return static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_CONTROL(0, CHILD_ID, &CParentWnd::OnChildClicked)
    ON_NOTIFY(NOTIFY_CODE, CHILD_ID + 1, &CParentWnd::OnChildNotify)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// A bar of fixed thickness along one edge.
class CEdgeBar : public CControlBar
{
public:
    BOOL Create(CWnd* pParent, DWORD dwStyle, UINT nID, int nThickness)
    {
        m_nThickness = nThickness;
        AfxEndDeferRegisterClass(AFX_WNDCONTROLBAR);
        return CWnd::Create(AFX_WNDCONTROLBAR, nullptr, TakeBarStyle(dwStyle) | WS_CHILD, CRect(0, 0, 0, 0), pParent,
                            nID);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override
    {
        return bHorz ? CSize(32767, m_nThickness) : CSize(m_nThickness, 32767);
    }

private:
    int m_nThickness = 0;
};

class CCheckRecorder : public CCmdUI
{
public:
    void SetCheck(int nCheck) override { m_nCheck = nCheck; }
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    int m_nCheck = -1;
    BOOL m_bEnabled = TRUE;
};

TEST_F(MfcTest, CommandsRouteFromViewToDocumentFrameAndApplication)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    struct Case
    {
        UINT m_nID;
        Strings m_Events;
        LRESULT m_nResult;
    };
    const Case cases[] = {
        {ID_TEST_VIEW, {"view command"}, 1},   // the view wins over the frame's handler
        {ID_TEST_DOC, {"doc command"}, 1},
        {ID_TEST_FRAME, {"frame command"}, 1},
        {ID_TEST_APP, {"app command"}, 1},
        {ID_TEST_NOBODY, {}, 0},
    };
    for (const Case& c : cases)
    {
        Events().clear();
        EXPECT_EQ(pFrame->SendMessage(WM_COMMAND, c.m_nID), c.m_nResult) << c.m_nID;
        EXPECT_EQ(Events(), c.m_Events) << c.m_nID;
    }
    // Command UI: a handler anywhere on the route enables; none disables.
    CCheckRecorder ui;
    ui.m_nID = ID_TEST_APP;
    ui.DoUpdate(pFrame, TRUE);
    EXPECT_TRUE(ui.m_bEnabled);
    ui.m_nID = ID_TEST_NOBODY;
    ui.DoUpdate(pFrame, TRUE);
    EXPECT_FALSE(ui.m_bEnabled);
}

TEST_F(MfcTest, AcceleratorsGiveCommandsUnlessDisabled)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    pFrame->ShowWindow(SW_SHOW);
    ASSERT_EQ(GetFocus(), pFrame->m_hWnd);
    Pump(app);
    Events().clear();
    ASSERT_TRUE(m_Driver.key("Ctrl+O"));
    Pump(app);
    EXPECT_EQ(Events(), (Strings{"frame open"}));

    // A disabled command does nothing; the same command sent as a menu pick runs.
    Events().clear();
    ASSERT_TRUE(m_Driver.key("Ctrl+D"));
    Pump(app);
    EXPECT_EQ(Events(), Strings{});
    // Without Ctrl the letter is no accelerator.
    ASSERT_TRUE(m_Driver.key("O"));
    Pump(app);
    EXPECT_EQ(Events(), Strings{});
}

TEST_F(MfcTest, ReflectedNotificationsReachTheControlFirst)
{
    CParentWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "parent", WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0));
    CReflectingWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), &parent, CHILD_ID));

    struct Case
    {
        BOOL m_bLetParentSee;
        Strings m_Events;
    };
    const Case cases[] = {
        {TRUE, {"child reflected click", "parent click"}},   // the _EX handler declined
        {FALSE, {"child reflected click"}},
    };
    for (const Case& c : cases)
    {
        child.m_bLetParentSee = c.m_bLetParentSee;
        Events().clear();
        parent.SendMessage(WM_COMMAND, MAKEWPARAM(CHILD_ID, 0), reinterpret_cast<LPARAM>(child.m_hWnd));
        EXPECT_EQ(Events(), c.m_Events);
    }

    // A plain reflected notification is consumed; one from a window no object owns is not.
    Events().clear();
    NMHDR nm{child.m_hWnd, CHILD_ID, NOTIFY_CODE};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, CHILD_ID, reinterpret_cast<LPARAM>(&nm)), 5);
    EXPECT_EQ(Events(), (Strings{"child reflected notify"}));
    HWND hPlain = CreateWindowExA(0, AFX_WND, "", WS_CHILD, 0, 0, 5, 5, parent.m_hWnd,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(CHILD_ID + 1)), nullptr, nullptr);
    ASSERT_NE(hPlain, nullptr);
    Events().clear();
    NMHDR nmPlain{hPlain, CHILD_ID + 1, NOTIFY_CODE};
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, CHILD_ID + 1, reinterpret_cast<LPARAM>(&nmPlain)), 9);
    EXPECT_EQ(Events(), (Strings{"parent notify 101"}));

    // The control's brush wins; without one the parent chooses.
    HBRUSH hWhite = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    child.m_hBrush = hWhite;
    Events().clear();
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child.m_hWnd)),
              reinterpret_cast<LRESULT>(hWhite));
    EXPECT_EQ(Events(), (Strings{"child ctlcolor 6"}));
    child.m_hBrush = nullptr;
    Events().clear();
    EXPECT_EQ(parent.SendMessage(WM_CTLCOLORSTATIC, 0, reinterpret_cast<LPARAM>(child.m_hWnd)),
              reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(Events(), (Strings{"child ctlcolor 6", "parent ctlcolor"}));
    parent.DestroyWindow();
}

TEST_F(MfcTest, PreTranslationWalksFromTheTargetToTheMainWindow)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    CReflectingWnd child;
    ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD, CRect(0, 0, 10, 10), pFrame, 7));
    CReflectingWnd popup;
    ASSERT_TRUE(popup.CreateEx(0, nullptr, "popup", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));

    struct Case
    {
        HWND m_hTarget;
        BOOL m_bEat;
        Strings m_Events;
    };
    const Case cases[] = {
        {child.m_hWnd, FALSE, {"child pretranslate", "frame pretranslate"}},
        {child.m_hWnd, TRUE, {"child pretranslate"}},
        // Outside the main window's tree the main window still has the last word.
        {popup.m_hWnd, FALSE, {"child pretranslate", "frame pretranslate"}},
    };
    for (const Case& c : cases)
    {
        child.m_bEatKeys = popup.m_bEatKeys = c.m_bEat;
        Events().clear();
        MSG msg{c.m_hTarget, WM_USER + 1, 0, 0, 0, {0, 0}};
        EXPECT_EQ(app.PreTranslateMessage(&msg), c.m_bEat);
        EXPECT_EQ(Events(), c.m_Events);
    }
    popup.DestroyWindow();
}

TEST_F(MfcTest, FrameLaysOutBarsAndViewAndShowsPrompts)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    CEdgeBar top, status;
    CEdgeBar* pTop = &top;
    CEdgeBar* pStatus = &status;
    ASSERT_TRUE(pTop->Create(pFrame, WS_VISIBLE | CBRS_TOP, AFX_IDW_REBAR, 30));
    ASSERT_TRUE(pStatus->Create(pFrame, WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR, 20));
    pFrame->SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOZORDER | SWP_NOMOVE);

    CRect rcClient;
    pFrame->GetClientRect(&rcClient);
    auto ClientRectOf = [pFrame](CWnd* pWnd) {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        pFrame->ScreenToClient(&rc);
        return rc;
    };
    CView* pView = pFrame->GetActiveView();
    EXPECT_EQ(ClientRectOf(pTop), CRect(0, 0, rcClient.right, 30));
    EXPECT_EQ(ClientRectOf(pStatus), CRect(0, rcClient.bottom - 20, rcClient.right, rcClient.bottom));
    EXPECT_EQ(ClientRectOf(pView), CRect(0, 30, rcClient.right, rcClient.bottom - 20));

    // The status bar command hides the bar, and the view takes its place; its check follows.
    CCheckRecorder ui;
    ui.m_nID = ID_VIEW_STATUS_BAR;
    ui.DoUpdate(pFrame, TRUE);
    EXPECT_EQ(ui.m_nCheck, 1);
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(pStatus->IsVisible());
    EXPECT_EQ(ClientRectOf(pView), CRect(0, 30, rcClient.right, rcClient.bottom));
    ui.DoUpdate(pFrame, TRUE);
    EXPECT_EQ(ui.m_nCheck, 0);
    pFrame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(pStatus->IsVisible());

    // Prompts: a command's first line, nothing for a popup, "Ready" when the menu closes.
    struct Case
    {
        WPARAM m_wParam;
        const char* m_szText;
    };
    const Case cases[] = {
        {MAKEWPARAM(ID_FILE_OPEN, 0), "Open a test file"},
        {MAKEWPARAM(0, MF_POPUP), ""},
        {MAKEWPARAM(ID_TEST_APP, 0), ""},
        {MAKEWPARAM(0, 0xFFFF), "Ready"},
    };
    for (const Case& c : cases)
    {
        pFrame->SendMessage(WM_MENUSELECT, c.m_wParam, 0);
        CString strText;
        pStatus->GetWindowText(strText);
        EXPECT_STREQ(strText, c.m_szText);
    }
}
}
