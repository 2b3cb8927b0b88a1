#pragma once
// A texture that passes draw into and later sample: the colour surfaces of a 2D or cube texture
// and a depth-stencil surface of the same size. It lives in the texture table as a render-target
// entry; the entry's device texture is the target's texture.
#include <d3d9.h>

#include <cstdint>

// Codes callers pass to Renderer::CreateRenderTarget.
enum RenderTargetFormat : int32_t
{
    RENDER_TARGET_A8R8G8B8 = 0,
    RENDER_TARGET_A16B16G16R16 = 1,
    RENDER_TARGET_R16F = 2,
    RENDER_TARGET_G16R16 = 3,
    RENDER_TARGET_A16B16G16R16F = 4,
    RENDER_TARGET_R32F = 5,
    RENDER_TARGET_G32R32F = 6,
    RENDER_TARGET_A32B32G32R32F = 7,
};

class RenderTarget
{
public:
    // The owner deletes targets through this base.
    virtual ~RenderTarget() = default;

    // Makes the texture and its surfaces; false (nothing left behind) on any failure or an
    // unknown format.
    virtual bool Create(int nWidth, int nHeight, bool bMipChain, bool bCube, RenderTargetFormat nFormat) = 0;
    // Releases the surfaces (not the texture, which the texture entry releases). Safe to call on
    // a target whose creation failed.
    virtual bool Release() = 0;
    // Binds the target at render-target index nIndex (a 2D target) and its depth-stencil surface.
    virtual bool Bind(int nIndex) = 0;
    // Makes face nFace of a cube target render target 0; false for a 2D target.
    virtual bool SelectFace(int nFace) = 0;

    IDirect3DBaseTexture9* GetTexture() const { return m_pTexture; }
    // Level 0 of a cube face (0 to 5), or of the 2D texture as face 0; null outside.
    IDirect3DSurface9* GetFaceSurface(int nFace) const
    {
        return nFace >= 0 && nFace < 6 ? m_pFaces[nFace] : nullptr;
    }

protected:
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    IDirect3DBaseTexture9* m_pTexture = nullptr;
    IDirect3DSurface9* m_pFaces[6] = {};
    IDirect3DSurface9* m_pDepth = nullptr;
    bool m_bCube = false;
};
