#include "core/BspTree.h"

#include "core/Log.h"
#include "core/Random.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
// Lists shorter than this try every polygon as splitter.
constexpr int ALL_CANDIDATES_BELOW = 16;
// Gap left between a pushed sphere and the surface it was pushed from.
constexpr float PUSH_MARGIN = 0.01f;
constexpr int MAX_PUSH_PASSES = 4;

BspNode* MakePiece(const BspNode& source, const Vector3* pVertices, const std::vector<SplitVertex>& corners)
{
    BspNode* pPiece = new BspNode(static_cast<int>(corners.size()), source.plane);
    for (size_t k = 0; k < corners.size(); ++k)
        pPiece->vertices[k] = SplitVertexPosition(pVertices, corners[k]);
    return pPiece;
}

// p lies inside (or on) every edge, seen along the normal.
bool InsideEdges(const BspNode& node, const Vector3& p)
{
    for (uint32_t j = 0; j < node.numVertices; ++j)
    {
        const Vector3& v = node.vertices[j];
        const Vector3& vPrev = node.vertices[j == 0 ? node.numVertices - 1 : j - 1];
        Vector3 m = Cross(node.plane.normal, v - vPrev);
        if (Dot(m, p) - Dot(m, v) < 0.0f)
            return false;
    }
    return true;
}

// Moves end to distance fDistance from the anchor along the direction from anchor to end. A
// zero direction (end exactly on the anchor) has no way out and is skipped.
bool PushAwayFrom(const Vector3& vAnchor, Vector3& vEnd, float fDistance)
{
    Vector3 vAway = vEnd - vAnchor;
    float fLengthSquared = LengthSquared(vAway);
    if (!(fLengthSquared > 0.0f))
        return false;
    vEnd = vAnchor + vAway * (fDistance / std::sqrt(fLengthSquared));
    return true;
}
}

BspNode::BspNode(const Vector3* pPoints, int n)
    : vertices(new Vector3[n]), numVertices(static_cast<uint32_t>(n)), plane(pPoints[0], pPoints[1], pPoints[2])
{
    std::copy(pPoints, pPoints + n, vertices.get());
}

BspNode::BspNode(int n, const Plane& nodePlane)
    : vertices(new Vector3[n]()), numVertices(static_cast<uint32_t>(n)), plane(nodePlane)
{
}

int BspNode::Classify(const BspNode& other) const
{
    return ClassifyPoints(plane, other.vertices.get(), static_cast<int>(other.numVertices));
}

int BspNode::Split(const Plane& splitter, BspNode*& pBack, BspNode*& pFront) const
{
    pBack = nullptr;
    pFront = nullptr;
    SplitPlan plan;
    int nClass = PlanSplit(splitter, vertices.get(), static_cast<int>(numVertices), plan);
    if (nClass != POLYGON_SPANNING)
        return nClass;
    pBack = MakePiece(*this, vertices.get(), plan.back);
    pFront = MakePiece(*this, vertices.get(), plan.front);
    return POLYGON_SPANNING;
}

bool BspNode::IntersectLine(const Vector3& a, const Vector3& b, Vector3* pPoint) const
{
    float t = plane.Distance(a) / Dot(plane.normal, a - b);
    Vector3 p = a + (b - a) * t;
    if (!InsideEdges(*this, p))
        return false;
    if (pPoint)
        *pPoint = p;
    return true;
}

bool BspNode::ContainsPoint(const Vector3& p) const
{
    return InsideEdges(*this, p);
}

bool BspNode::FindEdgeContact(const Vector3& vCentre, float fRadius, Vector3* pPoint) const
{
    for (uint32_t j = 0; j < numVertices; ++j)
    {
        const Vector3& vPrev = vertices[j == 0 ? numVertices - 1 : j - 1];
        Vector3 e = vertices[j] - vPrev;
        float fEdgeSquared = LengthSquared(e);
        float s = Dot(e, vCentre - vPrev);
        if (!(s > 0.0f && s < fEdgeSquared))
            continue;
        Vector3 q = vPrev + e * (s / fEdgeSquared);
        if (LengthSquared(q - vCentre) < fRadius * fRadius)
        {
            if (pPoint)
                *pPoint = q;
            return true;
        }
    }
    return false;
}

bool BspNode::PushSphere(const Vector3& vStart, Vector3& vEnd, float fRadius) const
{
    float dS = plane.Distance(vStart);
    float dE = plane.Distance(vEnd);
    float fClearance = fRadius + PUSH_MARGIN;
    bool bPushed = false;
    if (dS > 0.0f)
    {
        Vector3 q;
        if (dE < 0.0f)
        {
            // The move crosses the plane: stop in front of the crossing point.
            if (IntersectLine(vStart, vEnd, &q))
            {
                vEnd = q + plane.normal * fClearance;
                bPushed = true;
            }
        }
        else if (dE < fRadius)
        {
            if (ContainsPoint(vEnd))
            {
                vEnd += plane.normal * (fRadius - dE + PUSH_MARGIN);
                bPushed = true;
            }
            else if (FindEdgeContact(vEnd, fRadius, &q))
            {
                bPushed = PushAwayFrom(q, vEnd, fClearance);
            }
            else
            {
                for (uint32_t j = 0; j < numVertices; ++j)
                    if (LengthSquared(vEnd - vertices[j]) < fRadius * fRadius)
                        bPushed |= PushAwayFrom(vertices[j], vEnd, fClearance);
            }
        }
    }
    if (front && -fRadius < dE)
        bPushed |= front->PushSphere(vStart, vEnd, fRadius);
    if (back && dE < fRadius)
        bPushed |= back->PushSphere(vStart, vEnd, fRadius);
    return bPushed;
}

float BspNode::SegmentDistance(const Vector3& a, const Vector3& b) const
{
    float dA = plane.Distance(a);
    float dB = plane.Distance(b);
    float r = 0.0f;
    if (dA * dB < 0.0f)
    {
        Vector3 hit;
        if (IntersectLine(a, b, &hit))
        {
            r = Length(hit - a);
            if (dA > 0.0f)
                r = -r;
        }
        if (front)
            r += front->SegmentDistance(a, b);
        if (back)
            r += back->SegmentDistance(a, b);
    }
    else if (dA > 0.0f)
    {
        if (front)
            r += front->SegmentDistance(a, b);
    }
    else if (back)
    {
        r += back->SegmentDistance(a, b);
    }
    return r;
}

int BspTree::AddPolygon(const Vector3* pPoints, int n)
{
    if (!pPoints || n < 3)
    {
        LogWarning("BspTree::AddPolygon() - A polygon needs at least three points, not %d.", n);
        return -1;
    }
    return m_Pending.Add(new BspNode(pPoints, n));
}

void BspTree::Build()
{
    m_pRoot.reset();
    if (m_Pending.GetCount() > 0)
        BuildNode(m_pRoot, m_Pending);
    m_Pending.Clear();
}

void BspTree::Free()
{
    m_pRoot.reset();
    for (int i = 0; i < m_Pending.GetCount(); ++i)
        delete m_Pending[i];
    m_Pending.Clear();
}

void BspTree::BuildNode(std::unique_ptr<BspNode>& slot, Array<BspNode*>& list)
{
    int n = list.GetCount();
    int nCandidates = n < ALL_CANDIDATES_BELOW ? n : n / 32 + ALL_CANDIDATES_BELOW;
    int nWinner = -1;
    int nBestScore = 0;
    for (int c = 0; c < nCandidates; ++c)
    {
        int nCandidate = n < ALL_CANDIDATES_BELOW ? c : Random() % n;
        int nBalance = 0, nSpanning = 0;
        for (int k = 0; k < n; ++k)
        {
            if (k == nCandidate)
                continue;
            int nClass = list[nCandidate]->Classify(*list[k]);
            if (nClass == POLYGON_SPANNING)
                ++nSpanning;
            else if (nClass == POLYGON_FRONT)
                ++nBalance;
            else
                --nBalance;
        }
        int nScore = std::abs(nBalance) + 3 * nSpanning;
        if (nWinner < 0 || nScore < nBestScore)
        {
            nWinner = nCandidate;
            nBestScore = nScore;
        }
    }

    BspNode* pWinner = list[nWinner];
    slot.reset(pWinner);
    list.RemoveFast(nWinner);

    Array<BspNode*> backList, frontList;
    for (int k = 0; k < list.GetCount(); ++k)
    {
        BspNode* pNode = list[k];
        BspNode *pBack, *pFront;
        int nClass = pNode->Split(pWinner->plane, pBack, pFront);
        if (nClass == POLYGON_SPANNING)
        {
            backList.Add(pBack);
            frontList.Add(pFront);
            delete pNode;
        }
        else if (nClass == POLYGON_BACK)
            backList.Add(pNode);
        else
            frontList.Add(pNode);
    }
    if (backList.GetCount() > 0)
        BuildNode(pWinner->back, backList);
    if (frontList.GetCount() > 0)
        BuildNode(pWinner->front, frontList);
}

bool BspTree::MoveSphere(const Vector3& vStart, Vector3& vEnd, float fRadius) const
{
    if (!m_pRoot)
        return false;
    bool bPushed = false;
    for (int nPass = 0; nPass < MAX_PUSH_PASSES; ++nPass)
    {
        bPushed = m_pRoot->PushSphere(vStart, vEnd, fRadius);
        if (!bPushed)
            break;
    }
    return bPushed;
}

float BspTree::SegmentDistance(const Vector3& a, const Vector3& b) const
{
    if (!m_pRoot)
        return 0.0f;
    float r = m_pRoot->SegmentDistance(a, b);
    if (r < 0.0f)
        r += Length(b - a);
    return r;
}
