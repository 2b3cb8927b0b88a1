// RenderApp's light-view photon passes: the scene rasterised from a light into square photon
// blocks, one photon per covered texel. The ray pass writes each photon's light vector and
// energy and counts the pixels of every mesh with a query; the position pass draws the meshes
// that showed pixels again, through the same depth, and writes where each photon is stored. The
// blocks are then sorted by grid cell and indexed for the gather.
#include "app/RenderApp.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <cmath>
#include <d3dx9math.h>

namespace
{
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int CLEAR_PIXEL_PROGRAM = 158;
// Ray programs: direct photon of a point light, of a spot light, photon at a translucent surface.
constexpr int POINT_RAY_PIXEL_PROGRAM = 146;
constexpr int SPOT_RAY_PIXEL_PROGRAM = 174;
constexpr int TRANSLUCENT_RAY_PIXEL_PROGRAM = 167;
// Position program: the photon stays where it hits.
constexpr int HIT_POSITION_PIXEL_PROGRAM = 120;
constexpr DWORD NOISE_STAGE = 3;
constexpr int POINT_BLOCKS = 24;
constexpr int SPOT_BLOCKS = 16;
constexpr float PI = 3.14159265358979f;
// Near and far planes of the point and spot light views.
constexpr float LIGHT_NEAR = 1.0f;
constexpr float POINT_FAR = 200000.0f;
constexpr float SPOT_FAR = 20000.0f;
// Scale of the noise lookups and of the jitter: the jitter moves a photon by at most 1.5 x the
// scene's extent / (1000 T) per axis.
constexpr float JITTER_NOISE_SCALE = 47.33f;
constexpr float JITTER_SHARE = 1000.0f;
// Kind 2 (the refraction path) dims the photon colour.
constexpr float REFRACTION_PATH_DIMMING = 0.8f;

struct CubeFace
{
    D3DXVECTOR3 vDirection;
    D3DXVECTOR3 vUp;
};
const CubeFace CUBE_FACES[6] = {
    {{1, 0, 0}, {0, 1, 0}},  {{-1, 0, 0}, {0, 1, 0}}, {{0, 1, 0}, {0, 0, -1}},
    {{0, -1, 0}, {0, 0, 1}}, {{0, 0, 1}, {0, 1, 0}},  {{0, 0, -1}, {0, 1, 0}},
};

bool IsOpaque(const SceneMesh& mesh)
{
    return !mesh.m_pMaterial || mesh.m_pMaterial->m_vOpacity[0] == 1.0f;
}

// The sub-frustum (u, v) of a view split S times per axis: the projection's x and y offsets move
// column u and row v (0 at the left and top edges) onto the whole target.
void SelectSubFrustum(D3DXMATRIX& projection, int nSplit, int u, int v)
{
    projection._31 = static_cast<float>((nSplit - 1) - 2 * u);
    projection._32 = -static_cast<float>((nSplit - 1) - 2 * v);
}
}

void RenderApp::SetPhotonSurfaceConstants(const SceneMesh& mesh, int nKind)
{
    static const SceneMaterial s_DefaultMaterial;
    const SceneMaterial& material = mesh.m_pMaterial ? *mesh.m_pMaterial : s_DefaultMaterial;
    const float fOpacity = material.m_vOpacity[0];
    // A refraction index of 0 or below has no reciprocal: such a material reads as index 1.
    const float fIndex = material.m_vRefraction[0] > 0.0f ? material.m_vRefraction[0] : 1.0f;
    const float c11[4] = {0.0f, 0.0f, 1.0f - fOpacity, 0.0f};
    const float c13[4] = {0.0f, 0.0f, 1.0f, material.m_fBumpPower * 0.01f};
    const float c14[4] = {1.0f / std::sqrt(fIndex), -1.0f / fIndex, fOpacity, 1.0f - fOpacity};
    m_pDevice->SetPixelShaderConstantF(11, c11, 1);
    m_pDevice->SetPixelShaderConstantF(13, c13, 1);
    m_pDevice->SetPixelShaderConstantF(14, c14, 1);
    const int32_t* pIds = material.m_nTextureIds;
    if (nKind >= 0)
        m_pRenderer->BindTexture(0, pIds[SceneMaterial::TEXTURE_DIFFUSE]);
    m_pRenderer->BindTexture(1, pIds[SceneMaterial::TEXTURE_BUMP]);
}

void RenderApp::RenderLightBlock(const SceneLight& light, int nKind, int nTiles, int nBlock, const D3DXMATRIX& view,
                                 const D3DXMATRIX& projection)
{
    const bool bSpot = light.m_Light.Type == D3DLIGHT_SPOT;
    const int nMeshes = std::min<int>(static_cast<int>(m_Scene.m_Meshes.GetCount()), MAX_MESHES);
    const float eye[4] = {light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z, 1.0f};
    auto meshAt = [this](int i) { return static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(static_cast<uint32_t>(i))); };

    // Ray pass: light vectors and energies, nearest surfaces into the depth, pixels per mesh.
    BindTextureTarget(m_pDevice, 0, g_pLightTargetsC[nBlock]);
    BindTextureTarget(m_pDevice, 1, g_pLightTargetsD[nBlock]);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    const float rayC1[4] = {2.0f, 1.0f, 0.5f, 1.0f};
    m_pDevice->SetPixelShaderConstantF(1, rayC1, 1);
    for (int k = 0; k < nMeshes; ++k)
    {
        const int i = m_MeshOrder[k];
        const SceneMesh* pMesh = i >= 0 && i < nMeshes ? meshAt(i) : nullptr;
        if (!pMesh)
            continue;
        m_Visibility[i] = 0;
        if (!pMesh->m_bVisible)
            continue;
        // The light position goes with every mesh draw: passes run inside this one may move c2.
        SetTracerMeshConstants(*pMesh, view, projection);
        m_pDevice->SetVertexShaderConstantF(2, eye, 1);
        SetPhotonSurfaceConstants(*pMesh, -1);
        const bool bOpaque = IsOpaque(*pMesh);
        m_pRenderer->BindTexture(NOISE_STAGE, bSpot ? -1 : g_nNoiseTexture);
        m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
        m_pRenderer->SelectPixelShader(m_PixelShaders[!bOpaque ? TRANSLUCENT_RAY_PIXEL_PROGRAM
                                                      : bSpot  ? SPOT_RAY_PIXEL_PROGRAM
                                                               : POINT_RAY_PIXEL_PROGRAM]);
        m_pRenderer->ApplyShaders();
        const bool bCullFront = nKind == 2 && !bOpaque;
        if (bCullFront)
            m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
        m_pOcclusionQuery->Issue(D3DISSUE_BEGIN);
        DrawTracerMesh(*pMesh);
        m_pOcclusionQuery->Issue(D3DISSUE_END);
        DWORD nSamples = 0;
        while (m_pOcclusionQuery->GetData(&nSamples, sizeof(nSamples), D3DGETDATA_FLUSH) == S_FALSE)
        {
        }
        m_Visibility[i] = nSamples;
        if (bCullFront)
            m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }

    // Position pass: the meshes that showed pixels, through the ray pass's depth.
    BindTextureTarget(m_pDevice, 0, g_pLightTargetsA[nBlock]);
    m_pDevice->SetRenderTarget(1, nullptr);
    const D3DXVECTOR3 vExtent(g_vSceneMax.x - g_vSceneMin.x, g_vSceneMax.y - g_vSceneMin.y, g_vSceneMax.z - g_vSceneMin.z);
    const float fShare = JITTER_SHARE * static_cast<float>(nTiles);
    const float positionC1[4] = {2.0f, 1.0f, 1.0f, 0.5f};
    const float c16[4] = {vExtent.x / fShare, vExtent.y / fShare, vExtent.z / fShare, JITTER_NOISE_SCALE};
    m_pDevice->SetPixelShaderConstantF(1, positionC1, 1);
    m_pDevice->SetPixelShaderConstantF(16, c16, 1);
    for (int i = 0; i < nMeshes; ++i)
    {
        const SceneMesh* pMesh = meshAt(i);
        // A translucent mesh passes its photons on through its object cube map, which the global
        // passes make; until then its photons keep the no-photon value.
        if (!pMesh || m_Visibility[i] == 0 || !IsOpaque(*pMesh))
            continue;
        SetTracerMeshConstants(*pMesh, view, projection);
        m_pDevice->SetVertexShaderConstantF(2, eye, 1);
        SetPhotonSurfaceConstants(*pMesh, nKind);
        m_pRenderer->BindTexture(NOISE_STAGE, g_nNoiseTexture);
        m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
        m_pRenderer->SelectPixelShader(m_PixelShaders[HIT_POSITION_PIXEL_PROGRAM]);
        m_pRenderer->ApplyShaders();
        DrawTracerMesh(*pMesh);
    }
}

void RenderApp::OrderMeshesForView(const D3DXMATRIX& view)
{
    const int nMeshes = std::min<int>(static_cast<int>(m_Scene.m_Meshes.GetCount()), MAX_MESHES);
    if (static_cast<int>(m_MeshOrder.size()) < MAX_MESHES)
        m_MeshOrder.resize(MAX_MESHES);
    std::vector<float> keys(static_cast<size_t>(nMeshes));
    for (int m = 0; m < nMeshes; ++m)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get(static_cast<uint32_t>(m)));
        const Vector3 c = pMesh ? pMesh->m_vOffset : Vector3(0.0f, 0.0f, 0.0f);
        m_MeshOrder[m] = m;
        keys[m] = view._13 * c.x + view._23 * c.y + view._33 * c.z + view._43;
    }
    if (nMeshes > 1)
        QuickSortByDepth(0, nMeshes - 1, keys.data(), m_MeshOrder.data());
}

void RenderApp::RenderLightPasses(SceneLight* pLight, int nKind, int i, int j)
{
    if (!m_pDevice || !m_pRenderer || !pLight || !m_pOcclusionQuery)
        return;
    SetPointSampling();
    SetGridConstants();
    const D3DCOLORVALUE& colour = pLight->m_Light.Diffuse;
    const float fDim = nKind == 2 ? REFRACTION_PATH_DIMMING : 1.0f;
    const float lightConstants[5][4] = {{2.0f, 4.0f, 8.0f, 10.0f},
                                        {0.5f, 0.25f, 0.125f, 1.0f},
                                        {0.33333f, 0.33333f, 0.33333f, 1.0f},
                                        {0.0f, -1.0f, 0.0f, 1.0f},
                                        {colour.r * fDim, colour.g * fDim, colour.b * fDim, 1.0f}};
    m_pDevice->SetPixelShaderConstantF(25, lightConstants[0], 5);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    m_pDevice->SetRenderState(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    for (DWORD s = 0; s <= 4; ++s)
    {
        m_pDevice->SetSamplerState(s, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        m_pDevice->SetSamplerState(s, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
        const DWORD nFilter = s == NOISE_STAGE ? D3DTEXF_LINEAR : D3DTEXF_ANISOTROPIC;
        m_pDevice->SetSamplerState(s, D3DSAMP_MINFILTER, nFilter);
        m_pDevice->SetSamplerState(s, D3DSAMP_MAGFILTER, nFilter);
    }
    m_pDevice->SetSamplerState(2, D3DSAMP_ADDRESSW, D3DTADDRESS_MIRROR);
    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    for (DWORD nStage = 0; nStage < 8; ++nStage)
        m_pDevice->SetTexture(nStage, nullptr);
    UnbindTargets(m_pDevice);

    const int nTiles = nKind == 0 ? g_nDirectEmanateTile : nKind == 1 ? g_nGlobalEmanateTile : 1;
    const D3DLIGHTTYPE type = pLight->m_Light.Type;
    const int nBlocks = type == D3DLIGHT_POINT ? POINT_BLOCKS : type == D3DLIGHT_SPOT ? SPOT_BLOCKS : 0;
    // Global photons bounce off their first surface into the mesh's environment images, which
    // are not made here: they render no block.
    if (nBlocks == 0 || nKind == 1)
    {
        SortAndIndexPhotons(0, i == 0 && j == 0);
        return;
    }

    // Every block starts with the no-photon position, past the grid box on every axis.
    m_pDevice->SetRenderState(D3DRS_ZENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    const float noPhoton[4] = {g_vSceneMax.x + 1.0f, g_vSceneMax.y + 1.0f, g_vSceneMax.z + 1.0f, 0.0f};
    m_pDevice->SetPixelShaderConstantF(1, noPhoton, 1);
    for (int b = 0; b < nBlocks; ++b)
    {
        BindTextureTarget(m_pDevice, 0, g_pLightTargetsA[b]);
        DrawTracerQuad(CLEAR_PIXEL_PROGRAM);
    }
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);

    const D3DXVECTOR3 vEye(pLight->m_vLightPosition.x, pLight->m_vLightPosition.y, pLight->m_vLightPosition.z);
    D3DXMATRIX view, projection;
    int nBlock = 0;
    if (type == D3DLIGHT_POINT)
    {
        const int nSplit = 2 * nTiles;
        D3DXMatrixPerspectiveFovLH(&projection, PI / 2.0f, 1.0f, LIGHT_NEAR, POINT_FAR);
        projection._11 *= static_cast<float>(nSplit);
        projection._22 *= static_cast<float>(nSplit);
        for (const CubeFace& face : CUBE_FACES)
        {
            const D3DXVECTOR3 vAt = vEye + face.vDirection;
            D3DXMatrixLookAtLH(&view, &vEye, &vAt, &face.vUp);
            OrderMeshesForView(view);
            for (int u = 2 * i; u <= 2 * i + 1; ++u)
                for (int v = 2 * j; v <= 2 * j + 1; ++v)
                {
                    SelectSubFrustum(projection, nSplit, u, v);
                    RenderLightBlock(*pLight, nKind, nTiles, nBlock++, view, projection);
                }
        }
    }
    else
    {
        const int nSplit = 4 * nTiles;
        D3DXVECTOR3 vDirection(pLight->m_Light.Direction.x, pLight->m_Light.Direction.y, pLight->m_Light.Direction.z);
        D3DXVec3Normalize(&vDirection, &vDirection);
        // Any up vector not along the beam: it only turns the blocks about the axis.
        const D3DXVECTOR3 vUp = std::fabs(vDirection.y) < 0.99f ? D3DXVECTOR3(0, 1, 0) : D3DXVECTOR3(1, 0, 0);
        const D3DXVECTOR3 vAt = vEye + vDirection;
        D3DXMatrixLookAtLH(&view, &vEye, &vAt, &vUp);
        D3DXMatrixPerspectiveFovLH(&projection, pLight->m_Light.Phi * PI / 180.0f, 1.0f, LIGHT_NEAR, SPOT_FAR);
        projection._11 *= static_cast<float>(nSplit);
        projection._22 *= static_cast<float>(nSplit);
        OrderMeshesForView(view);
        const float fCosTheta = std::cos(pLight->m_Light.Theta * PI / 360.0f);
        const float fCosPhi = std::cos(pLight->m_Light.Phi * PI / 360.0f);
        const float fSpan = fCosTheta - fCosPhi;
        const float c15[4] = {vDirection.x, vDirection.y, vDirection.z, 0.0f};
        const float c19[4] = {fCosTheta, fCosPhi, fSpan > 0.0f ? 1.0f / fSpan : 1.0e6f, 1.0f};
        m_pDevice->SetPixelShaderConstantF(15, c15, 1);
        m_pDevice->SetPixelShaderConstantF(19, c19, 1);
        for (int u = 4 * i; u <= 4 * i + 3; ++u)
            for (int v = 4 * j; v <= 4 * j + 3; ++v)
            {
                SelectSubFrustum(projection, nSplit, u, v);
                RenderLightBlock(*pLight, nKind, nTiles, nBlock++, view, projection);
            }
    }
    SortAndIndexPhotons(nBlock, i == 0 && j == 0);
}
