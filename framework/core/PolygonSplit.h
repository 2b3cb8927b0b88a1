#pragma once
// Plane classification and splitting of convex polygons, shared by Polygon and the BSP tree's
// nodes so that both cut the same way.
#include "core/Plane.h"

#include <vector>

// Points closer than this to a plane count as lying on it.
constexpr float POLYGON_PLANE_EPSILON = 0.03f;

enum PolygonSide
{
    POLYGON_BACK = -1,
    POLYGON_ON = 0,
    POLYGON_FRONT = 1,
    POLYGON_SPANNING = 2,
};

// POLYGON_ON when no point is clearly in front or behind, POLYGON_FRONT or POLYGON_BACK when
// all clear points are on that side, POLYGON_SPANNING when there are both.
int ClassifyPoints(const Plane& plane, const Vector3* pPoints, int nCount);

// One corner of a piece: vertex nFrom itself when nTo < 0, else the point where the edge from
// vertex nFrom to vertex nTo meets the plane, nFrom + (nTo - nFrom) t.
struct SplitVertex
{
    int nFrom;
    int nTo;
    float t;
};

// Which corners each piece of a split gets, in the polygon's winding. Vertices within the
// tolerance go to both pieces, so no vertex is lost when several in a row lie on the plane;
// each piece starts at its first vertex that lies clearly on its own side.
struct SplitPlan
{
    std::vector<SplitVertex> back;
    std::vector<SplitVertex> front;
};

// The polygon's classification; the plan is filled only for POLYGON_SPANNING.
int PlanSplit(const Plane& plane, const Vector3* pVertices, int nCount, SplitPlan& plan);

// The position of one planned corner.
Vector3 SplitVertexPosition(const Vector3* pVertices, const SplitVertex& corner);
