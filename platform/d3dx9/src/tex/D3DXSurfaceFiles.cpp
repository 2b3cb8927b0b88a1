// Surface to surface copies and surface files.
#include "SurfacePixels.h"

#include <d3dx9tex.h>

#include "core/Log.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"

#include <cstring>

namespace
{

// Colour key match on the 8-bit quantised colour, as D3DX compares keys.
bool MatchesColorKey(const float* rgba, D3DCOLOR key)
{
    auto q = [](float v) -> DWORD { return v <= 0.0f ? 0 : v >= 1.0f ? 255 : (DWORD)(v * 255.0f + 0.5f); };
    return D3DCOLOR_ARGB(q(rgba[3]), q(rgba[0]), q(rgba[1]), q(rgba[2])) == key;
}

} // namespace

HRESULT D3DXLoadSurfaceFromSurface(LPDIRECT3DSURFACE9 pDestSurface, const PALETTEENTRY*, const RECT* pDestRect,
                                   LPDIRECT3DSURFACE9 pSrcSurface, const PALETTEENTRY*, const RECT* pSrcRect,
                                   DWORD Filter, D3DCOLOR ColorKey)
{
    RECT dest, src;
    if (!ResolveSurfaceRect(pDestSurface, pDestRect, dest) || !ResolveSurfaceRect(pSrcSurface, pSrcRect, src))
        return D3DERR_INVALIDCALL;
    std::vector<float> source;
    HRESULT hr = ReadSurfacePixels(pSrcSurface, src, source);
    if (FAILED(hr))
        return hr;

    const LONG srcW = src.right - src.left, srcH = src.bottom - src.top;
    const LONG dstW = dest.right - dest.left, dstH = dest.bottom - dest.top;
    // The low byte holds the filter kind; the rest are dither and addressing flags.
    const bool unscaled = (Filter & 0xFF) == D3DX_FILTER_NONE;
    std::vector<float> target((size_t)dstW * dstH * 4, 0.0f);
    for (LONG y = 0; y < dstH; ++y)
        for (LONG x = 0; x < dstW; ++x)
        {
            // The source pixel under the destination pixel's centre: (x + 0.5) srcW / dstW.
            const LONG sx = unscaled ? x : (LONG)(((int64_t)2 * x + 1) * srcW / (2 * dstW));
            const LONG sy = unscaled ? y : (LONG)(((int64_t)2 * y + 1) * srcH / (2 * dstH));
            if (sx >= srcW || sy >= srcH)
                continue; // outside an unscaled source: transparent black
            const float* from = &source[((size_t)sy * srcW + sx) * 4];
            if (ColorKey != 0 && MatchesColorKey(from, ColorKey))
                continue;
            std::memcpy(&target[((size_t)y * dstW + x) * 4], from, 4 * sizeof(float));
        }
    return WriteSurfacePixels(pDestSurface, dest, target);
}

HRESULT D3DXSaveSurfaceToFileA(LPCSTR pDestFile, D3DXIMAGE_FILEFORMAT DestFormat, LPDIRECT3DSURFACE9 pSrcSurface,
                               const PALETTEENTRY*, const RECT* pSrcRect)
{
    struct Writer
    {
        D3DXIMAGE_FILEFORMAT format;
        bool alpha;
        bool (*save)(const PixelImage& image, const char* path);
    };
    static const Writer kWriters[] = {
        {D3DXIFF_BMP, false, [](const PixelImage& i, const char* p) { return i.SaveBMP(p, false); }},
        {D3DXIFF_JPG, false, [](const PixelImage& i, const char* p) { return i.SaveJPEG(p, false, 90); }},
        {D3DXIFF_TGA, true, [](const PixelImage& i, const char* p) { return i.SaveTGA(p, false); }},
        {D3DXIFF_PNG, true, [](const PixelImage& i, const char* p) { return i.SavePNG(p, false); }},
        {D3DXIFF_DDS, true, [](const PixelImage& i, const char* p) { return i.SaveDDS(p, false); }},
    };
    const Writer* writer = nullptr;
    for (const Writer& w : kWriters)
        if (w.format == DestFormat)
            writer = &w;
    RECT rect;
    if (!pDestFile || !writer || !ResolveSurfaceRect(pSrcSurface, pSrcRect, rect))
        return D3DERR_INVALIDCALL;
    std::vector<float> rgba;
    const HRESULT hr = ReadSurfacePixels(pSrcSurface, rect, rgba);
    if (FAILED(hr))
        return hr;

    // The image library takes blue-first bytes (rgbOrder false), the order of the surface.
    const int32_t width = rect.right - rect.left, height = rect.bottom - rect.top;
    const int channels = writer->alpha ? 4 : 3;
    uint8_t* pixels = AllocatePixels((size_t)width * height * channels);
    if (!pixels)
        return E_OUTOFMEMORY;
    auto q = [](float v) -> uint8_t { return v <= 0.0f ? 0 : v >= 1.0f ? 255 : (uint8_t)(v * 255.0f + 0.5f); };
    for (size_t i = 0; i < (size_t)width * height; ++i)
    {
        pixels[i * channels + 0] = q(rgba[i * 4 + 2]);
        pixels[i * channels + 1] = q(rgba[i * 4 + 1]);
        pixels[i * channels + 2] = q(rgba[i * 4 + 0]);
        if (writer->alpha)
            pixels[i * channels + 3] = q(rgba[i * 4 + 3]);
    }
    PixelImage image;
    image.Adopt(pixels, width, height, writer->alpha ? RGBA8 : RGB8, true, false);
    if (!writer->save(image, pDestFile))
    {
        LogWarning("D3DXSaveSurfaceToFileA() - could not write \"%s\".", pDestFile);
        return E_FAIL;
    }
    return D3D_OK;
}
