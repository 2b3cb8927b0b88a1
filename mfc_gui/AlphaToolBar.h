#pragma once
// A toolbar that loads its toolbar resource itself and shows its icons through an alpha image
// list: the normal images, the darkened ones when hot, the grey ones when disabled.
#include "mfc_gui/AlphaImageList.h"

#include <mfc/afxext.h>

class CAlphaToolBar : public CToolBar
{
public:
    CAlphaToolBar() = default;
    ~CAlphaToolBar() override = default;

    // A flat, transparent bar at the top of the parent, not visible until shown.
    BOOL CreateEx(CWnd* pParentWnd, UINT nID);
    // Buttons, sizes and images of toolbar resource nId and its bitmap; nMode as the image list's.
    BOOL LoadToolBar(UINT nId, int nMode);

protected:
    CAlphaImageList m_images;
};
