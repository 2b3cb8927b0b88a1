#include "core/CoreHooks.h"

#include <ctime>

namespace
{
int64_t MonotonicNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

ClockSource g_ClockSource;
PathMapper g_PathMapper;
DisplayModeSource g_DisplayModeSource;
}

void SetClockSource(ClockSource source)
{
    if (!source.m_fnNow || source.m_nFrequency <= 0)
        source = ClockSource{};
    g_ClockSource = std::move(source);
}

int64_t ReadClockTicks()
{
    return g_ClockSource.m_fnNow ? g_ClockSource.m_fnNow() : MonotonicNanoseconds();
}

int64_t GetClockFrequency()
{
    return g_ClockSource.m_fnNow ? g_ClockSource.m_nFrequency : 1000000000LL;
}

void SetPathMapper(PathMapper mapper)
{
    g_PathMapper = std::move(mapper);
}

std::string MapFilePath(const char* szName, bool bWrite)
{
    if (!szName)
        return std::string();
    return g_PathMapper ? g_PathMapper(szName, bWrite) : std::string(szName);
}

void SetDisplayModeSource(DisplayModeSource source)
{
    g_DisplayModeSource = std::move(source);
}

std::vector<DisplayModeInfo> EnumerateDisplayModes()
{
    if (g_DisplayModeSource.m_fnEnumerate)
        return g_DisplayModeSource.m_fnEnumerate();
    return {DisplayModeInfo{640, 480, 32, 60}};
}

bool ChangeDisplayMode(const DisplayModeInfo* pMode)
{
    if (g_DisplayModeSource.m_fnChange)
        return g_DisplayModeSource.m_fnChange(pMode);
    return pMode == nullptr || (pMode->m_nWidth == 640 && pMode->m_nHeight == 480);
}
