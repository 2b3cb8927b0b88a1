// The forward pass on small scenes read back at 64 x 64, against the main pass where the two
// must agree and where they differ by design, with its mends: hidden meshes stay out, a
// transparent mesh that leaves the view comes back, and the soft shadows darken the lit image.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "morvyn/morvyn.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"

#include <cmath>
#include <cstring>
#include <string>

namespace
{
class ForwardPassTest : public ScenePassTest
{
protected:
    // A w x h quad at (x, y, z) turned by fAngle about the vertical axis, wound so that the
    // forward pass's culling keeps it (counter-clockwise seen from the camera). Turned, its
    // bounding box is deep enough not to count as flat.
    SceneMesh* AddTurnedQuad(float x, float y, float z, float w, float h, float fAngle, SceneMaterial* pMaterial)
    {
        const float c = std::cos(fAngle) * w / 2, s = std::sin(fAngle) * w / 2;
        const Vector3 corners[4] = {Vector3(x - c, y + h / 2, z - s), Vector3(x - c, y - h / 2, z - s),
                                    Vector3(x + c, y + h / 2, z + s), Vector3(x + c, y - h / 2, z + s)};
        return AddQuadCorners(corners, Vector3(-std::sin(fAngle), 0, -std::cos(fAngle)), pMaterial);
    }

    void RenderForward(int nMode = 0)
    {
        m_pDevice->BeginScene();
        m_pApp->RenderSceneForward(nMode, &g_matViewProjection);
        m_pDevice->EndScene();
    }

    // A renderer cube texture whose every texel is (r, g, b, a) bytes.
    int AddSolidCube(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
    {
        PixelImage* pFaces[6];
        for (PixelImage*& pFace : pFaces)
        {
            uint8_t* pPixels = AllocatePixels(4);
            const uint8_t rgba[4] = {r, g, b, a};
            std::memcpy(pPixels, rgba, 4);
            pFace = new PixelImage();
            pFace->Adopt(pPixels, 1, 1, RGBA8, true, false);
        }
        return m_pApp->GetRenderer()->AddCubeTexture(pFaces);
    }

    static void ExpectSameImage(const d3d9test::SurfaceData& a, const d3d9test::SurfaceData& b, float fTolerance,
                                const std::string& strWhat)
    {
        int nDifferent = 0;
        for (UINT y = 0; y < a.nHeight; ++y)
            for (UINT x = 0; x < a.nWidth; ++x)
                for (int c = 0; c < 3; ++c)
                    nDifferent += std::fabs(a.Pixel(x, y)[c] - b.Pixel(x, y)[c]) > fTolerance ? 1 : 0;
        EXPECT_EQ(nDifferent, 0) << strWhat;
    }
};
}

TEST_F(ForwardPassTest, AgreesWithTheMainPassOnLitOpaqueMeshes)
{
    SceneMaterial* pMaterial = AddMaterial();
    AddTurnedQuad(-1.5f, 0, 0, 3, 4, 0.5f, pMaterial);
    AddTurnedQuad(1.5f, 0.5f, 1, 3, 3, -0.4f, pMaterial);
    AddLight(D3DLIGHT_POINT, 2, 3, -4);
    AddLight(D3DLIGHT_POINT, -3, -1, -2)->m_Light.Attenuation1 = 0.05f;
    RenderFrame();
    d3d9test::SurfaceData main = ReadTarget();
    const int nMainFaces = g_nVisibleFaces;
    ASSERT_GT(LitPixels(main), 200);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0);
    g_nVisibleFaces = 0;
    RenderForward();
    ExpectSameImage(ReadTarget(), main, 1.0f / 255.0f, "forward against main");
    EXPECT_EQ(g_nVisibleFaces, nMainFaces);
    // It leaves blending and culling off.
    DWORD nValue = 0;
    m_pDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &nValue);
    EXPECT_EQ(nValue, (DWORD)FALSE);
    m_pDevice->GetRenderState(D3DRS_CULLMODE, &nValue);
    EXPECT_EQ(nValue, (DWORD)D3DCULL_NONE);
}

TEST_F(ForwardPassTest, OverTheBackgroundItAddsLightWhereTheMainPassReplacesIt)
{
    AddTurnedQuad(0, 0, 0, 4, 4, 0.3f, AddMaterial());
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    g_bBackground = 1;
    const D3DCOLOR box = 0xFF303030;
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, box, 1.0f, 0);
    RenderFrame();
    d3d9test::SurfaceData main = ReadTarget();
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, box, 1.0f, 0);
    RenderForward();
    d3d9test::SurfaceData forward = ReadTarget();
    const float fBox = 0x30 / 255.0f;
    for (int c = 0; c < 3; ++c)
    {
        // The main pass's depth pass blacks the mesh out first; the forward pass keeps the colour.
        EXPECT_NEAR(forward.Pixel(SIZE / 2, SIZE / 2)[c], std::fmin(1.0f, main.Pixel(SIZE / 2, SIZE / 2)[c] + fBox),
                    1.5f / 255.0f)
            << "channel " << c;
        EXPECT_NEAR(forward.Pixel(1, 1)[c], fBox, 1e-6f);
        EXPECT_NEAR(main.Pixel(1, 1)[c], fBox, 1e-6f);
    }
}

TEST_F(ForwardPassTest, HiddenMeshStaysOutAndATransparentMeshComesBackIntoView)
{
    SceneMesh* pHidden = AddTurnedQuad(0, 0, 0, 4, 4, 0.3f, AddMaterial());
    pHidden->m_bVisible = 0;
    SceneMesh* pGlass = AddTurnedQuad(0, 0, 2, 6, 6, 0.2f, AddMaterial(0.5f));
    AddLight(D3DLIGHT_POINT, 0, 0, -5);
    m_pApp->m_Visibility[0] = 9;
    d3d9test::ResetStats(m_pDevice);
    RenderForward();
    // The hidden mesh is neither queried nor lit: only the glass's two light passes draw.
    EXPECT_EQ(m_pApp->m_Visibility[0], 0u);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nQueries, 0u);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, 2u);
    EXPECT_EQ(pGlass->m_bInFrustum, 1);
    const int nLit = LitPixels(ReadTarget());
    EXPECT_GT(nLit, 0);

    // Turn away: the glass is out of view and left out; turn back: it is drawn again.
    const Matrix4 view = g_matView;
    D3DXMATRIX away;
    D3DXVECTOR3 eye(0, 0, -10), at(0, 0, -20), up(0, 1, 0);
    D3DXMatrixLookAtLH(&away, &eye, &at, &up);
    g_matView = ToMatrix4(away);
    d3d9test::ResetStats(m_pDevice);
    RenderForward();
    EXPECT_EQ(pGlass->m_bInFrustum, 0);
    EXPECT_EQ(d3d9test::Stats(m_pDevice).nDraws, 0u);
    g_matView = view;
    RenderForward();
    EXPECT_EQ(pGlass->m_bInFrustum, 1);
    EXPECT_EQ(LitPixels(ReadTarget()), nLit);
}

TEST_F(ForwardPassTest, SoftShadowsMultiplyTheLitImageOnlyWithTracePhotonAndAShadowCube)
{
    SceneMaterial* pMaterial = AddMaterial();
    pMaterial->m_fMaterialFactor = 0.5f;
    AddTurnedQuad(0, 0, 0, 5, 5, 0.3f, pMaterial);
    SceneLight* pLight = AddLight(D3DLIGHT_POINT, 1, 2, -5);
    RenderForward();
    d3d9test::SurfaceData lit = ReadTarget();
    ASSERT_GT(LitPixels(lit), 200);

    // Trace Photon on, but the light has no shadow cube: nothing darkens.
    g_bTracePhoton = 1;
    RenderForward();
    ExpectSameImage(ReadTarget(), lit, 1.0f / 255.0f, "no shadow cube");

    // A shadow cube of depth 0 holding another object: every tap is in shadow, so the lit image
    // is multiplied by the shadow level 0.5.
    pLight->m_nTextureId = AddSolidCube(0, 255, 0, 255);
    ASSERT_GE(pLight->m_nTextureId, 0);
    RenderForward();
    d3d9test::SurfaceData shadowed = ReadTarget();
    int nChecked = 0;
    for (UINT y = 0; y < SIZE; y += 3)
        for (UINT x = 0; x < SIZE; x += 3)
            for (int c = 0; c < 3; ++c)
            {
                EXPECT_NEAR(shadowed.Pixel(x, y)[c], lit.Pixel(x, y)[c] * 0.5f, 1.0f / 255.0f) << x << ", " << y;
                nChecked += lit.Pixel(x, y)[c] > 0.1f ? 1 : 0;
            }
    EXPECT_GT(nChecked, 50);
    g_bTracePhoton = 0;
}
