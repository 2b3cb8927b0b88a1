// PixelImage::Load and PixelImage::Save: the file format is chosen by the extension after the
// last '.', without regard to case.
#include "core/ImageFileUtil.h"
#include "core/PixelImage.h"

#include <cstring>
#include <strings.h>

namespace
{
struct ImageFileType
{
    const char* m_szExtension;
    bool (PixelImage::*m_pfnLoad)(const char* szPath, bool bRgbOrder, bool bMipFlag);
    bool (*m_pfnSave)(const PixelImage& image, const char* szPath, bool bRgbOrder, int nQuality);
};

const ImageFileType g_FileTypes[] = {
    {"dds", &PixelImage::LoadDDS, [](const PixelImage& i, const char* p, bool b, int) { return i.SaveDDS(p, b); }},
    {"jpg", &PixelImage::LoadJPEG, [](const PixelImage& i, const char* p, bool b, int q) { return i.SaveJPEG(p, b, q); }},
    {"jpeg", &PixelImage::LoadJPEG, [](const PixelImage& i, const char* p, bool b, int q) { return i.SaveJPEG(p, b, q); }},
    {"png", &PixelImage::LoadPNG, [](const PixelImage& i, const char* p, bool b, int) { return i.SavePNG(p, b); }},
    {"tga", &PixelImage::LoadTGA, [](const PixelImage& i, const char* p, bool b, int) { return i.SaveTGA(p, b); }},
    {"bmp", &PixelImage::LoadBMP, [](const PixelImage& i, const char* p, bool b, int) { return i.SaveBMP(p, b); }},
    {"pcx", &PixelImage::LoadPCX, [](const PixelImage& i, const char* p, bool b, int) { return i.SavePCX(p, b); }},
};

const ImageFileType* FindFileType(const char* szPath)
{
    const char* pDot = szPath ? std::strrchr(szPath, '.') : nullptr;
    if (!pDot)
        return nullptr;
    for (const ImageFileType& type : g_FileTypes)
        if (strcasecmp(pDot + 1, type.m_szExtension) == 0)
            return &type;
    return nullptr;
}
}

bool PixelImage::Load(const char* szPath, bool bRgbOrder, int nMipMode)
{
    const ImageFileType* pType = FindFileType(szPath);
    Clear();
    if (!pType)
        return ImageFileError("Load", szPath, "unknown image file extension");
    if (!(this->*pType->m_pfnLoad)(szPath, bRgbOrder, nMipMode > 0))
        return false;
    if (nMipMode < 1)
    {
        mipCount = 1;
        return true;
    }
    // Mip chains need power-of-two sides; images the resize refuses (compressed, 565, float)
    // keep their size.
    int32_t nNewWidth = RoundToNearestPowerOfTwo(width), nNewHeight = RoundToNearestPowerOfTwo(height);
    if (nNewWidth != width || nNewHeight != height)
        Resize(nNewWidth, nNewHeight, 1);
    if (mipCount == 0)
        mipCount = GetFullMipCount();
    if (nMipMode == 2)
        CreateMipMaps();
    return true;
}

bool PixelImage::Save(const char* szPath, bool bRgbOrder, int nQuality) const
{
    const ImageFileType* pType = FindFileType(szPath);
    if (!pType)
        return ImageFileError("Save", szPath, "unknown image file extension");
    return pType->m_pfnSave(*this, szPath, bRgbOrder, nQuality);
}
