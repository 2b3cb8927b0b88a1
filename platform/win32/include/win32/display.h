#pragma once
// Display modes. EnumDisplaySettingsA lists a fixed set (640x480, 800x600, 1024x768 and
// 1280x1024 at 32 bits, 60/75/85 Hz) that tests may replace; ChangeDisplaySettingsA records the
// request and answers success for a listed mode, since the program always runs in a window.
#include <win32/types.h>

#include <vector>

#define CCHDEVICENAME 32
#define CCHFORMNAME 32

#define DM_BITSPERPEL 0x00040000L
#define DM_PELSWIDTH 0x00080000L
#define DM_PELSHEIGHT 0x00100000L
#define DM_DISPLAYFREQUENCY 0x00400000L

#define ENUM_CURRENT_SETTINGS ((DWORD)-1)
#define ENUM_REGISTRY_SETTINGS ((DWORD)-2)

#define CDS_UPDATEREGISTRY 0x00000001
#define CDS_TEST 0x00000002
#define CDS_FULLSCREEN 0x00000004

#define DISP_CHANGE_SUCCESSFUL 0
#define DISP_CHANGE_FAILED -1
#define DISP_CHANGE_BADMODE -2

struct DEVMODEA
{
    BYTE dmDeviceName[CCHDEVICENAME];
    WORD dmSpecVersion;
    WORD dmDriverVersion;
    WORD dmSize;
    WORD dmDriverExtra;
    DWORD dmFields;
    POINT dmPosition;
    DWORD dmDisplayOrientation;
    DWORD dmDisplayFixedOutput;
    SHORT dmColor;
    SHORT dmDuplex;
    SHORT dmYResolution;
    SHORT dmTTOption;
    SHORT dmCollate;
    BYTE dmFormName[CCHFORMNAME];
    WORD dmLogPixels;
    DWORD dmBitsPerPel;
    DWORD dmPelsWidth;
    DWORD dmPelsHeight;
    DWORD dmDisplayFlags;
    DWORD dmDisplayFrequency;
};
typedef DEVMODEA* LPDEVMODEA;

BOOL EnumDisplaySettingsA(LPCSTR lpszDeviceName, DWORD iModeNum, DEVMODEA* lpDevMode);
LONG ChangeDisplaySettingsA(DEVMODEA* lpDevMode, DWORD dwFlags);

namespace win32
{
struct DisplayMode
{
    DWORD m_nWidth;
    DWORD m_nHeight;
    DWORD m_nBitsPerPixel;
    DWORD m_nFrequency;
};
// The listed modes; an empty list restores the default set.
void SetDisplayModes(const std::vector<DisplayMode>& modes);
const std::vector<DisplayMode>& GetDisplayModes();
// The desktop's own mode (ENUM_CURRENT_SETTINGS while no change is in force).
void SetDesktopMode(const DisplayMode& mode);
// Every accepted ChangeDisplaySettingsA, in order; a null request is recorded as all zeros.
const std::vector<DisplayMode>& GetDisplayChanges();
void ClearDisplayChanges();
}
