#include <win32/registry.h>

#include "TempDir.h"

#include "core/Log.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace
{
DWORD QueryDword(HKEY hKey, const char* szName, LSTATUS* pStatus = nullptr)
{
    DWORD nValue = 0, nType = 0, cb = sizeof(nValue);
    LSTATUS s = RegQueryValueExA(hKey, szName, nullptr, &nType, reinterpret_cast<BYTE*>(&nValue), &cb);
    if (pStatus)
        *pStatus = s;
    return s == ERROR_SUCCESS && nType == REG_DWORD && cb == 4 ? nValue : 0xDEADBEEF;
}

void SetDword(HKEY hKey, const char* szName, DWORD nValue)
{
    ASSERT_EQ(RegSetValueExA(hKey, szName, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nValue), 4), ERROR_SUCCESS);
}

HKEY CreateKey(const char* szPath, DWORD* pDisposition = nullptr)
{
    HKEY hKey = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, szPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                              nullptr, &hKey, pDisposition),
              ERROR_SUCCESS);
    return hKey;
}

class RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override { m_strFile = m_Dir / "config/quenlaris/registry"; }
    void TearDown() override
    {
        win32::UseMemoryRegistry();
        SetLogEcho(true);
    }
    TempDir m_Dir;
    std::string m_strFile;
};
}

TEST_F(RegistryTest, ValuesSurviveARestartWithNamesComparedWithoutCase)
{
    win32::UseRegistryFile(m_strFile);
    DWORD nDisposition = 0;
    HKEY hKey = CreateKey("SOFTWARE\\Oskel", &nDisposition);
    EXPECT_EQ(nDisposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    SetDword(hKey, "LeftKey", 37);
    const char szText[] = "say \"hi\"\\\r\n\x01";
    ASSERT_EQ(RegSetValueExA(hKey, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(szText), sizeof(szText)), ERROR_SUCCESS);
    const BYTE blob[] = {0x00, 0xFF, 0x10};
    ASSERT_EQ(RegSetValueExA(hKey, "Blob", 0, REG_BINARY, blob, sizeof(blob)), ERROR_SUCCESS);
    SetDword(hKey, "LEFTKEY", 192);   // same value, first spelling and place kept
    ASSERT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);

    std::string text = ReadText(m_strFile);
    EXPECT_NE(text.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Oskel]\n\"LeftKey\"=dword:000000c0\n"
                        "\"Name\"=\"say \\\"hi\\\"\\\\\\r\\n\\x01\"\n\"Blob\"=hex:00,ff,10\n"),
              std::string::npos)
        << text;

    win32::UseRegistryFile(m_strFile);   // a second start reads the file
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\OSKEL", 0, KEY_ALL_ACCESS, &hKey), ERROR_SUCCESS);
    EXPECT_EQ(QueryDword(hKey, "leftkey"), 192u);
    char szOut[64] = {};
    DWORD nType = 0, cb = sizeof(szOut);
    ASSERT_EQ(RegQueryValueExA(hKey, "NAME", nullptr, &nType, reinterpret_cast<BYTE*>(szOut), &cb), ERROR_SUCCESS);
    EXPECT_EQ(nType, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(cb, sizeof(szText));   // the terminating zero counts
    EXPECT_STREQ(szOut, szText);

    const char* expectedNames[] = {"LeftKey", "Name", "Blob"};
    const DWORD expectedTypes[] = {REG_DWORD, REG_SZ, REG_BINARY};
    DWORD i = 0;
    for (;; ++i)
    {
        char szName[32];
        DWORD cch = sizeof(szName);
        BYTE data[64];
        DWORD cbData = sizeof(data);
        LSTATUS s = RegEnumValueA(hKey, i, szName, &cch, nullptr, &nType, data, &cbData);
        if (s == ERROR_NO_MORE_ITEMS)
            break;
        ASSERT_EQ(s, ERROR_SUCCESS);
        ASSERT_LT(i, 3u);
        EXPECT_STREQ(szName, expectedNames[i]);
        EXPECT_EQ(cch, std::strlen(expectedNames[i]));
        EXPECT_EQ(nType, expectedTypes[i]);
        if (i == 2)
        {
            EXPECT_EQ(std::memcmp(data, blob, sizeof(blob)), 0);
        }
    }
    EXPECT_EQ(i, 3u);
    RegCloseKey(hKey);
}

TEST_F(RegistryTest, CallsAnswerWithTheWin32Codes)
{
    win32::UseMemoryRegistry();
    HKEY hKey = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quenlaris", 0, KEY_READ, &hKey), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(hKey, nullptr);
    hKey = CreateKey("SOFTWARE\\Quenlaris");
    DWORD nDisposition = 0;
    HKEY hAgain = CreateKey("software\\quenlaris\\", &nDisposition);
    EXPECT_EQ(nDisposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(hAgain);
    HKEY hParent = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_READ, &hParent), ERROR_SUCCESS);
    RegCloseKey(hParent);

    SetDword(hKey, "Width", 1024);
    LSTATUS s;
    QueryDword(hKey, "Height", &s);
    EXPECT_EQ(s, ERROR_FILE_NOT_FOUND);
    DWORD nValue = 7, cb = 3, nType = 0;
    EXPECT_EQ(RegQueryValueExA(hKey, "Width", nullptr, &nType, reinterpret_cast<BYTE*>(&nValue), &cb), ERROR_MORE_DATA);
    EXPECT_EQ(cb, 4u);
    EXPECT_EQ(nValue, 7u);
    cb = 0;
    EXPECT_EQ(RegQueryValueExA(hKey, "Width", nullptr, &nType, nullptr, &cb), ERROR_SUCCESS);
    EXPECT_EQ(cb, 4u);
    EXPECT_EQ(RegSetValueExA(hKey, "Bad", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&nValue), 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(hKey, "Bad", 0, 7 /* REG_MULTI_SZ */, reinterpret_cast<const BYTE*>("a\0"), 3),
              ERROR_INVALID_PARAMETER);
    char szName[3];
    DWORD cch = sizeof(szName);
    EXPECT_EQ(RegEnumValueA(hKey, 0, szName, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(RegDeleteValueA(hKey, "WIDTH"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(hKey, "Width"), ERROR_FILE_NOT_FOUND);
    cch = sizeof(szName);
    EXPECT_EQ(RegEnumValueA(hKey, 0, szName, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);

    // A closed handle stays dead even when its slot is reused.
    EXPECT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);
    HKEY hReused = CreateKey("SOFTWARE\\Oskel");
    EXPECT_EQ(RegCloseKey(hKey), ERROR_INVALID_HANDLE);
    QueryDword(hKey, "Width", &s);
    EXPECT_EQ(s, ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(hReused), ERROR_SUCCESS);
}

TEST_F(RegistryTest, DamagedLinesAreSkippedWithAWarning)
{
    TempDir dir;
    std::string file = dir.Write("registry",
                                 "; comment\n"
                                 "\"Orphan\"=dword:00000001\n"            // 2: before any key
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Oskel]\r\n"
                                 "\"UpKey\"=dword:00000011\n"
                                 "\"DownKey\"=dword:123\n"                // 5: short
                                 "\"Text\"=\"unterminated\n"              // 6
                                 "\"Bits\"=hex:01,0g\n"                   // 7
                                 "\"Bad\"=\"a\\q\"\n"                     // 8: unknown escape
                                 "@=\"default\"\n"
                                 "[broken\n"                              // 10
                                 "\"Lost\"=dword:00000002\n"              // 11: below the broken header
                                 "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quenlaris]\n"
                                 "\"Width\"=dword:00000400\n");
    SetLogEcho(false);
    ClearLogLines();
    win32::UseRegistryFile(file);
    std::vector<std::string> warned;
    for (const LogLine& line : GetLogLines())
        warned.push_back(line.m_strText);
    std::vector<std::string> expected;
    for (int n : {2, 5, 6, 7, 8, 10, 11})
        expected.push_back("RegistryStore::Load() - line " + std::to_string(n) + " of " + file + " is damaged; skipped.");
    EXPECT_EQ(warned, expected);

    HKEY hKey = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Oskel", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    EXPECT_EQ(QueryDword(hKey, "UpKey"), 17u);
    LSTATUS s;
    QueryDword(hKey, "DownKey", &s);
    EXPECT_EQ(s, ERROR_FILE_NOT_FOUND);
    char szText[16];
    DWORD cb = sizeof(szText);
    EXPECT_EQ(RegQueryValueExA(hKey, "", nullptr, nullptr, reinterpret_cast<BYTE*>(szText), &cb), ERROR_SUCCESS);
    EXPECT_STREQ(szText, "default");
    RegCloseKey(hKey);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quenlaris", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    EXPECT_EQ(QueryDword(hKey, "Width"), 1024u);
    RegCloseKey(hKey);
}

TEST_F(RegistryTest, TheFileIsNeverHalfWritten)
{
    win32::UseRegistryFile(m_strFile);
    HKEY hKey = CreateKey("SOFTWARE\\Oskel");
    SetDword(hKey, "ResetKey", 13);
    RegCloseKey(hKey);
    const std::string before = ReadText(m_strFile);
    ASSERT_FALSE(before.empty());

    // Nothing reaches the file while the key is open.
    hKey = CreateKey("SOFTWARE\\Oskel");
    SetDword(hKey, "ScreenshotKey", 120);
    EXPECT_EQ(ReadText(m_strFile), before);

    // A write that fails midway (the file-size limit stops it) leaves the old file whole and no
    // temporary file behind.
    std::vector<BYTE> big(64 * 1024, 0xAB);
    ASSERT_EQ(RegSetValueExA(hKey, "Big", 0, REG_BINARY, big.data(), static_cast<DWORD>(big.size())), ERROR_SUCCESS);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    SetLogEcho(false);
    LSTATUS s = RegCloseKey(hKey);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(s, ERROR_CANTWRITE);
    EXPECT_EQ(ReadText(m_strFile), before);
    size_t nFiles = 0;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(m_strFile).parent_path()))
        nFiles += entry.is_regular_file();
    EXPECT_EQ(nFiles, 1u);

    // The change is kept in memory and the next close of a changed key writes it.
    hKey = CreateKey("SOFTWARE\\Oskel");
    SetDword(hKey, "ShowFpsKey", 32);
    EXPECT_EQ(RegCloseKey(hKey), ERROR_SUCCESS);
    win32::UseRegistryFile(m_strFile);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Oskel", 0, KEY_READ, &hKey), ERROR_SUCCESS);
    EXPECT_EQ(QueryDword(hKey, "ScreenshotKey"), 120u);
    DWORD cb = 0;
    EXPECT_EQ(RegQueryValueExA(hKey, "Big", nullptr, nullptr, nullptr, &cb), ERROR_SUCCESS);
    EXPECT_EQ(cb, big.size());
    RegCloseKey(hKey);
}
