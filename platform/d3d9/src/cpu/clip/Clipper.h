#pragma once
// Homogeneous clipping of triangles: 0 ≤ z ≤ w (the far plane included, so z = w gives depth
// exactly 1), x and y only beyond a guard band of ±16384 pixels (the viewport scissors the rest),
// and the enabled user clip planes (clip-space planes, kept where p·plane ≥ 0).
#include "cpu/vertex/VertexStage.h"

#include <vector>

struct ClipPlanes
{
    float planes[12][4];
    int nCount = 0;
};

// The planes for a viewport of that size plus the user planes enabled in mask.
ClipPlanes MakeClipPlanes(float fViewportWidth, float fViewportHeight, DWORD nUserMask,
                          const float userPlanes[][4], int nUserPlanes);

// Bit p set for each plane p the vertex lies outside of (or at a NaN distance from). A primitive whose vertices all have
// code 0 needs no clipping; one whose codes share a bit is outside entirely.
uint32_t ClipCode(const ClipPlanes& planes, const ClipVertex& vertex);

// Clips triangle (a, b, c). Appends new vertices to vertices and the resulting polygon's
// vertex numbers, in order, to polygon (empty when nothing is left; the input numbers
// unchanged when the triangle lies inside). The winding is kept. scratch is working storage.
void ClipTriangle(const ClipPlanes& planes, ClipVertexList& vertices, UINT a, UINT b, UINT c,
                  std::vector<UINT>& polygon, std::vector<UINT>& scratch);

// Same for a segment; false when nothing is left.
bool ClipSegment(const ClipPlanes& planes, ClipVertexList& vertices, UINT& a, UINT& b);
