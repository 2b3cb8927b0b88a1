// Drawing icons: through their mask and colour image, at any size, optionally composed over a
// brush first; and DrawState's normal and disabled (embossed) looks.
#include <win32/gdi.h>
#include <win32/drawicon.h>

namespace
{
// An icon's parts as GetIconInfo hands them out, deleted with the object.
struct IconParts
{
    ICONINFO m_Info{};
    int m_nWidth = 0;
    int m_nHeight = 0;   // of the image (a monochrome mask holds two)

    explicit IconParts(HICON hIcon)
    {
        BITMAP bm{};
        if (!GetIconInfo(hIcon, &m_Info))
            return;
        if (!GetObjectA(m_Info.hbmMask, sizeof(bm), &bm))
            return;
        m_nWidth = bm.bmWidth;
        m_nHeight = m_Info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
    }
    ~IconParts()
    {
        if (m_Info.hbmMask)
            DeleteObject(m_Info.hbmMask);
        if (m_Info.hbmColor)
            DeleteObject(m_Info.hbmColor);
    }
    IconParts(const IconParts&) = delete;
    IconParts& operator=(const IconParts&) = delete;
    bool IsValid() const { return m_nWidth > 0 && m_nHeight > 0; }
};

// The mask ANDed, then the colour image (or the mask's lower half) XORed, stretched to cx x cy.
void DrawParts(HDC hdc, int x, int y, int cx, int cy, const IconParts& parts, UINT diFlags)
{
    HDC hMem = CreateCompatibleDC(hdc);
    HGDIOBJ hOld = SelectObject(hMem, parts.m_Info.hbmMask);
    if (diFlags & DI_MASK)
        StretchBlt(hdc, x, y, cx, cy, hMem, 0, 0, parts.m_nWidth, parts.m_nHeight, SRCAND);
    if (diFlags & DI_IMAGE)
    {
        int ySource = parts.m_nHeight;
        if (parts.m_Info.hbmColor)
        {
            SelectObject(hMem, parts.m_Info.hbmColor);
            ySource = 0;
        }
        StretchBlt(hdc, x, y, cx, cy, hMem, 0, ySource, parts.m_nWidth, parts.m_nHeight, SRCINVERT);
    }
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
}

// A screen-like scratch image of cx x cy selected into its own DC, deleted with the object.
struct Scratch
{
    HDC m_hdc = nullptr;
    HBITMAP m_hbm = nullptr;
    HGDIOBJ m_hOld = nullptr;

    Scratch(HDC hdcLike, int cx, int cy)
    {
        m_hdc = CreateCompatibleDC(hdcLike);
        m_hbm = CreateBitmap(cx, cy, 1, 32, nullptr);
        if (m_hdc && m_hbm)
            m_hOld = SelectObject(m_hdc, m_hbm);
    }
    ~Scratch()
    {
        if (m_hOld)
            SelectObject(m_hdc, m_hOld);
        if (m_hdc)
            DeleteDC(m_hdc);
        if (m_hbm)
            DeleteObject(m_hbm);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    bool IsValid() const { return m_hOld != nullptr; }
};

// The image's shape as drawn over white, embossed: highlight moved by (1, 1), then shadow.
BOOL DrawEmbossed(HDC hdc, int x, int y, int cx, int cy, HDC hdcImage)
{
    const COLORREF crWhite = RGB(255, 255, 255);
    const COLORREF crPasses[2] = {GetSysColor(COLOR_3DHILIGHT), GetSysColor(COLOR_3DSHADOW)};
    for (int nPass = 0; nPass < 2; ++nPass)
        for (int j = 0; j < cy; ++j)
            for (int i = 0; i < cx; ++i)
                if (GetPixel(hdcImage, i, j) != crWhite)
                    SetPixel(hdc, x + i + (nPass == 0), y + j + (nPass == 0), crPasses[nPass]);
    return TRUE;
}
}

BOOL DrawIconEx(HDC hdc, int xLeft, int yTop, HICON hIcon, int cxWidth, int cyWidth, UINT, HBRUSH hbrFlickerFreeDraw,
                UINT diFlags)
{
    IconParts parts(hIcon);
    if (!hdc || !parts.IsValid())
        return FALSE;
    const int cx = cxWidth > 0 ? cxWidth : parts.m_nWidth;
    const int cy = cyWidth > 0 ? cyWidth : parts.m_nHeight;
    if (!hbrFlickerFreeDraw)
    {
        DrawParts(hdc, xLeft, yTop, cx, cy, parts, diFlags);
        return TRUE;
    }
    Scratch scratch(hdc, cx, cy);
    if (!scratch.IsValid())
        return FALSE;
    RECT rc{0, 0, cx, cy};
    FillRect(scratch.m_hdc, &rc, hbrFlickerFreeDraw);
    DrawParts(scratch.m_hdc, 0, 0, cx, cy, parts, diFlags);
    return BitBlt(hdc, xLeft, yTop, cx, cy, scratch.m_hdc, 0, 0, SRCCOPY);
}

BOOL DrawIcon(HDC hDC, int X, int Y, HICON hIcon)
{
    return DrawIconEx(hDC, X, Y, hIcon, 0, 0, 0, nullptr, DI_NORMAL);
}

BOOL DrawStateA(HDC hdc, HBRUSH, DRAWSTATEPROC, LPARAM lData, WPARAM, int x, int y, int cx, int cy, UINT uFlags)
{
    const UINT nType = uFlags & 0x000F;
    int nWidth = 0, nHeight = 0;
    if (nType == DST_ICON)
    {
        IconParts parts(reinterpret_cast<HICON>(lData));
        nWidth = parts.m_nWidth;
        nHeight = parts.m_nHeight;
    }
    else if (nType == DST_BITMAP)
    {
        BITMAP bm{};
        if (GetObjectA(reinterpret_cast<HBITMAP>(lData), sizeof(bm), &bm))
        {
            nWidth = bm.bmWidth;
            nHeight = bm.bmHeight;
        }
    }
    if (!hdc || nWidth <= 0 || nHeight <= 0)
        return FALSE;
    if (cx <= 0)
        cx = nWidth;
    if (cy <= 0)
        cy = nHeight;
    auto drawImage = [&](HDC hdcTo, int xTo, int yTo) -> BOOL {
        if (nType == DST_ICON)
            return DrawIconEx(hdcTo, xTo, yTo, reinterpret_cast<HICON>(lData), cx, cy, 0, nullptr, DI_NORMAL);
        HDC hMem = CreateCompatibleDC(hdcTo);
        HGDIOBJ hOld = SelectObject(hMem, reinterpret_cast<HBITMAP>(lData));
        BOOL bDone = StretchBlt(hdcTo, xTo, yTo, cx, cy, hMem, 0, 0, nWidth, nHeight, SRCCOPY);
        SelectObject(hMem, hOld);
        DeleteDC(hMem);
        return bDone;
    };
    if (!(uFlags & DSS_DISABLED))
        return drawImage(hdc, x, y);
    // The disabled look: the image drawn over white in a scratch image gives the shape.
    Scratch scratch(hdc, cx, cy);
    if (!scratch.IsValid())
        return FALSE;
    PatBlt(scratch.m_hdc, 0, 0, cx, cy, WHITENESS);
    drawImage(scratch.m_hdc, 0, 0);
    return DrawEmbossed(hdc, x, y, cx, cy, scratch.m_hdc);
}
