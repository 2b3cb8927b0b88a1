#include "ToolkitPictures.h"

#include "core/ByteStream.h"
#include "core/FileIO.h"

#include <win32/gdi.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace
{
const int SPLASH_WIDTH = 512;
const int SPLASH_HEIGHT = 384;
const int ICON_SIDE = 16;
const int ICON_COUNT = 8;
const uint32_t SKIN_TRANSPARENT = 0x5D5D5D;

// A top-down 32-bit drawing surface with GDI on it; pixels are 0x00RRGGBB.
class Canvas
{
public:
    Canvas(int nWidth, int nHeight) : m_nWidth(nWidth), m_nHeight(nHeight)
    {
        m_hDC = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = nWidth;
        info.bmiHeader.biHeight = -nHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        m_hBitmap = m_hDC ? CreateDIBSection(m_hDC, &info, DIB_RGB_COLORS, &pBits, nullptr, 0) : nullptr;
        m_pBits = static_cast<uint32_t*>(pBits);
        if (m_hBitmap)
            m_hOld = SelectObject(m_hDC, m_hBitmap);
    }
    ~Canvas()
    {
        if (m_hOld)
            SelectObject(m_hDC, m_hOld);
        if (m_hBitmap)
            DeleteObject(m_hBitmap);
        if (m_hDC)
            DeleteDC(m_hDC);
    }
    bool IsValid() const { return m_pBits != nullptr; }
    uint32_t& At(int x, int y) { return m_pBits[static_cast<size_t>(y) * m_nWidth + x]; }
    // Centred text in a colour (0xRRGGBB) with the given pixel height and weight.
    void Text(const char* szText, int nHeight, LONG nWeight, uint32_t color, int nOffsetY = 0)
    {
        HFONT hFont = CreateFontA(-nHeight, 0, 0, 0, nWeight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                  CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, VARIABLE_PITCH, "Arial");
        if (!hFont)
            return;
        HGDIOBJ hOldFont = SelectObject(m_hDC, hFont);
        SetBkMode(m_hDC, TRANSPARENT);
        SetTextColor(m_hDC, RGB(color >> 16 & 0xFF, color >> 8 & 0xFF, color & 0xFF));
        RECT rc{0, nOffsetY, m_nWidth, m_nHeight + nOffsetY};
        DrawTextA(m_hDC, szText, -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(m_hDC, hOldFont);
        DeleteObject(hFont);
    }

    int m_nWidth;
    int m_nHeight;

private:
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOld = nullptr;
    uint32_t* m_pBits = nullptr;
};

uint32_t Mix(uint32_t a, uint32_t b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    uint32_t r = 0;
    for (int shift = 0; shift <= 16; shift += 8)
    {
        const float ca = static_cast<float>(a >> shift & 0xFF), cb = static_cast<float>(b >> shift & 0xFF);
        r |= static_cast<uint32_t>(std::lround(ca + (cb - ca) * t)) << shift;
    }
    return r;
}

// BITMAPFILEHEADER and BITMAPINFOHEADER of a bottom-up BI_RGB bitmap.
void WriteBmpHeaders(ByteWriter& w, int nWidth, int nHeight, int nBits, uint32_t nPaletteEntries, uint32_t nImageSize)
{
    const uint32_t nOffset = 14 + 40 + nPaletteEntries * 4;
    w.WriteU16(0x4D42);   // "BM"
    w.WriteU32(nOffset + nImageSize);
    w.WriteU32(0);
    w.WriteU32(nOffset);
    w.WriteU32(40);
    w.WriteI32(nWidth);
    w.WriteI32(nHeight);
    w.WriteU16(1);
    w.WriteU16(static_cast<uint16_t>(nBits));
    w.WriteU32(0);
    w.WriteU32(nImageSize);
    w.WriteI32(2835);
    w.WriteI32(2835);
    w.WriteU32(nPaletteEntries);
    w.WriteU32(0);
}

std::vector<uint8_t> BmpFile24(Canvas& canvas)
{
    const int nStride = (canvas.m_nWidth * 3 + 3) & ~3;
    ByteWriter w;
    WriteBmpHeaders(w, canvas.m_nWidth, canvas.m_nHeight, 24, 0, static_cast<uint32_t>(nStride * canvas.m_nHeight));
    for (int y = canvas.m_nHeight - 1; y >= 0; --y)
    {
        for (int x = 0; x < canvas.m_nWidth; ++x)
        {
            const uint32_t c = canvas.At(x, y);
            w.WriteU8(static_cast<uint8_t>(c));
            w.WriteU8(static_cast<uint8_t>(c >> 8));
            w.WriteU8(static_cast<uint8_t>(c >> 16));
        }
        w.WriteZeros(static_cast<size_t>(nStride - canvas.m_nWidth * 3));
    }
    return w.GetBuffer();
}

bool WriteFile(const std::string& strPath, const std::vector<uint8_t>& data)
{
    if (!data.empty() && WriteFileAtomic(strPath.c_str(), data))
        return true;
    std::fprintf(stderr, "picgen: cannot write %s\n", strPath.c_str());
    return false;
}

// A skin button: a rounded plate on the transparent colour, lit when "on", with its caption.
std::vector<uint8_t> MakeSkinButton(const char* szCaption, int nWidth, int nHeight, bool bOn)
{
    Canvas canvas(nWidth, nHeight);
    if (!canvas.IsValid())
        return {};
    const uint32_t top = bOn ? 0xF0B040 : 0x6A7C96, bottom = bOn ? 0xB06010 : 0x2C3646;
    const float fRadius = std::min(6.0f, std::min(nWidth, nHeight) / 2.0f);
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
        {
            // Distance outside the rectangle shrunk by the corner radius.
            const float dx = std::max({fRadius - x - 0.5f, x + 0.5f - (nWidth - fRadius), 0.0f});
            const float dy = std::max({fRadius - y - 0.5f, y + 0.5f - (nHeight - fRadius), 0.0f});
            const float d = std::sqrt(dx * dx + dy * dy);
            uint32_t c = SKIN_TRANSPARENT;
            if (d <= fRadius)
                c = d > fRadius - 1.5f ? 0x141820 : Mix(top, bottom, static_cast<float>(y) / std::max(1, nHeight - 1));
            canvas.At(x, y) = c;
        }
    canvas.Text(szCaption, std::clamp(nHeight / 2, 8, 14), FW_BOLD, bOn ? 0x201000 : 0xE8ECF4);
    return BmpFile24(canvas);
}

// A tool window's background: a dark vertical gradient with a faint grid and a lit edge.
std::vector<uint8_t> MakeSkinBackground(int nWidth, int nHeight)
{
    Canvas canvas(nWidth, nHeight);
    if (!canvas.IsValid())
        return {};
    for (int y = 0; y < nHeight; ++y)
        for (int x = 0; x < nWidth; ++x)
        {
            uint32_t c = Mix(0x394456, 0x161B24, static_cast<float>(y) / std::max(1, nHeight - 1));
            if (x % 16 == 0 || y % 16 == 0)
                c = Mix(c, 0x5A6A84, 0.25f);
            if (x == 0 || y == 0)
                c = 0x7888A4;
            canvas.At(x, y) = c;
        }
    return BmpFile24(canvas);
}

struct SkinButton
{
    const char* m_szName;      // the file names are "<name> on.bmp" and "<name> off.bmp"
    const char* m_szCaption;
    int m_nWidth, m_nHeight;   // pixels: the template's dialog units times 6 / 4 and 13 / 8
};

const SkinButton SKIN_BUTTONS[] = {
    {"Transform Central", "Move", 81, 43},   {"Transform Inc Up", "+", 83, 33},
    {"Transform Inc Right", "+", 68, 41},    {"Transform Dec Bottom", "-", 83, 33},
    {"Transform Dec Left", "-", 68, 41},     {"x", "X", 71, 41},
    {"y", "Y", 71, 41},                      {"z", "Z", 71, 41},
    {"Translation", "Move", 71, 41},         {"Rotation", "Rotate", 71, 41},
    {"Scale", "Scale", 71, 41},              {"Rec", "Rec", 71, 39},
    {"Play", "Play", 71, 39},                {"pause", "Pause", 71, 39},
    {"stop", "Stop", 71, 39},                {"loop", "Loop", 71, 39},
    {"Web Page", "Web", 56, 62},             {"Fullscreen", "Full", 71, 43},
    {"Move Mode", "Move", 71, 43},           {"Device", "Device", 71, 41},
    {"Camera", "Camera", 71, 41},            {"Render", "Render", 71, 41},
    {"Holo", "Holo", 71, 41},                {"Lights", "Lights", 71, 41},
    {"Material", "Material", 71, 41},
};

struct SkinBackground
{
    const char* m_szName;   // the file name is "<name> Bkgnd.bmp"
    int m_nWidth, m_nHeight;
};

const SkinBackground SKIN_BACKGROUNDS[] = {
    {"Tree", 525, 867},    {"Transform", 660, 821}, {"Animation", 644, 52}, {"General", 318, 158},
    {"Utils", 318, 126},   {"Left Bar", 2, 621},    {"Header", 958, 2},
};

// The menu icons: simple shapes on a transparent ground, one per command of toolbar 128.
void DrawIcon(Canvas& canvas, int nIcon)
{
    auto set = [&](int x, int y, uint32_t argb) {
        if (x >= 0 && x < ICON_SIDE && y >= 0 && y < ICON_SIDE)
            canvas.At(nIcon * ICON_SIDE + x, y) = argb;
    };
    auto box = [&](int x0, int y0, int x1, int y1, uint32_t fill, uint32_t edge) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x)
                set(x, y, (x == x0 || x == x1 || y == y0 || y == y1) ? edge : fill);
    };
    const uint32_t INK = 0xFF202830, PAPER = 0xFFF8F8F0;
    switch (nIcon)
    {
    case 0:   // new: a sheet
        box(3, 1, 12, 14, PAPER, INK);
        break;
    case 1:   // open: a folder
        box(1, 4, 14, 13, 0xFFE8C050, 0xFF806020);
        box(1, 2, 6, 4, 0xFFE8C050, 0xFF806020);
        break;
    case 2:   // save: a disk
        box(1, 1, 14, 14, 0xFF3050A0, INK);
        box(4, 2, 11, 6, PAPER, INK);
        break;
    case 3:   // cut: two blades
        for (int i = 0; i < 10; ++i)
        {
            set(3 + i, 2 + i, INK);
            set(12 - i, 2 + i, INK);
        }
        break;
    case 4:   // copy: two sheets
        box(1, 1, 9, 10, PAPER, INK);
        box(6, 5, 14, 14, PAPER, INK);
        break;
    case 5:   // paste: a board with a sheet
        box(2, 2, 12, 14, 0xFFB08040, INK);
        box(6, 6, 14, 14, PAPER, INK);
        break;
    case 6:   // print: a printer
        box(4, 1, 11, 6, PAPER, INK);
        box(1, 6, 14, 12, 0xFFA0A0A8, INK);
        break;
    default:   // about: a blue disc with an "i"
        for (int y = 0; y < ICON_SIDE; ++y)
            for (int x = 0; x < ICON_SIDE; ++x)
            {
                const float dx = x - 7.5f, dy = y - 7.5f;
                if (dx * dx + dy * dy <= 56.0f)
                    set(x, y, 0xFF2060C0);
            }
        box(7, 6, 8, 12, PAPER, PAPER);
        box(7, 3, 8, 4, PAPER, PAPER);
        break;
    }
}
}

std::vector<uint8_t> MakeSplashBitmapFile()
{
    Canvas canvas(SPLASH_WIDTH, SPLASH_HEIGHT);
    if (!canvas.IsValid())
        return {};
    // Palette entry i is a ramp from deep blue through cyan to white; the picture is drawn in
    // ramp positions, so any colour of the ramp maps back to its index.
    auto ramp = [](int i) { return i < 128 ? Mix(0x06102A, 0x2A9AD0, i / 127.0f) : Mix(0x2A9AD0, 0xFFFFFF, (i - 128) / 127.0f); };
    for (int y = 0; y < SPLASH_HEIGHT; ++y)
        for (int x = 0; x < SPLASH_WIDTH; ++x)
        {
            // A glow around a light above the title, with faint rings like photon footprints.
            const float dx = (x - 256.0f) / 256.0f, dy = (y - 150.0f) / 192.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            float v = std::max(0.0f, 1.0f - r) * 150.0f + 10.0f;
            v += 12.0f * std::max(0.0f, std::cos(r * 40.0f)) * std::max(0.0f, 1.0f - r);
            canvas.At(x, y) = static_cast<uint32_t>(std::clamp(static_cast<int>(v), 0, 255));
        }
    // Text in index 255 (white) through the red channel, which GDI writes as the index value.
    canvas.Text("Quenlaris", 64, FW_BOLD, 0xFF0000, 20);
    canvas.Text("Version 1.20", 18, FW_NORMAL, 0xFF0000, 90);
    ByteWriter w;
    const uint32_t nImage = static_cast<uint32_t>(SPLASH_WIDTH * SPLASH_HEIGHT);
    WriteBmpHeaders(w, SPLASH_WIDTH, SPLASH_HEIGHT, 8, 256, nImage);
    for (int i = 0; i < 256; ++i)
        w.WriteU32(ramp(i));
    for (int y = SPLASH_HEIGHT - 1; y >= 0; --y)
        for (int x = 0; x < SPLASH_WIDTH; ++x)
        {
            const uint32_t c = canvas.At(x, y);
            w.WriteU8(static_cast<uint8_t>(c & 0xFF0000 ? c >> 16 : c));
        }
    return w.GetBuffer();
}

std::vector<uint8_t> MakeMenuIconsBitmapFile()
{
    Canvas canvas(ICON_SIDE * ICON_COUNT, ICON_SIDE);
    if (!canvas.IsValid())
        return {};
    for (int y = 0; y < ICON_SIDE; ++y)
        for (int x = 0; x < ICON_SIDE * ICON_COUNT; ++x)
            canvas.At(x, y) = 0;   // transparent
    for (int i = 0; i < ICON_COUNT; ++i)
        DrawIcon(canvas, i);
    ByteWriter w;
    WriteBmpHeaders(w, canvas.m_nWidth, canvas.m_nHeight, 32, 0, static_cast<uint32_t>(canvas.m_nWidth * canvas.m_nHeight * 4));
    for (int y = canvas.m_nHeight - 1; y >= 0; --y)
        for (int x = 0; x < canvas.m_nWidth; ++x)
            w.WriteU32(canvas.At(x, y));
    return w.GetBuffer();
}

std::vector<uint8_t> MakeProgramIconFile()
{
    const int nSide = 32;
    Canvas canvas(nSide, nSide);
    if (!canvas.IsValid())
        return {};
    // A lit sphere on a transparent ground: a light source scattering photons.
    for (int y = 0; y < nSide; ++y)
        for (int x = 0; x < nSide; ++x)
        {
            const float dx = (x - 15.5f) / 14.0f, dy = (y - 15.5f) / 14.0f;
            const float r2 = dx * dx + dy * dy;
            const float fLight = r2 < 1.0f ? std::max(0.0f, 0.45f * (-dx - dy) + 0.8f * std::sqrt(1.0f - r2)) : 0.0f;
            canvas.At(x, y) = r2 < 1.0f ? 0xFF000000u | Mix(0x0A2050, 0xFFE890, fLight) : 0;
        }
    ByteWriter w;
    // ICONDIR with one entry, then the image: a BITMAPINFOHEADER of twice the height, the 32-bit
    // colour rows and the 1-bit AND rows (all 0: the alpha channel gives the transparency).
    const uint32_t nImage = 40 + nSide * nSide * 4 + nSide * 4;
    w.WriteU16(0);
    w.WriteU16(1);
    w.WriteU16(1);
    w.WriteU8(nSide);
    w.WriteU8(nSide);
    w.WriteU8(0);
    w.WriteU8(0);
    w.WriteU16(1);
    w.WriteU16(32);
    w.WriteU32(nImage);
    w.WriteU32(6 + 16);
    w.WriteU32(40);
    w.WriteI32(nSide);
    w.WriteI32(nSide * 2);
    w.WriteU16(1);
    w.WriteU16(32);
    w.WriteZeros(24);
    for (int y = nSide - 1; y >= 0; --y)
        for (int x = 0; x < nSide; ++x)
            w.WriteU32(canvas.At(x, y));
    for (int y = 0; y < nSide; ++y)
        for (int x = 0; x < nSide / 8; ++x)
        {
            uint8_t nBits = 0;
            for (int b = 0; b < 8; ++b)
                if (!(canvas.At(x * 8 + b, nSide - 1 - y) >> 24))
                    nBits |= static_cast<uint8_t>(0x80 >> b);
            w.WriteU8(nBits);
        }
    return w.GetBuffer();
}

bool WriteSkinFolder(const std::string& strFolder)
{
    bool bOk = true;
    for (const SkinButton& b : SKIN_BUTTONS)
        for (bool bOn : {true, false})
            bOk = WriteFile(strFolder + "/" + b.m_szName + (bOn ? " on.bmp" : " off.bmp"),
                            MakeSkinButton(b.m_szCaption, b.m_nWidth, b.m_nHeight, bOn)) && bOk;
    for (const SkinBackground& b : SKIN_BACKGROUNDS)
        bOk = WriteFile(strFolder + "/" + b.m_szName + " Bkgnd.bmp", MakeSkinBackground(b.m_nWidth, b.m_nHeight)) && bOk;
    return bOk;
}
