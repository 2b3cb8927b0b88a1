// The renderer's texture table: images turned into device textures, slots handed out as ids,
// render-target entries and their binding.
#include "3dapi/Renderer.h"

#include "core/Log.h"
#include "core/PixelImage.h"
#include "core/VolumeImage.h"

namespace
{
// The filter bits of the texture flags, highest first: the highest one set is the entry's filter.
const int FILTER_BITS[] = {TEXTURE_FILTER_128, TEXTURE_FILTER_64, TEXTURE_FILTER_32, TEXTURE_FILTER_16};

int FilterFromFlags(int nFlags)
{
    for (int nBit : FILTER_BITS)
        if (nFlags & nBit)
            return nBit;
    return 0;
}

// PixelImage::Load mip modes.
const int MIP_MODE_POWER_OF_TWO = 1;  // sides rounded to powers of two, no chain built
const int MIP_MODE_FULL_CHAIN = 2;    // as 1, with the chain built by the loader
}

int Renderer::LoadTexture(const char* szPath, int nFlags)
{
    PixelImage* pImage = new PixelImage;
    int nMipMode = (nFlags & TEXTURE_HEIGHT_MAP) ? MIP_MODE_POWER_OF_TWO : MIP_MODE_FULL_CHAIN;
    if (!szPath || !pImage->Load(szPath, m_bRgbOrder, nMipMode))
    {
        delete pImage;
        return -1;
    }
    return AddTexture(pImage, nFlags);
}

int Renderer::AddTexture(PixelImage* pImage, int nFlags)
{
    if (!pImage)
        return -1;
    TextureEntry entry{};
    entry.m_nType = TEXTURE_2D;
    entry.m_pImages[0] = pImage;
    entry.m_nFilter = FilterFromFlags(nFlags);
    entry.m_bClampS = (nFlags & TEXTURE_CLAMP_S) != 0;
    entry.m_bClampT = (nFlags & TEXTURE_CLAMP_T) != 0;
    entry.m_bFlag = (nFlags & TEXTURE_USER_FLAG) != 0;
    entry.m_nAnisotropy = 1;

    if (nFlags & TEXTURE_HEIGHT_MAP)
    {
        if (pImage->GetFormat() != I8)
            pImage->ToGrayScale(m_bRgbOrder, false);
        pImage->ToNormalMap(m_bRgbOrder);
        pImage->CreateMipMaps();
    }
    if (nFlags & TEXTURE_MIP_ALPHA)
        pImage->MipLevelToAlpha();

    CreateDeviceTexture(entry);
    int nId = UploadTexture(entry) ? StoreTexture(entry) : -1;
    if (nId < 0)
    {
        ReleaseDeviceTexture(entry);
        delete pImage;
    }
    return nId;
}

int Renderer::StoreTexture(const TextureEntry& entry)
{
    int nId = 0;
    int nCount = m_TextureEntries.GetCount();
    while (nId < nCount && m_TextureEntries[nId].m_pDeviceTexture)
        ++nId;
    if (nId < nCount)
        m_TextureEntries[nId] = entry;
    else if ((nId = m_TextureEntries.Add(entry)) < 0)
    {
        LogError("Renderer::StoreTexture() - the texture table cannot grow past %d entries.", nCount);
        return -1;
    }
    SetTextureAnisotropy(nId, m_bAnisotropic);
    return nId;
}

void Renderer::DeleteEntryImages(TextureEntry& entry)
{
    if (entry.m_bRenderTarget)
        return;
    for (PixelImage*& pImage : entry.m_pImages)
    {
        delete pImage;
        pImage = nullptr;
    }
    delete entry.m_pVolume;
    entry.m_pVolume = nullptr;
}

void Renderer::DestroyTexture(int nId)
{
    TextureEntry* pEntry = FindTextureEntry(nId);
    if (!pEntry || !pEntry->m_pDeviceTexture)
        return;
    ReleaseDeviceTexture(*pEntry);
    DeleteEntryImages(*pEntry);
    pEntry->m_pDeviceTexture = nullptr;
    pEntry->m_pRenderTarget = nullptr;
}

int Renderer::NextTexture(int nId) const
{
    for (int i = nId < -1 ? 0 : nId + 1; i < m_TextureEntries.GetCount(); ++i)
        if (m_TextureEntries[i].m_pDeviceTexture)
            return i;
    return -1;
}

int Renderer::CreateRenderTarget(int nWidth, int nHeight, bool bMipChain, bool bCube, RenderTargetFormat nFormat)
{
    TextureEntry entry{};
    entry.m_nType = bCube ? TEXTURE_CUBE : TEXTURE_2D;
    entry.m_bRenderTarget = true;
    entry.m_nAnisotropy = 1;
    CreateDeviceTexture(entry);
    if (entry.m_pRenderTarget && entry.m_pRenderTarget->Create(nWidth, nHeight, bMipChain, bCube, nFormat))
    {
        // The target's reference to its texture passes to the entry, which releases it.
        entry.m_pDeviceTexture = entry.m_pRenderTarget->GetTexture();
        int nId = StoreTexture(entry);
        if (nId >= 0)
            return nId;
    }
    ReleaseDeviceTexture(entry);
    return -1;
}

bool Renderer::BindRenderTarget(int nIndex, int nId)
{
    if (nId == m_nCurrentRenderTarget)
        return false;
    RenderTarget* pTarget = nullptr;
    if (nId != -1)
    {
        const TextureEntry* pEntry = GetTextureEntry(nId);
        pTarget = pEntry && pEntry->m_pDeviceTexture ? pEntry->m_pRenderTarget : nullptr;
        if (!pTarget)
        {
            LogWarning("Renderer::BindRenderTarget() - texture %d is not a render target.", nId);
            return false;
        }
    }
    SelectStage(0);
    bool bResult = pTarget ? pTarget->Bind(nIndex) : RestoreBackBuffer();
    m_nCurrentRenderTarget = nId;
    return bResult;
}

bool Renderer::SelectCubeFace(int nId, int nFace)
{
    const TextureEntry* pEntry = GetTextureEntry(nId);
    if (!pEntry || !pEntry->m_pDeviceTexture || !pEntry->m_pRenderTarget || nFace < 0 || nFace >= 6)
        return false;
    return pEntry->m_pRenderTarget->SelectFace(nFace);
}
