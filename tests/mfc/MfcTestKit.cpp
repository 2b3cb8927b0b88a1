#include "MfcTestKit.h"

#include <win32/resources.h>

namespace
{
const char DOC_STRING[] = "TestApp\n\nTestApp\n\n\nTestApp.Document\nTestApp Document";
const char OPEN_PROMPT[] = "Open a test file\nOpen";
const char READY[] = "Ready";
const ACCEL ACCELERATORS[] = {
    {FVIRTKEY | FCONTROL, 'O', ID_FILE_OPEN},
    {FVIRTKEY | FCONTROL, 'D', ID_TEST_DISABLED},
};
const ResourceEntry RESOURCES[] = {
    {"STRING", 128, DOC_STRING, sizeof(DOC_STRING)},
    {"STRING", ID_FILE_OPEN, OPEN_PROMPT, sizeof(OPEN_PROMPT)},
    {"STRING", AFX_IDS_IDLEMESSAGE, READY, sizeof(READY)},
    {"ACCELERATOR", 128, ACCELERATORS, sizeof(ACCELERATORS)},
};
}

std::vector<std::string>& Events()
{
    static std::vector<std::string> s_Events;
    return s_Events;
}

void Record(const std::string& strEvent)
{
    Events().push_back(strEvent);
}

// ---- Document

IMPLEMENT_DYNCREATE(CTestDoc, CDocument)

BEGIN_MESSAGE_MAP(CTestDoc, CDocument)
    ON_COMMAND(ID_TEST_DOC, &CTestDoc::OnDocCommand)
END_MESSAGE_MAP()

CTestDoc::CTestDoc()
{
    Record("doc constructed");
}

CTestDoc::~CTestDoc()
{
    Record("doc deleted");
}

BOOL CTestDoc::OnNewDocument()
{
    Record("doc new");
    return CDocument::OnNewDocument();
}

void CTestDoc::OnDocCommand()
{
    Record("doc command");
}

// ---- View

IMPLEMENT_DYNCREATE(CTestView, CView)

BEGIN_MESSAGE_MAP(CTestView, CView)
    ON_WM_CREATE()
    ON_COMMAND(ID_TEST_VIEW, &CTestView::OnViewCommand)
END_MESSAGE_MAP()

int CTestView::OnCreate(LPCREATESTRUCT lpcs)
{
    Record("view create");
    return CView::OnCreate(lpcs);
}

void CTestView::OnDraw(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(40, 90, 160));
}

void CTestView::OnInitialUpdate()
{
    Record("view initial update");
    CView::OnInitialUpdate();
}

void CTestView::OnViewCommand()
{
    Record("view command");
}

// ---- Frame

IMPLEMENT_DYNCREATE(CTestFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CTestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_COMMAND(ID_TEST_VIEW, &CTestFrame::OnViewCommand)
    ON_COMMAND(ID_TEST_FRAME, &CTestFrame::OnFrameCommand)
    ON_COMMAND(ID_FILE_OPEN, &CTestFrame::OnFileOpen)
    ON_COMMAND(ID_TEST_DISABLED, &CTestFrame::OnDisabledCommand)
    ON_UPDATE_COMMAND_UI(ID_TEST_DISABLED, &CTestFrame::OnUpdateDisabled)
END_MESSAGE_MAP()

CTestFrame::CTestFrame()
{
    Record("frame constructed");
}

CTestFrame::~CTestFrame()
{
    Record("frame deleted");
}

int CTestFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    Record("frame create");
    return CFrameWnd::OnCreate(lpcs);
}

void CTestFrame::OnClose()
{
    Record("frame close");
    CFrameWnd::OnClose();
}

void CTestFrame::OnDestroy()
{
    Record("frame destroy");
    CFrameWnd::OnDestroy();
}

BOOL CTestFrame::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_USER + 1)
        Record("frame pretranslate");
    return CFrameWnd::PreTranslateMessage(pMsg);
}

void CTestFrame::OnViewCommand()
{
    Record("frame view command");
}

void CTestFrame::OnFrameCommand()
{
    Record("frame command");
}

void CTestFrame::OnFileOpen()
{
    Record("frame open");
}

void CTestFrame::OnDisabledCommand()
{
    Record("frame disabled command");
}

void CTestFrame::OnUpdateDisabled(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}

// ---- Application

BEGIN_MESSAGE_MAP(CTestApp, CWinApp)
    ON_COMMAND(ID_TEST_APP, &CTestApp::OnAppCommand)
END_MESSAGE_MAP()

BOOL CTestApp::InitInstance()
{
    AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CTestDoc), RUNTIME_CLASS(CTestFrame),
                                          RUNTIME_CLASS(CTestView)));
    CCommandLineInfo info;
    ParseCommandLine(info);
    return ProcessShellCommand(info);
}

BOOL CTestApp::OnIdle(LONG lCount)
{
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        m_bIdleWithMessages = true;
    m_IdleCounts.push_back(lCount);
    CWinApp::OnIdle(lCount);
    return lCount < m_nIdleLimit;
}

int CTestApp::ExitInstance()
{
    Record("exit instance");
    CWinApp::ExitInstance();
    return 7;
}

void CTestApp::OnAppCommand()
{
    Record("app command");
}

// ---- Fixture

void MfcTest::SetUp()
{
    m_nResourceTables = GetResourceTableCount();
    RegisterResourceTable(RESOURCES, sizeof(RESOURCES) / sizeof(RESOURCES[0]));
    Events().clear();
}

void MfcTest::TearDown()
{
    TruncateResourceTables(m_nResourceTables);
}

CTestFrame* MfcTest::StartUp(CTestApp& app)
{
    char szProgram[] = "test";
    char* argv[] = {szProgram};
    AfxSetCommandLine(1, argv);
    if (!app.InitInstance() || !app.m_pMainWnd)
        return nullptr;
    return static_cast<CTestFrame*>(app.m_pMainWnd);
}

void MfcTest::Pump(CWinApp& app)
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT)
        app.PumpMessage();
}
