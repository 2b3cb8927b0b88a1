#include "mfc_gui/ConsoleDlg.h"

#include <core/Log.h>

int g_nConsoleProgress = 0;

BEGIN_MESSAGE_MAP(CConsoleDlg, CDialog)
    ON_COMMAND(CConsoleDlg::ID_SAVE_LOG, &CConsoleDlg::OnSaveLog)
    ON_COMMAND(CConsoleDlg::ID_CLOSE, &CConsoleDlg::OnCloseCommand)
    ON_COMMAND(CConsoleDlg::ID_RESET_LIST, &CConsoleDlg::OnResetList)
    ON_COMMAND(CConsoleDlg::ID_DUMP, &CConsoleDlg::OnDump)
    ON_BN_CLICKED(CConsoleDlg::IDC_ADD, &CConsoleDlg::OnAdd)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CConsoleDlg::~CConsoleDlg()
{
    if (m_bListening)
        SetLogListener(nullptr);
}

BOOL CConsoleDlg::AddInformation(const char*)
{
    return FALSE;
}

BOOL CConsoleDlg::AddWarning(const char* szText)
{
    return m_Output.AddLine(szText, LOG_WARNING);
}

BOOL CConsoleDlg::AddError(const char* szText)
{
    return m_Output.AddLine(szText, LOG_ERROR);
}

BOOL CConsoleDlg::AddQuestion(const char* szText)
{
    return m_Output.AddLine(szText, LOG_QUESTION);
}

BOOL CConsoleDlg::ResetList()
{
    return m_Output.Reset();
}

void CConsoleDlg::SetProgress(int nPosition)
{
    if (m_Progress.m_hWnd)
        m_Progress.SetPos(nPosition);
}

void CConsoleDlg::StepProgress()
{
    const int nCurrent = m_Progress.m_hWnd ? m_Progress.GetPos() : g_nConsoleProgress;
    const int nPosition = nCurrent >= 100 ? 0 : nCurrent + 1;
    SetProgress(nPosition);
    g_nConsoleProgress = nPosition;
    if (m_hWnd)
        UpdateWindow();
}

void CConsoleDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS, m_Progress);
    DDX_Control(pDX, IDC_LIST, m_List);
    DDX_Text(pDX, IDC_INPUT, m_strInput);
}

BOOL CConsoleDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The template carries no menu of its own: the menu is attached here.
    if (m_Menu.LoadMenu(IDR_MENU))
        SetMenu(&m_Menu);
    m_Output.Attach(&m_List, TRUE);
    m_Progress.SetRange(0, 100);
    m_Progress.SetPos(0);
    SetLogListener([this](const LogLine& line) {
        if (line.m_nType == LOG_WARNING)
            AddWarning(line.m_strText.c_str());
        else if (line.m_nType == LOG_ERROR)
            AddError(line.m_strText.c_str());
    });
    m_bListening = TRUE;
    return TRUE;
}

void CConsoleDlg::OnSaveLog()
{
    m_Output.SaveLog(nullptr);
}

void CConsoleDlg::OnResetList()
{
    ResetList();
}

void CConsoleDlg::OnCloseCommand()
{
    m_bReallyClose = TRUE;
    EndDialog(0);
}

void CConsoleDlg::OnDump()
{
    m_Output.DumpToDebugger();
}

void CConsoleDlg::OnAdd()
{
    UpdateData(TRUE);
    m_Output.AddLine(m_strInput, LOG_NOTHING);
    m_strInput.Empty();
    UpdateData(FALSE);
}

void CConsoleDlg::OnClose()
{
    if (m_bReallyClose)
        CDialog::OnClose();
    else
        ShowWindow(SW_HIDE);
}

void CConsoleDlg::OnDestroy()
{
    if (m_bListening)
    {
        SetLogListener(nullptr);
        m_bListening = FALSE;
    }
    m_Output.m_bAttached = FALSE;
    CDialog::OnDestroy();
}
