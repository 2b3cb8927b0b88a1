#pragma once
// 4x4 float matrix for column vectors (v' = M v). The element of row r and column c is e[4c + r],
// which is also the memory image of the Direct3D matrix (row vectors, v' = v M) of the same
// transformation, so the sixteen floats go to Direct3D and D3DX unchanged. An affine matrix keeps
// its translation in e12, e13, e14.
//
// In the column reading the product a * b applies b first; read as a Direct3D matrix it is the
// D3DX product of b then a. Either way the factor on the right acts first on a vector.
// Plain value type: copied byte for byte, default construction leaves it unset.
#include "core/Plane.h"
#include "core/Quaternion.h"
#include "core/Vector3.h"

struct Matrix4
{
    float e[16];

    Matrix4() = default;

    float& operator[](int i) { return e[i]; }
    float operator[](int i) const { return e[i]; }

    void SetIdentity();
    // Rotations, angles in radians. SetRotationY puts +sin in e2 and -sin in e8 (the opposite
    // sense to X and Z), and SetRotationAxis gives x y and y z the factor (c - 1), so it turns
    // about (x, -y, z) in that same sense. Unusual, but the angle and quaternion forms below are
    // built to agree with exactly these elements.
    void SetRotationX(float fAngle);
    void SetRotationY(float fAngle);
    void SetRotationZ(float fAngle);
    // Equals SetRotationXYZ(a, b, 0).
    void SetRotationXY(float a, float b);
    // The array of SetRotationZ(c) * SetRotationX(a) * SetRotationY(b).
    void SetRotationXYZ(float a, float b, float c);
    // The axis is used as given, not normalised.
    void SetRotationAxis(const Vector3& vAxis, float fAngle);
    // From a quaternion, not normalised first.
    void SetRotation(const Quaternion& q);
    // Field of view in radians. After the division by w depth runs from -1 at the near plane to
    // +1 at the far plane, z positive in front of the viewer; e15 is 0. No guard against
    // near == far or a zero field of view or aspect.
    void SetPerspective(float fFov, float fAspect, float fNear, float fFar);
    // Flattens points onto the plane along rays from the light position.
    void SetShadow(const Plane& plane, const Vector3& vLight);
    // The rotation of a camera at the origin looking along cube face nFace (Direct3D face order
    // +X, -X, +Y, -Y, +Z, -Z), left-handed (view direction becomes +z) or right-handed (-z).
    // A face outside 0..5 leaves the matrix unchanged.
    void SetCubeFaceViewLH(int nFace);
    void SetCubeFaceViewRH(int nFace);

    // In-place products M = M * X, so X acts first on a vector.
    Matrix4& Translate(const Vector3& v);
    Matrix4& Scale(float fX, float fY, float fZ);
    Matrix4& RotateX(float fAngle);
    Matrix4& RotateY(float fAngle);
    Matrix4& RotateZ(float fAngle);
    Matrix4& RotateXY(float a, float b);
    Matrix4& RotateXYZ(float a, float b, float c);
    Matrix4& RotateAxis(const Vector3& vAxis, float fAngle);
    // Safe when m is this matrix.
    Matrix4& operator*=(const Matrix4& m);

    Matrix4& Transpose();
    Matrix4& operator+=(const Matrix4& m);
    Matrix4& operator-=(const Matrix4& m);
    Matrix4& operator+=(float f);
    Matrix4& operator-=(float f);
    Matrix4& operator*=(float f);
    Matrix4& operator/=(float f);
};

// a * b, b acting first; either operand may alias the result.
Matrix4 operator*(const Matrix4& a, const Matrix4& b);
// The upper 3x3 part applied to v; translation is ignored.
Vector3 operator*(const Matrix4& m, const Vector3& v);
Matrix4 operator+(const Matrix4& a, const Matrix4& b);
Matrix4 operator-(const Matrix4& a, const Matrix4& b);
Matrix4 operator-(const Matrix4& m);
Matrix4 operator+(const Matrix4& m, float f);
Matrix4 operator-(const Matrix4& m, float f);
Matrix4 operator*(float f, const Matrix4& m);
Matrix4 operator*(const Matrix4& m, float f);
Matrix4 operator/(const Matrix4& m, float f);
Matrix4 Transposed(const Matrix4& m);

// Gauss-Jordan inverse. A zero pivot is replaced by the first row below it with a non-zero entry
// in that column; there is no pivoting by magnitude, so a tiny pivot is used as it is. Returns
// false, leaving inverse untouched, when a pivot column has no non-zero entry left (the matrix
// is singular).
bool Inverse(const Matrix4& m, Matrix4& inverse);
