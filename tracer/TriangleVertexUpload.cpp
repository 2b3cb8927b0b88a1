// The earlier tracer variant's triangle upload: every triangle's three corners, taken to world
// space on the CPU, drawn as points onto their triangle's texel of three float textures by vertex
// program 42 and pixel program 105.
#include "tracer/TriangleVertexUpload.h"

#include "app/RenderApp.h"
#include "core/Log.h"
#include "3dapi/Renderer.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include <algorithm>
#include <cstring>

IDirect3DTexture9* g_pTriangleVertexTextures[3] = {};

namespace
{
const int UPLOAD_VERTEX_PROGRAM = 42;
const int UPLOAD_PIXEL_PROGRAM = 105;
// The device draws at most this many primitives a call.
const UINT POINTS_PER_DRAW = 65535;

bool HasTriangles(const SceneMesh* pMesh)
{
    return pMesh && pMesh->m_pVertexBuffer && pMesh->m_nTriangleCount > 0;
}

// The three textures at the triangle texture's size, made again when that size changed.
bool MakeCornerTextures(IDirect3DDevice9* pDevice, UINT nSize)
{
    D3DSURFACE_DESC desc{};
    if (g_pTriangleVertexTextures[0] && SUCCEEDED(g_pTriangleVertexTextures[0]->GetLevelDesc(0, &desc)) &&
        desc.Width == nSize)
        return true;
    RenderApp::ReleaseTriangleVertexTextures();
    for (IDirect3DTexture9*& pTexture : g_pTriangleVertexTextures)
        if (FAILED(pDevice->CreateTexture(nSize, nSize, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A32B32G32R32F,
                                          D3DPOOL_DEFAULT, &pTexture, nullptr)))
        {
            LogError("RenderApp::UploadTriangleVertices() - the corner textures could not be made.");
            RenderApp::ReleaseTriangleVertexTextures();
            return false;
        }
    return true;
}

// Corner j of every triangle of the meshes, in mesh and triangle order, with its position and
// normal taken to world space; false when a buffer cannot be read.
bool CopyCorners(const PointerArray& meshes, int j, MeshVertex* pOut)
{
    for (uint32_t i = 0; i < meshes.GetCount(); ++i)
    {
        auto* pMesh = static_cast<SceneMesh*>(meshes.Get(i));
        if (!HasTriangles(pMesh))
            continue;
        void* pData = nullptr;
        if (FAILED(pMesh->m_pVertexBuffer->Lock(0, 0, &pData, D3DLOCK_READONLY)) || !pData)
            return false;
        const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
        const MeshVertex* pVertices = static_cast<const MeshVertex*>(pData);
        for (int32_t k = 0; k < pMesh->m_nTriangleCount; ++k)
        {
            MeshVertex corner = pVertices[3 * k + j];
            D3DXVECTOR3 position = ToD3DX(corner.vPosition), normal = ToD3DX(corner.vNormal), out;
            D3DXVec3TransformCoord(&out, &position, &world);
            corner.vPosition = Vector3(out.x, out.y, out.z);
            D3DXVec3TransformNormal(&out, &normal, &world);
            corner.vNormal = Vector3(out.x, out.y, out.z);
            *pOut++ = corner;
        }
        pMesh->m_pVertexBuffer->Unlock();
    }
    return true;
}
}

void RenderApp::ReleaseTriangleVertexTextures()
{
    for (IDirect3DTexture9*& pTexture : g_pTriangleVertexTextures)
        if (pTexture)
        {
            pTexture->Release();
            pTexture = nullptr;
        }
}

void RenderApp::UploadTriangleVertices()
{
    const PointerArray& meshes = m_Scene.m_Meshes;
    UINT nTriangles = 0;
    for (uint32_t i = 0; i < meshes.GetCount(); ++i)
        if (auto* pMesh = static_cast<SceneMesh*>(meshes.Get(i)); HasTriangles(pMesh))
            nTriangles += static_cast<UINT>(pMesh->m_nTriangleCount);
    if (nTriangles == 0 || g_nTriangleTextureSize <= 0 ||
        !MakeCornerTextures(m_pDevice, static_cast<UINT>(g_nTriangleTextureSize)))
        return;

    IDirect3DSurface9 *pBackBuffer = nullptr, *pDepth = nullptr;
    m_pDevice->GetRenderTarget(0, &pBackBuffer);
    m_pDevice->GetDepthStencilSurface(&pDepth);
    // The depth test is off: no depth surface is bound, as the screen's may be smaller than the
    // corner textures.
    m_pDevice->SetDepthStencilSurface(nullptr);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    for (DWORD n = 1; n < 4; ++n)
        m_pDevice->SetRenderTarget(n, nullptr);
    m_pRenderer->SelectVertexShader(m_VertexShaders[UPLOAD_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[UPLOAD_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    const float fInvSize = 1.0f / static_cast<float>(g_nTriangleTextureSize);
    const float c0[4] = {fInvSize, fInvSize, 0, 1}, c1[4] = {2, -1, 0, 1};
    m_pDevice->SetVertexShaderConstantF(0, c0, 1);
    m_pDevice->SetVertexShaderConstantF(1, c1, 1);

    IDirect3DVertexBuffer9* pCorners = nullptr;
    if (SUCCEEDED(m_pDevice->CreateVertexBuffer(nTriangles * sizeof(MeshVertex), D3DUSAGE_WRITEONLY, 0,
                                                D3DPOOL_DEFAULT, &pCorners, nullptr)))
    {
        for (int j = 0; j < 3; ++j)
        {
            void* pData = nullptr;
            if (FAILED(pCorners->Lock(0, 0, &pData, 0)) || !pData)
                break;
            const bool bCopied = CopyCorners(meshes, j, static_cast<MeshVertex*>(pData));
            pCorners->Unlock();
            if (!bCopied)
            {
                LogError("RenderApp::UploadTriangleVertices() - a mesh's vertices could not be read.");
                break;
            }
            IDirect3DSurface9* pTarget = nullptr;
            g_pTriangleVertexTextures[j]->GetSurfaceLevel(0, &pTarget);
            m_pDevice->SetRenderTarget(0, pTarget);
            pTarget->Release();
            m_pDevice->SetStreamSource(0, pCorners, 0, sizeof(MeshVertex));
            for (UINT nFirst = 0; nFirst < nTriangles; nFirst += POINTS_PER_DRAW)
                m_pDevice->DrawPrimitive(D3DPT_POINTLIST, nFirst, std::min(POINTS_PER_DRAW, nTriangles - nFirst));
        }
        pCorners->Release();
    }

    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    m_pDevice->SetRenderTarget(0, pBackBuffer);
    for (DWORD n = 1; n < 4; ++n)
        m_pDevice->SetRenderTarget(n, nullptr);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetDepthStencilSurface(pDepth);
    if (pBackBuffer)
        pBackBuffer->Release();
    if (pDepth)
        pDepth->Release();
}
