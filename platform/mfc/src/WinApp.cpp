// CWinApp: the application object, its documents, command line and standard commands.
#include <mfc/afxwin.h>

#include <win32/layer.h>

#include <algorithm>
#include <cstring>
#include <strings.h>

namespace
{
CWinApp* g_pApp = nullptr;
std::vector<std::string> g_argv;

// Flags the shell command line knows; on this platform a '/' starts a flag only for these,
// since absolute file names start with '/' too.
bool IsKnownSlashFlag(const char* psz)
{
    static const char* const FLAGS[] = {"nologo", "dde", "p", "pt", "embedding", "automation", "register",
                                        "regserver", "unregister", "unregserver"};
    for (const char* f : FLAGS)
        if (strcasecmp(psz, f) == 0)
            return true;
    return false;
}
}

IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, &CWinApp::OnAppExit)
END_MESSAGE_MAP()

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp ? g_pApp->GetMainWnd() : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_pApp ? g_pApp->m_hInstance : ::GetModuleHandleA(nullptr);
}

const char* AfxGetAppName()
{
    return g_pApp && g_pApp->m_pszAppName ? g_pApp->m_pszAppName : "";
}

void AfxSetCommandLine(int argc, char** argv)
{
    g_argv.assign(argv, argv + std::max(argc, 0));
    if (g_pApp)
        g_pApp->m_argv = g_argv;
}

int AfxWinMain(int argc, char** argv)
{
    AfxSetCommandLine(argc, argv);
    CWinApp* pApp = AfxGetApp();
    if (!pApp)
        return -1;
    if (!pApp->InitInstance())
    {
        if (pApp->m_pMainWnd)
            pApp->m_pMainWnd->DestroyWindow();
        return pApp->ExitInstance();
    }
    return pApp->Run();
}

int AfxMessageBox(const char* lpszText, UINT nType)
{
    CWnd* pMainWnd = AfxGetMainWnd();
    return ::MessageBoxA(pMainWnd ? pMainWnd->m_hWnd : nullptr, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType)
{
    CString strText;
    strText.LoadString(nIDPrompt);
    return AfxMessageBox(strText, nType);
}

CWinApp::CWinApp(const char* lpszAppName)
{
    g_pApp = this;
    m_hInstance = ::GetModuleHandleA(nullptr);
    m_argv = g_argv;
    if (lpszAppName)
        m_strAppName = lpszAppName;
    else if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE))
    {
        // The executable's name, as a window layer without resources would give it.
        char szPath[MAX_PATH] = "";
        ::GetModuleFileNameA(nullptr, szPath, sizeof(szPath));
        const char* pszName = std::strrchr(szPath, '/');
        m_strAppName = pszName ? pszName + 1 : szPath;
    }
    m_pszAppName = m_strAppName;
    m_pszProfileName = m_pszAppName;
}

CWinApp::~CWinApp()
{
    for (CDocTemplate* pTemplate : m_templateList)
        delete pTemplate;
    m_templateList.clear();
    AfxDeleteTempMap();
    if (g_pApp == this)
        g_pApp = nullptr;
}

int CWinApp::Run()
{
    return CWinThread::Run();
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

int CWinApp::ExitInstance()
{
    return CWinThread::ExitInstance();
}

// ---- Documents

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    if (pTemplate)
        m_templateList.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return m_templateList.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    size_t nIndex = reinterpret_cast<uintptr_t>(pos) - 1;
    if (!pos || nIndex >= m_templateList.size())
    {
        pos = nullptr;
        return nullptr;
    }
    pos = nIndex + 1 < m_templateList.size() ? reinterpret_cast<POSITION>(static_cast<uintptr_t>(nIndex + 2)) : nullptr;
    return m_templateList[nIndex];
}

CDocument* CWinApp::OpenDocumentFile(const char* lpszFileName)
{
    return m_templateList.empty() ? nullptr : m_templateList.front()->OpenDocumentFile(lpszFileName);
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* pTemplate : m_templateList)
        pTemplate->CloseAllDocuments(bEndSession);
}

BOOL CWinApp::SaveAllModified()
{
    for (CDocTemplate* pTemplate : m_templateList)
        if (!pTemplate->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CWinApp::OnFileNew()
{
    if (!m_templateList.empty())
        m_templateList.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

// ---- Command line

void CCommandLineInfo::ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast)
{
    if (bFlag)
    {
        if (strcasecmp(pszParam, "nologo") == 0)
            m_bShowSplash = FALSE;
        else if (strcasecmp(pszParam, "embedding") == 0)
            m_bRunEmbedded = TRUE;
        else if (strcasecmp(pszParam, "automation") == 0)
            m_bRunAutomated = TRUE;
    }
    else if (m_strFileName.IsEmpty())
        m_strFileName = pszParam;
    if (bLast && m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (size_t i = 1; i < m_argv.size(); ++i)
    {
        const char* pszParam = m_argv[i].c_str();
        bool bLast = i + 1 == m_argv.size();
        bool bFlag = pszParam[0] == '-' || (pszParam[0] == '/' && IsKnownSlashFlag(pszParam + 1));
        rCmdInfo.ParseParam(bFlag ? pszParam + 1 : pszParam, bFlag, bLast);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand)
    {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, CN_COMMAND, nullptr, nullptr))
            OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != nullptr;
    default:
        return TRUE;
    }
}
