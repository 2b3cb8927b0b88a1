// RenderApp's specular paths: once per tile, after the composite, the light that only specular
// surfaces show is added to the scene texture, and the tile is finished.
//
// Refraction (when on): the refraction-path photons of the first enabled light are gathered at
// the front surfaces of the visible translucent meshes, then, with the G-buffer made to hold
// what the eye sees through those meshes (object cube maps or planar mirror images), at the
// surfaces seen through them. Reflection (when on): the reflection-path photons are gathered at
// the surfaces seen in the visible reflective meshes. A mask leaves only the pixels of the meshes
// of interest gathering. The finish draws fog and the lights' halos, flares and cones over the
// traced image, adds the overlay image, and copies the tile to the back buffer and (directly or
// through the depth-of-field composite) into the read-back surface.
#include "app/RenderApp.h"
#include "raster/SceneDraw.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/PhotonSurface.h"
#include "tracer/TracerGlobals.h"
#include "tracer/VisibleMeshes.h"

#include "3dapi/Renderer.h"

#include <algorithm>

namespace
{
constexpr int DEPTH_VERTEX_PROGRAM = 8;
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int SCALED_COPY_PIXEL_PROGRAM = 141;
constexpr int CLEAR_PIXEL_PROGRAM = 158;
// Photon kinds of the light passes: refraction path, reflection path.
constexpr int REFRACTION_PATH_KIND = 2;
constexpr int REFLECTION_PATH_KIND = 3;
// The gather of the paths: mode 1 shades and adds to the scene texture; kind 0 (direct photons).
constexpr int SHADE_AND_ADD_MODE = 1;
constexpr int GATHER_KIND = 0;
}

SceneLight* RenderApp::FindFirstEnabledLight()
{
    for (uint32_t i = 0; i < m_Scene.m_Lights.GetCount(); ++i)
    {
        SceneLight* pLight = static_cast<SceneLight*>(m_Scene.m_Lights.Get(i));
        if (pLight && pLight->m_bEnabled)
            return pLight;
    }
    return nullptr;
}

std::vector<SceneMesh*> RenderApp::FindSpecularMeshes(bool bRefraction)
{
    std::vector<SceneMesh*> meshes;
    for (SceneMesh* pMesh : VisibleMeshes(*this))
    {
        const SceneMaterial& material = MaterialOf(*pMesh);
        if (bRefraction ? material.m_vOpacity[0] != 1.0f : IsReflective(material))
            meshes.push_back(pMesh);
    }
    return meshes;
}

void RenderApp::SpecularDepthPass(IDirect3DTexture9* pColourTarget, bool bClearTarget)
{
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    // Blending keeps the target's colour: only the depth and the pixel counts are wanted.
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetDepthStencilSurface(g_pPathDepthStencil);
    BindTextureTarget(m_pDevice, 0, pColourTarget);
    UnbindTargets(m_pDevice);
    m_pDevice->Clear(0, nullptr, bClearTarget ? D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER : D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    m_pRenderer->SelectVertexShader(m_VertexShaders[DEPTH_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(-1);
    m_pRenderer->ApplyShaders();
    SortMeshesFrontToBack();
    const int nMeshes = std::min<int>(static_cast<int>(m_Scene.m_Meshes.GetCount()), MAX_MESHES);
    for (int k = 0; k < nMeshes; ++k)
    {
        const int i = m_MeshOrder[static_cast<size_t>(k)];
        if (i < 0 || i >= nMeshes)
            continue;
        m_Visibility[static_cast<size_t>(i)] = 0;
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(static_cast<uint32_t>(i)));
        // A mesh the user has hidden neither hides others nor shows reflections or refractions.
        if (!pMesh || !pMesh->m_bVisible)
            continue;
        SetTransformConstants(pMesh);
        if (!m_bOcclusionQuerySupported || !m_pOcclusionQuery)
        {
            DrawTracerMesh(*pMesh);
            continue;
        }
        m_pOcclusionQuery->Issue(D3DISSUE_BEGIN);
        DrawTracerMesh(*pMesh);
        m_pOcclusionQuery->Issue(D3DISSUE_END);
        DWORD nSamples = 0;
        while (m_pOcclusionQuery->GetData(&nSamples, sizeof(nSamples), D3DGETDATA_FLUSH) == S_FALSE)
        {
        }
        m_Visibility[static_cast<size_t>(i)] = nSamples;
    }
}

void RenderApp::PrepareSpecularSums(std::initializer_list<int> targets)
{
    // Every texel (0, 0, 0, N): sums of nothing with the full count, so that no pixel gathers
    // until the mask opens it.
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    UnbindTargets(m_pDevice);
    const float count[4] = {0.0f, 0.0f, 0.0f, static_cast<float>(g_nDirectPhoton)};
    m_pDevice->SetPixelShaderConstantF(1, count, 1);
    for (int t : targets)
    {
        BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[t]);
        DrawTracerQuad(CLEAR_PIXEL_PROGRAM);
    }
}

void RenderApp::MaskSpecularMeshes(const std::vector<SceneMesh*>& meshes)
{
    // Sums and count 0 at the visible pixels of the meshes: the only pixels that gather.
    BindTextureTarget(m_pDevice, 0, g_pPhotonTargets[0]);
    UnbindTargets(m_pDevice);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetDepthStencilSurface(g_pPathDepthStencil);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    const float zero[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    m_pDevice->SetPixelShaderConstantF(1, zero, 1);
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[CLEAR_PIXEL_PROGRAM]);
    m_pRenderer->ApplyShaders();
    for (const SceneMesh* pMesh : meshes)
    {
        SetTracerMeshConstants(*pMesh);
        DrawTracerMesh(*pMesh);
    }
}

void RenderApp::RenderRefractionPath(SceneLight* pLight)
{
    RenderLightPasses(pLight, REFRACTION_PATH_KIND, 0, 0);
    SpecularDepthPass(g_pGBufferTargets[0], true);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    // The front surfaces of the translucent meshes themselves.
    RenderGBuffer(0);
    const std::vector<SceneMesh*> meshes = FindSpecularMeshes(true);
    m_pDevice->SetDepthStencilSurface(g_pPathDepthStencil);
    PrepareSpecularSums({0, 2});
    MaskSpecularMeshes(meshes);
    TraceAndGatherPhotons(pLight, SHADE_AND_ADD_MODE, GATHER_KIND, 0, 0);

    // The surfaces seen through them, behind their back surfaces.
    RenderGBuffer(1);
    for (SceneMesh* pMesh : meshes)
        RenderSpecularRoute(*pMesh, true);
    PrepareSpecularSums({1, 3, 0, 2});
    MaskSpecularMeshes(meshes);
    TraceAndGatherPhotons(pLight, SHADE_AND_ADD_MODE, GATHER_KIND, 0, 0);
}

void RenderApp::RenderReflectionPath(SceneLight* pLight)
{
    RenderLightPasses(pLight, REFLECTION_PATH_KIND, 0, 0);
    SpecularDepthPass(g_pGBufferTargets[0], true);
    // Only the reflective meshes' pixels get surface data: the G-buffer is cleared, the depth of
    // the depth pass kept.
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->SetDepthStencilSurface(g_pPathDepthStencil);
    for (int t = 0; t < GBUFFER_TARGET_COUNT; ++t)
        BindTextureTarget(m_pDevice, static_cast<DWORD>(t), g_pGBufferTargets[t]);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    UnbindTargets(m_pDevice);
    const std::vector<SceneMesh*> meshes = FindSpecularMeshes(false);
    for (SceneMesh* pMesh : meshes)
        RenderSpecularRoute(*pMesh, false);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
    PrepareSpecularSums({0, 1, 2, 3});
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    MaskSpecularMeshes(meshes);
    TraceAndGatherPhotons(pLight, SHADE_AND_ADD_MODE, GATHER_KIND, 0, 0);
}

void RenderApp::FinishTracedTile()
{
    SpecularDepthPass(g_pGBufferTargets[0], false);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    BindTextureTarget(m_pDevice, 0, g_pSceneTexture);
    DrawFogPass();
    for (uint32_t i = 0; i < m_Scene.m_Lights.GetCount(); ++i)
        if (SceneLight* pLight = static_cast<SceneLight*>(m_Scene.m_Lights.Get(i)))
        {
            DrawLightHalo(pLight);
            DrawLensFlare(pLight);
            DrawSpotCone(pLight);
        }

    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    SetPointSampling();
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetVertexDeclaration(g_pQuadDeclaration);
    m_pDevice->SetStreamSource(0, m_pQuadVB, 0, sizeof(QuadVertex));
    const float c31[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(31, c31, 1);

    // The overlay image added over the tile.
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    BindTextureTarget(m_pDevice, 0, g_pSceneTexture);
    UnbindTargets(m_pDevice);
    m_pRenderer->BindTexture(0, -1);
    m_pDevice->SetTexture(0, g_pOverlayTexture);
    if (g_pOverlayTexture)
        DrawTracerQuad(SCALED_COPY_PIXEL_PROGRAM);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);

    // The tile shown on the back buffer, then into the read-back surface.
    IDirect3DSurface9* pBackBuffer = nullptr;
    if (SUCCEEDED(m_pDevice->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &pBackBuffer)))
    {
        m_pDevice->SetRenderTarget(0, pBackBuffer);
        ReleaseTracerObject(pBackBuffer);
        UnbindTextures(m_pDevice, 1);
        m_pDevice->SetTexture(0, g_pSceneTexture);
        DrawTracerQuad(SCALED_COPY_PIXEL_PROGRAM);
    }
    m_pDevice->SetRenderTarget(0, g_pReadbackSurface);
    UnbindTargets(m_pDevice);
    if (m_Scene.m_Camera.m_bDofActive == 1)
    {
        m_pDevice->SetTexture(0, nullptr);
        CompositeDepthOfField();
    }
    else
    {
        m_pDevice->SetTexture(0, g_pSceneTexture);
        DrawTracerQuad(SCALED_COPY_PIXEL_PROGRAM);
    }
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    UnbindTracerTextures(m_pDevice, m_pRenderer);
}

void RenderApp::RenderSpecularPaths(IDirect3DTexture9*)
{
    if (!m_pDevice || !m_pRenderer)
        return;
    // The paths emit from the first light that is switched on; without one there is nothing
    // to add and only the finish runs.
    SceneLight* pLight = FindFirstEnabledLight();
    if (pLight && g_bRefraction != 0)
        RenderRefractionPath(pLight);
    if (pLight && g_bReflection != 0)
        RenderReflectionPath(pLight);
    FinishTracedTile();
}
