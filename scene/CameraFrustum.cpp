#include "scene/CameraFrustum.h"

#include "scene/D3DXBridge.h"

#include <cmath>

Vector3 g_vCameraFrustumCorners[8];
D3DXPLANE g_CameraFrustumPlanes[6];

namespace
{
// The corners of each plane, ordered so that its normal points out of the frustum:
// near, far, then the -X, +X, -Y and +Y sides.
constexpr int PLANE_CORNERS[6][3] = {{0, 1, 2}, {4, 6, 5}, {5, 7, 1}, {4, 0, 6}, {4, 5, 0}, {6, 2, 7}};
}

void BuildCameraFrustum(const Vector3& vOrigin, const Matrix4& m, float fFovDegrees, float fAspect, float fNear,
                        float fFar)
{
    // Columns of the matrix, element (row r, column c) at e[4r + c] in Direct3D's reading.
    Vector3 vX(m.e[0], m.e[4], m.e[8]);
    Vector3 vY(m.e[1], m.e[5], m.e[9]);
    Vector3 vZ(m.e[2], m.e[6], m.e[10]);
    float fTanHalf = std::tan(fFovDegrees * 0.5f * D3DX_PI / 180.0f);
    for (int q = 0; q < 8; ++q)
    {
        float d = q < 4 ? fNear : fFar;
        float h = fTanHalf * d;
        Vector3 v = vOrigin + vZ * d;
        v += vY * ((q & 2) ? h : -h);
        v += vX * (((q & 1) ? -h : h) * fAspect);
        g_vCameraFrustumCorners[q] = v;
    }
    for (int p = 0; p < 6; ++p)
    {
        D3DXVECTOR3 v1 = ToD3DX(g_vCameraFrustumCorners[PLANE_CORNERS[p][0]]);
        D3DXVECTOR3 v2 = ToD3DX(g_vCameraFrustumCorners[PLANE_CORNERS[p][1]]);
        D3DXVECTOR3 v3 = ToD3DX(g_vCameraFrustumCorners[PLANE_CORNERS[p][2]]);
        D3DXPlaneFromPoints(&g_CameraFrustumPlanes[p], &v1, &v2, &v3);
    }
}

int IsSphereInCameraFrustum(float fRadius, const Vector3& vCentre)
{
    for (const D3DXPLANE& plane : g_CameraFrustumPlanes)
    {
        float s = plane.a * vCentre.x + plane.b * vCentre.y + plane.c * vCentre.z + plane.d;
        if (s > fRadius)
            return 0;
    }
    return 1;
}
