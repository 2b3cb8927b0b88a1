#include "mfc_gui/CaptionButtonManager.h"

#include <win32/commctrl.h>
#include <win32/drawicon.h>
#include <win32/tooltip.h>

#include <unordered_map>

namespace
{
// The subclassed windows and their managers.
std::unordered_map<HWND, CCaptionButtonManager*>& Managers()
{
    static std::unordered_map<HWND, CCaptionButtonManager*> s_Managers;
    return s_Managers;
}

CSize BitmapSize(HBITMAP hBitmap)
{
    BITMAP bm{};
    if (!hBitmap || !GetObjectA(hBitmap, sizeof(bm), &bm))
        return CSize(0, 0);
    return CSize(bm.bmWidth, bm.bmHeight);
}
}

// ---- Free drawing helpers

void DrawTransparentBitmap(HDC hdc, HBITMAP hBitmap, int x, int y, COLORREF crTransparent)
{
    const CSize size = BitmapSize(hBitmap);
    if (!hdc || size.cx <= 0 || size.cy <= 0)
        return;
    const COLORREF crOldBack = SetBkColor(hdc, RGB(255, 255, 255));
    const COLORREF crOldText = SetTextColor(hdc, RGB(0, 0, 0));
    HDC hdcImage = CreateCompatibleDC(hdc);
    HDC hdcMask = CreateCompatibleDC(hdc);
    HBITMAP hMask = CreateBitmap(size.cx, size.cy, 1, 1, nullptr);
    HGDIOBJ hOldImage = SelectObject(hdcImage, hBitmap);
    HGDIOBJ hOldMask = SelectObject(hdcMask, hMask);
    // The mask is white where the picture has the transparent colour.
    SetBkColor(hdcImage, crTransparent);
    BitBlt(hdcMask, 0, 0, size.cx, size.cy, hdcImage, 0, 0, SRCCOPY);
    // D ^ P, cleared where opaque, ^ P again: the picture where opaque, the ground elsewhere.
    BitBlt(hdc, x, y, size.cx, size.cy, hdcImage, 0, 0, SRCINVERT);
    BitBlt(hdc, x, y, size.cx, size.cy, hdcMask, 0, 0, SRCAND);
    BitBlt(hdc, x, y, size.cx, size.cy, hdcImage, 0, 0, SRCINVERT);
    SelectObject(hdcMask, hOldMask);
    SelectObject(hdcImage, hOldImage);
    DeleteObject(hMask);
    SetBkColor(hdc, crOldBack);
    SetTextColor(hdc, crOldText);
    DeleteDC(hdcMask);
    DeleteDC(hdcImage);
}

HBITMAP IconToBitmap(HICON hIcon, COLORREF crBackground)
{
    if (!hIcon)
        return nullptr;
    HDC hdcScreen = GetDC(nullptr);
    HDC hdc = CreateCompatibleDC(hdcScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdcScreen, 16, 16);
    ReleaseDC(nullptr, hdcScreen);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    HBRUSH hBrush = CreateSolidBrush(crBackground);
    DrawIconEx(hdc, 0, 0, hIcon, 16, 16, 0, hBrush, DI_NORMAL);
    DeleteObject(hBrush);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return hBitmap;
}

HBITMAP CombineBitmaps(HBITMAP hbmBack, HBITMAP hbmFront, COLORREF crTransparent)
{
    if (!hbmBack || !hbmFront)
        return nullptr;
    const CSize size = BitmapSize(hbmBack);
    HDC hdcScreen = GetDC(nullptr);
    HDC hdc = CreateCompatibleDC(hdcScreen);
    HBITMAP hBitmap = CreateCompatibleBitmap(hdcScreen, size.cx, size.cy);
    ReleaseDC(nullptr, hdcScreen);
    HGDIOBJ hOld = SelectObject(hdc, hBitmap);
    HBRUSH hBrush = CreateSolidBrush(crTransparent);
    RECT rc{0, 0, size.cx, size.cy};
    FillRect(hdc, &rc, hBrush);
    DeleteObject(hBrush);
    DrawTransparentBitmap(hdc, hbmBack, 0, 0, crTransparent);
    DrawTransparentBitmap(hdc, hbmFront, 0, 0, crTransparent);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return hBitmap;
}

// ---- Attaching

CCaptionButtonManager::~CCaptionButtonManager()
{
    Detach();
    for (auto it = m_Buttons.rbegin(); it != m_Buttons.rend(); ++it)
    {
        DeleteTool(it->id);
        DeleteObject(it->hRgn);
    }
    m_Buttons.clear();
}

void CCaptionButtonManager::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    Managers()[hWnd] = this;
    m_pfnOldWndProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CCaptionButtonManager::SubclassProc)));
    if (!m_hWndTip)
    {
        InitCommonControls();
        m_hWndTip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr, nullptr, nullptr);
        SetWindowPos(m_hWndTip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
    }
    m_dwStyle = static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_STYLE));
    m_dwExStyle = static_cast<DWORD>(GetWindowLongPtrA(hWnd, GWL_EXSTYLE));
}

BOOL CCaptionButtonManager::Detach()
{
    if (m_pfnOldWndProc)
    {
        if (IsWindow(m_hWnd))
            SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnOldWndProc));
        m_pfnOldWndProc = nullptr;
    }
    auto it = Managers().find(m_hWnd);
    if (it != Managers().end() && it->second == this)
        Managers().erase(it);
    if (m_hWndTip)
    {
        SendMessageA(m_hWndTip, WM_CLOSE, 0, 0);
        m_hWndTip = nullptr;
    }
    m_hbmHeldOverlay = nullptr;
    return TRUE;
}

LRESULT CALLBACK CCaptionButtonManager::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = Managers().find(hWnd);
    if (it == Managers().end())
        return DefWindowProcA(hWnd, message, wParam, lParam);
    return it->second->WindowProc(hWnd, message, wParam, lParam);
}

LRESULT CCaptionButtonManager::CallOld(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (!m_pfnOldWndProc)
        return DefWindowProcA(hWnd, message, wParam, lParam);
    return CallWindowProcA(m_pfnOldWndProc, hWnd, message, wParam, lParam);
}

// ---- Geometry and drawing

CRect CCaptionButtonManager::GetButtonRect(int nSlot, bool bClient) const
{
    const bool bTool = (m_dwExStyle & WS_EX_TOOLWINDOW) != 0;
    const CSize button(GetSystemMetrics(bTool ? SM_CXSMSIZE : SM_CXSIZE), GetSystemMetrics(bTool ? SM_CYSMSIZE : SM_CYSIZE));
    const bool bThick = (m_dwStyle & WS_THICKFRAME) != 0;
    const CSize frame(GetSystemMetrics(bThick ? SM_CXFRAME : SM_CXDLGFRAME),
                      GetSystemMetrics(bThick ? SM_CYFRAME : SM_CYDLGFRAME));
    CRect rcWindow;
    GetWindowRect(m_hWnd, &rcWindow);
    CRect rc;
    rc.left = rcWindow.right - (button.cx * nSlot + frame.cx);
    rc.top = rcWindow.top + frame.cy;
    rc.right = rc.left + button.cx;
    rc.bottom = rc.top + button.cy;
    // Just above a menu bar.
    RECT rcItem{};
    if (HMENU hMenu = GetMenu(m_hWnd); hMenu && GetMenuItemRect(m_hWnd, hMenu, 0, &rcItem) && rcItem.bottom != 0)
    {
        rc.bottom = rcItem.top - 1;
        rc.top = rc.bottom - button.cy;
    }
    if (bClient)
    {
        ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rc.left));
        ScreenToClient(m_hWnd, reinterpret_cast<POINT*>(&rc.right));
    }
    return rc;
}

void CCaptionButtonManager::DrawButton(int nIndex, bool bPressed)
{
    const CaptionButton& button = m_Buttons[static_cast<size_t>(nIndex)];
    const CSize size = BitmapSize(button.hbmNormal);
    // A quarter of the size difference from the slot's corner (halved twice, truncating).
    const CSize offset((GetSystemMetrics(SM_CXSIZE) - size.cx) / 2, (GetSystemMetrics(SM_CYSIZE) - size.cy) / 2);
    CRect rcWindow;
    GetWindowRect(m_hWnd, &rcWindow);
    const CRect rc = GetButtonRect(SlotOf(nIndex), false);
    HDC hdc = GetWindowDC(m_hWnd);
    DrawTransparentBitmap(hdc, bPressed ? button.hbmPressed : button.hbmNormal, offset.cx / 2 + rc.left - rcWindow.left,
                          offset.cy / 2 + rc.top - rcWindow.top, m_crTransparent);
    ReleaseDC(m_hWnd, hdc);
}

void CCaptionButtonManager::DrawOverlay(int nIndex)
{
    if (!m_hbmHeldOverlay || nIndex < 0 || nIndex >= GetButtonCount())
        return;
    const CSize size = BitmapSize(m_hbmHeldOverlay);
    const CSize offset((GetSystemMetrics(SM_CXSIZE) - size.cx) / 2, (GetSystemMetrics(SM_CYSIZE) - size.cy) / 2);
    CRect rcWindow;
    GetWindowRect(m_hWnd, &rcWindow);
    const CRect rc = GetButtonRect(SlotOf(nIndex), false);
    HDC hdc = GetWindowDC(m_hWnd);
    DrawTransparentBitmap(hdc, m_hbmHeldOverlay, offset.cx / 2 + rc.left - rcWindow.left,
                          offset.cy / 2 + rc.top - rcWindow.top, m_crTransparent);
    ReleaseDC(m_hWnd, hdc);
}

void CCaptionButtonManager::RedrawAll()
{
    for (int i = 0; i < GetButtonCount(); ++i)
        DrawButton(i, i == m_nHotButton);
    if (m_nHeldButton != -1)
        DrawOverlay(m_nHeldButton);
}

void CCaptionButtonManager::RepaintRegion(HRGN hRgn)
{
    if (!hRgn)
        return;
    m_bPaintingButton = true;
    SendMessageA(m_hWnd, WM_NCPAINT, reinterpret_cast<WPARAM>(hRgn), 0);
    m_bPaintingButton = false;
}

void CCaptionButtonManager::AddTool(UINT id, int nSlot, const char* szText)
{
    TOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.uFlags = TTF_SUBCLASS;
    ti.hwnd = m_hWnd;
    ti.uId = id;
    ti.rect = GetButtonRect(nSlot, true);
    ti.lpszText = const_cast<char*>(szText ? szText : "");
    SendMessageA(m_hWndTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CCaptionButtonManager::DeleteTool(UINT id)
{
    if (!m_hWndTip)
        return;
    TOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hWnd;
    ti.uId = id;
    SendMessageA(m_hWndTip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CCaptionButtonManager::Relayout()
{
    for (int i = 0; i < GetButtonCount(); ++i)
    {
        CaptionButton& button = m_Buttons[static_cast<size_t>(i)];
        DeleteObject(button.hRgn);
        const CRect rc = GetButtonRect(SlotOf(i), false);
        button.hRgn = CreateRectRgnIndirect(&rc);
        TOOLINFOA ti{};
        ti.cbSize = sizeof(ti);
        ti.hwnd = m_hWnd;
        ti.uId = button.id;
        ti.rect = GetButtonRect(SlotOf(i), true);
        SendMessageA(m_hWndTip, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

// ---- Buttons

int CCaptionButtonManager::FindButton(UINT id) const
{
    for (int i = 0; i < GetButtonCount(); ++i)
        if (m_Buttons[static_cast<size_t>(i)].id == id)
            return i;
    return -1;
}

int CCaptionButtonManager::HitButton(POINT ptScreen) const
{
    for (int i = 0; i < GetButtonCount(); ++i)
        if (PtInRegion(m_Buttons[static_cast<size_t>(i)].hRgn, ptScreen.x, ptScreen.y))
            return i;
    return -1;
}

bool CCaptionButtonManager::AddButton(UINT id, HBITMAP hbmPressed, HBITMAP hbmNormal, const char* szTooltip,
                                      int nPosition)
{
    if (FindButton(id) != -1 || nPosition < -1 || nPosition > GetButtonCount())
        return false;
    if (!hbmPressed)
        hbmPressed = hbmNormal;
    // The new record takes the next slot until the re-layout below puts every button in its own.
    const int nSlot = SlotOf(GetButtonCount());
    const CRect rc = GetButtonRect(nSlot, false);
    CaptionButton button{id, hbmNormal, hbmPressed, CreateRectRgnIndirect(&rc)};
    AddTool(id, nSlot, szTooltip);
    if (nPosition == -1)
        m_Buttons.push_back(button);
    else
    {
        m_Buttons.insert(m_Buttons.begin() + nPosition, button);
        // The indices after it moved one on.
        if (m_nHeldButton >= nPosition)
            ++m_nHeldButton;
        if (m_nHotButton >= nPosition)
            ++m_nHotButton;
        Relayout();
    }
    RedrawAll();
    return true;
}

bool CCaptionButtonManager::AddIconButton(UINT id, HICON hPressed, HICON hNormal, const char* szTooltip, int nPosition)
{
    HBITMAP hbmPressed = IconToBitmap(hPressed, m_crTransparent);
    HBITMAP hbmNormal = IconToBitmap(hNormal, m_crTransparent);
    if (hPressed)
        DestroyIcon(hPressed);
    if (hNormal)
        DestroyIcon(hNormal);
    return AddButton(id, hbmPressed, hbmNormal, szTooltip, nPosition);
}

bool CCaptionButtonManager::SetButton(UINT id, UINT newId, HBITMAP hbmPressed, HBITMAP hbmNormal, const char* szTooltip)
{
    const int nIndex = FindButton(id);
    if (nIndex == -1)
        return false;
    SendMessageA(m_hWndTip, TTM_POP, 0, 0);
    DeleteTool(id);
    AddTool(newId, SlotOf(nIndex), szTooltip);
    CaptionButton& button = m_Buttons[static_cast<size_t>(nIndex)];
    button.hbmPressed = hbmPressed;
    button.hbmNormal = hbmNormal;
    button.id = newId;
    RepaintRegion(button.hRgn);
    DrawButton(nIndex, false);
    m_nHotButton = -1;
    return true;
}

void CCaptionButtonManager::RemoveButton(UINT id)
{
    const int nIndex = FindButton(id);
    if (nIndex == -1)
        return;
    // The leftmost slot empties: its area is repainted once the list is shorter.
    RECT rcLast{};
    GetRgnBox(m_Buttons.back().hRgn, &rcLast);
    HRGN hLast = CreateRectRgnIndirect(&rcLast);
    DeleteTool(id);
    DeleteObject(m_Buttons[static_cast<size_t>(nIndex)].hRgn);
    m_Buttons.erase(m_Buttons.begin() + nIndex);
    // A held or hot button that went is forgotten; later ones move one index down.
    for (int* pIndex : {&m_nHeldButton, &m_nHotButton})
    {
        if (*pIndex == nIndex)
            *pIndex = -1;
        else if (*pIndex > nIndex)
            --*pIndex;
    }
    RepaintRegion(hLast);
    DeleteObject(hLast);
    Relayout();
    RedrawAll();
}

const char* CCaptionButtonManager::SetTooltipText(UINT id, const char* szText)
{
    TOOLINFOA ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = m_hWnd;
    ti.uId = id;
    ti.lpszText = const_cast<char*>(szText ? szText : "");
    SendMessageA(m_hWndTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
    return szText;
}

// ---- The mouse

bool CCaptionButtonManager::PressTest(POINT ptScreen)
{
    const int nHit = HitButton(ptScreen);
    if (nHit == -1)
        return false;
    SetCapture(m_hWnd);
    m_bButtonHeld = true;
    m_nHeldButton = nHit;
    DrawOverlay(nHit);
    return true;
}

void CCaptionButtonManager::HoverTest(POINT ptScreen)
{
    const int nHit = HitButton(ptScreen);
    auto picturesDiffer = [this](int i) {
        const CaptionButton& b = m_Buttons[static_cast<size_t>(i)];
        return b.hbmNormal != b.hbmPressed;
    };
    if (nHit != -1 && nHit != m_nHotButton)
    {
        if (picturesDiffer(nHit))
        {
            RepaintRegion(m_Buttons[static_cast<size_t>(nHit)].hRgn);
            const bool bOtherHeld = m_nHeldButton != -1 && m_nHeldButton != nHit;
            DrawButton(nHit, !bOtherHeld);
        }
        if (nHit == m_nHeldButton)
            DrawOverlay(nHit);
    }
    if (m_nHotButton != -1 && m_nHotButton != nHit && m_nHotButton < GetButtonCount())
    {
        if (picturesDiffer(m_nHotButton) || m_nHotButton == m_nHeldButton)
        {
            RepaintRegion(m_Buttons[static_cast<size_t>(m_nHotButton)].hRgn);
            DrawButton(m_nHotButton, false);
        }
    }
    m_nHotButton = nHit;
}

bool CCaptionButtonManager::ReleaseTest(POINT ptScreen, LPARAM lParam)
{
    const int nHeld = m_nHeldButton;
    // The held state ends with every release, whatever happens next.
    m_nHeldButton = -1;
    if (nHeld < 0 || nHeld >= GetButtonCount() || !PtInRegion(m_Buttons[static_cast<size_t>(nHeld)].hRgn, ptScreen.x, ptScreen.y))
        return true;
    const UINT id = m_Buttons[static_cast<size_t>(nHeld)].id;
    SendMessageA(m_hWnd, WM_CAPTIONBUTTON_CLICKED, id, lParam);
    // The window may have removed or changed the button while it handled the click.
    const int nIndex = FindButton(id);
    if (nIndex == -1)
        return false;
    RepaintRegion(m_Buttons[static_cast<size_t>(nIndex)].hRgn);
    DrawButton(nIndex, true);
    return true;
}

LRESULT CCaptionButtonManager::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_DESTROY:
    {
        const WNDPROC pfnOld = m_pfnOldWndProc;
        Detach();
        return pfnOld ? CallWindowProcA(pfnOld, hWnd, message, wParam, lParam) : DefWindowProcA(hWnd, message, wParam, lParam);
    }
    case WM_MOVE:
    case WM_SIZE:
    case WM_SIZING:
    case WM_MOVING:
        Relayout();
        break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
        RedrawAll();
        break;
    case WM_NCPAINT:
    case WM_SETTEXT:
    case WM_NCACTIVATE:
    {
        if (message == WM_NCPAINT && m_bPaintingButton)
            break;
        const LRESULT nResult = CallOld(hWnd, message, wParam, lParam);
        RedrawAll();
        return nResult;
    }
    case WM_NCMOUSEMOVE:
        if (!m_bButtonHeld)
            SendMessageA(hWnd, WM_CAPTIONBUTTON_NCMOVE, wParam, lParam);
        break;
    case WM_CAPTURECHANGED:
        SendMessageA(hWnd, WM_CAPTIONBUTTON_NCMOVE, wParam, lParam);
        break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (PressTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}))
            return 0;
        break;
    case WM_MOUSEMOVE:
    {
        // Only a held button follows the mouse; otherwise the point is one no button covers.
        POINT pt{0, 0};
        if (m_bButtonHeld)
        {
            pt = POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hWnd, &pt);
        }
        HoverTest(pt);
        SendMessageA(hWnd, WM_CAPTIONBUTTON_CLIENTMOVE, wParam, lParam);
        break;
    }
    case WM_LBUTTONUP:
        if (m_bButtonHeld)
        {
            m_bButtonHeld = false;
            ReleaseCapture();
            m_nHotButton = -1;
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hWnd, &pt);
            if (!ReleaseTest(pt, lParam))
                return 0;
        }
        break;
    case WM_NCLBUTTONUP:
        if (!ReleaseTest(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, lParam))
            return 0;
        break;
    default:
        break;
    }
    return CallOld(hWnd, message, wParam, lParam);
}
