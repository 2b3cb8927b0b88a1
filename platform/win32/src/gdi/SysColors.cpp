// System colours: the Windows 2000 classic scheme, with one permanent brush per colour.
#include "GdiObjects.h"

namespace
{
// Index order of COLOR_SCROLLBAR (0) to COLOR_GRADIENTINACTIVECAPTION (28).
const COLORREF kClassicColors[] = {
    RGB(212, 208, 200),   // scroll bar
    RGB(58, 110, 165),    // desktop
    RGB(10, 36, 106),     // active caption
    RGB(128, 128, 128),   // inactive caption
    RGB(212, 208, 200),   // menu
    RGB(255, 255, 255),   // window
    RGB(0, 0, 0),         // window frame
    RGB(0, 0, 0),         // menu text
    RGB(0, 0, 0),         // window text
    RGB(255, 255, 255),   // caption text
    RGB(212, 208, 200),   // active border
    RGB(212, 208, 200),   // inactive border
    RGB(128, 128, 128),   // application workspace
    RGB(10, 36, 106),     // highlight
    RGB(255, 255, 255),   // highlight text
    RGB(212, 208, 200),   // 3D face
    RGB(128, 128, 128),   // 3D shadow
    RGB(128, 128, 128),   // grey text
    RGB(0, 0, 0),         // button text
    RGB(212, 208, 200),   // inactive caption text
    RGB(255, 255, 255),   // 3D highlight
    RGB(64, 64, 64),      // 3D dark shadow
    RGB(212, 208, 200),   // 3D light
    RGB(0, 0, 0),         // tooltip text
    RGB(255, 255, 225),   // tooltip background
    RGB(181, 181, 181),   // (unused slot 25)
    RGB(0, 0, 128),       // hot-tracked item
    RGB(166, 202, 240),   // active caption gradient
    RGB(192, 192, 192),   // inactive caption gradient
};
constexpr int kColorCount = sizeof(kClassicColors) / sizeof(kClassicColors[0]);
}

DWORD GetSysColor(int nIndex)
{
    if (nIndex < 0 || nIndex >= kColorCount)
        return 0;
    return kClassicColors[nIndex];
}

HBRUSH GetSysColorBrush(int nIndex)
{
    static HBRUSH brushes[kColorCount] = {};
    if (nIndex < 0 || nIndex >= kColorCount)
        return nullptr;
    if (!brushes[nIndex])
    {
        auto p = std::make_shared<BrushObject>();
        p->m_Color = kClassicColors[nIndex];
        brushes[nIndex] = reinterpret_cast<HBRUSH>(AddStockObject(p));
    }
    return brushes[nIndex];
}
