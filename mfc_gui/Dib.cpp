// CDib: the block and its row table, the colour table and gamma, pixel access and the copies
// between 8-bit images.
#include "mfc_gui/Dib.h"

#include "mfc_gui/DibLayout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>
#include <vector>

CDib::CDib()
{
    SetGamma(1.0f, FALSE);
    m_fPrevGamma = 1.0f;
    ClearCache();
}

CDib::CDib(HGLOBAL hGlobal) : CDib()
{
    if (hGlobal)
        ImportGlobal(hGlobal);
}

CDib::CDib(const CDib& other) : CDib()
{
    Assign(other);
}

CDib& CDib::operator=(const CDib& other)
{
    if (this != &other)
        Assign(other);
    return *this;
}

CDib::~CDib() = default;

void CDib::ClearCache()
{
    std::memset(m_CacheColor, 0, sizeof(m_CacheColor));
    std::memset(m_CacheValid, 0, sizeof(m_CacheValid));
}

void CDib::Swap(CDib& other)
{
    std::swap(m_pBits, other.m_pBits);
    std::swap(m_pInfo, other.m_pInfo);
    std::swap(m_pColors, other.m_pColors);
    std::swap(m_pBlock, other.m_pBlock);
    std::swap(m_ppRows, other.m_ppRows);
    std::swap(m_nHeight, other.m_nHeight);
    std::swap(m_nBytesPerLine, other.m_nBytesPerLine);
    std::swap(m_nWidth, other.m_nWidth);
}

void CDib::Free()
{
    m_pBlock.reset();
    m_ppRows.reset();
    m_pBits = nullptr;
    m_pInfo = nullptr;
    m_pColors = nullptr;
    m_nWidth = m_nHeight = m_nBytesPerLine = 0;
}

BOOL CDib::Create(int nWidth, int nHeight, int nBitCount)
{
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = nWidth;
    header.biHeight = nHeight;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(nBitCount);
    header.biCompression = BI_RGB;
    return Allocate(header);
}

BOOL CDib::Allocate(const BITMAPINFOHEADER& header)
{
    Free();
    DibLayout layout;
    if (!DibLayout::Measure(header, false, layout))
        return FALSE;
    std::unique_ptr<BYTE[]> pBlock(new (std::nothrow) BYTE[layout.m_nTotal]());
    std::unique_ptr<BYTE*[]> ppRows(new (std::nothrow) BYTE*[static_cast<size_t>(header.biHeight)]);
    if (!pBlock || !ppRows)
        return FALSE;
    std::memcpy(pBlock.get(), &header, sizeof(header));
    m_pBlock = std::move(pBlock);
    m_ppRows = std::move(ppRows);
    m_pInfo = reinterpret_cast<BITMAPINFOHEADER*>(m_pBlock.get());
    // The block's header says what the block holds: 40 bytes, whatever the source's was.
    m_pInfo->biSize = sizeof(BITMAPINFOHEADER);
    m_pColors = reinterpret_cast<RGBQUAD*>(m_pBlock.get() + sizeof(BITMAPINFOHEADER));
    m_pBits = m_pBlock.get() + sizeof(BITMAPINFOHEADER) + 4 * layout.m_nColors;
    m_nWidth = header.biWidth;
    m_nHeight = header.biHeight;
    m_nBytesPerLine = static_cast<int>(layout.m_nBytesPerLine);
    // Row i from the top is stored row (height - 1 - i).
    for (int i = 0; i < m_nHeight; ++i)
        m_ppRows[i] = m_pBits + static_cast<size_t>(m_nHeight - 1 - i) * layout.m_nBytesPerLine;
    return TRUE;
}

BOOL CDib::Assign(const CDib& other)
{
    if (!other.IsValid())
    {
        Free();
        return FALSE;
    }
    CDib copy;
    if (!copy.Allocate(*other.m_pInfo))
        return FALSE;
    std::memcpy(copy.m_pBlock.get(), other.m_pBlock.get(), other.GetTotalSize());
    Swap(copy);
    return TRUE;
}

// ---- Colour table and gamma

int CDib::GetPaletteSize() const
{
    return m_pInfo ? DibLayout::ColorCount(m_pInfo->biBitCount) : 0;
}

int CDib::GetBitCount() const
{
    return m_pInfo ? m_pInfo->biBitCount : 0;
}

void CDib::SetPaletteRGB(const BYTE* pRGB)
{
    if (!pRGB)
        return;
    for (int i = 0; i < GetPaletteSize(); ++i, pRGB += 3)
    {
        const BYTE r = m_bGamma ? m_GammaTable[pRGB[0]] : pRGB[0];
        const BYTE g = m_bGamma ? m_GammaTable[pRGB[1]] : pRGB[1];
        const BYTE b = m_bGamma ? m_GammaTable[pRGB[2]] : pRGB[2];
        m_pColors[i] = RGBQUAD{b, g, r, 0};
    }
}

void CDib::SetPalette(const RGBQUAD* pColors)
{
    if (pColors && GetPaletteSize() > 0)
        std::memcpy(m_pColors, pColors, 4 * static_cast<size_t>(GetPaletteSize()));
}

COLORREF CDib::GetPaletteColor(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetPaletteSize())
        return 0;
    const RGBQUAD& c = m_pColors[nIndex];
    return RGB(c.rgbRed, c.rgbGreen, c.rgbBlue);
}

void CDib::SetGamma(float fGamma, BOOL bEnable)
{
    m_bGamma = bEnable;
    m_fPrevGamma = m_fGamma;
    m_fGamma = fGamma;
    for (int i = 0; i < 256; ++i)
    {
        // A gamma of 0 or below (or not a number) gives no usable curve: the ends are kept.
        const double v = std::pow(i / 255.0, static_cast<double>(fGamma)) * 255.0 + 0.5;
        m_GammaTable[i] = static_cast<BYTE>(v >= 0.0 && v <= 255.0 ? v : (v > 255.0 ? 255.0 : 0.0));
    }
}

// ---- Pixels

void CDib::SetPixel24(int x, int y, COLORREF color)
{
    if (GetBitCount() != 24 || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return;
    BYTE* p = m_ppRows[y] + 3 * x;
    p[0] = GetBValue(color);
    p[1] = GetGValue(color);
    p[2] = GetRValue(color);
}

COLORREF CDib::GetPixel24(int x, int y) const
{
    if (GetBitCount() != 24 || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
        return 0;
    const BYTE* p = m_ppRows[y] + 3 * x;
    return RGB(p[2], p[1], p[0]);
}

void CDib::SetPixel8(int x, int y, BYTE nIndex)
{
    if (GetBitCount() == 8 && x >= 0 && y >= 0 && x < m_nWidth && y < m_nHeight)
        m_ppRows[y][x] = nIndex;
}

void CDib::GetPixel8(unsigned x, unsigned y, int* pIndex) const
{
    if (pIndex && GetBitCount() == 8 && x < static_cast<unsigned>(m_nWidth) && y < static_cast<unsigned>(m_nHeight))
        *pIndex = m_ppRows[y][x];
}

void CDib::Fill(DWORD nValue)
{
    if (!IsValid())
        return;
    for (int y = 0; y < m_nHeight; ++y)
    {
        BYTE* pRow = m_ppRows[y];
        if (GetBitCount() != 24)
        {
            std::memset(pRow, static_cast<BYTE>(nValue), static_cast<size_t>(m_nBytesPerLine));
            continue;
        }
        for (int x = 0; x < m_nWidth; ++x)
        {
            pRow[3 * x] = GetBValue(nValue);
            pRow[3 * x + 1] = GetGValue(nValue);
            pRow[3 * x + 2] = GetRValue(nValue);
        }
    }
}

void CDib::CopyRow(int nSourceRow, int nDestRow)
{
    if (nSourceRow == nDestRow || nSourceRow < 0 || nDestRow < 0 || nSourceRow >= m_nHeight || nDestRow >= m_nHeight)
        return;
    std::memcpy(m_ppRows[nDestRow], m_ppRows[nSourceRow], static_cast<size_t>(m_nBytesPerLine));
}

void CDib::ReplaceIndex(BYTE nOld, BYTE nNew)
{
    if (GetBitCount() != 8)
        return;
    for (int y = 0; y < m_nHeight; ++y)
        std::replace(m_ppRows[y], m_ppRows[y] + m_nWidth, nOld, nNew);
}

int CDib::GetUsedColors(BYTE used[256]) const
{
    std::memset(used, 0, 256);
    if (GetBitCount() != 8)
        return 0;
    int nCount = 0;
    for (int y = 0; y < m_nHeight; ++y)
        for (int x = 0; x < m_nWidth; ++x)
            if (!used[m_ppRows[y][x]])
            {
                used[m_ppRows[y][x]] = 1;
                ++nCount;
            }
    return nCount;
}

int CDib::CountColors() const
{
    BYTE used[256];
    return GetUsedColors(used);
}

// ---- Copies between 8-bit images

void CDib::CopyRect(int xDest, int yDest, int nWidth, int nHeight, const CDib& source, int xSource, int ySource,
                    const BYTE* pTable)
{
    if (GetBitCount() != 8 || source.GetBitCount() != 8)
        return;
    SetPalette(source.m_pColors);
    // Negative positions move the other corner by the same amount and shorten the copy.
    if (xDest < 0)
    {
        xSource -= xDest;
        nWidth += xDest;
        xDest = 0;
    }
    if (yDest < 0)
    {
        ySource -= yDest;
        nHeight += yDest;
        yDest = 0;
    }
    if (xSource < 0)
    {
        xDest -= xSource;
        nWidth += xSource;
        xSource = 0;
    }
    if (ySource < 0)
    {
        yDest -= ySource;
        nHeight += ySource;
        ySource = 0;
    }
    nWidth = std::max(0, std::min({nWidth, m_nWidth - xDest, source.m_nWidth - xSource}));
    nHeight = std::max(0, std::min({nHeight, m_nHeight - yDest, source.m_nHeight - ySource}));
    for (int y = 0; y < nHeight; ++y)
    {
        const BYTE* pFrom = source.m_ppRows[ySource + y] + xSource;
        BYTE* pTo = m_ppRows[yDest + y] + xDest;
        if (!pTable)
        {
            std::memcpy(pTo, pFrom, static_cast<size_t>(nWidth));
            continue;
        }
        for (int x = 0; x < nWidth; ++x)
            if (pTable[pFrom[x]])
                pTo[x] = pFrom[x];
    }
}

void CDib::ScaleCopy(int xDest, int yDest, int nFactorX, int nFactorY, const CDib& source, int xSource, int ySource,
                     int nWidth, int nHeight)
{
    if (GetBitCount() != 8 || source.GetBitCount() != 8 || nFactorX < 1 || nFactorY < 1 || xDest < 0 || yDest < 0 ||
        xSource < 0 || ySource < 0)
        return;
    SetPalette(source.m_pColors);
    nWidth = std::min(nWidth, source.m_nWidth - xSource);
    nHeight = std::min(nHeight, source.m_nHeight - ySource);
    if (nWidth <= 0 || nHeight <= 0)
        return;
    const int nOutWidth = std::min(nWidth * nFactorX, m_nWidth - xDest);
    const int nOutHeight = std::min(nHeight * nFactorY, m_nHeight - yDest);
    if (nOutWidth <= 0 || nOutHeight <= 0)
        return;
    const int nWholeColumns = nOutWidth / nFactorX, nWholeRows = nOutHeight / nFactorY;
    std::unique_ptr<BYTE[]> pLine(new (std::nothrow) BYTE[static_cast<size_t>(nOutWidth)]);
    if (!pLine)
        return;
    // One output line from a source row: each whole column repeated, the partial columns taking
    // the last repeated value (the first column's when no whole one fits).
    auto buildLine = [&](int nSourceRow) {
        const BYTE* pFrom = source.m_ppRows[ySource + nSourceRow] + xSource;
        int nOut = 0;
        for (int c = 0; c < nWholeColumns; ++c)
            for (int k = 0; k < nFactorX; ++k)
                pLine[nOut++] = pFrom[c];
        const BYTE nLast = nWholeColumns > 0 ? pFrom[nWholeColumns - 1] : pFrom[0];
        while (nOut < nOutWidth)
            pLine[nOut++] = nLast;
    };
    int yOut = 0;
    for (int r = 0; r < nWholeRows; ++r)
    {
        buildLine(r);
        for (int k = 0; k < nFactorY; ++k)
            std::memcpy(m_ppRows[yDest + yOut++] + xDest, pLine.get(), static_cast<size_t>(nOutWidth));
    }
    if (nWholeRows == 0)
        buildLine(0);
    while (yOut < nOutHeight)
        std::memcpy(m_ppRows[yDest + yOut++] + xDest, pLine.get(), static_cast<size_t>(nOutWidth));
}

namespace
{
// How many times each of nSource items is written to fill nDest places: q or q + 1, the extra
// one whenever the error (r per item) wraps at nSource. The counts add up to nDest.
std::vector<int> RepeatCounts(int nSource, int nDest)
{
    std::vector<int> counts(static_cast<size_t>(nSource));
    const int q = nDest / nSource, r = nDest % nSource;
    int nError = 0;
    for (int i = 0; i < nSource; ++i)
    {
        nError += r;
        counts[static_cast<size_t>(i)] = q;
        if (nError >= nSource)
        {
            ++counts[static_cast<size_t>(i)];
            nError -= nSource;
        }
    }
    return counts;
}
}

void CDib::StretchCopy(int xDest, int yDest, int nDestWidth, int nDestHeight, const CDib& source, int xSource,
                       int ySource, int nSourceWidth, int nSourceHeight)
{
    if (GetBitCount() != 8 || source.GetBitCount() != 8 || xDest < 0 || yDest < 0 || xSource < 0 || ySource < 0)
        return;
    SetPalette(source.m_pColors);
    nDestWidth = std::min(nDestWidth, m_nWidth - xDest);
    nDestHeight = std::min(nDestHeight, m_nHeight - yDest);
    nSourceWidth = std::min(nSourceWidth, source.m_nWidth - xSource);
    nSourceHeight = std::min(nSourceHeight, source.m_nHeight - ySource);
    if (nDestWidth <= 0 || nDestHeight <= 0 || nSourceWidth <= 0 || nSourceHeight <= 0)
        return;
    if (nDestWidth % nSourceWidth == 0 && nDestHeight % nSourceHeight == 0)
    {
        ScaleCopy(xDest, yDest, nDestWidth / nSourceWidth, nDestHeight / nSourceHeight, source, xSource, ySource,
                  nSourceWidth, nSourceHeight);
        return;
    }
    std::unique_ptr<BYTE[]> pLine(new (std::nothrow) BYTE[static_cast<size_t>(nDestWidth)]);
    if (!pLine)
        return;
    const std::vector<int> columns = RepeatCounts(nSourceWidth, nDestWidth);
    const std::vector<int> rows = RepeatCounts(nSourceHeight, nDestHeight);
    int yOut = 0;
    for (int r = 0; r < nSourceHeight && yOut < nDestHeight; ++r)
    {
        if (rows[static_cast<size_t>(r)] == 0)
            continue;
        const BYTE* pFrom = source.m_ppRows[ySource + r] + xSource;
        int nOut = 0;
        for (int c = 0; c < nSourceWidth && nOut < nDestWidth; ++c)
            for (int k = 0; k < columns[static_cast<size_t>(c)] && nOut < nDestWidth; ++k)
                pLine[nOut++] = pFrom[c];
        for (int k = 0; k < rows[static_cast<size_t>(r)] && yOut < nDestHeight; ++k)
            std::memcpy(m_ppRows[yDest + yOut++] + xDest, pLine.get(), static_cast<size_t>(nDestWidth));
    }
}
