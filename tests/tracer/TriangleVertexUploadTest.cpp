// The earlier tracer variant's triangle upload through the loaded program tables: every
// triangle's corners, taken to world space by its mesh's matrix, land on the triangle's texel of
// the three corner textures, and the device state the pass found comes back.
#include "TracerFixture.h"

#include "tracer/TriangleVertexUpload.h"

#include <d3d9/testing.h>

#include <gtest/gtest.h>

TEST_F(TracerTest, TriangleUploadWritesEveryCornerInWorldSpaceOnItsTexel)
{
    ASSERT_TRUE(InitAndLoad());
    // Two meshes: five triangles in all, the second mesh moved and turned by its world matrix.
    std::vector<D3DXVECTOR3> first, second;
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 3; ++k)
            first.push_back(D3DXVECTOR3(static_cast<float>(t) + 0.25f * k, 0.5f * k - t, 0.125f * (t + k)));
    for (int t = 0; t < 2; ++t)
        for (int k = 0; k < 3; ++k)
            second.push_back(D3DXVECTOR3(1.5f * k, static_cast<float>(t), -0.75f * k));
    AddMesh(first);
    SceneMesh* pMoved = AddMesh(second);
    D3DXMATRIX turn, move, world;
    D3DXMatrixRotationY(&turn, 0.7f);
    D3DXMatrixTranslation(&move, 2, -1, 3);
    D3DXMatrixMultiply(&world, &turn, &move);
    pMoved->m_matWorld = ToMatrix4(world);
    m_pApp->BuildTriangleGrid();
    const int S = g_nTriangleTextureSize;
    ASSERT_GT(S, 0);

    IDirect3DDevice9* pDevice = Device();
    IDirect3DSurface9 *pTargetBefore = nullptr, *pDepthBefore = nullptr;
    pDevice->GetRenderTarget(0, &pTargetBefore);
    pDevice->GetDepthStencilSurface(&pDepthBefore);
    m_pApp->UploadTriangleVertices();
    for (IDirect3DTexture9* pTexture : g_pTriangleVertexTextures)
        ASSERT_NE(pTexture, nullptr);

    std::vector<d3d9test::SurfaceData> corners(3);
    for (int j = 0; j < 3; ++j)
    {
        IDirect3DSurface9* pLevel = nullptr;
        g_pTriangleVertexTextures[j]->GetSurfaceLevel(0, &pLevel);
        ASSERT_TRUE(d3d9test::ReadSurface(pLevel, corners[j]));
        pLevel->Release();
        ASSERT_EQ(corners[j].nWidth, static_cast<UINT>(S));
    }
    // Triangle t sits on texel (t mod S, t div S); the texels after the last stay clear.
    const D3DXMATRIX identity = *D3DXMatrixIdentity(&turn);
    for (int t = 0; t < 6; ++t)
        for (int j = 0; j < 3; ++j)
        {
            const float* pTexel = corners[j].Pixel(static_cast<UINT>(t % S), static_cast<UINT>(t / S));
            if (t == 5)
            {
                EXPECT_EQ(pTexel[0], 0.0f);
                EXPECT_EQ(pTexel[3], 0.0f);
                continue;
            }
            const D3DXVECTOR3& model = t < 3 ? first[static_cast<size_t>(3 * t + j)]
                                             : second[static_cast<size_t>(3 * (t - 3) + j)];
            D3DXVECTOR3 expected;
            D3DXVec3TransformCoord(&expected, &model, t < 3 ? &identity : &world);
            EXPECT_NEAR(pTexel[0], expected.x, 1e-5f) << "triangle " << t << " corner " << j;
            EXPECT_NEAR(pTexel[1], expected.y, 1e-5f) << "triangle " << t << " corner " << j;
            EXPECT_NEAR(pTexel[2], expected.z, 1e-5f) << "triangle " << t << " corner " << j;
        }

    IDirect3DSurface9 *pTargetAfter = nullptr, *pDepthAfter = nullptr;
    pDevice->GetRenderTarget(0, &pTargetAfter);
    pDevice->GetDepthStencilSurface(&pDepthAfter);
    EXPECT_EQ(pTargetAfter, pTargetBefore);
    EXPECT_EQ(pDepthAfter, pDepthBefore);
    DWORD nZ = 0, nShade = 0;
    pDevice->GetRenderState(D3DRS_ZENABLE, &nZ);
    pDevice->GetRenderState(D3DRS_SHADEMODE, &nShade);
    EXPECT_EQ(nZ, static_cast<DWORD>(TRUE));
    EXPECT_EQ(nShade, static_cast<DWORD>(D3DSHADE_GOURAUD));
    for (IDirect3DSurface9* p : {pTargetBefore, pDepthBefore, pTargetAfter, pDepthAfter})
        if (p)
            p->Release();
    RenderApp::ReleaseTriangleVertexTextures();
}
