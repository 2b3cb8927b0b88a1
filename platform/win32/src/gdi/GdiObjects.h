#pragma once
// The GDI object table. Every pen, brush, bitmap, font, region, palette and device context lives
// behind a handle made of a slot number and the slot's generation, so a stale or deleted handle
// is recognised and refused. A device context holds its selected objects by shared pointer:
// deleting an object that is still selected frees its handle and keeps the object alive until
// it is deselected.
#include "Surface.h"

#include <memory>
#include <string>
#include <vector>

class FontFace;

enum class GdiKind
{
    Pen = OBJ_PEN,
    Brush = OBJ_BRUSH,
    Dc = OBJ_DC,
    Palette = OBJ_PAL,
    Font = OBJ_FONT,
    Bitmap = OBJ_BITMAP,
    Region = OBJ_REGION,
};

struct GdiObject
{
    explicit GdiObject(GdiKind kind) : m_Kind(kind) {}
    virtual ~GdiObject() = default;
    GdiKind m_Kind;
    HGDIOBJ m_hHandle = nullptr;
};

struct PenObject : GdiObject
{
    PenObject() : GdiObject(GdiKind::Pen) {}
    LOGPEN m_Log{};
};

struct BitmapObject : GdiObject
{
    BitmapObject() : GdiObject(GdiKind::Bitmap) {}
    std::shared_ptr<Surface> m_pSurface;
    bool m_bDibSection = false;
    HDC m_hSelectedIn = nullptr;   // a bitmap is selected into one memory DC at a time
};

struct BrushObject : GdiObject
{
    BrushObject() : GdiObject(GdiKind::Brush) {}
    UINT m_nStyle = BS_SOLID;
    COLORREF m_Color = 0;
    std::shared_ptr<Surface> m_pPattern;   // BS_PATTERN: a private copy of the bitmap's pixels
};

struct RegionObject : GdiObject
{
    RegionObject() : GdiObject(GdiKind::Region) {}
    RECT m_rc{};   // empty when left >= right or top >= bottom
};

struct PaletteObject : GdiObject
{
    PaletteObject() : GdiObject(GdiKind::Palette) {}
    std::vector<PALETTEENTRY> m_Entries;
};

struct FontObject : GdiObject
{
    FontObject() : GdiObject(GdiKind::Font) {}
    LOGFONTA m_Log{};
    std::shared_ptr<FontFace> m_pFace;
};

struct DcObject;

// Handle management.
HGDIOBJ AddGdiObject(std::shared_ptr<GdiObject> pObject);
std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ h);
template <class T> std::shared_ptr<T> FindGdi(HGDIOBJ h, GdiKind kind)
{
    std::shared_ptr<GdiObject> p = FindGdiObject(h);
    if (!p || p->m_Kind != kind)
        return nullptr;
    return std::static_pointer_cast<T>(p);
}
std::shared_ptr<DcObject> FindDc(HDC hdc);
// Frees a handle; the object lives on while something still holds it.
bool RemoveGdiObject(HGDIOBJ h);
// A permanent object: DeleteObject leaves it alone.
HGDIOBJ AddStockObject(std::shared_ptr<GdiObject> pObject);
bool IsStockObject(HGDIOBJ h);
// Live objects other than the stock ones.
size_t CountGdiObjects();

// The 1x1 monochrome bitmap a new memory DC starts with.
HBITMAP DefaultBitmap();
// The font a new DC starts with.
HFONT DefaultFont();
