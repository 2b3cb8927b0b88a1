// Matrix products, inverse and the elementary transforms, against values worked out by hand.
#include "MathTestUtil.h"

#include <cmath>

namespace
{

TEST(D3DXMatrix, MultiplyAppliesFirstFactorFirst)
{
    // Translate by (1, 0, 0), then scale by 2: the point (1, 1, 1) becomes (4, 2, 2).
    D3DXMATRIX translate, scale, product;
    D3DXMatrixTranslation(&translate, 1.0f, 0.0f, 0.0f);
    D3DXMatrixScaling(&scale, 2.0f, 2.0f, 2.0f);
    D3DXMatrixMultiply(&product, &translate, &scale);
    ExpectVectorNear(TransformPoint(D3DXVECTOR3(1, 1, 1), product), D3DXVECTOR3(4, 2, 2));
    ExpectSameMatrix(translate * scale, product);

    // The output may alias either factor.
    D3DXMATRIX aliased = translate;
    D3DXMatrixMultiply(&aliased, &aliased, &scale);
    ExpectSameMatrix(aliased, product);
    aliased = scale;
    D3DXMatrixMultiply(&aliased, &translate, &aliased);
    ExpectSameMatrix(aliased, product);
}

TEST(D3DXMatrix, GeneralProductAndTranspose)
{
    const D3DXMATRIX a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    const D3DXMATRIX b(2, 0, 0, 1, 0, 1, 0, 0, 0, 0, 3, 0, 1, 0, 0, 1);
    // Row i of a·b = Σ_k a_ik row_k(b), worked out for each row of a.
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &a, &b);
    ExpectMatrixNear(product, {6, 2, 9, 5, 18, 6, 21, 13, 30, 10, 33, 21, 42, 14, 45, 29});

    D3DXMATRIX transposed;
    D3DXMatrixTranspose(&transposed, &a);
    ExpectMatrixNear(transposed, {1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15, 4, 8, 12, 16});
    D3DXMatrixMultiplyTranspose(&transposed, &a, &b);
    ExpectMatrixNear(transposed, {6, 18, 30, 42, 2, 6, 10, 14, 9, 21, 33, 45, 5, 13, 21, 29});
}

TEST(D3DXMatrix, IdentityIsRecognised)
{
    D3DXMATRIX m;
    D3DXMatrixIdentity(&m);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&m));
    m._43 = 1e-7f;
    EXPECT_FALSE(D3DXMatrixIsIdentity(&m));
}

TEST(D3DXMatrix, ElementaryRotationsQuarterTurn)
{
    // A quarter turn takes X: y to z, Y: z to x, Z: x to y (Direct3D's rotation sense).
    struct Case
    {
        D3DXMATRIX* (*rotate)(D3DXMATRIX*, FLOAT);
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {D3DXMatrixRotationX, {0, 1, 0}, {0, 0, 1}},  {D3DXMatrixRotationX, {0, 0, 1}, {0, -1, 0}},
        {D3DXMatrixRotationX, {1, 0, 0}, {1, 0, 0}},  {D3DXMatrixRotationY, {0, 0, 1}, {1, 0, 0}},
        {D3DXMatrixRotationY, {1, 0, 0}, {0, 0, -1}}, {D3DXMatrixRotationY, {0, 1, 0}, {0, 1, 0}},
        {D3DXMatrixRotationZ, {1, 0, 0}, {0, 1, 0}},  {D3DXMatrixRotationZ, {0, 1, 0}, {-1, 0, 0}},
        {D3DXMatrixRotationZ, {0, 0, 1}, {0, 0, 1}},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX m;
        c.rotate(&m, D3DX_PI / 2);
        ExpectVectorNear(TransformPoint(c.in, m), c.out);
    }

    // RotationY(θ) rows: (cos 0 -sin), (0 1 0), (sin 0 cos).
    D3DXMATRIX y;
    D3DXMatrixRotationY(&y, 0.5f);
    const float c = std::cos(0.5f), s = std::sin(0.5f);
    ExpectMatrixNear(y, {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1});
}

TEST(D3DXMatrix, RotationAxisNormalisesTheAxis)
{
    struct Case
    {
        D3DXVECTOR3 axis;
        float angle;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        {{0, 0, 5}, D3DX_PI / 2, {1, 0, 0}, {0, 1, 0}},
        {{-0.25f, 0, 0}, D3DX_PI / 2, {0, 1, 0}, {0, 0, -1}},
        // A third of a turn about the diagonal cycles the axes: x to y, y to z, z to x.
        {{3, 3, 3}, 2 * D3DX_PI / 3, {1, 0, 0}, {0, 1, 0}},
        {{3, 3, 3}, 2 * D3DX_PI / 3, {0, 1, 0}, {0, 0, 1}},
        {{3, 3, 3}, 2 * D3DX_PI / 3, {0, 0, 1}, {1, 0, 0}},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX m;
        D3DXMatrixRotationAxis(&m, &c.axis, c.angle);
        ExpectVectorNear(TransformPoint(c.in, m), c.out);
        EXPECT_NEAR(D3DXMatrixDeterminant(&m), 1.0f, kMathTolerance);
    }

    // About a coordinate axis it is the elementary rotation.
    D3DXMATRIX axisX, rotationX;
    const D3DXVECTOR3 x(7, 0, 0);
    ExpectSameMatrix(*D3DXMatrixRotationAxis(&axisX, &x, 0.3f), *D3DXMatrixRotationX(&rotationX, 0.3f));
}

TEST(D3DXMatrix, YawPitchRollAppliesRollThenPitchThenYaw)
{
    // Quarter turns: roll takes x to y, pitch y to z, yaw z to x.
    struct Case
    {
        float yaw, pitch, roll;
        D3DXVECTOR3 in, out;
    };
    const float q = D3DX_PI / 2;
    const Case cases[] = {
        {q, 0, 0, {0, 0, 1}, {1, 0, 0}},
        {0, q, 0, {0, 1, 0}, {0, 0, 1}},
        {0, 0, q, {1, 0, 0}, {0, 1, 0}},
        // x: roll to y, pitch to z, yaw to x.
        {q, q, q, {1, 0, 0}, {1, 0, 0}},
        // y: roll to -x, pitch keeps -x, yaw to z.
        {q, q, q, {0, 1, 0}, {0, 0, 1}},
        // z: roll keeps z, pitch to -y, yaw keeps -y.
        {q, q, q, {0, 0, 1}, {0, -1, 0}},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX m;
        D3DXMatrixRotationYawPitchRoll(&m, c.yaw, c.pitch, c.roll);
        ExpectVectorNear(TransformPoint(c.in, m), c.out);
    }

    // Any angles: the product RotationZ(roll) · RotationX(pitch) · RotationY(yaw).
    const float yaw = 0.7f, pitch = -0.4f, roll = 1.9f;
    D3DXMATRIX z, x, y, composed, ypr;
    D3DXMatrixRotationZ(&z, roll);
    D3DXMatrixRotationX(&x, pitch);
    D3DXMatrixRotationY(&y, yaw);
    composed = z * x * y;
    ExpectSameMatrix(*D3DXMatrixRotationYawPitchRoll(&ypr, yaw, pitch, roll), composed);
}

TEST(D3DXMatrix, InverseOfInvertibleMatrices)
{
    D3DXMATRIX rotation, translation, scaling, m, inverse, product;
    const D3DXVECTOR3 axis(1, 2, -3);
    D3DXMatrixRotationAxis(&rotation, &axis, 0.8f);
    D3DXMatrixTranslation(&translation, 4, -5, 6);
    D3DXMatrixScaling(&scaling, 2, 0.5f, 3);
    m = scaling * rotation * translation;

    float determinant = 0;
    ASSERT_EQ(D3DXMatrixInverse(&inverse, &determinant, &m), &inverse);
    EXPECT_NEAR(determinant, 3.0f, kMathTolerance); // 2 · 0.5 · 3, the rotation adds nothing
    D3DXMatrixMultiply(&product, &m, &inverse);
    ExpectMatrixNear(product, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1});

    // A translation's inverse moves back; a projective matrix inverts too.
    ASSERT_NE(D3DXMatrixInverse(&inverse, nullptr, &translation), nullptr);
    ExpectMatrixNear(inverse, {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -4, 5, -6, 1});
    const D3DXMATRIX projective(2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 1, 1, 0, 0, -1, 0);
    ASSERT_NE(D3DXMatrixInverse(&inverse, &determinant, &projective), nullptr);
    EXPECT_NEAR(determinant, 6.0f, kMathTolerance);
    ExpectMatrixNear(inverse, {0.5f, 0, 0, 0, 0, 1.0f / 3, 0, 0, 0, 0, 0, -1, 0, 0, 1, 1});
}

TEST(D3DXMatrix, SingularInverseFailsAndLeavesOutput)
{
    const D3DXMATRIX singular[] = {
        // A zero row.
        {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
        // A repeated row.
        {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 0, 0, 0, 1},
        // A scaled row.
        {1, 2, 3, 0, 2, 4, 6, 0, 0, 1, 1, 0, 0, 0, 0, 1},
        // A projection flattening z.
        {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 3, 4, 5, 1},
        // Rows in arithmetic progression are linearly dependent.
        {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
    };
    for (const D3DXMATRIX& m : singular)
    {
        D3DXMATRIX out(-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
        const D3DXMATRIX before = out;
        float determinant = 99;
        EXPECT_EQ(D3DXMatrixInverse(&out, &determinant, &m), nullptr);
        EXPECT_EQ(determinant, 0.0f);
        EXPECT_TRUE(out == before);
    }
}

TEST(D3DXMatrix, TransformationComposesAboutCentres)
{
    const D3DXVECTOR3 centre(1, 0, 0), scaling(2, 2, 2), translation(0, 0, 10);
    D3DXQUATERNION quarterZ, eighthZ;
    const D3DXVECTOR3 zAxis(0, 0, 1);
    D3DXQuaternionRotationAxis(&quarterZ, &zAxis, D3DX_PI / 2);
    D3DXQuaternionRotationAxis(&eighthZ, &zAxis, D3DX_PI / 4);
    const D3DXVECTOR3 stretchX(2, 1, 1);

    struct Case
    {
        const D3DXVECTOR3* scalingCenter;
        const D3DXQUATERNION* scalingRotation;
        const D3DXVECTOR3* scaling;
        const D3DXVECTOR3* rotationCenter;
        const D3DXQUATERNION* rotation;
        const D3DXVECTOR3* translation;
        D3DXVECTOR3 in, out;
    };
    const Case cases[] = {
        // Everything NULL is the identity.
        {nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {3, 4, 5}, {3, 4, 5}},
        // Scaling about (1, 0, 0): (2, 0, 0) moves to (3, 0, 0); the centre stays.
        {&centre, nullptr, &scaling, nullptr, nullptr, nullptr, {2, 0, 0}, {3, 0, 0}},
        {&centre, nullptr, &scaling, nullptr, nullptr, nullptr, {1, 0, 0}, {1, 0, 0}},
        // A quarter turn about z around (1, 0, 0): (2, 0, 0) goes to (1, 1, 0).
        {nullptr, nullptr, nullptr, &centre, &quarterZ, nullptr, {2, 0, 0}, {1, 1, 0}},
        // Stretching x in a frame turned an eighth about z stretches along (1, 1, 0) only.
        {nullptr, &eighthZ, &stretchX, nullptr, nullptr, nullptr, {1, 1, 0}, {2, 2, 0}},
        {nullptr, &eighthZ, &stretchX, nullptr, nullptr, nullptr, {1, -1, 0}, {1, -1, 0}},
        // Scale, then rotate, then translate.
        {nullptr, nullptr, &scaling, nullptr, &quarterZ, &translation, {1, 0, 0}, {0, 2, 10}},
    };
    for (const Case& c : cases)
    {
        D3DXMATRIX m;
        D3DXMatrixTransformation(&m, c.scalingCenter, c.scalingRotation, c.scaling, c.rotationCenter,
                                 c.rotation, c.translation);
        ExpectVectorNear(TransformPoint(c.in, m), c.out);
    }
}

TEST(D3DXMatrix, OperatorsMatchTheFunctions)
{
    const D3DXMATRIX a(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16);
    D3DXMATRIX b;
    D3DXMatrixRotationX(&b, 0.25f);
    D3DXMATRIX product = a;
    product *= b;
    ExpectSameMatrix(product, a * b);
    ExpectSameMatrix(a + a, a * 2.0f);
    ExpectSameMatrix(a - a, D3DXMATRIX(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    EXPECT_EQ(a(3, 2), 15.0f);
    EXPECT_EQ(a.m[1][3], a._24);
}

} // namespace
