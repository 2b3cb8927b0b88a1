#include "mfc_gui/AnimationToolDlg.h"

#include "mfc_gui/ToolSkin.h"

BEGIN_MESSAGE_MAP(CAnimationToolDlg, CDockDialog)
    ON_BN_CLICKED(CAnimationToolDlg::IDC_PLAY, &CAnimationToolDlg::OnPlay)
    ON_BN_CLICKED(CAnimationToolDlg::IDC_PAUSE, &CAnimationToolDlg::OnPause)
    ON_BN_CLICKED(CAnimationToolDlg::IDC_STOP, &CAnimationToolDlg::OnStop)
    ON_BN_CLICKED(CAnimationToolDlg::IDC_REC, &CAnimationToolDlg::OnRec)
END_MESSAGE_MAP()

int CAnimationToolDlg::SetSettings(ViewSettings* pSettings)
{
    if (!pSettings)
        return 0;
    m_pSettings = pSettings;
    return 1;
}

void CAnimationToolDlg::DoDataExchange(CDataExchange* pDX)
{
    CDockDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_REC, m_btnRec);
    DDX_Control(pDX, IDC_PLAY, m_btnPlay);
    DDX_Control(pDX, IDC_PAUSE, m_btnPause);
    DDX_Control(pDX, IDC_STOP, m_btnStop);
    DDX_Control(pDX, IDC_LOOP, m_btnLoop);
}

int CAnimationToolDlg::LoadSkinBitmaps()
{
    if (!m_pSettings || !m_hWnd)
        return 0;
    LoadToolSkinBackground(*this, m_pSettings->m_szSkinDir, "Animation");
    const ToolSkinButton buttons[] = {
        {&m_btnPlay, "Play"}, {&m_btnPause, "pause"}, {&m_btnStop, "stop"}, {&m_btnLoop, "loop"}, {&m_btnRec, "Rec"},
    };
    ApplyToolSkinButtons(m_pSettings->m_szSkinDir, buttons);
    return 1;
}

void CAnimationToolDlg::OnPlay()
{
    if (!m_btnPlay.GetCheck())
        return;
    for (CBtnST* pButton : {&m_btnStop, &m_btnPause, &m_btnRec})
        pButton->SetCheck(0, TRUE);
}

void CAnimationToolDlg::OnPause()
{
    // Pause lifted means playing again.
    if (m_btnPause.GetCheck())
        m_btnPlay.SetCheck(0, TRUE);
    else
        m_btnPlay.SetCheck(1, TRUE);
}

void CAnimationToolDlg::OnStop()
{
    for (CBtnST* pButton : {&m_btnStop, &m_btnPlay, &m_btnPause, &m_btnRec})
        pButton->SetCheck(0, TRUE);
}

void CAnimationToolDlg::OnRec()
{
    if (!m_btnRec.GetCheck())
        return;
    for (CBtnST* pButton : {&m_btnStop, &m_btnPause, &m_btnPlay})
        pButton->SetCheck(0, TRUE);
}
