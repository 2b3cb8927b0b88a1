#pragma once
// The base of the tool dialogs: a dialog dragged by its client area (it has no caption of its
// own) that snaps to the edges of its reference window, the parent it was created in, and can
// paint a tiled background bitmap.
#include "mfc_gui/DockState.h"

#include <mfc/afxwin.h>

class CDockDialog : public CDialog, public CDockState
{
public:
    CDockDialog(UINT nIDTemplate, CWnd* pParentWnd);

    // Reads the reference window's rectangle again (also on a display change).
    virtual void UpdateReferenceRect();
    // A non-null window becomes the reference as well as the parent.
    CWnd* SetParent(CWnd* pWndNewParent);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND GetDockWindow() const override { return m_hWnd; }

    afx_msg void OnMoving(UINT fwSide, LPRECT pRect);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()
};
