// CStatusBar over the window layer's status bar control.
#include <mfc/afxext.h>

#include <algorithm>

namespace
{
// Room around an indicator's text inside its pane, in pixels.
const int PANE_PADDING = 8;

// The prompt pane is updated by the frame; the indicators show their text when enabled.
class CStatusCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT nID, nStyle;
        int cx;
        pBar->GetPaneInfo(static_cast<int>(m_nIndex), nID, nStyle, cx);
        UINT nNew = bOn ? nStyle & ~SBPS_DISABLED : nStyle | SBPS_DISABLED;
        if (nNew != nStyle)
        {
            pBar->SetPaneInfo(static_cast<int>(m_nIndex), nID, nNew, cx);
            CString strText;
            if (bOn)
                strText.LoadString(nID);
            pBar->SetPaneText(static_cast<int>(m_nIndex), strText);
        }
    }
    void SetCheck(int) override {}
    void SetText(const char* lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};
}

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    // The frame's layout places the bar; the control keeps only its own height.
    DWORD dwWindowStyle = TakeBarStyle(dwStyle) | WS_CHILD | CCS_NOPARENTALIGN | CCS_NODIVIDER;
    return CWnd::CreateEx(0, STATUSCLASSNAME, nullptr, dwWindowStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0 || (nIDCount > 0 && !lpIDArray))
        return FALSE;
    m_Panes.clear();
    CClientDC dc(this);
    CFont* pFont = GetFont();
    CFont* pOldFont = pFont ? dc.SelectObject(pFont) : nullptr;
    BOOL bResult = TRUE;
    for (int i = 0; i < nIDCount; ++i)
    {
        Pane pane{lpIDArray[i], SBPS_NORMAL, 0};
        CString strText;
        if (pane.m_nID == ID_SEPARATOR)
            pane.m_nStyle = SBPS_STRETCH | SBPS_NOBORDERS;
        else if (strText.LoadString(pane.m_nID))
            pane.m_cxText = dc.GetTextExtent(strText).cx;
        else
            bResult = FALSE;   // an indicator without its string
        m_Panes.push_back(pane);
    }
    if (pOldFont)
        dc.SelectObject(pOldFont);
    UpdateParts();
    for (int i = 0; i < nIDCount; ++i)
        if (m_Panes[static_cast<size_t>(i)].m_nID != ID_SEPARATOR)
        {
            CString strText;
            strText.LoadString(m_Panes[static_cast<size_t>(i)].m_nID);
            SetPaneText(i, strText);
        }
    return bResult;
}

void CStatusBar::UpdateParts()
{
    if (!m_hWnd || m_Panes.empty())
        return;
    CRect rc;
    GetClientRect(&rc);
    // Fixed panes take their width from the right; a stretching pane takes what is left.
    std::vector<int> widths;
    int nFixed = 0;
    for (const Pane& p : m_Panes)
    {
        int cx = (p.m_nStyle & SBPS_STRETCH) ? 0 : p.m_cxText + PANE_PADDING;
        widths.push_back(cx);
        nFixed += cx;
    }
    int nStretch = std::max(0, rc.Width() - nFixed);
    std::vector<int> edges;
    int x = 0;
    for (size_t i = 0; i < m_Panes.size(); ++i)
    {
        x += (m_Panes[i].m_nStyle & SBPS_STRETCH) ? nStretch : widths[i];
        edges.push_back(i + 1 == m_Panes.size() ? -1 : x);
    }
    ::SendMessageA(m_hWnd, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    CControlBar::OnSize(nType, cx, cy);
    UpdateParts();
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_Panes.size(); ++i)
        if (m_Panes[i].m_nID == nIDFind)
            return static_cast<int>(i);
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return nIndex >= 0 && nIndex < static_cast<int>(m_Panes.size()) ? m_Panes[static_cast<size_t>(nIndex)].m_nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!::SendMessageA(m_hWnd, SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

BOOL CStatusBar::SetPaneText(int nIndex, const char* lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_Panes.size()))
        return FALSE;
    UINT nType = m_Panes[static_cast<size_t>(nIndex)].m_nStyle & (SBPS_NOBORDERS | SBPS_POPOUT);
    BOOL bResult = static_cast<BOOL>(::SendMessageA(m_hWnd, SB_SETTEXTA, static_cast<WPARAM>(nIndex) | nType,
                                                    reinterpret_cast<LPARAM>(lpszNewText ? lpszNewText : "")));
    if (bResult && bUpdate)
        UpdateWindow();
    return bResult;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    CString strText;
    int n = LOWORD(::SendMessageA(m_hWnd, SB_GETTEXTLENGTHA, static_cast<WPARAM>(nIndex), 0));
    ::SendMessageA(m_hWnd, SB_GETTEXTA, static_cast<WPARAM>(nIndex),
                   reinterpret_cast<LPARAM>(strText.GetBufferSetLength(n)));
    strText.ReleaseBuffer();
    return strText;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    nID = 0;
    nStyle = 0;
    cxWidth = 0;
    if (nIndex < 0 || nIndex >= static_cast<int>(m_Panes.size()))
        return;
    const Pane& pane = m_Panes[static_cast<size_t>(nIndex)];
    nID = pane.m_nID;
    nStyle = pane.m_nStyle;
    cxWidth = pane.m_cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_Panes.size()))
        return;
    m_Panes[static_cast<size_t>(nIndex)] = Pane{nID, nStyle, cxWidth};
    UpdateParts();
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL)
{
    // The control keeps the height its font needs.
    CRect rc;
    GetWindowRect(&rc);
    return CSize(32767, rc.Height());
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_Panes.size());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex)
    {
        state.m_nID = m_Panes[state.m_nIndex].m_nID;
        if (state.m_nID != ID_SEPARATOR)
            state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}
