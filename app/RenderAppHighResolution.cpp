// The tiled high-resolution render: a picture of factor x factor back buffers, drawn one tile at
// a time through a projection that magnifies that tile onto the whole back buffer, then saved as
// a BMP file.
#include "app/RenderApp.h"

#include "core/Log.h"

#include <d3dx9tex.h>

#include <cstdint>

namespace
{
// Element indexes of the Direct3D matrix entries _11, _22, _31 and _32 in a Matrix4 (the two
// share one memory image).
const int X_SCALE = 0, Y_SCALE = 5, X_OFFSET = 8, Y_OFFSET = 9;

// Tile column i (from the left) and row j (from the top) of a factor-a picture: the projection
// scaled by a and shifted by (a - 1 - 2i, -(a - 1 - 2j)) (times the view depth, which is w)
// maps exactly that tile's part of normalised device space onto -1..1.
void SetTileProjection(Matrix4& matTile, int a, int i, int j)
{
    matTile[X_OFFSET] = static_cast<float>((a - 1) - 2 * i);
    matTile[Y_OFFSET] = -static_cast<float>((a - 1) - 2 * j);
}

// Draws every tile and copies each into its rectangle of the target; stops at the first tile
// whose back buffer cannot be taken or copied, so that no picture with a hole is saved.
HRESULT DrawTiles(IDirect3DDevice9* pDevice, IDirect3DSurface9* pTarget, int a, UINT nWidth, UINT nHeight,
                  const std::function<void()>& fnDraw)
{
    Matrix4 matTile = g_matProjection;
    matTile[X_SCALE] *= static_cast<float>(a);
    matTile[Y_SCALE] *= static_cast<float>(a);
    for (int i = 0; i < a; ++i)
        for (int j = 0; j < a; ++j)
        {
            SetTileProjection(matTile, a, i, j);
            g_matProjection = matTile;
            fnDraw();
            IDirect3DSurface9* pBackBuffer = nullptr;
            HRESULT hr = pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
            if (FAILED(hr))
            {
                LogWarning("fail get backbuffer");
                return hr;
            }
            LogWarning("get backbuffer %d", i);
            const RECT rect = {static_cast<LONG>(nWidth * i), static_cast<LONG>(nHeight * j),
                               static_cast<LONG>(nWidth * (i + 1)), static_cast<LONG>(nHeight * (j + 1))};
            hr = D3DXLoadSurfaceFromSurface(pTarget, nullptr, &rect, pBackBuffer, nullptr, nullptr, D3DX_FILTER_NONE,
                                            0);
            pBackBuffer->Release();
            if (FAILED(hr))
            {
                LogWarning("fail LOAD SURF FROM SURF");
                return hr;
            }
            LogWarning("LOAD SURF FROM SURF");
            pDevice->Present(nullptr, nullptr, nullptr, nullptr);
        }
    return D3D_OK;
}
}

HRESULT RenderApp::RenderTiledHighResolution(const char* szPath, IDirect3DDevice9* pDevice, int nFactor,
                                             const std::function<void()>& fnDraw)
{
    if (!szPath || !pDevice || nFactor < 1 || !fnDraw)
        return D3DERR_INVALIDCALL;
    IDirect3DSurface9* pBackBuffer = nullptr;
    HRESULT hr = pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer);
    if (FAILED(hr))
    {
        LogWarning("fail get backbuffer");
        return hr;
    }
    D3DSURFACE_DESC desc;
    hr = pBackBuffer->GetDesc(&desc);
    pBackBuffer->Release();
    if (FAILED(hr))
    {
        LogWarning("fail get desc backbuffer");
        return hr;
    }
    const uint64_t nWidth = static_cast<uint64_t>(desc.Width) * static_cast<uint64_t>(nFactor);
    const uint64_t nHeight = static_cast<uint64_t>(desc.Height) * static_cast<uint64_t>(nFactor);
    if (nWidth > INT32_MAX || nHeight > INT32_MAX)
    {
        LogInfo("fail create render target");
        return D3DERR_INVALIDCALL;
    }
    // Not multisampled whatever the back buffer is: a lockable target cannot be, and each copy
    // takes the back buffer's resolved pixels.
    IDirect3DSurface9* pTarget = nullptr;
    hr = pDevice->CreateRenderTarget(static_cast<UINT>(nWidth), static_cast<UINT>(nHeight), desc.Format,
                                     D3DMULTISAMPLE_NONE, 0, TRUE, &pTarget, nullptr);
    if (FAILED(hr))
    {
        LogInfo("fail create render target");
        return hr;
    }
    LogInfo("created render target\n");

    const Matrix4 matProjection = g_matProjection;
    hr = DrawTiles(pDevice, pTarget, nFactor, desc.Width, desc.Height, fnDraw);
    g_matProjection = matProjection;
    if (SUCCEEDED(hr))
        hr = D3DXSaveSurfaceToFileA(szPath, D3DXIFF_BMP, pTarget, nullptr, nullptr);
    pTarget->Release();
    return hr;
}
