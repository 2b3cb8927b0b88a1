#pragma once
// Comparisons shared by the maths tests: element-wise with an absolute tolerance.
#include <d3dx9math.h>
#include <gtest/gtest.h>

#include <array>

constexpr float kMathTolerance = 1e-5f;

inline void ExpectMatrixNear(const D3DXMATRIX& actual, const std::array<float, 16>& expected,
                             float tolerance = kMathTolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR((&actual._11)[i], expected[i], tolerance) << "element _" << (i / 4 + 1) << (i % 4 + 1);
}

inline void ExpectSameMatrix(const D3DXMATRIX& actual, const D3DXMATRIX& expected,
                             float tolerance = kMathTolerance)
{
    std::array<float, 16> values;
    for (int i = 0; i < 16; ++i)
        values[i] = (&expected._11)[i];
    ExpectMatrixNear(actual, values, tolerance);
}

inline void ExpectVectorNear(const D3DXVECTOR3& actual, const D3DXVECTOR3& expected,
                             float tolerance = kMathTolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

inline D3DXVECTOR3 TransformPoint(const D3DXVECTOR3& v, const D3DXMATRIX& m)
{
    D3DXVECTOR3 out;
    return *D3DXVec3TransformCoord(&out, &v, &m);
}
