// The lighting constants: jitter table, spot frames (also for a light straight down), the
// registers the point, spot and directional setters write, the moving mesh's sphere centre,
// the shadow level's cap and the layer passes' jitter entries.
#include "raster/LightConstants.h"

#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace
{
constexpr float PI = 3.14159265358979f;

class LightConstantsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FillJitterDirections(m_Jitter);
        m_Material.m_Material.Diffuse = {0.9f, 0.8f, 0.7f, 1};
        m_Material.m_Material.Specular = {0.5f, 0.4f, 0.3f, 1};
        m_Material.m_Material.Ambient = {0.2f, 0, 0, 0};
        m_Material.m_Material.Power = 2000.0f;
        m_Material.m_vRefraction[0] = 1.44f;
        m_Material.m_fMaterialFactor = 1.5f;
        m_Material.m_fMaterialValue1 = 0.03f;
        m_Mesh.m_pMaterial = &m_Material;
        m_Mesh.m_fSphereRadius = 2.0f;
        m_Mesh.m_vOffset = Vector3(1, 2, 3);
        m_Mesh.m_vSphereCentre = Vector3(1, 2, 3);
        // The mesh has moved since it was loaded: its world matrix puts it at (4, 5, 6).
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, 4, 5, 6);
        m_Mesh.m_matWorld = ToMatrix4(world);
        m_Light.m_Light.Type = D3DLIGHT_SPOT;
        m_Light.m_Light.Diffuse = {1, 0.9f, 0.8f, 1};
        m_Light.m_Light.Direction = {0.3f, -0.2f, 0.9f};
        m_Light.m_Light.Theta = 40.0f;
        m_Light.m_Light.Phi = 60.0f;
        m_Light.m_Light.Attenuation1 = 5.0f;
        m_Light.m_Light.Attenuation2 = 2.0f;
        m_Light.m_vLightPosition = Vector3(-3, 8, 1);
        D3DXMatrixIdentity(&m_Frame.view);
        D3DXMatrixPerspectiveFovLH(&m_Frame.projection, PI / 3, 4.0f / 3.0f, 1, 100);
        m_Frame.eye = D3DXVECTOR3(7, 8, -9);
    }

    static void ExpectRegister(const ConstantTable& table, int n, float x, float y, float z, float w)
    {
        EXPECT_TRUE(table.nWritten & (1u << n)) << "c" << n;
        EXPECT_NEAR(table.c[n][0], x, 1e-6f) << "c" << n;
        EXPECT_NEAR(table.c[n][1], y, 1e-6f) << "c" << n;
        EXPECT_NEAR(table.c[n][2], z, 1e-6f) << "c" << n;
        EXPECT_NEAR(table.c[n][3], w, 1e-6f) << "c" << n;
    }

    static bool AllFinite(const ConstantTable& table)
    {
        for (int n = 0; n < 32; ++n)
            for (float f : table.c[n])
                if (!std::isfinite(f))
                    return false;
        return true;
    }

    D3DXVECTOR4 m_Jitter[JITTER_DIRECTIONS];
    SceneMaterial m_Material;
    SceneMesh m_Mesh;
    SceneLight m_Light;
    LightFrame m_Frame;
};
}

TEST_F(LightConstantsTest, JitterTable)
{
    struct Case
    {
        int nEntry;
        float fTheta, fPhi;
    };
    for (Case c : {Case{0, 0, 0}, Case{33, PI / 16, PI / 16}, Case{200, 6 * PI / 16, 8 * PI / 16},
                   Case{255, 7 * PI / 16, 31 * PI / 16}})
    {
        const D3DXVECTOR4& j = m_Jitter[c.nEntry];
        EXPECT_NEAR(j.x, std::cos(c.fTheta) * std::cos(c.fPhi), 1e-6f) << c.nEntry;
        EXPECT_NEAR(j.y, std::cos(c.fTheta) * std::sin(c.fPhi), 1e-6f) << c.nEntry;
        EXPECT_NEAR(j.z, std::sin(c.fTheta), 1e-6f) << c.nEntry;
        EXPECT_NEAR(j.w, (std::sin(c.fTheta) + 1) / 2, 1e-6f) << c.nEntry;
    }
}

TEST_F(LightConstantsTest, PointVertexConstantsUseTheMovedCentre)
{
    ConstantTable table;
    m_Light.m_Light.Type = D3DLIGHT_POINT;
    BuildLightVertexConstants(m_Mesh, m_Light, m_Frame, table);
    ExpectRegister(table, 0, 0, 0.5f, 1, 2);
    ExpectRegister(table, 1, 1.0f / 65535.0f, 0.5f, 4, 1);
    ExpectRegister(table, 2, 7, 8, -9, 1);
    ExpectRegister(table, 3, -3, 8, 1, 1);
    ExpectRegister(table, 12, 4, 5, 6, 1);
    ExpectRegister(table, 14, 1, 2, 3, 0);
    ExpectRegister(table, 17, 1.0f / std::sqrt(1.44f), 0, 0, 1);
    // c8-c11: the world matrix transposed, its translation in w.
    ExpectRegister(table, 8, 1, 0, 0, 4);
    ExpectRegister(table, 11, 0, 0, 0, 1);
    // c4-c7 = transpose(world x view x projection).
    D3DXMATRIX world = ToD3DX(m_Mesh.m_matWorld), wvp;
    D3DXMatrixMultiply(&wvp, &world, &m_Frame.projection);
    for (int i = 0; i < 4; ++i)
        ExpectRegister(table, 4 + i, wvp(0, i), wvp(1, i), wvp(2, i), wvp(3, i));
}

TEST_F(LightConstantsTest, SpotPixelConstantsKeepTheFrameAndCapTheShadowLevel)
{
    ConstantTable table;
    g_fMaterialScale = 1.0f;
    ASSERT_TRUE(BuildLightPixelConstants(m_Mesh, 4, m_Light, 2, true, m_Frame, m_Jitter, table));
    const float id = 5.0f / 65535.0f;
    ExpectRegister(table, 3, id, 0.2f, 0, 1);
    ExpectRegister(table, 6, 1, 0.05f, 0.002f, 1);
    ExpectRegister(table, 10, 20, 2000, 2000, 1);
    ExpectRegister(table, 20, 1.5f, 1, 0.25f, 0.003f);
    EXPECT_EQ(m_Material.m_fMaterialFactor, 1.0f);
    ExpectRegister(table, 22, id, 50, 1.0f / 65535.0f, 2);
    ExpectRegister(table, 23, m_Jitter[200].x, m_Jitter[200].y, m_Jitter[200].z, m_Jitter[200].w);
    // c16 to c18 are the spot frame's rows, not the eye; c19 the cone.
    D3DXVECTOR3 direction(0.3f, -0.2f, 0.9f), unit;
    D3DXVec3Normalize(&unit, &direction);
    D3DXMATRIX frame;
    BuildSpotFrame(unit, 2, frame);
    for (int i = 0; i < 3; ++i)
        ExpectRegister(table, 16 + i, frame(i, 0), frame(i, 1), frame(i, 2), frame(i, 3));
    float cosHot = std::cos(20 * PI / 180), cosFall = std::cos(30 * PI / 180);
    ExpectRegister(table, 15, unit.x, unit.y, unit.z, cosHot);
    ExpectRegister(table, 19, cosHot, cosFall, 1 / (cosHot - cosFall), 1);
    // A point light keeps the eye in c17.
    m_Light.m_Light.Type = D3DLIGHT_POINT;
    ConstantTable point;
    BuildLightPixelConstants(m_Mesh, 4, m_Light, 0, false, m_Frame, m_Jitter, point);
    // Without a rendered shadow cube the shadow level is 1.
    EXPECT_EQ(point.c[20][0], 1.0f);
    ExpectRegister(point, 17, 7, 8, -9, 1);
    EXPECT_FALSE(point.nWritten & (1u << 16));
    // No material: nothing written.
    m_Mesh.m_pMaterial = nullptr;
    ConstantTable none;
    EXPECT_FALSE(BuildLightPixelConstants(m_Mesh, 4, m_Light, 0, true, m_Frame, m_Jitter, none));
    EXPECT_EQ(none.nWritten, 0u);
}

TEST_F(LightConstantsTest, SpotLightStraightDownHasFiniteConstants)
{
    for (float y : {-1.0f, 1.0f})
    {
        m_Light.m_Light.Direction = {0, y, 0};
        for (int n : {0, 3, 7})
        {
            ConstantTable table;
            BuildLightPixelConstants(m_Mesh, 0, m_Light, n, true, m_Frame, m_Jitter, table);
            EXPECT_TRUE(AllFinite(table)) << y << " " << n;
            // The frame is still a rotation: its rows have unit length.
            for (int i = 16; i <= 18; ++i)
                EXPECT_NEAR(std::sqrt(table.c[i][0] * table.c[i][0] + table.c[i][1] * table.c[i][1] +
                                      table.c[i][2] * table.c[i][2]),
                            1.0f, 1e-5f);
        }
    }
}

TEST_F(LightConstantsTest, DirectionalLightWithoutShadowMap)
{
    m_Light.m_Light.Type = D3DLIGHT_DIRECTIONAL;
    g_fShadowDepthScale = 0.0f;
    D3DXMATRIX zero;
    std::memset(&zero, 0, sizeof(zero));
    ConstantTable vertex, pixel;
    BuildDirectionalVertexConstants(m_Mesh, m_Light, m_Frame, zero, false, vertex);
    ASSERT_TRUE(BuildDirectionalPixelConstants(m_Mesh, 0, m_Light, false, m_Jitter, pixel));
    EXPECT_TRUE(AllFinite(vertex));
    EXPECT_TRUE(AllFinite(pixel));
    ExpectRegister(vertex, 1, 1.0f / 65535.0f, 0.5f, 2, 1);
    ExpectRegister(vertex, 3, 0.3f, -0.2f, 0.9f, 0);
    ExpectRegister(vertex, 24, 1, 1, 1, 1);
    // The shadow-map position is the world position itself, so its w is 1, never 0.
    ExpectRegister(vertex, 25, 1, 0, 0, 0);
    ExpectRegister(vertex, 28, 0, 0, 0, 1);
    // Shadow level 1: no tap darkens; still waves.
    EXPECT_EQ(pixel.c[20][0], 1.0f);
    ExpectRegister(pixel, 22, 1.0f / 65535.0f, 50, -0.01f, 2);
    for (int n = 28; n < 32; ++n)
        ExpectRegister(pixel, n, 0, 0, 0, 0);
    // With a rendered map the shadow pass's values are used.
    g_fShadowDepthScale = 4.0f;
    D3DXMATRIX shadow;
    D3DXMatrixScaling(&shadow, 0.5f, -0.5f, 1);
    ConstantTable mapped;
    BuildDirectionalVertexConstants(m_Mesh, m_Light, m_Frame, shadow, true, mapped);
    ExpectRegister(mapped, 24, 1, 1, 0.25f, 1);
    ExpectRegister(mapped, 26, 0, -0.5f, 0, 0);
    g_fShadowDepthScale = 0.0f;
}

TEST_F(LightConstantsTest, LayerPassesReadInsideTheJitterTable)
{
    m_Material.SetOptionFloat(1, 1.0f);
    m_Material.SetOptionFloat(2, 0.5f);
    g_fLayerScale = 2.0f;
    // One pass: entries 216 to 224, alpha 1.
    ConstantTable one;
    ASSERT_TRUE(BuildLayerPixelConstants(m_Mesh, 0, 1, m_Jitter, one));
    ExpectRegister(one, 1, 1, 1, 0.332f, 0);
    ExpectRegister(one, 6, m_Jitter[216].x, m_Jitter[216].y, m_Jitter[216].z, m_Jitter[216].w);
    ExpectRegister(one, 14, m_Jitter[224].x, m_Jitter[224].y, m_Jitter[224].z, m_Jitter[224].w);
    // 40 passes from a file are 25: the last reads entries 216 to 224, and pass 30 does not exist.
    ConstantTable last, beyond;
    ASSERT_TRUE(BuildLayerPixelConstants(m_Mesh, 24, 40, m_Jitter, last));
    ExpectRegister(last, 14, m_Jitter[224].x, m_Jitter[224].y, m_Jitter[224].z, m_Jitter[224].w);
    ExpectRegister(last, 1, 1.0f / 25, 1, 0.332f, 0);
    EXPECT_FALSE(BuildLayerPixelConstants(m_Mesh, 30, 40, m_Jitter, beyond));
    g_fLayerScale = 0.0f;

    ConstantTable vertex;
    BuildLayerVertexConstants(m_Mesh, m_Frame, vertex);
    ExpectRegister(vertex, 0, 1, 2, 3, 0);
    ExpectRegister(vertex, 1, 4, 5, 6, 1);
    ExpectRegister(vertex, 12, 1.6f, 0, 0, 1);
}
