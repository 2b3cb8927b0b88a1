// RenderApp's earlier reflection-only form of the specular paths, which nothing calls: the
// visible reflective and translucent meshes drawn additively over a target, a curved mesh
// looking the dynamic environment cube up along its reflected or refracted view ray, a flat one
// sampling g_pMirrorTarget at its own pixel (after its mirror image is drawn and the
// refraction-path photons are gathered into the scene texture).
#include "app/RenderApp.h"
#include "raster/SceneDraw.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/PhotonSurface.h"
#include "tracer/TracerGlobals.h"
#include "tracer/VisibleMeshes.h"

#include "3dapi/Renderer.h"

namespace
{
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int SCALED_COPY_PIXEL_PROGRAM = 141;
constexpr int CURVED_REFLECTION_PROGRAM = 139;
constexpr int FLAT_REFLECTION_PROGRAM = 140;
constexpr int CURVED_REFRACTION_PROGRAM = 144;
constexpr int FLAT_REFRACTION_PROGRAM = 145;
constexpr int REFRACTION_PATH_KIND = 2;
constexpr DWORD BUMP_STAGE = 1;
constexpr DWORD ENVIRONMENT_STAGE = 2;
// Box extent below which a mesh counts as flat.
constexpr float FLATNESS = 0.5f;
}

void RenderApp::DrawEarlierSpecularMesh(SceneMesh& mesh, SceneLight* pLight, IDirect3DTexture9* pTarget)
{
    const SceneMaterial& material = MaterialOf(mesh);
    const bool bFlat = FlatnessAxis(mesh.m_fBounds, FLATNESS) != 0;
    m_pRenderer->BindTexture(static_cast<int>(ENVIRONMENT_STAGE), -1);
    if (bFlat)
    {
        const D3DXMATRIX view = ToD3DX(g_matView), projection = ToD3DX(g_matProjection);
        RenderPlanarMirror(&mesh, &view, &projection, 1);
        TraceAndGatherPhotons(pLight, 1, 0, 0, 0);
    }
    else
    {
        RenderObjectCubeMap(&mesh, 1);
    }

    // The mesh over the target and the depth of the depth pass; the passes above bound their own.
    BindTextureTarget(m_pDevice, 0, pTarget);
    UnbindTargets(m_pDevice);
    m_pDevice->SetDepthStencilSurface(g_pPathDepthStencil);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    SetTracerMeshConstants(mesh);
    const Vector3& vEye = m_Scene.m_Camera.m_vEyePosition;
    // A refraction index of 0 or below has no reciprocal: such a material reads as index 1.
    const float fIndex = material.m_vRefraction[0] > 0.0f ? material.m_vRefraction[0] : 1.0f;
    const float* r = material.m_vReflectionColor;
    const float pixel[][4] = {
        {2.0f, 1.0f, 0.5f, 1.0f},
        {r[0], r[1], r[2], 0.0f},
        {1.0f / fIndex, 0.0f, 0.0f, 0.0f},
        {vEye.x, vEye.y, vEye.z, 1.0f},
    };
    m_pDevice->SetPixelShaderConstantF(1, pixel[0], 1);
    m_pDevice->SetPixelShaderConstantF(4, pixel[1], 1);
    m_pDevice->SetPixelShaderConstantF(13, pixel[2], 1);
    m_pDevice->SetPixelShaderConstantF(16, pixel[3], 1);
    if (bFlat)
    {
        m_pDevice->SetTexture(ENVIRONMENT_STAGE, g_pMirrorTarget);
    }
    else
    {
        BindTracerTexture(static_cast<int>(BUMP_STAGE), material.m_nTextureIds[SceneMaterial::TEXTURE_BUMP]);
        BindTracerTexture(static_cast<int>(ENVIRONMENT_STAGE), g_nEnvCubeTarget);
    }
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    // A mesh both reflective and translucent is drawn twice, the reflection first.
    const struct
    {
        bool bDrawn;
        int nProgram;
    } draws[2] = {{IsReflective(material), bFlat ? FLAT_REFLECTION_PROGRAM : CURVED_REFLECTION_PROGRAM},
                  {material.m_vOpacity[0] != 1.0f, bFlat ? FLAT_REFRACTION_PROGRAM : CURVED_REFRACTION_PROGRAM}};
    for (const auto& draw : draws)
    {
        if (!draw.bDrawn)
            continue;
        m_pRenderer->SelectPixelShader(m_PixelShaders[draw.nProgram]);
        m_pRenderer->ApplyShaders();
        DrawTracerMesh(mesh);
    }
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
}

void RenderApp::RenderReflectionPaths(IDirect3DTexture9* pTarget)
{
    if (!m_pDevice || !m_pRenderer || !pTarget || g_bReflection == 0)
        return;
    // The first light that is switched on; without one there is nothing to emit from.
    if (SceneLight* pLight = FindFirstEnabledLight())
    {
        RenderLightPasses(pLight, REFRACTION_PATH_KIND, 0, 0);
        for (DWORD nStage : {BUMP_STAGE, ENVIRONMENT_STAGE})
        {
            m_pDevice->SetSamplerState(nStage, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
            m_pDevice->SetSamplerState(nStage, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
            m_pDevice->SetSamplerState(nStage, D3DSAMP_MINFILTER, D3DTEXF_ANISOTROPIC);
            m_pDevice->SetSamplerState(nStage, D3DSAMP_MAGFILTER, D3DTEXF_ANISOTROPIC);
        }
        SpecularDepthPass(pTarget, false);
        for (SceneMesh* pMesh : VisibleMeshes(*this))
        {
            const SceneMaterial& material = MaterialOf(*pMesh);
            if (IsReflective(material) || material.m_vOpacity[0] != 1.0f)
                DrawEarlierSpecularMesh(*pMesh, pLight, pTarget);
        }
    }

    // The scene texture on the back buffer.
    IDirect3DSurface9* pBackBuffer = nullptr;
    if (FAILED(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer)))
        return;
    m_pDevice->SetRenderTarget(0, pBackBuffer);
    ReleaseTracerObject(pBackBuffer);
    UnbindTargets(m_pDevice);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    SetPointSampling();
    const float c31[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(31, c31, 1);
    m_pDevice->SetTexture(0, g_pSceneTexture);
    DrawTracerQuad(SCALED_COPY_PIXEL_PROGRAM);
    m_pDevice->SetTexture(0, nullptr);
}
