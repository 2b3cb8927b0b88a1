// RenderApp's G-buffer and depth passes: the visible surfaces of the view into four half-float
// targets (position, normal with the specular power, diffuse colour, specular colour) with a
// query per mesh; the photon target 0 marked 0 under every visible mesh; and, per light and
// photon kind, the photon target reset and the depth of every mesh laid. Every pass selects
// its programs from the shader tables; the traced render is refused beforehand when any is
// missing (CheckTracerPrograms).
#include "app/RenderApp.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <cmath>

namespace
{
// Vertex programs 51 (G-buffer), 52 (tracer mesh), 40 (screen quad); pixel programs 128
// (surface data) and 158 (clear to c1).
constexpr int GBUFFER_VERTEX_PROGRAM = 51;
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int QUAD_VERTEX_PROGRAM = 40;
constexpr int GBUFFER_PIXEL_PROGRAM = 128;
constexpr int CLEAR_PIXEL_PROGRAM = 158;
constexpr int EMISSION_PIXEL_PROGRAM = 124;
constexpr UINT MESH_VERTEX_STRIDE = sizeof(MeshVertex);
}

void RenderApp::SetTracerMeshConstants(const SceneMesh& mesh)
{
    SetTracerMeshConstants(mesh, ToD3DX(g_matView), ToD3DX(g_matProjection));
}

void RenderApp::SetTracerMeshConstants(const SceneMesh& mesh, const D3DXMATRIX& view, const D3DXMATRIX& projection)
{
    const D3DXMATRIX world = ToD3DX(mesh.m_matWorld);
    D3DXMATRIX wvp = world * view * projection, transposed;
    const float centre[4] = {mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 0.0f};
    m_pDevice->SetVertexShaderConstantF(14, centre, 1);
    static const SceneMaterial s_DefaultMaterial;
    const SceneMaterial& material = mesh.m_pMaterial ? *mesh.m_pMaterial : s_DefaultMaterial;
    const float* u = material.m_fRepeatU;
    const float* v = material.m_fRepeatV;
    const float repeats[2][4] = {
        {u[SceneMaterial::REPEAT_DIFFUSE], v[SceneMaterial::REPEAT_DIFFUSE], u[SceneMaterial::REPEAT_BUMP],
         v[SceneMaterial::REPEAT_BUMP]},
        {u[SceneMaterial::REPEAT_GLOSS], v[SceneMaterial::REPEAT_GLOSS], u[3], v[3]}};
    m_pDevice->SetVertexShaderConstantF(15, repeats[0], 1);
    m_pDevice->SetVertexShaderConstantF(16, repeats[1], 1);
    D3DXMatrixTranspose(&transposed, &wvp);
    m_pDevice->SetVertexShaderConstantF(4, &transposed._11, 4);
    D3DXMatrixTranspose(&transposed, &world);
    m_pDevice->SetVertexShaderConstantF(8, &transposed._11, 4);
}

void RenderApp::SetGBufferMeshConstants(const SceneMesh& mesh)
{
    SetTracerMeshConstants(mesh);
    static const SceneMaterial s_DefaultMaterial;
    const SceneMaterial& material = mesh.m_pMaterial ? *mesh.m_pMaterial : s_DefaultMaterial;
    const D3DMATERIAL9& m = material.m_Material;
    const float fGloss = material.m_fGlossPower / 100.0f;
    // A refraction index of 0 or below has no reciprocal: such a material reads as index 1.
    const float fIndex = material.m_vRefraction[0] > 0.0f ? material.m_vRefraction[0] : 1.0f;
    const float fOpacity = material.m_vOpacity[0];
    const float pixel[][4] = {
        {2.0f, 1.0f, 1.0f, 1.0f},
        {m.Diffuse.r, m.Diffuse.g, m.Diffuse.b, 1.0f},
        {m.Power * 0.01f, m.Power, m.Power, 1.0f},
        {m.Specular.r, m.Specular.g, m.Specular.b, 1.0f},
        {fGloss, fGloss, fGloss, 1.0f},
        {0.0f, 0.0f, 1.0f, material.m_fBumpPower * 0.01f},
        {1.0f / std::sqrt(fIndex), -1.0f / fIndex, fOpacity, 1.0f - fOpacity},
    };
    m_pDevice->SetPixelShaderConstantF(1, pixel[0], 1);
    m_pDevice->SetPixelShaderConstantF(2, pixel[1], 1);
    m_pDevice->SetPixelShaderConstantF(10, pixel[2], 4);
    m_pDevice->SetPixelShaderConstantF(14, pixel[6], 1);
    const int32_t* pIds = material.m_nTextureIds;
    BindTracerTexture(0, pIds[SceneMaterial::TEXTURE_DIFFUSE]);
    BindTracerTexture(1, pIds[SceneMaterial::TEXTURE_BUMP]);
    BindTracerTexture(2, pIds[SceneMaterial::TEXTURE_GLOSS]);
}

void RenderApp::BindTracerTexture(int nStage, int32_t nId)
{
    // The tracer binds its targets to the stages directly, behind the renderer's record of what
    // each stage holds: the record is cleared first so that the texture is really bound.
    m_pRenderer->BindTexture(nStage, -1);
    m_pRenderer->BindTexture(nStage, nId);
}

void RenderApp::DrawTracerMesh(const SceneMesh& mesh)
{
    m_pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    if (mesh.m_pVertexBuffer && mesh.m_nTriangleCount > 0)
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, static_cast<UINT>(mesh.m_nTriangleCount));
}

void RenderApp::BeginGBufferPass(D3DCULL nCull)
{
    for (int i = 0; i < GBUFFER_TARGET_COUNT; ++i)
        BindTextureTarget(m_pDevice, static_cast<DWORD>(i), g_pGBufferTargets[i]);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, nCull);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0);
    for (DWORD nSampler : {2u, 1u, 0u})
    {
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    }
    for (DWORD nSampler : {0u, 1u, 2u})
    {
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
        m_pDevice->SetSamplerState(nSampler, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
    }
    m_pRenderer->SelectVertexShader(m_VertexShaders[GBUFFER_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[GBUFFER_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
}

void RenderApp::RenderGBufferCulled()
{
    if (!m_pDevice || !m_pRenderer)
        return;
    BeginGBufferPass(D3DCULL_NONE);
    SortMeshesFrontToBack();
    const int nMeshes = std::min<int>(static_cast<int>(m_Scene.m_Meshes.GetCount()), MAX_MESHES);
    for (int k = 0; k < nMeshes; ++k)
    {
        const int i = m_MeshOrder[k];
        if (i < 0 || i >= nMeshes)
            continue;
        m_Visibility[i] = 0;
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(static_cast<uint32_t>(i)));
        if (!pMesh || !pMesh->m_bVisible)
            continue;
        SetGBufferMeshConstants(*pMesh);
        if (m_bOcclusionQuerySupported && m_pOcclusionQuery)
        {
            m_pOcclusionQuery->Issue(D3DISSUE_BEGIN);
            DrawTracerMesh(*pMesh);
            m_pOcclusionQuery->Issue(D3DISSUE_END);
            DWORD nSamples = 0;
            while (m_pOcclusionQuery->GetData(&nSamples, sizeof(nSamples), D3DGETDATA_FLUSH) == S_FALSE)
            {
            }
            m_Visibility[i] = nSamples;
        }
        else
        {
            DrawTracerMesh(*pMesh);
            m_Visibility[i] = 1;
        }
    }
    UnbindTargets(m_pDevice);

    // Photon target 0: the clear colour's alpha byte flags the background, 0 under visible meshes.
    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[0]);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET,
                     D3DCOLOR_ARGB(static_cast<DWORD>(g_nDirectPhoton + 1) & 0xFF, 0, 0, 0), 1.0f, 0);
    const float zero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    for (int i = 0; i < nMeshes; ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(static_cast<uint32_t>(i)));
        if (!pMesh || m_Visibility[i] == 0)
            continue;
        SetTracerMeshConstants(*pMesh);
        m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
        m_pDevice->SetPixelShaderConstantF(1, zero, 1);
        m_pRenderer->SelectPixelShader(m_PixelShaders[CLEAR_PIXEL_PROGRAM]);
        m_pRenderer->ApplyShaders();
        DrawTracerMesh(*pMesh);
    }

    if (g_bBackground)
    {
        BindTextureTarget(m_pDevice, 0, g_pSceneTexture);
        DrawBackgroundBox(m_Scene.m_Camera.m_vEyePosition, ToD3DX(g_matView), ToD3DX(g_matProjection), 0);
    }
    SetPointSampling();
}

void RenderApp::RenderGBuffer(int bCullClockwise)
{
    if (!m_pDevice || !m_pRenderer)
        return;
    BeginGBufferPass(bCullClockwise ? D3DCULL_CW : D3DCULL_CCW);
    for (int i = 0; i < std::min<int>(static_cast<int>(m_Scene.m_Meshes.GetCount()), MAX_MESHES); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(static_cast<uint32_t>(i)));
        if (!pMesh || m_Visibility[i] == 0 || (pMesh->m_pMaterial && pMesh->m_pMaterial->m_vOpacity[0] == 1.0f))
            continue;
        SetGBufferMeshConstants(*pMesh);
        DrawTracerMesh(*pMesh);
    }
    UnbindTargets(m_pDevice);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void RenderApp::ClearAndDepthPass(int nPhotonKind)
{
    if (!m_pDevice || !m_pRenderer)
        return;
    const int32_t n = nPhotonKind == 1 ? g_nGlobalPhoton : g_nDirectPhoton;
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[0]);
    UnbindTargets(m_pDevice);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
    const float count[4] = {0.0f, 0.0f, 0.0f, static_cast<float>(n + 1)};
    m_pDevice->SetPixelShaderConstantF(1, count, 1);
    m_pRenderer->SelectVertexShader(m_VertexShaders[QUAD_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[CLEAR_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    if (m_pQuadVB)
        m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);

    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    const float zero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    m_pDevice->SetPixelShaderConstantF(1, zero, 1);
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    m_pRenderer->ApplyShaders();
    for (uint32_t i = 0; i < m_Scene.m_Meshes.GetCount(); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(i));
        if (!pMesh)
            continue;
        SetTracerMeshConstants(*pMesh);
        DrawTracerMesh(*pMesh);
    }
    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[2]);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
}

void RenderApp::RenderEmissionPass()
{
    if (!m_pDevice || !m_pRenderer)
        return;
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pRenderer->SelectPixelShader(m_PixelShaders[EMISSION_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    BindTextureTarget(m_pDevice, 0, g_pGBufferTargets[1]);
    m_pDevice->SetTexture(1, g_pCellCoordTarget);
    m_pDevice->SetTexture(7, g_pPhotonTargets[0]);
    m_pDevice->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2);
}
