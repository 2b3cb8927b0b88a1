#include "core/Tokenizer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{
std::vector<std::string> Tokens(Tokenizer& tokenizer, CharTest fnWord = IsIdentifierChar)
{
    std::vector<std::string> tokens;
    char szToken[TOKEN_BUFFER_SIZE];
    while (tokenizer.NextToken(szToken, sizeof(szToken), fnWord))
        tokens.push_back(szToken);
    return tokens;
}

std::vector<std::string> Tokens(const char* szText, CharTest fnWord = IsIdentifierChar)
{
    Tokenizer tokenizer;
    tokenizer.SetText(szText);
    return Tokens(tokenizer, fnWord);
}

bool IsWordOrDigit(char c)
{
    return IsIdentifierChar(c) || IsDigitChar(c);
}
}

TEST(TokenizerTest, SplitsNumbersWordsAndPunctuation)
{
    using V = std::vector<std::string>;
    struct Case
    {
        const char* szText;
        V expected;
    };
    const Case cases[] = {
        {"set  fov = 60.5;", V{"set", "fov", "=", "60.5", ";"}},
        {"3.14 1..2 10. .5", V{"3.14", "1..2", "10.", ".", "5"}},
        {"set2 _x9 2x", V{"set2", "_x9", "2", "x"}},
        {"a-b\"c\"", V{"a", "-", "b", "\"", "c", "\""}},
        {" \t\r\n  \n", V{}},
        {"", V{}},
        {"end12", V{"end12"}},
        {"42", V{"42"}},
        {"x\xC3\xA9y", V{"x", "\xC3", "\xA9", "y"}},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(Tokens(c.szText), c.expected) << c.szText;
        EXPECT_EQ(Tokens(c.szText, IsWordOrDigit), c.expected) << c.szText;
    }
}

TEST(TokenizerTest, FalseAtTheEndUntilRewound)
{
    Tokenizer tokenizer;
    EXPECT_FALSE(tokenizer.NextToken(nullptr, 0, IsIdentifierChar));
    tokenizer.SetText("a b");
    EXPECT_EQ(Tokens(tokenizer), (std::vector<std::string>{"a", "b"}));
    EXPECT_FALSE(tokenizer.NextToken(nullptr, 0, IsIdentifierChar));
    tokenizer.Rewind();
    EXPECT_TRUE(tokenizer.NextToken(nullptr, 0, IsIdentifierChar));
}

TEST(TokenizerTest, LongTokenIsCutToTheBuffer)
{
    std::string text = std::string(300, 'w') + " next " + std::string(300, '7');
    Tokenizer tokenizer;
    tokenizer.SetText(text.c_str());

    // Guard bytes after the buffer must stay untouched.
    char block[TOKEN_BUFFER_SIZE + 16];
    std::fill(std::begin(block), std::end(block), '#');
    ASSERT_TRUE(tokenizer.NextToken(block, TOKEN_BUFFER_SIZE, IsIdentifierChar));
    EXPECT_EQ(std::string(block), std::string(255, 'w'));
    for (size_t i = TOKEN_BUFFER_SIZE; i < sizeof(block); ++i)
        EXPECT_EQ(block[i], '#');

    ASSERT_TRUE(tokenizer.NextToken(block, TOKEN_BUFFER_SIZE, IsIdentifierChar));
    EXPECT_STREQ(block, "next");
    ASSERT_TRUE(tokenizer.NextToken(block, 4, IsIdentifierChar));
    EXPECT_STREQ(block, "777");
    EXPECT_FALSE(tokenizer.NextToken(block, TOKEN_BUFFER_SIZE, IsIdentifierChar));
}

TEST(TokenizerTest, RemainderStartsAtTheLastToken)
{
    Tokenizer tokenizer;
    char szText[TOKEN_BUFFER_SIZE];
    tokenizer.SetText("set name some text");
    EXPECT_TRUE(tokenizer.GetRemainder(szText, sizeof(szText)));
    EXPECT_STREQ(szText, "set name some text");
    for (const char* szWord : {"set", "name", "some"})
    {
        ASSERT_TRUE(tokenizer.NextToken(szText, sizeof(szText), IsIdentifierChar));
        EXPECT_STREQ(szText, szWord);
    }
    EXPECT_TRUE(tokenizer.GetRemainder(szText, sizeof(szText)));
    EXPECT_STREQ(szText, "some text");

    ASSERT_TRUE(tokenizer.NextToken(nullptr, 0, IsIdentifierChar));
    EXPECT_TRUE(tokenizer.GetRemainder(szText, sizeof(szText)));
    EXPECT_STREQ(szText, "text");
    EXPECT_FALSE(tokenizer.NextToken(nullptr, 0, IsIdentifierChar));
    EXPECT_FALSE(tokenizer.GetRemainder(szText, sizeof(szText)));

    // A 600-byte value of a "set" line is cut to the buffer.
    std::string line = "set title " + std::string(600, 'v');
    tokenizer.SetText(line.c_str());
    tokenizer.NextToken(nullptr, 0, IsIdentifierChar);
    tokenizer.NextToken(nullptr, 0, IsIdentifierChar);
    tokenizer.NextToken(nullptr, 0, IsIdentifierChar);
    EXPECT_TRUE(tokenizer.GetRemainder(szText, sizeof(szText)));
    EXPECT_EQ(std::string(szText), std::string(255, 'v'));
}

TEST(TokenizerTest, FindValueReturnsTheTokenAfterTheKey)
{
    struct Case
    {
        const char* szText;
        const char* szKey;
        bool bFound;
        const char* szValue;
    };
    const std::string longToken = std::string(300, 'k') + " 5";
    const std::string prefixOfIt(255, 'k');
    const Case cases[] = {
        {"width = 640", "WIDTH", true, "="},
        {"height 480 width 640", "width", true, "640"},
        {"width = 640", "depth", false, ""},
        {"a b width", "width", false, ""},
        {longToken.c_str(), prefixOfIt.c_str(), false, ""},
    };
    for (const Case& c : cases)
    {
        Tokenizer tokenizer;
        tokenizer.SetText(c.szText);
        char szValue[TOKEN_BUFFER_SIZE] = "";
        EXPECT_EQ(tokenizer.FindValue(szValue, sizeof(szValue), c.szKey), c.bFound) << c.szText;
        if (c.bFound)
        {
            EXPECT_STREQ(szValue, c.szValue) << c.szText;
        }
    }
}

TEST(TokenizerTest, CharacterClasses)
{
    for (int i = 0; i < 256; ++i)
    {
        char c = static_cast<char>(i);
        EXPECT_EQ(IsSpaceChar(c), i == 9 || i == 10 || i == 13 || i == 32) << i;
        EXPECT_EQ(IsDigitChar(c), i >= '0' && i <= '9') << i;
        EXPECT_EQ(IsIdentifierChar(c), (i >= 'a' && i <= 'z') || (i >= 'A' && i <= 'Z') || i == '_') << i;
    }
}

class TokenizerFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dir = fs::temp_directory_path() / ("quen_tokenizer_" + std::to_string(getpid()));
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    std::string Path(const char* szName) const { return (m_Dir / szName).string(); }
    fs::path m_Dir;
};

TEST_F(TokenizerFileTest, ReadsARegularFile)
{
    std::string path = Path("settings.txt");
    FILE* pFile = std::fopen(path.c_str(), "wb");
    ASSERT_NE(pFile, nullptr);
    std::fputs("width = 640;\nheight = 480;\n", pFile);
    std::fclose(pFile);

    Tokenizer tokenizer;
    tokenizer.SetText("old");
    ASSERT_TRUE(tokenizer.ReadFile(path.c_str()));
    EXPECT_EQ(Tokens(tokenizer), (std::vector<std::string>{"width", "=", "640", ";", "height", "=", "480", ";"}));
}

TEST_F(TokenizerFileTest, WhatIsNotARegularFileGivesFalseAndNoText)
{
    std::string fifo = Path("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string paths[] = {m_Dir.string(), fifo, Path("missing.txt")};
    for (const std::string& path : paths)
    {
        Tokenizer tokenizer;
        tokenizer.SetText("old text");
        EXPECT_FALSE(tokenizer.ReadFile(path.c_str())) << path;
        EXPECT_FALSE(tokenizer.NextToken(nullptr, 0, IsIdentifierChar)) << path;
        char szRest[16];
        EXPECT_FALSE(tokenizer.GetRemainder(szRest, sizeof(szRest))) << path;
    }
}
