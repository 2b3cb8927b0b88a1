#include "core/Polygon.h"

#include <algorithm>

namespace
{
// Squared distance within which corners after the first two still match.
constexpr float MATCH_DISTANCE_SQUARED = 0.01f;

Polygon* MakePiece(const Polygon& source, const std::vector<SplitVertex>& corners)
{
    Polygon* pPiece = source.Create(static_cast<int>(corners.size()));
    source.CopyAttributes(pPiece);
    for (size_t k = 0; k < corners.size(); ++k)
    {
        const SplitVertex& c = corners[k];
        if (c.nTo < 0)
            source.CopyVertexTo(pPiece, static_cast<int>(k), c.nFrom);
        else
            source.SetEdgePoint(pPiece, static_cast<int>(k), c.nFrom, c.nTo, c.t);
    }
    pPiece->ComputePlane();
    return pPiece;
}

// Barycentric test of a point in the triangle's plane: inside (edges included) when every
// sub-triangle has the winding of the whole. Works whatever the plane's distance to the origin.
bool TriangleContains(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& p)
{
    Vector3 n = Cross(b - a, c - a);
    float fArea = LengthSquared(n);
    if (fArea == 0.0f)
        return false;
    float fAlpha = Dot(Cross(c - b, p - b), n) / fArea;
    float fBeta = Dot(Cross(a - c, p - c), n) / fArea;
    float fGamma = 1.0f - fAlpha - fBeta;
    return fAlpha >= 0.0f && fAlpha <= 1.0f && fBeta >= 0.0f && fBeta <= 1.0f && fGamma >= 0.0f && fGamma <= 1.0f;
}
}

Polygon::Polygon(int n)
    : vertices(new Vector3[std::max(n, 0)]()), numVertices(static_cast<uint32_t>(std::max(n, 0))),
      plane(0.0f, 0.0f, 0.0f, 0.0f), point(0.0f, 0.0f, 0.0f), axis1(0.0f, 0.0f, 0.0f), axis2(0.0f, 0.0f, 0.0f)
{
}

Polygon* Polygon::Create(int n) const
{
    return new Polygon(n);
}

void Polygon::CopyAttributes(Polygon* pOther) const
{
    pOther->point = point;
    pOther->axis1 = axis1;
    pOther->axis2 = axis2;
    pOther->length1 = length1;
    pOther->length2 = length2;
    pOther->flags = flags;
    pOther->userValue = userValue;
}

void Polygon::Hook(int)
{
}

bool Polygon::InsertVertex(int nIndex, const Vector3& v)
{
    if (nIndex < 0 || static_cast<uint32_t>(nIndex) > numVertices)
        return false;
    std::unique_ptr<Vector3[]> grown(new Vector3[numVertices + 1]);
    std::copy(vertices.get(), vertices.get() + nIndex, grown.get());
    grown[nIndex] = v;
    std::copy(vertices.get() + nIndex, vertices.get() + numVertices, grown.get() + nIndex + 1);
    vertices = std::move(grown);
    ++numVertices;
    return true;
}

void Polygon::SetAxes(const Vector3& a, const Vector3& b)
{
    length1 = Length(a);
    axis1 = a / length1;
    length2 = Length(b);
    axis2 = b / length2;
}

void Polygon::ComputePlane()
{
    plane = Plane(vertices[0], vertices[1], vertices[2]);
}

int Polygon::Classify(const Polygon& other) const
{
    return ClassifyPoints(plane, other.vertices.get(), static_cast<int>(other.numVertices));
}

int Polygon::Split(const Plane& splitter, Polygon*& pBack, Polygon*& pFront) const
{
    pBack = nullptr;
    pFront = nullptr;
    SplitPlan plan;
    int nClass = PlanSplit(splitter, vertices.get(), static_cast<int>(numVertices), plan);
    if (nClass != POLYGON_SPANNING)
        return nClass;
    pBack = MakePiece(*this, plan.back);
    pFront = MakePiece(*this, plan.front);
    return POLYGON_SPANNING;
}

bool Polygon::Matches(const Polygon& other) const
{
    int n = static_cast<int>(numVertices);
    if (n != static_cast<int>(other.numVertices) || n == 0)
        return false;
    for (int i = 0; i < n; ++i)
    {
        if (!(vertices[0] == other.vertices[i]))
            continue;
        int nDirection = 0;
        if (vertices[1 % n] == other.vertices[(i + 1) % n])
            nDirection = 1;
        else if (vertices[n - 1] == other.vertices[(i + 1) % n])
            nDirection = -1;
        if (nDirection == 0)
            continue;
        int j = 0;
        while (j < n)
        {
            int k = ((i + j * nDirection) % n + n) % n;
            if (LengthSquared(vertices[j] - other.vertices[k]) > MATCH_DISTANCE_SQUARED)
                break;
            ++j;
        }
        if (j == n)
            return true;
    }
    return false;
}

bool Polygon::IntersectSegment(const Vector3& vStart, const Vector3& vEnd, Vector3* pHit) const
{
    float fDenominator = Dot(plane.normal, vStart - vEnd);
    if (fDenominator == 0.0f)
        return false;
    float t = plane.Distance(vStart) / fDenominator;
    if (!(t > 0.0f && t < 1.0f))
        return false;
    Vector3 p = vStart + (vEnd - vStart) * t;
    for (uint32_t l = 2; l < numVertices; ++l)
    {
        if (TriangleContains(vertices[0], vertices[l - 1], vertices[l], p))
        {
            if (pHit)
                *pHit = p;
            return true;
        }
    }
    return false;
}

void Polygon::CopyVertexTo(Polygon* pTarget, int nTargetIndex, int nIndex) const
{
    pTarget->vertices[nTargetIndex] = vertices[nIndex];
}

void Polygon::SetEdgePoint(Polygon* pTarget, int nTargetIndex, int i, int j, float t) const
{
    pTarget->vertices[nTargetIndex] = vertices[i] + (vertices[j] - vertices[i]) * t;
}

Polygon* CreatePolygon(int n)
{
    return new Polygon(n);
}
