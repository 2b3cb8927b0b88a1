#pragma once
// D3DX 9 maths: vectors, matrices, quaternions, planes and colours, declared from the public
// documentation. Conventions are Direct3D's: row vectors (v' = v M), translation in _41.._43,
// D3DXMatrixMultiply(A, B) = A B applies A first, left-handed view and projection matrices.
// Every function writes its result through the first pointer and returns it, so calls nest;
// the output may alias an input.
#include <d3d9types.h>

#define D3DX_PI ((FLOAT)3.141592654f)
#define D3DX_1BYPI ((FLOAT)0.318309886f)
#define D3DXToRadian(degree) ((degree) * (D3DX_PI / 180.0f))
#define D3DXToDegree(radian) ((radian) * (180.0f / D3DX_PI))

struct D3DXVECTOR2
{
    D3DXVECTOR2() = default;
    D3DXVECTOR2(FLOAT fx, FLOAT fy) : x(fx), y(fy) {}
    explicit D3DXVECTOR2(const FLOAT* pf) : x(pf[0]), y(pf[1]) {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXVECTOR2& operator+=(const D3DXVECTOR2& v);
    D3DXVECTOR2& operator-=(const D3DXVECTOR2& v);
    D3DXVECTOR2& operator*=(FLOAT f);
    D3DXVECTOR2& operator/=(FLOAT f);
    D3DXVECTOR2 operator+() const;
    D3DXVECTOR2 operator-() const;
    D3DXVECTOR2 operator+(const D3DXVECTOR2& v) const;
    D3DXVECTOR2 operator-(const D3DXVECTOR2& v) const;
    D3DXVECTOR2 operator*(FLOAT f) const;
    D3DXVECTOR2 operator/(FLOAT f) const;
    friend D3DXVECTOR2 operator*(FLOAT f, const D3DXVECTOR2& v);
    bool operator==(const D3DXVECTOR2& v) const;
    bool operator!=(const D3DXVECTOR2& v) const;

    FLOAT x, y;
};

struct D3DXVECTOR3 : public D3DVECTOR
{
    D3DXVECTOR3() = default;
    D3DXVECTOR3(FLOAT fx, FLOAT fy, FLOAT fz) : D3DVECTOR{fx, fy, fz} {}
    D3DXVECTOR3(const D3DVECTOR& v) : D3DVECTOR(v) {}
    explicit D3DXVECTOR3(const FLOAT* pf) : D3DVECTOR{pf[0], pf[1], pf[2]} {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXVECTOR3& operator+=(const D3DXVECTOR3& v);
    D3DXVECTOR3& operator-=(const D3DXVECTOR3& v);
    D3DXVECTOR3& operator*=(FLOAT f);
    D3DXVECTOR3& operator/=(FLOAT f);
    D3DXVECTOR3 operator+() const;
    D3DXVECTOR3 operator-() const;
    D3DXVECTOR3 operator+(const D3DXVECTOR3& v) const;
    D3DXVECTOR3 operator-(const D3DXVECTOR3& v) const;
    D3DXVECTOR3 operator*(FLOAT f) const;
    D3DXVECTOR3 operator/(FLOAT f) const;
    friend D3DXVECTOR3 operator*(FLOAT f, const D3DXVECTOR3& v);
    bool operator==(const D3DXVECTOR3& v) const;
    bool operator!=(const D3DXVECTOR3& v) const;
};

struct D3DXVECTOR4
{
    D3DXVECTOR4() = default;
    D3DXVECTOR4(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}
    D3DXVECTOR4(const D3DVECTOR& v, FLOAT fw) : x(v.x), y(v.y), z(v.z), w(fw) {}
    explicit D3DXVECTOR4(const FLOAT* pf) : x(pf[0]), y(pf[1]), z(pf[2]), w(pf[3]) {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXVECTOR4& operator+=(const D3DXVECTOR4& v);
    D3DXVECTOR4& operator-=(const D3DXVECTOR4& v);
    D3DXVECTOR4& operator*=(FLOAT f);
    D3DXVECTOR4& operator/=(FLOAT f);
    D3DXVECTOR4 operator+() const;
    D3DXVECTOR4 operator-() const;
    D3DXVECTOR4 operator+(const D3DXVECTOR4& v) const;
    D3DXVECTOR4 operator-(const D3DXVECTOR4& v) const;
    D3DXVECTOR4 operator*(FLOAT f) const;
    D3DXVECTOR4 operator/(FLOAT f) const;
    friend D3DXVECTOR4 operator*(FLOAT f, const D3DXVECTOR4& v);
    bool operator==(const D3DXVECTOR4& v) const;
    bool operator!=(const D3DXVECTOR4& v) const;

    FLOAT x, y, z, w;
};

// Row r, column c is _rc (1-based) or m[r-1][c-1]; the same sixteen floats in the same order
// as the core library's matrix, so either can be handed to the other unchanged.
struct D3DXMATRIX : public D3DMATRIX
{
    D3DXMATRIX() = default;
    D3DXMATRIX(const D3DMATRIX& mat) : D3DMATRIX(mat) {}
    explicit D3DXMATRIX(const FLOAT* pf);
    D3DXMATRIX(FLOAT f11, FLOAT f12, FLOAT f13, FLOAT f14,
               FLOAT f21, FLOAT f22, FLOAT f23, FLOAT f24,
               FLOAT f31, FLOAT f32, FLOAT f33, FLOAT f34,
               FLOAT f41, FLOAT f42, FLOAT f43, FLOAT f44);

    FLOAT& operator()(UINT row, UINT col) { return m[row][col]; }
    FLOAT operator()(UINT row, UINT col) const { return m[row][col]; }

    operator FLOAT*() { return &_11; }
    operator const FLOAT*() const { return &_11; }

    D3DXMATRIX& operator*=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator+=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator-=(const D3DXMATRIX& mat);
    D3DXMATRIX& operator*=(FLOAT f);
    D3DXMATRIX& operator/=(FLOAT f);
    D3DXMATRIX operator+() const;
    D3DXMATRIX operator-() const;
    D3DXMATRIX operator*(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator+(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator-(const D3DXMATRIX& mat) const;
    D3DXMATRIX operator*(FLOAT f) const;
    D3DXMATRIX operator/(FLOAT f) const;
    friend D3DXMATRIX operator*(FLOAT f, const D3DXMATRIX& mat);
    bool operator==(const D3DXMATRIX& mat) const;
    bool operator!=(const D3DXMATRIX& mat) const;
};

// The 16-byte aligned variant; this layer has no alignment-dependent code.
typedef D3DXMATRIX D3DXMATRIXA16;

// Rotation quaternion (x, y, z) = axis · sin(angle/2), w = cos(angle/2); identity (0, 0, 0, 1).
struct D3DXQUATERNION
{
    D3DXQUATERNION() = default;
    D3DXQUATERNION(FLOAT fx, FLOAT fy, FLOAT fz, FLOAT fw) : x(fx), y(fy), z(fz), w(fw) {}
    explicit D3DXQUATERNION(const FLOAT* pf) : x(pf[0]), y(pf[1]), z(pf[2]), w(pf[3]) {}

    operator FLOAT*() { return &x; }
    operator const FLOAT*() const { return &x; }

    D3DXQUATERNION& operator+=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator-=(const D3DXQUATERNION& q);
    // q *= r is D3DXQuaternionMultiply(q, r): q's rotation, then r's.
    D3DXQUATERNION& operator*=(const D3DXQUATERNION& q);
    D3DXQUATERNION& operator*=(FLOAT f);
    D3DXQUATERNION& operator/=(FLOAT f);
    D3DXQUATERNION operator+() const;
    D3DXQUATERNION operator-() const;
    D3DXQUATERNION operator+(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator-(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator*(const D3DXQUATERNION& q) const;
    D3DXQUATERNION operator*(FLOAT f) const;
    D3DXQUATERNION operator/(FLOAT f) const;
    friend D3DXQUATERNION operator*(FLOAT f, const D3DXQUATERNION& q);
    bool operator==(const D3DXQUATERNION& q) const;
    bool operator!=(const D3DXQUATERNION& q) const;

    FLOAT x, y, z, w;
};

// The plane a·x + b·y + c·z + d = 0; (a, b, c) is its normal.
struct D3DXPLANE
{
    D3DXPLANE() = default;
    D3DXPLANE(FLOAT fa, FLOAT fb, FLOAT fc, FLOAT fd) : a(fa), b(fb), c(fc), d(fd) {}
    explicit D3DXPLANE(const FLOAT* pf) : a(pf[0]), b(pf[1]), c(pf[2]), d(pf[3]) {}

    operator FLOAT*() { return &a; }
    operator const FLOAT*() const { return &a; }

    D3DXPLANE& operator*=(FLOAT f);
    D3DXPLANE& operator/=(FLOAT f);
    D3DXPLANE operator+() const;
    D3DXPLANE operator-() const;
    D3DXPLANE operator*(FLOAT f) const;
    D3DXPLANE operator/(FLOAT f) const;
    friend D3DXPLANE operator*(FLOAT f, const D3DXPLANE& p);
    bool operator==(const D3DXPLANE& p) const;
    bool operator!=(const D3DXPLANE& p) const;

    FLOAT a, b, c, d;
};

// Floating-point RGBA colour; converts to and from a packed 0xAARRGGBB D3DCOLOR.
struct D3DXCOLOR
{
    D3DXCOLOR() = default;
    D3DXCOLOR(DWORD argb);
    D3DXCOLOR(FLOAT fr, FLOAT fg, FLOAT fb, FLOAT fa) : r(fr), g(fg), b(fb), a(fa) {}
    D3DXCOLOR(const D3DCOLORVALUE& c) : r(c.r), g(c.g), b(c.b), a(c.a) {}
    explicit D3DXCOLOR(const FLOAT* pf) : r(pf[0]), g(pf[1]), b(pf[2]), a(pf[3]) {}

    // Each channel is clamped to [0, 1] and rounded to the nearest of 256 steps.
    operator DWORD() const;
    operator FLOAT*() { return &r; }
    operator const FLOAT*() const { return &r; }
    operator D3DCOLORVALUE() const { return D3DCOLORVALUE{r, g, b, a}; }

    D3DXCOLOR& operator+=(const D3DXCOLOR& c);
    D3DXCOLOR& operator-=(const D3DXCOLOR& c);
    D3DXCOLOR& operator*=(FLOAT f);
    D3DXCOLOR& operator/=(FLOAT f);
    D3DXCOLOR operator+() const;
    D3DXCOLOR operator-() const;
    D3DXCOLOR operator+(const D3DXCOLOR& c) const;
    D3DXCOLOR operator-(const D3DXCOLOR& c) const;
    D3DXCOLOR operator*(FLOAT f) const;
    D3DXCOLOR operator/(FLOAT f) const;
    friend D3DXCOLOR operator*(FLOAT f, const D3DXCOLOR& c);
    bool operator==(const D3DXCOLOR& c) const;
    bool operator!=(const D3DXCOLOR& c) const;

    FLOAT r, g, b, a;
};

static_assert(sizeof(D3DXVECTOR3) == 12 && sizeof(D3DXVECTOR4) == 16, "vector layouts");
static_assert(sizeof(D3DXMATRIX) == 64 && sizeof(D3DXQUATERNION) == 16, "matrix and quaternion layouts");
static_assert(sizeof(D3DXPLANE) == 16 && sizeof(D3DXCOLOR) == 16, "plane and colour layouts");

typedef D3DXVECTOR2* LPD3DXVECTOR2;
typedef D3DXVECTOR3* LPD3DXVECTOR3;
typedef D3DXVECTOR4* LPD3DXVECTOR4;
typedef D3DXMATRIX* LPD3DXMATRIX;
typedef D3DXQUATERNION* LPD3DXQUATERNION;
typedef D3DXPLANE* LPD3DXPLANE;
typedef D3DXCOLOR* LPD3DXCOLOR;

// ---- Vectors: the small ones are inline (d3dx9math.inl) ----

FLOAT D3DXVec2Length(const D3DXVECTOR2* pV);
FLOAT D3DXVec2LengthSq(const D3DXVECTOR2* pV);
FLOAT D3DXVec2Dot(const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
D3DXVECTOR2* D3DXVec2Add(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
D3DXVECTOR2* D3DXVec2Subtract(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV1, const D3DXVECTOR2* pV2);
D3DXVECTOR2* D3DXVec2Scale(D3DXVECTOR2* pOut, const D3DXVECTOR2* pV, FLOAT s);

FLOAT D3DXVec3Length(const D3DXVECTOR3* pV);
FLOAT D3DXVec3LengthSq(const D3DXVECTOR3* pV);
FLOAT D3DXVec3Dot(const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Cross(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Add(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Subtract(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Minimize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Maximize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2);
D3DXVECTOR3* D3DXVec3Scale(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, FLOAT s);
// pV1 + s (pV2 - pV1).
D3DXVECTOR3* D3DXVec3Lerp(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2, FLOAT s);
// A zero vector normalises to zero.
D3DXVECTOR3* D3DXVec3Normalize(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV);
// (x, y, z, 1) M, without the divide.
D3DXVECTOR4* D3DXVec3Transform(D3DXVECTOR4* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// (x, y, z, 1) M divided by its w: a point through a projective transform.
D3DXVECTOR3* D3DXVec3TransformCoord(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);
// (x, y, z, 0) M: a direction, so the translation row has no effect.
D3DXVECTOR3* D3DXVec3TransformNormal(D3DXVECTOR3* pOut, const D3DXVECTOR3* pV, const D3DXMATRIX* pM);

FLOAT D3DXVec4Length(const D3DXVECTOR4* pV);
FLOAT D3DXVec4LengthSq(const D3DXVECTOR4* pV);
FLOAT D3DXVec4Dot(const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2);
D3DXVECTOR4* D3DXVec4Add(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2);
D3DXVECTOR4* D3DXVec4Subtract(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV1, const D3DXVECTOR4* pV2);
D3DXVECTOR4* D3DXVec4Scale(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, FLOAT s);
// A zero vector normalises to zero.
D3DXVECTOR4* D3DXVec4Normalize(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV);
D3DXVECTOR4* D3DXVec4Transform(D3DXVECTOR4* pOut, const D3DXVECTOR4* pV, const D3DXMATRIX* pM);

// ---- Matrices ----

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* pOut);
BOOL D3DXMatrixIsIdentity(const D3DXMATRIX* pM);
FLOAT D3DXMatrixDeterminant(const D3DXMATRIX* pM);
// pM1 pM2: pM1's transformation first, then pM2's.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
// transpose(pM1 pM2), the form shader constants take.
D3DXMATRIX* D3DXMatrixMultiplyTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM1, const D3DXMATRIX* pM2);
D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* pOut, const D3DXMATRIX* pM);
// Returns NULL, leaving pOut unchanged, when pM is singular; pDeterminant (may be NULL) gets the
// determinant either way.
D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* pOut, FLOAT* pDeterminant, const D3DXMATRIX* pM);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* pOut, FLOAT sx, FLOAT sy, FLOAT sz);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* pOut, FLOAT x, FLOAT y, FLOAT z);
// Rotations by an angle in radians, clockwise when looking along the axis towards the origin.
D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* pOut, FLOAT angle);
D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* pOut, FLOAT angle);
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* pOut, FLOAT angle);
// The axis need not be unit length: it is normalised first.
D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* pOut, const D3DXVECTOR3* pV, FLOAT angle);
D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* pOut, const D3DXQUATERNION* pQ);
// Roll about z, then pitch about x, then yaw about y.
D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll);
// Scaling about a centre in a rotated frame, then rotation about a centre, then translation:
// Tsc⁻¹ Rsr⁻¹ S Rsr Tsc Trc⁻¹ R Trc T. Any NULL argument stands for the identity.
D3DXMATRIX* D3DXMatrixTransformation(D3DXMATRIX* pOut, const D3DXVECTOR3* pScalingCenter,
                                     const D3DXQUATERNION* pScalingRotation, const D3DXVECTOR3* pScaling,
                                     const D3DXVECTOR3* pRotationCenter, const D3DXQUATERNION* pRotation,
                                     const D3DXVECTOR3* pTranslation);
// Left-handed view: the eye at the origin looking down +z with up along +y.
D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* pOut, const D3DXVECTOR3* pEye, const D3DXVECTOR3* pAt,
                               const D3DXVECTOR3* pUp);
// Left-handed projection with a vertical field of view (radians); depth maps zn..zf to 0..1.
D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* pOut, FLOAT fovy, FLOAT aspect, FLOAT zn, FLOAT zf);
// Left-handed orthographic projection of the box [l, r] x [b, t] x [zn, zf] onto [-1, 1]² x [0, 1].
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* pOut, FLOAT l, FLOAT r, FLOAT b, FLOAT t, FLOAT zn,
                                       FLOAT zf);
// Mirror about a plane, which is normalised first.
D3DXMATRIX* D3DXMatrixReflect(D3DXMATRIX* pOut, const D3DXPLANE* pPlane);

// ---- Quaternions ----

D3DXQUATERNION* D3DXQuaternionIdentity(D3DXQUATERNION* pOut);
BOOL D3DXQuaternionIsIdentity(const D3DXQUATERNION* pQ);
FLOAT D3DXQuaternionLength(const D3DXQUATERNION* pQ);
FLOAT D3DXQuaternionLengthSq(const D3DXQUATERNION* pQ);
FLOAT D3DXQuaternionDot(const D3DXQUATERNION* pQ1, const D3DXQUATERNION* pQ2);
D3DXQUATERNION* D3DXQuaternionConjugate(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// A zero quaternion normalises to zero.
D3DXQUATERNION* D3DXQuaternionNormalize(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ);
// The rotation of pQ1 followed by that of pQ2 (the Hamilton product pQ2 · pQ1).
D3DXQUATERNION* D3DXQuaternionMultiply(D3DXQUATERNION* pOut, const D3DXQUATERNION* pQ1,
                                       const D3DXQUATERNION* pQ2);
// The axis need not be unit length: it is normalised first.
D3DXQUATERNION* D3DXQuaternionRotationAxis(D3DXQUATERNION* pOut, const D3DXVECTOR3* pV, FLOAT angle);
// Roll about z, then pitch about x, then yaw about y, as D3DXMatrixRotationYawPitchRoll.
D3DXQUATERNION* D3DXQuaternionRotationYawPitchRoll(D3DXQUATERNION* pOut, FLOAT yaw, FLOAT pitch, FLOAT roll);

// ---- Planes ----

// a·x + b·y + c·z + d·w.
FLOAT D3DXPlaneDot(const D3DXPLANE* pP, const D3DXVECTOR4* pV);
// The plane at a point: a·x + b·y + c·z + d.
FLOAT D3DXPlaneDotCoord(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
// The normal against a direction: a·x + b·y + c·z.
FLOAT D3DXPlaneDotNormal(const D3DXPLANE* pP, const D3DXVECTOR3* pV);
// Scales the plane so that its normal has unit length; a zero normal gives the zero plane.
D3DXPLANE* D3DXPlaneNormalize(D3DXPLANE* pOut, const D3DXPLANE* pP);
D3DXPLANE* D3DXPlaneFromPointNormal(D3DXPLANE* pOut, const D3DXVECTOR3* pPoint, const D3DXVECTOR3* pNormal);
// Normal normalize((p2 - p1) x (p3 - p1)), so the points run clockwise seen from the side the
// normal points to (left-handed); three points on a line give the zero plane.
D3DXPLANE* D3DXPlaneFromPoints(D3DXPLANE* pOut, const D3DXVECTOR3* pV1, const D3DXVECTOR3* pV2,
                               const D3DXVECTOR3* pV3);

#include "d3dx9math.inl"
