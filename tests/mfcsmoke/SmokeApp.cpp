// A frame with a view, shown through the X11 presenter; Escape closes it.
#include <mfc/afxwin.h>
#include <win32/install.h>
#include <win32/x11.h>

#include <cstdio>

namespace
{
const char DOC_STRING[] = "Smoke\n\nSmoke";
const ResourceEntry RESOURCES[] = {{"STRING", 128, DOC_STRING, sizeof(DOC_STRING)}};
}

class CSmokeDoc : public CDocument
{
    DECLARE_DYNCREATE(CSmokeDoc)
};
IMPLEMENT_DYNCREATE(CSmokeDoc, CDocument)

class CSmokeView : public CView
{
    DECLARE_DYNCREATE(CSmokeView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rc;
        GetClientRect(&rc);
        pDC->FillSolidRect(&rc, RGB(40, 90, 160));
    }
};
IMPLEMENT_DYNCREATE(CSmokeView, CView)

class CSmokeFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(CSmokeFrame)
protected:
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        if (nChar == VK_ESCAPE)
            PostMessage(WM_CLOSE);
        CFrameWnd::OnKeyDown(nChar, nRepCnt, nFlags);
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CSmokeFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(CSmokeFrame, CFrameWnd)
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CSmokeApp : public CWinApp
{
public:
    CSmokeApp() : CWinApp("Smoke") {}
    BOOL InitInstance() override
    {
        AddDocTemplate(new CSingleDocTemplate(128, RUNTIME_CLASS(CSmokeDoc), RUNTIME_CLASS(CSmokeFrame),
                                              RUNTIME_CLASS(CSmokeView)));
        CCommandLineInfo info;
        ParseCommandLine(info);
        if (!ProcessShellCommand(info))
            return FALSE;
        m_pMainWnd->SetWindowPos(nullptr, 0, 0, 640, 480, SWP_NOZORDER);
        m_pMainWnd->ShowWindow(SW_SHOW);
        m_pMainWnd->UpdateWindow();
        std::printf("smoke: frame shown\n");
        std::fflush(stdout);
        return TRUE;
    }
    int ExitInstance() override
    {
        CWinApp::ExitInstance();
        return 0;
    }
};

int main(int argc, char** argv)
{
    RegisterResourceTable(RESOURCES, sizeof(RESOURCES) / sizeof(RESOURCES[0]));
    if (!win32::Install() || !win32::StartX11Presenter())
        return 2;
    int nResult;
    {
        CSmokeApp app;
        nResult = AfxWinMain(argc, argv);
    }
    win32::StopX11Presenter();
    return nResult;
}
