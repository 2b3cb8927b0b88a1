#pragma once
// The view's render surface window: the device presents into it. It can leave its parent to
// cover the desktop as a top-most window and come back.
#include <mfc/afxwin.h>

class CRenderWnd : public CWnd
{
public:
    static constexpr int FULL_SCREEN_WIDTH = 1280;
    static constexpr int FULL_SCREEN_HEIGHT = 1024;
    static constexpr int WINDOWED_WIDTH = 877;
    static constexpr int WINDOWED_HEIGHT = 635;

    // A child of the parent with the class name "CRenderWnd".
    bool Create(CWnd* pParentWnd);
    // On the desktop, top-most, without a sizing border, at (0, 0), 1280 x 1024.
    void GoFullscreen();
    // Back into its previous parent with a sizing border, at (0, 0), 877 x 635.
    void GoWindowed();

    HWND m_hPreviousParent = nullptr;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};
