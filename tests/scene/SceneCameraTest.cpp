#include "scene/SceneCamera.h"

#include "core/FileIO.h"

#include <win32/layer.h>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace
{
class SceneCameraTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        win32::ResetWindowSystem();
        g_bFullScreenRequest = 0;
    }
    void TearDown() override { win32::ResetWindowSystem(); }

    static void Hold(int nKey, bool bDown) { win32::SetKeyStateDirect(static_cast<BYTE>(nKey), bDown, false); }
};

// One frame of 1/30 s is two integration steps. With force f (units per second squared), drag
// keeping k = 1 - dt of the velocity per step (mass 3, air resistance 3):
// v1 = k f dt, z1 = v1 dt; v2 = k (v1 + f dt), z2 = z1 + v2 dt.
double OneFrameDistance(double f)
{
    double dt = 1.0 / 30.0, k = 1.0 - dt;
    double v1 = k * f * dt;
    double v2 = k * (v1 + f * dt);
    return (v1 + v2) * dt;
}
}

TEST_F(SceneCameraTest, Defaults)
{
    SceneCamera camera;
    struct Field
    {
        const char* szName;
        double fValue;
        double fExpected;
    };
    const Field fields[] = {
        {"m_nType", static_cast<double>(camera.m_nType), 19},
        {"m_fFov", camera.m_fFov, 0.7853982f},
        {"m_fAspect", camera.m_fAspect, 0.65f},
        {"m_fFrontClip", camera.m_fFrontClip, 10},
        {"m_fBackClip", camera.m_fBackClip, 500000},
        {"m_nDofQuality", static_cast<double>(camera.m_nDofQuality), 8},
        {"m_nDofBlur", static_cast<double>(camera.m_nDofBlur), 10},
        {"m_fDofFar", camera.m_fDofFar, 350},
        {"m_fDofNear", camera.m_fDofNear, 60},
        {"m_fControlSpeed", camera.m_fControlSpeed, 1000},
        {"m_fFogDensity", camera.m_fFogDensity, 0.01f},
        {"m_fStoredValue1", camera.m_fStoredValue1, 0.1f},
        {"m_fStoredValue2", camera.m_fStoredValue2, 10},
        {"m_bDofActive", static_cast<double>(camera.m_bDofActive), 0},
        {"m_bSavePathRequest", static_cast<double>(camera.m_bSavePathRequest), 0},
        {"m_nCameraValue", static_cast<double>(camera.m_nCameraValue), 0},
        {"mass", camera.m_RigidBody.m_fMass, 3},
        {"air resistance", camera.m_RigidBody.m_fAirResistance, 3},
        {"angular air resistance", camera.m_RigidBody.m_fAngularAirResistance, 3},
        {"m_bControlEnabled", static_cast<double>(camera.m_bControlEnabled), 1},
        {"m_bPathPlaying", static_cast<double>(camera.m_bPathPlaying), 0},
    };
    for (const Field& f : fields)
        EXPECT_EQ(f.fValue, f.fExpected) << f.szName;
    EXPECT_STREQ(camera.m_szPathFile, "NONE");
    Vector3 vColor;
    EXPECT_EQ(*camera.GetDisplayColor(&vColor), Vector3(0.4f, 0.4f, 0.8f));
}

TEST_F(SceneCameraTest, KeyTableInOrder)
{
    const int expected[CAMERA_KEY_COUNT][2] = {
        {0, 'Q'},      {1, 'A'},       {2, 'S'},  {3, 'F'},  {4, VK_UP},     {5, VK_DOWN},   {6, 'K'},  {7, 'L'},
        {8, VK_LEFT},  {9, VK_RIGHT},  {10, 'O'}, {11, 'I'}, {13, 'T'},      {12, 'R'},      {14, VK_HOME}, {15, VK_END},
    };
    for (int i = 0; i < CAMERA_KEY_COUNT; ++i)
    {
        EXPECT_EQ(g_CameraKeyTable[i].m_nAction, expected[i][0]) << i;
        EXPECT_EQ(g_CameraKeyTable[i].m_nKey, expected[i][1]) << i;
    }
}

TEST_F(SceneCameraTest, UpArrowHeldOneFrameMovesTheCameraForward)
{
    SceneCamera camera;
    Hold(VK_UP, true);
    camera.Update(SceneCamera::STEP);
    EXPECT_EQ(camera.m_RigidBody.m_vLocalForce, Vector3(0.0f, 0.0f, 1000.0f));
    EXPECT_NEAR(OneFrameDistance(1000.0), 3.1864, 1e-4);
    EXPECT_NEAR(camera.m_RigidBody.m_vPosition.z, OneFrameDistance(1000.0), 1e-4);
    EXPECT_NEAR(camera.m_RigidBody.m_vPosition.x, 0.0f, 1e-6f);
    const Matrix4& world = *camera.m_RigidBody.GetWorldMatrix();
    EXPECT_NEAR(world.e[14], 3.1864f, 1e-4f);
    EXPECT_NEAR(camera.GetViewMatrix()->e[14], -3.1864f, 1e-4f);

    // The marker is scaled (-4, 4, 10) and placed by the body.
    const Matrix4& display = *camera.GetDisplayMatrix();
    EXPECT_EQ(display.e[0], -4.0f);
    EXPECT_EQ(display.e[5], 4.0f);
    EXPECT_EQ(display.e[10], 10.0f);
    EXPECT_NEAR(display.e[14], 3.1864f, 1e-4f);

    // Released: the camera coasts and slows down.
    Hold(VK_UP, false);
    float fSpeed = camera.m_RigidBody.m_vVelocity.z;
    camera.Update(SceneCamera::STEP);
    EXPECT_EQ(camera.m_RigidBody.m_vLocalForce, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_NEAR(camera.m_RigidBody.m_vVelocity.z, fSpeed * (29.0f / 30.0f) * (29.0f / 30.0f), 1e-3f);
}

TEST_F(SceneCameraTest, EachMotionKeyPushesItsOwnWay)
{
    struct Case
    {
        int nKey;
        Vector3 vForce;
        Vector3 vTorque;
    };
    const float t = 1000.0f / 30.0f;
    const Case cases[] = {
        {'Q', {0, 1000, 0}, {0, 0, 0}},  {'A', {0, -1000, 0}, {0, 0, 0}}, {'S', {-1000, 0, 0}, {0, 0, 0}},
        {'F', {1000, 0, 0}, {0, 0, 0}},  {VK_DOWN, {0, 0, -1000}, {0, 0, 0}}, {'K', {0, 0, 0}, {-t, 0, 0}},
        {'L', {0, 0, 0}, {t, 0, 0}},     {VK_LEFT, {0, 0, 0}, {0, -t, 0}}, {VK_RIGHT, {0, 0, 0}, {0, t, 0}},
        {'O', {0, 0, 0}, {0, 0, t}},     {'I', {0, 0, 0}, {0, 0, -t}},    {VK_HOME, {0, 0, 0}, {0, 0, 0}},
        {VK_END, {0, 0, 0}, {0, 0, 0}},
    };
    for (const Case& c : cases)
    {
        win32::ResetWindowSystem();
        SceneCamera camera;
        Hold(c.nKey, true);
        camera.Update(SceneCamera::STEP);
        EXPECT_EQ(camera.m_RigidBody.m_vLocalForce, c.vForce) << c.nKey;
        EXPECT_NEAR(camera.m_RigidBody.m_vLocalTorque.x, c.vTorque.x, 1e-4f) << c.nKey;
        EXPECT_NEAR(camera.m_RigidBody.m_vLocalTorque.y, c.vTorque.y, 1e-4f) << c.nKey;
        EXPECT_NEAR(camera.m_RigidBody.m_vLocalTorque.z, c.vTorque.z, 1e-4f) << c.nKey;
    }

    // Several keys add up.
    win32::ResetWindowSystem();
    SceneCamera camera;
    Hold(VK_UP, true);
    Hold('Q', true);
    Hold('F', true);
    camera.Update(SceneCamera::STEP);
    EXPECT_EQ(camera.m_RigidBody.m_vLocalForce, Vector3(1000.0f, 1000.0f, 1000.0f));
}

TEST_F(SceneCameraTest, RightArrowHeldOneFrameTurnsTheCamera)
{
    SceneCamera camera;
    Hold(VK_RIGHT, true);
    camera.Update(SceneCamera::STEP);
    // Torque 1000/30 about y: the yaw rate after each step is k (w + torque dt), the angle the
    // sum of rate x dt.
    double dt = 1.0 / 30.0, k = 1.0 - dt, torque = 1000.0 / 30.0;
    double w1 = k * torque * dt, w2 = k * (w1 + torque * dt);
    double fYaw = (w1 + w2) * dt;
    const Matrix4& world = *camera.m_RigidBody.GetWorldMatrix();
    EXPECT_NEAR(world.e[0], std::cos(fYaw), 1e-5);
    EXPECT_NEAR(world.e[2], -std::sin(fYaw), 1e-5);
    EXPECT_NEAR(world.e[8], std::sin(fYaw), 1e-5);
    EXPECT_NEAR(camera.m_RigidBody.m_vAngularVelocity.y, w2, 1e-5);
}

TEST_F(SceneCameraTest, ModifiersSilenceTheKeys)
{
    for (int nModifier : {VK_SHIFT, VK_CONTROL, VK_MENU})
    {
        win32::ResetWindowSystem();
        SceneCamera camera;
        Hold(VK_UP, true);
        Hold('T', true);
        Hold(nModifier, true);
        camera.Update(SceneCamera::STEP);
        EXPECT_EQ(camera.m_RigidBody.m_vPosition, Vector3(0.0f, 0.0f, 0.0f)) << nModifier;
        EXPECT_FALSE(camera.m_bRecordPath);
        EXPECT_EQ(g_bFullScreenRequest, 0);

        Hold(nModifier, false);
        camera.Update(SceneCamera::STEP);
        EXPECT_GT(camera.m_RigidBody.m_vPosition.z, 3.0f) << nModifier;
        EXPECT_TRUE(camera.m_bRecordPath);
        g_bFullScreenRequest = 0;
    }
}

TEST_F(SceneCameraTest, RecordAndSaveKeys)
{
    SceneCamera camera;
    Hold('T', true);
    camera.Update(SceneCamera::STEP);
    EXPECT_TRUE(camera.m_bRecordPath);
    EXPECT_EQ(g_bFullScreenRequest, 1);
    EXPECT_EQ(camera.m_bSavePathRequest, 0);

    Hold('T', false);
    Hold('R', true);
    camera.Update(SceneCamera::STEP);
    EXPECT_FALSE(camera.m_bRecordPath);
    EXPECT_EQ(g_bFullScreenRequest, 0);
    EXPECT_EQ(camera.m_bSavePathRequest, 1);
    EXPECT_EQ(camera.m_RigidBody.m_vPosition, Vector3(0.0f, 0.0f, 0.0f));
}

TEST_F(SceneCameraTest, FocusLossAndAZeroStepIntegrateNothing)
{
    SceneCamera camera;
    Hold(VK_UP, true);
    camera.Update(0.0f);
    EXPECT_EQ(camera.m_RigidBody.m_vLocalForce, Vector3(0.0f, 0.0f, 1000.0f));
    EXPECT_EQ(camera.m_RigidBody.m_vPosition, Vector3(0.0f, 0.0f, 0.0f));

    EXPECT_EQ(camera.HandleMessage(nullptr, WM_KILLFOCUS, 0, 0), 0);
    EXPECT_EQ(camera.m_bControlEnabled, 0);
    camera.Update(SceneCamera::STEP);
    EXPECT_EQ(camera.m_RigidBody.m_vPosition, Vector3(0.0f, 0.0f, 0.0f));

    camera.HandleMessage(nullptr, WM_SETFOCUS, 0, 0);
    camera.Update(SceneCamera::STEP);
    EXPECT_NEAR(camera.m_RigidBody.m_vPosition.z, 3.1864f, 1e-4f);
}

TEST_F(SceneCameraTest, APlayingPathTakesOverFromTheKeys)
{
    const std::string key = " 0 0 5\n 0 0 0 1\n";
    std::string text = "4 1.0\n 0 0 0\n 0 0 0 1\n 0 0 5\n 0 0 0 1\n 0 0 10\n 0 0 0 1\n 0 0 5\n 0 0 0 1\n";
    std::string path = ::testing::TempDir() + "scene_camera.pth";
    ASSERT_TRUE(WriteFileAtomic(path.c_str(), text.data(), text.size()));

    SceneCamera camera;
    ASSERT_TRUE(camera.LoadPath(path.c_str()));
    camera.m_bPathPlaying = 1;
    Hold(VK_UP, true);
    Hold('T', true);
    camera.Update(0.25f);  // key 1
    EXPECT_NEAR(camera.m_RigidBody.GetWorldMatrix()->e[14], 5.0f, 1e-4f);
    EXPECT_EQ(camera.m_RigidBody.m_vVelocity, Vector3(0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(camera.m_bRecordPath);

    // Without focus the keys stay silent, but the path still moves the camera.
    camera.HandleMessage(nullptr, WM_KILLFOCUS, 0, 0);
    camera.Update(0.25f);  // key 2
    EXPECT_NEAR(camera.m_RigidBody.GetWorldMatrix()->e[14], 10.0f, 1e-4f);

    camera.HandleMessage(nullptr, WM_SETFOCUS, 0, 0);
    camera.m_bPathPlaying = 0;
    camera.Update(SceneCamera::STEP);
    EXPECT_GT(camera.m_RigidBody.m_vVelocity.z, 0.0f);
}

TEST_F(SceneCameraTest, LongAndHugeStepsEnd)
{
    SceneCamera camera;
    Hold(VK_UP, true);
    camera.Update(1.0f);  // fifteen passes of two steps each
    EXPECT_GT(camera.m_RigidBody.m_vPosition.z, 0.0f);
    SceneCamera other;
    other.Update(1.0e30f);
    EXPECT_TRUE(std::isfinite(other.m_RigidBody.m_vPosition.z));
}
