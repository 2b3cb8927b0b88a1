// The finishing effects drawn by a loaded RenderApp into a 64 x 64 target and read back: the fog
// blend against the transmittance worked out per pixel, the halo against the sphere seen from
// the eye, the lens flare's depth test at the light, the spot cone's layers and the
// depth-of-field composite against the scene texture it reads.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "raster/DepthOfField.h"
#include "raster/FogPass.h"
#include "raster/LensFlare.h"
#include "raster/SpotCone.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "tracer/TracerGlobals.h"

#include <cmath>
#include <cstring>
#include <string>

namespace
{
const float TAN_HALF_FOV = std::tan(3.14159265f / 8.0f);
constexpr float BYTE_STEP = 1.0f / 255.0f;

// The view direction of the eye at (0, 0, -10) through pixel (x, y), sampled where the device
// samples it: at the pixel's integer screen coordinates.
D3DXVECTOR3 PixelRay(UINT x, UINT y, UINT nSize)
{
    const float fX = (float)x / ((float)nSize / 2.0f) - 1.0f;
    const float fY = 1.0f - (float)y / ((float)nSize / 2.0f);
    return D3DXVECTOR3(fX * TAN_HALF_FOV, fY * TAN_HALF_FOV, 1.0f);
}

class EffectPassTest : public ScenePassTest
{
protected:
    void SetUp() override
    {
        ScenePassTest::SetUp();
        // A white noise: every octave's grey is 1, so the noise sum saturates to 1.
        g_nNoiseTexture = m_nWhite;
        m_pApp->m_Visibility.assign(2 * RenderApp::MAX_MESHES, 0);
    }

    // Fills the target with a colour and the depth with 1, inside a scene, and runs the draw.
    template <typename Draw>
    d3d9test::SurfaceData DrawOver(D3DCOLOR nBackground, Draw draw)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, nBackground, 1.0f, 0);
        m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
        m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
        m_pDevice->BeginScene();
        draw();
        m_pDevice->EndScene();
        return ReadTarget();
    }

    SceneLight* AddEffectLight(D3DLIGHTTYPE nType, float x, float y, float z)
    {
        SceneLight* pLight = AddLight(nType, x, y, z);
        pLight->m_bEnabled = 1;
        return pLight;
    }

    static void ExpectSame(const d3d9test::SurfaceData& a, const d3d9test::SurfaceData& b, const char* szWhat)
    {
        ASSERT_EQ(a.rgba.size(), b.rgba.size());
        EXPECT_EQ(std::memcmp(a.rgba.data(), b.rgba.data(), a.rgba.size() * sizeof(float)), 0) << szWhat;
    }

    static int ChangedPixels(const d3d9test::SurfaceData& a, const d3d9test::SurfaceData& b)
    {
        int nChanged = 0;
        for (UINT y = 0; y < a.nHeight; ++y)
            for (UINT x = 0; x < a.nWidth; ++x)
                for (int k = 0; k < 3; ++k)
                    if (a.Pixel(x, y)[k] != b.Pixel(x, y)[k])
                    {
                        ++nChanged;
                        break;
                    }
        return nChanged;
    }

    SceneCamera& Camera() { return m_pApp->m_Scene.m_Camera; }
};
}

TEST_F(EffectPassTest, FogOffOrWithoutDensityLeavesTheFrame)
{
    AddQuad(0, 0, 0, 8, 8, AddMaterial(), true);
    m_pApp->m_Visibility[0] = 1;
    const D3DCOLOR nBackground = D3DCOLOR_ARGB(255, 120, 60, 30);
    const d3d9test::SurfaceData before = DrawOver(nBackground, [] {});
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_DESTCOLOR);
    Camera().m_bFog = 0;
    Camera().m_fFogDensity = 5;
    ExpectSame(DrawOver(nBackground, [&] { m_pApp->DrawFogPass(); }), before, "fog off");
    DWORD nBlend = 0;
    m_pDevice->GetRenderState(D3DRS_SRCBLEND, &nBlend);
    EXPECT_EQ(nBlend, (DWORD)D3DBLEND_DESTCOLOR) << "fog off changes no state";
    Camera().m_bFog = 1;
    Camera().m_fFogDensity = 0;
    Camera().m_fFogZ = 50;
    const d3d9test::SurfaceData fogless = DrawOver(nBackground, [&] { m_pApp->DrawFogPass(); });
    EXPECT_EQ(ChangedPixels(fogless, before), 0) << "density 0";
}

TEST_F(EffectPassTest, FogBlendsByTheTransmittanceOfThePathBelowThePlane)
{
    AddQuad(0, 0, 0, 8, 8, AddMaterial(), true);
    m_pApp->m_Visibility[0] = 1;
    // Camera at height 0 below the plane at 2: rows above it see the fog over the part of the
    // view vector below the plane, rows below it over the whole vector.
    Camera().m_bFog = 1;
    Camera().m_fFogDensity = 0.8f;
    Camera().m_fFogZ = 2.0f;
    Camera().m_fFogScale = 10;
    const float fog[3] = {0.2f, 0.6f, 1.0f};
    std::memcpy(Camera().m_vFogColor, fog, sizeof(fog));
    const float previous[3] = {120 / 255.0f, 60 / 255.0f, 30 / 255.0f};
    for (bool bWithLight : {false, true})
    {
        if (bWithLight)
            AddEffectLight(D3DLIGHT_POINT, 3, 4, -2);
        const d3d9test::SurfaceData data =
            DrawOver(D3DCOLOR_ARGB(255, 120, 60, 30), [&] { m_pApp->DrawFogPass(); });
        int nChecked = 0;
        for (UINT y = 0; y < SIZE; ++y)
            for (UINT x = 0; x < SIZE; ++x)
            {
                const D3DXVECTOR3 ray = PixelRay(x, y, SIZE);
                const float fHeight = 10.0f * ray.y;   // where the ray meets the quad at z = 0
                if (std::fabs(10.0f * ray.x) > 3.8f || std::fabs(fHeight) > 3.8f || std::fabs(fHeight - 2.0f) < 0.1f)
                    continue;
                const float fShare = fHeight < 2.0f ? 1.0f : 2.0f / fHeight;
                const float d = 10.0f * fShare * 0.08f;
                const float t = std::exp(-d * d);
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(data.Pixel(x, y)[k], fog[k] * (1 - t) + previous[k] * t, 2 * BYTE_STEP)
                        << "pixel " << x << ", " << y << (bWithLight ? "" : ", no light");
                ++nChecked;
            }
        EXPECT_GT(nChecked, 1000);
    }
}

TEST_F(EffectPassTest, FogLightIsTheFirstLightOrTheCamera)
{
    const D3DXVECTOR3 eye(1, 2, 3);
    D3DXVECTOR3 position = FogLightPosition(m_pApp->m_Scene, eye);
    EXPECT_EQ(position, eye);
    AddEffectLight(D3DLIGHT_POINT, 4, 5, 6);
    AddEffectLight(D3DLIGHT_POINT, 7, 8, 9);
    position = FogLightPosition(m_pApp->m_Scene, eye);
    EXPECT_EQ(position, D3DXVECTOR3(4, 5, 6));
}

TEST_F(EffectPassTest, HaloFadesToNothingAtHalfItsRadius)
{
    SceneLight* pLight = AddEffectLight(D3DLIGHT_POINT, 0, 0, 0);
    pLight->m_fHaloSize = 4.0f;
    pLight->m_bHalo = 1;
    const d3d9test::SurfaceData data = DrawOver(0, [&] { m_pApp->DrawLightHalo(pLight); });
    // The front of the sphere of radius 4 around (0, 0, 10) in view space: a = (2 - rho) / 4
    // with rho the point's distance from the centre across the view.
    int nLit = 0;
    for (UINT y = 0; y < SIZE; ++y)
        for (UINT x = 0; x < SIZE; ++x)
        {
            const D3DXVECTOR3 ray = PixelRay(x, y, SIZE);
            const float a2 = D3DXVec3Dot(&ray, &ray), b = -2.0f * 10.0f * ray.z, c = 100.0f - 16.0f;
            const float fDisc = b * b - 4 * a2 * c;
            float fWant = 0.0f;
            if (fDisc > 0)
            {
                const float t = (-b - std::sqrt(fDisc)) / (2 * a2);
                const float rho = t * std::sqrt(ray.x * ray.x + ray.y * ray.y);
                fWant = std::clamp((2.0f - rho) / 4.0f, 0.0f, 1.0f);
                if (rho > 2.2f)
                {
                    EXPECT_EQ(data.Pixel(x, y)[0], 0.0f) << "beyond half the radius, pixel " << x << ", " << y;
                }
            }
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(data.Pixel(x, y)[k], fWant, 0.04f) << "pixel " << x << ", " << y;
            nLit += data.Pixel(x, y)[0] > 0 ? 1 : 0;
        }
    EXPECT_GT(nLit, 50);
    // Only the front half: the centre gets a half once, not twice.
    EXPECT_NEAR(data.Pixel(32, 32)[0], 0.5f, 0.03f);
    EXPECT_GT(data.Pixel(32, 32)[0], data.Pixel(32, 32 - 5)[0]);
}

TEST_F(EffectPassTest, HaloShowsItsFrontHalfOverAWallThroughTheLight)
{
    // A black wall just behind the light hides the back half of the sphere: what shows at the
    // centre is the front half's glow.
    SceneMaterial* pBlack = AddMaterial();
    pBlack->m_Material.Diffuse = {0, 0, 0, 1};
    pBlack->m_Material.Ambient = {0, 0, 0, 0};
    AddQuad(0, 0, 0.5f, 20, 20, pBlack);
    SceneLight* pLight = AddEffectLight(D3DLIGHT_POINT, 0, 0, 0);
    pLight->m_fHaloSize = 4.0f;
    auto frame = [&](int32_t bHalo) {
        pLight->m_bHalo = bHalo;
        return DrawOver(0, [&] { m_pApp->RenderScene(0, &g_matViewProjection); });
    };
    const d3d9test::SurfaceData with = frame(1), without = frame(0);
    EXPECT_LT(without.Pixel(32, 32)[0], 0.05f);
    EXPECT_NEAR(with.Pixel(32, 32)[0] - without.Pixel(32, 32)[0], 0.5f, 0.03f);
}

TEST_F(EffectPassTest, HaloNeedsTheHaloOnTheLightOnAndASize)
{
    SceneLight* pLight = AddEffectLight(D3DLIGHT_POINT, 0, 0, 0);
    struct Case
    {
        const char* szName;
        int32_t bHalo, bEnabled;
        float fSize;
    };
    const Case cases[] = {{"halo off", 0, 1, 4}, {"light enable 2", 1, 2, 4}, {"light off", 1, 0, 4},
                          {"size 0", 1, 1, 0},   {"size below 0", 1, 1, -3}};
    const d3d9test::SurfaceData before = DrawOver(0, [] {});
    for (const Case& k : cases)
    {
        pLight->m_bHalo = k.bHalo;
        pLight->m_bEnabled = k.bEnabled;
        pLight->m_fHaloSize = k.fSize;
        ExpectSame(DrawOver(0, [&] { m_pApp->DrawLightHalo(pLight); }), before, k.szName);
    }
}

TEST_F(EffectPassTest, LensFlareHiddenByWhatStandsBeforeTheLight)
{
    SceneMaterial* pMaterial = AddMaterial();
    AddQuad(0, 0, 10, 30, 30, pMaterial);   // a wall behind the light
    SceneLight* pLight = AddEffectLight(D3DLIGHT_POINT, 0, 0, 5);
    pLight->m_nLensCount = 4;
    pLight->m_fLensFlareSize = 2;
    pLight->m_fLensFlareDensity = 1;
    Camera().m_fFov = 3.14159265f / 4.0f;
    Camera().m_fAspect = 1.0f;
    Camera().m_fBackClip = 100.0f;
    auto frame = [&](int32_t bFlare) {
        pLight->m_bLensFlare = bFlare;
        return DrawOver(0, [&] { m_pApp->RenderScene(0, &g_matViewProjection); });
    };
    const Matrix4 projection = g_matProjection;
    const int nInClearView = ChangedPixels(frame(1), frame(0));
    EXPECT_GT(nInClearView, (int)(SIZE * SIZE) / 2) << "a wall behind the light does not hide the flare";
    EXPECT_EQ(std::memcmp(&projection, &g_matProjection, sizeof(projection)), 0) << "projection restored";

    // An occluder in front of the light covering the middle of the view.
    AddQuad(0, 0, 0, 4, 4, pMaterial);
    const d3d9test::SurfaceData with = frame(1), without = frame(0);
    for (UINT y = 24; y < 40; ++y)
        for (UINT x = 24; x < 40; ++x)
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(with.Pixel(x, y)[k], without.Pixel(x, y)[k]) << "hidden, pixel " << x << ", " << y;
    EXPECT_GT(ChangedPixels(with, without), nInClearView / 2) << "shown around the occluder";

    // A light behind the eye has no flare.
    pLight->m_vLightPosition = Vector3(0, 0, -20);
    EXPECT_EQ(ChangedPixels(frame(1), frame(0)), 0);
}

TEST_F(EffectPassTest, SpotConeOnlyForSpotLightsWithBothFlags)
{
    struct Case
    {
        D3DLIGHTTYPE nType;
        int32_t bEnabled, bCone;
        bool bCone2;
    };
    const Case cases[] = {{D3DLIGHT_SPOT, 1, 1, true},        {D3DLIGHT_POINT, 1, 1, false},
                          {D3DLIGHT_DIRECTIONAL, 1, 1, false}, {D3DLIGHT_SPOT, 2, 1, false},
                          {D3DLIGHT_SPOT, 1, 2, false},        {D3DLIGHT_SPOT, 1, 0, false}};
    SceneLight light;
    for (const Case& k : cases)
    {
        light.m_Light.Type = k.nType;
        light.m_bEnabled = k.bEnabled;
        light.m_bCone = k.bCone;
        EXPECT_EQ(HasSpotCone(light), k.bCone2) << k.nType << " " << k.bEnabled << " " << k.bCone;
    }
}

TEST_F(EffectPassTest, SpotConeLayersFollowTheFalloffInDegrees)
{
    SceneLight light;
    light.m_Light.Type = D3DLIGHT_SPOT;
    light.m_Light.Phi = 40.0f;
    light.m_Light.Range = 50.0f;
    light.m_vLightPosition = Vector3(1, 6, 2);
    const LightFrame frame = CurrentLightFrame(m_pApp->m_Scene);
    const float fTan = std::tan(20.0f * 3.14159265f / 180.0f);
    for (D3DVECTOR direction : {D3DVECTOR{0, 0, 1}, D3DVECTOR{0, -1, 0}, D3DVECTOR{0.6f, -0.8f, 0}})
    {
        light.m_Light.Direction = direction;
        for (int i : {0, 7, 15})
        {
            SpotConeLayer layer;
            ASSERT_TRUE(BuildSpotConeLayer(light, i, frame, layer));
            const float fShare = (float)(i + 1) / 16.0f;
            EXPECT_NEAR(layer.fLength, 10.0f, 1e-5f);
            EXPECT_NEAR(layer.fFarRadius, fTan * 10.0f * fShare, 1e-5f) << "layer " << i;
            const float fSlope = std::tan(20.0f * 3.14159265f / 180.0f * fShare);
            EXPECT_NEAR(layer.vertex.c[2][0], fSlope * fSlope, 1e-6f);
            for (int r = 0; r < 24; ++r)
                for (int n = 0; n < 4; ++n)
                    ASSERT_TRUE(std::isfinite(layer.vertex.c[r][n])) << "c" << r << ", direction y " << direction.y;
            // The light frame (c12-c15, transposed) puts the apex on the light and z on the beam.
            const float(*c)[4] = layer.vertex.c;
            const D3DXVECTOR4 apex(c[12][3], c[13][3], c[14][3], c[15][3]);
            EXPECT_NEAR(apex.x, 1, 1e-5f);
            EXPECT_NEAR(apex.y, 6, 1e-5f);
            EXPECT_NEAR(apex.z, 2, 1e-5f);
            EXPECT_NEAR(c[12][2], direction.x, 1e-5f);
            EXPECT_NEAR(c[13][2], direction.y, 1e-5f);
            EXPECT_NEAR(c[14][2], direction.z, 1e-5f);
        }
    }
    light.m_Light.Direction = {0, 0, 0};
    SpotConeLayer layer;
    EXPECT_FALSE(BuildSpotConeLayer(light, 0, frame, layer));
}

TEST_F(EffectPassTest, SpotConeAddsTheFogColourAndPutsTheStatesBack)
{
    SceneLight* pLight = AddEffectLight(D3DLIGHT_SPOT, 0, 3, 0);
    pLight->m_Light.Direction = {0, -1, 0};
    pLight->m_Light.Phi = 60.0f;
    pLight->m_Light.Range = 30.0f;
    pLight->m_bCone = 1;
    Camera().m_fFogDensity = 100.0f;
    Camera().m_fFogScale = 1.0f;
    const float fog[3] = {1.0f, 0.5f, 0.25f};
    std::memcpy(Camera().m_vFogColor, fog, sizeof(fog));
    const d3d9test::SurfaceData before = DrawOver(0, [] {});
    const d3d9test::SurfaceData cone = DrawOver(0, [&] { m_pApp->DrawSpotCone(pLight); });
    EXPECT_GT(ChangedPixels(cone, before), 100);
    // What it adds is the fog colour times 1 - t: red at least green, green at least blue.
    for (UINT y = 0; y < SIZE; ++y)
        for (UINT x = 0; x < SIZE; ++x)
        {
            const float* p = cone.Pixel(x, y);
            EXPECT_GE(p[0] + BYTE_STEP, p[1]);
            EXPECT_GE(p[1] + BYTE_STEP, p[2]);
        }

    // A shell that cannot be made (a negative range) ends the cone with the states put back.
    pLight->m_Light.Range = -5.0f;
    ExpectSame(DrawOver(0, [&] { m_pApp->DrawSpotCone(pLight); }), before, "no shell");
    DWORD nZWrite = 0, nBlend = 1;
    m_pDevice->GetRenderState(D3DRS_ZWRITEENABLE, &nZWrite);
    m_pDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &nBlend);
    EXPECT_EQ(nZWrite, (DWORD)TRUE);
    EXPECT_EQ(nBlend, (DWORD)FALSE);

    // No density: nothing added.
    pLight->m_Light.Range = 30.0f;
    Camera().m_fFogDensity = 0.0f;
    EXPECT_EQ(ChangedPixels(DrawOver(0, [&] { m_pApp->DrawSpotCone(pLight); }), before), 0);
}

TEST_F(EffectPassTest, DepthOfFieldPassConstants)
{
    D3DXVECTOR4 jitter[RenderApp::JITTER_DIRECTION_COUNT];
    for (int i = 0; i < RenderApp::JITTER_DIRECTION_COUNT; ++i)
        jitter[i] = D3DXVECTOR4((float)i, 0.5f, -1.0f, 0.25f);
    SceneCamera& camera = Camera();
    camera.m_fDofNear = 60;
    camera.m_fDofFar = 350;
    camera.m_nDofBlur = 25;
    struct Case
    {
        int nQuality, k, nPasses, nFirstEntry;
    };
    // Quality beyond the table's 24 passes is kept at 24, below 1 at 1.
    const Case cases[] = {{1, 0, 1, 247}, {8, 3, 8, 220}, {24, 23, 24, 40}, {100, 23, 24, 40}, {0, 0, 1, 247},
                          {-4, 0, 1, 247}};
    for (const Case& c : cases)
    {
        camera.m_nDofQuality = c.nQuality;
        EXPECT_EQ(DepthOfFieldPasses(camera), c.nPasses);
        ConstantTable pixel;
        BuildDepthOfFieldPassConstants(camera, c.k, jitter, pixel);
        EXPECT_FLOAT_EQ(pixel.c[0][0], 0.111111f / (float)c.nPasses) << "quality " << c.nQuality;
        EXPECT_FLOAT_EQ(pixel.c[1][0], 60.0f);
        EXPECT_FLOAT_EQ(pixel.c[1][1], 350.0f);
        EXPECT_FLOAT_EQ(pixel.c[1][2], 0.025f);
        for (int n = 0; n < 9; ++n)
            EXPECT_EQ(pixel.c[2 + n][0], (float)(c.nFirstEntry + n)) << "quality " << c.nQuality << ", tap " << n;
    }
}

TEST_F(EffectPassTest, DepthOfFieldWithoutBlurShowsTheSceneTexture)
{
    ASSERT_NE(g_pSceneTexture, nullptr);
    ASSERT_NE(g_pTracerDepthStencil, nullptr);
    AddQuad(0, 0, 0, 6, 6, AddMaterial(), true);
    SceneLight* pLight = AddEffectLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    pLight->m_Light.Direction = {0, 0, 1};
    Camera().m_bDofActive = 1;
    Camera().m_nDofBlur = 0;
    Camera().m_fDofNear = 2;
    Camera().m_fDofFar = 5;
    for (int nQuality : {1, 3})
    {
        Camera().m_nDofQuality = nQuality;
        const d3d9test::SurfaceData data = DrawOver(D3DCOLOR_ARGB(255, 40, 80, 160), [&] {
            m_pApp->RenderSceneWithDepthOfField(&g_matViewProjection);
        });
        IDirect3DSurface9* pSceneSurface = nullptr;
        ASSERT_EQ(g_pSceneTexture->GetSurfaceLevel(0, &pSceneSurface), D3D_OK);
        d3d9test::SurfaceData scene;
        ASSERT_TRUE(d3d9test::ReadSurface(pSceneSurface, scene));
        pSceneSurface->Release();
        int nCovered = 0;
        for (UINT y = 0; y < SIZE; ++y)
            for (UINT x = 0; x < SIZE; ++x)
            {
                const D3DXVECTOR3 ray = PixelRay(x, y, SIZE);
                const float fX = 10 * ray.x, fY = 10 * ray.y;
                const float* p = data.Pixel(x, y);
                if (std::fabs(fX) > 3.2f || std::fabs(fY) > 3.2f)
                {
                    EXPECT_EQ(p[0] + p[1] + p[2], 0.0f) << "uncovered pixel " << x << ", " << y;
                    continue;
                }
                if (std::fabs(fX) > 2.7f || std::fabs(fY) > 2.7f)
                    continue;
                const UINT u = (UINT)(((float)x + 0.5f) / SIZE * (float)scene.nWidth);
                const UINT v = (UINT)(((float)y + 0.5f) / SIZE * (float)scene.nHeight);
                const float* s = scene.Pixel(u, v);
                EXPECT_GT(s[0], 0.1f);
                for (int k = 0; k < 3; ++k)
                    EXPECT_NEAR(p[k], s[k], (float)(nQuality + 1) * BYTE_STEP)
                        << "quality " << nQuality << ", pixel " << x << ", " << y;
                ++nCovered;
            }
        EXPECT_GT(nCovered, 400);
        // The target and the depth surface the frame had are bound again.
        IDirect3DSurface9* pTarget = nullptr;
        IDirect3DSurface9* pDepth = nullptr;
        m_pDevice->GetRenderTarget(0, &pTarget);
        m_pDevice->GetDepthStencilSurface(&pDepth);
        EXPECT_EQ(pTarget, m_pTarget);
        EXPECT_EQ(pDepth, m_pDepth);
        pTarget->Release();
        pDepth->Release();
        // The scene texture is off stage 0, and a texture bound there through the renderer
        // reaches the device.
        IDirect3DBaseTexture9* pStage = nullptr;
        m_pDevice->GetTexture(0, &pStage);
        EXPECT_EQ(pStage, nullptr);
        m_pApp->GetRenderer()->BindTexture(0, m_nWhite);
        m_pDevice->GetTexture(0, &pStage);
        EXPECT_NE(pStage, nullptr);
        if (pStage)
            pStage->Release();
    }
}

TEST_F(EffectPassTest, DepthOfFieldBlursTheEdgesAndKeepsAnEvenInside)
{
    // A quad of one colour far beyond the far depth, with the strongest blur: the taps reach a
    // few pixels, so the inside keeps the colour (the passes' weights add up to one) and the edge
    // mixes in the black around it.
    AddQuad(0, 0, 0, 6, 6, AddMaterial(), true);
    SceneLight* pLight = AddEffectLight(D3DLIGHT_DIRECTIONAL, 0, 0, 0);
    pLight->m_Light.Direction = {0, 0, 1};
    Camera().m_nDofQuality = 3;
    Camera().m_nDofBlur = 100;
    Camera().m_fDofNear = 1;
    Camera().m_fDofFar = 1.5f;
    const d3d9test::SurfaceData data =
        DrawOver(0, [&] { m_pApp->RenderSceneWithDepthOfField(&g_matViewProjection); });
    IDirect3DSurface9* pSceneSurface = nullptr;
    ASSERT_EQ(g_pSceneTexture->GetSurfaceLevel(0, &pSceneSurface), D3D_OK);
    d3d9test::SurfaceData scene;
    ASSERT_TRUE(d3d9test::ReadSurface(pSceneSurface, scene));
    pSceneSurface->Release();
    const float* pColour = scene.Pixel(scene.nWidth / 2, scene.nHeight / 2);
    ASSERT_GT(pColour[0], 0.1f);
    for (UINT y = 24; y < 40; ++y)
        for (UINT x = 24; x < 40; ++x)
            for (int k = 0; k < 3; ++k)
                EXPECT_NEAR(data.Pixel(x, y)[k], pColour[k], 4 * BYTE_STEP) << "inside, pixel " << x << ", " << y;
    // The quad's left edge lies at pixel 8.7 or so; a pixel just inside it is darker.
    EXPECT_LT(data.Pixel(10, 32)[0], pColour[0] - 8 * BYTE_STEP);
}

TEST_F(EffectPassTest, DepthOfFieldFramesOfAStillSceneAreTheSame)
{
    // A transparent quad larger than the opaque one behind it, with the background on (the main
    // pass then leaves the target's colour alone): without its colour cleared, the scene
    // texture would add the transparent pixels up from frame to frame.
    g_bBackground = 1;
    AddQuad(0, 0, 2, 2, 2, AddMaterial(), true);
    AddQuad(0, 0, 0, 5, 5, AddMaterial(0.5f), true);
    // The first frame marks every mesh visible; the transparent one, never queried, stays so.
    m_pApp->m_Visibility[0] = m_pApp->m_Visibility[1] = 1;
    AddEffectLight(D3DLIGHT_POINT, 0, 0, -5);
    Camera().m_nDofQuality = 2;
    Camera().m_nDofBlur = 30;
    Camera().m_fDofNear = 1;
    Camera().m_fDofFar = 3;
    auto frame = [&] {
        return DrawOver(0, [&] { m_pApp->RenderSceneWithDepthOfField(&g_matViewProjection); });
    };
    const d3d9test::SurfaceData first = frame();
    frame();
    ExpectSame(frame(), first, "third frame");
    EXPECT_GT(LitPixels(first), 100);
}
