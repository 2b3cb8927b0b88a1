#include "device/Presenter.h"

#include <mutex>

namespace
{
class HeadlessPresenter final : public D3D9Presenter
{
public:
    bool PresentToWindow(HWND, const PresentImage& image) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_LastImage = image;
        return true;
    }
    bool GetDesktopImage(PresentImage& image) override
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        image = m_LastImage;
        return true;
    }
    const PresentImage& LastImage() const { return m_LastImage; }

private:
    std::mutex m_Mutex;
    PresentImage m_LastImage;
};

HeadlessPresenter& Headless()
{
    static HeadlessPresenter presenter;
    return presenter;
}

D3D9Presenter* g_pPresenter = nullptr;
}  // namespace

void SetD3D9Presenter(D3D9Presenter* pPresenter)
{
    g_pPresenter = pPresenter;
}

D3D9Presenter* GetD3D9Presenter()
{
    return g_pPresenter ? g_pPresenter : &Headless();
}

D3D9Presenter& CurrentPresenter()
{
    return *GetD3D9Presenter();
}

const PresentImage& LastHeadlessImage()
{
    return Headless().LastImage();
}
