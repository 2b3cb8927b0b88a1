#pragma once
// A binary space partitioning tree of convex polygons for collision queries: polygons are added
// to a pending list, the tree is built from them in one step, and two queries run against it:
// moving a sphere with its end point pushed out of every polygon it penetrates, and a signed
// distance along a segment.
#include "core/Array.h"
#include "core/PolygonSplit.h"

#include <cstdint>
#include <memory>

struct BspNode
{
    // A polygon on the plane through its corners 0, 1 and 2.
    BspNode(const Vector3* pPoints, int n);
    // n corners (at the origin until set) on a given plane, as the pieces of a split are made.
    BspNode(int n, const Plane& nodePlane);

    // Where other lies relative to this node's plane (PolygonSide).
    int Classify(const BspNode& other) const;
    // As Polygon::Split, except that the pieces keep this node's plane.
    int Split(const Plane& splitter, BspNode*& pBack, BspNode*& pFront) const;
    // Where the line through a and b meets the plane, when that point lies inside the polygon
    // (edges included); stored in pPoint when given. Callers pass a and b on opposite sides.
    bool IntersectLine(const Vector3& a, const Vector3& b, Vector3* pPoint) const;
    // p projected along the normal lies inside the polygon (edges included).
    bool ContainsPoint(const Vector3& p) const;
    // The closest point of the first edge closer than radius to the centre, measured
    // perpendicular to the edge (the corners themselves excluded).
    bool FindEdgeContact(const Vector3& vCentre, float fRadius, Vector3* pPoint) const;
    // Pushes end out of this polygon and of those in the subtrees the sphere can reach; true
    // when anything pushed.
    bool PushSphere(const Vector3& vStart, Vector3& vEnd, float fRadius) const;
    // Signed length along the segment to its crossings with this subtree's polygons.
    float SegmentDistance(const Vector3& a, const Vector3& b) const;

    std::unique_ptr<Vector3[]> vertices;
    uint32_t numVertices;
    Plane plane;
    // In front of the plane (and lying in it); null when empty.
    std::unique_ptr<BspNode> front;
    // Behind the plane; null when empty.
    std::unique_ptr<BspNode> back;
};

class BspTree
{
public:
    BspTree() = default;
    ~BspTree() { Free(); }
    BspTree(const BspTree&) = delete;
    BspTree& operator=(const BspTree&) = delete;

    // A copy of the n points waits for the next Build; returns its index in the pending list, or
    // -1 (with a logged warning) for fewer than three points.
    int AddPolygon(const Vector3* pPoints, int n);
    // Replaces the tree (freeing the previous one) with one built from the pending polygons,
    // which leave the list. Splitters are chosen by a balance score; from 16 polygons up only
    // n / 32 + 16 random candidates (core/Random.h) are tried.
    void Build();
    // Deletes the tree and every pending polygon.
    void Free();

    // Moves the sphere's end point out of the polygons it penetrates, in up to four passes:
    // false when the last pass found the sphere free (or the tree is empty), true when the
    // fourth pass still pushed.
    bool MoveSphere(const Vector3& vStart, Vector3& vEnd, float fRadius) const;
    // For a single crossing d units from a: |b - a| - d front to back, d back to front; 0 for
    // none or an empty tree.
    float SegmentDistance(const Vector3& a, const Vector3& b) const;

    const BspNode* GetRoot() const { return m_pRoot.get(); }
    int GetPendingCount() const { return m_Pending.GetCount(); }

private:
    static void BuildNode(std::unique_ptr<BspNode>& slot, Array<BspNode*>& list);

    Array<BspNode*> m_Pending;
    std::unique_ptr<BspNode> m_pRoot;
};
