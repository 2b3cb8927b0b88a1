// The status bar: parts along one line, each a sunken pane with its text, or one simple pane;
// a size grip in the bottom-right corner hands drags to the top-level window.
#include "BarLayout.h"
#include "Controls.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{
// SB_GETBORDERS: no horizontal border, two pixels above the panes, two between them.
const int BORDER_X = 0;
const int BORDER_Y = 2;
const int PART_GAP = 2;
const int MAX_PARTS = 256;

struct Part
{
    int m_nRight = -1;   // -1: to the end of the bar
    std::string m_strText;
    WORD m_nType = 0;    // SBT_ flags
};

struct StatusBar
{
    std::vector<Part> m_Parts{Part()};
    Part m_Simple;
    bool m_bSimple = false;
    int m_nMinHeight = 0;
    HFONT m_hFont = nullptr;
};

ControlStore<StatusBar>& Bars()
{
    static ControlStore<StatusBar> s_Bars;
    return s_Bars;
}

int BarHeight(const StatusBar& bar)
{
    // The text line, a pixel of padding and the pane's edge above and below, and the top border.
    return std::max(bar.m_nMinHeight, FontLineHeight(bar.m_hFont) + 4 + BORDER_Y + 1);
}

// The grip shows while the top-level window can be sized (not maximised).
bool ShowsGrip(HWND hWnd)
{
    return (GetWindowLongPtrA(hWnd, GWL_STYLE) & SBARS_SIZEGRIP) && !IsZoomed(GetAncestor(hWnd, GA_ROOT));
}

int GripSize()
{
    return GetSystemMetrics(SM_CXVSCROLL);
}

RECT PartRect(HWND hWnd, const StatusBar& bar, size_t nPart)
{
    RECT rcClient{};
    GetClientRect(hWnd, &rcClient);
    int nEnd = rcClient.right - (ShowsGrip(hWnd) ? GripSize() : 0);
    RECT rc{BORDER_X, BORDER_Y, 0, rcClient.bottom};
    if (bar.m_bSimple)
    {
        rc.right = nEnd;
        return rc;
    }
    if (nPart > 0)
    {
        int nPrev = bar.m_Parts[nPart - 1].m_nRight;
        rc.left = (nPrev < 0 ? nEnd : std::min(nPrev, nEnd)) + PART_GAP;
    }
    int nRight = bar.m_Parts[nPart].m_nRight;
    rc.right = nRight < 0 ? nEnd : std::min(nRight, nEnd);
    rc.right = std::max(rc.left, rc.right);
    return rc;
}

void DrawPart(HDC hdc, RECT rc, const Part& part)
{
    if (!(part.m_nType & SBT_NOBORDERS))
        DrawEdge(hdc, &rc, (part.m_nType & SBT_POPOUT) ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
    rc.left += 2;
    rc.right -= 1;
    // Tabs split the text: the first piece on the left, the second centred, the third on the right.
    static const UINT ALIGN[3] = {DT_LEFT, DT_CENTER, DT_RIGHT};
    const std::string& text = part.m_strText;
    size_t nStart = 0;
    for (int nPiece = 0; nPiece < 3 && nStart <= text.size(); ++nPiece)
    {
        size_t nTab = (part.m_nType & SBT_NOTABPARSING) || nPiece == 2 ? std::string::npos : text.find('\t', nStart);
        std::string piece = text.substr(nStart, nTab == std::string::npos ? std::string::npos : nTab - nStart);
        DrawTextA(hdc, piece.c_str(), static_cast<int>(piece.size()), &rc,
                  ALIGN[nPiece] | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        if (nTab == std::string::npos)
            break;
        nStart = nTab + 1;
    }
}

// Diagonal ridges in the corner: a highlight line, two shadow lines, a gap, three times.
void DrawGrip(HDC hdc, const RECT& rcClient)
{
    HPEN hLight = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DHIGHLIGHT));
    HPEN hShadow = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_3DSHADOW));
    HGDIOBJ hOld = SelectObject(hdc, hLight);
    for (int nOffset = 1; nOffset <= 12; ++nOffset)
    {
        int nKind = nOffset % 4;
        if (nKind == 0)
            continue;
        SelectObject(hdc, nKind == 1 ? hLight : hShadow);
        MoveToEx(hdc, rcClient.right - nOffset, rcClient.bottom - 1, nullptr);
        LineTo(hdc, rcClient.right, rcClient.bottom - 1 - nOffset);
    }
    SelectObject(hdc, hOld);
    DeleteObject(hLight);
    DeleteObject(hShadow);
}

void Paint(HWND hWnd, const StatusBar& bar)
{
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    RECT rcClient{};
    GetClientRect(hWnd, &rcClient);
    FillRect(hdc, &rcClient, GetSysColorBrush(COLOR_3DFACE));
    HGDIOBJ hOldFont = SelectObject(hdc, ControlFont(bar.m_hFont));
    SetBkMode(hdc, TRANSPARENT);
    SetTextColor(hdc, GetSysColor(COLOR_BTNTEXT));
    if (bar.m_bSimple)
        DrawPart(hdc, PartRect(hWnd, bar, 0), bar.m_Simple);
    else
        for (size_t i = 0; i < bar.m_Parts.size(); ++i)
            DrawPart(hdc, PartRect(hWnd, bar, i), bar.m_Parts[i]);
    if (ShowsGrip(hWnd))
        DrawGrip(hdc, rcClient);
    SelectObject(hdc, hOldFont);
    EndPaint(hWnd, &ps);
}

Part* PartFor(StatusBar& bar, WPARAM wParam)
{
    size_t nPart = LOBYTE(wParam);
    if (nPart == SB_SIMPLEID)
        return &bar.m_Simple;
    return nPart < bar.m_Parts.size() ? &bar.m_Parts[nPart] : nullptr;
}

LRESULT TextResult(const Part& part)
{
    return MAKELRESULT(static_cast<WORD>(std::min<size_t>(part.m_strText.size(), 0xFFFF)), part.m_nType);
}

void SetPartText(HWND hWnd, Part& part, WORD nType, LPCSTR szText)
{
    part.m_strText = szText ? szText : "";
    part.m_nType = nType;
    InvalidateRect(hWnd, nullptr, TRUE);
}
}

LRESULT CALLBACK StatusBarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (nMessage == WM_NCCREATE)
        Bars().Make(hWnd);
    StatusBar* pBar = Bars().Find(hWnd);
    if (!pBar)
        return DefWindowProcA(hWnd, nMessage, wParam, lParam);
    StatusBar& bar = *pBar;
    switch (nMessage)
    {
    case WM_NCDESTROY:
        Bars().Drop(hWnd);
        break;
    case WM_CREATE:
    case WM_SIZE:
        AlignBarToParent(hWnd, BarHeight(bar), false);
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        Paint(hWnd, bar);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFONT:
        bar.m_hFont = reinterpret_cast<HFONT>(wParam);
        AlignBarToParent(hWnd, BarHeight(bar), false);
        if (LOWORD(lParam))
            InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(bar.m_hFont);
    case WM_SETTEXT:
        SetPartText(hWnd, bar.m_Parts[0], 0, reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(bar.m_Parts[0].m_strText.size());
    case WM_GETTEXT:
    {
        if (!wParam || !lParam)
            return 0;
        const std::string& text = bar.m_Parts[0].m_strText;
        size_t n = std::min<size_t>(text.size(), wParam - 1);
        std::memcpy(reinterpret_cast<char*>(lParam), text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case SB_SETTEXTA:
    {
        Part* pPart = PartFor(bar, wParam);
        if (!pPart)
            return FALSE;
        SetPartText(hWnd, *pPart, static_cast<WORD>(wParam & 0xFF00), reinterpret_cast<LPCSTR>(lParam));
        return TRUE;
    }
    case SB_GETTEXTA:
    case SB_GETTEXTLENGTHA:
    {
        const Part* pPart = PartFor(bar, wParam);
        if (!pPart)
            return 0;
        if (nMessage == SB_GETTEXTA && lParam)
            std::strcpy(reinterpret_cast<char*>(lParam), pPart->m_strText.c_str());
        return TextResult(*pPart);
    }
    case SB_SETPARTS:
    {
        const int* pRights = reinterpret_cast<const int*>(lParam);
        if (wParam == 0 || wParam > MAX_PARTS || !pRights)
            return FALSE;
        bar.m_Parts.resize(wParam);
        for (size_t i = 0; i < wParam; ++i)
            bar.m_Parts[i].m_nRight = pRights[i];
        InvalidateRect(hWnd, nullptr, TRUE);
        return TRUE;
    }
    case SB_GETPARTS:
    {
        auto* pRights = reinterpret_cast<int*>(lParam);
        size_t n = std::min<size_t>(wParam, bar.m_Parts.size());
        for (size_t i = 0; pRights && i < n; ++i)
            pRights[i] = bar.m_Parts[i].m_nRight;
        return static_cast<LRESULT>(bar.m_Parts.size());
    }
    case SB_GETBORDERS:
    {
        auto* pBorders = reinterpret_cast<int*>(lParam);
        if (!pBorders)
            return FALSE;
        pBorders[0] = BORDER_X;
        pBorders[1] = BORDER_Y;
        pBorders[2] = PART_GAP;
        return TRUE;
    }
    case SB_SETMINHEIGHT:
        bar.m_nMinHeight = static_cast<int>(wParam);
        return 0;
    case SB_SIMPLE:
        bar.m_bSimple = wParam != 0;
        InvalidateRect(hWnd, nullptr, TRUE);
        return 0;
    case SB_ISSIMPLE:
        return bar.m_bSimple;
    case SB_GETRECT:
    {
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        if (!pRect || (!bar.m_bSimple && wParam >= bar.m_Parts.size()))
            return FALSE;
        *pRect = PartRect(hWnd, bar, bar.m_bSimple ? 0 : wParam);
        return TRUE;
    }
    case WM_NCHITTEST:
    {
        POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ScreenToClient(hWnd, &pt);
        RECT rcClient{};
        GetClientRect(hWnd, &rcClient);
        if (ShowsGrip(hWnd) && pt.x >= rcClient.right - GripSize() && pt.y >= rcClient.bottom - GripSize() &&
            PtInRect(&rcClient, pt))
            return HTBOTTOMRIGHT;
        break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        // A drag on the grip sizes the top-level window.
        if (wParam == HTBOTTOMRIGHT)
            return SendMessageA(GetAncestor(hWnd, GA_ROOT), nMessage, wParam, lParam);
        break;
    default:
        break;
    }
    return DefWindowProcA(hWnd, nMessage, wParam, lParam);
}
