#include <win32/display.h>

#include <cstring>

namespace
{
std::vector<win32::DisplayMode> DefaultModes()
{
    std::vector<win32::DisplayMode> modes;
    const DWORD SIZES[][2] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 1024}};
    const DWORD RATES[] = {60, 75, 85};
    for (const auto& size : SIZES)
        for (DWORD rate : RATES)
            modes.push_back({size[0], size[1], 32, rate});
    return modes;
}

struct DisplayState
{
    std::vector<win32::DisplayMode> m_Modes = DefaultModes();
    win32::DisplayMode m_Desktop{1280, 1024, 32, 60};
    bool m_bChanged = false;
    win32::DisplayMode m_Current{};
    std::vector<win32::DisplayMode> m_Changes;
};

DisplayState& State()
{
    static DisplayState s_State;
    return s_State;
}

void FillDevMode(const win32::DisplayMode& mode, DEVMODEA* p)
{
    std::memset(p, 0, sizeof(*p));
    std::memcpy(p->dmDeviceName, "DISPLAY", 8);
    p->dmSize = sizeof(DEVMODEA);
    p->dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYFREQUENCY;
    p->dmBitsPerPel = mode.m_nBitsPerPixel;
    p->dmPelsWidth = mode.m_nWidth;
    p->dmPelsHeight = mode.m_nHeight;
    p->dmDisplayFrequency = mode.m_nFrequency;
}
}

namespace win32
{
void SetDisplayModes(const std::vector<DisplayMode>& modes)
{
    State().m_Modes = modes.empty() ? DefaultModes() : modes;
}

const std::vector<DisplayMode>& GetDisplayModes()
{
    return State().m_Modes;
}

void SetDesktopMode(const DisplayMode& mode)
{
    State().m_Desktop = mode;
    State().m_bChanged = false;
}

const std::vector<DisplayMode>& GetDisplayChanges()
{
    return State().m_Changes;
}

void ClearDisplayChanges()
{
    State().m_Changes.clear();
    State().m_bChanged = false;
}
}

BOOL EnumDisplaySettingsA(LPCSTR, DWORD iModeNum, DEVMODEA* lpDevMode)
{
    if (!lpDevMode)
        return FALSE;
    DisplayState& state = State();
    if (iModeNum == ENUM_CURRENT_SETTINGS || iModeNum == ENUM_REGISTRY_SETTINGS)
    {
        FillDevMode(iModeNum == ENUM_CURRENT_SETTINGS && state.m_bChanged ? state.m_Current : state.m_Desktop,
                    lpDevMode);
        return TRUE;
    }
    if (iModeNum >= state.m_Modes.size())
        return FALSE;
    FillDevMode(state.m_Modes[iModeNum], lpDevMode);
    return TRUE;
}

LONG ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD dwFlags)
{
    DisplayState& state = State();
    if (!lpDevMode)
    {
        state.m_bChanged = false;
        state.m_Changes.push_back({0, 0, 0, 0});
        return DISP_CHANGE_SUCCESSFUL;
    }
    // Fields the request leaves out keep the current mode's values.
    win32::DisplayMode current = state.m_bChanged ? state.m_Current : state.m_Desktop;
    win32::DisplayMode wanted = current;
    if (lpDevMode->dmFields & DM_PELSWIDTH)
        wanted.m_nWidth = lpDevMode->dmPelsWidth;
    if (lpDevMode->dmFields & DM_PELSHEIGHT)
        wanted.m_nHeight = lpDevMode->dmPelsHeight;
    if (lpDevMode->dmFields & DM_BITSPERPEL)
        wanted.m_nBitsPerPixel = lpDevMode->dmBitsPerPel;
    if (lpDevMode->dmFields & DM_DISPLAYFREQUENCY)
        wanted.m_nFrequency = lpDevMode->dmDisplayFrequency;
    bool bListed = false;
    for (const win32::DisplayMode& m : state.m_Modes)
        bListed = bListed || (m.m_nWidth == wanted.m_nWidth && m.m_nHeight == wanted.m_nHeight &&
                              m.m_nBitsPerPixel == wanted.m_nBitsPerPixel &&
                              (!(lpDevMode->dmFields & DM_DISPLAYFREQUENCY) || m.m_nFrequency == wanted.m_nFrequency));
    if (!bListed)
        return DISP_CHANGE_BADMODE;
    if (dwFlags & CDS_TEST)
        return DISP_CHANGE_SUCCESSFUL;
    state.m_bChanged = true;
    state.m_Current = wanted;
    state.m_Changes.push_back(wanted);
    return DISP_CHANGE_SUCCESSFUL;
}
