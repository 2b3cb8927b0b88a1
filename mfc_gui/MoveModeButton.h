#pragma once
// The general tool window's Move Mode button: a bitmap button that keeps its own on/off state,
// shows it in its caption and, while on, keeps the keyboard focus (the arrow keys then move the
// camera). Toggles from a key are ignored within half a second of the last one, so a held key
// does not flip it back and forth.
#include "mfc_gui/BtnST.h"

class CMoveModeButton : public CBtnST
{
public:
    // Key toggles closer than this to the previous one are ignored.
    static constexpr DWORD KEY_DEBOUNCE_MS = 500;

    void SetMoveMode(int bOn, int bFromKey);
    int IsMoveMode() const { return m_bMoveMode; }

    DWORD m_dwLastToggle = 0;   // timeGetTime of the last key toggle
    int m_bMoveMode = 0;

protected:
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};
