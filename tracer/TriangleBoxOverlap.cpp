// The separating-axis test of a triangle against an axis-aligned box: the box's three axes, the
// triangle's normal and the nine cross products of box axes and triangle edges. Touching counts
// as overlap, so a triangle on a face between two cells is listed in both.
#include "tracer/TracerGlobals.h"

#include <algorithm>
#include <cmath>

namespace
{
// Whether the projections of the triangle (corners relative to the box centre) and of the box
// onto the axis are apart.
bool Separated(const D3DXVECTOR3 v[3], const D3DXVECTOR3& vAxis, const D3DXVECTOR3& vHalf)
{
    const float p0 = D3DXVec3Dot(&v[0], &vAxis), p1 = D3DXVec3Dot(&v[1], &vAxis), p2 = D3DXVec3Dot(&v[2], &vAxis);
    const float r = vHalf.x * std::fabs(vAxis.x) + vHalf.y * std::fabs(vAxis.y) + vHalf.z * std::fabs(vAxis.z);
    return std::min({p0, p1, p2}) > r || std::max({p0, p1, p2}) < -r;
}
}

bool TriangleOverlapsBox(const D3DXVECTOR3 vTriangle[3], const D3DXVECTOR3& vCentre, const D3DXVECTOR3& vHalf)
{
    const D3DXVECTOR3 v[3] = {vTriangle[0] - vCentre, vTriangle[1] - vCentre, vTriangle[2] - vCentre};
    const D3DXVECTOR3 boxAxes[3] = {D3DXVECTOR3(1, 0, 0), D3DXVECTOR3(0, 1, 0), D3DXVECTOR3(0, 0, 1)};
    for (const D3DXVECTOR3& axis : boxAxes)
        if (Separated(v, axis, vHalf))
            return false;
    const D3DXVECTOR3 edges[3] = {v[1] - v[0], v[2] - v[1], v[0] - v[2]};
    D3DXVECTOR3 normal;
    D3DXVec3Cross(&normal, &edges[0], &edges[1]);
    if (Separated(v, normal, vHalf))
        return false;
    for (const D3DXVECTOR3& boxAxis : boxAxes)
        for (const D3DXVECTOR3& edge : edges)
        {
            D3DXVECTOR3 axis;
            D3DXVec3Cross(&axis, &boxAxis, &edge);
            if (Separated(v, axis, vHalf))
                return false;
        }
    return true;
}
