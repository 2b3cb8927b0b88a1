#pragma once
// A device context: drawing attributes, the selected objects and where its pixels go. A memory
// DC draws into its selected bitmap; a window DC draws into its top-level window's surface with
// its origin at the window's client (or window) corner and clipped to the visible rectangles.
#include "GdiObjects.h"

#include <functional>

struct DcAttributes
{
    COLORREF m_TextColor = RGB(0, 0, 0);
    COLORREF m_BkColor = RGB(255, 255, 255);
    int m_nBkMode = OPAQUE;
    int m_nRop2 = R2_COPYPEN;
    int m_nMapMode = MM_TEXT;
    UINT m_nTextAlign = TA_TOP | TA_LEFT;
    int m_nStretchMode = BLACKONWHITE;
    POINT m_ptViewportOrg{};
    POINT m_ptBrushOrg{};
    POINT m_ptCurrent{};
    std::shared_ptr<PenObject> m_pPen;
    std::shared_ptr<BrushObject> m_pBrush;
    std::shared_ptr<FontObject> m_pFont;
    std::shared_ptr<PaletteObject> m_pPalette;
    bool m_bClipRegion = false;
    RECT m_rcClip{};   // device units, relative to the DC's origin
};

struct DcObject : GdiObject
{
    DcObject() : GdiObject(GdiKind::Dc) {}
    ~DcObject() override;
    DcAttributes m_Attr;
    std::vector<DcAttributes> m_Saved;
    bool m_bMemory = false;
    std::shared_ptr<BitmapObject> m_pBitmap;   // memory DCs
    std::shared_ptr<Surface> m_pSurface;        // window DCs
    POINT m_ptOrigin{};                         // where logical (0, 0) lies on the surface
    std::vector<RECT> m_VisibleRects;           // surface coordinates; window DCs only
    HWND m_hWnd = nullptr;

    Surface* Target() const;
    // The rectangles drawing may touch, in surface coordinates.
    std::vector<RECT> ClipRects() const;
    // Logical to surface coordinates.
    POINT ToSurface(int x, int y) const;
};

namespace win32
{
// A DC over a window's surface (the window layer calls this for GetDC, GetWindowDC and
// BeginPaint). ptOrigin and the visible rectangles are in surface coordinates.
HDC CreateSurfaceDC(std::shared_ptr<Surface> pSurface, POINT ptOrigin, std::vector<RECT> visibleRects, HWND hWnd);
}
