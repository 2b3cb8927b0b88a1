#include "scene/PointerArray.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
// Counts its own destruction, to show that a list never deletes what it holds.
struct Tracked
{
    explicit Tracked(int* pDeaths) : m_pDeaths(pDeaths) {}
    ~Tracked() { ++*m_pDeaths; }
    int* m_pDeaths;
};

int g_Items[200];
}

TEST(PointerArrayTest, GrowsByTenFromSixtyAndKeepsIndexes)
{
    PointerArray list;
    EXPECT_EQ(list.GetCount(), 0u);
    EXPECT_EQ(list.GetCapacity(), 60u);
    for (int i = 0; i < 60; ++i)
        ASSERT_EQ(list.Add(&g_Items[i]), i);
    EXPECT_EQ(list.GetCapacity(), 60u);

    EXPECT_EQ(list.Add(&g_Items[60]), 60);
    EXPECT_EQ(list.GetCapacity(), 70u);
    EXPECT_EQ(list.GetCount(), 61u);
    for (int i = 0; i <= 60; ++i)
        EXPECT_EQ(list.Get(i), &g_Items[i]) << i;

    for (int i = 61; i < 71; ++i)
        list.Add(&g_Items[i]);
    EXPECT_EQ(list.GetCapacity(), 80u);
}

TEST(PointerArrayTest, IndexesAtOrPastTheCountGiveNullAndChangeNothing)
{
    PointerArray list;
    list.Add(&g_Items[0]);
    list.Add(nullptr);
    list.Add(&g_Items[0]);
    EXPECT_EQ(list.Get(0), &g_Items[0]);
    EXPECT_EQ(list.Get(1), nullptr);
    EXPECT_EQ(list.GetAt(2), &g_Items[0]);
    EXPECT_EQ(list.Get(3), nullptr);
    EXPECT_EQ(list.Get(static_cast<uint32_t>(-1)), nullptr);

    list.SetAt(3, &g_Items[5]);
    EXPECT_EQ(list.RemoveAt(3), 0);
    EXPECT_EQ(list.RemoveAt(static_cast<uint32_t>(-1)), 0);
    EXPECT_EQ(list.GetCount(), 3u);
    list.SetAt(1, &g_Items[7]);
    EXPECT_EQ(list.Get(1), &g_Items[7]);
}

TEST(PointerArrayTest, InsertAndRemoveShiftTheFollowingElements)
{
    int a = 0, b = 0, x = 0, y = 0;
    PointerArray list;
    list.Add(&a);
    list.Add(&b);
    list.InsertAt(0, &x);
    ASSERT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.Get(0), &x);
    EXPECT_EQ(list.Get(1), &a);
    EXPECT_EQ(list.Get(2), &b);

    list.InsertAt(3, &y);  // at the count: appends
    EXPECT_EQ(list.Get(3), &y);
    list.InsertAt(1, &y);
    EXPECT_EQ(list.Get(1), &y);
    EXPECT_EQ(list.Get(2), &a);

    list.RemoveAt(1);
    EXPECT_EQ(list.Get(1), &a);
    list.RemoveAt(list.GetCount() - 1);
    EXPECT_EQ(list.GetCount(), 3u);
    EXPECT_EQ(list.Get(2), &b);
    EXPECT_EQ(list.GetCapacity(), 60u);
}

TEST(PointerArrayTest, InsertIntoAFullListGrowsIt)
{
    PointerArray list;
    for (int i = 0; i < 60; ++i)
        list.Add(&g_Items[i]);
    list.InsertAt(10, &g_Items[100]);
    EXPECT_EQ(list.GetCapacity(), 70u);
    EXPECT_EQ(list.GetCount(), 61u);
    EXPECT_EQ(list.Get(9), &g_Items[9]);
    EXPECT_EQ(list.Get(10), &g_Items[100]);
    EXPECT_EQ(list.Get(60), &g_Items[59]);
}

TEST(PointerArrayTest, ResetAndDestructionLeaveTheObjectsAlive)
{
    int nDeaths = 0;
    std::vector<std::unique_ptr<Tracked>> owned;
    {
        PointerArray list;
        for (int i = 0; i < 100; ++i)
        {
            owned.push_back(std::make_unique<Tracked>(&nDeaths));
            list.Add(owned.back().get());
        }
        list.Reset();
        EXPECT_EQ(list.GetCount(), 0u);
        EXPECT_EQ(list.GetCapacity(), 10u);
        EXPECT_EQ(list.Get(0), nullptr);
        for (int i = 0; i < 11; ++i)
            list.Add(owned[i].get());
        EXPECT_EQ(list.GetCapacity(), 20u);
    }
    EXPECT_EQ(nDeaths, 0);
    owned.clear();
    EXPECT_EQ(nDeaths, 100);
}
