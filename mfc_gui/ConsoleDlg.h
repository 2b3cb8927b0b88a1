#pragma once
// The console log window (dialog 219, menu 220): a modeless window that lists the program's
// warnings and errors as typed, dated rows while it exists, takes lines typed by the user, saves
// the list to a log file and dumps it to the debugger output. Closing the window only hides it;
// "Close" of its menu ends it.
#include "mfc_gui/OutputListCtrl.h"

#include <mfc/afxcmn.h>
#include <mfc/afxwin.h>

// The console's progress position, kept for whoever steps it next.
extern int g_nConsoleProgress;

class CConsoleDlg : public CDialog
{
public:
    enum
    {
        IDD = 219
    };
    static constexpr int IDR_MENU = 220;
    static constexpr int IDC_LIST = 1111;
    static constexpr int IDC_INPUT = 1572;
    static constexpr int IDC_PROGRESS = 1575;
    static constexpr int IDC_ADD = 1193;
    static constexpr int ID_SAVE_LOG = 32807;
    static constexpr int ID_RESET_LIST = 32808;
    static constexpr int ID_DUMP = 32806;
    static constexpr int ID_CLOSE = 57602;

    CConsoleDlg() : CDialog(IDD, nullptr) {}
    ~CConsoleDlg() override;

    // Information lines are dropped: FALSE.
    BOOL AddInformation(const char* szText);
    BOOL AddWarning(const char* szText);
    BOOL AddError(const char* szText);
    BOOL AddQuestion(const char* szText);
    BOOL ResetList();
    void SetProgress(int nPosition);
    // One step on; past 100 it starts again at 0. The window is redrawn at once.
    void StepProgress();

    CProgressCtrl m_Progress;
    CListCtrl m_List;
    CString m_strInput;
    COutputListCtrl m_Output;
    BOOL m_bReallyClose = FALSE;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    // Attaches the list and from then on shows every warning and error the log functions report.
    BOOL OnInitDialog() override;
    afx_msg void OnSaveLog();
    afx_msg void OnResetList();
    afx_msg void OnCloseCommand();
    afx_msg void OnDump();
    afx_msg void OnAdd();
    afx_msg void OnClose();
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

private:
    CMenu m_Menu;
    BOOL m_bListening = FALSE;
};
