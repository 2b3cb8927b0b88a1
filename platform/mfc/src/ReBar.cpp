// CReBar over the window layer's rebar control.
#include <mfc/afxext.h>

IMPLEMENT_DYNAMIC(CReBarCtrl, CWnd)
IMPLEMENT_DYNAMIC(CReBar, CControlBar)

BEGIN_MESSAGE_MAP(CReBar, CControlBar)
    ON_NOTIFY_REFLECT(RBN_HEIGHTCHANGE, &CReBar::OnHeightChange)
END_MESSAGE_MAP()

UINT CReBarCtrl::GetBandCount() const
{
    return static_cast<UINT>(::SendMessageA(m_hWnd, RB_GETBANDCOUNT, 0, 0));
}

BOOL CReBarCtrl::InsertBand(UINT uIndex, REBARBANDINFO* prbbi)
{
    return static_cast<BOOL>(::SendMessageA(m_hWnd, RB_INSERTBAND, uIndex, reinterpret_cast<LPARAM>(prbbi)));
}

BOOL CReBarCtrl::SetBandInfo(UINT uBand, REBARBANDINFO* prbbi)
{
    return static_cast<BOOL>(::SendMessageA(m_hWnd, RB_SETBANDINFO, uBand, reinterpret_cast<LPARAM>(prbbi)));
}

BOOL CReBarCtrl::GetBandInfo(UINT uBand, REBARBANDINFO* prbbi) const
{
    return static_cast<BOOL>(::SendMessageA(m_hWnd, RB_GETBANDINFO, uBand, reinterpret_cast<LPARAM>(prbbi)));
}

UINT CReBarCtrl::GetBarHeight() const
{
    return static_cast<UINT>(::SendMessageA(m_hWnd, RB_GETBARHEIGHT, 0, 0));
}

BOOL CReBarCtrl::GetRect(UINT uBand, LPRECT prc) const
{
    return static_cast<BOOL>(::SendMessageA(m_hWnd, RB_GETRECT, uBand, reinterpret_cast<LPARAM>(prc)));
}

BOOL CReBar::Create(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    // The frame's layout places the bar.
    DWORD dwWindowStyle = TakeBarStyle(dwStyle) | dwCtrlStyle | WS_CHILD | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    if (!CWnd::CreateEx(0, REBARCLASSNAME, nullptr, dwWindowStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    m_Ctrl.m_hWnd = m_hWnd;
    return TRUE;
}

CReBarCtrl& CReBar::GetReBarCtrl() const
{
    m_Ctrl.m_hWnd = m_hWnd;
    return m_Ctrl;
}

BOOL CReBar::AddBar(CWnd* pBar, const char* pszText, CBitmap* pbmp, DWORD dwStyle)
{
    if (!pBar || !pBar->m_hWnd)
        return FALSE;
    // The band is as tall as the child is now, and at least as wide.
    CRect rc;
    pBar->GetWindowRect(&rc);
    REBARBANDINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = RBBIM_STYLE | RBBIM_CHILD | RBBIM_CHILDSIZE;
    info.fStyle = dwStyle;
    info.hwndChild = pBar->m_hWnd;
    info.cxMinChild = static_cast<UINT>(rc.Width());
    info.cyMinChild = static_cast<UINT>(rc.Height());
    info.cyChild = static_cast<UINT>(rc.Height());
    info.cyMaxChild = static_cast<UINT>(rc.Height());
    if (pszText)
    {
        info.fMask |= RBBIM_TEXT;
        info.lpText = const_cast<char*>(pszText);
    }
    if (pbmp)
    {
        info.fMask |= RBBIM_BACKGROUND;
        info.hbmBack = *pbmp;
    }
    return GetReBarCtrl().InsertBand(static_cast<UINT>(-1), &info);
}

CSize CReBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    int nHeight = static_cast<int>(GetReBarCtrl().GetBarHeight());
    return bHorz ? CSize(32767, nHeight) : CSize(nHeight, 32767);
}

void CReBar::OnHeightChange(NMHDR*, LRESULT* pResult)
{
    // The frame gives the bar its new height and the view the rest.
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
    *pResult = 0;
}
