#include "DeviceContext.h"

#include <algorithm>
#include <cstring>

namespace
{
struct Slot
{
    std::shared_ptr<GdiObject> m_pObject;
    uint32_t m_nGeneration = 1;
    bool m_bStock = false;
};

// Handle value: generation in the high 32 bits, slot number + 1 in the low ones.
HGDIOBJ MakeHandle(size_t nSlot, uint32_t nGeneration)
{
    return reinterpret_cast<HGDIOBJ>((static_cast<uintptr_t>(nGeneration) << 32) | (nSlot + 1));
}

std::vector<Slot>& Slots()
{
    static std::vector<Slot> slots;
    return slots;
}
std::vector<size_t>& FreeSlots()
{
    static std::vector<size_t> free;
    return free;
}

Slot* FindSlot(HGDIOBJ h)
{
    uintptr_t v = reinterpret_cast<uintptr_t>(h);
    size_t nSlot = (v & 0xFFFFFFFFu);
    if (nSlot == 0 || nSlot > Slots().size())
        return nullptr;
    Slot& slot = Slots()[nSlot - 1];
    if (!slot.m_pObject || slot.m_nGeneration != static_cast<uint32_t>(v >> 32))
        return nullptr;
    return &slot;
}

HGDIOBJ AddStock(std::shared_ptr<GdiObject> pObject) { return AddStockObject(std::move(pObject)); }

HGDIOBJ StockBrush(COLORREF color, UINT nStyle)
{
    auto p = std::make_shared<BrushObject>();
    p->m_nStyle = nStyle;
    p->m_Color = color;
    return AddStock(p);
}

HGDIOBJ StockPen(COLORREF color, UINT nStyle)
{
    auto p = std::make_shared<PenObject>();
    p->m_Log = LOGPEN{nStyle, POINT{1, 0}, color};
    return AddStock(p);
}

HGDIOBJ StockFont(const char* szFace, LONG nHeight, LONG nWeight)
{
    auto p = std::make_shared<FontObject>();
    p->m_Log.lfHeight = nHeight;
    p->m_Log.lfWeight = nWeight;
    std::strncpy(p->m_Log.lfFaceName, szFace, LF_FACESIZE - 1);
    return AddStock(p);
}

struct StockObjects
{
    HGDIOBJ m_Objects[DEFAULT_GUI_FONT + 1] = {};
    HGDIOBJ m_hDefaultBitmap = nullptr;

    StockObjects()
    {
        m_Objects[WHITE_BRUSH] = StockBrush(RGB(255, 255, 255), BS_SOLID);
        m_Objects[LTGRAY_BRUSH] = StockBrush(RGB(192, 192, 192), BS_SOLID);
        m_Objects[GRAY_BRUSH] = StockBrush(RGB(128, 128, 128), BS_SOLID);
        m_Objects[DKGRAY_BRUSH] = StockBrush(RGB(64, 64, 64), BS_SOLID);
        m_Objects[BLACK_BRUSH] = StockBrush(RGB(0, 0, 0), BS_SOLID);
        m_Objects[NULL_BRUSH] = StockBrush(0, BS_NULL);
        m_Objects[WHITE_PEN] = StockPen(RGB(255, 255, 255), PS_SOLID);
        m_Objects[BLACK_PEN] = StockPen(RGB(0, 0, 0), PS_SOLID);
        m_Objects[NULL_PEN] = StockPen(0, PS_NULL);
        // 8 pt at 96 DPI is 11 pixels of character height.
        HGDIOBJ hGui = StockFont("MS Sans Serif", -11, FW_NORMAL);
        HGDIOBJ hFixed = StockFont("Courier", -13, FW_NORMAL);
        m_Objects[OEM_FIXED_FONT] = hFixed;
        m_Objects[ANSI_FIXED_FONT] = hFixed;
        m_Objects[SYSTEM_FIXED_FONT] = hFixed;
        m_Objects[ANSI_VAR_FONT] = hGui;
        m_Objects[DEVICE_DEFAULT_FONT] = hGui;
        m_Objects[DEFAULT_GUI_FONT] = hGui;
        m_Objects[SYSTEM_FONT] = StockFont("MS Sans Serif", -13, FW_BOLD);
        auto pPalette = std::make_shared<PaletteObject>();
        m_Objects[DEFAULT_PALETTE] = AddStock(pPalette);
        auto pBitmap = std::make_shared<BitmapObject>();
        pBitmap->m_pSurface = Surface::Create(1, 1, 1, 2, false);
        m_hDefaultBitmap = AddStock(pBitmap);
    }
};

StockObjects& Stock()
{
    static StockObjects stock;
    return stock;
}
}

HGDIOBJ AddGdiObject(std::shared_ptr<GdiObject> pObject)
{
    if (!pObject)
        return nullptr;
    size_t nSlot;
    if (!FreeSlots().empty())
    {
        nSlot = FreeSlots().back();
        FreeSlots().pop_back();
    }
    else
    {
        nSlot = Slots().size();
        Slots().push_back(Slot{});
    }
    Slot& slot = Slots()[nSlot];
    HGDIOBJ h = MakeHandle(nSlot, slot.m_nGeneration);
    pObject->m_hHandle = h;
    slot.m_pObject = std::move(pObject);
    return h;
}

HGDIOBJ AddStockObject(std::shared_ptr<GdiObject> pObject)
{
    HGDIOBJ h = AddGdiObject(std::move(pObject));
    FindSlot(h)->m_bStock = true;
    return h;
}

std::shared_ptr<GdiObject> FindGdiObject(HGDIOBJ h)
{
    Slot* pSlot = FindSlot(h);
    return pSlot ? pSlot->m_pObject : nullptr;
}

std::shared_ptr<DcObject> FindDc(HDC hdc)
{
    return FindGdi<DcObject>(reinterpret_cast<HGDIOBJ>(hdc), GdiKind::Dc);
}

bool RemoveGdiObject(HGDIOBJ h)
{
    Slot* pSlot = FindSlot(h);
    if (!pSlot || pSlot->m_bStock)
        return false;
    pSlot->m_pObject.reset();
    pSlot->m_nGeneration++;
    FreeSlots().push_back(static_cast<size_t>(pSlot - Slots().data()));
    return true;
}

bool IsStockObject(HGDIOBJ h)
{
    Slot* pSlot = FindSlot(h);
    return pSlot && pSlot->m_bStock;
}

size_t CountGdiObjects()
{
    size_t n = 0;
    for (const Slot& slot : Slots())
        n += slot.m_pObject && !slot.m_bStock ? 1 : 0;
    return n;
}

HBITMAP DefaultBitmap() { return reinterpret_cast<HBITMAP>(Stock().m_hDefaultBitmap); }
HFONT DefaultFont() { return reinterpret_cast<HFONT>(Stock().m_Objects[DEFAULT_GUI_FONT]); }

HGDIOBJ GetStockObject(int i)
{
    if (i < 0 || i > DEFAULT_GUI_FONT)
        return nullptr;
    return Stock().m_Objects[i];
}

BOOL DeleteObject(HGDIOBJ ho)
{
    std::shared_ptr<GdiObject> p = FindGdiObject(ho);
    if (!p || p->m_Kind == GdiKind::Dc)
        return FALSE;
    if (IsStockObject(ho))
        return TRUE;
    // A bitmap selected into a DC stays alive with it; only its handle goes.
    return RemoveGdiObject(ho) ? TRUE : FALSE;
}

DWORD GetObjectType(HGDIOBJ h)
{
    std::shared_ptr<GdiObject> p = FindGdiObject(h);
    if (!p)
        return 0;
    if (p->m_Kind == GdiKind::Dc)
        return std::static_pointer_cast<DcObject>(p)->m_bMemory ? OBJ_MEMDC : OBJ_DC;
    return static_cast<DWORD>(p->m_Kind);
}

namespace
{
BITMAP DescribeBitmap(const BitmapObject& bitmap)
{
    const Surface& s = *bitmap.m_pSurface;
    BITMAP bm{};
    bm.bmWidth = s.m_nWidth;
    bm.bmHeight = s.m_nHeight;
    bm.bmWidthBytes = s.m_nStride;
    bm.bmPlanes = 1;
    bm.bmBitsPixel = static_cast<WORD>(s.m_nBitCount);
    bm.bmBits = bitmap.m_bDibSection ? s.m_pBits : nullptr;
    return bm;
}

int CopyOut(const void* pSource, int nSize, int c, LPVOID pv)
{
    if (!pv)
        return nSize;
    int n = std::min(c, nSize);
    if (n <= 0)
        return 0;
    std::memcpy(pv, pSource, static_cast<size_t>(n));
    return n;
}
}

int GetObjectA(HANDLE h, int c, LPVOID pv)
{
    std::shared_ptr<GdiObject> p = FindGdiObject(static_cast<HGDIOBJ>(h));
    if (!p)
        return 0;
    switch (p->m_Kind)
    {
    case GdiKind::Pen:
        return CopyOut(&static_cast<PenObject&>(*p).m_Log, sizeof(LOGPEN), c, pv);
    case GdiKind::Brush:
    {
        auto& brush = static_cast<BrushObject&>(*p);
        LOGBRUSH lb{brush.m_nStyle, brush.m_Color, 0};
        return CopyOut(&lb, sizeof(lb), c, pv);
    }
    case GdiKind::Font:
        return CopyOut(&static_cast<FontObject&>(*p).m_Log, sizeof(LOGFONTA), c, pv);
    case GdiKind::Palette:
    {
        WORD nEntries = static_cast<WORD>(static_cast<PaletteObject&>(*p).m_Entries.size());
        return CopyOut(&nEntries, sizeof(nEntries), c, pv);
    }
    case GdiKind::Bitmap:
    {
        auto& bitmap = static_cast<BitmapObject&>(*p);
        DIBSECTION ds{};
        ds.dsBm = DescribeBitmap(bitmap);
        if (bitmap.m_bDibSection && c >= static_cast<int>(sizeof(DIBSECTION)))
        {
            const Surface& s = *bitmap.m_pSurface;
            ds.dsBmih.biSize = sizeof(BITMAPINFOHEADER);
            ds.dsBmih.biWidth = s.m_nWidth;
            ds.dsBmih.biHeight = s.m_bBottomUp ? s.m_nHeight : -s.m_nHeight;
            ds.dsBmih.biPlanes = 1;
            ds.dsBmih.biBitCount = static_cast<WORD>(s.m_nBitCount);
            ds.dsBmih.biCompression = BI_RGB;
            ds.dsBmih.biSizeImage = static_cast<DWORD>(s.m_nStride * s.m_nHeight);
            return CopyOut(&ds, sizeof(DIBSECTION), c, pv);
        }
        return CopyOut(&ds.dsBm, sizeof(BITMAP), c, pv);
    }
    default:
        return 0;
    }
}

HPEN CreatePenIndirect(const LOGPEN* plpen)
{
    if (!plpen)
        return nullptr;
    auto p = std::make_shared<PenObject>();
    p->m_Log = *plpen;
    if (p->m_Log.lopnWidth.x < 1)
        p->m_Log.lopnWidth.x = 1;
    return reinterpret_cast<HPEN>(AddGdiObject(p));
}

HPEN CreatePen(int iStyle, int cWidth, COLORREF color)
{
    LOGPEN lp{static_cast<UINT>(iStyle), POINT{cWidth, 0}, color};
    return CreatePenIndirect(&lp);
}

HBRUSH CreateSolidBrush(COLORREF color)
{
    auto p = std::make_shared<BrushObject>();
    p->m_Color = color;
    return reinterpret_cast<HBRUSH>(AddGdiObject(p));
}

HBRUSH CreatePatternBrush(HBITMAP hbm)
{
    auto pBitmap = FindGdi<BitmapObject>(reinterpret_cast<HGDIOBJ>(hbm), GdiKind::Bitmap);
    if (!pBitmap)
        return nullptr;
    auto p = std::make_shared<BrushObject>();
    p->m_nStyle = BS_PATTERN;
    // The brush keeps its own copy, as Windows does: the bitmap may be deleted afterwards.
    p->m_pPattern = std::make_shared<Surface>(*pBitmap->m_pSurface);
    p->m_pPattern->m_Storage.assign(pBitmap->m_pSurface->m_pBits,
                                    pBitmap->m_pSurface->m_pBits + static_cast<size_t>(pBitmap->m_pSurface->m_nStride) *
                                                                       pBitmap->m_pSurface->m_nHeight);
    p->m_pPattern->m_pBits = p->m_pPattern->m_Storage.data();
    return reinterpret_cast<HBRUSH>(AddGdiObject(p));
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush)
{
    if (!plbrush)
        return nullptr;
    switch (plbrush->lbStyle)
    {
    case BS_SOLID:
        return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL:
        return reinterpret_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
    default:
        return nullptr;
    }
}

HPALETTE CreatePalette(const LOGPALETTE* plpal)
{
    if (!plpal)
        return nullptr;
    auto p = std::make_shared<PaletteObject>();
    p->m_Entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return reinterpret_cast<HPALETTE>(AddGdiObject(p));
}

HPALETTE CreateHalftonePalette(HDC)
{
    // The 6x6x6 colour cube; the palette is stored and never applied.
    auto p = std::make_shared<PaletteObject>();
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p->m_Entries.push_back(PALETTEENTRY{static_cast<BYTE>(r * 51), static_cast<BYTE>(g * 51),
                                                    static_cast<BYTE>(b * 51), 0});
    return reinterpret_cast<HPALETTE>(AddGdiObject(p));
}
