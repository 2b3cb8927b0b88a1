#include "SceneImportFixture.h"

#include "../scenefile/SceneMediaFiles.h"

#include "core/FileIO.h"
#include "scene/D3DXBridge.h"
#include "scene/MediaDirectory.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <unistd.h>

void ExpectVector(const Vector3& v, float x, float y, float z)
{
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
    EXPECT_FLOAT_EQ(v.z, z);
}

std::vector<TriangleValues> Triangles(const SceneMesh& mesh)
{
    std::vector<TriangleValues> triangles;
    for (int32_t t = 0; t < mesh.m_nTriangleCount; ++t)
    {
        TriangleValues triangle;
        for (int k = 0; k < 3; ++k)
        {
            const MeshVertex& v = mesh.m_pVertices[3 * t + k];
            triangle[k] = {v.vPosition.x, v.vPosition.y, v.vPosition.z, v.vNormal.x, v.vNormal.y, v.vNormal.z,
                           v.u, v.v};
        }
        std::rotate(triangle.begin(), std::min_element(triangle.begin(), triangle.end()), triangle.end());
        triangles.push_back(triangle);
    }
    std::sort(triangles.begin(), triangles.end());
    return triangles;
}

void SceneImportTest::SetUp()
{
    m_Dir = std::filesystem::path(::testing::TempDir()) /
            ("import-" + std::to_string(::getpid()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(m_Dir / "Media");
    ASSERT_TRUE(WriteFileAtomic((m_Dir / "Media" / "Cubemap_blanc.dds").c_str(), TinyCubeDds()));
    m_strSavedWorkingDir = g_szWorkingDir;
    std::snprintf(g_szWorkingDir, sizeof(g_szWorkingDir), "%s", m_Dir.c_str());
}

void SceneImportTest::TearDown()
{
    m_Store.Clear(nullptr);
    std::snprintf(g_szWorkingDir, sizeof(g_szWorkingDir), "%s", m_strSavedWorkingDir.c_str());
    SetMediaDirectory();
    std::filesystem::remove_all(m_Dir);
}

std::string SceneImportTest::Write(const char* szName, const std::vector<uint8_t>& bytes)
{
    const std::string strPath = Path(szName);
    EXPECT_TRUE(WriteFileAtomic(strPath.c_str(), bytes));
    return strPath;
}

SceneSnapshot SceneImportTest::Snapshot() const
{
    SceneSnapshot snapshot;
    for (uint32_t i = 0; i < m_Store.m_Meshes.GetCount(); ++i)
        snapshot.meshes.push_back(m_Store.m_Meshes.Get(i));
    for (uint32_t i = 0; i < m_Store.m_Lights.GetCount(); ++i)
        snapshot.lights.push_back(m_Store.m_Lights.Get(i));
    snapshot.nMaterials = m_Store.m_Materials.GetCount();
    snapshot.nTextures = m_Store.m_Textures.GetCount();
    return snapshot;
}

void SceneImportTest::ExpectWholeMeshes()
{
    for (uint32_t i = 0; i < m_Store.m_Meshes.GetCount(); ++i)
    {
        const SceneMesh& mesh = Mesh(i);
        SCOPED_TRACE(mesh.m_szName);
        ASSERT_GT(mesh.m_nTriangleCount, 0);
        ASSERT_EQ(mesh.m_nVertexCount, 3 * mesh.m_nTriangleCount);
        ASSERT_NE(mesh.m_pVertices, nullptr);
        ASSERT_NE(mesh.m_pMaterial, nullptr);
        for (int32_t k = 0; k < mesh.m_nVertexCount; ++k)
            ASSERT_TRUE(IsFinite(mesh.m_pVertices[k].vPosition)) << k;
        for (uint32_t j = 0; j < i; ++j)
            EXPECT_NE(Mesh(j).m_pMaterial, mesh.m_pMaterial);
    }
}

d3d9test::SurfaceData DrawMeshes(IDirect3DDevice9* pDevice, SceneStore& store, const D3DXMATRIX& viewProjection,
                                 const std::vector<D3DCOLOR>& colours, UINT nSize)
{
    d3d9test::SurfaceData data;
    IDirect3DSurface9* pTarget = nullptr;
    IDirect3DSurface9* pDepth = nullptr;
    if (FAILED(pDevice->CreateRenderTarget(nSize, nSize, D3DFMT_A8R8G8B8, D3DMULTISAMPLE_NONE, 0, FALSE, &pTarget,
                                           nullptr)) ||
        FAILED(pDevice->CreateDepthStencilSurface(nSize, nSize, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, FALSE, &pDepth,
                                                  nullptr)))
    {
        ADD_FAILURE() << "no target";
        return data;
    }
    IDirect3DSurface9* pOldTarget = nullptr;
    IDirect3DSurface9* pOldDepth = nullptr;
    pDevice->GetRenderTarget(0, &pOldTarget);
    pDevice->GetDepthStencilSurface(&pOldDepth);
    pDevice->SetRenderTarget(0, pTarget);
    pDevice->SetDepthStencilSurface(pDepth);
    D3DVIEWPORT9 viewport = {0, 0, nSize, nSize, 0.0f, 1.0f};
    pDevice->SetViewport(&viewport);
    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);

    pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    pDevice->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    pDevice->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    pDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TFACTOR);
    pDevice->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    pDevice->SetTransform(D3DTS_VIEW, &identity);
    pDevice->SetTransform(D3DTS_PROJECTION, &viewProjection);
    pDevice->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    pDevice->BeginScene();
    for (uint32_t i = 0; i < store.m_Meshes.GetCount(); ++i)
    {
        SceneMesh& mesh = *static_cast<SceneMesh*>(store.m_Meshes.Get(i));
        EXPECT_EQ(mesh.CreateVertexBuffers(pDevice), D3D_OK) << mesh.m_szName;
        mesh.UpdateWorldMatrix();
        D3DXMATRIX centre, world;
        D3DXMatrixTranslation(&centre, -mesh.m_vOffset.x, -mesh.m_vOffset.y, -mesh.m_vOffset.z);
        const D3DXMATRIX matWorld = ToD3DX(mesh.m_matWorld);
        D3DXMatrixMultiply(&world, &centre, &matWorld);
        pDevice->SetTransform(D3DTS_WORLD, &world);
        pDevice->SetRenderState(D3DRS_TEXTUREFACTOR, i < colours.size() ? colours[i] : 0xFFFFFFFF);
        pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, sizeof(MeshVertex));
        pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(mesh.m_nTriangleCount));
    }
    pDevice->EndScene();
    EXPECT_TRUE(d3d9test::ReadSurface(pTarget, data));

    pDevice->SetRenderTarget(0, pOldTarget);
    pDevice->SetDepthStencilSurface(pOldDepth);
    for (IDirect3DSurface9* pSurface : {pTarget, pDepth, pOldTarget, pOldDepth})
        if (pSurface)
            pSurface->Release();
    return data;
}
