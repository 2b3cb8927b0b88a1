#pragma once
// A skinned window's background: one bitmap with its palette, tiled over a device context from
// the device origin. The size is zero until a load succeeds, so a window sized from it after a
// failed load keeps its own size.
#include <mfc/afxwin.h>

class CBackgroundBitmap
{
public:
    CBackgroundBitmap() = default;
    virtual ~CBackgroundBitmap();

    // 1 on success, 0 when the file or resource is not a bitmap. Both drop the bitmap held before;
    // a null name loads nothing and returns 1.
    int LoadFromFile(const char* szPath);
    int LoadFromResource(const char* szResource);
    // Tiles the bitmap from (0, 0) over the rectangle's extent (the last row and column clipped by
    // the device context); 0 when nothing is loaded.
    int Paint(CDC* pDC, const CRect& rect);

    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    // Built from the bitmap's colour table (up to 256 colours), else a halftone palette.
    CPalette* GetPalette() { return &m_palette; }

private:
    void Release();
    int Load(HINSTANCE hInstance, const char* szName, UINT nFlags);

    CBitmap m_bitmap;
    CPalette m_palette;
    int m_nWidth = 0;
    int m_nHeight = 0;
};
