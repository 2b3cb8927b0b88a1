#pragma once
// What the bitmap and icon loaders share: a packed DIB checked against the bytes present, and
// the icon loader's entry points for LoadImage.
#include <win32/gdi.h>

#include <cstddef>
#include <cstdint>
#include <vector>

struct PackedDib
{
    std::vector<uint8_t> m_Info;   // BITMAPINFOHEADER followed by the colour table
    const uint8_t* m_pBits = nullptr;
    BITMAPINFOHEADER m_Header{};
};

// Reads a BMP file or a packed DIB (header, colour table, rows); false, with the reason logged
// under szName, when any part is missing, cut short or of a kind not read.
bool ParseDib(const uint8_t* pData, size_t nSize, const char* szName, PackedDib& dib);

// An icon from ".ico" data: a file, or an "ICON" resource (MAKEINTRESOURCE(id) or "#id"; the
// stock icons' ids give the stock icon when the program has no icon of that number). The image
// closest to cx x cy is taken (0: the first).
HICON LoadIconFromFile(LPCSTR lpFileName, int cx, int cy);
HICON LoadIconImage(LPCSTR lpName, int cx, int cy);
