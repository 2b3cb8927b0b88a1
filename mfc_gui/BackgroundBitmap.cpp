#include "mfc_gui/BackgroundBitmap.h"

#include <vector>

CBackgroundBitmap::~CBackgroundBitmap()
{
    Release();
}

void CBackgroundBitmap::Release()
{
    m_bitmap.DeleteObject();
    m_palette.DeleteObject();
    m_nWidth = m_nHeight = 0;
}

int CBackgroundBitmap::LoadFromFile(const char* szPath)
{
    return Load(nullptr, szPath, LR_LOADFROMFILE);
}

int CBackgroundBitmap::LoadFromResource(const char* szResource)
{
    return Load(AfxGetInstanceHandle(), szResource, 0);
}

int CBackgroundBitmap::Load(HINSTANCE hInstance, const char* szName, UINT nFlags)
{
    Release();
    if (!szName)
        return 1;
    HBITMAP hBitmap = static_cast<HBITMAP>(LoadImageA(hInstance, szName, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION | nFlags));
    if (!hBitmap)
        return 0;
    m_bitmap.Attach(hBitmap);
    DIBSECTION ds{};
    m_bitmap.GetObject(sizeof(ds), &ds);
    const UINT nColors = ds.dsBmih.biClrUsed ? ds.dsBmih.biClrUsed
                         : ds.dsBmih.biBitCount < 24 ? 1u << ds.dsBmih.biBitCount
                                                      : 257;
    CClientDC dcScreen(nullptr);
    if (nColors <= 256)
    {
        CDC dcMem;
        dcMem.CreateCompatibleDC(&dcScreen);
        CBitmap* pOld = dcMem.SelectObject(&m_bitmap);
        RGBQUAD table[256];
        const UINT nRead = GetDIBColorTable(dcMem.m_hDC, 0, nColors, table);
        dcMem.SelectObject(pOld);
        std::vector<BYTE> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * nColors);
        auto* pLogPalette = reinterpret_cast<LOGPALETTE*>(storage.data());
        pLogPalette->palVersion = 0x300;
        pLogPalette->palNumEntries = static_cast<WORD>(nRead);
        PALETTEENTRY* pEntries = pLogPalette->palPalEntry;   // room for nColors entries
        for (UINT i = 0; i < nRead; ++i)
            pEntries[i] = {table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0};
        m_palette.CreatePalette(pLogPalette);
    }
    else
        m_palette.CreateHalftonePalette(&dcScreen);
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    m_nWidth = bm.bmWidth;
    m_nHeight = bm.bmHeight;
    return 1;
}

int CBackgroundBitmap::Paint(CDC* pDC, const CRect& rect)
{
    if (!m_bitmap.m_hObject || !pDC || m_nWidth <= 0 || m_nHeight <= 0)
        return 0;
    CDC dcMem;
    if (!dcMem.CreateCompatibleDC(pDC))
        return 0;
    CBitmap* pOld = dcMem.SelectObject(&m_bitmap);
    for (int y = 0; y < rect.Height(); y += m_nHeight)
        for (int x = 0; x < rect.Width(); x += m_nWidth)
            pDC->BitBlt(x, y, m_nWidth, m_nHeight, &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOld);
    return 1;
}
