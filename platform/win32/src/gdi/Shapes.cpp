// Lines, rectangles and the frame helpers. Rectangles exclude their right and bottom edges and
// LineTo leaves out its end point, so consecutive segments and adjacent rectangles never draw
// a pixel twice (which keeps XOR drawing reversible).
#include "RasterOps.h"

#include <cstdlib>
#include <utility>

namespace
{
RECT Normalised(int l, int t, int r, int b)
{
    if (r < l)
        std::swap(l, r);
    if (b < t)
        std::swap(t, b);
    return RECT{l, t, r, b};
}

RECT SurfaceRect(const DcObject& dc, const RECT& rc)
{
    POINT a = dc.ToSurface(rc.left, rc.top);
    POINT b = dc.ToSurface(rc.right, rc.bottom);
    return Normalised(a.x, a.y, b.x, b.y);
}

// The ROP3 code that applies a brush as the DC's ROP2 applies a pen: the pen's role goes to
// the pattern and the source plays no part.
DWORD Rop3FromRop2(int nRop2)
{
    uint32_t nTable2 = static_cast<uint32_t>(nRop2 - 1) & 0xF;
    uint32_t nTable3 = 0;
    for (int i = 0; i < 8; ++i)
    {
        int p = (i >> 2) & 1;
        int d = i & 1;
        if ((nTable2 >> ((p << 1) | d)) & 1)
            nTable3 |= 1u << i;
    }
    return nTable3 << 16;
}

// Dashed styles as on/off runs of pixels along the line.
bool PenPixelOn(UINT nStyle, int nStep)
{
    switch (nStyle & 0xF)
    {
    case PS_DOT: return (nStep % 2) == 0;
    case PS_DASH: return (nStep % 24) < 18;
    case PS_DASHDOT: return (nStep % 24) < 12 || ((nStep % 24) >= 18 && (nStep % 24) < 20);
    case PS_DASHDOTDOT: return (nStep % 24) < 12 || (nStep % 24) == 16 || (nStep % 24) == 20;
    default: return true;
    }
}

// A pen line in surface coordinates from a to b, b excluded (Bresenham).
void StrokeLine(DcObject& dc, POINT a, POINT b)
{
    const PenObject& pen = *dc.m_Attr.m_pPen;
    UINT nStyle = pen.m_Log.lopnStyle & 0xF;
    Surface* pSurface = dc.Target();
    if (nStyle == PS_NULL || !pSurface)
        return;
    uint32_t nPen = DevicePixel(*pSurface, pen.m_Log.lopnColor);
    int nWidth = pen.m_Log.lopnWidth.x > 1 ? pen.m_Log.lopnWidth.x : 1;
    std::vector<RECT> clip = dc.ClipRects();
    int dx = std::abs(b.x - a.x);
    int dy = -std::abs(b.y - a.y);
    int sx = a.x < b.x ? 1 : -1;
    int sy = a.y < b.y ? 1 : -1;
    int nError = dx + dy;
    int x = a.x;
    int y = a.y;
    for (int nStep = 0; x != b.x || y != b.y; ++nStep)
    {
        if (PenPixelOn(nStyle, nStep))
        {
            // A wide pen plots a square centred on the line.
            int nHalf = (nWidth - 1) / 2;
            for (int py = y - nHalf; py < y - nHalf + nWidth; ++py)
                for (int px = x - nHalf; px < x - nHalf + nWidth; ++px)
                    PlotPen(dc, clip, px, py, nPen);
        }
        int e2 = 2 * nError;
        if (e2 >= dy)
        {
            nError += dy;
            x += sx;
        }
        if (e2 <= dx)
        {
            nError += dx;
            y += sy;
        }
    }
}

// Fills a logical rectangle with a brush handle, sys-colour brushes (COLOR_x + 1) included.
int FillWithBrush(HDC hDC, const RECT& rc, HBRUSH hbr, DWORD rop)
{
    std::shared_ptr<DcObject> pDc = FindDc(hDC);
    if (!pDc)
        return 0;
    uintptr_t nValue = reinterpret_cast<uintptr_t>(hbr);
    if (nValue > 0 && nValue <= COLOR_GRADIENTINACTIVECAPTION + 1)
        hbr = GetSysColorBrush(static_cast<int>(nValue - 1));
    auto pBrush = FindGdi<BrushObject>(reinterpret_cast<HGDIOBJ>(hbr), GdiKind::Brush);
    if (!pBrush)
        return 0;
    std::shared_ptr<BrushObject> pOld = std::exchange(pDc->m_Attr.m_pBrush, pBrush);
    FillPattern(*pDc, SurfaceRect(*pDc, rc), rop);
    pDc->m_Attr.m_pBrush = pOld;
    return 1;
}

void FillColor(DcObject& dc, const RECT& rcSurface, COLORREF color)
{
    if (Surface* pSurface = dc.Target())
        FillSolid(dc, rcSurface, DevicePixel(*pSurface, color));
}
}

BOOL MoveToEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return FALSE;
    if (lppt)
        *lppt = pDc->m_Attr.m_ptCurrent;
    pDc->m_Attr.m_ptCurrent = POINT{x, y};
    return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return FALSE;
    POINT a = pDc->ToSurface(pDc->m_Attr.m_ptCurrent.x, pDc->m_Attr.m_ptCurrent.y);
    StrokeLine(*pDc, a, pDc->ToSurface(x, y));
    pDc->m_Attr.m_ptCurrent = POINT{x, y};
    return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* apt, int cpt)
{
    if (!apt || cpt < 2 || !FindDc(hdc))
        return FALSE;
    POINT ptSaved{};
    MoveToEx(hdc, apt[0].x, apt[0].y, &ptSaved);
    for (int i = 1; i < cpt; ++i)
        LineTo(hdc, apt[i].x, apt[i].y);
    MoveToEx(hdc, ptSaved.x, ptSaved.y, nullptr);
    return TRUE;
}

BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return FALSE;
    RECT rc = SurfaceRect(*pDc, Normalised(left, top, right, bottom));
    if (rc.right - rc.left < 1 || rc.bottom - rc.top < 1)
        return TRUE;
    bool bPen = (pDc->m_Attr.m_pPen->m_Log.lopnStyle & 0xF) != PS_NULL;
    // Interior: inside the one-pixel frame when there is a pen, the whole rectangle otherwise.
    RECT rcInside = rc;
    if (bPen)
        rcInside = RECT{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
    if (pDc->m_Attr.m_pBrush->m_nStyle != BS_NULL)
        FillPattern(*pDc, rcInside, Rop3FromRop2(pDc->m_Attr.m_nRop2));
    if (bPen)
    {
        POINT corners[5] = {{rc.left, rc.top}, {rc.right - 1, rc.top}, {rc.right - 1, rc.bottom - 1},
                            {rc.left, rc.bottom - 1}, {rc.left, rc.top}};
        for (int i = 0; i < 4; ++i)
            StrokeLine(*pDc, corners[i], corners[i + 1]);
        // A one-pixel-high or -wide rectangle has degenerate sides; draw its last pixel.
        if (rc.right - rc.left == 1 && rc.bottom - rc.top == 1)
            PlotPen(*pDc, pDc->ClipRects(), rc.left, rc.top, DevicePixel(*pDc->Target(), pDc->m_Attr.m_pPen->m_Log.lopnColor));
    }
    return TRUE;
}

int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    if (!lprc)
        return 0;
    return FillWithBrush(hDC, *lprc, hbr, PATCOPY);
}

int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr)
{
    if (!lprc)
        return 0;
    const RECT& rc = *lprc;
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return FindDc(hDC) ? 1 : 0;
    RECT sides[4] = {{rc.left, rc.top, rc.right, rc.top + 1},
                     {rc.left, rc.bottom - 1, rc.right, rc.bottom},
                     {rc.left, rc.top + 1, rc.left + 1, rc.bottom - 1},
                     {rc.right - 1, rc.top + 1, rc.right, rc.bottom - 1}};
    for (const RECT& side : sides)
        if (side.right > side.left && side.bottom > side.top && !FillWithBrush(hDC, side, hbr, PATCOPY))
            return 0;
    return 1;
}

BOOL InvertRect(HDC hDC, const RECT* lprc)
{
    std::shared_ptr<DcObject> pDc = FindDc(hDC);
    if (!pDc || !lprc)
        return FALSE;
    FillPattern(*pDc, SurfaceRect(*pDc, *lprc), DSTINVERT);
    return TRUE;
}

BOOL DrawFocusRect(HDC hDC, const RECT* lprc)
{
    std::shared_ptr<DcObject> pDc = FindDc(hDC);
    if (!pDc || !lprc || !pDc->Target())
        return FALSE;
    RECT rc = SurfaceRect(*pDc, *lprc);
    if (rc.right - rc.left < 1 || rc.bottom - rc.top < 1)
        return TRUE;
    // Every other pixel of the one-pixel frame is inverted, on a checkerboard aligned to the
    // DC origin; each frame pixel is visited once, so drawing twice restores the pixels.
    std::vector<RECT> clip = pDc->ClipRects();
    int nSavedRop = std::exchange(pDc->m_Attr.m_nRop2, R2_XORPEN);
    auto dot = [&](int x, int y) {
        if (((x - pDc->m_ptOrigin.x + y - pDc->m_ptOrigin.y) & 1) == 0)
            PlotPen(*pDc, clip, x, y, 0xFFFFFF);
    };
    for (int x = rc.left; x < rc.right; ++x)
    {
        dot(x, rc.top);
        if (rc.bottom - 1 > rc.top)
            dot(x, rc.bottom - 1);
    }
    for (int y = rc.top + 1; y < rc.bottom - 1; ++y)
    {
        dot(rc.left, y);
        if (rc.right - 1 > rc.left)
            dot(rc.right - 1, y);
    }
    pDc->m_Attr.m_nRop2 = nSavedRop;
    return TRUE;
}

namespace
{
// The colours of one border ring: top-left, then bottom-right.
struct EdgeColors
{
    int m_nTopLeft;
    int m_nBottomRight;
};

// Draws one ring inside rc: the top row and left column in the top-left colour, then the
// bottom row and right column in the bottom-right colour, which therefore owns both of the
// corners the two share.
void DrawRing(DcObject& dc, const RECT& rc, UINT nFlags, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    if (nFlags & BF_TOP)
        FillColor(dc, RECT{rc.left, rc.top, rc.right, rc.top + 1}, clrTopLeft);
    if (nFlags & BF_LEFT)
        FillColor(dc, RECT{rc.left, rc.top, rc.left + 1, rc.bottom}, clrTopLeft);
    if (nFlags & BF_BOTTOM)
        FillColor(dc, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom}, clrBottomRight);
    if (nFlags & BF_RIGHT)
        FillColor(dc, RECT{rc.right - 1, rc.top, rc.right, rc.bottom}, clrBottomRight);
}

void Shrink(RECT& rc, UINT nFlags)
{
    if (nFlags & BF_LEFT) ++rc.left;
    if (nFlags & BF_TOP) ++rc.top;
    if (nFlags & BF_RIGHT) --rc.right;
    if (nFlags & BF_BOTTOM) --rc.bottom;
}
}

BOOL DrawEdge(HDC hdc, LPRECT qrc, UINT edge, UINT grfFlags)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc || !qrc)
        return FALSE;
    // Raised outer: light over dark shadow; sunken outer: shadow over highlight.
    // Raised inner: highlight over shadow; sunken inner: dark shadow over light.
    EdgeColors outer{0, 0};
    EdgeColors inner{0, 0};
    if (edge & BDR_RAISEDOUTER)
        outer = {COLOR_3DLIGHT, COLOR_3DDKSHADOW};
    else if (edge & BDR_SUNKENOUTER)
        outer = {COLOR_3DSHADOW, COLOR_3DHIGHLIGHT};
    if (edge & BDR_RAISEDINNER)
        inner = {COLOR_3DHIGHLIGHT, COLOR_3DSHADOW};
    else if (edge & BDR_SUNKENINNER)
        inner = {COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    if (grfFlags & BF_MONO)
    {
        outer = {COLOR_WINDOWFRAME, COLOR_WINDOWFRAME};
        inner = {COLOR_WINDOW, COLOR_WINDOW};
    }
    else if (grfFlags & BF_FLAT)
    {
        outer = {COLOR_3DSHADOW, COLOR_3DSHADOW};
        inner = {COLOR_3DFACE, COLOR_3DFACE};
    }
    RECT rc = SurfaceRect(*pDc, *qrc);
    if (edge & BDR_OUTER)
    {
        DrawRing(*pDc, rc, grfFlags, GetSysColor(outer.m_nTopLeft), GetSysColor(outer.m_nBottomRight));
        Shrink(rc, grfFlags);
    }
    if (edge & BDR_INNER)
    {
        DrawRing(*pDc, rc, grfFlags, GetSysColor(inner.m_nTopLeft), GetSysColor(inner.m_nBottomRight));
        Shrink(rc, grfFlags);
    }
    if (grfFlags & BF_MIDDLE)
        FillColor(*pDc, rc, GetSysColor(COLOR_3DFACE));
    if (grfFlags & BF_ADJUST)
    {
        int nInset = ((edge & BDR_OUTER) ? 1 : 0) + ((edge & BDR_INNER) ? 1 : 0);
        if (grfFlags & BF_LEFT) qrc->left += nInset;
        if (grfFlags & BF_TOP) qrc->top += nInset;
        if (grfFlags & BF_RIGHT) qrc->right -= nInset;
        if (grfFlags & BF_BOTTOM) qrc->bottom -= nInset;
    }
    return TRUE;
}

void win32::FillSolidRect(HDC hdc, const RECT& rc, COLORREF color)
{
    // As CDC::FillSolidRect: the background colour is set and left set.
    SetBkColor(hdc, color);
    ExtTextOutA(hdc, 0, 0, ETO_OPAQUE, &rc, nullptr, 0, nullptr);
}

void win32::Draw3dRect(HDC hdc, int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight)
{
    FillSolidRect(hdc, RECT{x, y, x + cx - 1, y + 1}, clrTopLeft);
    FillSolidRect(hdc, RECT{x, y, x + 1, y + cy - 1}, clrTopLeft);
    FillSolidRect(hdc, RECT{x + cx - 1, y, x + cx, y + cy}, clrBottomRight);
    FillSolidRect(hdc, RECT{x, y + cy - 1, x + cx, y + cy}, clrBottomRight);
}
