#include "TracerFixture.h"

#include "3dapi/Direct3DRenderer.h"

#include <cstring>

d3d9test::SurfaceData ReadTexture(IDirect3DTexture9* pTexture)
{
    d3d9test::SurfaceData data;
    IDirect3DSurface9* pSurface = nullptr;
    pTexture->GetSurfaceLevel(0, &pSurface);
    EXPECT_TRUE(d3d9test::ReadSurface(pSurface, data));
    pSurface->Release();
    return data;
}

void TracerTest::SetUp()
{
    AppTest::SetUp();
    std::filesystem::copy(std::string(QUEN_DATA_DIR) + "/Media", m_strFolder + "/Media");
    win32::SetAnswerSource([](const char* szKind, std::string& strValue) {
        strValue = "IDOK";
        return std::strcmp(szKind, "msgbox") == 0;
    });
    g_nGridSize = DEFAULT_GRID_SIZE;
    g_nLightTargetSize = LIGHT_SIZE;
}

void TracerTest::TearDown()
{
    m_pApp.reset();
    g_nGridSize = DEFAULT_GRID_SIZE;
    g_nLightTargetSize = DEFAULT_LIGHT_TARGET_SIZE;
    win32::SetAnswerSource(nullptr);
    AppTest::TearDown();
}

bool TracerTest::InitAndLoad()
{
    if (!m_pApp->Init() || !m_pApp->InitDevice(m_hWnd, 0, false, 0))
        return false;
    // The same device again on the small back buffer.
    RenderApp& app = *m_pApp;
    app.m_pRenderer->ReleaseAll();
    delete app.m_pRenderer;
    app.m_pRenderer = nullptr;
    app.m_pDevice->Release();
    app.m_pDevice = nullptr;
    app.m_PresentParams.BackBufferWidth = SCREEN_WIDTH;
    app.m_PresentParams.BackBufferHeight = SCREEN_HEIGHT;
    if (app.m_pD3D->CreateDevice(0, D3DDEVTYPE_HAL, m_hWnd, D3DCREATE_HARDWARE_VERTEXPROCESSING,
                                 &app.m_PresentParams, &app.m_pDevice) != D3D_OK)
        return false;
    app.m_pRenderer = new Direct3DRenderer(app.m_Caps, app.m_pDevice);
    return app.Load();
}

SceneMesh* TracerTest::AddMesh(const std::vector<D3DXVECTOR3>& corners)
{
    SceneMesh* pMesh = new SceneMesh();
    const int32_t nTriangles = static_cast<int32_t>(corners.size() / 3);
    EXPECT_TRUE(pMesh->AllocateTriangles(nTriangles));
    for (size_t i = 0; i < corners.size(); ++i)
    {
        MeshVertex& vertex = pMesh->m_pVertices[i];
        vertex.vPosition = Vector3(corners[i].x, corners[i].y, corners[i].z);
        vertex.u = corners[i].x;
        vertex.v = corners[i].y;
        vertex.vNormal = Vector3(0.0f, 0.0f, 1.0f);
        vertex.vTangent = Vector3(1.0f, 0.0f, 0.0f);
        vertex.vBinormal = Vector3(0.0f, 1.0f, 0.0f);
    }
    pMesh->m_matWorld.SetIdentity();
    pMesh->m_matBase.SetIdentity();
    IDirect3DVertexBuffer9* pBuffer = nullptr;
    const UINT nBytes = static_cast<UINT>(corners.size() * sizeof(MeshVertex));
    if (nBytes > 0 && Device()->CreateVertexBuffer(nBytes, 0, 0, D3DPOOL_MANAGED, &pBuffer, nullptr) == D3D_OK)
    {
        void* pData = nullptr;
        pBuffer->Lock(0, 0, &pData, 0);
        std::memcpy(pData, pMesh->m_pVertices, nBytes);
        pBuffer->Unlock();
        pMesh->m_pVertexBuffer = pBuffer;
    }
    EXPECT_TRUE(m_pApp->m_Scene.AddMesh(pMesh));
    return pMesh;
}

std::vector<float> TracerTest::ReadTexelAddresses(SceneMesh* pMesh)
{
    std::vector<float> addresses;
    void* pData = nullptr;
    if (!pMesh->m_pVertexBuffer || pMesh->m_pVertexBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY) != D3D_OK)
        return addresses;
    const BYTE* pBytes = static_cast<const BYTE*>(pData);
    for (int32_t i = 0; i < pMesh->m_nVertexCount; ++i)
    {
        float uv[2];
        std::memcpy(uv, pBytes + 64 * i + 56, sizeof(uv));
        addresses.push_back(uv[0]);
        addresses.push_back(uv[1]);
    }
    pMesh->m_pVertexBuffer->Unlock();
    return addresses;
}
