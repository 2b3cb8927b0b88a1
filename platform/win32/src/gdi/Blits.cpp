// The blit calls: each maps its rectangles to surface coordinates and hands them to the one
// raster-operation engine.
#include "RasterOps.h"

namespace
{
RECT SurfaceRect(const DcObject& dc, int x, int y, int cx, int cy)
{
    POINT pt = dc.ToSurface(x, y);
    return RECT{pt.x, pt.y, pt.x + cx, pt.y + cy};
}

BOOL Blit(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
          int hSrc, DWORD rop)
{
    std::shared_ptr<DcObject> pDest = FindDc(hdcDest);
    if (!pDest || !pDest->Target())
        return FALSE;
    RECT rcDest = SurfaceRect(*pDest, xDest, yDest, wDest, hDest);
    if (!RopUsesSource(rop))
    {
        FillPattern(*pDest, rcDest, rop);
        return TRUE;
    }
    std::shared_ptr<DcObject> pSource = FindDc(hdcSrc);
    if (!pSource || !pSource->Target())
        return FALSE;
    SourceSpec source;
    source.m_pSurface = pSource->Target();
    source.m_SourceBkColor = pSource->m_Attr.m_BkColor;
    // A blit within one surface reads a copy, so overlapping rectangles see the original pixels.
    Surface copy;
    if (source.m_pSurface == pDest->Target())
    {
        copy = *source.m_pSurface;
        copy.m_Storage.assign(source.m_pSurface->m_pBits,
                              source.m_pSurface->m_pBits + static_cast<size_t>(copy.m_nStride) * copy.m_nHeight);
        copy.m_pBits = copy.m_Storage.data();
        source.m_pSurface = &copy;
    }
    RunBlit(*pDest, rcDest, source, SurfaceRect(*pSource, xSrc, ySrc, wSrc, hSrc), rop);
    return TRUE;
}

// The source rectangle of a packed DIB in top-down rows. For a bottom-up DIB the caller's y
// counts from the bottom row upwards; nFirstScan is the first scan line the bits hold.
RECT DibSourceRect(const Surface& dib, int xSrc, int ySrc, int wSrc, int hSrc, int nFirstScan)
{
    int nTop = dib.m_bBottomUp ? dib.m_nHeight - (ySrc - nFirstScan) - hSrc : ySrc - nFirstScan;
    return RECT{xSrc, nTop, xSrc + wSrc, nTop + hSrc};
}
}

BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop)
{
    return Blit(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, rop);
}

BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop)
{
    return Blit(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, rop);
}

BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop)
{
    if (RopUsesSource(rop))
        return FALSE;
    return Blit(hdc, x, y, w, h, nullptr, 0, 0, 0, 0, rop);
}

int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop)
{
    std::shared_ptr<DcObject> pDest = FindDc(hdc);
    std::shared_ptr<Surface> pDib = Surface::ViewDib(lpbmi, lpBits, iUsage);
    if (!pDest || !pDest->Target() || !pDib)
        return 0;
    SourceSpec source;
    source.m_pSurface = pDib.get();
    source.m_bPackedDib = true;
    RunBlit(*pDest, SurfaceRect(*pDest, xDest, yDest, DestWidth, DestHeight), source,
            DibSourceRect(*pDib, xSrc, ySrc, SrcWidth, SrcHeight, 0), rop);
    return SrcHeight < 0 ? -SrcHeight : SrcHeight;
}

int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan,
                      UINT cLines, const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse)
{
    std::shared_ptr<DcObject> pDest = FindDc(hdc);
    if (!pDest || !pDest->Target() || cLines == 0 || cLines > 32768 || w > 32768 || h > 32768 || StartScan > 32768)
        return 0;
    std::shared_ptr<Surface> pDib = Surface::ViewDib(lpbmi, lpvBits, ColorUse, static_cast<int>(cLines));
    if (!pDib)
        return 0;
    SourceSpec source;
    source.m_pSurface = pDib.get();
    source.m_bPackedDib = true;
    int cx = static_cast<int>(w);
    int cy = static_cast<int>(h);
    RunBlit(*pDest, SurfaceRect(*pDest, xDest, yDest, cx, cy), source,
            DibSourceRect(*pDib, xSrc, ySrc, cx, cy, static_cast<int>(StartScan)), SRCCOPY);
    return pDib->m_nHeight;
}
