// Float RGBA access to surfaces: lockable ones directly, render targets that cannot be locked
// through a copy in system memory. UNORM writes saturate and round to nearest.
#include "SurfacePixels.h"

#include <cmath>
#include <cstring>

namespace
{

BYTE ToUnorm(float value, float scale)
{
    if (!(value > 0.0f))
        return 0;
    if (value >= 1.0f)
        return (BYTE)scale;
    return (BYTE)(value * scale + 0.5f);
}

struct PixelCodec
{
    D3DFORMAT format;
    UINT bytes;
    void (*decode)(const BYTE* p, float* rgba);
    void (*encode)(const float* rgba, BYTE* p);
};

// 8-bit ARGB and XRGB lie in memory as blue, green, red, alpha (or padding).
void DecodeArgb(const BYTE* p, float* c)
{
    c[0] = p[2] / 255.0f;
    c[1] = p[1] / 255.0f;
    c[2] = p[0] / 255.0f;
    c[3] = p[3] / 255.0f;
}
void EncodeArgb(const float* c, BYTE* p)
{
    p[0] = ToUnorm(c[2], 255);
    p[1] = ToUnorm(c[1], 255);
    p[2] = ToUnorm(c[0], 255);
    p[3] = ToUnorm(c[3], 255);
}
void DecodeXrgb(const BYTE* p, float* c)
{
    DecodeArgb(p, c);
    c[3] = 1.0f;
}
void EncodeXrgb(const float* c, BYTE* p)
{
    EncodeArgb(c, p);
    p[3] = 0xFF;
}
void Decode565(const BYTE* p, float* c)
{
    const unsigned v = p[0] | (p[1] << 8);
    c[0] = ((v >> 11) & 31) / 31.0f;
    c[1] = ((v >> 5) & 63) / 63.0f;
    c[2] = (v & 31) / 31.0f;
    c[3] = 1.0f;
}
void Encode565(const float* c, BYTE* p)
{
    const unsigned v = (ToUnorm(c[0], 31) << 11) | (ToUnorm(c[1], 63) << 5) | ToUnorm(c[2], 31);
    p[0] = (BYTE)v;
    p[1] = (BYTE)(v >> 8);
}
void DecodeL8(const BYTE* p, float* c)
{
    c[0] = c[1] = c[2] = p[0] / 255.0f;
    c[3] = 1.0f;
}
void EncodeL8(const float* c, BYTE* p) { p[0] = ToUnorm(c[0], 255); }
void DecodeR32F(const BYTE* p, float* c)
{
    std::memcpy(c, p, 4);
    c[1] = c[2] = c[3] = 1.0f;
}
void EncodeR32F(const float* c, BYTE* p) { std::memcpy(p, c, 4); }
void DecodeRgba32F(const BYTE* p, float* c) { std::memcpy(c, p, 16); }
void EncodeRgba32F(const float* c, BYTE* p) { std::memcpy(p, c, 16); }

const PixelCodec kCodecs[] = {
    {D3DFMT_A8R8G8B8, 4, DecodeArgb, EncodeArgb},     {D3DFMT_X8R8G8B8, 4, DecodeXrgb, EncodeXrgb},
    {D3DFMT_R5G6B5, 2, Decode565, Encode565},         {D3DFMT_L8, 1, DecodeL8, EncodeL8},
    {D3DFMT_R32F, 4, DecodeR32F, EncodeR32F},         {D3DFMT_A32B32G32R32F, 16, DecodeRgba32F, EncodeRgba32F},
};

const PixelCodec* FindCodec(IDirect3DSurface9* surface)
{
    D3DSURFACE_DESC desc;
    if (FAILED(surface->GetDesc(&desc)))
        return nullptr;
    for (const PixelCodec& codec : kCodecs)
        if (codec.format == desc.Format)
            return &codec;
    return nullptr;
}

} // namespace

bool ResolveSurfaceRect(IDirect3DSurface9* surface, const RECT* rect, RECT& resolved)
{
    D3DSURFACE_DESC desc;
    if (!surface || FAILED(surface->GetDesc(&desc)))
        return false;
    resolved = rect ? *rect : RECT{0, 0, (LONG)desc.Width, (LONG)desc.Height};
    return resolved.left >= 0 && resolved.top >= 0 && resolved.left < resolved.right &&
           resolved.top < resolved.bottom && resolved.right <= (LONG)desc.Width && resolved.bottom <= (LONG)desc.Height;
}

namespace
{

// A copy of a render target in system memory, for targets that cannot be locked (the back
// buffer, default-pool targets): the caller releases it.
HRESULT CopyRenderTargetToSystemMemory(IDirect3DSurface9* surface, IDirect3DSurface9** copy)
{
    D3DSURFACE_DESC desc;
    HRESULT hr = surface->GetDesc(&desc);
    if (FAILED(hr))
        return hr;
    if (!(desc.Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    IDirect3DDevice9* device = nullptr;
    hr = surface->GetDevice(&device);
    if (FAILED(hr))
        return hr;
    hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, copy, nullptr);
    if (SUCCEEDED(hr))
    {
        hr = device->GetRenderTargetData(surface, *copy);
        if (FAILED(hr))
        {
            (*copy)->Release();
            *copy = nullptr;
        }
    }
    device->Release();
    return hr;
}

} // namespace

HRESULT ReadSurfacePixels(IDirect3DSurface9* surface, const RECT& rect, std::vector<float>& rgba)
{
    const PixelCodec* codec = FindCodec(surface);
    if (!codec)
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked;
    IDirect3DSurface9* readable = surface;
    IDirect3DSurface9* copy = nullptr;
    HRESULT hr = surface->LockRect(&locked, &rect, D3DLOCK_READONLY);
    if (FAILED(hr) && SUCCEEDED(CopyRenderTargetToSystemMemory(surface, &copy)))
    {
        readable = copy;
        hr = copy->LockRect(&locked, &rect, D3DLOCK_READONLY);
    }
    if (FAILED(hr))
    {
        if (copy)
            copy->Release();
        return hr;
    }
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    rgba.resize((size_t)width * height * 4);
    for (LONG y = 0; y < height; ++y)
    {
        const BYTE* row = static_cast<const BYTE*>(locked.pBits) + (size_t)y * locked.Pitch;
        for (LONG x = 0; x < width; ++x)
            codec->decode(row + (size_t)x * codec->bytes, &rgba[((size_t)y * width + x) * 4]);
    }
    readable->UnlockRect();
    if (copy)
        copy->Release();
    return D3D_OK;
}

HRESULT WriteSurfacePixels(IDirect3DSurface9* surface, const RECT& rect, const std::vector<float>& rgba)
{
    const PixelCodec* codec = FindCodec(surface);
    const LONG width = rect.right - rect.left, height = rect.bottom - rect.top;
    if (!codec || rgba.size() != (size_t)width * height * 4)
        return D3DERR_INVALIDCALL;
    D3DLOCKED_RECT locked;
    const HRESULT hr = surface->LockRect(&locked, &rect, 0);
    if (FAILED(hr))
        return hr;
    for (LONG y = 0; y < height; ++y)
    {
        BYTE* row = static_cast<BYTE*>(locked.pBits) + (size_t)y * locked.Pitch;
        for (LONG x = 0; x < width; ++x)
            codec->encode(&rgba[((size_t)y * width + x) * 4], row + (size_t)x * codec->bytes);
    }
    surface->UnlockRect();
    return D3D_OK;
}
