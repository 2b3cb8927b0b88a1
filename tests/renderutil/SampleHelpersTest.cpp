// The growable array of the sample framework and the readme opener.
#include "3dapi/GrowableArray.h"
#include "3dapi/SampleReadme.h"
#include "core/Log.h"

#include <win32/paths.h>
#include <win32/registry.h>
#include <win32/shellapi.h>
#include <win32/testing.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace
{
struct Record
{
    int32_t nKey;
    float fValue;
    char szName[8];
};

Record MakeRecord(int32_t n)
{
    Record r{n, static_cast<float>(n) * 0.5f, {}};
    r.szName[0] = static_cast<char>('a' + n % 26);
    return r;
}

TEST(GrowableArrayTest, ValuesAreCopiedAndTheBlockDoublesKeepingItsElements)
{
    GrowableArray array(GrowableArray::HOLDS_VALUES, sizeof(Record));
    EXPECT_EQ(array.GetCapacity(), 0u);
    for (int32_t i = 0; i < 16; ++i)
    {
        Record r = MakeRecord(i);
        ASSERT_EQ(array.Add(&r), S_OK);
    }
    EXPECT_EQ(array.GetCapacity(), 16u);
    // The 17th element moves everything into a block of 32.
    Record r16 = MakeRecord(16);
    ASSERT_EQ(array.Add(&r16), S_OK);
    EXPECT_EQ(array.GetCapacity(), 32u);
    EXPECT_EQ(array.GetCount(), 17u);
    for (int32_t i = 0; i <= 16; ++i)
    {
        auto* p = static_cast<const Record*>(array.Get(i));
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->nKey, i);
        EXPECT_EQ(p->fValue, static_cast<float>(i) * 0.5f);
        EXPECT_EQ(p->szName[0], 'a' + i % 26);
    }
    // Values are copies: changing the original afterwards changes nothing stored.
    r16.nKey = 99;
    EXPECT_EQ(static_cast<const Record*>(array.Get(16))->nKey, 16);

    Record probe = MakeRecord(5);
    EXPECT_TRUE(array.Contains(&probe));
    probe.fValue += 1.0f;
    EXPECT_FALSE(array.Contains(&probe));
    EXPECT_EQ(array.Get(17), nullptr);
    EXPECT_EQ(array.Get(-1), nullptr);
}

TEST(GrowableArrayTest, RemoveShiftsLaterElementsAndIgnoresBadIndexes)
{
    GrowableArray array(GrowableArray::HOLDS_VALUES, sizeof(int32_t));
    for (int32_t v : {10, 20, 30})
        ASSERT_EQ(array.Add(&v), S_OK);
    auto values = [&] {
        std::vector<int32_t> out;
        for (uint32_t i = 0; i < array.GetCount(); ++i)
            out.push_back(*static_cast<const int32_t*>(array.Get(static_cast<int>(i))));
        return out;
    };
    array.Remove(5);
    array.Remove(3);
    array.Remove(-1);
    EXPECT_EQ(values(), (std::vector<int32_t>{10, 20, 30}));
    array.Remove(0);
    EXPECT_EQ(values(), (std::vector<int32_t>{20, 30}));
    array.Remove(1);
    EXPECT_EQ(values(), (std::vector<int32_t>{20}));
    array.Remove(0);
    EXPECT_EQ(array.GetCount(), 0u);
    array.Remove(0);
    EXPECT_EQ(array.GetCount(), 0u);
}

TEST(GrowableArrayTest, ReferencesStorePointersAndZeroSizedElementsAreRefused)
{
    GrowableArray refs(GrowableArray::HOLDS_REFERENCES, 0);
    EXPECT_EQ(refs.GetElementSize(), static_cast<int32_t>(sizeof(void*)));
    int a = 1, b = 2, c = 3;
    ASSERT_EQ(refs.Add(&a), S_OK);
    ASSERT_EQ(refs.Add(&b), S_OK);
    ASSERT_EQ(refs.Add(nullptr), S_OK);
    EXPECT_EQ(refs.Get(0), &a);
    EXPECT_EQ(refs.Get(1), &b);
    EXPECT_EQ(refs.Get(2), nullptr);
    EXPECT_TRUE(refs.Contains(&b));
    EXPECT_FALSE(refs.Contains(&c));
    // Another int with the same value is not the same reference.
    int b2 = 2;
    EXPECT_FALSE(refs.Contains(&b2));
    refs.Remove(0);
    EXPECT_EQ(refs.Get(0), &b);

    GrowableArray empty(GrowableArray::HOLDS_VALUES, 0);
    EXPECT_EQ(empty.Add(&a), E_FAIL);
    GrowableArray negative(GrowableArray::HOLDS_VALUES, -4);
    EXPECT_EQ(negative.Add(&a), E_FAIL);
    GrowableArray values(GrowableArray::HOLDS_VALUES, sizeof(int));
    EXPECT_EQ(values.Add(nullptr), E_INVALIDARG);
    EXPECT_EQ(values.GetCount(), 0u);
    EXPECT_FALSE(values.Contains(nullptr));
}

// The readme opener, with the data folder and the SDK folder in a temporary tree and the viewer
// replaced: the test sees the argument vector that would have started it.
class SampleReadmeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Root = fs::temp_directory_path() / ("renderutil_readme_" + std::to_string(::getpid()));
        fs::create_directories(m_Root);
        m_SavedPaths = win32::GetPathConfig();
        win32::PathConfig config = m_SavedPaths;
        config.m_strDataDir = (m_Root / "data").string();
        config.m_strUserDir = (m_Root / "user").string();
        win32::SetPathConfig(config);
        win32::SetSpawnFunction([this](const std::vector<std::string>& args) {
            m_Spawned.push_back(args);
            return m_bSpawnWorks;
        });
        SetLogEcho(false);
    }
    void TearDown() override
    {
        SetLogEcho(true);
        win32::SetSpawnFunction(nullptr);
        win32::SetPathConfig(m_SavedPaths);
        fs::remove_all(m_Root);
    }
    std::string Write(const std::string& relative)
    {
        fs::create_directories((m_Root / relative).parent_path());
        std::ofstream(m_Root / relative) << "readme";
        return (m_Root / relative).string();
    }
    void RegisterSdk()
    {
        HKEY hKey = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX SDK", 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &hKey, nullptr),
                  ERROR_SUCCESS);
        std::string folder = (m_Root / "sdk").string();
        RegSetValueExA(hKey, "DX9SDK Samples Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                       static_cast<DWORD>(folder.size() + 1));
        RegCloseKey(hKey);
    }
    // Runs the opener; the text of the warning box, or empty when none came up.
    std::string Open(const char* szSample)
    {
        m_Driver.answers().msgbox(IDOK);
        testing::internal::CaptureStderr();
        OpenSampleReadme(nullptr, szSample);
        std::string err = testing::internal::GetCapturedStderr();
        m_Driver.answers().clear();
        return err;
    }

    win32::Driver m_Driver;
    fs::path m_Root;
    win32::PathConfig m_SavedPaths;
    std::vector<std::vector<std::string>> m_Spawned;
    bool m_bSpawnWorks = true;
};

const char NO_README_BOX[] = "MessageBox \"DirectX SDK Sample\": Could not find readme.txt\n";

TEST_F(SampleReadmeTest, TheSdkCopyOfANamedSampleComesFirstThenTheProgramsFolder)
{
    RegisterSdk();
    std::string sdkReadme = Write("sdk/C++/Billboard/readme.txt");
    // The program's own folder stands for the data folder.
    std::string ownReadme = Write("data/readme.txt");

    EXPECT_EQ(Open("Billboard"), "");
    EXPECT_EQ(Open("Missing"), "");
    EXPECT_EQ(Open(nullptr), "");
    ASSERT_EQ(m_Spawned.size(), 3u);
    EXPECT_EQ(m_Spawned[0], (std::vector<std::string>{"xdg-open", sdkReadme}));
    EXPECT_EQ(m_Spawned[1], (std::vector<std::string>{"xdg-open", ownReadme}));
    EXPECT_EQ(m_Spawned[2], (std::vector<std::string>{"xdg-open", ownReadme}));
}

TEST_F(SampleReadmeTest, NoReadmeOrNoViewerGivesTheWarningBox)
{
    EXPECT_EQ(Open("Billboard"), NO_README_BOX);
    EXPECT_TRUE(m_Spawned.empty());

    Write("data/readme.txt");
    m_bSpawnWorks = false;
    EXPECT_EQ(Open(nullptr), NO_README_BOX);
    EXPECT_EQ(m_Spawned.size(), 1u);
}
}  // namespace
