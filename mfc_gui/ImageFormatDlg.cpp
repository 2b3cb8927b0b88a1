#include "mfc_gui/ImageFormatDlg.h"

#include "scene/RenderOptions.h"

#include <cstring>

// Presets 0 to 23 keep the ids of the first layout of this dialog; 24 and 25 came later.
const int CImageFormatDlg::RADIO_IDS[] = {1036, 1037, 1038, 1039, 1040, 1041, 1042, 1043, 1035,
                                          1047, 1048, 1049, 1027, 1028, 1029, 1030, 1026, 1032,
                                          1031, 1044, 1033, 1045, 1034, 1046, 1050, 1051};
const int CImageFormatDlg::RADIO_COUNT = sizeof(RADIO_IDS) / sizeof(RADIO_IDS[0]);
static_assert(sizeof(CImageFormatDlg::RADIO_IDS) / sizeof(int) == OUTPUT_SIZE_PRESET_COUNT,
              "one button per output-size preset");

namespace
{
// The preset labels start with this word, which the dialog's title already says.
const char FORMAT_PREFIX[] = "Format ";
}

BOOL CImageFormatDlg::OnInitDialog()
{
    for (int i = 0; i < RADIO_COUNT; ++i)
    {
        const char* szLabel = g_OutputSizePresets[i].m_szLabel;
        if (std::strncmp(szLabel, FORMAT_PREFIX, sizeof(FORMAT_PREFIX) - 1) == 0)
            szLabel += sizeof(FORMAT_PREFIX) - 1;
        SetDlgItemText(RADIO_IDS[i], szLabel);
    }
    return CDialog::OnInitDialog();
}

void CImageFormatDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, RADIO_IDS[0], m_nFormat);
}

void CImageFormatDlg::OnOK()
{
    int nPrevious = m_nFormat;
    if (!UpdateData(TRUE))
        return;
    if (m_nFormat < 0)
    {
        m_nFormat = nPrevious;
        return;
    }
    EndDialog(IDOK);
}
