#include "core/DisplayModeList.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace
{
// |a - b| in 32 bits, wrapping like the distance it feeds.
uint32_t AbsDifference(int32_t a, int32_t b)
{
    return static_cast<uint32_t>(std::llabs(static_cast<int64_t>(a) - static_cast<int64_t>(b)));
}

int64_t RefreshError(int32_t nRefresh, int32_t nTarget)
{
    return std::llabs(static_cast<int64_t>(nRefresh) - static_cast<int64_t>(nTarget));
}

bool SameSize(const DisplayMode& a, const DisplayMode& b)
{
    return a.m_nWidth == b.m_nWidth && a.m_nHeight == b.m_nHeight;
}

int64_t Area(const DisplayMode& mode)
{
    return static_cast<int64_t>(mode.m_nWidth) * mode.m_nHeight;
}
}

DisplayMode::DisplayMode(int32_t nDevModeIndex, int32_t nWidth, int32_t nHeight, int32_t nBitsPerPixel,
                         int32_t nRefreshRate)
    : m_nWidth(nWidth), m_nHeight(nHeight), m_nBitsPerPixel(nBitsPerPixel), m_nRefreshRate(nRefreshRate),
      m_nDevModeIndex(nDevModeIndex)
{
}

int32_t DisplayMode::Distance(int32_t nWidth, int32_t nHeight, int32_t nBitsPerPixel, int32_t nRefreshRate) const
{
    uint32_t nDistance = AbsDifference(nBitsPerPixel, m_nBitsPerPixel) * 65536u +
                         AbsDifference(nWidth, m_nWidth) * 256u + AbsDifference(nHeight, m_nHeight) * 256u +
                         AbsDifference(nRefreshRate, m_nRefreshRate);
    return static_cast<int32_t>(nDistance);
}

DisplayModeList::DisplayModeList()
{
    std::vector<DisplayModeInfo> reported = EnumerateDisplayModes();
    for (const DisplayModeInfo& info : reported)
    {
        int nIndex = m_DevModes.Add(info);
        if (nIndex < 0)
            break;
        DisplayMode mode(nIndex, static_cast<int32_t>(info.m_nWidth), static_cast<int32_t>(info.m_nHeight),
                         static_cast<int32_t>(info.m_nBitsPerPixel), static_cast<int32_t>(info.m_nRefreshRate));
        if (m_Modes.Add(mode) < 0)
        {
            m_DevModes.Remove(nIndex);
            break;
        }
    }
    m_nDevModeCount = m_DevModes.GetCount();
    SortByArea();
}

// Bubble sort: it swaps only neighbours of different area, so modes of equal area keep the
// display's order. The lists are a few dozen modes long.
void DisplayModeList::SortByArea()
{
    bool bSwapped = true;
    while (bSwapped)
    {
        bSwapped = false;
        for (int i = 0; i + 1 < m_Modes.GetCount(); ++i)
        {
            if (Area(m_Modes[i]) > Area(m_Modes[i + 1]))
            {
                std::swap(m_Modes[i], m_Modes[i + 1]);
                bSwapped = true;
            }
        }
    }
}

const DisplayMode* DisplayModeList::GetMode(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetModeCount())
        return nullptr;
    return &m_Modes[nIndex];
}

void DisplayModeList::FilterModes(int32_t nMinWidth, int32_t nMinHeight, int32_t nMinBits, int32_t nMaxWidth,
                                  int32_t nMaxHeight, int32_t nMaxBits, int32_t nMinRefresh, int32_t nMaxRefresh)
{
    for (int i = m_Modes.GetCount() - 1; i >= 0; --i)
    {
        const DisplayMode& mode = m_Modes[i];
        if (mode.m_nWidth < nMinWidth || mode.m_nWidth > nMaxWidth || mode.m_nHeight < nMinHeight ||
            mode.m_nHeight > nMaxHeight || mode.m_nBitsPerPixel < nMinBits || mode.m_nBitsPerPixel > nMaxBits ||
            mode.m_nRefreshRate < nMinRefresh || mode.m_nRefreshRate > nMaxRefresh)
            m_Modes.Remove(i);
    }
}

void DisplayModeList::KeepNearestRefresh(int32_t nTargetRefresh)
{
    int nFirst = 0;
    while (nFirst < m_Modes.GetCount())
    {
        int nLast = nFirst;
        int32_t nBest = m_Modes[nFirst].m_nRefreshRate;
        while (nLast + 1 < m_Modes.GetCount() && SameSize(m_Modes[nLast + 1], m_Modes[nFirst]))
        {
            ++nLast;
            if (RefreshError(m_Modes[nLast].m_nRefreshRate, nTargetRefresh) < RefreshError(nBest, nTargetRefresh))
                nBest = m_Modes[nLast].m_nRefreshRate;
        }
        int nKept = 0;
        for (int i = nLast; i >= nFirst; --i)
        {
            if (m_Modes[i].m_nRefreshRate != nBest)
                m_Modes.Remove(i);
            else
                ++nKept;
        }
        nFirst += nKept;
    }
}

bool DisplayModeList::SetMode(int nIndex)
{
    const DisplayMode* pMode = GetMode(nIndex);
    if (!pMode)
        return false;
    return ChangeDisplayMode(&m_DevModes[pMode->m_nDevModeIndex]);
}

bool DisplayModeList::SetClosestMode(int32_t nWidth, int32_t nHeight, int32_t nBitsPerPixel, int32_t nRefreshRate)
{
    uint32_t nBestDistance = 2147483647u;
    int nBest = -1;
    for (int i = 0; i < GetModeCount(); ++i)
    {
        uint32_t nDistance =
            static_cast<uint32_t>(m_Modes[i].Distance(nWidth, nHeight, nBitsPerPixel, nRefreshRate));
        if (nDistance < nBestDistance)
        {
            nBestDistance = nDistance;
            nBest = i;
        }
    }
    return SetMode(nBest);
}

bool DisplayModeList::RestoreDesktopMode()
{
    return ChangeDisplayMode(nullptr);
}
