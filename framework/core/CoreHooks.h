#pragma once
// The three places where core reaches the machine. Each has a plain default so core's own tests
// need no window layer; the window layer replaces them at start-up (win32::Install) and tests
// may inject their own.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// ---- Clock: a tick counter and its frequency (ticks per second). Default: CLOCK_MONOTONIC in ns.
struct ClockSource
{
    std::function<int64_t()> m_fnNow;
    int64_t m_nFrequency = 0;
};
void SetClockSource(ClockSource source);   // an empty m_fnNow restores the default
int64_t ReadClockTicks();
int64_t GetClockFrequency();

// ---- Paths: every file the program opens goes through one mapping from the names the program
// uses (backslashes, drive letters, any case) to a real path. Default: the name as given.
using PathMapper = std::function<std::string(const char* szName, bool bWrite)>;
void SetPathMapper(PathMapper mapper);     // null restores the default
std::string MapFilePath(const char* szName, bool bWrite);

// ---- Display modes, as the display reports them.
struct DisplayModeInfo
{
    uint32_t m_nWidth = 0;
    uint32_t m_nHeight = 0;
    uint32_t m_nBitsPerPixel = 0;
    uint32_t m_nRefreshRate = 0;
};
struct DisplayModeSource
{
    // The display's modes in its own order.
    std::function<std::vector<DisplayModeInfo>()> m_fnEnumerate;
    // Switches the display; true on success. A null mode restores the desktop's own.
    std::function<bool(const DisplayModeInfo* pMode)> m_fnChange;
};
void SetDisplayModeSource(DisplayModeSource source);  // empty functions restore the default
std::vector<DisplayModeInfo> EnumerateDisplayModes();
bool ChangeDisplayMode(const DisplayModeInfo* pMode);
