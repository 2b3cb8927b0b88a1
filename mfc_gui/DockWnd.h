#pragma once
// The plain-window flavour of the dock dialog: the view's decoration bars and the render window.
// Dragging by the client area can be switched off (the render window does while the transform
// tool moves meshes with the mouse).
#include "mfc_gui/DockState.h"

#include <mfc/afxwin.h>

class CDockWnd : public CWnd, public CDockState
{
public:
    CDockWnd() = default;

    virtual void UpdateReferenceRect();
    CWnd* SetParent(CWnd* pWndNewParent);
    void SetDragByClient(BOOL bDrag) { m_bDragByClient = bDrag; }
    // Create the background on first use and load it; the loader's result.
    int SetBackgroundFromFile(const char* szPath);
    int SetBackgroundFromResource(const char* szResource);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    HWND GetDockWindow() const override { return m_hWnd; }

    afx_msg void OnMoving(UINT fwSide, LPRECT pRect);
    afx_msg void OnNcLButtonDown(UINT nHitTest, CPoint point);
    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg LRESULT OnNcHitTest(CPoint point);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnDestroy();
    DECLARE_MESSAGE_MAP()

    BOOL m_bDragByClient = TRUE;

private:
    CBackgroundBitmap& Background();
};
