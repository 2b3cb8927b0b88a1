#include <d3d9/present.h>

#include <win32/present.h>

namespace
{
class WindowPresenter : public D3D9Presenter
{
public:
    bool PresentToWindow(HWND hWnd, const PresentImage& image) override
    {
        if (image.pixels.size() != static_cast<size_t>(image.nWidth) * image.nHeight)
            return false;
        return win32::PresentToWindow(hWnd, image.nWidth, image.nHeight, image.pixels.data());
    }

    bool GetDesktopImage(PresentImage& image) override
    {
        win32::Image32 desktop;
        if (!win32::GetDesktopImage(desktop))
            return false;
        image.nWidth = desktop.m_nWidth;
        image.nHeight = desktop.m_nHeight;
        // The desktop carries no alpha; a front-buffer copy reads as opaque.
        image.pixels.resize(desktop.m_Pixels.size());
        for (size_t i = 0; i < desktop.m_Pixels.size(); ++i)
            image.pixels[i] = desktop.m_Pixels[i] | 0xFF000000u;
        return true;
    }
};
}

D3D9Presenter& GetWindowPresenter()
{
    static WindowPresenter s_Presenter;
    return s_Presenter;
}
