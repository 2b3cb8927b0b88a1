#include "DeviceContext.h"

#include <algorithm>
#include <utility>

namespace
{
// The screen's depth and density, as GetDeviceCaps reports them.
constexpr int kScreenBits = 32;
constexpr int kLogPixels = 96;

RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}
bool IsEmpty(const RECT& rc) { return rc.left >= rc.right || rc.top >= rc.bottom; }

void AttachBitmap(DcObject& dc, std::shared_ptr<BitmapObject> pBitmap)
{
    if (dc.m_pBitmap)
        dc.m_pBitmap->m_hSelectedIn = nullptr;
    dc.m_pBitmap = std::move(pBitmap);
    if (dc.m_pBitmap && !IsStockObject(dc.m_pBitmap->m_hHandle))
        dc.m_pBitmap->m_hSelectedIn = reinterpret_cast<HDC>(dc.m_hHandle);
}

std::shared_ptr<DcObject> NewDc()
{
    auto pDc = std::make_shared<DcObject>();
    pDc->m_Attr.m_pPen = FindGdi<PenObject>(GetStockObject(BLACK_PEN), GdiKind::Pen);
    pDc->m_Attr.m_pBrush = FindGdi<BrushObject>(GetStockObject(WHITE_BRUSH), GdiKind::Brush);
    pDc->m_Attr.m_pFont = FindGdi<FontObject>(reinterpret_cast<HGDIOBJ>(DefaultFont()), GdiKind::Font);
    pDc->m_Attr.m_pPalette = FindGdi<PaletteObject>(GetStockObject(DEFAULT_PALETTE), GdiKind::Palette);
    return pDc;
}
}

DcObject::~DcObject()
{
    if (m_pBitmap)
        m_pBitmap->m_hSelectedIn = nullptr;
}

Surface* DcObject::Target() const
{
    if (m_bMemory)
        return m_pBitmap ? m_pBitmap->m_pSurface.get() : nullptr;
    return m_pSurface.get();
}

std::vector<RECT> DcObject::ClipRects() const
{
    std::vector<RECT> rects;
    const Surface* pSurface = Target();
    if (!pSurface)
        return rects;
    RECT rcSurface{0, 0, pSurface->m_nWidth, pSurface->m_nHeight};
    if (m_bMemory)
        rects.push_back(rcSurface);
    else
        for (const RECT& rc : m_VisibleRects)
            rects.push_back(Intersect(rc, rcSurface));
    if (m_Attr.m_bClipRegion)
    {
        RECT rcClip = m_Attr.m_rcClip;
        rcClip.left += m_ptOrigin.x;
        rcClip.right += m_ptOrigin.x;
        rcClip.top += m_ptOrigin.y;
        rcClip.bottom += m_ptOrigin.y;
        for (RECT& rc : rects)
            rc = Intersect(rc, rcClip);
    }
    rects.erase(std::remove_if(rects.begin(), rects.end(), IsEmpty), rects.end());
    return rects;
}

POINT DcObject::ToSurface(int x, int y) const
{
    return POINT{x + m_ptOrigin.x + m_Attr.m_ptViewportOrg.x, y + m_ptOrigin.y + m_Attr.m_ptViewportOrg.y};
}

HDC win32::CreateSurfaceDC(std::shared_ptr<Surface> pSurface, POINT ptOrigin, std::vector<RECT> visibleRects, HWND hWnd)
{
    auto pDc = NewDc();
    pDc->m_pSurface = std::move(pSurface);
    pDc->m_ptOrigin = ptOrigin;
    pDc->m_VisibleRects = std::move(visibleRects);
    pDc->m_hWnd = hWnd;
    return reinterpret_cast<HDC>(AddGdiObject(pDc));
}

HDC CreateCompatibleDC(HDC)
{
    auto pDc = NewDc();
    pDc->m_bMemory = true;
    HDC hdc = reinterpret_cast<HDC>(AddGdiObject(pDc));
    AttachBitmap(*pDc, FindGdi<BitmapObject>(reinterpret_cast<HGDIOBJ>(DefaultBitmap()), GdiKind::Bitmap));
    return hdc;
}

BOOL DeleteDC(HDC hdc)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return FALSE;
    AttachBitmap(*pDc, nullptr);
    return RemoveGdiObject(reinterpret_cast<HGDIOBJ>(hdc)) ? TRUE : FALSE;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    std::shared_ptr<GdiObject> pObject = FindGdiObject(h);
    if (!pDc || !pObject)
        return nullptr;
    DcAttributes& a = pDc->m_Attr;
    switch (pObject->m_Kind)
    {
    case GdiKind::Pen:
        return std::exchange(a.m_pPen, std::static_pointer_cast<PenObject>(pObject))->m_hHandle;
    case GdiKind::Brush:
        return std::exchange(a.m_pBrush, std::static_pointer_cast<BrushObject>(pObject))->m_hHandle;
    case GdiKind::Font:
        return std::exchange(a.m_pFont, std::static_pointer_cast<FontObject>(pObject))->m_hHandle;
    case GdiKind::Region:
    {
        // Selecting a region makes a copy of it the clipping region.
        int nResult = SelectClipRgn(hdc, reinterpret_cast<HRGN>(h));
        return reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(nResult));
    }
    case GdiKind::Bitmap:
    {
        auto pBitmap = std::static_pointer_cast<BitmapObject>(pObject);
        if (!pDc->m_bMemory)
            return nullptr;
        if (pBitmap->m_hSelectedIn && pBitmap->m_hSelectedIn != hdc)
            return nullptr;
        HGDIOBJ hOld = pDc->m_pBitmap ? pDc->m_pBitmap->m_hHandle : nullptr;
        AttachBitmap(*pDc, pBitmap);
        return hOld;
    }
    default:
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return nullptr;
    switch (type)
    {
    case OBJ_PEN: return pDc->m_Attr.m_pPen->m_hHandle;
    case OBJ_BRUSH: return pDc->m_Attr.m_pBrush->m_hHandle;
    case OBJ_FONT: return pDc->m_Attr.m_pFont->m_hHandle;
    case OBJ_PAL: return pDc->m_Attr.m_pPalette->m_hHandle;
    case OBJ_BITMAP: return pDc->m_pBitmap ? pDc->m_pBitmap->m_hHandle : nullptr;
    default: return nullptr;
    }
}

int SaveDC(HDC hdc)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return 0;
    pDc->m_Saved.push_back(pDc->m_Attr);
    return static_cast<int>(pDc->m_Saved.size());
}

BOOL RestoreDC(HDC hdc, int nSavedDC)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return FALSE;
    int nCount = static_cast<int>(pDc->m_Saved.size());
    int nLevel = nSavedDC < 0 ? nCount + 1 + nSavedDC : nSavedDC;
    if (nLevel < 1 || nLevel > nCount)
        return FALSE;
    pDc->m_Attr = pDc->m_Saved[nLevel - 1];
    pDc->m_Saved.resize(nLevel - 1);
    return TRUE;
}

namespace
{
// One setter for every plain attribute: stores the value and returns the previous one, or the
// failure value for a bad DC.
template <class T, class V>
T SetAttribute(HDC hdc, T DcAttributes::*pMember, V value, T failure)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return failure;
    return std::exchange(pDc->m_Attr.*pMember, static_cast<T>(value));
}
template <class T>
T GetAttribute(HDC hdc, T DcAttributes::*pMember, T failure)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    return pDc ? pDc->m_Attr.*pMember : failure;
}
}

COLORREF SetTextColor(HDC hdc, COLORREF color) { return SetAttribute(hdc, &DcAttributes::m_TextColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetTextColor(HDC hdc) { return GetAttribute(hdc, &DcAttributes::m_TextColor, CLR_INVALID); }
COLORREF SetBkColor(HDC hdc, COLORREF color) { return SetAttribute(hdc, &DcAttributes::m_BkColor, color & 0xFFFFFF, CLR_INVALID); }
COLORREF GetBkColor(HDC hdc) { return GetAttribute(hdc, &DcAttributes::m_BkColor, CLR_INVALID); }
int GetBkMode(HDC hdc) { return GetAttribute(hdc, &DcAttributes::m_nBkMode, 0); }
int GetROP2(HDC hdc) { return GetAttribute(hdc, &DcAttributes::m_nRop2, 0); }
int GetMapMode(HDC hdc) { return GetAttribute(hdc, &DcAttributes::m_nMapMode, 0); }
UINT GetTextAlign(HDC hdc) { return GetAttribute(hdc, &DcAttributes::m_nTextAlign, static_cast<UINT>(-1)); }

int SetBkMode(HDC hdc, int mode)
{
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    return SetAttribute(hdc, &DcAttributes::m_nBkMode, mode, 0);
}

int SetROP2(HDC hdc, int rop2)
{
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        return 0;
    return SetAttribute(hdc, &DcAttributes::m_nRop2, rop2, 0);
}

int SetMapMode(HDC hdc, int iMode)
{
    // Only MM_TEXT is drawn; the other modes are recorded so GetMapMode answers what was set.
    return SetAttribute(hdc, &DcAttributes::m_nMapMode, iMode, 0);
}

UINT SetTextAlign(HDC hdc, UINT align) { return SetAttribute(hdc, &DcAttributes::m_nTextAlign, align, static_cast<UINT>(-1)); }
int SetStretchBltMode(HDC hdc, int mode) { return SetAttribute(hdc, &DcAttributes::m_nStretchMode, mode, 0); }

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return FALSE;
    if (lppt)
        *lppt = pDc->m_Attr.m_ptViewportOrg;
    pDc->m_Attr.m_ptViewportOrg = POINT{x, y};
    return TRUE;
}

BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppt)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc || !lppt)
        return FALSE;
    *lppt = pDc->m_Attr.m_ptViewportOrg;
    return TRUE;
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return FALSE;
    if (lppt)
        *lppt = pDc->m_Attr.m_ptBrushOrg;
    pDc->m_Attr.m_ptBrushOrg = POINT{x, y};
    return TRUE;
}

int GetDeviceCaps(HDC hdc, int index)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    const Surface* pSurface = pDc ? pDc->Target() : nullptr;
    switch (index)
    {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return kLogPixels;
    case BITSPIXEL:
        return pSurface && pDc->m_bMemory ? pSurface->m_nBitCount : kScreenBits;
    case PLANES:
        return 1;
    case HORZRES:
        return pSurface ? pSurface->m_nWidth : 0;
    case VERTRES:
        return pSurface ? pSurface->m_nHeight : 0;
    case NUMCOLORS:
        return -1;
    case SIZEPALETTE:
        return 0;
    default:
        return 0;
    }
}

HPALETTE SelectPalette(HDC hdc, HPALETTE hPal, BOOL)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    auto pPalette = FindGdi<PaletteObject>(reinterpret_cast<HGDIOBJ>(hPal), GdiKind::Palette);
    if (!pDc || !pPalette)
        return nullptr;
    return reinterpret_cast<HPALETTE>(std::exchange(pDc->m_Attr.m_pPalette, pPalette)->m_hHandle);
}

UINT RealizePalette(HDC hdc) { return FindDc(hdc) ? 0 : static_cast<UINT>(-1); }
