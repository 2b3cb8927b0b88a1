#include "RasterOps.h"

#include <algorithm>
#include <cstdlib>

uint32_t ApplyRop3(uint8_t nTable, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t nResult = 0;
    for (int i = 0; i < 8; ++i)
    {
        if (!((nTable >> i) & 1))
            continue;
        uint32_t nTerm = (i & 4) ? p : ~p;
        nTerm &= (i & 2) ? s : ~s;
        nTerm &= (i & 1) ? d : ~d;
        nResult |= nTerm;
    }
    return nResult & 0xFFFFFF;
}

uint32_t ApplyRop2(int nRop2, uint32_t nPen, uint32_t d)
{
    uint32_t nTable = static_cast<uint32_t>(nRop2 - 1) & 0xF;
    uint32_t nResult = 0;
    for (int i = 0; i < 4; ++i)
    {
        if (!((nTable >> i) & 1))
            continue;
        nResult |= ((i & 2) ? nPen : ~nPen) & ((i & 1) ? d : ~d);
    }
    return nResult & 0xFFFFFF;
}

bool RopUsesSource(DWORD rop)
{
    uint8_t t = Rop3Table(rop);
    // Bits with S = 1 (mask 0xCC) against the same bits with S = 0 (mask 0x33) moved up by 2.
    return ((t & 0xCC) >> 2) != (t & 0x33);
}

bool RopUsesPattern(DWORD rop)
{
    uint8_t t = Rop3Table(rop);
    return ((t & 0xF0) >> 4) != (t & 0x0F);
}

uint32_t DevicePixel(const Surface& dest, COLORREF color)
{
    return dest.m_bMono ? MonoFromColor(color) : PixelFromColor(color);
}

PatternReader::PatternReader(const DcObject& dc, const Surface& dest)
{
    const BrushObject& brush = *dc.m_Attr.m_pBrush;
    m_bToMono = dest.m_bMono;
    if (brush.m_nStyle == BS_NULL)
    {
        m_bNull = true;
        return;
    }
    if (brush.m_nStyle != BS_PATTERN || !brush.m_pPattern)
    {
        m_nSolid = DevicePixel(dest, brush.m_Color);
        return;
    }
    m_pPattern = brush.m_pPattern.get();
    m_nZero = PixelFromColor(dc.m_Attr.m_TextColor);
    m_nOne = PixelFromColor(dc.m_Attr.m_BkColor);
    m_ptAlign = POINT{dc.m_ptOrigin.x + dc.m_Attr.m_ptBrushOrg.x, dc.m_ptOrigin.y + dc.m_Attr.m_ptBrushOrg.y};
}

uint32_t PatternReader::At(int xSurface, int ySurface) const
{
    if (!m_pPattern)
        return m_nSolid;
    int cx = m_pPattern->m_nWidth;
    int cy = m_pPattern->m_nHeight;
    int px = ((xSurface - m_ptAlign.x) % cx + cx) % cx;
    int py = ((ySurface - m_ptAlign.y) % cy + cy) % cy;
    uint32_t v = m_pPattern->Read(px, py);
    if (m_pPattern->m_bMono)
        return m_bToMono ? v : (v ? m_nOne : m_nZero);
    return m_bToMono ? MonoFromColor(ColorFromPixel(v)) : v;
}

namespace
{
RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// Normalises a possibly mirrored extent: start and length become positive, the flag remembers.
void Normalise(LONG& nStart, LONG& nEnd, bool& bMirror)
{
    if (nEnd < nStart)
    {
        // A negative extent runs from the start leftwards: pixels start-1 down to end.
        std::swap(nStart, nEnd);
        ++nStart;
        ++nEnd;
        bMirror = !bMirror;
    }
}

// The source pixel under destination pixel i of n: the nearest one to the destination pixel's
// centre.
int Nearest(int i, int nDest, int nSource, bool bMirror)
{
    int j = static_cast<int>((2 * static_cast<int64_t>(i) + 1) * nSource / (2 * static_cast<int64_t>(nDest)));
    return bMirror ? nSource - 1 - j : j;
}
}

void RunBlit(DcObject& dc, RECT rcDest, const SourceSpec& source, RECT rcSource, DWORD rop)
{
    Surface* pDest = dc.Target();
    if (!pDest)
        return;
    bool bMirrorX = false;
    bool bMirrorY = false;
    Normalise(rcDest.left, rcDest.right, bMirrorX);
    Normalise(rcDest.top, rcDest.bottom, bMirrorY);
    Normalise(rcSource.left, rcSource.right, bMirrorX);
    Normalise(rcSource.top, rcSource.bottom, bMirrorY);
    int nDestW = rcDest.right - rcDest.left;
    int nDestH = rcDest.bottom - rcDest.top;
    int nSrcW = rcSource.right - rcSource.left;
    int nSrcH = rcSource.bottom - rcSource.top;
    const Surface* pSource = source.m_pSurface;
    if (nDestW <= 0 || nDestH <= 0 || (pSource && (nSrcW <= 0 || nSrcH <= 0)))
        return;

    uint8_t nTable = Rop3Table(rop);
    PatternReader pattern(dc, *pDest);
    bool bConvertToMono = pSource && !pSource->m_bMono && pDest->m_bMono;
    bool bConvertToColor = pSource && pSource->m_bMono && !pDest->m_bMono;
    uint32_t nSourceBk = PixelFromColor(source.m_SourceBkColor);
    uint32_t nZero = PixelFromColor(dc.m_Attr.m_TextColor);
    uint32_t nOne = PixelFromColor(dc.m_Attr.m_BkColor);

    for (const RECT& rcClip : dc.ClipRects())
    {
        RECT rc = Intersect(rcClip, rcDest);
        for (int y = rc.top; y < rc.bottom; ++y)
        {
            int sy = 0;
            if (pSource)
            {
                sy = rcSource.top + Nearest(y - rcDest.top, nDestH, nSrcH, bMirrorY);
                if (sy < 0 || sy >= pSource->m_nHeight)
                    continue;
            }
            for (int x = rc.left; x < rc.right; ++x)
            {
                uint32_t s = 0;
                if (pSource)
                {
                    int sx = rcSource.left + Nearest(x - rcDest.left, nDestW, nSrcW, bMirrorX);
                    if (sx < 0 || sx >= pSource->m_nWidth)
                        continue;
                    if (nTable == Rop3Table(SRCCOPY) && !bConvertToMono && !bConvertToColor)
                    {
                        // A plain copy between images carries a 32-bit source's alpha along.
                        pDest->WriteWithAlpha(x, y, pSource->ReadWithAlpha(sx, sy));
                        continue;
                    }
                    s = pSource->Read(sx, sy);
                    if (bConvertToMono && source.m_bPackedDib)
                        s = MonoFromColor(ColorFromPixel(s));
                    else if (bConvertToMono)
                        s = s == nSourceBk ? 0xFFFFFFu : 0u;
                    else if (bConvertToColor)
                        s = s ? nOne : nZero;
                }
                if (nTable == Rop3Table(SRCCOPY))
                {
                    pDest->Write(x, y, s);   // the common copy needs neither pattern nor destination
                    continue;
                }
                uint32_t p = pattern.At(x, y);
                pDest->Write(x, y, ApplyRop3(nTable, p, s, pDest->Read(x, y)));
            }
        }
    }
}

void FillPattern(DcObject& dc, const RECT& rcDest, DWORD rop)
{
    RunBlit(dc, rcDest, SourceSpec{}, RECT{}, rop);
}

void PlotPen(DcObject& dc, const std::vector<RECT>& clip, int x, int y, uint32_t nPen)
{
    Surface* pDest = dc.Target();
    for (const RECT& rc : clip)
        if (x >= rc.left && x < rc.right && y >= rc.top && y < rc.bottom)
        {
            pDest->Write(x, y, ApplyRop2(dc.m_Attr.m_nRop2, nPen, pDest->Read(x, y)));
            return;
        }
}

void FillSolid(DcObject& dc, const RECT& rcDest, uint32_t nPixel)
{
    Surface* pDest = dc.Target();
    if (!pDest)
        return;
    for (const RECT& rcClip : dc.ClipRects())
    {
        RECT rc = Intersect(rcClip, rcDest);
        for (int y = rc.top; y < rc.bottom; ++y)
            for (int x = rc.left; x < rc.right; ++x)
                pDest->Write(x, y, nPixel);
    }
}
