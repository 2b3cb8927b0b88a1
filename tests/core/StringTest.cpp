#include "core/String.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(StringTest, ConstructionSetsLengthAndCapacity)
{
    String byDefault;
    EXPECT_EQ(byDefault.GetCapacity(), 32u);
    EXPECT_STREQ(byDefault.GetText(), "");

    String fromText("hello");
    EXPECT_EQ(fromText.GetLength(), 5);
    EXPECT_EQ(fromText.GetCapacity(), 6u);

    String prefix("hello", 3);
    EXPECT_STREQ(prefix.GetText(), "hel");
    EXPECT_EQ(prefix.GetCapacity(), 4u);

    String copy(fromText);
    EXPECT_STREQ(copy.GetText(), "hello");
    EXPECT_EQ(copy.GetCapacity(), 6u);
    EXPECT_NE(copy.GetText(), fromText.GetText());
}

TEST(StringTest, NextCapacityDoublesAtLeastOnce)
{
    struct Case
    {
        uint32_t nCapacity, nNeeded, nExpected;
    };
    const Case cases[] = {{32, 33, 64}, {32, 64, 64}, {32, 65, 128}, {32, 1, 64}, {0, 1, 32}, {0, 33, 64}, {5, 5, 10}};
    for (const Case& c : cases)
        EXPECT_EQ(String::NextCapacity(c.nCapacity, c.nNeeded), c.nExpected) << c.nCapacity << " " << c.nNeeded;
}

TEST(StringTest, AppendGrowsWhenTextAndNulReachTheCapacity)
{
    String thirty;
    thirty.Append(std::string(30, 'a').c_str(), 30);
    EXPECT_EQ(thirty.GetCapacity(), 32u);

    String thirtyOne;
    thirtyOne.Append(std::string(31, 'a').c_str(), 31);
    EXPECT_EQ(thirtyOne.GetCapacity(), 64u);
    EXPECT_EQ(thirtyOne.GetLength(), 31);
    EXPECT_EQ(std::string(thirtyOne.GetText()), std::string(31, 'a'));
}

TEST(StringTest, CapacityZeroReadsEmptyAndGrowsThroughThirtyTwoAndSixtyFour)
{
    String empty(0u);
    EXPECT_EQ(empty.GetCapacity(), 0u);
    EXPECT_STREQ(empty.GetText(), "");
    EXPECT_EQ(empty.TrimRight(" "), 0);
    EXPECT_EQ(empty.Replace("a", "b"), 0);
    EXPECT_FALSE(empty.Find('a', nullptr));
    String copy(empty);
    EXPECT_STREQ(copy.GetText(), "");

    empty += "ab";
    EXPECT_EQ(empty.GetCapacity(), 32u);
    empty.Append(std::string(40, 'c').c_str(), 40);
    EXPECT_EQ(empty.GetCapacity(), 64u);
    EXPECT_EQ(std::string(empty.GetText()), "ab" + std::string(40, 'c'));

    String assigned(0u);
    assigned = "xyz";
    EXPECT_EQ(assigned.GetCapacity(), 32u);
    EXPECT_STREQ(assigned.GetText(), "xyz");
}

TEST(StringTest, AssignGrowsWithoutKeepingAndFromItsOwnText)
{
    String s(4u);
    s = "abc";  // 3 + 1 fills the block exactly, which still grows it
    EXPECT_EQ(s.GetCapacity(), 8u);
    EXPECT_STREQ(s.GetText(), "abc");

    // Its own text at exactly full capacity: the source must be read before the block goes.
    String own("abcdefg");
    ASSERT_EQ(own.GetCapacity(), 8u);
    const String& same = own;
    own = same;
    EXPECT_STREQ(own.GetText(), "abcdefg");
    EXPECT_EQ(own.GetCapacity(), 16u);

    String tail("abcdef");
    tail.Assign(tail.GetText() + 2, 3);
    EXPECT_STREQ(tail.GetText(), "cde");
}

TEST(StringTest, AppendingItselfDoublesTheText)
{
    String s("abcd");
    s += s;
    EXPECT_STREQ(s.GetText(), "abcdabcd");
    s.Append(s.GetText() + 4, 4);
    EXPECT_STREQ(s.GetText(), "abcdabcdabcd");
}

TEST(StringTest, AppendFormat)
{
    struct Case
    {
        const char* szName;
        String (*fnBuild)();
        std::string strExpected;
    };
    const Case cases[] = {
        {"percent", [] { String s; s.AppendFormat("%d%%", 7); return s; }, "7%"},
        {"unknown takes no argument", [] { String s; s.AppendFormat("%q%d", 5); return s; }, "5"},
        {"trailing percent", [] { String s; s.AppendFormat("abc%"); return s; }, "abc"},
        {"no precision", [] { String s; s.AppendFormat("%5.2f", 1.5); return s; }, ".2f"},
        {"hex", [] { String s; s.AppendFormat("%x/%X", 255, 255); return s; }, "ff/FF"},
        {"text", [] { String s("x="); s.AppendFormat("%s;", "abc"); return s; }, "x=abc;"},
        {"driver version", [] { String s; s.AppendFormat("%d.%d.%d.%d", 6, 14, 10, 9371); return s; }, "6.14.10.9371"},
        {"camera position", [] { String s; s.AppendFormat("(%f, %f, %f)", 1.0, -2.5, 0.0); return s; },
         "(1.000000, -2.500000, 0.000000)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(std::string(c.fnBuild().GetText()), c.strExpected) << c.szName;
}

TEST(StringTest, AppendFormatOfAHugeNumberIsWhole)
{
    char szExpected[1024];
    std::snprintf(szExpected, sizeof(szExpected), "(%f, %f, %f)", 1e300, -1e300, 0.0);
    ASSERT_GT(std::strlen(szExpected), 600u);

    String s;
    s.AppendFormat("(%f, %f, %f)", 1e300, -1e300, 0.0);
    EXPECT_EQ(std::string(s.GetText()), szExpected);
    EXPECT_EQ(s.GetLength(), static_cast<int>(std::strlen(szExpected)));
}

TEST(StringTest, ConcatenationCapacity)
{
    String ab("ab"), cd("cd");
    String sum = ab + cd;
    EXPECT_STREQ(sum.GetText(), "abcd");
    EXPECT_EQ(sum.GetCapacity(), 10u);

    String left = "ab" + cd;
    EXPECT_STREQ(left.GetText(), "abcd");
    EXPECT_EQ(left.GetCapacity(), 10u);

    String rightEmpty = ab + "";
    EXPECT_STREQ(rightEmpty.GetText(), "ab");
    EXPECT_EQ(rightEmpty.GetCapacity(), 6u);
}

TEST(StringTest, TrimRightAndToLower)
{
    String s("ab \t ");
    EXPECT_EQ(s.TrimRight(" \t"), 2);
    EXPECT_STREQ(s.GetText(), "ab");
    EXPECT_EQ(s.GetCapacity(), 6u);

    String blanks(" \t \t");
    EXPECT_EQ(blanks.TrimRight(" \t"), 0);
    EXPECT_STREQ(blanks.GetText(), "");

    String mixed("AbZ_\xC4@[");
    mixed.ToLower();
    EXPECT_STREQ(mixed.GetText(), "abz_\xC4@[");
}

TEST(StringTest, ReplaceText)
{
    struct Case
    {
        const char* szText;
        const char* szFind;
        const char* szReplacement;
        int nCount;
        const char* szResult;
    };
    const Case cases[] = {
        {"aaaa", "aa", "b", 2, "bb"},
        {"abc", "c", "xy", 1, "abxy"},
        {"aaa", "aa", "b", 1, "ba"},
        {"banana", "a", "", 3, "bnn"},
        {"banana", "", "x", 0, "banana"},
        {"banana", "q", "x", 0, "banana"},
        {"a.b.c", ".", "::", 2, "a::b::c"},
    };
    for (const Case& c : cases)
    {
        String s(c.szText);
        EXPECT_EQ(s.Replace(c.szFind, c.szReplacement), c.nCount) << c.szText << " " << c.szFind;
        EXPECT_STREQ(s.GetText(), c.szResult) << c.szText << " " << c.szFind;
        EXPECT_EQ(s.GetLength(), static_cast<int>(std::strlen(c.szResult)));
    }

    String bytes("a-b-c");
    EXPECT_EQ(bytes.Replace('-', '+'), 2);
    EXPECT_STREQ(bytes.GetText(), "a+b+c");
}

TEST(StringTest, ReplaceWithItsOwnTextAsReplacement)
{
    String s("xax");
    EXPECT_EQ(s.Replace("a", s.GetText()), 1);
    EXPECT_STREQ(s.GetText(), "xxaxx");
}

TEST(StringTest, FindAndReverseFind)
{
    String s("abcabc");
    int nIndex = -7;
    EXPECT_TRUE(s.Find('c', &nIndex));
    EXPECT_EQ(nIndex, 2);
    EXPECT_TRUE(s.ReverseFind('a', &nIndex));
    EXPECT_EQ(nIndex, 3);
    EXPECT_TRUE(s.Find("ca", &nIndex));
    EXPECT_EQ(nIndex, 2);

    nIndex = -7;
    EXPECT_FALSE(s.Find('z', &nIndex));
    EXPECT_FALSE(s.ReverseFind('z', &nIndex));
    EXPECT_FALSE(s.Find("cb", &nIndex));
    EXPECT_EQ(nIndex, -7);
    EXPECT_TRUE(s.Find('b', nullptr));
}

TEST(StringTest, SetLengthResizesTheBlockExactly)
{
    String s("abcdef");
    s.SetLength(3);
    EXPECT_STREQ(s.GetText(), "abc");
    EXPECT_EQ(s.GetCapacity(), 4u);
    s.SetLength(40);
    EXPECT_EQ(s.GetLength(), 40);
    EXPECT_EQ(s.GetCapacity(), 41u);
    EXPECT_EQ(s.GetText()[40], '\0');
}

TEST(StringTest, ComparisonsAreCaseSensitiveByteOrder)
{
    String a("a"), b("b"), upperB("B");
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(upperB < a);
    EXPECT_TRUE(a == "a");
    EXPECT_TRUE("a" == a);
    EXPECT_TRUE(a != upperB);
    EXPECT_TRUE(b > "a");
    EXPECT_TRUE("c" > b);
    EXPECT_TRUE(a <= "a");
    EXPECT_TRUE(a >= String("a"));
    EXPECT_FALSE(a >= b);
    EXPECT_FALSE("A" == a);
}

TEST(StringTest, IsCharInSet)
{
    EXPECT_TRUE(IsCharInSet(" \t", '\t'));
    EXPECT_FALSE(IsCharInSet(" \t", 'x'));
    EXPECT_FALSE(IsCharInSet("", ' '));
}
