// The forward pass's shadow constants: the registers of the vertex and pixel setters, the tap
// modes, the shadow spot frame's own face table, and a light without a shadow cube.
#include "raster/ShadowConstants.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
class ShadowConstantsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FillJitterDirections(m_Jitter);
        m_Material.m_fMaterialFactor = 0.6f;
        m_Material.m_fMaterialValue1 = 0.03f;
        m_Material.SetOptionFloat(6, 20.0f);
        m_Material.SetOptionFloat(7, 0.5f);
        m_Mesh.m_pMaterial = &m_Material;
        m_Mesh.m_vOffset = Vector3(1, 2, 3);
        D3DXMATRIX world;
        D3DXMatrixTranslation(&world, 4, 5, 6);
        m_Mesh.m_matWorld = ToMatrix4(world);
        m_Light.m_Light.Type = D3DLIGHT_POINT;
        m_Light.m_Light.Direction = {0.0f, 0.0f, 2.0f};
        m_Light.m_vLightPosition = Vector3(-3, 8, 1);
        m_Light.m_nTextureId = 4;
        D3DXMatrixIdentity(&m_Frame.view);
        D3DXMatrixPerspectiveFovLH(&m_Frame.projection, D3DX_PI / 3, 4.0f / 3.0f, 1, 100);
    }

    static void ExpectRegister(const ConstantTable& table, int n, float x, float y, float z, float w)
    {
        EXPECT_TRUE(table.nWritten & (1u << n)) << "c" << n;
        const float want[4] = {x, y, z, w};
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(table.c[n][k], want[k], 1e-6f) << "c" << n << "." << k;
    }

    D3DXVECTOR4 m_Jitter[JITTER_DIRECTIONS];
    SceneMaterial m_Material;
    SceneMesh m_Mesh;
    SceneLight m_Light;
    LightFrame m_Frame;
};
}

TEST_F(ShadowConstantsTest, VertexConstants)
{
    ConstantTable table;
    BuildShadowVertexConstants(m_Mesh, m_Light, m_Frame, table);
    ExpectRegister(table, 0, 0, 0.5f, 1, 2);
    ExpectRegister(table, 1, 1.0f / 65535.0f, 0.5f, 10, 1);
    ExpectRegister(table, 2, 1, 2, 3, 0);
    ExpectRegister(table, 3, -3, 8, 1, 1);
    // c8-c11: the world matrix's columns, so its translation ends the rows.
    ExpectRegister(table, 8, 1, 0, 0, 4);
    ExpectRegister(table, 11, 0, 0, 0, 1);
    // c4-c7: world x projection here (the view is the identity).
    D3DXMATRIX world = ToD3DX(m_Mesh.m_matWorld), wvp;
    D3DXMatrixMultiply(&wvp, &world, &m_Frame.projection);
    ExpectRegister(table, 6, wvp(0, 2), wvp(1, 2), wvp(2, 2), wvp(3, 2));
}

TEST_F(ShadowConstantsTest, PixelConstantsOfEachTapMode)
{
    const float weights[3] = {0.25f, 0.125f, 1.0f / 11.0f};
    const int programs[3][2] = {{54, 56}, {55, 57}, {47, 51}};
    for (int nMode = 1; nMode <= 3; ++nMode)
    {
        g_nShadowTapMode = nMode;
        ConstantTable table;
        ASSERT_TRUE(BuildShadowPixelConstants(m_Mesh, 6, m_Light, 0, m_Jitter, table));
        ExpectRegister(table, 0, 0.6f, 1, weights[nMode - 1], 0.003f);
        ExpectRegister(table, 1, 0.6f, 0.2f, 5.0f, 2);
        ExpectRegister(table, 3, 7.0f / 65535.0f, 0, 0, 2);
        for (int k = 0; k < 16; ++k)
        {
            const D3DXVECTOR4& j = m_Jitter[200 + k];
            ExpectRegister(table, 5 + k, j.x, j.y, j.z, j.w);
        }
        EXPECT_FALSE(table.nWritten & (1u << 23)) << "a point light has no cone";
        EXPECT_EQ(GetShadowTapMode(nMode).nPointProgram, programs[nMode - 1][0]);
        EXPECT_EQ(GetShadowTapMode(nMode).nSpotProgram, programs[nMode - 1][1]);
    }
    g_nShadowTapMode = 7;
    EXPECT_EQ(GetShadowTapMode(g_nShadowTapMode).nPointProgram, 54);
    g_nShadowTapMode = 1;

    // Without a shadow cube nothing darkens; without a material nothing is written.
    m_Light.m_nTextureId = -1;
    ConstantTable unshadowed;
    ASSERT_TRUE(BuildShadowPixelConstants(m_Mesh, 6, m_Light, 0, m_Jitter, unshadowed));
    EXPECT_EQ(unshadowed.c[0][0], 1.0f);
    EXPECT_EQ(unshadowed.c[1][0], 1.0f);
    m_Mesh.m_pMaterial = nullptr;
    ConstantTable none;
    EXPECT_FALSE(BuildShadowPixelConstants(m_Mesh, 6, m_Light, 0, m_Jitter, none));
    EXPECT_EQ(none.nWritten, 0u);
}

TEST_F(ShadowConstantsTest, SpotFrameUsesTheShadowFaceTable)
{
    m_Light.m_Light.Type = D3DLIGHT_SPOT;
    const D3DXVECTOR3 axis(0, 0, 1);
    for (int n = 0; n < 8; ++n)
    {
        ConstantTable table;
        ASSERT_TRUE(BuildShadowPixelConstants(m_Mesh, 0, m_Light, n, m_Jitter, table));
        ExpectRegister(table, 23, 0, 0, 1, 0.7f);
        D3DXMATRIX shadow, lighting;
        BuildSpotFrame(axis, n, shadow, SHADOW_SPOT_FACES);
        BuildSpotFrame(axis, n, lighting);
        for (int i = 0; i < 4; ++i)
            ExpectRegister(table, 24 + i, shadow(i, 0), shadow(i, 1), shadow(i, 2), shadow(i, 3));
        // The spot's axis through the frame's rows: where the shadow cube is read for it. The
        // shadow table reads the opposite side of the cube from the lighting table for spot
        // lights 0 to 3 and the same side from then on.
        D3DXVECTOR3 shadowAxis(shadow(0, 2), shadow(1, 2), shadow(2, 2));
        D3DXVECTOR3 lightingAxis(lighting(0, 2), lighting(1, 2), lighting(2, 2));
        EXPECT_NEAR(D3DXVec3Dot(&shadowAxis, &lightingAxis), n < 4 ? -1.0f : 1.0f, 1e-5f) << "face " << n;
        bool bSame = std::equal(&shadow(0, 0), &shadow(0, 0) + 16, &lighting(0, 0));
        EXPECT_EQ(bSame, n >= 4) << "face " << n;
    }
}
