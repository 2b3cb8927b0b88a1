#pragma once
// The general tool window (dialog 162): Web Page (opens the maker's web site), Fullscreen and the
// Move Mode button.
#include "mfc_gui/BtnST.h"
#include "mfc_gui/DockDialog.h"
#include "mfc_gui/MoveModeButton.h"
#include "mfc_gui/ViewSettings.h"

class CGeneralToolDlg : public CDockDialog
{
public:
    enum
    {
        IDD = 162
    };
    static constexpr int IDC_WEB_PAGE = 1021;
    static constexpr int IDC_FULLSCREEN = 1022;
    static constexpr int IDC_MOVE_MODE = 1023;
    // The page the Web Page button opens.
    static constexpr const char* WEB_ADDRESS = "https://www.torvane.example/";

    explicit CGeneralToolDlg(CWnd* pParent = nullptr) : CDockDialog(IDD, pParent) {}

    int SetSettings(ViewSettings* pSettings);
    int SetOwnerPointer(void* pOwner);
    // The skin's background "General Bkgnd.bmp" and the buttons' bitmaps, the Web Page button's
    // tooltip and address. Does nothing (0) while the window does not exist or has no settings.
    int LoadSkinBitmaps();

    CBtnST m_btnWebPage;
    CMoveModeButton m_btnMoveMode;
    CBtnST m_btnFullscreen;
    ViewSettings* m_pSettings = nullptr;
    void* m_pOwner = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
