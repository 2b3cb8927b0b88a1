#pragma once
// Three-component float vector, the scalar helpers around it and the normal packers.
// Plain value type: copied byte for byte, default construction leaves it unset. All arithmetic
// is single precision. Nothing guards against zero lengths or zero divisors: callers pass
// non-zero vectors, and FastInvSqrt is defined for positive arguments only.
#include <cmath>
#include <cstdint>
#include <cstring>

// 1/sqrt(x) from the well-known integer estimate 0x5F3759DF refined by one Newton step;
// about 0.2 % low (0.9983072 for 1). Used where a square root and a division cost too much.
inline float FastInvSqrt(float x)
{
    float fHalf = x * 0.5f;
    int32_t i;
    std::memcpy(&i, &x, sizeof(i));
    i = 0x5F3759DF - (i >> 1);
    float y;
    std::memcpy(&y, &i, sizeof(y));
    return y * (1.5f - fHalf * y * y);
}

inline float Square(float x)
{
    return x * x;
}

// Truncates toward zero and clamps to 0..255; NaN gives 0.
inline uint32_t TruncateToByte(float f)
{
    if (!(f > 0.0f))
        return 0;
    if (f >= 255.0f)
        return 255;
    return static_cast<uint32_t>(f);
}

struct Vector3
{
    float x, y, z;

    Vector3() = default;
    Vector3(float fX, float fY, float fZ) : x(fX), y(fY), z(fZ) {}

    Vector3& operator+=(const Vector3& v)
    {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& v)
    {
        x -= v.x;
        y -= v.y;
        z -= v.z;
        return *this;
    }
    Vector3& operator*=(float f)
    {
        x *= f;
        y *= f;
        z *= f;
        return *this;
    }
    // A division per component, so results match code that divides rather than multiplies by 1/f.
    Vector3& operator/=(float f)
    {
        x /= f;
        y /= f;
        z /= f;
        return *this;
    }
    Vector3& Normalize()
    {
        float fInv = 1.0f / std::sqrt(x * x + y * y + z * z);
        return *this *= fInv;
    }
    Vector3& FastNormalize()
    {
        return *this *= FastInvSqrt(x * x + y * y + z * z);
    }
};

inline Vector3 operator+(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x + b.x, a.y + b.y, a.z + b.z);
}
inline Vector3 operator-(const Vector3& a, const Vector3& b)
{
    return Vector3(a.x - b.x, a.y - b.y, a.z - b.z);
}
inline Vector3 operator-(const Vector3& v)
{
    return Vector3(-v.x, -v.y, -v.z);
}
inline Vector3 operator*(float f, const Vector3& v)
{
    return Vector3(f * v.x, f * v.y, f * v.z);
}
inline Vector3 operator*(const Vector3& v, float f)
{
    return Vector3(v.x * f, v.y * f, v.z * f);
}
inline Vector3 operator/(const Vector3& v, float f)
{
    return Vector3(v.x / f, v.y / f, v.z / f);
}
// Exact comparison, no tolerance; a NaN component makes it false.
inline bool operator==(const Vector3& a, const Vector3& b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}

inline float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return Vector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline float LengthSquared(const Vector3& v)
{
    return v.x * v.x + v.y * v.y + v.z * v.z;
}
inline float Length(const Vector3& v)
{
    return std::sqrt(LengthSquared(v));
}
inline float FastLength(const Vector3& v)
{
    float d = LengthSquared(v);
    return d * FastInvSqrt(d);
}
inline float Distance(const Vector3& a, const Vector3& b)
{
    return std::sqrt(Square(a.x - b.x) + Square(a.y - b.y) + Square(a.z - b.z));
}
inline Vector3 Normalized(const Vector3& v)
{
    return v * (1.0f / std::sqrt(LengthSquared(v)));
}
inline Vector3 FastNormalized(const Vector3& v)
{
    return v * FastInvSqrt(LengthSquared(v));
}

// A normal as three bytes, each component mapped from -1..1 to 0..255 ((c + 1) * 127.5,
// truncated). Normals longer than 1 are shortened first (with the fast inverse square root,
// so (0, 0, 2) packs to 254, not 255); shorter ones are left as they are.
// RGB8: x in bits 0-7, y in 8-15, z in 16-23. BGR8: z in bits 0-7, y in 8-15, x in 16-23.
uint32_t PackNormalRGB8(Vector3 n);
uint32_t PackNormalBGR8(Vector3 n);
