// The key bindings kept in the registry and the application camera's keys.
#include "AppFixture.h"

#include <win32/registry.h>

#include <cmath>

namespace
{
struct Binding
{
    const char* szValue;
    int32_t ApplicationBase::*pMember;
    int32_t nDefault;
};
const Binding BINDINGS[] = {
    {"LeftKey", &ApplicationBase::m_nLeftKey, 37},          {"RightKey", &ApplicationBase::m_nRightKey, 39},
    {"UpKey", &ApplicationBase::m_nUpKey, 17},              {"DownKey", &ApplicationBase::m_nDownKey, 16},
    {"ForwardsKey", &ApplicationBase::m_nForwardsKey, 38},  {"BackwardsKey", &ApplicationBase::m_nBackwardsKey, 40},
    {"ResetKey", &ApplicationBase::m_nResetKey, 13},        {"ScreenshotKey", &ApplicationBase::m_nScreenshotKey, 120},
    {"ShowFpsKey", &ApplicationBase::m_nShowFpsKey, 32},    {"ConsoleKey", &ApplicationBase::m_nConsoleKey, 9},
};

bool ReadDword(const char* szValue, DWORD& dwValue)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD dwType = 0, cbData = sizeof(dwValue);
    bool bRead = RegQueryValueExA(hKey, szValue, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue), &cbData) ==
                     ERROR_SUCCESS &&
                 dwType == REG_DWORD;
    RegCloseKey(hKey);
    return bRead;
}

void WriteDword(const char* szValue, DWORD dwValue)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(hKey, szValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue), sizeof(dwValue));
    RegCloseKey(hKey);
}

void ExpectVector(const Vector3& v, float x, float y, float z, const char* szWhat, float fTolerance = 1e-3f)
{
    EXPECT_NEAR(v.x, x, fTolerance) << szWhat;
    EXPECT_NEAR(v.y, y, fTolerance) << szWhat;
    EXPECT_NEAR(v.z, z, fTolerance) << szWhat;
}
}

TEST_F(AppTest, KeyBindingsDefaultWithoutAKeyAndSurviveARestart)
{
    // No key at all: the defaults, and loading changes nothing.
    m_pApp->LoadKeyBindings();
    for (const Binding& b : BINDINGS)
        EXPECT_EQ(m_pApp.get()->*b.pMember, b.nDefault) << b.szValue;
    EXPECT_EQ(m_pApp->m_nSoundVolume, 100);

    // Exit writes the ten bindings (the volume is not written).
    m_pApp->StoreKeyBindings();
    for (const Binding& b : BINDINGS)
    {
        DWORD dwValue = 0;
        EXPECT_TRUE(ReadDword(b.szValue, dwValue)) << b.szValue;
        EXPECT_EQ(dwValue, static_cast<DWORD>(b.nDefault)) << b.szValue;
    }
    DWORD dwVolume = 0;
    EXPECT_FALSE(ReadDword("SoundVolume", dwVolume));

    // Values changed during a run are read at the next start, the console key included.
    for (size_t i = 0; i < std::size(BINDINGS); ++i)
        m_pApp.get()->*BINDINGS[i].pMember = static_cast<int32_t>(200 + i);
    m_pApp->m_nConsoleKey = 192;
    m_pApp->StoreKeyBindings();
    WriteDword("SoundVolume", 40);
    RenderApp next;
    next.LoadKeyBindings();
    for (size_t i = 0; i + 1 < std::size(BINDINGS); ++i)
        EXPECT_EQ(next.*BINDINGS[i].pMember, static_cast<int32_t>(200 + i)) << BINDINGS[i].szValue;
    EXPECT_EQ(next.m_nConsoleKey, 192);
    EXPECT_EQ(next.m_nSoundVolume, 40);

    // A value of another type keeps the default.
    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, KEY_BINDINGS_REGISTRY_KEY, 0, KEY_ALL_ACCESS, &hKey), ERROR_SUCCESS);
    RegSetValueExA(hKey, "LeftKey", 0, REG_SZ, reinterpret_cast<const BYTE*>("65"), 3);
    RegCloseKey(hKey);
    RenderApp third;
    third.LoadKeyBindings();
    EXPECT_EQ(third.m_nLeftKey, 37);
}

TEST_F(AppTest, KeyStateIsKeptByTheLowByteOfTheCode)
{
    m_pApp->OnKey(0x141, true);
    EXPECT_TRUE(m_pApp->m_bKeyState[0x41]);
    m_pApp->OnKey(0x41, false);
    EXPECT_FALSE(m_pApp->m_bKeyState[0x41]);
}

TEST_F(AppTest, MoveCameraFollowsTheViewAxesAndTheHeldKeys)
{
    ApplicationBase& app = *m_pApp;
    // A view whose rows are the camera's axes: x = (0, 0, -1), y = (0, 1, 0), z = (1, 0, 0).
    Matrix4& m = app.m_matView;
    m.SetIdentity();
    m[0] = 0, m[4] = 0, m[8] = -1;
    m[1] = 0, m[5] = 1, m[9] = 0;
    m[2] = 1, m[6] = 0, m[10] = 0;
    app.m_fFrameTime = 0.01f;
    const float fStep = 0.01f * ApplicationBase::DEFAULT_CAMERA_SPEED;   // 10.24 units
    const float fDiagonal = fStep / std::sqrt(2.0f);

    struct Case
    {
        std::vector<int> keys;
        Vector3 vMove;
    };
    const Case cases[] = {
        {{}, Vector3(0, 0, 0)},
        {{38}, Vector3(fStep, 0, 0)},                 // forwards: along the view's z axis
        {{40}, Vector3(-fStep, 0, 0)},                // backwards
        {{37, 39}, Vector3(0, 0, 0)},                 // left and right cancel
        {{39}, Vector3(0, 0, -fStep)},                // right: along the x axis
        {{17}, Vector3(0, fStep, 0)},                 // up (Ctrl)
        {{16, 38}, Vector3(fDiagonal, -fDiagonal, 0)},   // down and forwards: normalised
    };
    for (const Case& c : cases)
    {
        std::fill(std::begin(app.m_bKeyState), std::end(app.m_bKeyState), false);
        for (int nKey : c.keys)
            app.OnKey(nKey, true);
        app.SetPosition(Vector3(1, 2, 3));
        app.MoveCamera();
        // The direction is normalised with the fast inverse square root (within 0.2 %).
        ExpectVector(app.m_vCameraPosition, 1 + c.vMove.x, 2 + c.vMove.y, 3 + c.vMove.z, "move", fStep * 0.002f);
    }

    // The reset key puts the camera back, then the held direction still applies.
    std::fill(std::begin(app.m_bKeyState), std::end(app.m_bKeyState), false);
    app.OnKey(13, true);
    app.SetPosition(Vector3(50, 60, 70));
    app.MoveCamera();
    ExpectVector(app.m_vCameraPosition, 580, 250, 410, "reset key");
    ExpectVector(app.m_vCameraAngles, 0.441f, 2.348f, 0, "reset key angles");
}

TEST_F(AppTest, CameraResetAndRotation)
{
    m_pApp->RotateCamera(0.1f, -0.2f, 0.3f);
    m_pApp->RotateCamera(0.1f, 0.0f, 0.0f);
    ExpectVector(m_pApp->m_vCameraAngles, 0.2f, -0.2f, 0.3f, "rotated");
    m_pApp->ResetCamera();
    ExpectVector(m_pApp->m_vCameraPosition, 580, 250, 410, "RenderApp reset");
    ExpectVector(m_pApp->m_vCameraAngles, 0.441f, 2.348f, 0, "RenderApp reset angles");
    m_pApp->ApplicationBase::ResetCamera();
    ExpectVector(m_pApp->m_vCameraPosition, 0, 0, 0, "framework reset");
    ExpectVector(m_pApp->m_vCameraAngles, 0, 0, 0, "framework reset angles");
}
