#pragma once
// The modal "Options" sheet: edits a copy of the view's settings record on its two pages and
// copies it back over the view's record only when the caller applies it after OK.
#include "mfc_gui/OptionPages.h"
#include "mfc_gui/ViewSettings.h"

#include <mfc/afxdlgs.h>

class CPropSheetOption : public CPropertySheetEx
{
    DECLARE_DYNAMIC(CPropSheetOption)
public:
    explicit CPropSheetOption(const char* szCaption, CWnd* pParent = nullptr, UINT nSelectPage = 0)
        : CPropertySheetEx(szCaption, pParent, nSelectPage)
    {
    }

    // Takes the caller's record and copies it; 0 for null.
    int SetSettings(ViewSettings* pSettings);
    // Adds the two pages and gives the skin page the copy; 0 without a caller's record.
    int Initialize();
    // Copies the edited copy back over the caller's record.
    void ApplySettings();

    COptionPage3D m_Page3D;
    COptionPageSkin m_PageSkin;
    ViewSettings* m_pSettings = nullptr;
    ViewSettings m_Settings;
};
