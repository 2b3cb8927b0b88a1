#pragma once
// The options sheet's pages: "3D Device" (dialog 221), whose box nothing reads yet, and "Skin"
// (dialog 222), which edits the skin directory and the skin switch of the settings record it is
// given; OK writes both into that record.
#include "mfc_gui/ViewSettings.h"

#include <mfc/afxdlgs.h>

class COptionPage3D : public CPropertyPageEx
{
    DECLARE_DYNCREATE(COptionPage3D)
public:
    enum
    {
        IDD = 221
    };
    static constexpr int IDC_USE_FIXED_D3D = 2034;

    COptionPage3D() : CPropertyPageEx(IDD) {}

    int m_bUseFixedD3D = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};

class COptionPageSkin : public CPropertyPageEx
{
    DECLARE_DYNCREATE(COptionPageSkin)
public:
    enum
    {
        IDD = 222
    };
    static constexpr int IDC_SKIN_DIR = 1001;
    static constexpr int IDC_BROWSE = 1002;
    static constexpr int IDC_ENABLED = 1003;

    COptionPageSkin() : CPropertyPageEx(IDD) {}

    void SetSettings(ViewSettings* pSettings) { m_pSettings = pSettings; }

    int m_bEnabled = 0;
    CString m_strSkinDir;
    ViewSettings* m_pSettings = nullptr;

protected:
    // Reading the controls refuses a directory too long for the record, with a logged error, so
    // the sheet stays open on it.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // After OK or Apply has read the controls: the switch and the directory (with a final
    // separator) go into the record.
    BOOL OnApply() override;
    afx_msg void OnBrowse();
    DECLARE_MESSAGE_MAP()
};
