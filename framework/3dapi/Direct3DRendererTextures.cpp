// Direct3DRenderer: device textures made from images, uploads level by level, and the device
// side of render-target entries.
#include "3dapi/Direct3DRenderTarget.h"
#include "3dapi/Direct3DRenderer.h"

#include "core/Log.h"
#include "core/PixelImage.h"
#include "core/VolumeImage.h"

#include <algorithm>

#include <cstring>

const D3DFORMAT g_TextureFormats[11] = {
    D3DFMT_UNKNOWN,                                        // none
    D3DFMT_L8,                                             // I8
    D3DFMT_X8R8G8B8,                                       // RGB8, widened to RGBA8 before upload
    D3DFMT_A8R8G8B8,                                       // RGBA8
    D3DFMT_UNKNOWN, D3DFMT_UNKNOWN, D3DFMT_UNKNOWN,        // I32F, RGB32F, RGBA32F
    D3DFMT_R5G6B5,                                         // RGB565
    D3DFMT_DXT1, D3DFMT_DXT3, D3DFMT_DXT5,
};

namespace
{
D3DFORMAT DeviceFormatOf(int nFormat)
{
    return nFormat >= 0 && nFormat < 11 ? g_TextureFormats[nFormat] : D3DFMT_UNKNOWN;
}
}

void Direct3DRenderer::CreateDeviceTexture(TextureEntry& entry)
{
    if (entry.m_bRenderTarget)
    {
        entry.m_pRenderTarget = new Direct3DRenderTarget(m_pDevice);
        return;
    }
    if (entry.m_nType == TEXTURE_VOLUME)
        return CreateVolumeTexture(entry);
    const PixelImage* pImage = entry.m_pImages[0];
    if ((entry.m_nType != TEXTURE_2D && entry.m_nType != TEXTURE_CUBE) || !pImage)
        return;
    D3DFORMAT nFormat = DeviceFormatOf(pImage->GetFormat());
    if (nFormat == D3DFMT_UNKNOWN)
    {
        LogWarning("Direct3DRenderer::CreateDeviceTexture() - pixel format %d has no Direct3D format.",
                   pImage->GetFormat());
        return;
    }
    // As many levels as the image holds, so that no device level is left unfilled.
    UINT nLevels = static_cast<UINT>(pImage->mipCount > 1 ? pImage->mipCount : 1);
    UINT nWidth = static_cast<UINT>(pImage->width), nHeight = static_cast<UINT>(pImage->height);
    HRESULT hr;
    if (entry.m_nType == TEXTURE_2D)
    {
        IDirect3DTexture9* pTexture = nullptr;
        hr = m_pDevice->CreateTexture(nWidth, nHeight, nLevels, 0, nFormat, D3DPOOL_MANAGED, &pTexture, nullptr);
        entry.m_pDeviceTexture = pTexture;
    }
    else
    {
        IDirect3DCubeTexture9* pTexture = nullptr;
        hr = m_pDevice->CreateCubeTexture(nWidth, nLevels, 0, nFormat, D3DPOOL_MANAGED, &pTexture, nullptr);
        entry.m_pDeviceTexture = pTexture;
    }
    if (FAILED(hr))
    {
        LogWarning("Direct3DRenderer::CreateDeviceTexture() - texture of %d x %d could not be created.", pImage->width,
                   pImage->height);
        entry.m_pDeviceTexture = nullptr;
    }
}

void Direct3DRenderer::ReleaseDeviceTexture(TextureEntry& entry)
{
    if (entry.m_pRenderTarget)
    {
        entry.m_pRenderTarget->Release();
        delete entry.m_pRenderTarget;
        entry.m_pRenderTarget = nullptr;
    }
    if (entry.m_pDeviceTexture)
    {
        entry.m_pDeviceTexture->Release();
        entry.m_pDeviceTexture = nullptr;
    }
}

void Direct3DRenderer::CreateVolumeTexture(TextureEntry& entry)
{
    const VolumeImage* pVolume = entry.m_pVolume;
    if (!pVolume || !pVolume->pixels)
        return;
    // Voxels of one byte are luminance, of four bytes the layer's BGRA.
    D3DFORMAT nFormat = pVolume->bytesPerVoxel == 1 ? D3DFMT_L8 : pVolume->bytesPerVoxel == 4 ? D3DFMT_A8R8G8B8
                                                                                             : D3DFMT_UNKNOWN;
    if (nFormat == D3DFMT_UNKNOWN)
    {
        LogWarning("Direct3DRenderer::CreateDeviceTexture() - volumes of %d bytes a voxel have no Direct3D format.",
                   pVolume->bytesPerVoxel);
        return;
    }
    IDirect3DVolumeTexture9* pTexture = nullptr;
    HRESULT hr = m_pDevice->CreateVolumeTexture(static_cast<UINT>(pVolume->width), static_cast<UINT>(pVolume->height),
                                                static_cast<UINT>(pVolume->depth),
                                                static_cast<UINT>(std::max(1, pVolume->mipCount)), 0, nFormat,
                                                D3DPOOL_MANAGED, &pTexture, nullptr);
    if (FAILED(hr))
    {
        LogWarning("Direct3DRenderer::CreateDeviceTexture() - volume of %d x %d x %d could not be created.",
                   pVolume->width, pVolume->height, pVolume->depth);
        pTexture = nullptr;
    }
    entry.m_pDeviceTexture = pTexture;
}

bool Direct3DRenderer::UploadVolume(TextureEntry& entry)
{
    const VolumeImage* pVolume = entry.m_pVolume;
    if (!pVolume || !pVolume->pixels)
        return false;
    auto* pTexture = static_cast<IDirect3DVolumeTexture9*>(entry.m_pDeviceTexture);
    UINT nDeviceLevels = pTexture->GetLevelCount();
    for (int32_t nLevel = 0; nLevel < pVolume->mipCount && static_cast<UINT>(nLevel) < nDeviceLevels; ++nLevel)
    {
        size_t nRowBytes = static_cast<size_t>(pVolume->GetLevelWidth(nLevel)) * pVolume->bytesPerVoxel;
        size_t nRows = static_cast<size_t>(pVolume->GetLevelHeight(nLevel));
        size_t nSlices = static_cast<size_t>(pVolume->GetLevelDepth(nLevel));
        D3DLOCKED_BOX locked{};
        if (FAILED(pTexture->LockBox(static_cast<UINT>(nLevel), &locked, nullptr, 0)))
        {
            LogWarning("Direct3DRenderer::UploadTexture() - volume level %d could not be locked.", nLevel);
            return false;
        }
        bool bFits = locked.RowPitch >= 0 && static_cast<size_t>(locked.RowPitch) >= nRowBytes &&
                     locked.SlicePitch >= 0 && static_cast<size_t>(locked.SlicePitch) >= nRows * locked.RowPitch;
        if (bFits)
        {
            const uint8_t* pSource = pVolume->GetLevelPixels(nLevel);
            auto* pDest = static_cast<uint8_t*>(locked.pBits);
            // Row by row with the locked pitches, which may exceed the packed sizes.
            for (size_t nSlice = 0; nSlice < nSlices; ++nSlice)
                for (size_t nRow = 0; nRow < nRows; ++nRow)
                    std::memcpy(pDest + nSlice * static_cast<size_t>(locked.SlicePitch) +
                                    nRow * static_cast<size_t>(locked.RowPitch),
                                pSource + (nSlice * nRows + nRow) * nRowBytes, nRowBytes);
        }
        pTexture->UnlockBox(static_cast<UINT>(nLevel));
        if (!bFits)
            return false;
    }
    return true;
}

bool Direct3DRenderer::UploadTexture(TextureEntry& entry)
{
    if (entry.m_nType == TEXTURE_VOLUME)
        return entry.m_pDeviceTexture && UploadVolume(entry);
    int nFaces = entry.m_nType == TEXTURE_2D ? 1 : entry.m_nType == TEXTURE_CUBE ? 6 : 0;
    if (!nFaces || !entry.m_pDeviceTexture)
        return false;
    for (int nFace = 0; nFace < nFaces; ++nFace)
        if (!UploadFace(entry, nFace))
            return false;
    return true;
}

bool Direct3DRenderer::UploadFace(TextureEntry& entry, int nFace)
{
    PixelImage* pImage = entry.m_pImages[nFace];
    if (!pImage || !pImage->pixels)
        return false;
    if (pImage->GetFormat() == RGB8 && !pImage->Convert(RGBA8))
        return false;
    // The device texture was made from image 0: every cube face must have its size and format.
    const PixelImage* pFirst = entry.m_pImages[0];
    if (pImage->width != pFirst->width || pImage->height != pFirst->height || pImage->format != pFirst->format)
    {
        LogWarning("Direct3DRenderer::UploadTexture() - cube face %d differs from face 0 in size or format.", nFace);
        return false;
    }
    if (m_bColorMipMaps)
        pImage->TintMipLevels();

    // A 2D texture, or face nFace of a cube: only the one that matches the entry is cast to.
    bool bCube = entry.m_nType == TEXTURE_CUBE;
    auto nCubeFace = static_cast<D3DCUBEMAP_FACES>(nFace);
    auto lockLevel = [&](UINT nLevel, D3DLOCKED_RECT* pLocked) {
        if (bCube)
            return static_cast<IDirect3DCubeTexture9*>(entry.m_pDeviceTexture)
                ->LockRect(nCubeFace, nLevel, pLocked, nullptr, 0);
        return static_cast<IDirect3DTexture9*>(entry.m_pDeviceTexture)->LockRect(nLevel, pLocked, nullptr, 0);
    };
    auto unlockLevel = [&](UINT nLevel) {
        if (bCube)
            static_cast<IDirect3DCubeTexture9*>(entry.m_pDeviceTexture)->UnlockRect(nCubeFace, nLevel);
        else
            static_cast<IDirect3DTexture9*>(entry.m_pDeviceTexture)->UnlockRect(nLevel);
    };
    bool bCompressed = IsCompressedFormat(pImage->GetFormat());
    UINT nDeviceLevels = entry.m_pDeviceTexture->GetLevelCount();
    for (int32_t nLevel = 0; nLevel < pImage->mipCount && static_cast<UINT>(nLevel) < nDeviceLevels; ++nLevel)
    {
        // Rows of pixels, or of 4 x 4 blocks for the compressed formats, packed in the image.
        size_t nWidth = static_cast<size_t>(pImage->GetLevelWidth(nLevel));
        size_t nRows = static_cast<size_t>(pImage->GetLevelHeight(nLevel));
        size_t nRowBytes = nWidth * static_cast<size_t>(GetBytesPerPixel(pImage->GetFormat()));
        if (bCompressed)
        {
            nRows = (nRows + 3) / 4;
            nRowBytes = (nWidth + 3) / 4 * static_cast<size_t>(GetBytesPerBlock(pImage->GetFormat()));
        }
        D3DLOCKED_RECT locked{};
        if (FAILED(lockLevel(static_cast<UINT>(nLevel), &locked)))
        {
            LogWarning("Direct3DRenderer::UploadTexture() - level %d could not be locked.", nLevel);
            return false;
        }
        bool bFits = locked.Pitch >= 0 && static_cast<size_t>(locked.Pitch) >= nRowBytes;
        if (bFits)
        {
            const uint8_t* pSource = pImage->GetLevelPixels(nLevel);
            auto* pDest = static_cast<uint8_t*>(locked.pBits);
            // The locked pitch may exceed the packed row, so each row is copied on its own.
            for (size_t nRow = 0; nRow < nRows; ++nRow)
                std::memcpy(pDest + nRow * static_cast<size_t>(locked.Pitch), pSource + nRow * nRowBytes, nRowBytes);
        }
        unlockLevel(static_cast<UINT>(nLevel));
        if (!bFits)
        {
            LogWarning("Direct3DRenderer::UploadTexture() - level %d has a pitch of %d for rows of %zu bytes.", nLevel,
                       locked.Pitch, nRowBytes);
            return false;
        }
    }
    return true;
}
