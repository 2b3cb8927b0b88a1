#include "mfc_gui/DockState.h"

namespace
{
bool Near(LONG nEdge, LONG nReference, int nDistance)
{
    return nReference - nDistance < nEdge && nEdge < nReference + nDistance;
}
}

CDockState::CDockState() : m_hWndReference(::GetDesktopWindow())
{
    ReadReferenceRect();
}

CDockState::~CDockState()
{
    delete m_pBackground;
}

void CDockState::ReadReferenceRect()
{
    RECT rc;
    if (::GetWindowRect(m_hWndReference, &rc))
        m_rcReference = rc;
}

void CDockState::TakeReference(HWND hWndParent)
{
    m_hWndReference = hWndParent ? hWndParent : ::GetDesktopWindow();
    ReadReferenceRect();
}

void CDockState::Grab(POINT ptScreen)
{
    RECT rc{};
    ::GetWindowRect(GetDockWindow(), &rc);
    m_ptGrabOffset = {ptScreen.x - rc.left, ptScreen.y - rc.top};
}

void CDockState::Snap(LPRECT pRect)
{
    ReadReferenceRect();
    const LONG w = pRect->right - pRect->left;
    const LONG h = pRect->bottom - pRect->top;
    POINT ptCursor{};
    ::GetCursorPos(&ptCursor);
    pRect->left = ptCursor.x - m_ptGrabOffset.x;
    pRect->top = ptCursor.y - m_ptGrabOffset.y;
    pRect->right = pRect->left + w;
    pRect->bottom = pRect->top + h;

    const RECT& ref = m_rcReference;
    BOOL bDocked = FALSE;
    if (Near(pRect->top, ref.top, m_nSnapDistance))
    {
        pRect->top = ref.top;
        pRect->bottom = ref.top + h;
        bDocked = TRUE;
    }
    if (Near(pRect->left, ref.left, m_nSnapDistance))
    {
        pRect->left = ref.left;
        pRect->right = ref.left + w;
        bDocked = TRUE;
    }
    if (Near(pRect->right, ref.right, m_nSnapDistance))
    {
        pRect->right = ref.right;
        pRect->left = ref.right - w;
        bDocked = TRUE;
    }
    if (Near(pRect->bottom, ref.bottom, m_nSnapDistance))
    {
        pRect->bottom = ref.bottom;
        pRect->top = ref.bottom - h;
        bDocked = TRUE;
    }
    m_bDocked = bDocked;
    if (m_bHideCaption)
    {
        if (bDocked)
            HideCaption();
        else
            ShowCaption();
    }
}

BOOL CDockState::PaintBackground(CDC* pDC)
{
    if (!m_pBackground)
        return FALSE;
    CRect rc;
    ::GetClientRect(GetDockWindow(), &rc);
    return m_pBackground->Paint(pDC, rc);
}

void CDockState::DeleteBackground()
{
    delete m_pBackground;
    m_pBackground = nullptr;
}

void CDockState::HideCaption()
{
    CWnd::ModifyStyle(GetDockWindow(), WS_CAPTION, WS_DLGFRAME, SWP_NOZORDER);
}

void CDockState::ShowCaption()
{
    CWnd::ModifyStyle(GetDockWindow(), WS_DLGFRAME, WS_CAPTION, SWP_NOZORDER);
}

bool CDockState::Placements(RECT& rcOwn, RECT& rcReference) const
{
    WINDOWPLACEMENT own{}, reference{};
    own.length = reference.length = sizeof(WINDOWPLACEMENT);
    if (!::GetWindowPlacement(GetDockWindow(), &own) || !::GetWindowPlacement(m_hWndReference, &reference))
        return false;
    rcOwn = own.rcNormalPosition;
    rcReference = reference.rcNormalPosition;
    return true;
}

void CDockState::MoveTo(int x, int y, const RECT& own)
{
    m_bDocked = TRUE;
    ::SetWindowPos(GetDockWindow(), nullptr, x, y, own.right - own.left, own.bottom - own.top,
                   SWP_NOZORDER | SWP_SHOWWINDOW);
}

BOOL CDockState::DockBottom()
{
    RECT own{}, ref{};
    Placements(own, ref);
    MoveTo(own.left, ref.bottom - (own.bottom - own.top) - 1, own);
    return TRUE;
}

BOOL CDockState::DockTop()
{
    RECT own{}, ref{};
    Placements(own, ref);
    MoveTo(own.left, 0, own);
    return TRUE;
}

BOOL CDockState::DockLeft()
{
    RECT own{}, ref{};
    Placements(own, ref);
    MoveTo(0, own.top, own);
    return TRUE;
}

BOOL CDockState::DockRight()
{
    RECT own{}, ref{};
    Placements(own, ref);
    MoveTo(ref.right - (own.right - own.left) - 1, own.top, own);
    return TRUE;
}

BOOL CDockState::DockBottomLeft()
{
    DockBottom();
    return DockLeft();
}

BOOL CDockState::DockBottomRight()
{
    DockBottom();
    return DockRight();
}

BOOL CDockState::DockTopLeft()
{
    DockTop();
    return DockLeft();
}

BOOL CDockState::DockTopRight()
{
    DockTop();
    return DockRight();
}
