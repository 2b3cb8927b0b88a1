// The background box drawn on the device around a scene box centred at (1, 1, 1): in the camera
// mode each face direction shows its face of a six-colour cube; the photon mode writes the
// reflected direction and the energy to two targets; the cube-position mode maps the object
// cube's texels back into the scene box; a box that cannot be created changes nothing.
#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "raster/BackgroundBox.h"

#include <cstring>
#include <string>

namespace
{
const D3DCOLOR FACE_COLOURS[6] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};
// Look direction and up vector of each cube face.
const float FACES[6][6] = {{1, 0, 0, 0, 1, 0},  {-1, 0, 0, 0, 1, 0}, {0, 1, 0, 0, 0, -1},
                           {0, -1, 0, 0, 0, 1}, {0, 0, 1, 0, 1, 0},  {0, 0, -1, 0, 1, 0}};
const D3DXVECTOR3 CENTRE(1, 1, 1);

class BackgroundBoxDrawTest : public ScenePassTest
{
protected:
    void SetUp() override
    {
        ScenePassTest::SetUp();
        g_vSceneMin = Vector3(-1, -2, -3);
        g_vSceneMax = Vector3(3, 4, 5);
        IDirect3DCubeTexture9* pCube = nullptr;
        ASSERT_EQ(m_pDevice->CreateCubeTexture(1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pCube, nullptr), D3D_OK);
        for (int f = 0; f < 6; ++f)
        {
            D3DLOCKED_RECT locked;
            ASSERT_EQ(pCube->LockRect((D3DCUBEMAP_FACES)f, 0, &locked, nullptr, 0), D3D_OK);
            std::memcpy(locked.pBits, &FACE_COLOURS[f], 4);
            pCube->UnlockRect((D3DCUBEMAP_FACES)f, 0);
        }
        // The application releases its environment cube with the device.
        if (g_pEnvironmentCubeTexture)
            g_pEnvironmentCubeTexture->Release();
        g_pEnvironmentCubeTexture = pCube;
        D3DXMatrixPerspectiveFovLH(&m_Projection, D3DX_PI / 2, 1.0f, 0.1f, 100.0f);
        // The tracer's own object cube target, which the application releases with the device.
        m_pTracerCube = g_pCubeTarget;
    }

    void TearDown() override
    {
        for (IUnknown* pObject : m_Objects)
            pObject->Release();
        g_pCubeTarget = m_pTracerCube;
        ScenePassTest::TearDown();
    }

    // The view from the scene centre along face f, and the world direction of the ray through
    // pixel (x, y) of the 64 x 64 target.
    D3DXMATRIX FaceView(int f, int x, int y, D3DXVECTOR3& ray) const
    {
        const float* face = FACES[f];
        D3DXVECTOR3 at(CENTRE.x + face[0], CENTRE.y + face[1], CENTRE.z + face[2]), up(face[3], face[4], face[5]);
        D3DXMATRIX view;
        D3DXMatrixLookAtLH(&view, &CENTRE, &at, &up);
        // Direct3D 9 puts pixel centres on integer window coordinates.
        float ndcX = (float)x / SIZE * 2.0f - 1.0f, ndcY = 1.0f - (float)y / SIZE * 2.0f;
        // Rows 0 to 2 of the view's rotation part hold the right, up and forward axes as columns.
        D3DXVECTOR3 viewRay(ndcX, ndcY, 1.0f), world(0, 0, 0);
        world.x = view._11 * viewRay.x + view._12 * viewRay.y + view._13 * viewRay.z;
        world.y = view._21 * viewRay.x + view._22 * viewRay.y + view._23 * viewRay.z;
        world.z = view._31 * viewRay.x + view._32 * viewRay.y + view._33 * viewRay.z;
        D3DXVec3Normalize(&ray, &world);
        return view;
    }

    void Draw(const D3DXMATRIX& view, int nMode)
    {
        m_pDevice->BeginScene();
        m_pApp->DrawBackgroundBox(Vector3(CENTRE.x, CENTRE.y, CENTRE.z), view, m_Projection, nMode);
        m_pDevice->EndScene();
    }

    // A 64 x 64 floating-point target texture bound as render target n.
    IDirect3DSurface9* FloatTarget(DWORD n)
    {
        IDirect3DTexture9* pTexture = nullptr;
        EXPECT_EQ(m_pDevice->CreateTexture(SIZE, SIZE, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A32B32G32R32F, D3DPOOL_DEFAULT,
                                           &pTexture, nullptr),
                  D3D_OK);
        IDirect3DSurface9* pSurface = nullptr;
        pTexture->GetSurfaceLevel(0, &pSurface);
        pTexture->Release();
        m_pDevice->SetRenderTarget(n, pSurface);
        m_Objects.push_back(pSurface);
        return pSurface;
    }

    static d3d9test::SurfaceData Read(IDirect3DSurface9* pSurface)
    {
        d3d9test::SurfaceData data;
        EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
        return data;
    }

    D3DXMATRIX m_Projection;
    std::vector<IUnknown*> m_Objects;
    IDirect3DCubeTexture9* m_pTracerCube = nullptr;
};

void ExpectPixel(const float* pGot, const float want[4], float fTolerance, const std::string& strWhat)
{
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(pGot[k], want[k], fTolerance) << strWhat << ", component " << k;
}

void ColourOf(D3DCOLOR colour, float rgba[4])
{
    rgba[0] = (float)((colour >> 16) & 0xFF) / 255.0f;
    rgba[1] = (float)((colour >> 8) & 0xFF) / 255.0f;
    rgba[2] = (float)(colour & 0xFF) / 255.0f;
    rgba[3] = (float)(colour >> 24) / 255.0f;
}
}

TEST_F(BackgroundBoxDrawTest, CameraViewShowsEachFaceOfTheCube)
{
    for (int f = 0; f < 6; ++f)
    {
        D3DXVECTOR3 ray;
        D3DXMATRIX view = FaceView(f, 20, 41, ray);
        Draw(view, BACKGROUND_CAMERA);
        d3d9test::SurfaceData data = ReadTarget();
        float want[4];
        ColourOf(FACE_COLOURS[f], want);
        for (UINT y : {2u, 32u, 61u})
            for (UINT x : {2u, 32u, 61u})
                ExpectPixel(Pixel(data, x, y), want, 1.0f / 255.0f, "face " + std::to_string(f));
    }
    // What the box leaves behind: depth test and writes on, solid fill, nothing on stage 2, and
    // the renderer's record of stage 2 reset, so that a texture bound there next really arrives.
    DWORD nValue = 0;
    m_pDevice->GetRenderState(D3DRS_ZENABLE, &nValue);
    EXPECT_EQ(nValue, (DWORD)TRUE);
    m_pDevice->GetRenderState(D3DRS_ZWRITEENABLE, &nValue);
    EXPECT_EQ(nValue, (DWORD)TRUE);
    m_pDevice->GetRenderState(D3DRS_ALPHABLENDENABLE, &nValue);
    EXPECT_EQ(nValue, (DWORD)FALSE);
    m_pDevice->GetRenderState(D3DRS_CULLMODE, &nValue);
    EXPECT_EQ(nValue, (DWORD)D3DCULL_CW);
    IDirect3DBaseTexture9* pStage2 = nullptr;
    m_pDevice->GetTexture(2, &pStage2);
    EXPECT_EQ(pStage2, nullptr);
    m_pApp->GetRenderer()->BindTexture(2, m_nWhite);
    m_pDevice->GetTexture(2, &pStage2);
    EXPECT_NE(pStage2, nullptr);
    if (pStage2)
        pStage2->Release();
}

TEST_F(BackgroundBoxDrawTest, PhotonModeWritesDirectionAndEnergy)
{
    IDirect3DSurface9* pDirection = FloatTarget(0);
    IDirect3DSurface9* pEnergy = FloatTarget(1);
    const float photon[4] = {0.5f, 0.25f, 2.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(29, photon, 1);
    for (int f = 0; f < 6; ++f)
    {
        D3DXVECTOR3 ray;
        D3DXMATRIX view = FaceView(f, 20, 41, ray);
        Draw(view, BACKGROUND_PHOTON_ENERGY);
        // Seen from the centre the wall's normal points back along the ray, so the view ray
        // reflects straight back: the encoded direction is 1 - (-ray); the energy is the face the
        // ray meets times the photon colour.
        const float wantDirection[4] = {1 + ray.x, 1 + ray.y, 1 + ray.z, 1};
        float face[4];
        ColourOf(FACE_COLOURS[f], face);
        const float wantEnergy[4] = {face[0] * photon[0], face[1] * photon[1], face[2] * photon[2], face[3] * photon[3]};
        std::string strCase = "face " + std::to_string(f);
        ExpectPixel(Read(pDirection).Pixel(20, 41), wantDirection, 1e-4f, strCase + ", direction");
        ExpectPixel(Read(pEnergy).Pixel(20, 41), wantEnergy, 1e-5f, strCase + ", energy");
    }
    m_pDevice->SetRenderTarget(1, nullptr);
}

TEST_F(BackgroundBoxDrawTest, CubePositionModeMapsBackIntoTheSceneBox)
{
    IDirect3DSurface9* pTarget = FloatTarget(0);
    IDirect3DCubeTexture9* pCube = nullptr;
    ASSERT_EQ(m_pDevice->CreateCubeTexture(1, 1, 0, D3DFMT_A32B32G32R32F, D3DPOOL_MANAGED, &pCube, nullptr), D3D_OK);
    m_Objects.push_back(pCube);
    float stored[6][4];
    for (int f = 0; f < 6; ++f)
    {
        const float value[4] = {0.1f * (float)(f + 1), 0.5f, 1.0f - 0.1f * (float)f, 0.25f};
        std::memcpy(stored[f], value, sizeof(value));
        D3DLOCKED_RECT locked;
        ASSERT_EQ(pCube->LockRect((D3DCUBEMAP_FACES)f, 0, &locked, nullptr, 0), D3D_OK);
        std::memcpy(locked.pBits, value, sizeof(value));
        pCube->UnlockRect((D3DCUBEMAP_FACES)f, 0);
    }
    g_pCubeTarget = pCube;
    for (int f = 0; f < 6; ++f)
    {
        D3DXVECTOR3 ray;
        D3DXMATRIX view = FaceView(f, 32, 32, ray);
        Draw(view, BACKGROUND_CUBE_POSITION);
        // The reflected ray points back at the opposite face; its texel times the extent
        // (4, 6, 8) plus the minimum (-1, -2, -3).
        const float* s = stored[f ^ 1];
        const float want[4] = {s[0] * 4 - 1, s[1] * 6 - 2, s[2] * 8 - 3, s[3] + 1};
        ExpectPixel(Read(pTarget).Pixel(32, 32), want, 1e-5f, "face " + std::to_string(f));
    }
}

TEST_F(BackgroundBoxDrawTest, BoxThatCannotBeCreatedChangesNothing)
{
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF336699, 1.0f, 0);
    D3DXVECTOR3 ray;
    D3DXMATRIX view = FaceView(0, 32, 32, ray);
    d3d9test::StateSnapshot before = d3d9test::CaptureState(m_pDevice);
    ClearLogLines();
    d3d9test::FailNext(m_pDevice, "CreateVertexBuffer");
    Draw(view, BACKGROUND_CAMERA);
    EXPECT_TRUE(d3d9test::DiffState(before, d3d9test::CaptureState(m_pDevice)).empty());
    d3d9test::SurfaceData data = ReadTarget();
    const float want[4] = {0x33 / 255.0f, 0x66 / 255.0f, 0x99 / 255.0f, 1.0f};
    ExpectPixel(Pixel(data, 32, 32), want, 1e-6f, "target kept");
    int nErrors = 0;
    for (const LogLine& line : GetLogLines())
        nErrors += line.m_nType == LOG_ERROR && line.m_strText.find("DrawBackgroundBox") != std::string::npos;
    EXPECT_EQ(nErrors, 1);
}
