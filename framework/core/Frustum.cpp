#include "core/Frustum.h"

namespace
{
// All points on or behind the plane.
bool AllBehind(const Plane& plane, const Vector3* pPoints, int nCount)
{
    for (int i = 0; i < nCount; ++i)
        if (plane.Distance(pPoints[i]) > 0.0f)
            return false;
    return true;
}
}

void Frustum::SetFromMatrices(const Matrix4& view, const Matrix4& projection)
{
    // Row k of the clip matrix in the column-vector reading is m[k], m[4 + k], m[8 + k], m[12 + k];
    // each plane is row 3 plus or minus row 0, 1 or 2.
    Matrix4 m = projection * view;
    for (int i = 0; i < 6; ++i)
    {
        int nRow = i / 2;
        float fSign = (i % 2 == 0) ? -1.0f : 1.0f;
        m_Planes[i] = Plane(m[3] + fSign * m[nRow], m[7] + fSign * m[4 + nRow], m[11] + fSign * m[8 + nRow],
                            m[15] + fSign * m[12 + nRow]);
        m_Planes[i].Normalize();
    }
}

bool Frustum::IsPointInside(const Vector3& p) const
{
    for (const Plane& plane : m_Planes)
        if (!(plane.Distance(p) > 0.0f))
            return false;
    return true;
}

bool Frustum::IsPolygonVisible(const Vector3* pPoints, int nCount) const
{
    for (const Plane& plane : m_Planes)
        if (AllBehind(plane, pPoints, nCount))
            return false;
    return true;
}

bool Frustum::IsSphereVisible(const Vector3& vCentre, float fRadius) const
{
    for (const Plane& plane : m_Planes)
        if (plane.Distance(vCentre) <= -fRadius)
            return false;
    return true;
}

bool Frustum::IsBoxVisible(float x0, float x1, float y0, float y1, float z0, float z1) const
{
    const Vector3 corners[8] = {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z0}, {x0, y1, z1},
                                {x1, y0, z0}, {x1, y0, z1}, {x1, y1, z0}, {x1, y1, z1}};
    return IsPolygonVisible(corners, 8);
}
