#include "raster/MeshOrder.h"

#include <algorithm>
#include <cmath>
#include <utility>

float ViewDepth(const Vector3& p, const D3DXMATRIX& view)
{
    return p.x * view._13 + p.y * view._23 + p.z * view._33 + view._43;
}

void SortByViewDepth(const Vector3* pCentres, int nCount, const D3DXMATRIX& view, int32_t* pOrder)
{
    nCount = std::min(nCount, MAX_SCENE_MESHES);
    float keys[MAX_SCENE_MESHES];
    for (int i = 0; i < nCount; ++i)
    {
        pOrder[i] = i;
        keys[i] = ViewDepth(pCentres[i], view);
    }
    QuickSortByDepth(0, nCount - 1, keys, pOrder);
}

namespace
{
// One axis of the cone test: the sphere at view offset a (x or y) lies wholly beyond the
// half-angle of tangent t on one side.
bool OutsideOnAxis(float a, float fRadius, float fFar, float t)
{
    float fNearEdge = a - fRadius;
    if (fNearEdge >= 0.0f)
        return fNearEdge / fFar > t;
    float fFarEdge = a + fRadius;
    return fFarEdge < 0.0f && -fFarEdge / fFar > t;
}
}

bool IsSphereInViewCone(const Vector3& vCentre, float fRadius, const D3DXMATRIX& view, const D3DXMATRIX& projection)
{
    float x = vCentre.x * view._11 + vCentre.y * view._21 + vCentre.z * view._31 + view._41;
    float y = vCentre.x * view._12 + vCentre.y * view._22 + vCentre.z * view._32 + view._42;
    float z = ViewDepth(vCentre, view);
    float fFar = z + fRadius;
    if (fFar <= 0.0f)
        return false;
    // A projection without a scale on an axis gives an infinite half-angle: never culled there.
    float tx = projection._11 != 0.0f ? 1.0f / std::fabs(projection._11) : INFINITY;
    float ty = projection._22 != 0.0f ? 1.0f / std::fabs(projection._22) : INFINITY;
    return !OutsideOnAxis(x, fRadius, fFar, tx) && !OutsideOnAxis(y, fRadius, fFar, ty);
}
