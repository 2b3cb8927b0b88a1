#pragma once
// The view's render surface window: the device presents into it. It is a dock window that is
// not dragged by its client area (the mouse there steers the camera, or moves meshes while the
// transform tool asks), and it can leave its parent to cover the desktop as a top-most window
// and come back.
#include "mfc_gui/DockWnd.h"

class CRenderWnd : public CDockWnd
{
public:
    static constexpr int FULL_SCREEN_WIDTH = 1280;
    static constexpr int FULL_SCREEN_HEIGHT = 1024;
    static constexpr int WINDOWED_WIDTH = 877;
    static constexpr int WINDOWED_HEIGHT = 635;

    CRenderWnd() { m_bDragByClient = FALSE; }

    // On the desktop, top-most, without a sizing border, at (0, 0), 1280 x 1024.
    void GoFullscreen();
    // Back into its previous parent with a sizing border, at (0, 0), 877 x 635.
    void GoWindowed();
    BOOL IsDraggedByClient() const { return m_bDragByClient; }

    // The parent before the last switch to full screen.
    CWnd* m_pOldParent = nullptr;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
