// RenderApp's light-view photon passes: the scene rasterised from a light into square photon
// blocks, one photon per covered texel. The ray pass writes each photon's light vector and
// energy and counts the pixels of every mesh with a query; the position pass draws the meshes
// that showed pixels again, through the same depth, and writes where each photon is stored:
// where it hits, or, for a global photon and for one that a translucent mesh passes on, where
// the mesh's object cube map or planar mirror image shows that it lands. The blocks are then
// sorted by grid cell and indexed for the gather.
#include "app/RenderApp.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "raster/BackgroundBox.h"
#include "raster/SceneDraw.h"
#include "scene/SceneLight.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/PhotonSurface.h"
#include "tracer/TracerGlobals.h"

#include "3dapi/Renderer.h"

#include <cmath>
#include <d3dx9math.h>

namespace
{
constexpr int MESH_VERTEX_PROGRAM = 52;
constexpr int CLEAR_PIXEL_PROGRAM = 158;
constexpr DWORD NOISE_STAGE = 3;
constexpr int POINT_BLOCKS = 24;
constexpr int SPOT_BLOCKS = 16;
constexpr float PI = 3.14159265358979f;
// Near and far planes of the point and spot light views.
constexpr float LIGHT_NEAR = 1.0f;
constexpr float POINT_FAR = 200000.0f;
constexpr float SPOT_FAR = 20000.0f;
// Kind 2 (the refraction path) dims the photon colour.
constexpr float REFRACTION_PATH_DIMMING = 0.8f;

// The sub-frustum (u, v) of a view split S times per axis: the projection's x and y offsets move
// column u and row v (0 at the left and top edges) onto the whole target.
void SelectSubFrustum(D3DXMATRIX& projection, int nSplit, int u, int v)
{
    projection._31 = static_cast<float>((nSplit - 1) - 2 * u);
    projection._32 = -static_cast<float>((nSplit - 1) - 2 * v);
}
}

void RenderApp::DrawPhotonSurface(const SceneMesh& mesh, const D3DXVECTOR3& vEye, const D3DXMATRIX& view,
                                  const D3DXMATRIX& projection, int nPixelProgram, int nKind)
{
    // The light position goes with every mesh draw: the cube and mirror passes run inside this
    // one move c2.
    SetTracerMeshConstants(mesh, view, projection);
    const float eye[4] = {vEye.x, vEye.y, vEye.z, 1.0f};
    m_pDevice->SetVertexShaderConstantF(2, eye, 1);
    m_pRenderer->SelectVertexShader(m_VertexShaders[MESH_VERTEX_PROGRAM]);
    m_pRenderer->SelectPixelShader(m_PixelShaders[nPixelProgram]);
    m_pRenderer->ApplyShaders();
    // The refraction path draws a translucent mesh's back faces.
    const bool bCullFront = nKind == 2 && !IsOpaqueMesh(mesh);
    if (bCullFront)
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    DrawTracerMesh(mesh);
    if (bCullFront)
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}

void RenderApp::RenderLightBlock(const SceneLight& light, int nKind, int nTiles, int nBlock, const D3DXMATRIX& view,
                                 const D3DXMATRIX& projection)
{
    const bool bSpot = light.m_Light.Type == D3DLIGHT_SPOT;
    const bool bBackground = nKind == 1 && !bSpot && g_bBackground && g_bBackgroundForGlobal;
    const int nMeshes = std::min<int>(static_cast<int>(m_Scene.m_Meshes.GetCount()), MAX_MESHES);
    const D3DXVECTOR3 vEye(light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z);
    auto meshAt = [this](int i) { return static_cast<SceneMesh*>(m_Scene.m_Meshes.Get(static_cast<uint32_t>(i))); };

    // Ray pass: light vectors and energies, nearest surfaces into the depth, pixels per mesh.
    BindTextureTarget(m_pDevice, 0, g_pLightTargetsC[nBlock]);
    BindTextureTarget(m_pDevice, 1, g_pLightTargetsD[nBlock]);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    if (bBackground)
    {
        DrawBackgroundBox(light.m_vLightPosition, view, projection, BACKGROUND_PHOTON_ENERGY);
        m_pDevice->SetVertexDeclaration(m_pMeshDecl);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }
    for (int k = 0; k < nMeshes; ++k)
    {
        const int i = m_MeshOrder[k];
        const SceneMesh* pMesh = i >= 0 && i < nMeshes ? meshAt(i) : nullptr;
        if (!pMesh)
            continue;
        m_Visibility[i] = 0;
        if (!pMesh->m_bVisible)
            continue;
        SetPhotonSurfaceConstants(*pMesh, PHOTON_RAY_PASS, bSpot, nKind, nTiles);
        const int nProgram = SelectPhotonSurfaceProgram(PHOTON_RAY_PASS, bSpot, nKind, IsOpaqueMesh(*pMesh), 0);
        m_pOcclusionQuery->Issue(D3DISSUE_BEGIN);
        DrawPhotonSurface(*pMesh, vEye, view, projection, nProgram, nKind);
        m_pOcclusionQuery->Issue(D3DISSUE_END);
        DWORD nSamples = 0;
        while (m_pOcclusionQuery->GetData(&nSamples, sizeof(nSamples), D3DGETDATA_FLUSH) == S_FALSE)
        {
        }
        m_Visibility[i] = nSamples;
    }

    // A spot light's global photons: the ray pass again over the meshes that showed pixels, now
    // with the flat meshes' own program, through the first pass's depth.
    if (bSpot && nKind == 1)
    {
        m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
        for (int i = 0; i < nMeshes; ++i)
        {
            SceneMesh* pMesh = meshAt(i);
            if (!pMesh || m_Visibility[i] == 0)
                continue;
            const int nProgram = PreparePhotonEnvironment(*pMesh, PHOTON_SECOND_RAY_PASS, bSpot, nKind,
                                                          g_pLightTargetsC[nBlock], view, projection);
            SetPhotonSurfaceConstants(*pMesh, PHOTON_SECOND_RAY_PASS, bSpot, nKind, nTiles);
            DrawPhotonSurface(*pMesh, vEye, view, projection, nProgram, nKind);
        }
    }

    // Position pass: the meshes that showed pixels, through the ray pass's depth. Texels that
    // nothing covers keep the no-photon value, for spot lights' global photons too.
    BindTextureTarget(m_pDevice, 0, g_pLightTargetsA[nBlock]);
    m_pDevice->SetRenderTarget(1, nullptr);
    if (bBackground)
    {
        RenderObjectCubeMap(nullptr, 1);
        BindTextureTarget(m_pDevice, 0, g_pLightTargetsA[nBlock]);
        UnbindTargets(m_pDevice);
        DrawBackgroundBox(light.m_vLightPosition, view, projection, BACKGROUND_CUBE_POSITION);
        m_pDevice->SetVertexDeclaration(m_pMeshDecl);
        m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    }
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMesh* pMesh = meshAt(i);
        if (!pMesh || m_Visibility[i] == 0)
            continue;
        const int nProgram = PreparePhotonEnvironment(*pMesh, PHOTON_POSITION_PASS, bSpot, nKind,
                                                      g_pLightTargetsA[nBlock], view, projection);
        SetPhotonSurfaceConstants(*pMesh, PHOTON_POSITION_PASS, bSpot, nKind, nTiles);
        DrawPhotonSurface(*pMesh, vEye, view, projection, nProgram, nKind);
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
    UnbindTracerTextures(m_pDevice, m_pRenderer);
    UnbindTargets(m_pDevice);

    const int nTiles = nKind == 0 ? g_nDirectEmanateTile : nKind == 1 ? g_nGlobalEmanateTile : 1;
    const D3DLIGHTTYPE type = pLight->m_Light.Type;
    const int nBlocks = type == D3DLIGHT_POINT ? POINT_BLOCKS : type == D3DLIGHT_SPOT ? SPOT_BLOCKS : 0;
    if (nBlocks == 0)
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
        for (int f = 0; f < 6; ++f)
        {
            view = CubeFaceView(vEye, f);
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
