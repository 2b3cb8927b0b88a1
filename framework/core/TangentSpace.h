#pragma once
// Tangent and binormal of every triangle corner, for bump mapping. Each corner's basis comes
// from its own triangle's texture mapping; corners that are the same vertex (position, normal
// and texture coordinate equal within 1e-7, basis directions alike) are welded, and every corner
// receives the normalised average of its welded vertex. All arithmetic is in double precision.
#include "core/NmfTriangle.h"

#include <cstdint>
#include <vector>

// Per triangle: the tangents of corners 0, 1, 2, then their binormals.
struct TangentTriangle
{
    double m_dTangents[3][3];
    double m_dBinormals[3][3];
};

struct TangentTriangleF
{
    float m_fTangents[3][3];
    float m_fBinormals[3][3];
};

// One welded vertex. While welding, the tangent and binormal fields hold the sums over the
// corners welded into it; once done, their normalised average.
struct TangentCorner
{
    double m_dPosition[3];
    double m_dNormal[3];
    double m_dU;
    double m_dV;
    double m_dTangentSum[3];
    double m_dBinormalSum[3];
    int32_t m_nCount;
};

// Each returns false, with the output empty, for a count of 0 or less, a null triangle array or
// a failed allocation.
bool ComputeTangentSpace(int32_t nCount, const NmfTriangle* pTriangles, std::vector<TangentTriangle>& out);
bool ComputeTangentSpaceF(int32_t nCount, const NmfTriangle* pTriangles, std::vector<TangentTriangleF>& out);
// The welded vertices with their averaged bases, and one vertex index per corner (3 per
// triangle, in triangle order).
bool ComputeIndexedTangentSpace(int32_t nCount, const NmfTriangle* pTriangles, std::vector<TangentCorner>& vertices,
                                std::vector<int32_t>& indices);
