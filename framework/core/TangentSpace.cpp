#include "core/TangentSpace.h"

#include <array>
#include <cmath>
#include <new>
#include <utility>

namespace
{
using Double3 = std::array<double, 3>;

// Below this, lengths count as zero and coordinates as equal.
constexpr double TANGENT_EPSILON = 1e-7;
// Corners whose tangents (or binormals) are further apart than about 72 degrees are not welded,
// so mirrored texture mappings keep their own bases.
constexpr double WELD_MIN_DOT = 0.3;

double Dot3d(const Double3& a, const Double3& b)
{
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

Double3 ToDouble3(const float v[3])
{
    return {v[0], v[1], v[2]};
}

Double3 ToDouble3(const double v[3])
{
    return {v[0], v[1], v[2]};
}

// v / |v|, or the fallback for a vector too short to have a direction.
Double3 NormalizeOr(const Double3& v, const Double3& fallback)
{
    double dLength = std::sqrt(Dot3d(v, v));
    if (dLength < TANGENT_EPSILON)
        return fallback;
    return {v[0] / dLength, v[1] / dLength, v[2] / dLength};
}

Double3 NormalizeOrDefault(const Double3& v)
{
    return NormalizeOr(v, {1.0, 0.0, 0.0});
}

// v minus its part along the normal (which is used as given, not normalised), normalised;
// the fallback for a vector parallel to the normal.
Double3 PerpendicularUnit(const Double3& v, const Double3& normal, const Double3& fallback)
{
    double dAlong = Dot3d(v, normal);
    return NormalizeOr({v[0] - normal[0] * dAlong, v[1] - normal[1] * dAlong, v[2] - normal[2] * dAlong}, fallback);
}

struct BasisVertex
{
    Double3 position;
    double uv[2];
};

// The direction in the triangle along which texture coordinate `along` grows while the other
// one stays constant. The vertices are sorted by the other coordinate, largest first; the point
// on the edge from the first to the last at the middle vertex's level gives, from the middle
// vertex, a line of constant level, turned to point towards growing `along`.
Double3 DirectionOfGrowing(std::array<BasisVertex, 3> v, int along)
{
    const int level = 1 - along;
    auto order = [&](size_t i, size_t j) {
        if (v[i].uv[level] < v[j].uv[level])
            std::swap(v[i], v[j]);
    };
    order(0, 1);
    order(0, 2);
    order(1, 2);
    const BasisVertex& a = v[0];
    const BasisVertex& b = v[1];
    const BasisVertex& c = v[2];
    double s = 1.0;
    if (std::fabs(c.uv[level] - a.uv[level]) >= TANGENT_EPSILON)
        s = (b.uv[level] - a.uv[level]) / (c.uv[level] - a.uv[level]);
    Double3 d;
    for (int k = 0; k < 3; ++k)
        d[k] = a.position[k] + (c.position[k] - a.position[k]) * s - b.position[k];
    if (b.uv[along] > a.uv[along] + (c.uv[along] - a.uv[along]) * s)
        d = {-d[0], -d[1], -d[2]};
    return d;
}

void ComputeTriangleBasis(const NmfTriangle& triangle, const Double3& normal, Double3& tangent, Double3& binormal)
{
    std::array<BasisVertex, 3> vertices;
    for (size_t i = 0; i < 3; ++i)
        vertices[i] = {ToDouble3(triangle.m_fPositions[i]), {triangle.m_fTexCoords[i][0], triangle.m_fTexCoords[i][1]}};
    tangent = PerpendicularUnit(DirectionOfGrowing(vertices, 0), normal, {1.0, 0.0, 0.0});
    binormal = PerpendicularUnit(DirectionOfGrowing(vertices, 1), normal, {0.0, 0.0, 1.0});
}

// Only u is tested: a triangle whose u coordinates are all zero has no mapping to follow and
// keeps the default basis whatever its v coordinates.
void ComputeCornerBasis(const NmfTriangle& triangle, int nCorner, Double3& tangent, Double3& binormal)
{
    tangent = {1.0, 0.0, 0.0};
    binormal = {0.0, 1.0, 0.0};
    if (triangle.m_fTexCoords[0][0] != 0.0f || triangle.m_fTexCoords[1][0] != 0.0f ||
        triangle.m_fTexCoords[2][0] != 0.0f)
        ComputeTriangleBasis(triangle, ToDouble3(triangle.m_fNormals[nCorner]), tangent, binormal);
}

void MakeCorner(const NmfTriangle& triangle, int nCorner, TangentCorner& corner)
{
    Double3 tangent, binormal;
    ComputeCornerBasis(triangle, nCorner, tangent, binormal);
    for (int k = 0; k < 3; ++k)
    {
        corner.m_dPosition[k] = triangle.m_fPositions[nCorner][k];
        corner.m_dNormal[k] = triangle.m_fNormals[nCorner][k];
        corner.m_dTangentSum[k] = tangent[k];
        corner.m_dBinormalSum[k] = binormal[k];
    }
    corner.m_dU = triangle.m_fTexCoords[nCorner][0];
    corner.m_dV = triangle.m_fTexCoords[nCorner][1];
    corner.m_nCount = 1;
}

// -1, 0 or 1. An order over position, normal and texture coordinate with a tolerance (larger
// values first), then a test that the two bases point alike; 0 means the same vertex.
int CompareCorners(const TangentCorner& a, const TangentCorner& b)
{
    const double aKeys[8] = {a.m_dPosition[0], a.m_dPosition[1], a.m_dPosition[2], a.m_dNormal[0],
                             a.m_dNormal[1],   a.m_dNormal[2],   a.m_dU,           a.m_dV};
    const double bKeys[8] = {b.m_dPosition[0], b.m_dPosition[1], b.m_dPosition[2], b.m_dNormal[0],
                             b.m_dNormal[1],   b.m_dNormal[2],   b.m_dU,           b.m_dV};
    for (int i = 0; i < 8; ++i)
    {
        if (std::fabs(aKeys[i] - bKeys[i]) > TANGENT_EPSILON)
            return aKeys[i] > bKeys[i] ? -1 : 1;
    }
    const double* sums[2][2] = {{a.m_dTangentSum, b.m_dTangentSum}, {a.m_dBinormalSum, b.m_dBinormalSum}};
    for (const auto& pair : sums)
    {
        double d = Dot3d(NormalizeOrDefault(ToDouble3(pair[0])), NormalizeOrDefault(ToDouble3(pair[1])));
        if (d < WELD_MIN_DOT)
            return d < 0.0 ? -1 : 1;
    }
    return 0;
}

// Joins corners into vertices. The vertex indices are kept sorted by CompareCorners, so each
// corner costs a binary search and the move of the indices after its insertion point.
class CornerWelder
{
public:
    explicit CornerWelder(size_t nCorners) : m_Vertices(nCorners) { m_Sorted.reserve(nCorners); }

    int32_t AddWeldedCorner(const NmfTriangle& triangle, int nCorner)
    {
        // The next free record is the candidate; it becomes a vertex only if nothing matches.
        TangentCorner& candidate = m_Vertices[m_nVertexCount];
        MakeCorner(triangle, nCorner, candidate);
        size_t nMid = 0;
        int nResult = FindCorner(candidate, nMid);
        if (nResult == 0)
        {
            int32_t nFound = m_Sorted[nMid];
            TangentCorner& vertex = m_Vertices[static_cast<size_t>(nFound)];
            for (int k = 0; k < 3; ++k)
            {
                vertex.m_dTangentSum[k] += candidate.m_dTangentSum[k];
                vertex.m_dBinormalSum[k] += candidate.m_dBinormalSum[k];
            }
            ++vertex.m_nCount;
            return nFound;
        }
        size_t nInsert = nResult < 0 ? nMid : nMid + 1;
        int32_t nNew = static_cast<int32_t>(m_nVertexCount++);
        m_Sorted.insert(m_Sorted.begin() + static_cast<std::ptrdiff_t>(nInsert), nNew);
        return nNew;
    }

    // Every vertex's sums become their normalised average.
    void Average()
    {
        for (size_t i = 0; i < m_nVertexCount; ++i)
        {
            TangentCorner& vertex = m_Vertices[i];
            Double3 tangent, binormal;
            for (int k = 0; k < 3; ++k)
            {
                tangent[k] = vertex.m_dTangentSum[k] / vertex.m_nCount;
                binormal[k] = vertex.m_dBinormalSum[k] / vertex.m_nCount;
            }
            tangent = NormalizeOrDefault(tangent);
            binormal = NormalizeOrDefault(binormal);
            for (int k = 0; k < 3; ++k)
            {
                vertex.m_dTangentSum[k] = tangent[k];
                vertex.m_dBinormalSum[k] = binormal[k];
            }
        }
    }

    // Hands the welded vertices over, cut to their number.
    std::vector<TangentCorner> TakeVertices()
    {
        m_Vertices.resize(m_nVertexCount);
        return std::move(m_Vertices);
    }

private:
    // Binary search over the sorted indices; nMid is where the search stopped and the result
    // that of the last comparison (-1 with no vertex yet).
    int FindCorner(const TangentCorner& candidate, size_t& nMid) const
    {
        size_t nLo = 0, nHi = m_Sorted.size();
        nMid = nHi / 2;
        if (nHi == 0)
            return -1;
        for (;;)
        {
            int nResult = CompareCorners(candidate, m_Vertices[static_cast<size_t>(m_Sorted[nMid])]);
            if (nResult == 0)
                return 0;
            if (nResult < 0)
                nHi = nMid;
            else
                nLo = nMid;
            size_t nNext = nLo + (nHi - nLo) / 2;
            if (nNext == nMid || nLo == nHi)
                return nResult;
            nMid = nNext;
        }
    }

    std::vector<TangentCorner> m_Vertices;
    std::vector<int32_t> m_Sorted;
    size_t m_nVertexCount = 0;
};

// Welds every corner, triangle by triangle and corner 0 to 2, and averages: the welded vertices
// and one vertex index per corner. False, with both empty, for bad arguments or a failed
// allocation.
bool WeldAllCorners(int32_t nCount, const NmfTriangle* pTriangles, std::vector<TangentCorner>& vertices,
                    std::vector<int32_t>& indices)
{
    vertices.clear();
    indices.clear();
    if (nCount <= 0 || !pTriangles)
        return false;
    try
    {
        size_t nCorners = static_cast<size_t>(nCount) * 3;
        CornerWelder welder(nCorners);
        indices.resize(nCorners);
        for (size_t t = 0; t < static_cast<size_t>(nCount); ++t)
            for (int c = 0; c < 3; ++c)
                indices[t * 3 + static_cast<size_t>(c)] = welder.AddWeldedCorner(pTriangles[t], c);
        welder.Average();
        vertices = welder.TakeVertices();
    }
    catch (const std::bad_alloc&)
    {
        indices.clear();
        return false;
    }
    return true;
}

// Copies each corner's welded basis into the per-triangle records, converted to T's scalar.
template <typename Triangle>
bool ComputePerTriangle(int32_t nCount, const NmfTriangle* pTriangles, std::vector<Triangle>& out,
                        auto Triangle::*pTangents, auto Triangle::*pBinormals)
{
    out.clear();
    std::vector<TangentCorner> vertices;
    std::vector<int32_t> indices;
    if (!WeldAllCorners(nCount, pTriangles, vertices, indices))
        return false;
    try
    {
        out.resize(static_cast<size_t>(nCount));
    }
    catch (const std::bad_alloc&)
    {
        return false;
    }
    for (size_t t = 0; t < out.size(); ++t)
        for (size_t c = 0; c < 3; ++c)
        {
            const TangentCorner& vertex = vertices[static_cast<size_t>(indices[t * 3 + c])];
            for (size_t k = 0; k < 3; ++k)
            {
                (out[t].*pTangents)[c][k] = vertex.m_dTangentSum[k];
                (out[t].*pBinormals)[c][k] = vertex.m_dBinormalSum[k];
            }
        }
    return true;
}
}

bool ComputeTangentSpace(int32_t nCount, const NmfTriangle* pTriangles, std::vector<TangentTriangle>& out)
{
    return ComputePerTriangle(nCount, pTriangles, out, &TangentTriangle::m_dTangents, &TangentTriangle::m_dBinormals);
}

bool ComputeTangentSpaceF(int32_t nCount, const NmfTriangle* pTriangles, std::vector<TangentTriangleF>& out)
{
    return ComputePerTriangle(nCount, pTriangles, out, &TangentTriangleF::m_fTangents,
                              &TangentTriangleF::m_fBinormals);
}

bool ComputeIndexedTangentSpace(int32_t nCount, const NmfTriangle* pTriangles, std::vector<TangentCorner>& vertices,
                                std::vector<int32_t>& indices)
{
    return WeldAllCorners(nCount, pTriangles, vertices, indices);
}
