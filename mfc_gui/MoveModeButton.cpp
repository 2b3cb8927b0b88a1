#include "mfc_gui/MoveModeButton.h"

#include <core/Log.h>
#include <win32/clock.h>

BEGIN_MESSAGE_MAP(CMoveModeButton, CBtnST)
    ON_WM_KILLFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

void CMoveModeButton::SetMoveMode(int bOn, int bFromKey)
{
    if (bFromKey)
    {
        const DWORD dwNow = timeGetTime();
        // Unsigned difference: right across the counter's wrap as well.
        if (dwNow - m_dwLastToggle < KEY_DEBOUNCE_MS)
            return;
        m_dwLastToggle = dwNow;
    }
    m_bMoveMode = bOn ? 1 : 0;
    if (m_bMoveMode)
    {
        if (m_hWnd)
            SetWindowText("Move mode: On");
        LogInfo("Move mode Enabled");
        if (m_hWnd)
            SetFocus();
    }
    else
    {
        if (m_hWnd)
            SetWindowText("Move mode: Off");
        LogInfo("Move mode Disabled");
    }
    if (m_hWnd)
        Invalidate();
}

void CMoveModeButton::OnLButtonDown(UINT nFlags, CPoint point)
{
    SetMoveMode(!m_bMoveMode, 0);
    CBtnST::OnLButtonDown(nFlags, point);
}

// The bitmap button takes a double click as a second click; so does the move mode, which would
// otherwise disagree with the button's checked look.
void CMoveModeButton::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    SetMoveMode(!m_bMoveMode, 0);
    CBtnST::OnLButtonDblClk(nFlags, point);
}

void CMoveModeButton::OnKillFocus(CWnd* pNewWnd)
{
    if (m_bMoveMode)
    {
        SetFocus();
        return;
    }
    CBtnST::OnKillFocus(pNewWnd);
}
