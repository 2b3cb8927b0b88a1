// CControlBar and the layout that places control bars along the edges of their parent.
#include <mfc/afxwin.h>

#include <algorithm>
#include <vector>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, &CControlBar::OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CControlBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

DWORD CControlBar::TakeBarStyle(DWORD dwStyle)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    return dwStyle & ~CBRS_ALL;
}

CSize CControlBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    // By default a bar keeps its current thickness.
    CRect rc;
    GetWindowRect(&rc);
    return bHorz ? CSize(32767, rc.Height()) : CSize(rc.Width(), 32767);
}

void CControlBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    auto* pLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    if (!IsVisible())
        return 0;
    CRect rect(pLayout->rect);
    CSize sizeAvail = rect.Size();
    bool bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CSize size = CalcFixedLayout(pLayout->bStretch, bHorz);
    size.cx = std::min(size.cx, sizeAvail.cx);
    size.cy = std::min(size.cy, sizeAvail.cy);
    if (bHorz)
    {
        pLayout->sizeTotal.cy += size.cy;
        pLayout->sizeTotal.cx = std::max(pLayout->sizeTotal.cx, size.cx);
        if (m_dwStyle & CBRS_ALIGN_TOP)
            pLayout->rect.top += size.cy;
        else
        {
            rect.top = rect.bottom - size.cy;
            pLayout->rect.bottom -= size.cy;
        }
    }
    else
    {
        pLayout->sizeTotal.cx += size.cx;
        pLayout->sizeTotal.cy = std::max(pLayout->sizeTotal.cy, size.cy);
        if (m_dwStyle & CBRS_ALIGN_LEFT)
            pLayout->rect.left += size.cx;
        else
        {
            rect.left = rect.right - size.cx;
            pLayout->rect.right -= size.cx;
        }
    }
    rect.right = rect.left + size.cx;
    rect.bottom = rect.top + size.cy;
    if (pLayout->bMove)
        SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (!IsVisible())
        return 0;
    CFrameWnd* pTarget = GetParentFrame();
    if (pTarget)
        OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    return 0;
}

void CWnd::RepositionBars(UINT nIDFirst, UINT nIDLast, UINT nIDLeftOver, UINT nFlags, LPRECT lpRectParam,
                          LPCRECT lpRectClient, BOOL bStretch)
{
    AFX_SIZEPARENTPARAMS layout{};
    layout.bStretch = bStretch;
    layout.bMove = !(nFlags & reposQuery);
    if (lpRectClient)
        layout.rect = *lpRectClient;
    else
        GetClientRect(&layout.rect);
    // The bars in z-order take their strips; the window nIDLeftOver gets what remains.
    std::vector<HWND> children;
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        children.push_back(h);
    HWND hWndLeftOver = nullptr;
    for (HWND h : children)
    {
        UINT nIDC = static_cast<UINT>(::GetDlgCtrlID(h));
        CWnd* pWnd = FromHandlePermanent(h);
        if (nIDC == nIDLeftOver)
            hWndLeftOver = h;
        else if (nIDC >= nIDFirst && nIDC <= nIDLast && pWnd)
            ::SendMessageA(h, WM_SIZEPARENT, 0, reinterpret_cast<LPARAM>(&layout));
    }
    if (nFlags & reposQuery)
    {
        if (lpRectParam)
        {
            if (bStretch)
                ::CopyRect(lpRectParam, &layout.rect);
            else
                ::SetRect(lpRectParam, 0, 0, layout.sizeTotal.cx, layout.sizeTotal.cy);
        }
        return;
    }
    CRect rect(layout.rect);
    if ((nFlags & reposExtra) && lpRectParam)
        rect.DeflateRect(lpRectParam->left, lpRectParam->top, lpRectParam->right, lpRectParam->bottom);
    if (hWndLeftOver && !(nFlags & reposNoPosLeftOver))
        ::SetWindowPos(hWndLeftOver, nullptr, rect.left, rect.top, std::max(0, rect.Width()),
                       std::max(0, rect.Height()), SWP_NOZORDER | SWP_NOACTIVATE);
}
