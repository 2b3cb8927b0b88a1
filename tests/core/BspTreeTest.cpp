#include "core/BspTree.h"

#include "core/Log.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace
{
// A 10 x 10 square on the plane z = fZ, its normal +z.
std::vector<Vector3> FloorSquare(float fZ)
{
    return {{-5, -5, fZ}, {5, -5, fZ}, {5, 5, fZ}, {-5, 5, fZ}};
}

void AddSquares(BspTree& tree, int n)
{
    for (int k = 0; k < n; ++k)
    {
        std::vector<Vector3> square = FloorSquare(static_cast<float>(k));
        tree.AddPolygon(square.data(), 4);
    }
}

int CountNodes(const BspNode* pNode)
{
    return pNode ? 1 + CountNodes(pNode->front.get()) + CountNodes(pNode->back.get()) : 0;
}

// The root of a tree of parallel squares is the one at z = -d.
float RootHeight(const BspTree& tree)
{
    return -tree.GetRoot()->plane.d;
}
}

TEST(BspTreeTest, SplitterCandidates)
{
    // Squares at z = 0, 1, ..., n - 1: the best splitter is the middle one, the worst z = 0.
    // Below 16 squares every one is tried and no random number is drawn.
    {
        SeedRandom(1);
        unsigned int nState = GetRandomState();
        BspTree tree;
        AddSquares(tree, 15);
        tree.Build();
        EXPECT_EQ(RootHeight(tree), 7.0f);
        EXPECT_EQ(GetRandomState(), nState);
        EXPECT_EQ(CountNodes(tree.GetRoot()), 15);
        EXPECT_EQ(tree.GetPendingCount(), 0);
    }
    // With 16 squares 16 candidates are drawn, with 100 squares 19: a good splitter queued as
    // the last candidate wins; queued one draw later it is never tried.
    struct Case
    {
        int nSquares;
        int nCandidates;
        int nGood;
    };
    const Case cases[] = {{16, 16, 7}, {100, 19, 49}, {40, 17, 20}};
    for (const Case& c : cases)
    {
        for (int nBefore : {c.nCandidates - 1, c.nCandidates})
        {
            std::vector<int> draws(nBefore, 0);
            draws.push_back(c.nGood);
            SeedRandom(1);
            QueueRandomValues(draws.data(), static_cast<int>(draws.size()));
            BspTree tree;
            AddSquares(tree, c.nSquares);
            tree.Build();
            float fExpected = (nBefore < c.nCandidates) ? static_cast<float>(c.nGood) : 0.0f;
            EXPECT_EQ(RootHeight(tree), fExpected) << c.nSquares << " squares, " << nBefore << " draws first";
            EXPECT_EQ(CountNodes(tree.GetRoot()), c.nSquares);
        }
    }
}

TEST(BspTreeTest, CoplanarAndSpanningPolygons)
{
    BspTree tree;
    std::vector<Vector3> a = FloorSquare(0), b = {{10, 10, 0}, {12, 10, 0}, {12, 12, 0}};
    EXPECT_EQ(tree.AddPolygon(a.data(), 4), 0);
    EXPECT_EQ(tree.AddPolygon(b.data(), 3), 1);
    tree.Build();
    ASSERT_NE(tree.GetRoot(), nullptr);
    EXPECT_EQ(tree.GetRoot()->numVertices, 4u);
    ASSERT_NE(tree.GetRoot()->front, nullptr);
    EXPECT_EQ(tree.GetRoot()->front->numVertices, 3u);
    EXPECT_EQ(tree.GetRoot()->back, nullptr);

    // A wall on x = 0 (normal +x) first, then a floor crossing it: the wall wins the tie and the
    // floor is replaced by two pieces that keep the floor's plane.
    BspTree split;
    std::vector<Vector3> wall = {{0, -5, -5}, {0, 5, -5}, {0, 5, 5}, {0, -5, 5}};
    std::vector<Vector3> floor = {{-4, -4, 1}, {4, -4, 1}, {4, 4, 1}, {-4, 4, 1}};
    split.AddPolygon(wall.data(), 4);
    split.AddPolygon(floor.data(), 4);
    split.Build();
    const BspNode* pRoot = split.GetRoot();
    ASSERT_NE(pRoot, nullptr);
    EXPECT_NEAR(pRoot->plane.normal.x, 1.0f, 1e-6f);
    ASSERT_NE(pRoot->back, nullptr);
    ASSERT_NE(pRoot->front, nullptr);
    for (const BspNode* pPiece : {pRoot->back.get(), pRoot->front.get()})
    {
        EXPECT_EQ(pPiece->numVertices, 4u);
        EXPECT_NEAR(pPiece->plane.normal.z, 1.0f, 1e-6f);
        EXPECT_NEAR(pPiece->plane.d, -1.0f, 1e-6f);
    }
    for (uint32_t i = 0; i < 4; ++i)
    {
        EXPECT_LE(pRoot->back->vertices[i].x, 0.0f);
        EXPECT_GE(pRoot->front->vertices[i].x, 0.0f);
    }
}

TEST(BspTreeTest, SecondBuildReplacesTheFirstTree)
{
    BspTree tree;
    AddSquares(tree, 3);
    tree.Build();
    EXPECT_EQ(CountNodes(tree.GetRoot()), 3);
    std::vector<Vector3> wall = {{0, -5, -5}, {0, 5, -5}, {0, 5, 5}, {0, -5, 5}};
    tree.AddPolygon(wall.data(), 4);
    tree.Build();
    ASSERT_EQ(CountNodes(tree.GetRoot()), 1);
    EXPECT_NEAR(tree.GetRoot()->plane.normal.x, 1.0f, 1e-6f);
    tree.Build();
    EXPECT_EQ(tree.GetRoot(), nullptr);

    // Pending polygons are released with the tree.
    AddSquares(tree, 2);
    tree.Free();
    EXPECT_EQ(tree.GetPendingCount(), 0);
    EXPECT_EQ(tree.GetRoot(), nullptr);
}

TEST(BspTreeTest, EmptyTreeAndTooFewPoints)
{
    SetLogEcho(false);
    ClearLogLines();
    BspTree tree;
    std::vector<Vector3> line = {{0, 0, 0}, {1, 0, 0}};
    EXPECT_EQ(tree.AddPolygon(line.data(), 2), -1);
    EXPECT_EQ(GetLogLines().size(), 1u);
    SetLogEcho(true);
    tree.Build();
    Vector3 end(1, 2, 3);
    EXPECT_FALSE(tree.MoveSphere(Vector3(0, 0, 0), end, 1.0f));
    EXPECT_EQ(end, Vector3(1, 2, 3));
    EXPECT_EQ(tree.SegmentDistance(Vector3(0, 0, 0), Vector3(0, 0, 5)), 0.0f);
}

TEST(BspTreeTest, SpherePushedOutOfAWall)
{
    BspTree tree;
    std::vector<Vector3> wall = FloorSquare(0);
    tree.AddPolygon(wall.data(), 4);
    tree.Build();
    struct Case
    {
        Vector3 start, end;
        Vector3 expected;
    };
    const Case cases[] = {
        // Straight through the wall, and ending in front of it closer than the radius.
        {{0, 0, 3}, {0, 0, -3}, {0, 0, 1.01f}},
        {{1, 2, 3}, {1, 2, 0.5f}, {1, 2, 1.01f}},
        {{-2, 1, 3}, {-2, 1, 0.0f}, {-2, 1, 1.01f}},
        // Beside the wall, within the radius of its edge x = 5: pushed away from the edge.
        {{6, 0, 3}, {5.5f, 0, 0}, {6.01f, 0, 0}},
        // Near the corner (5, 5): pushed away from it.
        {{6, 6, 3}, {5.3f, 5.4f, 0}, {5.0f + 0.6f * 1.01f, 5.0f + 0.8f * 1.01f, 0}},
    };
    for (const Case& c : cases)
    {
        Vector3 end = c.end;
        // Pushed in the first pass and free in the second.
        EXPECT_FALSE(tree.MoveSphere(c.start, end, 1.0f));
        EXPECT_NEAR(end.x, c.expected.x, 1e-5f);
        EXPECT_NEAR(end.y, c.expected.y, 1e-5f);
        EXPECT_NEAR(end.z, c.expected.z, 1e-5f);
    }
    // Far enough in front, or moving away: untouched.
    Vector3 end(0, 0, 2);
    EXPECT_FALSE(tree.MoveSphere(Vector3(0, 0, 3), end, 1.0f));
    EXPECT_EQ(end, Vector3(0, 0, 2));
}

TEST(BspTreeTest, SphereBetweenTwoCloseWallsStaysPushed)
{
    // Two walls 1.5 apart facing each other, a sphere of radius 1: every pass pushes.
    BspTree tree;
    std::vector<Vector3> floor = FloorSquare(0);
    std::vector<Vector3> ceiling = {{-5, -5, 1.5f}, {-5, 5, 1.5f}, {5, 5, 1.5f}, {5, -5, 1.5f}};
    tree.AddPolygon(floor.data(), 4);
    tree.AddPolygon(ceiling.data(), 4);
    tree.Build();
    Vector3 end(0, 0, 0.75f);
    EXPECT_TRUE(tree.MoveSphere(Vector3(0, 0, 0.75f), end, 1.0f));
    EXPECT_TRUE(std::isfinite(end.z));
    EXPECT_EQ(end.x, 0.0f);
}

TEST(BspTreeTest, ZeroPushDirectionIsSkipped)
{
    // Find a tilted triangle whose corner, by rounding, fails the edge test of its own polygon,
    // so the corner push is reached with the end point exactly on that corner.
    SeedRandom(5);
    bool bFound = false;
    for (int nTry = 0; nTry < 20000 && !bFound; ++nTry)
    {
        Vector3 p[3];
        for (Vector3& v : p)
            v = Vector3(Random() / 1000.0f - 16, Random() / 1000.0f - 16, Random() / 1000.0f - 16);
        if (LengthSquared(Cross(p[1] - p[0], p[2] - p[0])) < 1.0f)
            continue;
        BspNode node(p, 3);
        for (const Vector3& corner : p)
        {
            if (node.plane.Distance(corner) < 0.0f || node.ContainsPoint(corner) ||
                node.FindEdgeContact(corner, 0.5f, nullptr))
                continue;
            bFound = true;
            Vector3 end = corner;
            node.PushSphere(corner + node.plane.normal * 5.0f, end, 0.5f);
            EXPECT_TRUE(std::isfinite(end.x) && std::isfinite(end.y) && std::isfinite(end.z));
            break;
        }
    }
    EXPECT_TRUE(bFound);
}

TEST(BspTreeTest, SegmentDistance)
{
    BspTree tree;
    std::vector<Vector3> wall = FloorSquare(0);
    tree.AddPolygon(wall.data(), 4);
    tree.Build();
    struct Case
    {
        Vector3 a, b;
        float fExpected;
    };
    const Case cases[] = {
        // Front to back, 3 long, crossing after 1: 3 - 1.
        {{0, 0, 1}, {0, 0, -2}, 2.0f},
        // Back to front: the distance to the crossing.
        {{1, 1, -1.5f}, {1, 1, 2.5f}, 1.5f},
        // Missing the polygon, or not crossing the plane.
        {{8, 0, 1}, {8, 0, -2}, 0.0f},
        {{0, 0, 1}, {0, 0, 4}, 0.0f},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(tree.SegmentDistance(c.a, c.b), c.fExpected, 1e-5f);
}
