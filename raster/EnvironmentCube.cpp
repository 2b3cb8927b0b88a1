// The environment cube map (RenderApp::RenderEnvironmentCube): the scene drawn once per cube face
// from the middle of the scene, for reflective and refractive materials and the layer passes to
// look their surroundings up in; the older per-mesh driver that draws each reflective or
// refractive mesh's surroundings into its material's own cube target, which no frame calls; and
// the face set-up of a mesh's own cube target.
#include "app/RenderApp.h"
#include "3dapi/Renderer.h"
#include "raster/SceneDraw.h"
#include "scene/D3DXBridge.h"
#include "scene/RenderOptions.h"
#include "scene/SceneMaterial.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include <algorithm>

namespace
{
constexpr int ENV_CUBE_MODE_FIRST = 0;   // g_nEnvCubeTarget, every face in full
constexpr int VIEW_CUBE_FACE = 1;        // the scene passes' cube-face mode
// After the first frame an opaque mesh's face is not redrawn when it looks this far along the
// camera's view: only a refraction would show what lies there.
constexpr float FACE_ALONG_VIEW = 0.2f;

// Render target 0 back for the frame: the back buffer through the renderer, so that its record
// stays true, then the scene texture when depth of field is active.
void BindFrameTarget(Renderer& renderer, IDirect3DDevice9* pDevice, bool bDepthOfField)
{
    renderer.BindRenderTarget(0, -1);
    IDirect3DSurface9* pSurface = nullptr;
    if (bDepthOfField && g_pSceneTexture && SUCCEEDED(g_pSceneTexture->GetSurfaceLevel(0, &pSurface)))
    {
        pDevice->SetRenderTarget(0, pSurface);
        pSurface->Release();
    }
}

// The mean centre of the meshes that stand still; of all meshes when every one moves.
D3DXVECTOR3 StaticCentre(const SceneStore& scene)
{
    D3DXVECTOR3 sum[2] = {{0, 0, 0}, {0, 0, 0}};
    int nCount[2] = {0, 0};
    const int nMeshes = (int)scene.m_Meshes.GetCount();
    for (int i = 0; i < nMeshes; ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(scene.m_Meshes.Get((uint32_t)i));
        if (!pMesh)
            continue;
        const D3DXVECTOR3 centre = ToD3DX(pMesh->m_vOffset);
        for (int k = IsMoving(*pMesh) ? 1 : 0; k < 2; ++k)
        {
            sum[k] += centre;
            ++nCount[k];
        }
    }
    const int k = nCount[0] > 0 ? 0 : 1;
    return nCount[k] > 0 ? sum[k] / (float)nCount[k] : D3DXVECTOR3(0, 0, 0);
}
}

void RenderApp::RenderEnvironmentCube(int nMode)
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer)
        return;
    const bool bFirst = nMode == ENV_CUBE_MODE_FIRST;
    const int nTarget = bFirst ? g_nEnvCubeTarget : g_nEnvCubeTarget2;
    // A new scene: the dynamic cube's faces hold the previous one until it is filled again.
    if (bFirst)
        m_bEnvCubeTarget2Filled = 0;
    if (nTarget < 0)
        return;
    Vector3& vCamera = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    KeptCamera kept(vCamera);
    const D3DXVECTOR3 eye = StaticCentre(m_Scene);

    // The target's faces are drawn into: a stage that still holds it from the last frame's layer
    // passes must not sample it meanwhile.
    pRenderer->BindTexture(2, -1);
    if (pRenderer->GetCurrentRenderTarget() == nTarget)
        pRenderer->BindRenderTarget(0, -1);
    pRenderer->BindRenderTarget(0, nTarget);
    vCamera = Vector3(eye.x, eye.y, eye.z);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 1.0f, 50000.0f);
    g_matProjection = ToMatrix4(projection);

    // The dynamic cube's first use draws every face, as a new scene's first frame does.
    const uint8_t bSceneChanged = g_bSceneChanged;
    if (!bFirst && !m_bEnvCubeTarget2Filled)
        g_bSceneChanged = 1;
    for (int f = 0; f < 6; ++f)
    {
        g_matView = ToMatrix4(CubeFaceView(eye, f));
        pRenderer->SelectCubeFace(nTarget, f);
        if (g_bUseSortedPass)
            RenderScene(VIEW_CUBE_FACE, &g_matViewProjection);
        else
            RenderSceneForward(VIEW_CUBE_FACE, &g_matViewProjection);
    }
    g_bSceneChanged = bSceneChanged;
    if (!bFirst)
        m_bEnvCubeTarget2Filled = 1;

    BindFrameTarget(*pRenderer, m_pDevice, m_Scene.m_Camera.m_bDofActive == 1);
}

void RenderApp::RenderMeshCubeMaps()
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer)
        return;
    Vector3& vCamera = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    KeptCamera kept(vCamera);
    const D3DXMATRIX keptView = ToD3DX(g_matView);
    const D3DXVECTOR3 viewAxis(keptView._13, keptView._23, keptView._33);
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 0.1f, 2000.0f);
    g_matProjection = ToMatrix4(projection);
    // A target being drawn into must not be sampled meanwhile.
    pRenderer->BindTexture(2, -1);
    const int nMeshes = std::min({(int)m_Scene.m_Meshes.GetCount(), MAX_MESHES, (int)m_Visibility.size()});
    for (int i = 0; i < nMeshes; ++i)
    {
        SceneMesh* pMesh = static_cast<SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
        if (!pMesh || !pMesh->m_pMaterial || m_Visibility[(size_t)i] == 0)
            continue;
        const SceneMaterial& material = *pMesh->m_pMaterial;
        const bool bReflective = g_bReflection == 1 && IsReflective(material);
        const bool bRefractive = g_bRefraction == 1 && !IsOpaque(*pMesh);
        // A material on the shared dynamic cube has no map of its own unless it refracts.
        const int nCube = material.m_nMaterialIds[0];
        if ((!bReflective && !bRefractive) || (material.m_bMaterialFlags[1] != 0 && !bRefractive) || nCube < 0)
            continue;
        if (pRenderer->GetCurrentRenderTarget() != nCube && !pRenderer->BindRenderTarget(0, nCube))
            continue;
        // The mesh is absent from its own map; the user's flag comes back afterwards.
        const int32_t bVisible = pMesh->m_bVisible;
        pMesh->m_bVisible = 0;
        const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
        const D3DXVECTOR3 eye(world._41, world._42, world._43);
        vCamera = Vector3(eye.x, eye.y, eye.z);
        for (int f = 0; f < 6; ++f)
        {
            const D3DXMATRIX view = CubeFaceView(eye, f);
            const D3DXVECTOR3 axis(view._13, view._23, view._33);
            if (!g_bSceneChanged && !bRefractive && D3DXVec3Dot(&axis, &viewAxis) > FACE_ALONG_VIEW)
                continue;
            g_matView = ToMatrix4(view);
            pRenderer->SelectCubeFace(nCube, f);
            if (g_bUseSortedPass)
                RenderScene(VIEW_CUBE_FACE, &g_matViewProjection);
            else
                RenderSceneForward(VIEW_CUBE_FACE, &g_matViewProjection);
        }
        pMesh->m_bVisible = bVisible;
    }
    BindFrameTarget(*pRenderer, m_pDevice, m_Scene.m_Camera.m_bDofActive == 1);
}

void RenderApp::SetupObjectCubeFaces(SceneMesh* pMesh)
{
    Renderer* pRenderer = GetRenderer();
    if (!m_pDevice || !pRenderer || !pMesh || !pMesh->m_pMaterial)
        return;
    const int nCube = pMesh->m_pMaterial->m_nMaterialIds[0];
    Vector3& vCamera = m_Scene.m_Camera.m_RigidBody.m_vPosition;
    KeptCamera kept(vCamera);
    const D3DXMATRIX world = ToD3DX(pMesh->m_matWorld);
    const D3DXVECTOR3 eye(world._41, world._42, world._43);
    // A material without a cube target of its own has no faces to prepare.
    if (nCube >= 0 && pRenderer->BindRenderTarget(0, nCube))
    {
        vCamera = Vector3(eye.x, eye.y, eye.z);
        D3DXMATRIX projection;
        D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 2, 1.0f, 0.2f, 500.0f);
        g_matProjection = ToMatrix4(projection);
        for (int f = 0; f < 6; ++f)
        {
            pRenderer->SelectCubeFace(nCube, f);
            pRenderer->ApplyState();
            g_matView = ToMatrix4(CubeFaceView(eye, f));
        }
        BindFrameTarget(*pRenderer, m_pDevice, m_Scene.m_Camera.m_bDofActive == 1);
    }
    pMesh->m_bVisible = 1;
}
