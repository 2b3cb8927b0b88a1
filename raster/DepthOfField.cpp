// RenderApp::CompositeDepthOfField and the frame's depth-of-field render around the main pass.
#include "raster/DepthOfField.h"

#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "core/Log.h"
#include "raster/EffectPasses.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneMesh.h"
#include "tracer/TracerGlobals.h"

#include <algorithm>

namespace
{
constexpr int TAPS_PER_PASS = 9;
constexpr float TAP_WEIGHT = 0.111111f;
constexpr float NOISE_SCALE = 100.0f;
constexpr int SCENE_STAGE = 0;
constexpr int NOISE_STAGE = 1;
}

int DepthOfFieldPasses(const SceneCamera& camera)
{
    return std::clamp(camera.m_nDofQuality, MIN_DOF_QUALITY, MAX_DOF_QUALITY);
}

void BuildDepthOfFieldPassConstants(const SceneCamera& camera, int k, const D3DXVECTOR4* pJitter,
                                    ConstantTable& pixel)
{
    const int nPasses = DepthOfFieldPasses(camera);
    const float fDispersion = (float)camera.m_nDofBlur / 1000.0f;
    pixel.Set(0, TAP_WEIGHT / (float)nPasses, 0.0f, 0.5f, 1.0f);
    pixel.Set(1, camera.m_fDofNear, camera.m_fDofFar, fDispersion, 1.0f);
    const int nFirst = JITTER_DIRECTIONS - TAPS_PER_PASS * (std::clamp(k, 0, nPasses - 1) + 1);
    for (int n = 0; n < TAPS_PER_PASS; ++n)
    {
        const D3DXVECTOR4& jitter = pJitter[nFirst + n];
        pixel.Set(2 + n, jitter.x, jitter.y, jitter.z, jitter.w);
    }
}

void BuildDepthOfFieldMeshConstants(const SceneMesh& mesh, const SceneCamera& camera, const LightFrame& frame,
                                    ConstantTable& vertex)
{
    D3DXMATRIX world = ToD3DX(mesh.m_matWorld), worldView, worldViewProjection;
    D3DXMatrixMultiply(&worldView, &world, &frame.view);
    D3DXMatrixMultiply(&worldViewProjection, &worldView, &frame.projection);
    vertex.SetTransposed(4, worldViewProjection);
    vertex.Set(0, mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 0.0f);
    vertex.Set(1, NOISE_SCALE, camera.m_fDofNear, camera.m_fDofFar, 1.0f);
    vertex.SetTransposed(8, world);
}

void RenderApp::SetDepthOfFieldPassConstants(int k)
{
    ConstantTable pixel;
    BuildDepthOfFieldPassConstants(m_Scene.m_Camera, k, m_JitterDirections, pixel);
    UploadConstants(m_pDevice, true, pixel);
}

void RenderApp::SetDepthOfFieldConstants(const SceneMesh* pMesh)
{
    ConstantTable vertex;
    BuildDepthOfFieldMeshConstants(*pMesh, m_Scene.m_Camera, CurrentLightFrame(m_Scene), vertex);
    UploadConstants(m_pDevice, false, vertex);
}

void RenderApp::CompositeDepthOfField()
{
    if (!m_pDevice || !m_pRenderer)
        return;
    m_pDevice->SetVertexDeclaration(m_pMeshDecl);
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0);
    if (!g_pSceneTexture || !SelectEffectPrograms(*this, "CompositeDepthOfField", VS_DEPTH_OF_FIELD, PS_DEPTH_OF_FIELD))
        return;
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    m_pDevice->SetRenderState(D3DRS_ZENABLE, TRUE);
    for (DWORD nStage : {SCENE_STAGE, NOISE_STAGE})
    {
        m_pDevice->SetSamplerState(nStage, D3DSAMP_ADDRESSU, D3DTADDRESS_MIRROR);
        m_pDevice->SetSamplerState(nStage, D3DSAMP_ADDRESSV, D3DTADDRESS_MIRROR);
    }
    // The scene texture goes on the device directly: the renderer's record of the stage is
    // reset first, so that the next texture bound there through the renderer really is set.
    m_pRenderer->BindTexture(SCENE_STAGE, -1);
    m_pDevice->SetTexture(SCENE_STAGE, g_pSceneTexture);
    m_pRenderer->BindTexture(NOISE_STAGE, g_nNoiseTexture);

    const int nPasses = DepthOfFieldPasses(m_Scene.m_Camera);
    const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    for (int k = 0; k < nPasses; ++k)
    {
        SetDepthOfFieldPassConstants(k);
        for (int i = 0; i < nMeshes && i < (int)m_Visibility.size(); ++i)
        {
            const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
            if (!pMesh || m_Visibility[i] == 0)
                continue;
            SetDepthOfFieldConstants(pMesh);
            DrawEffectMesh(m_pDevice, *pMesh);
        }
        // Every later pass adds to the first.
        m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    }
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    // The scene texture is the next frame's render target: it must not stay bound for reading.
    m_pDevice->SetTexture(SCENE_STAGE, nullptr);
}

void RenderApp::RenderSceneWithDepthOfField(const Matrix4* pViewProjection)
{
    if (!m_pDevice)
        return;
    IDirect3DSurface9* pSceneSurface = nullptr;
    if (!g_pSceneTexture || !g_pTracerDepthStencil || FAILED(g_pSceneTexture->GetSurfaceLevel(0, &pSceneSurface)))
    {
        static bool s_bReported = false;
        if (!s_bReported)
            LogError("RenderApp::RenderSceneWithDepthOfField() - the scene texture or the depth surface is missing; "
                     "the scene is drawn without depth of field.");
        s_bReported = true;
        RenderScene(0, pViewProjection);
        return;
    }
    IDirect3DSurface9* pTarget = nullptr;
    IDirect3DSurface9* pDepth = nullptr;
    m_pDevice->GetRenderTarget(0, &pTarget);
    m_pDevice->GetDepthStencilSurface(&pDepth);

    m_pDevice->SetDepthStencilSurface(g_pTracerDepthStencil);
    m_pDevice->SetRenderTarget(0, pSceneSurface);
    // With the background on the main pass keeps the target's colour (the box goes into the
    // back buffer, not here) and adds its transparent meshes to it: last frame's picture must
    // not build up under them.
    m_pDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0);
    RenderScene(0, pViewProjection);
    m_pDevice->SetRenderTarget(0, pTarget);
    CompositeDepthOfField();
    // The device's own depth surface comes back for what the frame draws next.
    m_pDevice->SetDepthStencilSurface(pDepth);

    pSceneSurface->Release();
    if (pTarget)
        pTarget->Release();
    if (pDepth)
        pDepth->Release();
}
