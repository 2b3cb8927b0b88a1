#include <win32/clock.h>
#include <win32/display.h>
#include <win32/install.h>
#include <win32/paths.h>
#include <win32/registry.h>

#include "TempDir.h"

#include "core/CoreHooks.h"
#include "core/FileIO.h"

#include <gtest/gtest.h>

#include <unistd.h>

TEST(ClockTest, VirtualClockDrivesEveryTimeFunction)
{
    win32::UseVirtualClock(0);
    win32::AdvanceClock(1500 * 1000000LL + 999999);
    EXPECT_EQ(timeGetTime(), 1500u);
    LARGE_INTEGER count, freq;
    ASSERT_TRUE(QueryPerformanceCounter(&count));
    ASSERT_TRUE(QueryPerformanceFrequency(&freq));
    EXPECT_EQ(count.QuadPart, 1500999999);
    EXPECT_EQ(freq.QuadPart, 1000000000);
    Sleep(250);
    EXPECT_EQ(timeGetTime(), 1750u);
    DWORD nSlept = 0;
    win32::SetSleepHandler([&](DWORD ms) { nSlept += ms; });
    Sleep(40);
    EXPECT_EQ(nSlept, 40u);
    EXPECT_EQ(timeGetTime(), 1750u);
    win32::SetSleepHandler(nullptr);
    win32::UseRealClock();
    EXPECT_FALSE(win32::IsClockVirtual());
}

TEST(DisplayModesTest, FixedListInjectableAndChangesRecorded)
{
    DEVMODEA dm;
    std::vector<std::vector<DWORD>> listed;
    for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &dm); ++i)
        listed.push_back({dm.dmPelsWidth, dm.dmPelsHeight, dm.dmBitsPerPel, dm.dmDisplayFrequency});
    ASSERT_EQ(listed.size(), 12u);
    EXPECT_EQ(listed[0], (std::vector<DWORD>{640, 480, 32, 60}));
    EXPECT_EQ(listed[5], (std::vector<DWORD>{800, 600, 32, 85}));
    EXPECT_EQ(listed[11], (std::vector<DWORD>{1280, 1024, 32, 85}));

    win32::SetDisplayModes({{800, 600, 16, 60}, {1024, 768, 32, 75}});
    dm.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    dm.dmPelsWidth = 1024;
    dm.dmPelsHeight = 768;
    dm.dmBitsPerPel = 32;
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_TEST), DISP_CHANGE_SUCCESSFUL);
    EXPECT_TRUE(win32::GetDisplayChanges().empty());
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN), DISP_CHANGE_SUCCESSFUL);
    dm.dmPelsWidth = 1600;
    EXPECT_EQ(ChangeDisplaySettingsA(&dm, CDS_FULLSCREEN), DISP_CHANGE_BADMODE);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm));
    EXPECT_EQ(dm.dmPelsWidth, 1024u);
    EXPECT_EQ(ChangeDisplaySettingsA(nullptr, 0), DISP_CHANGE_SUCCESSFUL);
    ASSERT_TRUE(EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &dm));
    EXPECT_EQ(dm.dmPelsWidth, 1280u);
    ASSERT_EQ(win32::GetDisplayChanges().size(), 2u);
    EXPECT_EQ(win32::GetDisplayChanges()[0].m_nWidth, 1024u);
    EXPECT_EQ(win32::GetDisplayChanges()[1].m_nWidth, 0u);
    win32::ClearDisplayChanges();
    win32::SetDisplayModes({});
}

TEST(InstallBaseTest, CoreHooksReachTheLayer)
{
    TempDir dir;
    const char* szOld = getenv("XDG_CONFIG_HOME");
    std::string old = szOld ? szOld : "";
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    win32::PathConfig savedPaths = win32::GetPathConfig();
    win32::InstallBase();
    EXPECT_EQ(win32::GetRegistryFile(), dir / "config/quenlaris/registry");

    win32::UseVirtualClock(123456789);
    EXPECT_EQ(ReadClockTicks(), 123456789);
    EXPECT_EQ(GetClockFrequency(), 1000000000);
    win32::UseRealClock();

    win32::SetDisplayModes({{800, 600, 32, 75}});
    std::vector<DisplayModeInfo> modes = EnumerateDisplayModes();
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes[0].m_nRefreshRate, 75u);
    DisplayModeInfo good{800, 600, 32, 75}, bad{640, 480, 32, 60};
    EXPECT_TRUE(ChangeDisplayMode(&good));
    EXPECT_FALSE(ChangeDisplayMode(&bad));
    EXPECT_TRUE(ChangeDisplayMode(nullptr));
    win32::SetDisplayModes({});
    win32::ClearDisplayChanges();

    // Files opened through core land where MapPath says.
    win32::PathConfig config = savedPaths;
    config.m_strConfigDir = dir / "config/quenlaris";
    win32::SetPathConfig(config);
    ASSERT_TRUE(WriteFileAtomic("C:\\Quenlaris\\settings.dat", "\x01\x00\x00\x00", 4));
    EXPECT_EQ(ReadText(dir / "config/quenlaris/settings.dat").size(), 4u);

    win32::UseMemoryRegistry();
    win32::SetPathConfig(savedPaths);
    SetPathMapper(nullptr);
    SetClockSource({});
    SetDisplayModeSource({});
    if (szOld)
        setenv("XDG_CONFIG_HOME", old.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
