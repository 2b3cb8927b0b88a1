// CToolBar: a control bar over the window layer's toolbar control.
#include <mfc/afxext.h>

#include <algorithm>
#include <vector>

namespace
{
// A toolbar button's command UI: enabling and checking set the button's state.
class CToolCmdUI : public CCmdUI
{
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        static_cast<CToolBar*>(m_pOther)->GetToolBarCtrl().EnableButton(static_cast<int>(m_nID), bOn);
    }
    void SetCheck(int nCheck) override
    {
        static_cast<CToolBar*>(m_pOther)->GetToolBarCtrl().CheckButton(static_cast<int>(m_nID), nCheck != 0);
    }
    void SetText(const char*) override {}
};
}

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(0, 0, 0, 0), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect, UINT nID)
{
    // The frame's layout places the bar.
    DWORD dwWindowStyle = TakeBarStyle(dwStyle) | dwCtrlStyle | WS_CHILD | CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, nullptr, dwWindowStyle, CRect(0, 0, 0, 0), pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

CToolBarCtrl& CToolBar::GetToolBarCtrl() const
{
    m_Ctrl.m_hWnd = m_hWnd;
    return m_Ctrl;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    while (ctrl.GetButtonCount() > 0)
        ctrl.DeleteButton(0);
    std::vector<TBBUTTON> buttons;
    int nImage = 0;
    for (int i = 0; i < nIDCount; ++i)
    {
        TBBUTTON b{};
        b.iString = -1;
        b.fsState = TBSTATE_ENABLED;
        if (lpIDArray && lpIDArray[i] == ID_SEPARATOR)
            b.fsStyle = TBSTYLE_SEP;
        else
        {
            b.idCommand = lpIDArray ? static_cast<int>(lpIDArray[i]) : 0;
            b.iBitmap = nImage++;
        }
        buttons.push_back(b);
    }
    return buttons.empty() || ctrl.AddButtons(static_cast<int>(buttons.size()), buttons.data());
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    GetToolBarCtrl().SetBitmapSize(sizeImage);
    GetToolBarCtrl().SetButtonSize(sizeButton);
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON b{};
    return GetToolBarCtrl().GetButton(nIndex, &b) ? static_cast<UINT>(b.idCommand) : 0;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    // As long as the buttons' row (the full edge when stretched) and as thick as a button.
    CToolBarCtrl& ctrl = GetToolBarCtrl();
    CSize size = ctrl.GetButtonSize();
    int nCount = ctrl.GetButtonCount();
    CRect rcLast;
    int nLength = nCount > 0 && ctrl.GetItemRect(nCount - 1, &rcLast) ? rcLast.right : 0;
    if (nCount > 0)
        size.cy = std::max<LONG>(size.cy, rcLast.Height());
    if (bHorz)
        return CSize(bStretch ? 32767 : nLength, size.cy);
    return CSize(size.cx, bStretch ? 32767 : nLength);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetToolBarCtrl().GetButtonCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex)
    {
        TBBUTTON b{};
        GetToolBarCtrl().GetButton(static_cast<int>(state.m_nIndex), &b);
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = static_cast<UINT>(b.idCommand);
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}
