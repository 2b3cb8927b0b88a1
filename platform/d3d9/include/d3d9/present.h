#pragma once
// Where Present sends the back buffer. The device converts the back buffer to 32-bit pixels
// and hands them to the installed presenter; the window layer installs one that shows them in
// the window, and without one the layer keeps the last image for tests and screenshots.
#include <win32/types.h>

#include <vector>

// One picture: width × height pixels, rows top to bottom, each pixel 0xAARRGGBB (memory order
// blue, green, red, alpha, as A8R8G8B8 surfaces lie).
struct PresentImage
{
    UINT nWidth = 0;
    UINT nHeight = 0;
    std::vector<DWORD> pixels;
};

class D3D9Presenter
{
public:
    virtual ~D3D9Presenter() = default;
    // Shows the back buffer in the window (null: the device's focus window). False if it could not.
    virtual bool PresentToWindow(HWND hWnd, const PresentImage& image) = 0;
    // The composed desktop as the user sees it, for GetFrontBufferData.
    virtual bool GetDesktopImage(PresentImage& image) = 0;
};

// Installs the presenter every device uses from then on; null restores the headless one. The
// caller keeps ownership and must keep it alive while installed.
void SetD3D9Presenter(D3D9Presenter* pPresenter);
D3D9Presenter* GetD3D9Presenter();

// The window layer's presenter: frames stretched over their window's client area on the composed
// desktop, which GetFrontBufferData then reads. The program installs it at start-up.
D3D9Presenter& GetWindowPresenter();
