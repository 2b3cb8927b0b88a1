// What the standard controls share.
#include "Controls.h"

HFONT ControlFont(HFONT hFont)
{
    return hFont ? hFont : reinterpret_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void NotifyParent(HWND hCtl, WORD nCode)
{
    HWND hParent = GetParent(hCtl);
    if (hParent)
        SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(hCtl)), nCode),
                     reinterpret_cast<LPARAM>(hCtl));
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
