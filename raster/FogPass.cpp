// RenderApp::DrawFogPass: the ground fog over the visible meshes of the camera view.
#include "raster/FogPass.h"

#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "raster/EffectPasses.h"
#include "scene/D3DXBridge.h"
#include "scene/SceneLight.h"
#include "scene/SceneMesh.h"

#include <algorithm>

namespace
{
constexpr float EULER = 2.71828f;
}

D3DXVECTOR3 FogLightPosition(const SceneStore& scene, const D3DXVECTOR3& vEye)
{
    const SceneLight* pLight =
        scene.m_Lights.GetCount() > 0 ? static_cast<const SceneLight*>(scene.m_Lights.Get(0)) : nullptr;
    if (!pLight)
        return vEye;
    return D3DXVECTOR3(pLight->m_vLightPosition.x, pLight->m_vLightPosition.y, pLight->m_vLightPosition.z);
}

void BuildFogPixelConstants(const SceneCamera& camera, const D3DXVECTOR3& vEye, ConstantTable& pixel)
{
    pixel.Set(0, camera.m_fFogScale * 0.01f, camera.m_fFogDensity * 0.1f, EULER, camera.m_fFogZ);
    pixel.Set(1, camera.m_vFogColor[0], camera.m_vFogColor[1], camera.m_vFogColor[2], 1.0f);
    pixel.Set(2, 0.33333f, 0.33333f, 0.33333f, 1.0f);
    pixel.Set(3, 0.5f, 0.25f, 0.125f, 1.0f);
    pixel.Set(4, 2.0f, 4.0f, 8.0f, 1.0f);
    pixel.Set(5, vEye.x, vEye.y, vEye.z, 1.0f);
    pixel.Set(6, 0.0f, 1.0f, 1.0f, 1.0f);
}

void BuildFogVertexConstants(const SceneMesh& mesh, const SceneCamera& camera, const LightFrame& frame,
                             const D3DXVECTOR3& vLight, ConstantTable& vertex)
{
    D3DXMATRIX world = ToD3DX(mesh.m_matWorld), worldView, worldViewProjection;
    D3DXMatrixMultiply(&worldView, &world, &frame.view);
    D3DXMatrixMultiply(&worldViewProjection, &worldView, &frame.projection);
    vertex.Set(0, frame.eye.x, frame.eye.y, frame.eye.z, 1.0f);
    vertex.Set(1, vLight.x, vLight.y, vLight.z, 1.0f);
    vertex.Set(2, mesh.m_vOffset.x, mesh.m_vOffset.y, mesh.m_vOffset.z, 0.0f);
    vertex.Set(3, 0.0f, 1.0f, EULER, camera.m_fFogZ);
    vertex.SetTransposed(4, worldViewProjection);
    vertex.SetTransposed(8, worldView);
    vertex.SetTransposed(12, world);
}

void RenderApp::DrawFogPass()
{
    const SceneCamera& camera = m_Scene.m_Camera;
    if (camera.m_bFog == 0 || !m_pDevice || !m_pRenderer)
        return;
    if (!SelectEffectPrograms(*this, "DrawFogPass", VS_FOG, PS_FOG))
        return;
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_INVSRCALPHA);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_SRCALPHA);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    BindNoiseStage(m_pDevice, *m_pRenderer);

    const LightFrame frame = CurrentLightFrame(m_Scene);
    const D3DXVECTOR3 vLight = FogLightPosition(m_Scene, frame.eye);
    ConstantTable pixel;
    BuildFogPixelConstants(camera, frame.eye, pixel);
    UploadConstants(m_pDevice, true, pixel);
    const int nMeshes = std::min((int)m_Scene.m_Meshes.GetCount(), MAX_MESHES);
    for (int i = 0; i < nMeshes && i < (int)m_Visibility.size(); ++i)
    {
        const SceneMesh* pMesh = static_cast<const SceneMesh*>(m_Scene.m_Meshes.Get((uint32_t)i));
        if (!pMesh || m_Visibility[i] == 0)
            continue;
        ConstantTable vertex;
        BuildFogVertexConstants(*pMesh, camera, frame, vLight, vertex);
        UploadConstants(m_pDevice, false, vertex);
        DrawEffectMesh(m_pDevice, *pMesh);
    }
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
}
