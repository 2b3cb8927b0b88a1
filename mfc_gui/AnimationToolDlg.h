#pragma once
// The animation tool window (dialog 159): Rec, Play, Pause, Stop and Loop as check buttons that
// keep each other's states consistent like the keys of a tape recorder, and a slider. Nothing
// plays or records yet; the states are there for what will.
#include "mfc_gui/BtnST.h"
#include "mfc_gui/DockDialog.h"
#include "mfc_gui/ViewSettings.h"

class CAnimationToolDlg : public CDockDialog
{
public:
    enum
    {
        IDD = 159
    };
    static constexpr int IDC_PLAY = 1015;
    static constexpr int IDC_PAUSE = 1016;
    static constexpr int IDC_STOP = 1017;
    static constexpr int IDC_LOOP = 1018;
    static constexpr int IDC_REC = 1019;
    static constexpr int IDC_SLIDER = 1021;

    explicit CAnimationToolDlg(CWnd* pParent = nullptr) : CDockDialog(IDD, pParent) {}

    // The source of the skin directory; 0 for null.
    int SetSettings(ViewSettings* pSettings);
    // The skin's background "Animation Bkgnd.bmp" (the window takes its size when it loads) and
    // the buttons' bitmaps in place of their captions. 0 without settings or a window.
    int LoadSkinBitmaps();

    CBtnST m_btnRec;
    CBtnST m_btnPlay;
    CBtnST m_btnPause;
    CBtnST m_btnStop;
    CBtnST m_btnLoop;
    ViewSettings* m_pSettings = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    afx_msg void OnPlay();
    afx_msg void OnPause();
    afx_msg void OnStop();
    afx_msg void OnRec();
    DECLARE_MESSAGE_MAP()
};
