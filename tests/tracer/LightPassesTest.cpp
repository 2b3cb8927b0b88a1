// The light-view photon passes in a closed room: every texel of every block of a point light
// holds a photon on the wall that a C++ ray through that texel's centre, in the sub-frustum the
// block numbering gives, reaches (within the jitter bound and fp16), with the light vector and
// colour of its formula; a spot light's blocks lie inside its cone; a directional light renders
// no block; a hidden mesh is left out.
#include "RoomFixture.h"

TEST_F(LightPassTest, PointLightBlocksHoldTheWallPhotonsOfTheirSubFrustumRays)
{
    const D3DXVECTOR3 vEye(0.5f, -1.0f, 1.5f);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, vEye);
    m_pApp->RenderLightPasses(pLight, 0, 0, 0);
    for (int b = 0; b < 24; ++b)
    {
        D3DXMATRIX view, projection;
        PointBlockView(b, vEye, view, projection);
        ExpectBlockMatchesRays(b, vEye, view, projection);
    }
    // Every photon lies in the grid: the statistics count all 24 blocks' texels.
    ASSERT_GT(g_nOccupiedCells, 0);
    EXPECT_EQ(g_nAverageCellPhotons, 24 * L * L / g_nOccupiedCells);
}

TEST_F(LightPassTest, SpotLightBlocksLieInItsConeAndFallOffOutside)
{
    const D3DXVECTOR3 vEye(0.0f, 4.0f, 0.0f);
    SceneLight* pLight = AddLight(D3DLIGHT_SPOT, vEye);
    pLight->m_Light.Direction = {0.0f, -1.0f, 0.0f};
    // The frustum's corners reach atan(tan 20 x sqrt 2) = 27 degrees: still on the floor.
    pLight->m_Light.Theta = 20.0f;
    pLight->m_Light.Phi = 40.0f;
    m_pApp->RenderLightPasses(pLight, 0, 0, 0);
    const float fCosTheta = std::cos(10.0f * 3.14159265f / 180), fCosPhi = std::cos(20.0f * 3.14159265f / 180);
    int nFull = 0, nDark = 0;
    for (int b = 0; b < 16; ++b)
    {
        const d3d9test::SurfaceData positions = ReadTexture(g_pLightTargetsA[b]);
        const d3d9test::SurfaceData energies = ReadTexture(g_pLightTargetsD[b]);
        for (int y = 0; y < L; ++y)
            for (int x = 0; x < L; ++x)
            {
                const float* p = positions.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                // Every texel of the frustum meets the floor 9 units below.
                ASSERT_NEAR(p[1], -HALF_SIDE, 0.02f) << b << " " << x << " " << y;
                D3DXVECTOR3 vToPhoton(p[0] - vEye.x, p[1] - vEye.y, p[2] - vEye.z);
                D3DXVec3Normalize(&vToPhoton, &vToPhoton);
                const float fCos = -vToPhoton.y;
                const float f = std::min(1.0f, std::max(0.0f, (fCos - fCosPhi) / (fCosTheta - fCosPhi)));
                const float* e = energies.Pixel(static_cast<UINT>(x), static_cast<UINT>(y));
                EXPECT_NEAR(e[0], f, 0.03f) << b << " " << x << " " << y;
                nFull += f == 1.0f;
                nDark += f == 0.0f;
            }
    }
    EXPECT_GT(nFull, 0);
    EXPECT_GT(nDark, 0);
}

TEST_F(LightPassTest, DirectionalLightRendersNoBlockAndHiddenMeshesAreLeftOut)
{
    const D3DXVECTOR3 vEye(0.0f, 0.0f, 0.0f);
    SceneLight* pPoint = AddLight(D3DLIGHT_POINT, vEye);
    // A panel across the +x face's view, hidden: the photons reach the wall behind it.
    SceneMesh* pPanel = AddMesh({{2, -4, -4}, {2, 4, -4}, {2, 4, 4}, {2, -4, -4}, {2, 4, 4}, {2, -4, 4}});
    pPanel->m_bVisible = 0;
    m_pApp->BuildTriangleGrid();
    m_pApp->RenderLightPasses(pPoint, 0, 0, 0);
    const d3d9test::SurfaceData before = ReadTexture(g_pLightTargetsA[0]);
    for (int y = 0; y < L; ++y)
        for (int x = 0; x < L; ++x)
            ASSERT_NEAR(before.Pixel(static_cast<UINT>(x), static_cast<UINT>(y))[0], HALF_SIDE, 0.05f);
    EXPECT_EQ(m_pApp->m_Visibility[1], 0u);

    SceneLight* pDirectional = AddLight(D3DLIGHT_DIRECTIONAL, vEye);
    m_pApp->RenderLightPasses(pDirectional, 0, 0, 0);
    const d3d9test::SurfaceData after = ReadTexture(g_pLightTargetsA[0]);
    EXPECT_EQ(after.rgba, before.rgba);
    EXPECT_EQ(g_nOccupiedCells, 0);
    EXPECT_EQ(g_nAverageCellPhotons, EMPTY_GRID_CELL_PHOTONS);
}

TEST_F(LightPassTest, MaterialMapsBindAgainAfterThePasses)
{
    // The passes bind the room's diffuse map through the renderer, then set their own targets on
    // that stage directly: a later bind of the same map must still reach the device.
    ASSERT_GE(g_nNoiseTexture, 0);
    SceneMaterial material;
    material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE] = g_nNoiseTexture;
    SceneMesh* pRoom = static_cast<SceneMesh*>(m_pApp->m_Scene.m_Meshes.Get(0));
    pRoom->m_pMaterial = &material;
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, {0.0f, 0.0f, 0.0f});
    m_pApp->RenderLightPasses(pLight, 0, 0, 0);
    auto boundAt = [this](DWORD nStage) {
        IDirect3DBaseTexture9* pBound = nullptr;
        Device()->GetTexture(nStage, &pBound);
        if (pBound)
            pBound->Release();
        return pBound;
    };
    // Stage 7 is never used by the passes: the map's device texture, bound there for reference.
    m_pApp->m_pRenderer->BindTexture(7, g_nNoiseTexture);
    IDirect3DBaseTexture9* pMap = boundAt(7);
    ASSERT_NE(pMap, nullptr);
    for (DWORD nStage = 0; nStage < 4; ++nStage)
    {
        m_pApp->m_pRenderer->BindTexture(static_cast<int>(nStage), g_nNoiseTexture);
        EXPECT_EQ(boundAt(nStage), pMap) << nStage;
    }
    pRoom->m_pMaterial = nullptr;
}
