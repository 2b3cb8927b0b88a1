#pragma once
// Four-component float vector, also read as an RGBA colour (x red, y green, z blue, w alpha,
// each nominally 0..1). Plain value type; default construction leaves it unset.
#include "core/Vector3.h"

struct Vector4
{
    float x, y, z, w;

    Vector4() = default;
    // An opaque colour or a point: w is 1.
    Vector4(float fX, float fY, float fZ) : x(fX), y(fY), z(fZ), w(1.0f) {}

    void Set(float fX, float fY, float fZ, float fW)
    {
        x = fX;
        y = fY;
        z = fZ;
        w = fW;
    }
    // Each channel times 255, truncated and clamped to 0..255: red in bits 0-7, green 8-15,
    // blue 16-23, alpha 24-31.
    uint32_t ToRGBA8() const
    {
        return TruncateToByte(x * 255.0f) | (TruncateToByte(y * 255.0f) << 8) |
               (TruncateToByte(z * 255.0f) << 16) | (TruncateToByte(w * 255.0f) << 24);
    }
    Vector4& operator+=(const Vector4& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        w += v.w;
        return *this;
    }
    Vector4& operator-=(const Vector4& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        w -= v.w;
        return *this;
    }
};

inline Vector4 MakeVector4(float x, float y, float z, float w)
{
    Vector4 v;
    v.Set(x, y, z, w);
    return v;
}
inline Vector4 operator+(const Vector4& a, const Vector4& b)
{
    return MakeVector4(a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w);
}
inline Vector4 operator-(const Vector4& a, const Vector4& b)
{
    return MakeVector4(a.x - b.x, a.y - b.y, a.z - b.z, a.w - b.w);
}
inline Vector4 operator*(const Vector4& a, const Vector4& b)
{
    return MakeVector4(a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w);
}
inline Vector4 operator*(float f, const Vector4& v)
{
    return MakeVector4(f * v.x, f * v.y, f * v.z, f * v.w);
}
inline Vector4 operator*(const Vector4& v, float f)
{
    return MakeVector4(v.x * f, v.y * f, v.z * f, v.w * f);
}
inline Vector4 operator/(const Vector4& v, float f)
{
    return MakeVector4(v.x / f, v.y / f, v.z / f, v.w / f);
}
