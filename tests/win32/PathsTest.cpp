#include <win32/paths.h>

#include "TempDir.h"

#include "core/Log.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace
{
// D, U, the config folder and the executable's folder side by side in one temporary tree; the
// working directory is D, as the program leaves it at start-up.
class MapPathTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Saved = win32::GetPathConfig();
        win32::PathConfig config;
        config.m_strDataDir = m_Dir / "share";
        config.m_strUserDir = m_Dir / "user";
        config.m_strConfigDir = m_Dir / "config";
        config.m_strExeDir = m_Dir / "bin";
        config.m_strDesktopDir = m_Dir / "Desktop";
        win32::SetPathConfig(config);
        m_Dir.Write("share/Media/t.dds", "d");
        m_Dir.Write("share/Media/DiffuseB.bmp", "d");
        m_Dir.Write("share/skins/default/Back.bmp", "d");
        m_Dir.Write("user/skins/default/Back.bmp", "u");
        m_Dir.Write("elsewhere/x.txt", "e");
        m_Dir.Write("bin/quenlaris", "");
        char szCwd[4096];
        m_strCwd = getcwd(szCwd, sizeof(szCwd)) ? szCwd : "/";
        ASSERT_EQ(chdir((m_Dir / "share").c_str()), 0);
    }
    void TearDown() override
    {
        EXPECT_EQ(chdir(m_strCwd.c_str()), 0);
        win32::SetPathConfig(m_Saved);
        SetLogEcho(true);
    }
    TempDir m_Dir;
    win32::PathConfig m_Saved;
    std::string m_strCwd;
};
}

TEST_F(MapPathTest, NamesMapToTheDataUserAndConfigFolders)
{
    const std::string D = m_Dir / "share", U = m_Dir / "user", C = m_Dir / "config";
    struct Case
    {
        std::string m_strName;
        bool m_bWrite;
        std::string m_strExpected;
    };
    const Case cases[] = {
        {"Media\\t.dds", false, D + "/Media/t.dds"},
        {"MEDIA\\T.DDS", false, D + "/Media/t.dds"},                          // any case
        {"c:\\quenlaris\\Media\\DiffuseB.bmp", false, D + "/Media/DiffuseB.bmp"},
        {"C:\\Quenlaris\\settings.dat", false, C + "/settings.dat"},
        {"C:\\Quenlaris\\settings.dat", true, C + "/settings.dat"},
        {"settings.dat", true, C + "/settings.dat"},
        {"skins\\default\\back.bmp", false, U + "/skins/default/Back.bmp"},   // U first
        {"Media\\t.dds", true, U + "/Media/t.dds"},                           // writes go to U
        {"\\Images\\Default.bmp", true, U + "/Images/Default.bmp"},           // below the working directory
        {"Media\\missing.dds", false, D + "/Media/missing.dds"},
        {m_Dir / "bin/Media/t.dds", false, D + "/Media/t.dds"},     // the executable's folder is D
        {m_Dir / "ELSEWHERE/X.TXT", false, m_Dir / "elsewhere/x.txt"},
        {"C:\\QuenlarisOld\\a.txt", false, ""},
    };
    SetLogEcho(false);
    for (const Case& c : cases)
        EXPECT_EQ(win32::MapPath(c.m_strName.c_str(), c.m_bWrite), c.m_strExpected) << c.m_strName << (c.m_bWrite ? " (write)" : "");
    // Writing creates the folders on the way.
    EXPECT_TRUE(std::filesystem::is_directory(U + "/Images"));
}

TEST_F(MapPathTest, RelativeReadsFallBackToTheDataFolderAndOtherDrivesAreReportedOnce)
{
    ASSERT_EQ(chdir((m_Dir / "elsewhere").c_str()), 0);
    EXPECT_EQ(win32::MapPath("Media\\t.dds", false), m_Dir / "share/Media/t.dds");
    EXPECT_EQ(win32::MapPath("x.txt", false), m_Dir / "elsewhere/x.txt");
    EXPECT_EQ(win32::MapPath("new.txt", true), m_Dir / "elsewhere/new.txt");

    SetLogEcho(false);
    ClearLogLines();
    EXPECT_EQ(win32::MapPath("D:\\scenes\\a.qnl", false), "");
    EXPECT_EQ(win32::MapPath("E:\\b.jpg", true), "");
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_EQ(GetLogLines()[0].m_strText, "MapPath() - D:\\scenes\\a.qnl is on a drive this system does not have; not found.");
}

TEST_F(MapPathTest, DesktopFolderComesFromTheConfiguration)
{
    char szPath[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, szPath, CSIDL_DESKTOPDIRECTORY, TRUE));
    EXPECT_EQ(std::string(szPath), m_Dir / "Desktop");
    EXPECT_TRUE(std::filesystem::is_directory(szPath));
    EXPECT_FALSE(SHGetSpecialFolderPathA(nullptr, szPath, 0x0005 /* CSIDL_PERSONAL */, FALSE));
}

TEST(PathConfigTest, DesktopIsReadFromUserDirsElseHome)
{
    TempDir dir;
    dir.Write("config/user-dirs.dirs", "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\n");
    std::filesystem::create_directories(dir / "home/Bureau");
    std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    const char* szOldConfig = getenv("XDG_CONFIG_HOME");
    std::string oldConfig = szOldConfig ? szOldConfig : "";
    setenv("HOME", (dir / "home").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    win32::PathConfig config = win32::DefaultPathConfig();
    EXPECT_EQ(config.m_strDesktopDir, dir / "home/Bureau");
    EXPECT_EQ(config.m_strConfigDir, dir / "config/quenlaris");
    std::filesystem::remove(dir / "home/Bureau");
    EXPECT_EQ(win32::DefaultPathConfig().m_strDesktopDir, dir / "home");
    setenv("HOME", oldHome.c_str(), 1);
    if (szOldConfig)
        setenv("XDG_CONFIG_HOME", oldConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}
