#include "core/Plane.h"

#include <cmath>

Plane::Plane(const Vector3& p1, const Vector3& p2, const Vector3& p3)
    : normal(Cross(p2 - p1, p3 - p1)), d(0.0f)
{
    normal.Normalize();
    d = -Dot(normal, p1);
}

void Plane::Normalize()
{
    float fInv = 1.0f / Length(normal);
    normal *= fInv;
    d *= fInv;
}

float Plane::RayParameter(const Vector3& a, const Vector3& b) const
{
    return Distance(a) / Dot(normal, a - b);
}

int Plane::Side(const Vector3& p, float fEpsilon) const
{
    float fDistance = Distance(p);
    if (std::fabs(fDistance) < fEpsilon)
        return 0;
    return fDistance > 0.0f ? 1 : -1;
}
