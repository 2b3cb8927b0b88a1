#pragma once
// The application: CWinThread's message loop with idle processing and pre-translation, and
// CWinApp's documents, command line and profile settings (kept in the registry stand-in).
#include <mfc/afxdoc.h>

#include <string>
#include <vector>

class CWinThread : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinThread)
public:
    CWnd* m_pMainWnd = nullptr;
    MSG m_msgCur{};

    virtual BOOL InitInstance();
    // Pumps messages, calling OnIdle with a rising count while the queue is empty; returns
    // ExitInstance's result once WM_QUIT arrives.
    virtual int Run();
    virtual BOOL PumpMessage();
    // TRUE to be called again while the queue stays empty.
    virtual BOOL OnIdle(LONG lCount);
    // FALSE for messages that must not restart idle processing: WM_PAINT, WM_TIMER and a mouse
    // move to the point of the previous one.
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual int ExitInstance();
    virtual CWnd* GetMainWnd() { return m_pMainWnd; }

protected:
    POINT m_ptCursorLast{-1, -1};
    UINT m_nMsgLast = 0;
};

class CCommandLineInfo : public CObject
{
public:
    enum
    {
        FileNew,
        FileOpen,
        FilePrint,
        FilePrintTo,
        FileDDE,
        AppRegister,
        AppUnregister,
        FileNothing = -1,
    };
    CCommandLineInfo() = default;
    // One argument: a flag (its leading '-' or '/' removed) or a parameter.
    virtual void ParseParam(const char* pszParam, BOOL bFlag, BOOL bLast);

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;
    BOOL m_bRunAutomated = FALSE;
    int m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CWinThread
{
    DECLARE_DYNAMIC(CWinApp)
public:
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;

    const char* m_pszAppName = nullptr;
    const char* m_pszRegistryKey = nullptr;
    const char* m_pszProfileName = nullptr;
    HINSTANCE m_hInstance = nullptr;
    // How start-up shows the main frame; SW_HIDE leaves it to InitInstance, which shows it
    // once its set-up is done.
    int m_nCmdShow = SW_HIDE;

    int Run() override;
    BOOL OnIdle(LONG lCount) override;
    int ExitInstance() override;

    // ---- Documents
    void AddDocTemplate(CDocTemplate* pTemplate);
    POSITION GetFirstDocTemplatePosition() const;
    CDocTemplate* GetNextDocTemplate(POSITION& pos) const;
    virtual CDocument* OpenDocumentFile(const char* lpszFileName);
    void CloseAllDocuments(BOOL bEndSession);
    BOOL SaveAllModified();

    // ---- Command line (set by AfxWinMain or AfxSetCommandLine)
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);

    // ---- Profile settings: values under HKEY_CURRENT_USER\Software\<registry key>\<profile
    // name>\<section>, or Software\<application name>\<section> when no key was set.
    void SetRegistryKey(const char* lpszRegistryKey);
    UINT GetProfileInt(const char* lpszSection, const char* lpszEntry, int nDefault);
    BOOL WriteProfileInt(const char* lpszSection, const char* lpszEntry, int nValue);
    CString GetProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszDefault = nullptr);
    BOOL WriteProfileString(const char* lpszSection, const char* lpszEntry, const char* lpszValue);
    // *ppData is allocated with new[]; the caller deletes it.
    BOOL GetProfileBinary(const char* lpszSection, const char* lpszEntry, BYTE** ppData, UINT* pBytes);
    BOOL WriteProfileBinary(const char* lpszSection, const char* lpszEntry, LPBYTE pData, UINT nBytes);

    // ---- Standard commands
    afx_msg void OnFileNew();
    afx_msg void OnAppExit();

    std::vector<std::string> m_argv;

protected:
    HKEY GetSectionKey(const char* lpszSection, bool bCreate);

    std::vector<CDocTemplate*> m_templateList;
    CString m_strAppName;
    CString m_strRegistryKey;

    DECLARE_MESSAGE_MAP()
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
const char* AfxGetAppName();
// The program's arguments for ParseCommandLine (argv[0] is the program).
void AfxSetCommandLine(int argc, char** argv);
// Runs the application object: InitInstance, then Run; returns the exit code.
int AfxWinMain(int argc, char** argv);
// A message box owned by the main window, captioned with the application's name.
int AfxMessageBox(const char* lpszText, UINT nType = MB_OK);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK);
