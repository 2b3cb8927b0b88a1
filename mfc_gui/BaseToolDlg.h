#pragma once
// A base for modeless tool dialogs. A pin button in the caption switches between locked open
// and auto roll-up, in which the dialog shrinks to its caption when it loses the focus and opens
// again when it gets the focus or the mouse comes back into it. The client area scrolls in steps
// of 8 pixels whenever the window is smaller than the dialog it was created from, and a size
// grip sits in the bottom-right corner.
#include "mfc_gui/CaptionButtonManager.h"

#include <mfc/afxdialog.h>

// A scroll bar whose whole client area is the bottom-right sizing border.
class CSizeGrip : public CScrollBar
{
protected:
    afx_msg LRESULT OnNcHitTest(CPoint point);
    DECLARE_MESSAGE_MAP()
};

class CBaseToolDlg : public CDialog
{
public:
    CBaseToolDlg(UINT nIDTemplate, CWnd* pParent);
    explicit CBaseToolDlg(CWnd* pParent);

    // The held overlay and the pin's pictures (the caller's; they must outlive the window),
    // before the window is created. FALSE, keeping the old ones, when any is null.
    BOOL SetBitmaps(HBITMAP hbmOverlay, HBITMAP hbmRolledNormal, HBITMAP hbmRolledPressed, HBITMAP hbmLockedNormal,
                    HBITMAP hbmLockedPressed);
    BOOL IsLockedOpen() const { return m_bLockedOpen; }
    BOOL RollUp();
    BOOL LockOpen();
    void Unroll();
    void ResetScroll();
    void UpdateScrollBars();

    // The scroll state in 8-pixel units, for tests.
    int GetHScrollMax() const { return m_nHScrollMax; }
    int GetVScrollMax() const { return m_nVScrollMax; }
    int GetHScrollPos() const { return m_nHScrollPos; }
    int GetVScrollPos() const { return m_nVScrollPos; }
    CSizeGrip& GetSizeGrip() { return m_wndSizeGrip; }
    CCaptionButtonManager& GetCaptionButtons() { return m_CaptionButtons; }

    // The pin button's id in the caption.
    enum
    {
        PIN_BUTTON = 1,
        SIZE_GRIP_ID = 59936,
    };

protected:
    BOOL OnInitDialog() override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    DECLARE_MESSAGE_MAP()

    // Opens to the saved placement (position and size).
    void RestoreSaved();
    // Rolls to caption height where the window stands.
    void RollToCaption();
    // Scrolls one bar by a step in 8-pixel units, clamped to its range.
    void ScrollBy(int nBar, int nStep);

    BOOL m_bLockedOpen = TRUE;
    WINDOWPLACEMENT m_wpSaved{};
    BOOL m_bInitialized = FALSE;
    int m_nHiddenCx = 0;
    int m_nHiddenCy = 0;
    int m_nVScrollMax = 0;
    int m_nHScrollMax = 0;
    int m_nVScrollPos = 0;
    int m_nHScrollPos = 0;
    HBITMAP m_hbmOverlay = nullptr;
    HBITMAP m_hbmRolledPressed = nullptr;
    HBITMAP m_hbmRolledNormal = nullptr;
    HBITMAP m_hbmLockedPressed = nullptr;
    HBITMAP m_hbmLockedNormal = nullptr;
    CRect m_rcFullClient;
    CSizeGrip m_wndSizeGrip;
    CCaptionButtonManager m_CaptionButtons;
};
