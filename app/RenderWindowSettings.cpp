// The main window's settings in the registry. Each value is read from the key its writer stores
// it under (the toggles under the console's key, the window values under the window key, the
// display mode under the display key), so what one run stores the next one reads; a value that
// nothing writes is read from the start-up key. Key and value names are as stored.
#include "app/ApplicationBase.h"
#include "app/RenderWindow.h"

#include <win32/registry.h>

namespace
{
enum class ReadWhen
{
    Always,
    StartUpOnly,      // only for the start-up request (1)
};

struct IntSetting
{
    const char* m_szValue;
    const char* m_szKey;
    int RenderWindow::*m_pMember;
    ReadWhen m_nWhen;
};

struct FlagSetting
{
    const char* m_szValue;
    const char* m_szKey;
    bool RenderWindow::*m_pMember;
    ReadWhen m_nWhen;
};

const FlagSetting FLAG_SETTINGS[] = {
    {"FullScreen", RenderWindow::WINDOW_KEY, &RenderWindow::m_bFullScreen, ReadWhen::StartUpOnly},
    {"VSync", KEY_BINDINGS_REGISTRY_KEY, &RenderWindow::m_bVSync, ReadWhen::Always},
    {"Anisotropic", KEY_BINDINGS_REGISTRY_KEY, &RenderWindow::m_bAnisotropic, ReadWhen::Always},
    {"InvertMouse", KEY_BINDINGS_REGISTRY_KEY, &RenderWindow::m_bInvertMouse, ReadWhen::Always},
    {"ColorMipMaps", RenderWindow::START_KEY, &RenderWindow::m_bColorMipMaps, ReadWhen::Always},
    {"ShowDebugInfo", KEY_BINDINGS_REGISTRY_KEY, &RenderWindow::m_bShowDebugInfo, ReadWhen::Always},
};

const IntSetting INT_SETTINGS[] = {
    {"FSAALevel", KEY_BINDINGS_REGISTRY_KEY, &RenderWindow::m_nFSAALevel, ReadWhen::Always},
    {"Width", RenderWindow::DISPLAY_KEY, &RenderWindow::m_nFullScreenWidth, ReadWhen::Always},
    {"Height", RenderWindow::DISPLAY_KEY, &RenderWindow::m_nFullScreenHeight, ReadWhen::Always},
    {"RefreshRate", RenderWindow::DISPLAY_KEY, &RenderWindow::m_nRefreshRate, ReadWhen::Always},
    {"MouseSpeed", RenderWindow::WINDOW_KEY, &RenderWindow::m_nMouseSpeed, ReadWhen::Always},
};

// The window rectangle's values, in the order they are written.
struct RectSetting
{
    const char* m_szValue;
    LONG RECT::*m_pField;
};
const RectSetting RECT_SETTINGS[] = {
    {"WindowedLeft", &RECT::left},
    {"WindowedRight", &RECT::right},
    {"WindowedTop", &RECT::top},
    {"WindowedBottom", &RECT::bottom},
};

bool ReadDword(const char* szKey, const char* szValue, DWORD& dwValue)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, szKey, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD dwType = 0;
    DWORD dwRead = 0;
    DWORD cbData = sizeof(dwRead);
    bool bRead = RegQueryValueExA(hKey, szValue, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwRead), &cbData) ==
                     ERROR_SUCCESS &&
                 dwType == REG_DWORD && cbData == sizeof(dwRead);
    RegCloseKey(hKey);
    if (bRead)
        dwValue = dwRead;
    return bRead;
}

bool ShouldRead(ReadWhen nWhen, int nRequest)
{
    return nWhen == ReadWhen::Always || nRequest == 1;
}
}

void RenderWindow::ReadSettings(int nRequest)
{
    m_nFullScreenWidth = 1024;
    m_nFullScreenHeight = 768;
    m_nFullScreenBits = 32;
    m_nRefreshRate = 85;
    m_nFSAALevel = 0;
    m_nMouseSpeed = 5;
    m_rcWindowed = DefaultWindowedRect(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));

    DWORD dwValue = 0;
    for (const FlagSetting& setting : FLAG_SETTINGS)
        if (ShouldRead(setting.m_nWhen, nRequest) && ReadDword(setting.m_szKey, setting.m_szValue, dwValue))
            this->*setting.m_pMember = dwValue != 0;
    // A window stored as full screen keeps the default rectangle.
    if (!m_bFullScreen)
        for (const RectSetting& setting : RECT_SETTINGS)
            if (ReadDword(WINDOW_KEY, setting.m_szValue, dwValue))
                m_rcWindowed.*setting.m_pField = static_cast<LONG>(dwValue);
    for (const IntSetting& setting : INT_SETTINGS)
        if (ShouldRead(setting.m_nWhen, nRequest) && ReadDword(setting.m_szKey, setting.m_szValue, dwValue))
            this->*setting.m_pMember = static_cast<int>(dwValue);
}

void RenderWindow::WriteSettings()
{
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, WINDOW_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &hKey, &dwDisposition) != ERROR_SUCCESS)
        return;
    if (m_hWnd)
        GetWindowRect(&m_rcWindowed);
    auto Write = [hKey](const char* szValue, DWORD dwValue) {
        RegSetValueExA(hKey, szValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    };
    for (const RectSetting& setting : RECT_SETTINGS)
        Write(setting.m_szValue, static_cast<DWORD>(m_rcWindowed.*setting.m_pField));
    Write("FullScreen", m_bFullScreen ? 1 : 0);
    Write("MouseSpeed", static_cast<DWORD>(m_nMouseSpeed));
    RegCloseKey(hKey);
}
