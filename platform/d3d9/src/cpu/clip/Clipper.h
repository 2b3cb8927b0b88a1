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

// Clips triangle (a, b, c). Appends new vertices to vertices and the resulting polygon's
// vertex numbers, in order, to polygon (empty when nothing is left; the input numbers
// unchanged when the triangle lies inside). The winding is kept.
void ClipTriangle(const ClipPlanes& planes, std::vector<ClipVertex>& vertices, UINT a, UINT b, UINT c,
                  std::vector<UINT>& polygon);

// Same for a segment; false when nothing is left.
bool ClipSegment(const ClipPlanes& planes, std::vector<ClipVertex>& vertices, UINT& a, UINT& b);
