// LoadImage and LoadBitmap for BMP files and bitmap resources (icons go to the icon loader). Every header field is read
// through the bounds-checked byte reader and checked against the bytes present before any
// pixel is touched.
#include "ImageLoaders.h"
#include "RasterOps.h"

#include <core/ByteStream.h>
#include <core/FileIO.h>
#include <core/Log.h>
#include <win32/paths.h>
#include <win32/resources.h>
#include <win32/user.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{
constexpr uint16_t kBmpSignature = 0x4D42;   // "BM"
constexpr int kMaxSide = 32768;
constexpr size_t kFileHeaderSize = 14;

HBITMAP Refuse(const char* szName, const char* szReason)
{
    LogError("LoadImage() - \"%s\": %s.", szName, szReason);
    return nullptr;
}

}

bool ParseDib(const uint8_t* pData, size_t nSize, const char* szName, PackedDib& dib)
{
    ByteReader reader(pData, nSize);
    size_t nPixelOffset = 0;
    uint16_t nSignature = 0;
    if (nSize >= 2 && pData[0] == 'B' && pData[1] == 'M')
    {
        uint32_t nFileSize = 0;
        uint32_t nOffBits = 0;
        reader.ReadU16(nSignature);
        reader.ReadU32(nFileSize);
        reader.Skip(4);
        reader.ReadU32(nOffBits);
        if (!reader.IsGood())
            return Refuse(szName, "the file header is cut short"), false;
        nPixelOffset = nOffBits;
    }
    size_t nHeaderStart = reader.GetPosition();
    BITMAPINFOHEADER& h = dib.m_Header;
    uint32_t nHeaderSize = 0;
    reader.ReadU32(nHeaderSize);
    reader.ReadI32(h.biWidth);
    reader.ReadI32(h.biHeight);
    reader.ReadU16(h.biPlanes);
    reader.ReadU16(h.biBitCount);
    reader.ReadU32(h.biCompression);
    reader.ReadU32(h.biSizeImage);
    reader.ReadI32(h.biXPelsPerMeter);
    reader.ReadI32(h.biYPelsPerMeter);
    reader.ReadU32(h.biClrUsed);
    reader.ReadU32(h.biClrImportant);
    h.biSize = sizeof(BITMAPINFOHEADER);
    if (!reader.IsGood() || nHeaderSize < sizeof(BITMAPINFOHEADER))
        return Refuse(szName, "the bitmap header is cut short or too small"), false;
    int nBits = h.biBitCount;
    if (nBits != 1 && nBits != 4 && nBits != 8 && nBits != 24 && nBits != 32)
        return Refuse(szName, "the bit depth is not 1, 4, 8, 24 or 32"), false;
    if (h.biCompression != BI_RGB)
        return Refuse(szName, "the pixels are compressed"), false;
    if (h.biWidth <= 0 || h.biHeight == 0 || h.biWidth > kMaxSide || std::abs(static_cast<int64_t>(h.biHeight)) > kMaxSide)
        return Refuse(szName, "the size is out of range"), false;
    if (h.biPlanes != 1)
        return Refuse(szName, "the plane count is not 1"), false;
    size_t nColors = nBits <= 8 ? (h.biClrUsed ? h.biClrUsed : (size_t{1} << nBits)) : 0;
    if (nColors > (size_t{1} << (nBits <= 8 ? nBits : 0)) && nBits <= 8)
        return Refuse(szName, "the colour table is larger than the depth allows"), false;
    if (!reader.Seek(nHeaderStart + nHeaderSize))
        return Refuse(szName, "the bitmap header runs past the end"), false;
    dib.m_Info.assign(sizeof(BITMAPINFOHEADER) + nColors * sizeof(RGBQUAD), 0);
    std::memcpy(dib.m_Info.data(), &h, sizeof(h));
    for (size_t i = 0; i < nColors; ++i)
    {
        RGBQUAD q{};
        if (!reader.ReadU8(q.rgbBlue) || !reader.ReadU8(q.rgbGreen) || !reader.ReadU8(q.rgbRed) || !reader.ReadU8(q.rgbReserved))
            return Refuse(szName, "the colour table is cut short"), false;
        std::memcpy(dib.m_Info.data() + sizeof(BITMAPINFOHEADER) + i * sizeof(RGBQUAD), &q, sizeof(q));
    }
    if (nSignature != kBmpSignature)
        nPixelOffset = reader.GetPosition();
    uint64_t nRowBytes = static_cast<uint64_t>(Surface::RowBytes(h.biWidth, nBits, 4));
    uint64_t nNeeded = nRowBytes * static_cast<uint64_t>(std::abs(static_cast<int64_t>(h.biHeight)));
    if (nPixelOffset < reader.GetPosition() || nPixelOffset > nSize || nSize - nPixelOffset < nNeeded)
        return Refuse(szName, "the pixel rows run past the end of the file"), false;
    dib.m_pBits = pData + nPixelOffset;
    return true;
}

namespace
{

HBITMAP BitmapFromBytes(const uint8_t* pData, size_t nSize, const char* szName, int cx, int cy, UINT fuLoad)
{
    PackedDib dib;
    if (!ParseDib(pData, nSize, szName, dib))
        return nullptr;
    const auto* pInfo = reinterpret_cast<const BITMAPINFO*>(dib.m_Info.data());
    int nWidth = dib.m_Header.biWidth;
    int nHeight = std::abs(dib.m_Header.biHeight);
    int nOutW = cx > 0 ? cx : nWidth;
    int nOutH = cy > 0 ? cy : nHeight;
    bool bMono = dib.m_Header.biBitCount == 1 || (fuLoad & LR_MONOCHROME);
    HBITMAP hbm = nullptr;
    if (fuLoad & LR_CREATEDIBSECTION)
    {
        BITMAPINFO out{};
        out.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), nOutW, -nOutH, 1,
                                         static_cast<WORD>(bMono ? 1 : dib.m_Header.biBitCount == 32 ? 32 : 24), BI_RGB, 0, 0, 0, 0, 0};
        void* pBits = nullptr;
        hbm = CreateDIBSection(nullptr, &out, DIB_RGB_COLORS, &pBits, nullptr, 0);
    }
    else
        hbm = CreateBitmap(nOutW, nOutH, 1, bMono ? 1 : 32, nullptr);
    if (!hbm)
        return Refuse(szName, "no bitmap of that size can be made");
    HDC hdc = CreateCompatibleDC(nullptr);
    HGDIOBJ hOld = SelectObject(hdc, hbm);
    StretchDIBits(hdc, 0, 0, nOutW, nOutH, 0, 0, nWidth, nHeight, dib.m_pBits, pInfo, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    return hbm;
}

HBITMAP BitmapFromResource(LPCSTR name, int cx, int cy, UINT fuLoad)
{
    int nId = -1;
    if (IS_INTRESOURCE(name))
        nId = static_cast<int>(reinterpret_cast<uintptr_t>(name));
    else if (name && name[0] == '#')
        nId = std::atoi(name + 1);
    const ResourceEntry* pEntry = nId >= 0 ? FindResourceEntry("BITMAP", nId) : nullptr;
    if (!pEntry)
        return nullptr;
    std::string strName = "#" + std::to_string(nId);
    return BitmapFromBytes(static_cast<const uint8_t*>(pEntry->m_pData), pEntry->m_nSize, strName.c_str(), cx, cy, fuLoad);
}
}

HANDLE LoadImageA(HINSTANCE, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad)
{
    if (!name || (type != IMAGE_BITMAP && type != IMAGE_ICON))
        return nullptr;
    if (type == IMAGE_ICON)
        return (fuLoad & LR_LOADFROMFILE) ? LoadIconFromFile(name, cx, cy) : LoadIconImage(name, cx, cy);
    if (!(fuLoad & LR_LOADFROMFILE))
        return BitmapFromResource(name, cx, cy, fuLoad);
    std::vector<uint8_t> data;
    if (!ReadWholeFile(name, data))
        return Refuse(name, "the file cannot be read");
    return BitmapFromBytes(data.data(), data.size(), name, cx, cy, fuLoad);
}

HBITMAP LoadBitmapA(HINSTANCE, LPCSTR lpBitmapName)
{
    return BitmapFromResource(lpBitmapName, 0, 0, LR_DEFAULTCOLOR);
}
