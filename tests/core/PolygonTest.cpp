#include "core/Polygon.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace
{
std::unique_ptr<Polygon> MakePolygon(const std::vector<Vector3>& corners)
{
    std::unique_ptr<Polygon> p(CreatePolygon(static_cast<int>(corners.size())));
    for (size_t i = 0; i < corners.size(); ++i)
        p->vertices[i] = corners[i];
    p->ComputePlane();
    return p;
}

std::vector<Vector3> Corners(const Polygon& p)
{
    return std::vector<Vector3>(p.vertices.get(), p.vertices.get() + p.numVertices);
}

// The corners equal the expected ones in the same cyclic order, from any start.
bool SameCycle(const std::vector<Vector3>& actual, const std::vector<Vector3>& expected, float fTolerance)
{
    size_t n = expected.size();
    if (actual.size() != n)
        return false;
    for (size_t s = 0; s < n; ++s)
    {
        bool bAll = true;
        for (size_t i = 0; i < n && bAll; ++i)
            bAll = Length(actual[(s + i) % n] - expected[i]) <= fTolerance;
        if (bAll)
            return true;
    }
    return false;
}

// Vector area (normal times area) of a planar loop.
Vector3 AreaVector(const std::vector<Vector3>& v)
{
    Vector3 sum(0, 0, 0);
    for (size_t i = 0; i < v.size(); ++i)
        sum += Cross(v[i], v[(i + 1) % v.size()]);
    return sum * 0.5f;
}

bool Contains(const std::vector<Vector3>& list, const Vector3& v)
{
    for (const Vector3& w : list)
        if (w == v)
            return true;
    return false;
}
}

TEST(PolygonTest, ClassifyWithTolerance)
{
    auto square = MakePolygon({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}});
    struct Case
    {
        std::vector<Vector3> corners;
        int nExpected;
    };
    const Case cases[] = {
        // One edge on the plane z = 0, the rest in front.
        {{{0, 0, 0}, {1, 0, 0}, {1, 0, 1}, {0, 0, 1}}, POLYGON_FRONT},
        {{{0, 0, 0.02f}, {1, 0, -0.02f}, {1, 1, 0.01f}, {0, 1, 0}}, POLYGON_ON},
        {{{0, 0, -1}, {1, 0, -2}, {1, 1, -0.5f}}, POLYGON_BACK},
        {{{0, 0, -1}, {1, 0, 1}, {1, 1, 0}}, POLYGON_SPANNING},
        {{{0, 0, 0.04f}, {1, 0, 0}, {1, 1, 0}}, POLYGON_FRONT},
    };
    for (const Case& c : cases)
        EXPECT_EQ(square->Classify(*MakePolygon(c.corners)), c.nExpected);
}

TEST(PolygonTest, SplitSquareAndTriangle)
{
    auto square = MakePolygon({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}});
    square->userValue = 42;
    square->SetFlags(0x5);
    square->point = Vector3(9, 8, 7);
    square->SetAxes(Vector3(3, 0, 0), Vector3(0, 0, 0.5f));
    Polygon *pBack, *pFront;
    ASSERT_EQ(square->Split(Plane(1, 0, 0, -1), pBack, pFront), POLYGON_SPANNING);
    std::unique_ptr<Polygon> back(pBack), front(pFront);
    EXPECT_TRUE(SameCycle(Corners(*back), {{0, 0, 0}, {1, 0, 0}, {1, 2, 0}, {0, 2, 0}}, 0.0f));
    EXPECT_TRUE(SameCycle(Corners(*front), {{1, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 2, 0}}, 0.0f));
    for (const Polygon* p : {back.get(), front.get()})
    {
        EXPECT_EQ(p->userValue, 42);
        EXPECT_EQ(p->flags, 0x5u);
        EXPECT_EQ(p->point, Vector3(9, 8, 7));
        EXPECT_EQ(p->axis1, Vector3(1, 0, 0));
        EXPECT_EQ(p->length1, 3.0f);
        EXPECT_EQ(p->length2, 0.5f);
        EXPECT_NEAR(p->plane.normal.z, 1.0f, 1e-6f);
    }

    // One corner on the plane, one on each side: two triangles sharing that corner.
    auto triangle = MakePolygon({{1, 0, 0}, {2, 2, 0}, {0, 2, 0}});
    ASSERT_EQ(triangle->Split(Plane(1, 0, 0, -1), pBack, pFront), POLYGON_SPANNING);
    back.reset(pBack);
    front.reset(pFront);
    EXPECT_TRUE(SameCycle(Corners(*back), {{1, 0, 0}, {1, 2, 0}, {0, 2, 0}}, 0.0f));
    EXPECT_TRUE(SameCycle(Corners(*front), {{1, 0, 0}, {2, 2, 0}, {1, 2, 0}}, 0.0f));

    // Not spanning: no pieces.
    EXPECT_EQ(square->Split(Plane(1, 0, 0, 5), pBack, pFront), POLYGON_FRONT);
    EXPECT_EQ(pBack, nullptr);
    EXPECT_EQ(pFront, nullptr);
    EXPECT_EQ(square->Split(Plane(0, 0, 1, 0), pBack, pFront), POLYGON_ON);
    EXPECT_EQ(square->Split(Plane(-1, 0, 0, -5), pBack, pFront), POLYGON_BACK);
}

TEST(PolygonTest, SplitKeepsEveryVertexWhenSeveralLieOnThePlane)
{
    // Convex, with the side pattern (+, 0, 0, -) against x = 1: the two middle corners lie
    // within the tolerance on either side of the plane.
    auto quad = MakePolygon({{1.5f, -1, 0}, {1.02f, 0, 0}, {0.98f, 10, 0}, {0.9f, 40, 0}});
    Polygon *pBack, *pFront;
    ASSERT_EQ(quad->Split(Plane(1, 0, 0, -1), pBack, pFront), POLYGON_SPANNING);
    std::unique_ptr<Polygon> back(pBack), front(pFront);
    std::vector<Vector3> backCorners = Corners(*back), frontCorners = Corners(*front);
    EXPECT_TRUE(Contains(backCorners, Vector3(0.9f, 40, 0)));
    EXPECT_TRUE(Contains(frontCorners, Vector3(1.5f, -1, 0)));
    for (const Vector3& v : {Vector3(1.02f, 0, 0), Vector3(0.98f, 10, 0)})
    {
        EXPECT_TRUE(Contains(backCorners, v));
        EXPECT_TRUE(Contains(frontCorners, v));
    }
    EXPECT_NEAR(back->plane.normal.z, quad->plane.normal.z, 1e-5f);
    EXPECT_NEAR(front->plane.normal.z, quad->plane.normal.z, 1e-5f);
}

TEST(PolygonTest, SplitAreasSumToTheWholeForEverySidePattern)
{
    // Regular polygons of 3 to 8 corners (radius 10) cut by planes through each corner, through
    // pairs of corners and just beside them, so every pattern of front, on and back corners
    // that a convex polygon allows comes up.
    const float fOffsets[] = {0.0f, 0.02f, -0.02f, 0.5f, -3.0f};
    for (int n = 3; n <= 8; ++n)
    {
        std::vector<Vector3> corners;
        for (int i = 0; i < n; ++i)
        {
            float a = 6.2831853f * i / n + 0.3f;
            corners.emplace_back(10 * std::cos(a), 10 * std::sin(a), 5);
        }
        auto polygon = MakePolygon(corners);
        Vector3 whole = AreaVector(corners);
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                for (float fOffset : fOffsets)
                {
                    // A vertical plane through corners i and j (or across corner i when i == j).
                    Vector3 dir = (i == j) ? Vector3(-corners[i].y, corners[i].x, 0) : corners[j] - corners[i];
                    Vector3 normal = Normalized(Vector3(dir.y, -dir.x, 0));
                    Plane splitter(normal, -Dot(normal, corners[i]) + fOffset);
                    Polygon *pBack, *pFront;
                    int nClass = polygon->Split(splitter, pBack, pFront);
                    if (nClass != POLYGON_SPANNING)
                        continue;
                    std::unique_ptr<Polygon> back(pBack), front(pFront);
                    std::vector<Vector3> b = Corners(*back), f = Corners(*front);
                    ASSERT_GE(b.size(), 3u);
                    ASSERT_GE(f.size(), 3u);
                    Vector3 sum = AreaVector(b) + AreaVector(f);
                    // Corners within the tolerance belong to both pieces, which then overlap by
                    // a sliver at most 0.03 wide along the cut.
                    EXPECT_NEAR(sum.z, whole.z, 2.0f) << n << " " << i << " " << j << " " << fOffset;
                    EXPECT_GT(AreaVector(b).z, 0.0f);
                    EXPECT_GT(AreaVector(f).z, 0.0f);
                    for (const Vector3& v : corners)
                        EXPECT_TRUE(Contains(b, v) || Contains(f, v));
                    for (const Vector3& v : b)
                        EXPECT_LE(splitter.Side(v, POLYGON_PLANE_EPSILON), 0);
                    for (const Vector3& v : f)
                        EXPECT_GE(splitter.Side(v, POLYGON_PLANE_EPSILON), 0);
                    EXPECT_NEAR(back->plane.normal.z, 1.0f, 1e-4f);
                    EXPECT_NEAR(front->plane.d, -5.0f, 1e-3f);
                }
    }
}

TEST(PolygonTest, MatchesRotatedAndReversedCopies)
{
    const std::vector<Vector3> base = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 3, 0}, {0, 2, 0}};
    auto polygon = MakePolygon(base);
    struct Case
    {
        std::vector<Vector3> corners;
        bool bMatch;
    };
    const Case cases[] = {
        {base, true},
        {{{2, 2, 0}, {1, 3, 0}, {0, 2, 0}, {0, 0, 0}, {2, 0, 0}}, true},
        {{{2, 0, 0}, {0, 0, 0}, {0, 2, 0}, {1, 3, 0}, {2, 2, 0}}, true},
        // Corners other than the two that fix start and direction moved by 0.05, then by 0.2.
        {{{1, 3.05f, 0}, {0, 2.05f, 0}, {0, 0, 0}, {2, 0, 0}, {2.05f, 2, 0}}, true},
        {{{1, 3.2f, 0}, {0, 2, 0}, {0, 0, 0}, {2, 0, 0}, {2, 2, 0}}, false},
        // The direction-fixing neighbour must be exact.
        {{{0, 0, 0}, {2.001f, 0, 0}, {2, 2, 0}, {1, 3, 0}, {0, 2.001f, 0}}, false},
        {{{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {1, 3, 0}}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(polygon->Matches(*MakePolygon(c.corners)), c.bMatch) << c.corners[0].x << " " << c.corners[0].y;
}

TEST(PolygonTest, IntersectSegmentOnAPlaneThroughTheOrigin)
{
    // The square lies on z = 0, whose plane passes through the origin.
    auto square = MakePolygon({{-1, -1, 0}, {1, -1, 0}, {1, 1, 0}, {-1, 1, 0}});
    struct Case
    {
        Vector3 a, b;
        bool bHit;
        Vector3 hit;
    };
    const Case cases[] = {
        {{0.2f, 0.3f, 1}, {0.2f, 0.3f, -1}, true, {0.2f, 0.3f, 0}},
        {{-0.5f, 0.5f, -2}, {0.5f, 0.5f, 2}, true, {0, 0.5f, 0}},
        {{0.9f, -0.9f, 3}, {0.9f, -0.9f, -1}, true, {0.9f, -0.9f, 0}},
        {{1.5f, 0, 1}, {1.5f, 0, -1}, false, {}},
        // Ends exactly on the plane (t = 1), starts on it (t = 0), parallel, too short.
        {{0, 0, 1}, {0, 0, 0}, false, {}},
        {{0, 0, 0}, {0, 0, -1}, false, {}},
        {{0, 0, 1}, {1, 0, 1}, false, {}},
        {{0, 0, 2}, {0, 0, 1}, false, {}},
    };
    for (const Case& c : cases)
    {
        Vector3 hit(7, 7, 7);
        EXPECT_EQ(square->IntersectSegment(c.a, c.b, &hit), c.bHit) << c.a.x << " " << c.a.z;
        if (c.bHit)
        {
            EXPECT_NEAR(hit.x, c.hit.x, 1e-6f);
            EXPECT_NEAR(hit.y, c.hit.y, 1e-6f);
            EXPECT_NEAR(hit.z, c.hit.z, 1e-6f);
        }
        else
            EXPECT_EQ(hit, Vector3(7, 7, 7));
    }
    EXPECT_TRUE(square->IntersectSegment(Vector3(0, 0, 1), Vector3(0, 0, -1), nullptr));

    // A triangle away from the origin, tilted.
    auto tilted = MakePolygon({{5, 0, 0}, {5, 4, 0}, {5, 0, 4}});
    Vector3 hit;
    EXPECT_TRUE(tilted->IntersectSegment(Vector3(6, 1, 1), Vector3(4, 1, 1), &hit));
    EXPECT_NEAR(hit.x, 5.0f, 1e-6f);
    EXPECT_FALSE(tilted->IntersectSegment(Vector3(6, 3, 3), Vector3(4, 3, 3), nullptr));
}

TEST(PolygonTest, VerticesFlagsAndAxes)
{
    auto p = MakePolygon({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}});
    ASSERT_TRUE(p->InsertVertex(1, Vector3(0.5f, -1, 0)));
    ASSERT_TRUE(p->InsertVertex(4, Vector3(-1, 0.5f, 0)));
    EXPECT_FALSE(p->InsertVertex(6, Vector3(0, 0, 0)));
    EXPECT_FALSE(p->InsertVertex(-1, Vector3(0, 0, 0)));
    const std::vector<Vector3> expected = {{0, 0, 0}, {0.5f, -1, 0}, {1, 0, 0}, {0, 1, 0}, {-1, 0.5f, 0}};
    EXPECT_EQ(Corners(*p).size(), expected.size());
    EXPECT_TRUE(SameCycle(Corners(*p), expected, 0.0f));
    EXPECT_EQ(p->vertices[0], Vector3(0, 0, 0));

    p->SetFlags(0x10);
    p->SetFlag(0x3, true);
    EXPECT_EQ(p->flags, 0x13u);
    p->SetFlag(0x11, false);
    EXPECT_EQ(p->flags, 0x2u);

    p->SetAxes(Vector3(0, 3, 4), Vector3(-2, 0, 0));
    EXPECT_FLOAT_EQ(p->length1, 5.0f);
    EXPECT_FLOAT_EQ(p->axis1.z, 0.8f);
    EXPECT_FLOAT_EQ(p->length2, 2.0f);
    EXPECT_EQ(p->axis2, Vector3(-1, 0, 0));

    std::unique_ptr<Polygon> target(p->Create(2));
    p->CopyVertexTo(target.get(), 0, 2);
    p->SetEdgePoint(target.get(), 1, 0, 2, 0.25f);
    EXPECT_EQ(target->vertices[0], Vector3(1, 0, 0));
    EXPECT_EQ(target->vertices[1], Vector3(0.25f, 0, 0));
}
