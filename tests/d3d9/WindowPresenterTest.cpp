// Frames presented through the window layer land on the composed desktop, and the front buffer
// reads that desktop back.
#include "DeviceFixture.h"

#include <d3d9/present.h>
#include <win32/present.h>
#include <win32/testing.h>

namespace
{
class WindowPresenterTest : public DeviceTest
{
protected:
    void SetUp() override
    {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "PresentWnd";
        ASSERT_NE(RegisterClassExA(&wc), 0);
        // A popup has no frame, so its client area starts at its window origin.
        m_hWnd = CreateWindowExA(0, "PresentWnd", "render", WS_POPUP | WS_VISIBLE, 10, 20, 8, 8, nullptr, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(m_hWnd, nullptr);
        m_Driver.pumpUntilIdle();
        SetD3D9Presenter(&GetWindowPresenter());
        CreateDevice(4, 4, D3DFMT_UNKNOWN);
    }
    void TearDown() override
    {
        DeviceTest::TearDown();
        SetD3D9Presenter(nullptr);
    }
    static DWORD DesktopPixel(int x, int y)
    {
        win32::Image32 image;
        EXPECT_TRUE(win32::GetDesktopImage(image));
        return image.m_Pixels[static_cast<size_t>(y) * image.m_nWidth + x] & 0xFFFFFF;
    }

    win32::Driver m_Driver;
    HWND m_hWnd = nullptr;
};
}

TEST_F(WindowPresenterTest, PresentStretchesTheBackBufferOverTheWindow)
{
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(255, 0, 0), 1.0f, 0), D3D_OK);
    ASSERT_EQ(m_pDevice->Present(nullptr, nullptr, m_hWnd, nullptr), D3D_OK);
    // The 4x4 frame covers the 8x8 window at (10, 20) and nothing outside it.
    EXPECT_EQ(DesktopPixel(10, 20), 0xFF0000u);
    EXPECT_EQ(DesktopPixel(17, 27), 0xFF0000u);
    EXPECT_NE(DesktopPixel(18, 27), 0xFF0000u);
    EXPECT_NE(DesktopPixel(9, 20), 0xFF0000u);
}

TEST_F(WindowPresenterTest, FrontBufferDataReadsTheComposedDesktop)
{
    ASSERT_EQ(m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(0, 0, 255), 1.0f, 0), D3D_OK);
    ASSERT_EQ(m_pDevice->Present(nullptr, nullptr, m_hWnd, nullptr), D3D_OK);
    win32::Image32 desktop;
    ASSERT_TRUE(win32::GetDesktopImage(desktop));
    IDirect3DSurface9* pSurface = nullptr;
    ASSERT_EQ(m_pDevice->CreateOffscreenPlainSurface(desktop.m_nWidth, desktop.m_nHeight, D3DFMT_A8R8G8B8,
                                                     D3DPOOL_SYSTEMMEM, &pSurface, nullptr),
              D3D_OK);
    ASSERT_EQ(m_pDevice->GetFrontBufferData(0, pSurface), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(pSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto pixel = [&](int x, int y) {
        return reinterpret_cast<const DWORD*>(static_cast<const BYTE*>(locked.pBits) + y * locked.Pitch)[x];
    };
    EXPECT_EQ(pixel(12, 22), 0xFF0000FFu);
    EXPECT_EQ(pixel(0, 0), 0xFF000000u | (desktop.m_Pixels[0] & 0xFFFFFF));
    pSurface->UnlockRect();
    pSurface->Release();
}
