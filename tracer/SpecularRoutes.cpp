// RenderApp's specular routes: the G-buffer made to hold, at the pixels of a reflective or
// translucent mesh, the surface that the eye sees in or through it. A curved mesh looks its
// object cube map up along the reflected or refracted view ray, one attribute at a time; a flat
// mesh samples the planar mirror images of the scene drawn with the camera's own view.
#include "app/RenderApp.h"
#include "app/FrameGlobals.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/PhotonSurface.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <cmath>

namespace
{
constexpr int MESH_VERTEX_PROGRAM = 52;
// Cube look-ups by attribute (position, normal, diffuse colour, specular colour).
constexpr int REFRACTION_CUBE_PROGRAMS[GBUFFER_TARGET_COUNT] = {160, 165, 166, 166};
constexpr int REFLECTION_CUBE_PROGRAMS[GBUFFER_TARGET_COUNT] = {157, 163, 164, 164};
constexpr int REFRACTION_PLANAR_PROGRAM = 161;
constexpr int REFLECTION_PLANAR_PROGRAM = 159;
constexpr DWORD BUMP_STAGE = 1;
constexpr DWORD ENVIRONMENT_STAGE = 2;
// Box extents below which a mesh counts as flat and takes its planar mirror.
constexpr float REFRACTION_FLATNESS = 0.5f;
constexpr float REFLECTION_FLATNESS = 1.0f;
// How far the bumped normal moves a reflection's look-up, in clip-space units.
constexpr float REFLECTION_NORMAL_OFFSET = 0.02f;

void SetMirrorSampling(IDirect3DDevice9* pDevice, DWORD nStage, D3DTEXTUREFILTERTYPE nFilter)
{
    pDevice->SetSamplerState(nStage, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    pDevice->SetSamplerState(nStage, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    pDevice->SetSamplerState(nStage, D3DSAMP_MINFILTER, nFilter);
    pDevice->SetSamplerState(nStage, D3DSAMP_MAGFILTER, nFilter);
}

// The colour weight of what the route shows: the light that passes a translucent mesh (1 - o),
// or the reflection colour of a reflective one.
void ColourWeight(const SceneMaterial& material, bool bRefraction, float weight[4])
{
    const float fPassed = 1.0f - material.m_vOpacity[0];
    for (int i = 0; i < 3; ++i)
        weight[i] = bRefraction ? fPassed : material.m_vReflectionColor[i];
    weight[3] = 0.0f;
}
}

bool RenderApp::IsFlatForSpecularPath(const SceneMesh& mesh, bool bRefraction)
{
    return FlatnessAxis(mesh.m_fBounds, bRefraction ? REFRACTION_FLATNESS : REFLECTION_FLATNESS) != 0;
}

void RenderApp::BeginSpecularRouteDraw(const SceneMesh& mesh, bool bRefraction)
{
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    // Seen through a translucent mesh, the surface behind takes the mesh's depth; a reflection
    // keeps the depth of the reflective mesh's own depth pass.
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, bRefraction ? TRUE : FALSE);
    m_pDevice->SetDepthStencilSurface(g_pPathDepthStencil);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    SetTracerMeshConstants(mesh);
    const Vector3& vEye = m_Scene.m_Camera.m_vEyePosition;
    const float eye[4] = {vEye.x, vEye.y, vEye.z, 1.0f};
    m_pDevice->SetVertexShaderConstantF(2, eye, 1);
    const SceneMaterial& material = MaterialOf(mesh);
    const float bump[2][4] = {{2.0f, 1.0f, 1.0f, 1.0f}, {0.0f, 0.0f, 1.0f, material.m_fBumpPower * 0.01f}};
    m_pDevice->SetPixelShaderConstantF(1, bump[0], 1);
    m_pDevice->SetPixelShaderConstantF(13, bump[1], 1);
    m_pRenderer->BindTexture(BUMP_STAGE, material.m_nTextureIds[SceneMaterial::TEXTURE_BUMP]);
    SetMirrorSampling(m_pDevice, BUMP_STAGE, D3DTEXF_ANISOTROPIC);
}

void RenderApp::RenderSpecularCubeRoute(SceneMesh& mesh, bool bRefraction)
{
    const SceneMaterial& material = MaterialOf(mesh);
    // A refraction index of 0 or below has no reciprocal: such a material reads as index 1.
    const float fIndex = material.m_vRefraction[0] > 0.0f ? material.m_vRefraction[0] : 1.0f;
    const float fOpacity = material.m_vOpacity[0];
    const float r = mesh.m_fSphereRadius;
    // A reflected ray looks up the cube from twice the sphere's radius, so that a reflection of
    // nearby surroundings moves less with the point on the mesh.
    const float fRadius2 = bRefraction ? r * r : 4.0f * r * r;
    float weight[4];
    ColourWeight(material, bRefraction, weight);
    const int* pPrograms = bRefraction ? REFRACTION_CUBE_PROGRAMS : REFLECTION_CUBE_PROGRAMS;
    for (int k = 0; k < GBUFFER_TARGET_COUNT; ++k)
    {
        RenderObjectCubePass(&mesh, k);
        BindTextureTarget(m_pDevice, 0, g_pGBufferTargets[k]);
        UnbindTargets(m_pDevice);
        BeginSpecularRouteDraw(mesh, bRefraction);
        SetMirrorSampling(m_pDevice, ENVIRONMENT_STAGE, D3DTEXF_ANISOTROPIC);
        const float constants[][4] = {
            {1.0f, 1.0f, 1.0f, 0.0f},
            {weight[0], weight[1], weight[2], weight[3]},
            {1.0f / std::sqrt(fIndex), -1.0f / fIndex, fOpacity, 1.0f - fOpacity},
            {mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 1.0f},
            {0.0f, 0.0f, 0.0f, fRadius2},
            {g_vSceneMax.x - g_vSceneMin.x, g_vSceneMax.y - g_vSceneMin.y, g_vSceneMax.z - g_vSceneMin.z, 1.0f},
            {g_vSceneMin.x, g_vSceneMin.y, g_vSceneMin.z, 1.0f},
        };
        // Positions and normals are taken as they are; colours are weighted.
        m_pDevice->SetPixelShaderConstantF(4, constants[k < 2 ? 0 : 1], 1);
        m_pDevice->SetPixelShaderConstantF(14, constants[2], 1);
        m_pDevice->SetPixelShaderConstantF(18, constants[3], 1);
        m_pDevice->SetPixelShaderConstantF(22, constants[4], 1);
        m_pDevice->SetPixelShaderConstantF(23, constants[5], 2);
        m_pDevice->SetTexture(ENVIRONMENT_STAGE, g_pCubeTarget);
        m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
        m_pRenderer->SelectPixelShader(m_PixelShaders[pPrograms[k]]);
        m_pRenderer->ApplyShaders();
        DrawTracerMesh(mesh);
    }
    UnbindTracerTextures(m_pDevice, m_pRenderer);
}

void RenderApp::RenderSpecularPlanarRoute(SceneMesh& mesh, bool bRefraction)
{
    const D3DXMATRIX view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection);
    RenderPlanarMirror(&mesh, &view, &projection, 1);
    for (int t = 0; t < GBUFFER_TARGET_COUNT; ++t)
        BindTextureTarget(m_pDevice, static_cast<DWORD>(t), g_pGBufferTargets[t]);
    BeginSpecularRouteDraw(mesh, bRefraction);
    // The images hold positions and normals: point sampling keeps a look-up from blending two
    // surfaces into a point on neither.
    for (int t = 0; t < GBUFFER_TARGET_COUNT; ++t)
    {
        const DWORD nStage = ENVIRONMENT_STAGE + static_cast<DWORD>(t);
        SetMirrorSampling(m_pDevice, nStage, D3DTEXF_POINT);
        m_pDevice->SetTexture(nStage, g_pPhotonTargets[t]);
    }
    float weight[4];
    ColourWeight(MaterialOf(mesh), bRefraction, weight);
    const float constants[][4] = {
        {weight[0], weight[1], weight[2], weight[3]},
        {0.5f, 0.5f, 0.5f, 1.0f},
        {0.0f, 0.0f, 0.0f, REFLECTION_NORMAL_OFFSET},
    };
    m_pDevice->SetPixelShaderConstantF(4, constants[0], 1);
    m_pDevice->SetPixelShaderConstantF(8, constants[1], 1);
    m_pDevice->SetPixelShaderConstantF(21, constants[2], 1);
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[bRefraction ? REFRACTION_PLANAR_PROGRAM : REFLECTION_PLANAR_PROGRAM]);
    m_pRenderer->ApplyShaders();
    DrawTracerMesh(mesh);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
    UnbindTargets(m_pDevice);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
}

void RenderApp::RenderSpecularRoute(SceneMesh& mesh, bool bRefraction)
{
    if (!m_pDevice || !m_pRenderer)
        return;
    m_pRenderer->BindTexture(ENVIRONMENT_STAGE, -1);
    if (IsFlatForSpecularPath(mesh, bRefraction))
        RenderSpecularPlanarRoute(mesh, bRefraction);
    else
        RenderSpecularCubeRoute(mesh, bRefraction);
}
