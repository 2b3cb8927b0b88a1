// The GDI object wrappers and their temporary map.
#include <mfc/afxwin.h>

#include "HandleMaps.h"

#include <cstdio>

namespace
{
// One temporary map for every kind of object: a wrapper's class follows the handle's type.
HandleMap<CGdiObject, HGDIOBJ>& ObjectMap()
{
    static HandleMap<CGdiObject, HGDIOBJ> s_Map;
    return s_Map;
}

std::unique_ptr<CGdiObject> MakeWrapper(HGDIOBJ h)
{
    std::unique_ptr<CGdiObject> p;
    switch (::GetObjectType(h))
    {
    case OBJ_PEN: p = std::make_unique<CPen>(); break;
    case OBJ_BRUSH: p = std::make_unique<CBrush>(); break;
    case OBJ_FONT: p = std::make_unique<CFont>(); break;
    case OBJ_BITMAP: p = std::make_unique<CBitmap>(); break;
    case OBJ_PAL: p = std::make_unique<CPalette>(); break;
    case OBJ_REGION: p = std::make_unique<CRgn>(); break;
    default: p = std::make_unique<CGdiObject>(); break;
    }
    p->m_hObject = h;
    return p;
}

void CleanObjectTemporaries()
{
    ObjectMap().DeleteTemporaries([](CGdiObject* p) { p->m_hObject = nullptr; });
}

struct CleanerRegistration
{
    CleanerRegistration() { RegisterTempMapCleaner(CleanObjectTemporaries); }
} g_CleanerRegistration;

template <typename T>
T* TypedFromHandle(HGDIOBJ h, const CRuntimeClass* pClass)
{
    CGdiObject* p = CGdiObject::FromHandle(h);
    return p && p->IsKindOf(pClass) ? static_cast<T*>(p) : nullptr;
}
}

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject)
{
    return ObjectMap().FromHandle(hObject, MakeWrapper);
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject || m_hObject)
        return FALSE;
    m_hObject = hObject;
    ObjectMap().SetPermanent(hObject, this);
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    if (h && ObjectMap().Permanent(h) == this)
        ObjectMap().RemovePermanent(h);
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    HGDIOBJ h = Detach();
    return h && ::DeleteObject(h);
}

int CGdiObject::GetObject(int nCount, LPVOID lpObject) const
{
    return ::GetObjectA(m_hObject, nCount, lpObject);
}

UINT CGdiObject::GetObjectType() const
{
    return ::GetObjectType(m_hObject);
}

BOOL CGdiObject::CreateStockObject(int nIndex)
{
    // Stock objects are never deleted, so the wrapper only refers to one.
    m_hObject = ::GetStockObject(nIndex);
    return m_hObject != nullptr;
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor)
{
    CreatePen(nPenStyle, nWidth, crColor);
}

BOOL CPen::CreatePen(int nPenStyle, int nWidth, COLORREF crColor)
{
    return Attach(::CreatePen(nPenStyle, nWidth, crColor));
}

BOOL CPen::CreatePenIndirect(const LOGPEN* lpLogPen)
{
    return Attach(::CreatePenIndirect(lpLogPen));
}

CPen* CPen::FromHandle(HPEN hPen)
{
    return TypedFromHandle<CPen>(hPen, RUNTIME_CLASS(CPen));
}

CBrush::CBrush(COLORREF crColor)
{
    CreateSolidBrush(crColor);
}

CBrush::CBrush(CBitmap* pBitmap)
{
    CreatePatternBrush(pBitmap);
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor)
{
    return Attach(::CreateSolidBrush(crColor));
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap)
{
    return pBitmap && Attach(::CreatePatternBrush(static_cast<HBITMAP>(pBitmap->m_hObject)));
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* lpLogBrush)
{
    return Attach(::CreateBrushIndirect(lpLogBrush));
}

BOOL CBrush::CreateSysColorBrush(int nIndex)
{
    return Attach(::CreateSolidBrush(::GetSysColor(nIndex)));
}

CBrush* CBrush::FromHandle(HBRUSH hBrush)
{
    return TypedFromHandle<CBrush>(hBrush, RUNTIME_CLASS(CBrush));
}

BOOL CFont::CreateFont(int nHeight, int nWidth, int nEscapement, int nOrientation, int nWeight, BYTE bItalic,
                       BYTE bUnderline, BYTE cStrikeOut, BYTE nCharSet, BYTE nOutPrecision, BYTE nClipPrecision,
                       BYTE nQuality, BYTE nPitchAndFamily, const char* lpszFacename)
{
    return Attach(::CreateFontA(nHeight, nWidth, nEscapement, nOrientation, nWeight, bItalic, bUnderline, cStrikeOut,
                                nCharSet, nOutPrecision, nClipPrecision, nQuality, nPitchAndFamily, lpszFacename));
}

BOOL CFont::CreateFontIndirect(const LOGFONT* lpLogFont)
{
    return Attach(::CreateFontIndirectA(lpLogFont));
}

BOOL CFont::CreatePointFont(int nPointSize, const char* lpszFaceName, CDC* pDC)
{
    LOGFONT lf{};
    int nDpi = pDC && pDC->m_hDC ? pDC->GetDeviceCaps(LOGPIXELSY) : 96;
    // Tenths of a point to a character height in pixels: 8 pt at 96 DPI is 11 pixels.
    lf.lfHeight = -::MulDiv(nPointSize, nDpi, 720);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    if (lpszFaceName)
        std::snprintf(lf.lfFaceName, sizeof(lf.lfFaceName), "%s", lpszFaceName);
    return CreateFontIndirect(&lf);
}

int CFont::GetLogFont(LOGFONT* pLogFont) const
{
    return ::GetObjectA(m_hObject, sizeof(LOGFONT), pLogFont);
}

CFont* CFont::FromHandle(HFONT hFont)
{
    return TypedFromHandle<CFont>(hFont, RUNTIME_CLASS(CFont));
}

BOOL CBitmap::LoadBitmap(UINT nIDResource)
{
    return Attach(::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CBitmap::LoadBitmap(const char* lpszResourceName)
{
    return Attach(::LoadBitmapA(AfxGetInstanceHandle(), lpszResourceName));
}

BOOL CBitmap::CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitcount, const void* lpBits)
{
    return Attach(::CreateBitmap(nWidth, nHeight, nPlanes, nBitcount, lpBits));
}

BOOL CBitmap::CreateBitmapIndirect(const BITMAP* lpBitmap)
{
    return Attach(::CreateBitmapIndirect(lpBitmap));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight)
{
    return Attach(::CreateCompatibleBitmap(pDC ? pDC->m_hDC : nullptr, nWidth, nHeight));
}

int CBitmap::GetBitmap(BITMAP* pBitMap) const
{
    return ::GetObjectA(m_hObject, sizeof(BITMAP), pBitMap);
}

DWORD CBitmap::GetBitmapBits(DWORD dwCount, LPVOID lpBits) const
{
    return static_cast<DWORD>(::GetBitmapBits(static_cast<HBITMAP>(m_hObject), static_cast<LONG>(dwCount), lpBits));
}

CBitmap* CBitmap::FromHandle(HBITMAP hBitmap)
{
    return TypedFromHandle<CBitmap>(hBitmap, RUNTIME_CLASS(CBitmap));
}

BOOL CPalette::CreatePalette(const LOGPALETTE* lpLogPalette)
{
    return Attach(::CreatePalette(lpLogPalette));
}

BOOL CPalette::CreateHalftonePalette(CDC* pDC)
{
    return Attach(::CreateHalftonePalette(pDC ? pDC->m_hDC : nullptr));
}

CPalette* CPalette::FromHandle(HPALETTE hPalette)
{
    return TypedFromHandle<CPalette>(hPalette, RUNTIME_CLASS(CPalette));
}

BOOL CRgn::CreateRectRgn(int x1, int y1, int x2, int y2)
{
    return Attach(::CreateRectRgn(x1, y1, x2, y2));
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT lpRect)
{
    return Attach(::CreateRectRgnIndirect(lpRect));
}

BOOL CRgn::PtInRegion(POINT point) const
{
    return ::PtInRegion(static_cast<HRGN>(m_hObject), point.x, point.y);
}

int CRgn::GetRgnBox(LPRECT lpRect) const
{
    return ::GetRgnBox(static_cast<HRGN>(m_hObject), lpRect);
}

CRgn* CRgn::FromHandle(HRGN hRgn)
{
    return TypedFromHandle<CRgn>(hRgn, RUNTIME_CLASS(CRgn));
}
