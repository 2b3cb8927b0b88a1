// RenderApp::DrawLightHalo: the glow around a light of the camera view.
#include "raster/LightHalo.h"

#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "raster/EffectPasses.h"
#include "scene/SceneLight.h"

#include <d3dx9mesh.h>
#include <d3dx9shape.h>

bool HasLightHalo(const SceneLight& light)
{
    return light.m_bHalo != 0 && light.m_bEnabled == 1 && light.m_fHaloSize > 0.0f;
}

void BuildHaloConstants(const SceneLight& light, const LightFrame& frame, ConstantTable& vertex, ConstantTable& pixel)
{
    const float R = light.m_fHaloSize;
    D3DXMATRIX world, worldView, worldViewProjection;
    D3DXMatrixTranslation(&world, light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z);
    D3DXMatrixMultiply(&worldView, &world, &frame.view);
    D3DXMatrixMultiply(&worldViewProjection, &worldView, &frame.projection);
    vertex.SetTransposed(4, worldViewProjection);
    vertex.Set(0, 0.0f, R * 0.5f, 1.0f / R, 1.0f);
    vertex.Set(1, 0.0f, 0.0f, 0.0f, 1.0f);
    vertex.SetTransposed(8, worldView);
    pixel.Set(1, 1.0f, 1.0f, 1.0f, 1.0f);
    pixel.Set(2, 0.33333f, 0.33333f, 0.33333f, 1.0f);
}

void RenderApp::DrawLightHalo(SceneLight* pLight)
{
    if (!pLight || !HasLightHalo(*pLight) || !m_pDevice || !m_pRenderer)
        return;
    ID3DXMesh* pSphere = nullptr;
    if (FAILED(D3DXCreateSphere(m_pDevice, pLight->m_fHaloSize, 32, 24, &pSphere, nullptr)))
        return;
    if (!SelectEffectPrograms(*this, "DrawLightHalo", VS_HALO, PS_HALO))
    {
        pSphere->Release();
        return;
    }
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    // The front half only: each screen point is brightened once.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    IDirect3DVertexDeclaration9* pDeclaration = SetShapeDeclaration(m_pDevice, pSphere);
    BindNoiseStage(m_pDevice, *m_pRenderer);

    ConstantTable vertex, pixel;
    BuildHaloConstants(*pLight, CurrentLightFrame(m_Scene), vertex, pixel);
    UploadConstants(m_pDevice, false, vertex);
    UploadConstants(m_pDevice, true, pixel);
    if (pDeclaration)
        pSphere->DrawSubset(0);
    pSphere->Release();
    if (pDeclaration)
        pDeclaration->Release();
    EndLightEffect(m_pDevice, m_pMeshDecl);
}
