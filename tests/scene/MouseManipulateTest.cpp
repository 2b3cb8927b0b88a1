// MouseManipulate: pans by the share of the smaller window side moved, dollies, arc-ball turns
// for a known drag, and nothing before a window size is set; SceneNode's message forwarding.
#include "scene/MouseManipulate.h"
#include "scene/SceneNode.h"

#include <win32/messages.h>

#include <gtest/gtest.h>

#include <cmath>

namespace
{
class MouseManipulateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetManipulateWindowSize(400, 300);
        g_nManipulateLastX = g_nManipulateLastY = 0;
        g_vLastArcball = Vector3(0, 0, 0);
    }
    void TearDown() override { SetManipulateWindowSize(0, 0); }

    static void Move(SceneNodeBase& node, WPARAM nButtons, int x, int y)
    {
        MouseManipulate(&node, nullptr, WM_MOUSEMOVE, nButtons, MAKELPARAM(x, y));
    }
    SceneNode m_node;
};

TEST_F(MouseManipulateTest, RightButtonPansByTheShareOfTheSmallerSide)
{
    Move(m_node, 0, 100, 100);
    Move(m_node, MK_RBUTTON, 110, 100);
    EXPECT_NEAR(m_node.GetWorldMatrix()->e[12], 10.0f / 300, 1e-6f);
    EXPECT_EQ(m_node.GetWorldMatrix()->e[13], 0.0f);
    // Right and left together: only the pan.
    Move(m_node, MK_RBUTTON | MK_LBUTTON, 110, 130);
    EXPECT_NEAR(m_node.GetWorldMatrix()->e[13], 30.0f / 300, 1e-6f);
    EXPECT_NEAR(m_node.m_RigidBody.m_qOrientation.w, 1.0f, 1e-6f);
    // Middle: a dolly along z by the vertical move.
    Move(m_node, MK_MBUTTON, 0, 70);
    EXPECT_NEAR(m_node.GetWorldMatrix()->e[14], -60.0f / 300, 1e-6f);
}

TEST_F(MouseManipulateTest, LeftDragTurnsAboutTheAxisBetweenArcballVectors)
{
    Move(m_node, MK_LBUTTON, 200, 150);   // the first move only records (0, 0, 1)
    EXPECT_NEAR(m_node.m_RigidBody.m_qOrientation.w, 1.0f, 1e-6f);
    Move(m_node, MK_LBUTTON, 275, 150);   // to (0.5, 0, sqrt 0.75): 30 degrees about -y
    D3DXQUATERNION expected;
    D3DXVECTOR3 axis(0, -1, 0);
    D3DXQuaternionRotationAxis(&expected, &axis, D3DX_PI / 6);
    const D3DXQUATERNION& q = m_node.m_RigidBody.m_qOrientation;
    EXPECT_NEAR(q.x, expected.x, 1e-5f);
    EXPECT_NEAR(q.y, expected.y, 1e-5f);
    EXPECT_NEAR(q.z, expected.z, 1e-5f);
    EXPECT_NEAR(q.w, expected.w, 1e-5f);
}

TEST_F(MouseManipulateTest, PointsOutsideTheCentreSquareClampToTheRim)
{
    Vector3 v = ManipulateArcballVector(399, 0);
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 1.0f);
    EXPECT_EQ(v.z, 0.0f);
}

TEST_F(MouseManipulateTest, WithoutAWindowSizeTheNodeStays)
{
    SetManipulateWindowSize(0, 0);
    Move(m_node, 0, 10, 10);
    Move(m_node, MK_RBUTTON, 50, 60);
    Move(m_node, MK_LBUTTON, 80, 20);
    EXPECT_EQ(m_node.GetWorldMatrix()->e[12], 0.0f);
    EXPECT_EQ(m_node.GetWorldMatrix()->e[13], 0.0f);
    EXPECT_EQ(m_node.m_RigidBody.m_qOrientation.w, 1.0f);
    EXPECT_EQ(g_nManipulateLastX, 80);
}

TEST_F(MouseManipulateTest, SceneNodeForwardsMovesAndFocus)
{
    Move(m_node, 0, 100, 100);
    m_node.HandleMessage(nullptr, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(130, 100));
    EXPECT_NEAR(m_node.GetWorldMatrix()->e[12], 30.0f / 300, 1e-6f);
    m_node.HandleMessage(nullptr, WM_SETFOCUS, 0, 0);
    EXPECT_EQ(m_node.m_bControlEnabled, 1);
    m_node.HandleMessage(nullptr, WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(m_node.m_bControlEnabled, 0);
}
}
