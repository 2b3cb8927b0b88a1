// Image lists behind generation-checked handles. Images are kept as 32-bit pixels with an
// opacity each: 0 or 255 from a mask, any value from a 32-bit bitmap's alpha channel.
#include <win32/commctrl.h>

#include "core/Log.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace
{
struct Pixel
{
    BYTE b, g, r, a;
};

struct ImageListData
{
    int m_cx = 0;
    int m_cy = 0;
    UINT m_nFlags = 0;
    COLORREF m_clrBk = CLR_NONE;
    std::vector<std::vector<Pixel>> m_Images;
};

struct ImageListStore
{
    std::vector<std::unique_ptr<ImageListData>> m_Lists;   // slot index + 1 and generation form the handle
    std::vector<uint32_t> m_Generations;
};

ImageListStore& Store()
{
    static ImageListStore s_Store;
    return s_Store;
}

ImageListData* Find(HIMAGELIST himl)
{
    uint64_t n = reinterpret_cast<uint64_t>(himl);
    size_t i = static_cast<size_t>(n & 0xFFFFFFFFu);
    ImageListStore& store = Store();
    if (i == 0 || i > store.m_Lists.size() || store.m_Generations[i - 1] != static_cast<uint32_t>(n >> 32))
        return nullptr;
    return store.m_Lists[i - 1].get();
}

// A 4-bit list keeps the sixteen colours of the standard palette.
const COLORREF kPalette16[16] = {0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
                                 0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, 0xFFFFFF};

Pixel Nearest16(Pixel p)
{
    int nBest = 0, nBestDistance = 1 << 30;
    for (int i = 0; i < 16; ++i)
    {
        int dr = p.r - GetRValue(kPalette16[i]), dg = p.g - GetGValue(kPalette16[i]), db = p.b - GetBValue(kPalette16[i]);
        int d = dr * dr + dg * dg + db * db;
        if (d < nBestDistance)
        {
            nBestDistance = d;
            nBest = i;
        }
    }
    return Pixel{GetBValue(kPalette16[nBest]), GetGValue(kPalette16[nBest]), GetRValue(kPalette16[nBest]), p.a};
}

BITMAPINFO TopDown32(int cx, int cy)
{
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = cx;
    bmi.bmiHeader.biHeight = -cy;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    return bmi;
}

// A bitmap's pixels, top row first; false for a bad handle. bAlpha: its own alpha channel counts.
bool ReadPixels(HBITMAP hbm, int& cx, int& cy, std::vector<Pixel>& out, bool& bAlpha)
{
    BITMAP bm{};
    if (!hbm || !GetObjectA(hbm, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0)
        return false;
    cx = bm.bmWidth;
    cy = bm.bmHeight;
    out.assign(static_cast<size_t>(cx) * cy, Pixel{});
    BITMAPINFO bmi = TopDown32(cx, cy);
    HDC hdc = CreateCompatibleDC(nullptr);
    int nRows = GetDIBits(hdc, hbm, 0, static_cast<UINT>(cy), out.data(), &bmi, DIB_RGB_COLORS);
    DeleteDC(hdc);
    if (nRows != cy)
        return false;
    bAlpha = bm.bmBitsPixel == 32 &&
             std::any_of(out.begin(), out.end(), [](const Pixel& p) { return p.a != 0; });
    return true;
}

// Appends the images cut from the strip; opacity comes from fnOpaque(x, y) or the alpha.
int AddStrip(ImageListData& list, const std::vector<Pixel>& strip, int cxStrip, int cyStrip, bool bAlpha,
             const std::function<bool(int, int)>& fnOpaque)
{
    if (cyStrip < list.m_cy || cxStrip < list.m_cx)
        return -1;
    bool bKeepAlpha = bAlpha && (list.m_nFlags & 0xFE) == ILC_COLOR32;
    int nFirst = static_cast<int>(list.m_Images.size());
    for (int nImage = 0; nImage < cxStrip / list.m_cx; ++nImage)
    {
        std::vector<Pixel> image(static_cast<size_t>(list.m_cx) * list.m_cy);
        for (int y = 0; y < list.m_cy; ++y)
            for (int x = 0; x < list.m_cx; ++x)
            {
                int xs = nImage * list.m_cx + x;
                Pixel p = strip[static_cast<size_t>(y) * cxStrip + xs];
                if ((list.m_nFlags & 0xFE) == ILC_COLOR4)
                    p = Nearest16(p);
                if (!bKeepAlpha)
                    p.a = 255;
                if ((list.m_nFlags & ILC_MASK) && fnOpaque && !fnOpaque(xs, y))
                    p = Pixel{0, 0, 0, 0};
                image[static_cast<size_t>(y) * list.m_cx + x] = p;
            }
        list.m_Images.push_back(std::move(image));
    }
    return nFirst;
}

BYTE Mix(BYTE a, BYTE b, int nWeightB)
{
    return static_cast<BYTE>((a * (256 - nWeightB) + b * nWeightB) >> 8);
}
}

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int)
{
    if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096)
        return nullptr;
    ImageListStore& store = Store();
    size_t i = 0;
    while (i < store.m_Lists.size() && store.m_Lists[i])
        ++i;
    if (i == store.m_Lists.size())
    {
        store.m_Lists.push_back(nullptr);
        store.m_Generations.push_back(0);
    }
    if (++store.m_Generations[i] == 0)
        store.m_Generations[i] = 1;
    store.m_Lists[i] = std::make_unique<ImageListData>();
    store.m_Lists[i]->m_cx = cx;
    store.m_Lists[i]->m_cy = cy;
    store.m_Lists[i]->m_nFlags = flags;
    return reinterpret_cast<HIMAGELIST>(static_cast<uint64_t>(store.m_Generations[i]) << 32 | (i + 1));
}

BOOL ImageList_Destroy(HIMAGELIST himl)
{
    if (!Find(himl))
        return FALSE;
    Store().m_Lists[(reinterpret_cast<uint64_t>(himl) & 0xFFFFFFFFu) - 1].reset();
    return TRUE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask)
{
    ImageListData* pList = Find(himl);
    int cx = 0, cy = 0;
    std::vector<Pixel> strip;
    bool bAlpha = false;
    if (!pList || !ReadPixels(hbmImage, cx, cy, strip, bAlpha))
        return -1;
    std::vector<Pixel> mask;
    int cxMask = 0, cyMask = 0;
    bool bMaskAlpha = false;
    if (hbmMask && !ReadPixels(hbmMask, cxMask, cyMask, mask, bMaskAlpha))
        return -1;
    std::function<bool(int, int)> fnOpaque;
    if (hbmMask)
        fnOpaque = [&](int x, int y) {
            if (x >= cxMask || y >= cyMask)
                return true;
            const Pixel& p = mask[static_cast<size_t>(y) * cxMask + x];
            return p.r == 0 && p.g == 0 && p.b == 0;
        };
    return AddStrip(*pList, strip, cx, cy, bAlpha, fnOpaque);
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask)
{
    ImageListData* pList = Find(himl);
    int cx = 0, cy = 0;
    std::vector<Pixel> strip;
    bool bAlpha = false;
    if (!pList || !ReadPixels(hbmImage, cx, cy, strip, bAlpha))
        return -1;
    return AddStrip(*pList, strip, cx, cy, bAlpha, [&](int x, int y) {
        const Pixel& p = strip[static_cast<size_t>(y) * cx + x];
        return RGB(p.r, p.g, p.b) != (crMask & 0xFFFFFF);
    });
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon)
{
    ImageListData* pList = Find(himl);
    ICONINFO info{};
    if (!pList || i < -1 || i >= static_cast<int>(pList->m_Images.size()) || !GetIconInfo(hicon, &info))
        return -1;
    int cxMask = 0, cyMask = 0, cxColor = 0, cyColor = 0;
    std::vector<Pixel> mask, color;
    bool bAlpha = false, bUnused = false;
    bool bRead = ReadPixels(info.hbmMask, cxMask, cyMask, mask, bUnused) &&
                 (!info.hbmColor || ReadPixels(info.hbmColor, cxColor, cyColor, color, bAlpha));
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    if (!bRead)
        return -1;
    // A monochrome icon keeps its XOR plane below the AND plane in a mask twice as tall.
    int cyIcon = info.hbmColor ? cyColor : cyMask / 2;
    int cxIcon = cxMask;
    if (cxIcon <= 0 || cyIcon <= 0)
        return -1;
    bool bKeepAlpha = bAlpha && (pList->m_nFlags & 0xFE) == ILC_COLOR32;
    // Nearest pixel to the list's size, as DrawIconEx draws an icon at another size.
    std::vector<Pixel> image(static_cast<size_t>(pList->m_cx) * pList->m_cy);
    for (int y = 0; y < pList->m_cy; ++y)
        for (int x = 0; x < pList->m_cx; ++x)
        {
            int xs = x * cxIcon / pList->m_cx, ys = y * cyIcon / pList->m_cy;
            size_t nAt = static_cast<size_t>(ys) * cxIcon + xs;
            Pixel p = info.hbmColor ? color[nAt] : mask[nAt + static_cast<size_t>(cyIcon) * cxIcon];
            bool bOpaque = mask[nAt].r == 0;
            if ((pList->m_nFlags & 0xFE) == ILC_COLOR4)
                p = Nearest16(p);
            if (!bKeepAlpha)
                p = bOpaque || !(pList->m_nFlags & ILC_MASK) ? Pixel{p.b, p.g, p.r, 255} : Pixel{0, 0, 0, 0};
            image[static_cast<size_t>(y) * pList->m_cx + x] = p;
        }
    if (i == -1)
    {
        pList->m_Images.push_back(std::move(image));
        return static_cast<int>(pList->m_Images.size()) - 1;
    }
    pList->m_Images[static_cast<size_t>(i)] = std::move(image);
    return i;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i)
{
    ImageListData* pList = Find(himl);
    if (!pList || i < -1 || i >= static_cast<int>(pList->m_Images.size()))
        return FALSE;
    if (i == -1)
        pList->m_Images.clear();
    else
        pList->m_Images.erase(pList->m_Images.begin() + i);
    return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST himl)
{
    ImageListData* pList = Find(himl);
    return pList ? static_cast<int>(pList->m_Images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy)
{
    ImageListData* pList = Find(himl);
    if (!pList || !cx || !cy)
        return FALSE;
    *cx = pList->m_cx;
    *cy = pList->m_cy;
    return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk)
{
    ImageListData* pList = Find(himl);
    if (!pList)
        return CLR_NONE;
    COLORREF old = pList->m_clrBk;
    pList->m_clrBk = clrBk;
    return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl)
{
    ImageListData* pList = Find(himl);
    return pList ? pList->m_clrBk : CLR_NONE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle)
{
    ImageListData* pList = Find(himl);
    if (!pList || !hdcDst || i < 0 || i >= static_cast<int>(pList->m_Images.size()))
        return FALSE;
    const int cx = pList->m_cx, cy = pList->m_cy;
    // The destination is read into a 32-bit section, composed there and written back, so masks,
    // alpha and blends work on every destination, monochrome ones included.
    BITMAPINFO bmi = TopDown32(cx, cy);
    void* pvBits = nullptr;
    HBITMAP hSection = CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &pvBits, nullptr, 0);
    if (!hSection || !pvBits)
    {
        if (hSection)
            DeleteObject(hSection);
        LogWarning("ImageList_Draw() - no room for the image.");
        return FALSE;
    }
    HDC hdcWork = CreateCompatibleDC(hdcDst);
    HGDIOBJ hOld = SelectObject(hdcWork, hSection);
    BitBlt(hdcWork, 0, 0, cx, cy, hdcDst, x, y, SRCCOPY);

    auto* pOut = static_cast<Pixel*>(pvBits);
    const std::vector<Pixel>& image = pList->m_Images[static_cast<size_t>(i)];
    bool bFillBk = !(fStyle & ILD_TRANSPARENT) && pList->m_clrBk != CLR_NONE;
    COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    int nBlend = (fStyle & ILD_BLEND50) ? 128 : (fStyle & ILD_BLEND25) ? 64 : 0;
    for (size_t k = 0; k < image.size(); ++k)
    {
        Pixel src = image[k];
        Pixel& dst = pOut[k];
        if (fStyle & ILD_MASK)
        {
            BYTE v = src.a >= 128 ? 0 : 255;
            dst = Pixel{v, v, v, 0};
            continue;
        }
        if (bFillBk && src.a < 255)
        {
            Pixel bk{GetBValue(pList->m_clrBk), GetGValue(pList->m_clrBk), GetRValue(pList->m_clrBk), 0};
            dst = bk;
        }
        if (nBlend)
        {
            src.r = Mix(src.r, GetRValue(highlight), nBlend);
            src.g = Mix(src.g, GetGValue(highlight), nBlend);
            src.b = Mix(src.b, GetBValue(highlight), nBlend);
        }
        dst.r = static_cast<BYTE>((src.r * src.a + dst.r * (255 - src.a)) / 255);
        dst.g = static_cast<BYTE>((src.g * src.a + dst.g * (255 - src.a)) / 255);
        dst.b = static_cast<BYTE>((src.b * src.a + dst.b * (255 - src.a)) / 255);
        dst.a = 0;
    }
    BitBlt(hdcDst, x, y, cx, cy, hdcWork, 0, 0, SRCCOPY);
    SelectObject(hdcWork, hOld);
    DeleteDC(hdcWork);
    DeleteObject(hSection);
    return TRUE;
}
