#pragma once
// Rotation quaternion stored scalar first (w, x, y, z). The angle constructors agree with the
// matching Matrix4 rotations: Matrix4::SetRotation of SetRotationXY(a, b) equals
// Matrix4::SetRotationXY(a, b), and likewise for XYZ. Nothing here normalises its inputs.
#include "core/Vector3.h"

struct Quaternion
{
    float w, x, y, z;

    Quaternion() = default;
    Quaternion(float fW, float fX, float fY, float fZ) : w(fW), x(fX), y(fY), z(fZ) {}

    // Angles in radians: a about X, b about Y (and c about Z).
    void SetRotationXY(float a, float b);
    void SetRotationXYZ(float a, float b, float c);

    Quaternion& operator+=(const Quaternion& q);
    Quaternion& operator-=(const Quaternion& q);
    Quaternion& operator*=(float f);
    Quaternion& operator/=(float f);
    Quaternion& Normalize();
    Quaternion& FastNormalize();

    // Component i in storage order: 0 w, 1 x, 2 y, 3 z.
    float& operator[](int i) { return i == 0 ? w : i == 1 ? x : i == 2 ? y : z; }
    float operator[](int i) const { return i == 0 ? w : i == 1 ? x : i == 2 ? y : z; }
};

Quaternion operator+(const Quaternion& a, const Quaternion& b);
Quaternion operator-(const Quaternion& a, const Quaternion& b);
Quaternion operator-(const Quaternion& q);
// The Hamilton product.
Quaternion operator*(const Quaternion& a, const Quaternion& b);
Quaternion operator*(float f, const Quaternion& q);
Quaternion operator*(const Quaternion& q, float f);
Quaternion operator/(const Quaternion& q, float f);

// Spherical interpolation, q1 at t = 0 and q2 at t = 1. Within 0.001 of a dot product of 1 it
// blends linearly (not normalised). The sign of the dot product is not tested, so inputs more
// than 90 degrees apart interpolate along the longer arc; opposite quaternions divide by zero.
Quaternion Slerp(const Quaternion& q1, const Quaternion& q2, float t);
// The spline form: Slerp(Slerp(p1, p2, t), Slerp(p0, p3, t), 2 t (1 - t)); p1 at 0, p2 at 1.
Quaternion Squad(const Quaternion& p0, const Quaternion& p1, const Quaternion& p2, const Quaternion& p3,
                 float t);
