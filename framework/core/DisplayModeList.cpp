#include "core/DisplayModeList.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>

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
    m_DevModes = EnumerateDisplayModes();
    m_Modes.reserve(m_DevModes.size());
    for (size_t i = 0; i < m_DevModes.size(); ++i)
    {
        const DisplayModeInfo& info = m_DevModes[i];
        m_Modes.emplace_back(static_cast<int32_t>(i), static_cast<int32_t>(info.m_nWidth),
                             static_cast<int32_t>(info.m_nHeight), static_cast<int32_t>(info.m_nBitsPerPixel),
                             static_cast<int32_t>(info.m_nRefreshRate));
    }
    m_nDevModeCount = static_cast<int32_t>(m_DevModes.size());
    std::stable_sort(m_Modes.begin(), m_Modes.end(),
                     [](const DisplayMode& a, const DisplayMode& b) { return Area(a) < Area(b); });
}

const DisplayMode* DisplayModeList::GetMode(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetModeCount())
        return nullptr;
    return &m_Modes[static_cast<size_t>(nIndex)];
}

void DisplayModeList::FilterModes(int32_t nMinWidth, int32_t nMinHeight, int32_t nMinBits, int32_t nMaxWidth,
                                  int32_t nMaxHeight, int32_t nMaxBits, int32_t nMinRefresh, int32_t nMaxRefresh)
{
    std::erase_if(m_Modes, [&](const DisplayMode& mode) {
        return mode.m_nWidth < nMinWidth || mode.m_nWidth > nMaxWidth || mode.m_nHeight < nMinHeight ||
               mode.m_nHeight > nMaxHeight || mode.m_nBitsPerPixel < nMinBits || mode.m_nBitsPerPixel > nMaxBits ||
               mode.m_nRefreshRate < nMinRefresh || mode.m_nRefreshRate > nMaxRefresh;
    });
}

void DisplayModeList::KeepNearestRefresh(int32_t nTargetRefresh)
{
    size_t nFirst = 0;
    while (nFirst < m_Modes.size())
    {
        size_t nEnd = nFirst + 1;
        int32_t nBest = m_Modes[nFirst].m_nRefreshRate;
        for (; nEnd < m_Modes.size() && SameSize(m_Modes[nEnd], m_Modes[nFirst]); ++nEnd)
        {
            if (RefreshError(m_Modes[nEnd].m_nRefreshRate, nTargetRefresh) < RefreshError(nBest, nTargetRefresh))
                nBest = m_Modes[nEnd].m_nRefreshRate;
        }
        auto runEnd = std::remove_if(m_Modes.begin() + static_cast<std::ptrdiff_t>(nFirst),
                                     m_Modes.begin() + static_cast<std::ptrdiff_t>(nEnd),
                                     [nBest](const DisplayMode& mode) { return mode.m_nRefreshRate != nBest; });
        size_t nKept = static_cast<size_t>(runEnd - m_Modes.begin()) - nFirst;
        m_Modes.erase(runEnd, m_Modes.begin() + static_cast<std::ptrdiff_t>(nEnd));
        nFirst += nKept;
    }
}

bool DisplayModeList::SetMode(int nIndex)
{
    const DisplayMode* pMode = GetMode(nIndex);
    if (!pMode)
        return false;
    return ChangeDisplayMode(&m_DevModes[static_cast<size_t>(pMode->m_nDevModeIndex)]);
}

bool DisplayModeList::SetClosestMode(int32_t nWidth, int32_t nHeight, int32_t nBitsPerPixel, int32_t nRefreshRate)
{
    uint32_t nBestDistance = 2147483647u;
    int nBest = -1;
    for (int i = 0; i < GetModeCount(); ++i)
    {
        uint32_t nDistance = static_cast<uint32_t>(m_Modes[static_cast<size_t>(i)].Distance(nWidth, nHeight,
                                                                                             nBitsPerPixel, nRefreshRate));
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
