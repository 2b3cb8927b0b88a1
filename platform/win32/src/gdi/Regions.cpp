// Regions are single rectangles: that is all the program builds (hit areas and clipping).
#include "DeviceContext.h"

#include <algorithm>

namespace
{
std::shared_ptr<RegionObject> FindRegion(HRGN h)
{
    return FindGdi<RegionObject>(reinterpret_cast<HGDIOBJ>(h), GdiKind::Region);
}

bool IsEmptyRect(const RECT& rc) { return rc.left >= rc.right || rc.top >= rc.bottom; }
int RegionType(const RECT& rc) { return IsEmptyRect(rc) ? NULLREGION : SIMPLEREGION; }

RECT Ordered(int l, int t, int r, int b)
{
    return RECT{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
}
}

HRGN CreateRectRgn(int x1, int y1, int x2, int y2)
{
    auto p = std::make_shared<RegionObject>();
    p->m_rc = Ordered(x1, y1, x2, y2);
    return reinterpret_cast<HRGN>(AddGdiObject(p));
}

HRGN CreateRectRgnIndirect(const RECT* lprect)
{
    return lprect ? CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom) : nullptr;
}

BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom)
{
    std::shared_ptr<RegionObject> p = FindRegion(hrgn);
    if (!p)
        return FALSE;
    p->m_rc = Ordered(left, top, right, bottom);
    return TRUE;
}

BOOL PtInRegion(HRGN hrgn, int x, int y)
{
    std::shared_ptr<RegionObject> p = FindRegion(hrgn);
    return p && x >= p->m_rc.left && x < p->m_rc.right && y >= p->m_rc.top && y < p->m_rc.bottom;
}

int GetRgnBox(HRGN hrgn, LPRECT lprc)
{
    std::shared_ptr<RegionObject> p = FindRegion(hrgn);
    if (!p || !lprc)
        return ERROR;
    *lprc = IsEmptyRect(p->m_rc) ? RECT{} : p->m_rc;
    return RegionType(p->m_rc);
}

int SelectClipRgn(HDC hdc, HRGN hrgn)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return ERROR;
    if (!hrgn)
    {
        pDc->m_Attr.m_bClipRegion = false;
        return SIMPLEREGION;
    }
    std::shared_ptr<RegionObject> p = FindRegion(hrgn);
    if (!p)
        return ERROR;
    pDc->m_Attr.m_bClipRegion = true;
    pDc->m_Attr.m_rcClip = p->m_rc;
    return RegionType(p->m_rc);
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc)
        return ERROR;
    // Logical to device units: the clip region ignores the viewport origin once set.
    POINT org = pDc->m_Attr.m_ptViewportOrg;
    RECT rc = Ordered(left + org.x, top + org.y, right + org.x, bottom + org.y);
    DcAttributes& a = pDc->m_Attr;
    if (a.m_bClipRegion)
        rc = RECT{std::max(rc.left, a.m_rcClip.left), std::max(rc.top, a.m_rcClip.top),
                  std::min(rc.right, a.m_rcClip.right), std::min(rc.bottom, a.m_rcClip.bottom)};
    a.m_bClipRegion = true;
    a.m_rcClip = rc;
    return RegionType(rc);
}

int GetClipBox(HDC hdc, LPRECT lprect)
{
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    if (!pDc || !lprect)
        return ERROR;
    std::vector<RECT> rects = pDc->ClipRects();
    if (rects.empty())
    {
        *lprect = RECT{};
        return NULLREGION;
    }
    RECT box = rects[0];
    for (const RECT& rc : rects)
        box = RECT{std::min(box.left, rc.left), std::min(box.top, rc.top), std::max(box.right, rc.right),
                   std::max(box.bottom, rc.bottom)};
    POINT org = pDc->ToSurface(0, 0);
    *lprect = RECT{box.left - org.x, box.top - org.y, box.right - org.x, box.bottom - org.y};
    return rects.size() > 1 ? COMPLEXREGION : SIMPLEREGION;
}
