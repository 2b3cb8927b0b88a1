#include "core/Matrix4.h"

#include <cmath>
#include <utility>

namespace
{
void SetElements(Matrix4& m, const float (&values)[16])
{
    for (int i = 0; i < 16; ++i)
        m.e[i] = values[i];
}

// Non-zero elements of the cube-face view rotations, indexed [face][handedness: 0 LH, 1 RH].
// Up is +Y for the four side faces, -Z for +Y and +Z for -Y, as Direct3D lays out cube maps.
struct CubeFaceEntry
{
    int nIndex;
    float fValue;
};
const CubeFaceEntry g_CubeFaceViews[6][2][3] = {
    {{{2, 1}, {5, 1}, {8, -1}}, {{2, -1}, {5, 1}, {8, 1}}},
    {{{2, -1}, {5, 1}, {8, 1}}, {{2, 1}, {5, 1}, {8, -1}}},
    {{{0, 1}, {6, 1}, {9, -1}}, {{0, -1}, {6, -1}, {9, -1}}},
    {{{0, 1}, {6, -1}, {9, 1}}, {{0, -1}, {6, 1}, {9, 1}}},
    {{{0, 1}, {5, 1}, {10, 1}}, {{0, -1}, {5, 1}, {10, -1}}},
    {{{0, -1}, {5, 1}, {10, -1}}, {{0, 1}, {5, 1}, {10, 1}}},
};

void SetCubeFaceView(Matrix4& m, int nFace, int nHand)
{
    if (static_cast<unsigned>(nFace) > 5u)
        return;
    for (float& f : m.e)
        f = 0.0f;
    for (const CubeFaceEntry& entry : g_CubeFaceViews[nFace][nHand])
        m.e[entry.nIndex] = entry.fValue;
    m.e[15] = 1.0f;
}
}

void Matrix4::SetIdentity()
{
    SetElements(*this, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

void Matrix4::SetRotationX(float fAngle)
{
    float c = std::cos(fAngle), s = std::sin(fAngle);
    SetElements(*this, {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1});
}

void Matrix4::SetRotationY(float fAngle)
{
    float c = std::cos(fAngle), s = std::sin(fAngle);
    SetElements(*this, {c, 0, s, 0, 0, 1, 0, 0, -s, 0, c, 0, 0, 0, 0, 1});
}

void Matrix4::SetRotationZ(float fAngle)
{
    float c = std::cos(fAngle), s = std::sin(fAngle);
    SetElements(*this, {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
}

void Matrix4::SetRotationXY(float a, float b)
{
    float ca = std::cos(a), sa = std::sin(a);
    float cb = std::cos(b), sb = std::sin(b);
    SetElements(*this, {cb, -sa * sb, ca * sb, 0, 0, ca, sa, 0, -sb, -sa * cb, ca * cb, 0, 0, 0, 0, 1});
}

void Matrix4::SetRotationXYZ(float a, float b, float c)
{
    float ca = std::cos(a), sa = std::sin(a);
    float cb = std::cos(b), sb = std::sin(b);
    float cc = std::cos(c), sc = std::sin(c);
    SetElements(*this, {cb * cc + sa * sb * sc, cb * sc - sa * sb * cc, ca * sb, 0,
                        -ca * sc, ca * cc, sa, 0,
                        sa * cb * sc - sb * cc, -sb * sc - sa * cb * cc, ca * cb, 0,
                        0, 0, 0, 1});
}

void Matrix4::SetRotationAxis(const Vector3& vAxis, float fAngle)
{
    float c = std::cos(fAngle), s = std::sin(fAngle);
    float x = vAxis.x, y = vAxis.y, z = vAxis.z;
    float t = 1.0f - c;
    float u = c - 1.0f;
    SetElements(*this, {c + x * x * t, x * y * u + s * z, x * z * t + s * y, 0,
                        x * y * u - s * z, c + y * y * t, y * z * u + s * x, 0,
                        x * z * t - s * y, y * z * u - s * x, c + z * z * t, 0,
                        0, 0, 0, 1});
}

void Matrix4::SetRotation(const Quaternion& q)
{
    float w = q.w, x = q.x, y = q.y, z = q.z;
    SetElements(*this, {1 - 2 * y * y - 2 * z * z, 2 * x * y - 2 * w * z, 2 * x * z + 2 * w * y, 0,
                        2 * x * y + 2 * w * z, 1 - 2 * x * x - 2 * z * z, 2 * y * z - 2 * w * x, 0,
                        2 * x * z - 2 * w * y, 2 * y * z + 2 * w * x, 1 - 2 * x * x - 2 * y * y, 0,
                        0, 0, 0, 1});
}

void Matrix4::SetPerspective(float fFov, float fAspect, float fNear, float fFar)
{
    float t = std::tan(fFov * 0.5f);
    for (float& f : e)
        f = 0.0f;
    e[0] = 1.0f / t;
    e[5] = 1.0f / (t * fAspect);
    e[10] = (fFar + fNear) / (fFar - fNear);
    e[11] = 1.0f;
    e[14] = -(2.0f * fFar * fNear) / (fFar - fNear);
}

void Matrix4::SetShadow(const Plane& plane, const Vector3& vLight)
{
    // p I - L P^T with L = (light, 1) and P = (normal, d).
    const float n[4] = {plane.normal.x, plane.normal.y, plane.normal.z, plane.d};
    const float l[4] = {vLight.x, vLight.y, vLight.z, 1.0f};
    float p = plane.Distance(vLight);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            e[4 * c + r] = (r == c ? p : 0.0f) - l[r] * n[c];
}

void Matrix4::SetCubeFaceViewLH(int nFace)
{
    SetCubeFaceView(*this, nFace, 0);
}

void Matrix4::SetCubeFaceViewRH(int nFace)
{
    SetCubeFaceView(*this, nFace, 1);
}

Matrix4& Matrix4::Translate(const Vector3& v)
{
    for (int i = 0; i < 4; ++i)
        e[12 + i] += v.x * e[i] + v.y * e[4 + i] + v.z * e[8 + i];
    return *this;
}

Matrix4& Matrix4::Scale(float fX, float fY, float fZ)
{
    for (int i = 0; i < 4; ++i)
    {
        e[i] *= fX;
        e[4 + i] *= fY;
        e[8 + i] *= fZ;
    }
    return *this;
}

Matrix4& Matrix4::RotateX(float fAngle)
{
    Matrix4 r;
    r.SetRotationX(fAngle);
    return *this *= r;
}

Matrix4& Matrix4::RotateY(float fAngle)
{
    Matrix4 r;
    r.SetRotationY(fAngle);
    return *this *= r;
}

Matrix4& Matrix4::RotateZ(float fAngle)
{
    Matrix4 r;
    r.SetRotationZ(fAngle);
    return *this *= r;
}

Matrix4& Matrix4::RotateXY(float a, float b)
{
    Matrix4 r;
    r.SetRotationXY(a, b);
    return *this *= r;
}

Matrix4& Matrix4::RotateXYZ(float a, float b, float c)
{
    Matrix4 r;
    r.SetRotationXYZ(a, b, c);
    return *this *= r;
}

Matrix4& Matrix4::RotateAxis(const Vector3& vAxis, float fAngle)
{
    Matrix4 r;
    r.SetRotationAxis(vAxis, fAngle);
    return *this *= r;
}

Matrix4& Matrix4::operator*=(const Matrix4& m)
{
    *this = *this * m;
    return *this;
}

Matrix4& Matrix4::Transpose()
{
    *this = Transposed(*this);
    return *this;
}

Matrix4& Matrix4::operator+=(const Matrix4& m)
{
    for (int i = 0; i < 16; ++i)
        e[i] += m.e[i];
    return *this;
}

Matrix4& Matrix4::operator-=(const Matrix4& m)
{
    for (int i = 0; i < 16; ++i)
        e[i] -= m.e[i];
    return *this;
}

Matrix4& Matrix4::operator+=(float f)
{
    for (float& x : e)
        x += f;
    return *this;
}

Matrix4& Matrix4::operator-=(float f)
{
    for (float& x : e)
        x -= f;
    return *this;
}

Matrix4& Matrix4::operator*=(float f)
{
    for (float& x : e)
        x *= f;
    return *this;
}

Matrix4& Matrix4::operator/=(float f)
{
    for (float& x : e)
        x /= f;
    return *this;
}

Matrix4 operator*(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int i = 0; i < 16; ++i)
    {
        float fSum = 0.0f;
        for (int k = 0; k < 4; ++k)
            fSum += a.e[(i & 3) + 4 * k] * b.e[(i & 12) + k];
        r.e[i] = fSum;
    }
    return r;
}

Vector3 operator*(const Matrix4& m, const Vector3& v)
{
    return Vector3(m.e[0] * v.x + m.e[4] * v.y + m.e[8] * v.z,
                   m.e[1] * v.x + m.e[5] * v.y + m.e[9] * v.z,
                   m.e[2] * v.x + m.e[6] * v.y + m.e[10] * v.z);
}

Matrix4 operator+(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r = a;
    return r += b;
}

Matrix4 operator-(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r = a;
    return r -= b;
}

Matrix4 operator-(const Matrix4& m)
{
    Matrix4 r;
    for (int i = 0; i < 16; ++i)
        r.e[i] = -m.e[i];
    return r;
}

Matrix4 operator+(const Matrix4& m, float f)
{
    Matrix4 r = m;
    return r += f;
}

Matrix4 operator-(const Matrix4& m, float f)
{
    Matrix4 r = m;
    return r -= f;
}

Matrix4 operator*(float f, const Matrix4& m)
{
    Matrix4 r = m;
    return r *= f;
}

Matrix4 operator*(const Matrix4& m, float f)
{
    Matrix4 r = m;
    return r *= f;
}

Matrix4 operator/(const Matrix4& m, float f)
{
    Matrix4 r = m;
    return r /= f;
}

Matrix4 Transposed(const Matrix4& m)
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r.e[4 * i + j] = m.e[i + 4 * j];
    return r;
}

bool Inverse(const Matrix4& m, Matrix4& inverse)
{
    // A[r][c] is row r, column c in the column-vector reading; the right half starts as identity.
    float A[4][8];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            A[r][c] = m.e[4 * c + r];
            A[r][4 + c] = r == c ? 1.0f : 0.0f;
        }
    for (int i = 0; i < 4; ++i)
    {
        if (A[i][i] == 0.0f)
        {
            int nRow = i + 1;
            while (nRow < 4 && A[nRow][i] == 0.0f)
                ++nRow;
            if (nRow == 4)
                return false;
            for (int k = i; k < 8; ++k)
                std::swap(A[i][k], A[nRow][k]);
        }
        // Columns left of i + 1 are never read again, so they are not updated.
        for (int k = i + 1; k < 8; ++k)
            A[i][k] /= A[i][i];
        for (int j = 0; j < 4; ++j)
        {
            if (j == i)
                continue;
            for (int k = i + 1; k < 8; ++k)
                A[j][k] -= A[j][i] * A[i][k];
        }
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            inverse.e[4 * c + r] = A[r][4 + c];
    return true;
}
