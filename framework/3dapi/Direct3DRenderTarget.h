#pragma once
// A render target on a Direct3D 9 device: a 2D or cube texture in the default pool, level 0 of
// each face kept as a surface, and a D24X8 depth-stencil surface of the same size.
#include "3dapi/RenderTarget.h"

class Direct3DRenderTarget : public RenderTarget
{
public:
    explicit Direct3DRenderTarget(IDirect3DDevice9* pDevice) : m_pDevice(pDevice) {}
    // Releases what Release has not (a target is normally released, then deleted, by its owner).
    ~Direct3DRenderTarget() override;

    bool Create(int nWidth, int nHeight, bool bMipChain, bool bCube, RenderTargetFormat nFormat) override;
    bool Release() override;
    bool Bind(int nIndex) override;
    bool SelectFace(int nFace) override;

private:
    // Releases the surfaces and, when bTexture, the texture too.
    void ReleaseObjects(bool bTexture);

    IDirect3DDevice9* m_pDevice;  // not owned
};
