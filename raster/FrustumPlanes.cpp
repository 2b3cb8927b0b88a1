#include "raster/FrustumPlanes.h"

#include <cmath>

Plane g_FrustumPlanes[6];

void ExtractFrustumPlanes(const D3DXMATRIX& m, Plane planes[6])
{
    // Column j of the row-vector matrix: (m(0, j), m(1, j), m(2, j), m(3, j)).
    // Plane = column 3 + sign x column k.
    auto plane = [&](float fSign, int k) {
        return Plane(m(0, 3) + fSign * m(0, k), m(1, 3) + fSign * m(1, k), m(2, 3) + fSign * m(2, k),
                     m(3, 3) + fSign * m(3, k));
    };
    planes[0] = plane(-1.0f, 0);
    planes[1] = plane(+1.0f, 0);
    planes[2] = plane(+1.0f, 1);
    planes[3] = plane(-1.0f, 1);
    planes[4] = plane(-1.0f, 2);
    planes[5] = plane(+1.0f, 2);
    for (int i = 0; i < 6; ++i)
    {
        float fLength = std::sqrt(Dot(planes[i].normal, planes[i].normal));
        if (fLength > 0.0f)
        {
            planes[i].normal *= 1.0f / fLength;
            planes[i].d /= fLength;
        }
    }
}

bool IsPointInPlanes(const Plane planes[6], float x, float y, float z)
{
    Vector3 p(x, y, z);
    for (int i = 0; i < 6; ++i)
        if (planes[i].Distance(p) <= 0.0f)
            return false;
    return true;
}

bool IsSphereInPlanes(const Plane planes[6], float x, float y, float z, float fRadius)
{
    Vector3 p(x, y, z);
    for (int i = 0; i < 6; ++i)
        if (planes[i].Distance(p) <= -fRadius)
            return false;
    return true;
}

bool IsCubeInPlanes(const Plane planes[6], float x, float y, float z, float fHalfSize)
{
    for (int i = 0; i < 6; ++i)
    {
        bool bSomeCornerInside = false;
        for (int nCorner = 0; nCorner < 8 && !bSomeCornerInside; ++nCorner)
        {
            Vector3 corner(x + ((nCorner & 1) ? fHalfSize : -fHalfSize), y + ((nCorner & 2) ? fHalfSize : -fHalfSize),
                           z + ((nCorner & 4) ? fHalfSize : -fHalfSize));
            bSomeCornerInside = planes[i].Distance(corner) > 0.0f;
        }
        if (!bSomeCornerInside)
            return false;
    }
    return true;
}
