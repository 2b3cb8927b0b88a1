// The trackbar: a position within a range, moved by dragging its thumb, by clicks on the channel
// (a page at a time) and by the arrow and paging keys. Every move is reported to the parent as
// WM_HSCROLL (WM_VSCROLL under TBS_VERT) with the trackbar in lParam; the end of a drag or click
// also sends NM_RELEASEDCAPTURE once the capture is freed.
#include "Controls.h"

#include <win32/gdi.h>

#include <algorithm>
#include <vector>

namespace
{
// Geometry, in pixels along the trackbar's axis and across it.
const int THUMB_WIDTH = 11;         // along the axis
const int CHANNEL_MARGIN = 8;       // from the ends to the channel's usable span
const int CHANNEL_THICKNESS = 4;
const int TICK_LENGTH = 3;

// WM_GETDLGCODE: DLGC_WANTARROWS, so a dialog leaves the arrows to the trackbar.
const LRESULT WANT_ARROWS = 0x0001;

class Trackbar
{
public:
    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    LRESULT Handle(UINT nMessage, WPARAM wParam, LPARAM lParam);

private:
    DWORD Style() const { return static_cast<DWORD>(GetWindowLongPtrA(m_hWnd, GWL_STYLE)); }
    bool Vertical() const { return (Style() & TBS_VERT) != 0; }
    LONG Clamp(LONG nPos) const { return std::clamp(nPos, m_nMin, std::max(m_nMin, m_nMax)); }
    // The span the thumb's centre travels, along the axis.
    void Span(int& nFrom, int& nTo) const
    {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        nFrom = CHANNEL_MARGIN;
        nTo = std::max<int>(nFrom, (Vertical() ? rc.bottom : rc.right) - CHANNEL_MARGIN - 1);
    }
    int PixelOf(LONG nPos) const
    {
        int nFrom, nTo;
        Span(nFrom, nTo);
        if (m_nMax <= m_nMin)
            return nFrom;
        return nFrom + static_cast<int>(static_cast<int64_t>(nPos - m_nMin) * (nTo - nFrom) / (m_nMax - m_nMin));
    }
    LONG PositionAt(int nPixel) const
    {
        int nFrom, nTo;
        Span(nFrom, nTo);
        if (nTo <= nFrom || m_nMax <= m_nMin)
            return m_nMin;
        // The nearest position to the pixel.
        int64_t nRange = m_nMax - m_nMin;
        int64_t nScaled = static_cast<int64_t>(nPixel - nFrom) * nRange;
        int64_t nSpan = nTo - nFrom;
        return Clamp(m_nMin + static_cast<LONG>((nScaled + (nScaled >= 0 ? nSpan / 2 : -nSpan / 2)) / nSpan));
    }
    // Across the axis: the thumb fills the control less a margin, ticks take a strip at one side.
    void CrossSpan(int& nFrom, int& nTo) const
    {
        RECT rc;
        GetClientRect(m_hWnd, &rc);
        int nCross = Vertical() ? rc.right : rc.bottom;
        bool bTicks = !(Style() & TBS_NOTICKS);
        nFrom = 2 + (bTicks && (Style() & (TBS_TOP | TBS_BOTH)) ? TICK_LENGTH + 1 : 0);
        nTo = nCross - 2 - (bTicks && (!(Style() & TBS_TOP) || (Style() & TBS_BOTH)) ? TICK_LENGTH + 1 : 0);
        nTo = std::max(nTo, nFrom + 1);
    }
    RECT Oriented(int nAlongFrom, int nAlongTo, int nCrossFrom, int nCrossTo) const
    {
        return Vertical() ? RECT{nCrossFrom, nAlongFrom, nCrossTo, nAlongTo} : RECT{nAlongFrom, nCrossFrom, nAlongTo, nCrossTo};
    }
    RECT ThumbRect() const
    {
        int nCrossFrom, nCrossTo;
        CrossSpan(nCrossFrom, nCrossTo);
        int c = PixelOf(m_nPos);
        return Oriented(c - THUMB_WIDTH / 2, c + THUMB_WIDTH / 2 + 1, nCrossFrom, nCrossTo);
    }
    RECT ChannelRect() const
    {
        int nFrom, nTo, nCrossFrom, nCrossTo;
        Span(nFrom, nTo);
        CrossSpan(nCrossFrom, nCrossTo);
        int nMid = (nCrossFrom + nCrossTo) / 2;
        return Oriented(nFrom - THUMB_WIDTH / 2, nTo + THUMB_WIDTH / 2 + 1, nMid - CHANNEL_THICKNESS / 2,
                        nMid + CHANNEL_THICKNESS / 2);
    }

    void SetPosition(LONG nPos)
    {
        nPos = Clamp(nPos);
        if (nPos != m_nPos)
        {
            m_nPos = nPos;
            InvalidateRect(m_hWnd, nullptr, TRUE);
        }
    }
    void SetRange(LONG nMin, LONG nMax, bool bRedraw)
    {
        m_nMin = nMin;
        m_nMax = nMax;
        m_nPos = Clamp(m_nPos);
        if (bRedraw)
            InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    void Scroll(UINT nCode)
    {
        UINT nMessage = Vertical() ? WM_VSCROLL : WM_HSCROLL;
        WPARAM wParam = nCode == TB_THUMBTRACK || nCode == TB_THUMBPOSITION ? MAKEWPARAM(nCode, static_cast<WORD>(m_nPos)) : nCode;
        if (HWND hParent = GetParent(m_hWnd))
            SendMessageA(hParent, nMessage, wParam, reinterpret_cast<LPARAM>(m_hWnd));
    }
    // A request that moves the position, then its report.
    void Step(UINT nCode)
    {
        LONG nPage = m_nPage, nLine = m_nLine;
        switch (nCode)
        {
        case TB_LINEUP: SetPosition(m_nPos - nLine); break;
        case TB_LINEDOWN: SetPosition(m_nPos + nLine); break;
        case TB_PAGEUP: SetPosition(m_nPos - nPage); break;
        case TB_PAGEDOWN: SetPosition(m_nPos + nPage); break;
        case TB_TOP: SetPosition(m_nMin); break;
        case TB_BOTTOM: SetPosition(m_nMax); break;
        default: break;
        }
        Scroll(nCode);
    }
    int Along(LPARAM lParam) const { return Vertical() ? GET_Y_LPARAM(lParam) : GET_X_LPARAM(lParam); }

    void OnButtonDown(LPARAM lParam);
    void OnMouseMove(LPARAM lParam);
    void OnButtonUp();
    void Paint(HDC hdc);

    HWND m_hWnd = nullptr;
    LONG m_nMin = 0;
    LONG m_nMax = 100;
    LONG m_nPos = 0;
    LONG m_nPage = 20;
    LONG m_nLine = 1;
    LONG m_nTicFrequency = 1;
    std::vector<LONG> m_Tics;   // TBM_SETTIC marks, besides the ends
    LONG m_nSelStart = 0;
    LONG m_nSelEnd = 0;
    HFONT m_hFont = nullptr;
    bool m_bDragging = false;   // the thumb follows the mouse
    bool m_bPressed = false;    // the button went down on the control and holds the capture
    int m_nGrab = 0;            // cursor minus thumb centre along the axis, at the press
};

ControlStore<Trackbar>& Trackbars()
{
    static ControlStore<Trackbar> s_Trackbars;
    return s_Trackbars;
}

void Trackbar::OnButtonDown(LPARAM lParam)
{
    if (GetFocus() != m_hWnd)
        SetFocus(m_hWnd);
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    RECT rcThumb = ThumbRect();
    m_bPressed = true;
    SetCapture(m_hWnd);
    if (PtInRect(&rcThumb, pt))
    {
        m_bDragging = true;
        m_nGrab = Along(lParam) - PixelOf(m_nPos);
        return;
    }
    // A press on the channel pages toward the cursor.
    Step(Along(lParam) < PixelOf(m_nPos) ? TB_PAGEUP : TB_PAGEDOWN);
}

void Trackbar::OnMouseMove(LPARAM lParam)
{
    if (!m_bDragging)
        return;
    LONG nPos = PositionAt(Along(lParam) - m_nGrab);
    if (nPos == m_nPos)
        return;
    SetPosition(nPos);
    Scroll(TB_THUMBTRACK);
}

void Trackbar::OnButtonUp()
{
    if (!m_bPressed)
        return;
    if (m_bDragging)
        Scroll(TB_THUMBPOSITION);
    m_bDragging = false;
    m_bPressed = false;
    Scroll(TB_ENDTRACK);
    HWND hWnd = m_hWnd;
    if (GetCapture() == hWnd)
        ReleaseCapture();
    NMHDR hdr{};
    if (IsWindow(hWnd))
        NotifyParentNm(hWnd, NM_RELEASEDCAPTURE, &hdr);
}

void Trackbar::Paint(HDC hdc)
{
    RECT rc;
    GetClientRect(m_hWnd, &rc);
    // The parent may give the background brush, as for a static control.
    HBRUSH hBrush = reinterpret_cast<HBRUSH>(
        SendMessageA(GetParent(m_hWnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc), reinterpret_cast<LPARAM>(m_hWnd)));
    FillRect(hdc, &rc, hBrush ? hBrush : GetSysColorBrush(COLOR_3DFACE));
    DWORD nStyle = Style();
    RECT rcChannel = ChannelRect();
    DrawEdge(hdc, &rcChannel, EDGE_SUNKEN, BF_RECT | BF_MIDDLE);
    if ((nStyle & TBS_ENABLESELRANGE) && m_nSelEnd > m_nSelStart)
    {
        int a = PixelOf(Clamp(m_nSelStart)), b = PixelOf(Clamp(m_nSelEnd)) + 1;
        RECT rcSel = Vertical() ? RECT{rcChannel.left + 1, a, rcChannel.right - 1, b} : RECT{a, rcChannel.top + 1, b, rcChannel.bottom - 1};
        win32::FillSolidRect(hdc, rcSel, GetSysColor(COLOR_HIGHLIGHT));
    }
    if (!(nStyle & TBS_NOTICKS))
    {
        std::vector<LONG> tics{m_nMin, m_nMax};
        if (nStyle & TBS_AUTOTICKS)
            for (LONG n = m_nMin + m_nTicFrequency; m_nTicFrequency > 0 && n < m_nMax; n += m_nTicFrequency)
                tics.push_back(n);
        tics.insert(tics.end(), m_Tics.begin(), m_Tics.end());
        int nCrossFrom, nCrossTo;
        CrossSpan(nCrossFrom, nCrossTo);
        bool bBefore = (nStyle & (TBS_TOP | TBS_BOTH)) != 0;
        bool bAfter = !(nStyle & TBS_TOP) || (nStyle & TBS_BOTH);
        COLORREF crTick = GetSysColor(COLOR_BTNTEXT);
        for (LONG nTic : tics)
        {
            if (nTic < m_nMin || nTic > m_nMax)
                continue;
            int p = PixelOf(nTic);
            if (bBefore)
                win32::FillSolidRect(hdc, Oriented(p, p + 1, nCrossFrom - 1 - TICK_LENGTH, nCrossFrom - 1), crTick);
            if (bAfter)
                win32::FillSolidRect(hdc, Oriented(p, p + 1, nCrossTo + 1, nCrossTo + 1 + TICK_LENGTH), crTick);
        }
    }
    if (!(nStyle & TBS_NOTHUMB))
    {
        RECT rcThumb = ThumbRect();
        DrawEdge(hdc, &rcThumb, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    }
}

LRESULT Trackbar::Handle(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    switch (nMessage)
    {
    case TBM_GETPOS: return m_nPos;
    case TBM_GETRANGEMIN: return m_nMin;
    case TBM_GETRANGEMAX: return m_nMax;
    case TBM_SETPOS:
        SetPosition(static_cast<LONG>(lParam));
        return 0;
    case TBM_SETRANGE:
        SetRange(static_cast<SHORT>(LOWORD(lParam)), static_cast<SHORT>(HIWORD(lParam)), wParam != 0);
        return 0;
    case TBM_SETRANGEMIN: SetRange(static_cast<LONG>(lParam), m_nMax, wParam != 0); return 0;
    case TBM_SETRANGEMAX: SetRange(m_nMin, static_cast<LONG>(lParam), wParam != 0); return 0;
    case TBM_SETTIC:
        if (static_cast<LONG>(lParam) < m_nMin || static_cast<LONG>(lParam) > m_nMax)
            return FALSE;
        m_Tics.push_back(static_cast<LONG>(lParam));
        InvalidateRect(m_hWnd, nullptr, TRUE);
        return TRUE;
    case TBM_CLEARTICS:
        m_Tics.clear();
        if (wParam)
            InvalidateRect(m_hWnd, nullptr, TRUE);
        return 0;
    case TBM_GETNUMTICS:
        if (Style() & TBS_NOTICKS)
            return 0;
        return 2 + static_cast<LRESULT>(m_Tics.size()) +
               ((Style() & TBS_AUTOTICKS) && m_nTicFrequency > 0 && m_nMax > m_nMin ? (m_nMax - m_nMin - 1) / m_nTicFrequency : 0);
    case TBM_SETTICFREQ: m_nTicFrequency = static_cast<LONG>(wParam); InvalidateRect(m_hWnd, nullptr, TRUE); return 0;
    case TBM_SETSEL:
        m_nSelStart = static_cast<SHORT>(LOWORD(lParam));
        m_nSelEnd = static_cast<SHORT>(HIWORD(lParam));
        if (wParam)
            InvalidateRect(m_hWnd, nullptr, TRUE);
        return 0;
    case TBM_SETSELSTART: m_nSelStart = static_cast<LONG>(lParam); if (wParam) InvalidateRect(m_hWnd, nullptr, TRUE); return 0;
    case TBM_SETSELEND: m_nSelEnd = static_cast<LONG>(lParam); if (wParam) InvalidateRect(m_hWnd, nullptr, TRUE); return 0;
    case TBM_GETSELSTART: return m_nSelStart;
    case TBM_GETSELEND: return m_nSelEnd;
    case TBM_CLEARSEL: m_nSelStart = m_nSelEnd = 0; if (wParam) InvalidateRect(m_hWnd, nullptr, TRUE); return 0;
    case TBM_SETPAGESIZE: { LONG nOld = m_nPage; m_nPage = static_cast<LONG>(lParam); return nOld; }
    case TBM_GETPAGESIZE: return m_nPage;
    case TBM_SETLINESIZE: { LONG nOld = m_nLine; m_nLine = static_cast<LONG>(lParam); return nOld; }
    case TBM_GETLINESIZE: return m_nLine;
    case TBM_GETTHUMBRECT:
    case TBM_GETCHANNELRECT:
        if (lParam)
            *reinterpret_cast<RECT*>(lParam) = nMessage == TBM_GETTHUMBRECT ? ThumbRect() : ChannelRect();
        return 0;
    case WM_SETFONT: m_hFont = reinterpret_cast<HFONT>(wParam); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(m_hFont);
    case WM_GETDLGCODE: return WANT_ARROWS;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnButtonDown(lParam); return 0;
    case WM_MOUSEMOVE: OnMouseMove(lParam); return 0;
    case WM_LBUTTONUP: OnButtonUp(); return 0;
    case WM_CAPTURECHANGED:
        // Losing the capture ends a drag where the thumb stands.
        if (m_bPressed && reinterpret_cast<HWND>(lParam) != m_hWnd)
        {
            m_bPressed = m_bDragging = false;
            InvalidateRect(m_hWnd, nullptr, TRUE);
        }
        return 0;
    case WM_KEYDOWN:
    {
        // Left and up go toward the minimum, right and down toward the maximum.
        static const struct { WPARAM m_nKey; UINT m_nCode; } KEYS[] = {
            {VK_LEFT, TB_LINEUP}, {VK_UP, TB_LINEUP}, {VK_RIGHT, TB_LINEDOWN}, {VK_DOWN, TB_LINEDOWN},
            {VK_PRIOR, TB_PAGEUP}, {VK_NEXT, TB_PAGEDOWN}, {VK_HOME, TB_TOP}, {VK_END, TB_BOTTOM}};
        for (const auto& k : KEYS)
            if (k.m_nKey == wParam)
                Step(k.m_nCode);
        return 0;
    }
    case WM_KEYUP:
        if (wParam == VK_LEFT || wParam == VK_RIGHT || wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR ||
            wParam == VK_NEXT || wParam == VK_HOME || wParam == VK_END)
            Scroll(TB_ENDTRACK);
        return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: InvalidateRect(m_hWnd, nullptr, TRUE); return 0;
    case WM_ERASEBKGND: return TRUE;   // the paint covers the whole client area
    case WM_PAINT: return PaintControl(m_hWnd, [&](HDC hdc) { Paint(hdc); });
    default: return DefWindowProcA(m_hWnd, nMessage, wParam, lParam);
    }
}
}

LRESULT CALLBACK TrackbarWndProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    return Trackbars().Dispatch(hWnd, nMessage, wParam, lParam);
}
