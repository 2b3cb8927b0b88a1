#include "scene/StereoCodeLine.h"

#include <algorithm>

StereoCodeLine::StereoCodeLine(IDirect3DDevice9* pDevice) : m_pDevice(pDevice)
{
    Create();
}

StereoCodeLine::~StereoCodeLine()
{
    Release();
}

uint64_t StereoCodeLine::EyeCode(int32_t nEye)
{
    return (0x11FFull << 48) | (static_cast<uint64_t>(static_cast<uint32_t>(nEye)) << 16) | 0x11FFull;
}

DWORD StereoCodeLine::CodeTexel(int32_t nEye, UINT nTexel)
{
    if (nTexel >= 512)
        return 0;
    // Each bit spans eight texels: red carries the bit, green is always on, blue marks the
    // second half of the bit so the receiver can find its edges.
    bool bSet = (EyeCode(nEye) >> (63 - nTexel / 8)) & 1;
    DWORD nRed = bSet ? 0xFF : 0;
    DWORD nBlue = (nTexel % 8) < 4 ? 0 : 0xFF;
    return (nRed << 16) | (0xFFu << 8) | nBlue;
}

void StereoCodeLine::Create()
{
    if (!m_pDevice || m_bCreated)
        return;
    IDirect3DTexture9* pStaging[2] = {nullptr, nullptr};
    bool bOk = true;
    for (int i = 0; i < 2 && bOk; ++i)
    {
        bOk = SUCCEEDED(m_pDevice->CreateTexture(TEXTURE_WIDTH, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                                 &m_pTextures[i], nullptr)) &&
              SUCCEEDED(m_pDevice->CreateTexture(TEXTURE_WIDTH, 1, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM,
                                                 &pStaging[i], nullptr));
        D3DLOCKED_RECT locked{};
        if (bOk && SUCCEEDED(pStaging[i]->LockRect(0, &locked, nullptr, 0)))
        {
            DWORD* pTexels = static_cast<DWORD*>(locked.pBits);
            int32_t nEye = i == 0 ? 1 : 0;
            for (UINT x = 0; x < TEXTURE_WIDTH; ++x)
                pTexels[x] = CodeTexel(nEye, x);
            pStaging[i]->UnlockRect(0);
        }
        else
            bOk = false;
        bOk = bOk && SUCCEEDED(m_pDevice->UpdateTexture(pStaging[i], m_pTextures[i]));
    }
    for (IDirect3DTexture9* p : pStaging)
        if (p)
            p->Release();
    if (bOk)
        m_bCreated = true;
    else
        for (IDirect3DTexture9*& p : m_pTextures)
            if (p)
            {
                p->Release();
                p = nullptr;
            }
}

void StereoCodeLine::Release()
{
    if (!m_bCreated)
        return;
    for (IDirect3DTexture9*& p : m_pTextures)
    {
        p->Release();
        p = nullptr;
    }
    m_bCreated = false;
}

void StereoCodeLine::Draw(bool)
{
    if (!m_bCreated)
        return;
    IDirect3DSurface9* pSource = nullptr;
    IDirect3DSurface9* pBackBuffer = nullptr;
    IDirect3DTexture9* pTexture = m_nEye ? m_pTextures[0] : m_pTextures[1];
    if (SUCCEEDED(pTexture->GetSurfaceLevel(0, &pSource)) &&
        SUCCEEDED(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer)))
    {
        RECT rcDest{0, 0, 800, 1};
        m_pDevice->StretchRect(pSource, nullptr, pBackBuffer, &rcDest, D3DTEXF_NONE);
    }
    if (pBackBuffer)
        pBackBuffer->Release();
    if (pSource)
        pSource->Release();
}

void StereoCodeLine::DrawColumns(IDirect3DSurface9* pSurface, bool bFlag)
{
    D3DSURFACE_DESC desc{};
    if (!pSurface || FAILED(pSurface->GetDesc(&desc)) || desc.Width < 2 ||
        (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8))
        return;
    D3DLOCKED_RECT locked{};
    if (FAILED(pSurface->LockRect(&locked, nullptr, 0)))
        return;
    const DWORD nBlue = 0xFF0000FF, nRed = 0xFFFF0000;
    UINT nRows = std::min<UINT>(desc.Height, 768);
    for (UINT y = 0; y < nRows; ++y)
    {
        DWORD* pRow = reinterpret_cast<DWORD*>(static_cast<BYTE*>(locked.pBits) + static_cast<size_t>(y) * locked.Pitch);
        pRow[0] = bFlag ? nBlue : nRed;
        pRow[1] = bFlag ? nRed : nBlue;
    }
    pSurface->UnlockRect();
}
