#include "core/Array.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
struct Record
{
    int m_nId;
    float m_fValue;
    char m_szName[12];
};

std::vector<int> Ids(const Array<Record>& a)
{
    std::vector<int> ids;
    for (int i = 0; i < a.GetCount(); ++i)
        ids.push_back(a[i].m_nId);
    return ids;
}

void Fill(Array<Record>& a, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        a.Add(Record{i, i * 0.5f, "r"});
}
}

TEST(ArrayTest, AddReturnsIndicesAndGrowsThroughThirtyTwoAndSixtyFour)
{
    Array<Record> a;
    EXPECT_EQ(a.GetCapacity(), 0u);
    for (int i = 0; i < 33; ++i)
    {
        EXPECT_EQ(a.Add(Record{i * 10, 0.0f, "x"}), i);
        EXPECT_EQ(a.GetCapacity(), i < 32 ? 32u : 64u) << i;
    }
    EXPECT_EQ(a.GetCount(), 33);
    EXPECT_EQ(a[0].m_nId, 0);
    EXPECT_EQ(a[32].m_nId, 320);
    EXPECT_STREQ(a[32].m_szName, "x");
}

TEST(ArrayTest, RemoveKeepsOrderAndRemoveFastMovesTheLast)
{
    struct Case
    {
        const char* szName;
        void (*fnRemove)(Array<Record>&);
        std::vector<int> expected;
    };
    const Case cases[] = {
        {"Remove 1", [](Array<Record>& a) { a.Remove(1); }, {0, 2, 3}},
        {"RemoveFast 1", [](Array<Record>& a) { a.RemoveFast(1); }, {0, 3, 2}},
        {"Remove last", [](Array<Record>& a) { a.Remove(3); }, {0, 1, 2}},
        {"RemoveFast last", [](Array<Record>& a) { a.RemoveFast(3); }, {0, 1, 2}},
        {"Remove 0", [](Array<Record>& a) { a.Remove(0); }, {1, 2, 3}},
        {"Remove count", [](Array<Record>& a) { a.Remove(4); }, {0, 1, 2, 3}},
        {"RemoveFast count", [](Array<Record>& a) { a.RemoveFast(4); }, {0, 1, 2, 3}},
        {"Remove negative", [](Array<Record>& a) { a.Remove(-1); }, {0, 1, 2, 3}},
        {"RemoveFast negative", [](Array<Record>& a) { a.RemoveFast(-1); }, {0, 1, 2, 3}},
    };
    for (const Case& c : cases)
    {
        Array<Record> a;
        Fill(a, 4);
        c.fnRemove(a);
        EXPECT_EQ(Ids(a), c.expected) << c.szName;
    }
}

TEST(ArrayTest, ResetKeepsTheBlockAndClearReleasesIt)
{
    Array<Record> a;
    Fill(a, 40);
    a.Reset();
    EXPECT_EQ(a.GetCount(), 0);
    EXPECT_EQ(a.GetCapacity(), 64u);
    EXPECT_EQ(a.Add(Record{7, 0.0f, ""}), 0);
    EXPECT_EQ(a.GetCapacity(), 64u);

    a.Clear();
    EXPECT_EQ(a.GetCount(), 0);
    EXPECT_EQ(a.GetCapacity(), 0u);
    EXPECT_EQ(a.Add(Record{8, 0.0f, ""}), 0);
    EXPECT_EQ(a.GetCapacity(), 32u);
    EXPECT_EQ(a[0].m_nId, 8);
}

TEST(ArrayTest, AddingItsOwnRecordWhileGrowing)
{
    Array<Record> a;
    Fill(a, 32);
    ASSERT_EQ(a.GetCapacity(), 32u);
    a[0] = Record{99, 1.5f, "first"};
    EXPECT_EQ(a.Add(a[0]), 32);
    EXPECT_EQ(a.GetCapacity(), 64u);
    EXPECT_EQ(a[32].m_nId, 99);
    EXPECT_EQ(a[32].m_fValue, 1.5f);
    EXPECT_STREQ(a[32].m_szName, "first");
}

TEST(ArrayTest, HoldsPointers)
{
    int x = 1, y = 2;
    Array<int*> a;
    a.Add(&x);
    a.Add(&y);
    a.RemoveFast(0);
    ASSERT_EQ(a.GetCount(), 1);
    EXPECT_EQ(a[0], &y);
}
