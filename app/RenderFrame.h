#pragma once
// A plain frame window with a status bar and a toolbar, creatable by name as "RenderFrame". The
// main window is RenderWindow; this frame is kept for hosting the view without the editing
// bars. Its status bar shows the message pane and the Caps Lock, Num Lock and Scroll Lock
// indicators; the toolbar is held but not created.
#include <mfc/afxext.h>
#include <mfc/afxframe.h>

class RenderFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(RenderFrame)
public:
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

protected:
    // Creates the status bar and shows the splash picture; -1 when the status bar fails.
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    DECLARE_MESSAGE_MAP()
};
