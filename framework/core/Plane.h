#pragma once
// A plane as a normal and a distance: a point p lies on it when Dot(normal, p) + d = 0, and the
// signed distance Dot(normal, p) + d is positive on the side the normal points to (the front).
// It is a true distance only for a unit normal. Plain value type; default construction leaves
// it unset.
#include "core/Vector3.h"

struct Plane
{
    Vector3 normal;
    float d;

    Plane() = default;
    Plane(const Vector3& vNormal, float fD) : normal(vNormal), d(fD) {}
    Plane(float a, float b, float c, float fD) : normal(a, b, c), d(fD) {}
    // Through three points, the normal along Cross(p2 - p1, p3 - p1) with unit length. Three
    // points on one line give a NaN normal; callers avoid them.
    Plane(const Vector3& p1, const Vector3& p2, const Vector3& p3);

    // Scales normal and d together so the normal has unit length.
    void Normalize();
    float Distance(const Vector3& p) const { return Dot(p, normal) + d; }
    // The t at which a + t (b - a) meets the plane (0 at a, 1 at b). Divides by zero for a
    // segment parallel to the plane.
    float RayParameter(const Vector3& a, const Vector3& b) const;
    // 0 when |distance| < fEpsilon, else 1 in front and -1 behind (a distance of exactly 0
    // with fEpsilon 0 counts as behind).
    int Side(const Vector3& p, float fEpsilon) const;
};
