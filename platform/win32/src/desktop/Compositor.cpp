#include "Compositor.h"

#include "WindowSurfaces.h"

#include "../gdi/DeviceContext.h"
#include "../gdi/RasterOps.h"

#include <core/Log.h>
#include <core/PixelBuffer.h>
#include <core/PixelImage.h>
#include <win32/gdi.h>
#include <win32/present.h>

#include <algorithm>
#include <cstring>

namespace
{
class HeadlessPresenter : public win32::Presenter
{
public:
    void Show(const win32::Image32& desktop) override
    {
        m_LastImage = desktop;
        ++m_nCount;
    }
    win32::Image32 m_LastImage;
    int m_nCount = 0;
};

HeadlessPresenter& Headless()
{
    static HeadlessPresenter presenter;
    return presenter;
}
win32::Presenter* g_pPresenter = nullptr;

// The layout the last composition saw: a move or a show changes it without any drawing.
std::vector<std::pair<HWND, RECT>> g_LastLayout;
// Counts compositions, so the presenter is shown each new desktop once.
uint64_t g_nComposition = 0;
uint64_t g_nShownComposition = 0;

void CopyOut(const Surface& surface, const RECT& rc, win32::Image32& image)
{
    image.m_nWidth = static_cast<UINT>(std::max<LONG>(0, rc.right - rc.left));
    image.m_nHeight = static_cast<UINT>(std::max<LONG>(0, rc.bottom - rc.top));
    image.m_Pixels.assign(static_cast<size_t>(image.m_nWidth) * image.m_nHeight, 0);
    for (UINT y = 0; y < image.m_nHeight; ++y)
        for (UINT x = 0; x < image.m_nWidth; ++x)
        {
            int sx = rc.left + static_cast<int>(x);
            int sy = rc.top + static_cast<int>(y);
            if (surface.Contains(sx, sy))
                image.m_Pixels[static_cast<size_t>(y) * image.m_nWidth + x] = surface.Read(sx, sy);
        }
}
}

std::shared_ptr<Surface> ComposedDesktop()
{
    static std::shared_ptr<Surface> pDesktop;
    int cx = GetSystemMetrics(SM_CXSCREEN);
    int cy = GetSystemMetrics(SM_CYSCREEN);
    std::vector<PlacedSurface> windows = VisibleTopLevelSurfaces();
    std::vector<std::pair<HWND, RECT>> layout;
    for (const PlacedSurface& w : windows)
        layout.emplace_back(w.m_hWnd, w.m_rcScreen);
    bool bLayoutChanged = layout.size() != g_LastLayout.size() ||
                          !std::equal(layout.begin(), layout.end(), g_LastLayout.begin(), [](const auto& a, const auto& b) {
                              return a.first == b.first && EqualRect(&a.second, &b.second);
                          });
    bool bDirty = TakeDesktopDirty() || bLayoutChanged;
    if (pDesktop && pDesktop->m_nWidth == cx && pDesktop->m_nHeight == cy && !bDirty)
        return pDesktop;
    if (!pDesktop || pDesktop->m_nWidth != cx || pDesktop->m_nHeight != cy)
        pDesktop = Surface::Create(cx, cy, 32, 4, false);
    g_LastLayout = layout;
    ++g_nComposition;
    uint32_t nBackground = PixelFromColor(GetSysColor(COLOR_DESKTOP));
    for (int y = 0; y < cy; ++y)
    {
        auto* pRow = reinterpret_cast<uint32_t*>(pDesktop->Row(y));
        std::fill(pRow, pRow + cx, nBackground);
    }
    for (const PlacedSurface& w : windows)
    {
        const Surface& s = *w.m_pSurface;
        int x0 = std::max<LONG>(0, w.m_rcScreen.left);
        int x1 = std::min<LONG>(cx, w.m_rcScreen.left + s.m_nWidth);
        for (int y = std::max<LONG>(0, w.m_rcScreen.top); y < std::min<LONG>(cy, w.m_rcScreen.top + s.m_nHeight); ++y)
            if (x1 > x0)
                std::memcpy(pDesktop->Row(y) + x0 * 4, s.Row(y - w.m_rcScreen.top) + (x0 - w.m_rcScreen.left) * 4,
                            static_cast<size_t>(x1 - x0) * 4);
    }
    return pDesktop;
}

namespace win32
{
bool GetDesktopImage(Image32& image)
{
    std::shared_ptr<Surface> pDesktop = ComposedDesktop();
    if (!pDesktop)
        return false;
    CopyOut(*pDesktop, RECT{0, 0, pDesktop->m_nWidth, pDesktop->m_nHeight}, image);
    return true;
}

bool GetWindowImage(HWND hWnd, Image32& image)
{
    if (!hWnd)
        return GetDesktopImage(image);
    POINT ptTop{};
    std::shared_ptr<Surface> pSurface = TopLevelSurface(hWnd, ptTop);
    RECT rc{};
    if (!pSurface || !GetWindowRect(hWnd, &rc))
        return false;
    OffsetRect(&rc, -ptTop.x, -ptTop.y);
    CopyOut(*pSurface, rc, image);
    return true;
}

bool SaveSnapshot(HWND hWnd, const char* szPath)
{
    Image32 image;
    if (!szPath || !GetWindowImage(hWnd, image) || image.m_Pixels.empty())
    {
        LogError("SaveSnapshot() - no window image for \"%s\".", szPath ? szPath : "");
        return false;
    }
    // Blue, green, red bytes, which the PNG writer takes in that order when told so.
    size_t nCount = image.m_Pixels.size();
    uint8_t* pBytes = AllocatePixels(nCount * 3);
    if (!pBytes)
        return false;
    for (size_t i = 0; i < nCount; ++i)
    {
        DWORD v = image.m_Pixels[i];
        pBytes[i * 3] = static_cast<uint8_t>(v);
        pBytes[i * 3 + 1] = static_cast<uint8_t>(v >> 8);
        pBytes[i * 3 + 2] = static_cast<uint8_t>(v >> 16);
    }
    PixelImage png;
    png.Adopt(pBytes, static_cast<int32_t>(image.m_nWidth), static_cast<int32_t>(image.m_nHeight), RGB8, true, false);
    return png.SavePNG(szPath, false);
}

bool PresentToWindow(HWND hWnd, UINT nWidth, UINT nHeight, const DWORD* pPixels)
{
    if (!pPixels || nWidth == 0 || nHeight == 0 || nWidth > 32768 || nHeight > 32768)
        return false;
    VisibleArea area;
    POINT ptTop{};
    std::shared_ptr<Surface> pSurface = TopLevelSurface(hWnd, ptTop);
    if (!pSurface || !ComputeVisibleArea(hWnd, false, true, area))
        return false;
    Surface frame;
    frame.m_nWidth = static_cast<int>(nWidth);
    frame.m_nHeight = static_cast<int>(nHeight);
    frame.m_nStride = static_cast<int>(nWidth) * 4;
    frame.m_pBits = reinterpret_cast<uint8_t*>(const_cast<DWORD*>(pPixels));
    HDC hdc = CreateSurfaceDC(pSurface, area.m_ptOrigin, area.m_Rects, hWnd);
    std::shared_ptr<DcObject> pDc = FindDc(hdc);
    SourceSpec source;
    source.m_pSurface = &frame;
    RunBlit(*pDc, area.m_rcArea, source, RECT{0, 0, frame.m_nWidth, frame.m_nHeight}, SRCCOPY);
    DeleteDC(hdc);
    MarkDesktopDirty();
    RefreshPresenter();
    return true;
}

void SetPresenter(Presenter* pPresenter)
{
    g_pPresenter = pPresenter;
    g_nShownComposition = 0;
}

void RefreshPresenter()
{
    std::shared_ptr<Surface> pDesktop = ComposedDesktop();
    if (!pDesktop || g_nShownComposition == g_nComposition)
        return;
    g_nShownComposition = g_nComposition;
    Image32 image;
    CopyOut(*pDesktop, RECT{0, 0, pDesktop->m_nWidth, pDesktop->m_nHeight}, image);
    (g_pPresenter ? *g_pPresenter : static_cast<Presenter&>(Headless())).Show(image);
}

const Image32& HeadlessLastImage() { return Headless().m_LastImage; }
int HeadlessImageCount() { return Headless().m_nCount; }
}
