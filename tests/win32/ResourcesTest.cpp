#include <win32/resources.h>

#include <gtest/gtest.h>

TEST(ResourcesTest, FindsByTypeWithoutCaseAndLaterTablesWin)
{
    size_t nStart = GetResourceTableCount();
    static const char a[] = "ps_2_0\n";
    static const char b[] = "vs.1.1\n";
    static const char c[] = "ps.2.0\n";
    static const ResourceEntry first[] = {{"PSH", 741, a, sizeof(a) - 1}, {"VSH", 900, b, sizeof(b) - 1}};
    static const ResourceEntry second[] = {{"psh", 741, c, sizeof(c) - 1}};
    RegisterResourceTable(first, 2);
    EXPECT_EQ(FindResourceEntry("vsh", 900)->m_pData, b);
    EXPECT_EQ(FindResourceEntry("PSH", 741)->m_pData, a);
    RegisterResourceTable(second, 1);
    EXPECT_EQ(FindResourceEntry("PSH", 741)->m_pData, c);
    EXPECT_EQ(FindResourceEntry("PSH", 742), nullptr);
    EXPECT_EQ(FindResourceEntry("BITMAP", 900), nullptr);
    EXPECT_EQ(FindResourceEntry(nullptr, 900), nullptr);
    TruncateResourceTables(nStart);
    EXPECT_EQ(FindResourceEntry("PSH", 741), nullptr);
}
