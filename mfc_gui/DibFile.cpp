// CDib's outside forms: the packed DIB in global memory, BMP files, and drawing to a device
// context. Everything read is measured and checked before the current image is touched.
#include "mfc_gui/Dib.h"

#include "mfc_gui/DibLayout.h"

#include <core/FileIO.h>
#include <core/Log.h>

#include <cstring>
#include <filesystem>
#include <new>
#include <vector>

namespace
{
const uint64_t MAX_BLOCK = 512ull << 20;
const WORD BMP_SIGNATURE = 0x4D42;   // "BM"
const size_t FILE_HEADER_SIZE = sizeof(BITMAPFILEHEADER);

bool Refuse(const char** pszReason, const char* szReason)
{
    if (pszReason)
        *pszReason = szReason;
    return false;
}
}

bool DibLayout::Measure(const BITMAPINFOHEADER& header, bool bFromOutside, DibLayout& layout, const char** pszReason)
{
    const int nBits = header.biBitCount;
    if (header.biWidth <= 0 || header.biHeight <= 0)
        return Refuse(pszReason, "the width and height must be positive");
    if (header.biWidth > CDib::MAX_SIDE || header.biHeight > CDib::MAX_SIDE)
        return Refuse(pszReason, "the image is too large");
    const bool bFileDepth = nBits == 1 || nBits == 4 || nBits == 8 || nBits == 24;
    if (!bFileDepth && (bFromOutside || (nBits != 16 && nBits != 32)))
        return Refuse(pszReason, "the depth must be 1, 4, 8 or 24 bits per pixel");
    if (bFromOutside && header.biCompression != BI_RGB)
        return Refuse(pszReason, "compressed images are not supported");
    if (bFromOutside && header.biSize < sizeof(BITMAPINFOHEADER))
        return Refuse(pszReason, "the header is shorter than 40 bytes");
    const uint64_t nBytesPerLine = ((static_cast<uint64_t>(header.biWidth) * nBits + 31) / 32) * 4;
    const uint64_t nColors = static_cast<uint64_t>(ColorCount(nBits));
    const uint64_t nTotal = sizeof(BITMAPINFOHEADER) + 4 * nColors + nBytesPerLine * static_cast<uint64_t>(header.biHeight);
    if (nTotal > MAX_BLOCK)
        return Refuse(pszReason, "the image is too large");
    layout.m_nColors = static_cast<int>(nColors);
    layout.m_nBytesPerLine = static_cast<size_t>(nBytesPerLine);
    layout.m_nTotal = static_cast<size_t>(nTotal);
    return true;
}

DWORD CDib::GetTotalSize() const
{
    if (!IsValid())
        return 0;
    return static_cast<DWORD>(sizeof(BITMAPINFOHEADER) + 4 * static_cast<size_t>(GetPaletteSize()) +
                              static_cast<size_t>(m_nBytesPerLine) * static_cast<size_t>(m_nHeight));
}

// ---- Reading

BOOL CDib::ReadPackedDib(const BYTE* pData, size_t nSize, const char* szWhat)
{
    BITMAPINFOHEADER header{};
    DibLayout layout;
    const char* szReason = "the header is cut short";
    if (!pData || nSize < sizeof(header))
    {
        LogError("CDib::ImportGlobal() - %s: %s.", szWhat, szReason);
        return FALSE;
    }
    std::memcpy(&header, pData, sizeof(header));
    if (!DibLayout::Measure(header, true, layout, &szReason))
    {
        LogError("CDib::ImportGlobal() - %s: %s.", szWhat, szReason);
        return FALSE;
    }
    // The colour table follows the header as long as the header says it is.
    const size_t nPixels = layout.m_nTotal - sizeof(BITMAPINFOHEADER) - 4 * static_cast<size_t>(layout.m_nColors);
    if (header.biSize > nSize || nSize - header.biSize < 4 * static_cast<size_t>(layout.m_nColors) + nPixels)
    {
        LogError("CDib::ImportGlobal() - %s: the pixel data is cut short.", szWhat);
        return FALSE;
    }
    CDib image;
    if (!image.Allocate(header))
        return FALSE;
    std::memcpy(image.m_pColors, pData + header.biSize, 4 * static_cast<size_t>(layout.m_nColors));
    std::memcpy(image.m_pBits, pData + header.biSize + 4 * static_cast<size_t>(layout.m_nColors), nPixels);
    Swap(image);
    return TRUE;
}

BOOL CDib::ReadBmpBytes(const BYTE* pData, size_t nSize, const char* szWhat)
{
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER header{};
    if (!pData || nSize < FILE_HEADER_SIZE + sizeof(header))
    {
        LogError("CDib::ReadBmp() - \"%s\": the file is too short for its headers.", szWhat);
        return FALSE;
    }
    std::memcpy(&file, pData, FILE_HEADER_SIZE);
    if (file.bfType != BMP_SIGNATURE)
    {
        LogError("CDib::ReadBmp() - \"%s\": the file does not start with \"BM\".", szWhat);
        return FALSE;
    }
    std::memcpy(&header, pData + FILE_HEADER_SIZE, sizeof(header));
    DibLayout layout;
    const char* szReason = "";
    if (!DibLayout::Measure(header, true, layout, &szReason))
    {
        LogError("CDib::ReadBmp() - \"%s\": %s.", szWhat, szReason);
        return FALSE;
    }
    const size_t nColorBytes = 4 * static_cast<size_t>(layout.m_nColors);
    const size_t nPixels = layout.m_nTotal - sizeof(BITMAPINFOHEADER) - nColorBytes;
    const size_t nColorsAt = FILE_HEADER_SIZE + header.biSize;
    if (header.biSize > nSize || nColorsAt > nSize || nSize - nColorsAt < nColorBytes)
    {
        LogError("CDib::ReadBmp() - \"%s\": the colour table is cut short.", szWhat);
        return FALSE;
    }
    if (file.bfOffBits > nSize || nSize - file.bfOffBits < nPixels)
    {
        LogError("CDib::ReadBmp() - \"%s\": the pixel data is cut short.", szWhat);
        return FALSE;
    }
    CDib image;
    if (!image.Allocate(header))
        return FALSE;
    std::memcpy(image.m_pColors, pData + nColorsAt, nColorBytes);
    std::memcpy(image.m_pBits, pData + file.bfOffBits, nPixels);
    Swap(image);
    return TRUE;
}

BOOL CDib::ReadBmp(const char* szFileName)
{
    std::vector<uint8_t> data;
    if (!szFileName || !ReadWholeFile(szFileName, data))
    {
        LogError("CDib::ReadBmp() - \"%s\" cannot be read.", szFileName ? szFileName : "");
        return FALSE;
    }
    return ReadBmpBytes(data.data(), data.size(), szFileName);
}

BOOL CDib::LoadFile(const char* szFileName)
{
    return ReadBmp(szFileName);
}

BOOL CDib::ImportGlobal(HGLOBAL hGlobal)
{
    const BYTE* pData = static_cast<const BYTE*>(GlobalLock(hGlobal));
    if (!pData)
        return FALSE;
    const BOOL bRead = ReadPackedDib(pData, GlobalSize(hGlobal), "the packed image");
    GlobalUnlock(hGlobal);
    return bRead;
}

// ---- Writing

HGLOBAL CDib::ExportGlobal() const
{
    if (!IsValid())
        return nullptr;
    HGLOBAL hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, GetTotalSize());
    if (!hGlobal)
        return nullptr;
    void* pOut = GlobalLock(hGlobal);
    if (!pOut)
    {
        GlobalFree(hGlobal);
        return nullptr;
    }
    std::memcpy(pOut, m_pBlock.get(), GetTotalSize());
    GlobalUnlock(hGlobal);
    return hGlobal;
}

std::unique_ptr<BYTE[]> CDib::BmpBytes(size_t& nSize) const
{
    nSize = 0;
    if (!IsValid())
        return nullptr;
    const size_t nTotal = FILE_HEADER_SIZE + GetTotalSize();
    std::unique_ptr<BYTE[]> pBytes(new (std::nothrow) BYTE[nTotal]);
    if (!pBytes)
        return nullptr;
    BITMAPFILEHEADER file{};
    file.bfType = BMP_SIGNATURE;
    file.bfSize = static_cast<DWORD>(nTotal);
    file.bfOffBits = static_cast<DWORD>(FILE_HEADER_SIZE + sizeof(BITMAPINFOHEADER) + 4 * GetPaletteSize());
    std::memcpy(pBytes.get(), &file, FILE_HEADER_SIZE);
    std::memcpy(pBytes.get() + FILE_HEADER_SIZE, m_pBlock.get(), GetTotalSize());
    nSize = nTotal;
    return pBytes;
}

BOOL CDib::SaveFile(const char* szFileName, int nFormat) const
{
    size_t nSize = 0;
    std::unique_ptr<BYTE[]> pBytes = BmpBytes(nSize);
    if (!szFileName || nFormat != 0 || !pBytes)
        return FALSE;
    if (!WriteFileAtomic(szFileName, pBytes.get(), nSize))
    {
        LogError("CDib::SaveFile() - \"%s\" cannot be written.", szFileName);
        return FALSE;
    }
    return TRUE;
}

BOOL CDib::WriteBmp(const char* szFileName) const
{
    std::error_code error;
    if (!szFileName || !std::filesystem::is_regular_file(szFileName, error))
        return FALSE;
    return SaveFile(szFileName, 0);
}

// ---- Drawing

int CDib::Draw(HDC hdc, int xDest, int yDest, int nWidth, int nHeight, int xSource, int ySource) const
{
    if (!IsValid())
        return 0;
    return SetDIBitsToDevice(hdc, xDest, yDest, static_cast<DWORD>(nWidth), static_cast<DWORD>(nHeight), xSource,
                             m_nHeight - ySource - nHeight, 0, static_cast<UINT>(m_nHeight), m_pBits,
                             reinterpret_cast<const BITMAPINFO*>(m_pInfo), DIB_RGB_COLORS);
}

int CDib::StretchDraw(HDC hdc, int xDest, int yDest, int nDestWidth, int nDestHeight, int xSource, int ySource,
                      int nSourceWidth, int nSourceHeight) const
{
    if (!IsValid())
        return 0;
    return StretchDIBits(hdc, xDest, yDest, nDestWidth, nDestHeight, xSource, ySource, nSourceWidth, nSourceHeight,
                         m_pBits, reinterpret_cast<const BITMAPINFO*>(m_pInfo), DIB_RGB_COLORS, SRCCOPY);
}

HBITMAP CDib::CreateBitmap(CDC* pDC) const
{
    if (!IsValid() || !pDC)
        return nullptr;
    return CreateDIBitmap(pDC->m_hDC, m_pInfo, CBM_INIT, m_pBits, reinterpret_cast<const BITMAPINFO*>(m_pInfo),
                          DIB_RGB_COLORS);
}

CBitmap* CDib::CreateBitmapCopy(CDC* pDC) const
{
    HBITMAP hBitmap = CreateBitmap(pDC);
    if (!hBitmap)
        return nullptr;
    BITMAP bm{};
    CBitmap* pCopy = nullptr;
    if (GetObjectA(hBitmap, sizeof(bm), &bm))
    {
        const LONG nBytes = bm.bmWidthBytes * bm.bmHeight;
        std::unique_ptr<BYTE[]> pBits(new (std::nothrow) BYTE[static_cast<size_t>(nBytes)]);
        bm.bmBits = nullptr;
        if (pBits && GetBitmapBits(hBitmap, nBytes, pBits.get()) == nBytes)
        {
            pCopy = new CBitmap;
            if (!pCopy->CreateBitmapIndirect(&bm) || !SetBitmapBits(static_cast<HBITMAP>(pCopy->m_hObject),
                                                                   static_cast<DWORD>(nBytes), pBits.get()))
            {
                delete pCopy;
                pCopy = nullptr;
            }
        }
    }
    DeleteObject(hBitmap);
    return pCopy;
}
