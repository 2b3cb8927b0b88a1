#include "mfc_gui/BaseToolDlg.h"

#include <core/Log.h>
#include <win32/scrollwindow.h>

#include <algorithm>

namespace
{
const int SCROLL_UNIT = 8;   // pixels per scroll step
const COLORREF PIN_TRANSPARENT = RGB(255, 0, 255);
}

BEGIN_MESSAGE_MAP(CSizeGrip, CScrollBar)
    ON_WM_NCHITTEST()
END_MESSAGE_MAP()

LRESULT CSizeGrip::OnNcHitTest(CPoint point)
{
    const LRESULT nHit = CScrollBar::OnNcHitTest(point);
    return nHit == HTCLIENT ? HTBOTTOMRIGHT : nHit;
}

BEGIN_MESSAGE_MAP(CBaseToolDlg, CDialog)
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_MOUSEMOVE()
    ON_WM_KILLFOCUS()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

CBaseToolDlg::CBaseToolDlg(UINT nIDTemplate, CWnd* pParent) : CDialog(nIDTemplate, pParent) {}

CBaseToolDlg::CBaseToolDlg(CWnd* pParent)
{
    m_pParentWnd = pParent;
}

BOOL CBaseToolDlg::SetBitmaps(HBITMAP hbmOverlay, HBITMAP hbmRolledNormal, HBITMAP hbmRolledPressed,
                              HBITMAP hbmLockedNormal, HBITMAP hbmLockedPressed)
{
    if (!hbmOverlay || !hbmRolledNormal || !hbmRolledPressed || !hbmLockedNormal || !hbmLockedPressed)
        return FALSE;
    m_hbmOverlay = hbmOverlay;
    m_hbmRolledNormal = hbmRolledNormal;
    m_hbmRolledPressed = hbmRolledPressed;
    m_hbmLockedNormal = hbmLockedNormal;
    m_hbmLockedPressed = hbmLockedPressed;
    return TRUE;
}

BOOL CBaseToolDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_nHScrollPos = m_nVScrollPos = 0;
    GetClientRect(&m_rcFullClient);
    m_bInitialized = TRUE;
    CRect rcGrip = m_rcFullClient;
    rcGrip.left = rcGrip.right - GetSystemMetrics(SM_CXHSCROLL);
    rcGrip.top = rcGrip.bottom - GetSystemMetrics(SM_CYVSCROLL);
    m_wndSizeGrip.Create(WS_CHILD | WS_VISIBLE | SBS_SIZEBOX | SBS_SIZEBOXBOTTOMRIGHTALIGN | SBS_SIZEGRIP, rcGrip, this,
                         SIZE_GRIP_ID);
    if (!m_hbmOverlay || !m_hbmRolledNormal || !m_hbmRolledPressed || !m_hbmLockedNormal || !m_hbmLockedPressed)
    {
        LogError("CBaseToolDlg::CBaseToolDlg() - The bitmaps are null.");
        return FALSE;
    }
    m_CaptionButtons.Attach(m_hWnd);
    // The tool window's own close button stays rightmost.
    m_CaptionButtons.SetReservedButtonCount(1);
    m_CaptionButtons.SetTransparentColor(PIN_TRANSPARENT);
    m_CaptionButtons.SetHeldOverlay(m_hbmOverlay);
    m_CaptionButtons.AddButton(PIN_BUTTON, m_hbmLockedPressed, m_hbmLockedNormal, "Auto Roll-Up", -1);
    return TRUE;
}

// ---- Rolling up and opening

BOOL CBaseToolDlg::RollUp()
{
    m_bLockedOpen = FALSE;
    m_wpSaved.length = sizeof(m_wpSaved);
    GetWindowPlacement(&m_wpSaved);
    RollToCaption();
    m_CaptionButtons.SetButton(PIN_BUTTON, PIN_BUTTON, m_hbmRolledPressed, m_hbmRolledNormal, "Lock Window Open");
    return TRUE;
}

BOOL CBaseToolDlg::LockOpen()
{
    m_bLockedOpen = TRUE;
    SetWindowPlacement(&m_wpSaved);
    m_CaptionButtons.SetButton(PIN_BUTTON, PIN_BUTTON, m_hbmLockedPressed, m_hbmLockedNormal, "Auto Roll-Up");
    return TRUE;
}

void CBaseToolDlg::Unroll()
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(&wp);
    wp.rcNormalPosition.bottom =
        wp.rcNormalPosition.top + (m_wpSaved.rcNormalPosition.bottom - m_wpSaved.rcNormalPosition.top);
    SetWindowPlacement(&wp);
}

void CBaseToolDlg::RollToCaption()
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(&wp);
    wp.rcNormalPosition.bottom = wp.rcNormalPosition.top + GetSystemMetrics(SM_CYSMSIZE);
    SetWindowPlacement(&wp);
}

void CBaseToolDlg::RestoreSaved()
{
    SetWindowPlacement(&m_wpSaved);
}

LRESULT CBaseToolDlg::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_CAPTIONBUTTON_CLICKED:
        if (m_bLockedOpen)
            RollUp();
        else
            LockOpen();
        break;
    case WM_CAPTIONBUTTON_CLIENTMOVE:
        if (!m_bLockedOpen)
            Unroll();
        break;
    case WM_CAPTIONBUTTON_NCMOVE:
        if (!m_bLockedOpen)
            RollToCaption();
        break;
    default:
        break;
    }
    return CDialog::DefWindowProc(message, wParam, lParam);
}

void CBaseToolDlg::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bLockedOpen)
        RestoreSaved();
    CDialog::OnMouseMove(nFlags, point);
}

void CBaseToolDlg::OnSetFocus(CWnd* pOldWnd)
{
    if (!m_bLockedOpen)
        RestoreSaved();
    CDialog::OnSetFocus(pOldWnd);
}

void CBaseToolDlg::OnKillFocus(CWnd* pNewWnd)
{
    if (!m_bLockedOpen)
        RollToCaption();
    CDialog::OnKillFocus(pNewWnd);
}

// ---- Scrolling

void CBaseToolDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!m_bInitialized)
        return;
    ResetScroll();
    UpdateScrollBars();
}

void CBaseToolDlg::ResetScroll()
{
    // The content goes back to its origin; rolled up it was never moved.
    if (m_bLockedOpen)
    {
        ::ScrollWindow(m_hWnd, SCROLL_UNIT * m_nHScrollPos, 0, nullptr, nullptr);
        ::ScrollWindow(m_hWnd, 0, SCROLL_UNIT * m_nVScrollPos, nullptr, nullptr);
    }
    m_nHScrollPos = m_nVScrollPos = 0;
    ::SetScrollPos(m_hWnd, SB_HORZ, 0, TRUE);
    ::SetScrollPos(m_hWnd, SB_VERT, 0, TRUE);
}

void CBaseToolDlg::UpdateScrollBars()
{
    CRect rcClient;
    GetClientRect(&rcClient);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    GetWindowPlacement(&wp);
    const bool bMaximized = wp.showCmd == SW_SHOWMAXIMIZED;
    if (!m_bLockedOpen)
    {
        if (m_wndSizeGrip.m_hWnd)
            m_wndSizeGrip.ShowWindow(SW_HIDE);
        return;
    }
    // Whole steps hidden, truncated toward zero: a window 1 to 7 pixels smaller scrolls nothing.
    m_nHiddenCx = (m_rcFullClient.Width() - rcClient.Width()) / SCROLL_UNIT;
    m_nHiddenCy = (m_rcFullClient.Height() - rcClient.Height()) / SCROLL_UNIT;
    if (m_wndSizeGrip.m_hWnd)
        m_wndSizeGrip.ShowWindow(m_nHiddenCx > 0 || m_nHiddenCy > 0 || bMaximized ? SW_HIDE : SW_SHOW);
    m_nHScrollMax = std::max(m_nHiddenCx, 0);
    m_nHScrollPos = std::min(m_nHScrollPos, m_nHScrollMax);
    ::SetScrollRange(m_hWnd, SB_HORZ, 0, m_nHScrollMax, FALSE);
    ::SetScrollPos(m_hWnd, SB_HORZ, m_nHScrollPos, TRUE);
    m_nVScrollMax = std::max(m_nHiddenCy, 0);
    m_nVScrollPos = std::min(m_nVScrollPos, m_nVScrollMax);
    ::SetScrollRange(m_hWnd, SB_VERT, 0, m_nVScrollMax, FALSE);
    ::SetScrollPos(m_hWnd, SB_VERT, m_nVScrollPos, TRUE);
    if (bMaximized)
        return;
    if (CWnd* pGrip = GetDlgItem(SIZE_GRIP_ID))
    {
        CRect rcGrip;
        pGrip->GetWindowRect(&rcGrip);
        pGrip->MoveWindow(rcClient.right - rcGrip.Width(), rcClient.bottom - rcGrip.Height(), rcGrip.Width(),
                          rcGrip.Height(), TRUE);
    }
}

void CBaseToolDlg::ScrollBy(int nBar, int nStep)
{
    int& nPos = nBar == SB_HORZ ? m_nHScrollPos : m_nVScrollPos;
    const int nMax = nBar == SB_HORZ ? m_nHScrollMax : m_nVScrollMax;
    nStep = std::clamp(nStep, -nPos, nMax - nPos);
    if (nStep == 0)
        return;
    nPos += nStep;
    if (nBar == SB_HORZ)
        ::ScrollWindow(m_hWnd, -SCROLL_UNIT * nStep, 0, nullptr, nullptr);
    else
        ::ScrollWindow(m_hWnd, 0, -SCROLL_UNIT * nStep, nullptr, nullptr);
    ::SetScrollPos(m_hWnd, nBar, nPos, TRUE);
}

void CBaseToolDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    int nStep = 0;
    switch (nSBCode)
    {
    case SB_LINELEFT: nStep = -1; break;
    case SB_LINERIGHT: nStep = 1; break;
    case SB_PAGELEFT: nStep = -8; break;
    case SB_PAGERIGHT: nStep = 8; break;
    case SB_THUMBTRACK: nStep = static_cast<int>(nPos) - m_nHScrollPos; break;
    case SB_LEFT: nStep = -m_nHScrollPos; break;
    case SB_RIGHT: nStep = m_nHScrollMax - m_nHScrollPos; break;
    default: break;
    }
    ScrollBy(SB_HORZ, nStep);
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CBaseToolDlg::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    int nStep = 0;
    const int nPage = std::max(m_nHiddenCy, 1);
    switch (nSBCode)
    {
    case SB_LINEUP: nStep = -1; break;
    case SB_LINEDOWN: nStep = 1; break;
    case SB_PAGEUP: nStep = -nPage; break;
    case SB_PAGEDOWN: nStep = nPage; break;
    case SB_THUMBTRACK: nStep = static_cast<int>(nPos) - m_nVScrollPos; break;
    case SB_TOP: nStep = -m_nVScrollPos; break;
    case SB_BOTTOM: nStep = m_nVScrollMax - m_nVScrollPos; break;
    default: break;
    }
    ScrollBy(SB_VERT, nStep);
    CDialog::OnVScroll(nSBCode, nPos, pScrollBar);
}
