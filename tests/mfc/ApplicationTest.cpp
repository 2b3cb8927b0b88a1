// Start-up through the single-document template, the message loop and its idle processing,
// closing, the command line and the profile settings.
#include "MfcTestKit.h"

namespace
{
using Strings = std::vector<std::string>;

TEST_F(MfcTest, RunTimeClassesCreateByName)
{
    CObject* pView = CRuntimeClass::CreateObject("CTestView");
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CView)));
    EXPECT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_STREQ(pView->GetRuntimeClass()->m_lpszClassName, "CTestView");
    delete pView;

    CObject* pDoc = CRuntimeClass::CreateObject("CTestDoc");
    ASSERT_NE(pDoc, nullptr);
    EXPECT_TRUE(pDoc->IsKindOf(RUNTIME_CLASS(CDocument)));
    EXPECT_FALSE(pDoc->IsKindOf(RUNTIME_CLASS(CWnd)));
    delete pDoc;

    EXPECT_EQ(CRuntimeClass::CreateObject("CNoSuchClass"), nullptr);
    // CView is abstract: it has a run-time class but cannot be created.
    ASSERT_NE(CRuntimeClass::FromName("CView"), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CView)->CreateObject(), nullptr);
    Events().clear();
}

TEST_F(MfcTest, SingleDocTemplateOpensDocumentFrameAndViewInOrder)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(Events(), (Strings{"doc constructed", "frame constructed", "frame create", "view create", "doc new",
                                 "view initial update"}));

    CView* pView = pFrame->GetActiveView();
    ASSERT_NE(pView, nullptr);
    EXPECT_TRUE(pView->IsKindOf(RUNTIME_CLASS(CTestView)));
    EXPECT_EQ(pView->GetDlgCtrlID(), AFX_IDW_PANE_FIRST);
    CDocument* pDoc = pFrame->GetActiveDocument();
    ASSERT_NE(pDoc, nullptr);
    EXPECT_EQ(pView->GetDocument(), pDoc);
    POSITION pos = pDoc->GetFirstViewPosition();
    EXPECT_EQ(pDoc->GetNextView(pos), pView);
    EXPECT_EQ(pos, nullptr);

    // The frame waits hidden for start-up to show it; its title names the document first.
    EXPECT_FALSE(pFrame->IsWindowVisible());
    CString strTitle;
    pFrame->GetWindowText(strTitle);
    EXPECT_STREQ(strTitle, "Untitled - TestApp");
    pDoc->SetTitle("/tmp/scene.qnl");
    pFrame->GetWindowText(strTitle);
    EXPECT_STREQ(strTitle, "/tmp/scene.qnl - TestApp");

    // The view fills the client area.
    CRect rcClient, rcView;
    pFrame->GetClientRect(&rcClient);
    pFrame->ClientToScreen(&rcClient);
    pView->GetWindowRect(&rcView);
    EXPECT_EQ(rcView, rcClient);
}

TEST_F(MfcTest, ClosingTheMainFrameEndsRunWithExitInstancesValue)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    HWND hFrame = pFrame->m_hWnd;
    Events().clear();
    PostMessageA(hFrame, WM_CLOSE, 0, 0);
    EXPECT_EQ(app.Run(), 7);
    EXPECT_EQ(Events(), (Strings{"frame close", "frame destroy", "frame deleted", "doc deleted", "exit instance"}));
    EXPECT_FALSE(IsWindow(hFrame));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(app.m_msgCur.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MfcTest, IdleRunsOnlyOnAnEmptyQueueAndRestartsAfterAMessage)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    HWND hFrame = pFrame->m_hWnd;
    // A message at 10 ms restarts the count; a timer message does not; the close at 30 ends.
    m_Driver.at(10, [hFrame] { PostMessageA(hFrame, WM_USER + 5, 0, 0); });
    m_Driver.at(20, [hFrame] { PostMessageA(hFrame, WM_TIMER, 99, 0); });
    m_Driver.at(30, [hFrame] { PostMessageA(hFrame, WM_CLOSE, 0, 0); });
    EXPECT_EQ(app.Run(), 7);
    EXPECT_FALSE(app.m_bIdleWithMessages);
    // Start: 0, 1, 2 (2 asks for no more); the user message: 0, 1, 2; the timer: nothing; the
    // close leaves the queue with WM_QUIT only.
    EXPECT_EQ(app.m_IdleCounts, (std::vector<LONG>{0, 1, 2, 0, 1, 2}));
}

TEST_F(MfcTest, IsIdleMessageIgnoresPaintTimerAndStillMouse)
{
    CTestApp app;
    struct Case
    {
        UINT m_nMessage;
        POINT m_pt;
        BOOL m_bIdle;
    };
    const Case cases[] = {
        {WM_PAINT, {0, 0}, FALSE},      {WM_TIMER, {0, 0}, FALSE},      {WM_KEYDOWN, {0, 0}, TRUE},
        {WM_MOUSEMOVE, {5, 5}, TRUE},   {WM_MOUSEMOVE, {5, 5}, FALSE},  {WM_MOUSEMOVE, {6, 5}, TRUE},
    };
    for (const Case& c : cases)
    {
        MSG msg{};
        msg.message = c.m_nMessage;
        msg.pt = c.m_pt;
        EXPECT_EQ(app.IsIdleMessage(&msg), c.m_bIdle) << std::hex << c.m_nMessage;
    }
}

TEST_F(MfcTest, AppExitCommandClosesTheMainFrame)
{
    CTestApp app;
    CTestFrame* pFrame = StartUp(app);
    ASSERT_NE(pFrame, nullptr);
    Events().clear();
    pFrame->SendMessage(WM_COMMAND, ID_APP_EXIT);
    EXPECT_EQ(Events(), (Strings{"frame close", "frame destroy", "frame deleted", "doc deleted"}));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MfcTest, CommandLineTellsFlagsFromFileNames)
{
    struct Case
    {
        std::vector<std::string> m_Args;
        BOOL m_bShowSplash;
        int m_nShellCommand;
        const char* m_szFileName;
    };
    const Case cases[] = {
        {{"prog"}, TRUE, CCommandLineInfo::FileNew, ""},
        {{"prog", "/nologo"}, FALSE, CCommandLineInfo::FileNew, ""},
        {{"prog", "-nologo", "room.qnl"}, FALSE, CCommandLineInfo::FileOpen, "room.qnl"},
        // An absolute path is a file name, not a flag.
        {{"prog", "/tmp/scenes/room.qnl"}, TRUE, CCommandLineInfo::FileOpen, "/tmp/scenes/room.qnl"},
    };
    for (const Case& c : cases)
    {
        std::vector<char*> argv;
        for (const std::string& s : c.m_Args)
            argv.push_back(const_cast<char*>(s.c_str()));
        CTestApp app;
        AfxSetCommandLine(static_cast<int>(argv.size()), argv.data());
        CCommandLineInfo info;
        app.ParseCommandLine(info);
        EXPECT_EQ(info.m_bShowSplash, c.m_bShowSplash) << c.m_Args.back();
        EXPECT_EQ(info.m_nShellCommand, c.m_nShellCommand) << c.m_Args.back();
        EXPECT_STREQ(info.m_strFileName, c.m_szFileName);
    }
}

TEST_F(MfcTest, OpeningAMissingFileFailsAndLeavesNoWindow)
{
    CTestApp app;
    app.AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                              RUNTIME_CLASS(CTestView)));
    m_Driver.answers().msgbox(IDOK);
    CCommandLineInfo info;
    info.m_nShellCommand = CCommandLineInfo::FileOpen;
    info.m_strFileName = "/nonexistent/folder/scene.qnl";
    EXPECT_FALSE(app.ProcessShellCommand(info));
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_TRUE(win32::GetTopLevelWindows().empty());
    // The frame was made before the file was tried; both are gone.
    EXPECT_EQ(Events(), (Strings{"doc constructed", "frame constructed", "frame create", "view create",
                                 "frame destroy", "doc deleted", "frame deleted"}));
}

TEST_F(MfcTest, ProfileSettingsRoundTripThroughTheRegistry)
{
    CTestApp app;
    app.SetRegistryKey("Torvane");
    EXPECT_EQ(app.GetProfileInt("Settings", "Speed", 42), 42u);
    EXPECT_STREQ(app.GetProfileString("Settings", "Name", "none"), "none");
    EXPECT_TRUE(app.WriteProfileInt("Settings", "Speed", 12));
    EXPECT_TRUE(app.WriteProfileString("Settings", "Name", "two words"));
    BYTE blob[] = {1, 2, 0, 255};
    EXPECT_TRUE(app.WriteProfileBinary("Settings", "Blob", blob, sizeof(blob)));

    EXPECT_EQ(app.GetProfileInt("Settings", "Speed", 0), 12u);
    EXPECT_STREQ(app.GetProfileString("Settings", "Name"), "two words");
    BYTE* pData = nullptr;
    UINT nBytes = 0;
    ASSERT_TRUE(app.GetProfileBinary("Settings", "Blob", &pData, &nBytes));
    EXPECT_EQ(std::vector<BYTE>(pData, pData + nBytes), std::vector<BYTE>(blob, blob + sizeof(blob)));
    delete[] pData;
    // A value of another type reads as missing.
    EXPECT_EQ(app.GetProfileInt("Settings", "Name", -1), static_cast<UINT>(-1));

    // The values live under the application's key below the registry key.
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Torvane\\TestApp\\Settings", 0, KEY_READ, &hKey),
              ERROR_SUCCESS);
    DWORD dwValue = 0, dwType = 0, dwSize = sizeof(dwValue);
    EXPECT_EQ(RegQueryValueExA(hKey, "Speed", nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue), &dwSize),
              ERROR_SUCCESS);
    EXPECT_EQ(dwValue, 12u);
    RegCloseKey(hKey);

    EXPECT_TRUE(app.WriteProfileString("Settings", "Name", nullptr));
    EXPECT_STREQ(app.GetProfileString("Settings", "Name", "gone"), "gone");
}
}
