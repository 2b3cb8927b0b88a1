#include "scene/NamedEntryTable.h"

#include <gtest/gtest.h>

namespace
{
// Counts its own destructions, to show the table deletes what it owns exactly once.
class CountedObject : public NamedEntryObject
{
public:
    explicit CountedObject(int* pDeaths) : m_pDeaths(pDeaths) {}
    ~CountedObject() override { ++*m_pDeaths; }

private:
    int* m_pDeaths;
};

struct Found
{
    int32_t n1 = -99, n2 = -99, n3 = -99;
    NamedEntryObject* pObject = nullptr;
};
}

TEST(NamedEntryTableTest, LooksUpByNameIgnoringCase)
{
    int nDeaths = 0;
    NamedEntryTable table;
    CountedObject* pFirst = new CountedObject(&nDeaths);
    CountedObject* pSecond = new CountedObject(&nDeaths);
    ASSERT_TRUE(table.Add("Lamp", 1, 2, pFirst, 3));
    ASSERT_TRUE(table.Add("Window", 4, 5, pSecond, 6));
    ASSERT_TRUE(table.Add("window", 7, 8, nullptr, 9));   // shadowed by the earlier "Window"

    struct Case
    {
        const char* szName;
        bool bFound;
        int32_t n1, n2, n3;
        NamedEntryObject* pObject;
    };
    const Case cases[] = {
        {"Lamp", true, 1, 2, 3, pFirst},
        {"LAMP", true, 1, 2, 3, pFirst},
        {"wINDOW", true, 4, 5, 6, pSecond},   // the first match wins
        {"Lam", false, 1, 2, 3, pFirst},      // a miss leaves the first entry's values
        {"", false, 1, 2, 3, pFirst},
        {nullptr, false, 1, 2, 3, pFirst},
    };
    for (const Case& c : cases)
    {
        Found found;
        EXPECT_EQ(table.Find(c.szName, &found.n1, &found.n2, &found.pObject, &found.n3), c.bFound)
            << (c.szName ? c.szName : "(null)");
        EXPECT_EQ(found.n1, c.n1);
        EXPECT_EQ(found.n2, c.n2);
        EXPECT_EQ(found.n3, c.n3);
        EXPECT_EQ(found.pObject, c.pObject);
    }

    table.Clear();
    EXPECT_EQ(nDeaths, 2);
    EXPECT_EQ(table.GetCount(), 0);
}

TEST(NamedEntryTableTest, EmptyTableLeavesOutParametersAlone)
{
    NamedEntryTable table;
    Found found;
    EXPECT_FALSE(table.Find("Lamp", &found.n1, &found.n2, &found.pObject, &found.n3));
    EXPECT_EQ(found.n1, -99);
    EXPECT_EQ(found.n2, -99);
    EXPECT_EQ(found.n3, -99);
    EXPECT_EQ(found.pObject, nullptr);
}

TEST(NamedEntryTableTest, NameIsCopiedAndObjectsDieWithTheTable)
{
    int nDeaths = 0;
    {
        NamedEntryTable table;
        char szName[] = "Spot";
        table.Add(szName, 1, 2, new CountedObject(&nDeaths), 3);
        szName[0] = 'X';   // the caller's buffer changes; the entry keeps its own copy
        Found found;
        EXPECT_TRUE(table.Find("spot", &found.n1, &found.n2, &found.pObject, &found.n3));
        EXPECT_FALSE(table.Find("Xpot", &found.n1, &found.n2, &found.pObject, &found.n3));
    }
    EXPECT_EQ(nDeaths, 1);
}
