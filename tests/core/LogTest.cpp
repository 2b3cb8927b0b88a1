#include "core/Log.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class LogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ClearLogLines();
        SetLogListener(nullptr);
    }
    void TearDown() override
    {
        ClearLogLines();
        SetLogListener(nullptr);
        SetLogEcho(true);
    }
};
}

TEST_F(LogTest, WarningsAndErrorsAreKeptWithTheirTypeAndEchoedToStandardError)
{
    testing::internal::CaptureStderr();
    LogWarning("SceneStore::Load() - %s.", "cannot open file");
    LogError("Renderer::CreateTexture() - id %d out of range.", 7);
    std::string err = testing::internal::GetCapturedStderr();

    ASSERT_EQ(GetLogLines().size(), 2u);
    EXPECT_EQ(GetLogLines()[0].m_nType, LOG_WARNING);
    EXPECT_EQ(GetLogLines()[0].m_strText, "SceneStore::Load() - cannot open file.");
    EXPECT_EQ(GetLogLines()[1].m_nType, LOG_ERROR);
    EXPECT_STREQ(LogTypeName(GetLogLines()[1].m_nType), "ERROR");
    EXPECT_NE(err.find("WARNING: SceneStore::Load() - cannot open file."), std::string::npos);
    EXPECT_NE(err.find("ERROR: Renderer::CreateTexture() - id 7 out of range."), std::string::npos);
}

TEST_F(LogTest, InformationAndTraceAreDropped)
{
    SetLogEcho(false);
    EXPECT_FALSE(LogInfo("loaded %d textures", 3));
    EXPECT_FALSE(LogTrace("frame %d", 1));
    EXPECT_TRUE(GetLogLines().empty());
}

TEST_F(LogTest, LongLinesAreCutTo511Characters)
{
    SetLogEcho(false);
    std::string text(600, 'x');
    LogWarning("%s", text.c_str());
    ASSERT_EQ(GetLogLines().size(), 1u);
    EXPECT_EQ(GetLogLines()[0].m_strText, std::string(511, 'x'));
}

TEST_F(LogTest, ListenerSeesEachKeptLine)
{
    SetLogEcho(false);
    std::vector<std::string> seen;
    SetLogListener([&](const LogLine& line) { seen.push_back(LogTypeName(line.m_nType) + std::string(":") + line.m_strText); });
    LogInfo("dropped");
    LogWarning("a");
    LogError("b");
    EXPECT_EQ(seen, (std::vector<std::string>{"WARNING:a", "ERROR:b"}));
}

TEST_F(LogTest, KeptListIsBounded)
{
    SetLogEcho(false);
    for (size_t i = 0; i < LOG_KEEP_MAX + 10; ++i)
        LogWarning("%zu", i);
    EXPECT_LE(GetLogLines().size(), LOG_KEEP_MAX);
    EXPECT_EQ(GetLogLines().back().m_strText, std::to_string(LOG_KEEP_MAX + 9));
}

TEST(LogTypeNameTest, NamesEveryType)
{
    const char* expected[] = {"INFORMATION", "WARNING", "ERROR", "QUESTION", "NOTHING"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(LogTypeName(i), expected[i]);
    EXPECT_EQ(LogTypeName(5), nullptr);
    EXPECT_EQ(LogTypeName(-1), nullptr);
}

TEST(LogTimeTest, FormatsAsDateAndTime)
{
    std::string s = FormatLogTime(0);
    ASSERT_EQ(s.size(), 19u);
    EXPECT_EQ(s[4], '-');
    EXPECT_EQ(s[10], ' ');
    EXPECT_EQ(s[13], ':');
}
