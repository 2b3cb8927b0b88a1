#include "WindowSurfaces.h"

#include "../user/UserState.h"

#include <algorithm>
#include <map>
#include <utility>

namespace
{
std::map<HWND, std::shared_ptr<Surface>>& Surfaces()
{
    static std::map<HWND, std::shared_ptr<Surface>> surfaces;
    return surfaces;
}
bool g_bDesktopDirty = true;

RECT Intersect(const RECT& a, const RECT& b)
{
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}
bool IsEmpty(const RECT& rc) { return rc.left >= rc.right || rc.top >= rc.bottom; }

// Cuts hole out of every rectangle: each piece splits into up to four around the hole.
void Subtract(std::vector<RECT>& rects, const RECT& hole)
{
    std::vector<RECT> out;
    for (const RECT& rc : rects)
    {
        RECT cut = Intersect(rc, hole);
        if (IsEmpty(cut))
        {
            out.push_back(rc);
            continue;
        }
        RECT pieces[4] = {{rc.left, rc.top, rc.right, cut.top},
                          {rc.left, cut.bottom, rc.right, rc.bottom},
                          {rc.left, cut.top, cut.left, cut.bottom},
                          {cut.right, cut.top, rc.right, cut.bottom}};
        for (const RECT& piece : pieces)
            if (!IsEmpty(piece))
                out.push_back(piece);
    }
    rects.swap(out);
}

RECT ScreenRectOf(HWND hWnd, bool bWholeWindow)
{
    RECT rc{};
    if (bWholeWindow)
    {
        GetWindowRect(hWnd, &rc);
        return rc;
    }
    GetClientRect(hWnd, &rc);
    MapWindowPoints(hWnd, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

RECT Offset(RECT rc, POINT pt)
{
    OffsetRect(&rc, -pt.x, -pt.y);
    return rc;
}
}

std::shared_ptr<Surface> TopLevelSurface(HWND hWnd, POINT& ptOffset)
{
    HWND hTop = GetAncestor(hWnd, GA_ROOT);
    if (!hTop || !IsWindow(hTop))
        return nullptr;
    RECT rc{};
    GetWindowRect(hTop, &rc);
    ptOffset = POINT{rc.left, rc.top};
    int cx = std::max<LONG>(1, rc.right - rc.left);
    int cy = std::max<LONG>(1, rc.bottom - rc.top);
    std::shared_ptr<Surface>& pSurface = Surfaces()[hTop];
    if (!pSurface || pSurface->m_nWidth != cx || pSurface->m_nHeight != cy)
    {
        // A resized window keeps what fits of its old pixels until it repaints.
        std::shared_ptr<Surface> pNew = Surface::Create(cx, cy, 32, 4, false);
        if (pNew && pSurface)
            for (int y = 0; y < std::min(cy, pSurface->m_nHeight); ++y)
                for (int x = 0; x < std::min(cx, pSurface->m_nWidth); ++x)
                    pNew->Write(x, y, pSurface->Read(x, y));
        pSurface = pNew;
    }
    return pSurface;
}

bool ComputeVisibleArea(HWND hWnd, bool bWholeWindow, bool bClipSiblings, VisibleArea& area)
{
    POINT ptTop{};
    if (!TopLevelSurface(hWnd, ptTop))
        return false;
    RECT rcScreen = ScreenRectOf(hWnd, bWholeWindow);
    area.m_rcArea = Offset(rcScreen, ptTop);
    area.m_ptOrigin = POINT{area.m_rcArea.left, area.m_rcArea.top};
    area.m_Rects.assign(1, area.m_rcArea);
    for (HWND h = hWnd; h && !IsTopLevel(FindWindowObject(h));)
    {
        const Window* pWnd = FindWindowObject(h);
        HWND hParent = pWnd->m_hParent;
        const Window* pParent = FindWindowObject(hParent);
        if (!pParent)
            break;
        RECT rcParent = Offset(ScreenRectOf(hParent, false), ptTop);
        for (RECT& rc : area.m_Rects)
            rc = Intersect(rc, rcParent);
        if (bClipSiblings || (pWnd->m_nStyle & WS_CLIPSIBLINGS))
            for (HWND hSibling : pParent->m_Children)
            {
                if (hSibling == h)
                    break;   // siblings after this one lie below it
                if (IsWindowVisible(hSibling))
                    Subtract(area.m_Rects, Offset(ScreenRectOf(hSibling, true), ptTop));
            }
        bClipSiblings = false;
        h = hParent;
    }
    const Window* pWnd = FindWindowObject(hWnd);
    if (!bWholeWindow && (pWnd->m_nStyle & WS_CLIPCHILDREN))
        for (HWND hChild : pWnd->m_Children)
            if (IsWindowVisible(hChild))
                Subtract(area.m_Rects, Offset(ScreenRectOf(hChild, true), ptTop));
    area.m_Rects.erase(std::remove_if(area.m_Rects.begin(), area.m_Rects.end(), IsEmpty), area.m_Rects.end());
    return true;
}

void DropDeadSurfaces()
{
    auto& surfaces = Surfaces();
    for (auto it = surfaces.begin(); it != surfaces.end();)
        it = IsWindow(it->first) ? std::next(it) : surfaces.erase(it);
}

std::vector<PlacedSurface> VisibleTopLevelSurfaces()
{
    DropDeadSurfaces();
    std::vector<PlacedSurface> placed;
    std::vector<HWND> windows = win32::GetTopLevelWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    {
        if (!IsWindowVisible(*it))
            continue;
        POINT pt{};
        std::shared_ptr<Surface> pSurface = TopLevelSurface(*it, pt);
        RECT rc{};
        GetWindowRect(*it, &rc);
        if (pSurface)
            placed.push_back(PlacedSurface{*it, rc, pSurface});
    }
    return placed;
}

void MarkDesktopDirty() { g_bDesktopDirty = true; }
bool TakeDesktopDirty() { return std::exchange(g_bDesktopDirty, false); }
