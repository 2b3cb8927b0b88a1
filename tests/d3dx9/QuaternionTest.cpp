// Quaternion rotation order and its agreement with the matrix functions.
#include "MathTestUtil.h"

namespace
{

D3DXMATRIX MatrixOf(const D3DXQUATERNION& q)
{
    D3DXMATRIX m;
    return *D3DXMatrixRotationQuaternion(&m, &q);
}

TEST(D3DXQuaternion, RotationAxisMatchesTheMatrix)
{
    const D3DXVECTOR3 axes[] = {{1, 0, 0}, {0, 0, 5}, {3, 3, 3}, {1, -2, 0.5f}};
    const float angles[] = {D3DX_PI / 2, 2 * D3DX_PI / 3, -0.7f, 3.0f};
    for (const D3DXVECTOR3& axis : axes)
        for (float angle : angles)
        {
            D3DXQUATERNION q;
            D3DXMATRIX expected;
            D3DXQuaternionRotationAxis(&q, &axis, angle);
            EXPECT_NEAR(D3DXQuaternionLength(&q), 1.0f, kMathTolerance);
            ExpectSameMatrix(MatrixOf(q), *D3DXMatrixRotationAxis(&expected, &axis, angle));
        }

    // Half angles: a quarter turn about 5·z is (0, 0, sin π/4, cos π/4).
    D3DXQUATERNION q;
    const D3DXVECTOR3 z(0, 0, 5);
    D3DXQuaternionRotationAxis(&q, &z, D3DX_PI / 2);
    EXPECT_NEAR(q.z, std::sqrt(0.5f), kMathTolerance);
    EXPECT_NEAR(q.w, std::sqrt(0.5f), kMathTolerance);
}

TEST(D3DXQuaternion, MultiplyAppliesFirstThenSecond)
{
    const D3DXVECTOR3 x(1, 0, 0), y(0, 1, 0);
    D3DXQUATERNION aboutX, aboutY, product;
    D3DXQuaternionRotationAxis(&aboutX, &x, D3DX_PI / 2);
    D3DXQuaternionRotationAxis(&aboutY, &y, D3DX_PI / 2);

    // y: a quarter turn about x takes it to z, then about y to x.
    D3DXQuaternionMultiply(&product, &aboutX, &aboutY);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 1, 0), MatrixOf(product)), D3DXVECTOR3(1, 0, 0));
    // The other order takes y through y (about y) to z (about x).
    D3DXQuaternionMultiply(&product, &aboutY, &aboutX);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 1, 0), MatrixOf(product)), D3DXVECTOR3(0, 0, 1));

    // In general, the matrix of Multiply(q1, q2) is R(q1) · R(q2).
    const D3DXVECTOR3 a1(1, 2, 3), a2(-2, 0.5f, 1);
    D3DXQUATERNION q1, q2;
    D3DXQuaternionRotationAxis(&q1, &a1, 0.9f);
    D3DXQuaternionRotationAxis(&q2, &a2, -1.7f);
    D3DXQuaternionMultiply(&product, &q1, &q2);
    ExpectSameMatrix(MatrixOf(product), MatrixOf(q1) * MatrixOf(q2));
    ExpectSameMatrix(MatrixOf(q1 * q2), MatrixOf(product));

    // The output may alias the first factor, as the scene's accumulated orientation does.
    D3DXQUATERNION accumulated = q1;
    D3DXQuaternionMultiply(&accumulated, &accumulated, &q2);
    EXPECT_TRUE(accumulated == product);
}

TEST(D3DXQuaternion, YawPitchRollMatchesTheMatrix)
{
    const float angles[][3] = {{D3DX_PI / 2, D3DX_PI / 2, D3DX_PI / 2}, {0.7f, -0.4f, 1.9f}, {-2.5f, 0.1f, 0}};
    for (const auto& a : angles)
    {
        D3DXQUATERNION q;
        D3DXMATRIX expected;
        D3DXQuaternionRotationYawPitchRoll(&q, a[0], a[1], a[2]);
        ExpectSameMatrix(MatrixOf(q), *D3DXMatrixRotationYawPitchRoll(&expected, a[0], a[1], a[2]));
    }

    // Roll then pitch then yaw, each a quarter turn: x goes to y, then z, then x.
    D3DXQUATERNION q;
    D3DXQuaternionRotationYawPitchRoll(&q, D3DX_PI / 2, D3DX_PI / 2, D3DX_PI / 2);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 0, 0), MatrixOf(q)), D3DXVECTOR3(1, 0, 0));
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(0, 1, 0), MatrixOf(q)), D3DXVECTOR3(0, 0, 1));
}

TEST(D3DXQuaternion, IdentityConjugateAndNormalize)
{
    D3DXQUATERNION q;
    D3DXQuaternionIdentity(&q);
    EXPECT_TRUE(D3DXQuaternionIsIdentity(&q));
    ExpectMatrixNear(MatrixOf(q), {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

    // q followed by its conjugate is no rotation.
    const D3DXVECTOR3 axis(0, 1, 1);
    D3DXQUATERNION r, inverse, product;
    D3DXQuaternionRotationAxis(&r, &axis, 1.2f);
    D3DXQuaternionConjugate(&inverse, &r);
    D3DXQuaternionMultiply(&product, &r, &inverse);
    EXPECT_NEAR(product.w, 1.0f, kMathTolerance);
    EXPECT_NEAR(D3DXQuaternionLengthSq(&product), 1.0f, kMathTolerance);

    const D3DXQUATERNION scaled(0, 0, 3, 4), zero(0, 0, 0, 0);
    D3DXQuaternionNormalize(&q, &scaled);
    EXPECT_TRUE(q == D3DXQUATERNION(0, 0, 0.6f, 0.8f));
    D3DXQuaternionNormalize(&q, &zero);
    EXPECT_TRUE(q == zero);
}

} // namespace
