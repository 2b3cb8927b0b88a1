#include "3dapi/D3DUtil.h"

#include <win32/gdi.h>
#include <win32/icons.h>

#include <vector>

namespace
{
// Rows of the watermark, most significant bit at the left; 12 pixels by 5.
const WORD WATERMARK_ROWS[5] = {0xccc0, 0xa2a0, 0xa4a0, 0xa2a0, 0xccc0};
constexpr DWORD WATERMARK_COLOR = 0xff808080;
constexpr int WATERMARK_WIDTH = 12;
constexpr DWORD OPAQUE_ALPHA = 0xff000000;

// A bitmap's rows as 32-bit pixels, bottom row first, as GetDIBits gives them for a
// bottom-up description.
bool ReadBitmap(HDC hDC, HBITMAP hbm, LONG nWidth, LONG nHeight, std::vector<DWORD>& pixels)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.assign(static_cast<size_t>(nWidth) * static_cast<size_t>(nHeight), 0);
    return GetDIBits(hDC, hbm, 0, static_cast<UINT>(nHeight), pixels.data(), &info, DIB_RGB_COLORS) == nHeight;
}

// What the Windows handle holds, released in every case.
struct IconParts
{
    ICONINFO info{};
    HDC hScreen = nullptr;
    HDC hMemory = nullptr;
    ~IconParts()
    {
        if (info.hbmMask)
            DeleteObject(info.hbmMask);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        if (hMemory)
            DeleteDC(hMemory);
        if (hScreen)
            ReleaseDC(nullptr, hScreen);
    }
};
}

HRESULT CreateCursorSurface(IDirect3DDevice9* pDevice, HCURSOR hCursor, bool bAddWatermark,
                            IDirect3DSurface9** ppSurface, POINT* pHotSpot)
{
    if (!pDevice || !ppSurface)
        return E_FAIL;
    *ppSurface = nullptr;
    IconParts parts;
    BITMAP mask{};
    if (!GetIconInfo(hCursor, &parts.info) || !GetObjectA(parts.info.hbmMask, sizeof(mask), &mask))
        return E_FAIL;
    const bool bMonochrome = parts.info.hbmColor == nullptr;
    const LONG nWidth = mask.bmWidth;
    const LONG nHeight = bMonochrome ? mask.bmHeight / 2 : mask.bmHeight;

    IDirect3DSurface9* pSurface = nullptr;
    HRESULT hr = pDevice->CreateOffscreenPlainSurface(static_cast<UINT>(nWidth), static_cast<UINT>(nHeight),
                                                      D3DFMT_A8R8G8B8, D3DPOOL_SCRATCH, &pSurface, nullptr);
    if (FAILED(hr))
        return hr;

    parts.hScreen = GetDC(nullptr);
    parts.hMemory = CreateCompatibleDC(parts.hScreen);
    std::vector<DWORD> maskBits, colorBits;
    bool bRead = parts.hMemory && ReadBitmap(parts.hMemory, parts.info.hbmMask, nWidth, mask.bmHeight, maskBits);
    if (bRead && !bMonochrome)
        bRead = ReadBitmap(parts.hMemory, parts.info.hbmColor, nWidth, nHeight, colorBits);
    D3DLOCKED_RECT locked{};
    hr = bRead ? pSurface->LockRect(&locked, nullptr, 0) : E_FAIL;
    if (FAILED(hr))
    {
        pSurface->Release();
        return hr;
    }

    // Rows are bottom first: row r of the image is row (height - 1 - r) of the bits. A
    // monochrome mask's clear/opaque half is its top half, the image its bottom half.
    const size_t w = static_cast<size_t>(nWidth);
    for (LONG y = 0; y < nHeight; ++y)
    {
        // The surface's own pitch: rows may be padded beyond four bytes a pixel.
        auto* pRow = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
        const size_t nImageRow = static_cast<size_t>(nHeight - 1 - y) * w;
        const size_t nMaskRow = static_cast<size_t>((bMonochrome ? mask.bmHeight : nHeight) - 1 - y) * w;
        const DWORD* pColor = bMonochrome ? &maskBits[nImageRow] : &colorBits[nImageRow];
        const DWORD* pMask = &maskBits[nMaskRow];
        for (size_t x = 0; x < w; ++x)
        {
            pRow[x] = pMask[x] == 0 ? (OPAQUE_ALPHA | pColor[x]) : 0;
            if (bAddWatermark && y < 5 && x < WATERMARK_WIDTH && (WATERMARK_ROWS[y] & (1u << (15 - x))))
                pRow[x] |= WATERMARK_COLOR;
        }
    }
    pSurface->UnlockRect();
    *ppSurface = pSurface;
    if (pHotSpot)
        *pHotSpot = POINT{static_cast<LONG>(parts.info.xHotspot), static_cast<LONG>(parts.info.yHotspot)};
    return S_OK;
}

HRESULT SetCursorFromIcon(IDirect3DDevice9* pDevice, HCURSOR hCursor, bool bAddWatermark)
{
    IDirect3DSurface9* pSurface = nullptr;
    POINT hotSpot{};
    HRESULT hr = CreateCursorSurface(pDevice, hCursor, bAddWatermark, &pSurface, &hotSpot);
    if (FAILED(hr))
        return hr;
    hr = pDevice->SetCursorProperties(static_cast<UINT>(hotSpot.x), static_cast<UINT>(hotSpot.y), pSurface);
    pSurface->Release();
    return FAILED(hr) ? hr : S_OK;
}
