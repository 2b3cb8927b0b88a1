// RenderApp::DrawLensFlare: the flare of a light of the camera view.
#include "raster/LensFlare.h"

#include "3dapi/Renderer.h"
#include "app/RenderApp.h"
#include "raster/EffectPasses.h"
#include "scene/SceneLight.h"

#include <d3dx9mesh.h>
#include <d3dx9shape.h>

#include <algorithm>

namespace
{
constexpr float SPHERE_RADIUS = 0.5f;
constexpr float SPHERE_SPACING = 0.2f;
constexpr float FLARE_NEAR_PLANE = 0.1f;
constexpr int MAX_LENSES = 100;
}

bool HasLensFlare(const SceneLight& light, const LightFrame& frame)
{
    if (light.m_bLensFlare == 0 || light.m_bEnabled != 1)
        return false;
    // A light behind the eye has no depth to test the flare at.
    D3DXMATRIX viewProjection;
    D3DXMatrixMultiply(&viewProjection, &frame.view, &frame.projection);
    D3DXVECTOR4 clip;
    const D3DXVECTOR3 position(light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z);
    D3DXVec3Transform(&clip, &position, &viewProjection);
    return clip.w > 0.0f;
}

D3DXMATRIX LensFlareProjection(const SceneCamera& camera)
{
    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, camera.m_fFov, camera.m_fAspect, FLARE_NEAR_PLANE, camera.m_fBackClip);
    return projection;
}

void BuildLensFlareConstants(const SceneLight& light, const LightFrame& frame, ConstantTable& vertex,
                             ConstantTable& pixel)
{
    vertex.Set(2, frame.eye.x, frame.eye.y, frame.eye.z, 1.0f);
    vertex.Set(1, light.m_vLightPosition.x, light.m_vLightPosition.y, light.m_vLightPosition.z, 1.0f);
    pixel.Set(0, light.m_fLensFlareSize, light.m_fLensFlareDensity, (float)light.m_bLensFlareRing * 0.5f, 0.01f);
    pixel.Set(1, 2.0f, 1.0f, 5.0f, 10.0f);
}

void BuildLensFlareSphereConstants(int i, const LightFrame& frame, const D3DXMATRIX& flareProjection,
                                   ConstantTable& vertex, ConstantTable& pixel)
{
    // The viewing axis in world space is the view matrix's third column.
    const float fStep = SPHERE_SPACING * (float)i;
    D3DXMATRIX sphere, viewFlare, worldViewFlare, viewProjection;
    D3DXMatrixTranslation(&sphere, frame.eye.x + fStep * frame.view._13, frame.eye.y + fStep * frame.view._23,
                          frame.eye.z + fStep * frame.view._33);
    D3DXMatrixMultiply(&viewFlare, &frame.view, &flareProjection);
    D3DXMatrixMultiply(&worldViewFlare, &sphere, &viewFlare);
    D3DXMatrixMultiply(&viewProjection, &frame.view, &frame.projection);
    vertex.SetTransposed(4, worldViewFlare);
    vertex.SetTransposed(8, sphere);
    vertex.SetTransposed(12, viewProjection);
    const float fShade = 0.75f + 0.01f * (float)i;
    pixel.Set(2, fShade, fShade, 1.0f, 1.0f);
}

void RenderApp::DrawLensFlare(SceneLight* pLight)
{
    if (!pLight || !m_pDevice || !m_pRenderer)
        return;
    const LightFrame frame = CurrentLightFrame(m_Scene);
    if (!HasLensFlare(*pLight, frame))
        return;
    ID3DXMesh* pSphere = nullptr;
    if (FAILED(D3DXCreateSphere(m_pDevice, SPHERE_RADIUS, 32, 32, &pSphere, nullptr)))
        return;
    if (!SelectEffectPrograms(*this, "DrawLensFlare", VS_LENS_FLARE, PS_LENS_FLARE))
    {
        pSphere->Release();
        return;
    }
    m_pDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    m_pDevice->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    m_pDevice->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    m_pDevice->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
    // Sphere 0 holds the eye: its inside is what shows.
    m_pDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
    IDirect3DVertexDeclaration9* pDeclaration = SetShapeDeclaration(m_pDevice, pSphere);
    BindNoiseStage(m_pDevice, *m_pRenderer);

    const D3DXMATRIX flareProjection = LensFlareProjection(m_Scene.m_Camera);
    ConstantTable vertex, pixel;
    BuildLensFlareConstants(*pLight, frame, vertex, pixel);
    UploadConstants(m_pDevice, false, vertex);
    UploadConstants(m_pDevice, true, pixel);
    const int nLenses = pDeclaration ? std::min(pLight->m_nLensCount, MAX_LENSES) : 0;
    for (int i = 0; i < nLenses; ++i)
    {
        ConstantTable sphereVertex, spherePixel;
        BuildLensFlareSphereConstants(i, frame, flareProjection, sphereVertex, spherePixel);
        UploadConstants(m_pDevice, false, sphereVertex);
        UploadConstants(m_pDevice, true, spherePixel);
        pSphere->DrawSubset(0);
    }
    pSphere->Release();
    if (pDeclaration)
        pDeclaration->Release();
    EndLightEffect(m_pDevice, m_pMeshDecl);
}
