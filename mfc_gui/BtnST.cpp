#include "mfc_gui/BtnST.h"

#include <win32/cursor.h>
#include <win32/drawicon.h>
#include <win32/resources.h>
#include <win32/shellapi.h>

#include <algorithm>
#include <cstring>

BEGIN_MESSAGE_MAP(CBtnST, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_CAPTURECHANGED()
    ON_WM_KILLFOCUS()
    ON_WM_CANCELMODE()
    ON_WM_ACTIVATE()
    ON_WM_ENABLE()
    ON_WM_LBUTTONDOWN()
    ON_WM_SYSCOLORCHANGE()
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CBtnST::OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
    ON_MESSAGE(WM_SETCURSOR, &CBtnST::OnSetCursor)
END_MESSAGE_MAP()

CBtnST::CBtnST()
{
    SetDefaultColors(FALSE);
}

CBtnST::~CBtnST()
{
    FreeParentBack();
    FreeImages();
    if (m_hHoverCursor)
        ::DestroyCursor(m_hHoverCursor);
}

void CBtnST::FreeImages()
{
    for (IconImage& icon : m_aIcons)
    {
        if (icon.m_hIcon)
            ::DestroyIcon(icon.m_hIcon);
        icon = IconImage{};
    }
    for (BitmapImage& image : m_aBitmaps)
    {
        if (image.m_hBitmap)
            ::DeleteObject(image.m_hBitmap);
        if (image.m_hMask)
            ::DeleteObject(image.m_hMask);
        image = BitmapImage{};
    }
}

void CBtnST::FreeParentBack()
{
    if (m_dcParentBack.m_hDC && m_pOldParentBmp)
        m_dcParentBack.SelectObject(m_pOldParentBmp);
    m_pOldParentBmp = nullptr;
    m_bmpParentBack.DeleteObject();
    m_dcParentBack.DeleteDC();
}

void CBtnST::Repaint()
{
    if (!m_hWnd)
        return;
    Invalidate();
    UpdateWindow();
}

void CBtnST::SetDrawTransparent(BOOL bRepaint)
{
    m_bParentBack = TRUE;
    FreeParentBack();
    if (bRepaint)
        Repaint();
}

DWORD CBtnST::SetBitmapsFromFiles(const char* szIn, COLORREF crTransIn, const char* szOut, COLORREF crTransOut)
{
    auto load = [](const char* szPath) {
        return szPath ? static_cast<HBITMAP>(LoadImageA(nullptr, szPath, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)) : nullptr;
    };
    return SetBitmaps(load(szIn), crTransIn, load(szOut), crTransOut);
}

DWORD CBtnST::SetBitmaps(UINT nBitmapIn, COLORREF crTransIn, UINT nBitmapOut, COLORREF crTransOut)
{
    HINSTANCE hInstance = AfxGetInstanceHandle();
    auto load = [hInstance](UINT nId) {
        return nId ? static_cast<HBITMAP>(LoadImageA(hInstance, MAKEINTRESOURCEA(nId), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR))
                   : nullptr;
    };
    return SetBitmaps(load(nBitmapIn), crTransIn, load(nBitmapOut), crTransOut);
}

DWORD CBtnST::SetBitmaps(HBITMAP hBitmapIn, COLORREF crTransIn, HBITMAP hBitmapOut, COLORREF crTransOut)
{
    FreeImages();
    const HBITMAP handles[2] = {hBitmapIn, hBitmapIn ? hBitmapOut : nullptr};
    const COLORREF colors[2] = {crTransIn, crTransOut};
    for (int i = 0; i < 2; ++i)
    {
        if (!handles[i])
            continue;
        BitmapImage& image = m_aBitmaps[i];
        image.m_hBitmap = handles[i];
        image.m_crTransparent = colors[i];
        BITMAP bm{};
        if (!::GetObjectA(handles[i], sizeof(bm), &bm))
        {
            FreeImages();
            return BTNST_INVALIDRESOURCE;
        }
        image.m_nWidth = bm.bmWidth;
        image.m_nHeight = bm.bmHeight;
        image.m_hMask = MakeTransparentMask(image.m_hBitmap, bm.bmWidth, bm.bmHeight, colors[i]);
        if (!image.m_hMask)
        {
            FreeImages();
            return BTNST_FAILEDMASK;
        }
    }
    // A second handle without a first one would be lost otherwise.
    if (!hBitmapIn && hBitmapOut)
        ::DeleteObject(hBitmapOut);
    Repaint();
    return BTNST_OK;
}

DWORD CBtnST::SetIcon(UINT nIconIn, UINT nIconOut)
{
    HINSTANCE hInstance = AfxGetInstanceHandle();
    auto load = [hInstance](UINT nId) { return nId ? ::LoadIconA(hInstance, MAKEINTRESOURCEA(nId)) : nullptr; };
    return SetIcon(load(nIconIn), load(nIconOut));
}

DWORD CBtnST::SetIcon(HICON hIconIn, HICON hIconOut)
{
    FreeImages();
    const HICON handles[2] = {hIconIn, hIconIn ? hIconOut : nullptr};
    for (int i = 0; i < 2; ++i)
    {
        if (!handles[i])
            continue;
        IconImage& icon = m_aIcons[i];
        icon.m_hIcon = handles[i];
        // An icon's hot spot is its centre.
        ICONINFO info{};
        if (!::GetIconInfo(handles[i], &info))
        {
            FreeImages();
            return BTNST_INVALIDRESOURCE;
        }
        icon.m_nWidth = static_cast<int>(info.xHotspot * 2);
        icon.m_nHeight = static_cast<int>(info.yHotspot * 2);
        ::DeleteObject(info.hbmMask);
        if (info.hbmColor)
            ::DeleteObject(info.hbmColor);
    }
    if (!hIconIn && hIconOut)
        ::DestroyIcon(hIconOut);
    Repaint();
    return BTNST_OK;
}

BOOL CBtnST::SetBtnCursor(int nCursorId)
{
    if (nCursorId == 0)
        return SetBtnCursor(static_cast<HCURSOR>(nullptr));
    HCURSOR hCursor = ::LoadCursorA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nCursorId));
    SetBtnCursor(hCursor);
    return hCursor != nullptr;
}

BOOL CBtnST::SetBtnCursor(HCURSOR hCursor)
{
    if (m_hHoverCursor)
        ::DestroyCursor(m_hHoverCursor);
    m_hHoverCursor = hCursor;
    return TRUE;
}

LRESULT CBtnST::OnSetCursor(WPARAM, LPARAM)
{
    if (!m_hHoverCursor)
        return Default();
    ::SetCursor(m_hHoverCursor);
    return TRUE;
}

// A 1-bit mask of the bitmap: 1 where it has the transparent colour. Those pixels of the bitmap
// itself become black, so that the mask (AND) then the bitmap (OR) draw only the opaque pixels.
HBITMAP CBtnST::MakeTransparentMask(HBITMAP hBitmap, int nWidth, int nHeight, COLORREF crTransparent)
{
    HBITMAP hMask = ::CreateBitmap(nWidth, nHeight, 1, 1, nullptr);
    HDC hdcSource = ::CreateCompatibleDC(nullptr);
    HDC hdcMask = ::CreateCompatibleDC(nullptr);
    if (!hMask || !hdcSource || !hdcMask)
    {
        if (hMask)
            ::DeleteObject(hMask);
        if (hdcSource)
            ::DeleteDC(hdcSource);
        if (hdcMask)
            ::DeleteDC(hdcMask);
        return nullptr;
    }
    HGDIOBJ hOldSource = ::SelectObject(hdcSource, hBitmap);
    HGDIOBJ hOldMask = ::SelectObject(hdcMask, hMask);
    const COLORREF crOldBack = ::SetBkColor(hdcSource, crTransparent);
    ::BitBlt(hdcMask, 0, 0, nWidth, nHeight, hdcSource, 0, 0, SRCCOPY);
    const COLORREF crOldText = ::SetTextColor(hdcSource, RGB(255, 255, 255));
    ::SetBkColor(hdcSource, RGB(0, 0, 0));
    ::BitBlt(hdcSource, 0, 0, nWidth, nHeight, hdcMask, 0, 0, SRCAND);
    ::SetTextColor(hdcSource, crOldText);
    ::SetBkColor(hdcSource, crOldBack);
    ::SelectObject(hdcMask, hOldMask);
    ::SelectObject(hdcSource, hOldSource);
    ::DeleteDC(hdcMask);
    ::DeleteDC(hdcSource);
    return hMask;
}

void CBtnST::SetCheck(int nCheck, BOOL bRepaint)
{
    if (!m_bCheckMode)
        return;
    m_nChecked = nCheck != 0;
    if (bRepaint)
        Repaint();
}

DWORD CBtnST::SetURL(const char* szURL)
{
    m_szLink[0] = 0;
    if (szURL)
    {
        std::strncpy(m_szLink, szURL, sizeof(m_szLink) - 1);
        m_szLink[sizeof(m_szLink) - 1] = 0;
    }
    return BTNST_OK;
}

void CBtnST::SetFlat(BOOL bState)
{
    m_bFlat = bState;
    Repaint();
}

void CBtnST::SetImageAlign(int nAlign)
{
    if (nAlign < ST_ALIGN_HORIZ || nAlign > ST_ALIGN_HORIZ_RIGHT)
        return;
    m_nImageAlign = nAlign;
    Repaint();
}

void CBtnST::SetDrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint)
{
    m_bFlatFocus = bDrawFlatFocus;
    if (bRepaint)
        Repaint();
}

DWORD CBtnST::SetColor(BYTE nIndex, COLORREF crColor, BOOL bRepaint)
{
    if (nIndex > BTNST_COLOR_FG_OUT)
        return BTNST_INVALIDINDEX;
    m_aColors[nIndex] = crColor;
    if (bRepaint)
        Repaint();
    return BTNST_OK;
}

DWORD CBtnST::GetColor(BYTE nIndex, COLORREF* pcrColor) const
{
    if (nIndex > BTNST_COLOR_FG_OUT)
        return BTNST_INVALIDINDEX;
    *pcrColor = m_aColors[nIndex];
    return BTNST_OK;
}

void CBtnST::SetDefaultColors(BOOL bRepaint)
{
    m_aColors[BTNST_COLOR_BK_IN] = ::GetSysColor(COLOR_BTNFACE);
    m_aColors[BTNST_COLOR_FG_IN] = ::GetSysColor(COLOR_BTNTEXT);
    m_aColors[BTNST_COLOR_BK_OUT] = ::GetSysColor(COLOR_BTNFACE);
    m_aColors[BTNST_COLOR_FG_OUT] = ::GetSysColor(COLOR_BTNTEXT);
    if (bRepaint)
        Repaint();
}

void CBtnST::SetAutoRepeat(BOOL bSet, DWORD nPeriod)
{
    m_bRepeat = bSet;
    m_nRepeatPeriod = nPeriod;
}

void CBtnST::InitToolTip()
{
    if (m_wndTip.m_hWnd)
        return;
    m_wndTip.Create(this);
    m_wndTip.Activate(FALSE);
    m_wndTip.SetMaxTipWidth(400);
}

void CBtnST::SetTooltipText(const char* szText, BOOL bActivate)
{
    if (!szText)
        return;
    InitToolTip();
    if (m_wndTip.GetToolCount() == 0)
    {
        CRect rcClient;
        GetClientRect(&rcClient);
        m_wndTip.AddTool(this, szText, &rcClient, 1);
    }
    m_wndTip.UpdateTipText(szText, this, 1);
    m_wndTip.Activate(bActivate);
}

void CBtnST::SetTooltipText(UINT nStringId, BOOL bActivate)
{
    char szText[256] = "";
    if (LoadStringA(AfxGetInstanceHandle(), nStringId, szText, sizeof(szText)) > 0)
        SetTooltipText(szText, bActivate);
}

void CBtnST::ActivateTooltip(BOOL bActivate)
{
    if (m_wndTip.m_hWnd && m_wndTip.GetToolCount() > 0)
        m_wndTip.Activate(bActivate);
}

BOOL CBtnST::PreTranslateMessage(MSG* pMsg)
{
    InitToolTip();
    m_wndTip.RelayEvent(pMsg);
    return CButton::PreTranslateMessage(pMsg);
}

void CBtnST::PreSubclassWindow()
{
    const UINT nStyle = GetButtonStyle();
    m_bDefault = (nStyle & BS_DEFPUSHBUTTON) != 0;
    m_bCheckMode = (nStyle & BS_CHECKBOX) != 0;
    SetButtonStyle(nStyle | BS_OWNERDRAW);
    CButton::PreSubclassWindow();
}

LRESULT CBtnST::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_LBUTTONDBLCLK)
        message = WM_LBUTTONDOWN;
    return CButton::DefWindowProc(message, wParam, lParam);
}

// ---- Hover

void CBtnST::EndHover()
{
    if (!m_bFlat)
        return;
    m_bHover = FALSE;
    Repaint();
}

void CBtnST::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    if (((nFlags & MK_LBUTTON) && !m_bHover) || !m_bFlat)
        return;
    if (GetCapture() != this && GetActiveWindow() && GetOwner())
    {
        m_bHover = TRUE;
        SetCapture();
        Repaint();
        return;
    }
    ClientToScreen(&point);
    if (::WindowFromPoint(point) != m_hWnd)
    {
        if (m_bHover)
        {
            m_bHover = FALSE;
            Repaint();
        }
        if (!(nFlags & MK_LBUTTON))
            ::ReleaseCapture();
    }
}

void CBtnST::OnCaptureChanged(CWnd* pWnd)
{
    if (m_bHover)
    {
        ::ReleaseCapture();
        Repaint();
    }
    CButton::OnCaptureChanged(pWnd);
}

void CBtnST::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    EndHover();
}

void CBtnST::OnCancelMode()
{
    CButton::OnCancelMode();
    EndHover();
}

void CBtnST::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized)
{
    CButton::OnActivate(nState, pWndOther, bMinimized);
    if (nState == WA_INACTIVE)
        EndHover();
}

void CBtnST::OnEnable(BOOL bEnable)
{
    CButton::OnEnable(bEnable);
    if (!bEnable)
        EndHover();
}

// ---- Clicks

void CBtnST::OnLButtonDown(UINT nFlags, CPoint point)
{
    CButton::OnLButtonDown(nFlags, point);
    if (!m_bRepeat)
        return;
    SetCapture();
    CWnd* pParent = GetParent();
    const WPARAM wCommand = MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED);
    // Clicks go out every period until the release arrives; Sleep lets time (and a scripted
    // release) pass.
    BOOL bToggle = TRUE;
    MSG msg;
    while (!::PeekMessageA(&msg, m_hWnd, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE))
    {
        if (pParent)
            pParent->SendMessage(WM_COMMAND, wCommand, reinterpret_cast<LPARAM>(m_hWnd));
        ::Sleep(m_nRepeatPeriod);
        bToggle = !bToggle;
    }
    if (!bToggle && pParent)
        pParent->SendMessage(WM_COMMAND, wCommand, reinterpret_cast<LPARAM>(m_hWnd));
    ::ReleaseCapture();
    SendMessage(WM_LBUTTONUP, 0, 0);
    CPoint ptCursor;
    ::GetCursorPos(&ptCursor);
    ScreenToClient(&ptCursor);
    SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(ptCursor.x, ptCursor.y));
}

// Runs before the parent's BN_CLICKED handler, which then reads the new check state.
BOOL CBtnST::OnClicked()
{
    if (m_bCheckMode)
    {
        m_nChecked = !m_nChecked;
        Repaint();
    }
    else if (m_szLink[0])
        ::ShellExecuteA(nullptr, "open", m_szLink, nullptr, nullptr, SW_SHOWMAXIMIZED);
    return FALSE;
}

HBRUSH CBtnST::CtlColor(CDC*, UINT)
{
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CBtnST::OnSysColorChange()
{
    CButton::OnSysColorChange();
    FreeParentBack();
}

// ---- Drawing

DWORD CBtnST::DrawBackground(CDC* pDC, LPCRECT pRect)
{
    pDC->FillSolidRect(pRect, m_aColors[m_bHover || m_bPressed ? BTNST_COLOR_BK_IN : BTNST_COLOR_BK_OUT]);
    return BTNST_OK;
}

DWORD CBtnST::DrawBorder(CDC* pDC, LPCRECT pRect)
{
    const COLORREF crShadow = ::GetSysColor(COLOR_BTNSHADOW), crLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (m_bPressed)
        pDC->Draw3dRect(pRect, crShadow, crLight);
    else
        pDC->Draw3dRect(pRect, crLight, crShadow);
    return BTNST_OK;
}

void CBtnST::PaintParentBackground(CDC* pDC)
{
    CRect rcClient;
    GetClientRect(&rcClient);
    CWnd* pParent = GetParent();
    if (!m_dcParentBack.m_hDC && pParent)
    {
        CRect rcWindow;
        GetWindowRect(&rcWindow);
        pParent->ScreenToClient(&rcWindow);
        CClientDC dcParent(pParent);
        m_dcParentBack.CreateCompatibleDC(&dcParent);
        m_bmpParentBack.CreateCompatibleBitmap(&dcParent, rcClient.Width(), rcClient.Height());
        m_pOldParentBmp = m_dcParentBack.SelectObject(&m_bmpParentBack);
        // The parent erases its background into the copy: its pixels on the screen may already
        // hold this button's own earlier drawing.
        m_dcParentBack.SetViewportOrg(-rcWindow.left, -rcWindow.top);
        pParent->SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(m_dcParentBack.m_hDC));
        m_dcParentBack.SetViewportOrg(0, 0);
    }
    if (m_dcParentBack.m_hDC)
        pDC->BitBlt(0, 0, rcClient.Width(), rcClient.Height(), &m_dcParentBack, 0, 0, SRCCOPY);
}

int CBtnST::ChosenImage(BOOL bHasOut) const
{
    const BOOL bIn = m_bCheckMode ? m_bPressed : (m_bHover || m_bPressed);
    return bIn || !bHasOut ? 0 : 1;
}

void CBtnST::ComputeImageRect(const CRect& rcItem, BOOL bHasCaption, int nWidth, int nHeight, CRect& rcImage,
                              CRect& rcCaption) const
{
    const int nCentreX = (rcItem.Width() - nWidth) / 2;
    const int nCentreY = (rcItem.Height() - nHeight) / 2;
    int x = 0, y = 0;
    switch (m_nImageAlign)
    {
    case ST_ALIGN_VERT:
        x = nCentreX;
        if (bHasCaption)
        {
            y = 3;
            rcCaption.top += nHeight;
        }
        else
            y = nCentreY;
        break;
    case ST_ALIGN_HORIZ_RIGHT:
        if (bHasCaption)
        {
            rcCaption.right = rcCaption.Width() - nWidth - 3;
            rcCaption.left = 3;
            x = rcItem.right - nWidth - 3;
            y = nCentreY;
        }
        else
        {
            x = nCentreX;
            y = rcItem.top;
        }
        break;
    default:
        if (bHasCaption)
        {
            x = rcItem.left + 3;
            rcCaption.left += nWidth + 3;
        }
        else
            x = nCentreX;
        y = nCentreY;
        break;
    }
    rcImage.SetRect(x, y, x + nWidth, y + nHeight);
    if (m_bPressed && !m_bCheckMode)
        rcImage.OffsetRect(1, 1);
}

void CBtnST::DrawTheIcon(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect& rcCaption)
{
    const IconImage& icon = m_aIcons[ChosenImage(m_aIcons[1].m_hIcon != nullptr)];
    CRect rcImage;
    ComputeImageRect(rcItem, bHasCaption, icon.m_nWidth, icon.m_nHeight, rcImage, rcCaption);
    ::DrawStateA(pDC->m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.m_hIcon), 0, rcImage.left, rcImage.top,
                 rcImage.Width(), rcImage.Height(), DST_ICON | (m_bDisabled ? DSS_DISABLED : DSS_NORMAL));
}

void CBtnST::DrawTheBitmap(CDC* pDC, BOOL bHasCaption, const CRect& rcItem, CRect& rcCaption)
{
    const BitmapImage& image = m_aBitmaps[ChosenImage(m_aBitmaps[1].m_hBitmap != nullptr)];
    CRect rcImage;
    ComputeImageRect(rcItem, bHasCaption, image.m_nWidth, image.m_nHeight, rcImage, rcCaption);
    CDC dcMask, dcImage;
    if (!dcMask.CreateCompatibleDC(pDC) || !dcImage.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOldMask = dcMask.SelectObject(CBitmap::FromHandle(image.m_hMask));
    CBitmap* pOldImage = dcImage.SelectObject(CBitmap::FromHandle(image.m_hBitmap));
    pDC->BitBlt(rcImage.left, rcImage.top, image.m_nWidth, image.m_nHeight, &dcMask, 0, 0, SRCAND);
    pDC->BitBlt(rcImage.left, rcImage.top, image.m_nWidth, image.m_nHeight, &dcImage, 0, 0, SRCPAINT);
    dcImage.SelectObject(pOldImage);
    dcMask.SelectObject(pOldMask);
}

void CBtnST::DrawTheCaption(CDC* pDC, const CString& strCaption, CRect rcCaption)
{
    if (m_bPressed && !m_bCheckMode)
        rcCaption.OffsetRect(1, 1);
    CRect rcText = rcCaption;
    pDC->DrawText(strCaption, &rcText, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    rcText.OffsetRect((rcCaption.Width() - rcText.Width()) / 2, (rcCaption.Height() - rcText.Height()) / 2);
    if (m_bDisabled)
    {
        rcText.OffsetRect(1, 1);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNHIGHLIGHT));
        pDC->DrawText(strCaption, &rcText, DT_WORDBREAK | DT_CENTER);
        rcText.OffsetRect(-1, -1);
        pDC->SetTextColor(::GetSysColor(COLOR_BTNSHADOW));
        pDC->DrawText(strCaption, &rcText, DT_WORDBREAK | DT_CENTER);
        return;
    }
    const BOOL bIn = m_bHover || m_bPressed;
    pDC->SetTextColor(m_aColors[bIn ? BTNST_COLOR_FG_IN : BTNST_COLOR_FG_OUT]);
    pDC->SetBkColor(m_aColors[bIn ? BTNST_COLOR_BK_IN : BTNST_COLOR_BK_OUT]);
    pDC->DrawText(strCaption, &rcText, DT_WORDBREAK | DT_CENTER);
}

void CBtnST::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    m_bPressed = (lpDIS->itemState & ODS_SELECTED) != 0 || (m_bCheckMode && m_nChecked);
    m_bFocused = (lpDIS->itemState & ODS_FOCUS) != 0;
    m_bDisabled = (lpDIS->itemState & ODS_DISABLED) != 0;
    CRect rcItem = lpDIS->rcItem;
    pDC->SetBkMode(TRANSPARENT);

    if (!m_bFlat && (m_bFocused || IsDefault()))
    {
        CBrush brBlack;
        brBlack.CreateSolidBrush(RGB(0, 0, 0));
        pDC->FrameRect(&rcItem, &brBlack);
        rcItem.DeflateRect(1, 1);
    }

    if (m_bParentBack)
        PaintParentBackground(pDC);
    else
        DrawBackground(pDC, &rcItem);

    if (m_bFlat)
    {
        if (m_bBorderWhenFlat && (m_bPressed || m_bHover))
            DrawBorder(pDC, &rcItem);
    }
    else if (m_bPressed)
    {
        CBrush brShadow;
        brShadow.CreateSolidBrush(::GetSysColor(COLOR_BTNSHADOW));
        pDC->FrameRect(&rcItem, &brShadow);
    }
    else
    {
        struct Stroke
        {
            int nColor;
            CPoint from, via, to;
        } strokes[] = {
            {COLOR_BTNHIGHLIGHT, {rcItem.left, rcItem.bottom - 1}, {rcItem.left, rcItem.top}, {rcItem.right, rcItem.top}},
            {COLOR_3DLIGHT, {rcItem.left + 1, rcItem.bottom - 1}, {rcItem.left + 1, rcItem.top + 1}, {rcItem.right, rcItem.top + 1}},
            {COLOR_3DDKSHADOW, {rcItem.left, rcItem.bottom - 1}, {rcItem.right - 1, rcItem.bottom - 1}, {rcItem.right - 1, rcItem.top - 1}},
            {COLOR_BTNSHADOW, {rcItem.left + 1, rcItem.bottom - 2}, {rcItem.right - 2, rcItem.bottom - 2}, {rcItem.right - 2, rcItem.top}},
        };
        for (const Stroke& s : strokes)
        {
            CPen pen(PS_SOLID, 1, ::GetSysColor(s.nColor));
            CPen* pOld = pDC->SelectObject(&pen);
            pDC->MoveTo(s.from);
            pDC->LineTo(s.via);
            pDC->LineTo(s.to);
            pDC->SelectObject(pOld);
        }
    }

    CString strCaption;
    GetWindowText(strCaption);
    CRect rcCaption = lpDIS->rcItem;
    if (m_aIcons[0].m_hIcon)
        DrawTheIcon(pDC, !strCaption.IsEmpty(), lpDIS->rcItem, rcCaption);
    else if (m_aBitmaps[0].m_hBitmap)
    {
        pDC->SetBkColor(RGB(255, 255, 255));
        DrawTheBitmap(pDC, !strCaption.IsEmpty(), lpDIS->rcItem, rcCaption);
    }
    if (!strCaption.IsEmpty())
        DrawTheCaption(pDC, strCaption, rcCaption);

    if (m_bFocused && (!m_bFlat || m_bFlatFocus))
    {
        CRect rcFocus = rcItem;
        rcFocus.DeflateRect(3, 3);
        pDC->DrawFocusRect(&rcFocus);
    }
}
