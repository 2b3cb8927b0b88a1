#include "core/Quaternion.h"

#include <cmath>

void Quaternion::SetRotationXY(float a, float b)
{
    float ca = std::cos(a * 0.5f), sa = std::sin(a * 0.5f);
    float cb = std::cos(b * 0.5f), sb = std::sin(b * 0.5f);
    w = ca * cb;
    x = -cb * sa;
    y = ca * sb;
    z = sa * sb;
}

void Quaternion::SetRotationXYZ(float a, float b, float c)
{
    float ca = std::cos(a * 0.5f), sa = std::sin(a * 0.5f);
    float cb = std::cos(b * 0.5f), sb = std::sin(b * 0.5f);
    float cc = std::cos(c * 0.5f), sc = std::sin(c * 0.5f);
    w = ca * cb * cc + sa * sb * sc;
    x = -sa * cb * cc - ca * sb * sc;
    y = ca * sb * cc - sa * cb * sc;
    z = sa * sb * cc - ca * cb * sc;
}

Quaternion& Quaternion::operator+=(const Quaternion& q)
{
    w += q.w;
    x += q.x;
    y += q.y;
    z += q.z;
    return *this;
}

Quaternion& Quaternion::operator-=(const Quaternion& q)
{
    w -= q.w;
    x -= q.x;
    y -= q.y;
    z -= q.z;
    return *this;
}

Quaternion& Quaternion::operator*=(float f)
{
    w *= f;
    x *= f;
    y *= f;
    z *= f;
    return *this;
}

Quaternion& Quaternion::operator/=(float f)
{
    w /= f;
    x /= f;
    y /= f;
    z /= f;
    return *this;
}

Quaternion& Quaternion::Normalize()
{
    float fInv = 1.0f / std::sqrt(w * w + x * x + y * y + z * z);
    return *this *= fInv;
}

Quaternion& Quaternion::FastNormalize()
{
    return *this *= FastInvSqrt(w * w + x * x + y * y + z * z);
}

Quaternion operator+(const Quaternion& a, const Quaternion& b)
{
    return Quaternion(a.w + b.w, a.x + b.x, a.y + b.y, a.z + b.z);
}

Quaternion operator-(const Quaternion& a, const Quaternion& b)
{
    return Quaternion(a.w - b.w, a.x - b.x, a.y - b.y, a.z - b.z);
}

Quaternion operator-(const Quaternion& q)
{
    return Quaternion(-q.w, -q.x, -q.y, -q.z);
}

Quaternion operator*(const Quaternion& a, const Quaternion& b)
{
    return Quaternion(a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z,
                      a.w * b.x + b.w * a.x + a.y * b.z - b.y * a.z,
                      a.w * b.y + b.w * a.y + b.x * a.z - a.x * b.z,
                      a.w * b.z + b.w * a.z + a.x * b.y - b.x * a.y);
}

Quaternion operator*(float f, const Quaternion& q)
{
    return Quaternion(f * q.w, f * q.x, f * q.y, f * q.z);
}

Quaternion operator*(const Quaternion& q, float f)
{
    return Quaternion(q.w * f, q.x * f, q.y * f, q.z * f);
}

Quaternion operator/(const Quaternion& q, float f)
{
    return Quaternion(q.w / f, q.x / f, q.y / f, q.z / f);
}

Quaternion Slerp(const Quaternion& q1, const Quaternion& q2, float t)
{
    float c = q1.w * q2.w + q1.x * q2.x + q1.y * q2.y + q1.z * q2.z;
    if (std::fabs(1.0f - c) < 0.001f)
        return q1 * (1.0f - t) + q2 * t;
    float fTheta = std::acos(c);
    return (q1 * std::sin((1.0f - t) * fTheta) + q2 * std::sin(t * fTheta)) / std::sin(fTheta);
}

Quaternion Squad(const Quaternion& p0, const Quaternion& p1, const Quaternion& p2, const Quaternion& p3,
                 float t)
{
    return Slerp(Slerp(p1, p2, t), Slerp(p0, p3, t), 2.0f * t * (1.0f - t));
}
