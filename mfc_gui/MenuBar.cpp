#include "mfc_gui/MenuBar.h"

#include "mfc_gui/ToolBarResource.h"

#include <win32/sysparams.h>

#include <cctype>
#include <cstring>

namespace
{
// The bar whose popup is open and the message filter installed for it; set for one popup only.
CMenuBar* g_pActiveMenuBar = nullptr;
HHOOK g_hMenuFilterHook = nullptr;

const DWORD MENU_BAR_STYLE = WS_CHILD | WS_VISIBLE | TBSTYLE_LIST | TBSTYLE_FLAT | CCS_NODIVIDER | CCS_NORESIZE;
const UINT MF_POPUP_HILITE_MOUSE = MF_POPUP | MF_HILITE | MF_MOUSESELECT;
const int ICON_SIDE = 16;
const int ICON_STRIP = 21;   // the icon column of a popup item, from its left
}

BEGIN_MESSAGE_MAP(CMenuBar, CToolBarCtrl)
    ON_WM_LBUTTONDOWN()
    ON_WM_KILLFOCUS()
    ON_WM_INITMENUPOPUP()
    ON_WM_MEASUREITEM()
    ON_WM_DRAWITEM()
    ON_WM_ENTERIDLE()
    ON_WM_MENUSELECT()
    ON_MESSAGE(WM_MENUBAR_TRACKPOPUP, &CMenuBar::OnTrackPopup)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, &CMenuBar::OnCustomDraw)
END_MESSAGE_MAP()

CMenuBar::~CMenuBar()
{
    for (CMenu* pMenu : {m_pMenu, m_pAltMenu})
        if (pMenu)
        {
            pMenu->DestroyMenu();
            delete pMenu;
        }
}

CMenuBar* CMenuBar::GetActiveMenuBar()
{
    return g_pActiveMenuBar;
}

BOOL CMenuBar::Create(CWnd* pParentWnd, UINT nID)
{
    return CToolBarCtrl::Create(MENU_BAR_STYLE, CRect(0, 0, 0, 0), pParentWnd, nID);
}

CWnd* CMenuBar::Frame() const
{
    return GetParentFrame() ? static_cast<CWnd*>(GetParentFrame()) : GetParent();
}

BOOL CMenuBar::LoadMenu(UINT nMenuId, int nMode)
{
    if (m_pMenu)
        m_pMenu->DestroyMenu();
    else
        m_pMenu = new CMenu;
    if (!m_pMenu->LoadMenu(nMenuId) || !m_images.Create(ICON_SIDE, ICON_SIDE, nMode, 0))
        return FALSE;
    m_ids.RemoveAll();
    while (GetButtonCount() > 0)
        DeleteButton(0);
    m_nButtons = m_pMenu->GetMenuItemCount();
    SetBitmapSize(CSize(1, 1));
    for (int i = 0; i < m_nButtons; ++i)
    {
        CString strText;
        m_pMenu->GetMenuString(static_cast<UINT>(i), strText, MF_BYPOSITION);
        std::string strPool(static_cast<const char*>(strText));
        strPool.push_back('\0');   // the pool's list ends with two zeros
        TBBUTTON button{};
        button.iBitmap = 0;
        button.idCommand = i;
        button.fsState = TBSTATE_ENABLED;
        button.fsStyle = TBSTYLE_BUTTON;
        button.iString = AddStrings(strPool.c_str());
        if (!AddButtons(1, &button))
            return FALSE;
    }
    UpdateFont();
    return TRUE;
}

BOOL CMenuBar::LoadAltMenu(UINT nMenuId)
{
    if (m_pAltMenu)
        m_pAltMenu->DestroyMenu();
    else
        m_pAltMenu = new CMenu;
    return m_pAltMenu->LoadMenu(nMenuId);
}

BOOL CMenuBar::LoadMenuIcons(UINT nToolBarId)
{
    ToolBarResource toolbar;
    if (!ReadToolBarResource(nToolBarId, toolbar))
        return FALSE;
    for (UINT nId : toolbar.m_Ids)
        if (nId)
            m_ids.Add(nId);
    return m_images.AddBitmap(nToolBarId);
}

void CMenuBar::UpdateFont()
{
    m_bAlwaysCues = TRUE;
    m_bAltLook = FALSE;
    SetKeyboardMode(TRUE);
    // The system's menu font, from the non-client metrics.
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = 340;
    m_font.DeleteObject();
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        m_font.CreateFontIndirect(&metrics.lfMenuFont);
    SetFont(&m_font, TRUE);

    CRect rcLast(0, 0, 0, 0);
    if (GetButtonCount() > 0)
        GetItemRect(GetButtonCount() - 1, &rcLast);
    const CSize size(rcLast.right, rcLast.bottom);
    CWnd* pParent = GetParent();
    if (!pParent || pParent == GetParentFrame() || !GetParentFrame())
    {
        SetWindowPos(nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
        return;
    }
    // In a rebar: the band holding the bar takes its size.
    const int nBands = static_cast<int>(pParent->SendMessage(RB_GETBANDCOUNT));
    for (int i = 0; i < nBands; ++i)
    {
        REBARBANDINFOA info{};
        info.cbSize = 80;
        info.fMask = RBBIM_CHILD;
        pParent->SendMessage(RB_GETBANDINFO, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
        if (info.hwndChild != m_hWnd)
            continue;
        info.fMask = RBBIM_CHILDSIZE;
        info.cxMinChild = static_cast<UINT>(size.cx);
        info.cyMinChild = info.cyChild = info.cyMaxChild = static_cast<UINT>(size.cy);
        pParent->SendMessage(RB_SETBANDINFO, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&info));
    }
    CRect rcRebar;
    pParent->GetWindowRect(&rcRebar);
    pParent->GetParent()->ScreenToClient(&rcRebar);
    pParent->SetWindowPos(nullptr, 0, 0, 1, 1, SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW);
    pParent->MoveWindow(&rcRebar, TRUE);
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
}

void CMenuBar::SetKeyboardMode(BOOL bOn)
{
    if (bOn == m_bKeyboardMode || (!bOn && m_bAlwaysCues))
        return;
    m_bKeyboardMode = bOn;
    Invalidate();
    UpdateWindow();
}

void CMenuBar::SetActive(BOOL bActive)
{
    if (bActive == m_bActive)
        return;
    SetKeyboardMode(FALSE);
    m_bActive = bActive;
    Invalidate();
    UpdateWindow();
}

// ---- Tracking

void CMenuBar::TrackPopup()
{
    if (GetFocus() == this && m_pPrevFocus && ::IsWindow(m_pPrevFocus->m_hWnd))
    {
        const BOOL bMode = m_bKeyboardMode;
        m_pPrevFocus->SetFocus();
        SetKeyboardMode(bMode);
        m_pPrevFocus = nullptr;
    }
    m_bSelIsPopup = FALSE;
    m_hSelMenu = reinterpret_cast<HMENU>(-1);
    m_bKeepMode = FALSE;
    m_bSwitching = FALSE;

    CMenu* pPopup = m_pMenu ? m_pMenu->GetSubMenu(m_nTrackIndex) : nullptr;
    SetHotItem(-1);
    PressButton(m_nTrackIndex, TRUE);
    CWnd* pFrame = Frame();
    if (pFrame)
        pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(m_nTrackIndex, MF_POPUP_HILITE_MOUSE),
                            reinterpret_cast<LPARAM>(m_pMenu->m_hMenu));

    CRect rcButton, rcDesktop;
    GetItemRect(m_nTrackIndex, &rcButton);
    ClientToScreen(&rcButton);
    GetDesktopWindow()->GetWindowRect(&rcDesktop);
    CRect rcExclude;
    rcExclude.IntersectRect(&rcButton, &rcDesktop);

    g_pActiveMenuBar = this;
    g_hMenuFilterHook = SetWindowsHookExA(WH_MSGFILTER, MenuFilterHook, nullptr, 0);
    if (pPopup)
    {
        TPMPARAMS params{};
        params.cbSize = sizeof(params);
        params.rcExclude = rcExclude;
        TrackPopupMenuEx(pPopup->m_hMenu, TPM_VERTICAL | TPM_RIGHTBUTTON, rcExclude.left, rcExclude.bottom, m_hWnd,
                         &params);
    }
    UnhookWindowsHookEx(g_hMenuFilterHook);
    g_hMenuFilterHook = nullptr;
    g_pActiveMenuBar = nullptr;
    PressButton(m_nTrackIndex, FALSE);

    if (!m_bKeepMode)
        SetKeyboardMode(FALSE);
    if (!m_bSwitching && pFrame)
        pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(m_nTrackIndex, 0xFFFF), reinterpret_cast<LPARAM>(m_pMenu->m_hMenu));
}

LRESULT CALLBACK CMenuBar::MenuFilterHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (g_pActiveMenuBar && nCode == MSGF_MENU && g_pActiveMenuBar->OnMenuInput(*reinterpret_cast<MSG*>(lParam)))
        return 1;
    return CallNextHookEx(g_hMenuFilterHook, nCode, wParam, lParam);
}

// Closes the open popup in order to open button nIndex's (wrapped by OnTrackPopup).
void CMenuBar::SwitchTo(int nIndex, BOOL bByKeyboard)
{
    PressButton(m_nTrackIndex, FALSE);
    m_bKeepMode = m_bSwitching = TRUE;
    SendMessage(WM_CANCELMODE);
    m_nTrackIndex = nIndex;
    if (bByKeyboard)
        m_bOpenedByKeyboard = TRUE;
    PostMessage(WM_MENUBAR_TRACKPOPUP);
}

BOOL CMenuBar::OnMenuInput(MSG& msg)
{
    switch (msg.message)
    {
    case WM_MOUSEMOVE:
    {
        CPoint pt(static_cast<SHORT>(LOWORD(msg.lParam)), static_cast<SHORT>(HIWORD(msg.lParam)));
        ScreenToClient(&pt);
        if (pt == m_ptLastMouse)
            return TRUE;
        m_ptLastMouse = pt;
        const int nHit = HitTest(&pt);
        if (nHit >= 0 && nHit < m_nButtons && nHit != m_nTrackIndex)
        {
            SwitchTo(nHit, FALSE);
            return TRUE;
        }
        return FALSE;
    }
    case WM_LBUTTONDOWN:
    {
        CPoint pt(static_cast<SHORT>(LOWORD(msg.lParam)), static_cast<SHORT>(HIWORD(msg.lParam)));
        ScreenToClient(&pt);
        if (HitTest(&pt) != m_nTrackIndex)
            return FALSE;
        m_bKeepMode = m_bSwitching = TRUE;
        SendMessage(WM_CANCELMODE);
        return TRUE;
    }
    case WM_KEYDOWN:
        switch (msg.wParam)
        {
        case VK_ESCAPE:
            if (IsNestedMenu())
                return FALSE;
            m_ptLastMouse = CPoint(-1, -1);
            m_bKeepMode = TRUE;
            SendMessage(WM_CANCELMODE);
            SetHotButton(m_nTrackIndex);
            return TRUE;
        case VK_LEFT:
            if (IsNestedMenu())
                return FALSE;
            SwitchTo(m_nTrackIndex - 1, TRUE);
            return TRUE;
        case VK_RIGHT:
            if (m_bSelIsPopup)
                return FALSE;
            SwitchTo(m_nTrackIndex + 1, TRUE);
            return TRUE;
        default:
            return FALSE;
        }
    case WM_MENUSELECT:
        m_hSelMenu = reinterpret_cast<HMENU>(msg.lParam);
        m_bSelIsPopup = (HIWORD(msg.wParam) & MF_POPUP) != 0;
        if (HIWORD(msg.wParam) != 0xFFFF && Frame())
            Frame()->SendMessage(WM_MENUSELECT, msg.wParam, msg.lParam);
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CMenuBar::IsNestedMenu() const
{
    for (int i = 0; i < m_nButtons; ++i)
        if (::GetSubMenu(m_pMenu->m_hMenu, i) == m_hSelMenu)
            return FALSE;
    return TRUE;
}

LRESULT CMenuBar::OnTrackPopup(WPARAM, LPARAM)
{
    if (m_nTrackIndex < 0)
        m_nTrackIndex = m_nButtons - 1;
    else if (m_nTrackIndex >= m_nButtons)
        m_nTrackIndex = 0;
    TrackPopup();
    return 0;
}

void CMenuBar::OnLButtonDown(UINT, CPoint point)
{
    const int nHit = HitTest(&point);
    if (nHit < 0 || nHit >= m_nButtons)
        return;
    m_nTrackIndex = nHit;
    m_bOpenedByKeyboard = FALSE;
    TrackPopup();
}

// ---- Keyboard

void CMenuBar::SetHotButton(int nIndex)
{
    SetHotItem(nIndex);
    if (nIndex < 0)
    {
        if (m_pPrevFocus && ::IsWindow(m_pPrevFocus->m_hWnd))
            m_pPrevFocus->SetFocus();
        m_pPrevFocus = nullptr;
        return;
    }
    CWnd* pFocus = SetFocus();
    if (pFocus != this)
        m_pPrevFocus = pFocus;
}

BOOL CMenuBar::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN)
    {
        switch (pMsg->wParam)
        {
        case VK_RETURN:
        case VK_UP:
        case VK_DOWN:
            m_nTrackIndex = GetHotItem();
            m_bOpenedByKeyboard = TRUE;
            TrackPopup();
            return TRUE;
        case VK_ESCAPE:
            if (m_pPrevFocus)
                m_pPrevFocus->SetFocus();
            m_pPrevFocus = nullptr;
            return TRUE;
        default:
            if (OpenMenuByMnemonic(static_cast<UINT>(pMsg->wParam)))
                return TRUE;
        }
    }
    return CToolBarCtrl::PreTranslateMessage(pMsg);
}

BOOL CMenuBar::OpenMenuByMnemonic(UINT nChar)
{
    for (int i = 0; i < m_nButtons; ++i)
    {
        CString strText;
        m_pMenu->GetMenuString(static_cast<UINT>(i), strText, MF_BYPOSITION);
        const char* szAmp = std::strchr(strText, '&');
        if (szAmp && szAmp[1] && std::toupper(static_cast<unsigned char>(szAmp[1])) == std::toupper(static_cast<int>(nChar & 0xFF)))
        {
            m_nTrackIndex = i;
            m_bOpenedByKeyboard = TRUE;
            PostMessage(WM_MENUBAR_TRACKPOPUP);
            SetKeyboardMode(TRUE);
            return TRUE;
        }
    }
    return FALSE;
}

BOOL CMenuBar::OnSysKeyMenu(UINT nKey)
{
    if (nKey == 0)
    {
        if (GetFocus() == this)
            SetHotButton(-1);
        else
        {
            SetKeyboardMode(TRUE);
            SetHotButton(0);
        }
        return TRUE;
    }
    if (nKey == ' ')
    {
        if (GetFocus() == this)
            SetHotButton(-1);
        else
            SetKeyboardMode(FALSE);
    }
    return FALSE;
}

void CMenuBar::OnKillFocus(CWnd* pNewWnd)
{
    SetHotItem(-1);
    SetKeyboardMode(FALSE);
    CToolBarCtrl::OnKillFocus(pNewWnd);
}

BOOL CMenuBar::TrackSubMenu(int nIndex, int x, int y)
{
    CMenu* pMenu = m_pAltMenu ? m_pAltMenu : m_pMenu;
    CMenu* pPopup = pMenu ? pMenu->GetSubMenu(nIndex) : nullptr;
    return pPopup ? pPopup->TrackPopupMenu(0, x, y, this) : FALSE;
}

BOOL CMenuBar::TrackSubMenuByName(const char* szTitle, int x, int y)
{
    CMenu* pMenu = m_pAltMenu ? m_pAltMenu : m_pMenu;
    for (int i = 0; pMenu && szTitle && i < pMenu->GetMenuItemCount(); ++i)
    {
        CString strText;
        pMenu->GetMenuString(static_cast<UINT>(i), strText, MF_BYPOSITION);
        if (strText == szTitle)
            return TrackSubMenu(i, x, y);
    }
    return FALSE;
}

// ---- Menu messages

void CMenuBar::OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
{
    CToolBarCtrl::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
    if (CWnd* pFrame = Frame())
        pFrame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(pPopupMenu->m_hMenu), MAKELPARAM(nIndex, bSysMenu));
    for (int i = 0; i < pPopupMenu->GetMenuItemCount(); ++i)
    {
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE;
        ::GetMenuItemInfoA(pPopupMenu->m_hMenu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR)
            continue;
        info.fType |= MFT_OWNERDRAW;
        ::SetMenuItemInfoA(pPopupMenu->m_hMenu, static_cast<UINT>(i), TRUE, &info);
    }
    if (m_bOpenedByKeyboard)
    {
        PostMessage(WM_KEYDOWN, VK_DOWN);
        m_bOpenedByKeyboard = FALSE;
    }
}

void CMenuBar::OnEnterIdle(UINT nWhy, CWnd* pWho)
{
    if (CWnd* pFrame = Frame())
        pFrame->SendMessage(WM_ENTERIDLE, nWhy, reinterpret_cast<LPARAM>(pWho ? pWho->m_hWnd : nullptr));
}

void CMenuBar::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (CWnd* pFrame = Frame())
        pFrame->SendMessage(WM_MENUSELECT, MAKEWPARAM(nItemID, nFlags), reinterpret_cast<LPARAM>(hSysMenu));
}

void CMenuBar::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pDraw = reinterpret_cast<NMCUSTOMDRAW*>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (pDraw->dwDrawStage == CDDS_PREPAINT && (m_bAltLook || !m_bActive))
        *pResult = CDRF_NOTIFYITEMDRAW;
    else if (pDraw->dwDrawStage == CDDS_ITEMPREPAINT && !m_bActive)
        reinterpret_cast<NMTBCUSTOMDRAW*>(pNMHDR)->clrText = ::GetSysColor(COLOR_GRAYTEXT);
}

// ---- Owner-drawn popup items

int CMenuBar::IconIndex(UINT nCommand) const
{
    for (INT_PTR i = 0; i < m_ids.GetSize(); ++i)
        if (m_ids.GetAt(i) == nCommand)
            return static_cast<int>(i);
    return -1;
}

void CMenuBar::OnMeasureItem(int, LPMEASUREITEMSTRUCT lpMIS)
{
    CClientDC dcScreen(nullptr);
    CDC dc;
    dc.CreateCompatibleDC(&dcScreen);
    CFont* pOldFont = dc.SelectObject(&m_font);
    CString strText;
    m_pMenu->GetMenuString(lpMIS->itemID, strText, MF_BYCOMMAND);
    const char* szText = strText;
    const char* szTab = std::strchr(szText, '\t');
    const CString strLabel = szTab ? CString(szText, static_cast<int>(szTab - szText)) : strText;
    CRect rcLabel(0, 0, 0, 0);
    dc.DrawText(strLabel, &rcLabel, DT_CALCRECT | DT_SINGLELINE);
    const int nHeight = std::max(rcLabel.Height(), 20);
    int nWidth = rcLabel.Width() + nHeight / 2 + 24;
    if (szTab)
    {
        CRect rcAccel(0, 0, 0, 0);
        dc.DrawText(szTab + 1, -1, &rcAccel, DT_CALCRECT | DT_SINGLELINE);
        nWidth += nHeight / 2 + rcAccel.Width();
    }
    lpMIS->itemWidth = static_cast<UINT>(nWidth);
    lpMIS->itemHeight = static_cast<UINT>(nHeight);
    dc.SelectObject(pOldFont);
}

void CMenuBar::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS->CtlType != ODT_MENU)
    {
        CToolBarCtrl::OnDrawItem(nIDCtl, lpDIS);
        return;
    }
    DrawMenuItem(CDC::FromHandle(lpDIS->hDC), lpDIS);
}

void CMenuBar::DrawMenuItem(CDC* pDC, LPDRAWITEMSTRUCT lpDIS)
{
    const CRect rcItem = lpDIS->rcItem;
    const BOOL bSelected = (lpDIS->itemState & ODS_SELECTED) != 0;
    const BOOL bChecked = (lpDIS->itemState & ODS_CHECKED) != 0;
    const BOOL bDisabled = (lpDIS->itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
    const int nIcon = IconIndex(lpDIS->itemID);
    pDC->SetBkMode(TRANSPARENT);
    CFont* pOldFont = pDC->SelectObject(&m_font);

    if (bSelected)
    {
        pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_HIGHLIGHT));
        if (nIcon >= 0 || bChecked)
            pDC->FillSolidRect(rcItem.left, rcItem.top, ICON_STRIP - rcItem.left, rcItem.Height(), ::GetSysColor(COLOR_MENU));
    }
    else
        pDC->FillSolidRect(&rcItem, ::GetSysColor(COLOR_MENU));

    const int dy = (rcItem.Height() - ICON_SIDE) / 2;
    if (!bDisabled && ((bSelected && nIcon >= 0) || bChecked))
    {
        CRect rcBox(0, rcItem.top + dy - 2, 20, rcItem.top + dy + 18);
        if (bChecked && !bSelected)
        {
            // A dither of the button face and highlight colours.
            const WORD rows[8] = {0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA, 0x5555, 0xAAAA};
            CBitmap pattern;
            pattern.CreateBitmap(8, 8, 1, 1, rows);
            CBrush brush;
            brush.CreatePatternBrush(&pattern);
            const COLORREF crOldText = pDC->SetTextColor(::GetSysColor(COLOR_BTNFACE));
            const COLORREF crOldBk = pDC->SetBkColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
            pDC->FillRect(&rcBox, &brush);
            pDC->SetTextColor(crOldText);
            pDC->SetBkColor(crOldBk);
        }
        else
            pDC->FillSolidRect(&rcBox, ::GetSysColor(COLOR_MENU));
        if (bChecked && nIcon < 0)
        {
            CFont marlett;
            marlett.CreatePointFont(100, "Marlett");
            CFont* pPrev = pDC->SelectObject(&marlett);
            pDC->SetTextColor(::GetSysColor(COLOR_MENUTEXT));
            pDC->DrawText("a", 1, &rcBox, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            pDC->SelectObject(pPrev);
        }
        pDC->DrawEdge(&rcBox, bChecked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (nIcon >= 0)
        m_images.Draw(pDC, rcItem.left + 2, rcItem.top + dy,
                      bDisabled ? CAlphaImageList::STATE_GREY
                                : bSelected ? CAlphaImageList::STATE_DARK : CAlphaImageList::STATE_NORMAL,
                      nIcon);

    CString strText;
    m_pMenu->GetMenuString(lpDIS->itemID, strText, MF_BYCOMMAND);
    const char* szText = strText;
    const char* szTab = std::strchr(szText, '\t');
    const CString strLabel = szTab ? CString(szText, static_cast<int>(szTab - szText)) : strText;
    CRect rcText(rcItem.left + 24, rcItem.top, rcItem.right - rcItem.Height(), rcItem.bottom);
    auto drawText = [&](const CRect& rc) {
        pDC->DrawText(strLabel, const_cast<CRect*>(&rc), DT_VCENTER | DT_SINGLELINE);
        if (szTab)
            pDC->DrawText(szTab + 1, -1, const_cast<CRect*>(&rc), DT_VCENTER | DT_SINGLELINE | DT_RIGHT);
    };
    if (!bDisabled)
    {
        pDC->SetTextColor(::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
        drawText(rcText);
    }
    else if (bSelected)
    {
        pDC->SetTextColor(::GetSysColor(COLOR_GRAYTEXT));
        drawText(rcText);
    }
    else
    {
        CRect rcRaised = rcText;
        rcRaised.OffsetRect(1, 1);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        drawText(rcRaised);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        drawText(rcText);
    }
    pDC->SelectObject(pOldFont);
}
