#include <win32/install.h>

#include <win32/clock.h>
#include <win32/display.h>
#include <win32/paths.h>
#include <win32/registry.h>

#include "core/CoreHooks.h"

#include <cstring>

namespace
{
std::vector<DisplayModeInfo> EnumerateModes()
{
    std::vector<DisplayModeInfo> modes;
    DEVMODEA dm;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &dm); ++i)
        modes.push_back({dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel, dm.dmDisplayFrequency});
    return modes;
}

bool ChangeMode(const DisplayModeInfo* pMode)
{
    if (!pMode)
        return ChangeDisplaySettingsA(nullptr, 0) == DISP_CHANGE_SUCCESSFUL;
    DEVMODEA dm;
    std::memset(&dm, 0, sizeof(dm));
    dm.dmSize = sizeof(dm);
    dm.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    dm.dmPelsWidth = pMode->m_nWidth;
    dm.dmPelsHeight = pMode->m_nHeight;
    dm.dmBitsPerPel = pMode->m_nBitsPerPixel;
    dm.dmDisplayFrequency = pMode->m_nRefreshRate;
    return ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}
}

namespace win32
{
void InstallBase()
{
    SetClockSource({ClockNow, 1000000000LL});
    SetPathMapper(MapPath);
    SetDisplayModeSource({EnumerateModes, ChangeMode});
    SetPathConfig(DefaultPathConfig());
    UseRegistryFile(DefaultRegistryFile());
}
}
