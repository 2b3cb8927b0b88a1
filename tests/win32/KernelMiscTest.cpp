#include <win32/modules.h>
#include <win32/paths.h>
#include <win32/shellapi.h>
#include <win32/winbase.h>

#include "TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(ProfileFileTest, ValuesSectionsAndDefaults)
{
    TempDir dir;
    std::string file = dir.Write("game.ini",
                                 "; settings\r\n"
                                 "[Display]\r\n"
                                 "Width = 800 \r\n"
                                 "Title=\"Quen laris\"\r\n"
                                 "Fog=yes\r\n"
                                 "Width=1024\r\n"          // the first occurrence wins
                                 "[Ship]\n"
                                 "Speed=-12.5\n"
                                 "Name\n");                // not a key line
    char buf[64];
    struct Case
    {
        const char* m_szSection;
        const char* m_szKey;
        const char* m_szDefault;
        DWORD m_nSize;
        std::string m_strExpected;   // zeros included for lists
        DWORD m_nResult;
    };
    const Case cases[] = {
        {"display", "WIDTH", "x", sizeof(buf), "800", 3},
        {"Display", "Title", "", sizeof(buf), "Quen laris", 10},
        {"Display", "Missing", "dflt  ", sizeof(buf), "dflt", 4},
        {"Nowhere", "Width", nullptr, sizeof(buf), "", 0},
        {"Display", "Title", "", 5, "Quen", 4},
        {"Display", nullptr, "", sizeof(buf), std::string("Width\0Title\0Fog\0\0", 17), 16},
        {nullptr, nullptr, "", sizeof(buf), std::string("Display\0Ship\0\0", 14), 13},
        {nullptr, nullptr, "", 6, std::string("Disp\0\0", 6), 4},
    };
    for (const Case& c : cases)
    {
        std::memset(buf, 'X', sizeof(buf));
        DWORD n = GetPrivateProfileStringA(c.m_szSection, c.m_szKey, c.m_szDefault, buf, c.m_nSize, file.c_str());
        EXPECT_EQ(n, c.m_nResult) << (c.m_szSection ? c.m_szSection : "(null)") << "/" << (c.m_szKey ? c.m_szKey : "(null)");
        EXPECT_EQ(std::string(buf, c.m_strExpected.size()), c.m_strExpected);
        if (c.m_szKey)
        {
            EXPECT_EQ(buf[c.m_strExpected.size()], 0);
        }
    }
    EXPECT_EQ(GetPrivateProfileIntA("Ship", "Speed", 7, file.c_str()), static_cast<UINT>(-12));
    EXPECT_EQ(GetPrivateProfileIntA("Ship", "Mass", 7, file.c_str()), 7u);
    EXPECT_EQ(GetPrivateProfileIntA("Display", "Fog", 7, file.c_str()), 0u);
    EXPECT_EQ(GetPrivateProfileStringA("A", "B", "def", buf, sizeof(buf), (dir / "missing.ini").c_str()), 3u);
}

TEST(TextConversionTest, Utf8WithWindows1252ForStrayBytes)
{
    struct Case
    {
        std::string m_strNarrow;
        std::wstring m_strWide;
    };
    const Case cases[] = {
        {"abc", L"abc"},
        {"caf\xC3\xA9 \xE2\x82\xAC", L"caf\u00E9 \u20AC"},
        {"\x80\xE9!", L"\u20AC\u00E9!"},           // not UTF-8: Windows-1252
        {"\xC3(", L"\u00C3("},                    // a cut sequence
        {"\xF0\x9F\x98\x80", std::wstring(1, static_cast<wchar_t>(0x1F600))},
    };
    for (const Case& c : cases)
    {
        wchar_t wide[16];
        int n = MultiByteToWideChar(CP_ACP, 0, c.m_strNarrow.c_str(), -1, wide, 16);
        ASSERT_EQ(n, static_cast<int>(c.m_strWide.size()) + 1) << c.m_strNarrow;
        EXPECT_EQ(std::wstring(wide), c.m_strWide);
        EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, c.m_strNarrow.c_str(), -1, nullptr, 0), n);
    }
    wchar_t small[2];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, small, 2), 0);

    char narrow[16];
    int n = WideCharToMultiByte(CP_ACP, 0, L"caf\u00E9", -1, narrow, sizeof(narrow), nullptr, nullptr);
    EXPECT_EQ(n, 6);
    EXPECT_STREQ(narrow, "caf\xC3\xA9");
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, L"caf\u00E9", -1, narrow, 5, nullptr, nullptr), 0);
    EXPECT_EQ(lstrcmpiA("Mesh01", "MESH01"), 0);
    EXPECT_LT(lstrcmpiA("a", "B"), 0);
    EXPECT_EQ(lstrlenA(nullptr), 0);
}

TEST(KernelFilesTest, FullPathsExistenceAndMemoryBlocks)
{
    TempDir dir;
    win32::PathConfig saved = win32::GetPathConfig();
    win32::PathConfig config = saved;
    config.m_strDataDir = dir / "share";
    config.m_strUserDir = dir / "user";
    win32::SetPathConfig(config);
    dir.Write("share/Media/t.dds", "DDS ");

    char buf[512];
    LPSTR pFile = nullptr;
    DWORD n = GetFullPathNameA("C:\\Quenlaris\\media\\T.dds", sizeof(buf), buf, &pFile);
    std::string expected = dir / "share/Media/t.dds";
    EXPECT_EQ(n, expected.size());
    EXPECT_EQ(std::string(buf), expected);
    ASSERT_TRUE(pFile);
    EXPECT_STREQ(pFile, "t.dds");
    EXPECT_EQ(GetFullPathNameA("C:\\Quenlaris\\Media\\t.dds", 4, buf, &pFile), expected.size() + 1);

    HANDLE h = CreateFileA("C:\\Quenlaris\\Media\\t.dds", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(CreateFileA("C:\\Quenlaris\\Media\\none.dds", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);

    HGLOBAL hMem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, 40);
    ASSERT_TRUE(hMem);
    EXPECT_EQ(GlobalSize(hMem), 40u);
    auto* p = static_cast<unsigned char*>(GlobalLock(hMem));
    ASSERT_TRUE(p);
    EXPECT_EQ(p[39], 0);
    p[39] = 7;
    EXPECT_FALSE(GlobalUnlock(hMem));
    EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(hMem))[39], 7);
    GlobalUnlock(hMem);
    EXPECT_EQ(GlobalFree(hMem), nullptr);
    win32::SetPathConfig(saved);
}

TEST(ModulesTest, OnlyTheTwoBuiltInLibrariesLoad)
{
    HMODULE hComctl = LoadLibraryA("COMCTL32.DLL");
    ASSERT_TRUE(hComctl);
    EXPECT_EQ(LoadLibraryA("comctl32"), hComctl);
    auto pfnVersion = reinterpret_cast<DLLGETVERSIONPROC>(GetProcAddress(hComctl, "DllGetVersion"));
    ASSERT_TRUE(pfnVersion);
    DLLVERSIONINFO info{sizeof(info), 0, 0, 0, 0};
    EXPECT_EQ(pfnVersion(&info), S_OK);
    EXPECT_EQ(info.dwMajorVersion, 6u);
    EXPECT_EQ(info.dwMinorVersion, 0u);
    EXPECT_EQ(GetProcAddress(hComctl, "ShellExecuteA"), nullptr);
    HMODULE hShell = LoadLibraryA("shell32.dll");
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(hShell, "ShellExecuteA")), reinterpret_cast<void*>(ShellExecuteA));
    EXPECT_TRUE(FreeLibrary(hShell));
    EXPECT_EQ(LoadLibraryA("d3d9.dll"), nullptr);
    EXPECT_FALSE(FreeLibrary(nullptr));
}
