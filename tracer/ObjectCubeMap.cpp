// RenderApp's object cube map: the scene around a mesh's centre (or the scene box's centre)
// drawn into the six faces of g_pCubeTarget as positions normalised to the scene box, so that a
// photon pass can look up, along any direction from that centre, which surface lies there.
#include "app/RenderApp.h"
#include "raster/SceneDraw.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <d3dx9math.h>

namespace
{
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int NORMALISED_POSITION_PIXEL_PROGRAM = 162;
constexpr float CUBE_NEAR = 0.5f;
constexpr float CUBE_FAR = 200000.0f;
constexpr float PI = 3.14159265358979f;

bool StrictlyInside(const Vector3& v, const float bounds[6])
{
    return v.x > bounds[0] && v.x < bounds[1] && v.y > bounds[2] && v.y < bounds[3] && v.z > bounds[4] &&
           v.z < bounds[5];
}
}

void SetNormalisedPositionConstants(IDirect3DDevice9* pDevice)
{
    const float fx = g_vSceneMax.x - g_vSceneMin.x, fy = g_vSceneMax.y - g_vSceneMin.y,
                fz = g_vSceneMax.z - g_vSceneMin.z;
    // The scene box grows by 1 on every face: its extent is never 0.
    const float c1[4] = {1.0f / fx, 1.0f / fy, 1.0f / fz, 1.0f};
    const float c2[4] = {g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z, 1.0f};
    pDevice->SetPixelShaderConstantF(1, c1, 1);
    pDevice->SetPixelShaderConstantF(2, c2, 1);
}

void RenderApp::RenderObjectCubeMap(SceneMesh* pMesh, int nMode)
{
    if (!m_pDevice || !m_pRenderer || !g_pCubeTarget || (nMode == 0 && !pMesh))
        return;
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    UnbindTracerTextures(m_pDevice, m_pRenderer);

    // Mode 0 looks out from the mesh, which is left out of its own map unless the camera is
    // inside its box; the user's own "Visible" flag comes back afterwards.
    D3DXVECTOR3 vEye;
    int32_t bKeptVisible = 0;
    if (nMode == 0)
    {
        vEye = D3DXVECTOR3(pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z);
        bKeptVisible = pMesh->m_bVisible;
        pMesh->m_bVisible = StrictlyInside(m_Scene.m_Camera.m_vEyePosition, pMesh->m_fBounds) ? 1 : 0;
    }
    else
    {
        vEye = D3DXVECTOR3((g_vSceneMin.x + g_vSceneMax.x) / 2, (g_vSceneMin.y + g_vSceneMax.y) / 2,
                           (g_vSceneMin.z + g_vSceneMax.z) / 2);
    }

    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    UnbindTargets(m_pDevice);
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[NORMALISED_POSITION_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, PI / 2.0f, 1.0f, CUBE_NEAR, CUBE_FAR);
    const float eye[4] = {vEye.x, vEye.y, vEye.z, 1.0f};
    m_pDevice->SetVertexShaderConstantF(2, eye, 1);
    SetNormalisedPositionConstants(m_pDevice);
    m_pDevice->SetDepthStencilSurface(g_pAuxDepthStencil);
    const uint32_t nMeshes = m_Scene.m_Meshes.GetCount();
    for (int f = 0; f < 6; ++f)
    {
        const D3DXMATRIX view = CubeFaceView(vEye, f);
        IDirect3DSurface9* pFace = nullptr;
        g_pCubeTarget->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(f), 0, &pFace);
        m_pDevice->SetRenderTarget(0, pFace);
        ReleaseTracerObject(pFace);
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        for (uint32_t i = 0; i < nMeshes; ++i)
        {
            const SceneMesh* pOther = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
            if (!pOther || !pOther->m_bVisible)
                continue;
            SetTracerMeshConstants(*pOther, view, projection);
            DrawTracerMesh(*pOther);
        }
    }

    if (nMode == 0)
        pMesh->m_bVisible = bKeptVisible;
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
}
