// The sample room the build writes opens through the scene reader with what it promises.
#include "AppFixture.h"

#include "scene/MediaDirectory.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <cmath>
#include <map>

TEST_F(AppTest, SampleRoomOpensWithItsMeshesLightAndCamera)
{
    std::filesystem::copy(std::string(QUEN_DATA_DIR) + "/Media", m_strFolder + "/Media");
    std::snprintf(g_szWorkingDir, MEDIA_PATH_SIZE, "%s", m_strFolder.c_str());
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    SceneStore& scene = m_pApp->m_Scene;
    ASSERT_TRUE(scene.OpenQnlFile(QUEN_SAMPLE_SCENE, m_pApp->GetRenderer(), m_pApp->GetDevice()));
    EXPECT_EQ(CountLogLines(LOG_WARNING, {}), 0);
    EXPECT_EQ(CountLogLines(LOG_ERROR, {}), 0);

    // Name -> (axis of the flat side or -1 for the box, its coordinate, diffuse colour).
    struct Expected
    {
        int nFlatAxis;
        float fAt;
        float r, g, b;
        int nTriangles;
    };
    const std::map<std::string, Expected> expected = {
        {"Floor", {1, -5, 0.9f, 0.9f, 0.9f, 2}},      {"Ceiling", {1, 5, 0.9f, 0.9f, 0.9f, 2}},
        {"LeftWall", {0, -5, 0.9f, 0.1f, 0.1f, 2}},   {"RightWall", {0, 5, 0.1f, 0.9f, 0.1f, 2}},
        {"BackWall", {2, 5, 0.9f, 0.9f, 0.9f, 2}},    {"FrontWall", {2, -5, 0.9f, 0.9f, 0.9f, 2}},
        {"Box", {-1, 0, 0.9f, 0.9f, 0.9f, 12}},
    };
    ASSERT_EQ(scene.m_Meshes.GetCount(), expected.size());
    for (uint32_t i = 0; i < scene.m_Meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(scene.m_Meshes.Get(i));
        auto it = expected.find(pMesh->m_szName);
        ASSERT_NE(it, expected.end()) << pMesh->m_szName;
        const Expected& e = it->second;
        SCOPED_TRACE(pMesh->m_szName);
        EXPECT_EQ(pMesh->m_nTriangleCount, e.nTriangles);
        ASSERT_NE(pMesh->m_pMaterial, nullptr);
        EXPECT_NEAR(pMesh->m_pMaterial->m_Material.Diffuse.r, e.r, 1e-6);
        EXPECT_NEAR(pMesh->m_pMaterial->m_Material.Diffuse.g, e.g, 1e-6);
        EXPECT_NEAR(pMesh->m_pMaterial->m_Material.Diffuse.b, e.b, 1e-6);
        const float* b = pMesh->m_fBounds;   // min x, max x, min y, max y, min z, max z
        for (int nAxis = 0; nAxis < 3; ++nAxis)
        {
            float fLo = b[nAxis * 2], fHi = b[nAxis * 2 + 1];
            if (e.nFlatAxis < 0)
            {
                EXPECT_NEAR(fHi - fLo, 3.0f, 1e-5) << "box side " << nAxis;
            }
            else if (nAxis == e.nFlatAxis)
            {
                EXPECT_NEAR(fLo, e.fAt, 1e-5);
                EXPECT_NEAR(fHi, e.fAt, 1e-5);
            }
            else
            {
                EXPECT_NEAR(fLo, -5.0f, 1e-5);
                EXPECT_NEAR(fHi, 5.0f, 1e-5);
            }
        }
        Vector3 vCentre((b[0] + b[1]) / 2, (b[2] + b[3]) / 2, (b[4] + b[5]) / 2);
        if (e.nFlatAxis < 0)
        {
            EXPECT_NEAR(b[2], -5.0f, 1e-5) << "the box stands on the floor";
            EXPECT_GT(std::fabs(vCentre.x) + std::fabs(vCentre.z), 1.0f) << "the box is off-centre";
        }
        // Every normal is a unit vector facing its own triangle's winding, and points into the
        // room (walls) or out of the box.
        for (int v = 0; v < pMesh->m_nVertexCount; v += 3)
        {
            const MeshVertex* t = &pMesh->m_pVertices[v];
            Vector3 n = t[0].vNormal;
            EXPECT_NEAR(Length(n), 1.0f, 1e-5);
            EXPECT_GT(Dot(Cross(t[1].vPosition - t[0].vPosition, t[2].vPosition - t[0].vPosition), n), 0.0f);
            Vector3 vToCentre = (e.nFlatAxis < 0 ? t[0].vPosition - vCentre : Vector3(0, 0, 0) - t[0].vPosition);
            EXPECT_GT(Dot(vToCentre, n), 0.0f);
        }
    }

    ASSERT_EQ(scene.m_Lights.GetCount(), 1u);
    auto* pLight = static_cast<SceneLight*>(scene.m_Lights.Get(0));
    EXPECT_EQ(pLight->m_Light.Type, D3DLIGHT_POINT);
    EXPECT_FLOAT_EQ(pLight->m_vLightPosition.x, 0.0f);
    EXPECT_FLOAT_EQ(pLight->m_vLightPosition.y, 3.0f);
    EXPECT_FLOAT_EQ(pLight->m_vLightPosition.z, 0.0f);
    EXPECT_FLOAT_EQ(pLight->m_Light.Diffuse.r, 1.0f);
    EXPECT_FLOAT_EQ(pLight->m_Light.Diffuse.g, 1.0f);
    EXPECT_FLOAT_EQ(pLight->m_Light.Diffuse.b, 1.0f);
    EXPECT_EQ(pLight->m_bEnabled, 1);

    // The camera stands inside the room and looks along +z, towards the back wall.
    const RigidBody& body = scene.m_Camera.m_RigidBody;
    EXPECT_LT(std::fabs(body.m_vPosition.x), 5.0f);
    EXPECT_LT(std::fabs(body.m_vPosition.y), 5.0f);
    EXPECT_LT(body.m_vPosition.z, -2.0f);
    EXPECT_GT(body.m_vPosition.z, -5.0f);
    EXPECT_FLOAT_EQ(body.m_qOrientation.w, 1.0f);
    EXPECT_LT(scene.m_Camera.m_fFrontClip, 0.5f);
    EXPECT_GT(scene.m_Camera.m_fBackClip, 20.0f);
    scene.Clear(m_pApp->GetRenderer());
}
