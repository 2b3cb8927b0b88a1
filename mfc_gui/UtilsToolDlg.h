#pragma once
// The utils tool window (dialog 161): Device..., Camera, Render, Holoscopy, Lights and Material,
// skinned buttons whose commands are not given any work yet.
#include "mfc_gui/BtnST.h"
#include "mfc_gui/DockDialog.h"
#include "mfc_gui/ViewSettings.h"

class CUtilsToolDlg : public CDockDialog
{
public:
    enum
    {
        IDD = 161
    };
    static constexpr int IDC_DEVICE = 1024;
    static constexpr int IDC_CAMERA = 1025;
    static constexpr int IDC_RENDER = 1026;
    static constexpr int IDC_HOLOSCOPY = 1027;
    static constexpr int IDC_LIGHTS = 1028;
    static constexpr int IDC_MATERIAL = 1029;

    explicit CUtilsToolDlg(CWnd* pParent = nullptr) : CDockDialog(IDD, pParent) {}

    int SetSettings(ViewSettings* pSettings);
    // The skin's background "Utils Bkgnd.bmp" and the buttons' bitmaps; 0 without settings or a
    // window.
    int LoadSkinBitmaps();

    CBtnST m_btnDevice;
    CBtnST m_btnCamera;
    CBtnST m_btnRender;
    CBtnST m_btnHoloscopy;
    CBtnST m_btnLights;
    CBtnST m_btnMaterial;
    ViewSettings* m_pSettings = nullptr;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
