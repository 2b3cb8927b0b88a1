// Screenshots: the main window's client area, as the screen shows it, saved as
// "ScreenShot<nn>.png" in the desktop folder under the first free two-digit number.
#include "app/Direct3DApplication.h"

#include "core/Log.h"
#include "core/PixelFormat.h"
#include "core/PixelImage.h"
#include "scene/SceneStore.h"

#include <win32/layer.h>
#include <win32/paths.h>
#include <win32/user.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool Direct3DApplication::FindScreenshotPath(const char* szFolder, char* szPath, size_t nPathSize)
{
    for (int n = 0; n < SCREENSHOT_NAME_COUNT; ++n)
    {
        int nLength = std::snprintf(szPath, nPathSize, "%s/ScreenShot%d%d.png", szFolder, n / 10, n % 10);
        if (nLength < 0 || static_cast<size_t>(nLength) >= nPathSize)
        {
            LogWarning("Direct3DApplication::TakeScreenshot() - the desktop folder's path is too long.");
            break;
        }
        if (!SceneStore::FileExists(szPath))
            return true;
    }
    szPath[0] = '\0';
    return false;
}

bool Direct3DApplication::TakeScreenshot()
{
    char szFolder[MAX_PATH] = "";
    char szPath[MAX_PATH + 32] = "";
    if (!m_pDevice || !SHGetSpecialFolderPathA(nullptr, szFolder, CSIDL_DESKTOPDIRECTORY, FALSE))
    {
        LogWarning("Direct3DApplication::TakeScreenshot() - no device or no desktop folder.");
        return false;
    }
    if (!FindScreenshotPath(szFolder, szPath, sizeof(szPath)))
    {
        LogWarning("Direct3DApplication::TakeScreenshot() - ScreenShot00.png to ScreenShot99.png all exist in %s; "
                   "nothing saved.",
                   szFolder);
        return false;
    }

    HWND hWnd = win32::GetMainWindow();
    RECT rcClient = {};
    POINT ptOrigin = {0, 0};
    if (!hWnd || !GetClientRect(hWnd, &rcClient) || !ClientToScreen(hWnd, &ptOrigin))
    {
        LogWarning("Direct3DApplication::TakeScreenshot() - no main window to take.");
        return false;
    }
    const int nScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int nScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    // Only the part of the client area that lies on the screen exists in the front buffer.
    const int nLeft = std::max(0, static_cast<int>(ptOrigin.x));
    const int nTop = std::max(0, static_cast<int>(ptOrigin.y));
    const int nRight = std::min(nScreenWidth, static_cast<int>(ptOrigin.x + rcClient.right - rcClient.left));
    const int nBottom = std::min(nScreenHeight, static_cast<int>(ptOrigin.y + rcClient.bottom - rcClient.top));
    if (nRight <= nLeft || nBottom <= nTop)
    {
        LogWarning("Direct3DApplication::TakeScreenshot() - the window's client area is not on the screen.");
        return false;
    }

    IDirect3DSurface9* pSurface = nullptr;
    if (FAILED(m_pDevice->CreateOffscreenPlainSurface(static_cast<UINT>(nScreenWidth), static_cast<UINT>(nScreenHeight),
                                                      D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &pSurface, nullptr)))
    {
        LogWarning("Direct3DApplication::TakeScreenshot() - no surface for the screen.");
        return false;
    }
    D3DLOCKED_RECT locked = {};
    if (FAILED(m_pDevice->GetFrontBufferData(0, pSurface)) ||
        FAILED(pSurface->LockRect(&locked, nullptr, D3DLOCK_READONLY)))
    {
        pSurface->Release();
        LogWarning("Direct3DApplication::TakeScreenshot() - the screen could not be read.");
        return false;
    }

    const int nWidth = nRight - nLeft;
    const int nHeight = nBottom - nTop;
    auto* pPixels = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(nWidth) * nHeight * 3));
    if (pPixels)
    {
        // Surface memory is blue, green, red, alpha; the image keeps the first three bytes.
        uint8_t* pOut = pPixels;
        for (int y = nTop; y < nBottom; ++y)
        {
            const auto* pRow = static_cast<const uint8_t*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch;
            for (int x = nLeft; x < nRight; ++x, pOut += 3)
                std::memcpy(pOut, pRow + static_cast<size_t>(x) * 4, 3);
        }
    }
    pSurface->UnlockRect();
    pSurface->Release();
    if (!pPixels)
    {
        LogWarning("Direct3DApplication::TakeScreenshot() - out of memory.");
        return false;
    }

    PixelImage image;
    image.Adopt(pPixels, nWidth, nHeight, RGB8, true, false);
    if (!image.Save(szPath, false, 75))
    {
        LogWarning("Direct3DApplication::TakeScreenshot() - could not save %s.", szPath);
        return false;
    }
    return true;
}
