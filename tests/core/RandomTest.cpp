#include "core/Random.h"

#include <gtest/gtest.h>

TEST(RandomTest, FollowsTheDocumentedRecurrenceAndRange)
{
    SeedRandom(1);
    // The C standard's example generator seeded with 1.
    const int expected[] = {16838, 5758, 10113, 17515, 31051};
    for (int value : expected)
        EXPECT_EQ(Random(), value);
    for (int i = 0; i < 10000; ++i)
    {
        int n = Random();
        ASSERT_GE(n, 0);
        ASSERT_LE(n, RAND_MAX_VALUE);
    }
}

TEST(RandomTest, QueuedValuesComeFirstThenTheSequenceResumes)
{
    SeedRandom(1);
    const int queued[] = {0, 0, 7};
    QueueRandomValues(queued, 3);
    EXPECT_EQ(Random(), 0);
    EXPECT_EQ(Random(), 0);
    EXPECT_EQ(Random(), 7);
    EXPECT_EQ(Random(), 16838);
}
