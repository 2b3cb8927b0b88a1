// The passes no frame calls that stand apart: the matrix-product timing read back against the
// products computed in C++, the texture ordering of the meshes, the near view sphere and the
// texture overlay square.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "raster/DormantPasses.h"
#include "scene/D3DXBridge.h"

#include <cmath>
#include <string>
#include <vector>

namespace
{
constexpr int N = TIMING_TARGET_SIZE;

// Row i of matrix A (m = 0) or B (m = 1) at texel (x, y): varies with the texel and the row.
void MatrixRow(int m, int i, int x, int y, float row[4])
{
    for (int k = 0; k < 4; ++k)
        row[k] = (float)((x * 7 + y * 3 + i * 5 + k + m * 11) % 13) / 4.0f - 1.5f;
}

class DormantPassesTest : public ScenePassTest
{
protected:
    // Timing texture t (A's rows 0-3, then B's) filled texel by texel through a system-memory copy.
    void FillTimingTexture(int t)
    {
        IDirect3DTexture9* pStaging = nullptr;
        ASSERT_EQ(m_pDevice->CreateTexture(N, N, 1, 0, D3DFMT_A32B32G32R32F, D3DPOOL_SYSTEMMEM, &pStaging, nullptr),
                  D3D_OK);
        D3DLOCKED_RECT locked;
        ASSERT_EQ(pStaging->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < N; ++y)
        {
            float* pRow = reinterpret_cast<float*>(static_cast<BYTE*>(locked.pBits) + (size_t)y * locked.Pitch);
            for (int x = 0; x < N; ++x)
                MatrixRow(t / 4, t % 4, x, y, pRow + 4 * x);
        }
        pStaging->UnlockRect(0);
        EXPECT_EQ(m_pDevice->UpdateTexture(pStaging, g_pTimingTextures[t]), D3D_OK);
        pStaging->Release();
    }
};
}

TEST_F(DormantPassesTest, MatrixProductsOfEveryTexelComeBackInTheFourTargets)
{
    m_pApp->CreateTimingTargets();
    for (int t = 0; t < TIMING_TEXTURE_COUNT; ++t)
    {
        ASSERT_NE(g_pTimingTextures[t], nullptr);
        FillTimingTexture(t);
    }
    m_pDevice->BeginScene();
    m_pApp->TimeMatrixProductsShort();
    m_pDevice->EndScene();
    EXPECT_GE(g_fTimingResult, 0.0f);
    EXPECT_EQ(m_pApp->GetRenderer()->GetCurrentRenderTarget(), -1);

    // Row i of A x B at each texel: the sum over k of A[i][k] x row k of B.
    const int samples[][2] = {{0, 0}, {N - 1, 0}, {0, N - 1}, {N - 1, N - 1}, {N / 2, N / 3}, {17, 400}};
    for (int i = 0; i < TIMING_SURFACE_COUNT; ++i)
    {
        d3d9test::SurfaceData data;
        ASSERT_TRUE(d3d9test::ReadSurface(g_pTimingSurfaces[i], data));
        for (const int* xy : samples)
        {
            float a[4], want[4] = {0, 0, 0, 0};
            MatrixRow(0, i, xy[0], xy[1], a);
            for (int k = 0; k < 4; ++k)
            {
                float b[4];
                MatrixRow(1, k, xy[0], xy[1], b);
                for (int j = 0; j < 4; ++j)
                    want[j] += a[k] * b[j];
            }
            for (int j = 0; j < 4; ++j)
                EXPECT_NEAR(data.Pixel(xy[0], xy[1])[j], want[j], 1e-4f)
                    << "row " << i << " at " << xy[0] << ", " << xy[1] << ", column " << j;
        }
    }
    RenderApp::ReleaseTimingTargets();
    EXPECT_EQ(g_pTimingSurfaces[0], nullptr);
}

TEST_F(DormantPassesTest, MeshesOrderedByTextureWithEqualKeysExchanged)
{
    // Keys 5, 5: both scans stop on the first, which then trades places with the pivot.
    int32_t keys[2] = {5, 5}, order[2] = {0, 1};
    RenderApp::QuickSortByKey(0, 1, keys, order);
    EXPECT_EQ(order[0], 1);
    EXPECT_EQ(order[1], 0);

    // More meshes than a fixed table of 1000 would hold, with diffuse ids counting down.
    const int nMeshes = 1200;
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMaterial* pMaterial = AddMaterial();
        pMaterial->m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = 5000 - 3 * i;
        SceneMesh* pMesh = new SceneMesh();
        pMesh->m_pMaterial = pMaterial;
        m_pApp->m_Scene.AddMesh(pMesh);
    }
    m_pApp->SortMeshesByTexture();
    for (int k = 0; k < nMeshes; ++k)
        ASSERT_EQ(m_pApp->m_MeshOrder[(size_t)k], nMeshes - 1 - k) << k;
}

TEST_F(DormantPassesTest, ViewSlabSphereFromFieldOfViewAndFrontClip)
{
    struct Case
    {
        float fFov, fFront, fRadius;
    };
    // r = tan(fov / 2) x 10; radius = |(r, r, 10) - (0, 0, 5 + front)|.
    const Case cases[] = {{D3DX_PI / 2, 1.0f, std::sqrt(216.0f)}, {D3DX_PI / 3, 0.0f, std::sqrt(2 * 100.0f / 3 + 25)}};
    for (const Case& test : cases)
    {
        m_pApp->m_Scene.m_Camera.m_fFov = test.fFov;
        m_pApp->m_Scene.m_Camera.m_fFrontClip = test.fFront;
        EXPECT_TRUE(m_pApp->ComputeViewSlabSphere());
        EXPECT_NEAR(g_fViewSlabRadius, test.fRadius, 1e-4f);
        // The camera at (0, 0, -10) looking along +z: 5 units ahead.
        EXPECT_NEAR(g_vViewSlabCentre.x, 0.0f, 1e-5f);
        EXPECT_NEAR(g_vViewSlabCentre.y, 0.0f, 1e-5f);
        EXPECT_NEAR(g_vViewSlabCentre.z, -5.0f, 1e-5f);
    }
}

TEST_F(DormantPassesTest, TextureOverlayCoversItsSquareOnly)
{
    const int nRed = AddSolidTexture(255, 0, 0);
    m_pApp->GetRenderer()->BindTexture(0, nRed);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pDevice->BeginScene();
    m_pApp->DrawTextureOverlay(10.0f);
    m_pDevice->EndScene();
    const d3d9test::SurfaceData data = ReadTarget();
    // Pixels 50 to 59 on both axes.
    for (UINT y = 45; y < SIZE; ++y)
        for (UINT x = 45; x < SIZE; ++x)
        {
            const bool bInside = x >= 50 && x < 60 && y >= 50 && y < 60;
            EXPECT_FLOAT_EQ(Pixel(data, x, y)[0], bInside ? 1.0f : 0.0f) << x << ", " << y;
        }
}
