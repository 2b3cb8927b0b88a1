// RenderApp's object cube map: the scene around a mesh's centre (or the scene box's centre)
// drawn into the six faces of g_pCubeTarget as positions normalised to the scene box, so that a
// photon pass can look up, along any direction from that centre, which surface lies there; and
// the cube pass, which draws one surface attribute of a mesh's surroundings the same way for the
// specular paths.
#include "app/RenderApp.h"
#include "raster/SceneDraw.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <d3dx9math.h>

namespace
{
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int CUBE_PASS_VERTEX_PROGRAM = 51;
constexpr int NORMALISED_POSITION_PIXEL_PROGRAM = 162;
// Pixel programs 153 to 156: position, normal, diffuse colour, specular colour.
constexpr int FIRST_CUBE_PASS_PIXEL_PROGRAM = 153;
constexpr float CUBE_NEAR = 0.5f;
constexpr float CUBE_PASS_NEAR = 0.1f;
constexpr float CUBE_FAR = 200000.0f;
constexpr float PI = 3.14159265358979f;

bool StrictlyInside(const Vector3& v, const float bounds[6])
{
    return v.x > bounds[0] && v.x < bounds[1] && v.y > bounds[2] && v.y < bounds[3] && v.z > bounds[4] &&
           v.z < bounds[5];
}

void BeginCubeRender(IDirect3DDevice9* pDevice, Renderer* pRenderer)
{
    pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    UnbindTracerTextures(pDevice, pRenderer);
}

// Face f of g_pCubeTarget as render target 0 over the auxiliary depth, both cleared.
void BeginCubeFace(IDirect3DDevice9* pDevice, int nFace)
{
    IDirect3DSurface9* pFace = nullptr;
    g_pCubeTarget->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(nFace), 0, &pFace);
    pDevice->SetRenderTarget(0, pFace);
    ReleaseTracerObject(pFace);
    pDevice->SetDepthStencilSurface(g_pAuxDepthStencil);
    pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
}

// A mesh looks out from its centre offset and is left out of its own map, unless the camera is
// inside its box and so sees the mesh around it (and the user has not hidden it). Returns the
// user's own flag, for afterwards.
int32_t HideForOwnCube(SceneMesh& mesh, const Vector3& vCamera)
{
    const int32_t bKeptVisible = mesh.m_bVisible;
    mesh.m_bVisible = bKeptVisible && StrictlyInside(vCamera, mesh.m_fBounds) ? 1 : 0;
    return bKeptVisible;
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
    BeginCubeRender(m_pDevice, m_pRenderer);

    // Mode 0 looks out from the mesh; the user's own "Visible" flag comes back afterwards.
    D3DXVECTOR3 vEye;
    int32_t bKeptVisible = 0;
    if (nMode == 0)
    {
        vEye = D3DXVECTOR3(pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z);
        bKeptVisible = HideForOwnCube(*pMesh, m_Scene.m_Camera.m_vEyePosition);
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
    const uint32_t nMeshes = m_Scene.m_Meshes.GetCount();
    for (int f = 0; f < 6; ++f)
    {
        const D3DXMATRIX view = CubeFaceView(vEye, f);
        BeginCubeFace(m_pDevice, f);
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

void RenderApp::RenderObjectCubePass(SceneMesh* pMesh, int k)
{
    if (!m_pDevice || !m_pRenderer || !g_pCubeTarget || !pMesh || k < 0 || k > 3)
        return;
    BeginCubeRender(m_pDevice, m_pRenderer);
    const D3DXVECTOR3 vEye(pMesh->m_vOffset.x, pMesh->m_vOffset.y, pMesh->m_vOffset.z);
    const int32_t bKeptVisible = HideForOwnCube(*pMesh, m_Scene.m_Camera.m_vEyePosition);

    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    UnbindTargets(m_pDevice);
    m_pRenderer->SelectVertexShader(m_VertexShaders[CUBE_PASS_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[FIRST_CUBE_PASS_PIXEL_PROGRAM + k]);
    m_pRenderer->ApplyShaders();
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, PI / 2.0f, 1.0f, CUBE_PASS_NEAR, CUBE_FAR);
    const float eye[4] = {vEye.x, vEye.y, vEye.z, 1.0f};
    m_pDevice->SetVertexShaderConstantF(2, eye, 1);
    // c23 (scene minimum, 1), c24 (1 / scene extent, 1) for the position; c25 packs the normal
    // to [0, 1].
    const float box[3][4] = {
        {g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z, 1.0f},
        {1.0f / (g_vSceneMax.x - g_vSceneMin.x), 1.0f / (g_vSceneMax.y - g_vSceneMin.y),
         1.0f / (g_vSceneMax.z - g_vSceneMin.z), 1.0f},
        {1.0f, 0.5f, 1.0f, 1.0f}};
    m_pDevice->SetPixelShaderConstantF(23, box[0], 3);
    const uint32_t nMeshes = m_Scene.m_Meshes.GetCount();
    for (int f = 0; f < 6; ++f)
    {
        for (DWORD nSampler : {0u, 1u, 2u})
        {
            m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
            m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
            m_pDevice->SetSamplerState(nSampler, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
            m_pDevice->SetSamplerState(nSampler, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
        }
        UnbindTracerTextures(m_pDevice, m_pRenderer);
        const D3DXMATRIX view = CubeFaceView(vEye, f);
        BeginCubeFace(m_pDevice, f);
        for (uint32_t i = 0; i < nMeshes; ++i)
        {
            const SceneMesh* pOther = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
            if (!pOther || !pOther->m_bVisible)
                continue;
            SetGBufferMeshConstants(*pOther);
            SetTracerMeshConstants(*pOther, view, projection);
            DrawTracerMesh(*pOther);
        }
    }

    pMesh->m_bVisible = bKeptVisible;
    UnbindTracerTextures(m_pDevice, m_pRenderer);
}
