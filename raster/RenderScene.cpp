// The main scene pass (RenderApp::RenderScene): depth laid front to back with an occlusion
// query per mesh, one additive pass per light over every visible opaque mesh, the transparent
// meshes in a back-face and a front-face pass, and the hand-over to the effects and the photon
// tracer.
#include "app/RenderApp.h"
#include "3dapi/Renderer.h"
#include "raster/LightConstants.h"
#include "raster/LightPassChoice.h"
#include "raster/SceneDraw.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <algorithm>

namespace
{
using namespace LightPrograms;

// The pass that draws one frame: the application's device, renderer and tables, and the state
// a few steps share.
class ScenePass
{
public:
    ScenePass(RenderApp& app, int nMode) : m_App(app), m_pDevice(app.m_pDevice), m_Renderer(*app.GetRenderer()),
                                            m_nMode(nMode)
    {
    }

    void Run();

private:
    SceneMesh* Mesh(int i) const { return static_cast<SceneMesh*>(m_App.m_Scene.m_Meshes.Get((uint32_t)i)); }
    SceneLight* Light(int j) const { return static_cast<SceneLight*>(m_App.m_Scene.m_Lights.Get((uint32_t)j)); }
    uint32_t& Visibility(int nView, int i) { return m_App.m_Visibility[(size_t)nView * RenderApp::MAX_MESHES + i]; }

    // Selects and applies the programs; false, with one logged error per program, when one of
    // them failed to load, and the caller skips its draw.
    bool SelectPrograms(int nVertexId, int nPixelId);

    void Draw(const SceneMesh& mesh);
    void QueryDraw(const SceneMesh& mesh, uint32_t& nEntry);
    bool PrePass();
    void DepthPass();
    void SetUpColour();
    void DrawOpaqueMesh(int i, SceneMesh& mesh);
    void DrawTransparentMesh(int i, SceneMesh& mesh);
    void DrawLayerPasses(const SceneMesh& mesh, bool bKeepEnvironment);
    void DrawLightPass(int i, SceneMesh& mesh, int j, const SceneLight& light, MeshPass nPass);
    void BindEnvironment(const SceneMaterial& material);
    void BindLightTexture(const SceneLight& light, bool bDirectional);

    RenderApp& m_App;
    IDirect3DDevice9* m_pDevice;
    Renderer& m_Renderer;
    const int m_nMode;
    int m_nMeshes = 0;
    int m_nLights = 0;
};

bool ScenePass::SelectPrograms(int nVertexId, int nPixelId)
{
    return SelectScenePrograms(m_App, nVertexId, nPixelId, "RenderScene");
}

void ScenePass::Draw(const SceneMesh& mesh)
{
    DrawSceneMesh(m_pDevice, mesh);
}

void ScenePass::QueryDraw(const SceneMesh& mesh, uint32_t& nEntry)
{
    QueryDrawMesh(m_App, mesh, nEntry);
}

// Cube faces after the first frame: only a face where a moving mesh can be seen is redrawn.
// False when none is, and the face keeps its colour.
bool ScenePass::PrePass()
{
    int nMoving = 0, nHidden = 0;
    for (int i = 0; i < m_nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (!pMesh || !IsMoving(*pMesh))
            continue;
        uint32_t& nEntry = Visibility(VIEW_CUBE_FACE, i);
        nEntry = 0;
        if (!m_App.IsSphereInFrustum(pMesh))
        {
            ++nMoving;
            ++nHidden;
            continue;
        }
        if (!pMesh->m_bVisible)
            continue;
        QueryDraw(*pMesh, nEntry);
        ++nMoving;
        nHidden += nEntry == 0 ? 1 : 0;
    }
    return nMoving != nHidden;
}

// Depth and black for the opaque meshes, nearest first, each with its query.
void ScenePass::DepthPass()
{
    for (int k = 0; k < m_nMeshes; ++k)
    {
        int i = m_App.m_MeshOrder[k];
        SceneMesh* pMesh = Mesh(i);
        if (!pMesh || !IsOpaque(*pMesh))
            continue;
        uint32_t& nEntry = Visibility(m_nMode, i);
        // Alpha-blended opaque meshes lay no depth and count as visible in every view.
        if (pMesh->m_pMaterial->m_bAlphaTransparency)
        {
            nEntry = 1;
            continue;
        }
        nEntry = 0;
        if (!pMesh->m_bVisible)
            continue;
        QueryDraw(*pMesh, nEntry);
    }
}

void ScenePass::SetUpColour()
{
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    if (!g_bBackground)
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    else
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_FILLMODE, g_bForceWireframe == 1 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    m_Renderer.BindTexture(5, g_nNoiseTexture);
}

void ScenePass::BindEnvironment(const SceneMaterial& material)
{
    bool bDynamic = material.m_bMaterialFlags[1] != 0;
    // A cube face being drawn cannot also be sampled: the dynamic cube is left out of its own faces.
    int nCube = bDynamic ? (m_nMode == VIEW_CUBE_FACE ? -1 : g_nEnvCubeTarget) : material.m_nMaterialIds[0];
    m_Renderer.BindTexture(2, nCube);
}

// Stage 6: the light's cube (point and spot programs) or a 2D texture (directional programs,
// which have none of their own: white).
void ScenePass::BindLightTexture(const SceneLight& light, bool bDirectional)
{
    // Forget the renderer's record first: the cube goes straight to the device.
    m_Renderer.BindTexture(6, -1);
    if (bDirectional)
        m_Renderer.BindTexture(6, m_App.m_nWhiteTexture);
    else
        m_pDevice->SetTexture(6, light.m_pCubeTexture);
}

void ScenePass::DrawLightPass(int i, SceneMesh& mesh, int j, const SceneLight& light, MeshPass nPass)
{
    LightPassChoice choice = ChooseLightPass(mesh, light, nPass, m_nMode, m_App.m_bShadowFarLayer != 0);
    if (nPass == MeshPass::OPAQUE)
    {
        if (choice.bDirectionalConstants)
        {
            m_App.SetDirectionalPixelConstants(&mesh, i, &light, j);
            m_App.SetDirectionalVertexConstants(&mesh, &light, j);
        }
        else
        {
            m_App.SetLightPixelConstants(&mesh, i, &light, j);
            m_App.SetLightVertexConstants(&mesh, &light, j);
        }
    }
    else
    {
        m_App.SetLightPixelConstants(&mesh, i, &light, j);
        m_App.SetLightVertexConstants(&mesh, &light, j);
        if (choice.bDirectionalConstants)
        {
            m_App.SetDirectionalPixelConstants(&mesh, i, &light, j);
            m_App.SetDirectionalVertexConstants(&mesh, &light, j);
        }
    }
    if (g_bTracePhoton == 1)
        m_Renderer.BindTexture(3, choice.bShadowCube ? light.m_nTextureId : light.m_nTextureId2);
    if (!SelectPrograms(choice.nVertexProgram, choice.nPixelProgram))
        return;
    BindLightTexture(light, choice.nPixelProgram == PS_DIRECTIONAL || choice.nPixelProgram == PS_WAVE_DIRECTIONAL ||
                                choice.nPixelProgram == PS_FLAT_DIRECTIONAL);
    if (nPass != MeshPass::OPAQUE)
    {
        bool bBack = nPass == MeshPass::TRANSPARENT_BACK;
        // With refraction each light of the back pass replaces what lies behind.
        m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, bBack && g_bRefraction == 1 ? D3DBLEND_ZERO : D3DBLEND_ONE);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, bBack ? D3DCULL_CCW : D3DCULL_CW);
    }
    Draw(mesh);
    if (nPass == MeshPass::OPAQUE)
        g_nVisibleFaces += mesh.m_nTriangleCount;
}

void ScenePass::DrawLayerPasses(const SceneMesh& mesh, bool bKeepEnvironment)
{
    if (!bKeepEnvironment)
        m_Renderer.BindTexture(2, g_nEnvCubeTarget2);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    if (!SelectPrograms(VS_LAYER, PS_LAYER))
        return;
    int nPasses = std::clamp(g_nLayerPasses, 0, MAX_LAYER_PASSES);
    for (int k = 0; k < nPasses; ++k)
    {
        m_App.SetLayerConstants(&mesh, k);
        m_App.SetLayerVertexConstants(&mesh, k);
        Draw(mesh);
    }
}

void ScenePass::DrawOpaqueMesh(int i, SceneMesh& mesh)
{
    const SceneMaterial& material = *mesh.m_pMaterial;
    m_Renderer.BindTexture(0, material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE]);
    m_Renderer.BindTexture(1, material.m_nTextureIds[SceneMaterial::TEXTURE_BUMP]);
    m_Renderer.BindTexture(4, material.m_nTextureIds[SceneMaterial::TEXTURE_GLOSS]);
    const bool bReflects = g_bReflection == 1 && IsReflective(material);
    const bool bLayers = g_bDynamicCubeMap == 1 && m_nMode == VIEW_CAMERA;
    if (bReflects || bLayers)
        BindEnvironment(material);
    m_pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    if (bLayers)
        DrawLayerPasses(mesh, bReflects);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    bool bAlpha = material.m_bAlphaTransparency != 0;
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, bAlpha ? D3DBLEND_SRCALPHA : D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, bAlpha ? D3DBLEND_INVSRCALPHA : D3DBLEND_ONE);
    if (g_bForceWireframe == 0)
        m_pDevice->SetRenderState(D3DRS_FILLMODE, mesh.m_bWireframe == 1 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    const D3DXVECTOR3 centre = MeshWorldCentre(mesh);
    for (int j = 0; j < m_nLights; ++j)
    {
        SceneLight* pLight = Light(j);
        if (!pLight || !pLight->m_bEnabled || !mesh.m_bLitBy[j])
            continue;
        if (pLight->m_Light.Type != D3DLIGHT_DIRECTIONAL)
        {
            // Lights whose range ends before the mesh's sphere begins are culled.
            const Vector3& p = pLight->m_vLightPosition;
            D3DXVECTOR3 d(p.x - centre.x, p.y - centre.y, p.z - centre.z);
            if (D3DXVec3Length(&d) - mesh.m_fSphereRadius > pLight->m_Light.Range)
                continue;
        }
        DrawLightPass(i, mesh, j, *pLight, MeshPass::OPAQUE);
    }
}

void ScenePass::DrawTransparentMesh(int i, SceneMesh& mesh)
{
    const SceneMaterial& material = *mesh.m_pMaterial;
    m_Renderer.BindTexture(0, material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE]);
    m_Renderer.BindTexture(1, material.m_nTextureIds[SceneMaterial::TEXTURE_BUMP]);
    m_Renderer.BindTexture(4, material.m_nTextureIds[SceneMaterial::TEXTURE_GLOSS]);
    m_Renderer.BindTexture(2, -1);
    m_pDevice->SetTexture(2, nullptr);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    for (MeshPass nPass : {MeshPass::TRANSPARENT_BACK, MeshPass::TRANSPARENT_FRONT})
    {
        if (nPass == MeshPass::TRANSPARENT_FRONT &&
            ((g_bReflection == 1 && m_nMode == VIEW_CAMERA && IsReflective(material)) || g_bRefraction == 1))
            BindEnvironment(material);
        for (int j = 0; j < m_nLights; ++j)
        {
            SceneLight* pLight = Light(j);
            if (pLight && pLight->m_bEnabled && mesh.m_bLitBy[j])
                DrawLightPass(i, mesh, j, *pLight, nPass);
        }
    }
    if (g_bDynamicCubeMap != 0 && m_nMode == VIEW_CAMERA)
        DrawLayerPasses(mesh, g_bReflection == 1 && IsReflective(material));
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
}

void ScenePass::Run()
{
    m_nMeshes = std::min((int)m_App.m_Scene.m_Meshes.GetCount(), RenderApp::MAX_MESHES);
    m_nLights = std::min((int)m_App.m_Scene.m_Lights.GetCount(), SceneMesh::LIGHT_SLOTS);
    if ((int)m_App.m_Visibility.size() < 2 * RenderApp::MAX_MESHES)
        m_App.m_Visibility.resize(2 * RenderApp::MAX_MESHES, 0);

    // 1. Depth and black: blending ZERO / ZERO, position-only program, depth cleared. Depth test
    // and write stay on (LESSEQUAL), so the light passes redraw on the depths laid here.
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    bool bDepthProgram = SelectPrograms(VS_DEPTH, PS_NONE);
    // The fixed-function pixel stage of these draws need not read the diffuse map the last mesh
    // left on stage 0: what it computes is blended away.
    m_Renderer.BindTexture(0, -1);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
    m_pDevice->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);

    // 2. A cube face after the first frame is redrawn only when a moving mesh shows in it.
    if (m_nMode == VIEW_CUBE_FACE && !g_bSceneChanged && bDepthProgram && !PrePass())
        return;
    // 3, 4. Front to back, depth and queries.
    m_App.SortMeshesFrontToBack();
    if (bDepthProgram)
        DepthPass();

    // 5, 6. The opaque meshes, lit, in list order.
    SetUpColour();
    for (int i = 0; i < m_nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (pMesh && pMesh->m_bVisible && Visibility(m_nMode, i) != 0 && IsOpaque(*pMesh))
            DrawOpaqueMesh(i, *pMesh);
    }
    // 7. The transparent meshes, in list order.
    for (int i = 0; i < m_nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (pMesh && pMesh->m_pMaterial && !IsOpaque(*pMesh) && pMesh->m_bVisible)
            DrawTransparentMesh(i, *pMesh);
    }

    // 8 to 10. Fog, the camera view's light effects, the photon tracer.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    m_App.DrawFogPass();
    if (m_nMode == VIEW_CAMERA)
        for (int j = 0; j < (int)m_App.m_Scene.m_Lights.GetCount(); ++j)
            if (SceneLight* pLight = Light(j))
            {
                m_App.DrawLightHalo(pLight);
                m_App.DrawLensFlare(pLight);
                m_App.DrawSpotCone(pLight);
            }
    // The tracer renders and shows the camera's view only: handed a cube face (the environment
    // cube of a new scene's first frame, or the dynamic cube), it would trace the face's view as
    // the image and later draw the image over the faces.
    if (g_bTracePhoton != 0)
    {
        if (m_nMode == VIEW_CAMERA)
            m_App.RunPhotonTracer();
    }
    else
        g_nCompletedRenders = 0;
}
}

void RenderApp::RenderScene(int nMode, const Matrix4*)
{
    if (!m_pDevice || !GetRenderer())
        return;
    ScenePass(*this, nMode).Run();
}
