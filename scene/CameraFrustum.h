#pragma once
// A view frustum built from camera parameters, and a sphere test against it. The planes face
// outwards: a point on the positive side of any plane lies outside.
//
// Corner q (0..7) lies at the near distance for q < 4 and the far one otherwise; bit 1 of q
// picks +Y (set) or -Y, bit 0 picks -X (set) or +X.
#include "core/Matrix4.h"
#include "core/Vector3.h"

#include <d3dx9math.h>

extern Vector3 g_vCameraFrustumCorners[8];
extern D3DXPLANE g_CameraFrustumPlanes[6];

// The camera's axes X, Y, Z are the first three columns of mOrientation; it looks along Z.
// fFovDegrees is the vertical field of view.
void BuildCameraFrustum(const Vector3& vOrigin, const Matrix4& mOrientation, float fFovDegrees, float fAspect,
                        float fNear, float fFar);
// 0 when the centre lies more than the radius outside any plane of the last frustum built, else 1.
int IsSphereInCameraFrustum(float fRadius, const Vector3& vCentre);
