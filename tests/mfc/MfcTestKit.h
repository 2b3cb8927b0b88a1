#pragma once
// A small application built from the MFC layer: a document, a view and a frame that record what
// happens to them, string and accelerator resources, and a fixture that gives each test a fresh
// window layer.
#include <mfc/afxwin.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Commands of the test program, one per target of the routing.
enum TestCommand : UINT
{
    ID_TEST_VIEW = 32771,    // the view and the frame both handle it
    ID_TEST_FRAME = 32772,
    ID_TEST_APP = 32773,
    ID_TEST_DOC = 32774,
    ID_TEST_NOBODY = 32775,
    ID_TEST_DISABLED = 32776,  // has a handler and an update handler that disables it
};

std::vector<std::string>& Events();
void Record(const std::string& strEvent);

class CTestDoc : public CDocument
{
    DECLARE_DYNCREATE(CTestDoc)
public:
    CTestDoc();
    ~CTestDoc() override;
    BOOL OnNewDocument() override;

protected:
    afx_msg void OnDocCommand();
    DECLARE_MESSAGE_MAP()
};

class CTestView : public CView
{
    DECLARE_DYNCREATE(CTestView)
public:
    void OnDraw(CDC* pDC) override;
    void OnInitialUpdate() override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnViewCommand();
    DECLARE_MESSAGE_MAP()
};

class CTestFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CTestFrame)
public:
    CTestFrame();
    ~CTestFrame() override;
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT lpcs);
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    afx_msg void OnViewCommand();
    afx_msg void OnFrameCommand();
    afx_msg void OnFileOpen();
    afx_msg void OnDisabledCommand();
    afx_msg void OnUpdateDisabled(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};

class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp("TestApp") {}
    BOOL InitInstance() override;
    BOOL OnIdle(LONG lCount) override;
    int ExitInstance() override;

    std::vector<LONG> m_IdleCounts;
    bool m_bIdleWithMessages = false;   // OnIdle ran while a message was waiting
    LONG m_nIdleLimit = 2;              // OnIdle asks for more until this count

protected:
    afx_msg void OnAppCommand();
    DECLARE_MESSAGE_MAP()
};

class MfcTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    // Creates the document, frame and view through the template, as start-up does.
    CTestFrame* StartUp(CTestApp& app);
    // Dispatches what is queued through the application's pump (pre-translation included).
    void Pump(CWinApp& app);

    win32::Driver m_Driver;
    size_t m_nResourceTables = 0;
};
