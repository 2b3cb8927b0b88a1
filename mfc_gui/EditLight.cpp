#include "mfc_gui/EditLight.h"

void CEditLight::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PRIMITIVE_TYPE, m_cbPrimitiveType);
    DDX_Control(pDX, IDC_LIGHT_TYPE, m_cbLightType);
}
