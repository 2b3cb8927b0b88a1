#pragma once
// How the tool windows take their look from the skin directory: a background "<name> Bkgnd.bmp"
// that sizes the window, and for each button the pair "<name> on.bmp" / "<name> off.bmp" drawn
// transparent over that background, in place of the button's caption.
#include "mfc_gui/BtnST.h"
#include "mfc_gui/DockDialog.h"

// The transparent colour of the skins' button bitmaps.
constexpr COLORREF TOOL_SKIN_KEY = RGB(0x5D, 0x5D, 0x5D);

struct ToolSkinButton
{
    CBtnST* m_pButton;
    const char* m_szName;
};

// In the given order: empty caption, transparent drawing, the two bitmaps, no border.
void ApplyToolSkinButtons(const char* szSkinDir, const ToolSkinButton* pButtons, size_t nButtons);
template <size_t N>
void ApplyToolSkinButtons(const char* szSkinDir, const ToolSkinButton (&buttons)[N])
{
    ApplyToolSkinButtons(szSkinDir, buttons, N);
}

// When the window has no background yet: makes one from "<skin directory><name> Bkgnd.bmp" and,
// when it loads, moves the window to (0, 0) with the bitmap's size. A missing file leaves the
// window's size.
void LoadToolSkinBackground(CDockDialog& dlg, const char* szSkinDir, const char* szName);
