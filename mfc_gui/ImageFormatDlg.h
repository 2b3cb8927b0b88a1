#pragma once
// The modal "Image Format" dialog (dialog 7003): one radio button per output-size preset of the
// traced image, labelled from the preset table so that each button names the size the renderer
// uses. It opens on the format it is given and gives back the chosen preset index.
#include <mfc/afxwin.h>

class CImageFormatDlg : public CDialog
{
public:
    enum
    {
        IDD = 7003
    };
    // The radio buttons' ids in preset order; the first starts the group.
    static const int RADIO_IDS[];
    static const int RADIO_COUNT;

    explicit CImageFormatDlg(CWnd* pParentWnd = nullptr) : CDialog(IDD, pParentWnd) {}

    // The preset index: the checked button at the start, the chosen one after OK. A value
    // outside the table checks no button.
    int m_nFormat = 0;

protected:
    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
    // With no button checked there is no choice to give back: the dialog stays open.
    void OnOK() override;
};
