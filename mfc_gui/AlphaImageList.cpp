#include "mfc_gui/AlphaImageList.h"

#include <win32/modules.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace
{
// The grey look: luma brightened by a square root.
BYTE GreyOf(BYTE b, BYTE g, BYTE r)
{
    const double fLuma = 0.299 * r + 0.587 * g + 0.114 * b;
    return static_cast<BYTE>(255.0 * std::pow(fLuma / 255.0, 0.5));
}

// The dark look: each channel through a 1.4 power.
BYTE DarkOf(BYTE c)
{
    return static_cast<BYTE>(255.0 * std::pow(c / 255.0, 1.4));
}

// 32 when the common controls library is version 6 or later (alpha channels), else 24.
int AlphaDepth()
{
    int nDepth = 24;
    if (HMODULE hLibrary = LoadLibraryA("comctl32.dll"))
    {
        auto pfnGetVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(hLibrary, "DllGetVersion"));
        DLLVERSIONINFO info{};
        info.cbSize = 20;
        if (pfnGetVersion && SUCCEEDED(pfnGetVersion(&info)) && info.dwMajorVersion > 5)
            nDepth = 32;
        FreeLibrary(hLibrary);
    }
    return nDepth;
}
}

CAlphaImageList::~CAlphaImageList()
{
    m_ilNormal.DeleteImageList();
    m_ilDark.DeleteImageList();
    m_ilGrey.DeleteImageList();
}

BOOL CAlphaImageList::Create(int cx, int cy, int nMode, int nInitial)
{
    m_szImage = CSize(-1, -1);
    m_ilNormal.DeleteImageList();
    m_ilDark.DeleteImageList();
    m_ilGrey.DeleteImageList();
    m_nDepth = nMode == 1 ? AlphaDepth() : 4;
    const UINT nFlags = static_cast<UINT>(m_nDepth) | ILC_MASK;
    if (!m_ilNormal.Create(cx, cy, nFlags, nInitial, 1))
        return FALSE;
    if (nMode == 1 && (!m_ilDark.Create(cx, cy, nFlags, nInitial, 1) || !m_ilGrey.Create(cx, cy, nFlags, nInitial, 1)))
        return FALSE;
    m_szImage = CSize(cx, cy);
    return TRUE;
}

BOOL CAlphaImageList::AddBitmap(UINT nId)
{
    if (m_szImage.cx <= 0)
        return FALSE;
    HBITMAP hLoaded = static_cast<HBITMAP>(LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nId), IMAGE_BITMAP, 0, 0,
                                                      LR_CREATEDIBSECTION | LR_DEFAULTSIZE));
    if (!hLoaded)
        return FALSE;
    CBitmap bitmap;
    bitmap.Attach(hLoaded);
    if (m_nDepth == 4)
        return m_ilNormal.Add(&bitmap, MASK_COLOR) != -1;

    CClientDC dcScreen(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    if (!GetDIBits(dcScreen.m_hDC, hLoaded, 0, 0, nullptr, &info, DIB_RGB_COLORS))
        return FALSE;
    const int nWorkDepth = m_nDepth == 32 && info.bmiHeader.biBitCount == 32 ? 32 : 24;
    info.bmiHeader.biBitCount = static_cast<WORD>(nWorkDepth);
    info.bmiHeader.biCompression = BI_RGB;
    const int nWidth = info.bmiHeader.biWidth;
    const int nHeight = std::abs(info.bmiHeader.biHeight);
    const int nPixelBytes = nWorkDepth / 8;
    const size_t nRowBytes = (static_cast<size_t>(nWidth) * nPixelBytes + 3) & ~static_cast<size_t>(3);
    std::vector<BYTE> source(nRowBytes * nHeight);
    if (GetDIBits(dcScreen.m_hDC, hLoaded, 0, static_cast<UINT>(nHeight), source.data(), &info, DIB_RGB_COLORS) == 0)
        return FALSE;
    void* pBits = nullptr;
    HBITMAP hWork = CreateDIBSection(dcScreen.m_hDC, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hWork || !pBits)
        return FALSE;
    CBitmap work;
    work.Attach(hWork);
    BYTE* pWork = static_cast<BYTE*>(pBits);

    // Every pixel of every row (the row padding is left alone), from the source; with a mask
    // colour, its pixels stay as they are.
    const bool bMasked = nWorkDepth == 24;
    auto transform = [&](auto fnPixel) {
        std::memcpy(pWork, source.data(), source.size());
        for (int y = 0; y < nHeight; ++y)
        {
            BYTE* pRow = pWork + y * nRowBytes;
            for (int x = 0; x < nWidth; ++x)
            {
                BYTE* p = pRow + static_cast<size_t>(x) * nPixelBytes;
                if (bMasked && p[0] == 192 && p[1] == 192 && p[2] == 192)
                    continue;
                fnPixel(p);
            }
        }
    };
    auto add = [&](CImageList& list) { return bMasked ? list.Add(&work, MASK_COLOR) : list.Add(&work, nullptr); };

    std::memcpy(pWork, source.data(), source.size());
    if (add(m_ilNormal) == -1)
        return FALSE;
    transform([](BYTE* p) { p[0] = p[1] = p[2] = GreyOf(p[0], p[1], p[2]); });
    if (add(m_ilGrey) == -1)
        return FALSE;
    transform([](BYTE* p) {
        for (int i = 0; i < 3; ++i)
            p[i] = DarkOf(p[i]);
    });
    return add(m_ilDark) != -1;
}

CImageList* CAlphaImageList::ListOf(int nState)
{
    switch (nState)
    {
    case STATE_NORMAL: return &m_ilNormal;
    case STATE_DARK: return &m_ilDark;
    case STATE_GREY: return &m_ilGrey;
    default: return nullptr;
    }
}

HIMAGELIST CAlphaImageList::GetImageList(int nState)
{
    CImageList* pList = ListOf(nState);
    return pList ? pList->GetSafeHandle() : nullptr;
}

BOOL CAlphaImageList::Draw(CDC* pDC, int x, int y, int nState, int nIndex)
{
    CImageList* pList = ListOf(nState);
    if (m_szImage.cx <= 0 || !pList || !pDC)
        return FALSE;
    if (m_nDepth != 4)
        return pList->Draw(pDC, nIndex, CPoint(x, y), ILD_NORMAL);
    if (nState != STATE_GREY)
        return m_ilNormal.Draw(pDC, nIndex, CPoint(x, y), ILD_NORMAL);
    return DrawEmbossed(pDC, x, y, nIndex);
}

// The 4-bit grey look: the image drawn on white into a 1-bit copy (dark pixels 0), whose dark
// pixels are then painted in the highlight colour one pixel down and right, and in the shadow
// colour in place (raster operation 0xB8074A: the brush where the source is 0, the destination
// where it is 1).
BOOL CAlphaImageList::DrawEmbossed(CDC* pDC, int x, int y, int nIndex)
{
    struct
    {
        BITMAPINFOHEADER m_Header;
        RGBQUAD m_Colors[2];
    } info{};
    info.m_Header.biSize = sizeof(BITMAPINFOHEADER);
    info.m_Header.biWidth = m_szImage.cx;
    info.m_Header.biHeight = m_szImage.cy;
    info.m_Header.biPlanes = 1;
    info.m_Header.biBitCount = 1;
    info.m_Header.biCompression = BI_RGB;
    info.m_Colors[1] = {255, 255, 255, 0};
    void* pBits = nullptr;
    HBITMAP hMono = CreateDIBSection(pDC->m_hDC, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (!hMono)
        return FALSE;
    CBitmap mono;
    mono.Attach(hMono);
    CDC dcMono;
    dcMono.CreateCompatibleDC(pDC);
    CBitmap* pOldBitmap = dcMono.SelectObject(&mono);
    const COLORREF crOldBack = m_ilNormal.SetBkColor(RGB(255, 255, 255));
    m_ilNormal.Draw(&dcMono, nIndex, CPoint(0, 0), ILD_NORMAL);
    m_ilNormal.SetBkColor(crOldBack);

    const DWORD ROP_PSDPXAX = 0xB8074A;
    CBrush brHighlight, brShadow;
    brHighlight.CreateSysColorBrush(COLOR_BTNHIGHLIGHT);
    brShadow.CreateSysColorBrush(COLOR_BTNSHADOW);
    const COLORREF crOldText = pDC->SetTextColor(RGB(0, 0, 0));
    const COLORREF crOldBk = pDC->SetBkColor(RGB(255, 255, 255));
    CBrush* pOldBrush = pDC->SelectObject(&brHighlight);
    pDC->BitBlt(x + 1, y + 1, m_szImage.cx, m_szImage.cy, &dcMono, 0, 0, ROP_PSDPXAX);
    pDC->SelectObject(&brShadow);
    pDC->BitBlt(x, y, m_szImage.cx, m_szImage.cy, &dcMono, 0, 0, ROP_PSDPXAX);
    pDC->SelectObject(pOldBrush);
    pDC->SetTextColor(crOldText);
    pDC->SetBkColor(crOldBk);
    dcMono.SelectObject(pOldBitmap);
    return FALSE;
}
