// What the standard controls share, and the common-control library's start-up calls.
#include "Controls.h"

#include <cstring>

HFONT ControlFont(HFONT hFont)
{
    return hFont ? hFont : reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HBRUSH ControlBrush(HWND hCtl, HDC hdc, UINT nCtlColorMessage, int nBackground)
{
    SetTextColor(hdc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(hdc, GetSysColor(nBackground));
    HWND hParent = GetParent(hCtl);
    if (hParent)
        if (LRESULT r = SendMessageA(hParent, nCtlColorMessage, reinterpret_cast<WPARAM>(hdc),
                                     reinterpret_cast<LPARAM>(hCtl)))
            return reinterpret_cast<HBRUSH>(r);
    return GetSysColorBrush(nBackground);
}

void NotifyParent(HWND hCtl, WORD nCode)
{
    HWND hParent = GetParent(hCtl);
    if (hParent)
        SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hCtl)), nCode),
                     reinterpret_cast<LPARAM>(hCtl));
}

LRESULT PaintControl(HWND hWnd, const std::function<void(HDC)>& fnPaint)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    fnPaint(hdc);
    EndPaint(hWnd, &ps);
    return 0;
}

void RedrawNow(HWND hWnd)
{
    InvalidateRect(hWnd, nullptr, TRUE);
    UpdateWindow(hWnd);
}

int FontLineHeight(HFONT hFont)
{
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, ControlFont(hFont));
    TEXTMETRICA tm{};
    GetTextMetricsA(hdc, &tm);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return tm.tmHeight;
}

LRESULT NotifyParentNm(HWND hCtl, UINT nCode, NMHDR* pHeader, HWND hTo)
{
    NMHDR header{};
    NMHDR* p = pHeader ? pHeader : &header;
    p->hwndFrom = hCtl;
    p->idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(hCtl));
    p->code = nCode;
    HWND hTarget = hTo ? hTo : GetParent(hCtl);
    return hTarget ? SendMessageA(hTarget, WM_NOTIFY, p->idFrom, reinterpret_cast<LPARAM>(p)) : 0;
}

HWND PreviouslyCreatedSibling(HWND hWnd)
{
    char szClass[16] = {};
    GetClassNameA(GetParent(hWnd), szClass, sizeof(szClass));
    bool bDialog = std::strcmp(szClass, "#32770") == 0;
    // While a dialog's control is being made it is still on top, above the ones made before.
    HWND hPrevious = GetWindow(hWnd, bDialog ? GW_HWNDLAST : GW_HWNDNEXT);
    return hPrevious == hWnd ? nullptr : hPrevious;
}

int ScrollTarget(WPARAM wParam, int nNow, int nLine, int nPage, int nMax)
{
    switch (LOWORD(wParam))
    {
    case SB_LINEUP: return nNow - nLine;
    case SB_LINEDOWN: return nNow + nLine;
    case SB_PAGEUP: return nNow - nPage;
    case SB_PAGEDOWN: return nNow + nPage;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: return static_cast<SHORT>(HIWORD(wParam));
    case SB_TOP: return 0;
    case SB_BOTTOM: return nMax;
    default: return nNow;
    }
}

void InitCommonControls()
{
}

BOOL InitCommonControlsEx(const INITCOMMONCONTROLSEX* picce)
{
    return picce != nullptr;
}
