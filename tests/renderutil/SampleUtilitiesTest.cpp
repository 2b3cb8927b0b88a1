// Media search order, model search, registry values, GUID text and text conversions.
#include "3dapi/MediaSearch.h"
#include "3dapi/RegistryValues.h"
#include "3dapi/TextConvert.h"
#include "core/Log.h"
#include "morvyn/morvyn.h"

#include <win32/install.h>
#include <win32/paths.h>
#include <win32/registry.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace
{
// A temporary tree that is also the current directory while the test runs.
class MediaTree : public ::testing::Test
{
protected:
    void SetUp() override
    {
        win32::InstallBase();
        win32::UseMemoryRegistry();
        m_Root = fs::temp_directory_path() / ("renderutil_media_" + std::to_string(::getpid()));
        fs::create_directories(m_Root);
        m_Saved = fs::current_path();
        fs::current_path(m_Root);
        m_SavedPaths = win32::GetPathConfig();
        win32::PathConfig config = m_SavedPaths;
        config.m_strDataDir = (m_Root / "data").string();
        config.m_strUserDir = (m_Root / "user").string();
        win32::SetPathConfig(config);
        SetLogEcho(false);
        ClearLogLines();
    }
    void TearDown() override
    {
        SetLogEcho(true);
        win32::SetPathConfig(m_SavedPaths);
        fs::current_path(m_Saved);
        fs::remove_all(m_Root);
        win32::UseMemoryRegistry();
    }
    void Write(const std::string& relative)
    {
        fs::create_directories((m_Root / relative).parent_path());
        std::ofstream(m_Root / relative) << "x";
    }
    void RegisterSdk(const std::string& folder)
    {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX SDK", 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(WriteStringRegValue(hKey, "DX9SDK Samples Path", folder.c_str()), S_OK);
        RegCloseKey(hKey);
    }

    fs::path m_Root;
    fs::path m_Saved;
    win32::PathConfig m_SavedPaths;
};

TEST_F(MediaTree, SearchTriesTheNameThenItsFilePartThenTheSdkMedia)
{
    Write("models/Ship.x");
    Write("Tex.dds");
    Write("sdk/Media/Sky.bmp");
    fs::create_directories(m_Root / "Folder.x");
    RegisterSdk((m_Root / "sdk").string());

    struct Case
    {
        const char* szName;
        HRESULT hExpected;
        std::string strExpected;
    };
    const Case cases[] = {
        // As named: "\" separators and another letter case still find the file.
        {"models\\Ship.x", S_OK, (m_Root / "models/Ship.x").string()},
        {"MODELS\\ship.X", S_OK, (m_Root / "models/Ship.x").string()},
        // Not in the named folder, but its file part is in the current directory.
        {"elsewhere\\Tex.dds", S_OK, "Tex.dds"},
        // Only in the SDK's media folder.
        {"elsewhere\\Sky.bmp", S_OK, (m_Root / "sdk").string() + "\\Media\\Sky.bmp"},
        // Nowhere: the name itself and "file not found".
        {"elsewhere\\None.x", MEDIA_FILE_NOT_FOUND, "elsewhere\\None.x"},
        // A folder of that name is not a file.
        {"Folder.x", MEDIA_FILE_NOT_FOUND, "Folder.x"},
    };
    for (const Case& c : cases)
    {
        char szPath[512] = "garbage";
        EXPECT_EQ(SearchMediaFile(szPath, sizeof(szPath), c.szName), c.hExpected) << c.szName;
        EXPECT_EQ(std::string(szPath), c.strExpected) << c.szName;
    }

    char szSmall[4];
    EXPECT_EQ(SearchMediaFile(szSmall, sizeof(szSmall), "models\\Ship.x"), E_FAIL);
    EXPECT_EQ(SearchMediaFile(nullptr, 10, "a"), E_INVALIDARG);
    EXPECT_EQ(SearchMediaFile(szSmall, 0, "a"), E_INVALIDARG);
    EXPECT_EQ(SearchMediaFileBytes(szSmall, sizeof(szSmall), nullptr), E_INVALIDARG);
}

TEST_F(MediaTree, WithoutTheSdkTheMediaStepFails)
{
    char szPath[256];
    EXPECT_EQ(GetSdkMediaPath(szPath, sizeof(szPath)), E_FAIL);
    EXPECT_STREQ(szPath, "");
    EXPECT_EQ(SearchMediaFile(szPath, sizeof(szPath), "missing.x"), E_FAIL);

    RegisterSdk("/opt/sdk");
    EXPECT_EQ(GetSdkMediaPath(szPath, sizeof(szPath)), S_OK);
    EXPECT_STREQ(szPath, "/opt/sdk\\Media\\");
    // "/opt/sdk" fits in 10 characters, the media folder does not.
    EXPECT_EQ(GetSdkMediaPath(szPath, 10), E_INVALIDARG);
}

TEST_F(MediaTree, ModelSearchReportsAndRefusesNamesThatDoNotFit)
{
    char szPath[260];
    EXPECT_EQ(FindMediaFileCch(szPath, sizeof(szPath), "ship.x"), E_FAIL);
    ASSERT_FALSE(GetLogLines().empty());
    EXPECT_NE(GetLogLines().back().m_strText.find("....fail load model "), std::string::npos);
    EXPECT_NE(GetLogLines().back().m_strText.find("ship.x/n"), std::string::npos);

    ClearLogLines();
    std::string longName(300, 'a');
    EXPECT_EQ(FindMediaFileCch(szPath, sizeof(szPath), longName.c_str()), E_INVALIDARG);
    EXPECT_STREQ(szPath, "");
    EXPECT_TRUE(GetLogLines().empty());
}

TEST_F(MediaTree, RegistryValuesRoundTripAndFallBackToDefaults)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Quenlaris", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey,
                              nullptr),
              ERROR_SUCCESS);
    const GUID guid = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    EXPECT_EQ(WriteStringRegValue(hKey, "Name", "photon"), S_OK);
    EXPECT_EQ(WriteIntRegValue(hKey, "Count", -7), S_OK);
    EXPECT_EQ(WriteBoolRegValue(hKey, "On", 1), S_OK);
    EXPECT_EQ(WriteGuidRegValue(hKey, "Id", guid), S_OK);
    EXPECT_EQ(WriteStringRegValue(hKey, "Null", nullptr), E_INVALIDARG);

    char szText[8];
    int nValue = 0;
    GUID read{};
    EXPECT_EQ(ReadStringRegValue(hKey, "Name", szText, sizeof(szText), "none"), S_OK);
    EXPECT_STREQ(szText, "photon");
    EXPECT_EQ(ReadIntRegValue(hKey, "Count", &nValue, 3), S_OK);
    EXPECT_EQ(nValue, -7);
    EXPECT_EQ(ReadBoolRegValue(hKey, "On", &nValue, 0), S_OK);
    EXPECT_EQ(nValue, 1);
    EXPECT_EQ(ReadGuidRegValue(hKey, "Id", &read, nullptr), S_OK);
    EXPECT_EQ(read, guid);

    // Missing values and values of another type give the default; a long default is cut.
    EXPECT_EQ(ReadStringRegValue(hKey, "Missing", szText, sizeof(szText), "a default text"), E_FAIL);
    EXPECT_STREQ(szText, "a defau");
    EXPECT_EQ(ReadIntRegValue(hKey, "Name", &nValue, 42), E_FAIL);
    EXPECT_EQ(nValue, 42);
    const GUID fallback = {1, 2, 3, {}};
    EXPECT_EQ(ReadGuidRegValue(hKey, "Count", &read, &fallback), E_FAIL);
    EXPECT_EQ(read, fallback);
    RegCloseKey(hKey);
}

TEST(GuidTextTest, RoundTripAndRefusedTexts)
{
    const GUID guid = {0x0A1B2C3D, 0x4E5F, 0x0607, {0x80, 0x91, 0xA2, 0xB3, 0xC4, 0xD5, 0xE6, 0xF7}};
    char szText[39];
    ASSERT_EQ(GuidToString(guid, szText, sizeof(szText)), S_OK);
    EXPECT_STREQ(szText, "{0A1B2C3D-4E5F-0607-8091-A2B3C4D5E6F7}");
    GUID back{};
    EXPECT_EQ(GuidFromString(szText, &back), S_OK);
    EXPECT_EQ(back, guid);
    EXPECT_EQ(GuidFromString("{0a1b2c3d-4e5f-0607-8091-a2b3c4d5e6f7}", &back), S_OK);
    EXPECT_EQ(back, guid);

    // One character short of the whole text does not fit.
    EXPECT_EQ(GuidToStringBytes(guid, szText, 38), E_FAIL);

    for (const char* szBad : {"{0A1B2C3D-4E5F-0607-8091-A2B3C4D5E6}", "0A1B2C3D-4E5F-0607-8091-A2B3C4D5E6F7", "", "{zz}"})
    {
        back = guid;
        EXPECT_EQ(GuidFromString(szBad, &back), E_FAIL) << szBad;
        EXPECT_EQ(back, GUID{}) << szBad;
    }
}

TEST(TextConvertTest, BoundedCopiesAndConversionsAlwaysTerminate)
{
    wchar_t wide[4];
    EXPECT_EQ(AnsiToWide(wide, "ab", 4), S_OK);
    EXPECT_STREQ(wide, L"ab");
    // Too long for the destination: nothing converts, the last element is still a zero.
    EXPECT_EQ(AnsiToWide(wide, "abcdef", 4), E_FAIL);
    EXPECT_EQ(wide[3], 0);
    EXPECT_EQ(ToWideStringBytes(wide, "abc", sizeof(wide)), S_OK);
    EXPECT_STREQ(wide, L"abc");

    char narrow[4];
    EXPECT_EQ(WideToAnsi(narrow, L"\u00E9", 4), S_OK);
    EXPECT_STREQ(narrow, "\xC3\xA9");
    EXPECT_EQ(FromWideStringBytes(narrow, L"abcdef", sizeof(narrow)), E_FAIL);
    EXPECT_EQ(narrow[3], 0);

    char copy[6];
    std::memset(copy, 'x', sizeof(copy));
    EXPECT_EQ(ToAnsiStringBytes(copy, "ab", sizeof(copy)), S_OK);
    for (int i = 2; i < 6; ++i)
        EXPECT_EQ(copy[i], 0) << i;
    EXPECT_EQ(FromAnsiString(copy, "abcdefgh", 6), S_OK);
    EXPECT_STREQ(copy, "abcde");

    EXPECT_EQ(AnsiToWide(nullptr, "a", 4), E_INVALIDARG);
    EXPECT_EQ(WideToAnsi(narrow, nullptr, 4), E_INVALIDARG);
    EXPECT_EQ(ToAnsiString(copy, "a", 0), E_INVALIDARG);
}

TEST(MorvynFacadeTest, DeviceSettingsAndModes)
{
    SetLogEcho(false);
    ClearLogLines();
    SetMorvynDevice(nullptr);
    EXPECT_EQ(GetMorvynDevice(), nullptr);
    EXPECT_EQ(GetMorvynDevice(), nullptr);
    ASSERT_EQ(GetLogLines().size(), 2u);
    EXPECT_EQ(GetLogLines()[0].m_strText, "------>ZUZUDIVEZE device not set");
    EXPECT_EQ(GetLogLines()[0].m_nType, LOG_ERROR);
    EXPECT_FALSE(BeginMorvynScene());
    SetLogEcho(true);

    SetCoreValue1(2.0f);
    SetCoreScale(1.5f);
    EXPECT_FLOAT_EQ(GetScaledCoreValue1(), 3.0f);
    EXPECT_EQ(GetCoreMode(), 3);
    EXPECT_EQ(SelectByCoreMode(9), 9);
    const int expected[] = {1, 2, 3, 1};
    for (int nMode : expected)
    {
        CycleCoreMode();
        EXPECT_EQ(GetCoreMode(), nMode);
        EXPECT_EQ(IsCoreMode3(), nMode == 3);
        EXPECT_EQ(SelectByCoreMode(9), nMode == 3 ? 9 : 1);
    }
}
}  // namespace
