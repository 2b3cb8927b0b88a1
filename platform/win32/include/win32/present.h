#pragma once
// Presentation: the composed desktop, device frames shown in windows, PNG snapshots, and the
// presenter that shows the desktop to a user (X11) or keeps it for tests (headless).
#include <win32/types.h>

#include <vector>

namespace win32
{
// A 32-bit picture, rows top to bottom, each pixel 0x00RRGGBB (memory order blue, green, red,
// unused, as an X8R8G8B8 surface lies).
struct Image32
{
    UINT m_nWidth = 0;
    UINT m_nHeight = 0;
    std::vector<DWORD> m_Pixels;
};

// Stretches a frame (nearest pixel) over the window's client area, drawing only where the
// window is visible; siblings above it are always left alone, so tool windows stay on top.
bool PresentToWindow(HWND hWnd, UINT nWidth, UINT nHeight, const DWORD* pPixels);

// The desktop as the user sees it: COLOR_DESKTOP, then the top-level windows from the bottom
// of the z-order up.
bool GetDesktopImage(Image32& image);
// One window's pixels (its whole window rectangle); null means the desktop.
bool GetWindowImage(HWND hWnd, Image32& image);
// Writes GetWindowImage as a PNG file; false (logged) on failure.
bool SaveSnapshot(HWND hWnd, const char* szPath);

class Presenter
{
public:
    virtual ~Presenter() = default;
    // The composed desktop changed.
    virtual void Show(const Image32& desktop) = 0;
};
// Installs the presenter that shows the desktop; null restores the headless one. The caller
// keeps ownership.
void SetPresenter(Presenter* pPresenter);
// Composes the desktop when anything changed and hands it to the presenter. Presents call it;
// a presenter's wait loop calls it before it sleeps.
void RefreshPresenter();

// The headless presenter: the last desktop it was shown and how many it has been shown.
const Image32& HeadlessLastImage();
int HeadlessImageCount();
}
