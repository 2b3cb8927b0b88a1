#include "app/RenderFrame.h"

#include "core/Log.h"
#include "mfc_gui/SplashWnd.h"

#include <mfc/afxres.h>

IMPLEMENT_DYNCREATE(RenderFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(RenderFrame, CFrameWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

namespace
{
const UINT STATUS_INDICATORS[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};
}

int RenderFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(STATUS_INDICATORS, sizeof(STATUS_INDICATORS) / sizeof(STATUS_INDICATORS[0])))
    {
        LogTrace("Failed to create status bar\n");
        return -1;
    }
    CSplashWnd::Show(this);
    return 0;
}
