#pragma once
// The modal "Ligth Edit" dialog (dialog 7002) that "Add Light" asks before adding a light: a light
// type and a primitive type, each from a sorted drop-down list. The new light does not depend on
// the choices yet; the dialog is the user's chance to cancel.
#include <mfc/afxwin.h>

class CEditLight : public CDialog
{
public:
    enum
    {
        IDD = 7002
    };
    static constexpr int IDC_LIGHT_TYPE = 1018;
    static constexpr int IDC_PRIMITIVE_TYPE = 1020;

    explicit CEditLight(CWnd* pParentWnd = nullptr) : CDialog(IDD, pParentWnd) {}

    CComboBox m_cbPrimitiveType;
    CComboBox m_cbLightType;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
};
