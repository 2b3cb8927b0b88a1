// Front-to-back order by view depth, the quicksort behind it, and the sphere-against-view test.
#include "raster/MeshOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

TEST(MeshOrderTest, FiveMeshesFrontToBack)
{
    // The eye at (0, 0, -10) looking along +z: depth is z + 10.
    D3DXMATRIX view;
    D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    const Vector3 centres[5] = {{0, 0, 5}, {3, 1, -4}, {-2, 0, 12}, {0, -3, 0}, {1, 1, -9}};
    int32_t order[5] = {};
    SortByViewDepth(centres, 5, view, order);
    const int32_t expected[5] = {4, 1, 3, 0, 2};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(order[k], expected[k]) << k;
    EXPECT_FLOAT_EQ(ViewDepth(centres[0], view), 15.0f);
}

TEST(MeshOrderTest, QuickSortEdgeCases)
{
    // Empty and single ranges are left alone.
    float one = 3.0f;
    int32_t index = 7;
    QuickSortByDepth(0, -1, &one, &index);
    QuickSortByDepth(0, 0, &one, &index);
    EXPECT_EQ(index, 7);
    // Equal keys, sorted and reversed runs: keys come out ascending and the indexes move with them.
    const std::vector<std::vector<float>> inputs = {
        {2, 2, 2, 2}, {1, 2, 3, 4, 5}, {5, 4, 3, 2, 1}, {3, 1, 3, 0, 3, 2, 3}, {0.5f, -1, 0.5f, 7, -1}};
    for (const std::vector<float>& input : inputs)
    {
        std::vector<float> keys = input;
        std::vector<int32_t> indexes(keys.size());
        for (size_t i = 0; i < indexes.size(); ++i)
            indexes[i] = (int32_t)i;
        QuickSortByDepth(0, (int)keys.size() - 1, keys.data(), indexes.data());
        EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
        for (size_t k = 0; k < keys.size(); ++k)
            EXPECT_EQ(keys[k], input[indexes[k]]);
        std::vector<int32_t> sorted = indexes;
        std::sort(sorted.begin(), sorted.end());
        for (size_t i = 0; i < sorted.size(); ++i)
            EXPECT_EQ(sorted[i], (int32_t)i);
    }
}

TEST(MeshOrderTest, SphereAgainstTheViewCone)
{
    // Identity view; a 4:3 projection with a 60-degree vertical field: tan 30 = 0.577 up and
    // down, 0.770 across.
    D3DXMATRIX view, projection;
    D3DXMatrixIdentity(&view);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 3.0f, 4.0f / 3.0f, 1.0f, 100.0f);
    struct Case
    {
        const char* szName;
        Vector3 centre;
        float r;
        bool bVisible;
    };
    const Case cases[] = {
        {"in front", {0, 0, 10}, 1, true},
        {"behind the eye", {0, 0, -5}, 2, false},
        {"far depth exactly 0", {0, 0, -2}, 2, false},
        {"straddling the eye plane", {0, 0, -1.99f}, 2, true},
        {"out on the right", {20, 0, 10}, 1, false},
        {"out on the left", {-20, 0, 10}, 1, false},
        {"out above", {0, 15, 10}, 1, false},
        {"out below", {0, -15, 10}, 1, false},
        // Beyond the vertical half-angle but inside the horizontal one.
        {"at the right edge of a 4:3 view", {8, 0, 10}, 0.5f, true},
        {"the same height above: culled", {0, 8, 10}, 0.5f, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSphereInViewCone(c.centre, c.r, view, projection), c.bVisible) << c.szName;
}
