#pragma once
// The six clipping planes of a view taken from its view x projection matrix, and the point,
// sphere and cube tests against them. A point lies inside a plane when a x + b y + c z + d > 0;
// a point on a plane is outside.
#include "core/Plane.h"

#include <d3dx9math.h>

// Planes in the order 0 right, 1 left, 2 bottom, 3 top, 4 far, 5 near (as named for a
// left-handed perspective with row vectors), written by RenderApp::BuildFrustumPlanes.
extern Plane g_FrustumPlanes[6];

// The planes of the row-vector matrix m: columns 3 -/+ 0, 3 +/- 1, 3 -/+ 2, each scaled so that
// its normal has length 1. A plane whose normal has length 0 (a degenerate matrix) is kept as
// it is, so it holds everything (d > 0) or nothing.
void ExtractFrustumPlanes(const D3DXMATRIX& m, Plane planes[6]);

// True when the point is strictly inside all six planes.
bool IsPointInPlanes(const Plane planes[6], float x, float y, float z);
// False when the centre lies at the radius or more outside one plane (touching counts as out).
bool IsSphereInPlanes(const Plane planes[6], float x, float y, float z, float fRadius);
// False when none of the cube's eight corners is inside one plane; a cube across a corner of
// the volume may pass although it is outside.
bool IsCubeInPlanes(const Plane planes[6], float x, float y, float z, float fHalfSize);
