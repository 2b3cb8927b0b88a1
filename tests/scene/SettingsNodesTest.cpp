#include "scene/CameraFrustum.h"
#include "scene/SettingsNodes.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SettingsNodesTest, ImageSettingsDefaults)
{
    ImageSettings node;
    struct Field
    {
        const char* szName;
        int nValue;
        int nExpected;
    };
    const Field fields[] = {
        {"m_bImageFlag", node.m_bImageFlag, 0},       {"m_nImageValue", node.m_nImageValue, 2},
        {"m_nImageFormat", node.m_nImageFormat, 1},   {"m_nOutputWidth", node.m_nOutputWidth, 640},
        {"m_nOutputHeight", node.m_nOutputHeight, 480}, {"m_nType", node.m_nType, 0},
    };
    for (const Field& f : fields)
        EXPECT_EQ(f.nValue, f.nExpected) << f.szName;
    EXPECT_STREQ(node.m_szImagePath, "Images/Default.bmp");
    EXPECT_EQ(node.m_bControlEnabled, 0);
    EXPECT_EQ(node.m_pPath, nullptr);
}

TEST(SettingsNodesTest, RenderSettingsDefaults)
{
    RenderSettings node;
    const double values[16] = {
        static_cast<double>(node.m_nRenderValue1),  static_cast<double>(node.m_nRenderValue2),
        static_cast<double>(node.m_nRenderValue3),  static_cast<double>(node.m_nRenderValue4),
        static_cast<double>(node.m_nRenderValue5),  node.m_fRenderValue6,
        static_cast<double>(node.m_nRenderValue7),  node.m_fRenderValue8,
        static_cast<double>(node.m_nRenderValue9),  static_cast<double>(node.m_nRenderValue10),
        static_cast<double>(node.m_nRenderValue11), static_cast<double>(node.m_nRenderValue12),
        static_cast<double>(node.m_nRenderValue13), static_cast<double>(node.m_nRenderValue14),
        node.m_fRenderValue15,                      node.m_fRenderValue16,
    };
    const double expected[16] = {25, 32, 32, 8, 128, 1.0, 32, 1.0, 500, 2, 1, 1, 1, 1, 0.1f, 2.0};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(values[i], expected[i]) << "value " << i + 1;
    EXPECT_EQ(node.m_nType, 0);
}

TEST(SettingsNodesTest, EnvironmentSettingsDefaults)
{
    EnvironmentSettings node;
    EXPECT_STREQ(node.m_szEnvironmentPath, "Media/envdef.dds");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(node.m_EnvironmentValues[i], 0);
    EXPECT_EQ(node.m_bEnvironmentFlag1, 0);
    EXPECT_EQ(node.m_bEnvironmentFlag2, 0);
    EXPECT_EQ(node.m_nType, 0);

    // Deleted through the scene-object part, as the store does.
    SceneObject* pObject = new EnvironmentSettings;
    pObject->SetType(TREE_ITEM_ENVIRONMENT_SETTINGS);
    EXPECT_EQ(static_cast<EnvironmentSettings*>(pObject)->m_nType, 32);
    delete pObject;
}

TEST(CameraFrustumTest, CornersAndPlanesOfAUnitFrustum)
{
    Matrix4 identity;
    identity.SetIdentity();
    BuildCameraFrustum(Vector3(0.0f, 0.0f, 0.0f), identity, 90.0f, 1.0f, 1.0f, 10.0f);
    // tan 45 = 1: the near corners are one unit off the axis, the far ones ten.
    const Vector3 corners[8] = {{1, -1, 1},   {-1, -1, 1},  {1, 1, 1},   {-1, 1, 1},
                                {10, -10, 10}, {-10, -10, 10}, {10, 10, 10}, {-10, 10, 10}};
    for (int q = 0; q < 8; ++q)
    {
        EXPECT_NEAR(g_vCameraFrustumCorners[q].x, corners[q].x, 1e-5f) << "V" << q;
        EXPECT_NEAR(g_vCameraFrustumCorners[q].y, corners[q].y, 1e-5f) << "V" << q;
        EXPECT_NEAR(g_vCameraFrustumCorners[q].z, corners[q].z, 1e-5f) << "V" << q;
    }
    // The near plane z = 1 facing the camera, and the far plane z = 10 facing away.
    EXPECT_NEAR(g_CameraFrustumPlanes[0].c, -1.0f, 1e-6f);
    EXPECT_NEAR(g_CameraFrustumPlanes[0].d, 1.0f, 1e-6f);
    EXPECT_NEAR(g_CameraFrustumPlanes[1].c, 1.0f, 1e-6f);
    EXPECT_NEAR(g_CameraFrustumPlanes[1].d, -10.0f, 1e-5f);

    struct Case
    {
        Vector3 vCentre;
        float fRadius;
        int nInside;
    };
    const Case cases[] = {
        {{0, 0, 5}, 0.5f, 1},    {{0, 0, 0}, 0.5f, 0},   {{0, 0, 0}, 1.0f, 1},  {{0, 0, 11}, 0.5f, 0},
        {{0, 0, 10.4f}, 0.5f, 1}, {{6, 0, 5}, 0.5f, 0},   {{0, -6, 5}, 0.5f, 0}, {{5.2f, 0, 5}, 0.5f, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSphereInCameraFrustum(c.fRadius, c.vCentre), c.nInside)
            << c.vCentre.x << ", " << c.vCentre.y << ", " << c.vCentre.z;
}

TEST(CameraFrustumTest, FollowsTheCameraAxesAndOrigin)
{
    // Looking along +x (Z column = x), with X along -z and Y up, from (1, 2, 3).
    Matrix4 m;
    m.SetIdentity();
    m.e[0] = 0.0f;   // X = (0, 0, -1): _11, _21, _31
    m.e[4] = 0.0f;
    m.e[8] = -1.0f;
    m.e[2] = 1.0f;   // Z = (1, 0, 0): _13, _23, _33
    m.e[6] = 0.0f;
    m.e[10] = 0.0f;
    BuildCameraFrustum(Vector3(1.0f, 2.0f, 3.0f), m, 90.0f, 2.0f, 1.0f, 10.0f);
    // V0 = origin + Z - Y + aspect X.
    EXPECT_NEAR(g_vCameraFrustumCorners[0].x, 2.0f, 1e-5f);
    EXPECT_NEAR(g_vCameraFrustumCorners[0].y, 1.0f, 1e-5f);
    EXPECT_NEAR(g_vCameraFrustumCorners[0].z, 1.0f, 1e-5f);
    EXPECT_EQ(IsSphereInCameraFrustum(0.1f, Vector3(6.0f, 2.0f, 3.0f)), 1);
    EXPECT_EQ(IsSphereInCameraFrustum(0.1f, Vector3(-4.0f, 2.0f, 3.0f)), 0);
}
