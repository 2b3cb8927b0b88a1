#pragma once
// The scene keeps its vectors and matrices in the core library's types and does its geometry
// with the D3DX functions. Vector3 and D3DXVECTOR3 are both three floats, Matrix4 and D3DXMATRIX
// the same sixteen floats in the same order, so these copies only change the type.
#include "core/Matrix4.h"
#include "core/Vector3.h"

#include <d3dx9math.h>

#include <cmath>
#include <cstring>

inline D3DXVECTOR3 ToD3DX(const Vector3& v)
{
    return D3DXVECTOR3(v.x, v.y, v.z);
}

inline Vector3 ToVector3(const D3DVECTOR& v)
{
    return Vector3(v.x, v.y, v.z);
}

inline D3DXMATRIX ToD3DX(const Matrix4& m)
{
    static_assert(sizeof(D3DXMATRIX) == sizeof(m.e));
    D3DXMATRIX result;
    std::memcpy(static_cast<void*>(&result), m.e, sizeof(m.e));
    return result;
}

inline Matrix4 ToMatrix4(const D3DXMATRIX& m)
{
    Matrix4 result;
    std::memcpy(result.e, static_cast<const void*>(&m), sizeof(result.e));
    return result;
}

inline Matrix4 IdentityMatrix4()
{
    Matrix4 m;
    m.SetIdentity();
    return m;
}

inline bool IsFinite(const Vector3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

inline bool IsFinite(const D3DXQUATERNION& q)
{
    return std::isfinite(q.x) && std::isfinite(q.y) && std::isfinite(q.z) && std::isfinite(q.w);
}
