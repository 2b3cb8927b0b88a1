#pragma once
// A convex planar polygon with its plane and a few attribute fields: plane classification with
// a tolerance of 0.03, splitting by a plane, a tolerant comparison of vertex loops and a segment
// test. Virtual so that a derived polygon can make pieces of its own kind when it is split.
#include "core/Plane.h"
#include "core/PolygonSplit.h"

#include <cstdint>
#include <memory>

class Polygon
{
public:
    // n corners, all at the origin until set; flags 0.
    explicit Polygon(int n);
    virtual ~Polygon() = default;
    Polygon(const Polygon&) = delete;
    Polygon& operator=(const Polygon&) = delete;

    // A new polygon of the same kind with n corners.
    virtual Polygon* Create(int n) const;
    // Copies point, axes, lengths, flags and user value into other.
    virtual void CopyAttributes(Polygon* pOther) const;
    // A hook for derived polygons; does nothing here.
    virtual void Hook(int nValue);

    // Inserts v at nIndex, moving the later corners up; false for an index past the end.
    bool InsertVertex(int nIndex, const Vector3& v);
    void SetFlags(uint32_t nFlags) { flags = nFlags; }
    void SetFlag(uint32_t nBits, bool bOn) { flags = bOn ? (flags | nBits) : (flags & ~nBits); }
    // Unit axes from a and b, their lengths kept in length1 and length2.
    void SetAxes(const Vector3& a, const Vector3& b);
    // The plane through corners 0, 1 and 2.
    void ComputePlane();

    // Where other lies relative to this polygon's plane (PolygonSide).
    int Classify(const Polygon& other) const;
    // POLYGON_SPANNING with two new pieces (the caller deletes them): back behind the plane,
    // front in front, each made by Create with this polygon's attributes and its own plane.
    // Corners within the tolerance go to both pieces. Otherwise the classification, and both
    // pieces null.
    int Split(const Plane& splitter, Polygon*& pBack, Polygon*& pFront) const;
    // Same corners from any starting corner, in the same or reverse order: corner 0 and the
    // neighbour that fixes the direction must match exactly, the rest within a squared
    // distance of 0.01.
    bool Matches(const Polygon& other) const;
    // True when the segment crosses the polygon strictly between its ends; the crossing point is
    // stored in pHit when given.
    bool IntersectSegment(const Vector3& vStart, const Vector3& vEnd, Vector3* pHit) const;

    // The two steps a split uses to fill its pieces: a corner copied, and the point
    // vertex i + (vertex j - vertex i) t.
    void CopyVertexTo(Polygon* pTarget, int nTargetIndex, int nIndex) const;
    void SetEdgePoint(Polygon* pTarget, int nTargetIndex, int i, int j, float t) const;

    std::unique_ptr<Vector3[]> vertices;
    uint32_t numVertices;
    Plane plane;
    Vector3 point;
    Vector3 axis1;
    Vector3 axis2;
    float length1 = 0.0f;
    float length2 = 0.0f;
    uint32_t flags = 0;
    int32_t userValue = 0;
};

// A new plain Polygon of n corners.
Polygon* CreatePolygon(int n);
