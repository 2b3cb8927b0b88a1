#include "app/ApplicationBase.h"

#include <win32/registry.h>

#include <cstddef>

namespace
{
// One row per registry value of the key bindings: its member, its default (a virtual-key code,
// or the volume) and whether exit stores it. Every row is read at start-up, "ConsoleKey"
// included, so a binding the user changed survives the next exit.
struct KeyBinding
{
    const char* m_szValue;
    int32_t ApplicationBase::*m_pMember;
    int32_t m_nDefault;
    bool m_bStored;
};

const KeyBinding KEY_BINDINGS[] = {
    {"LeftKey", &ApplicationBase::m_nLeftKey, 37, true},          // Left arrow
    {"RightKey", &ApplicationBase::m_nRightKey, 39, true},        // Right arrow
    {"UpKey", &ApplicationBase::m_nUpKey, 17, true},              // Ctrl
    {"DownKey", &ApplicationBase::m_nDownKey, 16, true},          // Shift
    {"ForwardsKey", &ApplicationBase::m_nForwardsKey, 38, true},  // Up arrow
    {"BackwardsKey", &ApplicationBase::m_nBackwardsKey, 40, true},// Down arrow
    {"ResetKey", &ApplicationBase::m_nResetKey, 13, true},        // Enter
    {"ScreenshotKey", &ApplicationBase::m_nScreenshotKey, 120, true}, // F9
    {"ShowFpsKey", &ApplicationBase::m_nShowFpsKey, 32, true},    // Space
    {"ConsoleKey", &ApplicationBase::m_nConsoleKey, 9, true},     // Tab
    {"SoundVolume", &ApplicationBase::m_nSoundVolume, 100, false},
};
}

ApplicationBase::ApplicationBase() : CWinApp(nullptr)
{
    m_vCameraPosition = Vector3(0.0f, 0.0f, 0.0f);
    m_vCameraAngles = Vector3(0.0f, 0.0f, 0.0f);
    m_matProjection.SetIdentity();
    m_matView.SetIdentity();
    SetDefaultKeyBindings();
}

ApplicationBase::~ApplicationBase() = default;

void ApplicationBase::SetDefaultKeyBindings()
{
    for (const KeyBinding& binding : KEY_BINDINGS)
        this->*binding.m_pMember = binding.m_nDefault;
}

void ApplicationBase::LoadKeyBindings()
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return;
    for (const KeyBinding& binding : KEY_BINDINGS)
    {
        DWORD dwType = 0;
        DWORD dwValue = 0;
        DWORD cbData = sizeof(dwValue);
        if (RegQueryValueExA(hKey, binding.m_szValue, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue), &cbData) ==
                ERROR_SUCCESS &&
            dwType == REG_DWORD && cbData == sizeof(dwValue))
            this->*binding.m_pMember = static_cast<int32_t>(dwValue);
    }
    RegCloseKey(hKey);
}

void ApplicationBase::StoreKeyBindings()
{
    HKEY hKey = nullptr;
    DWORD dwDisposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &hKey, &dwDisposition) != ERROR_SUCCESS)
        return;
    for (const KeyBinding& binding : KEY_BINDINGS)
    {
        if (!binding.m_bStored)
            continue;
        DWORD dwValue = static_cast<DWORD>(this->*binding.m_pMember);
        RegSetValueExA(hKey, binding.m_szValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                       sizeof(dwValue));
    }
    RegCloseKey(hKey);
}
