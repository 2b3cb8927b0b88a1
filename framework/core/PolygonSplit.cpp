#include "core/PolygonSplit.h"

#include <algorithm>

int ClassifyPoints(const Plane& plane, const Vector3* pPoints, int nCount)
{
    bool bFront = false, bBack = false;
    for (int i = 0; i < nCount; ++i)
    {
        int nSide = plane.Side(pPoints[i], POLYGON_PLANE_EPSILON);
        bFront |= nSide > 0;
        bBack |= nSide < 0;
    }
    if (bFront && bBack)
        return POLYGON_SPANNING;
    if (bFront)
        return POLYGON_FRONT;
    return bBack ? POLYGON_BACK : POLYGON_ON;
}

namespace
{
// Rotates the piece so that it starts at its first corner lying clearly on its side, which keeps
// its first three corners away from the cutting line (they define the piece's plane).
void StartAtOwnVertex(std::vector<SplitVertex>& piece, const std::vector<int>& sides, int nSide)
{
    auto own = std::find_if(piece.begin(), piece.end(),
                            [&](const SplitVertex& c) { return c.nTo < 0 && sides[c.nFrom] == nSide; });
    if (own != piece.end())
        std::rotate(piece.begin(), own, piece.end());
}
}

int PlanSplit(const Plane& plane, const Vector3* pVertices, int nCount, SplitPlan& plan)
{
    int nClass = ClassifyPoints(plane, pVertices, nCount);
    if (nClass != POLYGON_SPANNING)
        return nClass;

    std::vector<int> sides(nCount);
    for (int i = 0; i < nCount; ++i)
        sides[i] = plane.Side(pVertices[i], POLYGON_PLANE_EPSILON);

    plan.back.clear();
    plan.front.clear();
    // Clip edge by edge: an edge whose ends lie clearly on opposite sides gives both pieces its
    // crossing point; a vertex goes to the piece of its side, or to both when on the plane.
    for (int i = 0; i < nCount; ++i)
    {
        int nPrev = (i == 0) ? nCount - 1 : i - 1;
        if (sides[nPrev] * sides[i] < 0)
        {
            SplitVertex crossing = {nPrev, i, plane.RayParameter(pVertices[nPrev], pVertices[i])};
            plan.back.push_back(crossing);
            plan.front.push_back(crossing);
        }
        SplitVertex corner = {i, -1, 0.0f};
        if (sides[i] <= 0)
            plan.back.push_back(corner);
        if (sides[i] >= 0)
            plan.front.push_back(corner);
    }
    StartAtOwnVertex(plan.back, sides, -1);
    StartAtOwnVertex(plan.front, sides, 1);
    return POLYGON_SPANNING;
}

Vector3 SplitVertexPosition(const Vector3* pVertices, const SplitVertex& corner)
{
    if (corner.nTo < 0)
        return pVertices[corner.nFrom];
    const Vector3& a = pVertices[corner.nFrom];
    return a + (pVertices[corner.nTo] - a) * corner.t;
}
