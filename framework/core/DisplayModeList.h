#pragma once
// The primary display's full-screen modes, as the main window uses them to go full screen and
// back. The list is read once from the display (through the display-mode hook of CoreHooks.h),
// sorted by screen area, narrowed by its owner, then only read.
#include "core/Array.h"
#include "core/CoreHooks.h"

#include <cstdint>

struct DisplayMode
{
    DisplayMode(int32_t nDevModeIndex, int32_t nWidth, int32_t nHeight, int32_t nBitsPerPixel, int32_t nRefreshRate);

    // How far this mode is from the wanted one. One bit per pixel weighs as much as 256 pixels of
    // width or height, and one pixel as much as 256 Hz. 32-bit arithmetic that wraps, as the
    // caller compares the results unsigned.
    int32_t Distance(int32_t nWidth, int32_t nHeight, int32_t nBitsPerPixel, int32_t nRefreshRate) const;

    int32_t m_nWidth;
    int32_t m_nHeight;
    int32_t m_nBitsPerPixel;
    int32_t m_nRefreshRate;
    // Position of the display's own record of this mode in the list's copies (the number under
    // which the display reported it).
    int32_t m_nDevModeIndex;
};

class DisplayModeList
{
public:
    // Reads every mode the display reports and sorts them by width * height, ascending; modes
    // of equal area keep the display's order. Should the arrays fail to grow, the list holds
    // the modes read until then.
    DisplayModeList();
    DisplayModeList(const DisplayModeList&) = delete;
    DisplayModeList& operator=(const DisplayModeList&) = delete;

    int GetModeCount() const { return m_Modes.GetCount(); }
    // Null for an index outside the list.
    const DisplayMode* GetMode(int nIndex) const;
    int GetDevModeCount() const { return m_nDevModeCount; }

    // Removes every mode outside the closed ranges; the rest keep their order.
    void FilterModes(int32_t nMinWidth, int32_t nMinHeight, int32_t nMinBits, int32_t nMaxWidth, int32_t nMaxHeight,
                     int32_t nMaxBits, int32_t nMinRefresh, int32_t nMaxRefresh);
    // Within each run of neighbouring modes of one size, keeps only the modes whose refresh rate
    // is the one nearest the target (the first met among equally near rates).
    void KeepNearestRefresh(int32_t nTargetRefresh);

    // Switches the display to mode nIndex in full screen; false for an index outside the list
    // (without a switch) or when the display refuses.
    bool SetMode(int nIndex);
    // SetMode of the mode nearest the wanted one by DisplayMode::Distance; false for an empty list.
    bool SetClosestMode(int32_t nWidth, int32_t nHeight, int32_t nBitsPerPixel, int32_t nRefreshRate);
    // Returns the display to the desktop's own mode.
    bool RestoreDesktopMode();

private:
    void SortByArea();

    Array<DisplayMode> m_Modes;
    int32_t m_nDevModeCount = 0;
    // The display's records in the order it reported them; the filters never remove them, so
    // every mode's m_nDevModeIndex stays valid.
    Array<DisplayModeInfo> m_DevModes;
};
