#include "ScenePassFixture.h"

#include "3dapi/Renderer.h"
#include "core/PixelBuffer.h"
#include "core/PixelImage.h"
#include "morvyn/morvyn.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneGeometryBlock.h"

#include <win32/user.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{
int SolidTexture(Renderer& renderer, uint8_t r, uint8_t g, uint8_t b, uint8_t a = 255)
{
    uint8_t* pPixels = AllocatePixels(4);
    // The renderer keeps its images in the byte order it uploads: blue first unless told otherwise.
    const bool bRgb = renderer.GetRgbOrder();
    const uint8_t rgba[4] = {bRgb ? r : b, g, bRgb ? b : r, a};
    std::memcpy(pPixels, rgba, 4);
    PixelImage* pImage = new PixelImage();
    pImage->Adopt(pPixels, 1, 1, RGBA8, true, false);
    return renderer.AddTexture(pImage, 0);
}
}

void ScenePassTest::SetUp()
{
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "ScenePassWnd";
    RegisterClassExA(&wc);
    m_hWnd = CreateWindowExA(0, "ScenePassWnd", "render", WS_POPUP | WS_VISIBLE, 0, 0, 320, 240, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(m_hWnd, nullptr);
    m_Driver.pumpUntilIdle();
    SetLogEcho(false);
    m_pApp = std::make_unique<RenderApp>();
    ASSERT_TRUE(m_pApp->Init());
    ASSERT_TRUE(m_pApp->InitDevice(m_hWnd, 0, false, 0));
    // The media files are not there: Load reports each in a message box.
    m_Driver.answers().msgbox(IDOK).msgbox(IDOK).msgbox(IDOK);
    ASSERT_TRUE(m_pApp->Load());
    m_pDevice = m_pApp->GetDevice();
    ASSERT_EQ(m_pDevice->CreateRenderTarget(SIZE, SIZE, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &m_pTarget,
                                            nullptr),
              D3D_OK);
    ASSERT_EQ(m_pDevice->CreateDepthStencilSurface(SIZE, SIZE, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &m_pDepth,
                                                   nullptr),
              D3D_OK);
    m_pDevice->SetRenderTarget(0, m_pTarget);
    m_pDevice->SetDepthStencilSurface(m_pDepth);
    m_pDevice->SetVertexDeclaration(m_pApp->m_pMeshDecl);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);

    Renderer& renderer = *m_pApp->GetRenderer();
    m_nWhite = SolidTexture(renderer, 255, 255, 255);
    m_nFlatBump = SolidTexture(renderer, 128, 128, 128);
    m_nBlack = SolidTexture(renderer, 0, 0, 0);

    D3DXMATRIX view, projection;
    D3DXVECTOR3 eye(0, 0, -10), at(0, 0, 0), up(0, 1, 0);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, 3.14159265f / 4.0f, 1.0f, 1.0f, 100.0f);
    g_matView = ToMatrix4(view);
    g_matProjection = ToMatrix4(projection);
    m_pApp->m_Scene.m_Camera.m_RigidBody.m_vPosition = Vector3(0, 0, -10);
    g_bSceneChanged = 0;
    g_bBackground = 0;
    g_bForceWireframe = 0;
    g_bReflection = 0;
    g_bRefraction = 0;
    g_bDynamicCubeMap = 0;
    g_bTracePhoton = 0;
    g_nVisibleFaces = 0;
}

void ScenePassTest::TearDown()
{
    if (m_pTarget)
        m_pTarget->Release();
    if (m_pDepth)
        m_pDepth->Release();
    if (m_pApp)
        m_pApp->ReleaseDevice(m_hWnd);
    m_pApp.reset();
    if (m_hWnd)
        DestroyWindow(m_hWnd);
    SetLogEcho(true);
    auto live = d3d9test::LiveObjects();
    EXPECT_TRUE(live.empty()) << "first survivor: " << live.front().strKind;
}

SceneMaterial* ScenePassTest::AddMaterial(float fOpacity)
{
    SceneMaterial* pMaterial = new SceneMaterial();
    pMaterial->m_Material.Diffuse = {0.8f, 0.6f, 0.4f, 1.0f};
    pMaterial->m_Material.Specular = {0, 0, 0, 1};
    pMaterial->m_Material.Ambient = {0.1f, 0, 0, 0};
    pMaterial->m_Material.Power = 1000.0f;
    pMaterial->m_vOpacity[0] = fOpacity;
    pMaterial->m_fMaterialFactor = 0.0f;
    pMaterial->SetTextureIds(m_nWhite, m_nFlatBump, -1, m_nBlack, -1, -1);
    m_pApp->m_Scene.m_Materials.Add(pMaterial);
    return pMaterial;
}

SceneMesh* ScenePassTest::AddQuad(float x, float y, float z, float w, float h, SceneMaterial* pMaterial,
                                  bool bCounterClockwise)
{
    const Vector3 topLeft(x - w / 2, y + h / 2, z), topRight(x + w / 2, y + h / 2, z);
    const Vector3 bottomLeft(x - w / 2, y - h / 2, z), bottomRight(x + w / 2, y - h / 2, z);
    // Corners 1 and 2 swapped turn both triangles round.
    const Vector3 clockwise[4] = {topLeft, topRight, bottomLeft, bottomRight};
    const Vector3 counterClockwise[4] = {topLeft, bottomLeft, topRight, bottomRight};
    return AddQuadCorners(bCounterClockwise ? counterClockwise : clockwise, Vector3(0, 0, -1), pMaterial);
}

SceneMesh* ScenePassTest::AddQuadCorners(const Vector3 corners[4], const Vector3& vNormal, SceneMaterial* pMaterial)
{
    SceneMesh* pMesh = new SceneMesh();
    EXPECT_TRUE(pMesh->AllocateTriangles(2));
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    const int order[6] = {0, 1, 2, 2, 1, 3};
    for (int k = 0; k < 6; ++k)
    {
        MeshVertex& v = pMesh->m_pVertices[k];
        v.vPosition = corners[order[k]];
        v.u = uv[order[k]][0];
        v.v = uv[order[k]][1];
        v.vNormal = vNormal;
    }
    return FinishMesh(pMesh, pMaterial);
}

SceneMesh* ScenePassTest::AddBox(const Vector3& vCentre, float fHalf, SceneMaterial* pMaterial)
{
    SceneMesh* pMesh = new SceneMesh();
    EXPECT_TRUE(pMesh->AllocateTriangles(12));
    const Vector3 normals[6] = {Vector3(0, 0, -1), Vector3(0, 0, 1), Vector3(-1, 0, 0),
                                Vector3(1, 0, 0),  Vector3(0, -1, 0), Vector3(0, 1, 0)};
    const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    const int order[6] = {0, 1, 2, 2, 1, 3};
    for (int f = 0; f < 6; ++f)
    {
        // Seen from outside, looking along -n: right = up x (-n), corners top left, bottom left,
        // top right, bottom right, so that both triangles run counter-clockwise (the faces the
        // passes that cull clockwise draw).
        const Vector3& n = normals[f];
        const Vector3 up = n.y != 0.0f ? Vector3(0, 0, 1) : Vector3(0, 1, 0);
        const Vector3 d(-n.x, -n.y, -n.z);
        const Vector3 right(up.y * d.z - up.z * d.y, up.z * d.x - up.x * d.z, up.x * d.y - up.y * d.x);
        const Vector3 centre = vCentre + n * fHalf;
        const Vector3 corners[4] = {centre + (up - right) * fHalf, centre - (up + right) * fHalf,
                                    centre + (up + right) * fHalf, centre + (right - up) * fHalf};
        for (int k = 0; k < 6; ++k)
        {
            MeshVertex& v = pMesh->m_pVertices[6 * f + k];
            v.vPosition = corners[order[k]];
            v.u = uv[order[k]][0];
            v.v = uv[order[k]][1];
            v.vNormal = n;
        }
    }
    return FinishMesh(pMesh, pMaterial);
}

SceneMesh* ScenePassTest::FinishMesh(SceneMesh* pMesh, SceneMaterial* pMaterial)
{
    float bounds[6] = {1e10f, -1e10f, 1e10f, -1e10f, 1e10f, -1e10f};
    for (int k = 0; k < 3 * pMesh->m_nTriangleCount; ++k)
    {
        const Vector3& c = pMesh->m_pVertices[k].vPosition;
        const float xyz[3] = {c.x, c.y, c.z};
        for (int a = 0; a < 3; ++a)
        {
            bounds[2 * a] = std::min(bounds[2 * a], xyz[a]);
            bounds[2 * a + 1] = std::max(bounds[2 * a + 1], xyz[a]);
        }
    }
    std::memcpy(pMesh->m_fBounds, bounds, sizeof(bounds));
    pMesh->m_vOffset = Vector3((bounds[0] + bounds[1]) / 2, (bounds[2] + bounds[3]) / 2, (bounds[4] + bounds[5]) / 2);
    ComputeBoundingSphere(pMesh);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    pMesh->m_matBase = ToMatrix4(identity);
    pMesh->UpdateWorldMatrix();
    pMesh->m_pMaterial = pMaterial;
    EXPECT_EQ(pMesh->CreateVertexBuffers(m_pDevice), D3D_OK);
    m_pApp->m_Scene.AddMesh(pMesh);
    return pMesh;
}

int ScenePassTest::AddSolidTexture(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    return SolidTexture(*m_pApp->GetRenderer(), r, g, b, a);
}

SceneLight* ScenePassTest::AddLight(D3DLIGHTTYPE nType, float x, float y, float z, float fRange)
{
    SceneLight* pLight = new SceneLight();
    pLight->m_Light.Type = nType;
    pLight->m_Light.Diffuse = {0.9f, 0.8f, 0.7f, 1.0f};
    pLight->m_Light.Range = fRange;
    pLight->m_Light.Attenuation1 = 0.0f;
    pLight->m_Light.Attenuation2 = 0.0f;
    pLight->m_Light.Theta = 60.0f;
    pLight->m_Light.Phi = 90.0f;
    pLight->m_Light.Direction = {0, 0, 1};
    pLight->m_vLightPosition = Vector3(x, y, z);
    IDirect3DCubeTexture9* pCube = nullptr;
    EXPECT_EQ(m_pDevice->CreateCubeTexture(1, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &pCube, nullptr), D3D_OK);
    for (int face = 0; face < 6; ++face)
    {
        D3DLOCKED_RECT locked;
        pCube->LockRect((D3DCUBEMAP_FACES)face, 0, &locked, nullptr, 0);
        std::memset(locked.pBits, 255, 4);
        pCube->UnlockRect((D3DCUBEMAP_FACES)face, 0);
    }
    pLight->m_pCubeTexture = pCube;
    m_pApp->m_Scene.AddLight(pLight);
    return pLight;
}

void ScenePassTest::RenderFrame(int nMode)
{
    m_pDevice->BeginScene();
    m_pApp->RenderScene(nMode, &g_matViewProjection);
    m_pDevice->EndScene();
}

d3d9test::SurfaceData ScenePassTest::ReadTarget()
{
    d3d9test::SurfaceData data;
    EXPECT_TRUE(d3d9test::ReadSurface(m_pTarget, data));
    return data;
}

int ScenePassTest::LitPixels(const d3d9test::SurfaceData& data)
{
    int nLit = 0;
    for (UINT y = 0; y < data.nHeight; ++y)
        for (UINT x = 0; x < data.nWidth; ++x)
            nLit += data.Pixel(x, y)[0] > 8.0f / 255.0f ? 1 : 0;
    return nLit;
}

float HitBox(const float o[3], const float d[3], const float centre[3], float fHalf, float fMax)
{
    float tNear = 0.0f, tFar = fMax;
    for (int a = 0; a < 3; ++a)
    {
        const float lo = centre[a] - fHalf, hi = centre[a] + fHalf;
        if (std::fabs(d[a]) < 1e-9f)
        {
            if (o[a] < lo || o[a] > hi)
                return -1.0f;
            continue;
        }
        float t0 = (lo - o[a]) / d[a], t1 = (hi - o[a]) / d[a];
        if (t0 > t1)
            std::swap(t0, t1);
        tNear = std::max(tNear, t0);
        tFar = std::min(tFar, t1);
        if (tNear > tFar)
            return -1.0f;
    }
    return tNear;
}
