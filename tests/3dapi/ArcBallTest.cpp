// ArcBall: sphere points, a known drag as a rotation about y, pans and dollies by the window
// fraction moved, and no input before a window is set; ViewCamera's default view.
#include "3dapi/ArcBall.h"
#include "3dapi/ViewCamera.h"

#include <win32/messages.h>

#include <gtest/gtest.h>

#include <cmath>

namespace
{
void ExpectVector(const D3DXVECTOR3& v, float x, float y, float z)
{
    EXPECT_NEAR(v.x, x, 1e-5f);
    EXPECT_NEAR(v.y, y, 1e-5f);
    EXPECT_NEAR(v.z, z, 1e-5f);
}

void ExpectMatrix(const D3DXMATRIX& a, const D3DXMATRIX& b)
{
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(a.m[i / 4][i % 4], b.m[i / 4][i % 4], 1e-5f) << "element " << i;
}

TEST(ArcBall, ScreenPointsMapOntoTheSphereOrItsRim)
{
    ArcBall ball;
    ball.SetWindow(200, 100, 1.0f);
    ExpectVector(ball.ScreenToSphere(100, 50), 0, 0, 1);
    // sx = (100 - 50) / 100, sy = (75 - 50) / 50.
    const float sx = 0.5f, sy = 0.5f;
    ExpectVector(ball.ScreenToSphere(50, 75), sx, sy, std::sqrt(1 - sx * sx - sy * sy));
    // Beyond the sphere: scaled onto the rim.
    D3DXVECTOR3 rim = ball.ScreenToSphere(0, 0);
    EXPECT_NEAR(rim.x * rim.x + rim.y * rim.y, 1.0f, 1e-5f);
    EXPECT_EQ(rim.z, 0.0f);
    EXPECT_GT(rim.x, 0.0f);
    EXPECT_LT(rim.y, 0.0f);
    ball.m_bRightHanded = 1;
    ExpectVector(ball.ScreenToSphere(50, 75), -sx, -sy, std::sqrt(1 - sx * sx - sy * sy));
}

TEST(ArcBall, ADragFromTheCentreRotatesAboutTheAxisBetweenItsPoints)
{
    ArcBall ball;
    ball.SetWindow(200, 100, 1.0f);
    EXPECT_EQ(ball.HandleMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50)), 1);
    // To sphere point (0.5, 0, sqrt 0.75): 30 degrees about +y.
    EXPECT_EQ(ball.HandleMessage(nullptr, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50)), 1);
    D3DXMATRIX expected;
    D3DXMatrixRotationY(&expected, D3DX_PI / 6);
    ExpectMatrix(ball.m_matRotation, expected);
    ExpectMatrix(ball.m_matRotationDelta, expected);
    D3DXVECTOR3 v(0, 0, 1), turned;
    D3DXVec3TransformNormal(&turned, &v, &ball.m_matRotation);
    ExpectVector(turned, 0.5f, 0.0f, std::sqrt(0.75f));

    // A second drag continues from the rotation the first one left.
    ball.HandleMessage(nullptr, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    ball.HandleMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 50));
    ball.HandleMessage(nullptr, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(50, 50));
    D3DXMatrixRotationY(&expected, D3DX_PI / 3);
    ExpectMatrix(ball.m_matRotation, expected);
}

TEST(ArcBall, AMoveWithTheLeftButtonBeforeAnyPressOnlyStartsDragging)
{
    ArcBall ball;
    ball.SetWindow(200, 100, 1.0f);
    g_vArcBallDown = D3DXVECTOR3(0, 0, 1);
    EXPECT_EQ(ball.HandleMessage(nullptr, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 30)), 1);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ExpectMatrix(ball.m_matRotationDelta, identity);
    ExpectMatrix(ball.m_matRotation, identity);
    EXPECT_EQ(ball.m_bDragging, 1);
    ExpectVector(g_vArcBallDown, 0, 0, 1);
}

TEST(ArcBall, PansAndDolliesMoveByTheShareOfTheWindow)
{
    ArcBall ball;
    ball.SetWindow(200, 100, 1.0f);
    ball.SetTranslationRadius(2.0f);
    ball.HandleMessage(nullptr, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(10, 20));
    // dx = (10 - 30) x 2 / 200 = -0.2, dy = (20 - 40) x 2 / 100 = -0.4: translation (0.4, -0.8, 0).
    // Right and middle held together follow the right-button rule.
    ball.HandleMessage(nullptr, WM_MOUSEMOVE, MK_RBUTTON | MK_MBUTTON, MAKELPARAM(30, 40));
    EXPECT_NEAR(ball.m_matTranslation._41, 0.4f, 1e-6f);
    EXPECT_NEAR(ball.m_matTranslation._42, -0.8f, 1e-6f);
    EXPECT_EQ(ball.m_matTranslation._43, 0.0f);
    // Middle only: dolly of 5 dy along z, from the position stored by the last move.
    ball.HandleMessage(nullptr, WM_MOUSEMOVE, MK_MBUTTON, MAKELPARAM(30, 45));
    EXPECT_NEAR(ball.m_matTranslationDelta._43, 5.0f * (40 - 45) * 2.0f / 100, 1e-6f);
    EXPECT_NEAR(ball.m_matTranslation._43, -0.5f, 1e-6f);
    EXPECT_EQ(ball.HandleMessage(nullptr, WM_RBUTTONUP, 0, 0), 0);
    EXPECT_EQ(ball.HandleMessage(nullptr, WM_LBUTTONDBLCLK, 0, 0), 0);
}

TEST(ArcBall, WithoutAWindowInputIsIgnored)
{
    ArcBall ball;
    ExpectVector(ball.ScreenToSphere(10, 10), 0, 0, 1);
    EXPECT_EQ(ball.HandleMessage(nullptr, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10)), 0);
    EXPECT_EQ(ball.HandleMessage(nullptr, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(50, 50)), 0);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    ExpectMatrix(ball.m_matTranslation, identity);
    EXPECT_EQ(ball.m_bDragging, 0);
}

TEST(ArcBall, EqualDirectionsGiveTheIdentityRotation)
{
    D3DXQUATERNION q = QuaternionFromVectors(D3DXVECTOR3(0, 2, 0), D3DXVECTOR3(0, 5, 0));
    EXPECT_NEAR(q.x, 0, 1e-6f);
    EXPECT_NEAR(q.y, 0, 1e-6f);
    EXPECT_NEAR(q.z, 0, 1e-6f);
    EXPECT_NEAR(q.w, 1, 1e-6f);
}

TEST(ViewCamera, DefaultLooksDownZWithAQuarterPiProjection)
{
    ViewCamera camera;
    ExpectVector(camera.m_vViewDir, 0, 0, 1);
    ExpectVector(camera.m_vCross, -1, 0, 0);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, 1, 1, 1000);
    ExpectMatrix(camera.m_matProjection, projection);

    // The billboard undoes the view's rotation and has no translation.
    camera.SetView(D3DXVECTOR3(3, 4, 5), D3DXVECTOR3(4, 4, 5), D3DXVECTOR3(0, 1, 0));
    ExpectVector(camera.m_vViewDir, 1, 0, 0);
    D3DXMATRIX product;
    D3DXMatrixMultiply(&product, &camera.m_matBillboard, &camera.m_matView);
    EXPECT_NEAR(product._11, 1, 1e-5f);
    EXPECT_NEAR(product._13, 0, 1e-5f);
    EXPECT_EQ(camera.m_matBillboard._41, 0.0f);
    EXPECT_EQ(camera.m_matBillboard._43, 0.0f);
}
}
