#pragma once
// Inline operators and small functions of d3dx9math.h. Component-wise operations only; the
// functions that mix components live in the library's sources.
#include <cmath>

// ---- D3DXVECTOR2 ----

inline D3DXVECTOR2& D3DXVECTOR2::operator+=(const D3DXVECTOR2& v) { x += v.x; y += v.y; return *this; }
inline D3DXVECTOR2& D3DXVECTOR2::operator-=(const D3DXVECTOR2& v) { x -= v.x; y -= v.y; return *this; }
inline D3DXVECTOR2& D3DXVECTOR2::operator*=(FLOAT f) { x *= f; y *= f; return *this; }
inline D3DXVECTOR2& D3DXVECTOR2::operator/=(FLOAT f) { x /= f; y /= f; return *this; }
inline D3DXVECTOR2 D3DXVECTOR2::operator+() const { return *this; }
inline D3DXVECTOR2 D3DXVECTOR2::operator-() const { return D3DXVECTOR2(-x, -y); }
inline D3DXVECTOR2 D3DXVECTOR2::operator+(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x + v.x, y + v.y); }
inline D3DXVECTOR2 D3DXVECTOR2::operator-(const D3DXVECTOR2& v) const { return D3DXVECTOR2(x - v.x, y - v.y); }
inline D3DXVECTOR2 D3DXVECTOR2::operator*(FLOAT f) const { return D3DXVECTOR2(x * f, y * f); }
inline D3DXVECTOR2 D3DXVECTOR2::operator/(FLOAT f) const { return D3DXVECTOR2(x / f, y / f); }
inline D3DXVECTOR2 operator*(FLOAT f, const D3DXVECTOR2& v) { return v * f; }
inline bool D3DXVECTOR2::operator==(const D3DXVECTOR2& v) const { return x == v.x && y == v.y; }
inline bool D3DXVECTOR2::operator!=(const D3DXVECTOR2& v) const { return !(*this == v); }

// ---- D3DXVECTOR3 ----

inline D3DXVECTOR3& D3DXVECTOR3::operator+=(const D3DXVECTOR3& v) { x += v.x; y += v.y; z += v.z; return *this; }
inline D3DXVECTOR3& D3DXVECTOR3::operator-=(const D3DXVECTOR3& v) { x -= v.x; y -= v.y; z -= v.z; return *this; }
inline D3DXVECTOR3& D3DXVECTOR3::operator*=(FLOAT f) { x *= f; y *= f; z *= f; return *this; }
inline D3DXVECTOR3& D3DXVECTOR3::operator/=(FLOAT f) { x /= f; y /= f; z /= f; return *this; }
inline D3DXVECTOR3 D3DXVECTOR3::operator+() const { return *this; }
inline D3DXVECTOR3 D3DXVECTOR3::operator-() const { return D3DXVECTOR3(-x, -y, -z); }
inline D3DXVECTOR3 D3DXVECTOR3::operator+(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x + v.x, y + v.y, z + v.z); }
inline D3DXVECTOR3 D3DXVECTOR3::operator-(const D3DXVECTOR3& v) const { return D3DXVECTOR3(x - v.x, y - v.y, z - v.z); }
inline D3DXVECTOR3 D3DXVECTOR3::operator*(FLOAT f) const { return D3DXVECTOR3(x * f, y * f, z * f); }
inline D3DXVECTOR3 D3DXVECTOR3::operator/(FLOAT f) const { return D3DXVECTOR3(x / f, y / f, z / f); }
inline D3DXVECTOR3 operator*(FLOAT f, const D3DXVECTOR3& v) { return v * f; }
inline bool D3DXVECTOR3::operator==(const D3DXVECTOR3& v) const { return x == v.x && y == v.y && z == v.z; }
inline bool D3DXVECTOR3::operator!=(const D3DXVECTOR3& v) const { return !(*this == v); }

// ---- D3DXVECTOR4 ----

inline D3DXVECTOR4& D3DXVECTOR4::operator+=(const D3DXVECTOR4& v)
{
    x += v.x; y += v.y; z += v.z; w += v.w;
    return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator-=(const D3DXVECTOR4& v)
{
    x -= v.x; y -= v.y; z -= v.z; w -= v.w;
    return *this;
}
inline D3DXVECTOR4& D3DXVECTOR4::operator*=(FLOAT f) { x *= f; y *= f; z *= f; w *= f; return *this; }
inline D3DXVECTOR4& D3DXVECTOR4::operator/=(FLOAT f) { x /= f; y /= f; z /= f; w /= f; return *this; }
inline D3DXVECTOR4 D3DXVECTOR4::operator+() const { return *this; }
inline D3DXVECTOR4 D3DXVECTOR4::operator-() const { return D3DXVECTOR4(-x, -y, -z, -w); }
inline D3DXVECTOR4 D3DXVECTOR4::operator+(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x + v.x, y + v.y, z + v.z, w + v.w); }
inline D3DXVECTOR4 D3DXVECTOR4::operator-(const D3DXVECTOR4& v) const { return D3DXVECTOR4(x - v.x, y - v.y, z - v.z, w - v.w); }
inline D3DXVECTOR4 D3DXVECTOR4::operator*(FLOAT f) const { return D3DXVECTOR4(x * f, y * f, z * f, w * f); }
inline D3DXVECTOR4 D3DXVECTOR4::operator/(FLOAT f) const { return D3DXVECTOR4(x / f, y / f, z / f, w / f); }
inline D3DXVECTOR4 operator*(FLOAT f, const D3DXVECTOR4& v) { return v * f; }
inline bool D3DXVECTOR4::operator==(const D3DXVECTOR4& v) const { return x == v.x && y == v.y && z == v.z && w == v.w; }
inline bool D3DXVECTOR4::operator!=(const D3DXVECTOR4& v) const { return !(*this == v); }

// ---- D3DXMATRIX ----

inline D3DXMATRIX::D3DXMATRIX(const FLOAT* pf)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] = pf[i];
}

inline D3DXMATRIX::D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14,
                              FLOAT f21, FLOAT f22, FLOAT f23, FLOAT f24,
                              FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34,
                              FLOAT f41, FLOAT f42, FLOAT f43, FLOAT f44)
{
    _11 = f11; _12 = f12; _13 = f13; _14 = f14;
    _21 = f21; _22 = f22; _23 = f23; _24 = f24;
    _31 = f31; _32 = f32; _33 = f33; _34 = f34;
    _41 = f41; _42 = f42; _43 = f43; _44 = f44;
}

inline D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat)
{
    D3DXMatrixMultiply(this, this, &mat);
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] += (&mat._11)[i];
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] -= (&mat._11)[i];
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator*=(FLOAT f)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] *= f;
    return *this;
}
inline D3DXMATRIX& D3DXMATRIX::operator/=(FLOAT f)
{
    for (int i = 0; i < 16; ++i)
        (&_11)[i] /= f;
    return *this;
}
inline D3DXMATRIX D3DXMATRIX::operator+() const { return *this; }
inline D3DXMATRIX D3DXMATRIX::operator-() const { return *this * -1.0f; }
inline D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const
{
    D3DXMATRIX result;
    D3DXMatrixMultiply(&result, this, &mat);
    return result;
}
inline D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const { D3DXMATRIX r(*this); return r += mat; }
inline D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const { D3DXMATRIX r(*this); return r -= mat; }
inline D3DXMATRIX D3DXMATRIX::operator*(FLOAT f) const { D3DXMATRIX r(*this); return r *= f; }
inline D3DXMATRIX D3DXMATRIX::operator/(FLOAT f) const { D3DXMATRIX r(*this); return r /= f; }
inline D3DXMATRIX operator*(FLOAT f, const D3DXMATRIX& mat) { return mat * f; }
inline bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const
{
    for (int i = 0; i < 16; ++i)
        if ((&_11)[i] != (&mat._11)[i])
            return false;
    return true;
}
inline bool D3DXMATRIX::operator!=(const D3DXMATRIX& mat) const { return !(*this == mat); }

// ---- D3DXQUATERNION ----

inline D3DXQUATERNION& D3DXQUATERNION::operator+=(const D3DXQUATERNION& q)
{
    x += q.x; y += q.y; z += q.z; w += q.w;
    return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator-=(const D3DXQUATERNION& q)
{
    x -= q.x; y -= q.y; z -= q.z; w -= q.w;
    return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator*=(const D3DXQUATERNION& q)
{
    D3DXQuaternionMultiply(this, this, &q);
    return *this;
}
inline D3DXQUATERNION& D3DXQUATERNION::operator*=(FLOAT f) { x *= f; y *= f; z *= f; w *= f; return *this; }
inline D3DXQUATERNION& D3DXQUATERNION::operator/=(FLOAT f) { x /= f; y /= f; z /= f; w /= f; return *this; }
inline D3DXQUATERNION D3DXQUATERNION::operator+() const { return *this; }
inline D3DXQUATERNION D3DXQUATERNION::operator-() const { return D3DXQUATERNION(-x, -y, -z, -w); }
inline D3DXQUATERNION D3DXQUATERNION::operator+(const D3DXQUATERNION& q) const { D3DXQUATERNION r(*this); return r += q; }
inline D3DXQUATERNION D3DXQUATERNION::operator-(const D3DXQUATERNION& q) const { D3DXQUATERNION r(*this); return r -= q; }
inline D3DXQUATERNION D3DXQUATERNION::operator*(const D3DXQUATERNION& q) const { D3DXQUATERNION r(*this); return r *= q; }
inline D3DXQUATERNION D3DXQUATERNION::operator*(FLOAT f) const { D3DXQUATERNION r(*this); return r *= f; }
inline D3DXQUATERNION D3DXQUATERNION::operator/(FLOAT f) const { D3DXQUATERNION r(*this); return r /= f; }
inline D3DXQUATERNION operator*(FLOAT f, const D3DXQUATERNION& q) { return q * f; }
inline bool D3DXQUATERNION::operator==(const D3DXQUATERNION& q) const { return x == q.x && y == q.y && z == q.z && w == q.w; }
inline bool D3DXQUATERNION::operator!=(const D3DXQUATERNION& q) const { return !(*this == q); }

// ---- D3DXPLANE ----

inline D3DXPLANE& D3DXPLANE::operator*=(FLOAT f) { a *= f; b *= f; c *= f; d *= f; return *this; }
inline D3DXPLANE& D3DXPLANE::operator/=(FLOAT f) { a /= f; b /= f; c /= f; d /= f; return *this; }
inline D3DXPLANE D3DXPLANE::operator+() const { return *this; }
inline D3DXPLANE D3DXPLANE::operator-() const { return D3DXPLANE(-a, -b, -c, -d); }
inline D3DXPLANE D3DXPLANE::operator*(FLOAT f) const { return D3DXPLANE(a * f, b * f, c * f, d * f); }
inline D3DXPLANE D3DXPLANE::operator/(FLOAT f) const { return D3DXPLANE(a / f, b / f, c / f, d / f); }
inline D3DXPLANE operator*(FLOAT f, const D3DXPLANE& p) { return p * f; }
inline bool D3DXPLANE::operator==(const D3DXPLANE& p) const { return a == p.a && b == p.b && c == p.c && d == p.d; }
inline bool D3DXPLANE::operator!=(const D3DXPLANE& p) const { return !(*this == p); }

// ---- D3DXCOLOR ----

inline D3DXCOLOR::D3DXCOLOR(DWORD argb)
{
    const FLOAT scale = 1.0f / 255.0f;
    a = scale * (FLOAT)((argb >> 24) & 0xff);
    r = scale * (FLOAT)((argb >> 16) & 0xff);
    g = scale * (FLOAT)((argb >> 8) & 0xff);
    b = scale * (FLOAT)(argb & 0xff);
}

inline D3DXCOLOR::operator DWORD() const
{
    auto channel = [](FLOAT f) -> DWORD {
        if (!(f > 0.0f))
            return 0;
        if (f >= 1.0f)
            return 0xff;
        return (DWORD)(f * 255.0f + 0.5f);
    };
    return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

inline D3DXCOLOR& D3DXCOLOR::operator+=(const D3DXCOLOR& c) { r += c.r; g += c.g; b += c.b; a += c.a; return *this; }
inline D3DXCOLOR& D3DXCOLOR::operator-=(const D3DXCOLOR& c) { r -= c.r; g -= c.g; b -= c.b; a -= c.a; return *this; }
inline D3DXCOLOR& D3DXCOLOR::operator*=(FLOAT f) { r *= f; g *= f; b *= f; a *= f; return *this; }
inline D3DXCOLOR& D3DXCOLOR::operator/=(FLOAT f) { r /= f; g /= f; b /= f; a /= f; return *this; }
inline D3DXCOLOR D3DXCOLOR::operator+() const { return *this; }
inline D3DXCOLOR D3DXCOLOR::operator-() const { return D3DXCOLOR(-r, -g, -b, -a); }
inline D3DXCOLOR D3DXCOLOR::operator+(const D3DXCOLOR& c) const { D3DXCOLOR t(*this); return t += c; }
inline D3DXCOLOR D3DXCOLOR::operator-(const D3DXCOLOR& c) const { D3DXCOLOR t(*this); return t -= c; }
inline D3DXCOLOR D3DXCOLOR::operator*(FLOAT f) const { D3DXCOLOR t(*this); return t *= f; }
inline D3DXCOLOR D3DXCOLOR::operator/(FLOAT f) const { D3DXCOLOR t(*this); return t /= f; }
inline D3DXCOLOR operator*(FLOAT f, const D3DXCOLOR& c) { return c * f; }
inline bool D3DXCOLOR::operator==(const D3DXCOLOR& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
inline bool D3DXCOLOR::operator!=(const D3DXCOLOR& c) const { return !(*this == c); }

// ---- Small vector functions ----

inline FLOAT D3DXVec2LengthSq(const D3DXVECTOR2* pV) { return pV->x * pV->x + pV->y * pV->y; }
inline FLOAT D3DXVec2Length(const D3DXVECTOR2* pV) { return std::sqrt(D3DXVec2LengthSq(pV)); }
inline FLOAT D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2) { return pV1->x * pV2->x + pV1->y * pV2->y; }
inline D3DXVECTOR2* D3DXVec2Add(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    *pOut = *pV1 + *pV2;
    return pOut;
}
inline D3DXVECTOR2* D3DXVec2Subtract(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2)
{
    *pOut = *pV1 - *pV2;
    return pOut;
}
inline D3DXVECTOR2* D3DXVec2Scale(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, FLOAT s)
{
    *pOut = *pV * s;
    return pOut;
}

inline FLOAT D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z;
}
inline FLOAT D3DXVec3LengthSq(const D3DXVECTOR3* pV) { return D3DXVec3Dot(pV, pV); }
inline FLOAT D3DXVec3Length(const D3DXVECTOR3* pV) { return std::sqrt(D3DXVec3LengthSq(pV)); }
inline D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    // Built in a temporary: pOut may be one of the inputs.
    D3DXVECTOR3 v(pV1->y * pV2->z - pV1->z * pV2->y,
                  pV1->z * pV2->x - pV1->x * pV2->z,
                  pV1->x * pV2->y - pV1->y * pV2->x);
    *pOut = v;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = *pV1 + *pV2;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = *pV1 - *pV2;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->x < pV2->x ? pV1->x : pV2->x, pV1->y < pV2->y ? pV1->y : pV2->y,
                        pV1->z < pV2->z ? pV1->z : pV2->z);
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2)
{
    *pOut = D3DXVECTOR3(pV1->x > pV2->x ? pV1->x : pV2->x, pV1->y > pV2->y ? pV1->y : pV2->y,
                        pV1->z > pV2->z ? pV1->z : pV2->z);
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, FLOAT s)
{
    *pOut = *pV * s;
    return pOut;
}
inline D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, FLOAT s)
{
    *pOut = *pV1 + (*pV2 - *pV1) * s;
    return pOut;
}

inline FLOAT D3DXVec4Dot(const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    return pV1->x * pV2->x + pV1->y * pV2->y + pV1->z * pV2->z + pV1->w * pV2->w;
}
inline FLOAT D3DXVec4LengthSq(const D3DXVECTOR4* pV) { return D3DXVec4Dot(pV, pV); }
inline FLOAT D3DXVec4Length(const D3DXVECTOR4* pV) { return std::sqrt(D3DXVec4LengthSq(pV)); }
inline D3DXVECTOR4* D3DXVec4Add(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    *pOut = *pV1 + *pV2;
    return pOut;
}
inline D3DXVECTOR4* D3DXVec4Subtract(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2)
{
    *pOut = *pV1 - *pV2;
    return pOut;
}
inline D3DXVECTOR4* D3DXVec4Scale(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, FLOAT s)
{
    *pOut = *pV * s;
    return pOut;
}

// ---- Small quaternion and plane functions ----

inline D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut)
{
    *pOut = D3DXQUATERNION(0.0f, 0.0f, 0.0f, 1.0f);
    return pOut;
}
inline BOOL D3DXQuaternionIsIdentity(const D3DXQUATERNION* pQ)
{
    return pQ->x == 0.0f && pQ->y == 0.0f && pQ->z == 0.0f && pQ->w == 1.0f;
}
inline FLOAT D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2)
{
    return pQ1->x * pQ2->x + pQ1->y * pQ2->y + pQ1->z * pQ2->z + pQ1->w * pQ2->w;
}
inline FLOAT D3DXQuaternionLengthSq(const D3DXQUATERNION* pQ) { return D3DXQuaternionDot(pQ, pQ); }
inline FLOAT D3DXQuaternionLength(const D3DXQUATERNION* pQ) { return std::sqrt(D3DXQuaternionLengthSq(pQ)); }
inline D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ)
{
    *pOut = D3DXQUATERNION(-pQ->x, -pQ->y, -pQ->z, pQ->w);
    return pOut;
}

inline FLOAT D3DXPlaneDot(const D3DXPLANE* pP, const D3DXVECTOR4* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d * pV->w;
}
inline FLOAT D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z + pP->d;
}
inline FLOAT D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV)
{
    return pP->a * pV->x + pP->b * pV->y + pP->c * pV->z;
}
