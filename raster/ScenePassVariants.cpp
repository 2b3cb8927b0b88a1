// The earlier forms of the scene pass, which no frame calls: each is the main pass with some of
// its steps left out or changed (how meshes are culled, whether they are sorted and laid in depth,
// how opaque light passes blend, which light programs they select, what the pass ends with).
// One configurable pass draws them all; the table of forms below tells them apart.
#include "app/RenderApp.h"
#include "3dapi/Renderer.h"
#include "raster/LightConstants.h"
#include "raster/LightPassChoice.h"
#include "raster/SceneDraw.h"
#include "raster/ShadowConstants.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"

#include <algorithm>
#include <vector>

namespace
{
using namespace LightPrograms;

enum
{
    VS_SOFT_SHADOW = 12,         // 912
    PS_FORWARD_POINT = 0,        // 600
    PS_FORWARD_FLAT = 43,        // 643
    PS_FORWARD_SPOT = 50,        // 650
    PS_SHADOWED_POINT = 68,      // 668
    ELEVEN_TAPS = 3              // the soft-shadow tap mode of programs 647 and 651
};

// Which light programs the opaque meshes' passes select.
enum class ProgramSet
{
    MAIN,          // the main pass's table, with the flat forms for flat meshes
    FAR_LAYER,     // the same, with 603 for directional lights while the far layer is set
    SIMPLE,        // 900 with 653, or 659 for spot lights
    FORWARD,       // 900 with 600, or 650 for spot lights; soft shadows after
    RADIOSITY,     // 668 for point lights, 910 with 643 for flat meshes
    REDUCED        // point and spot lights only, 910 for flat meshes
};

struct VariantForm
{
    const char* szName;
    bool bPlaneCull;       // the frustum planes
    bool bSphereCull;      // the view's sphere test
    bool bSort;            // front to back before the depth pass
    bool bDepthPass;       // depth with a query per mesh
    D3DBLEND nOpaqueSource, nOpaqueDest;
    bool bTransparent;     // the transparent meshes in a back-face and a front-face pass
    bool bLayers;          // the layer passes before the light passes
    bool bCubeFaces;       // the mesh's own cube faces prepared before its layer passes
    bool bHalo;
    bool bShadowVolumes;   // the pass ends with the stencil shadow volumes
    ProgramSet nPrograms;
};

const VariantForm FORM_PLANES = {"RenderScenePlanes", true, false, false, true, D3DBLEND_ONE, D3DBLEND_ONE, true,
                            false, false, false, false, ProgramSet::MAIN};
const VariantForm FORM_PLANES_CUBE = {"RenderScenePlanesCube", true, true, false, true, D3DBLEND_ONE, D3DBLEND_ONE, true,
                                 false, false, false, false, ProgramSet::FAR_LAYER};
const VariantForm FORM_LIGHTS_SIMPLE = {"RenderLightsSimple", false, false, false, false, D3DBLEND_ONE, D3DBLEND_ONE,
                                   false, false, false, false, false, ProgramSet::SIMPLE};
const VariantForm FORM_SORTED = {"RenderSceneSorted", false, false, true, true, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA,
                            true, false, false, false, true, ProgramSet::MAIN};
const VariantForm FORM_SHADOWED = {"RenderSceneShadowed", false, false, false, true, D3DBLEND_SRCALPHA,
                              D3DBLEND_INVSRCALPHA, false, false, false, false, false, ProgramSet::FORWARD};
const VariantForm FORM_RADIOSITY = {"RenderSceneRadiosity", false, false, true, true, D3DBLEND_SRCALPHA,
                               D3DBLEND_INVSRCALPHA, true, true, false, true, true, ProgramSet::RADIOSITY};
const VariantForm FORM_REDUCED = {"RenderSceneReduced", true, true, true, true, D3DBLEND_ONE, D3DBLEND_ONE, false, true,
                             true, false, false, ProgramSet::REDUCED};

// The opaque pass of a mesh and light by the form's program set; no vertex program (-1) when
// the form does not light the mesh with that light.
LightPassChoice ChooseVariantLightPass(const SceneMesh& mesh, const SceneLight& light, ProgramSet nPrograms,
                                       bool bFarLayer)
{
    LightPassChoice choice;
    const D3DLIGHTTYPE nType = light.m_Light.Type;
    const bool bDirectional = nType == D3DLIGHT_DIRECTIONAL, bSpot = nType == D3DLIGHT_SPOT;
    const bool bFlat = IsFlat(mesh);
    choice.bShadowCube = !bDirectional;
    switch (nPrograms)
    {
    case ProgramSet::SIMPLE:
    case ProgramSet::FORWARD:
        choice.nVertexProgram = VS_LIGHT;
        if (nPrograms == ProgramSet::SIMPLE)
            choice.nPixelProgram = bSpot ? PS_SPOT : PS_POINT;
        else
            choice.nPixelProgram = bSpot ? PS_FORWARD_SPOT : PS_FORWARD_POINT;
        return choice;
    case ProgramSet::REDUCED:
        if (bDirectional)
            return choice;
        choice.nVertexProgram = bFlat ? VS_FLAT_LIGHT : VS_LIGHT;
        choice.nPixelProgram = bSpot ? PS_SPOT : PS_POINT;
        return choice;
    case ProgramSet::RADIOSITY:
        if (bFlat)
        {
            choice.nVertexProgram = VS_FLAT_LIGHT;
            choice.nPixelProgram = PS_FORWARD_FLAT;
            return choice;
        }
        break;
    case ProgramSet::MAIN:
    case ProgramSet::FAR_LAYER:
        if (bFlat)
        {
            choice.nVertexProgram = bDirectional ? VS_FLAT_DIRECTIONAL : VS_FLAT_LIGHT;
            choice.nPixelProgram = bDirectional ? PS_FLAT_DIRECTIONAL : (bSpot ? PS_SPOT : PS_FLAT_POINT);
            choice.bDirectionalConstants = bDirectional;
            return choice;
        }
        break;
    }
    if (bDirectional)
    {
        choice.nVertexProgram = VS_DIRECTIONAL;
        choice.nPixelProgram = nPrograms == ProgramSet::FAR_LAYER && bFarLayer ? PS_SHADOW_FAR_LAYER : PS_DIRECTIONAL;
        choice.bDirectionalConstants = true;
        return choice;
    }
    choice.nVertexProgram = VS_LIGHT;
    if (bSpot)
        choice.nPixelProgram = PS_SPOT;
    else
        choice.nPixelProgram = nPrograms == ProgramSet::RADIOSITY ? PS_SHADOWED_POINT : static_cast<int>(PS_POINT);
    return choice;
}

bool UsesMirrorTexture(int nPixelProgram)
{
    return nPixelProgram == PS_FLAT_POINT || nPixelProgram == PS_FLAT_DIRECTIONAL || nPixelProgram == PS_FORWARD_FLAT;
}

class VariantPass
{
public:
    VariantPass(RenderApp& app, const VariantForm& form) : m_App(app), m_pDevice(app.m_pDevice),
                                                           m_Renderer(*app.GetRenderer()), m_Form(form)
    {
    }

    void Run();

private:
    SceneMesh* Mesh(int i) const { return static_cast<SceneMesh*>(m_App.m_Scene.m_Meshes.Get((uint32_t)i)); }
    SceneLight* Light(int j) const { return static_cast<SceneLight*>(m_App.m_Scene.m_Lights.Get((uint32_t)j)); }
    uint32_t& Visibility(int i) { return m_App.m_Visibility[(size_t)i]; }
    bool InView(const SceneMesh& mesh) const;
    void SetBlend(D3DBLEND nSource, D3DBLEND nDest);
    void DepthPass();
    void BindMaterial(const SceneMaterial& material);
    void DrawLayerPasses(SceneMesh& mesh);
    void DrawLightPass(int i, SceneMesh& mesh, int j, const SceneLight& light, const LightPassChoice& choice);
    void DrawOpaqueMesh(int i, SceneMesh& mesh);
    void DrawTransparentMesh(int i, SceneMesh& mesh);
    void SoftShadowPass();

    RenderApp& m_App;
    IDirect3DDevice9* m_pDevice;
    Renderer& m_Renderer;
    const VariantForm& m_Form;
    std::vector<int> m_Order;
    int m_nLights = 0;
};

bool VariantPass::InView(const SceneMesh& mesh) const
{
    if (m_Form.bSphereCull && !m_App.IsSphereInFrustum(&mesh))
        return false;
    if (m_Form.bPlaneCull)
    {
        const D3DXVECTOR3 centre = MeshWorldCentre(mesh);
        return m_App.IsSphereInFrustumPlanes(centre.x, centre.y, centre.z, mesh.m_fSphereRadius);
    }
    return true;
}

void VariantPass::SetBlend(D3DBLEND nSource, D3DBLEND nDest)
{
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, nSource);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, nDest);
}

// Depth and black, blended away, with a query per shown opaque mesh in the pass's order.
void VariantPass::DepthPass()
{
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetBlend(D3DBLEND_ZERO, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    const bool bProgram = SelectScenePrograms(m_App, VS_DEPTH, PS_NONE, m_Form.szName);
    m_Renderer.BindTexture(0, -1);
    for (int i : m_Order)
    {
        SceneMesh* pMesh = Mesh(i);
        if (!pMesh)
            continue;
        uint32_t& nEntry = Visibility(i);
        const bool bShown = pMesh->m_bVisible && InView(*pMesh);
        // Transparent meshes lay no depth; they count as seen wherever they are shown.
        nEntry = !IsOpaque(*pMesh) && bShown ? 1 : 0;
        if (bProgram && bShown && IsOpaque(*pMesh))
            QueryDrawMesh(m_App, *pMesh, nEntry);
    }
}

void VariantPass::BindMaterial(const SceneMaterial& material)
{
    m_Renderer.BindTexture(0, material.m_nTextureIds[SceneMaterial::TEXTURE_DIFFUSE]);
    m_Renderer.BindTexture(1, material.m_nTextureIds[SceneMaterial::TEXTURE_BUMP]);
    m_Renderer.BindTexture(4, material.m_nTextureIds[SceneMaterial::TEXTURE_GLOSS]);
}

void VariantPass::DrawLayerPasses(SceneMesh& mesh)
{
    if (m_Form.bCubeFaces)
        m_App.SetupObjectCubeFaces(&mesh);
    m_Renderer.BindTexture(2, g_nEnvCubeTarget2);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetBlend(D3DBLEND_SRCALPHA, D3DBLEND_ONE);
    if (!SelectScenePrograms(m_App, VS_LAYER, PS_LAYER, m_Form.szName))
        return;
    m_pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    const int nPasses = std::clamp(g_nLayerPasses, 0, MAX_LAYER_PASSES);
    for (int k = 0; k < nPasses; ++k)
    {
        m_App.SetLayerConstants(&mesh, k);
        m_App.SetLayerVertexConstants(&mesh, k);
        DrawSceneMesh(m_pDevice, mesh);
    }
}

void VariantPass::DrawLightPass(int i, SceneMesh& mesh, int j, const SceneLight& light,
                                const LightPassChoice& choice)
{
    // Transparent meshes take the point constants first, then the directional ones over them.
    if (!choice.bDirectionalConstants || !IsOpaque(mesh))
    {
        m_App.SetLightPixelConstants(&mesh, i, &light, j);
        m_App.SetLightVertexConstants(&mesh, &light, j);
    }
    if (choice.bDirectionalConstants)
    {
        m_App.SetDirectionalPixelConstants(&mesh, i, &light, j);
        m_App.SetDirectionalVertexConstants(&mesh, &light, j);
    }
    const SceneMaterial& material = *mesh.m_pMaterial;
    m_Renderer.BindTexture(2, UsesMirrorTexture(choice.nPixelProgram) ? material.m_nMaterialIds[1]
                                                                      : material.m_nMaterialIds[0]);
    m_Renderer.BindTexture(3, choice.bShadowCube ? light.m_nTextureId : light.m_nTextureId2);
    m_Renderer.BindTexture(5, g_nNoiseTexture);
    if (!SelectScenePrograms(m_App, choice.nVertexProgram, choice.nPixelProgram, m_Form.szName))
        return;
    // Stage 6: the light's cube, or white for the directional programs, which have none.
    m_Renderer.BindTexture(6, -1);
    if (light.m_Light.Type == D3DLIGHT_DIRECTIONAL)
        m_Renderer.BindTexture(6, m_App.m_nWhiteTexture);
    else
        m_pDevice->SetTexture(6, light.m_pCubeTexture);
    m_pDevice->SetStreamSource(0, mesh.m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
    DrawSceneMesh(m_pDevice, mesh);
}

void VariantPass::DrawOpaqueMesh(int i, SceneMesh& mesh)
{
    BindMaterial(*mesh.m_pMaterial);
    if (m_Form.bLayers)
        DrawLayerPasses(mesh);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    SetBlend(m_Form.nOpaqueSource, m_Form.nOpaqueDest);
    for (int j = 0; j < m_nLights; ++j)
    {
        SceneLight* pLight = Light(j);
        if (!pLight || !pLight->m_bEnabled || !mesh.m_bLitBy[j])
            continue;
        const LightPassChoice choice =
            ChooseVariantLightPass(mesh, *pLight, m_Form.nPrograms, m_App.m_bShadowFarLayer != 0);
        if (choice.nVertexProgram < 0)
            continue;
        DrawLightPass(i, mesh, j, *pLight, choice);
        g_nVisibleFaces += mesh.m_nTriangleCount;
    }
}

void VariantPass::DrawTransparentMesh(int i, SceneMesh& mesh)
{
    BindMaterial(*mesh.m_pMaterial);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    for (MeshPass nPass : {MeshPass::TRANSPARENT_BACK, MeshPass::TRANSPARENT_FRONT})
    {
        const bool bBack = nPass == MeshPass::TRANSPARENT_BACK;
        for (int j = 0; j < m_nLights; ++j)
        {
            SceneLight* pLight = Light(j);
            if (!pLight || !pLight->m_bEnabled || !mesh.m_bLitBy[j])
                continue;
            SetBlend(D3DBLEND_ONE, bBack && g_bRefraction == 1 ? D3DBLEND_ZERO : D3DBLEND_ONE);
            m_pDevice->SetRenderState(D3DRS_CULLMODE, bBack ? D3DCULL_CCW : D3DCULL_CW);
            DrawLightPass(i, mesh, j, *pLight, ChooseLightPass(mesh, *pLight, nPass, 0, false));
        }
    }
}

// The lit image multiplied by each light's eleven-tap soft shadow.
void VariantPass::SoftShadowPass()
{
    const int32_t nKeptMode = g_nShadowTapMode;
    g_nShadowTapMode = ELEVEN_TAPS;
    const ShadowTapMode& taps = GetShadowTapMode(ELEVEN_TAPS);
    SetBlend(D3DBLEND_ZERO, D3DBLEND_SRCALPHA);
    for (int i : m_Order)
    {
        SceneMesh* pMesh = Mesh(i);
        if (!pMesh || !pMesh->m_pMaterial || !IsOpaque(*pMesh) || Visibility(i) == 0)
            continue;
        m_pDevice->SetStreamSource(0, pMesh->m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
        for (int j = 0; j < m_nLights; ++j)
        {
            SceneLight* pLight = Light(j);
            if (!pLight || !pLight->m_bEnabled || !pMesh->m_bLitBy[j])
                continue;
            m_App.SetShadowVertexConstants(pMesh, pLight, j);
            m_App.SetShadowPixelConstants(pMesh, i, pLight, j);
            const int nPixel = pLight->m_Light.Type == D3DLIGHT_SPOT ? taps.nSpotProgram : taps.nPointProgram;
            m_Renderer.BindTexture(3, pLight->m_nTextureId);
            m_Renderer.BindTexture(5, g_nNoiseTexture);
            if (SelectScenePrograms(m_App, VS_SOFT_SHADOW, nPixel, m_Form.szName))
                DrawSceneMesh(m_pDevice, *pMesh);
        }
    }
    g_nShadowTapMode = nKeptMode;
}

void VariantPass::Run()
{
    const int nMeshes = std::min((int)m_App.m_Scene.m_Meshes.GetCount(), RenderApp::MAX_MESHES);
    m_nLights = std::min((int)m_App.m_Scene.m_Lights.GetCount(), SceneMesh::LIGHT_SLOTS);
    if ((int)m_App.m_Visibility.size() < RenderApp::MAX_MESHES)
        m_App.m_Visibility.resize(RenderApp::MAX_MESHES, 0);
    if (m_Form.bPlaneCull)
        m_App.BuildFrustumPlanes();
    if (m_Form.bSort)
    {
        m_App.SortMeshesFrontToBack();
        m_Order.assign(m_App.m_MeshOrder.begin(), m_App.m_MeshOrder.begin() + std::min(nMeshes,
                                                                                        (int)m_App.m_MeshOrder.size()));
    }
    else
    {
        for (int i = 0; i < nMeshes; ++i)
            m_Order.push_back(i);
    }

    if (m_Form.bDepthPass)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        DepthPass();
    }
    else
    {
        // Every shown mesh is lit, drawn over what the target holds.
        m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        SetBlend(D3DBLEND_ZERO, D3DBLEND_ONE);
        for (int i : m_Order)
            if (SceneMesh* pMesh = Mesh(i))
                Visibility(i) = pMesh->m_bVisible && InView(*pMesh) ? 1 : 0;
    }
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    // A form without depth or transparent passes lights every shown mesh alike.
    const bool bAllAlike = !m_Form.bDepthPass && !m_Form.bTransparent;
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMesh* pMesh = Mesh(i);
        if (pMesh && pMesh->m_pMaterial && pMesh->m_bVisible && Visibility(i) != 0 && (bAllAlike || IsOpaque(*pMesh)))
            DrawOpaqueMesh(i, *pMesh);
    }
    if (m_Form.nPrograms == ProgramSet::FORWARD)
        SoftShadowPass();
    if (m_Form.bTransparent)
        for (int i = 0; i < nMeshes; ++i)
        {
            SceneMesh* pMesh = Mesh(i);
            if (pMesh && pMesh->m_pMaterial && pMesh->m_bVisible && !IsOpaque(*pMesh) && InView(*pMesh))
                DrawTransparentMesh(i, *pMesh);
        }
    if (m_Form.bHalo)
        for (int j = 0; j < m_nLights; ++j)
            m_App.DrawLightHalo(Light(j));
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    if (m_Form.bShadowVolumes)
        m_App.RenderShadowVolumes();
}

void RunVariant(RenderApp& app, const VariantForm& form)
{
    if (app.m_pDevice && app.GetRenderer())
        VariantPass(app, form).Run();
}
}

void RenderApp::RenderScenePlanes() { RunVariant(*this, FORM_PLANES); }
void RenderApp::RenderScenePlanesCube() { RunVariant(*this, FORM_PLANES_CUBE); }
void RenderApp::RenderLightsSimple() { RunVariant(*this, FORM_LIGHTS_SIMPLE); }
void RenderApp::RenderSceneSorted() { RunVariant(*this, FORM_SORTED); }
void RenderApp::RenderSceneShadowed() { RunVariant(*this, FORM_SHADOWED); }
void RenderApp::RenderSceneRadiosity() { RunVariant(*this, FORM_RADIOSITY); }
void RenderApp::RenderSceneReduced() { RunVariant(*this, FORM_REDUCED); }

void RenderApp::RenderMeshesLit()
{
    if (!m_pDevice)
        return;
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_LIGHTING, TRUE);
    m_pDevice->SetVertexShader(nullptr);
    m_pDevice->SetPixelShader(nullptr);
    const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMesh* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
        if (!pMesh)
            continue;
        pMesh->m_bInFrustum = IsSphereInFrustum(pMesh) ? 1 : 0;
        if (!pMesh->m_bInFrustum || !pMesh->m_bVisible)
            continue;
        const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
        m_pDevice->SetTransform(D3DTS_WORLD, &world);
        m_pDevice->SetStreamSource(0, pMesh->m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
        DrawSceneMesh(m_pDevice, *pMesh);
    }
    m_pDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
}

void RenderApp::DrawVisibleMeshes()
{
    if (!m_pDevice || !GetRenderer() || m_nVisibleVertexProgram < 0 || m_nVisibleVertexProgram >= VERTEX_SHADER_COUNT ||
        m_nVisiblePixelProgram >= PIXEL_SHADER_COUNT)
        return;
    if (!SelectScenePrograms(*this, m_nVisibleVertexProgram, m_nVisiblePixelProgram, "DrawVisibleMeshes"))
        return;
    const int nMeshes = std::min({(int)m_Scene.m_Meshes.GetCount(), MAX_MESHES, (int)m_Visibility.size()});
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMesh* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
        if (!pMesh || m_Visibility[(size_t)i] == 0)
            continue;
        m_pDevice->SetStreamSource(0, pMesh->m_pVertexBuffer, 0, MESH_VERTEX_STRIDE);
        DrawSceneMesh(m_pDevice, *pMesh);
    }
}

int RenderApp::CollideMeshes(SceneMesh* pMesh, float)
{
    if (!pMesh)
        return 0;
    const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMesh* pOther = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
        if (pOther && pOther != pMesh && pOther->m_bMeshByte5 != 0)
            pMesh->Collide(pOther);
    }
    return 0;
}
