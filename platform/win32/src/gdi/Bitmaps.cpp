// Bitmaps: device-dependent bitmaps (monochrome, or 32-bit like the screen), DIB sections over
// caller-visible bits, and the transfers between them and packed DIBs.
#include "RasterOps.h"

#include <cstring>

namespace
{
// Device-dependent bitmap rows are padded to 16 bits, DIB rows to 32 bits.
constexpr int kDdbAlign = 2;
constexpr int kDibAlign = 4;

HBITMAP AddBitmap(std::shared_ptr<Surface> pSurface, bool bDibSection)
{
    if (!pSurface)
        return nullptr;
    auto p = std::make_shared<BitmapObject>();
    p->m_pSurface = std::move(pSurface);
    p->m_bDibSection = bDibSection;
    return reinterpret_cast<HBITMAP>(AddGdiObject(p));
}

std::shared_ptr<BitmapObject> FindBitmap(HBITMAP hbm)
{
    return FindGdi<BitmapObject>(reinterpret_cast<HGDIOBJ>(hbm), GdiKind::Bitmap);
}

// Copies a packed DIB's rows into a surface at row nFirstRow (from the top), converting colours
// to black and white for a monochrome surface; a 32-bit DIB's alpha reaches a 32-bit surface.
void CopyDibRows(const Surface& dib, Surface& dest, int nFirstRow)
{
    for (int i = 0; i < dib.m_nHeight; ++i)
    {
        int y = nFirstRow + i;
        if (y < 0 || y >= dest.m_nHeight)
            continue;
        for (int x = 0; x < dest.m_nWidth && x < dib.m_nWidth; ++x)
        {
            if (dest.m_bMono && !dib.m_bMono)
                dest.Write(x, y, MonoFromColor(ColorFromPixel(dib.Read(x, i))));
            else
                dest.WriteWithAlpha(x, y, dib.ReadWithAlpha(x, i));
        }
    }
}

void FillHeader(const Surface& s, int nBitCount, BITMAPINFOHEADER& h)
{
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = s.m_nWidth;
    h.biHeight = s.m_nHeight;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(nBitCount);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(Surface::RowBytes(s.m_nWidth, nBitCount, kDibAlign) * s.m_nHeight);
    h.biClrUsed = 0;
    h.biClrImportant = 0;
}

void WriteMonoColorTable(BITMAPINFO* pInfo)
{
    pInfo->bmiColors[0] = RGBQUAD{0, 0, 0, 0};
    (&pInfo->bmiColors[0])[1] = RGBQUAD{255, 255, 255, 0};
}
}

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits)
{
    if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 24 && nBitCount != 32))
        return nullptr;
    std::shared_ptr<Surface> pSurface = Surface::Create(nWidth, nHeight, nBitCount == 1 ? 1 : 32, kDdbAlign, false);
    if (!pSurface)
        return nullptr;
    if (lpBits)
    {
        // The caller's rows are in the bitmap's own layout, padded to 16 bits.
        const uint8_t* pIn = static_cast<const uint8_t*>(lpBits);
        int nInStride = Surface::RowBytes(nWidth, static_cast<int>(nBitCount), kDdbAlign);
        for (int y = 0; y < nHeight; ++y)
        {
            const uint8_t* pRow = pIn + static_cast<size_t>(y) * nInStride;
            if (nBitCount != 24)
            {
                std::memcpy(pSurface->Row(y), pRow, static_cast<size_t>(pSurface->m_nStride));
                continue;
            }
            for (int x = 0; x < nWidth; ++x)
                pSurface->Write(x, y, pRow[x * 3] | (pRow[x * 3 + 1] << 8) | (pRow[x * 3 + 2] << 16));
        }
    }
    return AddBitmap(pSurface, false);
}

HBITMAP CreateBitmapIndirect(const BITMAP* pbm)
{
    if (!pbm)
        return nullptr;
    return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return nullptr;
    // As on Windows: an empty size gives a 1x1 monochrome bitmap, and a memory DC that still
    // holds its default monochrome bitmap makes monochrome bitmaps.
    if (cx == 0 || cy == 0)
        return CreateBitmap(1, 1, 1, 1, nullptr);
    const Surface* pTarget = pDc->Target();
    bool bMono = pDc->m_bMemory && pTarget && pTarget->m_bMono;
    return CreateBitmap(cx, cy, 1, bMono ? 1 : 32, nullptr);
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD)
{
    if (ppvBits)
        *ppvBits = nullptr;
    if (!pbmi || usage != DIB_RGB_COLORS || hSection)
        return nullptr;
    const BITMAPINFOHEADER& h = pbmi->bmiHeader;
    bool bFormat = h.biCompression == BI_RGB || (h.biCompression == BI_BITFIELDS && h.biBitCount == 32);
    if (!bFormat || h.biPlanes > 1)
        return nullptr;
    LONG cy = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    std::shared_ptr<Surface> pSurface = Surface::Create(h.biWidth, cy, h.biBitCount, kDibAlign, h.biHeight > 0);
    if (!pSurface)
        return nullptr;
    if (pSurface->m_bMono)
        pSurface->m_Palette.assign(pbmi->bmiColors, pbmi->bmiColors + 2);
    HBITMAP hbm = AddBitmap(pSurface, true);
    if (ppvBits)
        *ppvBits = pSurface->m_pBits;
    return hbm;
}

int SetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi, UINT ColorUse)
{
    std::shared_ptr<BitmapObject> pBitmap = FindBitmap(hbm);
    if (!pBitmap || !lpbmi || cLines == 0 || cLines > 32768 || start > 32768)
        return 0;
    std::shared_ptr<Surface> pDib = Surface::ViewDib(lpbmi, lpBits, ColorUse, static_cast<int>(cLines));
    if (!pDib)
        return 0;
    // Scan lines count from the bottom of a bottom-up DIB, from the top of a top-down one.
    LONG nImageRows = lpbmi->bmiHeader.biHeight < 0 ? -lpbmi->bmiHeader.biHeight : lpbmi->bmiHeader.biHeight;
    int nFirst = pDib->m_bBottomUp ? nImageRows - static_cast<int>(start) - pDib->m_nHeight : static_cast<int>(start);
    CopyDibRows(*pDib, *pBitmap->m_pSurface, nFirst);
    return pDib->m_nHeight;
}

HBITMAP CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const void* pjBits,
                       const BITMAPINFO* pbmi, UINT iUsage)
{
    if (!pbmih)
        return nullptr;
    LONG cy = pbmih->biHeight < 0 ? -pbmih->biHeight : pbmih->biHeight;
    HBITMAP hbm = CreateCompatibleBitmap(hdc, pbmih->biWidth, cy);
    if (hbm && (flInit & CBM_INIT) && SetDIBits(hdc, hbm, 0, static_cast<UINT>(cy), pjBits, pbmi, iUsage) == 0)
    {
        DeleteObject(hbm);
        return nullptr;
    }
    return hbm;
}

int GetDIBits(HDC, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage)
{
    std::shared_ptr<BitmapObject> pBitmap = FindBitmap(hbm);
    if (!pBitmap || !lpbmi || usage != DIB_RGB_COLORS)
        return 0;
    const Surface& s = *pBitmap->m_pSurface;
    BITMAPINFOHEADER& h = lpbmi->bmiHeader;
    if (!lpvBits)
    {
        // Describe the bitmap; a given bit count asks for the size in that depth.
        int nBitCount = h.biBitCount ? h.biBitCount : s.m_nBitCount;
        FillHeader(s, nBitCount, h);
        if (nBitCount == 1)
            WriteMonoColorTable(lpbmi);
        return s.m_nHeight;
    }
    int nBitCount = h.biBitCount;
    if ((nBitCount != 1 && nBitCount != 24 && nBitCount != 32) || h.biCompression != BI_RGB || h.biWidth != s.m_nWidth)
        return 0;
    bool bBottomUp = h.biHeight > 0;
    int nOutStride = Surface::RowBytes(s.m_nWidth, nBitCount, kDibAlign);
    int nRows = static_cast<int>(std::min<UINT>(cLines, static_cast<UINT>(std::max(0, s.m_nHeight - static_cast<int>(start)))));
    uint8_t* pOut = static_cast<uint8_t*>(lpvBits);
    std::memset(pOut, 0, static_cast<size_t>(nOutStride) * nRows);
    for (int i = 0; i < nRows; ++i)
    {
        // Output row i holds scan line start + i: from the bottom for a bottom-up request.
        int nScan = static_cast<int>(start) + i;
        int y = bBottomUp ? s.m_nHeight - 1 - nScan : nScan;
        uint8_t* pRow = pOut + static_cast<size_t>(i) * nOutStride;
        for (int x = 0; x < s.m_nWidth; ++x)
        {
            uint32_t v = s.ReadWithAlpha(x, y);
            switch (nBitCount)
            {
            case 1:
                if (s.m_bMono ? v != 0 : MonoFromColor(ColorFromPixel(v)) != 0)
                    pRow[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
                break;
            case 24:
                pRow[x * 3] = static_cast<uint8_t>(v);
                pRow[x * 3 + 1] = static_cast<uint8_t>(v >> 8);
                pRow[x * 3 + 2] = static_cast<uint8_t>(v >> 16);
                break;
            default:
                std::memcpy(pRow + x * 4, &v, 4);
                break;
            }
        }
    }
    if (nBitCount == 1)
        WriteMonoColorTable(lpbmi);
    return nRows;
}

UINT GetDIBColorTable(HDC hdc, UINT iStart, UINT cEntries, RGBQUAD* prgbq)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc || !pDc->m_pBitmap || !pDc->m_pBitmap->m_bDibSection || !prgbq)
        return 0;
    const std::vector<RGBQUAD>& palette = pDc->m_pBitmap->m_pSurface->m_Palette;
    UINT n = 0;
    for (UINT i = iStart; i < palette.size() && n < cEntries; ++i, ++n)
        prgbq[n] = palette[i];
    return n;
}

LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits)
{
    std::shared_ptr<BitmapObject> pBitmap = FindBitmap(hbit);
    if (!pBitmap)
        return 0;
    const Surface& s = *pBitmap->m_pSurface;
    LONG nTotal = s.m_nStride * s.m_nHeight;
    if (!lpvBits)
        return nTotal;
    LONG nRowsCopied = 0;
    for (int y = 0; y < s.m_nHeight && (nRowsCopied + 1) * s.m_nStride <= cb; ++y, ++nRowsCopied)
        std::memcpy(static_cast<uint8_t*>(lpvBits) + static_cast<size_t>(y) * s.m_nStride, s.Row(y),
                    static_cast<size_t>(s.m_nStride));
    return nRowsCopied * s.m_nStride;
}

LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits)
{
    std::shared_ptr<BitmapObject> pBitmap = FindBitmap(hbm);
    if (!pBitmap || !pvBits)
        return 0;
    Surface& s = *pBitmap->m_pSurface;
    LONG nRows = 0;
    for (int y = 0; y < s.m_nHeight && static_cast<DWORD>((nRows + 1) * s.m_nStride) <= cb; ++y, ++nRows)
        std::memcpy(s.Row(y), static_cast<const uint8_t*>(pvBits) + static_cast<size_t>(y) * s.m_nStride,
                    static_cast<size_t>(s.m_nStride));
    return nRows * s.m_nStride;
}

COLORREF GetPixel(HDC hdc, int x, int y)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    const Surface* pSurface = pDc ? pDc->Target() : nullptr;
    if (!pSurface)
        return CLR_INVALID;
    POINT pt = pDc->ToSurface(x, y);
    for (const RECT& rc : pDc->ClipRects())
        if (pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom)
            return ColorFromPixel(pSurface->Read(pt.x, pt.y));
    return CLR_INVALID;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    Surface* pSurface = pDc ? pDc->Target() : nullptr;
    if (!pSurface)
        return CLR_INVALID;
    POINT pt = pDc->ToSurface(x, y);
    uint32_t v = DevicePixel(*pSurface, color);
    for (const RECT& rc : pDc->ClipRects())
        if (pt.x >= rc.left && pt.x < rc.right && pt.y >= rc.top && pt.y < rc.bottom)
        {
            pSurface->Write(pt.x, pt.y, v);
            return ColorFromPixel(v);
        }
    return CLR_INVALID;
}
