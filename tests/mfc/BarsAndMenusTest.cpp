// The frame with a status bar and a one-band rebar, its prompts and command UI on menus, and
// CFileDialog over the layer's file dialog.
#include "MfcTestKit.h"

#include "../win32/GoldenKit.h"
#include "../win32/TempDir.h"

#include <mfc/afxcmn.h>
#include <mfc/afxdlgs.h>
#include <mfc/afxext.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace
{
const char CAPS_TEXT[] = "CAP";
const ResourceEntry BAR_RESOURCES[] = {{"STRING", ID_INDICATOR_CAPS, CAPS_TEXT, sizeof(CAPS_TEXT)}};

class BarsTest : public MfcTest
{
protected:
    void SetUp() override
    {
        MfcTest::SetUp();
        RegisterResourceTable(BAR_RESOURCES, 1);
        m_pFrame = StartUp(m_App);
        ASSERT_NE(m_pFrame, nullptr);
        m_pFrame->SetWindowPos(nullptr, 0, 0, 400, 300, SWP_NOZORDER);
        const char* szBandClass = AfxRegisterWndClass(0, nullptr, GetSysColorBrush(COLOR_HIGHLIGHT));
        ASSERT_TRUE(m_Band.CreateEx(0, szBandClass, "band", WS_CHILD | WS_VISIBLE, CRect(0, 0, 80, 22), m_pFrame, 7));
        ASSERT_TRUE(m_ReBar.Create(m_pFrame));
        ASSERT_TRUE(m_ReBar.AddBar(&m_Band));
        ASSERT_TRUE(m_Status.Create(m_pFrame));
        const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
        ASSERT_TRUE(m_Status.SetIndicators(indicators, 2));
        m_pFrame->RecalcLayout();
    }

    CRect ClientRectOf(CWnd* pWnd) const
    {
        CRect rc;
        pWnd->GetWindowRect(&rc);
        m_pFrame->ScreenToClient(&rc);
        return rc;
    }

    CTestApp m_App;
    CTestFrame* m_pFrame = nullptr;
    CWnd m_Band;
    CReBar m_ReBar;
    CStatusBar m_Status;
};

TEST_F(BarsTest, LayoutPlacesTheRebarTheStatusBarAndTheView)
{
    CRect rcClient;
    m_pFrame->GetClientRect(&rcClient);
    int nBarHeight = static_cast<int>(m_ReBar.GetReBarCtrl().GetBarHeight());
    EXPECT_GE(nBarHeight, 22);
    CRect rcReBar = ClientRectOf(&m_ReBar);
    EXPECT_EQ(rcReBar, CRect(0, 0, rcClient.right, nBarHeight));
    CRect rcStatus = ClientRectOf(&m_Status);
    EXPECT_EQ(rcStatus.bottom, rcClient.bottom);
    EXPECT_EQ(rcStatus.Width(), rcClient.Width());
    EXPECT_GT(rcStatus.Height(), 0);
    EXPECT_EQ(ClientRectOf(m_pFrame->GetActiveView()), CRect(0, nBarHeight, rcClient.right, rcStatus.top));

    // The band holds the child, keeps its height and gives it the band's width.
    EXPECT_EQ(m_Band.GetParent(), &m_ReBar);
    CRect rcBand;
    m_Band.GetWindowRect(&rcBand);
    EXPECT_EQ(rcBand.Height(), 22);
    EXPECT_GT(rcBand.Width(), 80);
    CRect rcBandRect;
    ASSERT_TRUE(m_ReBar.GetReBarCtrl().GetRect(0, &rcBandRect));
    EXPECT_LE(rcBand.Width(), rcBandRect.Width());

    // A wider frame widens both bars.
    m_pFrame->SetWindowPos(nullptr, 0, 0, 500, 300, SWP_NOZORDER | SWP_NOMOVE);
    m_pFrame->GetClientRect(&rcClient);
    EXPECT_EQ(ClientRectOf(&m_ReBar).Width(), rcClient.Width());
    EXPECT_EQ(ClientRectOf(&m_Status).Width(), rcClient.Width());
}

TEST_F(BarsTest, StatusBarShowsPromptsAndIndicators)
{
    EXPECT_EQ(m_Status.CommandToIndex(ID_INDICATOR_CAPS), 1);
    EXPECT_STREQ(m_Status.GetPaneText(1), "CAP");
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_FILE_OPEN, 0), 0);
    EXPECT_STREQ(m_Status.GetPaneText(0), "Open a test file");
    m_pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    EXPECT_STREQ(m_Status.GetPaneText(0), "Ready");

    // An indicator nobody handles goes blank at idle time when the frame disables it.
    m_pFrame->ShowWindow(SW_SHOW);
    m_App.OnIdle(0);
    EXPECT_STREQ(m_Status.GetPaneText(1), "");
}

TEST_F(BarsTest, MenuCommandUIFollowsTheRoute)
{
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, ID_TEST_APP, "&App");
    popup.AppendMenu(MF_SEPARATOR);
    popup.AppendMenu(MF_STRING, ID_TEST_NOBODY, "&Nobody");
    popup.AppendMenu(MF_STRING, ID_VIEW_STATUS_BAR, "&Status Bar");
    popup.AppendMenu(MF_STRING | MF_GRAYED, ID_TEST_FRAME, "&Frame");
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.m_hMenu), 0);
    EXPECT_EQ(popup.GetMenuState(ID_TEST_APP, MF_BYCOMMAND) & MF_GRAYED, 0u);
    EXPECT_EQ(popup.GetMenuState(ID_TEST_NOBODY, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(popup.GetMenuState(ID_TEST_FRAME, MF_BYCOMMAND) & MF_GRAYED, 0u);   // it has a handler
    EXPECT_EQ(popup.GetMenuState(ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    // The status bar command hides the bar; the next update unchecks its item.
    m_pFrame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(m_Status.IsVisible());
    m_pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup.m_hMenu), 0);
    EXPECT_EQ(popup.GetMenuState(ID_VIEW_STATUS_BAR, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(popup.CheckMenuItem(ID_TEST_APP, MF_CHECKED), static_cast<UINT>(MF_UNCHECKED));
    EXPECT_EQ(popup.CheckMenuItem(ID_TEST_APP, MF_UNCHECKED), static_cast<UINT>(MF_CHECKED));
    CString strText;
    popup.GetMenuString(ID_TEST_NOBODY, strText, MF_BYCOMMAND);
    EXPECT_STREQ(strText, "&Nobody");
}

TEST_F(BarsTest, TrackedPopupUpdatesItsItemsThenRoutesTheChoiceToTheApp)
{
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    popup.AppendMenu(MF_STRING, ID_TEST_NOBODY, "&Nobody");
    popup.AppendMenu(MF_STRING, ID_TEST_APP, "&App");
    m_pFrame->ShowWindow(SW_SHOW);
    // The update before showing grays the item nobody handles, so its mnemonic selects it but
    // chooses nothing; Down and Enter then reach the application's handler.
    m_Driver.key('N');
    m_Driver.key(VK_DOWN);
    m_Driver.key(VK_RETURN);
    Events().clear();
    EXPECT_TRUE(popup.TrackPopupMenu(TPM_LEFTALIGN, 50, 50, m_pFrame));
    EXPECT_EQ(popup.GetMenuState(ID_TEST_NOBODY, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    Pump(m_App);
    EXPECT_EQ(Events(), std::vector<std::string>{"app command"});
}

TEST_F(BarsTest, ClicksOnTheViewAndTheBarsGiveTheKeyboardBackToTheFrame)
{
    m_pFrame->ShowWindow(SW_SHOW);
    CRichEditCtrl pane;
    ASSERT_TRUE(pane.Create(WS_VISIBLE | WS_BORDER, CRect(0, 60, 200, 84), m_pFrame, 1000));
    for (CWnd* pTarget : {static_cast<CWnd*>(m_pFrame->GetActiveView()), static_cast<CWnd*>(&m_Status)})
    {
        pane.SetFocus();
        ASSERT_EQ(GetFocus(), pane.m_hWnd);
        ASSERT_TRUE(m_Driver.click(pTarget->m_hWnd));
        Pump(m_App);
        EXPECT_EQ(GetFocus(), m_pFrame->m_hWnd);
    }
    // A click on the pane itself gives it the focus.
    ASSERT_TRUE(m_Driver.click(pane.m_hWnd));
    Pump(m_App);
    EXPECT_EQ(GetFocus(), pane.m_hWnd);
}

TEST_F(BarsTest, FrameWithStatusBarAndRebarMatchesItsGolden)
{
    m_pFrame->ShowWindow(SW_SHOW);
    m_Status.SetPaneText(0, "Ready");
    m_Driver.pumpUntilIdle();
    int nDiffering = CompareWithGolden(m_pFrame->m_hWnd, "mfc_frame_bars");
    if (nDiffering < 0)
        GTEST_SKIP() << "the golden was drawn with other fonts";
    EXPECT_EQ(nDiffering, 0);
}

// ---- CFileDialog

class FileDialogTest : public MfcTest
{
protected:
    // A folder of its own (mkdtemp): tests of this fixture run side by side in separate processes.
    void SetUp() override
    {
        MfcTest::SetUp();
        m_Folder.Write("room.qnl", "x");
        m_Folder.Write("notes.txt", "x");
    }
    std::string PathOf(const char* szName) const { return m_Folder / szName; }

    TempDir m_Folder;
};

TEST_F(FileDialogTest, OpenAndSaveFollowTheirFlags)
{
    const char* szFilter = "Path file (*.path)|*.pth|Text Files (*.txt)|*.txt|||All Files (*.*)|*.*||";
    struct Case
    {
        BOOL m_bOpen;
        DWORD m_nFlags;
        std::vector<std::string> m_Answers;   // "" cancels
        std::vector<int> m_MessageBoxAnswers;
        INT_PTR m_nResult;
        const char* m_szPath;
    };
    const Case cases[] = {
        // The default extension is added to a bare name.
        {FALSE, OFN_OVERWRITEPROMPT, {"camera"}, {}, IDOK, "camera.path"},
        // Overwriting asks first; No lets the dialog take the next answer.
        {FALSE, OFN_OVERWRITEPROMPT, {"notes.txt", "other.txt"}, {IDNO}, IDOK, "other.txt"},
        {FALSE, OFN_OVERWRITEPROMPT, {"notes.txt"}, {IDYES}, IDOK, "notes.txt"},
        // A missing file is refused when it must exist.
        {TRUE, OFN_FILEMUSTEXIST, {"missing.qnl", "room.qnl"}, {IDOK}, IDOK, "room.qnl"},
        {TRUE, OFN_FILEMUSTEXIST, {""}, {}, IDCANCEL, nullptr},
    };
    for (const Case& c : cases)
    {
        for (const std::string& s : c.m_Answers)
            m_Driver.answers().file(s.empty() ? s : PathOf(s.c_str()));
        for (int n : c.m_MessageBoxAnswers)
            m_Driver.answers().msgbox(n);
        CFileDialog dlg(c.m_bOpen, "path", nullptr, c.m_nFlags | OFN_HIDEREADONLY, szFilter);
        EXPECT_EQ(dlg.DoModal(), c.m_nResult);
        if (c.m_szPath)
        {
            EXPECT_EQ(std::string(dlg.GetPathName()), PathOf(c.m_szPath));
            EXPECT_STREQ(dlg.GetFileName(), c.m_szPath);
        }
        EXPECT_EQ(m_Driver.answers().pending(), 0u);
        m_Driver.answers().clear();
    }
}

TEST_F(FileDialogTest, BarFilterEndsAtAnEmptyDescription)
{
    CFileDialog dlg(TRUE, nullptr, nullptr, 0, "Path file (*.path)|*.pth|Text Files (*.txt)|*.txt|||All Files (*.*)|*.*||");
    std::vector<win32::FileFilter> filters = win32::ParseFileFilter(dlg.m_ofn.lpstrFilter);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].m_strDescription, "Path file (*.path)");
    EXPECT_EQ(filters[0].m_Patterns, std::vector<std::string>{"*.pth"});
    EXPECT_EQ(filters[1].m_Patterns, std::vector<std::string>{"*.txt"});
}
}

namespace
{
// ---- CRichEditCtrl: the console panes' subset

class CNotifyParent : public CWnd
{
public:
    std::vector<UINT> m_Keys;

protected:
    void OnFilter(NMHDR* pNMHDR, LRESULT* pResult)
    {
        auto* pFilter = reinterpret_cast<MSGFILTER*>(pNMHDR);
        if (pFilter->msg == WM_KEYDOWN)
            m_Keys.push_back(static_cast<UINT>(pFilter->wParam));
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyParent, CWnd)
    ON_NOTIFY(EN_MSGFILTER, 1000, &CNotifyParent::OnFilter)
END_MESSAGE_MAP()

TEST_F(MfcTest, RichEditKeepsTextAndReportsKeysToItsParent)
{
    CNotifyParent parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "console", WS_POPUP | WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
    CRichEditCtrl edit;
    ASSERT_TRUE(edit.Create(WS_VISIBLE | WS_BORDER | ES_MULTILINE, CRect(0, 0, 300, 60), &parent, 1000));
    edit.SetEventMask(ENM_KEYEVENTS);
    EXPECT_EQ(edit.GetEventMask(), static_cast<DWORD>(ENM_KEYEVENTS));
    CHARFORMAT cf{};
    cf.dwMask = CFM_FACE | CFM_BOLD | CFM_ITALIC;
    std::snprintf(cf.szFaceName, sizeof(cf.szFaceName), "Courier");
    EXPECT_TRUE(edit.SetDefaultCharFormat(cf));
    CHARFORMAT read{};
    edit.GetDefaultCharFormat(read);
    EXPECT_STREQ(read.szFaceName, "Courier");

    edit.SetWindowText("one\r\ntwo\r\nthree");
    CString strText;
    edit.GetWindowText(strText);
    EXPECT_STREQ(strText, "one\r\ntwo\r\nthree");
    EXPECT_EQ(edit.GetLineCount(), 3);
    edit.SetSel(0, 3);
    long nStart = -1, nEnd = -1;
    edit.GetSel(nStart, nEnd);
    EXPECT_EQ(nStart, 0);
    EXPECT_EQ(nEnd, 3);
    edit.ReplaceSel("1");
    edit.GetWindowText(strText);
    EXPECT_STREQ(strText, "1\r\ntwo\r\nthree");

    edit.SetFocus();
    ASSERT_TRUE(m_Driver.key("Return"));
    m_Driver.pumpUntilIdle();
    EXPECT_EQ(parent.m_Keys, std::vector<UINT>{VK_RETURN});
    parent.DestroyWindow();
}
}
