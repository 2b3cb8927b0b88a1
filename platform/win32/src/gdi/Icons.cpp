// Icons and cursors: a table of generation-checked handles over private copies of the mask and
// colour images.
#include "GdiObjects.h"

#include <win32/icons.h>

#include <cstring>
#include <vector>

namespace
{
struct IconObject
{
    BOOL m_bIcon = TRUE;
    DWORD m_nHotX = 0;
    DWORD m_nHotY = 0;
    std::shared_ptr<Surface> m_pMask;
    std::shared_ptr<Surface> m_pColor;   // null: monochrome
};

struct IconSlot
{
    std::shared_ptr<IconObject> m_pIcon;
    uint32_t m_nGeneration = 1;
};

std::vector<IconSlot>& IconSlots()
{
    static std::vector<IconSlot> slots;
    return slots;
}

// Handle value: generation in the high 32 bits, slot number + 1 in the low ones.
IconSlot* FindIconSlot(HICON hIcon)
{
    uintptr_t v = reinterpret_cast<uintptr_t>(hIcon);
    size_t nSlot = v & 0xFFFFFFFFu;
    if (nSlot == 0 || nSlot > IconSlots().size())
        return nullptr;
    IconSlot& slot = IconSlots()[nSlot - 1];
    if (!slot.m_pIcon || slot.m_nGeneration != static_cast<uint32_t>(v >> 32))
        return nullptr;
    return &slot;
}

HICON AddIcon(std::shared_ptr<IconObject> pIcon)
{
    std::vector<IconSlot>& slots = IconSlots();
    size_t nSlot = 0;
    while (nSlot < slots.size() && slots[nSlot].m_pIcon)
        ++nSlot;
    if (nSlot == slots.size())
        slots.push_back(IconSlot{});
    slots[nSlot].m_pIcon = std::move(pIcon);
    return reinterpret_cast<HICON>((static_cast<uintptr_t>(slots[nSlot].m_nGeneration) << 32) | (nSlot + 1));
}

std::shared_ptr<Surface> BitmapSurface(HBITMAP hbm)
{
    std::shared_ptr<BitmapObject> p = FindGdi<BitmapObject>(reinterpret_cast<HGDIOBJ>(hbm), GdiKind::Bitmap);
    return p ? p->m_pSurface : nullptr;
}

// A private copy: monochrome stays monochrome, anything else becomes 32 bits like the screen
// (keeping a 32-bit image's alpha).
std::shared_ptr<Surface> CopySurface(const Surface& source)
{
    std::shared_ptr<Surface> pCopy =
        Surface::Create(source.m_nWidth, source.m_nHeight, source.m_bMono ? 1 : 32, 2, false);
    if (!pCopy)
        return nullptr;
    for (int y = 0; y < source.m_nHeight; ++y)
        for (int x = 0; x < source.m_nWidth; ++x)
            pCopy->WriteWithAlpha(x, y, source.ReadWithAlpha(x, y));
    return pCopy;
}

// A new bitmap handle holding a copy of the surface.
HBITMAP BitmapFromSurface(const Surface& source)
{
    HBITMAP hbm = CreateBitmap(source.m_nWidth, source.m_nHeight, 1, source.m_bMono ? 1 : 32, nullptr);
    std::shared_ptr<BitmapObject> p = FindGdi<BitmapObject>(reinterpret_cast<HGDIOBJ>(hbm), GdiKind::Bitmap);
    std::shared_ptr<Surface> pCopy = CopySurface(source);
    if (!p || !pCopy)
    {
        DeleteObject(hbm);
        return nullptr;
    }
    p->m_pSurface = pCopy;
    return hbm;
}

// Makes the icon from its parts; the mask must be monochrome and, with a colour image, of the
// same size as that image.
HICON MakeIcon(BOOL bIcon, DWORD nHotX, DWORD nHotY, const Surface* pMask, const Surface* pColor)
{
    if (!pMask || !pMask->m_bMono)
        return nullptr;
    if (pColor && (pColor->m_nWidth != pMask->m_nWidth || pColor->m_nHeight != pMask->m_nHeight))
        return nullptr;
    auto pIcon = std::make_shared<IconObject>();
    pIcon->m_bIcon = bIcon;
    pIcon->m_pMask = CopySurface(*pMask);
    pIcon->m_pColor = pColor ? CopySurface(*pColor) : nullptr;
    if (!pIcon->m_pMask || (pColor && !pIcon->m_pColor))
        return nullptr;
    const int nImageHeight = pColor ? pMask->m_nHeight : pMask->m_nHeight / 2;
    // An icon's hot spot is its centre, whatever was asked.
    pIcon->m_nHotX = bIcon ? static_cast<DWORD>(pMask->m_nWidth / 2) : nHotX;
    pIcon->m_nHotY = bIcon ? static_cast<DWORD>(nImageHeight / 2) : nHotY;
    return AddIcon(pIcon);
}
}

HICON CreateIconIndirect(PICONINFO piconinfo)
{
    if (!piconinfo)
        return nullptr;
    std::shared_ptr<Surface> pMask = BitmapSurface(piconinfo->hbmMask);
    std::shared_ptr<Surface> pColor = BitmapSurface(piconinfo->hbmColor);
    if (piconinfo->hbmColor && !pColor)
        return nullptr;
    return MakeIcon(piconinfo->fIcon, piconinfo->xHotspot, piconinfo->yHotspot, pMask.get(), pColor.get());
}

HCURSOR CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int nWidth, int nHeight, const void* pvANDPlane,
                     const void* pvXORPlane)
{
    if (!pvANDPlane || !pvXORPlane || xHotSpot < 0 || yHotSpot < 0 || nHeight <= 0)
        return nullptr;
    std::shared_ptr<Surface> pMask = Surface::Create(nWidth, nHeight * 2, 1, 2, false);
    if (!pMask)
        return nullptr;
    // The AND plane on top, the XOR plane below, as a monochrome cursor's mask holds them.
    const size_t nPlaneBytes = static_cast<size_t>(pMask->m_nStride) * static_cast<size_t>(nHeight);
    std::memcpy(pMask->Row(0), pvANDPlane, nPlaneBytes);
    std::memcpy(pMask->Row(nHeight), pvXORPlane, nPlaneBytes);
    return MakeIcon(FALSE, static_cast<DWORD>(xHotSpot), static_cast<DWORD>(yHotSpot), pMask.get(), nullptr);
}

BOOL GetIconInfo(HICON hIcon, PICONINFO piconinfo)
{
    IconSlot* pSlot = FindIconSlot(hIcon);
    if (!pSlot || !piconinfo)
        return FALSE;
    const IconObject& icon = *pSlot->m_pIcon;
    HBITMAP hbmMask = BitmapFromSurface(*icon.m_pMask);
    HBITMAP hbmColor = icon.m_pColor ? BitmapFromSurface(*icon.m_pColor) : nullptr;
    if (!hbmMask || (icon.m_pColor && !hbmColor))
    {
        DeleteObject(hbmMask);
        DeleteObject(hbmColor);
        return FALSE;
    }
    piconinfo->fIcon = icon.m_bIcon;
    piconinfo->xHotspot = icon.m_nHotX;
    piconinfo->yHotspot = icon.m_nHotY;
    piconinfo->hbmMask = hbmMask;
    piconinfo->hbmColor = hbmColor;
    return TRUE;
}

BOOL DestroyIcon(HICON hIcon)
{
    IconSlot* pSlot = FindIconSlot(hIcon);
    if (!pSlot)
        return FALSE;
    pSlot->m_pIcon.reset();
    pSlot->m_nGeneration++;
    return TRUE;
}

BOOL DestroyCursor(HCURSOR hCursor)
{
    return DestroyIcon(hCursor);
}

DWORD GetGuiResources(HANDLE, DWORD uiFlags)
{
    if (uiFlags == GR_GDIOBJECTS)
        return static_cast<DWORD>(CountGdiObjects());
    if (uiFlags != GR_USEROBJECTS)
        return 0;
    DWORD nIcons = 0;
    for (const IconSlot& slot : IconSlots())
        nIcons += slot.m_pIcon ? 1 : 0;
    return nIcons;
}
