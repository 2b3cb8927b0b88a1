#pragma once
// Small vector helpers shared by the mesh operations.
#include "core/Vector3.h"

// v scaled to unit length; a zero vector stays zero (a degenerate triangle has no direction).
inline Vector3 SafeNormalized(const Vector3& v)
{
    float fLength = Length(v);
    return fLength > 0.0f ? v / fLength : Vector3(0.0f, 0.0f, 0.0f);
}

// The unit normal of the triangle a, b, c: (b - a) x (c - a), normalised.
inline Vector3 FaceNormal(const Vector3& a, const Vector3& b, const Vector3& c)
{
    return SafeNormalized(Cross(b - a, c - a));
}
