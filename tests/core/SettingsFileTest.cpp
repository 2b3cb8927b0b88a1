#include "core/SettingsFile.h"

#include "core/Log.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace
{
class SettingsFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strPath = (std::filesystem::temp_directory_path() /
                     ("quen_settings_" + std::to_string(getpid()) + ".txt"))
                        .string();
    }
    void TearDown() override { std::filesystem::remove(m_strPath); }
    void WriteText(const std::string& text) { std::ofstream(m_strPath, std::ios::binary) << text; }
    std::string ReadText()
    {
        std::ifstream in(m_strPath, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string m_strPath;
};
}

TEST_F(SettingsFileTest, SaveWritesExactLinesAndLoadReadsThemBack)
{
    SettingsFile settings;
    settings.SetInt("width", 640);
    settings.SetString("name", "test");
    ASSERT_TRUE(settings.Save(m_strPath.c_str()));
    EXPECT_EQ(ReadText(), "width = 640;\r\nname = test;\r\n");

    SettingsFile loaded;
    loaded.SetString("stale", "x");
    ASSERT_TRUE(loaded.Load(m_strPath.c_str()));
    ASSERT_EQ(loaded.GetCount(), 2);
    int nWidth = 0;
    EXPECT_TRUE(loaded.GetInt("WIDTH", nWidth));
    EXPECT_EQ(nWidth, 640);
    EXPECT_STREQ(loaded.GetString("Name"), "test");
    EXPECT_EQ(loaded.GetString("stale"), nullptr);

    SettingsFile empty;
    ASSERT_TRUE(empty.Save(m_strPath.c_str()));
    EXPECT_EQ(ReadText(), "");
}

TEST_F(SettingsFileTest, ValuesRoundTrip)
{
    const char* values[] = {"-3", "1.5", "my demo", "", "a = b", "C:/path/with spaces/file.txt", "-", "x\ty"};
    SettingsFile settings;
    for (size_t i = 0; i < sizeof(values) / sizeof(values[0]); ++i)
        settings.SetString(("key" + std::to_string(i)).c_str(), values[i]);
    settings.SetInt("negative", -3);
    settings.SetInt("lowest", -2147483647 - 1);
    settings.SetBool("flag", true);
    ASSERT_TRUE(settings.Save(m_strPath.c_str()));

    SettingsFile loaded;
    ASSERT_TRUE(loaded.Load(m_strPath.c_str()));
    ASSERT_EQ(loaded.GetCount(), settings.GetCount());
    for (size_t i = 0; i < sizeof(values) / sizeof(values[0]); ++i)
    {
        const char* szLoaded = loaded.GetString(("key" + std::to_string(i)).c_str());
        ASSERT_NE(szLoaded, nullptr);
        EXPECT_STREQ(szLoaded, values[i]);
        EXPECT_EQ(loaded.GetEntry(static_cast<int>(i)).m_nValueLength, std::strlen(values[i]));
    }
    int n = 0;
    EXPECT_TRUE(loaded.GetInt("negative", n));
    EXPECT_EQ(n, -3);
    EXPECT_TRUE(loaded.GetInt("lowest", n));
    EXPECT_EQ(n, -2147483647 - 1);
    bool b = false;
    EXPECT_TRUE(loaded.GetBool("flag", b));
    EXPECT_TRUE(b);
}

TEST_F(SettingsFileTest, LenientReading)
{
    struct Case
    {
        const char* szText;
        const char* szName;
        const char* szValue;
        int nCount;
    };
    const Case cases[] = {
        // The reader looks for the next "=" across line ends, skipping the name width.
        {"flag;\nwidth = 640;\n", "flag", "640", 1},
        {"  title   =   my demo  ;", "title", "my demo", 1},
        {"a=1;b=2;", "b", "2", 2},
        {"ratio = 1.5", "ratio", "1.5", 1},
        {"lonely", "lonely", "", 1},
        {"x junk = 4;", "x", "4", 1},
        {"w = 1;\r\nh = 2;\r\n", "h", "2", 2},
        {"", nullptr, nullptr, 0},
        {" \r\n\t ", nullptr, nullptr, 0},
    };
    for (const Case& c : cases)
    {
        WriteText(c.szText);
        SettingsFile settings;
        ASSERT_TRUE(settings.Load(m_strPath.c_str())) << c.szText;
        EXPECT_EQ(settings.GetCount(), c.nCount) << c.szText;
        if (c.szName)
        {
            const char* szValue = settings.GetString(c.szName);
            ASSERT_NE(szValue, nullptr) << c.szText;
            EXPECT_STREQ(szValue, c.szValue) << c.szText;
        }
    }
    WriteText("n = 12abc;");
    SettingsFile settings;
    ASSERT_TRUE(settings.Load(m_strPath.c_str()));
    int n = 0;
    EXPECT_TRUE(settings.GetInt("n", n));
    EXPECT_EQ(n, 12);

    // A long name is kept whole.
    std::string strLong(300, 'k');
    WriteText(strLong + " = v;");
    ASSERT_TRUE(settings.Load(m_strPath.c_str()));
    EXPECT_STREQ(settings.GetString(strLong.c_str()), "v");
}

TEST_F(SettingsFileTest, MissingFileEmptiesTheStore)
{
    SettingsFile settings;
    settings.SetInt("a", 1);
    EXPECT_FALSE(settings.Load((m_strPath + ".missing").c_str()));
    EXPECT_EQ(settings.GetCount(), 0);
    SetLogEcho(false);
    EXPECT_FALSE(settings.Save("/nonexistent-dir/settings.txt"));
    SetLogEcho(true);
}

TEST(SettingsFileStoreTest, FindRemoveAndSet)
{
    SettingsFile settings;
    settings.SetInt("first", 1);
    settings.SetInt("second", 2);
    settings.SetInt("third", 3);
    int nIndex = -7;
    EXPECT_FALSE(settings.Find("fourth", nIndex));
    EXPECT_EQ(nIndex, -7);
    EXPECT_TRUE(settings.Find("SECOND", nIndex));
    EXPECT_EQ(nIndex, 1);

    // The last entry takes the removed one's place.
    EXPECT_TRUE(settings.Remove("First"));
    EXPECT_FALSE(settings.Remove("first"));
    ASSERT_EQ(settings.GetCount(), 2);
    EXPECT_STREQ(settings.GetEntry(0).m_szName, "third");
    EXPECT_STREQ(settings.GetEntry(1).m_szName, "second");

    // Set changes the entry in place; a new name appends.
    settings.SetString("THIRD", "three");
    EXPECT_EQ(settings.GetCount(), 2);
    EXPECT_STREQ(settings.GetEntry(0).m_szName, "third");
    EXPECT_STREQ(settings.GetEntry(0).m_szValue, "three");
    EXPECT_EQ(settings.GetEntry(0).m_nValueLength, 5u);
    settings.SetString("fourth", "a longer value");
    EXPECT_EQ(settings.GetEntry(2).m_nValueLength, 14u);
    settings.SetBool("third", false);
    bool b = true;
    EXPECT_TRUE(settings.GetBool("third", b));
    EXPECT_FALSE(b);

    int n = 99;
    b = true;
    EXPECT_FALSE(settings.GetInt("missing", n));
    EXPECT_FALSE(settings.GetBool("missing", b));
    EXPECT_EQ(n, 99);
    EXPECT_TRUE(b);
    EXPECT_EQ(settings.GetString("missing"), nullptr);

    settings.RemoveAll();
    EXPECT_EQ(settings.GetCount(), 0);
    EXPECT_FALSE(settings.SetString(nullptr, "x"));
}
