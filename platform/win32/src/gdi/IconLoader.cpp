// LoadIcon and LoadImage(IMAGE_ICON): the system's stock icons, drawn here once and shared, and
// icons from ".ico" data (an "ICON" resource or a file). Every field of the icon directory is
// checked against the bytes present before the image is read.
#include "ImageLoaders.h"

#include <core/ByteStream.h>
#include <core/FileIO.h>
#include <core/Log.h>
#include <win32/icons.h>
#include <win32/resources.h>
#include <win32/user.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>

namespace
{
constexpr int kStockSize = 32;

HICON Refuse(const char* szName, const char* szReason)
{
    LogError("LoadIcon() - \"%s\": %s.", szName, szReason);
    return nullptr;
}

// An icon from a pixel function: a colour, or CLR_INVALID where the icon is transparent.
HICON IconFromPixels(int cx, int cy, const std::function<COLORREF(int x, int y)>& fnPixel)
{
    HDC hScreen = GetDC(nullptr);
    HBITMAP hColor = CreateCompatibleBitmap(hScreen, cx, cy);
    ReleaseDC(nullptr, hScreen);
    HBITMAP hMask = CreateBitmap(cx, cy, 1, 1, nullptr);
    HDC hColorDC = CreateCompatibleDC(nullptr);
    HDC hMaskDC = CreateCompatibleDC(nullptr);
    HGDIOBJ hOldColor = SelectObject(hColorDC, hColor);
    HGDIOBJ hOldMask = SelectObject(hMaskDC, hMask);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
        {
            COLORREF cr = fnPixel(x, y);
            bool bClear = cr == CLR_INVALID;
            // A transparent pixel keeps the background (mask 1) and adds nothing to it (black).
            SetPixel(hColorDC, x, y, bClear ? RGB(0, 0, 0) : cr);
            SetPixel(hMaskDC, x, y, bClear ? RGB(255, 255, 255) : RGB(0, 0, 0));
        }
    SelectObject(hColorDC, hOldColor);
    SelectObject(hMaskDC, hOldMask);
    DeleteDC(hColorDC);
    DeleteDC(hMaskDC);
    ICONINFO info{TRUE, static_cast<DWORD>(cx / 2), static_cast<DWORD>(cy / 2), hMask, hColor};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hMask);
    DeleteObject(hColor);
    return hIcon;
}

// A white glyph on a disc: the glyph is 5 x 7 cells of 2 x 2 pixels, centred.
COLORREF DiscWithGlyph(int x, int y, COLORREF crDisc, const char* const* ppRows)
{
    int dx = x - 16, dy = y - 16;
    int d2 = dx * dx + dy * dy;
    if (d2 >= 15 * 15)
        return CLR_INVALID;
    if (d2 >= 14 * 14)
        return RGB(0, 0, 0);
    int gx = (x - 11) / 2, gy = (y - 9) / 2;
    if (x >= 11 && y >= 9 && gx < 5 && gy < 7 && ppRows[gy][gx] == '#')
        return RGB(255, 255, 255);
    return crDisc;
}

const char* const GLYPH_X[] = {"#...#", ".#.#.", "..#..", "..#..", "..#..", ".#.#.", "#...#"};
const char* const GLYPH_QUESTION[] = {".###.", "#...#", "...#.", "..#..", "..#..", ".....", "..#.."};
const char* const GLYPH_I[] = {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."};

COLORREF StockPixel(int nId, int x, int y)
{
    switch (nId)
    {
    case 32513: return DiscWithGlyph(x, y, RGB(200, 0, 0), GLYPH_X);          // hand (error)
    case 32514: return DiscWithGlyph(x, y, RGB(0, 0, 200), GLYPH_QUESTION);   // question
    case 32516: return DiscWithGlyph(x, y, RGB(0, 0, 200), GLYPH_I);          // asterisk (information)
    case 32515:                                                                // exclamation (warning)
    {
        // A triangle with its apex at the top, outlined in black, with a bar and a dot.
        int nHalf = (y - 3) / 2;
        int dx = std::abs(x - 16);
        if (y < 3 || y > 28 || dx > nHalf)
            return CLR_INVALID;
        if (y == 28 || dx >= nHalf - 1)
            return RGB(0, 0, 0);
        if ((x == 15 || x == 16) && ((y >= 11 && y <= 20) || (y >= 23 && y <= 25)))
            return RGB(0, 0, 0);
        return RGB(255, 220, 0);
    }
    default:                                                                   // application, logo
    {
        // A window: black frame, blue caption, white body.
        if (x < 2 || x > 29 || y < 4 || y > 27)
            return CLR_INVALID;
        if (x == 2 || x == 29 || y == 4 || y == 27)
            return RGB(0, 0, 0);
        return y <= 9 ? RGB(0, 0, 128) : RGB(255, 255, 255);
    }
    }
}

bool IsStockId(int nId)
{
    return nId >= 32512 && nId <= 32517;
}

bool IsLiveIcon(HICON hIcon)
{
    ICONINFO info{};
    if (!hIcon || !GetIconInfo(hIcon, &info))
        return false;
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return true;
}

// Stock icons are shared: made once, made again only when someone destroyed one.
HICON StockIcon(int nId)
{
    static std::map<int, HICON> s_Icons;
    HICON& hIcon = s_Icons[nId];
    if (!IsLiveIcon(hIcon))
        hIcon = IconFromPixels(kStockSize, kStockSize, [nId](int x, int y) { return StockPixel(nId, x, y); });
    return hIcon;
}

// The stock arrow: a 32 x 32 monochrome cursor, hot spot at its tip, a white arrow head with a
// black outline and stem.
HCURSOR StockArrowCursor()
{
    static HCURSOR s_hArrow = nullptr;
    if (IsLiveIcon(s_hArrow))
        return s_hArrow;
    // Rows of 32 one-bit pixels (4 bytes); AND 0 is opaque, XOR 1 is white where opaque.
    uint8_t andPlane[kStockSize * 4], xorPlane[kStockSize * 4];
    std::memset(andPlane, 0xFF, sizeof(andPlane));
    std::memset(xorPlane, 0, sizeof(xorPlane));
    auto put = [&](int x, int y, bool bWhite) {
        andPlane[y * 4 + x / 8] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
        if (bWhite)
            xorPlane[y * 4 + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    };
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x <= y; ++x)
            put(x, y, x > 0 && x < y && y < 11);
    for (int y = 11; y < 18; ++y)
        for (int x = 3; x <= 5; ++x)
            put(x, y, x == 4 && y < 17);
    s_hArrow = CreateCursor(nullptr, 0, 0, kStockSize, kStockSize, andPlane, xorPlane);
    return s_hArrow;
}

// The entry of an ".ico" directory closest to cx x cy (0: the first entry).
HICON IconFromIcoBytes(const uint8_t* pData, size_t nSize, const char* szName, int cx, int cy)
{
    ByteReader reader(pData, nSize);
    uint16_t nReserved = 0, nType = 0, nCount = 0;
    reader.ReadU16(nReserved);
    reader.ReadU16(nType);
    reader.ReadU16(nCount);
    if (!reader.IsGood() || nReserved != 0 || nType != 1 || nCount == 0)
        return Refuse(szName, "the data is not an icon directory");
    uint32_t nBestBytes = 0, nBestOffset = 0;
    int nBestScore = -1;
    for (uint16_t i = 0; i < nCount; ++i)
    {
        uint8_t w = 0, h = 0;
        uint32_t nBytes = 0, nOffset = 0;
        reader.ReadU8(w);
        reader.ReadU8(h);
        reader.Skip(6);
        reader.ReadU32(nBytes);
        reader.ReadU32(nOffset);
        if (!reader.IsGood())
            return Refuse(szName, "the icon directory is cut short");
        int nW = w ? w : 256, nH = h ? h : 256;
        int nScore = (cx > 0 ? std::abs(nW - cx) : 0) + (cy > 0 ? std::abs(nH - cy) : 0);
        if (nBestScore < 0 || nScore < nBestScore)
        {
            nBestScore = nScore;
            nBestBytes = nBytes;
            nBestOffset = nOffset;
        }
    }
    if (nBestOffset > nSize || nSize - nBestOffset < nBestBytes)
        return Refuse(szName, "an icon image runs past the end of the data");
    // The image is a packed DIB of twice the icon's height: the colour rows, then the mask rows.
    std::vector<uint8_t> image(pData + nBestOffset, pData + nBestOffset + nBestBytes);
    if (image.size() < sizeof(BITMAPINFOHEADER))
        return Refuse(szName, "the icon image header is cut short");
    int32_t nDoubleHeight = 0;
    std::memcpy(&nDoubleHeight, image.data() + 8, sizeof(nDoubleHeight));
    int32_t nHeight = nDoubleHeight / 2;
    if (nHeight <= 0)
        return Refuse(szName, "the icon image height is out of range");
    std::memcpy(image.data() + 8, &nHeight, sizeof(nHeight));
    PackedDib dib;
    if (!ParseDib(image.data(), image.size(), szName, dib))
        return nullptr;
    int nWidth = dib.m_Header.biWidth;
    size_t nColorBytes = static_cast<size_t>(((nWidth * dib.m_Header.biBitCount + 31) / 32) * 4) * nHeight;
    size_t nMaskRow = static_cast<size_t>(((nWidth + 31) / 32) * 4);
    const uint8_t* pMask = dib.m_pBits + nColorBytes;
    if (pMask + nMaskRow * nHeight > image.data() + image.size())
        return Refuse(szName, "the icon's mask runs past the end of the data");

    // Rows are stored bottom up; a 32-bit image without a mask bit set keeps its own alpha.
    const auto* pInfo = reinterpret_cast<const BITMAPINFO*>(dib.m_Info.data());
    HDC hdc = CreateCompatibleDC(nullptr);
    HDC hScreen = GetDC(nullptr);
    HBITMAP hColor = CreateCompatibleBitmap(hScreen, nWidth, nHeight);
    ReleaseDC(nullptr, hScreen);
    HGDIOBJ hOld = SelectObject(hdc, hColor);
    StretchDIBits(hdc, 0, 0, nWidth, nHeight, 0, 0, nWidth, nHeight, dib.m_pBits, pInfo, DIB_RGB_COLORS, SRCCOPY);
    SelectObject(hdc, hOld);
    DeleteDC(hdc);
    HBITMAP hMask = CreateBitmap(nWidth, nHeight, 1, 1, nullptr);
    HDC hMaskDC = CreateCompatibleDC(nullptr);
    hOld = SelectObject(hMaskDC, hMask);
    for (int y = 0; y < nHeight; ++y)
    {
        const uint8_t* pRow = pMask + nMaskRow * static_cast<size_t>(nHeight - 1 - y);
        for (int x = 0; x < nWidth; ++x)
            SetPixel(hMaskDC, x, y, (pRow[x / 8] & (0x80 >> (x % 8))) ? RGB(255, 255, 255) : RGB(0, 0, 0));
    }
    SelectObject(hMaskDC, hOld);
    DeleteDC(hMaskDC);
    ICONINFO info{TRUE, static_cast<DWORD>(nWidth / 2), static_cast<DWORD>(nHeight / 2), hMask, hColor};
    HICON hIcon = CreateIconIndirect(&info);
    DeleteObject(hMask);
    DeleteObject(hColor);
    return hIcon;
}

// The id a name gives: MAKEINTRESOURCE(id) or "#id"; -1 for any other name.
int ResourceId(LPCSTR lpName)
{
    if (IS_INTRESOURCE(lpName))
        return static_cast<int>(reinterpret_cast<ULONG_PTR>(lpName));
    if (lpName[0] == '#')
    {
        char* pEnd = nullptr;
        long nId = std::strtol(lpName + 1, &pEnd, 10);
        if (pEnd != lpName + 1 && *pEnd == '\0' && nId >= 0 && nId <= 0xFFFF)
            return static_cast<int>(nId);
    }
    return -1;
}

HICON IconFromResource(LPCSTR lpName, int cx, int cy)
{
    int nId = ResourceId(lpName);
    std::string strName = nId >= 0 ? "#" + std::to_string(nId) : std::string(lpName);
    if (nId < 0)
        return Refuse(strName.c_str(), "icons are found by number, not by name");
    const ResourceEntry* pEntry = FindResourceEntry("ICON", nId);
    if (!pEntry || !pEntry->m_pData)
        return Refuse(strName.c_str(), "there is no such icon resource");
    return IconFromIcoBytes(static_cast<const uint8_t*>(pEntry->m_pData), pEntry->m_nSize, strName.c_str(), cx, cy);
}
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName)
{
    if (!lpIconName)
        return nullptr;
    int nId = ResourceId(lpIconName);
    // Without an instance, the stock icons; with one, the program's own.
    if (hInstance || !IsStockId(nId))
        return IconFromResource(lpIconName, 0, 0);
    return StockIcon(nId);
}

HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    // The program has no cursor resources: only the stock arrow exists.
    if (hInstance || !lpCursorName || ResourceId(lpCursorName) != ResourceId(IDC_ARROW))
        return nullptr;
    return StockArrowCursor();
}

HICON LoadIconFromFile(LPCSTR lpFileName, int cx, int cy)
{
    std::vector<uint8_t> data;
    if (!ReadWholeFile(lpFileName, data))
        return Refuse(lpFileName, "the file cannot be read");
    return IconFromIcoBytes(data.data(), data.size(), lpFileName, cx, cy);
}

HICON LoadIconImage(LPCSTR lpName, int cx, int cy)
{
    int nId = ResourceId(lpName);
    if (IsStockId(nId) && !FindResourceEntry("ICON", nId))
        return StockIcon(nId);
    return IconFromResource(lpName, cx, cy);
}
