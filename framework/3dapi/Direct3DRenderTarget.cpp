#include "3dapi/Direct3DRenderTarget.h"

#include "core/Log.h"

namespace
{
// The Direct3D format of each RenderTargetFormat code.
const D3DFORMAT TARGET_FORMATS[] = {
    D3DFMT_A8R8G8B8, D3DFMT_A16B16G16R16, D3DFMT_R16F,    D3DFMT_G16R16,
    D3DFMT_A16B16G16R16F, D3DFMT_R32F,    D3DFMT_G32R32F, D3DFMT_A32B32G32R32F,
};
constexpr int TARGET_FORMAT_COUNT = static_cast<int>(sizeof(TARGET_FORMATS) / sizeof(TARGET_FORMATS[0]));
}

Direct3DRenderTarget::~Direct3DRenderTarget()
{
    ReleaseObjects(false);
}

void Direct3DRenderTarget::ReleaseObjects(bool bTexture)
{
    if (m_pDepth)
    {
        m_pDepth->Release();
        m_pDepth = nullptr;
    }
    for (IDirect3DSurface9*& pFace : m_pFaces)
        if (pFace)
        {
            pFace->Release();
            pFace = nullptr;
        }
    if (bTexture && m_pTexture)
    {
        m_pTexture->Release();
        m_pTexture = nullptr;
    }
}

bool Direct3DRenderTarget::Create(int nWidth, int nHeight, bool bMipChain, bool bCube, RenderTargetFormat nFormat)
{
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_bCube = bCube;
    if (nFormat < 0 || nFormat >= TARGET_FORMAT_COUNT || nWidth <= 0 || nHeight <= 0)
    {
        LogWarning("Direct3DRenderTarget::Create() - format %d at %d x %d is not a render target.", nFormat, nWidth,
                   nHeight);
        return false;
    }
    D3DFORMAT nDeviceFormat = TARGET_FORMATS[nFormat];
    UINT nLevels = bMipChain ? 0 : 1;  // 0: the full chain
    HRESULT hr;
    if (bCube)
    {
        IDirect3DCubeTexture9* pCube = nullptr;
        hr = m_pDevice->CreateCubeTexture(static_cast<UINT>(nWidth), nLevels, D3DUSAGE_RENDERTARGET, nDeviceFormat,
                                          D3DPOOL_DEFAULT, &pCube, nullptr);
        m_pTexture = pCube;
        for (int nFace = 0; SUCCEEDED(hr) && nFace < 6; ++nFace)
            hr = pCube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(nFace), 0, &m_pFaces[nFace]);
    }
    else
    {
        IDirect3DTexture9* pTexture = nullptr;
        hr = m_pDevice->CreateTexture(static_cast<UINT>(nWidth), static_cast<UINT>(nHeight), nLevels,
                                      D3DUSAGE_RENDERTARGET, nDeviceFormat, D3DPOOL_DEFAULT, &pTexture, nullptr);
        m_pTexture = pTexture;
        if (SUCCEEDED(hr))
            hr = pTexture->GetSurfaceLevel(0, &m_pFaces[0]);
    }
    if (SUCCEEDED(hr))
        hr = m_pDevice->CreateDepthStencilSurface(static_cast<UINT>(nWidth), static_cast<UINT>(nHeight),
                                                  D3DFMT_D24X8, D3DMULTISAMPLE_NONE, 0, TRUE, &m_pDepth, nullptr);
    if (FAILED(hr))
    {
        LogWarning("Direct3DRenderTarget::Create() - %s target of %d x %d in format %d could not be created.",
                   bCube ? "cube" : "2D", nWidth, nHeight, nFormat);
        ReleaseObjects(true);
        return false;
    }
    return true;
}

bool Direct3DRenderTarget::Release()
{
    ReleaseObjects(false);
    return true;
}

bool Direct3DRenderTarget::Bind(int nIndex)
{
    if (!m_bCube)
        m_pDevice->SetRenderTarget(static_cast<DWORD>(nIndex), m_pFaces[0]);
    m_pDevice->SetDepthStencilSurface(m_pDepth);
    return true;
}

bool Direct3DRenderTarget::SelectFace(int nFace)
{
    if (!m_bCube || nFace < 0 || nFace >= 6)
        return false;
    m_pDevice->SetRenderTarget(0, m_pFaces[nFace]);
    return true;
}
