#include "MediaPictures.h"

#include "ColorPickerPictures.h"
#include "ToolkitPictures.h"

#include "core/ByteStream.h"
#include "core/FileIO.h"
#include "core/PixelBuffer.h"
#include "core/PixelFormat.h"
#include "core/PixelImage.h"
#include "core/Random.h"

#include <win32/gdi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

namespace
{
const int OVERLAY_WIDTH = 640;
const int OVERLAY_HEIGHT = 480;
const int OVERLAY_RESOURCE_ID = 271;
const int SPLASH_RESOURCE_ID = 125;
const int MENU_ICONS_RESOURCE_ID = 128;
const int PROGRAM_ICON_RESOURCE_ID = 129;
const int RGB_CUBE_RESOURCE_ID = 154;
const int HSB_WHEEL_RESOURCE_ID = 155;
const int NOISE_SIDE = 256;
const int SKY_SIDE = 64;
const int LIGHT_CUBE_SIDE = 16;
// The font texture: 16 x 16 cells of 16 pixels, character c in column c mod 16 of row c / 16.
const int FONT_CELL = 16;
const int FONT_SIDE = 16 * FONT_CELL;

bool Report(const std::string& strPath)
{
    std::fprintf(stderr, "picgen: cannot write %s\n", strPath.c_str());
    return false;
}

// An A8R8G8B8 DDS cube map of one level; fnColor gives 0xAARRGGBB for a unit direction.
bool WriteCubeDds(const std::string& strPath, int nSide, const std::function<uint32_t(float, float, float)>& fnColor)
{
    ByteWriter w;
    w.WriteU32(0x20534444);   // "DDS "
    // size, flags (caps, height, width, pixel format), height, width, pitch, depth, mip count
    for (uint32_t n : {124u, 0x1007u, uint32_t(nSide), uint32_t(nSide), uint32_t(nSide) * 4u, 0u, 0u})
        w.WriteU32(n);
    w.WriteZeros(44);
    // pixel format (RGB with alpha, 32 bits, masks) and caps (complex, texture; cube, all faces)
    for (uint32_t n : {32u, 0x41u, 0u, 32u, 0x00FF0000u, 0x0000FF00u, 0x000000FFu, 0xFF000000u, 0x1008u, 0xFE00u})
        w.WriteU32(n);
    w.WriteZeros(12);
    // Faces +x, -x, +y, -y, +z, -z; (s, t) run from -1 to 1 across and down each face.
    for (int nFace = 0; nFace < 6; ++nFace)
        for (int y = 0; y < nSide; ++y)
            for (int x = 0; x < nSide; ++x)
            {
                float s = (2.0f * (static_cast<float>(x) + 0.5f) / static_cast<float>(nSide)) - 1.0f;
                float t = (2.0f * (static_cast<float>(y) + 0.5f) / static_cast<float>(nSide)) - 1.0f;
                float d[6][3] = {{1, -t, -s}, {-1, -t, s}, {s, 1, t}, {s, -1, -t}, {s, -t, 1}, {-s, -t, -1}};
                float* v = d[nFace];
                float fLength = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
                w.WriteU32(fnColor(v[0] / fLength, v[1] / fLength, v[2] / fLength));
            }
    return WriteFileAtomic(strPath.c_str(), w.GetBuffer()) || Report(strPath);
}

uint32_t Argb(float r, float g, float b)
{
    auto Byte = [](float f) { return static_cast<uint32_t>(std::clamp(f, 0.0f, 1.0f) * 255.0f + 0.5f); };
    return 0xFF000000u | Byte(r) << 16 | Byte(g) << 8 | Byte(b);
}

// A sky: deep blue overhead, pale at the horizon, a dark brown ground below.
uint32_t SkyColor(float, float y, float)
{
    if (y >= 0.0f)
    {
        float k = std::sqrt(y);
        return Argb(0.85f - 0.65f * k, 0.88f - 0.48f * k, 0.95f - 0.15f * k);
    }
    float k = std::min(1.0f, -y * 4.0f);
    return Argb(0.85f - 0.55f * k, 0.88f - 0.66f * k, 0.95f - 0.80f * k);
}

// Noise of the project's own generator (fixed sequence), one value per channel.
bool WriteNoiseTexture(const std::string& strPath)
{
    SeedRandom(271828);
    const size_t nBytes = static_cast<size_t>(NOISE_SIDE) * NOISE_SIDE * 3;
    uint8_t* pPixels = AllocatePixels(nBytes);
    if (!pPixels)
        return Report(strPath);
    for (size_t i = 0; i < nBytes; ++i)
        pPixels[i] = static_cast<uint8_t>(Random() * 256 / 32768);
    PixelImage image;
    image.Adopt(pPixels, NOISE_SIDE, NOISE_SIDE, RGB8, true, false);
    return image.Save(strPath.c_str(), true, 100) || Report(strPath);
}

bool WriteWhiteTexture(const std::string& strPath)
{
    const int nSide = 8;
    uint8_t* pPixels = AllocatePixels(static_cast<size_t>(nSide) * nSide * 3);
    if (!pPixels)
        return Report(strPath);
    std::memset(pPixels, 255, static_cast<size_t>(nSide) * nSide * 3);
    PixelImage image;
    image.Adopt(pPixels, nSide, nSide, RGB8, true, false);
    return image.Save(strPath.c_str(), true, 100) || Report(strPath);
}

// The printable characters drawn with GDI, white, their coverage in alpha.
bool WriteFontTexture(const std::string& strPath)
{
    HDC hDC = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = FONT_SIDE;
    info.bmiHeader.biHeight = -FONT_SIDE;   // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    DWORD* pBits = nullptr;
    HBITMAP hBitmap = hDC ? CreateDIBSection(hDC, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&pBits), nullptr, 0)
                          : nullptr;
    HFONT hFont = CreateFontA(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, VARIABLE_PITCH, "Impact");
    bool bDrawn = hDC && hBitmap && pBits && hFont;
    if (bDrawn)
    {
        HGDIOBJ hOldBitmap = SelectObject(hDC, hBitmap);
        HGDIOBJ hOldFont = SelectObject(hDC, hFont);
        SetTextColor(hDC, RGB(255, 255, 255));
        SetBkColor(hDC, RGB(0, 0, 0));
        SetTextAlign(hDC, TA_TOP | TA_LEFT);
        std::memset(pBits, 0, static_cast<size_t>(FONT_SIDE) * FONT_SIDE * 4);
        for (int c = 32; c < 127; ++c)
        {
            char ch = static_cast<char>(c);
            SIZE size{};
            GetTextExtentPoint32A(hDC, &ch, 1, &size);
            int x = (c % 16) * FONT_CELL + std::max(0, (FONT_CELL - static_cast<int>(size.cx)) / 2);
            int y = (c / 16) * FONT_CELL + std::max(0, (FONT_CELL - static_cast<int>(size.cy)) / 2);
            ExtTextOutA(hDC, x, y, 0, nullptr, &ch, 1, nullptr);
        }
        SelectObject(hDC, hOldFont);
        SelectObject(hDC, hOldBitmap);
    }
    PixelImage image;
    if (bDrawn)
    {
        uint8_t* pPixels = AllocatePixels(static_cast<size_t>(FONT_SIDE) * FONT_SIDE * 4);
        bDrawn = pPixels != nullptr;
        for (int i = 0; bDrawn && i < FONT_SIDE * FONT_SIDE; ++i)
        {
            pPixels[i * 4] = pPixels[i * 4 + 1] = pPixels[i * 4 + 2] = 255;
            pPixels[i * 4 + 3] = static_cast<uint8_t>((pBits[i] >> 16) & 0xFF);
        }
        if (bDrawn)
            image.Adopt(pPixels, FONT_SIDE, FONT_SIDE, RGBA8, true, false);
    }
    if (hFont)
        DeleteObject(hFont);
    if (hBitmap)
        DeleteObject(hBitmap);
    if (hDC)
        DeleteDC(hDC);
    return (bDrawn && image.Save(strPath.c_str(), false, 100)) || Report(strPath);
}
}

bool WriteMediaFolder(const std::string& strFolder)
{
    const std::string strDir = strFolder + "/";
    bool bOk = WriteCubeDds(strDir + "t.dds", SKY_SIDE, SkyColor);
    bOk = WriteCubeDds(strDir + "Cubemap_blanc.dds", LIGHT_CUBE_SIDE,
                       [](float, float, float) { return 0xFFFFFFFFu; }) && bOk;
    bOk = WriteNoiseTexture(strDir + "DiffuseB.bmp") && bOk;
    bOk = WriteWhiteTexture(strDir + "white.jpg") && bOk;
    bOk = WriteFontTexture(strDir + "font2.dds") && bOk;
    return bOk;
}

std::vector<uint8_t> MakeOverlayBitmapFile()
{
    const uint32_t nPalette = 256 * 4;
    const uint32_t nPixels = static_cast<uint32_t>(OVERLAY_WIDTH) * OVERLAY_HEIGHT;   // rows are 640 bytes
    const uint32_t nOffset = 14 + 40 + nPalette;
    ByteWriter w;
    w.WriteU16(0x4D42);   // "BM"
    w.WriteU32(nOffset + nPixels);
    w.WriteU32(0);
    w.WriteU32(nOffset);
    // BITMAPINFOHEADER: size, width, height (bottom-up), planes, bits, no compression, image
    // size, resolution, colours used and important.
    w.WriteU32(40);
    w.WriteI32(OVERLAY_WIDTH);
    w.WriteI32(OVERLAY_HEIGHT);
    w.WriteU16(1);
    w.WriteU16(8);
    w.WriteU32(0);
    w.WriteU32(nPixels);
    w.WriteI32(2835);
    w.WriteI32(2835);
    w.WriteU32(256);
    w.WriteU32(0);
    // A grey ramp palette; every pixel uses entry 0, black.
    for (uint32_t i = 0; i < 256; ++i)
        w.WriteU32(i << 16 | i << 8 | i);
    w.WriteZeros(nPixels);
    return w.GetBuffer();
}

bool WritePictureResourceTable(const std::string& strPath)
{
    // Bitmap 271 (the overlay), 125 (the splash picture), 128 (the menu icons), 154 and 155 (the
    // colour pickers' cube and wheel); icon 129.
    const struct
    {
        const char* m_szType;
        int m_nId;
        std::vector<uint8_t> m_Data;
    } pictures[] = {
        {"BITMAP", OVERLAY_RESOURCE_ID, MakeOverlayBitmapFile()},
        {"BITMAP", SPLASH_RESOURCE_ID, MakeSplashBitmapFile()},
        {"BITMAP", MENU_ICONS_RESOURCE_ID, MakeMenuIconsBitmapFile()},
        {"ICON", PROGRAM_ICON_RESOURCE_ID, MakeProgramIconFile()},
        {"BITMAP", RGB_CUBE_RESOURCE_ID, MakeRgbCubeBitmapFile()},
        {"BITMAP", HSB_WHEEL_RESOURCE_ID, MakeHsbWheelBitmapFile()},
    };
    std::string strText = "// Generated by picgen; do not edit.\n#include <win32/resources.h>\n\nnamespace\n{\n";
    std::string strEntries;
    for (const auto& picture : pictures)
    {
        const std::vector<uint8_t>& bitmap = picture.m_Data;
        if (bitmap.empty())
            return Report(strPath);
        const std::string strName = std::string("s_") + picture.m_szType + std::to_string(picture.m_nId);
        strText += "const unsigned char " + strName + "[] = {";
        for (size_t i = 0; i < bitmap.size(); ++i)
        {
            if (i % 24 == 0)
                strText += "\n   ";
            strText += " " + std::to_string(bitmap[i]) + ",";
        }
        strText += "\n};\n\n";
        strEntries += std::string("    {\"") + picture.m_szType + "\", " + std::to_string(picture.m_nId) + ", " + strName +
                      ", sizeof(" + strName + ")},\n";
    }
    strText += "const ResourceEntry s_Pictures[] = {\n" + strEntries + "};\n\n" +
               "struct Registrar\n{\n    Registrar() { RegisterResourceTable(s_Pictures, " +
               std::to_string(std::size(pictures)) + "); }\n} s_Registrar;\n}\n";
    return WriteFileAtomic(strPath.c_str(), strText.data(), strText.size()) || Report(strPath);
}
