#include "core/Matrix4.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
Matrix4 FromElements(const float (&values)[16])
{
    Matrix4 m;
    for (int i = 0; i < 16; ++i)
        m.e[i] = values[i];
    return m;
}

Matrix4 Identity()
{
    Matrix4 m;
    m.SetIdentity();
    return m;
}

void ExpectMatrixNear(const Matrix4& a, const Matrix4& b, float fTolerance)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.e[i], b.e[i], fTolerance) << "element " << i;
}

// The full homogeneous product M (x, y, z, 1), computed independently of the library: row r of
// the column-vector reading is e[r], e[4 + r], e[8 + r], e[12 + r].
void Transform(const Matrix4& m, const float (&v)[4], float (&out)[4])
{
    for (int r = 0; r < 4; ++r)
        out[r] = m.e[r] * v[0] + m.e[4 + r] * v[1] + m.e[8 + r] * v[2] + m.e[12 + r] * v[3];
}

Vector3 TransformPoint(const Matrix4& m, const Vector3& p)
{
    float out[4];
    Transform(m, {p.x, p.y, p.z, 1.0f}, out);
    return Vector3(out[0] / out[3], out[1] / out[3], out[2] / out[3]);
}

void ExpectVectorNear(const Vector3& a, const Vector3& b, float fTolerance)
{
    EXPECT_NEAR(a.x, b.x, fTolerance);
    EXPECT_NEAR(a.y, b.y, fTolerance);
    EXPECT_NEAR(a.z, b.z, fTolerance);
}

const float g_Angles[][3] = {
    {0.3f, -0.7f, 1.1f}, {1.5f, 0.2f, -2.0f}, {-2.5f, 3.0f, 0.4f}, {0.0f, 0.9f, 0.0f}, {2.2f, -1.3f, -0.6f},
};
}

TEST(Matrix4Test, PerspectiveElements)
{
    Matrix4 m;
    m.SetPerspective(1.0471976f, 0.65f, 1.0f, 2000.0f);
    const float expected[16] = {1.7320509f, 0, 0, 0, 0, 2.6646936f, 0, 0, 0, 0, 1.0010005f, 1, 0, 0, -2.0010004f, 0};
    for (int i = 0; i < 16; ++i)
        EXPECT_FLOAT_EQ(m.e[i], expected[i]) << "element " << i;

    // Depth after the division by w: -1 at the near plane, +1 at the far plane.
    float out[4];
    Transform(m, {0, 0, 1, 1}, out);
    EXPECT_NEAR(out[2] / out[3], -1.0f, 1e-6f);
    Transform(m, {0, 0, 2000, 1}, out);
    EXPECT_NEAR(out[2] / out[3], 1.0f, 1e-6f);
}

TEST(Matrix4Test, AxisRotationsAndTheirSenses)
{
    // Unit axes in column vectors: X and Z turn counter-clockwise when looking down the axis,
    // Y (with +sin in e2) turns the other way, taking +x towards +z.
    struct Case
    {
        int nAxis;
        Vector3 in;
        Vector3 out;
    };
    const float fQuarter = 1.5707964f;
    const Case cases[] = {
        {0, {0, 1, 0}, {0, 0, 1}},
        {1, {1, 0, 0}, {0, 0, 1}},
        {1, {0, 0, 1}, {-1, 0, 0}},
        {2, {1, 0, 0}, {0, 1, 0}},
    };
    for (const Case& c : cases)
    {
        Matrix4 m;
        if (c.nAxis == 0)
            m.SetRotationX(fQuarter);
        else if (c.nAxis == 1)
            m.SetRotationY(fQuarter);
        else
            m.SetRotationZ(fQuarter);
        ExpectVectorNear(m * c.in, c.out, 1e-6f);
    }
    Matrix4 y;
    y.SetRotationY(0.5f);
    EXPECT_FLOAT_EQ(y.e[2], std::sin(0.5f));
    EXPECT_FLOAT_EQ(y.e[8], -std::sin(0.5f));
}

TEST(Matrix4Test, CombinedRotationIdentities)
{
    for (const auto& angles : g_Angles)
    {
        float a = angles[0], b = angles[1], c = angles[2];
        Matrix4 xyz, xy, x, y, z;
        xyz.SetRotationXYZ(a, b, 0.0f);
        xy.SetRotationXY(a, b);
        ExpectMatrixNear(xyz, xy, 1e-6f);

        xyz.SetRotationXYZ(a, 0.0f, 0.0f);
        x.SetRotationX(a);
        ExpectMatrixNear(xyz, x, 1e-6f);

        xyz.SetRotationXYZ(a, b, c);
        y.SetRotationY(b);
        z.SetRotationZ(c);
        ExpectMatrixNear(xyz, z * x * y, 1e-6f);

        Matrix4 rotated = Identity();
        rotated.RotateZ(c).RotateX(a).RotateY(b);
        ExpectMatrixNear(rotated, xyz, 1e-6f);
        rotated = Identity();
        rotated.RotateXYZ(a, b, c);
        ExpectMatrixNear(rotated, xyz, 1e-6f);
        rotated = Identity();
        rotated.RotateXY(a, b);
        xy.SetRotationXY(a, b);
        ExpectMatrixNear(rotated, xy, 1e-6f);
    }
}

TEST(Matrix4Test, AxisRotationMatchesAxisRotationsAndItsOwnSense)
{
    for (float fAngle : {0.4f, -1.2f, 2.9f})
    {
        Matrix4 axis, expected;
        axis.SetRotationAxis(Vector3(1, 0, 0), fAngle);
        expected.SetRotationX(fAngle);
        ExpectMatrixNear(axis, expected, 1e-6f);
        axis.SetRotationAxis(Vector3(0, 1, 0), fAngle);
        expected.SetRotationY(fAngle);
        ExpectMatrixNear(axis, expected, 1e-6f);
        axis.SetRotationAxis(Vector3(0, 0, 1), fAngle);
        expected.SetRotationZ(fAngle);
        ExpectMatrixNear(axis, expected, 1e-6f);

        Matrix4 rotated = Identity();
        rotated.RotateAxis(Vector3(0, 0, 1), fAngle);
        ExpectMatrixNear(rotated, expected, 1e-6f);
    }
    // With x y taking (c - 1), a quarter turn about the diagonal takes the axis itself to +z.
    Vector3 vDiagonal(0.7071068f, 0.7071068f, 0.0f);
    Matrix4 m;
    m.SetRotationAxis(vDiagonal, 1.5707964f);
    ExpectVectorNear(m * vDiagonal, Vector3(0, 0, 1), 1e-6f);
}

TEST(Matrix4Test, CubeFaceViews)
{
    struct Case
    {
        int nFace;
        Vector3 vAxis;
        Vector3 vUp;
        int lhIndex[3];
        float lhValue[3];
        int rhIndex[3];
        float rhValue[3];
    };
    const Case cases[] = {
        {0, {1, 0, 0}, {0, 1, 0}, {2, 5, 8}, {1, 1, -1}, {2, 5, 8}, {-1, 1, 1}},
        {1, {-1, 0, 0}, {0, 1, 0}, {2, 5, 8}, {-1, 1, 1}, {2, 5, 8}, {1, 1, -1}},
        {2, {0, 1, 0}, {0, 0, -1}, {0, 6, 9}, {1, 1, -1}, {0, 6, 9}, {-1, -1, -1}},
        {3, {0, -1, 0}, {0, 0, 1}, {0, 6, 9}, {1, -1, 1}, {0, 6, 9}, {-1, 1, 1}},
        {4, {0, 0, 1}, {0, 1, 0}, {0, 5, 10}, {1, 1, 1}, {0, 5, 10}, {-1, 1, -1}},
        {5, {0, 0, -1}, {0, 1, 0}, {0, 5, 10}, {-1, 1, -1}, {0, 5, 10}, {1, 1, 1}},
    };
    for (const Case& c : cases)
    {
        Matrix4 lh, rh;
        lh.SetCubeFaceViewLH(c.nFace);
        rh.SetCubeFaceViewRH(c.nFace);
        float lhExpected[16] = {}, rhExpected[16] = {};
        lhExpected[15] = rhExpected[15] = 1.0f;
        for (int i = 0; i < 3; ++i)
        {
            lhExpected[c.lhIndex[i]] = c.lhValue[i];
            rhExpected[c.rhIndex[i]] = c.rhValue[i];
        }
        for (int i = 0; i < 16; ++i)
        {
            EXPECT_EQ(lh.e[i], lhExpected[i]) << "face " << c.nFace << " LH element " << i;
            EXPECT_EQ(rh.e[i], rhExpected[i]) << "face " << c.nFace << " RH element " << i;
        }
        // The face's axis becomes the view direction (+z left-handed, -z right-handed) and the
        // face's up vector becomes +y.
        EXPECT_EQ(lh * c.vAxis, Vector3(0, 0, 1)) << "face " << c.nFace;
        EXPECT_EQ(rh * c.vAxis, Vector3(0, 0, -1)) << "face " << c.nFace;
        EXPECT_EQ(lh * c.vUp, Vector3(0, 1, 0)) << "face " << c.nFace;
        EXPECT_EQ(rh * c.vUp, Vector3(0, 1, 0)) << "face " << c.nFace;
    }
    for (int nFace : {6, -1, 1000})
    {
        Matrix4 m = FromElements({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
        m.SetCubeFaceViewLH(nFace);
        m.SetCubeFaceViewRH(nFace);
        for (int i = 0; i < 16; ++i)
            EXPECT_EQ(m.e[i], static_cast<float>(i + 1));
    }
}

TEST(Matrix4Test, ShadowFlattensOntoThePlaneAlongLightRays)
{
    struct Case
    {
        Plane plane;
        Vector3 vLight;
        Vector3 point;
        Vector3 shadow;
    };
    const Case cases[] = {
        {Plane(0, 1, 0, 0), {0, 10, 0}, {3, 5, 0}, {6, 0, 0}},
        {Plane(0, 1, 0, 0), {0, 10, 0}, {-1, 8, 2}, {-5, 0, 10}},
        // The plane x = 2 (normal +x, d = -2), light at the origin: (4, 2, 6) projects to (2, 1, 3).
        {Plane(1, 0, 0, -2), {0, 0, 0}, {4, 2, 6}, {2, 1, 3}},
    };
    for (const Case& c : cases)
    {
        Matrix4 m;
        m.SetShadow(c.plane, c.vLight);
        Vector3 s = TransformPoint(m, c.point);
        ExpectVectorNear(s, c.shadow, 1e-5f);
        EXPECT_NEAR(c.plane.Distance(s), 0.0f, 1e-5f);
    }
}

TEST(Matrix4Test, ProductOrderTranslateScaleAndVectorProduct)
{
    Matrix4 t = Identity();
    t.Translate(Vector3(1, 2, 3));
    EXPECT_EQ(t.e[12], 1.0f);
    EXPECT_EQ(t.e[13], 2.0f);
    EXPECT_EQ(t.e[14], 3.0f);
    // The translation part is ignored by the 3x3 product.
    EXPECT_EQ(t * Vector3(4, 5, 6), Vector3(4, 5, 6));

    Matrix4 r;
    r.SetRotationZ(1.5707964f);
    // t * r rotates first: (1, 0, 0) -> (0, 1, 0) -> (1, 3, 3).
    ExpectVectorNear(TransformPoint(t * r, Vector3(1, 0, 0)), Vector3(1, 3, 3), 1e-6f);
    ExpectVectorNear(TransformPoint(r * t, Vector3(1, 0, 0)), Vector3(-2, 2, 3), 1e-6f);

    // Translate and Scale act before what the matrix already holds.
    Matrix4 m = r;
    m.Translate(Vector3(1, 0, 0)).Scale(2, 3, 4);
    ExpectVectorNear(TransformPoint(m, Vector3(1, 1, 1)), Vector3(-3, 3, 4), 1e-6f);

    Matrix4 product = t;
    product *= r;
    ExpectMatrixNear(product, t * r, 0.0f);
}

TEST(Matrix4Test, SquareInPlaceAndElementwiseOperators)
{
    Matrix4 m = FromElements({1, 2, 0, -1, 3, 1, 4, 2, 0, -2, 1, 5, 2, 0, 3, 1});
    float square[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
        {
            float fSum = 0.0f;
            for (int k = 0; k < 4; ++k)
                fSum += m.e[4 * k + r] * m.e[4 * c + k];
            square[4 * c + r] = fSum;
        }
    Matrix4 s = m;
    s *= s;
    ExpectMatrixNear(s, FromElements(square), 0.0f);

    Matrix4 transposed = Transposed(m);
    EXPECT_EQ(transposed.e[1], m.e[4]);
    EXPECT_EQ(transposed.e[14], m.e[11]);
    transposed.Transpose();
    ExpectMatrixNear(transposed, m, 0.0f);

    Matrix4 sum = m + m;
    ExpectMatrixNear(sum, 2.0f * m, 0.0f);
    ExpectMatrixNear(sum - m, m, 0.0f);
    ExpectMatrixNear(-m + m, m * 0.0f, 0.0f);
    ExpectMatrixNear((m + 1.0f) - 1.0f, m, 0.0f);
    ExpectMatrixNear(sum / 2.0f, m, 0.0f);
    Matrix4 n = m;
    n += m;
    n -= m;
    n += 3.0f;
    n -= 3.0f;
    n *= 4.0f;
    n /= 4.0f;
    ExpectMatrixNear(n, m, 0.0f);
    EXPECT_EQ(m[7], 2.0f);
    m[7] = 9.0f;
    EXPECT_EQ(m.e[7], 9.0f);
}

TEST(Matrix4Test, InverseByGaussJordan)
{
    Matrix4 rotation;
    rotation.SetRotationXYZ(0.4f, -1.1f, 2.3f);
    Matrix4 affine = rotation;
    affine.Translate(Vector3(3, -4, 5)).Scale(2, 0.5f, 3);
    Matrix4 perspective;
    perspective.SetPerspective(1.0f, 1.3f, 0.5f, 100.0f);
    const Matrix4 cases[] = {
        Identity(),
        affine,
        perspective,
        // e0 = 0: the first pivot comes from the row exchange.
        FromElements({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
        // Cyclic permutation with translation: two exchanges needed.
        FromElements({0, 0, 1, 0, 1, 0, 0, 0, 0, 1, 0, 0, 5, 6, 7, 1}),
        FromElements({2, 1, 0, 0, 1, 3, 1, 0, 0, 1, 4, 1, 0, 0, 1, 5}),
    };
    for (const Matrix4& m : cases)
    {
        Matrix4 inverse;
        ASSERT_TRUE(Inverse(m, inverse));
        ExpectMatrixNear(m * inverse, Identity(), 1e-5f);
        ExpectMatrixNear(inverse * m, Identity(), 1e-5f);
    }

    // The permutation swapping x and y is its own inverse, exactly.
    Matrix4 swap = FromElements({0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});
    Matrix4 swapInverse;
    ASSERT_TRUE(Inverse(swap, swapInverse));
    ExpectMatrixNear(swapInverse, swap, 0.0f);

    // A rotation's inverse is its transpose; the result may alias the input.
    Matrix4 r = rotation;
    ASSERT_TRUE(Inverse(r, r));
    ExpectMatrixNear(r, Transposed(rotation), 1e-6f);
}

TEST(Matrix4Test, SingularMatrixReportsFailure)
{
    const Matrix4 cases[] = {
        FromElements({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}),
        // Second column twice the first.
        FromElements({1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 0, 0, 0, 0, 1}),
        // A projection onto the plane y = 0 loses a dimension.
        FromElements({1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}),
    };
    for (const Matrix4& m : cases)
    {
        Matrix4 inverse = FromElements({7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7});
        EXPECT_FALSE(Inverse(m, inverse));
        for (float f : inverse.e)
            EXPECT_EQ(f, 7.0f);
    }
}
