// DisplayModel: the red sphere, bounds and cube box from a loaded mesh, the box's edges drawn,
// and the face count reported without a mesh.
#include "RendererDeviceFixture.h"
#include "../dxfile/XFileWriter.h"

#include "3dapi/DisplayModel.h"
#include "3dapi/GameObjects.h"
#include "core/FileIO.h"
#include "core/Log.h"
#include "morvyn/morvyn.h"

#include <algorithm>

namespace
{
class DisplayModelTest : public RendererDeviceTest
{
protected:
    void SetUp() override
    {
        RendererDeviceTest::SetUp();
        SetMorvynDevice(m_pDevice);
    }
    void TearDown() override
    {
        SetMorvynDevice(nullptr);
        RendererDeviceTest::TearDown();
    }
};

TEST_F(DisplayModelTest, SphereModelIsRedWithUnitBoundsAndAScaledCube)
{
    DisplayModel model;
    ASSERT_EQ(model.Create(nullptr, 1, 1.5f), S_OK);
    ASSERT_NE(model.m_pMesh, nullptr);
    ASSERT_EQ(model.m_pMesh->m_dwNumMaterials, 1u);
    const D3DMATERIAL9& material = model.m_pMesh->m_pMaterials[0];
    EXPECT_EQ(material.Diffuse.r, 1.0f);
    EXPECT_EQ(material.Diffuse.g, 0.0f);
    EXPECT_EQ(material.Ambient.r, 1.0f);
    EXPECT_EQ(material.Ambient.a, 1.0f);
    EXPECT_EQ(model.m_dwNumFaces, 2u * 16 * 15);
    EXPECT_NEAR(model.m_fRadius, 1.0f, 1e-5f);
    EXPECT_NEAR(model.m_vCenter.x, 0.0f, 1e-5f);
    EXPECT_NEAR(model.m_vMax.x, 1.5f, 1e-5f);
    EXPECT_NEAR(model.m_vMin.z, -1.5f, 1e-5f);
    EXPECT_EQ(model.m_vCorners[5].x, model.m_vMax.x);
    EXPECT_EQ(model.m_vCorners[5].y, model.m_vMin.y);
    EXPECT_EQ(model.m_vCorners[5].z, model.m_vMax.z);
    EXPECT_NE(model.m_pBoxVB, nullptr);
}

TEST_F(DisplayModelTest, BoxIsACubeOfTheLargestMaximumWhateverTheMinimum)
{
    // One triangle from (-5, -7, 0) to a largest maximum component of 2.0.
    XFileWriter w(false);
    w.Raw("Mesh { 3; -5;-7;0;, 2;0;0;, 0;1;0.5;; 1; 3; 0,1,2;; }");
    std::string path = testing::TempDir() + "display_model.x";
    ASSERT_TRUE(WriteFileAtomic(path.c_str(), w.Bytes()));
    DisplayModel model;
    ASSERT_EQ(model.Create(path.c_str(), 0, 1.5f), S_OK);
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_FLOAT_EQ((&model.m_vMin.x)[i], -3.0f);
        EXPECT_FLOAT_EQ((&model.m_vMax.x)[i], 3.0f);
    }
    EXPECT_EQ(model.m_dwNumFaces, 1u);
    ASSERT_EQ(model.RestoreDeviceResources(), S_OK);
    int nFaces = 0;
    EXPECT_EQ(model.Render(&nFaces), S_OK);
    EXPECT_EQ(nFaces, 1);
    model.ReleaseDeviceResources();
}

TEST_F(DisplayModelTest, BoundsAreDrawnAsWhiteEdges)
{
    // Half side 0.5 with identity transforms: edges at clip x and y of +-0.5.
    DisplayModel model;
    ASSERT_EQ(model.Create(nullptr, 1, 0.5f), S_OK);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    m_pDevice->SetTransform(D3DTS_WORLD, &identity);
    m_pDevice->SetTransform(D3DTS_VIEW, &identity);
    m_pDevice->SetTransform(D3DTS_PROJECTION, &identity);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    // The box's near face sits at z = -0.5, in front of the clip volume: push it in.
    D3DXMATRIX push;
    D3DXMatrixTranslation(&push, 0, 0, 0.5f);
    m_pDevice->SetTransform(D3DTS_WORLD, &push);
    m_pDevice->BeginScene();
    d3d9test::ResetStats(m_pDevice);
    EXPECT_EQ(model.DrawBounds(), S_OK);
    m_pDevice->EndScene();
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, 1u);
    DWORD nLighting = 0;
    m_pDevice->GetRenderState(D3DRS_LIGHTING, &nLighting);
    EXPECT_EQ(nLighting, (DWORD)TRUE);

    IDirect3DSurface9* pBack = nullptr;
    ASSERT_EQ(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBack), D3D_OK);
    d3d9test::SurfaceData data;
    ASSERT_TRUE(d3d9test::ReadSurface(pBack, data));
    pBack->Release();
    // The left edge x = -0.5 falls on column 4 (or the one left of it), row 8 lies inside it.
    float fLeft = std::max(data.Pixel(3, 8)[0], data.Pixel(4, 8)[0]);
    EXPECT_EQ(fLeft, 1.0f);
    EXPECT_EQ(data.Pixel(8, 8)[0], 0.0f);   // centre: nothing drawn
    EXPECT_EQ(data.Pixel(1, 8)[0], 0.0f);   // outside the box
}

TEST_F(DisplayModelTest, RenderWithoutAMeshReportsTheFaceCount)
{
    DisplayModel model;
    model.m_dwNumFaces = 12;
    int nFaces = -1;
    EXPECT_EQ(model.Render(&nFaces), S_OK);
    EXPECT_EQ(nFaces, 12);
}

TEST_F(DisplayModelTest, EnemyColourGoesToTheOnlyMaterialOfAOneMaterialModel)
{
    SetLogEcho(false);
    std::string dir = testing::TempDir();
    ASSERT_TRUE(WriteFileAtomic((dir + "theme1.ini").c_str(), "", 0));
    std::string profile = "[ENEMY1]\nAliveColor=0xFF00FF00\n";
    ASSERT_TRUE(WriteFileAtomic((dir + "enemy_profile.ini").c_str(), profile.data(), profile.size()));
    g_Profile.Load((dir + "enemy_profile.ini").c_str());
    SetLogEcho(true);
    EnemyType* pType = g_Profile.GetEnemyType(0);
    ASSERT_NE(pType, nullptr);
    DisplayModel model;
    ASSERT_EQ(model.Create(nullptr, 1, 1.0f), S_OK);
    ASSERT_EQ(model.RestoreDeviceResources(), S_OK);
    pType->m_pModel = &model;

    EnemyObject enemy;
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DXVECTOR3 vPosition(0, 40, 0);
    ASSERT_EQ(enemy.Init(0, &vPosition, &identity, &model), S_OK);
    int nFaces = 0;
    m_pDevice->BeginScene();
    EXPECT_EQ(enemy.Render(0.0f, 0.0f, &nFaces), S_OK);
    m_pDevice->EndScene();
    pType->m_pModel = nullptr;
    EXPECT_EQ(nFaces, static_cast<int>(model.m_dwNumFaces));
    ASSERT_EQ(model.m_pMesh->m_dwNumMaterials, 1u);
    EXPECT_EQ(model.m_pMesh->m_pMaterials[0].Diffuse.g, 1.0f);
    EXPECT_EQ(model.m_pMesh->m_pMaterials[0].Diffuse.r, 0.0f);
    model.ReleaseDeviceResources();
}
}
