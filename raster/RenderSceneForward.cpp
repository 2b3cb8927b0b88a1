// The forward pass (RenderApp::RenderSceneForward), the alternative main pass: depth with an
// occlusion query per opaque mesh in list order, one additive pass per light, the soft shadows
// that darken the lit image, then the transparent meshes in a back-face and a front-face pass.
// Unlike the main pass it draws no fog or light effects and does not start the photon tracer.
#include "app/RenderApp.h"
#include "3dapi/Renderer.h"
#include "raster/SceneDraw.h"
#include "raster/ShadowConstants.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <algorithm>

namespace
{
// Program ids (resource id - 900 for vertex programs, - 600 for pixel programs).
enum VertexProgram
{
    VS_LIGHT = 0,        // 900
    VS_LAYER = 7,        // 907
    VS_DEPTH = 8,        // 908
    VS_FLAT_LIGHT = 10,  // 910
    VS_SHADOW = 12,      // 912
    VS_REFRACTION = 13   // 913
};
enum PixelProgram
{
    PS_POINT = 0,              // 600
    PS_DEPTH_COLOUR = 38,      // 638
    PS_LAYER = 39,             // 639
    PS_FLAT = 43,              // 643
    PS_REFRACTION_FRONT = 48,  // 648
    PS_REFRACTION_BACK = 49,   // 649
    PS_SPOT = 50               // 650
};

constexpr int VIEW_CAMERA = 0;
constexpr char PASS_NAME[] = "RenderSceneForward";

// The texture of a material slot, or none.
int MaterialTexture(const SceneMaterial& material, int nSlot)
{
    return material.m_nTextureIds[nSlot];
}

class ForwardPass
{
public:
    ForwardPass(RenderApp& app, int nMode) : m_App(app), m_pDevice(app.m_pDevice), m_Renderer(*app.GetRenderer()),
                                              m_nMode(nMode)
    {
    }

    void Run();

private:
    SceneMesh* Mesh(int i) const { return static_cast<SceneMesh*>(m_App.m_Scene.m_Meshes.Get((uint32_t)i)); }
    SceneLight* Light(int j) const { return static_cast<SceneLight*>(m_App.m_Scene.m_Lights.Get((uint32_t)j)); }
    uint32_t& Visibility(int i) { return m_App.m_Visibility[(size_t)m_nMode * RenderApp::MAX_MESHES + i]; }
    bool LightsMesh(const SceneLight* pLight, const SceneMesh& mesh, int j) const
    {
        return pLight && pLight->m_bEnabled && mesh.m_bLitBy[j];
    }

    void SetBlend(D3DBLEND nSource, D3DBLEND nDest);
    // Programs and the textures of stages 0 to 5, applied; false when a program is missing.
    bool Apply(int nVertexId, int nPixelId, int t0, int t1, int t2, int t3, int t4, int t5);
    void DepthPass();
    void DrawLayerPasses(const SceneMesh& mesh, int nCube);
    // One light pass of a mesh: the point constants, the programs by flatness and refraction,
    // stage 6 = the light's cube, the mesh's fill mode; false when nothing was drawn.
    bool DrawLightPass(int i, SceneMesh& mesh, int j, const SceneLight& light, int nRefractionProgram,
                       bool bCubeOnStage2);
    void LightOpaqueMesh(int i, SceneMesh& mesh);
    void ShadowPass();
    void DrawTransparentMesh(int i, SceneMesh& mesh);

    RenderApp& m_App;
    IDirect3DDevice9* m_pDevice;
    Renderer& m_Renderer;
    const int m_nMode;
    int m_nMeshes = 0;
    int m_nLights = 0;
};

void ForwardPass::SetBlend(D3DBLEND nSource, D3DBLEND nDest)
{
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, nSource);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, nDest);
}

bool ForwardPass::Apply(int nVertexId, int nPixelId, int t0, int t1, int t2, int t3, int t4, int t5)
{
    if (!SelectScenePrograms(m_App, nVertexId, nPixelId, PASS_NAME))
        return false;
    m_Renderer.SelectTextures(t0, t1, t2, t3, t4, t5);
    m_Renderer.ApplyState();
    return true;
}

// Depth and the depth-pass colour (blended away: ZERO / ONE) for every shown opaque mesh in list
// order, each with its query.
void ForwardPass::DepthPass()
{
    if (!Apply(VS_DEPTH, PS_DEPTH_COLOUR, -1, -1, -1, -1, -1, -1))
        return;
    for (int i = 0; i < m_nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (!pMesh || !IsOpaque(*pMesh))
            continue;
        uint32_t& nEntry = Visibility(i);
        nEntry = 0;
        if (pMesh->m_bVisible)
            QueryDrawMesh(m_App, *pMesh, nEntry);
    }
}

void ForwardPass::DrawLayerPasses(const SceneMesh& mesh, int nCube)
{
    const SceneMaterial& material = *mesh.m_pMaterial;
    SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
    int nPasses = std::clamp(g_nLayerPasses, 0, MAX_LAYER_PASSES);
    for (int k = 0; k < nPasses; ++k)
    {
        m_App.SetLayerConstants(&mesh, k);
        m_App.SetLayerVertexConstants(&mesh, k);
        if (!Apply(VS_LAYER, PS_LAYER, MaterialTexture(material, SceneMaterial::TEXTURE_DIFFUSE),
                   MaterialTexture(material, SceneMaterial::TEXTURE_BUMP), nCube, -1, -1, g_nNoiseTexture))
            return;
        DrawSceneMesh(m_pDevice, mesh);
    }
}

bool ForwardPass::DrawLightPass(int i, SceneMesh& mesh, int j, const SceneLight& light, int nRefractionProgram,
                                bool bCubeOnStage2)
{
    const SceneMaterial& material = *mesh.m_pMaterial;
    m_App.SetLightPixelConstants(&mesh, i, &light, j);
    m_App.SetLightVertexConstants(&mesh, &light, j);
    const int nDiffuse = MaterialTexture(material, SceneMaterial::TEXTURE_DIFFUSE);
    const int nBump = MaterialTexture(material, SceneMaterial::TEXTURE_BUMP);
    const int nGloss = MaterialTexture(material, SceneMaterial::TEXTURE_GLOSS);
    bool bApplied;
    if (IsFlat(mesh))
    {
        // Flat meshes reflect their mirror texture, in the camera view only.
        const int nMirror = m_nMode == VIEW_CAMERA && IsReflective(material) ? material.m_nMaterialIds[1] : -1;
        bApplied = Apply(VS_FLAT_LIGHT, PS_FLAT, nDiffuse, nBump, nMirror, -1, nGloss, -1);
    }
    else
    {
        const bool bRefraction = nRefractionProgram >= 0 && g_bRefraction == 1;
        const int nPixel = bRefraction ? nRefractionProgram : (light.m_Light.Type == D3DLIGHT_SPOT ? PS_SPOT : PS_POINT);
        bApplied = Apply(bRefraction ? VS_REFRACTION : VS_LIGHT, nPixel, nDiffuse, nBump,
                         bCubeOnStage2 ? material.m_nMaterialIds[0] : -1, -1, nGloss, -1);
    }
    if (!bApplied)
        return false;
    m_pDevice->SetRenderState(D3DRS_FILLMODE, mesh.m_bWireframe == 1 ? D3DFILL_WIREFRAME : D3DFILL_SOLID);
    m_pDevice->SetTexture(6, light.m_pCubeTexture);
    return true;
}

void ForwardPass::LightOpaqueMesh(int i, SceneMesh& mesh)
{
    // The layer passes draw the mesh too: its stream goes first.
    m_pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    if (g_bDynamicCubeMap == 1 && m_nMode == VIEW_CAMERA)
        DrawLayerPasses(mesh, g_nEnvCubeTarget2);
    if (!IsOpaque(mesh))
        return;
    SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
    for (int j = 0; j < m_nLights; ++j)
    {
        SceneLight* pLight = Light(j);
        if (!LightsMesh(pLight, mesh, j) || !DrawLightPass(i, mesh, j, *pLight, -1, true))
            continue;
        DrawSceneMesh(m_pDevice, mesh);
        g_nVisibleFaces += mesh.m_nTriangleCount;
    }
}

// The lit image multiplied by each light's soft shadow factor (alpha of programs 654 / 656).
void ForwardPass::ShadowPass()
{
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetBlend(D3DBLEND_ZERO, D3DBLEND_SRCALPHA);
    const ShadowTapMode& taps = GetShadowTapMode(g_nShadowTapMode);
    for (int i = 0; i < m_nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (!pMesh || !pMesh->m_pMaterial || Visibility(i) == 0 || !IsOpaque(*pMesh))
            continue;
        m_pDevice->SetStreamSource(0, pMesh->m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
        for (int j = 0; j < m_nLights; ++j)
        {
            SceneLight* pLight = Light(j);
            if (!LightsMesh(pLight, *pMesh, j))
                continue;
            m_App.SetShadowVertexConstants(pMesh, pLight, j);
            m_App.SetShadowPixelConstants(pMesh, i, pLight, j);
            const int nPixel = pLight->m_Light.Type == D3DLIGHT_SPOT ? taps.nSpotProgram : taps.nPointProgram;
            if (Apply(VS_SHADOW, nPixel, -1, -1, -1, pLight->m_nTextureId, -1, g_nNoiseTexture))
                DrawSceneMesh(m_pDevice, *pMesh);
        }
    }
}

void ForwardPass::DrawTransparentMesh(int i, SceneMesh& mesh)
{
    SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
    m_pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    // The back faces: each light replaces what lies behind.
    for (int j = 0; j < m_nLights; ++j)
    {
        SceneLight* pLight = Light(j);
        if (!LightsMesh(pLight, mesh, j) || !DrawLightPass(i, mesh, j, *pLight, PS_REFRACTION_BACK, true))
            continue;
        SetBlend(D3DBLEND_ONE, D3DBLEND_ZERO);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        DrawSceneMesh(m_pDevice, mesh);
    }
    // The front faces, added; the cube a cube face would show is left out of the faces.
    for (int j = 0; j < m_nLights; ++j)
    {
        SceneLight* pLight = Light(j);
        if (!LightsMesh(pLight, mesh, j) ||
            !DrawLightPass(i, mesh, j, *pLight, PS_REFRACTION_FRONT, m_nMode == VIEW_CAMERA))
            continue;
        SetBlend(D3DBLEND_ONE, D3DBLEND_ONE);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
        DrawSceneMesh(m_pDevice, mesh);
    }
    if (g_bDynamicCubeMap != 0 && m_nMode == VIEW_CAMERA)
    {
        m_App.SetupObjectCubeFaces(&mesh);
        m_App.BuildFrustumPlanes();
        DrawLayerPasses(mesh, mesh.m_pMaterial->m_nMaterialIds[0]);
    }
}

void ForwardPass::Run()
{
    m_nMeshes = std::min((int)m_App.m_Scene.m_Meshes.GetCount(), RenderApp::MAX_MESHES);
    m_nLights = std::min((int)m_App.m_Scene.m_Lights.GetCount(), SceneMesh::LIGHT_SLOTS);
    if ((int)m_App.m_Visibility.size() < 2 * RenderApp::MAX_MESHES)
        m_App.m_Visibility.resize(2 * RenderApp::MAX_MESHES, 0);
    // The pass sets blending on the device itself: the renderer's blend set is left out of its
    // applies, which would otherwise switch blending off under it.
    m_Renderer.DisableStateSets(STATE_SET_BLEND);

    // 1, 2. Depth with the colour kept. Depth is cleared first, as in the main pass: cube faces
    // share one depth surface, and a frame must not be tested against the last one's depths. The
    // colour is cleared by the same rule as the main pass, so that the additive light passes do
    // not pile up on the last frame's image.
    m_pDevice->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (!g_bBackground)
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetBlend(D3DBLEND_ZERO, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_App.SetDepthPassColour();
    DepthPass();

    // 3. The meshes that passed their query, lit.
    for (int i = 0; i < m_nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (pMesh && pMesh->m_pMaterial && Visibility(i) != 0)
            LightOpaqueMesh(i, *pMesh);
    }
    // 4. Soft shadows, with Trace Photon on.
    if (g_bTracePhoton == 1)
        ShadowPass();
    // 5. The transparent meshes whose sphere is in view.
    for (int i = 0; i < m_nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (!pMesh || !pMesh->m_pMaterial || IsOpaque(*pMesh) || !pMesh->m_bVisible)
            continue;
        pMesh->m_bInFrustum = m_App.IsSphereInFrustum(pMesh) ? 1 : 0;
        if (pMesh->m_bInFrustum)
            DrawTransparentMesh(i, *pMesh);
    }

    // 6.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_Renderer.EnableStateSets(STATE_SET_BLEND);
}
}

void RenderApp::RenderSceneForward(int nMode, const Matrix4*)
{
    if (!m_pDevice || !GetRenderer())
        return;
    ForwardPass(*this, nMode).Run();
}
